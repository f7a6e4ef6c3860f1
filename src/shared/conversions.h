// SPDX-License-Identifier: GPL-3.0-or-later
// Conversions between texts and values shared by the model, the printout and the windows:
// entry times, birth years, swimmer names, trimming, integers, column filling. Every text
// here is a std::string of Windows-1252 bytes.
#pragma once

#include <climits>
#include <string>
#include <string_view>
#include <utility>

// Entry time value meaning "no entry time"; above every value a time text can give.
constexpr int NoTime = 650000;
// Text of NoTime and of an empty entry-time field.
inline const std::string BlankTimeText = "  :  ,  ";

// Text filled with blanks or cut to exactly `width` characters (empty for width <= 0).
std::string PadRight(const std::string& text, int width);

// A two-digit birth year becomes four digits; anything else comes back unchanged.
std::string ExpandYear(const std::string& text);

int TimeTextToHundredths(std::string_view text);
std::string HundredthsToTimeText(int value);
// What the entry-time field shows after the user typed `text` into it.
std::string NormalizeTimeText(const std::string& text);

// Mode 0: "Vorname Nachname" -> "Nachname, Vorname"; mode 1 the reverse.
std::string ConvertName(std::string name, int mode);
bool IsSplittableName(const std::string& name);
// "Nachname, Vorname" as surname and first name, split at the first comma, each trimmed; a name
// without comma is the surname alone.
std::pair<std::string, std::string> SplitName(const std::string& name);

// A count with its noun as German says it: "1 Meldung", "3 Meldungen", "0 Meldungen".
std::string CountText(long long count, const std::string& one, const std::string& many);

// Removes leading and trailing characters with codes <= 32.
std::string Trim(const std::string& text);
std::string TrimRight(const std::string& text);
// Whole text as a signed 32-bit decimal integer (leading blanks, one sign); false if not.
// (Inline: the file reader converts several numbers per entry.)
inline bool ConvertsAsInteger(std::string_view text, int& value) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size())
        return false;
    long long magnitude = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1)
            return false;
    }
    const long long result = negative ? -magnitude : magnitude;
    if (result > INT_MAX)
        return false;
    value = static_cast<int>(result);
    return true;
}
