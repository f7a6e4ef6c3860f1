// SPDX-License-Identifier: GPL-3.0-or-later
// The host's qualifying times (Pflichtzeiten): an entry in an event must be at least as fast as
// the time given for the swimmer's birth years and sex. The entry dialog, `check --warnings` and
// the fee overview all ask FindQualifyingWarnings.
#pragma once

#include <vector>

#include "warnings.h"

class TMeldeAustausch;

struct TQualifyingTime {
    int WkNr = 0;                 // the exchange file's event code
    int EarliestBirthYear = 1900; // the swimmers of this time: born in these years,
    int LatestBirthYear = 0;      // 0: no bound on the youngest
    int Sex = -1;                 // 0 male, 1 female; -1 both
    int Time = 0;                 // hundredths
};

// One warning (WarningKind::MissesQualifyingTime) per individual nomination that is slower than
// the first time of its event, birth year and sex, or has no entry time there.
std::vector<TNominWarning> FindQualifyingWarnings(const TMeldeAustausch& model,
                                                  const std::vector<TQualifyingTime>& times);
