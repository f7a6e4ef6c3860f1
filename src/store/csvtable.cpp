// SPDX-License-Identifier: GPL-3.0-or-later
#include "csvtable.h"

#include <QStringList>

#include "conversions.h"
#include "utf8.h"
#include "windows1252.h"

namespace {

QString unicode(const std::string& ansi) {
    return QString::fromStdString(AnsiToUtf8(ansi));
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

class CsvReader {
public:
    CsvReader(const std::vector<TCsvColumn>& columns,
              const std::function<QString(const std::vector<std::string>&)>& row)
        : known(columns), row(row) {}

    TCsvRead Read(const std::string& text) {
        TCsvRead result;
        result.Present.assign(known.size(), false);
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
            const QString error = columns.empty() ? readHeader(line, result) : readRow(line);
            if (!error.isEmpty()) {
                result.Error = QStringLiteral("Zeile %1: %2").arg(number).arg(error);
                return result;
            }
        }
        if (columns.empty())
            result.Error = QStringLiteral("Die Datei enthält keine Kopfzeile.");
        return result;
    }

private:
    // The column a header title names, in any of its titles.
    std::optional<std::size_t> columnOf(const std::string& title) const {
        const std::string letters = titleLetters(title);
        for (std::size_t column = 0; column < known.size(); ++column) {
            if (letters == titleLetters(known[column].Title))
                return column;
        }
        for (std::size_t column = 0; column < known.size(); ++column) {
            for (const char* other : known[column].OtherTitles) {
                if (letters == titleLetters(other))
                    return column;
            }
        }
        return std::nullopt;
    }

    // "Name (Nachname), Vorname, Jahrgang (Jg, Geburtsjahr), …"
    QString acceptedTitles() const {
        QStringList titles;
        for (const TCsvColumn& column : known) {
            QStringList others;
            for (const char* other : column.OtherTitles)
                others << QString::fromLatin1(other);
            const QString title = QString::fromLatin1(column.Title);
            titles << (others.isEmpty() ? title
                                        : title + QStringLiteral(" (") +
                                              others.join(QStringLiteral(", ")) + u')');
        }
        return titles.join(QStringLiteral(", "));
    }

    QString readHeader(const std::string& line, TCsvRead& result) {
        separator = line.find(';') != std::string::npos ? ';' : ',';
        const auto titles = splitLine(line, separator);
        if (!titles)
            return QStringLiteral("Anführungszeichen nicht geschlossen");
        std::vector<std::string> named = *titles;
        // A spreadsheet may end every line with the separator.
        while (!named.empty() && named.back().empty())
            named.pop_back();
        for (const std::string& title : named) {
            const std::optional<std::size_t> column = columnOf(title);
            if (!column)
                return QStringLiteral("Spalte „%1“ unbekannt; bekannt sind %2")
                    .arg(unicode(title), acceptedTitles());
            if (result.Present[*column])
                return QStringLiteral("Spalte „%1“ doppelt").arg(unicode(title));
            result.Present[*column] = true;
            columns.push_back(*column);
        }
        for (std::size_t column = 0; column < known.size(); ++column) {
            if (known[column].Required && !result.Present[column])
                return QStringLiteral("Kopfzeile ohne Spalte „%1“")
                    .arg(QString::fromLatin1(known[column].Title));
        }
        return {};
    }

    QString readRow(const std::string& line) const {
        auto fields = splitLine(line, separator);
        if (!fields)
            return QStringLiteral("Anführungszeichen nicht geschlossen");
        while (fields->size() > columns.size() && fields->back().empty())
            fields->pop_back();
        if (fields->size() != columns.size())
            return unicode(CountText(static_cast<long long>(fields->size()), "Feld", "Felder")) +
                   QStringLiteral(" statt %1").arg(columns.size());
        std::vector<std::string> values(known.size());
        for (std::size_t i = 0; i < columns.size(); ++i)
            values[columns[i]] = (*fields)[i];
        return row(values);
    }

    const std::vector<TCsvColumn>& known;
    const std::function<QString(const std::vector<std::string>&)>& row;
    char separator = ';';
    std::vector<std::size_t> columns; // of each field; empty until the header is read
};

} // namespace

TCsvRead ReadCsvTable(std::string bytes, const std::vector<TCsvColumn>& columns,
                      const std::function<QString(const std::vector<std::string>&)>& row) {
    const TDecodedText decoded = DecodeFileBytes(std::move(bytes));
    if (decoded.Failed()) {
        TCsvRead result;
        result.Error =
            decoded.FailedCharacter == 0
                ? QStringLiteral("Zeile %1: ungültige UTF-8-Zeichenfolge").arg(decoded.FailedLine)
                : QStringLiteral("Zeile %1: das Zeichen „%2“ ist in der Austauschdatei nicht "
                                 "darstellbar")
                      .arg(decoded.FailedLine)
                      .arg(QString::fromUcs4(&decoded.FailedCharacter, 1));
        return result;
    }
    return CsvReader(columns, row).Read(decoded.Text);
}

QString CsvShown(const std::string& ansi) {
    constexpr qsizetype Longest = 60;
    const QString text = unicode(ansi);
    return text.size() > Longest ? text.left(Longest - 1) + QStringLiteral("…") : text;
}

std::string CsvFile(const std::vector<TCsvColumn>& columns,
                    const std::vector<std::vector<std::string>>& rows) {
    std::string text;
    for (std::size_t column = 0; column < columns.size(); ++column)
        text += std::string(column ? ";" : "") + columns[column].Title;
    text += "\r\n";
    for (const std::vector<std::string>& row : rows) {
        for (std::size_t field = 0; field < row.size(); ++field)
            text += (field ? ";" : "") + csvField(row[field]);
        text += "\r\n";
    }
    return "\xEF\xBB\xBF" + AnsiToUtf8(text);
}

std::optional<bool> CsvActive(const std::string& text) {
    std::string word = text;
    for (char& c : word)
        c = ToUpperAnsi(c);
    if (word.empty() || word == "JA")
        return true;
    if (word == "NEIN")
        return false;
    return std::nullopt;
}
