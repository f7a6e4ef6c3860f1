// SPDX-License-Identifier: GPL-3.0-or-later
// The zipped Lenex file (.lxf): an archive holding exactly one .lef.
#pragma once

#include <QByteArray>
#include <QString>

// The .lef inside an archive. Throws TInteropError when the bytes are no archive, or hold no
// .lef or more than one.
QByteArray UnpackLxf(const QByteArray& archive);
// An archive holding `lef` as the one entry `entryName`, deflated. Throws TInteropError.
QByteArray PackLxf(const QByteArray& lef, const QString& entryName);
