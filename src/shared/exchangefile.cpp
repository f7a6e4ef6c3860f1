#include "exchangefile.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
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

// The keys of each section in the order they are written, read together; the enumerations
// name their positions.
constexpr std::array<std::string_view, 8> CompetitionKeys = {
    "NAME", "VERANSTALTER", "AUSRICHTER", "PLACE", "DATE1", "DATE2", "LANELEN", "ABSCNT"};
enum {
    CompetitionName,
    CompetitionVeranstalter,
    CompetitionAusrichter,
    CompetitionPlace,
    CompetitionDate1,
    CompetitionDate2,
    CompetitionLaneLen,
    CompetitionAbsCnt
};
constexpr std::array<std::string_view, 5> PeriodKeys = {"DATE", "TIME", "INT", "WARMUP", "KARI"};
enum { PeriodDate, PeriodTime, PeriodInt, PeriodWarmUp, PeriodKari };
constexpr std::array<std::string_view, 7> EventKeys = {"PERIOD", "NAME",    "SEX", "AGEMIN",
                                                       "AGEMAX", "STAFFEL", "FEE"};
enum { EventPeriod, EventName, EventSex, EventAgeMin, EventAgeMax, EventStaffel, EventFee };
constexpr std::array<std::string_view, 11> ClubKeys = {
    "NAME", "VERBAND", "FINA", "PERSON", "STREET", "ZIP", "PLACE", "FON", "FAX", "EMAIL", "CLUBID"};
enum {
    ClubNameKey,
    ClubVerband,
    ClubFina,
    ClubPerson,
    ClubStreet,
    ClubZip,
    ClubPlaceKey,
    ClubFon,
    ClubFax,
    ClubEMail,
    ClubIdKey
};
constexpr std::array<std::string_view, 6> NominKeys = {"NAME", "AGE",  "SEX",
                                                       "WKNR", "TIME", "REGNR"};
enum { NominName, NominAge, NominSex, NominWkNr, NominTime, NominRegNr };

// The values of a section's keys, in the order of the keys; no value where a key is not found.
template <std::size_t N> using Values = std::array<std::optional<std::string_view>, N>;

template <std::size_t N>
Values<N> readSection(TSimpleXmlReader& xml, const std::string& section,
                      const std::array<std::string_view, N>& keys) {
    Values<N> values;
    xml.ReadValues(section, keys, values);
    return values;
}

