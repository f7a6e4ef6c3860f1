// SPDX-License-Identifier: GPL-3.0-or-later
#include "dsv7.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <tuple>

#include "codetable.h"
#include "environment.h"
#include "meldeaustausch.h"
#include "relayteams.h"
#include "staffentries.h"
#include "transliteration.h"
#include "windows1252.h"

namespace {

// ---- Reading ------------------------------------------------------------------------------

struct TRecord {
    int Line = 0;
    QString Keyword;
    QStringList Fields;
    // 1-based like the format's field tables; a field the line lacks is empty.
    QString field(int number) const {
        return number <= Fields.size() ? Fields[number - 1] : QString();
    }
};

[[noreturn]] void fail(const TRecord& record, const QString& text) {
    throw TInteropError(
        QStringLiteral("Zeile %1 (%2): %3").arg(record.Line).arg(record.Keyword, text));
}

QString quoted(const QString& text) {
    return QStringLiteral("„%1“").arg(text);
}

// UTF-8 as the format prescribes; older files are Windows-1252, which never passes as UTF-8.
QString decode(const QByteArray& bytes) {
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(view);
    if (!utf8.hasError())
        return text;
    text.clear();
    text.reserve(view.size());
    for (const char byte : view)
        text += QChar(static_cast<char16_t>(AnsiToUnicode(static_cast<unsigned char>(byte))));
    return text;
}

// One pass over the line, whatever number of comments it holds.
QString withoutComments(QStringView line) {
    QString kept;
    qsizetype from = 0;
    for (qsizetype open = line.indexOf(u"(*"); open >= 0; open = line.indexOf(u"(*", from)) {
        kept += line.sliced(from, open - from);
        const qsizetype close = line.indexOf(u"*)", open + 2);
        from = close < 0 ? line.size() : close + 2;
    }
    kept += line.sliced(from);
    return kept;
}

bool isKeyword(const QString& text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    });
}

// The records up to DATEIENDE. A file without it was cut off on its way: nothing of it counts.
std::vector<TRecord> splitRecords(const QString& text) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = text.split(lineBreak);
    std::vector<TRecord> records;
    bool complete = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        TRecord record;
        record.Line = static_cast<int>(i + 1);
        const QString line = withoutComments(lines[i]).trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype colon = line.indexOf(u':');
        record.Keyword = (colon < 0 ? line : line.left(colon)).trimmed().toUpper();
        if (record.Keyword == u"DATEIENDE") {
            complete = true;
            break;
        }
        if (colon < 0 || !isKeyword(record.Keyword))
            throw TInteropError(QStringLiteral("Zeile %1: %2 ist kein Datensatz")
                                    .arg(record.Line)
                                    .arg(quoted(line)));
        const QString rest = line.mid(colon + 1).trimmed();
        record.Fields = rest.split(u';');
        if (rest.endsWith(u';'))
            record.Fields.removeLast();
        for (QString& field : record.Fields)
            field = field.trimmed();
        records.push_back(std::move(record));
    }
    if (!complete && !records.empty())
        throw TInteropError(QStringLiteral("Die Datei ist unvollständig: sie endet ohne DATEIENDE "
                                           "(nach Zeile %1), nichts übernommen")
                                .arg(records.back().Line));
    return records;
}

bool toNumber(const QString& text, int& value) {
    if (text.isEmpty() || text.size() > 9)
        return false;
    value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
        value = value * 10 + (c.unicode() - u'0');
    }
    return true;
}

int number(const TRecord& record, int field, const QString& what) {
    int value = 0;
    if (!toNumber(record.field(field), value))
        fail(record, QStringLiteral("%1 %2 ist keine Zahl").arg(what, quoted(record.field(field))));
    return value;
}

QDate date(const TRecord& record, int field) {
    const QDate value = QDate::fromString(record.field(field), QStringLiteral("dd.MM.yyyy"));
    if (!value.isValid())
        fail(record,
             QStringLiteral("Datum %1 ist kein TT.MM.JJJJ").arg(quoted(record.field(field))));
    return value;
}

// "HH:MM", empty when the field is.
QString clockTime(const TRecord& record, int field) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,2}):(\\d\\d)$"));
    const QString text = record.field(field);
    if (text.isEmpty())
        return text;
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch() || match.captured(1).toInt() > 23 || match.captured(2).toInt() > 59)
        fail(record, QStringLiteral("Uhrzeit %1 ist kein HH:MM").arg(quoted(text)));
    return match.captured(1).rightJustified(2, u'0') + u':' + match.captured(2);
}

int cents(const TRecord& record, int field) {
    static const QRegularExpression form(QStringLiteral("^(\\d{1,7})(?:[,.](\\d{1,2}))?$"));
    const QRegularExpressionMatch match = form.match(record.field(field));
    if (!match.hasMatch())
        fail(record,
             QStringLiteral("Betrag %1 ist kein Eurobetrag").arg(quoted(record.field(field))));
    return match.captured(1).toInt() * 100 + match.captured(2).leftJustified(2, u'0').toInt();
}

