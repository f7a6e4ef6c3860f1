// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTest>

#include "meldeaustausch.h"

namespace {

TMeldeAustausch nominations(std::initializer_list<std::pair<const char*, int>> entries) {
    TMeldeAustausch model;
    for (const auto& [name, wkNr] : entries) {
        TNominRecord nomin = EmptyNomin;
        nomin.Name = name;
        nomin.WkNr = wkNr;
        model.SetNomin(model.NominCount() + 1, nomin);
    }
    return model;
}

} // namespace

// The entry dialog keeps the nomination it shows across sorts through the followed position.
class TestNominSortFollow : public QObject {
    Q_OBJECT
private slots:
    void sortByName_followsTheRecordAmongEqualNames();
    void sortByWkNr_followsTheRecord();
    void positionOutsideTheList_givesZero();
};

void TestNominSortFollow::sortByName_followsTheRecordAmongEqualNames() {
    // Two identical names: the followed one is the second, and stays second (stable).
    TMeldeAustausch model = nominations(
        {{"Zander, Tom", 1000}, {"Meier, Hans", 2000}, {"Adam, Eva", 3000}, {"Meier, Hans", 4000}});
    QCOMPARE(model.SortNominByName(4), 3);
    QCOMPARE(model.GetNomin(3).WkNr, 4000);
    QCOMPARE(model.GetNomin(2).WkNr, 2000);
    QCOMPARE(model.SortNominByName(1), 1);
}

void TestNominSortFollow::sortByWkNr_followsTheRecord() {
    TMeldeAustausch model = nominations({{"Adam, Eva", 12000 + 'a'},
                                         {"Berg, Uwe", 3000},
                                         {"Meier, Hans", 12000},
                                         {"Zander, Tom", 3000}});
    QCOMPARE(model.SortNominByWkNr(1), 4);
    QCOMPARE(model.GetNomin(4).Name, std::string("Adam, Eva"));
    QCOMPARE(model.SortNominByName(4), 1);
}

void TestNominSortFollow::positionOutsideTheList_givesZero() {
    TMeldeAustausch model = nominations({{"Berg, Uwe", 3000}, {"Adam, Eva", 2000}});
    QCOMPARE(model.SortNominByName(0), 0);
    QCOMPARE(model.SortNominByName(3), 0);
    QCOMPARE(model.GetNomin(1).Name, std::string("Adam, Eva"));
}

QTEST_GUILESS_MAIN(TestNominSortFollow)
#include "tst_nominsortfollow.moc"
