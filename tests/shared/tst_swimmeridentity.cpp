// SPDX-License-Identifier: GPL-3.0-or-later
// Who is who: the one rule that tells swimmers apart, and the name form it compares. (Its
// grouping is tested where the warnings and the exports use it.)
#include <QTest>

#include "swimmeridentity.h"

using namespace Qt::Literals::StringLiterals;

namespace {

std::string bytes(const QByteArray& text) {
    return text.toStdString();
}

TSwimmerIdentity identity(const QByteArray& name, int year, int sex, const QByteArray& regNr) {
    return TSwimmerIdentity::Of(bytes(name), year, static_cast<std::uint8_t>(sex), bytes(regNr));
}

} // namespace

class TestSwimmerIdentity : public QObject {
    Q_OBJECT
private slots:
    void compareSwimmers_data() {
        QTest::addColumn<QByteArray>("nameA");
        QTest::addColumn<int>("yearA");
        QTest::addColumn<int>("sexA");
        QTest::addColumn<QByteArray>("regNrA");
        QTest::addColumn<QByteArray>("nameB");
        QTest::addColumn<int>("yearB");
        QTest::addColumn<int>("sexB");
        QTest::addColumn<QByteArray>("regNrB");
        QTest::addColumn<int>("same"); // a TSameSwimmer
        const int no = int(TSameSwimmer::No), yes = int(TSameSwimmer::Yes),
                  conflict = int(TSameSwimmer::RegNrConflict);
        QTest::newRow("number and year, name differs")
            << "Brandt, Lotte"_ba << 2012 << 1 << "900104"_ba
            << "Brand, Lotte"_ba << 2012 << 1 << "900104"_ba << yes;
        QTest::newRow("number and name, year and sex differ")
            << "Brandt, Lotte"_ba << 2012 << 1 << "900104"_ba
            << "BRANDT, LOTTE"_ba << 2011 << 0 << "900104"_ba << yes;
        QTest::newRow("number, neither name nor year")
            << "Brandt, Lotte"_ba << 2012 << 1 << "900104"_ba
            << "Gro\xDF, Ben"_ba << 2011 << 0 << "900104"_ba << conflict;
        QTest::newRow("placeholders are no numbers")
            << "Brandt, Lotte"_ba << 2012 << 1 << "0"_ba
            << "Gro\xDF, Ben"_ba << 2012 << 1 << "000000"_ba << no;
        QTest::newRow("placeholders, same person")
            << "Brandt, Lotte"_ba << 2012 << 1 << "000000"_ba
            << "Brandt, Lotte"_ba << 2012 << 1 << " "_ba << yes;
        QTest::newRow("blanks and leading zeros in the number")
            << "Brandt, Lotte"_ba << 2012 << 1 << " 0900 104"_ba
            << "Brandt, L."_ba << 2012 << 1 << "900104"_ba << yes;
        QTest::newRow("letter case and outer blanks")
            << "  brandt, LOTTE "_ba << 2012 << 1 << ""_ba
            << "Brandt, Lotte"_ba << 2012 << 1 << ""_ba << yes;
        QTest::newRow("umlauts in capitals")
            << "\xC4rger, J\xFCrgen"_ba << 2011 << 0 << ""_ba
            << "\xC4RGER, J\xDCRGEN"_ba << 2011 << 0 << ""_ba << yes;
        QTest::newRow("other sex without number") << "Brandt, Lotte"_ba << 2012 << 1 << ""_ba
                                                  << "Brandt, Lotte"_ba << 2012 << 0 << ""_ba << no;
        QTest::newRow("other year without number")
            << "Brandt, Lotte"_ba << 2012 << 1 << ""_ba
            << "Brandt, Lotte"_ba << 2013 << 1 << ""_ba << no;
        QTest::newRow("different numbers, same name, year and sex")
            << "Brandt, Lotte"_ba << 2012 << 1 << "900104"_ba
            << "Brandt, Lotte"_ba << 2012 << 1 << "900105"_ba << yes;
        QTest::newRow("one number only") << "Brandt, Lotte"_ba << 2012 << 1 << "900104"_ba
                                         << "Brandt, Lotte"_ba << 2012 << 1 << ""_ba << yes;
        QTest::newRow("surname only, trailing comma") << "Zand"_ba << 2014 << 1 << ""_ba
                                                      << "ZAND,"_ba << 2014 << 1 << ""_ba << yes;
        QTest::newRow("31 characters and its 30") << "Winterberg-L\xFC"
                                                     "denscheidt, Jonass"_ba
                                                  << 2011 << 0 << ""_ba
                                                  << "Winterberg-L\xFC"
                                                     "denscheidt, Jonas"_ba
                                                  << 2011 << 0 << ""_ba << yes;
        QTest::newRow("first name typed first") << "Lotte Brandt"_ba << 2012 << 1 << ""_ba
                                                << "Brandt, Lotte"_ba << 2012 << 1 << ""_ba << yes;
    }