// The Lenex course of a DSV pool length ("25" is "SCM"), empty where Lenex has no code.
QString courseOf(const QString& code) {
    static const QHash<QString, QString> courses = {{QStringLiteral("16"), QStringLiteral("SCM16")},
                                                    {QStringLiteral("20"), QStringLiteral("SCM20")},
                                                    {QStringLiteral("25"), QStringLiteral("SCM")},
                                                    {QStringLiteral("33"), QStringLiteral("SCM33")},
                                                    {QStringLiteral("50"), QStringLiteral("LCM")},
                                                    {QStringLiteral("FW"), QStringLiteral("OPEN")}};
    return courses.value(code.toUpper());
}

int laneLength(const QString& code) {
    int metres = 0;
    return toNumber(code, metres) ? metres : 0;
}

// The DSV codes of strokes, techniques and sexes; the writer takes the first code of a value.
// KB and KR (fly kick on the front or back) come with Format 8.
constexpr CodeName Strokes[] = {
    {"F", int(TSwimStroke::Free)}, {"R", int(TSwimStroke::Back)},   {"B", int(TSwimStroke::Breast)},
    {"S", int(TSwimStroke::Fly)},  {"L", int(TSwimStroke::Medley)}, {"X", int(TSwimStroke::Other)},
};
constexpr CodeName Techniques[] = {
    {"GL", int(TTechnique::None)}, {"BE", int(TTechnique::Kick)},  {"KB", int(TTechnique::Kick)},
    {"KR", int(TTechnique::Kick)}, {"AR", int(TTechnique::Pull)},  {"ST", int(TTechnique::Start)},
    {"WE", int(TTechnique::Turn)}, {"GB", int(TTechnique::Glide)}, {"X", int(TTechnique::Other)},
};
constexpr CodeName Genders[] = {
    {"W", int(TEventGender::Female)},  {"M", int(TEventGender::Male)},
    {"X", int(TEventGender::Mixed)},   {"X", int(TEventGender::All)},
    {"D", int(TEventGender::Diverse)},
};

// The value of a code field; a code the table lacks is an error naming the event.
template <typename Value, std::size_t N>
Value codeField(const TRecord& record, int field, const CodeName (&codes)[N], const QString& event,
                const QString& unknown) {
    const std::optional<int> found = valueOfCode(codes, record.field(field).toUpper());
    if (!found)
        fail(
            record,
            QStringLiteral("Wettkampf %1: %2 %3").arg(event, unknown, quoted(record.field(field))));
    return Value(*found);
}

TInvitationEvent event(const TRecord& record) {
    TInvitationEvent event;
    event.Number = number(record, 1, QStringLiteral("Wettkampfnummer"));
    event.Id = QString::number(event.Number);
    event.Round = record.field(2).toUpper();
    if (event.Round.size() != 1 || !QStringLiteral("VZFEAN").contains(event.Round))
        fail(record, QStringLiteral("Wettkampf %1: unbekannte Wettkampfart %2")
                         .arg(event.Id, quoted(record.field(2))));
    event.Session = number(record, 3, QStringLiteral("Abschnittsnummer"));
    if (!record.field(4).isEmpty())
        event.RelayCount = std::max(1, number(record, 4, QStringLiteral("Anzahl Starter")));
    if (!record.field(5).isEmpty())
        event.Distance = number(record, 5, QStringLiteral("Einzelstrecke"));
    event.Stroke =
        codeField<TSwimStroke>(record, 6, Strokes, event.Id, QStringLiteral("unbekannte Technik"));
    if (event.Stroke == TSwimStroke::Other)
        event.StyleName = QStringLiteral("Sonderform");
    event.Technique = codeField<TTechnique>(record, 7, Techniques, event.Id,
                                            QStringLiteral("unbekannte Ausübung"));
    event.DsvTechnique = record.field(7).toUpper();
    event.Gender = codeField<TEventGender>(record, 8, Genders, event.Id,
                                           QStringLiteral("unbekanntes Geschlecht"));
    if (!record.field(10).isEmpty())
        event.PreviousId =
            QString::number(number(record, 10, QStringLiteral("Qualifikationswettkampf")));
    return event;
}

constexpr std::pair<const char*, TFlatFeeKind> DsvFlatFees[] = {
    {"Meldegeldpauschale", TFlatFeeKind::Club},
    {"Teilnehmermeldegeld", TFlatFeeKind::Swimmer},
    {"Abschnittspauschale", TFlatFeeKind::Section},
    {"Mannschaftmeldegeld", TFlatFeeKind::Team},
};

// The birth years one WERTUNG or PFLICHTZEIT admits; 0 as the latest year means no bound on
// the youngest. Its class is given from field `kindField` on.
struct TYearRange {
    int Earliest = 1900;
    int Latest = 0;
};

