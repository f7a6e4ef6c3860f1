// SPDX-License-Identifier: GPL-3.0-or-later
// `ntbmelde-cli import` and `export` run as a club's script runs them, on real files in a
// temporary folder.
#include <QDate>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "atomicfile.h"
#include "clirunner.h"
#include "clisample.h"
#include "lxfarchive.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// The ENTRY event ids of an exported .lef or .lxf, in file order.
QStringList entryIds(const QString& path) {
    QByteArray bytes = readFileBytes(path);
    if (path.endsWith(u".lxf"_s))
        bytes = UnpackFormatFile(bytes);
    QStringList ids;
    for (const QString& line : flattenLenex(bytes).filter(u"/ENTRY "_s))
        ids << line.section(u"eventid="_s, 1).section(u' ', 0, 0);
    return ids;
}

} // namespace

class TestCliInterop : public QObject {
    Q_OBJECT
private slots:
    void import_sampleInvitation_writesAsResaveDoesAndKeepsTheInvitation() {
        QTemporaryDir folder;
        const QString out = folder.filePath(u"EXCHANGE.NT2"_s);
        const CliResult result = runCli({u"import"_s, SampleLxf, out});
        QCOMPARE(result.err, QByteArray());
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(readFileBytes(folder.filePath(u"EXCHANGE.AUSSCHREIBUNG.lxf"_s)),
                 readFileBytes(SampleLxf));
        const QString resaved = folder.filePath(u"resaved.NT2"_s);
        QCOMPARE(runCli({u"resave"_s, out, resaved}).exitCode, 0);
        QCOMPARE(readFileBytes(out), readFileBytes(resaved));
        TMeldeAustausch model;
        model.LoadFromFile(out.toStdString());
        QCOMPARE(model.EventCount(), 10);
        QCOMPARE(model.CompName, "Nikolausschwimmfest 2026");
    }

    void import_existingTarget_isLeftAsItWas() {
        QTemporaryDir folder;
        const QString out = folder.filePath(u"EXCHANGE.NT2"_s);
        WriteFileAtomically(out.toStdString(), "alte Datei");
        const CliResult result = runCli({u"import"_s, SampleLxf, out});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(QString::fromUtf8(result.err),
                 u"ntbmelde-cli: %1 existiert bereits; nichts geschrieben\n"_s.arg(out));
        QCOMPARE(readFileBytes(out), "alte Datei");
        QVERIFY(!QFile::exists(folder.filePath(u"EXCHANGE.AUSSCHREIBUNG.lxf"_s)));
    }

    void import_refusedInvitation_writesNothing() {
        QTemporaryDir folder;
        QString sessions;
        for (int s = 1; s <= 13; ++s)
            sessions += lenexSession(s, u"2026-04-%1"_s.arg(s, 2, 10, QChar(u'0')), u"09:00"_s,
                                     lenexEvent(s));
        const QString invitation = folder.filePath(u"dreizehn.lef"_s);
        WriteFileAtomically(invitation.toStdString(), lenexMeet(sessions).toStdString());
        const QString out = folder.filePath(u"EXCHANGE.NT2"_s);
        const CliResult result = runCli({u"import"_s, invitation, out});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(QString::fromUtf8(result.err),
                 u"ntbmelde-cli: %1: Die Ausschreibung hat 13 Abschnitte; die Austauschdatei "
                 "kann höchstens 12 aufnehmen\n"_s.arg(invitation));
        QVERIFY(!QFile::exists(out));
        QVERIFY(!QFile::exists(folder.filePath(u"EXCHANGE.AUSSCHREIBUNG.lef"_s)));

        const CliResult missing = runCli({u"import"_s, folder.filePath(u"fehlt.lxf"_s), out});
        QCOMPARE(missing.exitCode, 1);
        QCOMPARE(QString::fromUtf8(missing.err),
                 u"ntbmelde-cli: %1 kann nicht gelesen werden: Datei nicht gefunden\n"_s.arg(
                     folder.filePath(u"fehlt.lxf"_s)));
        QVERIFY(!QFile::exists(out));
    }

