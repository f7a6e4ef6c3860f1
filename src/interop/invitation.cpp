// SPDX-License-Identifier: GPL-3.0-or-later
#include "invitation.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <map>

#include "conversions.h"
#include "discipline.h"
#include "entrycheck.h"
#include "environment.h"
#include "meldeaustausch.h"
#include "relayteams.h"
#include "swimmeridentity.h"
#include "transliteration.h"
#include "warnings.h"
#include "windows1252.h"

namespace {

// Event numbers beyond five digits cannot be typed into the entry dialog.
constexpr int HighestEventNumber = 99999;
constexpr int EarliestBirthYear = 1900;
// A relay nomination with nothing in the name to tell the team size is taken as four swimmers.
constexpr int UsualRelayCount = 4;

// ---- The naming rule: "[<k>x]<d>m <stroke>[ <technique>] <sex>" ----------------------------

struct StrokeName {
    TSwimStroke Stroke;
    TStroke Discipline;
    const char* Word; // UTF-8
};
constexpr StrokeName StrokeNames[] = {
    {TSwimStroke::Free, TStroke::Freistil, "Freistil"},
    {TSwimStroke::Back, TStroke::Ruecken, "Rücken"},
    {TSwimStroke::Breast, TStroke::Brust, "Brust"},
    {TSwimStroke::Fly, TStroke::Schmetterling, "Schmetterling"},
    {TSwimStroke::Medley, TStroke::Lagen, "Lagen"},
};

const QString OtherStyleWord = QStringLiteral("Sonderform");

// A host's own style name often repeats the distance ("25 Rücken Beinschlag"); the name's
// distance is written once.
QString strokeWord(const TInvitationEvent& event) {
    for (const StrokeName& name : StrokeNames) {
        if (name.Stroke == event.Stroke)
            return QString::fromUtf8(name.Word);
    }
    static const QRegularExpression distance(QStringLiteral("^(\\d+)\\s*m?\\s+"));
    QString style = event.StyleName.trimmed();
    const QRegularExpressionMatch match = distance.match(style);
    if (match.hasMatch() && match.captured(1).toInt() == event.Distance && event.Distance > 0)
        style = style.mid(match.capturedLength()).trimmed();
    return style.isEmpty() ? OtherStyleWord : style;
}

QString sexWord(TEventGender gender, bool relay) {
    switch (gender) {
    case TEventGender::Female:
        return QStringLiteral("weiblich");
    case TEventGender::Male:
        return QStringLiteral("männlich");
    case TEventGender::Diverse:
        return QStringLiteral("divers");
    default:
        return relay ? QStringLiteral("mixed") : QStringLiteral("offen");
    }
}

QString eventName(const TInvitationEvent& event) {
    QStringList words;
    if (event.Distance > 0) {
        const QString prefix =
            event.RelayCount > 1 ? QString::number(event.RelayCount) + u'x' : QString();
        words << prefix + QString::number(event.Distance) + u'm';
    }
    words << strokeWord(event);
    // Format 8 tells kicks on the front from those on the back.
    if (event.DsvTechnique == u"KB") {
        words << QStringLiteral("Kicks Bauchlage");
    } else if (event.DsvTechnique == u"KR") {
        words << QStringLiteral("Kicks Rückenlage");
    } else if (event.Technique != TTechnique::None) {
        const std::string_view word = TechniqueWord(event.Technique);
        words << QString::fromLatin1(word.data(), static_cast<qsizetype>(word.size()));
    }
    words << sexWord(event.Gender, event.RelayCount > 1);
    return words.join(u' ');
}

// ---- Import ---------------------------------------------------------------------------------

// A one-line text of the exchange file: line breaks and tabs inside a host's value
// (`&#10;`) become blanks.
std::string importedText(QString text, const QString& where, TTextRewrites& rewrites) {
    for (QChar& character : text) {
        if (character.unicode() < u' ')
            character = u' ';
    }
    return rewrites.ToAnsi(text, where);
}

QString eventLabel(const TInvitationEvent& event) {
    return QStringLiteral("Wettkampf %1").arg(event.Number);
}

std::string dateText(const QDate& date) {
    return date.isValid() ? date.toString(QStringLiteral("dd.MM.yyyy")).toStdString()
                          : BlankPeriodDate;
}

// "HH:MM" as the section fields hold it; anything else is left blank.
std::string timeText(const QString& time) {
    const QTime parsed = QTime::fromString(time.trimmed(), QStringLiteral("HH:mm"));
    return parsed.isValid() ? parsed.toString(QStringLiteral("HH:mm")).toStdString()
                            : BlankPeriodTime;
}

// Hosts' software that counts a section's times from the previous one writes them like clock
// times; such a start lies before the previous section's on the same day.
std::vector<bool> relativeSessions(const std::vector<TInvitationSession>& sessions) {
    std::vector<bool> relative(sessions.size(), false);
    for (std::size_t i = 0; i < sessions.size(); ++i) {
        relative[i] = sessions[i].Relative;
        if (i == 0 || relative[i] || sessions[i].Date != sessions[i - 1].Date)
            continue;
        const QTime start = QTime::fromString(sessions[i].DayTime, QStringLiteral("HH:mm"));
        const QTime previous = QTime::fromString(sessions[i - 1].DayTime, QStringLiteral("HH:mm"));
        relative[i] = start.isValid() && previous.isValid() && start < previous;
    }
    return relative;
}

} // namespace