TYearRange yearRange(const TRecord& record, int kindField, int competitionYear,
                     QStringList* warnings) {
    const QString event = record.field(1);
    const QString kind = record.field(kindField).toUpper();
    const QString oldest = record.field(kindField + 1);
    const QString youngest =
        record.field(kindField + 2).isEmpty() ? oldest : record.field(kindField + 2);
    TYearRange range;
    int first = 0, last = 0;
    if (kind == u"JG") {
        if (!toNumber(oldest, first) || !toNumber(youngest, last))
            fail(record, QStringLiteral("Wettkampf %1: Jahrgang %2 ist keine Zahl")
                             .arg(event, quoted(toNumber(oldest, first) ? youngest : oldest)));
        range.Earliest = first < 1900 ? 1900 : first;
        range.Latest = last == 0 || last == 9999 ? 0 : last;
    } else if (kind == u"AK") {
        // A masters class n covers the ages n to n + 4 in the competition year.
        if (toNumber(oldest, first) && toNumber(youngest, last)) {
            range.Earliest = std::max(1900, competitionYear - std::max(first, last) - 4);
            range.Latest = competitionYear - std::min(first, last);
            if (range.Latest < 1900)
                fail(record, QStringLiteral("Wettkampf %1: Altersklasse %2 ergibt im Jahr %3 "
                                            "keinen Jahrgang")
                                 .arg(event)
                                 .arg(std::min(first, last))
                                 .arg(competitionYear));
        } else if (warnings) {
            warnings->append(
                QStringLiteral("Zeile %1: Wettkampf %2: Altersklasse %3 nennt keine Jahrgänge; der "
                               "Wettkampf wird für alle Jahrgänge übernommen")
                    .arg(record.Line)
                    .arg(event, quoted(oldest == youngest ? oldest : oldest + u'/' + youngest)));
        }
    } else {
        fail(record, QStringLiteral("Wettkampf %1: unbekannte Wertungsklasse %2")
                         .arg(event, quoted(record.field(kindField))));
    }
    return range;
}

// A masters relay's class "AK;100+" limits the team's sum of ages, never a birth year: 80+ up to
// 99, 100+ up to 119, then steps of 40, 360+ without end.
std::optional<TAgeGroup> summedAgeClass(const TRecord& record) {
    const QString oldest = record.field(5);
    int lowest = 0;
    if (record.field(4).toUpper() != u"AK" || !oldest.endsWith(u'+') ||
        !toNumber(oldest.chopped(1), lowest))
        return std::nullopt;
    const int highest = lowest >= 360 ? -1 : lowest < 120 ? lowest + 19 : lowest + 39;
    return TAgeGroup{record.field(3), lowest, highest, QStringLiteral("TOTAL"), record.field(8)};
}

} // namespace

