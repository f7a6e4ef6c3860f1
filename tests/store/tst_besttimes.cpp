// SPDX-License-Identifier: GPL-3.0-or-later
// Swims of result lists in the swimmer store: who they belong to, that each is kept once, and
// which time the entry dialog is offered.
#include <QDate>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "../shared/competitionbuilder.h"
#include "legacystore.h"
#include "swimmerstore.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr TDiscipline Freistil100{100, 1, TStroke::Freistil};
constexpr TDiscipline Freistil50{50, 1, TStroke::Freistil};
constexpr TDiscipline FreistilBeine50{50, 1, TStroke::Freistil, TTechnique::Kick};

TSwim swim(const QString& name, int year, std::uint8_t sex, const char* regNr, int time,
           const char* date = "2026-06-14", int laneLength = 25,
           TDiscipline discipline = Freistil100,
           const QString& competition = u"Bezirksmeisterschaft"_s) {
    const QDate day = QDate::fromString(QString::fromLatin1(date), Qt::ISODate);
    TSwim swim;
    swim.Name = ansi(name);
    swim.BirthYear = year;
    swim.Sex = sex;
    swim.RegNr = regNr;
    swim.Discipline = discipline;
    swim.LaneLength = laneLength;
    swim.Date = std::chrono::year_month_day(std::chrono::year(day.year()),
                                            std::chrono::month(unsigned(day.month())),
                                            std::chrono::day(unsigned(day.day())));
    swim.CompName = ansi(competition);
    swim.Hundredths = time;
    return swim;
}

QStringList lines(const std::vector<TBestTime>& times) {
    QStringList result;
    for (const TBestTime& best : times)
        result << utf16(best.Name + ';' + std::to_string(best.BirthYear) + ';' +
                        DisciplineName(best.Discipline) + ';' + std::to_string(best.LaneLength) +
                        ';' + HundredthsToTimeText(best.Time.Hundredths) + ';' +
                        best.Time.Date.toString(Qt::ISODate).toStdString() + ';' +
                        best.Time.CompName);
    return result;
}

QString describe(const std::optional<TStoredTime>& time) {
    if (!time)
        return u"keine"_s;
    return utf16(HundredthsToTimeText(time->Hundredths) + ' ' +
                 time->Date.toString(Qt::ISODate).toStdString() + ' ' + time->CompName) +
           (time->Kind == TTimeKind::Swum ? u" geschwommen"_s : u" gemeldet"_s);
}

// The schema of the first program version that kept a store, as it wrote it.
int userVersion(const QString& path) {
    int version = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"check"_s);
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(u"PRAGMA user_version"_s, db);
        if (query.next())
            version = query.value(0).toInt();
    }
    QSqlDatabase::removeDatabase(u"check"_s);
    return version;
}

} // namespace

