// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the exchange file reader in four ways:
// - through TSimpleXmlReader, where every listing, lookup and removal of the indexed
//   document must agree with a plain line list that scans and erases line by line;
// - through TMeldeAustausch::LoadFromText, which must give the model that reading the plain
//   line list step by step gives;
// - through a file and TMeldeAustausch::LoadFromFile, where the text that the loaded model
//   saves (once reduced to what the file can carry) must be a complete exchange file and read
//   back into a model that saves exactly the same text again;
// - through the checks of opening a file: the verdict on the root's start and end must be the
//   one a plain scan of the trimmed lines gives, the UTF-8 test must hand back a file it does
//   not take for UTF-8 unchanged, and a file that is not loaded must leave the model reset.
// Any disagreement aborts with both sides printed, so libFuzzer keeps the input.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "environment.h"
#include "meldeaustausch.h"
#include "modeldump.h"
#include "simplexml.h"
#include "utf8.h"
#include "windows1252.h"

namespace {
// Lookups per input stay bounded so that large inputs still run quickly.
constexpr std::size_t MaxSections = 40;
constexpr std::size_t MaxElementKeys = 3;

// The sections the exchange file reads by name, besides the listed elements.
const std::vector<std::string> NamedSections = {"COMPETITION", "competition", "CLUB",
                                                "PERIOD id=1", "PERIOD id=2", ""};

std::string scratchFile;

[[noreturn]] void fail(const std::string& what, const std::string& expected,
                       const std::string& actual) {
    std::fprintf(stderr, "MISMATCH %s\n--- expected (%zu bytes)\n%s\n--- actual (%zu bytes)\n%s\n",
                 what.c_str(), expected.size(), expected.c_str(), actual.size(), actual.c_str());
    std::abort();
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return text;
}

bool contains(const std::string& line, const std::string& pattern) {
    return line.find(pattern) != std::string::npos;
}

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (ToUpperAnsi(a[i]) != ToUpperAnsi(b[i]))
            return false;
    }
    return true;
}

bool usable(const std::string& line) {
    return line.size() >= 2 && line.compare(0, 2, "<!") != 0;
}

// The document as a plain list of lines, read and changed as simply as the reading is described,
// one line after the other and without any index.
class PlainDocument {
public:
    explicit PlainDocument(std::string bytes) {
        bytes = bytes.substr(0, bytes.find('\x1a'));
        std::erase(bytes, '\r'); // a lone CR is dropped, CR LF ends a line like LF
        std::size_t start = 0;
        while (start < bytes.size()) {
            const std::size_t end = std::min(bytes.find('\n', start), bytes.size());
            all.push_back(Trim(bytes.substr(start, end - start)));
            start = end + 1;
        }
        for (const std::string& line : all) {
            if (line.size() >= 2 && line[1] != '!')
                kept.push_back(line);
        }
        loaded = !kept.empty();
    }

    std::vector<std::string> ListElements() const {
        std::vector<std::string> list;
        for (const std::string& line : loaded ? kept : all) {
            if (!usable(line) || contains(line, "</") || line.compare(0, 2, "<?") == 0)
                continue;
            const long long open = static_cast<long long>(line.find('<')) + 1;  // 0 if none
            const long long close = static_cast<long long>(line.find('>')) + 1; // 0 if none
            const long long length = close - open - 1;
            list.push_back(length > 0 ? line.substr(static_cast<std::size_t>(open),
                                                    static_cast<std::size_t>(length))
                                      : std::string());
        }
        return list;
    }

    std::string ReadValue(const std::string& section, const std::string& key,
                          const std::string& defaultValue) const {
        const std::string sectionTag = "<" + section + ">";
        const std::string keyTag = "<" + key + ">";
        const std::string keyEndTag = "</" + key + ">";
        std::string marker = sectionTag.substr(0, sectionTag.find(' '));
        marker.insert(1, "/");

        const std::vector<std::string>& lines = loaded ? kept : all;
        std::size_t i = 0;
        if (loaded) {
            while (i < lines.size() && !equalsIgnoringCase(lines[i], sectionTag))
                ++i;
        } else {
            while (i < lines.size() && !(usable(lines[i]) && contains(lines[i], sectionTag)))
                ++i;
        }
        if (i == lines.size())
            return defaultValue;
        for (++i; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            if (contains(line, marker))
                return defaultValue;
            if (usable(line) && contains(line, keyTag)) {
                const std::size_t start = line.find(keyTag) + keyTag.size();
                const long long count = static_cast<long long>(line.size()) -
                                        static_cast<long long>(keyTag.size() + keyEndTag.size());
                if (count <= 0 || start >= line.size())
                    return {};
                return line.substr(start, static_cast<std::size_t>(count));
            }
        }
        return defaultValue;
    }