TInvitation ReadDsv7Invitation(const QByteArray& bytes, QStringList* warnings) {
    const std::vector<TRecord> records = splitRecords(decode(bytes));
    if (records.empty() || records.front().Keyword != u"FORMAT")
        throw TInteropError(
            QStringLiteral("Keine DSV-Datei: der erste Datensatz ist nicht FORMAT"));
    const TRecord& format = records.front();
    if (format.field(1).endsWith(u"ergebnisliste", Qt::CaseInsensitive))
        RefuseNonInvitation(TClubSwims::Results);
    if (format.field(1).compare(u"Vereinsmeldeliste", Qt::CaseInsensitive) == 0)
        RefuseNonInvitation(TClubSwims::Entries);
    if (format.field(1).compare(u"Wettkampfdefinitionsliste", Qt::CaseInsensitive) != 0)
        fail(format,
             QStringLiteral("%1 ist keine Wettkampfdefinitionsliste").arg(quoted(format.field(1))));
    if (format.field(2) != u"7" && format.field(2) != u"8")
        fail(format,
             QStringLiteral("Version %1 wird nicht unterstützt").arg(quoted(format.field(2))));

    TInvitation invitation;
    invitation.DsvVersion = format.field(2).toInt();
    std::vector<const TRecord*> rankings;
    std::vector<const TRecord*> fees;
    std::vector<const TRecord*> qualifyingTimes;
    std::set<int> sessionNumbers;
    std::set<std::pair<int, QString>> eventKeys; // an event is its number and round
    for (const TRecord& record : records) {
        const QString& keyword = record.Keyword;
        if (keyword == u"VERANSTALTUNG") {
            invitation.Name = record.field(1);
            invitation.City = record.field(2);
            invitation.LaneLength = laneLength(record.field(3));
            invitation.Course = courseOf(record.field(3));
            invitation.Timing = record.field(4);
        } else if (keyword == u"VERANSTALTUNGSORT") {
            invitation.Nation = record.field(5);
        } else if (keyword == u"VERANSTALTER") {
            invitation.Organizer = record.field(1);
        } else if (keyword == u"AUSRICHTER") {
            invitation.HostClub = record.field(1);
        } else if (keyword == u"MELDESCHLUSS") {
            invitation.Deadline = date(record, 1);
            invitation.DeadlineTime = clockTime(record, 2);
        } else if (keyword == u"ABSCHNITT") {
            TInvitationSession session;
            session.Number = number(record, 1, QStringLiteral("Abschnittsnummer"));
            if (!sessionNumbers.insert(session.Number).second)
                fail(record, QStringLiteral("Abschnitt %1 ist doppelt").arg(session.Number));
            session.Date = date(record, 2);
            // Relative sections count from the previous one's end, which nobody knows ahead.
            session.Relative = record.field(6).compare(u"J", Qt::CaseInsensitive) == 0;
            const QString start = clockTime(record, 5);
            if (session.Relative) {
                session.RelativeStart = start;
            } else {
                session.WarmUpFrom = clockTime(record, 3);
                session.OfficialMeeting = clockTime(record, 4);
                session.DayTime = start;
            }
            invitation.Sessions.push_back(session);
        } else if (keyword == u"WETTKAMPF") {
            // An event refers to a section listed before it.
            TInvitationEvent read = event(record);
            if (!sessionNumbers.contains(read.Session))
                fail(record, QStringLiteral("Wettkampf %1: Abschnitt %2 fehlt")
                                 .arg(read.Number)
                                 .arg(read.Session));
            if (!eventKeys.emplace(read.Number, read.Round).second)
                fail(record, QStringLiteral("Wettkampf %1 (%2) ist doppelt")
                                 .arg(read.Number)
                                 .arg(read.Round));
            // Kicks on the front or back are dolphin kicks; the standard allows them with S only.
            const bool kicks = read.DsvTechnique == u"KB" || read.DsvTechnique == u"KR";
            if (kicks && read.Stroke != TSwimStroke::Fly && warnings)
                warnings->append(QStringLiteral("Zeile %1: Wettkampf %2: Ausübung %3 gibt es nur "
                                                "mit Technik S")
                                     .arg(record.Line)
                                     .arg(read.Number)
                                     .arg(read.DsvTechnique));
            invitation.Events.push_back(std::move(read));
        } else if (keyword == u"WERTUNG") {
            rankings.push_back(&record);
        } else if (keyword == u"MELDEGELD") {
            fees.push_back(&record);
        } else if (keyword == u"PFLICHTZEIT") {
            qualifyingTimes.push_back(&record);
        }
    }
    if (invitation.Sessions.empty())
        throw TInteropError(
            QStringLiteral("Die Wettkampfdefinitionsliste enthält keinen Abschnitt (ABSCHNITT)"));
    if (invitation.Events.empty())
        throw TInteropError(
            QStringLiteral("Die Wettkampfdefinitionsliste enthält keinen Wettkampf (WETTKAMPF)"));

    // The running order of the meet: section by section, in file order within one.
    std::map<int, std::size_t> sessionPosition;
    for (std::size_t i = 0; i < invitation.Sessions.size(); ++i)
        sessionPosition[invitation.Sessions[i].Number] = i;
    std::stable_sort(invitation.Events.begin(), invitation.Events.end(),
                     [&](const TInvitationEvent& a, const TInvitationEvent& b) {
                         return sessionPosition[a.Session] < sessionPosition[b.Session];
                     });

    // A WERTUNG names its event by number and round, a Wkmeldegeld by number alone.
    std::map<std::pair<int, QString>, std::size_t> eventAt;
    std::multimap<int, std::size_t> eventsNumbered;
    for (std::size_t i = 0; i < invitation.Events.size(); ++i) {
        const TInvitationEvent& event = invitation.Events[i];
        eventAt.emplace(std::make_pair(event.Number, event.Round), i);
        eventsNumbered.emplace(event.Number, i);
    }

    const int competitionYear = invitation.Sessions.front().Date.year();
    std::vector<std::optional<TYearRange>> ranges(invitation.Events.size());
    for (const TRecord* record : rankings) {
        int eventNumber = 0;
        if (!toNumber(record->field(1), eventNumber))
            fail(*record,
                 QStringLiteral("Wettkampfnummer %1 ist keine Zahl").arg(quoted(record->field(1))));
        const auto found = eventAt.find({eventNumber, record->field(2).toUpper()});
        if (found == eventAt.end())
            continue;
        if (const auto relayClass = summedAgeClass(*record)) {
            invitation.Events[found->second].AgeGroups.push_back(*relayClass);
            continue;
        }
        const TYearRange range = yearRange(*record, 4, competitionYear, warnings);
        std::optional<TYearRange>& all = ranges[found->second];
        if (!all) {
            all = range;
            continue;
        }
        all->Earliest = std::min(all->Earliest, range.Earliest);
        all->Latest =
            all->Latest == 0 || range.Latest == 0 ? 0 : std::max(all->Latest, range.Latest);
    }
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        if (ranges[i]) {
            invitation.Events[i].EarliestBirthYear = ranges[i]->Earliest;
            invitation.Events[i].LatestBirthYear = ranges[i]->Latest;
        }
    }

    // A time for diverse swimmers only has no sex of the exchange file to apply to.
    for (const TRecord* record : qualifyingTimes) {
        const auto found = eventAt.find(
            {number(*record, 1, QStringLiteral("Wettkampfnummer")), record->field(2).toUpper()});
        const QString sex = record->field(7).toUpper();
        if (found == eventAt.end() || sex == u"D")
            continue;
        const TYearRange range = yearRange(*record, 3, competitionYear, warnings);
        const std::optional<int> time = ReadSwimTime(record->field(6));
        if (!time)
            fail(*record,
                 QStringLiteral("Pflichtzeit %1 ist keine Zeit").arg(quoted(record->field(6))));
        invitation.QualifyingTimes.push_back({invitation.Events[found->second].Id, range.Earliest,
                                              range.Latest,
                                              sex == u"M"   ? 0
                                              : sex == u"W" ? 1
                                                            : -1,
                                              *time, QString()});
    }

    for (const TRecord* record : fees) {
        const QString kind = record->field(1);
        if (kind.compare(u"Einzelmeldegeld", Qt::CaseInsensitive) == 0) {
            invitation.FeeIndividualCents = cents(*record, 2);
        } else if (kind.compare(u"Staffelmeldegeld", Qt::CaseInsensitive) == 0) {
            invitation.FeeRelayCents = cents(*record, 2);
        } else if (kind.compare(u"Wkmeldegeld", Qt::CaseInsensitive) == 0) {
            const int fee = cents(*record, 2);
            const int eventNumber = number(*record, 3, QStringLiteral("Wettkampfnummer"));
            const auto [first, last] = eventsNumbered.equal_range(eventNumber);
            for (auto at = first; at != last; ++at)
                invitation.Events[at->second].FeeCents = fee;
        }
        // Flat fees per club, swimmer or section have no place in an event.
        for (const auto& [type, flatKind] : DsvFlatFees) {
            if (kind.compare(QLatin1StringView(type), Qt::CaseInsensitive) == 0)
                invitation.FlatFees.push_back({flatKind, cents(*record, 2)});
        }
    }
    return invitation;
}

