// SPDX-License-Identifier: GPL-3.0-or-later
// Distance, relay count and stroke read from event names as hosts write them.
#include <QTest>

#include "competitionbuilder.h"
#include "discipline.h"

using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(TStroke)

class TestDiscipline : public QObject {
    Q_OBJECT
private slots:
    void eventName_givesItsDiscipline_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("relayCount");
        QTest::addColumn<int>("distance");
        QTest::addColumn<TStroke>("stroke");
        QTest::addColumn<QString>("shortName"); // as the best times list it
        auto row = [](const QString& name, int relayCount, int distance, TStroke stroke,
                      const QString& shortName) {
            QTest::newRow(qPrintable(name))
                << name << relayCount << distance << stroke << shortName;
        };
        row(u"100m Freistil"_s, 1, 100, TStroke::Freistil, u"100m Freistil"_s);
        row(u"50m Brust"_s, 1, 50, TStroke::Brust, u"50m Brust"_s);
        row(u"200m Lagen"_s, 1, 200, TStroke::Lagen, u"200m Lagen"_s);
        row(u"4x50m Lagen"_s, 4, 50, TStroke::Lagen, u"4x50m Lagen"_s);
        row(u"4 x 100 m Freistilstaffel weiblich"_s, 4, 100, TStroke::Freistil,
            u"4x100m Freistil"_s);
        row(u"8×50m Brust mixed"_s, 8, 50, TStroke::Brust, u"8x50m Brust"_s);
        row(u"100 Meter Schmetterling"_s, 1, 100, TStroke::Schmetterling, u"100m Schmetterling"_s);
        row(u"1500m FREISTIL männlich"_s, 1, 1500, TStroke::Freistil, u"1500m Freistil"_s);
        row(u"50m Rücken weiblich"_s, 1, 50, TStroke::Ruecken, u"50m Rücken"_s);
        row(u"50m Ruecken"_s, 1, 50, TStroke::Ruecken, u"50m Rücken"_s);
        row(u"100m Delphin"_s, 1, 100, TStroke::Schmetterling, u"100m Schmetterling"_s);
        // A technique counts as a word of its own, never inside another.
        row(u"25m Beine Kraul Kinder"_s, 1, 25, TStroke::Freistil, u"25m Freistil Beine"_s);
        row(u"50m Freistil beine offen"_s, 1, 50, TStroke::Freistil, u"50m Freistil Beine"_s);
        row(u"25m Brust Arme"_s, 1, 25, TStroke::Brust, u"25m Brust Arme"_s);
        row(u"50m Freistil Startsprung"_s, 1, 50, TStroke::Freistil, u"50m Freistil"_s);
        // Numbers that are no distance come before the one that is.
        row(u"Jg. 2012 und jünger: 50m Brust"_s, 1, 50, TStroke::Brust, u"50m Brust"_s);
        row(u"Lagen 3 Bahnen 75m"_s, 1, 75, TStroke::Lagen, u"75m Lagen"_s);
    }
    void eventName_givesItsDiscipline() {
        QFETCH(QString, name);
        QFETCH(int, relayCount);
        QFETCH(int, distance);
        QFETCH(TStroke, stroke);
        QFETCH(QString, shortName);
        const std::optional<TDiscipline> discipline = ReadDiscipline(ansi(name));
        QVERIFY(discipline);
        QCOMPARE(discipline->RelayCount, relayCount);
        QCOMPARE(discipline->Distance, distance);
        QCOMPARE(discipline->Stroke, stroke);
        QCOMPARE(discipline->TotalDistance(), relayCount * distance);
        QCOMPARE(utf16(DisciplineName(*discipline)), shortName);
    }

    void eventNameWithoutDistanceOrStroke_givesNone_data() {
        QTest::addColumn<QString>("name");
        for (const QString& name : {
                 u""_s, u"Kinderschwimmen"_s,
                 u"100m"_s,             // no stroke
                 u"Freistil offen"_s,   // no distance
                 u"5 Minuten Brust"_s,  // minutes, not metres
                 u"100mFreistil"_s,     // "m" must end its word
                 u"50m Überlagen"_s,    // a stroke starts a word
                 u"123456m Freistil"_s, // no distance that long
                 u"0m Brust"_s,         // nor none at all
                 u"4x Lagen"_s,         // a relay count without distance
             })
            QTest::newRow(qPrintable(name.isEmpty() ? u"(empty)"_s : name)) << name;
    }
    void eventNameWithoutDistanceOrStroke_givesNone() {
        QFETCH(QString, name);
        QCOMPARE(ReadDiscipline(ansi(name)), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestDiscipline)
#include "tst_discipline.moc"
