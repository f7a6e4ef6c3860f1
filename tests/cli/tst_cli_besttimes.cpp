// SPDX-License-Identifier: GPL-3.0-or-later
// `ntbmelde-cli swimmers import` on hosts' result files and `swimmers besttimes`, run on real
// files with the store in a folder of its own.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "../shared/competitionbuilder.h"
#include "clirunner.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QString DataDir = QStringLiteral(TEST_DATA_DIR "/interop/");

const QByteArray SampleBestTimes =
    "Frühling, Emma;2015;100m Brust;25;01:34,02;2026-12-13;Nikolausschwimmfest 2026\n"
    "Frühling, Emma;2015;200m Brust;25;03:55,61;2026-12-12;Nikolausschwimmfest 2026\n"
    "Groß, Ben;2014;100m Freistil;25;01:15,30;2026-12-12;Nikolausschwimmfest 2026\n"
    "Herbst, Mia;2016;50m Freistil Beine;25;00:55,02;2026-12-13;Nikolausschwimmfest 2026\n"
    "Herbst, Mia;2016;50m Rücken;25;00:43,77;2026-12-12;Nikolausschwimmfest 2026\n"
    "Sommer, Lea;2013;100m Freistil;25;01:11,87;2026-12-12;Nikolausschwimmfest 2026\n"
    "Winter, Jonas;2012;100m Freistil;25;01:04,99;2026-12-12;Nikolausschwimmfest 2026\n"
    "Winter, Jonas;2012;50m Schmetterling;25;00:31,12;2026-12-12;Nikolausschwimmfest 2026\n"
    "Wolf, Noah;2015;100m Brust;25;01:41,08;2026-12-13;Nikolausschwimmfest 2026\n"_ba;

} // namespace

class TestCliBestTimes : public QObject {
    Q_OBJECT
private slots:
    void init() { folder = folderWithOwnStore(); }

