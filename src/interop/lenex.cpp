// SPDX-License-Identifier: GPL-3.0-or-later
#include "lenex.h"

#include <QHash>
#include <QSet>
#include <QTime>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <optional>

#include "codetable.h"
#include "conversions.h"
#include "environment.h"
#include "meldeaustausch.h"
#include "staffentries.h"
#include "transliteration.h"

#ifndef NTB_VERSION
#define NTB_VERSION "0"
#endif

using namespace Qt::Literals::StringLiterals;

namespace {

const QString ProgramName = QStringLiteral("NtbMelde");
const QString MakerAddress = QStringLiteral("support@ntbmelde.example");
const QString NoEntryTime = QStringLiteral("NT");

constexpr CodeName Courses[] = {
    {"LCM", 50},   {"SCM", 25},   {"SCM16", 16}, {"SCM20", 20}, {"SCM33", 33}, {"SCY", 25},
    {"SCY20", 20}, {"SCY27", 27}, {"SCY33", 33}, {"SCY36", 36}, {"OPEN", 0},
};
constexpr CodeName Strokes[] = {
    {"FREE", int(TSwimStroke::Free)},     {"BACK", int(TSwimStroke::Back)},
    {"BREAST", int(TSwimStroke::Breast)}, {"FLY", int(TSwimStroke::Fly)},
    {"MEDLEY", int(TSwimStroke::Medley)}, {"IMRELAY", int(TSwimStroke::Medley)},
    {"UNKNOWN", int(TSwimStroke::Other)},
};
constexpr CodeName Techniques[] = {
    {"KICK", int(TTechnique::Kick)},   {"PULL", int(TTechnique::Pull)},
    {"START", int(TTechnique::Start)}, {"TURN", int(TTechnique::Turn)},
    {"GLIDE", int(TTechnique::Glide)}, {"DIVE", int(TTechnique::Dive)},
};
constexpr CodeName Genders[] = {
    {"F", int(TEventGender::Female)},  {"M", int(TEventGender::Male)},
    {"X", int(TEventGender::Mixed)},   {"A", int(TEventGender::All)},
    {"A", int(TEventGender::Diverse)}, // Lenex has no events for diverse swimmers only
};

// ---- Reading --------------------------------------------------------------------------------

// A RESULT of an athlete of a club the import takes, before its event is known.
struct AthleteResult {
    int Line = 0;
    TSwim Swim; // the athlete and the club
    QString EventId;
    QString Time;
    QString Status;
};

class LenexReader {
public:
    // With a filter, the results of the clubs it takes are read as well.
    explicit LenexReader(const QByteArray& bytes, const TClubFilter* filter = nullptr)
        : xml(bytes), filter(filter) {}

    std::vector<TSwim> readResults(QStringList* notes) {
        read();
        if (!resultsSeen)
            throw TInteropError(QStringLiteral("die Lenex-Datei enthält keine Ergebnisse"));
        QHash<QString, const TInvitationEvent*> events;
        for (const TInvitationEvent& event : invitation.Events)
            events.insert(event.Id, &event);
        const std::string competition = rewrites.ToAnsi(invitation.Name, QStringLiteral("MEET"));
        std::vector<TSwim> swims;
        for (AthleteResult& result : results) {
            const auto fault = [&](const QString& text) {
                return TInteropError(
                    QStringLiteral("Lenex-Datei, Zeile %1: RESULT %2").arg(result.Line).arg(text));
            };
            const TInvitationEvent* event = events.value(result.EventId);
            if (!event)
                throw fault(
                    QStringLiteral("nennt den unbekannten Wettkampf „%1“").arg(result.EventId));
            const std::optional<TDiscipline> discipline = DisciplineOf(*event);
            const bool valid = result.Status.isEmpty() || result.Status == u"EXH";
            if (!discipline || discipline->RelayCount != 1 || !valid || result.Time == NoEntryTime)
                continue;
            const std::optional<int> time = ReadSwimTime(result.Time);
            if (!time)
                throw fault(QStringLiteral("swimtime „%1“ ist keine Zeit").arg(result.Time));
            QString course = sessionCourses.value(event->Session);
            if (course.isEmpty())
                course = meetCourse;
            const std::optional<int> laneLength = valueOfCode(Courses, course);
            if (!laneLength)
                throw fault(QStringLiteral("Bahn „%1“ ist unbekannt").arg(course));
            if (*time == 0 || course.startsWith(u"SCY"))
                continue;
            result.Swim.Discipline = *discipline;
            result.Swim.LaneLength = *laneLength;
            result.Swim.Date = SwimDate(sessionDates.value(event->Session));
            result.Swim.CompName = competition;
            result.Swim.Hundredths = *time;
            swims.push_back(std::move(result.Swim));
        }
        rewrites.AddNoteTo(notes);
        if (notes && undatedAthletes > 0)
            notes->append(
                QStringLiteral("%1 Schwimmer ohne Geburtsdatum übersprungen").arg(undatedAthletes));
        return swims;
    }

