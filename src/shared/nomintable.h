// SPDX-License-Identifier: GPL-3.0-or-later
// What the fee overview and the warnings need of a model's nominations: each one's event,
// and the nominations grouped by swimmer. Built once, read by both.
#pragma once

#include <string>
#include <vector>

#include "meldeaustausch.h"
#include "swimmeridentity.h"

// Per nomination, index = position - 1.
struct TNominTable {
    // The event that counts for its number (EventOfNomin), 0 when none has it.
    std::vector<int> EventOf;
    // Its SwimmerNameKey as a number, in the keys' order, equal for equal keys.
    std::vector<int> NameRank;
    // Nomination indexes in order of name key, birth year, event number and position, so that
    // each swimmer's entries stand together.
    std::vector<std::size_t> BySwimmer;
};

TNominTable TabulateNomins(const TMeldeAustausch& model);
