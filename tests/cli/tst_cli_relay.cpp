// SPDX-License-Identifier: GPL-3.0-or-later
// `ntbmelde-cli relay FILE WKNR TEAM SWIMMER...` and `relay show FILE`, run on an exchange file
// with its kept invitation and a swimmer store of the test's own.
#include <QTest>

#include <memory>

#include "clirunner.h"
#include "environment.h"
#include "interopfiles.h"
#include "relayfixture.h"
#include "relayteams.h"
#include "swimmerstore.h"

using namespace Qt::StringLiterals;

namespace {

// Each kept team as "event|team: names".
QStringList keptTeams(const QString& exchangeFile, const TMeldeAustausch& model) {
    QStringList teams;
    for (const TRelayLineUp& kept :
         LoadCompanion(exchangeFile.toStdString(), model).Companion.LineUps) {
        QStringList names;
        for (const TRelaySwimmer& swimmer : kept.Swimmers)
            names << utf16(swimmer.Name);
        teams << u"%1|%2: %3"_s.arg(kept.WkNr / 1000).arg(utf16(kept.Team), names.join(u", "_s));
    }
    return teams;
}

QString teamLine(int event, const QString& team, std::initializer_list<int> people) {
    QStringList names;
    for (const int person : people)
        names << QString::fromUtf8(RelayPeople[person].Name);
    return u"%1|%2: %3"_s.arg(event).arg(team, names.join(u", "_s));
}

} // namespace

class TestCliRelay : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> folder;
    QString exchangeFile;
    TMeldeAustausch model;