std::map<int, int> SectionNumbers(const std::vector<TInvitationSession>& sessions) {
    if (static_cast<int>(sessions.size()) > PeriodSlots)
        throw TInteropError(QStringLiteral("Die Ausschreibung hat %1 Abschnitte; die "
                                           "Austauschdatei kann höchstens %2 aufnehmen")
                                .arg(sessions.size())
                                .arg(PeriodSlots));
    std::map<int, int> numbers;
    bool keep = true;
    const int count = static_cast<int>(sessions.size());
    for (const TInvitationSession& session : sessions) {
        keep = keep && session.Number >= 1 && session.Number <= count &&
               !numbers.contains(session.Number);
        numbers[session.Number] = session.Number;
    }
    if (keep)
        return numbers;
    numbers.clear();
    int next = 0;
    for (const TInvitationSession& session : sessions) {
        if (!numbers.contains(session.Number))
            numbers[session.Number] = ++next;
    }
    return numbers;
}

namespace {

void importSessions(const std::vector<TInvitationSession>& sessions,
                    const std::map<int, int>& numbers, TMeldeAustausch& model) {
    const std::vector<bool> relative = relativeSessions(sessions);
    for (std::size_t i = 0; i < sessions.size(); ++i) {
        const TInvitationSession& session = sessions[i];
        const int s = numbers.at(session.Number);
        model.AbsCnt = std::max(model.AbsCnt, s);
        model.SetPeriodDate(s, dateText(session.Date));
        if (relative[i])
            continue;
        model.SetPeriodTime(s, timeText(session.DayTime));
        model.SetPeriodInt(s, timeText(session.WarmUpFrom));
        model.SetPeriodWarmUp(s, timeText(session.WarmUpFrom));
        model.SetPeriodKari(s, timeText(session.OfficialMeeting));
    }
    QDate first, last;
    for (const TInvitationSession& session : sessions) {
        if (!session.Date.isValid())
            continue;
        if (!first.isValid() || session.Date < first)
            first = session.Date;
        if (!last.isValid() || session.Date > last)
            last = session.Date;
    }
    model.Date1 = first.isValid() ? dateText(first) : std::string();
    model.Date2 = last.isValid() ? dateText(last) : std::string();
}

// The earliest and the latest admitted birth year, as the exchange file holds them.
std::pair<int, int> birthYears(const TInvitationEvent& event) {
    const int thisYear = CurrentYear();
    const int earliest = std::max(event.EarliestBirthYear, EarliestBirthYear);
    const int latest = event.LatestBirthYear == 0 ? thisYear : event.LatestBirthYear;
    for (const int year : {earliest, latest}) {
        if (year > thisYear)
            throw TInteropError(QStringLiteral("%1: die Altersklassen ergeben den Jahrgang %2, "
                                               "der nach dem laufenden Jahr %3 liegt")
                                    .arg(eventLabel(event))
                                    .arg(year)
                                    .arg(thisYear));
    }
    if (latest < earliest)
        throw TInteropError(QStringLiteral("%1: die Altersklassen lassen keinen Jahrgang zu")
                                .arg(eventLabel(event)));
    return {earliest, latest};
}

int feeCents(const TInvitationEvent& event, const TInvitation& invitation) {
    if (event.FeeCents >= 0)
        return event.FeeCents;
    const int general =
        event.RelayCount > 1 ? invitation.FeeRelayCents : invitation.FeeIndividualCents;
    return std::max(general, 0);
}

TEventRecord importEvent(const TInvitationEvent& event, const TInvitation& invitation,
                         const std::map<int, int>& sections, TTextRewrites& rewrites) {
    if (event.Number < 1 || event.Number > HighestEventNumber)
        throw TInteropError(QStringLiteral("%1: die Austauschdatei kann nur Wettkampfnummern "
                                           "von 1 bis %2 aufnehmen")
                                .arg(eventLabel(event))
                                .arg(HighestEventNumber));
    const auto section = sections.find(event.Session);
    if (section == sections.end())
        throw TInteropError(QStringLiteral("%1: Abschnitt %2 gibt es in der Ausschreibung nicht")
                                .arg(eventLabel(event))
                                .arg(event.Session));
    TEventRecord record;
    record.Period = section->second;
    record.WkNr = event.Number * 1000;
    record.Name =
        importedText(eventName(event), eventLabel(event), rewrites).substr(0, EventNameCapacity);
    record.Sex = event.Gender == TEventGender::Male     ? 0
                 : event.Gender == TEventGender::Female ? 1
                                                        : 2;
    record.Staffel = event.RelayCount > 1;
    std::tie(record.EarliestBirthYear, record.LatestBirthYear) = birthYears(event);
    record.Fee = feeCents(event, invitation) / 100.0;
    return record;
}

// A time swum in another course (yards) says nothing about an entry time in metres.
bool ofMeetCourse(const TInvitationQualifying& time, const TInvitation& invitation) {
    return time.Course.isEmpty() || time.Course == invitation.Course;
}

} // namespace