namespace {

// A result's swimmer and time, as a PERSON with its PERSONENERGEBNIS or a PNERGEBNIS gives them.
struct TPersonResult {
    const TRecord* Record = nullptr;
    QString Name, RegNr, Sex, BirthYear;
    QString Event, Round, Time, Reason;
};

std::uint8_t personSex(const QString& code) {
    if (code.compare(u"W", Qt::CaseInsensitive) == 0)
        return 1;
    return code.compare(u"D", Qt::CaseInsensitive) == 0 ? 2 : 0;
}

} // namespace

std::vector<TSwim> ReadDsv7Results(const QByteArray& bytes, const TClubFilter& filter,
                                   QStringList* notes) {
    TTextRewrites rewrites;
    const std::vector<TRecord> records = splitRecords(decode(bytes));
    if (records.empty() || records.front().Keyword != u"FORMAT")
        throw TInteropError(
            QStringLiteral("Keine DSV-Datei: der erste Datensatz ist nicht FORMAT"));
    const TRecord& format = records.front();
    const bool clubList =
        format.field(1).compare(u"Vereinsergebnisliste", Qt::CaseInsensitive) == 0;
    if (!clubList && format.field(1).compare(u"Wettkampfergebnisliste", Qt::CaseInsensitive) != 0)
        fail(format, QStringLiteral("%1 ist keine Ergebnisliste").arg(quoted(format.field(1))));
    if (format.field(2) != u"7" && format.field(2) != u"8")
        fail(format,
             QStringLiteral("Version %1 wird nicht unterstützt").arg(quoted(format.field(2))));

    QString competition;
    int pool = 0;
    QHash<int, QDate> sessionDates;
    std::map<std::pair<int, QString>, TInvitationEvent> events;
    bool ownClubFile = false;
    TSwim club;
    QHash<QString, const TRecord*> persons;
    std::vector<TPersonResult> results;
    for (const TRecord& record : records) {
        const QString& keyword = record.Keyword;
        if (keyword == u"VERANSTALTUNG") {
            competition = record.field(1);
            pool = laneLength(record.field(3));
        } else if (keyword == u"ABSCHNITT") {
            sessionDates.insert(number(record, 1, QStringLiteral("Abschnittsnummer")),
                                date(record, 2));
        } else if (keyword == u"WETTKAMPF") {
            const TInvitationEvent read = event(record);
            events[{read.Number, read.Round}] = read;
        } else if (keyword == u"VEREIN" && clubList && !ownClubFile) {
            ownClubFile = filter.Takes(record.field(2), record.field(1));
            if (ownClubFile) {
                club.ClubName = rewrites.ToAnsi(
                    record.field(1), QStringLiteral("Zeile %1 (VEREIN)").arg(record.Line));
                club.ClubId = rewrites.ToAnsi(record.field(2), {});
            }
        } else if (keyword == u"PERSON" && clubList) {
            persons.insert(record.field(3), &record);
        } else if (keyword == u"PERSONENERGEBNIS" && clubList && ownClubFile) {
            const TRecord* person = persons.value(record.field(1));
            if (!person)
                fail(record, QStringLiteral("Veranstaltungs-ID %1 nennt keine PERSON")
                                 .arg(quoted(record.field(1))));
            results.push_back({&record, person->field(1), person->field(2), person->field(4),
                               person->field(5), record.field(2), record.field(3).toUpper(),
                               record.field(6), record.field(7)});
        } else if (keyword == u"PNERGEBNIS" && !clubList &&
                   filter.Takes(record.field(13), record.field(12))) {
            results.push_back({&record, record.field(6), record.field(7), record.field(9),
                               record.field(10), record.field(1), record.field(2).toUpper(),
                               record.field(14), record.field(5)});
        }
    }

    std::vector<TSwim> swims;
    std::set<std::tuple<QString, QString, QString, QString, QString>> seen;
    for (const TPersonResult& result : results) {
        const TRecord& record = *result.Record;
        int eventNumber = 0;
        if (!toNumber(result.Event, eventNumber))
            fail(record,
                 QStringLiteral("Wettkampfnummer %1 ist keine Zahl").arg(quoted(result.Event)));
        const auto found = events.find({eventNumber, result.Round});
        if (found == events.end())
            fail(record, QStringLiteral("Wettkampf %1 %2 fehlt").arg(result.Event, result.Round));
        const TInvitationEvent& event = found->second;
        const std::optional<TDiscipline> discipline = DisciplineOf(event);
        if (!discipline || discipline->RelayCount != 1 || !result.Reason.isEmpty())
            continue;
        const std::optional<int> time = ReadSwimTime(result.Time);
        if (!time)
            fail(record, QStringLiteral("Endzeit %1 ist keine Zeit").arg(quoted(result.Time)));
        // One swim is listed once for every Wertung it is ranked in.
        if (*time == 0 ||
            !seen.insert({result.Name, result.BirthYear, result.Event, result.Round, result.Time})
                 .second)
            continue;
        const QDate day = sessionDates.value(event.Session);
        if (!day.isValid())
            fail(record, QStringLiteral("Wettkampf %1: Abschnitt %2 fehlt")
                             .arg(result.Event)
                             .arg(event.Session));
        TSwim swim = club;
        const QString where = QStringLiteral("Zeile %1 (%2)").arg(record.Line).arg(record.Keyword);
        if (!clubList) {
            swim.ClubName = rewrites.ToAnsi(record.field(12), where);
            swim.ClubId = rewrites.ToAnsi(record.field(13), where);
        }
        swim.Name = rewrites.ToAnsi(result.Name, where);
        int birthYear = 0;
        if (!toNumber(result.BirthYear, birthYear))
            fail(record,
                 QStringLiteral("Jahrgang %1 ist keine Zahl").arg(quoted(result.BirthYear)));
        swim.BirthYear = birthYear;
        swim.Sex = personSex(result.Sex);
        swim.RegNr = result.RegNr == u"0" ? std::string() : rewrites.ToAnsi(result.RegNr, where);
        swim.Discipline = *discipline;
        swim.LaneLength = pool;
        swim.Date = SwimDate(day);
        swim.CompName = rewrites.ToAnsi(competition, QStringLiteral("VERANSTALTUNG"));
        swim.Hundredths = *time;
        swims.push_back(std::move(swim));
    }
    rewrites.AddNoteTo(notes);
    return swims;
}

