// SPDX-License-Identifier: GPL-3.0-or-later
// What the Lenex and the DSV result readers share: whose swims an import takes, and a swim's
// time and day as their records hold them.
#pragma once

#include <QDate>
#include <QString>

#include <chrono>
#include <optional>
#include <string>

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
