#include "exchangeverdict.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <string_view>

#include "common.h"
#include "linedocument.h"

namespace {
bool equalsIgnoringCase(std::string_view line, std::string_view tag) {
    return line.size() == tag.size() &&
           std::equal(line.begin(), line.end(), tag.begin(),
                      [](char a, char b) { return ToUpperAnsi(a) == ToUpperAnsi(b); });
}
} // namespace

TFileVerdict JudgeExchangeText(const std::string& text) {
    std::deque<std::string> rewrittenLines;
    TLineSplitter lines(text, rewrittenLines);
    std::string_view line;
    TagPositions positions;
    bool started = false;
    while (lines.Next(line, positions)) {
        if (!IsKept(line))
            continue;
        if (!started)
            started = equalsIgnoringCase(line, "<NOMINATION>");
        else if (equalsIgnoringCase(line, "</NOMINATION>"))
            return TFileVerdict::Complete;
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
        return "Die Datei %1 ist unvollst\xE4ndig: das Dateiende fehlt. Es wurden " +
               std::to_string(report.Nominations) +
               " Meldungen gelesen; fehlende Meldungen m\xFCssen neu erfasst werden.";
    case TFileVerdict::Complete:
        break;
    }
    return {};
}

std::string ConvertedFromUtf8Text() {
    return "Die Datei %1 war in UTF-8 geschrieben und wurde beim Lesen umgewandelt. Gespeichert "
           "wird sie wie jede Austauschdatei im Zeichensatz Windows-1252.";
}