private slots:
    void initTestCase() { PinCurrentYear(2026); }

    // An exchange file with its kept invitation, the swimmers stored, team 1 of event 2 named.
    void init() {
        folder = folderWithOwnStore();
        model = relayCompetition();
        exchangeFile = folder->filePath(u"EXCHANGE.NT2"_s);
        model.SaveToFile(exchangeFile.toStdString());
        writeBytes(
            QString::fromStdString(KeptInvitationPath(exchangeFile.toStdString(), "host.DSV7")),
            relayInvitationDsv());
        TSwimmerStore store(folder->filePath(u"store"_s));
        storeRelayPeople<TSwimmer>(store);
        const CliResult named =
            runCli({u"relay"_s, exchangeFile, u"2"_s, u"TV Möwe 1"_s, u"Ahlborn, Tjark"_s,
                    u"700102"_s, u"caspari, wiebke"_s, u"Femke Dornbusch"_s});
        QCOMPARE(named.err, QByteArray());
        QCOMPARE(named.exitCode, 0);
    }

    void relay_data() {
        QTest::addColumn<QStringList>("arguments"); // after FILE
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("teams"); // kept afterwards
        const QString first = teamLine(2, u"TV Möwe 1"_s, {0, 1, 2, 3});
        QTest::newRow("masters team in its class")
            << QStringList{u"4"_s,      u"TV Möwe Masters"_s, u"700106"_s,
                           u"700108"_s, u"Ahlborn, Tjark"_s,  u"Brunn, Ole"_s}
            << 0 << QStringList{first, teamLine(4, u"TV Möwe Masters"_s, {5, 7, 0, 1})};
        QTest::newRow("masters team in no class")
            << QStringList{u"4"_s,      u"TV Möwe Masters"_s, u"700106"_s, u"Godt, Hinnerk"_s,
                           u"700108"_s, u"700109"_s}
            << 1 << QStringList{first};
        QTest::newRow("unknown swimmer")
            << QStringList{u"2"_s,      u"TV Möwe 1"_s, u"Ahlborn, Tjark"_s, u"Niemand, Nora"_s,
                           u"700102"_s, u"700103"_s}
            << 1 << QStringList{first};
        QTest::newRow("too many swimmers")
            << QStringList{u"3"_s,      u"TV Möwe 1"_s,     u"700101"_s, u"700102"_s,
                           u"700105"_s, u"Godt, Hinnerk"_s, u"700109"_s}
            << 1 << QStringList{first};
        QTest::newRow("no such team")
            << QStringList{u"3"_s, u"TV Möwe 2"_s, u"700101"_s} << 1 << QStringList{first};
        QTest::newRow("team without names again")
            << QStringList{u"2"_s, u" TV Möwe 1"_s} << 0 << QStringList{};
        QTest::newRow("wrong call") << QStringList{u"2"_s} << 2 << QStringList{first};
    }
    void relay() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QStringList, teams);
        const QString companion = QString::fromStdString(CompanionPath(exchangeFile.toStdString()));
        const QByteArray before = readBytes(companion);
        const CliResult result = runCli(QStringList{u"relay"_s, exchangeFile} + arguments);
        QCOMPARE(result.exitCode, exitCode);
        QCOMPARE(result.err.isEmpty(), exitCode == 0);
        QCOMPARE(keptTeams(exchangeFile, model), teams);
        if (exitCode != 0)
            QCOMPARE(readBytes(companion), before);
    }

    // `check --warnings` names each team whose kept line-up the relay rules refuse, as an export
    // would; line-ups written past the rules (by hand, or before the swimmer list changed).
    void checkWarnings_namesRefusedLineUps_data() {
        QTest::addColumn<int>("event");
        QTest::addColumn<QString>("team");
        QTest::addColumn<QList<int>>("people");
        QTest::addColumn<QStringList>("hinted"); // the teams named in hints
        QTest::newRow("accepted line-ups")
            << 2 << u"TV Möwe 1"_s << QList<int>{3, 2, 1, 0} << QStringList();
        QTest::newRow("swimmers in two teams of one event")
            << 2 << u"TV Möwe 2"_s << QList<int>{4, 0, 1, 2}
            << QStringList{u"TV Möwe 1"_s, u"TV Möwe 2"_s};
        QTest::newRow("incomplete line-up")
            << 3 << u"TV Möwe 1"_s << QList<int>{0, 1} << QStringList{u"TV Möwe 1"_s};
        QTest::newRow("masters team in no class")
            << 4 << u"TV Möwe Masters"_s << QList<int>{5, 6, 7, 8}
            << QStringList{u"TV Möwe Masters"_s};
    }
    void checkWarnings_namesRefusedLineUps() {
        QFETCH(int, event);
        QFETCH(QString, team);
        QFETCH(QList<int>, people);
        QFETCH(QStringList, hinted);
        TCompanion companion = LoadCompanion(exchangeFile.toStdString(), model).Companion;
        TRelayLineUp written = lineUp(event, team, {});
        for (const int person : people)
            written.Swimmers.push_back(relaySwimmer(person));
        SetLineUp(companion, written);
        SaveCompanion(exchangeFile.toStdString(), model, companion);
        const CliResult result = runCli({u"check"_s, u"--warnings"_s, exchangeFile});
        QCOMPARE(result.exitCode, 0);
        // Each hint by the team it names first (its reason may name another).
        QStringList named;
        for (const QString& line : QString::fromUtf8(result.out).split(u'\n')) {
            QString first;
            qsizetype at = line.size();
            for (const QString& name : {u"TV Möwe 1"_s, u"TV Möwe 2"_s, u"TV Möwe Masters"_s}) {
                const qsizetype found = line.indexOf(name);
                if (line.startsWith(u"Hinweis:"_s) && found >= 0 && found < at) {
                    first = name;
                    at = found;
                }
            }
            if (!first.isEmpty())
                named << first;
        }
        QCOMPARE(named, hinted);
    }

    // Every relay team in file order, with its swimmers; one deleted from the store since stays,
    // and is the one marked.
    void show_listsTeamsKeepingDeletedSwimmers() {
        {
            TSwimmerStore store(folder->filePath(u"store"_s));
            const auto gone = store.FindSwimmer(ansi(u"Brunn, Ole"_s), 2013, 0, "700102").Swimmer;
            QVERIFY(gone && store.DeleteSwimmer(gone->Id));
        }
        const CliResult result = runCli({u"relay"_s, u"show"_s, exchangeFile});
        QCOMPARE(result.exitCode, 0);
        const QStringList lines = QString::fromUtf8(result.out).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4 + 4);
        QVERIFY(lines[0].contains(u"TV Möwe 1"_s));
        for (int leg = 0; leg < 4; ++leg) {
            const QString& line = lines[1 + leg];
            QVERIFY2(line.contains(QString::fromUtf8(RelayPeople[leg].Name)), qPrintable(line));
            QCOMPARE(line.contains(u'('), leg == 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestCliRelay)
#include "tst_cli_relay.moc"
