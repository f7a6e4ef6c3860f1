// SPDX-License-Identifier: GPL-3.0-or-later
// The club's swimmers, their entry times and the club block, kept across competitions in one
// SQLite file that every running program shares.
#pragma once

#include <QDate>
#include <QString>

class QSqlDatabase;

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "discipline.h"
#include "swim.h"

class TMeldeAustausch;

struct TSwimmer {
    qint64 Id = 0;    // the store's row, 0 for a swimmer not stored yet
    std::string Name; // "Nachname, Vorname", Windows-1252 like the exchange file
    int BirthYear = 0;
    std::uint8_t Sex = 0; // as in a nomination: 0 male, 1 female, 2 mixed
    std::string RegNr;
    bool Active = true;
    QDate LastEntered; // null when never entered
};

// Where a stored time comes from: an entry of the club, or a swim of a result list.
enum class TTimeKind { Entered, Swum };

// One recorded time of a swimmer, with where it came from.
struct TStoredTime {
    int Hundredths = 0;
    QDate Date;
    std::string CompName; // Windows-1252
    TTimeKind Kind = TTimeKind::Entered;
};

// A swimmer's fastest swum time in one discipline on one lane length.
struct TBestTime {
    qint64 SwimmerId = 0;
    std::string Name; // Windows-1252
    int BirthYear = 0;
    TDiscipline Discipline;
    int LaneLength = 0;
    TStoredTime Time;
};

// One of the club's officials (Kampfrichter), Windows-1252 like the exchange file.
struct TOfficial {
    qint64 Id = 0;      // the store's row, 0 for one not stored yet
    std::string Name;   // "Nachname, Vorname", kept as swimmers' names are
    std::string Number; // Kampfrichter-Nr., empty when the official has none yet
    std::string Group;  // one of OfficialGroups
    std::string Sex;    // "M", "W", "D" or empty
    bool Active = true;
};
// The groups an official is qualified for: Wettkampfrichter, Auswerter, Schiedsrichter,
// Sprecher.
inline constexpr const char* OfficialGroups[] = {"WKR", "AUS", "SCH", "SPR"};
bool IsOfficialGroup(std::string_view group);
bool IsPersonSex(std::string_view sex); // "M", "W", "D" or empty

// One of the club's trainers.
struct TTrainer {
    qint64 Id = 0;
    std::string Name; // "Nachname, Vorname"
    std::string Sex;  // "M", "W", "D" or empty
};

// What an import of a list added and changed.
struct TListCount {
    int Added = 0;
    int Updated = 0;
};

// Every field of the club dialog, Windows-1252.
struct TClubBlock {
    int Verband = 0;
    std::string ClubName, Fina, Person, Street, Zip, ClubPlace, Fon, Fax, EMail, ClubId;

    static TClubBlock Of(const TMeldeAustausch& model);
    void ApplyTo(TMeldeAustausch& model) const;
};

// What one import or one remembered competition changed.
struct TStoreCount {
    int NewSwimmers = 0;
    int UpdatedSwimmers = 0;
    int Times = 0;
    int SkippedTimes = 0; // swims longer than the exchange file can hold
    // Registration numbers met with another person than the stored one: kept apart.
    int RegNrConflicts = 0;
};

// What the store knows of a swimmer entered: the stored record who is this swimmer, and a
// stored other person who holds the entered registration number.
struct TSwimmerMatch {
    std::optional<TSwimmer> Swimmer;
    std::optional<TSwimmer> RegNrHolder;
};

// Stored swimmers that the identity rule takes for one, with what each has.
struct TDuplicateSwimmer {
    TSwimmer Swimmer;
    int EnteredTimes = 0;
    int SwumTimes = 0;
};

class TSwimmerStore {
public:
    // The folder named by NTBMELDE_DATA_DIR, else the program's data location.
    static QString DefaultFolder();

    enum class Access {
        Change, // creates folder and file when missing
        Read,   // never creates a store; one that is missing reads as empty
    };

    // Opens ntbmelde.sqlite in the folder. Never throws: an unusable store (unreadable,
    // corrupt, locked, read-only, newer schema, another program's database) is not Available()
    // and Problem() says why; such a file is never changed. A store whose pages are damaged
    // is read as far as it can be but never written into, nor is a read-only one.
    explicit TSwimmerStore(const QString& folder = DefaultFolder(), Access access = Access::Change);
    ~TSwimmerStore();
    TSwimmerStore(const TSwimmerStore&) = delete;
    TSwimmerStore& operator=(const TSwimmerStore&) = delete;

    // Whether the store answers; one that could not be opened is tried again, so that a
    // store busy or missing for a moment is not switched off for the session.
    bool Available() const;
    // "Die Schwimmerliste ist nicht verfügbar: …": why the last operation failed (or the
    // store could not be opened), empty after one that worked. German, naming the file.
    QString Problem() const { return problem_; }
    // The Problem() without "Die Schwimmerliste ist nicht verfügbar: ", a sentence of its own.
    QString Cause() const;
    QString FilePath() const { return filePath_; }

