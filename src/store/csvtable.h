// SPDX-License-Identifier: GPL-3.0-or-later
// Lists of the club (swimmers, officials) as CSV files, as German spreadsheet programs open and
// save them: one reader and one writer for every list.
#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

// A column of a list: its title as written, other titles clubs give it, whether a file must
// have it.
struct TCsvColumn {
    const char* Title;
    std::vector<const char*> OtherTitles = {};
    bool Required = false;
};

// Reads a list: UTF-8 with or without byte-order mark, else Windows-1252; fields separated by
// ";" or "," (what the header uses), quotes as spreadsheets write them, a separator at the end of
// a line or not; a header naming the columns in any order, each by one of its titles (letter
// case, blanks, points and hyphens ignored), an unknown title being an error. `row` gets each
// line's values (Windows-1252, trimmed) by column, empty for a column the file lacks, and
// returns an error without line number, or nothing. Returns the columns the file has (by
// index), or the first error as "Zeile 4: …".
struct TCsvRead {
    std::vector<bool> Present;
    QString Error;
};
TCsvRead ReadCsvTable(std::string bytes, const std::vector<TCsvColumn>& columns,
                      const std::function<QString(const std::vector<std::string>&)>& row);

// A value as an error quotes it: a long one cut to 60 characters.
QString CsvShown(const std::string& ansi);

// A list's file: the header of the columns' titles, then one line per row of Windows-1252
// values; UTF-8 with byte-order mark, ";" between fields, quotes where needed, CR LF.
std::string CsvFile(const std::vector<TCsvColumn>& columns,
                    const std::vector<std::vector<std::string>>& rows);

// An "Aktiv" value: "ja" or empty is true, "nein" false (letter case ignored), else nothing.
std::optional<bool> CsvActive(const std::string& text);
