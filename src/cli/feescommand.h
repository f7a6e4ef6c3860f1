// SPDX-License-Identifier: GPL-3.0-or-later
// `ntbmelde-cli fees FILE`: the overview "Meldegeld".
#pragma once

#include <string>

// Writes the fee overview of the exchange file at `fileName`, dated today, to stdout as UTF-8
// lines ended by LF. Returns the exit code 0. A file that cannot be read, or output that
// cannot be written, raises TIoError.
int RunFeesCommand(const std::string& fileName);
