// SPDX-License-Identifier: GPL-3.0-or-later
#include "feereport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <map>

#include "environment.h"
#include "meldeaustausch.h"
#include "officialcover.h"
#include "swimmeridentity.h"
#include "warnings.h"

namespace {

constexpr double LargestFee = 10'000'000.0;
// "Staffelstarts", the longest label of the totals.
constexpr std::size_t TotalsLabelWidth = 13;

std::string filled(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string rightAligned(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

struct Totals {
    int Swimmers = 0;
    int IndividualStarts = 0;
    int RelayStarts = 0;
    long long IndividualCents = 0;
    long long RelayCents = 0;
};

class FeeOverview {
public:
    FeeOverview(const TMeldeAustausch& model, const std::string& reportDate,
                const TMeetFees& meetFees, const std::optional<std::vector<int>>& staffedSections)
        : model(model), reportDate(reportDate), meetFees(meetFees),
          staffedSections(staffedSections), table(TabulateNomins(model)), eventOf(table.EventOf),
          nameRank(table.NameRank) {
        collectStarts();
        measureColumns();
        countTotals();
    }

    std::vector<std::string> lines() {
        result.reserve(eventOf.size() * 2 + 100);
        addHead();
        addSwimmers("Einzelstarts", individual, true);
        addSwimmers("Staffeln", relay, true);
        addSwimmers("Ohne Wettkampf", unknown, false);
        addTotals();
        const long long flatCents = addFlatFees();
        addWarnings();
        result.push_back("");
        result.push_back(
            "Meldegeld gesamt: " +
            EuroText(overall.IndividualCents + overall.RelayCents + flatCents, meetFees.Currency));
        for (const TFlatFee& fee : meetFees.Flat) {
            if (fee.Kind == TFlatFeeKind::Team)
                result.push_back("Dazu laut Ausschreibung je Mannschaft: " +
                                 EuroText(fee.Cents, meetFees.Currency));
        }
        return std::move(result);
    }

private:
    // Entries (0-based indexes) in the order of OrderBySwimmer.
    using Starts = std::vector<std::size_t>;

    void collectStarts() {
        for (int event = 0; event <= model.EventCount(); ++event)
            eventCents.push_back(FeeCents(model.Event(event).Fee));
        for (std::size_t i : table.BySwimmer) {
            const int event = eventOf[i];
            Starts& list = event == 0 ? unknown : model.Event(event).Staffel ? relay : individual;
            list.push_back(i);
        }
        groupIndividualStarts();
    }

    // Who is one swimmer goes by the identity rule (a registration number joins a misspelt
    // name, a name of both sexes is two children): each swimmer's starts stand together where
    // his first one stands.
    void groupIndividualStarts() {
        TSwimmerGroups groups;
        std::vector<int> groupOf;
        groupOf.reserve(individual.size());
        for (const std::size_t i : individual) {
            const TNominRecord& start = nomin(i);
            groupOf.push_back(
                groups
                    .Add(TSwimmerIdentity::Of(start.Name, start.BirthYear, start.Sex, start.RegNr))
                    .Group);
        }
        std::vector<std::size_t> firstAt(static_cast<std::size_t>(groups.Count()),
                                         individual.size());
        for (std::size_t k = 0; k < individual.size(); ++k)
            firstAt[groupOf[k]] = std::min(firstAt[groupOf[k]], k);
        std::vector<std::size_t> order(individual.size());
        for (std::size_t k = 0; k < order.size(); ++k)
            order[k] = k;
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return firstAt[groupOf[a]] < firstAt[groupOf[b]];
        });
        Starts grouped;
        grouped.reserve(individual.size());
        swimmerOf.assign(eventOf.size(), -1);
        for (const std::size_t k : order) {
            grouped.push_back(individual[k]);
            swimmerOf[individual[k]] = groupOf[k];
        }
        individual = std::move(grouped);
    }

    // Columns wide enough for every event number, event name and amount of this overview;
    // the start of each event's lines and its fee composed once.
    void measureColumns() {
        long long largest = 0;
        bool negative = false;
        for (std::size_t i = 0; i < eventOf.size(); ++i) {
            wkNrWidth = std::max(wkNrWidth, TMeldeAustausch::WkNrToText(nomin(i).WkNr).size());
            eventNameWidth = std::max(eventNameWidth, model.Event(eventOf[i]).Name.size());
            largest += std::llabs(eventCents[eventOf[i]]);
            negative = negative || eventCents[eventOf[i]] < 0;
        }
        amountWidth = EuroText(negative ? -largest : largest, meetFees.Currency).size();
        countWidth = std::to_string(eventOf.size()).size();
        amountColumn = 6 + wkNrWidth + 2 + eventNameWidth + 2 + BlankTimeText.size() + 2;
        sumStart = filled("   Summe", amountColumn);
        for (int event = 0; event <= model.EventCount(); ++event) {
            eventStart.push_back(startColumns(model.Event(event).WkNr, model.Event(event).Name));
            eventAmount.push_back("  " + amount(eventCents[event]));
        }
    }

    // Event number and name of a start's line, up to its entry time.
    std::string startColumns(int wkNr, const std::string& eventName) const {
        return "   Wk " + filled(TMeldeAustausch::WkNrToText(wkNr), wkNrWidth) + "  " +
               filled(eventName, eventNameWidth) + "  ";
    }

    const TNominRecord& nomin(std::size_t index) const {
        return model.Nomin(static_cast<int>(index) + 1);
    }

    int sectionOf(std::size_t index) const { return model.Event(eventOf[index]).Period; }

    void countTotals() {
        for (std::size_t index : individual) {
            for (Totals* totals : {&overall, &bySection[sectionOf(index)]}) {
                ++totals->IndividualStarts;
                totals->IndividualCents += eventCents[eventOf[index]];
            }
        }
        for (std::size_t index : relay) {
            for (Totals* totals : {&overall, &bySection[sectionOf(index)]}) {
                ++totals->RelayStarts;
                totals->RelayCents += eventCents[eventOf[index]];
            }
        }
        forEachSwimmer(
            individual, [this](Starts::const_iterator begin, Starts::const_iterator end) {
                ++overall.Swimmers;
                std::vector<int> sections;
                for (auto it = begin; it != end; ++it)
                    sections.push_back(sectionOf(*it));
                std::sort(sections.begin(), sections.end());
                sections.erase(std::unique(sections.begin(), sections.end()), sections.end());
                for (int section : sections)
                    ++bySection[section].Swimmers;
            });
    }

    // Whether two starts are of one swimmer (by the identity rule) or one team (equal name key
    // and year).
    bool sameSwimmer(std::size_t a, std::size_t b) const {
        if (swimmerOf[a] >= 0 || swimmerOf[b] >= 0)
            return swimmerOf[a] == swimmerOf[b];
        return nameRank[a] == nameRank[b] && nomin(a).BirthYear == nomin(b).BirthYear;
    }

    // Calls `group` with each run of starts of one swimmer (or team).
    template <typename Group> void forEachSwimmer(const Starts& starts, Group group) const {
        for (auto begin = starts.begin(); begin != starts.end();) {
            auto end = begin + 1;
            while (end != starts.end() && sameSwimmer(*end, *begin))
                ++end;
            group(begin, end);
            begin = end;
        }
    }

    void addHeading(const std::string& title) {
        result.push_back("");
        result.push_back(title);
        result.push_back(std::string(title.size(), '='));
    }

    void addHead() {
        result.push_back("   MELDEGELD");
        result.push_back("   +++++++++");
        result.push_back("");
        result.push_back("Veranstaltung: " + model.CompName);
        if (meetFees.Deadline)
            result.push_back("Meldeschluss : " + DeadlineText(*meetFees.Deadline));
        result.push_back("Verein       : " + model.ClubName);
        result.push_back("Stand        : " + reportDate);
    }

    // Each swimmer (or team) with a line per start and, where fees are known, a sum.
    void addSwimmers(const std::string& title, const Starts& starts, bool withFees) {
        if (starts.empty())
            return;
        addHeading(title);
        forEachSwimmer(starts, [&](Starts::const_iterator begin, Starts::const_iterator end) {
            const TNominRecord& first = nomin(*begin);
            std::string head = first.Name;
            head += ", Jg. ";
            head += std::to_string(first.BirthYear);
            // A result list's placeholder ("0", "000000") is no number.
            const auto withRegNr = std::find_if(
                begin, end, [this](std::size_t i) { return !RegNrKey(nomin(i).RegNr).empty(); });
            if (withRegNr != end)
                head += ", Reg.-Nr. " + StoredRegNr(nomin(*withRegNr).RegNr);
            result.push_back(std::move(head));
            long long sum = 0;
            for (auto it = begin; it != end; ++it) {
                const TNominRecord& start = nomin(*it);
                const int event = eventOf[*it];
                std::string line;
                line.reserve(amountColumn + amountWidth);
                line += event == 0 ? startColumns(start.WkNr, "") : eventStart[event];
                line += HundredthsToTimeText(start.Time);
                if (withFees)
                    line += eventAmount[event];
                result.push_back(std::move(line));
                sum += eventCents[event];
            }
            if (withFees)
                result.push_back(sumStart + amount(sum));
        });
    }

    void addTotalsOf(const std::string& title, const Totals& totals) {
        const auto line = [this](const char* label, const std::string& count) {
            return "   " + filled(label, TotalsLabelWidth) + ": " + rightAligned(count, countWidth);
        };
        result.push_back(title);
        result.push_back(line("Schwimmer", std::to_string(totals.Swimmers)));
        result.push_back(line("Einzelstarts", std::to_string(totals.IndividualStarts)) + "  " +
                         amount(totals.IndividualCents));
        result.push_back(line("Staffelstarts", std::to_string(totals.RelayStarts)) + "  " +
                         amount(totals.RelayCents));
        result.push_back(line("Meldegeld", "") + "  " +
                         amount(totals.IndividualCents + totals.RelayCents));
    }

    void addTotals() {
        addHeading("Summen");
        for (const auto& [section, totals] : bySection)
            addTotalsOf(section == 0 ? "Ohne Abschnitt" : "Abschnitt " + std::to_string(section),
                        totals);
        addTotalsOf("Gesamt", overall);
    }

    // Each fee of the invitation beyond the events' own under its label, with how often it is
    // charged: the club's once, a swimmer's per swimmer with an individual start, a section's
    // per section with a start, late fees per start once the deadline has passed. Returns
    // their sum.
    long long addFlatFees() {
        const bool late = meetFees.Deadline && DeadlinePassed(*meetFees.Deadline);
        const bool anyStart = overall.IndividualStarts + overall.RelayStarts > 0;
        struct Charge {
            std::string Label;
            long long Count, Cents;
        };
        std::vector<Charge> charged;
        for (const TFlatFee& fee : meetFees.Flat) {
            switch (fee.Kind) {
            case TFlatFeeKind::Club:
                charged.push_back({"Pauschale je Verein", anyStart ? 1 : 0, fee.Cents});
                break;
            case TFlatFeeKind::Swimmer:
                charged.push_back({"Meldegeld je Schwimmer", overall.Swimmers, fee.Cents});
                break;
            case TFlatFeeKind::Section:
                if (fee.Section == 0)
                    charged.push_back(
                        {"Pauschale je Abschnitt mit Start",
                         std::count_if(bySection.begin(), bySection.end(),
                                       [](const auto& entry) { return entry.first != 0; }),
                         fee.Cents});
                else
                    charged.push_back({"Pauschale Abschnitt " + std::to_string(fee.Section),
                                       bySection.contains(fee.Section) ? 1 : 0, fee.Cents});
                break;
            case TFlatFeeKind::LateIndividual:
                if (late)
                    charged.push_back(
                        {"Nachmeldegeld je Einzelstart", overall.IndividualStarts, fee.Cents});
                break;
            case TFlatFeeKind::LateRelay:
                if (late)
                    charged.push_back(
                        {"Nachmeldegeld je Staffelstart", overall.RelayStarts, fee.Cents});
                break;
            case TFlatFeeKind::Team:
                break;
            }
        }
        if (charged.empty())
            return 0;
        addHeading("Pauschalen und Nachmeldegeld");
        std::size_t labelWidth = 0, unitWidth = 0;
        for (const Charge& charge : charged) {
            labelWidth = std::max(labelWidth, charge.Label.size());
            unitWidth = std::max(unitWidth, EuroText(charge.Cents, meetFees.Currency).size());
        }
        long long sum = 0;
        for (const Charge& charge : charged) {
            result.push_back("   " + filled(charge.Label, labelWidth) + ": " +
                             rightAligned(std::to_string(charge.Count), countWidth) + " \xD7 " +
                             rightAligned(EuroText(charge.Cents, meetFees.Currency), unitWidth) +
                             "  " + amount(charge.Count * charge.Cents));
            sum += charge.Count * charge.Cents;
        }
        return sum;
    }

    void addWarnings() {
        addHeading("Hinweise");
        const std::vector<TNominWarning> warnings =
            FindNominWarnings(model, table, meetFees.QualifyingTimes);
        const std::vector<int> unstaffed =
            staffedSections ? SectionsWithoutOfficial(model, *staffedSections) : std::vector<int>();
        if (warnings.empty() && unstaffed.empty())
            result.push_back("Keine Hinweise.");
        for (const TNominWarning& warning : warnings)
            result.push_back(warning.Text + ".");
        if (!unstaffed.empty())
            result.push_back(SectionsWithoutOfficialText(unstaffed) + ".");
    }

    std::string amount(long long cents) const {
        return rightAligned(EuroText(cents, meetFees.Currency), amountWidth);
    }

    const TMeldeAustausch& model;
    const std::string reportDate;
    const TMeetFees& meetFees;
    const std::optional<std::vector<int>>& staffedSections;
    const TNominTable table;
    const std::vector<int>& eventOf;
    const std::vector<int>& nameRank;
    // Per entry, its swimmer among the individual starts; -1 for relay teams and the others.
    std::vector<int> swimmerOf;
    std::vector<long long> eventCents;                // index = event position
    std::vector<std::string> eventStart, eventAmount; // likewise
    std::string sumStart;                             // a swimmer's sum line up to the amount
    Starts individual, relay, unknown;
    std::size_t wkNrWidth = 1, eventNameWidth = 0, amountWidth = 0, countWidth = 1,
                amountColumn = 0;
    Totals overall;
    std::map<int, Totals> bySection;
    std::vector<std::string> result;
};

} // namespace