bool TInvitationEvent::IsEntryEvent() const {
    static const QSet<QString> enteredRounds = {
        QString(),
        QStringLiteral("TIM"),
        QStringLiteral("PRE"),
        QStringLiteral("TIMETRIAL"),
        QStringLiteral("V"),
        QStringLiteral("E"),
    };
    const QString previous = PreviousId.trimmed();
    return enteredRounds.contains(Round.trimmed().toUpper()) &&
           (previous.isEmpty() || previous == u"-1" || previous == u"0");
}

std::optional<TDiscipline> DisciplineOf(const TInvitationEvent& event) {
    if (event.Distance <= 0)
        return std::nullopt;
    for (const StrokeName& name : StrokeNames) {
        if (name.Stroke == event.Stroke)
            return TDiscipline{event.Distance, event.RelayCount, name.Discipline, event.Technique};
    }
    return std::nullopt;
}

void ImportInvitation(const TInvitation& invitation, TMeldeAustausch& model, QStringList* notes) {
    TMeldeAustausch imported;
    TTextRewrites rewrites;
    imported.CompName =
        importedText(invitation.Name, QStringLiteral("Name der Veranstaltung"), rewrites);
    imported.Veranstalter =
        importedText(invitation.Organizer, QStringLiteral("Veranstalter"), rewrites);
    imported.Ausrichter = importedText(invitation.HostClub, QStringLiteral("Ausrichter"), rewrites);
    imported.Place = importedText(invitation.City, QStringLiteral("Ort"), rewrites);
    imported.LaneLen = invitation.LaneLength;
    const std::map<int, int> sections = SectionNumbers(invitation.Sessions);
    importSessions(invitation.Sessions, sections, imported);
    QStringList diverse;
    for (const TInvitationEvent& event : invitation.Events) {
        if (!event.IsEntryEvent())
            continue;
        imported.SetEvent(imported.EventCount() + 1,
                          importEvent(event, invitation, sections, rewrites));
        if (event.Gender == TEventGender::Diverse)
            diverse << QString::number(event.Number);
    }
    model = std::move(imported);
    rewrites.AddNoteTo(notes);
    QStringList otherCourses;
    for (const TInvitationQualifying& time : invitation.QualifyingTimes) {
        if (!ofMeetCourse(time, invitation) && !otherCourses.contains(time.Course))
            otherCourses << time.Course;
    }
    if (notes && !otherCourses.isEmpty())
        notes->append(QStringLiteral("Pflichtzeiten für die Bahn %1 werden nicht geprüft")
                          .arg(otherCourses.join(QStringLiteral(", "))));
    // The exchange file knows female, male and open events only.
    if (notes && !diverse.isEmpty())
        notes->append((diverse.size() == 1 ? QStringLiteral("Wettkampf %1 ist nur für diverse "
                                                            "Schwimmer ausgeschrieben und wird "
                                                            "als offener Wettkampf übernommen")
                                           : QStringLiteral("Die Wettkämpfe %1 sind nur für "
                                                            "diverse Schwimmer ausgeschrieben und "
                                                            "werden als offene Wettkämpfe "
                                                            "übernommen"))
                          .arg(diverse.join(QStringLiteral(", "))));
}

