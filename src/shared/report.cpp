// SPDX-License-Identifier: GPL-3.0-or-later
#include "report.h"

#include <cstdio>

#include "associations.h"
#include "atomicfile.h"
#include "meldeaustausch.h"

namespace {

// Only these sections are listed, although the model holds twelve.
constexpr int ListedSections = 8;
// Width of the column that leads each nomination line (name and registration number).
constexpr int NominNameColumn = 49;
constexpr int NominWkNrColumn = 3;

// Texts in Windows-1252: \xE4 = ä, \xC4 = Ä, \xF6 = ö, \xFC = ü, \xA7 = §.
const char* const DeclarationLines[] = {
    "Erkl\xE4rung des meldenden Vereins",
    "===============================",
    "Mit Abgabe dieser Meldung wird versichert, dass die von uns gemeldeten Schwimmer",
    "ihre Sportgesundheit entsprechend WB AT \xA7"
    "7 durch ein \xE4rztliches Zeugnis nachweisen",
    "k\xF6nnen. Die Untersuchung/en liegt/liegen zum Zeitpunkt der Abgabe der Meldung",
    "nicht l\xE4nger als ein Jahr zur\xFC"
    "ck. Diese Erkl\xE4rung gilt gleichfalls f\xFCr alle",
    "Mannschafts-/Staffelteilnehmer sofern diese in der Meldung noch nicht namentlich",
    "benannt wurden.",
};

void addCompetition(const TMeldeAustausch& data, const std::optional<TDeadline>& deadline,
                    std::vector<std::string>& lines) {
    lines.push_back("   KONTROLLAUSDRUCK MELDEPROGRAMM");
    lines.push_back("   ++++++++++++++++++++++++++++++");
    lines.push_back("");
    lines.push_back("Veranstaltung: " + data.CompName);
    lines.push_back("Veranstalter : " + data.Veranstalter);
    lines.push_back("Ausrichter   : " + data.Ausrichter);
    lines.push_back("Ort          : " + data.Place);
    if (deadline)
        lines.push_back("Meldeschluss : " + DeadlineText(*deadline));
    lines.push_back("");
    for (int section = 1; section <= ListedSections; ++section) {
        if (data.GetPeriodDate(section) == BlankPeriodDate)
            continue;
        lines.push_back("Abschnitt " + std::to_string(section) +
                        ", Einlass: " + data.GetPeriodInt(section) + ", Kampfrichter: " +
                        data.GetPeriodKari(section) + ", Beginn: " + data.GetPeriodTime(section));
    }
}

void addEvents(const TMeldeAustausch& data, std::vector<std::string>& lines) {
    int runningSection = 0;
    for (int i = 1; i <= data.EventCount(); ++i) {
        const TEventRecord& event = data.Event(i);
        if (event.Period != runningSection) {
            lines.push_back("");
            lines.push_back("Wettkampffolge Abschnitt " + std::to_string(event.Period));
            runningSection = event.Period;
        }
        lines.push_back(" Wettkampf " + TMeldeAustausch::WkNrToText(event.WkNr) + ": " +
                        event.Name + ", J\xFCngster: " + std::to_string(event.LatestBirthYear) +
                        ", \xC4ltester: " + std::to_string(event.EarliestBirthYear));
    }
}

void addClub(const TMeldeAustausch& data, std::vector<std::string>& lines) {
    lines.push_back("");
    lines.push_back("Meldender Verein: " + data.ClubName);
    lines.push_back("LSV: " + AssociationName(data.Verband) + ", " + data.Fina);
    if (!data.ClubId.empty())
        lines.push_back("VereinsId: " + data.ClubId);
    lines.push_back(data.Person);
    lines.push_back(data.Street + ", " + data.Zip + " " + data.ClubPlace);
    lines.push_back("Telefon: " + data.Fon + ", Fax: " + data.Fax);
    if (!data.EMail.empty())
        lines.push_back(data.EMail);
    lines.push_back("");
    for (const char* line : DeclarationLines)
        lines.push_back(line);
    lines.push_back("");
}

void addNominations(const TMeldeAustausch& data, std::vector<std::string>& lines) {
    if (data.NominCount() == 0)
        return;
    lines.push_back("MELDUNGEN");
    lines.push_back("+++++++++");
    for (int j = 1; j <= data.NominCount(); ++j) {
        const TNominRecord& nomin = data.Nomin(j);
        std::string namePart = nomin.Name;
        if (!nomin.RegNr.empty())
            namePart += " (" + nomin.RegNr + ")";
        lines.push_back(PadRight(namePart, NominNameColumn) + std::to_string(nomin.BirthYear) +
                        " Wettkampf " +
                        PadRight(TMeldeAustausch::WkNrToText(nomin.WkNr), NominWkNrColumn) + " " +
                        HundredthsToTimeText(nomin.Time));
    }
}

// RTF text of one line: the three special characters escaped, every byte outside printable
// ASCII as \'xx so that the document itself is plain 7-bit text.
std::string rtfEscaped(const std::string& line) {
    std::string result;
    result.reserve(line.size());
    for (unsigned char byte : line) {
        if (byte == '\\' || byte == '{' || byte == '}') {
            result += '\\';
            result += static_cast<char>(byte);
        } else if (byte < 0x20 || byte >= 0x7F) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\'%02x", byte);
            result += escape;
        } else {
            result += static_cast<char>(byte);
        }
    }
    return result;
}

} // namespace

std::vector<std::string> BuildReportLines(const TMeldeAustausch& data,
                                          const std::optional<TDeadline>& deadline) {
    std::vector<std::string> lines;
    lines.reserve(60 + static_cast<std::size_t>(data.EventCount() + data.NominCount()));
    addCompetition(data, deadline, lines);
    addEvents(data, lines);
    addClub(data, lines);
    addNominations(data, lines);
    return lines;
}

std::string ReportPlainText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string ReportRtf(const std::vector<std::string>& lines) {
    // The control word before each line ends at the line break, which RTF readers ignore,
    // so leading blanks of a line stay part of its text.
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0\r\n"
                      "{\\fonttbl{\\f0\\fmodern\\fprq1\\fcharset0 Courier New;}}\r\n"
                      "\\pard\\plain\\f0\\fs20\r\n";
    for (const std::string& line : lines) {
        rtf += rtfEscaped(line);
        rtf += "\\par\r\n";
    }
    rtf += "}\r\n";
    return rtf;
}

void SaveReportPlainText(const std::string& path, const std::vector<std::string>& lines) {
    WriteFileAtomically(path, ReportPlainText(lines));
}

void SaveReportRtf(const std::string& path, const std::vector<std::string>& lines) {
    WriteFileAtomically(path, ReportRtf(lines));
}
