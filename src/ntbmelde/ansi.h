// SPDX-License-Identifier: GPL-3.0-or-later
// The boundary between the core's Windows-1252 bytes and Qt's Unicode strings.
#pragma once

#include <QString>
#include <string>

QString fromAnsi(const std::string& text);
// Characters that Windows-1252 cannot hold never get here: the input fields refuse them.
std::string toAnsi(const QString& text);
bool isAnsiCharacter(QChar character);