TMeetFees MeetFeesOf(const TInvitation& invitation) {
    TMeetFees fees;
    if (!invitation.Currency.isEmpty())
        fees.Currency = invitation.Currency.toStdString();
    const std::map<int, int> sections = SectionNumbers(invitation.Sessions);
    for (TFlatFee fee : invitation.FlatFees) {
        if (fee.Section != 0) {
            const auto section = sections.find(fee.Section);
            if (section == sections.end())
                continue; // a session the invitation does not hold
            fee.Section = section->second;
        }
        fees.Flat.push_back(fee);
    }
    if (invitation.Deadline.isValid()) {
        const QTime time = QTime::fromString(invitation.DeadlineTime, QStringLiteral("HH:mm"));
        fees.Deadline = TDeadline{invitation.Deadline.year(), invitation.Deadline.month(),
                                  invitation.Deadline.day(),
                                  time.isValid() ? time.msecsSinceStartOfDay() / 60000 : -1};
    }
    for (const TInvitationQualifying& time : invitation.QualifyingTimes) {
        const auto event =
            std::find_if(invitation.Events.begin(), invitation.Events.end(), [&](const auto& e) {
                return e.Id == time.EventId && e.IsEntryEvent() && e.RelayCount == 1;
            });
        if (event != invitation.Events.end() && ofMeetCourse(time, invitation))
            fees.QualifyingTimes.push_back({event->Number * 1000, time.EarliestBirthYear,
                                            time.LatestBirthYear, time.Sex, time.Time});
    }
    return fees;
}

void RefuseNonInvitation(TClubSwims swims) {
    if (swims == TClubSwims::None)
        return;
    throw TInteropError(
        (swims == TClubSwims::Results ? QStringLiteral("Die Datei ist eine Ergebnisliste")
                                      : QStringLiteral("Die Datei ist eine Meldung von Vereinen")) +
        QStringLiteral(", keine Ausschreibung. Eine neue Austauschdatei entsteht nur aus der "
                       "Ausschreibung des Ausrichters; Ergebnislisten übernimmt das Fenster "
                       "„Schwimmer“ mit „Importieren“ in die Schwimmerliste"));
}