    TInvitation read() {
        if (!xml.readNextStartElement())
            fail(QStringLiteral("keine Lenex-Datei"));
        if (xml.name() != u"LENEX")
            fail(
                QStringLiteral("keine Lenex-Datei (das Wurzelelement heißt „%1“)").arg(xml.name()));
        const QString version = xml.attributes().value("version"_L1).toString();
        if (!version.startsWith(u"3"))
            fail(QStringLiteral("Lenex-Version „%1“ wird nicht unterstützt, nur 3.x").arg(version));
        while (nextChild()) {
            if (xml.name() == u"MEETS")
                readMeets();
            else if (xml.name() == u"TIMESTANDARDLISTS")
                readTimeStandardLists();
            else
                xml.skipCurrentElement();
        }
        checkXml();
        if (!meetRead)
            fail(QStringLiteral("die Lenex-Datei enthält keine Veranstaltung (MEET)"));
        applyTimeStandards();
        invitation.ClubSwims = resultsSeen   ? TClubSwims::Results
                               : entriesSeen ? TClubSwims::Entries
                                             : TClubSwims::None;
        return invitation;
    }

private:
    [[noreturn]] void fail(const QString& text) const {
        throw TInteropError(
            QStringLiteral("Lenex-Datei, Zeile %1: %2").arg(xml.lineNumber()).arg(text));
    }

