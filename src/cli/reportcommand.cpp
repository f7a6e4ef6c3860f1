#include "reportcommand.h"

#include <cerrno>
#include <cstdio>
#include <iostream>

#include "commands.h"
#include "ioerror.h"
#include "meldeaustausch.h"
#include "report.h"

int RunReportCommand(const std::string& fileName) {
    TMeldeAustausch model;
    // A cut-off file prints what it holds; the warning goes beside the printout.
    const TLoadReport report = LoadExistingFile(fileName, model);
    if (report.Verdict == TFileVerdict::CutOff)
        std::cerr << "ntbmelde-cli: " << FileText(VerdictText(report), fileName) << '\n';
    const std::string text = ReportPlainText(BuildReportLines(model));
    // A full disk or a closed pipe behind stdout must not pass for success.
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
        throw TIoError::fromErrno(errno);
    return 0;
}
