// The entry list's table model over the program's nominations.
#include <QAbstractItemModelTester>
#include <QTest>

#include "meldeaustausch.h"
#include "meldelistemodel.h"

using namespace Qt::StringLiterals;

class TestMeldelisteModel : public QObject {
    Q_OBJECT
private slots:
    void model_followsTheNominationsThroughChanges() {
        TMeldeAustausch nominations;
        TMeldelisteModel model(nominations);
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
        QCOMPARE(model.index(0, TMeldelisteModel::Name).data().toString(), u"Zorn, Eva"_s);
    }

    void data_showsEachColumnAsTheListDoes() {
        TMeldeAustausch nominations;
        nominations.SetNomin(1, {"M\xFCller, Eva", 1991, 1, 12000 + 'a', 6530, "R-17"});
        nominations.SetNomin(2, {"Adam, Uwe", 2001, 0, 7000, NoTime, ""});
        TMeldelisteModel model(nominations);
        auto text = [&](int row, int column) { return model.index(row, column).data().toString(); };
        QCOMPARE(text(0, TMeldelisteModel::Name), u"Müller, Eva"_s);
        QCOMPARE(text(0, TMeldelisteModel::RegNr), u"R-17"_s);
        QCOMPARE(text(0, TMeldelisteModel::Jahrgang), u"1991"_s);
        QCOMPARE(text(0, TMeldelisteModel::WkNr), u"12a"_s);
        QCOMPARE(text(0, TMeldelisteModel::Zeit), u"01:05,30"_s);
        QCOMPARE(text(1, TMeldelisteModel::Zeit), u"  :  ,  "_s);
        auto alignment = [&](int column) {
            return model.index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                   Qt::AlignHorizontal_Mask;
        };
        QCOMPARE(alignment(TMeldelisteModel::Name), Qt::AlignLeft);
        QCOMPARE(alignment(TMeldelisteModel::RegNr), Qt::AlignLeft);
        QCOMPARE(alignment(TMeldelisteModel::Jahrgang), Qt::AlignHCenter);
        QCOMPARE(alignment(TMeldelisteModel::Zeit), Qt::AlignHCenter);
        QCOMPARE(model.headerData(TMeldelisteModel::RegNr, Qt::Horizontal, Qt::DisplayRole),
                 QVariant(u"Reg.Nr."_s));
    }
};

QTEST_MAIN(TestMeldelisteModel)
#include "tst_meldelistemodel.moc"