    // The XML parser's own words, inside a sentence the user can read.
    void checkXml() const {
        if (!xml.hasError())
            return;
        if (xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
            fail(QStringLiteral("die Datei endet vorzeitig und ist unvollständig (XML: „%1“)")
                     .arg(xml.errorString()));
        if (xml.error() == QXmlStreamReader::CustomError)
            fail(xml.errorString());
        fail(QStringLiteral("die Datei ist kein fehlerfreies XML (XML: „%1“)")
                 .arg(xml.errorString()));
    }

    // The next child element of the current one; false at its end (or at an error).
    bool nextChild() {
        const bool found = xml.readNextStartElement();
        checkXml();
        return found;
    }

    QString attribute(QLatin1StringView name) const {
        return xml.attributes().value(name).toString().trimmed();
    }

    QString requiredAttribute(QLatin1StringView name) const {
        if (!xml.attributes().hasAttribute(name))
            fail(QStringLiteral("%1 ohne Attribut „%2“").arg(xml.name(), name));
        return attribute(name);
    }

    // A Lenex number: digits and an optional minus sign, 32 bits.
    int number(QLatin1StringView name, const QString& text) const {
        bool ok = false;
        const int value = text.toInt(&ok);
        if (!ok || text.startsWith(u'+'))
            fail(QStringLiteral("%1 „%2“ ist keine Zahl: „%3“").arg(xml.name(), name, text));
        return value;
    }
    int requiredNumber(QLatin1StringView name) const {
        return number(name, requiredAttribute(name));
    }
    int numberOr(QLatin1StringView name, int fallback) const {
        const QString text = attribute(name);
        return text.isEmpty() ? fallback : number(name, text);
    }

    QDate requiredDate(QLatin1StringView name) const {
        const QString text = requiredAttribute(name);
        const QDate date = QDate::fromString(text, Qt::ISODate);
        if (!date.isValid())
            fail(QStringLiteral("%1 „%2“ ist kein Datum: „%3“").arg(xml.name(), name, text));
        return date;
    }

    void readMeets() {
        while (nextChild()) {
            if (xml.name() == u"MEET" && !meetRead)
                readMeet();
            else
                xml.skipCurrentElement();
        }
    }

    void readMeet() {
        meetRead = true;
        invitation.Name = attribute("name"_L1);
        invitation.City = attribute("city"_L1);
        invitation.Nation = attribute("nation"_L1);
        invitation.Organizer = attribute("organizer"_L1);
        invitation.HostClub = attribute("hostclub"_L1);
        invitation.Course = attribute("course"_L1);
        invitation.Timing = attribute("timing"_L1);
        readDeadline();
        meetCourse = invitation.Course;
        while (nextChild()) {
            if (xml.name() == u"AGEDATE") {
                invitation.AgeDateType = attribute("type"_L1);
                invitation.AgeDate = QDate::fromString(attribute("value"_L1), Qt::ISODate);
                xml.skipCurrentElement();
            } else if (xml.name() == u"SESSIONS") {
                readSessions();
            } else if (xml.name() == u"FEES") {
                readFees();
            } else if (xml.name() == u"CLUBS" && filter) {
                readClubs();
            } else if (xml.name() == u"CLUBS") {
                skipNotingResults();
            } else {
                xml.skipCurrentElement();
            }
        }
        if (const auto length = valueOfCode(Courses, invitation.Course))
            invitation.LaneLength = *length;
        turnAgesIntoBirthYears();
    }

    // Optional, and of no use to an entry when it cannot be read: a deadline that is no date is
    // left out, a time that is none leaves the whole day.
    void readDeadline() {
        invitation.Deadline = QDate::fromString(attribute("deadline"_L1), Qt::ISODate);
        const QTime time = QTime::fromString(attribute("deadlinetime"_L1).left(5), u"HH:mm"_s);
        if (invitation.Deadline.isValid() && time.isValid())
            invitation.DeadlineTime = time.toString(u"HH:mm"_s);
    }

    // The per-team relay fee stands in for an event's own; the others are flat fees. A
    // session's fee per club is charged for that session (`session`), late fees only for the
    // meet.
    void readFees(int session = 0) {
        static const std::pair<const char*, TFlatFeeKind> flatFees[] = {
            {"CLUB", TFlatFeeKind::Club},
            {"ATHLETE", TFlatFeeKind::Swimmer},
            {"TEAM", TFlatFeeKind::Team},
            {"LATEENTRY.INDIVIDUAL", TFlatFeeKind::LateIndividual},
            {"LATEENTRY.RELAY", TFlatFeeKind::LateRelay},
        };
        while (nextChild()) {
            if (xml.name() == u"FEE") {
                const QString type = attribute("type"_L1);
                const int cents = numberOr("value"_L1, -1);
                noteCurrency();
                if (type == u"RELAY" && session == 0)
                    invitation.FeeRelayCents = cents;
                if (type == u"CLUB" && session != 0 && cents >= 0)
                    invitation.FlatFees.push_back({TFlatFeeKind::Section, cents, session});
                for (const auto& [code, kind] : flatFees) {
                    if (type == QLatin1StringView(code) && cents >= 0 && session == 0)
                        invitation.FlatFees.push_back({kind, cents});
                }
            }
            xml.skipCurrentElement();
        }
    }

    // One currency for the meet: the first a FEE names.
    void noteCurrency() {
        if (invitation.Currency.isEmpty())
            invitation.Currency = attribute("currency"_L1).toUpper();
    }

    void readSessions() {
        while (nextChild()) {
            if (xml.name() == u"SESSION")
                readSession();
            else
                xml.skipCurrentElement();
        }
    }

    void readSession() {
        TInvitationSession session;
        session.Number = requiredNumber("number"_L1);
        // Events belong to their session by its number.
        if (sessionNumbers.contains(session.Number))
            fail(QStringLiteral("Abschnitt %1 kommt zweimal vor").arg(session.Number));
        sessionNumbers.insert(session.Number);
        session.Date = requiredDate("date"_L1);
        session.DayTime = attribute("daytime"_L1);
        session.WarmUpFrom = attribute("warmupfrom"_L1);
        session.OfficialMeeting = attribute("officialmeeting"_L1);
        sessionCourses.insert(session.Number, attribute("course"_L1));
        sessionDates.insert(session.Number, session.Date);
        if (invitation.Course.isEmpty())
            invitation.Course = attribute("course"_L1);
        invitation.Sessions.push_back(session);
        while (nextChild()) {
            if (xml.name() == u"EVENTS")
                readEvents(session.Number);
            else if (xml.name() == u"FEES")
                readFees(session.Number);
            else
                xml.skipCurrentElement();
        }
    }

    void readEvents(int session) {
        while (nextChild()) {
            if (xml.name() == u"EVENT")
                readEvent(session);
            else
                xml.skipCurrentElement();
        }
    }

    void readEvent(int session) {
        TInvitationEvent event;
        event.Session = session;
        event.Id = requiredAttribute("eventid"_L1);
        event.Number = requiredNumber("number"_L1);
        const QString gender = attribute("gender"_L1);
        event.Gender = static_cast<TEventGender>(
            valueOfCode(Genders, gender.isEmpty() ? QStringLiteral("A") : gender)
                .value_or(int(TEventGender::All)));
        event.Round = attribute("round"_L1);
        event.PreviousId = attribute("preveventid"_L1);
        const QString label = QStringLiteral("Wettkampf %1").arg(event.Number);
        bool styled = false;
        while (nextChild()) {
            if (xml.name() == u"SWIMSTYLE") {
                eventStyles.insert(event.Id, styleKey());
                readSwimStyle(event, label);
                styled = true;
                xml.skipCurrentElement();
            } else if (xml.name() == u"FEE") {
                event.FeeCents = numberOr("value"_L1, -1);
                noteCurrency();
                xml.skipCurrentElement();
            } else if (xml.name() == u"AGEGROUPS") {
                event.AgeGroups = readAgeGroups(label);
            } else if (xml.name() == u"TIMESTANDARDREFS") {
                readTimeStandardRefs(event.Id);
            } else {
                xml.skipCurrentElement();
            }
        }
        if (!styled)
            fail(label + QStringLiteral(": SWIMSTYLE fehlt"));
        invitation.Events.push_back(event);
    }

    void readSwimStyle(TInvitationEvent& event, const QString& label) {
        event.Distance = requiredNumber("distance"_L1);
        event.RelayCount = requiredNumber("relaycount"_L1);
        if (event.Distance < 0 || event.RelayCount < 1)
            fail(label + QStringLiteral(": Strecke %1 × %2 m ist unmöglich")
                             .arg(event.RelayCount)
                             .arg(event.Distance));
        const QString stroke = requiredAttribute("stroke"_L1);
        const auto strokeValue = valueOfCode(Strokes, stroke);
        if (!strokeValue)
            fail(label + QStringLiteral(": unbekannte Lage „%1“").arg(stroke));
        event.Stroke = static_cast<TSwimStroke>(*strokeValue);
        event.StyleName = attribute("name"_L1);
        const QString technique = attribute("technique"_L1);
        if (!technique.isEmpty()) {
            const auto techniqueValue = valueOfCode(Techniques, technique);
            if (!techniqueValue)
                fail(label + QStringLiteral(": unbekannte Technik „%1“").arg(technique));
            event.Technique = static_cast<TTechnique>(*techniqueValue);
        }
    }

    // A SWIMSTYLE as a key that a time standard's style is matched by.
    QString styleKey() const {
        return attribute("distance"_L1) + u'/' + attribute("relaycount"_L1) + u'/' +
               attribute("stroke"_L1).toUpper() + u'/' + attribute("technique"_L1).toUpper();
    }

    void readTimeStandardRefs(const QString& eventId) {
        while (nextChild()) {
            if (xml.name() == u"TIMESTANDARDREF")
                standardRefs.insert(eventId, attribute("timestandardlistid"_L1));
            xml.skipCurrentElement();
        }
    }

    // A list of times an entry must reach; a MINIMUM or DEFAULT list asks nothing of entries.
    struct TimeStandardList {
        QString Course;
        int Sex = -1;
        int MinAge = -1, MaxAge = -1;
        QHash<QString, int> Times; // by styleKey
    };

    void readTimeStandardLists() {
        while (nextChild()) {
            if (xml.name() != u"TIMESTANDARDLIST") {
                xml.skipCurrentElement();
                continue;
            }
            const QString id = attribute("timestandardlistid"_L1);
            const QString type = attribute("type"_L1).toUpper();
            const QString gender = attribute("gender"_L1).toUpper();
            TimeStandardList list;
            list.Course = attribute("course"_L1).toUpper();
            list.Sex = gender == u"M" ? 0 : gender == u"F" ? 1 : -1;
            while (nextChild()) {
                if (xml.name() == u"AGEGROUP") {
                    list.MinAge = numberOr("agemin"_L1, -1);
                    list.MaxAge = numberOr("agemax"_L1, -1);
                    xml.skipCurrentElement();
                } else if (xml.name() == u"TIMESTANDARDS") {
                    readTimeStandards(list);
                } else {
                    xml.skipCurrentElement();
                }
            }
            if (type.isEmpty() || type == u"MAXIMUM")
                timeStandardLists.insert(id, list);
        }
    }

    void readTimeStandards(TimeStandardList& list) {
        while (nextChild()) {
            if (xml.name() != u"TIMESTANDARD") {
                xml.skipCurrentElement();
                continue;
            }
            const QString text = requiredAttribute("swimtime"_L1);
            const std::optional<int> time = ReadSwimTime(text);
            if (!time)
                fail(QStringLiteral("swimtime „%1“ ist keine Zeit").arg(text));
            while (nextChild()) {
                if (xml.name() == u"SWIMSTYLE")
                    list.Times.insert(styleKey(), *time);
                xml.skipCurrentElement();
            }
        }
    }

    // Each event's referenced lists become its qualifying times; an age group becomes the birth
    // years of the age reckoning's year.
    void applyTimeStandards() {
        const int year = ageReckoningDate().year();
        for (const TInvitationEvent& event : invitation.Events) {
            for (const QString& listId : standardRefs.values(event.Id)) {
                const auto list = timeStandardLists.constFind(listId);
                if (list == timeStandardLists.cend())
                    continue;
                const auto time = list->Times.constFind(eventStyles.value(event.Id));
                if (time == list->Times.cend())
                    continue;
                invitation.QualifyingTimes.push_back(
                    {event.Id, list->MaxAge < 0 ? 1900 : year - list->MaxAge,
                     list->MinAge < 0 ? 0 : year - list->MinAge, list->Sex, *time, list->Course});
            }
        }
    }

    QDate ageReckoningDate() const {
        if (invitation.AgeDate.isValid() || invitation.Sessions.empty())
            return invitation.AgeDate;
        return invitation.Sessions.front().Date;
    }

    std::vector<TAgeGroup> readAgeGroups(const QString& label) {
        std::vector<TAgeGroup> groups;
        while (nextChild()) {
            if (xml.name() == u"AGEGROUP") {
                TAgeGroup group{attribute("agegroupid"_L1), requiredNumber("agemin"_L1),
                                requiredNumber("agemax"_L1), attribute("calculate"_L1),
                                attribute("name"_L1)};
                const bool bounded = group.MinAge >= 0 && group.MaxAge >= 0;
                if (group.MinAge < -1 || group.MaxAge < -1 ||
                    (bounded && group.MinAge > group.MaxAge))
                    fail(label + QStringLiteral(": Altersklasse %1 bis %2 ist unmöglich")
                                     .arg(group.MinAge)
                                     .arg(group.MaxAge));
                groups.push_back(group);
            }
            xml.skipCurrentElement();
        }
        return groups;
    }

    void readClubs() {
        while (nextChild()) {
            if (xml.name() != u"CLUB") {
                xml.skipCurrentElement();
                continue;
            }
            TSwim club;
            const QString name = attribute("name"_L1);
            const QString code = attribute("code"_L1);
            if (!filter->Takes(code, name)) {
                skipNotingResults();
                continue;
            }
            club.ClubName = rewrites.ToAnsi(name, place(QStringLiteral("CLUB")));
            club.ClubId = rewrites.ToAnsi(code, place(QStringLiteral("CLUB")));
            while (nextChild()) {
                if (xml.name() == u"ATHLETES")
                    readAthletes(club);
                else
                    skipNotingResults();
            }
        }
    }

    // Skips the current element; a RESULT inside tells that this is a results file, an ENTRY
    // that it holds entries.
    void skipNotingResults() {
        for (int depth = 1; depth > 0 && !xml.atEnd();) {
            const QXmlStreamReader::TokenType token = xml.readNext();
            if (token == QXmlStreamReader::StartElement) {
                ++depth;
                resultsSeen = resultsSeen || xml.name() == u"RESULT";
                entriesSeen = entriesSeen || xml.name() == u"ENTRY";
            } else if (token == QXmlStreamReader::EndElement) {
                --depth;
            }
        }
        checkXml();
    }

    QString place(const QString& element) const {
        return QStringLiteral("Lenex-Datei, Zeile %1: %2").arg(xml.lineNumber()).arg(element);
    }

    void readAthletes(const TSwim& club) {
        while (nextChild()) {
            if (xml.name() != u"ATHLETE") {
                xml.skipCurrentElement();
                continue;
            }
            // Relay-only athletes often come without a birth date; a swim needs the year.
            const QDate birthDate = QDate::fromString(attribute("birthdate"_L1), Qt::ISODate);
            if (!birthDate.isValid()) {
                ++undatedAthletes;
                xml.skipCurrentElement();
                continue;
            }
            TSwim athlete = club;
            const QString where = place(QStringLiteral("ATHLETE"));
            athlete.Name = rewrites.ToAnsi(
                attribute("lastname"_L1) + QStringLiteral(", ") + attribute("firstname"_L1), where);
            athlete.BirthYear = birthDate.year();
            athlete.Sex = attribute("gender"_L1) == u"F" ? 1 : 0;
            QString license = attribute("license"_L1);
            if (license.isEmpty())
                license = attribute("license_dsv"_L1);
            athlete.RegNr = rewrites.ToAnsi(license, where);
            while (nextChild()) {
                if (xml.name() == u"RESULTS")
                    readAthleteResults(athlete);
                else
                    xml.skipCurrentElement();
            }
        }
    }

    void readAthleteResults(const TSwim& athlete) {
        while (nextChild()) {
            if (xml.name() == u"RESULT") {
                resultsSeen = true;
                // A RESULT without eventid cannot be placed.
                if (!attribute("eventid"_L1).isEmpty())
                    results.push_back({static_cast<int>(xml.lineNumber()), athlete,
                                       attribute("eventid"_L1), attribute("swimtime"_L1),
                                       attribute("status"_L1).toUpper()});
            }
            xml.skipCurrentElement();
        }
    }

    // Whoever fits any group may enter: the widest range over the groups. A group that limits
    // the team's sum of ages limits no single swimmer.
    void turnAgesIntoBirthYears() {
        const QDate reference = ageReckoningDate();
        const int year = reference.year();
        // With exact ages on a date, a birth year is partly admitted; the host checks the day.
        const bool onDate = invitation.AgeDateType == u"DATE" &&
                            !(reference.month() == 12 && reference.day() == 31);
        for (TInvitationEvent& event : invitation.Events) {
            if (event.AgeGroups.empty())
                continue;
            int earliest = INT_MAX;
            int latest = INT_MIN;
            for (const TAgeGroup& group : event.AgeGroups) {
                const bool total = group.Calculate == u"TOTAL";
                if (total || group.MaxAge == -1)
                    earliest = 1900;
                else
                    earliest = std::min(earliest, year - group.MaxAge - (onDate ? 1 : 0));
                if (total || group.MinAge == -1)
                    latest = INT_MAX;
                else
                    latest = std::max(latest, year - group.MinAge);
            }
            event.EarliestBirthYear = earliest;
            event.LatestBirthYear = latest == INT_MAX ? 0 : latest;
        }
    }

    QXmlStreamReader xml;
    TInvitation invitation;
    bool meetRead = false;
    QSet<int> sessionNumbers;
    const TClubFilter* filter;
    QString meetCourse;
    QHash<int, QString> sessionCourses;
    QHash<int, QDate> sessionDates;
    QHash<QString, QString> eventStyles;       // styleKey by event id
    QMultiHash<QString, QString> standardRefs; // time standard list ids by event id
    QHash<QString, TimeStandardList> timeStandardLists;
    bool resultsSeen = false;
    bool entriesSeen = false;
    std::vector<AthleteResult> results;
    int undatedAthletes = 0;
    TTextRewrites rewrites;
};

// ---- Writing --------------------------------------------------------------------------------

QString entryTime(int time) {
    if (time == NoTime)
        return NoEntryTime;
    const int hundredths = time % 100;
    const int seconds = time / 100 % 60;
    const int minutes = time / 6000 % 60;
    const int hours = time / 360000;
    return QStringLiteral("%1:%2:%3.%4")
        .arg(hours, 2, 10, QChar(u'0'))
        .arg(minutes, 2, 10, QChar(u'0'))
        .arg(seconds, 2, 10, QChar(u'0'))
        .arg(hundredths, 2, 10, QChar(u'0'));
}

// A DSV invitation's rounds in Lenex words: a heat is PRE when a later round draws on it, else
// the host takes its times as they are (TIM). Lenex has no re-swim; nothing for it.
QString lenexRound(const TInvitationEvent& event, const QSet<QString>& qualifying) {
    static const std::pair<const char*, const char*> dsvRounds[] = {
        {"", "TIM"}, {"E", "TIM"}, {"Z", "SEM"}, {"F", "FIN"}, {"A", "SOP"}, {"N", ""}};
    if (event.Round == u"V")
        return qualifying.contains(event.Id) ? u"PRE"_s : u"TIM"_s;
    for (const auto& [dsv, lenex] : dsvRounds) {
        if (event.Round == QLatin1StringView(dsv))
            return QString::fromLatin1(lenex);
    }
    return event.Round;
}

QString course(const TInvitation& invitation) {
    if (!invitation.Course.isEmpty())
        return invitation.Course;
    return codeOfValue(Courses, invitation.LaneLength);
}

class LenexWriter {
public:
    LenexWriter(const TMeldeAustausch& model, const TInvitation& invitation,
                const TCompanion& companion)
        : model(model), invitation(invitation), companion(companion), xml(&bytes) {
        xml.setAutoFormatting(true);
        xml.setAutoFormattingIndent(2);
    }