long long FeeCents(double fee) {
    if (!std::isfinite(fee) || std::fabs(fee) > LargestFee)
        return 0;
    return std::llround(fee * 100.0);
}

std::string EuroText(long long cents, const std::string& currency) {
    const unsigned long long magnitude =
        cents < 0 ? 0ULL - static_cast<unsigned long long>(cents) : cents;
    std::string euros = std::to_string(magnitude / 100);
    for (int point = static_cast<int>(euros.size()) - 3; point > 0; point -= 3)
        euros.insert(static_cast<std::size_t>(point), 1, '.');
    char hundredths[3];
    std::snprintf(hundredths, sizeof hundredths, "%02llu", magnitude % 100);
    return (cents < 0 ? "-" : "") + euros + "," + hundredths + " " + currency;
}

std::string DeadlineText(const TDeadline& deadline) {
    char text[32];
    if (deadline.Minutes < 0)
        std::snprintf(text, sizeof text, "%02d.%02d.%04d", deadline.Day, deadline.Month,
                      deadline.Year);
    else
        std::snprintf(text, sizeof text, "%02d.%02d.%04d, %02d:%02d Uhr", deadline.Day,
                      deadline.Month, deadline.Year, deadline.Minutes / 60, deadline.Minutes % 60);
    return text;
}

bool DeadlinePassed(const TDeadline& deadline) {
    const std::time_t now = CurrentTime();
    std::tm local{};
    localtime_r(&now, &local);
    const auto moment = [](int year, int month, int day, int minutes) {
        return ((year * 100LL + month) * 100 + day) * 10000 + minutes;
    };
    // A deadline without a time leaves the whole day for entries.
    const int lastMinute = deadline.Minutes < 0 ? 24 * 60 - 1 : deadline.Minutes;
    return moment(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                  local.tm_hour * 60 + local.tm_min) >
           moment(deadline.Year, deadline.Month, deadline.Day, lastMinute);
}

std::string DeadlinePassedText(const TDeadline& deadline) {
    return "Der Meldeschluss (" + DeadlineText(deadline) + ") ist vorbei";
}

std::string TodayDateText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%d.%m.%Y", &local);
    return text;
}

std::vector<std::string> BuildFeeLines(const TMeldeAustausch& model, const std::string& reportDate,
                                       const TMeetFees& meetFees,
                                       const std::optional<std::vector<int>>& staffedSections) {
    return FeeOverview(model, reportDate, meetFees, staffedSections).lines();
}
