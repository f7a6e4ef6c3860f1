// SPDX-License-Identifier: GPL-3.0-or-later
#include "entrycheck.h"

#include "environment.h"

namespace {

constexpr int EarliestBirthYear = 1900;
// 99:59,99: the largest time the entry-time field can show.
constexpr int LargestFieldTime = 599999;

TEntryRefusal refuse(EntryFault fault, std::string message) {
    return {fault, std::move(message)};
}

bool isValidTime(int time) {
    return time == NoTime || (time >= 0 && time <= LargestFieldTime);
}

} // namespace

EntryField FieldOf(EntryFault fault) {
    switch (fault) {
    case EntryFault::MissingName:
        return EntryField::Name;
    case EntryFault::MissingJahrgang:
    case EntryFault::InvalidJahrgang:
    case EntryFault::JahrgangOutOfRange:
        return EntryField::Jahrgang;
    case EntryFault::MissingWkNr:
    case EntryFault::InvalidWkNr:
        return EntryField::WkNr;
    case EntryFault::WrongSex:
        return EntryField::Geschlecht;
    case EntryFault::InvalidTime:
        return EntryField::Meldezeit;
    }
    return EntryField::Name;
}

TNominRecord NominFromInput(const TEntryInput& input) {
    TNominRecord nomin = EmptyNomin;
    nomin.Name = input.Name.substr(0, NominNameCapacity);
    if (!ConvertsAsInteger(input.Jahrgang, nomin.BirthYear))
        nomin.BirthYear = 0;
    nomin.Sex = static_cast<std::uint8_t>(input.Sex);
    nomin.WkNr = TMeldeAustausch::TextToWkNr(input.WkNr);
    nomin.Time = TimeTextToHundredths(input.Meldezeit);
    nomin.RegNr = Trim(input.RegNr).substr(0, RegNrCapacity);
    return nomin;
}

int EventOfNomin(const TMeldeAustausch& model, int wkNr) {
    return wkNr < 1 ? 0 : model.FindEvent(wkNr);
}

namespace {
// The swimmer's own fields, whatever the event.
std::optional<TEntryRefusal> checkSwimmer(const TNominRecord& nomin) {
    if (Trim(nomin.Name).empty())
        return refuse(EntryFault::MissingName, "Fehlende Eingabe: Name");
    if (nomin.BirthYear < EarliestBirthYear || nomin.BirthYear > CurrentYear())
        return refuse(EntryFault::InvalidJahrgang, "Ung\xFCltige Jahrgangsangabe");
    return std::nullopt;
}
} // namespace

std::optional<TEntryRefusal> CheckNomin(const TMeldeAustausch& model, const TNominRecord& nomin) {
    if (auto refusal = checkSwimmer(nomin))
        return refusal;
    const int eventPosition = EventOfNomin(model, nomin.WkNr);
    if (eventPosition == 0)
        return refuse(EntryFault::InvalidWkNr, "Ung\xFCltige Wettkampfnummer");
    const TEventRecord& event = model.Event(eventPosition);
    if (nomin.BirthYear < event.EarliestBirthYear || nomin.BirthYear > event.LatestBirthYear)
        return refuse(EntryFault::JahrgangOutOfRange,
                      "In diesem Wettkampf sind nur Teilnehmer der Jahrg\xE4nge " +
                          std::to_string(event.EarliestBirthYear) + " bis " +
                          std::to_string(event.LatestBirthYear) + " erlaubt");
    if (event.Sex != 2 && event.Sex != nomin.Sex)
        return refuse(EntryFault::WrongSex, "Falsches Geschlecht f\xFCr diesen Wettkampf");
    if (!isValidTime(nomin.Time))
        return refuse(EntryFault::InvalidTime, "Ung\xFCltige Meldezeit");
    return std::nullopt;
}

std::vector<TNominFinding> CheckNomins(const TMeldeAustausch& model) {
    std::vector<TNominFinding> findings;
    for (int position = 1; position <= model.NominCount(); ++position) {
        if (auto refusal = CheckNomin(model, model.Nomin(position)))
            findings.push_back({position, std::move(*refusal)});
    }
    return findings;
}

std::optional<TEntryRefusal> CheckSwimmerInput(const TEntryInput& input) {
    if (Trim(input.Name).empty())
        return refuse(EntryFault::MissingName, "Fehlende Eingabe: Name");
    if (input.Jahrgang.empty())
        return refuse(EntryFault::MissingJahrgang, "Fehlende Eingabe: Jahrgang");
    return checkSwimmer(NominFromInput(input));
}

std::optional<TEntryRefusal> CheckEntryInput(const TMeldeAustausch& model,
                                             const TEntryInput& input) {
    // A name of blanks only would be stored empty: it counts as missing.
    if (Trim(input.Name).empty())
        return refuse(EntryFault::MissingName, "Fehlende Eingabe: Name");
    if (input.Jahrgang.empty())
        return refuse(EntryFault::MissingJahrgang, "Fehlende Eingabe: Jahrgang");
    if (input.WkNr.empty())
        return refuse(EntryFault::MissingWkNr, "Fehlende Eingabe: Wettkampfnummer");
    return CheckNomin(model, NominFromInput(input));
}