    // Active swimmers whose surname or first name starts with `prefix` (letter case ignored),
    // at most `limit`: surname matches by name first, then first-name matches by first name.
    std::vector<TSwimmer> Complete(std::string_view prefix, int limit = 12) const;
    // All swimmers in German order of their names (germanorder.h), then by birth year.
    std::vector<TSwimmer> AllSwimmers() const;
    // The stored swimmer who is this one by the identity rule (swimmeridentity.h), and who
    // else holds the registration number.
    TSwimmerMatch FindSwimmer(std::string_view name, int birthYear, std::uint8_t sex,
                              std::string_view regNr) const;
    // The swimmer's fastest time in the discipline on that lane length, swum or entered, dated
    // within the twelve months up to `until` (the competition's first date). Times of another
    // lane length never count, not even converted. A swum time wins over an equal entered one.
    std::optional<TStoredTime> BestTime(qint64 swimmerId, const TDiscipline& discipline,
                                        int laneLength, QDate until) const;
    // Every swimmer's fastest swum time per discipline and lane length, whenever swum, sorted by
    // name, birth year, stroke, technique, distance and lane length; of one swimmer only when
    // `swimmerId` is given.
    std::vector<TBestTime> BestTimes(std::optional<qint64> swimmerId = std::nullopt) const;
    // The same of the swimmers whose name holds `part` (letter case ignored).
    std::vector<TBestTime> BestTimesOfName(std::string_view part) const;
    // Groups of stored swimmers that the identity rule takes for one person, each group
    // sorted by name and row; result lists often held placeholders that joined them before.
    std::vector<std::vector<TDuplicateSwimmer>> Duplicates() const;

    // Every change is one transaction: all of it is stored, or nothing and false.
    // Inserts when Id is 0 and sets it; the name and number are kept in their normal form
    // (NormalizedSwimmerName, StoredRegNr), written back into `swimmer`.
    bool SaveSwimmer(TSwimmer& swimmer);
    bool DeleteSwimmer(qint64 id);
    // Moves every time of `from` to `into` and deletes `from`.
    bool MergeSwimmers(qint64 into, qint64 from);
    // Adds or updates the swimmer of every individual nomination, records the entry times with
    // the competition's name, first date and lane length, and keeps the club block.
    std::optional<TStoreCount> RememberCompetition(const TMeldeAustausch& model);
    // Adds the swimmers, or updates those already stored (sex, a registration number, and with
    // `withActive` the active flag: a list without that column says nothing about it).
    std::optional<TStoreCount> AddSwimmers(const std::vector<TSwimmer>& swimmers,
                                           bool withActive = true);
    // Stores the swims of a result list: each swimmer found by the identity rule, or added;
    // each swim once, however often the
    // file is imported. Times counts the swims stored now; swims longer than the exchange file
    // can hold are skipped and counted.
    std::optional<TStoreCount> ImportSwims(const std::vector<TSwim>& swims);
    // The club block of the last remembered competition that had a club name.
    std::optional<TClubBlock> LastClubBlock() const;

    // The club's officials and trainers, sorted by name (letter case ignored).
    std::vector<TOfficial> AllOfficials() const;
    std::vector<TTrainer> AllTrainers() const;
    // The official with this Kampfrichter-Nr., else the one of this name (letter case ignored).
    std::optional<TOfficial> FindOfficial(std::string_view nameOrNumber) const;
    // Like SaveSwimmer: the name kept in its normal form; refused (false, Problem()) for a
    // name missing or held by another, a number held by another, a group or sex unknown.
    bool SaveOfficial(TOfficial& official);
    bool DeleteOfficial(qint64 id);
    bool SaveTrainer(TTrainer& trainer);
    bool DeleteTrainer(qint64 id);
    // Adds the officials, or updates those stored with the same number, else the same name
    // (group, a number, and with `withSex` the sex, with `withActive` the active flag).
    std::optional<TListCount> AddOfficials(const std::vector<TOfficial>& officials, bool withSex,
                                           bool withActive);

private:
    // Opens the database when it is not open; false with Problem() when it cannot be.
    bool open() const;
    // Whether every page is intact, asked once before the first change (or a migration) rather
    // than at every opening: a large store takes a moment, which reading need not wait for.
    void checkPages(const QSqlDatabase& db) const;
    // Runs `work` on the open database; a failure of SQLite becomes Problem() and `failed`.
    // A change is refused on a store that must stay unchanged.
    template <typename Result, typename Work>
    Result guarded(Result failed, Work work, bool changes = false) const;

    // Writes through `write` unless `refusal` already says why not; `write` may refuse too by
    // setting it. A refusal becomes Problem() and false.
    template <typename Write> bool writeUnlessRefused(QString refusal, Write write);

    // Deletes the row `id` of a table of people (swimmer, official, trainer).
    bool deleteRow(const QString& table, qint64 id);

    QString connectionName_;
    QString folder_;
    QString filePath_;
    Access access_;
    mutable bool opened_ = false;
    mutable bool pagesChecked_ = false;
    mutable QString unchangeable_; // why changes are refused, empty when they are not
    mutable QString problem_;
};
