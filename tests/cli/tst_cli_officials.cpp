// SPDX-License-Identifier: GPL-3.0-or-later
// `ntbmelde-cli officials …` as a club's script runs it: the officials' list in a store of the
// test's own, their nomination for the sample meet in its companion file, and what the exports,
// check --warnings and fees make of it.
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "clisample.h"
#include "exchangelock.h"
#include "swimmerstore.h"

using namespace Qt::Literals::StringLiterals;

using Calls = QList<QStringList>;

namespace {

// Three officials of the club, one of them without number, one diverse.
const QByteArray OfficialsCsv = "Name;Vorname;Kampfrichter-Nr.;Gruppe;Geschlecht;Aktiv\r\n"
                                "Kraus;Martina;4711;WKR;w;ja\r\n"
                                "Lindner;Paul;;SCH;m;ja\r\n"
                                "Rau;Kim;815;SPR;d;nein\r\n"_ba;

QStringList lines(const QByteArray& text) {
    QStringList result = QString::fromUtf8(text).split(QRegularExpression(u"\r?\n"_s));
    result.removeAll(QString());
    return result;
}

// The sample meet of the DSV7 invitation (three sections) entered by the sample club, whose
// officials and trainer are in the store.
struct Club {
    std::unique_ptr<QTemporaryDir> folder = folderWithOwnStore();
    QString exchange = importedWithEntries(*folder, SampleDsv7);

    Club() {
        const QString csv = folder->filePath(u"kampfrichter.csv"_s);
        writeBytes(csv, OfficialsCsv);
        if (run({u"import"_s, csv}).exitCode != 0 ||
            run({u"trainers"_s, u"add"_s, u"Falk, Sabine"_s, u"w"_s}).exitCode != 0)
            qFatal("officials not stored");
    }
    static CliResult run(QStringList arguments) {
        arguments.prepend(u"officials"_s);
        return runCli(arguments);
    }
    CliResult nominate(const QStringList& arguments) const {
        return run(QStringList{u"nominate"_s, exchange} + arguments);
    }
    QStringList shown() const { return lines(run({u"show"_s, exchange}).out); }
};

} // namespace

class TestCliOfficials : public QObject {
    Q_OBJECT
private slots:
    // The list goes out as it came in (the sex stays with the store), and in again unchanged.
    void importListExport() {
        const Club club;
        const CliResult listed = Club::run({u"list"_s});
        QCOMPARE(listed.exitCode, 0);
        QCOMPARE(lines(listed.out),
                 QStringList({u"Kraus, Martina;4711;WKR;W;ja"_s, u"Lindner, Paul;;SCH;M;ja"_s,
                              u"Rau, Kim;815;SPR;D;nein"_s}));
        const QString out = club.folder->filePath(u"aus.csv"_s);
        QCOMPARE(Club::run({u"export"_s, out}).exitCode, 0);
        const CliResult again = Club::run({u"import"_s, out});
        QCOMPARE(again.exitCode, 0);
        QCOMPARE(again.out, "0 Kampfrichter neu, 0 geändert.\n"_ba);
        QCOMPARE(lines(Club::run({u"list"_s}).out), lines(listed.out));

        // A character the exchange file lacks is rewritten as in the swimmers' list, and said.
        const QString polish = club.folder->filePath(u"polnisch.csv"_s);
        writeBytes(polish, "Name;Vorname;Gruppe\nWałęsa;Łucja;AUS\n"_ba);
        const CliResult rewritten = Club::run({u"import"_s, polish});
        QCOMPARE(rewritten.exitCode, 0);
        QVERIFY2(rewritten.err.startsWith("Hinweis: "), rewritten.err.constData());
        QVERIFY(lines(Club::run({u"list"_s}).out).contains(u"Walesa, Lucja;;AUS;;ja"_s));

        const QString bad = club.folder->filePath(u"falsch.csv"_s);
        writeBytes(bad, "Name;Gruppe\nOtt;WKR\nBerg;Helfer\n");
        const CliResult refused = Club::run({u"import"_s, bad});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY(refused.err.contains("Zeile 3"));
        QCOMPARE(lines(Club::run({u"list"_s}).out).size(), lines(listed.out).size() + 1);
    }

