// Reading and writing the exchange file EXCHANGE.NT2.
#include <algorithm>
#include <cstdio>
#include <sys/stat.h>

#include "meldeaustausch.h"
#include "simplexml.h"

namespace {
const std::string Root = "NOMINATION";
const std::string Competition = "COMPETITION";
const std::string Club = "CLUB";
const std::string EventTag = "EVENT id=";
const std::string NominTag = "NOMIN id=";

std::string periodSection(int number) {
    return "PERIOD id=" + std::to_string(number);
}

std::uint8_t sexFromText(const std::string& text) {
    if (text.find('F') != std::string::npos)
        return 1;
    if (text.find('X') != std::string::npos)
        return 2;
    return 0;
}

void writeSex(TSimpleXml& xml, std::uint8_t sex) {
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
std::string identifierAfter(const std::string& element, const std::string& tag) {
    return element.substr(element.find(tag) + tag.size(), 255);
}
} // namespace

void TMeldeAustausch::resetForLoad() {
    Periods = {};
    Events.clear();
    Nomins.clear();
    ClubName.clear();
}

void TMeldeAustausch::LoadFromFile(const std::string& path) {
    resetForLoad();
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return;

    TSimpleXml xml(path);
    xml.LoadLines();
    const std::vector<std::string> elements = xml.ListElements();

    CompName = xml.ReadValue(Competition, "NAME", "");
    Veranstalter = xml.ReadValue(Competition, "VERANSTALTER", "");
    Ausrichter = xml.ReadValue(Competition, "AUSRICHTER", "");
    Place = xml.ReadValue(Competition, "PLACE", "");
    Date1 = xml.ReadValue(Competition, "DATE1", "");
    Date2 = xml.ReadValue(Competition, "DATE2", "");
    LaneLen = xml.ReadIntValue(Competition, "LANELEN", 25);
    AbsCnt = xml.ReadIntValue(Competition, "ABSCNT", 1);
    xml.RemoveElement(Competition);

    for (int s = 1; s <= std::min(AbsCnt, PeriodSlots); ++s) {
        const std::string section = periodSection(s);
        SetPeriodDate(s, xml.ReadValue(section, "DATE", ""));
        SetPeriodTime(s, xml.ReadValue(section, "TIME", ""));
        SetPeriodInt(s, xml.ReadValue(section, "INT", ""));
        SetPeriodWarmUp(s, xml.ReadValue(section, "WARMUP", ""));
        SetPeriodKari(s, xml.ReadValue(section, "KARI", ""));
        xml.RemoveElement(section);
    }
    for (int s : listedPeriodsBeyondSlots(elements, AbsCnt))
        xml.RemoveElement(periodSection(s));

    for (const std::string& element : elements) {
        if (element.find(EventTag) == std::string::npos)
            continue;
        TEventRecord event = EmptyEvent;
        event.WkNr = TextToWkNr(identifierAfter(element, EventTag));
        event.Period = xml.ReadIntValue(element, "PERIOD", 0);
        event.Name = xml.ReadValue(element, "NAME", "");
        event.Sex = sexFromText(xml.ReadValue(element, "SEX", ""));
        event.AgeMin =
            birthYearOrDefault(xml.ReadIntValue(element, "AGEMIN", CurrentYear()), CurrentYear());
        event.AgeMax = birthYearOrDefault(xml.ReadIntValue(element, "AGEMAX", 1900), 1900);
        event.Staffel = xml.ReadIntValue(element, "STAFFEL", 0) == 1;
        event.Fee = xml.ReadFloatValue(element, "FEE", 0);
        SetEvent(EventCount() + 1, event);
        xml.RemoveElement(element);
    }

    ClubName = xml.ReadValue(Club, "NAME", "");
    Verband = xml.ReadIntValue(Club, "VERBAND", 0);
    Fina = xml.ReadValue(Club, "FINA", "GER");
    Person = xml.ReadValue(Club, "PERSON", "");
    Street = xml.ReadValue(Club, "STREET", "");
    Zip = xml.ReadValue(Club, "ZIP", "");
    ClubPlace = xml.ReadValue(Club, "PLACE", "");
    Fon = xml.ReadValue(Club, "FON", "");
    Fax = xml.ReadValue(Club, "FAX", "");
    EMail = xml.ReadValue(Club, "EMAIL", "");
    ClubId = xml.ReadValue(Club, "CLUBID", "");

    for (const std::string& element : elements) {
        if (element.find(NominTag) == std::string::npos)
            continue;
        TNominRecord nomin = EmptyNomin;
        nomin.Name = xml.ReadValue(element, "NAME", "").substr(0, NominNameCapacity);
        nomin.Age = xml.ReadIntValue(element, "AGE", 1900);
        nomin.WkNr = TextToWkNr(xml.ReadValue(element, "WKNR", "0"));
        nomin.Time = TimeTextToHundredths(xml.ReadValue(element, "TIME", "00:00,00"));
        nomin.RegNr = xml.ReadValue(element, "REGNR", "").substr(0, RegNrCapacity);
        nomin.Sex = sexFromText(xml.ReadValue(element, "SEX", ""));
        SetNomin(NominCount() + 1, nomin);
        xml.RemoveElement(element);
    }
}

std::string TMeldeAustausch::ToFileText() {
    SortNominByName();
    TSimpleXml xml("");
    xml.EmptyFile();
    xml.OpenForAppend();
    xml.WriteProlog();
    xml.WriteBanner();
    xml.WriteRootStart(Root);

    xml.WriteOpenTag(Competition);
    xml.WriteValue("NAME", CompName);
    xml.WriteValue("VERANSTALTER", Veranstalter);
    xml.WriteValue("AUSRICHTER", Ausrichter);
    xml.WriteValue("PLACE", Place);
    xml.WriteValue("DATE1", Date1);
    xml.WriteValue("DATE2", Date2);
    xml.WriteIntValue("LANELEN", LaneLen);
    xml.WriteIntValue("ABSCNT", AbsCnt);
    xml.WriteCloseTag(Competition);
    xml.WriteBlankLine();

    for (int s = 1; s <= std::min(AbsCnt, MaxWrittenPeriods); ++s) {
        xml.WriteOpenTag(periodSection(s));
        xml.WriteValue("DATE", GetPeriodDate(s));
        xml.WriteValue("TIME", GetPeriodTime(s));
        xml.WriteValue("INT", GetPeriodInt(s));
        xml.WriteValue("WARMUP", GetPeriodWarmUp(s));
        xml.WriteValue("KARI", GetPeriodKari(s));
        xml.WriteCloseTag("PERIOD");
        xml.WriteBlankLine();
    }
    xml.WriteBlankLine();

    for (const TEventRecord& event : Events) {
        xml.WriteOpenTag(EventTag + WkNrToText(event.WkNr));
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

    if (!ClubName.empty()) {
        xml.WriteOpenTag(Club);
        xml.WriteValue("NAME", ClubName);
        xml.WriteIntValue("VERBAND", Verband);
        xml.WriteValue("FINA", Fina);
        xml.WriteValue("PERSON", Person);
        xml.WriteValue("STREET", Street);
        xml.WriteValue("ZIP", Zip);
        xml.WriteValue("PLACE", ClubPlace);
        xml.WriteValue("FON", Fon);
        xml.WriteValue("FAX", Fax);
        xml.WriteValue("EMAIL", EMail);
        xml.WriteValue("CLUBID", ClubId);
        xml.WriteCloseTag(Club);
        xml.WriteBlankLine();
    }

    int running = 0;
    for (const TNominRecord& nomin : Nomins) {
        xml.WriteOpenTag(NominTag + std::to_string(++running));
        xml.WriteValue("NAME", nomin.Name);
        xml.WriteIntValue("AGE", nomin.Age);
        writeSex(xml, nomin.Sex);
        xml.WriteValue("WKNR", WkNrToText(nomin.WkNr));
        xml.WriteValue("TIME", HundredthsToTimeText(nomin.Time));
        xml.WriteValue("REGNR", nomin.RegNr);
        xml.WriteCloseTag("NOMIN");
        xml.WriteBlankLine();
    }

    xml.WriteRootEnd(Root);
    xml.WriteBanner();
    return xml.TakeOutput();
}

void TMeldeAustausch::SaveToFile(const std::string& path) {
    WriteFileAtomically(path, ToFileText());
}
