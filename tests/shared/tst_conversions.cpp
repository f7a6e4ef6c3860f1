// SPDX-License-Identifier: GPL-3.0-or-later
// Conversions between texts and values.
#include <QTest>

#include "conversions.h"
#include "environment.h"

class TestConversions : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PinCurrentYear(2026); }

    void padRight_fillsOrCuts() {
        QCOMPARE(PadRight(std::string(60, 'x'), 49), std::string(49, 'x'));
        QCOMPARE(PadRight("", 49), std::string(49, ' '));
        QCOMPARE(PadRight("abc", 5), std::string("abc  "));
        QCOMPARE(PadRight("abc", 0), std::string());
        QCOMPARE(PadRight("abc", -3), std::string());
        QCOMPARE(PadRight("12a5", 3), std::string("12a"));
    }

    void expandYear_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("21 is recent") << "21"
                                      << "2021";
        QTest::newRow("00") << "00"
                            << "2000";
        QTest::newRow("22 is old") << "22"
                                   << "1922";
        QTest::newRow("99") << "99"
                            << "1999";
        QTest::newRow("one digit") << "5"
                                   << "5";
        QTest::newRow("four digits") << "1990"
                                     << "1990";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("letters") << "ab"
                                 << "ab";
    }
    void expandYear() {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(QString::fromStdString(ExpandYear(input.toStdString())), expected);
    }

    void expandYear_followsTheYear() {
        PinCurrentYear(2030);
        QCOMPARE(ExpandYear("25"), std::string("2025"));
        QCOMPARE(ExpandYear("26"), std::string("1926"));
        PinCurrentYear(2026);
    }

    void timeTextToHundredths_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("blank") << "  :  ,  " << NoTime;
        QTest::newRow("zero") << "00:00,00" << NoTime;
        QTest::newRow("normal") << "01:05,30" << 6530;
        QTest::newRow("seven characters") << "1:05,30" << 6530;
        QTest::newRow("too short") << "1:5,3" << -1;
        QTest::newRow("seconds unchecked") << "99:99,99" << 603999;
        QTest::newRow("largest regular") << "99:59,99" << 599999;
        QTest::newRow("nine characters") << "100:39,99" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("letters") << "ab:cd,ef" << -1;
        QTest::newRow("blanks removed first") << "01: 5,30" << -1;
        QTest::newRow("separators not examined") << "01x05y30" << 6530;
    }
    void timeTextToHundredths() {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(TimeTextToHundredths(text.toStdString()), expected);
    }

    void hundredthsToTimeText() {
        QCOMPARE(HundredthsToTimeText(6530), std::string("01:05,30"));
        QCOMPARE(HundredthsToTimeText(599999), std::string("99:59,99"));
        QCOMPARE(HundredthsToTimeText(603999), std::string("100:39,99"));
        QCOMPARE(HundredthsToTimeText(NoTime), std::string("  :  ,  "));
        QCOMPARE(HundredthsToTimeText(0), std::string("00:00,00"));
        // An invalid time keeps a text that reads back as invalid.
        QCOMPARE(TimeTextToHundredths(HundredthsToTimeText(-1)), -1);
    }

    void timeText_roundTripsEveryRegularTime() {
        for (int minutes : {0, 1, 9, 10, 59, 99})
            for (int seconds = 0; seconds < 60; ++seconds)
                for (int hundredths : {0, 1, 9, 10, 50, 99}) {
                    char text[16];
                    std::snprintf(text, sizeof text, "%02d:%02d,%02d", minutes, seconds,
                                  hundredths);
                    const int value = TimeTextToHundredths(text);
                    const std::string expected = value == NoTime ? "  :  ,  " : text;
                    QCOMPARE(HundredthsToTimeText(value), expected);
                }
    }

    void normalizeTimeText_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("digits only") << "10530"
                                     << "01:05,30";
        QTest::newRow("two digits are hundredths") << "12"
                                                   << "00:00,12";
        QTest::newRow("already formatted") << "1:05,30"
                                           << "01:05,30";
        QTest::newRow("empty") << ""
                               << "  :  ,  ";
        QTest::newRow("blank field") << "  :  ,  "
                                     << "  :  ,  ";
        QTest::newRow("comma only") << "5,3"
                                    << "00:00,53";
        QTest::newRow("seven digits") << "1234567"
                                      << "12:34,567";
        QTest::newRow("masked right-aligned") << "  :12,34"
                                              << "00:12,34";
    }
    void normalizeTimeText() {
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QCOMPARE(QString::fromStdString(NormalizeTimeText(typed.toStdString())), expected);
    }

    void convertName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("expected");
        QTest::newRow("comma stays") << "Meier, Hans" << 0 << "Meier, Hans";
        QTest::newRow("first name first") << "Hans Meier" << 0 << "Meier, Hans";
        QTest::newRow("single word") << "Meier" << 0 << "Meier";
        QTest::newRow("split at first blank") << "Hans Peter Meier" << 0 << "Peter Meier, Hans";
        QTest::newRow("trailing comma dropped") << "Hans Meier," << 0 << "Hans Meier";
        QTest::newRow("leading blank keeps order") << " Peter Pan" << 0 << "Peter Pan";
        QTest::newRow("empty") << "" << 0 << "";
        QTest::newRow("mode 1 turns back") << "Meier, Hans" << 1 << "Hans Meier";
        QTest::newRow("mode 1 without comma") << "Hans Meier" << 1 << "Hans Meier";
        QTest::newRow("other mode trims only") << " Meier, " << 2 << "Meier";
    }
    void convertName() {
        QFETCH(QString, name);
        QFETCH(int, mode);
        QFETCH(QString, expected);
        QCOMPARE(QString::fromStdString(ConvertName(name.toStdString(), mode)), expected);
    }

    void isSplittableName() {
        QVERIFY(IsSplittableName("Meier, Hans"));
        QVERIFY(IsSplittableName("Hans Meier"));
        QVERIFY(!IsSplittableName("Hans Peter Meier"));
        QVERIFY(!IsSplittableName("Meier, Hans, Peter"));
        QVERIFY(IsSplittableName("M"));
        QVERIFY(IsSplittableName("  Meier  "));
        QVERIFY(IsSplittableName("Meier, Hans Peter"));
    }

    void convertsAsInteger() {
        int value = 0;
        QVERIFY(ConvertsAsInteger("-5", value) && value == -5);
        QVERIFY(ConvertsAsInteger("  17", value) && value == 17);
        QVERIFY(ConvertsAsInteger("+3", value) && value == 3);
        QVERIFY(ConvertsAsInteger("-2147483648", value) && value == INT_MIN);
        QVERIFY(!ConvertsAsInteger("2147483648", value));
        QVERIFY(!ConvertsAsInteger("12 ", value));
        QVERIFY(!ConvertsAsInteger("", value));
        QVERIFY(!ConvertsAsInteger("-", value));
        QVERIFY(!ConvertsAsInteger("1e3", value));
    }

    void trim_removesControlCharacters() {
        QCOMPARE(Trim("\t\x01 a b \r\x1F"), std::string("a b"));
        QCOMPARE(TrimRight("  a  "), std::string("  a"));
        QCOMPARE(Trim(std::string("\0x\0", 3)), std::string("x"));
    }
};

QTEST_GUILESS_MAIN(TestConversions)
#include "tst_conversions.moc"
