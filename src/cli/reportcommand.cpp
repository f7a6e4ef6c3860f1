#include "reportcommand.h"

#include "commands.h"
#include "meldeaustausch.h"
#include "report.h"

int RunReportCommand(const std::string& fileName) {
    const TMeldeAustausch model = LoadExistingFile(fileName);
    WriteToStdout(ReportPlainText(BuildReportLines(model)));
    return 0;
}
