// SPDX-License-Identifier: GPL-3.0-or-later
// The warnings about entries that the entry dialog accepts: each kind where it applies, and
// its absence where a careless check would raise it. (Their order and the relay team twice in
// one event: tst_cli_fees.)
#include <QTest>

#include "competitionbuilder.h"
#include "environment.h"
#include "warnings.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// "1,3: <text>" per warning.
QStringList warningsOf(const TMeldeAustausch& model) {
    QStringList result;
    for (const TNominWarning& warning : FindNominWarnings(model)) {
        QStringList positions;
        for (int position : warning.Nomins)
            positions << QString::number(position);
        result << positions.join(u',') + u": "_s + utf16(warning.Text);
    }
    return result;
}

// A 50 m and a 100 m event, a relay, an event whose name gives no distance, and a women's
// event for the years 2008 to 2014.
CompetitionBuilder competition() {
    CompetitionBuilder c;
    c.event("1", u"50m Freistil"_s);
    c.event("2", u"100m Brust"_s);
    c.event("3", u"4x50m Lagen"_s, 0, 1, true);
    c.event("4", u"Kinderschwimmen"_s);
    TEventRecord& women = c.event("5", u"200m Lagen weiblich"_s);
    women.Sex = 1;
    women.EarliestBirthYear = 2008;
    women.LatestBirthYear = 2014;
    return c;
}

} // namespace

