// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include "entrycheck.h"
#include "environment.h"

namespace {

TEventRecord event(const char* number, std::uint8_t sex, int ageMax, int ageMin) {
    TEventRecord result = EmptyEvent;
    result.WkNr = TMeldeAustausch::TextToWkNr(number);
    result.Sex = sex;
    result.EarliestBirthYear = ageMax;
    result.LatestBirthYear = ageMin;
    return result;
}

TMeldeAustausch competition() {
    TMeldeAustausch model;
    model.SetEvent(1, event("7", 0, 1990, 1995));
    model.SetEvent(2, event("12a", 1, 1990, 1995));
    model.SetEvent(3, event("5", 2, 1900, 2020));
    model.SetEvent(4, event("9", 0, 2000, 1995)); // admits nobody
    model.SetEvent(5, event("20", 1, 1990, 1995));
    model.SetEvent(6, event("20", 0, 2000, 2010)); // the later event 20 counts
    return model;
}

} // namespace

class TestEntryCheck : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PinCurrentYear(2026); }
    void cleanupTestCase() { PinCurrentYear(0); }

    void input_refusal_data();
    void input_refusal();
    void input_fittingEntries_areAccepted_data();
    void input_fittingEntries_areAccepted();
    void nominFromInput_cutsNameAndTrimsRegNr();
    void storedNomin_timeOutsideTheField_isRefused();
};

void TestEntryCheck::input_refusal_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("year");
    QTest::addColumn<int>("sex");
    QTest::addColumn<QString>("wkNr");
    QTest::addColumn<QString>("time");
    QTest::addColumn<int>("fault");
    QTest::addColumn<QByteArray>("message");

    const QString noTime = QStringLiteral("  :  ,  ");
    auto row = [&](const char* tag, const char* name, const char* year, int sex, const char* wkNr,
                   const QString& time, EntryFault fault, const char* message) {
        QTest::newRow(tag) << QString::fromLatin1(name) << QString::fromLatin1(year) << sex
                           << QString::fromLatin1(wkNr) << time << int(fault)
                           << QByteArray(message);
    };
    // The empty fields come first, in field order, whatever else is wrong.
    row("all empty", "", "", 0, "", noTime, EntryFault::MissingName, "Fehlende Eingabe: Name");
    row("blank name", "   ", "1990", 0, "7", noTime, EntryFault::MissingName,
        "Fehlende Eingabe: Name");
    row("no year", "Meier, Hans", "", 0, "", noTime, EntryFault::MissingJahrgang,
        "Fehlende Eingabe: Jahrgang");
    row("no event", "Meier, Hans", "x", 0, "", noTime, EntryFault::MissingWkNr,
        "Fehlende Eingabe: Wettkampfnummer");
    // Birth year before the event number.
    row("year 1899", "Meier, Hans", "1899", 0, "0", noTime, EntryFault::InvalidJahrgang,
        "Ung\xFCltige Jahrgangsangabe");
    row("year after today", "Meier, Hans", "2027", 0, "7", noTime, EntryFault::InvalidJahrgang,
        "Ung\xFCltige Jahrgangsangabe");
    row("year -5", "Meier, Hans", "-5", 0, "7", noTime, EntryFault::InvalidJahrgang,
        "Ung\xFCltige Jahrgangsangabe");
    row("year 1-9", "Meier, Hans", "1-9", 0, "7", noTime, EntryFault::InvalidJahrgang,
        "Ung\xFCltige Jahrgangsangabe");
    // Event numbers that no event has.
    row("event 0", "Meier, Hans", "1992", 0, "0", noTime, EntryFault::InvalidWkNr,
        "Ung\xFCltige Wettkampfnummer");
    row("event 999", "Meier, Hans", "1992", 0, "999", noTime, EntryFault::InvalidWkNr,
        "Ung\xFCltige Wettkampfnummer");
    row("event 7b", "Meier, Hans", "1992", 0, "7b", noTime, EntryFault::InvalidWkNr,
        "Ung\xFCltige Wettkampfnummer");
    row("trailing blank", "Meier, Hans", "1992", 0, "7 ", noTime, EntryFault::InvalidWkNr,
        "Ung\xFCltige Wettkampfnummer");
    row("letter case", "Meier, Anna", "1992", 1, "12A", noTime, EntryFault::InvalidWkNr,
        "Ung\xFCltige Wettkampfnummer");
    row("two letters", "Meier, Hans", "1992", 0, "7ab", noTime, EntryFault::InvalidWkNr,
        "Ung\xFCltige Wettkampfnummer");
    // Range, then sex, then time.
    row("year before range", "Meier, Hans", "1989", 0, "7", noTime, EntryFault::JahrgangOutOfRange,
        "In diesem Wettkampf sind nur Teilnehmer der Jahrg\xE4nge 1990 bis 1995 erlaubt");
    row("year after range", "Meier, Hans", "1996", 1, "7", QStringLiteral("xx"),
        EntryFault::JahrgangOutOfRange,
        "In diesem Wettkampf sind nur Teilnehmer der Jahrg\xE4nge 1990 bis 1995 erlaubt");
    row("inverted range", "Meier, Hans", "1995", 0, "9", noTime, EntryFault::JahrgangOutOfRange,
        "In diesem Wettkampf sind nur Teilnehmer der Jahrg\xE4nge 2000 bis 1995 erlaubt");
    row("last event counts", "Meier, Anna", "1992", 1, "20", noTime, EntryFault::JahrgangOutOfRange,
        "In diesem Wettkampf sind nur Teilnehmer der Jahrg\xE4nge 2000 bis 2010 erlaubt");
    row("female in male event", "Meier, Anna", "1992", 1, "7", noTime, EntryFault::WrongSex,
        "Falsches Geschlecht f\xFCr diesen Wettkampf");
    row("mixed swimmer in female event", "Meier, Kim", "1992", 2, "12a", noTime,
        EntryFault::WrongSex, "Falsches Geschlecht f\xFCr diesen Wettkampf");
    row("seconds left empty", "Meier, Hans", "1992", 0, "7", QStringLiteral("01:  ,30"),
        EntryFault::InvalidTime, "Ung\xFCltige Meldezeit");
    row("time with a letter", "Meier, Hans", "1992", 0, "7", QStringLiteral("01:0x,30"),
        EntryFault::InvalidTime, "Ung\xFCltige Meldezeit");
}

