// SPDX-License-Identifier: GPL-3.0-or-later
// The swimmers of relay teams: who may swim in which team, the class of a masters relay by its
// summed ages, the suggested team time, and what both exports write of them.
#include <QTemporaryDir>
#include <QTest>

#include "environment.h"
#include "interopfiles.h"
#include "interopfixtures.h"
#include "relayfixture.h"
#include "relayteams.h"

using namespace Qt::StringLiterals;

using People = QList<int>;

namespace {

QString namesOf(const People& people) {
    QStringList names;
    for (const int person : people)
        names << QString::fromUtf8(RelayPeople[person].Name);
    return names.join(u", "_s);
}

} // namespace

class TestRelayTeams : public QObject {
    Q_OBJECT

    TMeldeAustausch model;
    TInvitation invitation;

private slots:
    void initTestCase() {
        PinCurrentYear(2026);
        invitation = ReadDsv7Invitation(relayInvitationDsv());
        model = relayCompetition();
    }
    void cleanupTestCase() { PinCurrentYear(0); }

    // The team's name stays as typed: no swimmer's name to turn round.
    void relayNomination_keepsTeamName() {
        QCOMPARE(model.Nomin(2).Name, ansi(u"TV Möwe 1"_s));
        QCOMPARE(model.Nomin(1).Name, ansi(QString::fromUtf8(RelayPeople[0].Name)));
    }

    void checkLineUp_data() {
        QTest::addColumn<int>("event");
        QTest::addColumn<QString>("team");
        QTest::addColumn<People>("people");
        QTest::addColumn<People>("otherTeam"); // "TV Möwe 2" in event 2, kept before
        QTest::addColumn<int>("refusedLeg");   // -1 accepted, 0 the team, else the swimmer
        const QString one = u"TV Möwe 1"_s;
        QTest::newRow("mixed team of four") << 2 << one << People{0, 1, 2, 3} << People{} << -1;
        QTest::newRow("no names") << 2 << one << People{} << People{} << -1;
        QTest::newRow("outer blanks of the name")
            << 2 << u" TV Möwe 1 "_s << People{0, 1, 2, 3} << People{} << -1;
        QTest::newRow("five swimmers") << 2 << one << People{0, 1, 2, 3, 4} << People{} << 4;
        QTest::newRow("three swimmers") << 2 << one << People{0, 1, 2} << People{} << 3;
        QTest::newRow("woman in a male relay") << 3 << one << People{0, 1, 2, 4} << People{} << 3;
        QTest::newRow("born before the event's years")
            << 2 << one << People{0, 1, 2, 5} << People{} << 4;
        QTest::newRow("twice in the team") << 2 << one << People{0, 1, 0, 3} << People{} << 3;
        QTest::newRow("already in the other team")
            << 2 << one << People{0, 1, 2, 3} << People{4, 1} << 2;
        QTest::newRow("other team without them")
            << 2 << one << People{0, 1, 2, 3} << People{4} << -1;
        QTest::newRow("no such team") << 2 << u"TV Möwe 3"_s << People{0, 1, 2, 3} << People{} << 0;
        QTest::newRow("no relay event")
            << 1 << QString::fromUtf8(RelayPeople[0].Name) << People{0} << People{} << 0;
        QTest::newRow("masters sum 108 in 100+")
            << 4 << u"TV Möwe Masters"_s << People{5, 7, 0, 1} << People{} << -1;
        QTest::newRow("masters sum 182 in no class")
            << 4 << u"TV Möwe Masters"_s << People{5, 6, 7, 8} << People{} << 0;
    }
    void checkLineUp() {
        QFETCH(int, event);
        QFETCH(QString, team);
        QFETCH(People, people);
        QFETCH(People, otherTeam);
        QFETCH(int, refusedLeg);
        TCompanion companion;
        if (!otherTeam.isEmpty())
            companion.LineUps.push_back(lineUp(2, u"TV Möwe 2"_s, {}));
        for (const int person : otherTeam)
            companion.LineUps.back().Swimmers.push_back(relaySwimmer(person));
        TRelayLineUp tried{event * 1000, ansi(team), {}};
        for (const int person : people)
            tried.Swimmers.push_back(relaySwimmer(person));
        const auto refusal = CheckLineUp(model, invitation, companion, tried);
        QCOMPARE(refusal ? refusal->Leg : -1, refusedLeg);
        if (refusal)
            QVERIFY(!refusal->Message.isEmpty());
    }

