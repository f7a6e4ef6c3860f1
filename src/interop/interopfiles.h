// SPDX-License-Identifier: GPL-3.0-or-later
// The format files on disk: an invitation read by its extension, the club's entries written
// atomically in the format its name asks for, and the host's invitation kept beside the
// exchange file so that a later export refers to the host's own events.
#pragma once

#include <optional>
#include <string>

#include "invitation.h"

// `.lef`, `.lxf`, `.dsv7`, `.dsv8` or `.dsv8z` (any letter case); Lenex or DSV and packed or
// not is told by the content. What was read with a guess is added to `notes` when given.
// Throws TIoError when the file cannot be read, TInteropError when it is no invitation this
// program can take.
TInvitation ReadInvitationFile(const std::string& path, QStringList* notes = nullptr);

// Writes the club's entries to `out` (Lenex for `.lef` and `.lxf`, a Vereinsmeldeliste for
// `.dsv7` and `.dsv8` in the version WriteDsv7Entries chooses), referring to the invitation
// at `invitationPath`, or to the exchange file's own events without one. What the host may
// miss is added to `notes` when given. Nothing is written when the export is refused
// (TInteropError) or fails (TIoError); a previous `out` stays.
void ExportEntries(const TMeldeAustausch& model, const std::string& out,
                   const std::optional<std::string>& invitationPath, QStringList* notes = nullptr);

// The currency and flat fees of the invitation kept beside the exchange file, euros and none
// without one (or when it is no longer readable: the overview still shows the events' fees).
TMeetFees KeptMeetFees(const std::string& exchangePath);

// The invitation kept in the folder of the exchange file `exchangePath`, if there is one.
std::optional<std::string> FindKeptInvitation(const std::string& exchangePath);
// Copies the host's file `invitationPath` beside `exchangePath` as AUSSCHREIBUNG.lxf, .lef,
// .DSV7 or .DSV8 (a packed list unpacked), replacing an invitation kept there before. Throws
// TIoError, or TInteropError for a damaged packed list.
void KeepInvitation(const std::string& invitationPath, const std::string& exchangePath);