    QByteArray write() {
        const TClubEntries entries = CollectClubEntries(model, invitation, false, companion);
        xml.writeStartDocument();
        xml.writeStartElement(u"LENEX"_s);
        xml.writeAttribute(u"version"_s, u"3.0"_s);
        xml.writeStartElement(u"CONSTRUCTOR"_s);
        xml.writeAttribute(u"name"_s, ProgramName);
        xml.writeAttribute(u"registration"_s, AnsiToQString(model.ClubName));
        xml.writeAttribute(u"version"_s, QStringLiteral(NTB_VERSION));
        xml.writeEmptyElement(u"CONTACT"_s);
        xml.writeAttribute(u"email"_s, MakerAddress);
        xml.writeEndElement();
        xml.writeStartElement(u"MEETS"_s);
        xml.writeStartElement(u"MEET"_s);
        xml.writeAttribute(u"name"_s, invitation.Name);
        xml.writeAttribute(u"city"_s, invitation.City);
        xml.writeAttribute(u"nation"_s,
                           invitation.Nation.isEmpty() ? QStringLiteral("GER") : invitation.Nation);
        writeOptional(u"course"_s, course(invitation));
        writeAgeDate();
        writeSessions();
        xml.writeStartElement(u"CLUBS"_s);
        writeClub(entries);
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndElement();
        xml.writeEndDocument();
        return bytes;
    }

private:
    void writeOptional(const QString& name, const QString& value) {
        if (!value.isEmpty())
            xml.writeAttribute(name, value);
    }

