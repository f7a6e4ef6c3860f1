// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversions.h"

#include <algorithm>
#include <array>

#include "environment.h"

namespace {
bool isTrimmed(char c) {
    return static_cast<unsigned char>(c) <= 32;
}
} // namespace

std::string PadRight(const std::string& text, int width) {
    if (width <= 0)
        return {};
    std::string result = text;
    result.resize(static_cast<std::size_t>(width), ' ');
    return result;
}

std::string Trim(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isTrimmed(text[begin]))
        ++begin;
    while (end > begin && isTrimmed(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::string TrimRight(const std::string& text) {
    std::size_t end = text.size();
    while (end > 0 && isTrimmed(text[end - 1]))
        --end;
    return text.substr(0, end);
}

std::string ExpandYear(const std::string& text) {
    int year = 0;
    if (text.size() != 2 || !ConvertsAsInteger(text, year))
        return text;
    return (year + 2000 <= CurrentYear() - 5 ? "20" : "19") + text;
}

int TimeTextToHundredths(std::string_view text) {
    const std::string_view input = text.substr(0, 255);
    if (input == BlankTimeText)
        return NoTime;
    // The text without blanks must have eight characters, or seven that get a leading zero.
    std::array<char, 9> buffer{'0'};
    std::size_t count = 0;
    for (char c : input) {
        if (c == ' ')
            continue;
        if (count == 8)
            return -1;
        buffer[1 + count++] = c;
    }
    if (count < 7)
        return -1;
    const std::string_view compact(buffer.data() + (count == 8 ? 1 : 0), 8);
    int minutes = 0, seconds = 0, hundredths = 0;
    if (!ConvertsAsInteger(compact.substr(0, 2), minutes) ||
        !ConvertsAsInteger(compact.substr(3, 2), seconds) ||
        !ConvertsAsInteger(compact.substr(6, 2), hundredths))
        return -1;
    const int result = (minutes * 60 + seconds) * 100 + hundredths;
    return result == 0 ? NoTime : result;
}

std::string HundredthsToTimeText(int value) {
    if (value == NoTime)
        return BlankTimeText;
    // A negative value (-1, an invalid time text) gives a text that reads back as invalid.
    const int totalSeconds = value / 100;
    const int minutes = totalSeconds / 60;
    const int seconds = totalSeconds - 60 * minutes;
    const int hundredths = value - 6000 * minutes - 100 * seconds;
    // Every part has at least two digits; composed in place, as saving writes one per entry.
    auto appendTwoDigits = [](std::string& text, int n) {
        if (n >= 0 && n < 100) {
            text += static_cast<char>('0' + n / 10);
            text += static_cast<char>('0' + n % 10);
            return;
        }
        if (n < 10)
            text += '0';
        text += std::to_string(n);
    };
    std::string text;
    appendTwoDigits(text, minutes);
    text += ':';
    appendTwoDigits(text, seconds);
    text += ',';
    appendTwoDigits(text, hundredths);
    return text;
}

std::string NormalizeTimeText(const std::string& text) {
    std::string result = text;
    if (auto colon = result.find(':'); colon != std::string::npos)
        result.erase(colon, 1);
    if (auto comma = result.find(','); comma != std::string::npos)
        result.erase(comma, 1);
    result = Trim(result);
    if (result.empty())
        result = std::string(6, ' ');
    else if (result.size() < 6)
        result.insert(0, 6 - result.size(), '0');
    result.insert(2, ":");
    result.insert(5, ",");
    return result;
}

std::string ConvertName(std::string name, int mode) {
    if (mode == 0 && name.find(',') == std::string::npos) {
        const std::size_t blank = name.find(' ');
        const std::size_t split = blank == std::string::npos ? 0 : blank + 1;
        name = TrimRight(name.substr(split)) + ", " + Trim(name.substr(0, split));
    } else if (mode == 1 && name.find(',') != std::string::npos) {
        const std::size_t comma = name.find(',');
        name = TrimRight(name.substr(comma + 1)) + " " + Trim(name.substr(0, comma + 1));
    }
    // Trimmed in place: a name that is already in its form is not copied.
    const auto kept = [](char c) { return !isTrimmed(c); };
    name.erase(std::find_if(name.rbegin(), name.rend(), kept).base(), name.end());
    name.erase(name.begin(), std::find_if(name.begin(), name.end(), kept));
    if (!name.empty() && name.back() == ',')
        name.pop_back();
    return name;
}

bool IsSplittableName(const std::string& name) {
    const std::string trimmed = Trim(name);
    if (trimmed.size() < 2)
        return true;
    int commas = 0, blanks = 0;
    for (char c : trimmed) {
        commas += c == ',';
        blanks += c == ' ';
    }
    if (commas >= 2)
        return false;
    if (commas == 1)
        return true;
    return blanks <= 1;
}

std::pair<std::string, std::string> SplitName(const std::string& name) {
    const std::size_t comma = name.find(',');
    return {Trim(name.substr(0, comma)),
            comma == std::string::npos ? std::string() : Trim(name.substr(comma + 1))};
}

std::string CountText(long long count, const std::string& one, const std::string& many) {
    return std::to_string(count) + ' ' + (count == 1 ? one : many);
}
