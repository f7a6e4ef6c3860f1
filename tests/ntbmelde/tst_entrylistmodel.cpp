// SPDX-License-Identifier: GPL-3.0-or-later
// The entry list's table model over the program's nominations.
#include <QAbstractItemModelTester>
#include <QTest>

#include "entrylistmodel.h"
#include "meldeaustausch.h"

using namespace Qt::StringLiterals;

class TestEntryListModel : public QObject {
    Q_OBJECT
private slots:
    void model_followsTheNominationsThroughChanges() {
        TMeldeAustausch nominations;
        TEntryListModel model(nominations);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.columnCount(), 5);

        nominations.SetNomin(1, {"Zorn, Eva", 1991, 1, 12000 + 'a', 6530, "R-17"});
        nominations.SetNomin(2, {"Adam, Uwe", 2001, 0, 7000, NoTime, ""});
        model.reload();
        QCOMPARE(model.rowCount(), 2);
        nominations.SortNominByName();
        model.reload();
        nominations.DeleteNomin(1);
        model.reload();
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.index(0, TEntryListModel::Name).data().toString(), u"Zorn, Eva"_s);
    }

    void data_alignsNamesLeftAndNumbersCentredWithTheirCaptions() {
        TMeldeAustausch nominations;
        nominations.SetNomin(1, {"M\xFCller, Eva", 1991, 1, 12000 + 'a', 6530, "R-17"});
        nominations.SetNomin(2, {"Adam, Uwe", 2001, 0, 7000, NoTime, ""});
        TEntryListModel model(nominations);
        QCOMPARE(model.index(0, TEntryListModel::Name).data().toString(), u"Müller, Eva"_s);
        auto alignment = [&](int column) {
            return model.index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                   Qt::AlignHorizontal_Mask;
        };
        QCOMPARE(alignment(TEntryListModel::Name), Qt::AlignLeft);
        QCOMPARE(alignment(TEntryListModel::RegNr), Qt::AlignLeft);
        QCOMPARE(alignment(TEntryListModel::Jahrgang), Qt::AlignHCenter);
        QCOMPARE(alignment(TEntryListModel::WkNr), Qt::AlignHCenter);
        QCOMPARE(alignment(TEntryListModel::Zeit), Qt::AlignHCenter);
        // Each caption stands like the values under it.
        for (int column = 0; column < model.columnCount(); ++column) {
            const auto caption = model.headerData(column, Qt::Horizontal, Qt::TextAlignmentRole)
                                     .value<Qt::Alignment>();
            QCOMPARE(caption & Qt::AlignHorizontal_Mask, alignment(column));
        }
    }
};

QTEST_MAIN(TestEntryListModel)
#include "tst_entrylistmodel.moc"
