// SPDX-License-Identifier: GPL-3.0-or-later
// The zipped Lenex file (.lxf): an archive holding exactly one .lef; and the packed DSV list
// (.DSV8z) holding exactly one .DSV8 (or .DSV7).
#pragma once

#include <QByteArray>
#include <QString>

// A format file told by its content: the one .lef, .DSV8 or .DSV7 inside an archive, else the
// bytes as they are. Throws TInteropError when an archive is damaged, or holds none of them or
// more than one.
QByteArray UnpackFormatFile(const QByteArray& bytes);
// An archive holding `lef` as the one entry `entryName`, deflated. Throws TInteropError.
QByteArray PackLxf(const QByteArray& lef, const QString& entryName);