// ---- Writing ------------------------------------------------------------------------------

namespace {

const QString ProgramName = QStringLiteral("NtbMelde");
const QString ProgramContact = QStringLiteral("support@ntbmelde.example");

// A text field: no `;` (it cannot be escaped) and no line break.
QString fieldText(QString text) {
    text.replace(u';', u',');
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text.trimmed();
}

// The writer makes a field of it; what is read from it here needs no outer blanks.
QString fromModel(const std::string& ansi) {
    return AnsiToQString(ansi).trimmed();
}

class TRecordWriter {
public:
    void add(const char* keyword, const QStringList& fields) {
        text += QLatin1StringView(keyword) + u':';
        for (const QString& field : fields)
            text += fieldText(field) + u';';
        text += QStringLiteral("\r\n");
    }
    QByteArray finish() {
        text += QStringLiteral("DATEIENDE\r\n");
        return text.toUtf8();
    }

private:
    QString text;
};

QString poolCode(const TInvitation& invitation) {
    if (invitation.Course == u"OPEN")
        return QStringLiteral("FW");
    const bool metres = !invitation.Course.startsWith(u"SCY");
    for (const int length : {16, 20, 25, 33, 50}) {
        if (metres && invitation.LaneLength == length)
            return QString::number(length);
    }
    return QStringLiteral("X");
}

// The DSV timing of a DSV or Lenex one (AUTOMATIC, SEMIAUTOMATIC, MANUAL1 … MANUAL3).
QString timing(const TInvitation& invitation) {
    for (const char* known : {"AUTOMATISCH", "HALBAUTOMATISCH", "HANDZEIT"}) {
        if (invitation.Timing.compare(QLatin1StringView(known), Qt::CaseInsensitive) == 0)
            return QLatin1StringView(known);
    }
    if (invitation.Timing.startsWith(u"MANUAL", Qt::CaseInsensitive))
        return QStringLiteral("HANDZEIT");
    if (invitation.Timing.compare(u"SEMIAUTOMATIC", Qt::CaseInsensitive) == 0)
        return QStringLiteral("HALBAUTOMATISCH");
    return QStringLiteral("AUTOMATISCH");
}

// The DSV round of a DSV or Lenex round.
QString dsvRound(const QString& round) {
    if (round.size() == 1)
        return round;
    if (round == u"PRE")
        return QStringLiteral("V");
    if (round == u"SEM")
        return QStringLiteral("Z");
    if (round == u"FIN")
        return QStringLiteral("F");
    if (round == u"SOP")
        return QStringLiteral("A");
    return QStringLiteral("E");
}

// The code of a value; what the format has no code for is "X" (Sonderform, mixed).
template <std::size_t N> QString dsvCode(const CodeName (&codes)[N], int value) {
    const QString code = codeOfValue(codes, value);
    return code.isEmpty() ? QStringLiteral("X") : code;
}

// The Ausübung: Format 8's kicks on the front or back (KB, KR) as the host wrote them; Format 7
// knows them only as legs.
QString techniqueCode(const TInvitationEvent& event, int version) {
    const bool kicks = event.DsvTechnique == u"KB" || event.DsvTechnique == u"KR";
    return kicks && version >= 8 ? event.DsvTechnique : dsvCode(Techniques, int(event.Technique));
}

// Format 7 has no events for diverse swimmers only: they are open ones there.
QString genderCode(const TInvitationEvent& event, int version) {
    if (event.Gender == TEventGender::Diverse && version < 8)
        return QStringLiteral("X");
    return dsvCode(Genders, int(event.Gender));
}

// A final names the round its swimmers come from by that round's number and kind. A later round
// that shares its number with an entry event is left out: STARTPN names events by number alone.
void writeEvents(TRecordWriter& out, const TInvitation& invitation, int version) {
    QHash<QString, const TInvitationEvent*> eventWithId;
    QSet<int> entryNumbers;
    for (const TInvitationEvent& event : invitation.Events) {
        if (!eventWithId.contains(event.Id))
            eventWithId.insert(event.Id, &event);
        if (event.IsEntryEvent())
            entryNumbers.insert(event.Number);
    }
    for (const TInvitationEvent& event : invitation.Events) {
        if (!event.IsEntryEvent() && entryNumbers.contains(event.Number))
            continue;
        QString qualifyingNumber, qualifyingRound;
        const TInvitationEvent* previous = eventWithId.value(event.PreviousId);
        if (previous && previous != &event && event.PreviousId != u"-1") {
            qualifyingNumber = QString::number(previous->Number);
            qualifyingRound = dsvRound(previous->Round);
        }
        out.add("WETTKAMPF", {QString::number(event.Number), dsvRound(event.Round),
                              QString::number(event.Session),
                              event.RelayCount > 1 ? QString::number(event.RelayCount) : QString(),
                              QString::number(event.Distance), dsvCode(Strokes, int(event.Stroke)),
                              techniqueCode(event, version), genderCode(event, version),
                              qualifyingNumber, qualifyingRound});
    }
}

QString entryTime(int hundredths) {
    if (hundredths == NoTime)
        hundredths = 0;
    const int seconds = hundredths / 100;
    return QStringLiteral("%1:%2:%3,%4")
        .arg(seconds / 3600, 2, 10, QChar(u'0'))
        .arg(seconds / 60 % 60, 2, 10, QChar(u'0'))
        .arg(seconds % 60, 2, 10, QChar(u'0'))
        .arg(hundredths % 100, 2, 10, QChar(u'0'));
}

QString registrationNumber(const std::string& regNr) {
    static const QRegularExpression form(QStringLiteral("^\\d{1,6}$"));
    const QString text = fromModel(regNr);
    return form.match(text).hasMatch() ? text : QStringLiteral("0");
}

void writeClub(TRecordWriter& out, const TMeldeAustausch& model, int version,
               QStringList* warnings) {
    QString clubId = fromModel(model.ClubId);
    int clubNumber = 0;
    if (!toNumber(clubId, clubNumber)) {
        if (warnings)
            warnings->append(
                QStringLiteral("Die Vereinskennzahl %1 ist keine Zahl; geschrieben wird 0")
                    .arg(quoted(clubId)));
        clubId = QStringLiteral("0");
    }
    // Associations 1-18 are the regional ones; 37 stands for a selection team.
    QString association = QStringLiteral("0");
    if (model.Verband >= 1 && model.Verband <= 18)
        association = QString::number(model.Verband);
    else if (model.Verband == 37)
        association = QStringLiteral("99");
    else if (model.Verband != 0 && warnings)
        warnings->append(QStringLiteral(
            "Der Verband des Vereins ist kein Landesschwimmverband; geschrieben wird 0"));
    if (Trim(model.EMail).empty() && warnings)
        warnings->append(QStringLiteral(
            "Die E-Mail-Adresse des Ansprechpartners fehlt; der Ausrichter erwartet sie"));
    QStringList club = {fromModel(model.ClubName), clubId, association, fromModel(model.Fina)};
    // Format 8 adds the club's consent to direct debit; none is given here.
    if (version >= 8)
        club << QStringLiteral("N");
    out.add("VEREIN", club);
    out.add("ANSPRECHPARTNER",
            {fromModel(model.Person), fromModel(model.Street), fromModel(model.Zip),
             fromModel(model.ClubPlace), fromModel(model.Fina), fromModel(model.Fon),
             fromModel(model.Fax), fromModel(model.EMail)});
}

// The officials, each followed by the sections he is offered for, then the trainers; Format 8
// adds each one's sex.
void writeStaff(TRecordWriter& out, const TEntryStaff& staff, int version) {
    int number = 0;
    for (const TEntryOfficial& official : staff.Officials) {
        const QString id = QString::number(++number);
        QStringList fields = {id, fromModel(official.Name), fromModel(official.Group)};
        if (version >= 8)
            fields << fromModel(official.Sex);
        out.add("KARIMELDUNG", fields);
        for (const TEntrySection& section : official.Sections)
            out.add("KARIABSCHNITT",
                    {id, QString::number(section.Session), fromModel(section.Position)});
    }
    number = 0;
    for (const TNamedTrainer& trainer : staff.Trainers) {
        QStringList fields = {QString::number(++number), fromModel(trainer.Name)};
        if (version >= 8)
            fields << fromModel(trainer.Sex);
        out.add("TRAINER", fields);
    }
}

} // namespace

