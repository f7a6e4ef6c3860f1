// SPDX-License-Identifier: GPL-3.0-or-later
#include "officialcsv.h"

#include "conversions.h"
#include "csvtable.h"
#include "swimmeridentity.h"
#include "windows1252.h"

namespace {

enum Column { Name, Vorname, Number, Group, Aktiv, Geschlecht };
// Geschlecht is read, not written: the list's header is the one clubs exchange.
const std::vector<TCsvColumn> Columns = {
    {"Name", {"Nachname"}, true}, {"Vorname"}, {"Kampfrichter-Nr.", {"KR-Nr.", "Nummer"}},
    {"Gruppe", {}, true},         {"Aktiv"},   {"Geschlecht"},
};
constexpr std::size_t WrittenColumns = Geschlecht;
// Long enough for every federation's numbering seen, short enough for a list's column.
constexpr std::size_t NumberCapacity = 15;

std::string upper(std::string text) {
    for (char& c : text)
        c = ToUpperAnsi(c);
    return text;
}

QString readOfficial(const std::vector<std::string>& value, std::vector<TOfficial>& officials) {
    TOfficial official;
    official.Name = NormalizedSwimmerName(
        value[Vorname].empty() ? value[Name] : value[Name] + ", " + value[Vorname]);
    if (official.Name.empty())
        return QStringLiteral("Name fehlt");
    if (value[Number].size() > NumberCapacity)
        return QStringLiteral("Kampfrichter-Nr. „%1“ länger als %2 Zeichen")
            .arg(CsvShown(value[Number]))
            .arg(NumberCapacity);
    official.Number = value[Number];
    official.Group = upper(value[Group]);
    if (!IsOfficialGroup(official.Group))
        return QStringLiteral("Gruppe „%1“ unbekannt (WKR, AUS, SCH oder SPR)")
            .arg(CsvShown(value[Group]));
    const std::string sex = upper(value[Geschlecht]);
    official.Sex = sex == "F" ? "W" : sex;
    if (!IsPersonSex(official.Sex))
        return QStringLiteral("Geschlecht „%1“ unbekannt (m, w, d oder leer)")
            .arg(CsvShown(value[Geschlecht]));
    const std::optional<bool> active = CsvActive(value[Aktiv]);
    if (!active)
        return QStringLiteral("Aktiv „%1“ ist weder ja noch nein").arg(CsvShown(value[Aktiv]));
    official.Active = *active;
    officials.push_back(official);
    return {};
}

} // namespace

std::string OfficialsToCsv(const std::vector<TOfficial>& officials) {
    std::vector<std::vector<std::string>> rows;
    for (const TOfficial& official : officials) {
        const auto [surname, firstName] = SplitName(official.Name);
        rows.push_back(
            {surname, firstName, official.Number, official.Group, official.Active ? "ja" : "nein"});
    }
    return CsvFile({Columns.begin(), Columns.begin() + WrittenColumns}, rows);
}

TCsvOfficials ReadOfficialsCsv(std::string bytes) {
    TCsvOfficials result;
    const TCsvRead read =
        ReadCsvTable(std::move(bytes), Columns, [&](const std::vector<std::string>& values) {
            return readOfficial(values, result.Officials);
        });
    if (!read.Error.isEmpty()) {
        result.Officials.clear();
        result.Error = read.Error;
        return result;
    }
    result.HasSexColumn = read.Present[Geschlecht];
    result.HasActiveColumn = read.Present[Aktiv];
    return result;
}
