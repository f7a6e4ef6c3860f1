// SPDX-License-Identifier: GPL-3.0-or-later
// `ntbmelde-cli swimmers import|export|list|check`, run as a club's script runs them on real files,
// with the store in a folder of its own named by NTBMELDE_DATA_DIR.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "../shared/competitionbuilder.h"
#include "../store/legacystore.h"
#include "clirunner.h"

using namespace Qt::Literals::StringLiterals;

namespace {} // namespace

class TestCliSwimmers : public QObject {
    Q_OBJECT
private slots:
    void init() { folder = folderWithOwnStore(); }

    // An exchange file and a list kept in a spreadsheet in one call, imported again, listed
    // and exported.
    void importListExport_competitionAndSpreadsheet() {
        CompetitionBuilder entered;
        entered.model.CompName = "Stadtmeisterschaft";
        entered.model.Date1 = "14.06.2026";
        entered.model.LaneLen = 25;
        entered.event("1", u"100m Freistil"_s);
        entered.event("2", u"4x50m Lagen"_s, 0, 1, true);
        entered.nomin(u"Meier, Hans"_s, 2008, "1", 6512, 0, u"DE-4711"_s);
        entered.nomin(u"Özdemir, Ülkü"_s, 2010, "1", 7012, 1);
        entered.nomin(u"SV Neustadt I"_s, 0, "2", 15000, 2);
        const QString exchangeFile = folder->filePath(u"EXCHANGE.NT2"_s);
        TMeldeAustausch model = entered.done();
        model.SaveToFile(exchangeFile.toStdString());
        const QString list = folder->filePath(u"Mannschaft.CSV"_s);
        writeBytes(list, "Name;Vorname;Jahrgang;Geschlecht;Aktiv\r\n"
                         "meier;hans;2008;m;ja\r\n"
                         "Zorn;Eva;2011;d;nein\r\n"_ba);

        CliResult result = runCli({u"swimmers"_s, u"import"_s, exchangeFile, list});
        QCOMPARE(result.err, QByteArray());
        QCOMPARE(result.out, "3 Schwimmer neu, 0 aktualisiert, 2 Meldezeiten\n"_ba);
        QCOMPARE(result.exitCode, 0);
        result = runCli({u"swimmers"_s, u"import"_s, exchangeFile});
        QCOMPARE(result.out, "0 Schwimmer neu, 0 aktualisiert, 2 Meldezeiten\n"_ba);
        // A list without the column Aktiv leaves the flag alone.
        const QString withoutActive = folder->filePath(u"ohne-aktiv.csv"_s);
        writeBytes(withoutActive,
                   "Name;Vorname;Jahrgang;Geschlecht;Reg.-Nr.\r\nZorn;Eva;2011;x;4712\r\n"_ba);
        result = runCli({u"swimmers"_s, u"import"_s, withoutActive});
        QCOMPARE(result.out, "0 Schwimmer neu, 1 aktualisiert, 0 Meldezeiten\n"_ba);

        result = runCli({u"swimmers"_s, u"list"_s});
        QCOMPARE(result.exitCode, 0);
        // In German order: Ö with O.
        QCOMPARE(result.out, "Meier, Hans;2008;m;DE-4711;ja\n"
                             "Özdemir, Ülkü;2010;w;;ja\n"
                             "Zorn, Eva;2011;x;4712;nein\n"_ba);

        const QString exported = folder->filePath(u"export.csv"_s);
        writeBytes(exported, "previous");
        result = runCli({u"swimmers"_s, u"export"_s, exported});
        QCOMPARE(result.err, QByteArray());
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(readBytes(exported),
                 "\xEF\xBB\xBFName;Vorname;Jahrgang;Geschlecht;Reg.-Nr.;Aktiv\r\n"
                 "Meier;Hans;2008;m;DE-4711;ja\r\n"
                 "Özdemir;Ülkü;2010;w;;ja\r\n"
                 "Zorn;Eva;2011;x;4712;nein\r\n"_ba);

        const QString nowhere = folder->filePath(u"missing/export.csv"_s);
        result = runCli({u"swimmers"_s, u"export"_s, nowhere});
        QCOMPARE(result.exitCode, 1);
        QVERIFY(result.err.startsWith("ntbmelde-cli: "));
        QVERIFY(!QFile::exists(nowhere));
    }