    // Readers take the ages of the age groups from it: the host's, else the meet's year.
    void writeAgeDate() {
        xml.writeEmptyElement(u"AGEDATE"_s);
        if (invitation.AgeDate.isValid() && !invitation.AgeDateType.isEmpty()) {
            xml.writeAttribute(u"type"_s, invitation.AgeDateType);
            xml.writeAttribute(u"value"_s, invitation.AgeDate.toString(Qt::ISODate));
        } else {
            xml.writeAttribute(u"type"_s, u"YEAR"_s);
            xml.writeAttribute(u"value"_s, QDate(ageYear(), 1, 1).toString(Qt::ISODate));
        }
    }

    int ageYear() const {
        if (invitation.AgeDate.isValid())
            return invitation.AgeDate.year();
        if (!invitation.Sessions.empty() && invitation.Sessions.front().Date.isValid())
            return invitation.Sessions.front().Date.year();
        return CurrentYear();
    }

    // The host's age groups as they were, else one from the event's birth years: readers of
    // Lenex expect every event to have some.
    void writeAgeGroups(const TInvitationEvent& event) {
        std::vector<TAgeGroup> groups = event.AgeGroups;
        if (groups.empty()) {
            const int year = ageYear();
            const int youngest = event.LatestBirthYear == 0 ? -1 : year - event.LatestBirthYear;
            const int oldest =
                event.EarliestBirthYear <= 1900 ? -1 : year - event.EarliestBirthYear;
            groups.push_back({u"1"_s, std::max(youngest, -1), std::max(oldest, -1), {}, {}});
        }
        xml.writeStartElement(u"AGEGROUPS"_s);
        for (std::size_t i = 0; i < groups.size(); ++i) {
            const TAgeGroup& group = groups[i];
            xml.writeEmptyElement(u"AGEGROUP"_s);
            xml.writeAttribute(u"agegroupid"_s,
                               group.Id.isEmpty() ? QString::number(i + 1) : group.Id);
            xml.writeAttribute(u"agemax"_s, QString::number(group.MaxAge));
            xml.writeAttribute(u"agemin"_s, QString::number(group.MinAge));
            writeOptional(u"calculate"_s, group.Calculate);
            writeOptional(u"name"_s, group.Name);
        }
        xml.writeEndElement();
    }