    // The club's exchange file names the own club; the Lenex results (under any name) add its
    // swimmers and swims; the DSV7 club list of the same meet adds nothing more.
    void importResults_ownClubsBestTimesListed() {
        CompetitionBuilder entered;
        entered.model.CompName = "Herbstfest";
        entered.model.Date1 = "03.10.2026";
        entered.model.LaneLen = 25;
        entered.model.ClubName = ansi(u"SV Blau-Weiß Beispielhausen"_s);
        entered.model.ClubId = "5432";
        entered.event("1", u"100m Freistil"_s);
        entered.nomin(u"Sommer, Lea"_s, 2013, "1", 7234, 1, u"900101"_s);
        const QString exchangeFile = folder->filePath(u"EXCHANGE.NT2"_s);
        TMeldeAustausch model = entered.done();
        model.SaveToFile(exchangeFile.toStdString());
        const QString lenex = folder->filePath(u"ergebnisse.txt"_s);
        QVERIFY(QFile::copy(DataDir + u"lenex-results.lef"_s, lenex));

        CliResult result = runCli({u"swimmers"_s, u"import"_s, exchangeFile, lenex});
        QCOMPARE(QString::fromUtf8(result.err), QString());
        QCOMPARE(result.out,
                 "6 Schwimmer neu, 0 aktualisiert, 1 Meldezeit, 10 Wettkampfzeiten\n"_ba);
        QCOMPARE(result.exitCode, 0);
        for (const QString& again :
             {lenex, DataDir + u"2026-12-13-Musterst-SVBlauWeissBeisp-Pr.DSV7"_s}) {
            result = runCli({u"swimmers"_s, u"import"_s, again});
            QCOMPARE(result.out, "0 Schwimmer neu, 0 aktualisiert, 0 Wettkampfzeiten\n"_ba);
        }

        result = runCli({u"swimmers"_s, u"besttimes"_s});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out, SampleBestTimes);
        result = runCli({u"swimmers"_s, u"besttimes"_s, u"wIN"_s});
        QCOMPARE(
            result.out,
            "Winter, Jonas;2012;100m Freistil;25;01:04,99;2026-12-12;Nikolausschwimmfest 2026\n"
            "Winter, Jonas;2012;50m Schmetterling;25;00:31,12;2026-12-12;"
            "Nikolausschwimmfest 2026\n"_ba);
        QCOMPARE(runCli({u"swimmers"_s, u"besttimes"_s, u"ÜHLING, E"_s}).out.count('\n'), 2);
        QCOMPARE(runCli({u"swimmers"_s, u"besttimes"_s, u"Kraus"_s}).out, QByteArray());
    }

    // The own club by name, with a legal form or without; when no club of the file is it, the
    // count says so and names the file's two closest club names.
    void ownClub_byNameOrHint_data() {
        QTest::addColumn<QString>("ownName");
        QTest::addColumn<QString>("out"); // %1: the result file
        QTest::newRow("with e.V.")
            << u"SV Blau-Weiß Beispielhausen e.V."_s
            << u"6 Schwimmer neu, 0 aktualisiert, 1 Meldezeit, 10 Wettkampfzeiten\n"_s;
        QTest::newRow("not in the file")
            << u"SV Blau-Weiss Beispielhausn"_s
            << u"1 Schwimmer neu, 0 aktualisiert, 1 Meldezeit, 0 Wettkampfzeiten\n%1: der "
               u"eigene Verein kommt nicht vor; am ähnlichsten: „SV Blau-Weiß Beispielhausen“, "
               u"„SC Delphin Musterstadt“\n"_s;
    }
    void ownClub_byNameOrHint() {
        QFETCH(QString, ownName);
        QFETCH(QString, out);
        CompetitionBuilder entered;
        entered.model.CompName = "Herbstfest";
        entered.model.Date1 = "03.10.2026";
        entered.model.ClubName = ansi(ownName);
        entered.event("1", u"100m Freistil"_s);
        entered.nomin(u"Sommer, Lea"_s, 2013, "1", 7234, 1, u"900101"_s);
        const QString exchangeFile = folder->filePath(u"EXCHANGE.NT2"_s);
        TMeldeAustausch model = entered.done();
        model.SaveToFile(exchangeFile.toStdString());
        const QString lenex = folder->filePath(u"ergebnisse.lef"_s);
        QVERIFY(QFile::copy(DataDir + u"lenex-results.lef"_s, lenex));
        const CliResult result = runCli({u"swimmers"_s, u"import"_s, exchangeFile, lenex});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(QString::fromUtf8(result.out), out.arg(lenex));
    }

    // Result lists write "0" and "000000" for no registration number and may give no first
    // name: each child stays one swimmer, a second import and the other list add nothing.
    void placeholderNumbers_onePersonEach() {
        QByteArray lenex = readBytes(DataDir + u"lenex-results.lef"_s);
        QByteArray clubList =
            readBytes(DataDir + u"2026-12-13-Musterst-SVBlauWeissBeisp-Pr.DSV7"_s);
        for (const char* number : {"900101", "900102", "900103", "900104", "900105"}) {
            lenex.replace("license=\"" + QByteArray(number) + '"', "license=\"0\"");
            clubList.replace(';' + QByteArray(number) + ';', ";000000;");
        }
        lenex.replace("lastname=\"Wolf\" firstname=\"Noah\"", "lastname=\"Wolf\" firstname=\"\"");
        clubList.replace("Wolf, Noah;", "Wolf;");
        const QString lenexFile = folder->filePath(u"ergebnisse.lef"_s);
        writeBytes(lenexFile, lenex);
        const QString clubFile = folder->filePath(u"vereinsergebnisse.dsv7"_s);
        writeBytes(clubFile, clubList);

        CompetitionBuilder club;
        club.model.ClubName = ansi(u"SV Blau-Weiß Beispielhausen"_s);
        const QString exchangeFile = folder->filePath(u"EXCHANGE.NT2"_s);
        TMeldeAustausch model = club.done();
        model.SaveToFile(exchangeFile.toStdString());

        CliResult result = runCli({u"swimmers"_s, u"import"_s, exchangeFile, lenexFile});
        QCOMPARE(QString::fromUtf8(result.err), QString());
        QCOMPARE(result.out,
                 "6 Schwimmer neu, 0 aktualisiert, 0 Meldezeiten, 10 Wettkampfzeiten\n"_ba);
        for (const QString& again : {lenexFile, clubFile}) {
            result = runCli({u"swimmers"_s, u"import"_s, again});
            QCOMPARE(QString::fromUtf8(result.err), QString());
            QCOMPARE(result.out, "0 Schwimmer neu, 0 aktualisiert, 0 Wettkampfzeiten\n"_ba);
        }
        result = runCli({u"swimmers"_s, u"list"_s});
        QCOMPARE(result.out.count('\n'), 6);
        QVERIFY(result.out.contains("\nWolf;2015;m;;ja\n"));
        QVERIFY(!result.out.contains(";0;"));
        QVERIFY(!result.out.contains("000000"));
        QByteArray expected = SampleBestTimes;
        expected.replace("Wolf, Noah", "Wolf");
        QCOMPARE(runCli({u"swimmers"_s, u"besttimes"_s}).out, expected);
    }

    // Without a known own club only --alle-vereine imports; then every club's swimmers come.
    void allClubs_onlyWhenAsked() {
        QByteArray meet = readBytes(DataDir + u"2026-12-13-Musterst-Pr.DSV7"_s);
        meet.replace("Łęcka", "Lecka");
        const QString list = folder->filePath(u"ergebnisse.dsv7"_s);
        writeBytes(list, meet);
        CliResult result = runCli({u"swimmers"_s, u"import"_s, list});
        QCOMPARE(result.exitCode, 1);
        QVERIFY(result.err.contains("Der eigene Verein ist nicht bekannt"));
        result = runCli({u"swimmers"_s, u"import"_s, u"--alle-vereine"_s, list});
        QCOMPARE(QString::fromUtf8(result.err), QString());
        QCOMPARE(result.out, "8 Schwimmer neu, 0 aktualisiert, 12 Wettkampfzeiten\n"_ba);
        QVERIFY(runCli({u"swimmers"_s, u"besttimes"_s, u"brandt"_s})
                    .out.startsWith("Brandt, Felix;2012;100m Freistil;25;01:03,10;"));
    }

    // A damaged result file among good ones stores nothing and is named with its line.
    void damagedResultFile_storesNothing() {
        QByteArray lenex = readBytes(DataDir + u"lenex-results.lef"_s);
        const QString cut = folder->filePath(u"cut.lef"_s);
        writeBytes(cut, lenex.left(lenex.indexOf("<ATHLETE athleteid=\"1003\"")));
        const CliResult result =
            runCli({u"swimmers"_s, u"import"_s, u"--alle-vereine"_s,
                    DataDir + u"2026-12-13-Musterst-SVBlauWeissBeisp-Pr.DSV7"_s, cut});
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.startsWith(("ntbmelde-cli: " + cut + ": Lenex-Datei, Zeile ").toUtf8()),
                 result.err.constData());
        QVERIFY(result.err.endsWith("; nichts übernommen.\n"));
        QCOMPARE(runCli({u"swimmers"_s, u"besttimes"_s}).out, QByteArray());
        QCOMPARE(runCli({u"swimmers"_s, u"list"_s}).out, QByteArray());
    }

private:
    std::unique_ptr<QTemporaryDir> folder;
};

QTEST_GUILESS_MAIN(TestCliBestTimes)
#include "tst_cli_besttimes.moc"