int DsvEntriesVersion(const TInvitation& invitation) {
    if (invitation.DsvVersion >= 7)
        return invitation.DsvVersion;
    return CurrentYear() >= FirstYearOfFormat8 ? 8 : 7;
}

QByteArray WriteDsv7Entries(const TMeldeAustausch& model, const TInvitation& invitation,
                            QStringList* warnings, const TCompanion& companion) {
    const TClubEntries entries = CollectClubEntries(model, invitation, false, companion);
    const int version = DsvEntriesVersion(invitation);
    TRecordWriter out;
    out.add("FORMAT", {QStringLiteral("Vereinsmeldeliste"), QString::number(version)});
    out.add("ERZEUGER", {ProgramName, QStringLiteral(NTB_VERSION), ProgramContact});
    out.add("VERANSTALTUNG",
            {invitation.Name, invitation.City, poolCode(invitation), timing(invitation)});
    for (const TInvitationSession& session : invitation.Sessions) {
        // A start the host gave none for stays empty: 00:00 would pass for midnight.
        const QString start = session.Relative ? session.RelativeStart : session.DayTime;
        if (start.isEmpty() && warnings)
            warnings->append(QStringLiteral("Abschnitt %1 hat keine Anfangszeit; das Feld "
                                            "bleibt leer")
                                 .arg(session.Number));
        out.add("ABSCHNITT", {QString::number(session.Number),
                              session.Date.toString(QStringLiteral("dd.MM.yyyy")), start,
                              session.Relative ? QStringLiteral("J") : QString()});
    }
    writeEvents(out, invitation, version);
    writeClub(out, model, version, warnings);
    const TEntryStaff staff = CollectStaff(companion, invitation);
    writeStaff(out, staff, version);
    // The swimmers' trainer is the first one named for the competition.
    const QString trainer = staff.Trainers.empty() ? QString() : QStringLiteral("1");

    // Each swimmer is followed by its starts; the teams are numbered after the swimmers.
    int id = 0;
    for (const TEntrySwimmer& swimmer : entries.Swimmers) {
        const QString swimmerId = QString::number(++id);
        out.add("PNMELDUNG", {fromModel(swimmer.Name), registrationNumber(swimmer.RegNr), swimmerId,
                              swimmer.Female ? QStringLiteral("W") : QStringLiteral("M"),
                              QString::number(swimmer.BirthYear), QString(), trainer, QString(),
                              QString(), QString()});
        for (const TEntryStart& start : swimmer.Starts)
            out.add("STARTPN",
                    {swimmerId, QString::number(start.Event->Number), entryTime(start.Time)});
    }
    for (const TEntryRelay& relay : entries.Relays) {
        const TInvitationEvent& event = *relay.Event;
        // The birth years the exchange file admits, else the host's.
        int earliest = event.EarliestBirthYear;
        int latest = event.LatestBirthYear == 0 ? CurrentYear() : event.LatestBirthYear;
        if (const int at = model.FindEvent(event.Number * 1000); at > 0) {
            earliest = model.Event(at).EarliestBirthYear;
            latest = model.Event(at).LatestBirthYear;
        }
        const QString teamId = QString::number(++id);
        // A masters relay is classed by its summed ages ("AK;120+;;"), which no birth year says.
        if (relay.Class)
            out.add("STMELDUNG", {QString::number(relay.Team), teamId, QStringLiteral("AK"),
                                  QString::number(relay.Class->MinAge) + u'+', QString(),
                                  fromModel(relay.Name)});
        else
            out.add("STMELDUNG",
                    {QString::number(relay.Team), teamId, QStringLiteral("JG"),
                     QString::number(earliest), QString::number(latest), fromModel(relay.Name)});
        if (!relay.Class && !SummedAgeClasses(event).empty() && warnings)
            warnings->append(QStringLiteral("Wettkampf %1, Staffel %2: ohne passende Schwimmer "
                                            "fehlt die Altersklasse nach der Summe der Alter")
                                 .arg(event.Number)
                                 .arg(relay.Team));
        out.add("STARTST", {teamId, QString::number(event.Number), entryTime(relay.Time)});
        // The swimmers are numbered from 1 in the order of their PNMELDUNG lines.
        for (std::size_t leg = 0; leg < relay.Legs.size(); ++leg)
            out.add("STAFFELPERSON",
                    {teamId, QString::number(event.Number), QString::number(relay.Legs[leg] + 1),
                     QString::number(leg + 1)});
    }
    return out.finish();
}

