// SPDX-License-Identifier: GPL-3.0-or-later
// How the windows show a stored swimmer.
#pragma once

#include <QDate>
#include <QString>
#include <cstdint>
#include <string>

struct TSwimmer;

// "männlich", "weiblich" or "mixed" for the sex codes 0, 1 and 2 of a nomination.
QString sexName(std::uint8_t sex);
// "Meier, Hans · 2008 · männlich · DE-4711"; without a registration number its part is left out.
QString swimmerLine(const TSwimmer& swimmer);
// The refusal of a name that has no comma between surname and first name.
QString unsplittableNameMessage();
// "14.06.2026", empty for a null date.
QString germanDate(QDate date);
// The competition's first day ("13.03.2027" as the file holds it), null when it has none.
QDate competitionDate(const std::string& date1);
