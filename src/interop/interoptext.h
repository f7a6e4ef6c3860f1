// SPDX-License-Identifier: GPL-3.0-or-later
// What every format reader and writer shares: the error that refuses a file or an export, and
// the texts between the formats (QString) and the exchange file (Windows-1252 bytes).
#pragma once

#include <QString>

#include <stdexcept>
#include <string>

// An invitation or an export that cannot be done, with its German reason ("Wettkampf 12: …").
class TInteropError : public std::runtime_error {
public:
    explicit TInteropError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString Text() const { return QString::fromStdString(what()); }
};

QString AnsiToQString(const std::string& text);
// Throws TInteropError naming the character that Windows-1252 lacks and `where` it stands.
std::string QStringToAnsi(const QString& text, const QString& where);
