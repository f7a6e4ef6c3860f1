// SPDX-License-Identifier: GPL-3.0-or-later
// What the program takes from the machine it runs on: its own folder, the time, today's year
// and the user's decimal separator. Tests pin the time, the year and the separator.
#pragma once

#include <ctime>
#include <string>

// Folder of the running program, always ending in the path separator.
std::string ProgramDir();

// Now, unless a test pinned it.
std::time_t CurrentTime();
// Calendar year of today's local date, unless a test pinned it.
int CurrentYear();
// Decimal separator of the user's locale, unless a test pinned it.
char DecimalSeparator();
// Test seams: 0 returns to the clock / the locale.
void PinCurrentYear(int year);
void PinDecimalSeparator(char separator);
void PinCurrentTime(std::time_t now);
