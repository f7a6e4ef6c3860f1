// SPDX-License-Identifier: GPL-3.0-or-later
#include "relayteams.h"

#include "conversions.h"
#include "entrycheck.h"
#include "environment.h"
#include "swimmeridentity.h"

using namespace Qt::StringLiterals;

namespace {

QString eventText(int wkNr) {
    return AnsiToQString(TMeldeAustausch::WkNrToText(wkNr));
}

QString swimmerText(const std::vector<TRelaySwimmer>& swimmers, std::size_t leg) {
    return u"%1. Schwimmer (%2)"_s.arg(leg + 1).arg(AnsiToQString(swimmers[leg].Name));
}

TSwimmerIdentity identityOf(const TRelaySwimmer& swimmer) {
    return TSwimmerIdentity::Of(swimmer.Name, swimmer.BirthYear, swimmer.Sex, swimmer.RegNr);
}

bool sameSwimmer(const TRelaySwimmer& a, const TRelaySwimmer& b) {
    return CompareSwimmers(identityOf(a), identityOf(b)) == TSameSwimmer::Yes;
}

bool sameTeam(const TRelayLineUp& lineUp, int wkNr, const std::string& team) {
    return lineUp.WkNr == wkNr && Trim(lineUp.Team) == Trim(team);
}

TLineUpRefusal refuse(QString message, std::size_t leg = 0) {
    return {std::move(message), static_cast<int>(leg)};
}

} // namespace

const TInvitationEvent* HostEventOf(const TInvitation& invitation, int wkNr) {
    if (wkNr < 1000 || wkNr % 1000 != 0)
        return nullptr;
    const TInvitationEvent* found = nullptr;
    for (const TInvitationEvent& event : invitation.Events) {
        if (event.Number == wkNr / 1000 && event.IsEntryEvent())
            found = &event;
    }
    return found;
}

int RelayLegCount(const TMeldeAustausch& model, const TInvitation& invitation, int eventPosition) {
    const TEventRecord& event = model.Event(eventPosition);
    if (const auto discipline = ReadDiscipline(event.Name);
        discipline && discipline->RelayCount > 1)
        return discipline->RelayCount;
    const TInvitationEvent* host = HostEventOf(invitation, event.WkNr);
    return host && host->RelayCount > 1 ? host->RelayCount : 0;
}

int AgeYear(const TInvitation& invitation) {
    if (invitation.AgeDate.isValid())
        return invitation.AgeDate.year();
    if (!invitation.Sessions.empty() && invitation.Sessions.front().Date.isValid())
        return invitation.Sessions.front().Date.year();
    return CurrentYear();
}

int SummedAge(const std::vector<TRelaySwimmer>& swimmers, int year) {
    int sum = 0;
    for (const TRelaySwimmer& swimmer : swimmers)
        sum += year - swimmer.BirthYear;
    return sum;
}

std::vector<const TAgeGroup*> SummedAgeClasses(const TInvitationEvent& event) {
    std::vector<const TAgeGroup*> classes;
    for (const TAgeGroup& group : event.AgeGroups) {
        if (group.Calculate.compare(u"TOTAL"_s, Qt::CaseInsensitive) == 0)
            classes.push_back(&group);
    }
    return classes;
}

const TAgeGroup* RelayClassOf(const TInvitationEvent& event,
                              const std::vector<TRelaySwimmer>& swimmers, int year) {
    const int sum = SummedAge(swimmers, year);
    for (const TAgeGroup* group : SummedAgeClasses(event)) {
        if ((group->MinAge < 0 || sum >= group->MinAge) &&
            (group->MaxAge < 0 || sum <= group->MaxAge))
            return group;
    }
    return nullptr;
}

int FindRelayNomin(const TMeldeAustausch& model, int wkNr, const std::string& team) {
    for (int position = 1; position <= model.NominCount(); ++position) {
        const TNominRecord& nomin = model.Nomin(position);
        if (nomin.WkNr == wkNr && Trim(nomin.Name) == Trim(team))
            return position;
    }
    return 0;
}

const TRelayLineUp* FindLineUp(const TCompanion& companion, int wkNr, const std::string& team) {
    for (const TRelayLineUp& lineUp : companion.LineUps) {
        if (sameTeam(lineUp, wkNr, team))
            return &lineUp;
    }
    return nullptr;
}

void SetLineUp(TCompanion& companion, TRelayLineUp lineUp) {
    auto& lineUps = companion.LineUps;
    const auto kept = std::find_if(lineUps.begin(), lineUps.end(), [&](const TRelayLineUp& other) {
        return sameTeam(other, lineUp.WkNr, lineUp.Team);
    });
    if (kept != lineUps.end() && lineUp.Swimmers.empty())
        lineUps.erase(kept);
    else if (kept != lineUps.end())
        *kept = std::move(lineUp);
    else if (!lineUp.Swimmers.empty())
        lineUps.push_back(std::move(lineUp));
}

std::optional<TLineUpRefusal> CheckLineUp(const TMeldeAustausch& model,
                                          const TInvitation& invitation,
                                          const TCompanion& companion, const TRelayLineUp& lineUp) {
    const QString event = eventText(lineUp.WkNr);
    const int nominPosition = FindRelayNomin(model, lineUp.WkNr, lineUp.Team);
    if (nominPosition == 0)
        return refuse(u"Wettkampf %1 hat keine Staffelmeldung „%2“"_s.arg(
            event, AnsiToQString(Trim(lineUp.Team))));
    return CheckLineUpSwimmers(model, invitation, companion, lineUp);
}

