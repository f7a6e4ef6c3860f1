// SPDX-License-Identifier: GPL-3.0-or-later
#include "warnings.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

#include "discipline.h"
#include "entrycheck.h"
#include "meldeaustausch.h"

namespace {

// Entry times per 50 m outside these (hundredths) are typing errors, not swimmers.
constexpr long long FastestPer50m = 2000;
constexpr long long SlowestPer50m = 24000;

const char* sexText(std::uint8_t sex) {
    switch (sex) {
    case 0:
        return "m\xE4nnlich";
    case 1:
        return "weiblich";
    default:
        return "mixed";
    }
}

// The distinct values, ascending.
template <typename Value> std::vector<Value> distinct(std::vector<Value> values) {
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    return values;
}

class WarningFinder {
public:
    WarningFinder(const TMeldeAustausch& model, const TNominTable& table,
                  const std::vector<TQualifyingTime>& qualifyingTimes)
        : model(model), qualifyingTimes(qualifyingTimes), eventOf(table.EventOf),
          nameRank(table.NameRank), bySwimmer(table.BySwimmer) {
        for (int position = 0; position <= model.EventCount(); ++position)
            disciplines.push_back(ReadDiscipline(model.Event(position).Name));
    }

    std::vector<TNominWarning> find() {
        for (std::size_t i = 0; i < eventOf.size(); ++i) {
            checkAgainstEvent(i);
            checkQualifyingTime(i);
        }
        checkNameGroups();
        checkRegNrs();
        std::sort(
            warnings.begin(), warnings.end(), [](const TNominWarning& a, const TNominWarning& b) {
                return std::pair(a.Nomins.front(), a.Kind) < std::pair(b.Nomins.front(), b.Kind);
            });
        return std::move(warnings);
    }

private:
    static int positionOf(std::size_t index) { return static_cast<int>(index) + 1; }

    const TNominRecord& nomin(std::size_t index) const {
        return model.Nomin(static_cast<int>(index) + 1);
    }

    bool isRelay(std::size_t index) const { return model.Event(eventOf[index]).Staffel; }

    std::string wkNrText(std::size_t index) const {
        return TMeldeAustausch::WkNrToText(nomin(index).WkNr);
    }

    void add(WarningKind kind, std::vector<int> positions, std::string text) {
        warnings.push_back({kind, std::move(positions), std::move(text)});
    }

    void checkQualifyingTime(std::size_t index) {
        if (isRelay(index))
            return;
        if (auto hint = QualifyingHint(nomin(index), qualifyingTimes))
            add(WarningKind::MissesQualifyingTime, {positionOf(index)}, std::move(*hint));
    }

    // A refused entry (only a file edited elsewhere holds one) is reported for the rule it
    // breaks; its entry time does not matter then.
    void checkAgainstEvent(std::size_t index) {
        const TNominRecord& nomin = this->nomin(index);
        const auto refusal = CheckNomin(model, nomin);
        if (refusal) {
            if (refusal->Fault == EntryFault::JahrgangOutOfRange ||
                refusal->Fault == EntryFault::WrongSex)
                add(WarningKind::BreaksEventRules, {positionOf(index)},
                    nomin.Name + ", Wettkampf " + wkNrText(index) + ": " + refusal->Message);
            return;
        }
        const std::optional<TDiscipline>& discipline = disciplines[eventOf[index]];
        if (!discipline || nomin.Time == NoTime)
            return;
        const long long distance = discipline->TotalDistance();
        const long long time50 = static_cast<long long>(nomin.Time) * 50;
        const char* verdict = time50 < FastestPer50m * distance   ? "zu schnell"
                              : time50 > SlowestPer50m * distance ? "zu langsam"
                                                                  : nullptr;
        if (!verdict)
            return;
        std::string distanceText = std::to_string(discipline->Distance) + " m";
        if (discipline->RelayCount > 1)
            distanceText = std::to_string(discipline->RelayCount) + "x" + distanceText;
        add(WarningKind::ImplausibleTime, {positionOf(index)},
            nomin.Name + ": Meldezeit " + HundredthsToTimeText(nomin.Time) + " in Wettkampf " +
                wkNrText(index) + " ist f\xFCr " + distanceText + " " + verdict);
    }

    void checkNameGroups() {
        for (std::size_t begin = 0; begin < bySwimmer.size();) {
            std::size_t end = begin + 1;
            while (end < bySwimmer.size() && nameRank[bySwimmer[end]] == nameRank[bySwimmer[begin]])
                ++end;
            checkTwiceInEvent(bySwimmer, begin, end);
            checkDetails(bySwimmer, begin, end);
            begin = end;
        }
    }

    void checkTwiceInEvent(const std::vector<std::size_t>& order, std::size_t begin,
                           std::size_t end) {
        for (std::size_t first = begin; first < end;) {
            const TNominRecord& nomin = this->nomin(order[first]);
            std::vector<int> positions{positionOf(order[first])};
            std::size_t next = first + 1;
            for (; next < end && this->nomin(order[next]).BirthYear == nomin.BirthYear &&
                   this->nomin(order[next]).WkNr == nomin.WkNr;
                 ++next)
                positions.push_back(positionOf(order[next]));
            if (positions.size() > 1)
                add(WarningKind::TwiceInEvent, std::move(positions),
                    nomin.Name + " ist f\xFCr Wettkampf " + wkNrText(order[first]) +
                        " schon gemeldet");
            first = next;
        }
    }

