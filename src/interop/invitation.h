// SPDX-License-Identifier: GPL-3.0-or-later
// A host's invitation as Lenex and DSV7 describe it, in one form for both: what an import turns
// into an exchange file, and what an export of the club's entries echoes back to the host.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "companionfile.h"
#include "discipline.h"
#include "feereport.h"
#include "interoptext.h"

class TMeldeAustausch;

enum class TSwimStroke { Free, Back, Breast, Fly, Medley, Other };
// Diverse: an event for diverse swimmers only (DSV Format 8).
enum class TEventGender { Female, Male, Mixed, All, Diverse };

struct TInvitationSession {
    int Number = 0; // the host's number
    QDate Date;
    QString DayTime;         // "HH:MM"; empty when unknown or given relative to another session
    QString WarmUpFrom;      // admission and warm-up, "HH:MM" or empty
    QString OfficialMeeting; // judges' meeting, "HH:MM" or empty
    bool Relative = false;   // the host gave durations instead of clock times
    QString RelativeStart;   // Relative: the start as a duration after the previous session
};

// A Lenex age group as the host wrote it; ages, -1 for no bound.
struct TAgeGroup {
    QString Id;
    int MinAge = -1;
    int MaxAge = -1;
    QString Calculate; // "TOTAL": a relay's sum of ages
    QString Name;
};

struct TInvitationEvent {
    QString Id; // the host's event id (Lenex eventid; DSV the event number)
    int Number = 0;
    int Session = 0; // Number of its session
    TEventGender Gender = TEventGender::All;
    QString Round;      // as the file says: Lenex "TIM", "PRE", "FIN" …; DSV "V", "E", "F" …
    QString PreviousId; // the event this one qualifies from, empty or "-1" for none
    int RelayCount = 1;
    int Distance = 0; // metres one swimmer swims
    TSwimStroke Stroke = TSwimStroke::Free;
    TTechnique Technique = TTechnique::None;
    QString DsvTechnique; // the DSV Ausübung as written (Format 8's KB, KR are kicks)
    QString StyleName;    // the host's name of the style, used for TSwimStroke::Other
    int FeeCents = -1;    // -1: the event names no fee
    int EarliestBirthYear = 1900;
    int LatestBirthYear = 0;          // 0: no bound on the youngest
    std::vector<TAgeGroup> AgeGroups; // the host's Lenex age groups, else none
    // Clubs enter timed finals, heats and preliminaries; finals are reached, not entered.
    bool IsEntryEvent() const;
};

// A qualifying time of one event as the host gives it, for swimmers born in the years given.
struct TInvitationQualifying {
    QString EventId;
    int EarliestBirthYear = 1900;
    int LatestBirthYear = 0; // 0: no bound on the youngest
    int Sex = -1;            // 0 male, 1 female, -1 both
    int Time = 0;            // hundredths
    QString Course;          // Lenex course of the time; empty: the meet's
};

// What the clubs of a Lenex file hold: an invitation lists no swims, a club's entries file or a
// start list holds entries, a result list results.
enum class TClubSwims { None, Entries, Results };

struct TInvitation {
    QString Name;
    QString Organizer;
    QString HostClub;
    QString City;
    QString Nation;
    int LaneLength = 0;  // 25, 50, other pool lengths as given, 0 for open water
    QString Course;      // Lenex course code (of a DSV pool length: its Lenex code), else empty
    QString Timing;      // DSV Zeitmessung ("AUTOMATISCH" …) or Lenex timing as the file gave it
    int DsvVersion = 0;  // 7 or 8 for a DSV invitation, else 0
    QString AgeDateType; // Lenex AGEDATE as given, else empty
    QDate AgeDate;
    int FeeIndividualCents = -1; // general fees where an event names none
    int FeeRelayCents = -1;
    QDate Deadline;       // the host's entry deadline; invalid when none is given
    QString DeadlineTime; // its time of day, "HH:MM"; empty: the whole day counts
    QString Currency;     // of every fee; empty: euros
    // Fees beyond the events' own, in file order; a section's fee names the host's session.
    std::vector<TFlatFee> FlatFees;
    std::vector<TInvitationSession> Sessions; // in file order
    std::vector<TInvitationEvent> Events;     // in file order
    std::vector<TInvitationQualifying> QualifyingTimes;
    TClubSwims ClubSwims = TClubSwims::None;
};

// The exchange file's section of each of the host's session numbers: the host's numbers when
// they are 1 … n, else 1, 2, … in file order (a gap would leave an empty section). Throws
// TInteropError for more sessions than the exchange file holds.
std::map<int, int> SectionNumbers(const std::vector<TInvitationSession>& sessions);

// Throws TInteropError for a file with entries or results, which is no invitation, saying where
// such a file belongs; returns for TClubSwims::None.
void RefuseNonInvitation(TClubSwims swims);

// The invitation's entry events as a new exchange model. Texts that Windows-1252 cannot hold
// are rewritten (transliteration.h), told by a line added to `notes` when given. Throws
// TInteropError naming the event whose number, stroke or age group the exchange file cannot
// hold, or naming a character that no table renders; more than 12 sessions are refused the
// same way.
void ImportInvitation(const TInvitation& invitation, TMeldeAustausch& model,
                      QStringList* notes = nullptr);

// The currency, flat fees, deadline and qualifying times of the invitation as the fee overview
// shows them. A qualifying time for another course than the meet's (yards) is left out.
TMeetFees MeetFeesOf(const TInvitation& invitation);

// What an export refers to when the host's invitation is not at hand: sessions from the
// sections, ids from the event numbers, styles read back from the event names.
TInvitation InvitationFromModel(const TMeldeAustausch& model);

// The club's nominations as both entry formats list them, matched to the invitation's entry
// events by number. Texts are the exchange file's Windows-1252 bytes.
struct TEntryStart {
    const TInvitationEvent* Event = nullptr;
    int Time = 0; // hundredths, or NoTime
};
struct TEntrySwimmer {
    std::string Name; // "Nachname, Vorname"
    int BirthYear = 0;
    bool Female = false;
    std::string RegNr;
    std::vector<TEntryStart> Starts; // in nomination order
};
struct TEntryRelay {
    const TInvitationEvent* Event = nullptr;
    int Team = 0; // 1, 2, … within its event
    int Time = 0;
    std::string Name; // the relay nomination's name, Windows-1252, trimmed
    // The team's swimmers from the companion file, leg 1 first, as positions in
    // TClubEntries::Swimmers; empty for a team entered without names.
    std::vector<std::size_t> Legs;
    const TAgeGroup* Class = nullptr; // a masters relay's class by the summed ages, else none
};
struct TClubEntries {
    // Each swimmer once, as the identity rule tells them; a relay swimmer without a start of
    // his own has no Starts.
    std::vector<TEntrySwimmer> Swimmers;
    std::vector<TEntryRelay> Relays; // one team per relay nomination
};
// Throws TInteropError listing every nomination that the formats cannot carry: an event number
// with a letter, one the invitation's entry events lack, an invalid time, an individual start
// marked mixed, a relay swimmer neither male nor female. An export sent to a host also checks
// (`forHost`) what the entry dialog would refuse, a swimmer entered twice in one event and the
// relay line-ups of `companion` as CheckLineUp does.
TClubEntries CollectClubEntries(const TMeldeAustausch& model, const TInvitation& invitation,
                                bool forHost = false, const TCompanion& companion = {});

// The discipline of an event; nothing for a style the store cannot name (a stroke "Sonderform",
// no distance).
std::optional<TDiscipline> DisciplineOf(const TInvitationEvent& event);
