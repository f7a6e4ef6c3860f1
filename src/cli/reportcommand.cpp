#include "reportcommand.h"

#include <cerrno>
#include <cstdio>

#include "commands.h"
#include "ioerror.h"
#include "meldeaustausch.h"
#include "report.h"

int RunReportCommand(const std::string& fileName) {
    const TMeldeAustausch model = LoadExistingFile(fileName);
    const std::string text = ReportPlainText(BuildReportLines(model));
    // A full disk or a closed pipe behind stdout must not pass for success.
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0)
        throw TIoError::fromErrno(errno);
    return 0;
}
