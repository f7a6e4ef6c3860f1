// SPDX-License-Identifier: GPL-3.0-or-later
// The club's officials as a CSV file, by the same rules as the swimmer list (csvtable.h).
#pragma once

#include <QString>

#include <string>
#include <vector>

#include "swimmerstore.h"

// The header "Name;Vorname;Kampfrichter-Nr.;Gruppe;Aktiv" and one line per official.
std::string OfficialsToCsv(const std::vector<TOfficial>& officials);

struct TCsvOfficials {
    std::vector<TOfficial> Officials;
    // Whether the file has a column Geschlecht (m, w, d) and Aktiv; without one the stored
    // value stays, and new officials are without sex and active.
    bool HasSexColumn = false;
    bool HasActiveColumn = false;
    QString Error; // German, "Zeile 4: …"; empty when every line was read
};

// Reads an official list as ReadCsvTable does; columns Name (Nachname), Vorname,
// Kampfrichter-Nr. (KR-Nr., Nummer), Gruppe (WKR, AUS, SCH or SPR, letter case ignored),
// Geschlecht, Aktiv. At the first bad line the result holds only the error.
TCsvOfficials ReadOfficialsCsv(std::string bytes);