std::optional<TLineUpRefusal> CheckLineUpSwimmers(const TMeldeAustausch& model,
                                                  const TInvitation& invitation,
                                                  const TCompanion& companion,
                                                  const TRelayLineUp& lineUp) {
    const QString event = eventText(lineUp.WkNr);
    const int eventPosition = EventOfNomin(model, lineUp.WkNr);
    if (eventPosition == 0 || !model.Event(eventPosition).Staffel)
        return refuse(u"Wettkampf %1 ist kein Staffelwettkampf"_s.arg(event));
    const std::vector<TRelaySwimmer>& swimmers = lineUp.Swimmers;
    if (swimmers.empty())
        return std::nullopt;
    const int legs = RelayLegCount(model, invitation, eventPosition);
    if (legs == 0)
        return refuse(
            u"Wettkampf %1 nennt nicht, wie viele Schwimmer eine Staffel hat"_s.arg(event));
    if (static_cast<int>(swimmers.size()) != legs)
        return refuse(
            u"Zu %1 Schwimmer: eine Staffel in Wettkampf %2 hat %3"_s
                .arg(static_cast<int>(swimmers.size()) > legs ? u"viele"_s : u"wenige"_s, event)
                .arg(legs),
            std::min<std::size_t>(swimmers.size(), static_cast<std::size_t>(legs)));
    // The event's other teams still entered, each looked up once.
    std::vector<const TRelayLineUp*> otherTeams;
    for (const TRelayLineUp& other : companion.LineUps) {
        if (other.WkNr == lineUp.WkNr && !sameTeam(other, lineUp.WkNr, lineUp.Team) &&
            FindRelayNomin(model, other.WkNr, other.Team) > 0)
            otherTeams.push_back(&other);
    }
    for (std::size_t leg = 0; leg < swimmers.size(); ++leg) {
        const TRelaySwimmer& swimmer = swimmers[leg];
        // Alone in this event, would the swimmer be admitted? A mixed relay takes anybody.
        TNominRecord alone = EmptyNomin;
        alone.Name = swimmer.Name;
        alone.BirthYear = swimmer.BirthYear;
        alone.Sex = swimmer.Sex;
        alone.WkNr = lineUp.WkNr;
        alone.Time = NoTime;
        if (const auto refusal = CheckNomin(model, alone))
            return refuse(swimmerText(swimmers, leg) + u": "_s + AnsiToQString(refusal->Message),
                          leg + 1);
        for (std::size_t earlier = 0; earlier < leg; ++earlier) {
            if (sameSwimmer(swimmers[earlier], swimmer))
                return refuse(
                    swimmerText(swimmers, leg) +
                        u" steht schon als %1. Schwimmer in dieser Staffel"_s.arg(earlier + 1),
                    leg + 1);
        }
        for (const TRelayLineUp* other : otherTeams) {
            for (const TRelaySwimmer& taken : other->Swimmers) {
                if (sameSwimmer(taken, swimmer))
                    return refuse(swimmerText(swimmers, leg) +
                                      u" schwimmt in Wettkampf %1 schon in der Staffel „%2“"_s.arg(
                                          event, AnsiToQString(Trim(other->Team))),
                                  leg + 1);
            }
        }
    }
    if (const TInvitationEvent* host = HostEventOf(invitation, lineUp.WkNr);
        host && !SummedAgeClasses(*host).empty() &&
        !RelayClassOf(*host, swimmers, AgeYear(invitation)))
        return refuse(u"Die Summe der Alter (%1 Jahre) passt in keine Altersklasse von "
                      u"Wettkampf %2"_s.arg(SummedAge(swimmers, AgeYear(invitation)))
                          .arg(event));
    return std::nullopt;
}

std::vector<TDiscipline> RelayLegDisciplines(const TDiscipline& relay) {
    TDiscipline leg = relay;
    leg.RelayCount = 1;
    std::vector<TDiscipline> legs(static_cast<std::size_t>(std::max(relay.RelayCount, 0)), leg);
    if (relay.Stroke == TStroke::Lagen) {
        constexpr TStroke MedleyOrder[] = {TStroke::Ruecken, TStroke::Brust, TStroke::Schmetterling,
                                           TStroke::Freistil};
        for (std::size_t i = 0; i < legs.size(); ++i)
            legs[i].Stroke = MedleyOrder[i % std::size(MedleyOrder)];
    }
    return legs;
}

std::optional<int> RelayTimeSuggestion(
    const TDiscipline& relay, const std::vector<TRelaySwimmer>& swimmers,
    const std::function<std::optional<int>(const TRelaySwimmer&, const TDiscipline&)>& bestTime) {
    const std::vector<TDiscipline> legs = RelayLegDisciplines(relay);
    if (legs.empty() || swimmers.size() != legs.size())
        return std::nullopt;
    int sum = 0;
    for (std::size_t leg = 0; leg < legs.size(); ++leg) {
        const std::optional<int> time = bestTime(swimmers[leg], legs[leg]);
        if (!time)
            return std::nullopt;
        sum += *time;
    }
    return sum;
}