    // Each call in turn; what the last one says, and what is nominated afterwards. A refused
    // call changes nothing.
    void nominate_data() {
        QTest::addColumn<Calls>("calls");
        QTest::addColumn<bool>("deleteKraus"); // from the store, after the calls
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QStringList>("shown");
        const QString kraus12 = u"Kraus, Martina (Nr. 4711, WKR): Abschnitte 1 (ZN), 2 (ZN)"_s;
        QTest::newRow("by name with wished position")
            << Calls{{u"Kraus, Martina"_s, u"--abschnitte"_s, u"2,1"_s, u"--einsatz"_s, u"zn"_s}}
            << false << 0 << QString() << QStringList{kraus12};
        QTest::newRow("by number, again replaces")
            << Calls{{u"4711"_s, u"--abschnitte"_s, u"3"_s},
                     {u"kraus, martina"_s, u"--abschnitte"_s, u"1,2"_s, u"--einsatz"_s, u"ZN"_s}}
            << false << 0 << QString() << QStringList{kraus12};
        QTest::newRow("unknown official")
            << Calls{{u"Ott, Ina"_s, u"--abschnitte"_s, u"1"_s}} << false << 1
            << u"„Ott, Ina“ ist weder Name noch Nummer"_s
            << QStringList{u"Keine Kampfrichter gemeldet."_s};
        QTest::newRow("section not in the competition")
            << Calls{{u"4711"_s, u"--abschnitte"_s, u"1,2"_s, u"--einsatz"_s, u"ZN"_s},
                     {u"4711"_s, u"--abschnitte"_s, u"1,4"_s}}
            << false << 1 << u"Abschnitt 4 gibt es in diesem Wettkampf nicht (Abschnitte 1 bis 3)"_s
            << QStringList{kraus12};
        QTest::newRow("position unknown")
            << Calls{{u"Lindner, Paul"_s, u"--abschnitte"_s, u"1"_s, u"--einsatz"_s, u"XY"_s}}
            << false << 1 << u"Einsatzwunsch „XY“ unbekannt"_s
            << QStringList{u"Keine Kampfrichter gemeldet."_s};
        QTest::newRow("sections no numbers")
            << Calls{{u"Lindner, Paul"_s, u"--abschnitte"_s, u"eins"_s}} << false << 1
            << u"Abschnitte „eins“"_s << QStringList{u"Keine Kampfrichter gemeldet."_s};
        QTest::newRow("withdrawn by number, another stays")
            << Calls{{u"4711"_s, u"--abschnitte"_s, u"1"_s},
                     {u"Lindner, Paul"_s, u"--abschnitte"_s, u"3"_s, u"--einsatz"_s, u"SCH"_s},
                     {u"4711"_s, u"--entfernen"_s}}
            << false << 0 << QString() << QStringList{u"Lindner, Paul (SCH): Abschnitt 3 (SCH)"_s};
        QTest::newRow("withdrawing one not nominated")
            << Calls{{u"Lindner, Paul"_s, u"--entfernen"_s}} << false << 1
            << u"Lindner, Paul ist für diesen Wettkampf nicht gemeldet"_s
            << QStringList{u"Keine Kampfrichter gemeldet."_s};
        QTest::newRow("deleted from the store since")
            << Calls{{u"4711"_s, u"--abschnitte"_s, u"1,2"_s, u"--einsatz"_s, u"ZN"_s}} << true << 0
            << QString() << QStringList{kraus12 + u" – nicht mehr in der Kampfrichterliste"_s};
    }
    void nominate() {
        QFETCH(Calls, calls);
        QFETCH(bool, deleteKraus);
        QFETCH(int, exitCode);
        QFETCH(QString, error);
        QFETCH(QStringList, shown);
        const Club club;
        CliResult last;
        for (const QStringList& call : calls)
            last = club.nominate(call);
        QCOMPARE(last.exitCode, exitCode);
        QVERIFY2(QString::fromUtf8(last.err).contains(error), last.err.constData());
        if (deleteKraus) {
            TSwimmerStore store(club.folder->filePath(u"store"_s));
            QVERIFY(store.DeleteOfficial(store.FindOfficial("4711")->Id));
        }
        QCOMPARE(club.shown(), shown);
    }

