// SPDX-License-Identifier: GPL-3.0-or-later
#include "interoptext.h"

#include <QList>

#include "windows1252.h"

QString AnsiToQString(const std::string& text) {
    return QString::fromStdString(AnsiToUtf8(text));
}

std::string QStringToAnsi(const QString& text, const QString& where) {
    std::string bytes;
    bytes.reserve(text.size());
    for (const char32_t character : text.toUcs4()) {
        const int byte = UnicodeToAnsi(character);
        if (byte < 0)
            throw TInteropError(
                QStringLiteral("%1: das Zeichen „%2“ (U+%3) gibt es in Windows-1252 nicht")
                    .arg(where, QString::fromUcs4(&character, 1),
                         QString::number(character, 16).toUpper().rightJustified(4, u'0')));
        bytes += static_cast<char>(byte);
    }
    return bytes;
}
