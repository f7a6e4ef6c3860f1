// SPDX-License-Identifier: GPL-3.0-or-later
// The swimmer store filled from competitions as a club enters them season after season:
// who counts as the same swimmer, which times are kept, what completion offers.
#include <QDate>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "../shared/competitionbuilder.h"
#include "swimmerfixture.h"
#include "swimmerstore.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr TDiscipline Freistil100{100, 1, TStroke::Freistil};
constexpr TDiscipline Brust50{50, 1, TStroke::Brust};

// A short-course competition with individual events, a relay and an event without a
// discipline in its name.
CompetitionBuilder competition(const QString& name, const char* date, int laneLength = 25) {
    CompetitionBuilder builder;
    builder.model.CompName = ansi(name);
    builder.model.Date1 = date;
    builder.model.LaneLen = laneLength;
    builder.event("1", u"100m Freistil"_s);
    builder.event("2", u"50m Brust"_s);
    builder.event("3", u"4x50m Lagen"_s, 0, 1, true);
    builder.event("4", u"Kinderschwimmen"_s);
    return builder;
}

std::vector<std::string> names(const std::vector<TSwimmer>& swimmers) {
    std::vector<std::string> result;
    for (const TSwimmer& swimmer : swimmers)
        result.push_back(AnsiToUtf8(swimmer.Name));
    return result;
}

} // namespace

class TestSwimmerStore : public QObject {
    Q_OBJECT
private slots:
    void init() {
        folderOwner = std::make_unique<QTemporaryDir>();
        QVERIFY(folder().isValid());
    }

    // Relays name a team, an event without distance and stroke records no time, a missing or
    // invalid time records none; every individual swimmer is stored once however often entered.
    void rememberCompetition_storesIndividualSwimmersAndTheirTimes() {
        CompetitionBuilder entered = competition(u"Stadtmeisterschaft"_s, "14.06.2026");
        entered.nomin(u"Meier, Hans"_s, 2008, "1", 6512, 0, u"DE-4711"_s);
        entered.nomin(u"Meier, Hans"_s, 2008, "2", NoTime, 0, u"DE-4711"_s);
        entered.nomin(u"Özdemir, Ülkü"_s, 2010, "2", 4233, 1);
        entered.nomin(u"Özdemir, Ülkü"_s, 2010, "1", -1, 1);
        entered.nomin(u"Özdemir, Ülkü"_s, 2010, "4", 9000, 1);
        entered.nomin(u"SV Neustadt I"_s, 0, "3", 15000, 2);
        entered.nomin(u"Kern, Ole"_s, 2009, "9", 7000); // no such event
        TSwimmerStore store(folder().path());
        QVERIFY2(store.Available(), qPrintable(store.Problem()));

        const std::optional<TStoreCount> count = store.RememberCompetition(entered.done());
        QVERIFY(count);
        QCOMPARE(count->NewSwimmers, 2);
        QCOMPARE(count->UpdatedSwimmers, 0);
        QCOMPARE(count->Times, 2);
        const std::vector<TSwimmer> all = store.AllSwimmers();
        QCOMPARE(names(all), (std::vector<std::string>{"Meier, Hans", "Özdemir, Ülkü"}));
        QCOMPARE(all[0].RegNr, "DE-4711");
        QCOMPARE(all[1].Sex, 1);
        QCOMPARE(all[1].LastEntered, QDate(2026, 6, 14));
        QVERIFY(all[1].Active);

        const auto time = store.BestTime(all[0].Id, Freistil100, 25, QDate(2026, 7, 1));
        QVERIFY(time);
        QCOMPARE(time->Hundredths, 6512);
        QCOMPARE(time->Date, QDate(2026, 6, 14));
        QCOMPARE(time->CompName, "Stadtmeisterschaft");
        QVERIFY(!store.BestTime(all[0].Id, Brust50, 25, QDate(2026, 7, 1)));
        QCOMPARE(store.BestTime(all[1].Id, Brust50, 25, QDate(2026, 7, 1))->Hundredths, 4233);
        QVERIFY(!store.BestTime(all[1].Id, Freistil100, 25, QDate(2026, 7, 1)));
        QVERIFY(!store.BestTime(all[1].Id, {50, 4, TStroke::Lagen}, 25, QDate(2026, 7, 1)));
    }