    // The classes of the DSV invitation ("AK;100+", "AK;120+") limit the sum of the ages in the
    // year of the competition, both bounds included.
    void relayClass_data() {
        QTest::addColumn<People>("people");
        QTest::addColumn<int>("sum");
        QTest::addColumn<int>("classMin"); // -1: none
        QTest::newRow("42+37+15+14") << People{5, 7, 0, 1} << 108 << 100;
        QTest::newRow("upper bound 119") << People{6, 5, 0, 1} << 119 << 100;
        QTest::newRow("lower bound 120") << People{6, 5, 0, 2} << 120 << 120;
        QTest::newRow("42+48+37+15") << People{5, 6, 7, 0} << 142 << 120;
        QTest::newRow("42+48+37+55") << People{5, 6, 7, 8} << 182 << -1;
        QTest::newRow("youngsters only") << People{0, 1, 2, 3} << 57 << -1;
    }
    void relayClass() {
        QFETCH(People, people);
        QFETCH(int, sum);
        QFETCH(int, classMin);
        std::vector<TRelaySwimmer> swimmers;
        for (const int person : people)
            swimmers.push_back(relaySwimmer(person));
        const TInvitationEvent* event = HostEventOf(invitation, 4000);
        QVERIFY(event);
        QCOMPARE(SummedAge(swimmers, AgeYear(invitation)), sum);
        const TAgeGroup* group = RelayClassOf(*event, swimmers, AgeYear(invitation));
        QCOMPARE(group ? group->MinAge : -1, classMin);
        if (group)
            QVERIFY(group->MinAge <= sum && sum <= group->MaxAge);
        QVERIFY(SummedAgeClasses(*HostEventOf(invitation, 2000)).empty());
    }

    // Each leg is asked for its own stroke and the relay's distance per swimmer; the sum needs
    // every leg's time.
    void suggestion_data() {
        QTest::addColumn<QString>("relay");
        QTest::addColumn<QList<int>>("strokes"); // TStroke per leg
        QTest::addColumn<int>("distance");
        QTest::addColumn<int>("legWithoutTime"); // -1: all have one
        QTest::newRow("medley") << u"4x50m Lagen"_s
                                << QList<int>{int(TStroke::Ruecken), int(TStroke::Brust),
                                              int(TStroke::Schmetterling), int(TStroke::Freistil)}
                                << 50 << -1;
        QTest::newRow("freestyle")
            << u"4x100m Freistil"_s << QList<int>(4, int(TStroke::Freistil)) << 100 << -1;
        QTest::newRow("a leg without time")
            << u"4x50m Freistil"_s << QList<int>(4, int(TStroke::Freistil)) << 50 << 2;
    }
    void suggestion() {
        QFETCH(QString, relay);
        QFETCH(QList<int>, strokes);
        QFETCH(int, distance);
        QFETCH(int, legWithoutTime);
        const auto discipline = ReadDiscipline(ansi(relay));
        QVERIFY(discipline);
        const std::vector<TRelaySwimmer> swimmers = lineUp(2, {}, {0, 1, 2, 3}).Swimmers;
        QList<int> asked;
        int expected = 0;
        const auto bestTime = [&](const TRelaySwimmer& swimmer,
                                  const TDiscipline& leg) -> std::optional<int> {
            const int at = static_cast<int>(asked.size());
            asked << int(leg.Stroke);
            if (swimmer != swimmers[at] || leg.Distance != distance || leg.RelayCount != 1 ||
                at == legWithoutTime)
                return std::nullopt;
            expected += 3000 + 111 * at;
            return 3000 + 111 * at;
        };
        const std::optional<int> sum = RelayTimeSuggestion(*discipline, swimmers, bestTime);
        QCOMPARE(asked, legWithoutTime < 0 ? strokes : strokes.first(legWithoutTime + 1));
        QCOMPARE(sum.has_value(), legWithoutTime < 0);
        if (sum)
            QCOMPARE(*sum, expected);
        QVERIFY(!RelayTimeSuggestion(*discipline, {swimmers[0]}, bestTime));
    }

