// SPDX-License-Identifier: GPL-3.0-or-later
// A stored swimmer as the store, its CSV files and the swimmer window's tests make one.
#pragma once

#include <QString>

#include <cstdint>

#include "swimmerstore.h"
#include "windows1252.h"

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

inline TOfficial official(const char* name, const char* number, const char* group,
                          const char* sex = "", bool active = true) {
    return {0, name, number, group, sex, active};
}

// "Kraus, Martina|4711|WKR|W|ja", UTF-8, as the tests compare officials.
inline QString describedOfficial(const TOfficial& official) {
    return QString::fromStdString(AnsiToUtf8(official.Name + '|' + official.Number + '|' +
                                             official.Group + '|' + official.Sex + '|' +
                                             (official.Active ? "ja" : "nein")));
}