    // The kept invitation gives the host's event ids; an explicit one is taken instead; without
    // any, the ids are the event numbers.
    void export_refersToTheKeptGivenOrNoInvitation() {
        QTemporaryDir folder;
        const QString exchange = importedWithEntries(folder);
        const QString kept = folder.filePath(u"meldung.lxf"_s);
        CliResult result = runCli({u"export"_s, exchange, kept});
        QCOMPARE(result.err, QByteArray());
        QCOMPARE(result.exitCode, 0);
        const QStringList hostIds = {u"206"_s, u"209"_s, u"202"_s, u"210"_s, u"203"_s,
                                     u"211"_s, u"201"_s, u"206"_s, u"202"_s, u"205"_s,
                                     u"210"_s, u"204"_s, u"207"_s};
        QCOMPARE(entryIds(kept), hostIds);

        QVERIFY(QFile::remove(folder.filePath(u"EXCHANGE.AUSSCHREIBUNG.lxf"_s)));
        const QString fallback = folder.filePath(u"ohne.lef"_s);
        QCOMPARE(runCli({u"export"_s, exchange, fallback}).exitCode, 0);
        QCOMPARE(entryIds(fallback),
                 QStringList({u"6"_s, u"8"_s, u"2"_s, u"9"_s, u"3"_s, u"10"_s, u"1"_s, u"6"_s,
                              u"2"_s, u"5"_s, u"9"_s, u"4"_s, u"7"_s}));

        const QString given = folder.filePath(u"mit.lef"_s);
        QCOMPARE(runCli({u"export"_s, exchange, given, u"--invitation"_s,
                         InteropDataDir + u"lenex-invitation.lef"_s})
                     .exitCode,
                 0);
        QCOMPARE(entryIds(given), hostIds);
    }

    void export_refusedEntries_leaveThePreviousExport() {
        QTemporaryDir folder;
        const QString exchange = importedWithEntries(folder);
        TMeldeAustausch model;
        model.LoadFromFile(exchange.toStdString());
        TNominRecord wrong = model.GetNomin(1);
        wrong.WkNr = 14000;
        model.SetNomin(model.NominCount() + 1, wrong);
        model.SaveToFile(exchange.toStdString());
        const QString out = folder.filePath(u"meldung.lef"_s);
        WriteFileAtomically(out.toStdString(), "voriger Export");
        const CliResult result = runCli({u"export"_s, exchange, out});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(QString::fromUtf8(result.err),
                 u"ntbmelde-cli: Die Meldung kann so nicht exportiert werden, nichts "
                 "geschrieben:\nWettkampf 14 (Frühling, Emma): diesen Wettkampf gibt es in der "
                 "Ausschreibung nicht\n"_s);
        QCOMPARE(readFileBytes(out), "voriger Export");

        // A damaged invitation is named, not the export.
        const QString damaged = folder.filePath(u"kaputt.lef"_s);
        WriteFileAtomically(damaged.toStdString(), "<LENEX version=\"3.0\">\n<MEETS>\n");
        const CliResult withDamaged =
            runCli({u"export"_s, exchange, out, u"--invitation"_s, damaged});
        QCOMPARE(withDamaged.exitCode, 1);
        QCOMPARE(QString::fromUtf8(withDamaged.err),
                 u"ntbmelde-cli: %1: Lenex-Datei, Zeile 3: die Datei endet vorzeitig und ist "
                 u"unvollständig (XML: „Premature end of document.“)\n"_s.arg(damaged));
        QCOMPARE(readFileBytes(out), "voriger Export");
    }