// A text value as ReadValue gives it: the value found, or the default.
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
    const std::string prefix = "PERIOD ID=";
    std::vector<int> numbers;
    for (const std::string& element : elements) {
        if (element.size() <= prefix.size() ||
            !std::equal(prefix.begin(), prefix.end(), element.begin(),
                        [](char p, char e) { return ToUpperAnsi(e) == p; }))
            continue;
        // Only the digits that periodSection() writes: no sign, blank or leading zero.
        const std::string digits = element.substr(prefix.size());
        int number = 0;
        if (digits[0] != '0' &&
            std::all_of(digits.begin(), digits.end(),
                        [](char c) { return c >= '0' && c <= '9'; }) &&
            ConvertsAsInteger(digits, number) && number > PeriodSlots && number <= absCnt)
            numbers.push_back(number);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

// The text after the section tag's "EVENT id=" (at most 255 characters).
std::string identifierAfter(std::string_view element, const std::string& tag) {
    return std::string(element.substr(element.find(tag) + tag.size(), 255));
}

// ---- The model from the values of the file's sections --------------------------------------

void takeCompetition(TMeldeAustausch& model, const Values<CompetitionKeys.size()>& values) {
    model.CompName = textOf(values[CompetitionName]);
    model.Veranstalter = textOf(values[CompetitionVeranstalter]);
    model.Ausrichter = textOf(values[CompetitionAusrichter]);
    model.Place = textOf(values[CompetitionPlace]);
    model.Date1 = textOf(values[CompetitionDate1]);
    model.Date2 = textOf(values[CompetitionDate2]);
    model.LaneLen = IntValue(values[CompetitionLaneLen], 25);
    model.AbsCnt = IntValue(values[CompetitionAbsCnt], 1);
}

void takePeriod(TMeldeAustausch& model, int s, const Values<PeriodKeys.size()>& values) {
    model.SetPeriodDate(s, textOf(values[PeriodDate]));
    model.SetPeriodTime(s, textOf(values[PeriodTime]));
    model.SetPeriodInt(s, textOf(values[PeriodInt]));
    model.SetPeriodWarmUp(s, textOf(values[PeriodWarmUp]));
    model.SetPeriodKari(s, textOf(values[PeriodKari]));
}

void addEvent(TMeldeAustausch& model, std::string_view element,
              const Values<EventKeys.size()>& values) {
    TEventRecord event = EmptyEvent;
    event.WkNr = TMeldeAustausch::TextToWkNr(identifierAfter(element, EventTag));
    event.Period = IntValue(values[EventPeriod], 0);
    event.Name = textOf(values[EventName]);
    event.Sex = sexFromText(values[EventSex]);
    event.AgeMin = birthYearOrDefault(IntValue(values[EventAgeMin], CurrentYear()), CurrentYear());
    event.AgeMax = birthYearOrDefault(IntValue(values[EventAgeMax], 1900), 1900);
    event.Staffel = IntValue(values[EventStaffel], 0) == 1;
    event.Fee = FloatValue(values[EventFee], 0);
    model.SetEvent(model.EventCount() + 1, event);
}

void takeClub(TMeldeAustausch& model, const Values<ClubKeys.size()>& values) {
    model.ClubName = textOf(values[ClubNameKey]);
    model.Verband = IntValue(values[ClubVerband], 0);
    model.Fina = textOf(values[ClubFina], "GER");
    model.Person = textOf(values[ClubPerson]);
    model.Street = textOf(values[ClubStreet]);
    model.Zip = textOf(values[ClubZip]);
    model.ClubPlace = textOf(values[ClubPlaceKey]);
    model.Fon = textOf(values[ClubFon]);
    model.Fax = textOf(values[ClubFax]);
    model.EMail = textOf(values[ClubEMail]);
    model.ClubId = textOf(values[ClubIdKey]);
}

void addNomin(TMeldeAustausch& model, const Values<NominKeys.size()>& values) {
    TNominRecord nomin = EmptyNomin;
    nomin.Name = textOf(values[NominName].value_or("").substr(0, NominNameCapacity));
    nomin.Age = IntValue(values[NominAge], 1900);
    nomin.WkNr = TMeldeAustausch::TextToWkNr(values[NominWkNr].value_or("0"));
    nomin.Time = TimeTextToHundredths(values[NominTime].value_or("00:00,00"));
    nomin.RegNr = textOf(values[NominRegNr].value_or("").substr(0, RegNrCapacity));
    nomin.Sex = sexFromText(values[NominSex]);
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
    for (std::span<const std::string_view> section :
         {std::span<const std::string_view>(CompetitionKeys),
          std::span<const std::string_view>(PeriodKeys),
          std::span<const std::string_view>(EventKeys), std::span<const std::string_view>(ClubKeys),
          std::span<const std::string_view>(NominKeys)})
        keys.insert(keys.end(), section.begin(), section.end());
    return keys;
}
} // namespace

void ReadExchangeText(TMeldeAustausch& model, std::string text) {
    static const std::vector<std::string> sections = namedSections();
    static const std::vector<std::string_view> keys = allKeys();
    TSimpleXmlReader xml(std::move(text), sections, keys);
    const std::vector<std::string>& elements = xml.ListElements();

    takeCompetition(model, readSection(xml, Competition, CompetitionKeys));
    xml.RemoveElement(Competition);

    for (int s = 1; s <= std::min(model.AbsCnt, PeriodSlots); ++s) {
        const std::string section = periodSection(s);
        takePeriod(model, s, readSection(xml, section, PeriodKeys));
        xml.RemoveElement(section);
    }
    for (int s : listedPeriodsBeyondSlots(elements, model.AbsCnt))
        xml.RemoveElement(periodSection(s));

    for (const std::string& element : elements) {
        if (element.find(EventTag) == std::string::npos)
            continue;
        addEvent(model, element, readSection(xml, element, EventKeys));
        xml.RemoveElement(element);
    }

    takeClub(model, readSection(xml, Club, ClubKeys));

    for (const std::string& element : elements) {
        if (element.find(NominTag) == std::string::npos)
            continue;
        addNomin(model, readSection(xml, element, NominKeys));
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
        xml.WriteIntValue("AGEMIN", event.AgeMin);
        xml.WriteIntValue("AGEMAX", event.AgeMax);
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
        xml.WriteIntValue("AGE", nomin.Age);
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
