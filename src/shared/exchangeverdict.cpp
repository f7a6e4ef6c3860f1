// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchangeverdict.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "conversions.h"
#include "windows1252.h"

namespace {
std::string_view trimmed(std::string_view line) {
    while (!line.empty() && static_cast<unsigned char>(line.front()) <= 32)
        line.remove_prefix(1);
    while (!line.empty() && static_cast<unsigned char>(line.back()) <= 32)
        line.remove_suffix(1);
    return line;
}

bool equalsIgnoringCase(std::string_view line, std::string_view tag) {
    return line.size() == tag.size() &&
           std::equal(line.begin(), line.end(), tag.begin(),
                      [](char a, char b) { return ToUpperAnsi(a) == ToUpperAnsi(b); });
}

// Whether a trimmed line reads as `tag`. The reader drops a carriage return inside a line, so
// a longer line may still be the tag; only then is it copied.
bool readsAs(std::string_view line, std::string_view tag) {
    if (line.size() < tag.size() || line.front() != '<')
        return false;
    if (line.size() == tag.size())
        return equalsIgnoringCase(line, tag);
    if (line.find('\r') == std::string_view::npos)
        return false;
    std::string withoutReturns(line);
    std::erase(withoutReturns, '\r');
    return equalsIgnoringCase(withoutReturns, tag);
}
} // namespace

TFileVerdict JudgeExchangeText(std::string_view text) {
    text = text.substr(0, text.find('\x1A')); // Ctrl+Z ends the file
    bool started = false;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = trimmed(text.substr(start, end - start));
        if (readsAs(line, started ? "</NOMINATION>" : "<NOMINATION>")) {
            if (started)
                return TFileVerdict::Complete;
            started = true;
        }
        start = end + 1;
    }
    return started ? TFileVerdict::CutOff : TFileVerdict::NotExchangeFile;
}

std::string VerdictText(const TLoadReport& report) {
    if (report.FailedLine > 0 && report.FailedCharacter == 0)
        return "Die Datei %1 beginnt mit der Kennung f\xFCr UTF-8, enth\xE4lt aber in Zeile " +
               std::to_string(report.FailedLine) +
               " Bytes, die kein UTF-8 sind; sie wird weder gelesen noch ver\xE4ndert";
    if (report.FailedLine > 0) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(report.FailedCharacter));
        return "Die Datei %1 ist in UTF-8 geschrieben und enth\xE4lt in Zeile " +
               std::to_string(report.FailedLine) + " das Zeichen %2 (" + code +
               "), das eine Austauschdatei nicht aufnehmen kann; sie wird weder gelesen noch "
               "ver\xE4ndert";
    }
    switch (report.Verdict) {
    case TFileVerdict::NotExchangeFile:
        return "Die Datei %1 ist keine Austauschdatei (die Zeile <NOMINATION> fehlt); sie wird "
               "weder gelesen noch ver\xE4ndert";
    case TFileVerdict::CutOff:
        return "Die Datei %1 ist unvollst\xE4ndig: das Dateiende fehlt. Es " +
               std::string(report.Nominations == 1 ? "wurde " : "wurden ") +
               CountText(report.Nominations, "Meldung", "Meldungen") +
               " gelesen; fehlende Meldungen m\xFCssen neu erfasst werden.";
    case TFileVerdict::Complete:
        break;
    }
    return {};
}

std::string ConvertedFromUtf8Text() {
    return "Die Datei %1 war in UTF-8 geschrieben und wurde beim Lesen umgewandelt. Gespeichert "
           "wird sie wie jede Austauschdatei im Zeichensatz Windows-1252.";
}
