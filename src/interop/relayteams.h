// SPDX-License-Identifier: GPL-3.0-or-later
// The swimmers of a relay team: how many its event takes, who may swim in it, the class of a
// masters relay by the swimmers' summed ages and the entry time their legs add up to. The entry
// dialog, `ntbmelde-cli relay` and both exports ask these rules, so all of them agree.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "companionfile.h"
#include "invitation.h"

// The host's entry event of an exchange event code; none for a number with a letter or one the
// invitation lacks.
const TInvitationEvent* HostEventOf(const TInvitation& invitation, int wkNr);

// How many swimmers one team of the relay event at `eventPosition` has: the relay count of its
// name ("4x50m"), else the host's; 0 when neither tells.
int RelayLegCount(const TMeldeAustausch& model, const TInvitation& invitation, int eventPosition);

// The year in which a swimmer's age is reckoned: the invitation's age date, else its first day,
// else this year. Age = that year - birth year.
int AgeYear(const TInvitation& invitation);
// The swimmers' ages summed in `year`.
int SummedAge(const std::vector<TRelaySwimmer>& swimmers, int year);
// The host's classes of the event that limit a team's sum of ages (Lenex calculate="TOTAL",
// DSV "AK;100+"); empty for every other event.
std::vector<const TAgeGroup*> SummedAgeClasses(const TInvitationEvent& event);
// The class the team's sum falls in; none when the event has no such classes or none fits.
const TAgeGroup* RelayClassOf(const TInvitationEvent& event,
                              const std::vector<TRelaySwimmer>& swimmers, int year);

// The position of the relay nomination of team `team` (outer blanks ignored) in event `wkNr`,
// 0 for none.
int FindRelayNomin(const TMeldeAustausch& model, int wkNr, const std::string& team);
// The line-up kept for that team, if any.
const TRelayLineUp* FindLineUp(const TCompanion& companion, int wkNr, const std::string& team);
// Replaces the line-up kept for the team of `lineUp` by it; one without swimmers is removed.
void SetLineUp(TCompanion& companion, TRelayLineUp lineUp);

struct TLineUpRefusal {
    QString Message; // German, without a full stop
    int Leg = 0;     // the swimmer it is about (1 = leg 1), 0 for the team as a whole
};
// Why the team cannot swim in this order, nothing when it can: no such relay nomination, a
// number of swimmers other than the event's, a swimmer whom the event would refuse alone
// (birth year, sex; mixed relays take anybody), a swimmer twice in the team or already in
// another team of the event, a summed age outside every class of a masters relay. No swimmers
// at all is a team entered without names.
std::optional<TLineUpRefusal> CheckLineUp(const TMeldeAustausch& model,
                                          const TInvitation& invitation,
                                          const TCompanion& companion, const TRelayLineUp& lineUp);
// The same checks of the swimmers alone, for a team about to be entered in event lineUp.WkNr.
std::optional<TLineUpRefusal> CheckLineUpSwimmers(const TMeldeAustausch& model,
                                                  const TInvitation& invitation,
                                                  const TCompanion& companion,
                                                  const TRelayLineUp& lineUp);

// The discipline each leg swims, leg 1 first: the relay's distance per swimmer, and for a medley
// relay backstroke, breaststroke, butterfly, freestyle.
std::vector<TDiscipline> RelayLegDisciplines(const TDiscipline& relay);
// The legs' best times summed, when every leg has one (`bestTime` answers for a swimmer in a
// leg's discipline); nothing when a leg is missing or has none.
std::optional<int> RelayTimeSuggestion(
    const TDiscipline& relay, const std::vector<TRelaySwimmer>& swimmers,
    const std::function<std::optional<int>(const TRelaySwimmer&, const TDiscipline&)>& bestTime);
