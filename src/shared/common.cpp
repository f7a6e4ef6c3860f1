#include "common.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <clocale>
#include <ctime>
#include <filesystem>
#include <unistd.h>

namespace {
int pinnedYear = 0;
char pinnedSeparator = 0;

bool isTrimmed(char c) {
    return static_cast<unsigned char>(c) <= 32;
}
} // namespace

std::string ProgramDir() {
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    std::string dir = error ? std::string(".") : exe.parent_path().string();
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

std::string PadRight(const std::string& text, int width) {
    if (width <= 0)
        return {};
    std::string result = text;
    result.resize(static_cast<std::size_t>(width), ' ');
    return result;
}

int CurrentYear() {
    if (pinnedYear != 0)
        return pinnedYear;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

char DecimalSeparator() {
    if (pinnedSeparator != 0)
        return pinnedSeparator;
    const std::lconv* conv = std::localeconv();
    return conv && conv->decimal_point && conv->decimal_point[0] ? conv->decimal_point[0] : '.';
}

void PinCurrentYear(int year) {
    pinnedYear = year;
}
void PinDecimalSeparator(char separator) {
    pinnedSeparator = separator;
}

std::string Trim(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isTrimmed(text[begin]))
        ++begin;
    while (end > begin && isTrimmed(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::string TrimRight(const std::string& text) {
    std::size_t end = text.size();
    while (end > 0 && isTrimmed(text[end - 1]))
        --end;
    return text.substr(0, end);
}

char ToUpperAnsi(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 'a' && byte <= 'z')
        return static_cast<char>(byte - 32);
    if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7) // à..þ without ÷
        return static_cast<char>(byte - 32);
    switch (byte) {
    case 0x9A:
        return static_cast<char>(0x8A); // š
    case 0x9C:
        return static_cast<char>(0x8C); // œ
    case 0x9E:
        return static_cast<char>(0x8E); // ž
    case 0xFF:
        return static_cast<char>(0x9F); // ÿ
    default:
        return c;
    }
}

std::string ExpandYear(const std::string& text) {
    int year = 0;
    if (text.size() != 2 || !ConvertsAsInteger(text, year))
        return text;
    return (year + 2000 <= CurrentYear() - 5 ? "20" : "19") + text;
}

int TimeTextToHundredths(std::string_view text) {
    const std::string_view input = text.substr(0, 255);
    if (input == BlankTimeText)
        return NoTime;
    // The text without blanks must have eight characters, or seven that get a leading zero.
    std::array<char, 9> buffer{'0'};
    std::size_t count = 0;
    for (char c : input) {
        if (c == ' ')
            continue;
        if (count == 8)
            return -1;
        buffer[1 + count++] = c;
    }
    if (count < 7)
        return -1;
    const std::string_view compact(buffer.data() + (count == 8 ? 1 : 0), 8);
    int minutes = 0, seconds = 0, hundredths = 0;
    if (!ConvertsAsInteger(compact.substr(0, 2), minutes) ||
        !ConvertsAsInteger(compact.substr(3, 2), seconds) ||
        !ConvertsAsInteger(compact.substr(6, 2), hundredths))
        return -1;
    const int result = (minutes * 60 + seconds) * 100 + hundredths;
    return result == 0 ? NoTime : result;
}

std::string HundredthsToTimeText(int value) {
    if (value == NoTime)
        return BlankTimeText;
    // A negative value (-1, an invalid time text) gives a text that reads back as invalid.
    const int totalSeconds = value / 100;
    const int minutes = totalSeconds / 60;
    const int seconds = totalSeconds - 60 * minutes;
    const int hundredths = value - 6000 * minutes - 100 * seconds;
    // Every part has at least two digits; composed in place, as saving writes one per entry.
    auto appendTwoDigits = [](std::string& text, int n) {
        if (n >= 0 && n < 100) {
            text += static_cast<char>('0' + n / 10);
            text += static_cast<char>('0' + n % 10);
            return;
        }
        if (n < 10)
            text += '0';
        text += std::to_string(n);
    };
    std::string text;
    appendTwoDigits(text, minutes);
    text += ':';
    appendTwoDigits(text, seconds);
    text += ',';
    appendTwoDigits(text, hundredths);
    return text;
}

std::string NormalizeTimeText(const std::string& text) {
    std::string result = text;
    if (auto colon = result.find(':'); colon != std::string::npos)
        result.erase(colon, 1);
    if (auto comma = result.find(','); comma != std::string::npos)
        result.erase(comma, 1);
    result = Trim(result);
    if (result.empty())
        result = std::string(6, ' ');
    else if (result.size() < 6)
        result.insert(0, 6 - result.size(), '0');
    result.insert(2, ":");
    result.insert(5, ",");
    return result;
}

std::string ConvertName(std::string name, int mode) {
    if (mode == 0 && name.find(',') == std::string::npos) {
        const std::size_t blank = name.find(' ');
        const std::size_t split = blank == std::string::npos ? 0 : blank + 1;
        name = TrimRight(name.substr(split)) + ", " + Trim(name.substr(0, split));
    } else if (mode == 1 && name.find(',') != std::string::npos) {
        const std::size_t comma = name.find(',');
        name = TrimRight(name.substr(comma + 1)) + " " + Trim(name.substr(0, comma + 1));
    }
    // Trimmed in place: a name that is already in its form is not copied.
    const auto kept = [](char c) { return !isTrimmed(c); };
    name.erase(std::find_if(name.rbegin(), name.rend(), kept).base(), name.end());
    name.erase(name.begin(), std::find_if(name.begin(), name.end(), kept));
    if (!name.empty() && name.back() == ',')
        name.pop_back();
    return name;
}

bool IsSplittableName(const std::string& name) {
    const std::string trimmed = Trim(name);
    if (trimmed.size() < 2)
        return true;
    int commas = 0, blanks = 0;
    for (char c : trimmed) {
        commas += c == ',';
        blanks += c == ' ';
    }
    if (commas >= 2)
        return false;
    if (commas == 1)
        return true;
    return blanks <= 1;
}

const std::array<const char*, AssociationCount> AssociationNames = {
    "Nicht zugeordnet",
    "Badischer Schwimm-Verband",
    "Bayerischer Schwimmverband",
    "Berliner Schwimmverband",
    "Landesschwimmverband Brandenburg",
    "Landesschwimmverband Bremen",
    "Hamburger Schwimm-Verband",
    "Hessischer Schwimm-Verband",
    "Schwimmverband Mecklenburg/Vorpommern",
    "Landesschwimmverband Niedersachsen",
    "Schwimmverband Rheinland",
    "Saarl\xE4ndischer Schwimmer-Bund",
    "S\xE4"
    "chsischer Schwimm-Verband",
    "Landesschwimmverband Sachsen-Anhalt",
    "Schleswig-Holsteiner Schwimm-Verband",
    "S\xFC"
    "dwestdeutscher Schwimm-Verband",
    "Th\xFCringer Schwimmverband",
    "Schwimmverband Nordrhein-Westfalen",
    "Schwimmverband W\xFCrttemberg",
    "Landestauchsportverband Brandenburg",
    "Landestauchsportverband Sachsen",
    "Landestauchsportverband Berlin",
    "Landestauchsportverband Mecklenburg-Vorpommern",
    "Hamburger Tauchsportbund",
    "Tauchsport Landesverband Niedersachsen",
    "Tauchsportverband Schleswig-Holstein",
    "Landestauchsportverband Bremen",
    "Landestauchsportverband Sachsen-Anhalt",
    "Tauchsportverband Nordrhein-Westfalen",
    "Landesverband Sporttauchen Rheinland-Pfalz",
    "Hessischer Tauchsportverband",
    "Saarl\xE4ndischer Tauchsportbund",
    "W\xFCrttembergischer Landesverband f\xFCr Tauchsport",
    "Badischer Tauchsportverband",
    "Bayrischer Landestauchsportverband",
    "Landestauchsportverband Th\xFCringen",
    "Westf\xE4lischer Turnerbund",
    "Auswahlmannschaften DSV/LGrp",
};

std::string AssociationName(int index) {
    if (index < 0 || index >= AssociationCount)
        return "(kein Landesverband)";
    return AssociationNames[static_cast<std::size_t>(index)];
}

namespace {
// Bytes 0x80..0x9F of Windows-1252; the unassigned ones keep their C1 code.
constexpr char32_t HighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
} // namespace

char32_t AnsiToUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F)
        return HighControls[byte - 0x80];
    return byte;
}

int UnicodeToAnsi(char32_t character) {
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return static_cast<int>(character);
    for (int i = 0; i < 32; ++i) {
        if (HighControls[i] == character)
            return 0x80 + i;
    }
    return -1;
}

std::string AnsiToUtf8(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        // Runs of ASCII, the same bytes in both, are copied at once.
        const std::size_t run = i;
        while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80)
            ++i;
        result.append(text, run, i - run);
        if (i == text.size())
            break;
        const char32_t c = AnsiToUnicode(static_cast<unsigned char>(text[i]));
        if (c < 0x80) {
            result += static_cast<char>(c);
        } else if (c < 0x800) {
            result += static_cast<char>(0xC0 | (c >> 6));
            result += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            result += static_cast<char>(0xE0 | (c >> 12));
            result += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            result += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return result;
}
