// SPDX-License-Identifier: GPL-3.0-or-later
// Hosts' result lists read for the swimmer store: Lenex results (.lef, .lxf) and the DSV7
// Vereinsergebnisliste and Wettkampfergebnisliste. Only valid individual swims come out:
// disqualified, not started, withdrawn, zero and missing times and relay results give none.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <vector>

#include "invitation.h"
#include "swim.h"

// A club's name as names are compared: letter case, blanks and a legal-form suffix ("e.V.",
// "e. V.", "eV") left aside.
QString ComparableClubName(const QString& name);

// Whose swims an import takes: every club's, or the own club's. A club of the file is the own
// one when both have a club number and the numbers are equal, else when the names are equal
// as ComparableClubName compares them. Swimmers of other clubs are passed over before their
// names are converted, so a name that Windows-1252 cannot hold matters only in the own club.
struct TClubFilter {
    bool AllClubs = false;
    std::string ClubId; // Windows-1252, from the club block
    std::string ClubName;

    bool Takes(const QString& clubId, const QString& clubName) const;
};

// "00:01:12.34" (Lenex) or "00:01:12,34" (DSV) in hundredths; nothing when it is no such time.
std::optional<int> ReadSwimTime(const QString& text);

// The day of a swim as its record holds it.
std::chrono::year_month_day SwimDate(const QDate& date);

// A Lenex document or archive, or a DSV file, told by its first bytes, not by its name.
bool IsFormatFile(const QByteArray& bytes);
// An XML document whose root element is LENEX (after a declaration, comments, a DOCTYPE).
bool IsLenexDocument(const QByteArray& bytes);

// The swims of a result file, whatever its name (Lenex .lef or .lxf with RESULTS, a DSV7 or
// Format 8 result list). Throws TIoError when the file cannot be read and TInteropError naming
// the file and the line when it is no result file or damaged. What was rewritten or skipped is
// told by lines added to `notes` when given.
std::vector<TSwim> ReadResultFile(const std::string& path, const TClubFilter& filter,
                                  QStringList* notes = nullptr);
