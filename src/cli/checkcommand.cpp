#include "checkcommand.h"

#include <iostream>

#include "commands.h"
#include "entrycheck.h"
#include "meldeaustausch.h"
#include "windows1252.h"

namespace {

// "Meldung 3: Meier, Hans, Jg. 1990, Wettkampf 12a: <reason>"
std::string refusalLine(int position, const TNominRecord& nomin, const TEntryRefusal& refusal) {
    return "Meldung " + std::to_string(position) + ": " + nomin.Name + ", Jg. " +
           std::to_string(nomin.Age) + ", Wettkampf " + TMeldeAustausch::WkNrToText(nomin.WkNr) +
           ": " + refusal.Message;
}

} // namespace

int RunCheckCommand(const std::string& fileName) {
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
    return findings.empty() && !cutOff ? 0 : 1;
}