    // The rule is symmetric: both orders give the same answer.
    void compareSwimmers() {
        QFETCH(QByteArray, nameA);
        QFETCH(int, yearA);
        QFETCH(int, sexA);
        QFETCH(QByteArray, regNrA);
        QFETCH(QByteArray, nameB);
        QFETCH(int, yearB);
        QFETCH(int, sexB);
        QFETCH(QByteArray, regNrB);
        QFETCH(int, same);
        const TSwimmerIdentity a = identity(nameA, yearA, sexA, regNrA);
        const TSwimmerIdentity b = identity(nameB, yearB, sexB, regNrB);
        QCOMPARE(int(CompareSwimmers(a, b)), same);
        QCOMPARE(int(CompareSwimmers(b, a)), same);
    }

    void normalizedName_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("normalized");
        QTest::newRow("as kept") << "Brandt, Lotte"_ba
                                 << "Brandt, Lotte"_ba;
        QTest::newRow("surname only") << "Zand"_ba
                                      << "Zand"_ba;
        QTest::newRow("trailing comma") << "Wolf,"_ba
                                        << "Wolf"_ba;
        QTest::newRow("first name first") << " Lotte  Brandt "_ba
                                          << "Brandt, Lotte"_ba;
        QTest::newRow("no surname") << ",Meier"_ba
                                    << "Meier"_ba;
        QTest::newRow("tab") << "Brandt,\tLotte"_ba
                             << "Brandt, Lotte"_ba;
        QTest::newRow("line break and Ctrl+Z") << "Brandt\r\nLotte\x1A"_ba
                                               << "Lotte, Brandt"_ba;
        QTest::newRow("NUL") << QByteArray("Brandt, Lotte\0", 14) << "Brandt, Lotte"_ba;
        QTest::newRow("30 characters") << "Winterberg-L\xFC"
                                          "denscheidt, Jonas"_ba
                                       << "Winterberg-L\xFC"
                                          "denscheidt, Jonas"_ba;
        QTest::newRow("31 characters") << "Winterberg-L\xFC"
                                          "denscheidt, Jonass"_ba
                                       << "Winterberg-L\xFC"
                                          "denscheidt, Jonas"_ba;
        QTest::newRow("cut at the comma") << "Abcdefghijklmnopqrstuvwxyzabc, Anna"_ba
                                          << "Abcdefghijklmnopqrstuvwxyzabc"_ba;
        QTest::newRow("cut surname with blanks") << "Aaaaaaaaaa Bbbbbbbbbb Cccccccccc Dddd, Anna"_ba
                                                 << "Bbbbbbbbbb Cccccccc, Aaaaaaaaaa"_ba.left(30);
    }

    // Normalising what came out changes nothing, so that every path keeps one form.
    void normalizedName() {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, normalized);
        const std::string once = NormalizedSwimmerName(bytes(name));
        QCOMPARE(QByteArray::fromStdString(once), normalized);
        QCOMPARE(NormalizedSwimmerName(once), once);
        QVERIFY(once.size() <= 30);
    }
};

QTEST_GUILESS_MAIN(TestSwimmerIdentity)
#include "tst_swimmeridentity.moc"