void TestEntryCheck::input_refusal() {
    QFETCH(QString, name);
    QFETCH(QString, year);
    QFETCH(int, sex);
    QFETCH(QString, wkNr);
    QFETCH(QString, time);
    QFETCH(int, fault);
    QFETCH(QByteArray, message);

    const TEntryInput entry{name.toStdString(), year.toStdString(), sex, "",
                            wkNr.toStdString(), time.toStdString()};
    const auto refusal = CheckEntryInput(competition(), entry);
    QVERIFY(refusal.has_value());
    QCOMPARE(int(refusal->Fault), fault);
    QCOMPARE(QByteArray::fromStdString(refusal->Message), message);
}

void TestEntryCheck::input_fittingEntries_areAccepted_data() {
    QTest::addColumn<int>("sex");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("wkNr");
    QTest::addColumn<QString>("time");
    QTest::newRow("first year of range") << 0 << "1990"
                                         << "7"
                                         << "01:05,30";
    QTest::newRow("last year of range") << 0 << "1995"
                                        << "7"
                                        << "  :  ,  ";
    QTest::newRow("female, lettered event") << 1 << "1990"
                                            << "12a"
                                            << "00:35,10";
    QTest::newRow("male in mixed event") << 0 << "1900"
                                         << "5"
                                         << "00:00,00";
    QTest::newRow("mixed in mixed event") << 2 << "2020"
                                          << "5"
                                          << " 1:05,30";
    QTest::newRow("seconds above 59 pass") << 0 << "1992"
                                           << "7"
                                           << "01:75,00";
    QTest::newRow("the later event 20") << 0 << "2005"
                                        << "20"
                                        << "10:00,00";
}

void TestEntryCheck::input_fittingEntries_areAccepted() {
    QFETCH(int, sex);
    QFETCH(QString, year);
    QFETCH(QString, wkNr);
    QFETCH(QString, time);
    const auto refusal = CheckEntryInput(competition(), {"Meier, Kim", year.toStdString(), sex, "",
                                                         wkNr.toStdString(), time.toStdString()});
    QVERIFY2(!refusal, refusal ? refusal->Message.c_str() : "");
}

void TestEntryCheck::nominFromInput_cutsNameAndTrimsRegNr() {
    const TEntryInput entry{std::string(35, 'N'),    "1992", 1,
                            "  123456789012345678 ", "12a",  "01:05,30"};
    const TNominRecord nomin = NominFromInput(entry);
    QCOMPARE(nomin.Name, std::string(30, 'N'));
    QCOMPARE(nomin.BirthYear, 1992);
    QCOMPARE(int(nomin.Sex), 1);
    QCOMPARE(nomin.RegNr, std::string("123456789012345"));
    QCOMPARE(nomin.WkNr, 12 * 1000 + 'a');
    QCOMPARE(nomin.Time, 6530);
    QCOMPARE(NominFromInput({"A", "x", 0, "", "7", "  :  ,  "}).Time, NoTime);
    QCOMPARE(NominFromInput({"A", "x", 0, "", "7", "  :  ,  "}).BirthYear, 0);
}

void TestEntryCheck::storedNomin_timeOutsideTheField_isRefused() {
    const TMeldeAustausch model = competition();
    for (int time : {NoTime, 0, 1, 599999})
        QVERIFY2(!CheckNomin(model, {"Meier, Hans", 1992, 0, 7000, time, ""}),
                 qPrintable(QString::number(time)));
    for (int time : {-1, 600000, 603999, NoTime + 1}) {
        const auto refusal = CheckNomin(model, {"Meier, Hans", 1992, 0, 7000, time, ""});
        QVERIFY2(refusal && refusal->Fault == EntryFault::InvalidTime,
                 qPrintable(QString::number(time)));
    }
}

QTEST_GUILESS_MAIN(TestEntryCheck)
#include "tst_entrycheck.moc"