TInvitation InvitationFromModel(const TMeldeAustausch& model) {
    TInvitation invitation;
    invitation.Name = AnsiToQString(model.CompName);
    invitation.Organizer = AnsiToQString(model.Veranstalter);
    invitation.HostClub = AnsiToQString(model.Ausrichter);
    invitation.City = AnsiToQString(model.Place);
    invitation.Nation = QStringLiteral("GER");
    invitation.LaneLength = model.LaneLen;
    const auto parseDate = [](const std::string& text) {
        return QDate::fromString(QString::fromStdString(Trim(text)), QStringLiteral("dd.MM.yyyy"));
    };
    std::vector<int> periods;
    for (int position = 1; position <= model.EventCount(); ++position)
        periods.push_back(model.Event(position).Period);
    std::sort(periods.begin(), periods.end());
    periods.erase(std::unique(periods.begin(), periods.end()), periods.end());
    for (const int period : periods) {
        TInvitationSession session;
        session.Number = period;
        session.Date = parseDate(model.GetPeriodDate(period));
        if (!session.Date.isValid())
            session.Date = parseDate(model.Date1);
        const std::string time = model.GetPeriodTime(period);
        if (time != BlankPeriodTime)
            session.DayTime = QString::fromStdString(time);
        invitation.Sessions.push_back(session);
    }
    for (int position = 1; position <= model.EventCount(); ++position) {
        const TEventRecord& record = model.Event(position);
        if (record.WkNr % 1000 != 0)
            continue; // a number with a letter has no place in either format
        TInvitationEvent event;
        event.Id = QString::number(record.WkNr / 1000);
        event.Number = record.WkNr / 1000;
        event.Session = record.Period;
        event.Gender = record.Sex == 0   ? TEventGender::Male
                       : record.Sex == 1 ? TEventGender::Female
                       : record.Staffel  ? TEventGender::Mixed
                                         : TEventGender::All;
        event.Round = QStringLiteral("TIM");
        if (const auto discipline = ReadDiscipline(record.Name)) {
            event.Distance = discipline->Distance;
            event.RelayCount = discipline->RelayCount;
            for (const StrokeName& name : StrokeNames) {
                if (name.Discipline == discipline->Stroke)
                    event.Stroke = name.Stroke;
            }
            event.Technique = discipline->Technique;
        } else {
            event.Stroke = TSwimStroke::Other;
            event.StyleName = AnsiToQString(record.Name);
        }
        if (!record.Staffel)
            event.RelayCount = 1;
        else if (event.RelayCount < 2)
            event.RelayCount = UsualRelayCount;
        event.FeeCents = static_cast<int>(std::lround(record.Fee * 100));
        event.EarliestBirthYear = record.EarliestBirthYear;
        event.LatestBirthYear = record.LatestBirthYear;
        invitation.Events.push_back(event);
    }
    return invitation;
}

namespace {

// The entries' swimmer this person is, as the identity rule tells them, added when new; his
// index among the entries' swimmers.
std::size_t entrySwimmerOf(TClubEntries& entries, TSwimmerGroups& swimmerGroups,
                           const std::string& name, int birthYear, std::uint8_t sex,
                           const std::string& regNr) {
    const auto found = swimmerGroups.Add(TSwimmerIdentity::Of(name, birthYear, sex, regNr));
    if (found.Added)
        entries.Swimmers.push_back(
            {NormalizedSwimmerName(name), birthYear, sex == 1, StoredRegNr(regNr), {}});
    return static_cast<std::size_t>(found.Group);
}

// The swimmers of a relay team collected, each a swimmer of the club's entries (the same
// person as one with starts of his own when the identity rule says so), and its masters class.
void addLineUp(TClubEntries& entries, TEntryRelay& relay, TSwimmerGroups& swimmerGroups,
               const TMeldeAustausch& model, const TInvitation& invitation,
               const TCompanion& companion, const TNominRecord& nomin, bool forHost,
               const QString& label, QStringList& refusals) {
    const TRelayLineUp* lineUp = FindLineUp(companion, nomin.WkNr, nomin.Name);
    if (!lineUp || lineUp->Swimmers.empty())
        return;
    if (forHost) {
        if (const auto refusal = CheckLineUp(model, invitation, companion, *lineUp)) {
            refusals << label + QStringLiteral(": ") + refusal->Message;
            return;
        }
    }
    for (const TRelaySwimmer& swimmer : lineUp->Swimmers) {
        if (swimmer.Sex != 0 && swimmer.Sex != 1) {
            refusals << label + QStringLiteral(
                                    ": %1 ist in Lenex und DSV7 weder männlich noch weiblich")
                                    .arg(AnsiToQString(swimmer.Name));
            return;
        }
        relay.Legs.push_back(entrySwimmerOf(entries, swimmerGroups, swimmer.Name, swimmer.BirthYear,
                                            swimmer.Sex, swimmer.RegNr));
    }
    relay.Class = RelayClassOf(*relay.Event, lineUp->Swimmers, AgeYear(invitation));
}

} // namespace

