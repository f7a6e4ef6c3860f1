// SPDX-License-Identifier: GPL-3.0-or-later
#include "swimmercsv.h"

#include <QStringList>

#include <array>
#include <optional>

#include "conversions.h"
#include "environment.h"
#include "meldeaustausch.h"
#include "swimmeridentity.h"
#include "utf8.h"
#include "windows1252.h"

namespace {

enum Column { Name, Vorname, Jahrgang, Geschlecht, RegNr, Aktiv, ColumnCount };
constexpr std::array<const char*, ColumnCount> ColumnTitles = {"Name",       "Vorname",  "Jahrgang",
                                                               "Geschlecht", "Reg.-Nr.", "Aktiv"};
// Other titles clubs give the columns in their own lists.
struct OtherTitle {
    Column Of;
    const char* Title;
};
constexpr OtherTitle OtherTitles[] = {
    {Name, "Nachname"},          {Jahrgang, "Jg"}, {Jahrgang, "Geburtsjahr"}, {RegNr, "DSV-ID"},
    {RegNr, "Registriernummer"},
};
constexpr int EarliestBirthYear = 1900;

QString unicode(const std::string& ansi) {
    return QString::fromStdString(AnsiToUtf8(ansi));
}

// A field's value as a message quotes it: a long one cut to 60 characters.
QString shown(const std::string& value) {
    constexpr qsizetype Longest = 60;
    const QString text = unicode(value);
    return text.size() > Longest ? text.left(Longest - 1) + QStringLiteral("…") : text;
}

std::string upper(std::string text) {
    for (char& c : text)
        c = ToUpperAnsi(c);
    return text;
}

// A field as spreadsheets write it: in quotes when it holds the separator or a quote.
std::string csvField(const std::string& text) {
    if (text.find_first_of(";\"") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

const char* sexLetter(std::uint8_t sex) {
    return sex == 1 ? "w" : sex == 2 ? "x" : "m";
}

// The fields of one line; nothing when a quote is left open.
std::optional<std::vector<std::string>> splitLine(const std::string& line, char separator) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == separator && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    if (quoted)
        return std::nullopt;
    for (std::string& field : fields)
        field = Trim(field);
    return fields;
}

// A title without letter case, blanks, points and hyphens: "Reg.-Nr." is also "RegNr".
std::string titleLetters(const std::string& title) {
    std::string letters;
    for (char c : title) {
        if (c != ' ' && c != '.' && c != '-')
            letters += ToUpperAnsi(c);
    }
    return letters;
}

// The column a header title names, in any of its titles.
std::optional<Column> columnOf(const std::string& title) {
    const std::string letters = titleLetters(title);
    for (int column = 0; column < ColumnCount; ++column) {
        if (letters == titleLetters(ColumnTitles[static_cast<std::size_t>(column)]))
            return static_cast<Column>(column);
    }
    for (const OtherTitle& other : OtherTitles) {
        if (letters == titleLetters(other.Title))
            return other.Of;
    }
    return std::nullopt;
}

// "Name (Nachname), Vorname, Jahrgang (Jg, Geburtsjahr), …"
QString acceptedTitles() {
    QStringList titles;
    for (int column = 0; column < ColumnCount; ++column) {
        QStringList others;
        for (const OtherTitle& other : OtherTitles) {
            if (other.Of == column)
                others << QString::fromLatin1(other.Title);
        }
        const QString title = QString::fromLatin1(ColumnTitles[static_cast<std::size_t>(column)]);
        titles << (others.isEmpty()
                       ? title
                       : title + QStringLiteral(" (") + others.join(QStringLiteral(", ")) + u')');
    }
    return titles.join(QStringLiteral(", "));
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

std::optional<bool> activeOf(const std::string& text) {
    const std::string word = upper(text);
    if (word.empty() || word == "JA")
        return true;
    if (word == "NEIN")
        return false;
    return std::nullopt;
}

class CsvReader {
public:
    TCsvSwimmers Read(const std::string& text) {
        TCsvSwimmers result;
        std::size_t start = 0;
        for (int number = 1; start < text.size(); ++number) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            std::string line = text.substr(start, end - start);
            start = end + 1;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (Trim(line).empty())
                continue;
            const QString error =
                columns.empty() ? readHeader(line, result) : readSwimmer(line, result);
            if (!error.isEmpty()) {
                result.Swimmers.clear();
                result.Error = QStringLiteral("Zeile %1: %2").arg(number).arg(error);
                return result;
            }
        }
        if (columns.empty())
            result.Error = QStringLiteral("Die Datei enthält keine Kopfzeile.");
        return result;
    }

private:
    QString readHeader(const std::string& line, TCsvSwimmers& result) {
        separator = line.find(';') != std::string::npos ? ';' : ',';
        const auto titles = splitLine(line, separator);
        if (!titles)
            return QStringLiteral("Anführungszeichen nicht geschlossen");
        std::array<bool, ColumnCount> seen{};
        std::vector<std::string> named = *titles;
        // A spreadsheet may end every line with the separator.
        while (!named.empty() && named.back().empty())
            named.pop_back();
        for (const std::string& title : named) {
            const std::optional<Column> column = columnOf(title);
            if (!column)
                return QStringLiteral("Spalte „%1“ unbekannt; bekannt sind %2")
                    .arg(unicode(title), acceptedTitles());
            if (seen[*column])
                return QStringLiteral("Spalte „%1“ doppelt").arg(unicode(title));
            seen[*column] = true;
            columns.push_back(*column);
        }
        result.HasActiveColumn = seen[Aktiv];
        for (Column needed : {Name, Jahrgang, Geschlecht}) {
            if (!seen[needed])
                return QStringLiteral("Kopfzeile ohne Spalte „%1“")
                    .arg(QString::fromLatin1(ColumnTitles[needed]));
        }
        return {};
    }

    QString readSwimmer(const std::string& line, TCsvSwimmers& result) const {
        auto fields = splitLine(line, separator);
        if (!fields)
            return QStringLiteral("Anführungszeichen nicht geschlossen");
        while (fields->size() > columns.size() && fields->back().empty())
            fields->pop_back();
        if (fields->size() != columns.size())
            return unicode(CountText(static_cast<long long>(fields->size()), "Feld", "Felder")) +
                   QStringLiteral(" statt %1").arg(columns.size());
        std::array<std::string, ColumnCount> value;
        for (std::size_t i = 0; i < columns.size(); ++i)
            value[columns[i]] = (*fields)[i];
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
            return QStringLiteral("Jahrgang „%1“ ungültig").arg(shown(value[Jahrgang]));
        const std::optional<std::uint8_t> sex = sexOf(value[Geschlecht]);
        if (!sex)
            return QStringLiteral("Geschlecht „%1“ unbekannt (m, w, x oder d)")
                .arg(shown(value[Geschlecht]));
        swimmer.Sex = *sex;
        if (value[RegNr].size() > RegNrCapacity)
            return QStringLiteral("Reg.-Nr. „%1“ länger als %2 Zeichen")
                .arg(shown(value[RegNr]))
                .arg(RegNrCapacity);
        swimmer.RegNr = value[RegNr];
        const std::optional<bool> active = activeOf(value[Aktiv]);
        if (!active)
            return QStringLiteral("Aktiv „%1“ ist weder ja noch nein").arg(shown(value[Aktiv]));
        swimmer.Active = *active;
        result.Swimmers.push_back(swimmer);
        return {};
    }

    char separator = ';';
    std::vector<Column> columns; // empty until the header is read
};

} // namespace

std::string SwimmersToCsv(const std::vector<TSwimmer>& swimmers) {
    std::string text;
    for (std::size_t column = 0; column < ColumnTitles.size(); ++column)
        text += std::string(column ? ";" : "") + ColumnTitles[column];
    text += "\r\n";
    for (const TSwimmer& swimmer : swimmers) {
        const std::size_t comma = swimmer.Name.find(',');
        const std::string surname = Trim(swimmer.Name.substr(0, comma));
        const std::string firstName =
            comma == std::string::npos ? std::string() : Trim(swimmer.Name.substr(comma + 1));
        text += csvField(surname) + ';' + csvField(firstName) + ';' +
                std::to_string(swimmer.BirthYear) + ';' + sexLetter(swimmer.Sex) + ';' +
                csvField(swimmer.RegNr) + ';' + (swimmer.Active ? "ja" : "nein") + "\r\n";
    }
    return "\xEF\xBB\xBF" + AnsiToUtf8(text);
}

TCsvSwimmers ReadSwimmersCsv(std::string bytes) {
    const TDecodedText decoded = DecodeFileBytes(std::move(bytes));
    if (decoded.Failed()) {
        TCsvSwimmers result;
        result.Error =
            decoded.FailedCharacter == 0
                ? QStringLiteral("Zeile %1: ungültige UTF-8-Zeichenfolge").arg(decoded.FailedLine)
                : QStringLiteral("Zeile %1: das Zeichen „%2“ ist in der Austauschdatei nicht "
                                 "darstellbar")
                      .arg(decoded.FailedLine)
                      .arg(QString::fromUcs4(&decoded.FailedCharacter, 1));
        return result;
    }
    return CsvReader().Read(decoded.Text);
}
