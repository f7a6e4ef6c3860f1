// SPDX-License-Identifier: GPL-3.0-or-later
// The format files on disk: an invitation read by its extension, the club's entries written
// atomically in the format its name asks for, and the host's invitation kept beside the
// exchange file, under a name of its own, so that a later export refers to the host's own events
// and never to another competition's.
#pragma once

#include <QDateTime>
#include <optional>
#include <string>

#include "invitation.h"

// `.lef`, `.lxf`, `.dsv7`, `.dsv8` or `.dsv8z` (any letter case); Lenex or DSV and packed or
// not is told by the content. What was read with a guess is added to `notes` when given.
// Throws TIoError when the file cannot be read, TInteropError when it is no invitation this
// program can take (also a file with entries or results, saying where it belongs).
TInvitation ReadInvitationFile(const std::string& path, QStringList* notes = nullptr);

// What an export wrote: the club's starts (individual and relay), its swimmers and teams.
struct TExportSummary {
    int Nominations = 0;
    int Swimmers = 0;
    int Relays = 0;
};

// "13 Meldungen, 6 Schwimmer, 2 Staffeln"
QString ExportSummaryText(const TExportSummary& summary);
// What an import made of an invitation: "10 Wettkämpfe in 3 Abschnitten"
QString ImportSummaryText(const TMeldeAustausch& model);

// Writes the club's entries to `out` (Lenex for `.lef` and `.lxf`, a Vereinsmeldeliste for
// Format 7 for `.dsv7`, Format 8 for `.dsv8`), referring to the invitation
// at `invitationPath`, or to the exchange file's own events without one. Refused (TInteropError,
// listing every case) when the invitation is another competition's, or for entries the entry
// dialog would refuse, a swimmer entered twice in one event or what the format cannot carry.
// What the host may miss is added to `notes` when given. Nothing is written when the export is
// refused or fails (TIoError); a previous `out` stays.
TExportSummary ExportEntries(const TMeldeAustausch& model, const std::string& out,
                             const std::optional<std::string>& invitationPath,
                             QStringList* notes = nullptr, const TCompanion& companion = {});

// The currency and flat fees of the invitation kept for the exchange file, euros and none
// without one (or when it is no longer readable: the overview still shows the events' fees).
TMeetFees KeptMeetFees(const std::string& exchangePath, const TMeldeAustausch& model);

// The name under which the host's file `invitationPath` is kept for the exchange file
// `exchangePath`: beside it, the exchange file's name without its extension, then
// ".AUSSCHREIBUNG" and the invitation's format ("EXCHANGE.AUSSCHREIBUNG.lxf"; a packed DSV
// list is kept unpacked as ".DSV8").
std::string KeptInvitationPath(const std::string& exchangePath, const std::string& invitationPath);
// The invitation kept for the exchange file `exchangePath`, if there is one. A folder of an
// earlier version keeps one AUSSCHREIBUNG.* for all; that one counts only when its meet is
// `model`'s competition.
std::optional<std::string> FindKeptInvitation(const std::string& exchangePath,
                                              const TMeldeAustausch& model);
// The invitation kept for the exchange file, else one made of the file's own events; a kept one
// that can no longer be read is added to `notes` and left aside.
TInvitation KeptOrOwnInvitation(const std::string& exchangePath, const TMeldeAustausch& model,
                                QStringList& notes);
// Copies the host's file `invitationPath` to KeptInvitationPath, replacing an invitation kept
// for this exchange file before. Throws TIoError, or TInteropError for a damaged packed list.
void KeepInvitation(const std::string& invitationPath, const std::string& exchangePath);
// The exchange file whose kept invitation `invitationPath` is, when that file exists beside it
// ("EXCHANGE.AUSSCHREIBUNG.lxf" belongs to "EXCHANGE.NT2").
std::optional<std::string> ExchangeFileOfKept(const std::string& invitationPath);
// Copies the exchange file `exchangePath`, and the invitation and companion file kept for it,
// beside it under its name with the date and time `when` ("EXCHANGE_2026-12-07_20-35-40.NT2"), so
// that replacing it loses nothing. Returns the copy's path. Throws TIoError.
std::string KeepBackupCopy(const std::string& exchangePath, const QDateTime& when);

// Throws TInteropError saying why an export of `exchangePath` must not write `out` (the reason
// alone, without the name): it is the exchange file itself, or an invitation kept for a
// competition.
void CheckExportTarget(const std::string& exchangePath, const std::string& out);