    void RemoveElement(const std::string& section) {
        if (!loaded)
            return;
        const std::string startLine = "<" + section + ">";
        std::string endLine = "</" + section + ">";
        const std::size_t blank = endLine.find(' ');
        const std::size_t close = endLine.find('>');
        if (blank != std::string::npos && close > blank)
            endLine.erase(blank, close - blank);
        auto first = [this](const std::string& text) {
            for (std::size_t i = 0; i < kept.size(); ++i) {
                if (equalsIgnoringCase(kept[i], text))
                    return static_cast<long long>(i);
            }
            return -1LL;
        };
        const long long a = first(startLine);
        const long long b = first(endLine);
        if (a >= 0 && b > a)
            kept.erase(kept.begin() + a, kept.begin() + b + 1);
    }

    std::vector<std::string> all;
    std::vector<std::string> kept;
    bool loaded = false;
};

// A reader's key: no "<" or ">", and no "/" first.
bool usableAsKey(const std::string& name) {
    return name.find_first_of("<>") == std::string::npos && !name.starts_with('/');
}

void checkDocument(const std::string& bytes) {
    PlainDocument plain(bytes);
    const std::vector<std::string> plainElements = plain.ListElements();
    std::vector<std::string> keys = {"NAME", "DATE", "TIME", "PERIOD", "SEX", "FEE", "NAM", ""};
    for (std::size_t i = 0; i < plainElements.size() && i < MaxElementKeys; ++i) {
        if (usableAsKey(plainElements[i]))
            keys.push_back(plainElements[i]);
    }
    const std::vector<std::string_view> keyViews(keys.begin(), keys.end());
    TSimpleXmlReader xml(bytes, NamedSections, keyViews);
    if (xml.Loaded() != plain.loaded)
        fail("Loaded", plain.loaded ? "true" : "false", xml.Loaded() ? "true" : "false");
    if (plain.loaded && xml.Lines() != plain.kept)
        fail("kept lines", joined(plain.kept), joined(xml.Lines()));
    const std::vector<std::string>& elements = xml.ListElements();
    if (elements != plainElements)
        fail("ListElements", joined(plainElements), joined(elements));

    std::vector<std::string> sections(
        elements.begin(),
        elements.begin() + static_cast<long>(std::min(elements.size(), MaxSections)));
    sections.insert(sections.end(), NamedSections.begin(), NamedSections.end());
    std::vector<std::optional<std::string_view>> values(keys.size());
    for (const std::string& section : sections) {
        xml.ReadValues(section, keyViews, values);
        for (std::size_t k = 0; k < keys.size(); ++k) {
            const std::string expected = plain.ReadValue(section, keys[k], "\x01");
            const std::string actual = values[k] ? std::string(*values[k]) : "\x01";
            if (actual != expected)
                fail("ReadValues(" + section + ", " + keys[k] + ")", expected, actual);
        }
        // The number conversions only have to survive whatever text they get.
        IntValue(values[0], 0);
        FloatValue(values[0], 0);
        xml.RemoveElement(section);
        plain.RemoveElement(section);
        if (plain.loaded && xml.Lines() != plain.kept)
            fail("lines after RemoveElement(" + section + ")", joined(plain.kept),
                 joined(xml.Lines()));
    }
}

