// SPDX-License-Identifier: GPL-3.0-or-later
// Swimmer lists (.csv), earlier exchange files and hosts' result lists into the swimmer store,
// the same for the window "Schwimmer" and ntbmelde-cli; officials' lists likewise.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "swimmerstore.h"

class TMeldeAustausch;

// An import that stored nothing of the file it names, or stopped after the files before it.
class TImportFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error; // UTF-8
};

// Result lists to import while the own club is not known: only every club's swims can be
// taken, which the caller offers its own way.
class TOwnClubUnknown : public TImportFailure {
public:
    TOwnClubUnknown()
        : TImportFailure("Der eigene Verein ist nicht bekannt (noch keine Meldung mit "
                         "Vereinsdaten gespeichert).") {}
};

// What an import brought, and which kinds of files it had.
struct TImportTotal {
    int NewSwimmers = 0;
    int UpdatedSwimmers = 0;
    int EnteredTimes = 0;
    int SwumTimes = 0;
    int SkippedTimes = 0; // longer than the exchange file can hold
    int RegNrConflicts = 0;
    bool WithResults = false;
    bool WithOthers = false;
    // Result lists in which the own club was not found, each with the two closest club names
    // of the file ("…: Verein nicht gefunden; am ähnlichsten: „A“, „B“").
    QStringList ClubsNotFound;
    // What the readers rewrote or skipped (names rewritten for Windows-1252, athletes without
    // birth date), one line each.
    QStringList Notes;
};

// "3 Schwimmer neu, 1 aktualisiert, 4 Meldezeiten, 10 Wettkampfzeiten": entry times when the
// import had swimmer lists or exchange files, swum times when it had result lists; then the
// skipped times and registration numbers met with another person, when there are any; then the
// result lists in which the own club was not found.
QString ImportCountText(const TImportTotal& total);

// How many letters must change to turn one text into the other (Levenshtein).
int EditDistance(const QString& a, const QString& b);

// Loads an exchange file the caller's way (its messages about the file are its own); throws
// what stops the import.
using TCompetitionLoader = std::function<void(const std::string& path, TMeldeAustausch& model)>;

// Every file is read before anything is stored, so that a bad file stores nothing; then each
// file is one transaction. CSV files are told by their extension, Lenex and DSV result lists by
// their content, everything else is an exchange file. Result lists give the swims of the own
// club (of the last exchange file of this import with a club name, else of the store), or of
// every club with `allClubs`. Importing a file again changes nothing.
TImportTotal ImportIntoStore(TSwimmerStore& store, const std::vector<std::string>& paths,
                             bool allClubs, const TCompetitionLoader& loadCompetition);

// The officials' CSV list at `path` into the store in one transaction, read as a swimmer list
// is (characters Windows-1252 lacks rewritten, each said in `notes`). Throws TImportFailure
// naming the file and the bad line or the store's problem (nothing stored), TIoError when the
// file cannot be read.
TListCount ImportOfficialsFile(TSwimmerStore& store, const std::string& path, QStringList& notes);
// "3 Kampfrichter neu, 1 geändert"
QString OfficialsCountText(const TListCount& count);
