// SPDX-License-Identifier: GPL-3.0-or-later
// A format's codes for the program's values, one table read both ways: a reader looks up the
// value of a code, a writer the code of a value (the first entry for it).
#pragma once

#include <QString>

#include <cstddef>
#include <optional>

struct CodeName {
    const char* Code;
    int Value;
};

template <std::size_t N>
std::optional<int> valueOfCode(const CodeName (&codes)[N], const QString& code) {
    for (const CodeName& entry : codes) {
        if (code == QLatin1StringView(entry.Code))
            return entry.Value;
    }
    return std::nullopt;
}

template <std::size_t N> QString codeOfValue(const CodeName (&codes)[N], int value) {
    for (const CodeName& entry : codes) {
        if (entry.Value == value)
            return QString::fromLatin1(entry.Code);
    }
    return {};
}
