// SPDX-License-Identifier: GPL-3.0-or-later
// `ntbmelde-cli fees FILE` and `ntbmelde-cli check --warnings FILE`, run as a treasurer's or
// a host's script runs them, on a hand-written competition: fees that doubles cannot hold
// (2,1 and 0,7 and 3,333), relays, an unknown event, two sections, every kind of warning.
#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "../interop/interopfixtures.h"
#include "../shared/competitionbuilder.h"
#include "clirunner.h"
#include "meldeaustausch.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QString DataDir = QStringLiteral(TEST_DATA_DIR "/fees/");
const QString EntriesFile = DataDir + u"entries.NT2"_s;

QString readUtf8(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return QString::fromUtf8(file.readAll());
}

// The competition without the two entries that `check` refuses (Kögel for an unknown event,
// Reh for a men's event): only warnings are left.
QString entriesWithoutRefusals(const QTemporaryDir& folder) {
    TMeldeAustausch model;
    model.LoadFromFile(EntriesFile.toStdString());
    model.DeleteNomin(10);
    model.DeleteNomin(8);
    const QString path = folder.filePath(u"EXCHANGE.NT2"_s);
    model.SaveToFile(path.toStdString());
    return path;
}

} // namespace

class TestCliFees : public QObject {
    Q_OBJECT
private slots:
    // The expected file holds the date as TT.MM.JJJJ; the tool dates the overview today.
    void fees_handWrittenFile_printsHandCheckedOverview() {
        const QString before = QDate::currentDate().toString(u"dd.MM.yyyy"_s);
        const CliResult result = runCli({u"fees"_s, EntriesFile});
        const QString after = QDate::currentDate().toString(u"dd.MM.yyyy"_s);
        QCOMPARE(result.err, QByteArray());
        QCOMPARE(result.exitCode, 0);
        QVERIFY(!result.out.contains('\r'));
        const QString out = QString::fromUtf8(result.out);
        const QString expected = readUtf8(DataDir + u"entries-fees.txt"_s);
        const QString dated = out.contains(before) ? before : after;
        QCOMPARE(out, QString(expected).replace(u"TT.MM.JJJJ"_s, dated));
        QVERIFY(out.endsWith(u"\nMeldegeld gesamt: 1.057,33 EUR\n"_s));
    }

