// SPDX-License-Identifier: GPL-3.0-or-later
// The swimmer list as a CSV file, as German spreadsheet programs open and save it.
#pragma once

#include <QString>

#include <string>
#include <vector>

#include "swimmerstore.h"

// The file's bytes: UTF-8 with a byte-order mark, lines ended by CR LF, the header
// "Name;Vorname;Jahrgang;Geschlecht;Reg.-Nr.;Aktiv" and one line per swimmer; the stored name
// is split at its first comma.
std::string SwimmersToCsv(const std::vector<TSwimmer>& swimmers);

struct TCsvSwimmers {
    std::vector<TSwimmer> Swimmers;
    // Whether the file says which swimmers are active; without the column all read as active.
    bool HasActiveColumn = false;
    // German, "Zeile 4: …"; empty when every line was read.
    QString Error;
    bool Failed() const { return !Error.isEmpty(); }
};

// Reads a swimmer list: UTF-8 with or without byte-order mark, else Windows-1252; fields
// separated by ";" or "," (what the header uses), quotes as spreadsheets write them, a separator
// at the end of a line or not; a header naming the columns in any order, each by one of its
// titles (Name or Nachname, Vorname, Jahrgang, Jg or Geburtsjahr, Geschlecht, Reg.-Nr., DSV-ID
// or Registriernummer, Aktiv), an unknown title being an error; two-digit birth years expanded
// as the entry dialog expands them. At the first bad line the result holds only the error.
TCsvSwimmers ReadSwimmersCsv(std::string bytes);
