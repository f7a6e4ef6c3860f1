// SPDX-License-Identifier: GPL-3.0-or-later
// One swim of a result list, as the result readers hand it to the swimmer store.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "discipline.h"

// The longest time the exchange file can hold ("99:59,99"); longer swims are not kept.
constexpr int LongestExchangeTime = 599999;

// Texts are Windows-1252 like the exchange file.
struct TSwim {
    std::string ClubName;
    std::string ClubId; // the federation's club number, empty when the file gives none
    std::string Name;   // "Nachname, Vorname"
    int BirthYear = 0;
    std::uint8_t Sex = 0; // as in a nomination: 0 male, 1 female, 2 diverse
    std::string RegNr;    // empty when the file gives none
    TDiscipline Discipline;
    int LaneLength = 0; // 25, 50, other pool lengths as given, 0 for open water
    std::chrono::year_month_day Date;
    std::string CompName;
    int Hundredths = 0;
};