    // Lenex carries the teams with their swimmers in start order (one swimming alone too is
    // one athlete; a relay swimmer without a start of his own has no entries), the masters
    // class by its bounds and age group, a team without names as before. The DSV export is
    // checked against its record rules (tst_dsv7).
    void export_lenex_writesRelayPositionsAndClasses() {
        QTemporaryDir folder;
        const QString invitationPath = folder.filePath(u"host.DSV7"_s);
        QFile host(invitationPath);
        QVERIFY(host.open(QIODevice::WriteOnly) && host.write(relayInvitationDsv()) > 0);
        host.close();
        TCompanion companion;
        companion.LineUps = {lineUp(2, u"TV Möwe 1"_s, {0, 1, 2, 3}),
                             lineUp(4, u"TV Möwe Masters"_s, {5, 7, 0, 1})};
        const std::string out = folder.filePath(u"meldung.lef"_s).toStdString();
        const TExportSummary summary =
            ExportEntries(model, out, invitationPath.toStdString(), nullptr, companion);
        QCOMPARE(summary.Swimmers, 6);
        QCOMPARE(summary.Relays, 4);
        const QByteArray bytes = readFileBytes(QString::fromStdString(out));
        QCOMPARE(lenexStructureBreaches(bytes).join(u'\n'), QString());
        const QStringList lines = flattenLenex(bytes, {u"SESSIONS"_s, u"CONTACT"_s});
        QMap<QString, QString> names;
        QStringList teams, relayOnly;
        const auto value = [](const QString& line, const QString& key) {
            return line.section(u' ' + key + u'=', 1).section(u' ', 0, 0);
        };
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString& line = lines[i];
            if (line.contains(u"/ATHLETE "_s)) {
                const QString id = value(line, u"athleteid"_s);
                names[id] = value(line, u"lastname"_s) + u", "_s + value(line, u"firstname"_s);
                if (!lines.value(i + 1).contains(u"/ATHLETE/ENTRIES"_s))
                    relayOnly << names[id];
            } else if (line.contains(u"/RELAY/ENTRIES/ENTRY "_s)) {
                const QString& relay = lines[i - 2];
                // The name holds blanks; "number" follows it in the sorted attributes.
                teams << u"%1 %2 %3..%4 %5:"_s.arg(
                    value(line, u"eventid"_s), value(line, u"agegroupid"_s),
                    value(relay, u"agetotalmin"_s), value(relay, u"agetotalmax"_s),
                    relay.section(u" name="_s, 1).section(u" number="_s, 0, 0));
            } else if (line.contains(u"/RELAYPOSITION "_s)) {
                // Legs in order: each name before holds two commas.
                QCOMPARE(value(line, u"number"_s).toInt(), teams.last().count(u',') / 2 + 1);
                teams.last() += u' ' + names.value(value(line, u"athleteid"_s)) + u',';
            }
        }
        const auto team = [](const QString& head, const People& people) {
            return people.isEmpty() ? head : head + u' ' + namesOf(people) + u',';
        };
        QCOMPARE(teams, QStringList({team(u"2  -1..-1 TV Möwe 1:"_s, {0, 1, 2, 3}),
                                     u"2  -1..-1 TV Möwe 2:"_s, u"3  -1..-1 TV Möwe 1:"_s,
                                     team(u"4 4 100..119 TV Möwe Masters:"_s, {5, 7, 0, 1})}));
        relayOnly.sort();
        QCOMPARE(relayOnly.join(u", "_s), namesOf({1, 2, 3, 5, 7}));
    }

    // An export for the host refuses a line-up the entry dialog would refuse.
    void export_refusedLineUp_writesNothing() {
        QTemporaryDir folder;
        const std::string out = folder.filePath(u"meldung.lef"_s).toStdString();
        TCompanion companion;
        companion.LineUps = {lineUp(3, u"TV Möwe 1"_s, {0, 1, 2, 4})};
        QVERIFY_THROWS_EXCEPTION(TInteropError,
                                 ExportEntries(model, out, std::nullopt, nullptr, companion));
        QVERIFY(!QFile::exists(QString::fromStdString(out)));
    }
};

QTEST_GUILESS_MAIN(TestRelayTeams)
#include "tst_relayteams.moc"
