// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a nomination fits the competition: the checks of the entry dialog, in its order.
// The dialog and `ntbmelde-cli check` share them, so both refuse exactly the same entries.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "meldeaustausch.h"

// What failed, in the order the checks run.
enum class EntryFault {
    MissingName,
    MissingJahrgang,
    MissingWkNr,
    InvalidJahrgang,
    InvalidWkNr, // not an event number, or no event has it
    JahrgangOutOfRange,
    WrongSex,
    InvalidTime,
};

// The input field that the dialog puts the focus on for a fault.
enum class EntryField { Name, Jahrgang, Geschlecht, WkNr, Meldezeit };
EntryField FieldOf(EntryFault fault);

struct TEntryRefusal {
    EntryFault Fault;
    std::string Message; // German, Windows-1252, without the " !" that the error box adds
};

// An entry as the dialog's fields hold it (Windows-1252 texts; Sex is the chosen item).
struct TEntryInput {
    std::string Name;
    std::string Jahrgang;
    int Sex = 0;
    std::string RegNr;
    std::string WkNr;
    std::string Meldezeit;
};

// The nomination the fields stand for: name cut to its capacity, registration number
// trimmed and cut, a birth year that is not a number read as 0 (refused like any year
// before 1900).
TNominRecord NominFromInput(const TEntryInput& input);

// The event that counts for a nomination's number: the last one with it, 0 for none (numbers
// below 1 name none).
int EventOfNomin(const TMeldeAustausch& model, int wkNr);

// Checks a nomination against the competition; nothing when it fits.
std::optional<TEntryRefusal> CheckNomin(const TMeldeAustausch& model, const TNominRecord& nomin);
struct TNominFinding {
    int Position; // 1-based, in the model's order
    TEntryRefusal Refusal;
};
// Every stored nomination that CheckNomin refuses, in order.
std::vector<TNominFinding> CheckNomins(const TMeldeAustausch& model);

// The checks of the swimmer's fields alone (name and birth year), as the entry dialog makes
// them, for a swimmer kept without an event.
std::optional<TEntryRefusal> CheckSwimmerInput(const TEntryInput& input);

// The dialog's checks on its fields: first the empty fields, then CheckNomin.
std::optional<TEntryRefusal> CheckEntryInput(const TMeldeAustausch& model,
                                             const TEntryInput& input);
