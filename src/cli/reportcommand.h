// SPDX-License-Identifier: GPL-3.0-or-later
// `ntbmelde-cli report FILE`: the control printout of FILE on standard output.
#pragma once

#include <string>

// Writes the printout of the exchange file at `fileName` to stdout, byte for byte what a
// plain-text save writes (Windows-1252, CR LF after every line); a cut-off file is printed
// too, with a warning on standard error. Returns the exit code 0. A file that cannot be read,
// or output that cannot be written, raises TIoError; one that is no exchange file CliFailure.
int RunReportCommand(const std::string& fileName);