    // The store finds by the identity rule; a number of another person is named, never taken.
    void findSwimmer_followsTheIdentityRule_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("sex");
        QTest::addColumn<QByteArray>("regNr");
        QTest::addColumn<QString>("found");  // "name year" of the stored record, or empty
        QTest::addColumn<QString>("holder"); // who else holds the number, or empty
        QTest::newRow("number, neither name nor year")
            << "Meyer, Hans"_ba << 2009 << 0 << "DE-4711"_ba << u""_s << u"Meier, Hans 2008"_s;
        QTest::newRow("number and year")
            << "Meyer, Hans"_ba << 2008 << 0 << "DE-4711"_ba << u"Meier, Hans 2008"_s << u""_s;
        QTest::newRow("number and name, other sex")
            << "  mEIER, hans "_ba << 2008 << 1 << "DE-4711"_ba << u"Meier, Hans 2008"_s << u""_s;
        QTest::newRow("name, year, sex")
            << "meier, hans"_ba << 1975 << 0 << ""_ba << u"Meier, Hans 1975"_s << u""_s;
        QTest::newRow("without number")
            << "Meier, Hans"_ba << 2008 << 0 << ""_ba << u"Meier, Hans 2008"_s << u""_s;
        QTest::newRow("number of another")
            << "Klein, Anna"_ba << 2012 << 1 << "900104"_ba << u""_s << u"Groß, Ben 2011"_s;
        QTest::newRow("leading zero")
            << "Gro\xDF, Ben"_ba << 2011 << 0 << " 0900104"_ba << u"Groß, Ben 2011"_s << u""_s;
        QTest::newRow("placeholder")
            << "Gro\xDF, Ben"_ba << 2011 << 0 << "000000"_ba << u"Groß, Ben 2011"_s << u""_s;
        QTest::newRow("other year") << "Meier, Hans"_ba << 1976 << 0 << ""_ba << u""_s << u""_s;
        QTest::newRow("surname only, trailing comma")
            << "zand,"_ba << 2014 << 1 << "0"_ba << u"Zand 2014"_s << u""_s;
        QTest::newRow("surname only, other sex")
            << "Zand"_ba << 2014 << 0 << ""_ba << u""_s << u""_s;
    }

    void findSwimmer_followsTheIdentityRule() {
        QFETCH(QByteArray, name);
        QFETCH(int, year);
        QFETCH(int, sex);
        QFETCH(QByteArray, regNr);
        QFETCH(QString, found);
        QFETCH(QString, holder);
        TSwimmerStore store(folder().path());
        QCOMPARE(store
                     .AddSwimmers({swimmer("Meier, Hans", 2008, 0, "DE-4711"),
                                   swimmer("Meier, Hans", 1975, 0, ""),
                                   swimmer("Gro\xDF, Ben", 2011, 0, "900104"),
                                   swimmer("Zand", 2014, 1, "")})
                     ->NewSwimmers,
                 4);
        const auto shown = [](const std::optional<TSwimmer>& swimmer) {
            return swimmer ? QString::fromStdString(AnsiToUtf8(swimmer->Name)) + u' ' +
                                 QString::number(swimmer->BirthYear)
                           : QString();
        };
        const TSwimmerMatch match = store.FindSwimmer(
            name.toStdString(), year, static_cast<std::uint8_t>(sex), regNr.toStdString());
        QCOMPARE(shown(match.Swimmer), found);
        QCOMPARE(shown(match.RegNrHolder), holder);
    }

    // A later competition brings the registration number; an empty number never wipes a stored
    // one; an older file (found by its number, whatever sex it gives) changes nothing but adds
    // its times.
    void rememberCompetition_newerEntryUpdatesSwimmer() {
        TSwimmerStore store(folder().path());
        CompetitionBuilder spring = competition(u"Frühjahrsschwimmen"_s, "15.03.2026");
        spring.nomin(u"Kranz, Lea"_s, 2012, "1", 7000, 1);
        QCOMPARE(store.RememberCompetition(spring.done())->NewSwimmers, 1);

        CompetitionBuilder summer = competition(u"Sommerfest"_s, "20.07.2026");
        summer.nomin(u"KRANZ, LEA"_s, 2012, "1", 6900, 1, u"DE-1234"_s);
        const auto summerCount = store.RememberCompetition(summer.done());
        QCOMPARE(summerCount->NewSwimmers, 0);
        QCOMPARE(summerCount->UpdatedSwimmers, 1);

        CompetitionBuilder autumn = competition(u"Herbstpokal"_s, "10.10.2026");
        autumn.nomin(u"Kranz, Lea"_s, 2012, "2", 4500, 1);
        QCOMPARE(store.RememberCompetition(autumn.done())->UpdatedSwimmers, 1); // date only

        CompetitionBuilder old = competition(u"Wintercup"_s, "05.12.2025");
        old.nomin(u"Kranz, Lea"_s, 2012, "1", 6800, 0, u"DE-1234"_s);
        const auto oldCount = store.RememberCompetition(old.done());
        QCOMPARE(oldCount->UpdatedSwimmers, 0);
        QCOMPARE(oldCount->Times, 1);

        const std::vector<TSwimmer> all = store.AllSwimmers();
        QCOMPARE(all.size(), 1u);
        QCOMPARE(all[0].Name, "Kranz, Lea"); // as first entered
        QCOMPARE(all[0].Sex, 1);
        QCOMPARE(all[0].RegNr, "DE-1234");
        QCOMPARE(all[0].LastEntered, QDate(2026, 10, 10));
        QCOMPARE(store.BestTime(all[0].Id, Freistil100, 25, QDate(2026, 10, 10))->Hundredths, 6800);
    }

    // Saving the same competition again replaces its times, also dropping deleted entries.
    void rememberSameCompetitionTwice_replacesItsTimes() {
        TSwimmerStore store(folder().path());
        CompetitionBuilder entered = competition(u"Stadtmeisterschaft"_s, "14.06.2026");
        entered.nomin(u"Meier, Hans"_s, 2008, "1", 6512);
        entered.nomin(u"Berg, Ida"_s, 2009, "2", 4400, 1);
        QCOMPARE(store.RememberCompetition(entered.done())->Times, 2);
        entered.model.DeleteNomin(2);
        TNominRecord corrected = entered.model.GetNomin(1);
        corrected.Time = 6600;
        entered.model.SetNomin(1, corrected);
        const auto again = store.RememberCompetition(entered.model);
        QCOMPARE(again->NewSwimmers, 0);
        QCOMPARE(again->UpdatedSwimmers, 0);
        QCOMPARE(again->Times, 1);

        const qint64 hans = store.FindSwimmer("Meier, Hans", 2008, 0, "").Swimmer->Id;
        QCOMPARE(store.BestTime(hans, Freistil100, 25, QDate(2026, 6, 14))->Hundredths, 6600);
        const qint64 ida = store.FindSwimmer("Berg, Ida", 2009, 1, "").Swimmer->Id;
        QVERIFY(!store.BestTime(ida, Brust50, 25, QDate(2026, 6, 14)));
    }

    // The fastest time of the discipline on that lane length, dated within twelve months.
    void bestTime_perDisciplineLaneAndTwelveMonths() {
        TSwimmerStore store(folder().path());
        const struct {
            const char* date;
            int laneLength;
            const char* event;
            int time;
        } starts[] = {
            {"01.07.2025", 25, "1", 6000}, // fastest, but a year and a day before
            {"02.07.2025", 25, "1", 6300}, // exactly twelve months before
            {"01.03.2026", 50, "1", 6100}, // long course
            {"01.04.2026", 25, "2", 4000}, // other discipline
            {"01.05.2026", 25, "1", 6400},
            {"03.07.2026", 25, "1", 6200}, // after the day asked about
        };
        for (const auto& start : starts) {
            CompetitionBuilder entered =
                competition(QString::fromLatin1(start.date), start.date, start.laneLength);
            entered.nomin(u"Lang, Tim"_s, 2007, start.event, start.time);
            QVERIFY(store.RememberCompetition(entered.done()));
        }
        const qint64 tim = store.FindSwimmer("Lang, Tim", 2007, 0, "").Swimmer->Id;
        const auto shortCourse = store.BestTime(tim, Freistil100, 25, QDate(2026, 7, 2));
        QCOMPARE(shortCourse->Hundredths, 6300);
        QCOMPARE(shortCourse->Date, QDate(2025, 7, 2));
        QCOMPARE(store.BestTime(tim, Freistil100, 50, QDate(2026, 7, 2))->Hundredths, 6100);
        QCOMPARE(store.BestTime(tim, Freistil100, 25, QDate(2026, 7, 3))->Hundredths, 6200);
        QVERIFY(!store.BestTime(tim, Freistil100, 50, QDate(2027, 3, 2)));
        QVERIFY(!store.BestTime(tim, Freistil100, 25, QDate(2025, 6, 30)));
    }

    // Surname or first name, letter case aside, umlauts included; inactive swimmers never;
    // surnames first, by name then year, then first names; at most the limit.
    void complete_offersActiveSwimmersByPrefix() {
        TSwimmerStore store(folder().path());
        std::vector<TSwimmer> swimmers = {
            swimmer("Meier, Hans", 2008, 0, "DE-4711"), swimmer("Meier, Hans", 1999, 0, ""),
            swimmer("Hansen, Greta", 2010, 1, ""),      swimmer("M\xFCller, Anna", 2011, 1, ""),
            swimmer("Mai, Olga", 2012, 1, "", false),   swimmer("Berg, Hanna-Marie", 2009, 1, ""),
            swimmer("Lehmann, Ben", 2010, 0, ""),
        };
        QCOMPARE(store.AddSwimmers(swimmers)->NewSwimmers, 7);
        QCOMPARE(names(store.Complete("ha")),
                 (std::vector<std::string>{"Hansen, Greta", "Berg, Hanna-Marie", "Meier, Hans",
                                           "Meier, Hans"}));
        const std::vector<TSwimmer> meier = store.Complete("  MEI");
        QCOMPARE(meier.size(), 2u);
        QCOMPARE(meier[0].BirthYear, 1999);
        QCOMPARE(meier[1].RegNr, "DE-4711");
        QCOMPARE(names(store.Complete("m")),
                 (std::vector<std::string>{"Meier, Hans", "Meier, Hans", "Müller, Anna"}));
        QCOMPARE(names(store.Complete("M\xDC")), (std::vector<std::string>{"Müller, Anna"}));
        QCOMPARE(names(store.Complete("meier, h")).size(), 2u);
        QVERIFY(store.Complete("mann").empty()); // no match inside a name
        QCOMPARE(store.Complete("", 3).size(), 3u);
    }

    // Changes made in the swimmer window: edit, deactivate, delete with the times.
    void saveAndDeleteSwimmer() {
        TSwimmerStore store(folder().path());
        CompetitionBuilder entered = competition(u"Stadtmeisterschaft"_s, "14.06.2026");
        entered.nomin(u"Meier, Hans"_s, 2008, "1", 6512);
        QVERIFY(store.RememberCompetition(entered.done()));
        TSwimmer hans = store.AllSwimmers().at(0);
        hans.Name = "Maier, Hans";
        hans.Active = false;
        QVERIFY(store.SaveSwimmer(hans));
        QVERIFY(store.Complete("Ma").empty());
        QCOMPARE(store.FindSwimmer("MAIER, HANS", 2008, 0, "").Swimmer->Id, hans.Id);
        QVERIFY(!store.FindSwimmer("Meier, Hans", 2008, 0, "").Swimmer);
        QVERIFY(store.BestTime(hans.Id, Freistil100, 25, QDate(2026, 6, 14)));

        QVERIFY(store.DeleteSwimmer(hans.Id));
        QVERIFY(store.AllSwimmers().empty());
        QVERIFY(!store.BestTime(hans.Id, Freistil100, 25, QDate(2026, 6, 14)));
    }

    // The club block of the latest competition that had a club name; an older file imported
    // later or a file without club keeps it.
    void lastClubBlock_ofTheLatestCompetitionWithClub() {
        TSwimmerStore store(folder().path());
        QVERIFY(!store.LastClubBlock());
        CompetitionBuilder summer = competition(u"Sommerfest"_s, "20.07.2026");
        summer.model.ClubName = ansi(u"SV Blau-Weiß Neustadt"_s);
        summer.model.Verband = 7;
        summer.model.Person = ansi(u"Erika Beispiel"_s);
        summer.model.EMail = "meldung@example.org";
        QVERIFY(store.RememberCompetition(summer.done()));
        CompetitionBuilder older = competition(u"Wintercup"_s, "05.12.2025");
        older.model.ClubName = "SV Neustadt";
        QVERIFY(store.RememberCompetition(older.done()));
        QVERIFY(store.RememberCompetition(competition(u"Ohne Verein"_s, "01.08.2026").done()));

        TMeldeAustausch model;
        store.LastClubBlock()->ApplyTo(model);
        QCOMPARE(TClubBlock::Of(model).ClubName, ansi(u"SV Blau-Weiß Neustadt"_s));
        QCOMPARE(model.Verband, 7);
        QCOMPARE(model.Person, ansi(u"Erika Beispiel"_s));
        QCOMPARE(model.EMail, "meldung@example.org");
    }

    // A host's file without a readable first date dates its entries today.
    void competitionWithoutDate_datedToday() {
        TSwimmerStore store(folder().path());
        CompetitionBuilder entered = competition(u"Vereinsmeisterschaft"_s, "  .  .    ");
        entered.nomin(u"Meier, Hans"_s, 2008, "1", 6512);
        const QDate before = QDate::currentDate();
        QVERIFY(store.RememberCompetition(entered.done()));
        const TSwimmer hans = store.AllSwimmers().at(0);
        QVERIFY(hans.LastEntered >= before && hans.LastEntered <= QDate::currentDate());
        QCOMPARE(store.BestTime(hans.Id, Freistil100, 25, hans.LastEntered)->Date,
                 hans.LastEntered);
    }

    // Several stores on one file see each other's changes; a second open does not migrate again.
    void twoStoresOnOneFile_shareTheirContent() {
        TSwimmerStore first(folder().path());
        TSwimmerStore second(folder().path());
        QVERIFY(first.Available() && second.Available());
        TSwimmer ida = swimmer("Berg, Ida", 2009, 1, "");
        QVERIFY(first.SaveSwimmer(ida));
        QCOMPARE(second.AllSwimmers().size(), 1u);
        QCOMPARE(first.FilePath(), folder().filePath(u"ntbmelde.sqlite"_s));
    }

private:
    // A fresh folder for each test.
    const QTemporaryDir& folder() const { return *folderOwner; }
    std::unique_ptr<QTemporaryDir> folderOwner;
};

QTEST_GUILESS_MAIN(TestSwimmerStore)
#include "tst_swimmerstore.moc"
