// SPDX-License-Identifier: GPL-3.0-or-later
// `ntbmelde-cli check [--warnings] FILE`: the nominations that the entry dialog would refuse,
// and on request the warnings about the others.
#pragma once

#include <string>

// Lists on stdout (UTF-8) every nomination of the exchange file at `fileName` that the
// entry dialog would refuse, with its position in the file, the swimmer and the reason; a
// cut-off file is a finding too, listed first. `withWarnings` adds a line "Hinweis: ..." per
// warning after them. Returns the exit code: 0 when there is no finding, 1 otherwise (warnings
// do not count). A file that cannot be read raises TIoError; one that is no exchange file
// CliFailure.
int RunCheckCommand(const std::string& fileName, bool withWarnings);