    // Hosts' files as they come: what was rewritten or guessed is told as "Hinweis" lines and
    // the import succeeds; a cut-off file writes nothing.
    void import_hostsFiles_areToldOrRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("told");
        const QByteArray wk8z = readFileBytes(InteropDataDir + u"2027-03-14-Musterst-Wk.DSV8z"_s);
        const QString diverse = u"Hinweis: Wettkampf 9 ist nur für diverse Schwimmer "
                                u"ausgeschrieben und wird als offener Wettkampf übernommen\n"_s;
        QTest::newRow("packed Format 8")
            << u"2027-03-14-Musterst-Wk.DSV8z"_s << wk8z << 0 << diverse;
        QTest::newRow("Format 8") << u"wk.dsv8"_s << UnpackFormatFile(wk8z) << 0 << diverse;
        const QByteArray wk7 = readFileBytes(InteropDataDir + u"2026-12-13-Musterst-Wk.DSV7"_s);
        QTest::newRow("DSV cut off")
            << u"cut.dsv7"_s << wk7.left(wk7.indexOf("WERTUNG")) << 1 << u"unvollständig"_s;
        QTest::newRow("Polish meet name")
            << u"puchar.lef"_s
            << lenexMeet(lenexSession(1, u"2026-05-02"_s, u"09:00"_s, lenexEvent(1)))
                   .replace("Testfest", "Puchar Łodzi")
            << 0 << u"Hinweis: 1 Name umgeschrieben: „Puchar Łodzi“ → „Puchar Lodzi“\n"_s;
    }
    void import_hostsFiles_areToldOrRefused() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(int, exitCode);
        QFETCH(QString, told);
        QTemporaryDir folder;
        const QString invitation = folder.filePath(name);
        WriteFileAtomically(invitation.toStdString(), bytes.toStdString());
        const QString exchange = folder.filePath(u"EXCHANGE.NT2"_s);
        const CliResult result = runCli({u"import"_s, invitation, exchange});
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2(QString::fromUtf8(result.err).contains(told), result.err.constData());
        QCOMPARE(QFile::exists(exchange), exitCode == 0);
        TMeldeAustausch model;
        if (exitCode == 0)
            model.LoadFromFile(exchange.toStdString());
        QVERIFY(model.CompName.find('?') == std::string::npos);
    }

    // The DSV7 sample meet through the tool: imported and kept, the club's entries exported
    // as the sample's Vereinsmeldeliste has them; a host's unreadable line is named.
    void dsv7_importAndExport_giveTheSampleEntries() {
        QTemporaryDir folder;
        const QString sample = InteropDataDir + u"2026-12-13-Musterst-Wk.DSV7"_s;
        const QString exchange = folder.filePath(u"EXCHANGE.NT2"_s);
        const CliResult imported = runCli({u"import"_s, sample, exchange});
        QCOMPARE(imported.err, QByteArray());
        QCOMPARE(imported.exitCode, 0);
        QCOMPARE(readFileBytes(folder.filePath(u"EXCHANGE.AUSSCHREIBUNG.DSV7"_s)),
                 readFileBytes(sample));
        TMeldeAustausch model;
        model.LoadFromFile(exchange.toStdString());
        QCOMPARE(model.EventCount(), 10);
        enterSampleClub(model);
        model.SaveToFile(exchange.toStdString());

        const QString out = folder.filePath(u"2026-12-13-Musterst-SVBlauWeissBeisp-Me.DSV7"_s);
        const CliResult exported = runCli({u"export"_s, exchange, out});
        QCOMPARE(exported.err, QByteArray());
        QCOMPARE(exported.exitCode, 0);
        auto starts = [](const QByteArray& bytes) {
            return QString::fromUtf8(bytes).split(u"\r\n"_s).filter(
                QRegularExpression(u"^(PNMELDUNG|STARTPN|STMELDUNG|STARTST|VEREIN):"_s));
        };
        // The team of event 7 has no bound on the youngest, which the tool's import writes as
        // the computer's current year.
        QStringList expected = starts(
            readFileBytes(InteropDataDir + u"2026-12-13-Musterst-SVBlauWeissBeisp-Me.DSV7"_s));
        expected.replaceInStrings(
            u"STMELDUNG:1;8;JG;2012;2026;Staffel, 1;"_s,
            u"STMELDUNG:1;8;JG;2012;%1;Staffel, 1;"_s.arg(QDate::currentDate().year()));
        QCOMPARE(starts(readFileBytes(out)), expected);

        const QString damaged = folder.filePath(u"kaputt.dsv7"_s);
        WriteFileAtomically(damaged.toStdString(),
                            "FORMAT:Wettkampfdefinitionsliste;7;\nABSCHNITT 1;01.01.2027;\n");
        const CliResult refused = runCli({u"import"_s, damaged, folder.filePath(u"neu.NT2"_s)});
        QCOMPARE(refused.exitCode, 1);
        QCOMPARE(QString::fromUtf8(refused.err),
                 u"ntbmelde-cli: %1: Zeile 2: „ABSCHNITT 1;01.01.2027;“ ist kein Datensatz\n"_s.arg(
                     damaged));
        QVERIFY(!QFile::exists(folder.filePath(u"neu.NT2"_s)));
    }

    // Help goes to standard output; a wrong call says in one line what is wrong and where the
    // help is.
    void calls_helpAndWrongCalls_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("problem"); // the first line on standard error; none: help
        QTest::newRow("--help") << QStringList{u"--help"_s} << QString();
        QTest::newRow("-h") << QStringList{u"-h"_s} << QString();
        QTest::newRow("help") << QStringList{u"help"_s} << QString();
        QTest::newRow("nothing") << QStringList() << u"kein Befehl angegeben"_s;
        QTest::newRow("unknown command")
            << QStringList{u"exportieren"_s} << u"unbekannter Befehl „exportieren“"_s;
        QTest::newRow("export without target")
            << QStringList{u"export"_s, u"EXCHANGE.NT2"_s}
            << u"falscher Aufruf, richtig: ntbmelde-cli export DATEI AUSGABE [--invitation "
               "AUSSCHREIBUNG]"_s;
    }
    void calls_helpAndWrongCalls() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, problem);
        const CliResult result = runCli(arguments);
        QCOMPARE(result.exitCode, problem.isEmpty() ? 0 : 2);
        QCOMPARE(result.out.startsWith("Aufruf:\n  ntbmelde-cli resave"), problem.isEmpty());
        QCOMPARE(QString::fromUtf8(result.err),
                 problem.isEmpty()
                     ? QString()
                     : u"ntbmelde-cli: "_s + problem + u"\nHilfe: ntbmelde-cli --help\n"_s);
    }

    // Every file error names the file, whether it was read or written, and why.
    void fileErrors_nameTheFileTheUseAndTheReason_data() {
        QTest::addColumn<QStringList>("arguments"); // "@" stands for the test's folder
        QTest::addColumn<QString>("error");
        QTest::newRow("missing input")
            << QStringList{u"report"_s, u"@/fehlt.NT2"_s}
            << u"@/fehlt.NT2 kann nicht gelesen werden: Datei nicht gefunden"_s;
        QTest::newRow("folder as input") << QStringList{u"fees"_s, u"@"_s}
                                         << u"@ kann nicht gelesen werden: Das ist ein Ordner, "
                                            "keine Datei"_s;
        QTest::newRow("missing file among swimmers to import")
            << QStringList{u"swimmers"_s, u"import"_s, u"@/EXCHANGE.NT2"_s, u"@/fehlt.csv"_s}
            << u"@/fehlt.csv kann nicht gelesen werden: Datei nicht gefunden"_s;
        QTest::newRow("output folder missing")
            << QStringList{u"export"_s, u"@/EXCHANGE.NT2"_s, u"@/x/y/meldung.lef"_s}
            << u"@/x/y/meldung.lef kann nicht geschrieben werden: Ausgabeordner @/x/y existiert "
               "nicht"_s;
        QTest::newRow("folder as output")
            << QStringList{u"resave"_s, u"@/EXCHANGE.NT2"_s, u"@"_s}
            << u"@ kann nicht geschrieben werden: Das ist ein Ordner, keine Datei"_s;
        QTest::newRow("onto the kept invitation")
            << QStringList{u"export"_s, u"@/EXCHANGE.NT2"_s, u"@/EXCHANGE.AUSSCHREIBUNG.lxf"_s}
            << u"@/EXCHANGE.AUSSCHREIBUNG.lxf kann nicht geschrieben werden: Unter diesem Namen "
               "wird eine Ausschreibung aufbewahrt, die der Export nicht überschreibt; bitte "
               "einen anderen Namen wählen"_s;
        // No invitation: said so, with where such files go (the window "Schwimmer").
        for (const auto& [sample, kind] : {std::pair(u"lenex-results.lef"_s, u"Ergebnisliste"_s),
                                           {u"2026-12-13-Musterst-Pr.DSV7"_s, u"Ergebnisliste"_s},
                                           {u"lenex-entries.lef"_s, u"Meldung von Vereinen"_s}})
            QTest::newRow(qPrintable(sample))
                << QStringList{u"import"_s, InteropDataDir + sample, u"@/neu.NT2"_s}
                << u"%1: Die Datei ist eine %2, keine Ausschreibung. *„Schwimmer“*"_s.arg(
                       InteropDataDir + sample, kind);
    }
    void fileErrors_nameTheFileTheUseAndTheReason() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        QTemporaryDir folder;
        importedWithEntries(folder);
        const CliResult result = runCli(arguments.replaceInStrings(u"@"_s, folder.path()));
        QCOMPARE(result.exitCode, 1);
        // "*" stands for any text on the one line.
        const QString expected = u"ntbmelde-cli: "_s + error.replace(u"@"_s, folder.path());
        QVERIFY2(
            QRegularExpression(
                u'^' + QRegularExpression::escape(expected).replace(u"\\*"_s, u".*"_s) + u"\n$"_s)
                .match(QString::fromUtf8(result.err))
                .hasMatch(),
            result.err.constData());
        QVERIFY(!QFile::exists(folder.filePath(u"neu.NT2"_s)));
    }

    // The invitation kept for one exchange file never serves another competition: each keeps
    // its own, an old shared one counts only for its own meet, one that is not the
    // competition's is refused naming both.
    void export_takesOnlyTheCompetitionsOwnInvitation_data() {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("hostIds");
        QTest::newRow("second competition in the folder") << u"second"_s << 0 << true;
        QTest::newRow("old shared invitation of this meet") << u"shared"_s << 0 << true;
        QTest::newRow("old shared invitation of another meet") << u"sharedOther"_s << 0 << false;
        QTest::newRow("kept file replaced by another meet") << u"replaced"_s << 1 << false;
    }
    void export_takesOnlyTheCompetitionsOwnInvitation() {
        QFETCH(QString, situation);
        QFETCH(int, exitCode);
        QFETCH(bool, hostIds);
        QTemporaryDir folder;
        const QString exchange = importedWithEntries(folder);
        const QString kept = folder.filePath(u"EXCHANGE.AUSSCHREIBUNG.lxf"_s);
        const QString other = folder.filePath(u"testfest.lef"_s);
        WriteFileAtomically(
            other.toStdString(),
            lenexMeet(lenexSession(1, u"2026-05-02"_s, u"09:00"_s, lenexEvent(1) + lenexEvent(2)))
                .toStdString());
        const QStringList arguments = {u"export"_s, exchange, folder.filePath(u"meldung.lef"_s)};
        if (situation == u"second") {
            const CliResult second = runCli({u"import"_s, other, folder.filePath(u"B.NT2"_s)});
            QCOMPARE(second.exitCode, 0);
            QVERIFY(QFile::exists(folder.filePath(u"B.AUSSCHREIBUNG.lef"_s)));
        } else if (situation == u"shared") {
            QVERIFY(QFile::rename(kept, folder.filePath(u"AUSSCHREIBUNG.lxf"_s)));
        } else if (situation == u"sharedOther") {
            QVERIFY(QFile::remove(kept));
            QVERIFY(QFile::copy(other, folder.filePath(u"AUSSCHREIBUNG.lef"_s)));
        } else {
            QVERIFY(QFile::remove(kept));
            QVERIFY(QFile::copy(other, folder.filePath(u"EXCHANGE.AUSSCHREIBUNG.lef"_s)));
        }
        const CliResult result = runCli(arguments);
        QCOMPARE(result.exitCode, exitCode);
        if (exitCode != 0) {
            QVERIFY2(result.err.endsWith(
                         ": Die Ausschreibung gehört zu „Testfest“ (02.05.2026), die "
                         "Austauschdatei zu „Nikolausschwimmfest 2026“ (12.12.2026); nichts "
                         "geschrieben\n"),
                     result.err.constData());
            QVERIFY(!QFile::exists(folder.filePath(u"meldung.lef"_s)));
            return;
        }
        QCOMPARE(entryIds(folder.filePath(u"meldung.lef"_s)).first(), hostIds ? u"206"_s : u"6"_s);
    }

    // Import and export say in one line what they wrote, in singular and plural.
    void success_saysWhatWasWritten_data() {
        QTest::addColumn<bool>("oneEntry");
        QTest::addColumn<QString>("line");
        QTest::newRow("sample club") << false << u"13 Meldungen, 6 Schwimmer, 2 Staffeln"_s;
        QTest::newRow("one entry") << true << u"1 Meldung, 1 Schwimmer, 0 Staffeln"_s;
    }
    void success_saysWhatWasWritten() {
        QFETCH(bool, oneEntry);
        QFETCH(QString, line);
        QTemporaryDir folder;
        const QString exchange = folder.filePath(u"EXCHANGE.NT2"_s);
        const CliResult imported = runCli({u"import"_s, SampleLxf, exchange});
        QCOMPARE(QString::fromUtf8(imported.out),
                 u"%1: 10 Wettkämpfe in 3 Abschnitten; Ausschreibung aufbewahrt als %2\n"_s.arg(
                     exchange, folder.filePath(u"EXCHANGE.AUSSCHREIBUNG.lxf"_s)));
        TMeldeAustausch model;
        model.LoadFromFile(exchange.toStdString());
        enterSampleClub(model);
        while (oneEntry && model.NominCount() > 1)
            model.DeleteNomin(model.NominCount());
        model.SaveToFile(exchange.toStdString());
        const QString out = folder.filePath(u"meldung.lxf"_s);
        const CliResult exported = runCli({u"export"_s, exchange, out});
        QCOMPARE(exported.err, QByteArray());
        QCOMPARE(QString::fromUtf8(exported.out), out + u": "_s + line + u'\n');
    }

    // What the entry check refuses, and a swimmer twice in one event, never reach a host; two
    // relay teams of one name are two teams.
    void export_refusesCheckedFaultsAndDoubleEntries_data() {
        QTest::addColumn<int>("position");    // of the sample nomination changed
        QTest::addColumn<int>("year");        // its new birth year; 0: entered once more
        QTest::addColumn<QString>("refusal"); // empty: exported
        QTest::newRow("too old for the event")
            << 5 << 2010
            << u"Wettkampf 3 (Herbst, Mia): In diesem Wettkampf sind nur Teilnehmer der "
               "Jahrgänge 2016 bis 2018 erlaubt"_s;
        QTest::newRow("swimmer twice in one event")
            << 1 << 0 << u"Wettkampf 6 (Frühling, Emma): 2-mal gemeldet (Meldungen 1, 3)"_s;
        QTest::newRow("two relay teams") << 9 << 0 << QString();
    }
    void export_refusesCheckedFaultsAndDoubleEntries() {
        QFETCH(int, position);
        QFETCH(int, year);
        QFETCH(QString, refusal);
        QTemporaryDir folder;
        const QString exchange = importedWithEntries(folder);
        TMeldeAustausch model;
        model.LoadFromFile(exchange.toStdString());
        TNominRecord nomin = model.GetNomin(position);
        nomin.BirthYear = year ? year : nomin.BirthYear;
        model.SetNomin(year ? position : model.NominCount() + 1, nomin);
        model.SaveToFile(exchange.toStdString());
        const CliResult result = runCli({u"export"_s, exchange, folder.filePath(u"m.lef"_s)});
        QCOMPARE(result.exitCode, refusal.isEmpty() ? 0 : 1);
        QVERIFY2(QString::fromUtf8(result.err).contains(u'\n' + refusal + u'\n') ||
                     refusal.isEmpty(),
                 result.err.constData());
    }
};

QTEST_GUILESS_MAIN(TestCliInterop)
#include "tst_cli_interop.moc"
