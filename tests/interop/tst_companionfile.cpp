// SPDX-License-Identifier: GPL-3.0-or-later
// The companion file beside the exchange file: what is written is read back unchanged, and a
// file that is damaged or another competition's is never used nor overwritten silently.
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "atomicfile.h"
#include "companionfile.h"
#include "interopfixtures.h"

namespace {

TMeldeAustausch competition(const char* name) {
    TMeldeAustausch model;
    model.CompName = name;
    model.Date1 = "14.03.2027";
    return model;
}

TCompanion sampleCompanion() {
    TCompanion companion;
    companion.Officials = {{toAnsi(u"Kraus, Martina"_qs), "K-17", "WKR", "W", {{1, "ZN"}, {2, ""}}},
                           {"Lindner, Paul", "", "SCH", "", {}}};
    companion.LineUps = {{TMeldeAustausch::TextToWkNr("4"),
                          toAnsi(u"SV Blau-Weiß 1"_qs),
                          {{toAnsi(u"Groß, Ben"_qs), 2014, 0, "900104"}, {"Wolf", 2015, 0, ""}}}};
    companion.Trainers = {{"Falk, Sabine", "W"}};
    return companion;
}

} // namespace

class TestCompanionFile : public QObject {
    Q_OBJECT
private slots:
    void roundTrip() {
        QTemporaryDir dir;
        const std::string exchange = QDir(dir.path()).filePath(u"Kreis.NT2"_qs).toStdString();
        QCOMPARE(QString::fromStdString(CompanionPath(exchange)),
                 QDir(dir.path()).filePath(u"Kreis.ZUSATZ.json"_qs));
        const TMeldeAustausch model = competition("Kreismeisterschaften");
        QVERIFY(LoadCompanion(exchange, model).Companion.IsEmpty());
        SaveCompanion(exchange, model, sampleCompanion());
        const TCompanionLoad load = LoadCompanion(exchange, model);
        QCOMPARE(load.Problem, QString());
        QVERIFY(load.Companion == sampleCompanion());
        // Nothing left to keep: the file goes.
        SaveCompanion(exchange, model, {});
        QVERIFY(!QFile::exists(QString::fromStdString(CompanionPath(exchange))));
    }

    void unusableFileIsKeptAside_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not JSON") << QByteArray("{\"Zusatzdatei\": 1, ") << u"unlesbar"_qs;
        QTest::newRow("other program") << QByteArray("[1, 2]") << u"kein Inhalt"_qs;
        QTest::newRow("newer version") << QByteArray("{\"Zusatzdatei\": 2}") << u"neuere"_qs;
        QTest::newRow("other competition")
            << QByteArray("{\"Zusatzdatei\": 1, \"Meldung\": {\"Wettkampf\": \"Stadtpokal\", "
                          "\"Datum\": \"14.03.2027\"}}")
            << u"Stadtpokal"_qs;
        const QByteArray meet =
            "{\"Zusatzdatei\": 1, \"Meldung\": {\"Wettkampf\": \"Kreismeisterschaften\", "
            "\"Datum\": \"14.03.2027\"}, ";
        QTest::newRow("official without name")
            << meet + "\"Kampfrichter\": [{\"Nr\": \"1\"}]}" << u"Name"_qs;
        QTest::newRow("section not a number")
            << meet + "\"Kampfrichter\": [{\"Name\": \"A, B\", \"Abschnitte\": [{\"Abschnitt\": "
                      "\"eins\"}]}]}"
            << u"Abschnitt"_qs;
        QTest::newRow("relay of no event")
            << meet + "\"Staffeln\": [{\"Wettkampf\": \"x\", \"Mannschaft\": \"A\"}]}"
            << u"Wettkampfnummer"_qs;
        QTest::newRow("swimmer of unknown sex")
            << meet + "\"Staffeln\": [{\"Wettkampf\": \"4\", \"Mannschaft\": \"A\", "
                      "\"Schwimmer\": [{\"Name\": \"A, B\", \"Jahrgang\": 2014, "
                      "\"Geschlecht\": 7}]}]}"
            << u"Geschlecht"_qs;
        QTest::newRow("letter Windows-1252 lacks")
            << meet + "\"Trainer\": [{\"Name\": \"\xe4\xb8\xad\"}]}" << u"Name"_qs;
    }
    void unusableFileIsKeptAside() {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const std::string exchange = QDir(dir.path()).filePath(u"Kreis.NT2"_qs).toStdString();
        const TMeldeAustausch model = competition("Kreismeisterschaften");
        WriteFileAtomically(CompanionPath(exchange), content.toStdString());

        const TCompanionLoad load = LoadCompanion(exchange, model);
        QVERIFY(load.Companion.IsEmpty());
        QVERIFY2(load.Problem.contains(reason), qPrintable(load.Problem));
        QVERIFY(load.Problem.contains(u"Kreis.ZUSATZ.json"_qs));

        QStringList notes;
        SaveCompanion(exchange, model, sampleCompanion(), &notes);
        QCOMPARE(notes.size(), 1);
        const QStringList aside =
            QDir(dir.path()).entryList({u"Kreis.ZUSATZ_*.json"_qs}, QDir::Files);
        QCOMPARE(aside.size(), 1);
        QVERIFY(notes.first().contains(aside.first()));
        QCOMPARE(QByteArray::fromStdString(
                     ReadWholeFile(QDir(dir.path()).filePath(aside.first()).toStdString())),
                 content);
        QVERIFY(LoadCompanion(exchange, model).Companion == sampleCompanion());
    }
};

QTEST_GUILESS_MAIN(TestCompanionFile)
#include "tst_companionfile.moc"
