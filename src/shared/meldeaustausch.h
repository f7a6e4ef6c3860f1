// SPDX-License-Identifier: GPL-3.0-or-later
// The competition, the club and its nominations, held in memory from start to exit.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "conversions.h"
#include "exchangeverdict.h"

class TSimpleXmlWriter;

struct TEventRecord {
    int Period = 0;
    int WkNr = 0;         // event number code: number * 1000 + suffix character
    std::string Name;     // at most EventNameCapacity characters once stored
    std::uint8_t Sex = 0; // 0 male, 1 female, 2 mixed
    bool Staffel = false;
    // The admitted birth years; the exchange file's AGEMIN is the latest, AGEMAX the earliest.
    int LatestBirthYear = 0;   // the youngest swimmers
    int EarliestBirthYear = 0; // the oldest swimmers
    double Fee = 0;
    bool operator==(const TEventRecord&) const = default;
};

struct TNominRecord {
    std::string Name;  // "NACHNAME, VORNAME", at most NominNameCapacity characters
    int BirthYear = 0; // the exchange file's AGE
    std::uint8_t Sex = 0;
    int WkNr = 0;
    int Time = 0; // hundredths of a second, NoTime, or -1 for an invalid time text
    std::string RegNr;
    bool operator==(const TNominRecord&) const = default;
};

inline constexpr int PeriodSlots = 12;
inline constexpr std::size_t EventNameCapacity = 60;
inline constexpr std::size_t NominNameCapacity = 30;
inline constexpr std::size_t RegNrCapacity = 15;
inline constexpr std::size_t PeriodDateCapacity = 10;
inline constexpr std::size_t PeriodTimeCapacity = 5;
inline const std::string BlankPeriodDate = "  .  .    ";
inline const std::string BlankPeriodTime = "  :  ";

extern const TEventRecord EmptyEvent;
extern const TNominRecord EmptyNomin;

class TMeldeAustausch {
public:
    // Competition, as the host describes it.
    std::string CompName;
    std::string Veranstalter;
    std::string Ausrichter;
    std::string Place;
    std::string Date1;
    std::string Date2;
    int LaneLen = 0;
    int AbsCnt = 0;
    // The nominating club.
    int Verband = 0;
    std::string ClubName;
    std::string Fina;
    std::string Person;
    std::string Street;
    std::string Zip;
    std::string ClubPlace;
    std::string Fon;
    std::string Fax;
    std::string EMail;
    std::string ClubId;

    TMeldeAustausch();

    // Sections 1..12; other numbers read as blank and are ignored on storing.
    std::string GetPeriodDate(int section) const;
    std::string GetPeriodInt(int section) const;
    std::string GetPeriodWarmUp(int section) const;
    std::string GetPeriodKari(int section) const;
    std::string GetPeriodTime(int section) const;
    void SetPeriodDate(int section, const std::string& text);
    void SetPeriodInt(int section, const std::string& text);
    void SetPeriodWarmUp(int section, const std::string& text);
    void SetPeriodKari(int section, const std::string& text);
    void SetPeriodTime(int section, const std::string& text);

    // Positions are 1-based. Reading outside gives the empty record; storing behind the end
    // grows the list with all-zero records.
    int EventCount() const { return static_cast<int>(Events.size()); }
    TEventRecord GetEvent(int position) const;
    // The stored record itself, for loops that only look at it.
    const TEventRecord& Event(int position) const;
    void SetEvent(int position, const TEventRecord& event);
    // The position of the last event whose code is `wkNr` (event numbers need not be unique),
    // or 0; answered from an index, however many events there are.
    int FindEvent(int wkNr) const;

    int NominCount() const { return static_cast<int>(Nomins.size()); }
    TNominRecord GetNomin(int position) const;
    const TNominRecord& Nomin(int position) const;
    // Normalises a swimmer's name ("Vorname Nachname" -> "Nachname, Vorname") before storing;
    // the name of a relay team stays as it is, without outer blanks.
    void SetNomin(int position, TNominRecord nomin);
    void DeleteNomin(int position);
    // Both sorts are stable and move whole records. They return the new position of the
    // nomination that stood at `follow` (0 when `follow` is no stored position), so that a
    // window showing that nomination keeps track of it.
    int SortNominByName(int follow = 0);
    int SortNominByWkNr(int follow = 0);

    static int TextToWkNr(std::string_view text);
    static std::string WkNrToText(int code);

    // Replaces the model by the file's content; a missing file leaves the model reset. A UTF-8
    // file is converted first; a file that is no exchange file, or that Windows-1252 cannot
    // hold, leaves the model reset too. The report says which. Throws TIoError when the file
    // cannot be read.
    TLoadReport LoadFromFile(const std::string& path);
    // Replaces the model by what a file with these bytes holds.
    void LoadFromText(std::string text);
    // Sorts the nominations by name and replaces the file atomically: on any failure the
    // previous file stays as it was. Throws TIoError.
    void SaveToFile(const std::string& path);

    // The file's bytes as SaveToFile writes them (sorts the nominations by name first).
    std::string ToFileText();

private:
    struct Section {
        std::string Date = BlankPeriodDate;
        std::string Int = BlankPeriodTime;
        std::string WarmUp = BlankPeriodTime;
        std::string Kari = BlankPeriodTime;
        std::string Time = BlankPeriodTime;
    };
    const Section* section(int number) const;
    Section* section(int number);
    void resetForLoad();
    void rebuildEventIndex();

    // The exchange file (exchangefile.h) writes the lists without copying them.
    friend void WriteExchangeText(const TMeldeAustausch& model, TSimpleXmlWriter& xml);

    std::array<Section, PeriodSlots> Periods;
    std::vector<TEventRecord> Events;
    std::unordered_map<int, int> lastEventWithCode; // event number code -> 1-based position
    std::vector<TNominRecord> Nomins;
};
