// SPDX-License-Identifier: GPL-3.0-or-later
// Entries that the entry dialog accepts but that a host would query: one swimmer twice in one
// event, one name with different details, one registration number on different people, an
// entry time far off for the distance. Entries of a file edited elsewhere that break their
// event's rules are listed too, and those that miss the host's qualifying time. These are hints,
// never refusals: two relay teams of one name may be meant.
#pragma once

#include <string>
#include <vector>

#include "nomintable.h"
#include "qualifying.h"

enum class WarningKind {
    TwiceInEvent,
    BirthYearsDiffer,
    SexesDiffer,
    RegNrsDiffer,
    RegNrOfOthers,
    ImplausibleTime,
    BreaksEventRules,
    MissesQualifyingTime, // qualifying.h
};

struct TNominWarning {
    WarningKind Kind;
    std::vector<int> Nomins; // positions in the model, ascending
    std::string Text;        // a German sentence (Windows-1252) without its full stop
};

// Every warning about the model's nominations, ordered by the first nomination each concerns
// and then by kind. Relay teams are not checked for differing details: a team's birth year
// and sex vary by event.
std::vector<TNominWarning> FindNominWarnings(const TMeldeAustausch& model,
                                             const std::vector<TQualifyingTime>& times = {});
// The same for callers that have the model's table (TabulateNomins) already.
std::vector<TNominWarning> FindNominWarnings(const TMeldeAustausch& model, const TNominTable& table,
                                             const std::vector<TQualifyingTime>& times = {});
