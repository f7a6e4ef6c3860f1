// SPDX-License-Identifier: GPL-3.0-or-later
// The club's stored officials and trainers named for one competition in its companion file: one
// way for the dialog and the command-line tool.
#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "companionfile.h"
#include "swimmerstore.h"

// The positions an official may wish (Einsatzwunsch), as DSV files code them.
inline constexpr const char* OfficialPositions[] = {"SCH", "ASCH", "STA", "STO", "ZRO",  "ZR",
                                                    "ZNO", "ZN",   "RZN", "SR",  "WRO",  "WR",
                                                    "AUS", "SP",   "PKF", "SIB", "SAUF", "VER"};

// Whether the nomination names the stored official: the same number, else the same name.
bool NamesOfficial(const TNominatedOfficial& nominated, const TOfficial& official);

// Nominates `official` for `sections` of `model`'s competition, each with the wished `position`
// (empty: anywhere), replacing an earlier nomination of him. Refused, changing nothing, with a
// German sentence (without full stop) naming what is wrong: no section, a section the
// competition lacks, a position unknown.
QString NominateOfficial(TCompanion& companion, const TMeldeAustausch& model,
                         const TOfficial& official, std::vector<int> sections,
                         const std::string& position);
// Withdraws the nomination of the official with this number, else this name (also of one
// deleted from the store since); the name withdrawn, nothing when none was nominated.
std::optional<std::string> WithdrawOfficial(TCompanion& companion, std::string_view nameOrNumber);

// The trainer named for the competition, replacing any other; the entries' swimmers refer to
// him.
void NameTrainer(TCompanion& companion, const TTrainer& trainer);

// A nominated official as `officials show` and the dialog list him: "Kraus, Martina (Nr. 4711,
// WKR): Abschnitte 1 (ZN), 2", with " – nicht mehr in der Kampfrichterliste" when `stored`
// no longer holds him. Windows-1252.
std::string NominationText(const TNominatedOfficial& nominated,
                           const std::vector<TOfficial>& stored);