class TestWarnings : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PinCurrentYear(2026); }
    void cleanupTestCase() { PinCurrentYear(0); }

    // One swimmer in many events, two swimmers in one event, a relay team, plausible times,
    // a registration number given only once.
    void fittingEntries_giveNoWarnings() {
        CompetitionBuilder c = competition();
        c.nomin(u"Brandt, Lotte"_s, 2011, "1", 3500, 1, u"R-7"_s);
        c.nomin(u"Brandt, Lotte"_s, 2011, "2", 9000, 1);
        c.nomin(u"Brandt, Lotte"_s, 2011, "5", 18000, 1, u"R-7"_s);
        c.nomin(u"Vogt, Ole"_s, 2011, "1", 3600);
        c.nomin(u"SV Seestadt, Staffel 1"_s, 2010, "3", 16000, 2);
        c.nomin(u"Vogt, Ole"_s, 2011, "4", 100);
        QCOMPARE(warningsOf(c.done()), QStringList());
    }

    // Letter case (umlauts too) does not make another swimmer; another birth year does, and
    // is a warning of its own.
    void sameSwimmerTwiceInOneEvent_isOneWarningForAllHisEntries() {
        CompetitionBuilder c = competition();
        c.nomin(u"Müller, Eva"_s, 2010, "2");
        c.nomin(u"Vogt, Ole"_s, 2011, "2");
        c.nomin(u"MÜLLER, EVA"_s, 2010, "2");
        c.nomin(u"müller, eva"_s, 2010, "2");
        c.nomin(u"Müller, Eva"_s, 2010, "1");
        c.nomin(u"Vogt, Ole"_s, 2012, "2");
        QCOMPARE(warningsOf(c.done()),
                 QStringList({u"1,3,4: Müller, Eva ist für Wettkampf 2 schon gemeldet"_s,
                              u"2,6: Vogt, Ole ist mit verschiedenen Jahrgängen gemeldet: 2011, "
                              u"2012"_s}));
    }

    // Relay teams vary in year and sex by event; an empty registration number differs from
    // none; a number with blanks around it is the same number.
    void oneNameWithDifferentDetails_isWarnedPerDetail() {
        CompetitionBuilder c = competition();
        c.nomin(u"Reh, Mara"_s, 2009, "1", NoTime, 1, u"R-1"_s);
        c.nomin(u"Reh, Mara"_s, 2010, "2", NoTime, 0, u" R-1 "_s);
        c.nomin(u"Reh, Mara"_s, 2009, "4", NoTime, 1);
        c.nomin(u"Reh, Mara"_s, 2009, "5", NoTime, 1, u"R-2"_s);
        c.nomin(u"Team, Blau"_s, 2010, "3", NoTime, 2);
        c.nomin(u"Team, Blau"_s, 2011, "3", NoTime, 0);
        c.nomin(u"Sommer, Ida"_s, 2010, "1", NoTime, 1);
        c.nomin(u"Sommer, Ida"_s, 2010, "2", NoTime, 1, u"R-3"_s);
        QCOMPARE(warningsOf(c.done()),
                 QStringList({
                     u"1,2,3,4: Reh, Mara ist mit verschiedenen Jahrgängen gemeldet: 2009, 2010"_s,
                     u"1,2,3,4: Reh, Mara ist mit verschiedenen Geschlechtern gemeldet: "
                     u"männlich, weiblich"_s,
                     u"1,2,3,4: Reh, Mara ist mit verschiedenen Reg.-Nummern gemeldet: R-1, R-2"_s,
                 }));
    }

    // Faster than 20 s or slower than 4 min per 50 m; a relay's distance is the team's.
    void entryTime_outsideTheLimitsForTheDistance_data() {
        QTest::addColumn<QByteArray>("event");
        QTest::addColumn<int>("time");
        QTest::addColumn<QString>("verdict");
        QTest::newRow("50 m in 20 s") << QByteArray("1") << 2000 << QString();
        QTest::newRow("50 m in 19,99 s")
            << QByteArray("1") << 1999 << u"00:19,99 in Wettkampf 1 ist für 50 m zu schnell"_s;
        QTest::newRow("50 m in 4 min") << QByteArray("1") << 24000 << QString();
        QTest::newRow("50 m in 4:00,01")
            << QByteArray("1") << 24001 << u"04:00,01 in Wettkampf 1 ist für 50 m zu langsam"_s;
        QTest::newRow("100 m in 39,99 s")
            << QByteArray("2") << 3999 << u"00:39,99 in Wettkampf 2 ist für 100 m zu schnell"_s;
        QTest::newRow("100 m in 7 min") << QByteArray("2") << 42000 << QString();
        QTest::newRow("4x50 m in 1:19,99")
            << QByteArray("3") << 7999 << u"01:19,99 in Wettkampf 3 ist für 4x50 m zu schnell"_s;
        QTest::newRow("4x50 m in 15 min") << QByteArray("3") << 90000 << QString();
        QTest::newRow("no distance in the name") << QByteArray("4") << 1 << QString();
        QTest::newRow("no entry time") << QByteArray("1") << NoTime << QString();
    }
    void entryTime_outsideTheLimitsForTheDistance() {
        QFETCH(QByteArray, event);
        QFETCH(int, time);
        QFETCH(QString, verdict);
        CompetitionBuilder c = competition();
        c.nomin(u"Adler, Eva"_s, 2010, event.constData(), time, 2);
        QCOMPARE(warningsOf(c.done()), verdict.isEmpty()
                                           ? QStringList()
                                           : QStringList(u"1: Adler, Eva: Meldezeit "_s + verdict));
    }

    // Only a file edited elsewhere holds such entries: the rule they break is named, and
    // their entry time no longer matters. An entry for an unknown event is a refusal only.
    void fileEntryBreakingItsEventsRules_isWarned() {
        CompetitionBuilder c = competition();
        c.nomin(u"Kunz, Ida"_s, 2006, "5", 1, 1);
        c.nomin(u"Berg, Uwe"_s, 2010, "5", 18000, 0);
        c.nomin(u"Lang, Tim"_s, 2010, "9", 1, 0);
        c.nomin(u"Weiß, Jana"_s, 2014, "5", 18000, 1);
        QCOMPARE(warningsOf(c.done()),
                 QStringList({u"1: Kunz, Ida, Wettkampf 5: In diesem Wettkampf sind nur "
                              u"Teilnehmer der Jahrgänge 2008 bis 2014 erlaubt"_s,
                              u"2: Berg, Uwe, Wettkampf 5: Falsches Geschlecht für diesen "
                              u"Wettkampf"_s}));
    }
};

QTEST_GUILESS_MAIN(TestWarnings)
#include "tst_warnings.moc"
