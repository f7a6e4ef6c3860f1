// SPDX-License-Identifier: GPL-3.0-or-later
// The nominations of a model as the fee overview and the warnings read them: each with the
// event that counts for it, and grouped by swimmer. Built once, read by both.
#pragma once

#include <string>
#include <vector>

#include "meldeaustausch.h"

// Two entries name the same person when these keys are equal: the name without outer blanks,
// letters upper-cased.
std::string SwimmerNameKey(const std::string& name);

struct TNominTable {
    std::vector<TEventRecord> Events; // index = event position; 0 the empty event
    std::vector<TNominRecord> Nomins; // index = nomination position - 1
    // Per nomination: the event that counts for its number, 0 when none has it.
    std::vector<int> EventOf;
    // Per nomination: its SwimmerNameKey as a number, in the keys' order, equal for equal keys.
    std::vector<int> NameRank;
    // Nomination indexes in order of name key, birth year, event number and position, so that
    // each swimmer's entries stand together.
    std::vector<std::size_t> BySwimmer;
};

TNominTable TabulateNomins(const TMeldeAustausch& model);
