// SPDX-License-Identifier: GPL-3.0-or-later
// The table of regional associations.
#include <QTest>

#include "associations.h"

class TestAssociations : public QObject {
    Q_OBJECT
private slots:
    void associations() {
        QCOMPARE(AssociationCount, 38);
        QCOMPARE(std::string(AssociationNames[0]), std::string("Nicht zugeordnet"));
        QCOMPARE(std::string(AssociationNames[37]), std::string("Auswahlmannschaften DSV/LGrp"));
        QCOMPARE(std::string(AssociationNames[11]),
                 std::string("Saarl\xE4ndischer Schwimmer-Bund"));
        QCOMPARE(AssociationName(-1), AssociationName(38));
        QVERIFY(!AssociationName(-1).empty());
    }
};

QTEST_GUILESS_MAIN(TestAssociations)
#include "tst_associations.moc"
