// SPDX-License-Identifier: GPL-3.0-or-later
// The club's swimmers, their entry times and the club block, kept across competitions in one
// SQLite file that every running program shares.
#pragma once

#include <QDate>
#include <QString>

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
};

class TSwimmerStore {
public:
    // The folder named by NTBMELDE_DATA_DIR, else the program's data location.
    static QString DefaultFolder();

    // Opens ntbmelde.sqlite in the folder, creating folder and file when missing. Never throws:
    // an unusable store (unreadable, corrupt, locked, read-only, newer schema) is not
    // Available() and Problem() says why; a corrupt file is left untouched.
    explicit TSwimmerStore(const QString& folder = DefaultFolder());
    ~TSwimmerStore();
    TSwimmerStore(const TSwimmerStore&) = delete;
    TSwimmerStore& operator=(const TSwimmerStore&) = delete;

    bool Available() const { return problem_.isEmpty(); }
    // "Die Schwimmerliste ist nicht verfügbar: …", empty while the store works. A failed
    // change or look-up sets it too, so that the caller can tell the user once; a store that
    // could not be opened answers nothing and changes nothing.
    QString Problem() const { return problem_; }
    QString FilePath() const { return filePath_; }

    // Active swimmers whose surname or first name starts with `prefix` (letter case ignored),
    // sorted by name, at most `limit`.
    std::vector<TSwimmer> Complete(std::string_view prefix, int limit = 12) const;
    // All swimmers, sorted by name (letter case ignored), then birth year.
    std::vector<TSwimmer> AllSwimmers() const;
    // The stored swimmer who is this one: equal registration numbers where both have one,
    // else equal names (letter case and outer blanks ignored) and birth years.
    std::optional<TSwimmer> FindSwimmer(std::string_view name, int birthYear,
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

    // Every change is one transaction: all of it is stored, or nothing and false.
    bool SaveSwimmer(TSwimmer& swimmer); // inserts when Id is 0 and sets it
    bool DeleteSwimmer(qint64 id);
    // Adds or updates the swimmer of every individual nomination, records the entry times with
    // the competition's name, first date and lane length, and keeps the club block.
    std::optional<TStoreCount> RememberCompetition(const TMeldeAustausch& model);
    // Adds the swimmers, or updates those already stored (sex, a registration number, and with
    // `withActive` the active flag: a list without that column says nothing about it).
    std::optional<TStoreCount> AddSwimmers(const std::vector<TSwimmer>& swimmers,
                                           bool withActive = true);
    // Stores the swims of a result list: each swimmer found by registration number where both
    // have one, else by name, birth year and sex, or added; each swim once, however often the
    // file is imported. Times counts the swims stored now; swims longer than the exchange file
    // can hold are skipped and counted.
    std::optional<TStoreCount> ImportSwims(const std::vector<TSwim>& swims);
    // The club block of the last remembered competition that had a club name.
    std::optional<TClubBlock> LastClubBlock() const;

private:
    // Runs `work` on the open database; a failure of SQLite becomes Problem() and `failed`.
    template <typename Result, typename Work> Result guarded(Result failed, Work work) const;

    QString connectionName_;
    QString filePath_;
    mutable QString problem_;
};
