// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows1252.h"

#include <algorithm>

#include "utf8.h"

namespace {
// Bytes 0x80..0x9F of Windows-1252; the unassigned ones keep their C1 code.
constexpr char32_t HighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
} // namespace

char32_t AnsiToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F)
        return HighControls[byte - 0x80];
    return byte;
}

int UnicodeToAnsi(char32_t character) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return static_cast<int>(character);
    for (int i = 0; i < 32; ++i) {
        if (HighControls[i] == character)
            return 0x80 + i;
    }
    return -1;
}

std::string AnsiToUtf8(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        // Runs of ASCII, the same bytes in both, are copied at once.
        const std::size_t run = i;
        while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80)
            ++i;
        result.append(text, run, i - run);
        if (i == text.size())
            break;
        AppendUtf8(result, AnsiToUnicode(static_cast<unsigned char>(text[i])));
    }
    return result;
}

namespace {
constexpr char upperOf(unsigned char byte) {
    if ((byte >= 'a' && byte <= 'z') || (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7)) // à..þ, ÷
        return static_cast<char>(byte - 32);
    switch (byte) {
    case 0x9A:
        return static_cast<char>(0x8A); // š
    case 0x9C:
        return static_cast<char>(0x8C); // œ
    case 0x9E:
        return static_cast<char>(0x8E); // ž
    case 0xFF:
        return static_cast<char>(0x9F); // ÿ
    default:
        return static_cast<char>(byte);
    }
}
} // namespace

constinit const std::array<char, 256> UpperAnsi = [] {
    std::array<char, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte)
        table[byte] = upperOf(static_cast<unsigned char>(byte));
    return table;
}();

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return ToUpperAnsi(x) == ToUpperAnsi(y); });
}
