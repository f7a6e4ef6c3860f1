// SPDX-License-Identifier: GPL-3.0-or-later
#include "swimmercsv.h"

#include <optional>

#include "conversions.h"
#include "csvtable.h"
#include "environment.h"
#include "meldeaustausch.h"
#include "swimmeridentity.h"
#include "windows1252.h"

namespace {

enum Column { Name, Vorname, Jahrgang, Geschlecht, RegNr, Aktiv };
// Other titles are those clubs give the columns in their own lists.
const std::vector<TCsvColumn> Columns = {
    {"Name", {"Nachname"}, true},
    {"Vorname"},
    {"Jahrgang", {"Jg", "Geburtsjahr"}, true},
    {"Geschlecht", {}, true},
    {"Reg.-Nr.", {"DSV-ID", "Registriernummer"}},
    {"Aktiv"},
};
constexpr int EarliestBirthYear = 1900;

std::string upper(std::string text) {
    for (char& c : text)
        c = ToUpperAnsi(c);
    return text;
}

const char* sexLetter(std::uint8_t sex) {
    return sex == 1 ? "w" : sex == 2 ? "x" : "m";
}

// "d" (divers) becomes "x": the exchange file knows no fourth sex.
std::optional<std::uint8_t> sexOf(const std::string& text) {
    const std::string word = upper(text);
    if (word == "M" || word == "M\xC4NNLICH")
        return 0;
    if (word == "W" || word == "F" || word == "WEIBLICH")
        return 1;
    if (word == "X" || word == "D" || word == "DIVERS")
        return 2;
    return std::nullopt;
}

// A line's swimmer, or why there is none.
QString readSwimmer(std::vector<std::string> value, std::vector<TSwimmer>& swimmers) {
    // Two digits as the entry dialog takes them: "09" is 2009, "85" 1985.
    value[Jahrgang] = ExpandYear(value[Jahrgang]);
    TSwimmer swimmer;
    // Kept as every path into the store keeps a name: a first name alone is the name, a
    // long one is cut like the exchange file cuts it.
    swimmer.Name = NormalizedSwimmerName(
        value[Vorname].empty() ? value[Name] : value[Name] + ", " + value[Vorname]);
    if (swimmer.Name.empty())
        return QStringLiteral("Name fehlt");
    if (!ConvertsAsInteger(value[Jahrgang], swimmer.BirthYear) || value[Jahrgang].size() != 4 ||
        swimmer.BirthYear < EarliestBirthYear || swimmer.BirthYear > CurrentYear())
        return QStringLiteral("Jahrgang „%1“ ungültig").arg(CsvShown(value[Jahrgang]));
    const std::optional<std::uint8_t> sex = sexOf(value[Geschlecht]);
    if (!sex)
        return QStringLiteral("Geschlecht „%1“ unbekannt (m, w, x oder d)")
            .arg(CsvShown(value[Geschlecht]));
    swimmer.Sex = *sex;
    if (value[RegNr].size() > RegNrCapacity)
        return QStringLiteral("Reg.-Nr. „%1“ länger als %2 Zeichen")
            .arg(CsvShown(value[RegNr]))
            .arg(RegNrCapacity);
    swimmer.RegNr = value[RegNr];
    const std::optional<bool> active = CsvActive(value[Aktiv]);
    if (!active)
        return QStringLiteral("Aktiv „%1“ ist weder ja noch nein").arg(CsvShown(value[Aktiv]));
    swimmer.Active = *active;
    swimmers.push_back(swimmer);
    return {};
}

} // namespace

std::string SwimmersToCsv(const std::vector<TSwimmer>& swimmers) {
    std::vector<std::vector<std::string>> rows;
    for (const TSwimmer& swimmer : swimmers) {
        const auto [surname, firstName] = SplitName(swimmer.Name);
        rows.push_back({surname, firstName, std::to_string(swimmer.BirthYear),
                        sexLetter(swimmer.Sex), swimmer.RegNr, swimmer.Active ? "ja" : "nein"});
    }
    return CsvFile(Columns, rows);
}

TCsvSwimmers ReadSwimmersCsv(std::string bytes) {
    TCsvSwimmers result;
    const TCsvRead read =
        ReadCsvTable(std::move(bytes), Columns, [&](const std::vector<std::string>& values) {
            return readSwimmer(values, result.Swimmers);
        });
    if (read.Error.isEmpty()) {
        result.HasActiveColumn = read.Present[Aktiv];
    } else {
        result.Swimmers.clear();
        result.Error = read.Error;
    }
    return result;
}
