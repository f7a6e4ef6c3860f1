// SPDX-License-Identifier: GPL-3.0-or-later
// What the club sends with its entries and the exchange file cannot hold: the officials it
// nominates for the competition's sections, the swimmers of each relay team in start order and
// the trainers named for the competition. Kept beside the exchange file under a name derived
// from its own ("EXCHANGE.NT2" keeps "EXCHANGE.ZUSATZ.json"), so that two competitions in one
// folder never share it; the exchange file stays exactly what the host expects.
#pragma once

#include <QStringList>
#include <string>
#include <vector>

#include "meldeaustausch.h"

// Every text is Windows-1252, as in the exchange file. A person is kept by name and number, so
// that one deleted from the swimmer store later still goes out with the entries.
struct TOfficialSection {
    int Section = 0;      // 1-based, a section of the competition
    std::string Position; // wished position (DSV code such as "ZN"); empty for anywhere
    bool operator==(const TOfficialSection&) const = default;
};
struct TNominatedOfficial {
    std::string Name;   // "Nachname, Vorname"
    std::string Number; // Kampfrichter-Nr., may be empty
    std::string Group;  // WKR, AUS, SCH or SPR
    std::string Sex;    // "M", "W", "D" or empty
    std::vector<TOfficialSection> Sections;
    bool operator==(const TNominatedOfficial&) const = default;
};
struct TRelaySwimmer {
    std::string Name; // as stored and as the exchange file writes names
    int BirthYear = 0;
    std::uint8_t Sex = 0; // as TNominRecord::Sex
    std::string RegNr;
    bool operator==(const TRelaySwimmer&) const = default;
};
// The swimmers of the relay nomination with this event number and team name, leg 1 first.
struct TRelayLineUp {
    int WkNr = 0; // the nomination's event number code
    std::string Team;
    std::vector<TRelaySwimmer> Swimmers;
    bool operator==(const TRelayLineUp&) const = default;
};
struct TNamedTrainer {
    std::string Name;
    std::string Sex; // "M", "W", "D" or empty
    bool operator==(const TNamedTrainer&) const = default;
};

struct TCompanion {
    std::vector<TNominatedOfficial> Officials;
    std::vector<TRelayLineUp> LineUps;
    std::vector<TNamedTrainer> Trainers;
    bool operator==(const TCompanion&) const = default;
    bool IsEmpty() const { return Officials.empty() && LineUps.empty() && Trainers.empty(); }
};

// The sections, ascending, for which at least one official is nominated.
std::vector<int> StaffedSections(const TCompanion& companion);

// "EXCHANGE.NT2" -> "EXCHANGE.ZUSATZ.json", beside it.
std::string CompanionPath(const std::string& exchangePath);

struct TCompanionLoad {
    TCompanion Companion; // empty when there is none or it cannot be used
    // Why the file on disk was not used (damaged, another competition's), in a German sentence
    // naming it; empty when it was read or there is none.
    QString Problem;
};
// The companion file of `exchangePath` for the competition `model` holds. A missing file is an
// empty companion; one that is damaged or belongs to another competition is not used, and says
// why (it stays on disk until SaveCompanion puts it aside).
TCompanionLoad LoadCompanion(const std::string& exchangePath, const TMeldeAustausch& model);

// Writes `companion` atomically as the companion file of `exchangePath` for `model`'s
// competition; an empty companion removes the file. A file on disk that LoadCompanion would not
// use is never overwritten silently: it is first kept under its name with the date and time
// (`EXCHANGE.ZUSATZ_2026-12-07_20-35-40.json`), and a note names that copy. Throws TIoError.
void SaveCompanion(const std::string& exchangePath, const TMeldeAustausch& model,
                   const TCompanion& companion, QStringList* notes = nullptr);
