// SPDX-License-Identifier: GPL-3.0-or-later
#include "discipline.h"

#include <utility>

#include "windows1252.h"

namespace {

// Beyond these a number in an event name is no relay count or distance.
constexpr int MaxRelayDigits = 2;
constexpr int MaxDistanceDigits = 5;

struct StrokeWord {
    std::string_view UpperStem; // Windows-1252, upper case
    TStroke Stroke;
};
// Compound names count too: "Lagenstaffel", "Freistilstaffel", "Brustbeine".
constexpr StrokeWord StrokeWords[] = {
    {"FREISTIL", TStroke::Freistil},
    {"KRAUL", TStroke::Freistil},
    {"BRUST", TStroke::Brust},
    {"R\xDC"
     "CKEN",
     TStroke::Ruecken},
    {"RUECKEN", TStroke::Ruecken},
    {"SCHMETTERLING", TStroke::Schmetterling},
    {"DELPHIN", TStroke::Schmetterling},
    {"DELFIN", TStroke::Schmetterling},
    {"LAGEN", TStroke::Lagen},
};

struct TechniqueName {
    TTechnique Technique;
    std::string_view Word;
};
constexpr TechniqueName TechniqueNames[] = {
    {TTechnique::Kick, "Beine"},       {TTechnique::Pull, "Arme"},
    {TTechnique::Start, "Start"},      {TTechnique::Turn, "Wende"},
    {TTechnique::Glide, "Gleiten"},    {TTechnique::Dive, "Tauchen"},
    {TTechnique::Other, "Sonderform"},
};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// ASCII letters and the letters of Windows-1252's upper half (× and ÷ are no letters).
bool isLetter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
           (byte >= 0xC0 && byte != 0xD7 && byte != 0xF7) || byte == 0x8A || byte == 0x8C ||
           byte == 0x8E || byte == 0x9A || byte == 0x9C || byte == 0x9E || byte == 0x9F;
}

bool startsWithUpper(std::string_view text, std::string_view upperStem) {
    if (text.size() < upperStem.size())
        return false;
    for (std::size_t i = 0; i < upperStem.size(); ++i) {
        if (ToUpperAnsi(text[i]) != upperStem[i])
            return false;
    }
    return true;
}

void skipBlanks(std::string_view text, std::size_t& i) {
    while (i < text.size() && text[i] == ' ')
        ++i;
}

// The digit run at `i` as a positive number of at most `maxDigits` digits; `i` moves past
// the run whatever it holds.
std::optional<int> readNumber(std::string_view text, std::size_t& i, int maxDigits) {
    const std::size_t start = i;
    int value = 0;
    while (i < text.size() && isDigit(text[i])) {
        if (static_cast<int>(i - start) < maxDigits)
            value = value * 10 + (text[i] - '0');
        ++i;
    }
    if (static_cast<int>(i - start) > maxDigits || value == 0)
        return std::nullopt;
    return value;
}

// "m" or "Meter" as a word of its own (so "5 Minuten" is no distance).
bool readMetre(std::string_view text, std::size_t& i) {
    std::size_t end = i;
    if (startsWithUpper(text.substr(i), "METER"))
        end += 5;
    else if (i < text.size() && (text[i] == 'm' || text[i] == 'M'))
        end += 1;
    else
        return false;
    if (end < text.size() && isLetter(text[end]))
        return false;
    i = end;
    return true;
}

bool isTimesSign(char c) {
    return c == 'x' || c == 'X' || c == '*' || static_cast<unsigned char>(c) == 0xD7;
}

// Relay count and distance of the first number (or "k x n") followed by metres.
std::optional<std::pair<int, int>> readDistance(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        if (!isDigit(text[i])) {
            ++i;
            continue;
        }
        std::size_t afterFirst = i;
        const std::optional<int> first = readNumber(text, afterFirst, MaxDistanceDigits);
        std::size_t next = afterFirst;
        skipBlanks(text, next);
        if (next < text.size() && isTimesSign(text[next])) {
            std::size_t count = i;
            const std::optional<int> relayCount = readNumber(text, count, MaxRelayDigits);
            ++next;
            skipBlanks(text, next);
            if (next < text.size() && isDigit(text[next])) {
                const std::optional<int> distance = readNumber(text, next, MaxDistanceDigits);
                skipBlanks(text, next);
                if (relayCount && distance && readMetre(text, next))
                    return std::pair(*relayCount, *distance);
            }
        } else if (first && readMetre(text, next)) {
            return std::pair(1, *first);
        }
        i = afterFirst;
    }
    return std::nullopt;
}

std::optional<TStroke> readStroke(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!isLetter(text[i]) || (i > 0 && isLetter(text[i - 1])))
            continue;
        for (const StrokeWord& word : StrokeWords) {
            if (startsWithUpper(text.substr(i), word.UpperStem))
                return word.Stroke;
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<TDiscipline> ReadDiscipline(std::string_view eventName) {
    const auto distance = readDistance(eventName);
    const auto stroke = readStroke(eventName);
    if (!distance || !stroke)
        return std::nullopt;
    return TDiscipline{distance->second, distance->first, *stroke, ReadTechnique(eventName)};
}

std::string_view TechniqueWord(TTechnique technique) {
    for (const TechniqueName& name : TechniqueNames) {
        if (name.Technique == technique)
            return name.Word;
    }
    return {};
}

TTechnique ReadTechnique(std::string_view eventName) {
    for (const TechniqueName& technique : TechniqueNames) {
        const std::string_view word = technique.Word;
        for (std::size_t at = 0; at + word.size() <= eventName.size(); ++at) {
            const bool startsWord = at == 0 || eventName[at - 1] == ' ';
            const bool endsWord =
                at + word.size() == eventName.size() || eventName[at + word.size()] == ' ';
            if (startsWord && endsWord &&
                EqualIgnoringCase(eventName.substr(at, word.size()), word))
                return technique.Technique;
        }
    }
    return TTechnique::None;
}

std::string DisciplineName(const TDiscipline& discipline) {
    static constexpr std::string_view StrokeNames[] = {"Freistil", "Brust",
                                                       "R\xFC"
                                                       "cken",
                                                       "Schmetterling", "Lagen"};
    std::string name;
    if (discipline.RelayCount > 1)
        name += std::to_string(discipline.RelayCount) + 'x';
    name += std::to_string(discipline.Distance) + "m ";
    name += StrokeNames[static_cast<int>(discipline.Stroke)];
    if (discipline.Technique != TTechnique::None) {
        name += ' ';
        name += TechniqueWord(discipline.Technique);
    }
    return name;
}
