// SPDX-License-Identifier: GPL-3.0-or-later
// `ntbmelde-cli import` and `export` run as a club's script runs them, on real files in a
// temporary folder.
#include <QDate>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "../interop/interopfixtures.h"
#include "atomicfile.h"
#include "clirunner.h"
#include "lxfarchive.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QString SampleLxf = InteropDataDir + u"lenex-invitation.lxf"_s;

// The ENTRY event ids of an exported .lef or .lxf, in file order.
QStringList entryIds(const QString& path) {
    QByteArray bytes = readFileBytes(path);
    if (path.endsWith(u".lxf"_s))
        bytes = UnpackLxf(bytes);
    QStringList ids;
    for (const QString& line : flattenLenex(bytes).filter(u"/ENTRY "_s))
        ids << line.section(u"eventid="_s, 1).section(u' ', 0, 0);
    return ids;
}

// The sample meet imported by the tool, with the sample club's nominations added.
QString importedWithEntries(const QTemporaryDir& folder) {
    const QString exchange = folder.filePath(u"EXCHANGE.NT2"_s);
    if (runCli({u"import"_s, SampleLxf, exchange}).exitCode != 0)
        qFatal("import failed");
    TMeldeAustausch model;
    model.LoadFromFile(exchange.toStdString());
    enterSampleClub(model);
    model.SaveToFile(exchange.toStdString());
    return exchange;
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
        QCOMPARE(readFileBytes(folder.filePath(u"AUSSCHREIBUNG.lxf"_s)), readFileBytes(SampleLxf));
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
        QVERIFY(!QFile::exists(folder.filePath(u"AUSSCHREIBUNG.lxf"_s)));
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
        QVERIFY(!QFile::exists(folder.filePath(u"AUSSCHREIBUNG.lef"_s)));

        const CliResult missing = runCli({u"import"_s, folder.filePath(u"fehlt.lxf"_s), out});
        QCOMPARE(missing.exitCode, 1);
        QCOMPARE(missing.err, "ntbmelde-cli: Datei nicht gefunden\n");
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

        QVERIFY(QFile::remove(folder.filePath(u"AUSSCHREIBUNG.lxf"_s)));
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
        QCOMPARE(readFileBytes(folder.filePath(u"AUSSCHREIBUNG.DSV7"_s)), readFileBytes(sample));
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
        expected.replaceInStrings(u"STMELDUNG:1;8;JG;2012;2026;;"_s,
                                  u"STMELDUNG:1;8;JG;2012;%1;;"_s.arg(QDate::currentDate().year()));
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

    void wrongCalls_exitWithTwo_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("import without target") << QStringList{u"import"_s, SampleLxf};
        QTest::newRow("export without target") << QStringList{u"export"_s, u"EXCHANGE.NT2"_s};
        QTest::newRow("unknown option")
            << QStringList{u"export"_s, u"a.NT2"_s, u"b.lef"_s, u"--ausschreibung"_s, u"c.lef"_s};
        QTest::newRow("invitation option without file")
            << QStringList{u"export"_s, u"a.NT2"_s, u"b.lef"_s, u"--invitation"_s};
    }
    void wrongCalls_exitWithTwo() {
        QFETCH(QStringList, arguments);
        const CliResult result = runCli(arguments);
        QCOMPARE(result.exitCode, 2);
        QVERIFY(result.err.contains("ntbmelde-cli export DATEI AUSGABE [--invitation"));
    }
};

QTEST_GUILESS_MAIN(TestCliInterop)
#include "tst_cli_interop.moc"
