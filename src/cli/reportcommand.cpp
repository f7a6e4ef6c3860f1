// SPDX-License-Identifier: GPL-3.0-or-later
#include "reportcommand.h"

#include <iostream>

#include "commands.h"
#include "interopfiles.h"
#include "meldeaustausch.h"
#include "report.h"

int RunReportCommand(const std::string& fileName) {
    TMeldeAustausch model;
    // A cut-off file prints what it holds; the warning goes beside the printout.
    const TLoadReport report = LoadExistingFile(fileName, model);
    if (report.Verdict == TFileVerdict::CutOff)
        std::cerr << "ntbmelde-cli: " << FileText(VerdictText(report), fileName) << '\n';
    WriteToStdout(ReportPlainText(BuildReportLines(model, KeptMeetFees(fileName, model).Deadline)));
    return 0;
}
