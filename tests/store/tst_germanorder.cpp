// SPDX-License-Identifier: GPL-3.0-or-later
// German order as the store keeps it: the stored keys compare as the German collator compares
// the names, and the list comes in that order whatever keys an older file held.
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include "../shared/competitionbuilder.h"
#include "germanorder.h"
#include "legacystore.h"
#include "swimmerstore.h"

using namespace Qt::Literals::StringLiterals;

namespace {

int sign(int value) {
    return (value > 0) - (value < 0);
}

// Runs the statements on the store file as another program would.
void runOnStoreFile(const QString& path, const QStringList& statements) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"another program"_s);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        for (const QString& statement : statements)
            QVERIFY2(query.exec(statement), qPrintable(statement));
    }
    QSqlDatabase::removeDatabase(u"another program"_s);
}

} // namespace

class TestGermanOrder : public QObject {
    Q_OBJECT
private slots:
    // Every pair of names compares by its keys as the collator compares it.
    void orderKey_comparesAsTheCollator_data() {
        QTest::addColumn<QStringList>("names");
        QTest::newRow("umlauts") << QStringList{u"Armel, Ute"_s, u"Ärmel, Ute"_s, u"Arndt, Max"_s,
                                                u"Ober, Jan"_s,  u"Öhler, Kim"_s, u"Otto, Eva"_s,
                                                u"Übel, Tim"_s,  u"Ulm, Ina"_s};
        QTest::newRow("ß and ss") << QStringList{u"Maas, Eva"_s, u"Mass, Udo"_s,  u"Maß, Udo"_s,
                                                 u"Mast, Ben"_s, u"Strauß, Jo"_s, u"Strauss, Jo"_s};
        QTest::newRow("letter case") << QStringList{u"brandt, tom"_s, u"Brandt, Tom"_s,
                                                    u"BRANDT, TOM"_s, u"Brandt, Tomas"_s};
        QTest::newRow("blanks, hyphens, apostrophes") << QStringList{
            u"D'Amato, Lia"_s, u"de Vries, Jan"_s, u"De Witt, Ole"_s, u"Meier-Lang, Ida"_s,
            u"Meier, Ida"_s,   u"Meierhof, Ida"_s, u"Meier ,Ida"_s};
        QTest::newRow("other letters of Windows-1252")
            << QStringList{u"Åström, Per"_s, u"Øster, Liv"_s, u"Æbelø, Ida"_s,   u"Œuvre, Léa"_s,
                           u"Núñez, Ana"_s,  u"Çelik, Can"_s, u"Šimek, Žofie"_s, u"Ÿves, Noé"_s};
        QTest::newRow("digits, surname alone, nothing") << QStringList{
            u"Schwimmer2"_s, u"Schwimmer10"_s, u"Zand"_s, u"Zand, "_s, u" Zand"_s, QString()};
    }
    void orderKey_comparesAsTheCollator() {
        QFETCH(QStringList, names);
        const QCollator german = GermanCollator();
        for (const QString& left : names) {
            for (const QString& right : names)
                QVERIFY2(sign(GermanOrderKey(left).compare(GermanOrderKey(right))) ==
                             sign(german.compare(left, right)),
                         qPrintable(left + u" / "_s + right));
        }
    }

    // Keys missing (a store of an older version) or made by another ICU are made anew when the
    // store opens, so that the list is in German order at once.
    void allSwimmers_inGermanOrderWhateverKeysTheFileHeld_data() {
        QTest::addColumn<bool>("otherIcu");
        QTest::newRow("store of the first version") << false;
        QTest::newRow("keys of another ICU") << true;
    }
    void allSwimmers_inGermanOrderWhateverKeysTheFileHeld() {
        QFETCH(bool, otherIcu);
        QTemporaryDir folder;
        const QString path = folder.filePath(u"ntbmelde.sqlite"_s);
        createVersionOneStore(path);
        if (otherIcu) {
            TSwimmerStore{folder.path()};
            runOnStoreFile(path, {u"UPDATE swimmer SET order_key = x''"_s,
                                  u"UPDATE german_order SET version = '1.0'"_s});
        }
        TSwimmerStore store(folder.path());
        QStringList names;
        for (const TSwimmer& each : store.AllSwimmers())
            names << utf16(each.Name);
        // Not the order of birth years and rows.
        QCOMPARE(names,
                 (QStringList{u"Brandt, Lotte"_s, u"BRANDT, LOTTE"_s, u"Lang, Tim"_s, u"Wolf"_s}));
    }
};

QTEST_GUILESS_MAIN(TestGermanOrder)
#include "tst_germanorder.moc"
