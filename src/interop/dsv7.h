// SPDX-License-Identifier: GPL-3.0-or-later
// The German federation's line format: a host's invitation (Wettkampfdefinitionsliste) read
// into a TInvitation, the club's entries written as a Vereinsmeldeliste. Records are lines
// "KEYWORD:field;field;…;"; Format 8 files are read as well.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "invitation.h"
#include "resultfields.h"
#include "swim.h"

class TMeldeAustausch;

// The invitation of a Wettkampfdefinitionsliste in Format 7 or 8 (UTF-8 with or without
// byte-order mark, else Windows-1252). Unknown records and comments are skipped. Throws
// TInteropError naming the line and record of what cannot be read, and for a file cut off
// before DATEIENDE. What is read with a guess (age classes that name no birth years) is added
// to `warnings` when given.
TInvitation ReadDsv7Invitation(const QByteArray& bytes, QStringList* warnings = nullptr);

// The valid individual swims of a Vereinsergebnisliste (its persons belong to the file's clubs:
// they count when `filter` takes one of them) or a Wettkampfergebnisliste (each result names its
// club). A swim ranked in several Wertungen comes once. Throws TInteropError naming the line and
// record of what cannot be read, and for any other list kind. Names rewritten for
// Windows-1252 are told by a line added to `notes` when given.
std::vector<TSwim> ReadDsv7Results(const QByteArray& bytes, const TClubFilter& filter,
                                   QStringList* notes = nullptr);

// Format 7 is valid until the end of 2026; a club without the host's DSV invitation writes
// Format 8 from then on.
constexpr int FirstYearOfFormat8 = 2027;
// The version of the Vereinsmeldeliste: that of the host's DSV invitation, else Format 8 from
// FirstYearOfFormat8 (CurrentYear) and Format 7 before.
int DsvEntriesVersion(const TInvitation& invitation);

// The club's entries as a Vereinsmeldeliste (UTF-8 without byte-order mark, CR LF) in the
// version DsvEntriesVersion gives, referring to the invitation's sections and events. Throws
// TInteropError listing every nomination the format cannot carry (CollectClubEntries). Club data a
// host may miss (an e-mail address, a club number) are added to `warnings` when given.
QByteArray WriteDsv7Entries(const TMeldeAustausch& model, const TInvitation& invitation,
                            QStringList* warnings = nullptr, const TCompanion& companion = {});

// The name a club's entries file gets: "JJJJ-MM-TT-Ort-Verein-Me" from the last section's date,
// the meet's town (8 characters) and the club (16), umlauts spelt out and only letters and
// digits kept. The caller adds ".DSV7", ".DSV8" or the Lenex extension.
QString EntriesFileStem(const TMeldeAustausch& model, const TInvitation& invitation);
