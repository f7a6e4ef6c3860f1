// SPDX-License-Identifier: GPL-3.0-or-later
// The club's officials and trainers in the store and as a CSV list: who counts as already
// stored, what an import changes, what the store refuses.
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include "environment.h"
#include "officialcsv.h"
#include "swimmerfixture.h"
#include "swimmerstore.h"

using namespace Qt::Literals::StringLiterals;

using Officials = std::vector<TOfficial>;
Q_DECLARE_METATYPE(Officials)

namespace {

QStringList described(const Officials& officials) {
    QStringList lines;
    for (const TOfficial& each : officials)
        lines << describedOfficial(each);
    return lines;
}

// Two officials the club has kept for years.
const Officials Kept = {official("Kraus, Martina", "4711", "WKR", "W"),
                        official("Lindner, Paul", "", "SCH", "M")};

} // namespace

class TestOfficials : public QObject {
    Q_OBJECT
private slots:
    void init() {
        folder = std::make_unique<QTemporaryDir>();
        QVERIFY(folder->isValid());
        store = std::make_unique<TSwimmerStore>(folder->path());
        for (TOfficial each : Kept)
            QVERIFY2(store->SaveOfficial(each), qPrintable(store->Problem()));
    }

    void csv_read_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("officials"); // or the error alone
        QTest::newRow("own header, UTF-8 with mark")
            << "\xEF\xBB\xBFName;Vorname;Kampfrichter-Nr.;Gruppe;Aktiv\r\n"
               "Kraus;Martina;4711;WKR;ja\r\nBöhm;Jörg;;spr;nein\r\n"_ba
            << QStringList{u"Kraus, Martina|4711|WKR||ja"_s, u"Böhm, Jörg||SPR||nein"_s};
        QTest::newRow("other titles, commas, Windows-1252, sex")
            << "Nachname,Vorname,KR-Nr.,Gruppe,Geschlecht\n"
               "B\xF6hm,J\xF6rg,12,aus,m\nOtt,Ina,,SCH,w\nRau,Kim,,WKR,d\n"_ba
            << QStringList{u"Böhm, Jörg|12|AUS|M|ja"_s, u"Ott, Ina||SCH|W|ja"_s,
                           u"Rau, Kim||WKR|D|ja"_s};
        QTest::newRow("group unknown")
            << "Name;Gruppe\nKraus;WKR\nOtt;Zeitnehmer\n"_ba
            << QStringList{u"Zeile 3: Gruppe „Zeitnehmer“ unbekannt (WKR, AUS, SCH oder SPR)"_s};
        QTest::newRow("group missing") << "Name;Vorname;Aktiv\nKraus;Martina;ja\n"_ba
                                       << QStringList{u"Zeile 1: Kopfzeile ohne Spalte „Gruppe“"_s};
        QTest::newRow("name missing") << "Name;Vorname;Gruppe\nKraus;Martina;WKR\n ; ;SCH\n"_ba
                                      << QStringList{u"Zeile 3: Name fehlt"_s};
        QTest::newRow("sex unknown") << "Name;Gruppe;Geschlecht\nOtt;SCH;q\n"_ba
                                     << QStringList{u"Zeile 2: Geschlecht „q“ unbekannt (m, w, "
                                                    u"d oder leer)"_s};
        QTest::newRow("number too long")
            << "Name;Kampfrichter-Nr.;Gruppe\nOtt;1234567890123456;SCH\n"_ba
            << QStringList{u"Zeile 2: Kampfrichter-Nr. „1234567890123456“ länger als 15 "
                           u"Zeichen"_s};
        QTest::newRow("a swimmer list")
            << "Name;Vorname;Jahrgang;Geschlecht\nKraus;Martina;1980;w\n"_ba
            << QStringList{u"Zeile 1: Spalte „Jahrgang“ unbekannt; bekannt sind Name (Nachname), "
                           u"Vorname, Kampfrichter-Nr. (KR-Nr., Nummer), Gruppe, Aktiv, "
                           u"Geschlecht"_s};
    }
    void csv_read() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, officials);
        const TCsvOfficials read = ReadOfficialsCsv(file.toStdString());
        QCOMPARE(read.Error.isEmpty() ? described(read.Officials) : QStringList{read.Error},
                 officials);
        QVERIFY(read.Error.isEmpty() || read.Officials.empty());
    }

    // What the tool writes it reads back as it was, quotes and all; the sex stays out of the
    // list clubs exchange.
    void csv_export_readsBackAsWritten() {
        const Officials written = {official("Semi;kolon, Eva \"Evi\"", "7", "SPR", "", false),
                                   official("Einname", "", "AUS")};
        const std::string file = OfficialsToCsv(written);
        QVERIFY(QByteArray::fromStdString(file).startsWith(
            "\xEF\xBB\xBFName;Vorname;Kampfrichter-Nr.;Gruppe;Aktiv\r\n"));
        const TCsvOfficials read = ReadOfficialsCsv(file);
        QCOMPARE(read.Error, QString());
        QVERIFY(!read.HasSexColumn);
        QCOMPARE(described(read.Officials), described(written));
    }

    // A refused change names its reason and leaves the store as it was.
    void save_data() {
        QTest::addColumn<int>("replacing"); // the kept official's index, -1 for a new one
        QTest::addColumn<Officials>("saved");
        QTest::addColumn<QString>("problem");
        QTest::addColumn<QStringList>("stored");
        const QStringList kept = described(Kept);
        QTest::newRow("new, name trimmed")
            << -1 << Officials{official("  Ott, Ina ", "12", "AUS", "W")} << QString()
            << (kept + QStringList{u"Ott, Ina|12|AUS|W|ja"_s});
        QTest::newRow("a kept one changed")
            << 1 << Officials{official("Lindner, Paul", "99", "SPR", "M", false)} << QString()
            << QStringList{kept[0], u"Lindner, Paul|99|SPR|M|nein"_s};
        QTest::newRow("name of another, in capitals")
            << -1 << Officials{official("KRAUS, MARTINA", "", "WKR")}
            << u"Kraus, Martina ist schon in der Kampfrichterliste."_s << kept;
        QTest::newRow("number of another")
            << 1 << Officials{official("Lindner, Paul", "4711", "SCH")}
            << u"Die Kampfrichter-Nr. 4711 hat schon Kraus, Martina."_s << kept;
        QTest::newRow("group unknown")
            << -1 << Officials{official("Ott, Ina", "", "ZN")}
            << u"Gruppe „ZN“ unbekannt (WKR, AUS, SCH oder SPR)."_s << kept;
        QTest::newRow("sex unknown") << -1 << Officials{official("Ott, Ina", "", "WKR", "X")}
                                     << u"Geschlecht „X“ unbekannt (M, W, D oder leer)."_s << kept;
        QTest::newRow("name missing") << -1 << Officials{official(" , ", "", "WKR")}
                                      << u"Der Name des Kampfrichters fehlt."_s << kept;
    }
    void save() {
        QFETCH(int, replacing);
        QFETCH(Officials, saved);
        QFETCH(QString, problem);
        QFETCH(QStringList, stored);
        TOfficial changed = saved.front();
        if (replacing >= 0)
            changed.Id = store->AllOfficials()[static_cast<std::size_t>(replacing)].Id;
        QCOMPARE(store->SaveOfficial(changed), problem.isEmpty());
        QCOMPARE(store->Problem(), problem);
        QCOMPARE(described(store->AllOfficials()), stored);
    }

    // An imported official is the stored one with his number, else with his name; a list
    // without a column leaves what the store knows of it.
    void addOfficials_data() {
        QTest::addColumn<Officials>("imported");
        QTest::addColumn<bool>("withSex");
        QTest::addColumn<bool>("withActive");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<int>("added");
        QTest::addColumn<int>("updated");
        QTest::newRow("found by number, renamed list keeps the stored name")
            << Officials{official("Kraus-Berg, Martina", "4711", "SCH", "", false)} << false << true
            << QStringList{u"Kraus, Martina|4711|SCH|W|nein"_s, u"Lindner, Paul||SCH|M|ja"_s} << 0
            << 1;
        QTest::newRow("found by name, gets a number and the list's sex")
            << Officials{official("lindner, paul", "88", "SCH", "")} << true << false
            << QStringList{u"Kraus, Martina|4711|WKR|W|ja"_s, u"Lindner, Paul|88|SCH||ja"_s} << 0
            << 1;
        QTest::newRow("unchanged and new")
            << Officials{official("Lindner, Paul", "", "SCH", "M"), official("Ott, Ina", "", "AUS")}
            << false << false << (described(Kept) + QStringList{u"Ott, Ina||AUS||ja"_s}) << 1 << 0;
    }
    void addOfficials() {
        QFETCH(Officials, imported);
        QFETCH(bool, withSex);
        QFETCH(bool, withActive);
        QFETCH(QStringList, stored);
        QFETCH(int, added);
        QFETCH(int, updated);
        const auto count = store->AddOfficials(imported, withSex, withActive);
        QVERIFY2(count, qPrintable(store->Problem()));
        QCOMPARE(count->Added, added);
        QCOMPARE(count->Updated, updated);
        QCOMPARE(described(store->AllOfficials()), stored);
    }

    void findOfficial_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("found");
        QTest::newRow("number") << u" 4711 "_s << u"Kraus, Martina|4711|WKR|W|ja"_s;
        QTest::newRow("name in other letter case")
            << u"LINDNER, PAUL"_s << u"Lindner, Paul||SCH|M|ja"_s;
        QTest::newRow("unknown") << u"Ott, Ina"_s << QString();
        QTest::newRow("empty matches no one without number") << u""_s << QString();
    }
    void findOfficial() {
        QFETCH(QString, typed);
        QFETCH(QString, found);
        const auto official = store->FindOfficial(typed.toStdString());
        QCOMPARE(official ? describedOfficial(*official) : QString(), found);
    }

    // Trainers: one of a name, deleted by row.
    void trainers_data() {
        QTest::addColumn<QStringList>("saved"); // "Name|Sex"
        QTest::addColumn<QString>("problem");   // of the last
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("two") << QStringList{u"Falk, Sabine|W"_s, u"Berg, Udo|"_s} << QString()
                             << QStringList{u"Berg, Udo|"_s, u"Falk, Sabine|W"_s};
        QTest::newRow("twice") << QStringList{u"Falk, Sabine|W"_s, u"FALK, SABINE|"_s}
                               << u"Falk, Sabine ist schon in der Trainerliste."_s
                               << QStringList{u"Falk, Sabine|W"_s};
        QTest::newRow("sex unknown")
            << QStringList{u"Falk, Sabine|F"_s}
            << u"Geschlecht „F“ unbekannt (M, W, D oder leer)."_s << QStringList();
    }
    void trainers() {
        QFETCH(QStringList, saved);
        QFETCH(QString, problem);
        QFETCH(QStringList, stored);
        for (const QString& each : saved) {
            TTrainer trainer{0, each.section(u'|', 0, 0).toStdString(),
                             each.section(u'|', 1).toStdString()};
            store->SaveTrainer(trainer);
        }
        QCOMPARE(store->Problem(), problem);
        QStringList listed;
        for (const TTrainer& trainer : store->AllTrainers())
            listed << QString::fromStdString(trainer.Name + '|' + trainer.Sex);
        QCOMPARE(listed, stored);
        if (!stored.isEmpty()) {
            QVERIFY(store->DeleteTrainer(store->AllTrainers().front().Id));
            QCOMPARE(store->AllTrainers().size(), std::size_t(stored.size() - 1));
        }
    }

private:
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<TSwimmerStore> store;
};

QTEST_GUILESS_MAIN(TestOfficials)
#include "tst_officials.moc"