    // Most names come with one birth year, sex and registration number: a look before
    // collecting them. Registration numbers are compared as the identity rule compares them
    // only when they seem to differ.
    bool detailsMayDiffer(const std::vector<std::size_t>& order, std::size_t begin,
                          std::size_t end) const {
        const TNominRecord* first = nullptr;
        const std::string* firstRegNr = nullptr;
        for (std::size_t k = begin; k < end; ++k) {
            if (isRelay(order[k]))
                continue;
            const TNominRecord& nomin = this->nomin(order[k]);
            if (!first)
                first = &nomin;
            else if (nomin.BirthYear != first->BirthYear || nomin.Sex != first->Sex)
                return true;
            if (!nomin.RegNr.empty()) {
                if (!firstRegNr)
                    firstRegNr = &nomin.RegNr;
                else if (nomin.RegNr != *firstRegNr)
                    return true;
            }
        }
        return false;
    }

    // One name (relay teams aside) with different birth years, sexes or registration numbers.
    void checkDetails(const std::vector<std::size_t>& order, std::size_t begin, std::size_t end) {
        std::vector<std::size_t> swimmer;
        if (detailsMayDiffer(order, begin, end)) {
            for (std::size_t k = begin; k < end; ++k) {
                if (!isRelay(order[k]))
                    swimmer.push_back(order[k]);
            }
        }
        if (swimmer.size() < 2)
            return;
        std::sort(swimmer.begin(), swimmer.end());
        std::vector<int> positions, years, sexes;
        std::vector<std::string> regNrs;
        for (std::size_t index : swimmer) {
            const TNominRecord& nomin = this->nomin(index);
            positions.push_back(positionOf(index));
            years.push_back(nomin.BirthYear);
            sexes.push_back(nomin.Sex);
            // A placeholder is no number; "0900104" is "900104".
            if (std::string regNr = RegNrKey(nomin.RegNr); !regNr.empty())
                regNrs.push_back(std::move(regNr));
        }
        const std::string& name = nomin(swimmer.front()).Name;
        const auto differing = [&](WarningKind kind, const char* what, const auto& values,
                                   auto toText) {
            const auto different = distinct(values);
            if (different.size() < 2)
                return;
            std::string list;
            for (const auto& value : different)
                list += (list.empty() ? "" : ", ") + toText(value);
            add(kind, positions, name + " ist mit verschiedenen " + what + " gemeldet: " + list);
        };
        differing(WarningKind::BirthYearsDiffer, "Jahrg\xE4ngen", years,
                  [](int year) { return std::to_string(year); });
        differing(WarningKind::SexesDiffer, "Geschlechtern", sexes,
                  [](int sex) { return std::string(sexText(static_cast<std::uint8_t>(sex))); });
        differing(WarningKind::RegNrsDiffer, "Reg.-Nummern", regNrs,
                  [](const std::string& regNr) { return regNr; });
    }

    // A registration number that the identity rule finds on two people.
    void checkRegNrs() {
        std::map<std::string, std::vector<std::size_t>> byRegNr; // ordered: stable output
        for (std::size_t index = 0; index < eventOf.size(); ++index) {
            if (!isRelay(index) && !RegNrKey(nomin(index).RegNr).empty())
                byRegNr[RegNrKey(nomin(index).RegNr)].push_back(index);
        }
        for (const auto& [key, indexes] : byRegNr) {
            TSwimmerGroups groups;
            bool conflict = false;
            std::string people;
            std::vector<int> positions;
            for (std::size_t index : indexes) {
                const TNominRecord& nomin = this->nomin(index);
                const auto found = groups.Add(
                    TSwimmerIdentity::Of(nomin.Name, nomin.BirthYear, nomin.Sex, nomin.RegNr));
                conflict = conflict || found.RegNrConflict;
                if (found.Added)
                    people += (people.empty() ? "" : "; ") + Trim(nomin.Name) + " (" +
                              std::to_string(nomin.BirthYear) + ")";
                positions.push_back(positionOf(index));
            }
            if (conflict)
                add(WarningKind::RegNrOfOthers, std::move(positions),
                    "Reg.-Nr. " + StoredRegNr(nomin(indexes.front()).RegNr) +
                        " ist f\xFCr verschiedene Schwimmer gemeldet: " + people);
        }
    }

    const TMeldeAustausch& model;
    const std::vector<TQualifyingTime>& qualifyingTimes;
    const std::vector<int>& eventOf;
    const std::vector<int>& nameRank;
    const std::vector<std::size_t>& bySwimmer;
    std::vector<std::optional<TDiscipline>> disciplines; // index = event position
    std::vector<TNominWarning> warnings;
};

} // namespace

std::vector<TNominWarning> FindNominWarnings(const TMeldeAustausch& model, const TNominTable& table,
                                             const std::vector<TQualifyingTime>& times) {
    return WarningFinder(model, table, times).find();
}

std::vector<TNominWarning> FindNominWarnings(const TMeldeAustausch& model,
                                             const std::vector<TQualifyingTime>& times) {
    return FindNominWarnings(model, TabulateNomins(model), times);
}
