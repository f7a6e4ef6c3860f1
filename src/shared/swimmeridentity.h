// SPDX-License-Identifier: GPL-3.0-or-later
// Who is who: the one rule that decides whether two records name the same swimmer, used by
// the swimmer store and every path into it, the fee overview, the warnings and the exports.
// Texts are Windows-1252 like the exchange file.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

// A name as the exchange file keeps it: "Nachname, Vorname" (or the surname alone, without a
// trailing comma), control characters as blanks, outer blanks removed, at most 30 characters.
// A name without surname (",Meier") keeps what it has. Normalising twice changes nothing.
std::string NormalizedSwimmerName(std::string_view name);

// Two names are one when these keys are equal: the normalised name in capitals.
std::string SwimmerNameKey(std::string_view name);

// The registration number as compared: blanks removed and leading zeros dropped; empty for
// none (empty, blank or only zeros, the placeholder of result lists).
std::string RegNrKey(std::string_view regNr);
// The number as kept and exported: without outer blanks and control characters, empty for none.
std::string StoredRegNr(std::string_view regNr);

// What the rule compares of a record.
struct TSwimmerIdentity {
    std::string NameKey;
    int BirthYear = 0;
    std::uint8_t Sex = 0;
    std::string RegNrKey; // empty for none

    static TSwimmerIdentity Of(std::string_view name, int birthYear, std::uint8_t sex,
                               std::string_view regNr);
};

enum class TSameSwimmer {
    No,
    Yes,
    // Equal registration numbers, but neither name nor birth year agrees: another person.
    RegNrConflict,
};

// Two records are one swimmer when their registration numbers are equal (neither none) and
// their names or their birth years agree; otherwise when name, birth year and sex agree.
TSameSwimmer CompareSwimmers(const TSwimmerIdentity& a, const TSwimmerIdentity& b);

// The distinct swimmers of a list of records, each found through an index: Add gives the
// number of the swimmer a record belongs to (a new one when none matches) and counts a
// registration number met with another person.
class TSwimmerGroups {
public:
    struct TFound {
        int Group = 0;
        bool Added = false;
        bool RegNrConflict = false;
    };
    TFound Add(const TSwimmerIdentity& identity);
    int Count() const { return static_cast<int>(identities.size()); }

private:
    std::vector<TSwimmerIdentity> identities; // index = group
    std::unordered_map<std::string, std::vector<int>> byRegNr;
    std::map<std::tuple<std::string, int, std::uint8_t>, int> byName;
};
