// SPDX-License-Identifier: GPL-3.0-or-later
// The format files on disk: an invitation read by its extension, the club's entries written
// atomically in the format its name asks for, and the host's invitation kept beside the
// exchange file so that a later export refers to the host's own events.
#pragma once

#include <optional>
#include <string>

#include "invitation.h"

// `.lef`, `.lxf` or `.dsv7` (any letter case). Throws TIoError when the file cannot be read,
// TInteropError when it is no invitation this program can take.
TInvitation ReadInvitationFile(const std::string& path);

// Writes the club's entries to `out` (`.lef`, `.lxf` or `.dsv7`), referring to the invitation
// at `invitationPath`, or to the exchange file's own events without one. Nothing is written
// when the export is refused (TInteropError) or fails (TIoError); a previous `out` stays.
void ExportEntries(const TMeldeAustausch& model, const std::string& out,
                   const std::optional<std::string>& invitationPath);

// The invitation kept in the folder of the exchange file `exchangePath`, if there is one.
std::optional<std::string> FindKeptInvitation(const std::string& exchangePath);
// Copies the host's file `invitationPath` beside `exchangePath` as AUSSCHREIBUNG.lxf, .lef or
// .DSV7, replacing an invitation kept there before. Throws TIoError.
void KeepInvitation(const std::string& invitationPath, const std::string& exchangePath);