    void writeSessions() {
        for (const TInvitationEvent& event : invitation.Events)
            qualifying.insert(event.PreviousId);
        xml.writeStartElement(u"SESSIONS"_s);
        for (const TInvitationSession& session : invitation.Sessions) {
            if (!session.Date.isValid())
                throw TInteropError(
                    QStringLiteral("Abschnitt %1 hat kein Datum; Lenex verlangt eines")
                        .arg(session.Number));
            xml.writeStartElement(u"SESSION"_s);
            xml.writeAttribute(u"number"_s, QString::number(session.Number));
            xml.writeAttribute(u"date"_s, session.Date.toString(Qt::ISODate));
            if (!session.Relative)
                writeOptional(u"daytime"_s, session.DayTime);
            xml.writeStartElement(u"EVENTS"_s);
            for (const TInvitationEvent& event : invitation.Events) {
                if (event.Session == session.Number && !lenexRound(event, qualifying).isEmpty())
                    writeEvent(event);
            }
            xml.writeEndElement();
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }

    void writeEvent(const TInvitationEvent& event) {
        xml.writeStartElement(u"EVENT"_s);
        xml.writeAttribute(u"eventid"_s, event.Id);
        xml.writeAttribute(u"number"_s, QString::number(event.Number));
        // Lenex keeps X for relays; an individual event open to all is A.
        const bool open = event.RelayCount == 1 && event.Gender == TEventGender::Mixed;
        xml.writeAttribute(u"gender"_s, open ? u"A"_s : codeOfValue(Genders, int(event.Gender)));
        xml.writeAttribute(u"round"_s, lenexRound(event, qualifying));
        if (!event.PreviousId.isEmpty() && event.PreviousId != u"-1" && event.PreviousId != u"0")
            xml.writeAttribute(u"preveventid"_s, event.PreviousId);
        xml.writeEmptyElement(u"SWIMSTYLE"_s);
        xml.writeAttribute(u"distance"_s, QString::number(event.Distance));
        xml.writeAttribute(u"relaycount"_s, QString::number(event.RelayCount));
        xml.writeAttribute(u"stroke"_s, codeOfValue(Strokes, int(event.Stroke)));
        writeOptional(u"technique"_s, codeOfValue(Techniques, int(event.Technique)));
        if (event.Stroke == TSwimStroke::Other)
            writeOptional(u"name"_s, event.StyleName);
        writeAgeGroups(event);
        xml.writeEndElement();
    }

    void writeClub(const TClubEntries& entries) {
        xml.writeStartElement(u"CLUB"_s);
        xml.writeAttribute(u"name"_s, AnsiToQString(Trim(model.ClubName)));
        writeOptional(u"code"_s, AnsiToQString(Trim(model.ClubId)));
        writeOptional(u"nation"_s, AnsiToQString(Trim(model.Fina)));
        if (model.Verband >= 1 && model.Verband <= 18)
            xml.writeAttribute(u"region"_s, QString::number(model.Verband));
        writeContact();
        if (!entries.Swimmers.empty()) {
            xml.writeStartElement(u"ATHLETES"_s);
            int athleteId = 0;
            for (const TEntrySwimmer& swimmer : entries.Swimmers)
                writeAthlete(swimmer, ++athleteId);
            xml.writeEndElement();
        }
        if (!entries.Relays.empty()) {
            xml.writeStartElement(u"RELAYS"_s);
            for (const TEntryRelay& relay : entries.Relays)
                writeRelay(relay);
            xml.writeEndElement();
        }
        writeOfficials();
        xml.writeEndElement();
    }

    // Lenex has no place for the sections an official is offered for, nor for trainers. The
    // group goes as the grade, the federation's number as the license.
    void writeOfficials() {
        const TEntryStaff staff = CollectStaff(companion, invitation);
        if (staff.Officials.empty())
            return;
        xml.writeStartElement(u"OFFICIALS"_s);
        int officialId = 0;
        for (const TEntryOfficial& official : staff.Officials) {
            const auto [lastName, firstName] = SplitName(official.Name);
            xml.writeEmptyElement(u"OFFICIAL"_s);
            xml.writeAttribute(u"officialid"_s, QString::number(++officialId));
            xml.writeAttribute(u"lastname"_s, AnsiToQString(lastName));
            xml.writeAttribute(u"firstname"_s, AnsiToQString(firstName));
            // Lenex knows no third sex: such an official goes without.
            if (official.Sex == "M" || official.Sex == "W")
                xml.writeAttribute(u"gender"_s, official.Sex == "W" ? u"F"_s : u"M"_s);
            writeOptional(u"grade"_s, AnsiToQString(official.Group));
            writeOptional(u"license"_s, AnsiToQString(official.Number));
        }
        xml.writeEndElement();
    }

    void writeContact() {
        const std::pair<const char*, const std::string*> fields[] = {
            {"name", &model.Person},    {"street", &model.Street}, {"zip", &model.Zip},
            {"city", &model.ClubPlace}, {"phone", &model.Fon},     {"fax", &model.Fax},
            {"email", &model.EMail},
        };
        if (std::all_of(std::begin(fields), std::end(fields),
                        [](const auto& field) { return Trim(*field.second).empty(); }))
            return;
        xml.writeEmptyElement(u"CONTACT"_s);
        for (const auto& [name, value] : fields)
            writeOptional(QString::fromLatin1(name), AnsiToQString(Trim(*value)));
    }

    void writeAthlete(const TEntrySwimmer& swimmer, int athleteId) {
        const auto [lastName, firstName] = SplitName(swimmer.Name);
        xml.writeStartElement(u"ATHLETE"_s);
        xml.writeAttribute(u"athleteid"_s, QString::number(athleteId));
        xml.writeAttribute(u"lastname"_s, AnsiToQString(lastName));
        xml.writeAttribute(u"firstname"_s, AnsiToQString(firstName));
        xml.writeAttribute(u"birthdate"_s,
                           QStringLiteral("%1-01-01").arg(swimmer.BirthYear, 4, 10, QChar(u'0')));
        xml.writeAttribute(u"gender"_s, swimmer.Female ? u"F"_s : u"M"_s);
        writeOptional(u"license"_s, AnsiToQString(swimmer.RegNr));
        // A swimmer only of relays has no entries of his own.
        if (!swimmer.Starts.empty()) {
            xml.writeStartElement(u"ENTRIES"_s);
            for (const TEntryStart& start : swimmer.Starts)
                writeEntry(*start.Event, start.Time);
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }

    void writeRelay(const TEntryRelay& relay) {
        xml.writeStartElement(u"RELAY"_s);
        xml.writeAttribute(u"number"_s, QString::number(relay.Team));
        const TEventGender gender = relay.Event->Gender;
        xml.writeAttribute(u"gender"_s, gender == TEventGender::Female ? u"F"_s
                                        : gender == TEventGender::Male ? u"M"_s
                                                                       : u"X"_s);
        // A masters relay's class bounds the summed ages; -1 is unknown, as hosts write.
        const TAgeGroup* group = relay.Class;
        xml.writeAttribute(u"agemin"_s, u"-1"_s);
        xml.writeAttribute(u"agemax"_s, u"-1"_s);
        xml.writeAttribute(u"agetotalmin"_s, QString::number(group ? group->MinAge : -1));
        xml.writeAttribute(u"agetotalmax"_s, QString::number(group ? group->MaxAge : -1));
        writeOptional(u"name"_s, AnsiToQString(relay.Name));
        xml.writeStartElement(u"ENTRIES"_s);
        if (relay.Legs.empty() && !group) {
            writeEntry(*relay.Event, relay.Time);
        } else {
            xml.writeStartElement(u"ENTRY"_s);
            writeEntryAttributes(*relay.Event, relay.Time);
            if (group)
                xml.writeAttribute(u"agegroupid"_s, group->Id);
            writeRelayPositions(relay);
            xml.writeEndElement();
        }
        xml.writeEndElement();
        xml.writeEndElement();
    }

    // The athletes are numbered from 1 in the order of the ATHLETE elements.
    void writeRelayPositions(const TEntryRelay& relay) {
        if (relay.Legs.empty())
            return;
        xml.writeStartElement(u"RELAYPOSITIONS"_s);
        for (std::size_t leg = 0; leg < relay.Legs.size(); ++leg) {
            xml.writeEmptyElement(u"RELAYPOSITION"_s);
            xml.writeAttribute(u"athleteid"_s, QString::number(relay.Legs[leg] + 1));
            xml.writeAttribute(u"number"_s, QString::number(leg + 1));
        }
        xml.writeEndElement();
    }

    void writeEntry(const TInvitationEvent& event, int time) {
        xml.writeEmptyElement(u"ENTRY"_s);
        writeEntryAttributes(event, time);
    }

    void writeEntryAttributes(const TInvitationEvent& event, int time) {
        xml.writeAttribute(u"eventid"_s, event.Id);
        xml.writeAttribute(u"entrytime"_s, entryTime(time));
    }

    const TMeldeAustausch& model;
    const TInvitation& invitation;
    const TCompanion& companion;
    QByteArray bytes;
    QXmlStreamWriter xml;
    QSet<QString> qualifying; // ids of the events a later round draws on
};

} // namespace

TInvitation ReadLenexInvitation(const QByteArray& xml) {
    return LenexReader(xml).read();
}

std::vector<TSwim> ReadLenexResults(const QByteArray& xml, const TClubFilter& filter,
                                    QStringList* notes) {
    return LenexReader(xml, &filter).readResults(notes);
}

QByteArray WriteLenexEntries(const TMeldeAustausch& model, const TInvitation& invitation,
                             const TCompanion& companion) {
    return LenexWriter(model, invitation, companion).write();
}