class TestBestTimes : public QObject {
    Q_OBJECT
private slots:
    // Registration number first, else name, birth year and sex; unknown swimmers are added;
    // a swim listed twice and a file imported twice are kept once; too long a time is counted.
    void importSwims_matchesAddsAndKeepsEachSwimOnce() {
        QTemporaryDir folder;
        TSwimmerStore store(folder.path());
        TSwimmer hans{0, "Meier, Hans", 2008, 0, "4711"};
        TSwimmer ida{0, "Berg, Ida", 2009, 1, ""};
        TSwimmer ole{0, "Kern, Ole", 2010, 0, ""};
        for (TSwimmer* swimmer : {&hans, &ida, &ole})
            QVERIFY(store.SaveSwimmer(*swimmer));

        const std::vector<TSwim> swims = {
            swim(u"Meyer, Hans"_s, 2008, 0, "4711", 6532),
            swim(u"Meyer, Hans"_s, 2008, 0, "4711", 6532), // ranked in a second Wertung
            swim(u"berg, ida "_s, 2009, 1, "815", 7010),
            swim(u"Kern, Ole"_s, 2010, 1, "", 7500), // another sex: someone else
            swim(u"Neu, Nina"_s, 2012, 1, "", 8000),
            swim(u"Neu, Nina"_s, 2012, 1, "", 600000), // beyond 99:59,99
        };
        std::optional<TStoreCount> count = store.ImportSwims(swims);
        QVERIFY(count);
        QCOMPARE(count->NewSwimmers, 2);
        QCOMPARE(count->UpdatedSwimmers, 1);
        QCOMPARE(count->Times, 4);
        QCOMPARE(count->SkippedTimes, 1);
        count = store.ImportSwims(swims);
        QCOMPARE(count->NewSwimmers, 0);
        QCOMPARE(count->UpdatedSwimmers, 0);
        QCOMPARE(count->Times, 0);
        QCOMPARE(count->SkippedTimes, 1);

        QCOMPARE(store.AllSwimmers().size(), 5u);
        QCOMPARE(store.FindSwimmer("Berg, Ida", 2009, 1, "").Swimmer->RegNr, "815");
        QCOMPARE(
            lines(store.BestTimes()),
            (QStringList{
                u"Berg, Ida;2009;100m Freistil;25;01:10,10;2026-06-14;Bezirksmeisterschaft"_s,
                u"Kern, Ole;2010;100m Freistil;25;01:15,00;2026-06-14;Bezirksmeisterschaft"_s,
                u"Meier, Hans;2008;100m Freistil;25;01:05,32;2026-06-14;Bezirksmeisterschaft"_s,
                u"Neu, Nina;2012;100m Freistil;25;01:20,00;2026-06-14;Bezirksmeisterschaft"_s,
            }));
        QCOMPARE(lines(store.BestTimes(hans.Id)).size(), 1);
        QVERIFY(store.BestTimes(ole.Id).empty());
    }

    // The fastest of swum and entered times on the lane length asked for, within twelve months
    // up to the competition; kick apart from whole stroke; a swum time wins a tie.
    void bestTime_swumOrEnteredOnTheLaneWithinTwelveMonths() {
        QTemporaryDir folder;
        TSwimmerStore store(folder.path());
        for (const auto& [date, time] : {std::pair("01.03.2026", 6500), {"10.05.2026", 6410}}) {
            CompetitionBuilder entered;
            entered.model.CompName = ansi(u"Meldung "_s + QString::fromLatin1(date));
            entered.model.Date1 = date;
            entered.model.LaneLen = 25;
            entered.event("1", u"100m Freistil"_s);
            entered.nomin(u"Lang, Tim"_s, 2007, "1", time);
            QVERIFY(store.RememberCompetition(entered.done()));
        }
        QVERIFY(store.ImportSwims({
            swim(u"Lang, Tim"_s, 2007, 0, "", 6532, "2026-06-14"),
            swim(u"Lang, Tim"_s, 2007, 0, "", 6410, "2026-05-01", 25, Freistil100,
                 u"Frühjahrsmeeting"_s),
            swim(u"Lang, Tim"_s, 2007, 0, "", 6100, "2025-04-01", 25, Freistil100, u"Osterpokal"_s),
            swim(u"Lang, Tim"_s, 2007, 0, "", 6000, "2026-05-01", 50, Freistil100,
                 u"Langbahnmeeting"_s),
            swim(u"Lang, Tim"_s, 2007, 0, "", 4000, "2026-05-01", 25, FreistilBeine50),
        }));
        const qint64 tim = store.FindSwimmer("Lang, Tim", 2007, 0, "").Swimmer->Id;
        const auto best = [&](TDiscipline discipline, int lane, QDate until) {
            return describe(store.BestTime(tim, discipline, lane, until));
        };
        QCOMPARE(best(Freistil100, 25, QDate(2026, 6, 20)),
                 u"01:04,10 2026-05-01 Frühjahrsmeeting geschwommen"_s);
        QCOMPARE(best(Freistil100, 50, QDate(2026, 6, 20)),
                 u"01:00,00 2026-05-01 Langbahnmeeting geschwommen"_s);
        QCOMPARE(best(Freistil100, 25, QDate(2026, 4, 30)),
                 u"01:05,00 2026-03-01 Meldung 01.03.2026 gemeldet"_s);
        QCOMPARE(best(Freistil100, 25, QDate(2026, 4, 1)),
                 u"01:01,00 2025-04-01 Osterpokal geschwommen"_s);
        QCOMPARE(best(Freistil100, 20, QDate(2026, 6, 20)), u"keine"_s);
        QCOMPARE(best(Freistil50, 25, QDate(2026, 6, 20)), u"keine"_s);
        QCOMPARE(best(FreistilBeine50, 25, QDate(2026, 6, 20)),
                 u"00:40,00 2026-05-01 Bezirksmeisterschaft geschwommen"_s);
    }

