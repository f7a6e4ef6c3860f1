// SPDX-License-Identifier: GPL-3.0-or-later
#include "ansi.h"

#include <QLineEdit>

#include "windows1252.h"

QString fromAnsi(const std::string& text) {
    QString result;
    result.reserve(static_cast<qsizetype>(text.size()));
    for (unsigned char byte : text)
        result.append(QChar(static_cast<char16_t>(AnsiToUnicode(byte))));
    return result;
}

std::string toAnsi(const QString& text) {
    std::string result;
    result.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text) {
        const int byte = UnicodeToAnsi(c.unicode());
        result.push_back(static_cast<char>(byte < 0 ? '?' : byte));
    }
    return result;
}

bool isAnsiCharacter(QChar character) {
    return UnicodeToAnsi(character.unicode()) >= 0;
}