    void fees_missingFile_failsWithAGermanMessage() {
        QTemporaryDir folder;
        const CliResult result = runCli({u"fees"_s, folder.filePath(u"EXCHANGE.NT2"_s)});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.out, QByteArray());
        QCOMPARE(QString::fromUtf8(result.err),
                 u"ntbmelde-cli: %1 kann nicht gelesen werden: Datei nicht gefunden\n"_s.arg(
                     folder.filePath(u"EXCHANGE.NT2"_s)));
    }

    // Refusals first, then the warnings with the entries' positions in the file; the refused
    // entry for a men's event is not repeated as a warning.
    void checkWarnings_handWrittenFile_listsRefusalsThenWarnings() {
        const CliResult result = runCli({u"check"_s, u"--warnings"_s, EntriesFile});
        QCOMPARE(result.err, QByteArray());
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(QString::fromUtf8(result.out), readUtf8(DataDir + u"entries-check.txt"_s));
    }

    void checkWarnings_onlyWarnings_succeed() {
        QTemporaryDir folder;
        const QString file = entriesWithoutRefusals(folder);
        const CliResult result = runCli({u"check"_s, u"--warnings"_s, file});
        QCOMPARE(result.exitCode, 0);
        const QStringList lines = QString::fromUtf8(result.out).split(u'\n');
        QCOMPARE(lines.first(), u"Keine fehlerhaften Meldungen."_s);
        // Eight about entries, one about the sections without an official.
        QCOMPARE(lines.filter(QRegularExpression(u"^Hinweis: "_s)).size(), 9);
        // Plain `check` says nothing of them; a file without any says so.
        QCOMPARE(runCli({u"check"_s, file}).out, "Keine fehlerhaften Meldungen.\n");
        QCOMPARE(runCli({u"check"_s, u"--warnings"_s, QStringLiteral(DEMO_FILE)}).out,
                 "Keine fehlerhaften Meldungen.\nKeine Hinweise.\n");
    }

    // One registration number on two people is hinted at; result lists' placeholders and one
    // swimmer's number written two ways are not. Saving sorts the entries by name.
    void checkWarnings_oneNumberForTwoPeople_hinted() {
        CompetitionBuilder entered;
        entered.event("1", u"50m Freistil"_s);
        entered.event("2", u"50m Brust"_s);
        entered.nomin(u"Groß, Ben"_s, 2011, "1", NoTime, 0, u"900104"_s);
        entered.nomin(u"Brandt, Lotte"_s, 2012, "1", NoTime, 1, u"000000"_s);
        entered.nomin(u"Klein, Anna"_s, 2012, "2", NoTime, 1, u" 0900104"_s);
        entered.nomin(u"Wolf, Noah"_s, 2015, "2", NoTime, 0, u"000000"_s);
        entered.nomin(u"GROSS, Ben"_s, 2011, "2", NoTime, 0, u"900104"_s);
        entered.nomin(u"Brandt, Lotte"_s, 2012, "2", NoTime, 1, u"0"_s);
        QTemporaryDir folder;
        const QString file = folder.filePath(u"EXCHANGE.NT2"_s);
        TMeldeAustausch model = entered.done();
        model.SaveToFile(file.toStdString());
        const CliResult result = runCli({u"check"_s, u"--warnings"_s, file});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(QString::fromUtf8(result.out),
                 u"Keine fehlerhaften Meldungen.\n"
                 u"Hinweis: Meldungen 3, 4, 5: Reg.-Nr. 900104 ist für verschiedene Schwimmer "
                 u"gemeldet: GROSS, Ben (2011); Klein, Anna (2012).\n"
                 u"Hinweis: 1 Abschnitt ohne Kampfrichter: 1.\n"_s);
    }

    // The kept invitation's deadline heads both printouts and, once passed, the warnings; its
    // club fee of 15,00 EUR joins the sample club's event fees (hand-summed: 86,50 EUR by the
    // DSV invitation, which charges the second relay, 76,50 EUR by the Lenex one).
    void keptInvitation_deadlineAndClubFee_data() {
        QTest::addColumn<QString>("invitation");
        QTest::addColumn<QByteArray>("deadline"); // in place of the Lenex sample's
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("passed");
        QTest::addColumn<QString>("total");
        QTest::newRow("DSV, passed") << u"2026-12-13-Musterst-Wk.DSV7"_s << QByteArray()
                                     << u"01.12.2026, 18:00 Uhr"_s << true << u"101,50 EUR"_s;
        QTest::newRow("Lenex, ahead, whole day")
            << u"lenex-invitation.lef"_s << QByteArray("deadline=\"2099-02-03\"") << u"03.02.2099"_s
            << false << u"91,50 EUR"_s;
    }
    void keptInvitation_deadlineAndClubFee() {
        QFETCH(QString, invitation);
        QFETCH(QByteArray, deadline);
        QFETCH(QString, shown);
        QFETCH(bool, passed);
        QFETCH(QString, total);
        QTemporaryDir folder;
        QFile file(folder.filePath(invitation));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(readFileBytes(InteropDataDir + invitation)
                       .replace("deadline=\"2026-12-01\" deadlinetime=\"18:00\"", deadline));
        file.close();
        const QString exchange = folder.filePath(u"EXCHANGE.NT2"_s);
        QCOMPARE(runCli({u"import"_s, file.fileName(), exchange}).exitCode, 0);
        TMeldeAustausch model;
        model.LoadFromFile(exchange.toStdString());
        enterSampleClub(model);
        model.SaveToFile(exchange.toStdString());

        for (const QString& command : {u"fees"_s, u"report"_s})
            QVERIFY(
                runCli({command, exchange}).out.contains(("\nMeldeschluss : " + shown).toUtf8()));
        QVERIFY(runCli({u"fees"_s, exchange})
                    .out.contains(("\nMeldegeld gesamt: " + total + '\n').toUtf8()));
        QCOMPARE(QString::fromUtf8(runCli({u"check"_s, u"--warnings"_s, exchange}).out)
                     .count(u"\nHinweis: Der Meldeschluss ("_s + shown),
                 passed ? 1 : 0);
    }

    // The kept invitation's qualifying time for the swimmer's event, birth years and sex: an
    // entry slower than it, or without a time, is hinted by `check --warnings` and the fee
    // overview alike; a time in yards is left out on import with a note.
    void keptInvitation_qualifyingTimes_data() {
        QTest::addColumn<QString>("invitation");
        QTest::addColumn<QByteArray>("yards"); // the list course put to SCY
        QTest::addColumn<int>("event");
        QTest::addColumn<int>("birthYear");
        QTest::addColumn<int>("sex");
        QTest::addColumn<QString>("time");
        QTest::addColumn<bool>("hinted");
        const QString dsv7 = u"2026-12-13-Musterst-Wk.DSV7"_s;
        const QString dsv8 = u"2027-03-14-Musterst-Wk.DSV8z"_s;
        const QString lenex = u"lenex-invitation-chf.lef"_s;
        QTest::newRow("DSV7, slower")
            << dsv7 << QByteArray() << 6 << 2013 << 1 << u"03:50,00"_s << true;
        QTest::newRow("DSV7, just fast enough")
            << dsv7 << QByteArray() << 6 << 2013 << 1 << u"03:45,00"_s << false;
        QTest::newRow("DSV7, no time")
            << dsv7 << QByteArray() << 6 << 2015 << 1 << QString() << true;
        QTest::newRow("DSV7, event without time")
            << dsv7 << QByteArray() << 8 << 2014 << 1 << QString() << false;
        QTest::newRow("DSV8, open older class")
            << dsv8 << QByteArray() << 5 << 2009 << 1 << u"03:00,00"_s << true;
        QTest::newRow("DSV8, younger class")
            << dsv8 << QByteArray() << 5 << 2012 << 1 << u"03:00,00"_s << false;
        QTest::newRow("Lenex, men aged 13")
            << lenex << QByteArray() << 2 << 2014 << 0 << u"01:13,90"_s << true;
        QTest::newRow("Lenex, women aged 13")
            << lenex << QByteArray() << 1 << 2014 << 1 << u"01:13,90"_s << false;
        QTest::newRow("Lenex, aged 15")
            << lenex << QByteArray() << 2 << 2012 << 0 << u"01:13,90"_s << false;
        QTest::newRow("Lenex, yards") << lenex << QByteArray("course=\"SCY\" gender=\"M\"") << 2
                                      << 2014 << 0 << u"01:13,90"_s << false;
    }
    void keptInvitation_qualifyingTimes() {
        QFETCH(QString, invitation);
        QFETCH(QByteArray, yards);
        QFETCH(int, event);
        QFETCH(int, birthYear);
        QFETCH(int, sex);
        QFETCH(QString, time);
        QFETCH(bool, hinted);
        QTemporaryDir folder;
        QFile file(folder.filePath(invitation));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QByteArray bytes = readFileBytes(InteropDataDir + invitation);
        if (!yards.isEmpty())
            bytes.replace("course=\"LCM\" gender=\"M\"", yards);
        file.write(bytes);
        file.close();
        const QString exchange = folder.filePath(u"EXCHANGE.NT2"_s);
        const CliResult imported = runCli({u"import"_s, file.fileName(), exchange});
        QCOMPARE(imported.exitCode, 0);
        QCOMPARE(QString::fromUtf8(imported.out + imported.err).contains(u"SCY"_s),
                 !yards.isEmpty());
        TMeldeAustausch model;
        model.LoadFromFile(exchange.toStdString());
        TNominRecord nomin;
        nomin.Name = "Probe, Kim";
        nomin.BirthYear = birthYear;
        nomin.Sex = static_cast<std::uint8_t>(sex);
        nomin.WkNr = event * 1000;
        nomin.Time = time.isEmpty() ? NoTime : TimeTextToHundredths(time.toStdString());
        model.SetNomin(1, nomin);
        model.SaveToFile(exchange.toStdString());

        const QString check =
            QString::fromUtf8(runCli({u"check"_s, u"--warnings"_s, exchange}).out);
        QCOMPARE(check.count(u"\nHinweis: Meldung 1: Probe, Kim"_s), hinted ? 1 : 0);
        const QString fees = QString::fromUtf8(runCli({u"fees"_s, exchange}).out);
        const QString hints = fees.section(u"\nHinweise"_s, 1);
        QCOMPARE(hints.count(u"\nProbe, Kim"_s), hinted ? 1 : 0);
    }

    void wrongCalls_showUsage_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("fees without file") << QStringList{u"fees"_s};
        QTest::newRow("warnings without file") << QStringList{u"check"_s, u"--warnings"_s};
        QTest::newRow("unknown option") << QStringList{u"check"_s, u"--hints"_s, EntriesFile};
        QTest::newRow("option after the file")
            << QStringList{u"check"_s, EntriesFile, u"--warnings"_s};
    }
    void wrongCalls_showUsage() {
        QFETCH(QStringList, arguments);
        const CliResult result = runCli(arguments);
        QCOMPARE(result.exitCode, 2);
        QCOMPARE(result.out, QByteArray());
        QVERIFY(result.err.startsWith("ntbmelde-cli: falscher Aufruf, richtig: ntbmelde-cli "));
        QCOMPARE(result.err.count('\n'), 2);
        QVERIFY(result.err.endsWith("\nHilfe: ntbmelde-cli --help\n"));
    }
};

QTEST_GUILESS_MAIN(TestCliFees)
#include "tst_cli_fees.moc"