    // A store of the first version keeps its swimmers and entry times and takes swims.
    void versionOneStore_migrated() {
        QTemporaryDir folder;
        const QString path = folder.filePath(u"ntbmelde.sqlite"_s);
        createVersionOneStore(path);
        {
            TSwimmerStore store(folder.path());
            QVERIFY2(store.Available(), qPrintable(store.Problem()));
            QCOMPARE(describe(store.BestTime(7, Freistil100, 25, QDate(2026, 6, 1))),
                     u"01:05,00 2026-03-01 Frühjahrsfest gemeldet"_s);
            const auto count =
                store.ImportSwims({swim(u"Lang, Tim"_s, 2007, 0, "", 6300, "2026-05-01")});
            QVERIFY(count);
            QCOMPARE(count->NewSwimmers, 0);
            QCOMPARE(count->Times, 1);
            QCOMPARE(describe(store.BestTime(7, Freistil100, 25, QDate(2026, 6, 1))),
                     u"01:03,00 2026-05-01 Bezirksmeisterschaft geschwommen"_s);
        }
        QCOMPARE(userVersion(path), 5);
    }

    // Placeholder numbers become none and names lose a trailing comma; records that now count
    // as one swimmer stay apart until the user merges them, which keeps every time.
    void versionOneStore_placeholdersMendedDuplicatesListedThenMerged() {
        QTemporaryDir folder;
        createVersionOneStore(folder.filePath(u"ntbmelde.sqlite"_s));
        TSwimmerStore store(folder.path());
        QVERIFY2(store.Available(), qPrintable(store.Problem()));
        QStringList swimmers;
        for (const TSwimmer& swimmer : store.AllSwimmers())
            swimmers << u"%1 %2 %3"_s.arg(QString::fromStdString(AnsiToUtf8(swimmer.Name)))
                            .arg(swimmer.Id)
                            .arg(QString::fromStdString(swimmer.RegNr));
        QCOMPARE(swimmers, (QStringList{u"Brandt, Lotte 8 "_s, u"BRANDT, LOTTE 9 "_s,
                                        u"Lang, Tim 7 "_s, u"Wolf 10 "_s}));
        auto duplicates = store.Duplicates();
        QCOMPARE(duplicates.size(), 1u);
        QCOMPARE(duplicates[0].size(), 2u);
        QCOMPARE(duplicates[0][0].Swimmer.Id, 8);
        QCOMPARE(duplicates[0][0].EnteredTimes, 1);
        QCOMPARE(duplicates[0][1].Swimmer.Id, 9);
        QVERIFY(store.ImportSwims({swim(u"Brandt, Lotte"_s, 2012, 1, "", 4700, "2026-05-01", 25,
                                        {50, 1, TStroke::Brust})}));

        QVERIFY(store.MergeSwimmers(9, 8));
        QVERIFY(store.Duplicates().empty());
        QCOMPARE(store.AllSwimmers().size(), 3u);
        QCOMPARE(describe(store.BestTime(9, {50, 1, TStroke::Brust}, 25, QDate(2026, 6, 1))),
                 u"00:47,00 2026-05-01 Bezirksmeisterschaft geschwommen"_s);
        QCOMPARE(describe(store.BestTime(9, {50, 1, TStroke::Brust}, 25, QDate(2026, 4, 1))),
                 u"00:48,00 2026-03-01 Frühjahrsfest gemeldet"_s);
    }
};

QTEST_GUILESS_MAIN(TestBestTimes)
#include "tst_besttimes.moc"
