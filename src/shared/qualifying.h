// SPDX-License-Identifier: GPL-3.0-or-later
// The host's qualifying times (Pflichtzeiten): an entry in an event must be at least as fast as
// the time given for the swimmer's birth years and sex.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct TNominRecord;

struct TQualifyingTime {
    int WkNr = 0;                 // the exchange file's event code
    int EarliestBirthYear = 1900; // the swimmers of this time: born in these years,
    int LatestBirthYear = 0;      // 0: no bound on the youngest
    int Sex = -1;                 // 0 male, 1 female; -1 both
    int Time = 0;                 // hundredths
};

// What a host would say of an individual nomination slower than the first of `times` that fits
// its event, birth year and sex, or without an entry time there: a German sentence
// (Windows-1252) without its full stop. Nothing when it meets the time or none fits.
std::optional<std::string> QualifyingHint(const TNominRecord& nomin,
                                          const std::vector<TQualifyingTime>& times);