QString EntriesFileStem(const TMeldeAustausch& model, const TInvitation& invitation) {
    QDate lastDay;
    for (const TInvitationSession& session : invitation.Sessions) {
        if (session.Date.isValid() && (!lastDay.isValid() || session.Date > lastDay))
            lastDay = session.Date;
    }
    if (!lastDay.isValid())
        lastDay = QDate::fromString(fromModel(model.Date2), QStringLiteral("dd.MM.yyyy"));
    const QString town = invitation.City.isEmpty() ? fromModel(model.Place) : invitation.City;
    // Umlauts spelt out, other accents dropped, then letters and digits only.
    auto part = [](QString text, int length) {
        static const std::pair<char16_t, const char16_t*> spelt[] = {
            {u'ä', u"ae"}, {u'ö', u"oe"}, {u'ü', u"ue"}, {u'Ä', u"Ae"},
            {u'Ö', u"Oe"}, {u'Ü', u"Ue"}, {u'ß', u"ss"}};
        for (const auto& [letter, replacement] : spelt)
            text.replace(QChar(letter), QString::fromUtf16(replacement));
        QString kept;
        for (const QChar c : text.normalized(QString::NormalizationForm_D)) {
            if (c.unicode() < 128 && c.isLetterOrNumber())
                kept += c;
        }
        return kept.left(length);
    };
    return QStringLiteral("%1-%2-%3-Me")
        .arg(lastDay.toString(QStringLiteral("yyyy-MM-dd")), part(town, 8),
             part(fromModel(model.ClubName), 16));
}
