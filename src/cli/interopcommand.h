// SPDX-License-Identifier: GPL-3.0-or-later
// `ntbmelde-cli import` and `ntbmelde-cli export`: a host's invitation into a new exchange file,
// the club's entries out of one as Lenex or DSV7.
#pragma once

#include <optional>
#include <string>

// Turns the invitation (.lef, .lxf, .dsv7) into the exchange file `out`, written as `resave`
// writes, and keeps the invitation beside it. `out` must not exist. Returns 0; raises
// CliFailure with the reason, or TIoError, when nothing could be written.
int RunImportCommand(const std::string& invitation, const std::string& out);

// Writes the entries of the exchange file `file` to `out` in the format of its extension,
// referring to `invitation`, else to the invitation kept beside `file`, else to the exchange
// file's own events. Returns 0; raises CliFailure or TIoError when nothing was written.
int RunExportCommand(const std::string& file, const std::string& out,
                     const std::optional<std::string>& invitation);