// The numbers s above the twelve slots, up to `absCnt`, of the lines "<PERIOD id=s>" (letter
// case aside), ascending: reading a section beyond the slots only removes it, and only these
// have a line to remove.
std::vector<int> periodsBeyondSlots(const PlainDocument& plain, int absCnt) {
    std::vector<int> numbers;
    for (const std::string& line : plain.kept) {
        const std::size_t digits = std::string("<PERIOD id=").size();
        int s = 0;
        if (line.size() <= digits ||
            std::from_chars(line.data() + digits, line.data() + line.size(), s).ec != std::errc())
            continue;
        if (s > PeriodSlots && s <= absCnt &&
            equalsIgnoringCase(line, "<PERIOD id=" + std::to_string(s) + ">"))
            numbers.push_back(s);
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

std::uint8_t plainSex(const std::string& text) {
    if (text.find('F') != std::string::npos)
        return 1;
    return text.find('X') != std::string::npos ? 2 : 0;
}

// The model as the exchange file's reading steps make it, on the plain line list.
std::string plainModel(const std::string& bytes) {
    PlainDocument doc(bytes);
    const std::vector<std::string> elements = doc.ListElements();
    auto text = [&doc](const std::string& section, const char* key, const char* fallback = "") {
        return doc.ReadValue(section, key, fallback);
    };
    auto integer = [&doc](const std::string& section, const char* key, int fallback) {
        return IntValue(doc.ReadValue(section, key, ""), fallback);
    };
    auto year = [&](const std::string& section, const char* key, int fallback) {
        const int value = integer(section, key, fallback);
        return value < 1900 || value > CurrentYear() ? fallback : value;
    };

    TMeldeAustausch model;
    model.CompName = text("COMPETITION", "NAME");
    model.Veranstalter = text("COMPETITION", "VERANSTALTER");
    model.Ausrichter = text("COMPETITION", "AUSRICHTER");
    model.Place = text("COMPETITION", "PLACE");
    model.Date1 = text("COMPETITION", "DATE1");
    model.Date2 = text("COMPETITION", "DATE2");
    model.LaneLen = integer("COMPETITION", "LANELEN", 25);
    model.AbsCnt = integer("COMPETITION", "ABSCNT", 1);
    doc.RemoveElement("COMPETITION");
    for (int s = 1; s <= std::min(model.AbsCnt, PeriodSlots); ++s) {
        const std::string section = "PERIOD id=" + std::to_string(s);
        model.SetPeriodDate(s, text(section, "DATE"));
        model.SetPeriodTime(s, text(section, "TIME"));
        model.SetPeriodInt(s, text(section, "INT"));
        model.SetPeriodWarmUp(s, text(section, "WARMUP"));
        model.SetPeriodKari(s, text(section, "KARI"));
        doc.RemoveElement(section);
    }
    for (int s : periodsBeyondSlots(doc, model.AbsCnt))
        doc.RemoveElement("PERIOD id=" + std::to_string(s));
    for (const std::string& element : elements) {
        const std::size_t at = element.find("EVENT id=");
        if (at == std::string::npos)
            continue;
        TEventRecord event = EmptyEvent;
        event.WkNr = TMeldeAustausch::TextToWkNr(element.substr(at + 9, 255));
        event.Period = integer(element, "PERIOD", 0);
        event.Name = text(element, "NAME");
        event.Sex = plainSex(text(element, "SEX"));
        event.LatestBirthYear = year(element, "AGEMIN", CurrentYear());
        event.EarliestBirthYear = year(element, "AGEMAX", 1900);
        event.Staffel = integer(element, "STAFFEL", 0) == 1;
        event.Fee = FloatValue(doc.ReadValue(element, "FEE", ""), 0);
        model.SetEvent(model.EventCount() + 1, event);
        doc.RemoveElement(element);
    }
    model.ClubName = text("CLUB", "NAME");
    model.Verband = integer("CLUB", "VERBAND", 0);
    model.Fina = text("CLUB", "FINA", "GER");
    model.Person = text("CLUB", "PERSON");
    model.Street = text("CLUB", "STREET");
    model.Zip = text("CLUB", "ZIP");
    model.ClubPlace = text("CLUB", "PLACE");
    model.Fon = text("CLUB", "FON");
    model.Fax = text("CLUB", "FAX");
    model.EMail = text("CLUB", "EMAIL");
    model.ClubId = text("CLUB", "CLUBID");
    for (const std::string& element : elements) {
        if (element.find("NOMIN id=") == std::string::npos)
            continue;
        TNominRecord nomin = EmptyNomin;
        nomin.Name = text(element, "NAME").substr(0, NominNameCapacity);
        nomin.BirthYear = integer(element, "AGE", 1900);
        nomin.Sex = plainSex(text(element, "SEX"));
        nomin.WkNr = TMeldeAustausch::TextToWkNr(text(element, "WKNR", "0"));
        nomin.Time = TimeTextToHundredths(text(element, "TIME", "00:00,00"));
        nomin.RegNr = text(element, "REGNR").substr(0, RegNrCapacity);
        model.SetNomin(model.NominCount() + 1, nomin);
        doc.RemoveElement(element);
    }
    return DumpModel(model);
}

void checkModel(const std::string& bytes) {
    TMeldeAustausch model;
    model.LoadFromText(bytes);
    const std::string expected = plainModel(bytes);
    if (DumpModel(model) != expected)
        fail("model", expected, DumpModel(model));
}

void writeScratch(const std::string& bytes) {
    std::FILE* file = std::fopen(scratchFile.c_str(), "wb");
    if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() ||
        std::fclose(file) != 0) {
        std::perror(scratchFile.c_str());
        std::abort();
    }
}

std::string withoutTagText(std::string text) {
    std::replace(text.begin(), text.end(), '<', '(');
    return text;
}

// A code whose text reads back as another code becomes 0.
int carriedWkNr(int code) {
    const std::string text = Trim(TMeldeAustausch::WkNrToText(code));
    return TMeldeAustausch::TextToWkNr(text) == code ? code : 0;
}

// Reduces a loaded model to what the exchange file can carry, where a file read from
// arbitrary bytes may hold more:
// - texts without "<": values are written unescaped, so a value that holds another key's start
//   tag or the section's end tag would be read back from the wrong line;
// - event number codes whose text reads back as the same code: negative numbers with a suffix,
//   -1 and suffixes of code 32 or less (trimmed from the start tag) do not;
// - nomination names stored until storing leaves them unchanged (a name ending in several
//   commas loses one each time it is stored);
// - entry times that read back as themselves: a negative time other than -1 and one of 100
//   minutes or more are written in forms that read back as -1.
void reduceToCarried(TMeldeAustausch& model) {
    for (std::string* text :
         {&model.CompName, &model.Veranstalter, &model.Ausrichter, &model.Place, &model.Date1,
          &model.Date2, &model.ClubName, &model.Fina, &model.Person, &model.Street, &model.Zip,
          &model.ClubPlace, &model.Fon, &model.Fax, &model.EMail, &model.ClubId})
        *text = withoutTagText(*text);
    for (int s = 1; s <= PeriodSlots; ++s) {
        model.SetPeriodDate(s, withoutTagText(model.GetPeriodDate(s)));
        model.SetPeriodTime(s, withoutTagText(model.GetPeriodTime(s)));
        model.SetPeriodInt(s, withoutTagText(model.GetPeriodInt(s)));
        model.SetPeriodWarmUp(s, withoutTagText(model.GetPeriodWarmUp(s)));
        model.SetPeriodKari(s, withoutTagText(model.GetPeriodKari(s)));
    }
    for (int i = 1; i <= model.EventCount(); ++i) {
        TEventRecord event = model.GetEvent(i);
        event.Name = withoutTagText(event.Name);
        event.WkNr = carriedWkNr(event.WkNr);
        model.SetEvent(i, event);
    }
    for (int i = 1; i <= model.NominCount(); ++i) {
        TNominRecord nomin = model.GetNomin(i);
        nomin.Name = withoutTagText(nomin.Name);
        nomin.RegNr = withoutTagText(nomin.RegNr);
        nomin.WkNr = carriedWkNr(nomin.WkNr);
        if (nomin.Time < 0 || (nomin.Time >= 600000 && nomin.Time != NoTime))
            nomin.Time = -1;
        std::string before;
        do {
            before = nomin.Name;
            model.SetNomin(i, nomin);
            nomin = model.GetNomin(i);
        } while (nomin.Name != before);
    }
}

TMeldeAustausch loaded(const std::string& bytes, TLoadReport& report) {
    writeScratch(bytes);
    TMeldeAustausch model;
    report = model.LoadFromFile(scratchFile);
    return model;
}

const char* verdictName(TFileVerdict verdict) {
    switch (verdict) {
    case TFileVerdict::Complete:
        return "complete";
    case TFileVerdict::CutOff:
        return "cut off";
    case TFileVerdict::NotExchangeFile:
        return "no exchange file";
    }
    return "?";
}

// The verdict straight from its rule: a trimmed line "<NOMINATION>" (any letter case), and
// after it one "</NOMINATION>".
TFileVerdict plainVerdict(const PlainDocument& plain) {
    const auto start =
        std::find_if(plain.all.begin(), plain.all.end(), [](const std::string& line) {
            return equalsIgnoringCase(line, "<NOMINATION>");
        });
    if (start == plain.all.end())
        return TFileVerdict::NotExchangeFile;
    const bool ended = std::any_of(start + 1, plain.all.end(), [](const std::string& line) {
        return equalsIgnoringCase(line, "</NOMINATION>");
    });
    return ended ? TFileVerdict::Complete : TFileVerdict::CutOff;
}

void checkOpening(const std::string& bytes) {
    const TFileVerdict verdict = JudgeExchangeText(bytes);
    const TFileVerdict expected = plainVerdict(PlainDocument(bytes));
    if (verdict != expected)
        fail("verdict", verdictName(expected), verdictName(verdict));

    const TDecodedText decoded = DecodeFileBytes(bytes);
    if (!decoded.FromUtf8 && decoded.Text != bytes)
        fail("bytes not taken for UTF-8", bytes, decoded.Text);

    TLoadReport report;
    const TMeldeAustausch model = loaded(bytes, report);
    if (report.FromUtf8 != decoded.FromUtf8 || report.FailedLine != decoded.FailedLine)
        fail("load report's UTF-8", decoded.FromUtf8 ? "UTF-8" : "Windows-1252",
             report.FromUtf8 ? "UTF-8" : "Windows-1252");
    if (!decoded.Failed() && report.Verdict != JudgeExchangeText(decoded.Text))
        fail("load report's verdict", verdictName(JudgeExchangeText(decoded.Text)),
             verdictName(report.Verdict));
    if (report.Loaded() ? report.Nominations != model.NominCount()
                        : model.EventCount() + model.NominCount() > 0 || !model.ClubName.empty())
        fail("model after loading", std::to_string(report.Nominations),
             std::to_string(model.NominCount()));
}

void checkRoundTrip(const std::string& bytes) {
    TLoadReport report;
    TMeldeAustausch model = loaded(bytes, report);
    reduceToCarried(model);
    const std::string saved = model.ToFileText();
    TLoadReport savedReport;
    const std::string savedAgain = loaded(saved, savedReport).ToFileText();
    // Whatever this program writes is a complete exchange file.
    if (JudgeExchangeText(saved) != TFileVerdict::Complete)
        fail("verdict on a saved text", "complete", verdictName(JudgeExchangeText(saved)));
    // Texts whose every byte above 127 forms UTF-8 make a file that is taken for UTF-8 (and
    // refused when a character outside Windows-1252 comes out), which a Windows-1252 file with
    // umlauts practically never is; such a file is not carried byte for byte.
    if (savedReport.FromUtf8)
        return;
    if (savedReport.Verdict != TFileVerdict::Complete || !savedReport.Loaded())
        fail("report on a saved file", "complete", verdictName(savedReport.Verdict));
    if (savedAgain != saved)
        fail("saved text after reading the saved text", saved, savedAgain);
}

void removeScratch() {
    ::unlink(scratchFile.c_str());
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    PinCurrentYear(2026);
    PinDecimalSeparator(',');
    const char* folder = std::getenv("TMPDIR");
    std::string pattern = std::string(folder && *folder ? folder : "/tmp") + "/ntbfuzz.XXXXXX";
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        std::perror("mkstemp");
        std::abort();
    }
    ::close(fd);
    scratchFile = pattern;
    std::atexit(removeScratch);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    checkDocument(bytes);
    checkModel(bytes);
    checkOpening(bytes);
    checkRoundTrip(bytes);
    return 0;
}
