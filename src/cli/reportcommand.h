// `ntbmelde-cli report FILE`: the control printout of FILE on standard output.
#pragma once

#include <string>

// Writes the printout of the exchange file at `fileName` to stdout exactly as a plain-text
// save would write it (Windows-1252, CR LF after every line). Returns the exit code: 0, or 1
// after a German message on stderr.
int RunReportCommand(const std::string& fileName);
