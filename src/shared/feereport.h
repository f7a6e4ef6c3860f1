// SPDX-License-Identifier: GPL-3.0-or-later
// The overview "Meldegeld": what the club owes the host, per swimmer, relay and section, with
// the warnings about its entries. Lines like the control printout's, so the same window and
// file writers serve both.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "qualifying.h"

class TMeldeAustausch;

// The host's entry deadline: a day and, where the invitation names it, the time of day.
struct TDeadline {
    int Year = 0, Month = 0, Day = 0;
    int Minutes = -1; // after midnight; -1: the whole day counts
};

// "01.12.2026, 18:00 Uhr", or the day alone.
std::string DeadlineText(const TDeadline& deadline);
// Whether `deadline` lies before the local time now (CurrentTime).
bool DeadlinePassed(const TDeadline& deadline);
// "Der Meldeschluss (01.12.2026, 18:00 Uhr) ist vorbei"
std::string DeadlinePassedText(const TDeadline& deadline);

// What a fee beyond the events' own is charged for. A team fee belongs to team championships,
// which clubs enter otherwise: it is named, not added.
enum class TFlatFeeKind { Club, Swimmer, Section, LateIndividual, LateRelay, Team };

struct TFlatFee {
    TFlatFeeKind Kind = TFlatFeeKind::Club;
    long long Cents = 0;
    int Section = 0; // TFlatFeeKind::Section: the section it is charged for; 0: every section
};

// What the host's invitation says beyond the events' fees: the currency of every amount, the
// fees per club, swimmer, section and late start, the entry deadline and the qualifying times.
struct TMeetFees {
    std::string Currency = "EUR";
    std::vector<TFlatFee> Flat; // in the invitation's order
    std::optional<TDeadline> Deadline;
    std::vector<TQualifyingTime> QualifyingTimes;
};

// An event's fee in whole cents, rounded once. Fees beyond ten million euros, and values that
// are no number, count as 0: no host asks that much, and every sum stays inside 64 bits.
long long FeeCents(double fee);
// "1.234,50 EUR": decimal comma, thousands grouped with a point; another currency's code
// instead of EUR when given.
std::string EuroText(long long cents, const std::string& currency = "EUR");

// Today's local date as "TT.MM.JJJJ".
std::string TodayDateText();

// The overview's lines (Windows-1252, no line ends) for the model as it is now, dated
// `reportDate`. The last line is "Meldegeld gesamt: <amount>". With `staffedSections` (the
// sections officials are nominated for) the hints name the sections with starts and none.
std::vector<std::string>
BuildFeeLines(const TMeldeAustausch& model, const std::string& reportDate,
              const TMeetFees& meetFees = {},
              const std::optional<std::vector<int>>& staffedSections = std::nullopt);
