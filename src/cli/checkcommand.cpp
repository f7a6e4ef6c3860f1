// SPDX-License-Identifier: GPL-3.0-or-later
#include "checkcommand.h"

#include <iostream>

#include "commands.h"
#include "companionfile.h"
#include "entrycheck.h"
#include "feereport.h"
#include "interopfiles.h"
#include "meldeaustausch.h"
#include "officialcover.h"
#include "relayteams.h"
#include "warnings.h"
#include "windows1252.h"

namespace {

// "Meldung 3: Meier, Hans, Jg. 1990, Wettkampf 12a: <reason>"
std::string refusalLine(int position, const TNominRecord& nomin, const TEntryRefusal& refusal) {
    return "Meldung " + std::to_string(position) + ": " + nomin.Name + ", Jg. " +
           std::to_string(nomin.BirthYear) + ", Wettkampf " +
           TMeldeAustausch::WkNrToText(nomin.WkNr) + ": " + refusal.Message;
}

// "Hinweis: Meldungen 3, 7: Meier, Hans ist für Wettkampf 4 schon gemeldet."
std::string warningLine(const TNominWarning& warning) {
    std::string positions;
    for (int position : warning.Nomins)
        positions += (positions.empty() ? "" : ", ") + std::to_string(position);
    return std::string(warning.Nomins.size() > 1 ? "Hinweis: Meldungen " : "Hinweis: Meldung ") +
           positions + ": " + warning.Text + ".";
}

// An entry that breaks its event's rules is listed above as refused already.
void printWarnings(const std::string& fileName, const TMeldeAustausch& model,
                   const TMeetFees& meetFees, const TCompanionLoad& companion) {
    int printed = 0;
    QStringList notes;
    if (!companion.Problem.isEmpty())
        notes << companion.Problem;
    const TInvitation invitation = KeptOrOwnInvitation(fileName, model, notes);
    PrintNotes(notes);
    if (meetFees.Deadline && DeadlinePassed(*meetFees.Deadline)) {
        std::cout << AnsiToUtf8("Hinweis: " + DeadlinePassedText(*meetFees.Deadline) + ".") << '\n';
        ++printed;
    }
    for (const TNominWarning& warning : FindNominWarnings(model, meetFees.QualifyingTimes)) {
        if (warning.Kind == WarningKind::BreaksEventRules)
            continue;
        std::cout << AnsiToUtf8(warningLine(warning)) << '\n';
        ++printed;
    }
    // A line-up the relay rules refuse stops the export; the entry dialog would refuse it too.
    for (const TRelayLineUp& lineUp : companion.Companion.LineUps) {
        if (const auto refusal = CheckLineUp(model, invitation, companion.Companion, lineUp)) {
            std::cout << "Hinweis: Wettkampf " << TMeldeAustausch::WkNrToText(lineUp.WkNr)
                      << ", Staffel „" << AnsiToUtf8(lineUp.Team)
                      << "“: " << refusal->Message.toStdString() << ".\n";
            ++printed;
        }
    }
    const std::vector<int> unstaffed =
        SectionsWithoutOfficial(model, StaffedSections(companion.Companion));
    if (!unstaffed.empty()) {
        std::cout << AnsiToUtf8("Hinweis: " + SectionsWithoutOfficialText(unstaffed) + ".") << '\n';
        ++printed;
    }
    if (printed == 0)
        std::cout << "Keine Hinweise.\n";
}

} // namespace

int RunCheckCommand(const std::string& fileName, bool withWarnings) {
    TMeldeAustausch model;
    const TLoadReport report = LoadExistingFile(fileName, model);
    // A cut-off file has lost entries: that is a finding of its own.
    const bool cutOff = report.Verdict == TFileVerdict::CutOff;
    if (cutOff)
        std::cout << FileText(VerdictText(report), fileName) << '\n';
    const std::vector<TNominFinding> findings = CheckNomins(model);
    for (const TNominFinding& finding : findings)
        std::cout << AnsiToUtf8(refusalLine(finding.Position, model.Nomin(finding.Position),
                                            finding.Refusal))
                  << '\n';
    if (findings.empty() && !cutOff)
        std::cout << "Keine fehlerhaften Meldungen.\n";
    if (withWarnings)
        printWarnings(fileName, model, KeptMeetFees(fileName, model),
                      LoadCompanion(fileName, model));
    return findings.empty() && !cutOff ? 0 : 1;
}
