// SPDX-License-Identifier: GPL-3.0-or-later
// What the program takes from the machine it runs on: its own folder, today's year and the
// user's decimal separator. Tests pin the year and the separator.
#pragma once

#include <string>

// Folder of the running program, always ending in the path separator.
std::string ProgramDir();

// Calendar year of today's local date, unless a test pinned it.
int CurrentYear();
// Decimal separator of the user's locale, unless a test pinned it.
char DecimalSeparator();
// Test seams: 0 returns to the clock / the locale.
void PinCurrentYear(int year);
void PinDecimalSeparator(char separator);
