// SPDX-License-Identifier: GPL-3.0-or-later
// The event chooser, opened as F4 in the entry dialog opens it and driven from the keyboard.
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include "eventchooser.h"
#include "meldeaustausch.h"
#include "modaldialog.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int Male = 0;
constexpr int Female = 1;
constexpr int Mixed = 2;

TEventRecord makeEvent(const std::string& number, const std::string& name, int sex, int ageMax,
                       int ageMin) {
    TEventRecord record;
    record.Period = 1;
    record.WkNr = TMeldeAustausch::TextToWkNr(number);
    record.Name = name;
    record.Sex = static_cast<std::uint8_t>(sex);
    record.EarliestBirthYear = ageMax;
    record.LatestBirthYear = ageMin;
    return record;
}

} // namespace

class TestEventChooser : public QObject {
    Q_OBJECT

private:
    TMeldeAustausch model;

    // Opens the chooser for a swimmer; `user` acts while it is open. Returns ChooseEvent's result.
    int choose(int birthYear, int sex, const std::function<void(TEventChooser&)>& user) {
        TEventChooser chooser(model);
        whenShown(chooser, [&] { user(chooser); });
        return chooser.ChooseEvent(birthYear, sex);
    }

    // The items offered to a swimmer; the chooser is then left with Escape.
    QStringList offered(int birthYear, int sex) {
        QStringList items;
        choose(birthYear, sex, [&items](TEventChooser& chooser) {
            auto* list = chooser.findChild<QComboBox*>(u"ChooseList"_s);
            for (int index = 0; index < list->count(); ++index)
                items.append(list->itemText(index));
            press(Qt::Key_Escape);
        });
        return items;
    }

private slots:
    void init() {
        model = TMeldeAustausch();
        model.SetEvent(1, makeEvent("1", "200m Lagen", Female, 1990, 1995));
        model.SetEvent(2, makeEvent("2", "200m Lagen", Male, 1990, 1995));
        model.SetEvent(3, makeEvent("12a", "100m Brust", Mixed, 1990, 1995));
        model.SetEvent(4, makeEvent("3", "50m Freistil", Male, 2000, 1998)); // no year fits
        model.SetEvent(5, makeEvent("4", "4x50m Freistil", Male, 1900, 2012));
    }

    void itemText_namesNumberNameSexAndYears() {
        QCOMPARE(TEventChooser::ItemText(makeEvent("12a", "100m Brust", Female, 1990, 1995)),
                 u"Wettkampf 12a, 100m Brust, Weiblich, 1990-1995"_s);
        QCOMPARE(TEventChooser::ItemText(makeEvent("7",
                                                   "50m R\xFC"
                                                   "cken",
                                                   Male, 1900, 2010)),
                 u"Wettkampf 7, 50m Rücken, Männlich, 1900-2010"_s);
        QCOMPARE(TEventChooser::ItemText(makeEvent("8", "Staffel", 5, 2000, 2001)),
                 u"Wettkampf 8, Staffel, Mixed, 2000-2001"_s);
    }

    void onlyEventsForTheSexAndBirthYear_areOffered_inFileOrder() {
        const QStringList maleAt1990 = offered(1990, Male);
        QCOMPARE(maleAt1990, (QStringList{u"Wettkampf 2, 200m Lagen, Männlich, 1990-1995"_s,
                                          u"Wettkampf 12a, 100m Brust, Mixed, 1990-1995"_s,
                                          u"Wettkampf 4, 4x50m Freistil, Männlich, 1900-2012"_s}));
        QCOMPARE(offered(1995, Female).size(), 2);      // the last admitted year still fits
        QCOMPARE(offered(1996, Female), QStringList()); // one year too young
        QCOMPARE(offered(1989, Male).size(), 1);        // one year too old: only the open one
        // "Mixed" swimmers are offered the events of every sex.
        QCOMPARE(offered(1992, Mixed).size(), 4);
        // An event whose oldest year lies after its youngest is offered to nobody.
        for (int year : {1998, 1999, 2000})
            QVERIFY(!offered(year, Male).join(u'|').contains(u"Wettkampf 3,"_s));
    }

    void opening_choosesTheFirstItem_withFocusInTheList() {
        choose(1990, Male, [](TEventChooser& chooser) {
            QCOMPARE(chooser.windowTitle(), u"Wettkampf auswählen"_s);
            auto* list = chooser.findChild<QComboBox*>(u"ChooseList"_s);
            QCOMPARE(focused(), list);
            QCOMPARE(list->currentIndex(), 0);
            press(Qt::Key_Escape);
        });
    }

    void enterInTheList_goesToOk_andASecondEnterConfirms() {
        const int position = choose(1990, Male, [](TEventChooser& chooser) {
            press(Qt::Key_Return);
            QCOMPARE(focused(), chooser.findChild<QPushButton*>(u"ButtonOk"_s));
            QVERIFY(chooser.isVisible());
            press(Qt::Key_Return);
        });
        QCOMPARE(position, 2);
    }

    void arrowKeysChoose_andOkGivesThePositionInTheModel() {
        const int position = choose(1990, Male, [](TEventChooser&) {
            press(Qt::Key_Down);
            press(Qt::Key_Down);
            pressAccelerator(Qt::Key_K);
        });
        QCOMPARE(position, 5);
    }

    void cancelling_givesZero_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("Escape") << 0;
        QTest::newRow("A&bbrechen") << 1;
        QTest::newRow("close box") << 2;
        QTest::newRow("Enter on A&bbrechen") << 3;
    }
    void cancelling_givesZero() {
        QFETCH(int, way);
        const int position = choose(1990, Male, [way](TEventChooser& chooser) {
            press(Qt::Key_Down);
            if (way == 0) {
                press(Qt::Key_Escape);
            } else if (way == 1) {
                pressAccelerator(Qt::Key_B);
            } else if (way == 2) {
                chooser.close();
            } else {
                press(Qt::Key_Tab);
                press(Qt::Key_Tab);
                QCOMPARE(focused(), chooser.findChild<QPushButton*>(u"ButtonEsc"_s));
                press(Qt::Key_Return);
            }
            QVERIFY(!chooser.isVisible());
        });
        QCOMPARE(position, 0);
    }

    void okOnAnEmptyList_givesZero() {
        const int position = choose(1980, Female, [](TEventChooser& chooser) {
            auto* list = chooser.findChild<QComboBox*>(u"ChooseList"_s);
            QCOMPARE(list->count(), 0);
            QCOMPARE(list->currentIndex(), -1);
            press(Qt::Key_Return);
            press(Qt::Key_Return);
            QVERIFY(!chooser.isVisible());
        });
        QCOMPARE(position, 0);
    }
};

QTEST_MAIN(TestEventChooser)
#include "tst_eventchooser.moc"