    // A bad line in any file stores nothing of any file.
    void import_badFile_storesNothing() {
        const QString good = folder->filePath(u"good.csv"_s);
        writeBytes(good, "Name,Jahrgang,Geschlecht\nBerg,2009,w\n"_ba);
        const QString bad = folder->filePath(u"bad.csv"_s);
        writeBytes(bad, "Name,Jahrgang,Geschlecht\nLang,2008,m\nKern,208,m\n"_ba);
        CliResult result = runCli({u"swimmers"_s, u"import"_s, good, bad});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.out, QByteArray());
        QCOMPARE(
            QString::fromUtf8(result.err),
            u"ntbmelde-cli: %1: Zeile 3: Jahrgang „208“ ungültig; nichts übernommen.\n"_s.arg(bad));
        result = runCli({u"swimmers"_s, u"import"_s, good, folder->filePath(u"missing.nt2"_s)});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(runCli({u"swimmers"_s, u"list"_s}).out, QByteArray());
    }

    // A store the tool cannot use is named and left alone.
    void damagedStore_failsAndStaysUntouched() {
        QVERIFY(QDir().mkpath(folder->filePath(u"store"_s)));
        const QString storeFile = folder->filePath(u"store/ntbmelde.sqlite"_s);
        writeBytes(storeFile, QByteArray("kein SQLite").repeated(100));
        const QString list = folder->filePath(u"list.csv"_s);
        writeBytes(list, "Name;Jahrgang;Geschlecht\nBerg;2009;w\n"_ba);
        for (const QStringList& call :
             {QStringList{u"swimmers"_s, u"list"_s}, QStringList{u"swimmers"_s, u"import"_s, list},
              QStringList{u"swimmers"_s, u"export"_s, folder->filePath(u"out.csv"_s)}}) {
            const CliResult result = runCli(call);
            QCOMPARE(result.exitCode, 1);
            QCOMPARE(QString::fromUtf8(result.err),
                     u"ntbmelde-cli: Die Schwimmerliste ist nicht verfügbar: Die Datei %1 ist "
                     "beschädigt; sie bleibt unverändert erhalten.\n"_s.arg(storeFile));
        }
        QCOMPARE(readBytes(storeFile), QByteArray("kein SQLite").repeated(100));
        QVERIFY(!QFile::exists(folder->filePath(u"out.csv"_s)));
    }

    // Without NTBMELDE_DATA_DIR the list lives in the user's data folder, "ntbmelde" in it;
    // reading creates none, importing does.
    void withoutDataDir_usesTheUsersDataFolder() {
        qunsetenv("NTBMELDE_DATA_DIR");
        const QString previous = qEnvironmentVariable("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", folder->filePath(u"share"_s).toLocal8Bit());
        const QString storeFile = folder->filePath(u"share/ntbmelde/ntbmelde.sqlite"_s);
        const CliResult listed = runCli({u"swimmers"_s, u"list"_s});
        const bool createdByReading = QFile::exists(storeFile);
        const QString list = folder->filePath(u"list.csv"_s);
        writeBytes(list, "Name;Jahrgang;Geschlecht\nBerg;2009;w\n"_ba);
        const CliResult imported = runCli({u"swimmers"_s, u"import"_s, list});
        if (previous.isEmpty())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", previous.toLocal8Bit());
        QCOMPARE(listed.exitCode, 0);
        QVERIFY(!createdByReading);
        QCOMPARE(imported.exitCode, 0);
        QVERIFY(QFile::exists(storeFile));
    }

    // `swimmers check` lists stored records that count as one swimmer, once per group with
    // what each holds, and exits 1 then; it creates no store.
    void check_listsRecordsThatCountAsOne_data() {
        QTest::addColumn<QString>("store");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("out");
        QTest::newRow("no store") << u"none"_s << 0 << "Keine Schwimmer doppelt gespeichert.\n"_ba;
        QTest::newRow("one record each")
            << u"clean"_s << 0 << "Keine Schwimmer doppelt gespeichert.\n"_ba;
        QTest::newRow("placeholder numbers of an earlier version")
            << u"version one"_s << 1
            << "Wohl dieselbe Person (im Fenster „Schwimmer“ zusammenführen):\n"
               "  Brandt, Lotte;2012;w;;ja;1 Meldezeit;0 Wettkampfzeiten\n"
               "  BRANDT, LOTTE;2012;w;;ja;0 Meldezeiten;0 Wettkampfzeiten\n"_ba;
    }

    void check_listsRecordsThatCountAsOne() {
        QFETCH(QString, store);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, out);
        const QString storeFile = folder->filePath(u"store/ntbmelde.sqlite"_s);
        if (store == u"version one"_s) {
            QVERIFY(QDir().mkpath(folder->filePath(u"store"_s)));
            createVersionOneStore(storeFile);
        } else if (store == u"clean"_s) {
            const QString list = folder->filePath(u"list.csv"_s);
            writeBytes(list, "Name;Vorname;Jahrgang;Geschlecht;Reg.-Nr.\n"
                             "Brandt;Lotte;2012;w;0\nBrandt;Lotte;2013;w;000000\n"_ba);
            QCOMPARE(runCli({u"swimmers"_s, u"import"_s, list}).exitCode, 0);
        }
        const CliResult result = runCli({u"swimmers"_s, u"check"_s});
        QCOMPARE(QString::fromUtf8(result.err), QString());
        QCOMPARE(result.out, out);
        QCOMPARE(result.exitCode, exitCode);
        QCOMPARE(QFile::exists(storeFile), store != u"none"_s);
    }

    // Whatever `swimmers export` writes, `swimmers import` reads back into an empty store
    // unchanged, names of every awkward kind included.
    void exportImport_roundTripKeepsAwkwardNames() {
        const QStringList surnames = {u"Q"_s,
                                      u"Zand"_s,
                                      u"O'Brien"_s,
                                      u"Müller-Lüdenscheidt"_s,
                                      u"Winterberg-Lüdenscheidt"_s,
                                      u"Abcdefghijklmnopqrstuvwxyzabcd"_s,
                                      u"van der Berg"_s,
                                      u"Kr\tämer"_s};
        const QStringList firstNames = {QString(), u"Jonas"_s, u"Anna-Lena"_s, u"Zoë Marie"_s};
        QByteArray list = "Name;Vorname;Jahrgang;Geschlecht;Reg.-Nr.\r\n"_ba;
        int year = 1990;
        for (const QString& surname : surnames) {
            for (const QString& firstName : firstNames)
                list += (surname + u';' + firstName +
                         u";%1;w;%2\r\n"_s.arg(year++).arg(year % 3 == 0 ? u"0"_s
                                                                         : u" 0%1 "_s.arg(year)))
                            .toUtf8();
        }
        list += ";Meier;2015;m;\r\n"_ba;
        const QString first = folder->filePath(u"first.csv"_s);
        writeBytes(first, list);
        const CliResult imported = runCli({u"swimmers"_s, u"import"_s, first});
        QCOMPARE(QString::fromUtf8(imported.err), QString());
        QCOMPARE(imported.out, "33 Schwimmer neu, 0 aktualisiert, 0 Meldezeiten\n"_ba);
        const QString exported = folder->filePath(u"exported.csv"_s);
        QCOMPARE(runCli({u"swimmers"_s, u"export"_s, exported}).exitCode, 0);
        const QByteArray listed = runCli({u"swimmers"_s, u"list"_s}).out;
        QVERIFY(!listed.contains('\t'));
        QVERIFY(listed.contains("\nMeier;2015;m;;ja\n"));

        qputenv("NTBMELDE_DATA_DIR", folder->filePath(u"second store"_s).toLocal8Bit());
        QCOMPARE(runCli({u"swimmers"_s, u"import"_s, exported}).out,
                 "33 Schwimmer neu, 0 aktualisiert, 0 Meldezeiten\n"_ba);
        QCOMPARE(runCli({u"swimmers"_s, u"list"_s}).out, listed);
        const QString again = folder->filePath(u"again.csv"_s);
        QCOMPARE(runCli({u"swimmers"_s, u"export"_s, again}).exitCode, 0);
        QCOMPARE(readBytes(again), readBytes(exported));
    }

    void wrongCall_givesUsage_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no subcommand") << QStringList{u"swimmers"_s};
        QTest::newRow("import without file") << QStringList{u"swimmers"_s, u"import"_s};
        QTest::newRow("export without file") << QStringList{u"swimmers"_s, u"export"_s};
        QTest::newRow("export of two") << QStringList{u"swimmers"_s, u"export"_s, u"a"_s, u"b"_s};
        QTest::newRow("list with file") << QStringList{u"swimmers"_s, u"list"_s, u"a"_s};
        QTest::newRow("unknown") << QStringList{u"swimmers"_s, u"merge"_s};
    }
    void wrongCall_givesUsage() {
        QFETCH(QStringList, arguments);
        const CliResult result = runCli(arguments);
        QCOMPARE(result.exitCode, 2);
        QVERIFY(result.err.contains("ntbmelde-cli swimmers import DATEI..."));
        QVERIFY(!QFile::exists(folder->filePath(u"store"_s)));
    }

private:
    std::unique_ptr<QTemporaryDir> folder;
};

QTEST_GUILESS_MAIN(TestCliSwimmers)
#include "tst_cli_swimmers.moc"
