// SPDX-License-Identifier: GPL-3.0-or-later
// Names in the order German readers expect: Ä with A, ß with ss, letter case aside – never by
// character codes. The swimmer window and the command-line tool list swimmers so.
#pragma once

#include <QByteArray>
#include <QCollator>
#include <QStringView>

QCollator GermanCollator();

// A name's place in German order as bytes: two names' keys compare byte by byte as
// GermanCollator() compares the names, so that the store keeps them and SQLite sorts by them.
QByteArray GermanOrderKey(QStringView name);
// Which order the keys follow: a newer ICU may order some characters otherwise, and keys made
// by another version are to be made again.
QString GermanOrderVersion();
