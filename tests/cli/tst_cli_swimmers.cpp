// SPDX-License-Identifier: GPL-3.0-or-later
// `ntbmelde-cli swimmers import|export|list`, run as a club's script runs them on real files,
// with the store in a folder of its own named by NTBMELDE_DATA_DIR.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "../shared/competitionbuilder.h"
#include "clirunner.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

class TestCliSwimmers : public QObject {
    Q_OBJECT
private slots:
    void init() {
        folder = std::make_unique<QTemporaryDir>();
        QVERIFY(folder->isValid());
        qputenv("NTBMELDE_DATA_DIR", folder->filePath(u"store"_s).toLocal8Bit());
    }

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
        QCOMPARE(result.out, "Meier, Hans;2008;m;DE-4711;ja\n"
                             "Zorn, Eva;2011;x;4712;nein\n"
                             "Özdemir, Ülkü;2010;w;;ja\n"_ba);

        const QString exported = folder->filePath(u"export.csv"_s);
        writeBytes(exported, "previous");
        result = runCli({u"swimmers"_s, u"export"_s, exported});
        QCOMPARE(result.err, QByteArray());
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(readBytes(exported),
                 "\xEF\xBB\xBFName;Vorname;Jahrgang;Geschlecht;Reg.-Nr.;Aktiv\r\n"
                 "Meier;Hans;2008;m;DE-4711;ja\r\n"
                 "Zorn;Eva;2011;x;4712;nein\r\n"
                 "Özdemir;Ülkü;2010;w;;ja\r\n"_ba);

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
        writeBytes(bad, "Name,Jahrgang,Geschlecht\nLang,2008,m\nKern,08,m\n"_ba);
        CliResult result = runCli({u"swimmers"_s, u"import"_s, good, bad});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.out, QByteArray());
        QCOMPARE(
            QString::fromUtf8(result.err),
            u"ntbmelde-cli: %1: Zeile 3: Jahrgang „08“ ungültig; nichts übernommen.\n"_s.arg(bad));
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
