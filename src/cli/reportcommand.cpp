#include "reportcommand.h"

#include <cstdio>
#include <filesystem>
#include <iostream>

#include "common.h"
#include "ioerror.h"
#include "meldeaustausch.h"
#include "report.h"

namespace {

// The message comes from the core (Windows-1252); the file name is as the shell gave it.
int fail(const std::string& ansiMessage, const std::string& fileName) {
    std::cerr << "ntbmelde-cli: " << AnsiToUtf8(ansiMessage) << ": " << fileName << '\n';
    return 1;
}

} // namespace

int RunReportCommand(const std::string& fileName) {
    // Loading a missing file would silently give an empty model; a report of that helps nobody.
    std::error_code error;
    if (!std::filesystem::exists(fileName, error))
        return fail("Datei nicht gefunden", fileName);
    try {
        TMeldeAustausch data;
        data.LoadFromFile(fileName);
        const std::string text = ReportPlainText(BuildReportLines(data));
        const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
        if (std::fflush(stdout) != 0 || !written)
            return fail("Schreibfehler", "Standardausgabe");
    } catch (const TIoError& e) {
        return fail(e.what(), fileName);
    }
    return 0;
}
