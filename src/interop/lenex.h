// SPDX-License-Identifier: GPL-3.0-or-later
// Lenex 3: the host's invitation read, the club's entries written (the XML of a .lef file).
#pragma once

#include <QByteArray>
#include <QStringList>

#include "invitation.h"
#include "resultfields.h"
#include "swim.h"

// The meet of an invitation: its sessions and every event in file order, ages turned into birth
// years. Elements and attributes this program has no use for are passed over. Throws
// TInteropError naming the line of a damaged file or the event whose stroke is unknown.
TInvitation ReadLenexInvitation(const QByteArray& xml);

// The valid individual swims of the clubs `filter` takes, from a results file's MEET: style
// and session of the RESULT's event, pool of the session else of the meet (yard pools are
// passed over). Athletes without a readable birth date are skipped with their swims; they and
// the names rewritten for Windows-1252 are told by lines added to `notes`. Throws
// TInteropError naming the line of a damaged file, of an unknown event or of a name no table
// renders, and when the file has no results at all.
std::vector<TSwim> ReadLenexResults(const QByteArray& xml, const TClubFilter& filter,
                                    QStringList* notes = nullptr);

// The club's entries for the host: the invitation's meet, sessions and events, then the club
// with its athletes and relays (UTF-8, no byte-order mark). Throws TInteropError listing what
// the format cannot carry.
QByteArray WriteLenexEntries(const TMeldeAustausch& model, const TInvitation& invitation,
                             const TCompanion& companion = {});
