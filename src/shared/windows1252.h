// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows-1252 character set of the exchange file and of every text in the core.
#pragma once

#include <array>
#include <string>
#include <string_view>

// Windows-1252 <-> Unicode, one character at a time. The five unassigned bytes map to the
// C1 controls of the same number, so every byte survives a round trip.
char32_t AnsiToUnicode(unsigned char byte);
// The byte for a character, or -1 when Windows-1252 cannot hold it.
int UnicodeToAnsi(char32_t character);
std::string AnsiToUtf8(const std::string& text);

// Of every byte, its capital letter (umlauts included) or itself; for matching letter case aside.
extern const std::array<char, 256> UpperAnsi;
inline char ToUpperAnsi(char c) {
    return UpperAnsi[static_cast<unsigned char>(c)];
}
bool EqualIgnoringCase(std::string_view a, std::string_view b);
