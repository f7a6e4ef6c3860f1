// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchangefile.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <utility>

#include "conversions.h"
#include "environment.h"
#include "simplexml.h"
#include "windows1252.h"

namespace {
const std::string Root = "NOMINATION";
const std::string Competition = "COMPETITION";
const std::string Club = "CLUB";
const std::string EventTag = "EVENT id=";
const std::string NominTag = "NOMIN id=";

// The keys of each section in the order they are written; read together, their values come
// in the same order.
constexpr std::array<std::string_view, 8> CompetitionKeys = {
    "NAME", "VERANSTALTER", "AUSRICHTER", "PLACE", "DATE1", "DATE2", "LANELEN", "ABSCNT"};
constexpr std::array<std::string_view, 5> PeriodKeys = {"DATE", "TIME", "INT", "WARMUP", "KARI"};
constexpr std::array<std::string_view, 7> EventKeys = {"PERIOD", "NAME",    "SEX", "AGEMIN",
                                                       "AGEMAX", "STAFFEL", "FEE"};
constexpr std::array<std::string_view, 11> ClubKeys = {
    "NAME", "VERBAND", "FINA", "PERSON", "STREET", "ZIP", "PLACE", "FON", "FAX", "EMAIL", "CLUBID"};
constexpr std::array<std::string_view, 6> NominKeys = {"NAME", "AGE",  "SEX",
                                                       "WKNR", "TIME", "REGNR"};

// The values of a section's keys, in the order of the keys; no value where a key is not found.
template <std::size_t N> using Values = std::array<std::optional<std::string_view>, N>;

template <std::size_t N>
Values<N> readSection(TSimpleXmlReader& xml, const std::string& section,
                      const std::array<std::string_view, N>& keys) {
    Values<N> values;
    xml.ReadValues(section, keys, values);
    return values;
}

// A text value: the value found, or the default.
std::string textOf(std::optional<std::string_view> value, std::string_view defaultValue = "") {
    return std::string(value.value_or(defaultValue));
}

std::string periodSection(int number) {
    return "PERIOD id=" + std::to_string(number);
}

std::uint8_t sexFromText(std::optional<std::string_view> text) {
    // An "F" anywhere wins over an "X" anywhere.
    std::uint8_t sex = 0;
    for (char c : text.value_or("")) {
        if (c == 'F')
            return 1;
        if (c == 'X')
            sex = 2;
    }
    return sex;
}

void writeSex(TSimpleXmlWriter& xml, std::uint8_t sex) {
    static const char* const letters[] = {"M", "F", "X"};
    if (sex <= 2)
        xml.WriteValue("SEX", letters[sex]);
}

int birthYearOrDefault(int year, int fallback) {
    return year < 1900 || year > CurrentYear() ? fallback : year;
}

// An absurd ABSCNT in a host file must not make the saved file too big to write: blank
// sections beyond the model's slots are written only up to this number.
constexpr int MaxWrittenPeriods = 999;

// The numbers above the model's slots, up to `absCnt`, of the PERIOD elements in the list, in
// ascending order. Reading such a section only removes its element, so the reader visits just
// these instead of every number up to ABSCNT.
std::vector<int> listedPeriodsBeyondSlots(const std::vector<std::string>& elements, int absCnt) {
    const std::size_t digits = periodSection(0).size() - 1;
    std::vector<int> numbers;
    for (const std::string& element : elements) {
        // Only a name written as periodSection() writes it, letter case aside, can be removed.
        int number = 0;
        if (element.size() > digits && ConvertsAsInteger(element.substr(digits), number) &&
            number > PeriodSlots && number <= absCnt &&
            EqualIgnoringCase(element, periodSection(number)))
            numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

// ---- The model from the values of the file's sections --------------------------------------

void readCompetition(TMeldeAustausch& model, TSimpleXmlReader& xml) {
    const auto [name, veranstalter, ausrichter, place, date1, date2, laneLen, absCnt] =
        readSection(xml, Competition, CompetitionKeys);
    model.CompName = textOf(name);
    model.Veranstalter = textOf(veranstalter);
    model.Ausrichter = textOf(ausrichter);
    model.Place = textOf(place);
    model.Date1 = textOf(date1);
    model.Date2 = textOf(date2);
    model.LaneLen = IntValue(laneLen, 25);
    model.AbsCnt = IntValue(absCnt, 1);
}

void readPeriod(TMeldeAustausch& model, TSimpleXmlReader& xml, int s) {
    const auto [date, time, admission, warmUp, judges] =
        readSection(xml, periodSection(s), PeriodKeys);
    model.SetPeriodDate(s, textOf(date));
    model.SetPeriodTime(s, textOf(time));
    model.SetPeriodInt(s, textOf(admission));
    model.SetPeriodWarmUp(s, textOf(warmUp));
    model.SetPeriodKari(s, textOf(judges));
}

void readEvent(TMeldeAustausch& model, TSimpleXmlReader& xml, const std::string& element) {
    const auto [period, name, sex, ageMin, ageMax, staffel, fee] =
        readSection(xml, element, EventKeys);
    TEventRecord event = EmptyEvent;
    // The identifier is the text after "EVENT id=", at most 255 characters of it.
    event.WkNr = TMeldeAustausch::TextToWkNr(
        std::string_view(element).substr(element.find(EventTag) + EventTag.size(), 255));
    event.Period = IntValue(period, 0);
    event.Name = textOf(name);
    event.Sex = sexFromText(sex);
    event.LatestBirthYear = birthYearOrDefault(IntValue(ageMin, CurrentYear()), CurrentYear());
    event.EarliestBirthYear = birthYearOrDefault(IntValue(ageMax, 1900), 1900);
    event.Staffel = IntValue(staffel, 0) == 1;
    event.Fee = FloatValue(fee, 0);
    model.SetEvent(model.EventCount() + 1, event);
}

void readClub(TMeldeAustausch& model, TSimpleXmlReader& xml) {
    const auto [name, verband, fina, person, street, zip, place, fon, fax, email, clubId] =
        readSection(xml, Club, ClubKeys);
    model.ClubName = textOf(name);
    model.Verband = IntValue(verband, 0);
    model.Fina = textOf(fina, "GER");
    model.Person = textOf(person);
    model.Street = textOf(street);
    model.Zip = textOf(zip);
    model.ClubPlace = textOf(place);
    model.Fon = textOf(fon);
    model.Fax = textOf(fax);
    model.EMail = textOf(email);
    model.ClubId = textOf(clubId);
}

void readNomin(TMeldeAustausch& model, TSimpleXmlReader& xml, const std::string& element) {
    const auto [name, age, sex, wkNr, time, regNr] = readSection(xml, element, NominKeys);
    TNominRecord nomin = EmptyNomin;
    nomin.Name = textOf(name.value_or("").substr(0, NominNameCapacity));
    nomin.BirthYear = IntValue(age, 1900);
    nomin.WkNr = TMeldeAustausch::TextToWkNr(wkNr.value_or("0"));
    nomin.Time = TimeTextToHundredths(time.value_or("00:00,00"));
    nomin.RegNr = textOf(regNr.value_or("").substr(0, RegNrCapacity));
    nomin.Sex = sexFromText(sex);
    model.SetNomin(model.NominCount() + 1, std::move(nomin));
}

// The sections read by name, and every key; the reader indexes them with the listed elements.
std::vector<std::string> namedSections() {
    std::vector<std::string> sections = {Competition, Club};
    for (int s = 1; s <= PeriodSlots; ++s)
        sections.push_back(periodSection(s));
    return sections;
}

std::vector<std::string_view> allKeys() {
    std::vector<std::string_view> keys;
    const auto add = [&keys](const auto& section) {
        keys.insert(keys.end(), section.begin(), section.end());
    };
    add(CompetitionKeys);
    add(PeriodKeys);
    add(EventKeys);
    add(ClubKeys);
    add(NominKeys);
    return keys;
}
} // namespace

void ReadExchangeText(TMeldeAustausch& model, std::string text) {
    static const std::vector<std::string> sections = namedSections();
    static const std::vector<std::string_view> keys = allKeys();
    TSimpleXmlReader xml(std::move(text), sections, keys);
    const std::vector<std::string>& elements = xml.ListElements();

    readCompetition(model, xml);
    xml.RemoveElement(Competition);

    for (int s = 1; s <= std::min(model.AbsCnt, PeriodSlots); ++s) {
        readPeriod(model, xml, s);
        xml.RemoveElement(periodSection(s));
    }
    for (int s : listedPeriodsBeyondSlots(elements, model.AbsCnt))
        xml.RemoveElement(periodSection(s));

    for (const std::string& element : elements) {
        if (element.find(EventTag) == std::string::npos)
            continue;
        readEvent(model, xml, element);
        xml.RemoveElement(element);
    }

    readClub(model, xml);

    for (const std::string& element : elements) {
        if (element.find(NominTag) == std::string::npos)
            continue;
        readNomin(model, xml, element);
        xml.RemoveElement(element);
    }
}

void WriteExchangeText(const TMeldeAustausch& model, TSimpleXmlWriter& xml) {
    // A generous estimate: an entry takes about 200 bytes, an event about 250.
    xml.Reserve(4096 +
                300 * static_cast<std::size_t>(std::clamp(model.AbsCnt, 0, MaxWrittenPeriods)) +
                300 * model.Events.size() + 250 * model.Nomins.size());
    xml.WriteProlog();
    xml.WriteBanner();
    xml.WriteRootStart(Root);

    xml.WriteOpenTag(Competition);
    xml.WriteValue("NAME", model.CompName);
    xml.WriteValue("VERANSTALTER", model.Veranstalter);
    xml.WriteValue("AUSRICHTER", model.Ausrichter);
    xml.WriteValue("PLACE", model.Place);
    xml.WriteValue("DATE1", model.Date1);
    xml.WriteValue("DATE2", model.Date2);
    xml.WriteIntValue("LANELEN", model.LaneLen);
    xml.WriteIntValue("ABSCNT", model.AbsCnt);
    xml.WriteCloseTag(Competition);
    xml.WriteBlankLine();

    for (int s = 1; s <= std::min(model.AbsCnt, MaxWrittenPeriods); ++s) {
        xml.WriteOpenTag(periodSection(s));
        xml.WriteValue("DATE", model.GetPeriodDate(s));
        xml.WriteValue("TIME", model.GetPeriodTime(s));
        xml.WriteValue("INT", model.GetPeriodInt(s));
        xml.WriteValue("WARMUP", model.GetPeriodWarmUp(s));
        xml.WriteValue("KARI", model.GetPeriodKari(s));
        xml.WriteCloseTag("PERIOD");
        xml.WriteBlankLine();
    }
    xml.WriteBlankLine();

    for (const TEventRecord& event : model.Events) {
        xml.WriteOpenTag(EventTag + TMeldeAustausch::WkNrToText(event.WkNr));
        xml.WriteIntValue("PERIOD", event.Period);
        xml.WriteValue("NAME", event.Name);
        writeSex(xml, event.Sex);
        xml.WriteIntValue("AGEMIN", event.LatestBirthYear);
        xml.WriteIntValue("AGEMAX", event.EarliestBirthYear);
        xml.WriteValue("STAFFEL", event.Staffel ? "1" : "0");
        xml.WriteFloatValue("FEE", event.Fee);
        xml.WriteCloseTag("EVENT");
        xml.WriteBlankLine();
    }

    if (!model.ClubName.empty()) {
        xml.WriteOpenTag(Club);
        xml.WriteValue("NAME", model.ClubName);
        xml.WriteIntValue("VERBAND", model.Verband);
        xml.WriteValue("FINA", model.Fina);
        xml.WriteValue("PERSON", model.Person);
        xml.WriteValue("STREET", model.Street);
        xml.WriteValue("ZIP", model.Zip);
        xml.WriteValue("PLACE", model.ClubPlace);
        xml.WriteValue("FON", model.Fon);
        xml.WriteValue("FAX", model.Fax);
        xml.WriteValue("EMAIL", model.EMail);
        xml.WriteValue("CLUBID", model.ClubId);
        xml.WriteCloseTag(Club);
        xml.WriteBlankLine();
    }

    int running = 0;
    for (const TNominRecord& nomin : model.Nomins) {
        xml.WriteOpenTag(NominTag + std::to_string(++running));
        xml.WriteValue("NAME", nomin.Name);
        xml.WriteIntValue("AGE", nomin.BirthYear);
        writeSex(xml, nomin.Sex);
        xml.WriteValue("WKNR", TMeldeAustausch::WkNrToText(nomin.WkNr));
        xml.WriteValue("TIME", HundredthsToTimeText(nomin.Time));
        xml.WriteValue("REGNR", nomin.RegNr);
        xml.WriteCloseTag("NOMIN");
        xml.WriteBlankLine();
    }

    xml.WriteRootEnd(Root);
    xml.WriteBanner();
}