    // A program that has the competition open writes the companion file itself.
    void nominate_whileOpenInProgram_changesNothing() {
        const Club club;
        TExchangeLock program(club.exchange.toStdString());
        QCOMPARE(program.TryLock(), TExchangeLock::Result::Locked);
        const CliResult refused = club.nominate({u"4711"_s, u"--abschnitte"_s, u"1"_s});
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains("nichts geändert"), refused.err.constData());
        QCOMPARE(club.shown(), QStringList{u"Keine Kampfrichter gemeldet."_s});
    }

    // Officials and trainer go to the host in the format's records; Lenex has no place for
    // sections nor trainers.
    void exported_data() {
        QTest::addColumn<QString>("out");
        QTest::addColumn<QStringList>("staff");
        QTest::addColumn<QString>("note");
        QTest::newRow("DSV7") << u"meldung.dsv7"_s
                              << QStringList{u"ANSPRECHPARTNER"_s,
                                             u"KARIMELDUNG:1;Kraus, Martina;WKR;"_s,
                                             u"KARIABSCHNITT:1;1;ZN;"_s,
                                             u"KARIABSCHNITT:1;2;ZN;"_s,
                                             u"KARIMELDUNG:2;Rau, Kim;SPR;"_s,
                                             u"KARIABSCHNITT:2;3;;"_s,
                                             u"TRAINER:1;Falk, Sabine;"_s,
                                             u"PNMELDUNG:Frühling, Emma;900102;1;W;2015;;1;;;;"_s}
                              << QString();
        const QString official = u"LENEX/MEETS/MEET/CLUBS/CLUB/OFFICIALS/OFFICIAL "_s;
        QTest::newRow("Lenex")
            << u"meldung.lef"_s
            << QStringList{official + u"firstname=Martina gender=F grade=WKR lastname=Kraus "
                                      u"license=4711 officialid=1"_s,
                           official + u"firstname=Kim grade=SPR lastname=Rau license=815 "
                                      u"officialid=2"_s}
            << u"Lenex kennt keine Trainer"_s;
    }
    void exported() {
        QFETCH(QString, out);
        QFETCH(QStringList, staff);
        QFETCH(QString, note);
        const Club club;
        QCOMPARE(club.nominate({u"Kraus, Martina"_s, u"--abschnitte"_s, u"1,2"_s, u"--einsatz"_s,
                                u"ZN"_s})
                     .exitCode,
                 0);
        QCOMPARE(club.nominate({u"815"_s, u"--abschnitte"_s, u"3"_s}).exitCode, 0);
        QCOMPARE(Club::run({u"trainer"_s, club.exchange, u"falk, sabine"_s}).exitCode, 0);
        const QString path = club.folder->filePath(out);
        const CliResult exported = runCli({u"export"_s, club.exchange, path});
        QCOMPARE(exported.exitCode, 0);
        QVERIFY2(note.isEmpty() ? !exported.err.contains("Trainer")
                                : QString::fromUtf8(exported.err).contains(note),
                 exported.err.constData());
        const QByteArray bytes = readBytes(path);
        if (out.endsWith(u".lef"_s)) {
            QCOMPARE(lenexStructureBreaches(bytes), QStringList());
            QCOMPARE(flattenLenex(bytes).filter(u"/OFFICIAL "_s), staff);
            return;
        }
        // In this order, after the contact and before the swimmers.
        const QStringList records = lines(bytes).filter(
            QRegularExpression(u"^(ANSPRECHPARTNER|KARI|TRAINER|PNMELDUNG:Frühling)"_s));
        QCOMPARE(records.size(), staff.size());
        QVERIFY(records[0].startsWith(staff[0]));
        QCOMPARE(records.mid(1), staff.mid(1));
    }

    // Sections the club starts in without an official are hinted, counted as German counts.
    void hints_data() {
        QTest::addColumn<QString>("sections"); // nominated, empty for none
        QTest::addColumn<QString>("hint");     // empty: none expected
        QTest::newRow("none nominated")
            << QString() << u"3 Abschnitte ohne Kampfrichter: 1, 2, 3"_s;
        QTest::newRow("one left") << u"1,3"_s << u"1 Abschnitt ohne Kampfrichter: 2"_s;
        QTest::newRow("all covered") << u"1,2,3"_s << QString();
    }
    void hints() {
        QFETCH(QString, sections);
        QFETCH(QString, hint);
        const Club club;
        if (!sections.isEmpty())
            QCOMPARE(club.nominate({u"Lindner, Paul"_s, u"--abschnitte"_s, sections}).exitCode, 0);
        const QStringList checked = lines(runCli({u"check"_s, u"--warnings"_s, club.exchange}).out);
        const QStringList fees = lines(runCli({u"fees"_s, club.exchange}).out);
        if (hint.isEmpty()) {
            QCOMPARE(checked.filter(u"ohne Kampfrichter"_s), QStringList());
            QCOMPARE(fees.filter(u"ohne Kampfrichter"_s), QStringList());
        } else {
            QCOMPARE(checked.filter(u"ohne Kampfrichter"_s),
                     QStringList{u"Hinweis: "_s + hint + u'.'});
            QCOMPARE(fees.filter(u"ohne Kampfrichter"_s), QStringList{hint + u'.'});
        }
    }
};

QTEST_GUILESS_MAIN(TestCliOfficials)
#include "tst_cli_officials.moc"