TClubEntries CollectClubEntries(const TMeldeAustausch& model, const TInvitation& invitation,
                                bool forHost, const TCompanion& companion) {
    std::map<int, const TInvitationEvent*> eventByNumber;
    for (const TInvitationEvent& event : invitation.Events) {
        if (event.IsEntryEvent())
            eventByNumber[event.Number] = &event;
    }
    TClubEntries entries;
    QStringList refusals;
    if (Trim(model.ClubName).empty())
        refusals << QStringLiteral("Der Name des Vereins fehlt (Vereinsdaten)");
    TSwimmerGroups swimmerGroups;
    std::map<const TInvitationEvent*, int> teamsPerEvent;
    std::vector<int> teamNomins; // the position of each relay's nomination
    // What the entry dialog would refuse is sent to no host.
    std::map<int, std::string> refusedByCheck;
    for (const TNominFinding& finding : forHost ? CheckNomins(model) : std::vector<TNominFinding>())
        refusedByCheck[finding.Position] = finding.Refusal.Message;
    const auto labelOf = [](const TNominRecord& nomin) {
        return QStringLiteral("Wettkampf %1 (%2)")
            .arg(AnsiToQString(TMeldeAustausch::WkNrToText(nomin.WkNr)),
                 AnsiToQString(Trim(nomin.Name)));
    };
    for (int position = 1; position <= model.NominCount(); ++position) {
        const TNominRecord& nomin = model.Nomin(position);
        const QString label = labelOf(nomin);
        if (nomin.WkNr % 1000 != 0) {
            refusals << label + QStringLiteral(": Lenex und DSV7 kennen keine Wettkampfnummern "
                                               "mit Buchstaben");
            continue;
        }
        const auto found = eventByNumber.find(nomin.WkNr / 1000);
        if (found == eventByNumber.end()) {
            refusals << label + QStringLiteral(": diesen Wettkampf gibt es in der Ausschreibung "
                                               "nicht");
            continue;
        }
        const TInvitationEvent* event = found->second;
        const bool relay = event->RelayCount > 1;
        const qsizetype before = refusals.size();
        if (nomin.Time == -1)
            refusals << label + QStringLiteral(": die Meldezeit ist ungültig");
        if (!relay && nomin.Sex != 0 && nomin.Sex != 1)
            refusals << label + QStringLiteral(": Einzelschwimmer sind in Lenex und DSV7 nur "
                                               "männlich oder weiblich");
        // Said once: what the formats cannot carry, else what the entry dialog refuses.
        const auto refused = refusedByCheck.find(position);
        if (refusals.size() == before && refused != refusedByCheck.end())
            refusals << label + QStringLiteral(": ") + AnsiToQString(refused->second);
        if (!refusals.isEmpty())
            continue;
        if (relay) {
            entries.Relays.push_back(
                {event, ++teamsPerEvent[event], nomin.Time, Trim(nomin.Name), {}, nullptr});
            teamNomins.push_back(position);
            continue;
        }
        const std::size_t swimmer = entrySwimmerOf(entries, swimmerGroups, nomin.Name,
                                                   nomin.BirthYear, nomin.Sex, nomin.RegNr);
        entries.Swimmers[swimmer].Starts.push_back({event, nomin.Time});
    }
    // The relay swimmers follow the swimmers with starts of their own, as hosts list them.
    for (std::size_t team = 0; team < teamNomins.size(); ++team) {
        const TNominRecord& nomin = model.Nomin(teamNomins[team]);
        addLineUp(entries, entries.Relays[team], swimmerGroups, model, invitation, companion, nomin,
                  forHost, labelOf(nomin), refusals);
    }
    // A swimmer twice in one event is a slip a host would have to mend by hand; two relay
    // teams of one name are two teams.
    for (const TNominWarning& warning :
         forHost ? FindNominWarnings(model) : std::vector<TNominWarning>()) {
        const TNominRecord& nomin = model.Nomin(warning.Nomins.front());
        const int event = EventOfNomin(model, nomin.WkNr);
        if (warning.Kind != WarningKind::TwiceInEvent || (event > 0 && model.Event(event).Staffel))
            continue;
        QStringList positions;
        for (const int position : warning.Nomins)
            positions << QString::number(position);
        refusals << labelOf(nomin) + QStringLiteral(": %1-mal gemeldet (Meldungen %2)")
                                         .arg(warning.Nomins.size())
                                         .arg(positions.join(QStringLiteral(", ")));
    }
    if (!refusals.isEmpty())
        throw TInteropError(QStringLiteral("Die Meldung kann so nicht exportiert werden, nichts "
                                           "geschrieben:\n") +
                            refusals.join(u'\n'));
    return entries;
}
