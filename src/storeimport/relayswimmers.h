// SPDX-License-Identifier: GPL-3.0-or-later
// Relay swimmers taken from the swimmer store: a swimmer named on the command line or typed
// into the entry dialog, and the times the store knows for a team's legs.
#pragma once

#include <QDate>
#include <QString>

#include <optional>
#include <string_view>
#include <vector>

#include "companionfile.h"
#include "swimmerstore.h"

TRelaySwimmer RelaySwimmerOf(const TSwimmer& swimmer);

// The stored swimmer whom `text` names: by registration number, else by name as stored (letter
// case, outer blanks and the blank after the comma ignored). Problem says why none is taken: no
// such swimmer, or a name that several swimmers share.
struct TNamedSwimmer {
    std::optional<TSwimmer> Swimmer;
    QString Problem; // German, without a full stop
};
TNamedSwimmer FindNamedSwimmer(const std::vector<TSwimmer>& swimmers, std::string_view text);

// The store's time of an active swimmer in a discipline on the competition's lane length: the
// fastest of the twelve months up to `until`.
std::optional<TStoredTime> StoredBestTime(const TSwimmerStore& store, const TMeldeAustausch& model,
                                          const TRelaySwimmer& swimmer,
                                          const TDiscipline& discipline, QDate until);
// The entry time the store suggests for the line-up: the legs' times summed in the legs' strokes
// (RelayTimeSuggestion); nothing unless every leg has one.
std::optional<int> StoredRelayTime(const TSwimmerStore& store, const TMeldeAustausch& model,
                                   const TRelayLineUp& lineUp, QDate until);
