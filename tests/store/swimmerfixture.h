// SPDX-License-Identifier: GPL-3.0-or-later
// A stored swimmer as the store, its CSV files and the swimmer window's tests make one.
#pragma once

#include <cstdint>

#include "swimmerstore.h"

inline TSwimmer swimmer(const char* name, int year, std::uint8_t sex = 0, const char* regNr = "",
                        bool active = true) {
    TSwimmer result;
    result.Name = name;
    result.BirthYear = year;
    result.Sex = sex;
    result.RegNr = regNr;
    result.Active = active;
    return result;
}
