#include "exchangefile.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <deque>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

#include "conversions.h"
#include "environment.h"
#include "linedocument.h"
#include "simplexml.h"
#include "windows1252.h"

namespace {
const std::string Root = "NOMINATION";
const std::string Competition = "COMPETITION";
const std::string Club = "CLUB";
const std::string EventTag = "EVENT id=";
const std::string NominTag = "NOMIN id=";

// The keys of each section in the order they are written, read together in one pass over the
// section's lines; the enumerations name their positions.
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

// ---- Any file: the reading rules of the simple XML document, section by section -------------

void readAnyLayout(TMeldeAustausch& model, std::string text) {
    TSimpleXmlReader xml(std::move(text));
    const std::vector<std::string> elements = xml.ListElements();

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

// ---- A file in the layout that hosts and this program write: one pass over its lines ---------
//
// Such a file holds, apart from declaration lines and the root's start and end, only sections
// that begin with their start line ("<COMPETITION>", "<PERIOD id=1>", "<EVENT id=12a>", "<CLUB>",
// "<NOMIN id=1>"), hold value lines "<KEY>value</KEY>" of their known keys with no "<" in the
// value, and end with their end line ("</EVENT>"). There is at most one competition and one
// club; periods are numbered 1, 2, 3, ... in file order. On such a file the reading rules give
// each section its own values: the sections of one kind are read and removed in file order (the
// periods by number, which is file order), so the first line left that equals a section's start
// line is its own, and so is the first end line of its kind left; the lines in between are its
// value lines, and a value line holds no other key's tag and no end marker. So one pass reads
// the file exactly as section-by-section reading does; at the first line that does not fit,
// the pass gives up and the file is read section by section.

enum class Kind { None, Competition, Period, Event, Club, Nomin };

// A value line's only "</" begins its end tag "</KEY>": it ends a section's reading only if that
// end tag begins with the section's end marker, which no key of the section allows.
constexpr bool noKeyEndsReading(std::span<const std::string_view> keys, std::string_view marker) {
    const std::string_view name = marker.substr(2); // "EVENT" or "CLUB>"
    return std::none_of(keys.begin(), keys.end(), [name](std::string_view key) {
        return name.ends_with('>') ? key == name.substr(0, name.size() - 1) : key.starts_with(name);
    });
}
static_assert(noKeyEndsReading(CompetitionKeys, "</COMPETITION>") &&
              noKeyEndsReading(PeriodKeys, "</PERIOD") && noKeyEndsReading(EventKeys, "</EVENT") &&
              noKeyEndsReading(ClubKeys, "</CLUB>") && noKeyEndsReading(NominKeys, "</NOMIN"));

// Comparison of the few bytes of a tag name, cheaper than a library call.
bool sameBytes(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

struct HostLayoutReader {
    explicit HostLayoutReader(TMeldeAustausch& target) : model(target) {}

    TMeldeAustausch& model;
    Kind kind = Kind::None;
    std::span<const std::string_view> keys;
    std::string_view endLine;
    std::string_view element; // the section's name
    // The values of the section being read, in the order of its keys (the club has the most).
    std::array<std::optional<std::string_view>, ClubKeys.size()> values{};
    std::size_t nextKey = 0; // the key expected on the next value line

    bool competitionSeen = false;
    bool clubSeen = false;
    Values<CompetitionKeys.size()> competition{};
    Values<ClubKeys.size()> club{};
    std::vector<Values<PeriodKeys.size()>> periods;

    // An event's or entry's start line: "<" + tag + identifier + ">". The reader takes the
    // sections whose names hold one of the two tags as events or entries; an identifier that
    // held one as well would be read as both.
    static bool identifiedStart(std::string_view line, std::string_view tag) {
        if (!line.substr(1).starts_with(tag))
            return false;
        const std::string_view identifier =
            line.substr(1 + tag.size(), line.size() - tag.size() - 2);
        return identifier.find('>') == std::string_view::npos &&
               identifier.find(EventTag) == std::string_view::npos &&
               identifier.find(NominTag) == std::string_view::npos;
    }

    // A period's start line: "<PERIOD id=" + the number `expected` + ">". Periods are read by
    // their numbers, which so have to follow the file order.
    static bool periodStart(std::string_view line, int expected) {
        return line.starts_with("<PERIOD id=") &&
               line.substr(1, line.size() - 2) == periodSection(expected);
    }

    void begin(Kind newKind, std::span<const std::string_view> newKeys, std::string_view end,
               std::string_view line) {
        kind = newKind;
        keys = newKeys;
        endLine = end;
        element = line.substr(1, line.size() - 2);
        std::fill_n(values.begin(), keys.size(), std::nullopt);
        nextKey = 0;
    }

    bool startSection(std::string_view line, const TagPositions& positions) {
        if (line.front() != '<' || line.back() != '>' || positions.openInside ||
            positions.hasClose())
            return false;
        if (line == "<COMPETITION>" && !std::exchange(competitionSeen, true)) {
            begin(Kind::Competition, CompetitionKeys, "</COMPETITION>", line);
        } else if (line == "<CLUB>" && !std::exchange(clubSeen, true)) {
            begin(Kind::Club, ClubKeys, "</CLUB>", line);
        } else if (periodStart(line, static_cast<int>(periods.size()) + 1)) {
            begin(Kind::Period, PeriodKeys, "</PERIOD>", line);
        } else if (identifiedStart(line, EventTag)) {
            begin(Kind::Event, EventKeys, "</EVENT>", line);
        } else if (identifiedStart(line, NominTag)) {
            begin(Kind::Nomin, NominKeys, "</NOMIN>", line);
        } else {
            return false;
        }
        return true;
    }

    // A value line "<KEY>value</KEY>" of one of the section's keys; the first one counts. No
    // "<" in the value, so the line holds no other tag.
    bool takeValue(std::string_view line, const TagPositions& positions) {
        if (positions.openInside || positions.moreCloses || !positions.hasClose())
            return false;
        const std::size_t close = positions.firstClose;
        // Keys mostly come in their written order: the one after the latest is tried first.
        for (std::size_t tried = 0; tried < keys.size(); ++tried) {
            std::size_t k = nextKey + tried;
            if (k >= keys.size())
                k -= keys.size();
            const std::string_view key = keys[k];
            if (line.size() != close + key.size() + 3 || close < key.size() + 2 || line[0] != '<' ||
                line[key.size() + 1] != '>' || line.back() != '>' ||
                !sameBytes(line.substr(1, key.size()), key) ||
                !sameBytes(line.substr(close + 2, key.size()), key))
                continue;
            if (!values[k])
                values[k] = line.substr(key.size() + 2, close - key.size() - 2);
            nextKey = k + 1;
            return true;
        }
        return false;
    }

    template <std::size_t N> Values<N> sectionValues() const {
        static_assert(N <= ClubKeys.size());
        Values<N> result;
        std::copy_n(values.begin(), N, result.begin());
        return result;
    }

    void endSection() {
        switch (kind) {
        case Kind::Competition:
            competition = sectionValues<CompetitionKeys.size()>();
            break;
        case Kind::Period:
            periods.push_back(sectionValues<PeriodKeys.size()>());
            break;
        case Kind::Event:
            addEvent(model, element, sectionValues<EventKeys.size()>());
            break;
        case Kind::Club:
            club = sectionValues<ClubKeys.size()>();
            break;
        case Kind::Nomin:
            addNomin(model, sectionValues<NominKeys.size()>());
            break;
        case Kind::None:
            break;
        }
        kind = Kind::None;
    }

    bool read(const std::string& text) {
        std::deque<std::string> rewrittenLines;
        TLineSplitter lines(text, rewrittenLines);
        std::string_view line;
        TagPositions positions;
        bool anyKept = false;
        while (lines.Next(line, positions)) {
            if (!IsKept(line))
                continue;
            anyKept = true;
            if (kind != Kind::None) {
                if (line == endLine)
                    endSection();
                else if (!takeValue(line, positions))
                    return false;
            } else if (!(line.starts_with("<?") && !positions.openInside &&
                         !positions.hasClose()) &&
                       line != "<NOMINATION>" && line != "</NOMINATION>" &&
                       !startSection(line, positions)) {
                return false;
            }
        }
        // Without a kept line the reading rules look at the file's other lines instead.
        if (kind != Kind::None || !anyKept)
            return false;
        takeCompetition(model, competition);
        for (int s = 1; s <= std::min(model.AbsCnt, PeriodSlots); ++s)
            takePeriod(model, s,
                       static_cast<std::size_t>(s) <= periods.size()
                           ? periods[static_cast<std::size_t>(s) - 1]
                           : Values<PeriodKeys.size()>{});
        takeClub(model, club);
        return true;
    }
};

bool readHostLayout(TMeldeAustausch& model, const std::string& text) {
    return HostLayoutReader(model).read(text);
}
} // namespace

void ReadExchangeText(TMeldeAustausch& model, std::string text, bool hostLayoutShortcut) {
    if (hostLayoutShortcut) {
        if (readHostLayout(model, text))
            return;
        model.resetForLoad(); // what the one pass took before giving up
    }
    readAnyLayout(model, std::move(text));
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
