// SPDX-License-Identifier: GPL-3.0-or-later
// The fee overview: amounts in whole cents, totals per section. The whole layout is checked
// against a hand-checked file in tst_cli_fees.
#include <QDateTime>
#include <QScopeGuard>
#include <QTest>

#include <climits>
#include <cmath>

#include "competitionbuilder.h"
#include "environment.h"
#include "feereport.h"

using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(TFlatFee)

namespace {

QStringList overview(const TMeldeAustausch& model) {
    QStringList lines;
    for (const std::string& line : BuildFeeLines(model, "14.06.2026"))
        lines << utf16(line);
    return lines;
}

// The lines from `heading` up to the next empty line.
QStringList block(const QStringList& lines, const QString& heading) {
    const qsizetype start = lines.indexOf(heading);
    if (start < 0)
        return {};
    const qsizetype end = lines.indexOf(QString(), start);
    return lines.mid(start, end < 0 ? -1 : end - start);
}

} // namespace

class TestFeeReport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PinCurrentYear(2026); }
    void cleanupTestCase() { PinCurrentYear(0); }

    void euroText_groupsThousandsAndWritesTwoDecimals_data() {
        QTest::addColumn<qlonglong>("cents");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing") << 0LL << u"0,00 EUR"_s;
        QTest::newRow("cents only") << 7LL << u"0,07 EUR"_s;
        QTest::newRow("below a thousand") << 99999LL << u"999,99 EUR"_s;
        QTest::newRow("a thousand") << 100000LL << u"1.000,00 EUR"_s;
        QTest::newRow("millions") << 123456789LL << u"1.234.567,89 EUR"_s;
        QTest::newRow("negative") << -123450LL << u"-1.234,50 EUR"_s;
        QTest::newRow("smallest") << LLONG_MIN << u"-92.233.720.368.547.758,08 EUR"_s;
    }
    void euroText_groupsThousandsAndWritesTwoDecimals() {
        QFETCH(qlonglong, cents);
        QFETCH(QString, text);
        QCOMPARE(utf16(EuroText(cents)), text);
    }

    // A fee of 5,00 EUR beyond the events' own, on two swimmers' and a relay team's starts in
    // sections 1 and 2 (21,00 EUR of event fees), on 14 June; late fees count once the
    // deadline (1 June, or 1 July) has passed. Charged -1: not listed among the fees.
    void flatFees_chargedAsOftenAsTheInvitationSays_data() {
        QTest::addColumn<TFlatFee>("fee");
        QTest::addColumn<int>("deadlineMonth");
        QTest::addColumn<int>("charged");
        QTest::newRow("club once") << TFlatFee{TFlatFeeKind::Club, 500} << 7 << 1;
        QTest::newRow("per swimmer") << TFlatFee{TFlatFeeKind::Swimmer, 500} << 7 << 2;
        QTest::newRow("each section") << TFlatFee{TFlatFeeKind::Section, 500} << 7 << 2;
        QTest::newRow("section 3, no start") << TFlatFee{TFlatFeeKind::Section, 500, 3} << 7 << 0;
        QTest::newRow("late, passed") << TFlatFee{TFlatFeeKind::LateIndividual, 500} << 6 << 3;
        QTest::newRow("late, ahead") << TFlatFee{TFlatFeeKind::LateRelay, 500} << 7 << -1;
        QTest::newRow("team, named") << TFlatFee{TFlatFeeKind::Team, 500} << 7 << -1;
    }
    void flatFees_chargedAsOftenAsTheInvitationSays() {
        QFETCH(TFlatFee, fee);
        QFETCH(int, deadlineMonth);
        QFETCH(int, charged);
        CompetitionBuilder c;
        c.event("1", u"50m Freistil"_s, 2.5, 1);
        c.event("2", u"4x50m Lagen"_s, 12, 1, true);
        c.event("3", u"100m Brust"_s, 4, 2);
        c.nomin(u"Adler, Eva"_s, 2010, "1");
        c.nomin(u"Adler, Eva"_s, 2010, "3");
        c.nomin(u"Berg, Uwe"_s, 2011, "1");
        c.nomin(u"Team, Blau"_s, 2010, "2");
        PinCurrentTime(QDateTime(QDate(2026, 6, 14), QTime(12, 0)).toSecsSinceEpoch());
        const auto unpin = qScopeGuard([] { PinCurrentTime(0); });
        QStringList lines;
        for (const std::string& line :
             BuildFeeLines(c.done(), "", {"EUR", {fee}, TDeadline{2026, deadlineMonth, 1}, {}}))
            lines << utf16(line);
        QCOMPARE(block(lines, u"Pauschalen und Nachmeldegeld"_s).size(), charged < 0 ? 0 : 3);
        const long long cents = 2100 + std::max(charged, 0) * 500;
        QVERIFY(lines.contains(u"Meldegeld gesamt: "_s + utf16(EuroText(cents))));
    }

    void feeCents_roundsOnceAndRefusesNonsense_data() {
        QTest::addColumn<double>("fee");
        QTest::addColumn<qlonglong>("cents");
        QTest::newRow("4.35") << 4.35 << 435LL; // 434.99999... times 100
        QTest::newRow("a third") << 10.0 / 3 << 333LL;
        QTest::newRow("half a cent") << 0.005 << 1LL;
        QTest::newRow("negative") << -1.5 << -150LL;
        QTest::newRow("above ten million") << 1.5e7 << 0LL;
        QTest::newRow("not a number") << std::nan("") << 0LL;
        QTest::newRow("infinite") << -HUGE_VAL << 0LL;
    }
    void feeCents_roundsOnceAndRefusesNonsense() {
        QFETCH(double, fee);
        QFETCH(qlonglong, cents);
        QCOMPARE(FeeCents(fee), cents);
    }

    // Sums of doubles drift (0,7 three times is 2,0999...); cents added as whole numbers do
    // not, and half a cent per start is rounded per start, not once at the end.
    void sums_areExactForManyStarts() {
        CompetitionBuilder c;
        c.event("1", u"50m Freistil"_s, 2.1);
        c.event("2", u"50m Brust"_s, 0.7);
        c.event("3", u"Kinderschwimmen"_s, 0.005);
        c.nomin(u"Adler, Eva"_s, 2010, "2");
        c.nomin(u"Adler, Eva"_s, 2010, "2");
        c.nomin(u"Adler, Eva"_s, 2010, "2");
        for (int i = 0; i < 1000; ++i) {
            c.nomin(u"Berg, Uwe"_s, 2011, "1");
            c.nomin(u"Kunz, Ida"_s, 2012, "3");
        }
        const QStringList lines = overview(c.done());
        const QStringList sums = lines.filter(u"   Summe"_s);
        QCOMPARE(sums.size(), 3);
        QVERIFY2(sums[0].endsWith(u" 2,10 EUR"_s), qPrintable(sums[0]));
        QVERIFY2(sums[1].endsWith(u" 2.100,00 EUR"_s), qPrintable(sums[1]));
        QVERIFY2(sums[2].endsWith(u" 10,00 EUR"_s), qPrintable(sums[2]));
        QCOMPARE(lines.last(), u"Meldegeld gesamt: 2.112,10 EUR"_s);
    }

    // Relay teams are no swimmers; entries for events the file lacks cost nothing; a
    // swimmer with starts in two sections counts in each and once in all.
    // Swimmers are told apart by the identity rule: one in two letter cases is one, a result
    // list's placeholder is no registration number, a number joins a misspelt name, one name
    // of both sexes without a number is two children.
    void swimmers_byTheIdentityRule() {
        CompetitionBuilder c;
        c.event("1", u"50m Freistil"_s, 2.5, 1);
        c.event("3", u"100m Brust"_s, 4, 1);
        c.nomin(u"Brandt, Lotte"_s, 2012, "1", NoTime, 1, u"0"_s);
        c.nomin(u"BRANDT, LOTTE"_s, 2012, "3", NoTime, 1, u"000000"_s);
        c.nomin(u"Groß, Ben"_s, 2011, "1", NoTime, 0, u"0900104"_s);
        c.nomin(u"Brandt, Lotte"_s, 2012, "3", NoTime, 0, u""_s);
        c.nomin(u"Grosz, Ben"_s, 2011, "3", NoTime, 0, u"900104"_s);
        const QStringList lines = overview(c.done());
        QCOMPARE(lines.filter(u", Jg. "_s),
                 (QStringList{u"Brandt, Lotte, Jg. 2012"_s, u"Brandt, Lotte, Jg. 2012"_s,
                              u"Grosz, Ben, Jg. 2011, Reg.-Nr. 900104"_s}));
        QVERIFY(block(lines, u"Summen"_s).contains(u"   Schwimmer    : 3"_s));
        QCOMPARE(lines.filter(u"   Wk "_s).size(), 5);
    }

    void totals_perSectionAndOverall() {
        CompetitionBuilder c;
        c.event("1", u"50m Freistil"_s, 2.5, 1);
        c.event("2", u"4x50m Lagen"_s, 12, 1, true);
        c.event("3", u"100m Brust"_s, 4, 2);
        c.event("4", u"25m Beine"_s, 1, 0);
        c.nomin(u"Adler, Eva"_s, 2010, "1");
        c.nomin(u"Adler, Eva"_s, 2010, "3");
        c.nomin(u"Berg, Uwe"_s, 2011, "1");
        c.nomin(u"Team, Blau"_s, 2010, "2");
        c.nomin(u"Lang, Tim"_s, 2012, "7");
        c.nomin(u"Kunz, Ida"_s, 2012, "4");
        const QStringList lines = overview(c.done());
        QCOMPARE(block(lines, u"Summen"_s), QStringList({
                                                u"Summen"_s,
                                                u"======"_s,
                                                u"Ohne Abschnitt"_s,
                                                u"   Schwimmer    : 1"_s,
                                                u"   Einzelstarts : 1   1,00 EUR"_s,
                                                u"   Staffelstarts: 0   0,00 EUR"_s,
                                                u"   Meldegeld    :     1,00 EUR"_s,
                                                u"Abschnitt 1"_s,
                                                u"   Schwimmer    : 2"_s,
                                                u"   Einzelstarts : 2   5,00 EUR"_s,
                                                u"   Staffelstarts: 1  12,00 EUR"_s,
                                                u"   Meldegeld    :    17,00 EUR"_s,
                                                u"Abschnitt 2"_s,
                                                u"   Schwimmer    : 1"_s,
                                                u"   Einzelstarts : 1   4,00 EUR"_s,
                                                u"   Staffelstarts: 0   0,00 EUR"_s,
                                                u"   Meldegeld    :     4,00 EUR"_s,
                                                u"Gesamt"_s,
                                                u"   Schwimmer    : 3"_s,
                                                u"   Einzelstarts : 4  10,00 EUR"_s,
                                                u"   Staffelstarts: 1  12,00 EUR"_s,
                                                u"   Meldegeld    :    22,00 EUR"_s,
                                            }));
        QCOMPARE(block(lines, u"Staffeln"_s).value(2), u"Team, Blau, Jg. 2010"_s);
        QCOMPARE(block(lines, u"Ohne Wettkampf"_s),
                 QStringList({u"Ohne Wettkampf"_s, u"=============="_s, u"Lang, Tim, Jg. 2012"_s,
                              u"   Wk 7                  :  ,  "_s}));
        QCOMPARE(lines.last(), u"Meldegeld gesamt: 22,00 EUR"_s);
    }
};

QTEST_GUILESS_MAIN(TestFeeReport)
#include "tst_feereport.moc"
