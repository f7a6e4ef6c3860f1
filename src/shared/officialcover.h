// SPDX-License-Identifier: GPL-3.0-or-later
// Which sections of the competition the club's officials cover: hosts fine a club that starts
// in a section without naming an official for it.
#pragma once

#include <string>
#include <vector>

class TMeldeAustausch;

// The competition's sections are 1 … this: the sections given, or the highest an event has.
int SectionCount(const TMeldeAustausch& model);
// The sections, ascending, in which the club has an entry, individual or relay, and no
// official is nominated (`staffed`: the sections some official is nominated for).
std::vector<int> SectionsWithoutOfficial(const TMeldeAustausch& model,
                                         const std::vector<int>& staffed);
// "2 Abschnitte ohne Kampfrichter: 1, 3"; Windows-1252, without full stop.
std::string SectionsWithoutOfficialText(const std::vector<int>& sections);
