// SPDX-License-Identifier: GPL-3.0-or-later
// The entry dialog, driven from the keyboard (and the mouse where users reach for it) on the
// offscreen platform, with the message boxes recorded.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>

#include <QTemporaryDir>

#include "ansi.h"
#include "entrydialog.h"
#include "environment.h"
#include "eventchooser.h"
#include "global.h"
#include "mainwindow.h"
#include "meldeaustausch.h"
#include "messages.h"
#include "modaldialog.h"
#include "nextmodal.h"
#include "relayfixture.h"
#include "relayteams.h"
#include "tempdatadir.h"

using namespace Qt::StringLiterals;

namespace {

TEventRecord makeEvent(const char* number, std::uint8_t sex, int ageMax, int ageMin) {
    TEventRecord result = EmptyEvent;
    result.WkNr = TMeldeAustausch::TextToWkNr(number);
    result.Name = "100m Freistil";
    result.Sex = sex;
    result.EarliestBirthYear = ageMax;
    result.LatestBirthYear = ageMin;
    return result;
}

TNominRecord nomin(const char* name, int age, std::uint8_t sex, const char* wkNr, int time) {
    return {name, age, sex, TMeldeAustausch::TextToWkNr(wkNr), time, ""};
}

const QString NameError = u"Fehler: Name nicht eindeutig in Vorname und Nachname trennbar!\r"
                          u"Bitte geben Sie den Namen im Format NACHNAME, VORNAME ein!"_s;

} // namespace

class TestEntryDialog : public QObject {
    Q_OBJECT

private:
    TMeldeAustausch model;
    TempDataDir dataDir;
    std::unique_ptr<MessageRecorder> messages;
    std::unique_ptr<TEntryDialog> dialog;

    template <typename T = QWidget> T* control(const QString& name) const {
        T* found = dialog->findChild<T*>(name);
        if (!found)
            qFatal("no control %s", qPrintable(name));
        return found;
    }
    QLineEdit* edit(const QString& name) const { return control<QLineEdit>(name); }
    static QString focusedName() { return focused() ? focused()->objectName() : QString(); }
    // Replaces the focused field's text as a user does: select all, type, Enter.
    void retype(const QString& text) {
        press(Qt::Key_A, Qt::ControlModifier);
        press(Qt::Key_Backspace);
        type(text);
        press(Qt::Key_Return);
    }
    // The offscreen platform does not hand the activation back when a popup or modal closes.
    void reactivate() {
        dialog->activateWindow();
        if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == dialog.get(); }))
            qFatal("dialog not active again");
    }
    void openDialog(std::vector<TQualifyingTime> qualifyingTimes = {},
                    const std::string& exchangePath = {}) {
        dialog = std::make_unique<TEntryDialog>(model, dataDir.store(), std::move(qualifyingTimes),
                                                exchangePath);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    }
    // The head of a mixed relay team "TV Möwe 3" of 2012, typed into a fresh dialog, its name
    // without a comma let pass; ends after the event number.
    void typeMixedTeam(const QString& wkNr) {
        type(u"TV Möwe 3"_s);
        press(Qt::Key_Return);
        QCOMPARE(messages->shown, QStringList());
        retype(u"2012"_s);
        press(Qt::Key_Down);
        press(Qt::Key_Down);
        press(Qt::Key_Return);
        press(Qt::Key_Return);
        retype(wkNr);
    }
    // Types one whole entry from the name field on, ending on "Ne&ue Meldung".
    void typeEntry(const QString& name, const QString& year, int sexDown, const QString& regNr,
                   const QString& wkNr, const QString& timeDigits) {
        control(u"EditName"_s)->setFocus(Qt::TabFocusReason);
        retype(name);
        retype(year);
        for (int i = 0; i < sexDown; ++i)
            press(Qt::Key_Down);
        press(Qt::Key_Return);
        retype(regNr);
        retype(wkNr);
        type(timeDigits);
        press(Qt::Key_Return);
    }
    QTableView* list() const { return control<QTableView>(u"Meldeliste"_s); }
    QString row(int r) const {
        QStringList cells;
        for (int c = 0; c < list()->model()->columnCount(); ++c)
            cells << list()->model()->index(r, c).data().toString();
        return cells.join(u'|');
    }
    // The rows the list highlights.
    QList<int> highlightedRows() const {
        QList<int> rows;
        for (const QModelIndex& index : list()->selectionModel()->selectedRows())
            rows << index.row();
        return rows;
    }
    bool rowInView(int r) const {
        return list()->viewport()->rect().contains(
            list()->visualRect(list()->model()->index(r, 0)));
    }
    void selectRow(int r) {
        const QRect rect = list()->visualRect(list()->model()->index(r, 0));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rect.center());
    }
    void doubleClickRow(int r) {
        const QRect rect = list()->visualRect(list()->model()->index(r, 0));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, rect.center());
    }
    // Right-clicks row `r` (or the empty area below the rows for -1) and, in the menu that
    // opens, notes which items are enabled and chooses `item` (or closes the menu).
    QStringList useMenu(int r, const QString& item) {
        QPoint at(10, list()->viewport()->height() - 5);
        if (r >= 0)
            at = list()->visualRect(list()->model()->index(r, 0)).center();
        QTest::mousePress(list()->viewport(), Qt::RightButton, {}, at);
        return answerMenu(item, [&] {
            QContextMenuEvent event(QContextMenuEvent::Mouse, at,
                                    list()->viewport()->mapToGlobal(at));
            QApplication::sendEvent(list()->viewport(), &event);
            QTest::mouseRelease(list()->viewport(), Qt::RightButton, {}, at);
        });
    }
    // The same with the menu key, while the list has the focus.
    QStringList useMenuKey(const QString& item) {
        return answerMenu(item, [&] {
            QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                    list()->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(list(), &event);
        });
    }
    QStringList answerMenu(const QString& item, const std::function<void()>& openMenu) {
        QStringList enabled;
        QTimer::singleShot(0, this, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            QAction* chosen = nullptr;
            for (QAction* action : menu->actions()) {
                if (action->isEnabled())
                    enabled << action->objectName();
                if (action->isEnabled() && action->objectName() == item)
                    chosen = action;
            }
            if (chosen) {
                menu->setActiveAction(chosen);
                QTest::keyClick(menu, Qt::Key_Return);
            } else {
                menu->close();
            }
        });
        openMenu();
        reactivate();
        return enabled;
    }
    // Opens the focused field's own context menu, as the menu key does, and chooses "paste".
    void pasteThroughContextMenu(const QString& text) {
        QApplication::clipboard()->setText(text);
        QWidget* field = focused();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                field->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(field, &event);
        QTRY_VERIFY(QApplication::activePopupWidget());
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        // The paste item is the one that names the paste shortcut.
        const QString pasteKey =
            QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
        QAction* paste = nullptr;
        for (QAction* action : menu->actions()) {
            if (action->text().endsWith(pasteKey))
                paste = action;
        }
        QVERIFY(paste && paste->isEnabled());
        menu->setActiveAction(paste);
        QTest::keyClick(menu, Qt::Key_Return);
        QTRY_VERIFY(!QApplication::activePopupWidget());
        reactivate();
        QCOMPARE(focused(), field);
    }

private slots:
    void init();
    void cleanup();
    void accelerator_ofADisabledButton_typesNothing();

    void meldungenButton_opensTheDialogOnTheProgramsModel();
    void opening_emptyModel_startsWithANewEntry();
    void typicalRun_typedAsAUserTypes();
    void f4_picksTheEventFromTheSuitableOnes();
    void f4_cancelled_keepsTheEventNumber();
    void refusals_showMessageFocusFieldAndWriteNothing_data();
    void refusals_showMessageFocusFieldAndWriteNothing();
    void nameExit_unsplittableName_keepsTheFocus();
    void timeExit_secondsFromSixty_keepTheFocus();
    void timeField_secondsLeftEmpty_isRefusedOnAdoption();
    void timeField_emptyTime_isAdoptedWithoutTime();
    void buttons_whileAFieldRefusesItsContent_adoptNothing();
    void fields_refuseCharactersTheFileCannotHold_andSaySo();
    void keys_enterAndArrowsFollowTheFocusOrder();
    void buttonOk_withoutChange_closesAtOnce();
    void buttonOk_validChange_adoptsAndClosesWithoutQuestion();
    void buttonTake_twiceOnANewEntry_leavesOneEntry();
    void editExisting_changeMovesTheEntryAndTakeChangesItAgain();
    void editExisting_declinedThenOk_asksBeforeDiscarding();
    void escape_afterThreeEntries_asksAndKeepsThem();
    void closeBox_withPendingChange_asksAndMayStayOpen();
    void list_showsColumnsInModelOrder();
    void menu_withoutRows_offersOnlySorting();
    void menu_rightClickOnRow_selectsItAndOffersAll();
    void doubleClick_withValidPendingEntry_adoptsItAndLoadsNothing();
    void doubleClick_withInvalidPendingEntry_refusesAndLoadsNothing();
    void delete_asksWithTheRowsDataAndNoKeepsIt();
    void delete_yes_removesAndTurnsToANewEntryForTheSameSwimmer();
    void delete_entryBeforeTheEditedOne_thenAdopt_changesOnlyTheEditedOne();
    void delete_theEditedEntryWithPendingChanges_overwritesNothing();
    void sort_alternatesAndFollowsTheEditedEntry();
    void sort_adoptingWhileSortedByWkNr_showsNameOrder();
    void hints_afterAdoption_standUnderTheFieldsAndBlockNothing();
    void qualifyingTime_missed_isHintedAfterAdoption_data();
    void qualifyingTime_missed_isHintedAfterAdoption();
    void buttonTake_focusesTheNameAndShowsTheAdoptedEntry();
    void storedTimeTheFieldCannotShow_isKeptUnlessTheTimeIsEdited();
    void listClick_whileAnEntryIsLoaded_keepsTheHighlightOnIt();
    void listClick_refusedByTheNameCheck_leavesFieldsAndHighlightTogether();
    void doubleClick_whileTheLoadedEntryIsChanged_keepsThatEntryInTheFields();
    void list_homeAndEnd_goToTheFirstAndLastEntry();
    void birthYear_ofTheCurrentYear_isAccepted();
    void relay_swimmersTypedInStartOrder_areKeptWithTheSuggestedTime();
    void teamName_withoutComma_isRefusedOnlyForAnIndividualEvent_data();
    void teamName_withoutComma_isRefusedOnlyForAnIndividualEvent();
};

void TestEntryDialog::init() {
    PinCurrentYear(2026);
    model = TMeldeAustausch();
    model.SetEvent(1, makeEvent("7", 0, 1990, 1995));
    model.SetEvent(2, makeEvent("12a", 1, 1990, 1995));
    model.SetEvent(3, makeEvent("5", 2, 1900, 2020));
    model.SetEvent(4, makeEvent("9", 0, 2000, 1995));
    Global::ResetDataChanged();
    messages = std::make_unique<MessageRecorder>();
}

void TestEntryDialog::cleanup() {
    dialog.reset();
    messages.reset();
    PinCurrentYear(0);
}

void TestEntryDialog::meldungenButton_opensTheDialogOnTheProgramsModel() {
    QTemporaryDir folder;
    QVERIFY(QFile::copy(QStringLiteral(DEMO_FILE), folder.filePath(u"EXCHANGE.NT2"_s)));
    TMainWindow mainWindow(folder.path());
    mainWindow.show();
    QVERIFY(QTest::qWaitForWindowActive(&mainWindow));
    NextModal entries([&](QWidget* modal) {
        QCOMPARE(modal->windowTitle(), u"Meldungen eingeben, bearbeiten"_s);
        QCOMPARE(focusedName(), u"EditName"_s);
        type(u"Hans Meier"_s);
        press(Qt::Key_Return);
        type(u"05"_s); // 2005
        for (int i = 0; i < 3; ++i)
            press(Qt::Key_Return);
        type(u"2"_s); // 200m Lagen männlich
        press(Qt::Key_Return);
        type(u"25312"_s); // 02:53,12 once the accelerator has left the field
        pressAccelerator(Qt::Key_K);
        QVERIFY(!modal->isVisible());
    });
    pressAccelerator(Qt::Key_M);
    QVERIFY(entries.seen());
    QCOMPARE(mainWindow.meldeAustausch()->NominCount(), 1);
    QCOMPARE(mainWindow.meldeAustausch()->GetNomin(1),
             TNominRecord({"Meier, Hans", 2005, 0, 2000, 17312, ""}));
    QVERIFY(Global::DataChanged());
    messages->setNextAnswer(AnswerNo); // the save question on leaving
}

void TestEntryDialog::opening_emptyModel_startsWithANewEntry() {
    openDialog();
    QCOMPARE(dialog->windowTitle(), u"Meldungen eingeben, bearbeiten"_s);
    // The drawn size with a line for hints under the fields, wider for the list's name column.
    QVERIFY(dialog->width() > 729 && dialog->height() >= 307);
    QCOMPARE(list()->model()->rowCount(), 0);
    for (const QString& name :
         {u"EditName"_s, u"EditJahrgang"_s, u"EditRegNummer"_s, u"EditWkNr"_s})
        QVERIFY(edit(name)->text().isEmpty());
    QCOMPARE(edit(u"EditMeldezeit"_s)->displayText(), u"__:__,__"_s);
    QCOMPARE(control<QComboBox>(u"EditGeschlecht"_s)->currentText(), u"Männlich"_s);
    QVERIFY(!control(u"ButtonOk"_s)->isEnabled());
    QVERIFY(!control(u"ButtonTake"_s)->isEnabled());
    QVERIFY(!control(u"LabelF4"_s)->isEnabled());
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        QVERIFY2(!button->isDefault(), qPrintable(button->objectName())); // Enter moves on
    QCOMPARE(focusedName(), u"EditName"_s);
    QCOMPARE(control<QLabel>(u"LabelHilfe"_s)->text(),
             u"Schwimmernamen im Format NACHNAME, VORNAME eingeben. Komma beachten!"_s);
    QVERIFY(!dialog->isChanged());
    QVERIFY(!dialog->isEditExisting());
    QCOMPARE(dialog->currentNomin(), 1);
}

void TestEntryDialog::typicalRun_typedAsAUserTypes() {
    openDialog();
    type(u"Hans Meier"_s);
    press(Qt::Key_Return);
    QCOMPARE(focusedName(), u"EditJahrgang"_s);
    type(u"92"_s);
    press(Qt::Key_Return);
    QCOMPARE(edit(u"EditJahrgang"_s)->text(), u"1992"_s);
    QCOMPARE(focusedName(), u"EditGeschlecht"_s);
    press(Qt::Key_Return);
    type(u"DE-4711"_s);
    press(Qt::Key_Return);
    QCOMPARE(focusedName(), u"EditWkNr"_s);
    QVERIFY(control(u"LabelF4"_s)->isEnabled());
    type(u"7"_s);
    press(Qt::Key_Return);
    QVERIFY(!control(u"LabelF4"_s)->isEnabled());
    QCOMPARE(focusedName(), u"EditMeldezeit"_s);
    type(u"10530"_s);
    press(Qt::Key_Return);
    QCOMPARE(edit(u"EditMeldezeit"_s)->displayText(), u"01:05,30"_s);
    QCOMPARE(focusedName(), u"ButtonNew"_s);
    QVERIFY(dialog->isChanged());
    press(Qt::Key_Return);

    QCOMPARE(model.NominCount(), 1);
    QCOMPARE(model.GetNomin(1), TNominRecord({"Meier, Hans", 1992, 0, 7000, 6530, "DE-4711"}));
    QVERIFY(Global::DataChanged());
    QCOMPARE(row(0), u"Meier, Hans|DE-4711|1992|7|01:05,30"_s);
    QCOMPARE(focusedName(), u"EditName"_s);
    QCOMPARE(edit(u"EditName"_s)->text(), u"Hans Meier"_s);
    QCOMPARE(edit(u"EditJahrgang"_s)->text(), u"1992"_s);
    QCOMPARE(edit(u"EditRegNummer"_s)->text(), u"DE-4711"_s);
    QVERIFY(edit(u"EditWkNr"_s)->text().isEmpty());
    QCOMPARE(edit(u"EditMeldezeit"_s)->displayText(), u"__:__,__"_s);
    QVERIFY(!dialog->isChanged());
    QCOMPARE(dialog->currentNomin(), 2);

    // The next start of the same swimmer: only event number and time.
    for (int i = 0; i < 4; ++i)
        press(Qt::Key_Return);
    QCOMPARE(focusedName(), u"EditWkNr"_s);
    type(u"5"_s);
    press(Qt::Key_Return);
    type(u"3512"_s);
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    QCOMPARE(model.NominCount(), 2);
    QCOMPARE(model.GetNomin(2), TNominRecord({"Meier, Hans", 1992, 0, 5000, 3512, "DE-4711"}));
    QCOMPARE(row(1), u"Meier, Hans|DE-4711|1992|5|00:35,12"_s);
    QCOMPARE(messages->shown, QStringList());
}

void TestEntryDialog::f4_picksTheEventFromTheSuitableOnes() {
    openDialog();
    type(u"Anna Berg"_s);
    press(Qt::Key_Return);
    type(u"1992"_s);
    press(Qt::Key_Return);
    press(Qt::Key_Down); // Weiblich
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    QCOMPARE(focusedName(), u"EditWkNr"_s);
    QStringList offered;
    NextModal chooser([&](QWidget* modal) {
        QVERIFY(qobject_cast<TEventChooser*>(modal));
        auto* choices = modal->findChild<QComboBox*>(u"ChooseList"_s);
        QCOMPARE(focused(), choices);
        for (int i = 0; i < choices->count(); ++i)
            offered << choices->itemText(i);
        press(Qt::Key_Down);
        press(Qt::Key_Return);
        press(Qt::Key_Return);
    });
    press(Qt::Key_F4);
    QVERIFY(chooser.seen());
    QCOMPARE(offered, QStringList({u"Wettkampf 12a, 100m Freistil, Weiblich, 1990-1995"_s,
                                   u"Wettkampf 5, 100m Freistil, Mixed, 1900-2020"_s}));
    QCOMPARE(edit(u"EditWkNr"_s)->text(), u"5"_s);
    QCOMPARE(dialog->focusWidget()->objectName(), u"EditWkNr"_s);
    reactivate();
    QCOMPARE(focusedName(), u"EditWkNr"_s);
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    QCOMPARE(model.NominCount(), 1);
    QCOMPARE(model.GetNomin(1).WkNr, 5000);
    QCOMPARE(model.GetNomin(1).Sex, std::uint8_t(1));
}

void TestEntryDialog::f4_cancelled_keepsTheEventNumber() {
    openDialog();
    control(u"EditWkNr"_s)->setFocus(Qt::TabFocusReason);
    type(u"9"_s);
    int offered = -1;
    NextModal chooser([&](QWidget* modal) {
        offered = modal->findChild<QComboBox*>(u"ChooseList"_s)->count();
        press(Qt::Key_Escape);
    });
    press(Qt::Key_F4);
    QVERIFY(chooser.seen());
    // No birth year typed: only events without a limit on the oldest swimmers (1900).
    QCOMPARE(offered, 1);
    QCOMPARE(edit(u"EditWkNr"_s)->text(), u"9"_s);
}

void TestEntryDialog::refusals_showMessageFocusFieldAndWriteNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("year");
    QTest::addColumn<int>("sexDown");
    QTest::addColumn<QString>("wkNr");
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("field");
    QTest::newRow("no name") << ""
                             << "1992" << 0 << "7"
                             << ""
                             << "Fehlende Eingabe: Name"
                             << "EditName";
    QTest::newRow("no year") << "Meier, Hans"
                             << "" << 0 << "7"
                             << ""
                             << "Fehlende Eingabe: Jahrgang"
                             << "EditJahrgang";
    QTest::newRow("no event") << "Meier, Hans"
                              << "1992" << 0 << ""
                              << "1234"
                              << "Fehlende Eingabe: Wettkampfnummer"
                              << "EditWkNr";
    QTest::newRow("year 1899") << "Meier, Hans"
                               << "1899" << 0 << "7"
                               << ""
                               << "Ungültige Jahrgangsangabe"
                               << "EditJahrgang";
    QTest::newRow("event 7b") << "Meier, Hans"
                              << "1992" << 0 << "7b"
                              << ""
                              << "Ungültige Wettkampfnummer"
                              << "EditWkNr";
    QTest::newRow("year before range")
        << "Meier, Hans"
        << "89" << 0 << "7"
        << ""
        << "In diesem Wettkampf sind nur Teilnehmer der Jahrgänge 1990 bis 1995 erlaubt"
        << "EditJahrgang";
    QTest::newRow("female in male event") << "Berg, Anna"
                                          << "1992" << 1 << "7"
                                          << ""
                                          << "Falsches Geschlecht für diesen Wettkampf"
                                          << "EditGeschlecht";
}

void TestEntryDialog::refusals_showMessageFocusFieldAndWriteNothing() {
    QFETCH(QString, name);
    QFETCH(QString, year);
    QFETCH(int, sexDown);
    QFETCH(QString, wkNr);
    QFETCH(QString, time);
    QFETCH(QString, message);
    QFETCH(QString, field);
    model.SetNomin(1, nomin("Adam, Eva", 1991, 1, "12a", NoTime));
    openDialog();
    typeEntry(name, year, sexDown, u"R1"_s, wkNr, time);
    QCOMPARE(focusedName(), u"ButtonNew"_s);
    press(Qt::Key_Return);

    QCOMPARE(messages->shown, QStringList{u"Fehler: "_s + message + u"!"_s});
    QCOMPARE(focusedName(), field);
    QCOMPARE(model.NominCount(), 1);
    QCOMPARE(list()->model()->rowCount(), 1);
    QVERIFY(!Global::DataChanged());
    QVERIFY(dialog->isChanged());
    QCOMPARE(edit(u"EditWkNr"_s)->text(), wkNr);
    QCOMPARE(edit(u"EditName"_s)->text(), name);
}

void TestEntryDialog::nameExit_unsplittableName_keepsTheFocus() {
    openDialog();
    type(u"Hans Peter Meier"_s);
    press(Qt::Key_Return);
    QCOMPARE(messages->shown, QStringList{NameError});
    QCOMPARE(focusedName(), u"EditName"_s);
    QVERIFY(control(u"LabelHilfe"_s)->isVisible());
    retype(u"Meier, Hans Peter"_s);
    QCOMPARE(messages->shown.size(), 1);
    QCOMPARE(focusedName(), u"EditJahrgang"_s);
}

void TestEntryDialog::timeExit_secondsFromSixty_keepTheFocus() {
    openDialog();
    control(u"EditMeldezeit"_s)->setFocus(Qt::TabFocusReason);
    // Each refused: the text stays selected for correction and the focus in the field.
    const QStringList refused = {u"6000"_s, u"6999"_s, u"7000"_s};
    for (const QString& digits : refused) {
        type(digits);
        press(Qt::Key_Return);
        QCOMPARE(focusedName(), u"EditMeldezeit"_s);
    }
    QCOMPARE(messages->shown, QStringList(3, u"Fehler: Keine korrekte Zeitangabe!"_s));
    QCOMPARE(edit(u"EditMeldezeit"_s)->displayText(), u"00:70,00"_s);
    // Corrected, the field lets the focus go.
    type(u"5999"_s);
    press(Qt::Key_Return);
    QCOMPARE(focusedName(), u"ButtonNew"_s);
    QCOMPARE(edit(u"EditMeldezeit"_s)->displayText(), u"00:59,99"_s);
    QCOMPARE(messages->shown.size(), 3);
}

void TestEntryDialog::timeField_secondsLeftEmpty_isRefusedOnAdoption() {
    openDialog();
    typeEntry(u"Meier, Hans"_s, u"1992"_s, 0, QString(), u"7"_s, QString());
    control(u"EditMeldezeit"_s)->setFocus(Qt::TabFocusReason);
    type(u"01"_s);
    press(Qt::Key_Right);
    press(Qt::Key_Right);
    type(u"30"_s);
    press(Qt::Key_Return);
    QCOMPARE(edit(u"EditMeldezeit"_s)->displayText(), u"01:__,30"_s);
    QCOMPARE(focusedName(), u"ButtonNew"_s);
    press(Qt::Key_Return);
    QCOMPARE(messages->shown, QStringList{u"Fehler: Ungültige Meldezeit!"_s});
    QCOMPARE(focusedName(), u"EditMeldezeit"_s);
    QCOMPARE(model.NominCount(), 0);
}

void TestEntryDialog::timeField_emptyTime_isAdoptedWithoutTime() {
    openDialog();
    typeEntry(u"Meier, Hans"_s, u"1992"_s, 0, QString(), u"7"_s, QString());
    press(Qt::Key_Return);
    QCOMPARE(model.NominCount(), 1);
    QCOMPARE(model.GetNomin(1).Time, NoTime);
    QCOMPARE(row(0), u"Meier, Hans||1992|7|  :  ,  "_s);
}

void TestEntryDialog::buttons_whileAFieldRefusesItsContent_adoptNothing() {
    openDialog();
    typeEntry(u"Meier, Hans"_s, u"1992"_s, 0, QString(), u"7"_s, u"5000"_s);
    // A click on "Ü&bernehmen" leaves the name field, whose check keeps the focus.
    control(u"EditName"_s)->setFocus(Qt::TabFocusReason);
    type(u"Meier, Hans, Peter"_s);
    QTest::mouseClick(control(u"ButtonTake"_s), Qt::LeftButton);
    QCOMPARE(messages->shown, QStringList{NameError});
    QCOMPARE(focusedName(), u"EditName"_s);
    QCOMPARE(model.NominCount(), 0);
    // A click on "Ne&ue Meldung" leaves the time field, whose seconds are refused.
    type(u"Meier, Hans"_s);
    control(u"EditMeldezeit"_s)->setFocus(Qt::TabFocusReason);
    type(u"7000"_s);
    QTest::mouseClick(control(u"ButtonNew"_s), Qt::LeftButton);
    QCOMPARE(messages->shown.size(), 2);
    QCOMPARE(messages->shown.last(), u"Fehler: Keine korrekte Zeitangabe!"_s);
    QCOMPARE(focusedName(), u"EditMeldezeit"_s);
    QCOMPARE(model.NominCount(), 0);
    // Corrected, the same click adopts.
    type(u"4000"_s);
    QTest::mouseClick(control(u"ButtonNew"_s), Qt::LeftButton);
    QCOMPARE(model.NominCount(), 1);
    QCOMPARE(model.GetNomin(1).Time, 4000);
    QCOMPARE(messages->shown.size(), 2);
    // An accelerator key leaves the field too before its button acts.
    control(u"EditWkNr"_s)->setFocus(Qt::TabFocusReason);
    type(u"5"_s);
    press(Qt::Key_Return);
    type(u"7000"_s);
    pressAccelerator(Qt::Key_U);
    QCOMPARE(messages->shown.size(), 3);
    QCOMPARE(messages->shown.last(), u"Fehler: Keine korrekte Zeitangabe!"_s);
    QCOMPARE(focusedName(), u"EditMeldezeit"_s);
    QCOMPARE(model.NominCount(), 1);
    type(u"4100"_s);
    pressAccelerator(Qt::Key_U);
    QCOMPARE(model.NominCount(), 2);
    QCOMPARE(model.GetNomin(2).Time, 4100);
    QCOMPARE(messages->shown.size(), 3);
}

void TestEntryDialog::fields_refuseCharactersTheFileCannotHold_andSaySo() {
    openDialog();
    auto* help = control<QLabel>(u"LabelHilfe"_s);
    type(u"Ł"_s);
    QVERIFY(edit(u"EditName"_s)->text().isEmpty());
    QVERIFY(!dialog->isChanged());
    QVERIFY(help->isVisible());
    QCOMPARE(help->text(), u"Das Zeichen „Ł“ ist in der Meldedatei nicht möglich."_s);
    type(u"ukasz Müller€"_s);
    QCOMPARE(edit(u"EditName"_s)->text(), u"ukasz Müller€"_s);
    QVERIFY(edit(u"EditName"_s)->hasAcceptableInput()); // what the field holds stays valid
    // Pasted, the characters that the file can hold stay; the first other one is named.
    press(Qt::Key_A, Qt::ControlModifier);
    pasteThroughContextMenu(u"Dąbrowski, Ana 😀"_s);
    QCOMPARE(edit(u"EditName"_s)->text(), u"Dbrowski, Ana "_s);
    QCOMPARE(help->text(), u"Das Zeichen „ą“ ist in der Meldedatei nicht möglich."_s);
    pasteThroughContextMenu(u"😀"_s);
    QCOMPARE(help->text(), u"Das Zeichen „😀“ ist in der Meldedatei nicht möglich."_s);
    press(Qt::Key_Return);

    // The birth year takes digits and "-" only, typed or pasted.
    QCOMPARE(focusedName(), u"EditJahrgang"_s);
    type(u"19x9,2"_s);
    QCOMPARE(edit(u"EditJahrgang"_s)->text(), u"1992"_s);
    for (int i = 0; i < 4; ++i)
        press(Qt::Key_Backspace);
    pasteThroughContextMenu(u"ab,9"_s);
    QCOMPARE(edit(u"EditJahrgang"_s)->text(), u"9"_s);
    pasteThroughContextMenu(u"9 2"_s);
    QCOMPARE(edit(u"EditJahrgang"_s)->text(), u"992"_s);
    pasteThroughContextMenu(u"12"_s); // five digits: too long, refused whole
    QCOMPARE(edit(u"EditJahrgang"_s)->text(), u"992"_s);
    QCOMPARE(help->text(), u"Jahrgang des Schwimmers zwei- oder vierstellig eingeben!"_s);

    control(u"EditMeldezeit"_s)->setFocus(Qt::TabFocusReason);
    type(u"1a2-3"_s);
    QCOMPARE(edit(u"EditMeldezeit"_s)->displayText(), u"12:3_,__"_s);
    QCOMPARE(messages->shown, QStringList());
}

void TestEntryDialog::keys_enterAndArrowsFollowTheFocusOrder() {
    model.SetNomin(1, nomin("Adam, Eva", 1991, 1, "12a", NoTime));
    openDialog();
    press(Qt::Key_Up);
    QCOMPARE(focusedName(), u"ButtonNew"_s);
    control(u"EditGeschlecht"_s)->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Down);
    QCOMPARE(focusedName(), u"EditGeschlecht"_s);
    QCOMPARE(control<QComboBox>(u"EditGeschlecht"_s)->currentIndex(), 1);
    QVERIFY(dialog->isChanged());
    control(u"EditMeldezeit"_s)->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Down);
    QCOMPARE(focusedName(), u"Meldeliste"_s);
    // Keys in the list only move the selection; Enter presses no button.
    press(Qt::Key_Return);
    QVERIFY(dialog->isVisible());
    QCOMPARE(model.NominCount(), 1);
    QCOMPARE(messages->shown, QStringList());
}

void TestEntryDialog::buttonOk_withoutChange_closesAtOnce() {
    model.SetNomin(1, nomin("Adam, Eva", 1991, 1, "12a", NoTime));
    openDialog();
    selectRow(0);
    doubleClickRow(0);
    QVERIFY(control(u"ButtonOk"_s)->isEnabled());
    QTest::mouseClick(control(u"ButtonOk"_s), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(messages->shown, QStringList());
    QVERIFY(!Global::DataChanged());
}

void TestEntryDialog::buttonOk_validChange_adoptsAndClosesWithoutQuestion() {
    openDialog();
    typeEntry(u"Meier, Hans"_s, u"1992"_s, 0, QString(), u"7"_s, u"5000"_s);
    press(Qt::Key_K, Qt::AltModifier);
    QTRY_VERIFY(!dialog->isVisible());
    QCOMPARE(messages->shown, QStringList());
    QCOMPARE(model.NominCount(), 1);
    QVERIFY(Global::DataChanged());
}

void TestEntryDialog::buttonTake_twiceOnANewEntry_leavesOneEntry() {
    openDialog();
    typeEntry(u"Meier, Hans"_s, u"1992"_s, 0, QString(), u"7"_s, u"5000"_s);
    QTest::mouseClick(control(u"ButtonTake"_s), Qt::LeftButton);
    QCOMPARE(model.NominCount(), 1);
    QVERIFY(!control(u"ButtonTake"_s)->isEnabled());
    QVERIFY(!dialog->isEditExisting());
    QCOMPARE(dialog->currentNomin(), 1);
    control(u"EditMeldezeit"_s)->setFocus(Qt::TabFocusReason);
    type(u"4900"_s);
    press(Qt::Key_Return);
    QTest::mouseClick(control(u"ButtonTake"_s), Qt::LeftButton);
    QCOMPARE(model.NominCount(), 1);
    QCOMPARE(model.GetNomin(1).Time, 4900);
    QCOMPARE(messages->shown, QStringList()); // a new entry is changed without a question
}

void TestEntryDialog::editExisting_changeMovesTheEntryAndTakeChangesItAgain() {
    model.SetNomin(1, nomin("Adam, Eva", 1991, 1, "12a", 3000));
    model.SetNomin(2, nomin("Berg, Uwe", 1992, 0, "7", 4000));
    model.SetNomin(3, nomin("Kunz, Ida", 1993, 1, "12a", 5000));
    openDialog();
    doubleClickRow(0);
    QVERIFY(dialog->isEditExisting());
    QCOMPARE(dialog->currentNomin(), 1);
    QCOMPARE(focusedName(), u"EditName"_s);
    QCOMPARE(edit(u"EditMeldezeit"_s)->displayText(), u"00:30,00"_s);
    QCOMPARE(edit(u"EditWkNr"_s)->text(), u"12a"_s);
    QCOMPARE(control<QComboBox>(u"EditGeschlecht"_s)->currentIndex(), 1);
    QVERIFY(!control(u"ButtonTake"_s)->isEnabled());
    QVERIFY(control(u"ButtonOk"_s)->isEnabled());

    retype(u"Zorn, Eva"_s);
    QTest::mouseClick(control(u"ButtonTake"_s), Qt::LeftButton);
    QCOMPARE(messages->shown, QStringList{u"Frage: Vorhandene Meldung wirklich ändern?"_s});
    QCOMPARE(model.NominCount(), 3);
    QCOMPARE(row(2), u"Zorn, Eva||1991|12a|00:30,00"_s);
    QCOMPARE(row(0), u"Berg, Uwe||1992|7|00:40,00"_s);
    QCOMPARE(dialog->currentNomin(), 3);

    control(u"EditMeldezeit"_s)->setFocus(Qt::TabFocusReason);
    type(u"2900"_s);
    press(Qt::Key_Return);
    QTest::mouseClick(control(u"ButtonTake"_s), Qt::LeftButton);
    QCOMPARE(messages->shown.size(), 2);
    QCOMPARE(model.NominCount(), 3);
    QCOMPARE(row(2), u"Zorn, Eva||1991|12a|00:29,00"_s);
    QCOMPARE(row(1), u"Kunz, Ida||1993|12a|00:50,00"_s);
}

void TestEntryDialog::editExisting_declinedThenOk_asksBeforeDiscarding() {
    model.SetNomin(1, nomin("Adam, Eva", 1991, 1, "12a", 3000));
    openDialog();
    doubleClickRow(0);
    retype(u"Zorn, Eva"_s);
    messages->setNextAnswer(AnswerNo);
    messages->setNextAnswer(AnswerNo);
    QTest::mouseClick(control(u"ButtonOk"_s), Qt::LeftButton);
    QCOMPARE(messages->shown, QStringList({u"Frage: Vorhandene Meldung wirklich ändern?"_s,
                                           u"Frage: Änderung wirklich verwerfen?"_s}));
    QVERIFY(dialog->isVisible());
    messages->setNextAnswer(AnswerNo);
    messages->setNextAnswer(AnswerYes);
    QTest::mouseClick(control(u"ButtonOk"_s), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(model.GetNomin(1).Name, std::string("Adam, Eva"));
    QVERIFY(!Global::DataChanged());
}

void TestEntryDialog::escape_afterThreeEntries_asksAndKeepsThem() {
    openDialog();
    typeEntry(u"Meier, Hans"_s, u"1992"_s, 0, QString(), u"7"_s, u"5000"_s);
    press(Qt::Key_Return);
    typeEntry(u"Meier, Hans"_s, u"1992"_s, 0, QString(), u"5"_s, u"5000"_s);
    press(Qt::Key_Return);
    typeEntry(u"Berg, Anna"_s, u"1992"_s, 1, QString(), u"12a"_s, u"5000"_s);
    press(Qt::Key_Return);
    type(u"Kunz"_s);
    messages->setNextAnswer(AnswerNo);
    press(Qt::Key_Escape);
    QVERIFY(dialog->isVisible());
    press(Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(messages->shown,
             QStringList(2, u"Frage: Letzte Änderungen / Eingabe wirklich verwerfen?"_s));
    QCOMPARE(messages->defaults, QList<int>(2, AnswerNo)); // Enter keeps the typed data
    QCOMPARE(model.NominCount(), 3);
}

void TestEntryDialog::closeBox_withPendingChange_asksAndMayStayOpen() {
    openDialog();
    type(u"Kunz"_s);
    messages->setNextAnswer(AnswerNo);
    dialog->close();
    QVERIFY(dialog->isVisible());
    QCOMPARE(messages->shown, QStringList{u"Frage: Änderung wirklich verwerfen?"_s});
    QCOMPARE(messages->defaults, QList<int>{AnswerNo});
    dialog->close();
    QVERIFY(!dialog->isVisible());
}

// Alt and the letter of a button that is disabled does nothing: no click, no letter typed.
void TestEntryDialog::accelerator_ofADisabledButton_typesNothing() {
    openDialog();
    QVERIFY(!control(u"ButtonOk"_s)->isEnabled());
    pressAccelerator(Qt::Key_K); // O&K
    QTest::qWait(200);
    QCOMPARE(edit(u"EditName"_s)->text(), QString());
    QCOMPARE(focusedName(), u"EditName"_s);
    QVERIFY(dialog->isVisible());
    QCOMPARE(messages->shown, QStringList());
}

void TestEntryDialog::list_showsColumnsInModelOrder() {
    model.SetNomin(1, nomin("Zorn, Eva", 1991, 1, "12a", 3000));
    model.SetNomin(2, nomin("adam, Uwe", 1992, 0, "7", NoTime));
    openDialog();
    QCOMPARE(row(0), u"adam, Uwe||1992|7|  :  ,  "_s);
    QCOMPARE(row(1), u"Zorn, Eva||1991|12a|00:30,00"_s);
    QStringList headers;
    QList<int> widths;
    for (int c = 0; c < list()->model()->columnCount(); ++c) {
        headers << list()->model()->headerData(c, Qt::Horizontal).toString();
        widths << list()->columnWidth(c);
    }
    QCOMPARE(headers, QStringList({u"Name"_s, u"Reg.Nr."_s, u"Jg"_s, u"WkNr"_s, u"Zeit"_s}));
    // The name column is as wide as a name of 30 characters needs: tst_windowlayout.
    QCOMPARE(widths.mid(1), QList<int>({70, 50, 50, 70}));
    QVERIFY(!list()->selectionModel()->hasSelection());
}

void TestEntryDialog::menu_withoutRows_offersOnlySorting() {
    openDialog();
    QCOMPARE(useMenu(-1, QString()), QStringList{u"PopSort"_s});
}

void TestEntryDialog::menu_rightClickOnRow_selectsItAndOffersAll() {
    model.SetNomin(1, nomin("Adam, Eva", 1991, 1, "12a", 3000));
    model.SetNomin(2, nomin("Berg, Uwe", 1992, 0, "7", 4000));
    openDialog();
    selectRow(0);
    QCOMPARE(useMenu(-1, QString()), QStringList{u"PopSort"_s}); // below the rows: no row
    const QStringList enabled = useMenu(1, u"PopupEdit"_s);
    QCOMPARE(enabled, QStringList({u"PopupEdit"_s, u"PopupDelete"_s, u"PopSort"_s}));
    QTRY_COMPARE(edit(u"EditName"_s)->text(), u"Berg, Uwe"_s);
    QCOMPARE(dialog->currentNomin(), 2);
    QVERIFY(dialog->isEditExisting());
}

void TestEntryDialog::doubleClick_withValidPendingEntry_adoptsItAndLoadsNothing() {
    model.SetNomin(1, nomin("Adam, Eva", 1991, 1, "12a", 3000));
    openDialog();
    typeEntry(u"Meier, Hans"_s, u"1992"_s, 0, QString(), u"7"_s, u"5000"_s);
    doubleClickRow(0);
    QCOMPARE(model.NominCount(), 2);
    // The fields still hold the adopted entry, and the list says so.
    QCOMPARE(highlightedRows(), QList<int>{1});
    QCOMPARE(edit(u"EditName"_s)->text(), u"Meier, Hans"_s);
    QVERIFY(!dialog->isEditExisting());
    QCOMPARE(dialog->currentNomin(), 2);
}

void TestEntryDialog::doubleClick_withInvalidPendingEntry_refusesAndLoadsNothing() {
    model.SetNomin(1, nomin("Adam, Eva", 1991, 1, "12a", 3000));
    openDialog();
    typeEntry(u"Meier, Hans"_s, u"1992"_s, 0, QString(), u"999"_s, QString());
    doubleClickRow(0);
    QCOMPARE(messages->shown, QStringList{u"Fehler: Ungültige Wettkampfnummer!"_s});
    QCOMPARE(focusedName(), u"EditWkNr"_s);
    QCOMPARE(edit(u"EditName"_s)->text(), u"Meier, Hans"_s);
    QCOMPARE(model.NominCount(), 1);
    QVERIFY(!dialog->isEditExisting());
}

void TestEntryDialog::delete_asksWithTheRowsDataAndNoKeepsIt() {
    model.SetNomin(1, nomin("MEIER, HANS", 1990, 0, "12a", 3000));
    openDialog();
    messages->setNextAnswer(AnswerNo);
    useMenu(0, u"PopupDelete"_s);
    QTRY_COMPARE(
        messages->shown,
        QStringList{
            u"Frage: Die Meldung MEIER, HANS, Jg. 1990 für Wettkampf 12a wirklich löschen?"_s});
    QCOMPARE(model.NominCount(), 1);
    QVERIFY(!Global::DataChanged());
}

void TestEntryDialog::delete_yes_removesAndTurnsToANewEntryForTheSameSwimmer() {
    model.SetNomin(1, nomin("Adam, Eva", 1991, 1, "12a", 3000));
    model.SetNomin(2, nomin("Berg, Uwe", 1992, 0, "7", 4000));
    openDialog();
    doubleClickRow(1);
    useMenu(0, u"PopupDelete"_s);
    QTRY_COMPARE(model.NominCount(), 1);
    QCOMPARE(model.GetNomin(1).Name, std::string("Berg, Uwe"));
    QVERIFY(Global::DataChanged());
    QCOMPARE(list()->model()->rowCount(), 1);
    QCOMPARE(dialog->currentNomin(), 2);
    QVERIFY(!dialog->isEditExisting());
    QCOMPARE(edit(u"EditName"_s)->text(), u"Berg, Uwe"_s);
    QCOMPARE(edit(u"EditJahrgang"_s)->text(), u"1992"_s);
    QVERIFY(edit(u"EditWkNr"_s)->text().isEmpty());
    QCOMPARE(edit(u"EditMeldezeit"_s)->displayText(), u"__:__,__"_s);
}

void TestEntryDialog::delete_entryBeforeTheEditedOne_thenAdopt_changesOnlyTheEditedOne() {
    model.SetNomin(1, nomin("Adam, Eva", 1991, 1, "12a", 3000));
    model.SetNomin(2, nomin("Berg, Uwe", 1992, 0, "7", 4000));
    model.SetNomin(3, nomin("Kunz, Ida", 1993, 1, "12a", 5000));
    openDialog();
    doubleClickRow(2);
    control(u"EditMeldezeit"_s)->setFocus(Qt::TabFocusReason);
    type(u"4500"_s);
    press(Qt::Key_Return);
    useMenu(0, u"PopupDelete"_s);
    // Deleting adopts the pending change to Kunz (after the change question) and no other.
    QTRY_COMPARE(model.NominCount(), 2);
    QCOMPARE(model.GetNomin(1), TNominRecord({"Berg, Uwe", 1992, 0, 7000, 4000, ""}));
    QCOMPARE(model.GetNomin(2), TNominRecord({"Kunz, Ida", 1993, 1, 12097, 4500, ""}));
    QCOMPARE(messages->shown.last(), u"Frage: Vorhandene Meldung wirklich ändern?"_s);
    QCOMPARE(dialog->currentNomin(), 3);
}

void TestEntryDialog::delete_theEditedEntryWithPendingChanges_overwritesNothing() {
    model.SetNomin(1, nomin("Adam, Eva", 1991, 1, "12a", 3000));
    model.SetNomin(2, nomin("Berg, Uwe", 1992, 0, "7", 4000));
    model.SetNomin(3, nomin("Kunz, Ida", 1993, 1, "12a", 5000));
    openDialog();
    doubleClickRow(1);
    control(u"EditMeldezeit"_s)->setFocus(Qt::TabFocusReason);
    type(u"4500"_s);
    press(Qt::Key_Return);
    QVERIFY(dialog->isChanged());
    useMenu(1, u"PopupDelete"_s);
    QTRY_COMPARE(model.NominCount(), 2);
    QCOMPARE(model.GetNomin(1), TNominRecord({"Adam, Eva", 1991, 1, 12097, 3000, ""}));
    QCOMPARE(model.GetNomin(2), TNominRecord({"Kunz, Ida", 1993, 1, 12097, 5000, ""}));
    QCOMPARE(messages->shown.size(), 1); // only the deletion question
    QCOMPARE(dialog->currentNomin(), 3);
    QVERIFY(!dialog->isChanged());
    QVERIFY(!dialog->isEditExisting());
    QCOMPARE(edit(u"EditName"_s)->text(), u"Berg, Uwe"_s);
    QVERIFY(edit(u"EditWkNr"_s)->text().isEmpty());
}

void TestEntryDialog::sort_alternatesAndFollowsTheEditedEntry() {
    model.SetNomin(1, nomin("Adam, Eva", 1991, 1, "12a", 3000));
    model.SetNomin(2, nomin("Berg, Uwe", 1992, 0, "7", 4000));
    model.SetNomin(3, nomin("Kunz, Ida", 1993, 1, "12", 5000));
    openDialog();
    doubleClickRow(0);
    auto* sort = dialog->findChild<QAction*>(u"PopSort"_s);
    QCOMPARE(sort->text(), u"Sortieren nach WkNummer"_s);
    useMenu(-1, u"PopSort"_s);
    QTRY_COMPARE(sort->text(), u"Sortieren nach Name"_s);
    QCOMPARE(row(0).section(u'|', 0, 0), u"Berg, Uwe"_s);
    QCOMPARE(row(1).section(u'|', 0, 0), u"Kunz, Ida"_s);
    QCOMPARE(row(2).section(u'|', 0, 0), u"Adam, Eva"_s);
    QCOMPARE(dialog->currentNomin(), 3);
    QCOMPARE(highlightedRows(), QList<int>{2});
    // The edited entry is changed at its new place.
    QTest::mouseClick(control(u"EditName"_s), Qt::LeftButton);
    QCOMPARE(focusedName(), u"EditName"_s);
    retype(u"Adam, Eve"_s);
    QTest::mouseClick(control(u"ButtonTake"_s), Qt::LeftButton);
    QCOMPARE(model.NominCount(), 3);
    QCOMPARE(row(0), u"Adam, Eve||1991|12a|00:30,00"_s);
    QCOMPARE(row(1), u"Berg, Uwe||1992|7|00:40,00"_s);
    QCOMPARE(row(2), u"Kunz, Ida||1993|12|00:50,00"_s);
    useMenu(-1, u"PopSort"_s);
    QTRY_COMPARE(sort->text(), u"Sortieren nach WkNummer"_s);
    QCOMPARE(dialog->currentNomin(), 1);
}

void TestEntryDialog::sort_adoptingWhileSortedByWkNr_showsNameOrder() {
    model.SetNomin(1, nomin("Adam, Eva", 1991, 1, "12a", 3000));
    model.SetNomin(2, nomin("Berg, Uwe", 1992, 0, "7", 4000));
    openDialog();
    useMenu(-1, u"PopSort"_s);
    QTRY_COMPARE(row(0).section(u'|', 0, 0), u"Berg, Uwe"_s);
    QVERIFY(!Global::DataChanged());
    typeEntry(u"Kunz, Ida"_s, u"1992"_s, 1, QString(), u"12a"_s, u"5000"_s);
    press(Qt::Key_Return);
    QCOMPARE(row(0).section(u'|', 0, 0), u"Adam, Eva"_s);
    QCOMPARE(row(1).section(u'|', 0, 0), u"Berg, Uwe"_s);
    QCOMPARE(row(2).section(u'|', 0, 0), u"Kunz, Ida"_s);
    QCOMPARE(dialog->findChild<QAction*>(u"PopSort"_s)->text(), u"Sortieren nach Name"_s);
}

// After "Ü&bernehmen" the next input starts in the name field, so that Enter moves on instead
// of pressing a button, and the list shows the adopted entry where the name order put it.
// Alt+B, shared with "Ab&brechen", adopts while "Ü&bernehmen" is enabled and cancels otherwise.
void TestEntryDialog::buttonTake_focusesTheNameAndShowsTheAdoptedEntry() {
    for (int i = 1; i <= 40; ++i) {
        const std::string name = "Berg" + std::to_string(10 + i) + ", Uwe";
        model.SetNomin(i, nomin(name.c_str(), 1992, 0, "7", 4000));
    }
    openDialog();
    doubleClickRow(0);
    retype(u"Zorn, Uwe"_s);
    QTest::mouseClick(control(u"ButtonTake"_s), Qt::LeftButton);
    QCOMPARE(messages->shown, QStringList{u"Frage: Vorhandene Meldung wirklich ändern?"_s});
    QCOMPARE(row(39).section(u'|', 0, 0), u"Zorn, Uwe"_s);
    QCOMPARE(highlightedRows(), QList<int>{39});
    QVERIFY(rowInView(39));
    QCOMPARE(focusedName(), u"EditName"_s);
    press(Qt::Key_Return);
    QCOMPARE(focusedName(), u"EditJahrgang"_s);
    // The same with the keyboard: another change, Alt+B, Enter.
    retype(u"1993"_s);
    pressAccelerator(Qt::Key_B);
    QCOMPARE(model.GetNomin(40).BirthYear, 1993);
    QCOMPARE(focusedName(), u"EditName"_s);
    press(Qt::Key_Return);
    QVERIFY(dialog->isVisible());
    QCOMPARE(messages->shown.size(), 2);
    // Nothing pending any more: Alt+B is "Ab&brechen", which asks nothing.
    pressAccelerator(Qt::Key_B);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(messages->shown.size(), 2);
}

// A host's file may carry times that the time field cannot show: an invalid time (-1) and
// 99:99,99 (603999). Changing another field of such an entry keeps them; editing the time field
// replaces them.
void TestEntryDialog::storedTimeTheFieldCannotShow_isKeptUnlessTheTimeIsEdited() {
    model.SetNomin(1, nomin("Adam, Eva", 1991, 1, "12a", -1));
    model.SetNomin(2, nomin("Berg, Uwe", 1992, 0, "7", 603999));
    openDialog();
    for (int r : {0, 1}) {
        doubleClickRow(r);
        // With Enter through every field, the birth year retyped, to "Ne&ue Meldung".
        press(Qt::Key_Return);
        retype(u"1993"_s);
        for (int i = 0; i < 4; ++i)
            press(Qt::Key_Return);
        QCOMPARE(focusedName(), u"ButtonNew"_s);
        press(Qt::Key_Return);
    }
    QCOMPARE(messages->shown, QStringList(2, u"Frage: Vorhandene Meldung wirklich ändern?"_s));
    QCOMPARE(model.GetNomin(1), TNominRecord({"Adam, Eva", 1993, 1, 12097, -1, ""}));
    QCOMPARE(model.GetNomin(2), TNominRecord({"Berg, Uwe", 1993, 0, 7000, 603999, ""}));

    doubleClickRow(1);
    control(u"EditMeldezeit"_s)->setFocus(Qt::TabFocusReason);
    type(u"5000"_s);
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    QCOMPARE(model.GetNomin(2).Time, 5000);
    QCOMPARE(messages->shown.size(), 3);
}

// A click on another row while an entry is loaded neither loads that row nor highlights it:
// the highlight stays with the entry in the fields, which adopting then changes.
void TestEntryDialog::listClick_whileAnEntryIsLoaded_keepsTheHighlightOnIt() {
    model.SetNomin(1, nomin("Adam, Eva", 1991, 1, "12a", 3000));
    model.SetNomin(2, nomin("Berg, Uwe", 1992, 0, "7", 4000));
    model.SetNomin(3, nomin("Kunz, Ida", 1993, 1, "12a", 5000));
    openDialog();
    QCOMPARE(highlightedRows(), QList<int>());
    doubleClickRow(2);
    QCOMPARE(highlightedRows(), QList<int>{2});
    selectRow(1);
    QCOMPARE(highlightedRows(), QList<int>{2});
    QCOMPARE(edit(u"EditName"_s)->text(), u"Kunz, Ida"_s);
    control(u"EditJahrgang"_s)->setFocus(Qt::TabFocusReason);
    retype(u"1994"_s);
    pressAccelerator(Qt::Key_B);
    QCOMPARE(model.GetNomin(1), TNominRecord({"Adam, Eva", 1991, 1, 12097, 3000, ""}));
    QCOMPARE(model.GetNomin(2), TNominRecord({"Berg, Uwe", 1992, 0, 7000, 4000, ""}));
    QCOMPARE(model.GetNomin(3), TNominRecord({"Kunz, Ida", 1994, 1, 12097, 5000, ""}));
    QCOMPARE(highlightedRows(), QList<int>{2});
    // "Ne&ue Meldung": no entry of the list is in the fields any more.
    pressAccelerator(Qt::Key_U);
    QCOMPARE(highlightedRows(), QList<int>());
}

// A host's entry whose name the name check refuses is loaded; the first click of a double
// click on another row then only brings the name message. The fields and the highlight stay
// with the loaded entry, so that the change typed next is seen to be made to it.
void TestEntryDialog::listClick_refusedByTheNameCheck_leavesFieldsAndHighlightTogether() {
    model.SetNomin(1, nomin("Mahler, Ute", 1992, 1, "12a", 3000));
    model.SetNomin(2, nomin("Zeller, Jan, Paul", 1993, 0, "7", 4000));
    openDialog();
    doubleClickRow(0);
    doubleClickRow(1);
    QCOMPARE(edit(u"EditName"_s)->text(), u"Zeller, Jan, Paul"_s);
    selectRow(0);
    QCOMPARE(messages->shown, QStringList{NameError});
    QCOMPARE(focusedName(), u"EditName"_s);
    QCOMPARE(highlightedRows(), QList<int>{1});
    retype(u"Zeller, Jan"_s);
    retype(u"1994"_s);
    pressAccelerator(Qt::Key_B);
    QCOMPARE(model.GetNomin(1), TNominRecord({"Mahler, Ute", 1992, 1, 12097, 3000, ""}));
    QCOMPARE(model.GetNomin(2), TNominRecord({"Zeller, Jan", 1994, 0, 7000, 4000, ""}));
}

// A double click on another row while the loaded entry has changes adopts them and loads
// nothing, and so does one whose two clicks the list was rebuilt between: the fields, the
// highlight and the next adoption stay with the loaded entry.
void TestEntryDialog::doubleClick_whileTheLoadedEntryIsChanged_keepsThatEntryInTheFields() {
    model.SetNomin(1, nomin("Adam, Eva", 1991, 1, "12a", 3000));
    model.SetNomin(2, nomin("Berg, Uwe", 1992, 0, "7", 4000));
    model.SetNomin(3, nomin("Kunz, Ida", 1993, 1, "12a", 5000));
    openDialog();
    doubleClickRow(0);
    control(u"EditMeldezeit"_s)->setFocus(Qt::TabFocusReason);
    type(u"3100"_s);
    press(Qt::Key_Return);
    doubleClickRow(2);
    QCOMPARE(messages->shown, QStringList{u"Frage: Vorhandene Meldung wirklich ändern?"_s});
    QCOMPARE(model.GetNomin(1).Time, 3100);
    QCOMPARE(edit(u"EditName"_s)->text(), u"Adam, Eva"_s);
    QCOMPARE(highlightedRows(), QList<int>{0});

    const QRect kunz = list()->visualRect(list()->model()->index(2, 0));
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, kunz.center());
    dialog->FillList();
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, kunz.center());
    QCOMPARE(edit(u"EditName"_s)->text(), u"Adam, Eva"_s);
    QCOMPARE(dialog->currentNomin(), 1);
    QCOMPARE(highlightedRows(), QList<int>{0});

    control(u"EditJahrgang"_s)->setFocus(Qt::TabFocusReason);
    retype(u"1994"_s);
    pressAccelerator(Qt::Key_B);
    QCOMPARE(model.GetNomin(1), TNominRecord({"Adam, Eva", 1994, 1, 12097, 3100, ""}));
    QCOMPARE(model.GetNomin(3), TNominRecord({"Kunz, Ida", 1993, 1, 12097, 5000, ""}));
}

// Home and End go to the first and last entry; the list's menu, opened with the menu key,
// then acts on that entry.
void TestEntryDialog::list_homeAndEnd_goToTheFirstAndLastEntry() {
    for (int i = 1; i <= 40; ++i) {
        const std::string name = "Berg" + std::to_string(10 + i) + ", Uwe";
        model.SetNomin(i, nomin(name.c_str(), 1992, 0, "7", 4000));
    }
    openDialog();
    control(u"EditMeldezeit"_s)->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Down);
    QCOMPARE(focusedName(), u"Meldeliste"_s);
    press(Qt::Key_End);
    QCOMPARE(list()->currentIndex().row(), 39);
    QVERIFY(rowInView(39));
    press(Qt::Key_Home);
    QCOMPARE(list()->currentIndex().row(), 0);
    QVERIFY(rowInView(0));
    press(Qt::Key_End);
    QCOMPARE(useMenuKey(u"PopupEdit"_s),
             QStringList({u"PopupEdit"_s, u"PopupDelete"_s, u"PopSort"_s}));
    QTRY_COMPARE(edit(u"EditName"_s)->text(), u"Berg50, Uwe"_s);
    QCOMPARE(dialog->currentNomin(), 40);
    QCOMPARE(highlightedRows(), QList<int>{39});
}

// The year pinned as the current one is the latest birth year admitted.
void TestEntryDialog::birthYear_ofTheCurrentYear_isAccepted() {
    model.SetEvent(5, makeEvent("20", 2, 1900, 2030));
    openDialog();
    typeEntry(u"Klein, Mia"_s, u"2027"_s, 1, QString(), u"20"_s, QString());
    press(Qt::Key_Return);
    QCOMPARE(messages->shown, QStringList{u"Fehler: Ungültige Jahrgangsangabe!"_s});
    QCOMPARE(focusedName(), u"EditJahrgang"_s);
    retype(u"2026"_s);
    control(u"ButtonNew"_s)->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Return);
    QCOMPARE(messages->shown.size(), 1);
    QCOMPARE(model.NominCount(), 1);
    QCOMPARE(model.GetNomin(1).BirthYear, 2026);
}

// The host's qualifying time of 1:05,00 for men born 1990 to 1995 in event 7: a slower entry
// or one without a time is hinted in the line under the fields once adopted, and adopted.
void TestEntryDialog::qualifyingTime_missed_isHintedAfterAdoption_data() {
    QTest::addColumn<QString>("timeDigits");
    QTest::addColumn<bool>("hinted");
    QTest::newRow("slower") << u"10501"_s << true;
    QTest::newRow("as fast") << u"10500"_s << false;
    QTest::newRow("no time") << QString() << true;
}
void TestEntryDialog::qualifyingTime_missed_isHintedAfterAdoption() {
    QFETCH(QString, timeDigits);
    QFETCH(bool, hinted);
    openDialog({{TMeldeAustausch::TextToWkNr("7"), 1990, 1995, 0, 6500}});
    typeEntry(u"Meier, Hans"_s, u"1992"_s, 0, QString(), u"7"_s, timeDigits);
    press(Qt::Key_Return);
    QCOMPARE(model.NominCount(), 1);
    const QString hint = control<QLabel>(u"LabelHinweis"_s)->toolTip();
    QCOMPARE(hint.contains(u"Meier, Hans"_s), hinted);
    QCOMPARE(messages->shown, QStringList());
}

QTEST_MAIN(TestEntryDialog)
#include "tst_entrydialog.moc"

// A second start in the same event, then an entry time far too fast: each adoption shows what
// a host would query about that entry in the line under the fields, asks nothing and adopts.
void TestEntryDialog::hints_afterAdoption_standUnderTheFieldsAndBlockNothing() {
    openDialog();
    auto* hint = control<QLabel>(u"LabelHinweis"_s);
    typeEntry(u"Meier, Hans"_s, u"1992"_s, 0, QString(), u"7"_s, u"10530"_s);
    press(Qt::Key_Return);
    QCOMPARE(hint->text(), QString());

    auto nextStart = [&](const QString& wkNr, const QString& timeDigits) {
        edit(u"EditWkNr"_s)->setFocus(Qt::TabFocusReason);
        type(wkNr);
        press(Qt::Key_Return);
        type(timeDigits);
        press(Qt::Key_Return);
        press(Qt::Key_Return); // "Ne&ue Meldung"
    };
    nextStart(u"7"_s, u"10612"_s);
    QCOMPARE(model.NominCount(), 2);
    QCOMPARE(hint->text(), u"Hinweis: Meier, Hans ist für Wettkampf 7 schon gemeldet."_s);
    QVERIFY(hint->isVisible());
    QCOMPARE(focusedName(), u"EditName"_s);

    nextStart(u"5"_s, u"500"_s);
    QCOMPARE(model.NominCount(), 3);
    QCOMPARE(hint->text(), u"Hinweis: Meier, Hans: Meldezeit 00:05,00 in Wettkampf 5 ist für "
                           u"100 m zu schnell."_s);

    edit(u"EditName"_s)->setFocus(Qt::TabFocusReason);
    retype(u"Berg, Uwe"_s);
    nextStart(u"5"_s, u"10000"_s);
    QCOMPARE(model.NominCount(), 4);
    QCOMPARE(hint->text(), QString());
    QCOMPARE(messages->shown, QStringList());
}

// A team named without a comma, its swimmers taken from the list under each field or typed, the
// team time suggested from their times; a swimmer twice is refused on his field, and the
// adopted team is in the companion file at once.
void TestEntryDialog::relay_swimmersTypedInStartOrder_areKeptWithTheSuggestedTime() {
    model = relayCompetition();
    QTemporaryDir folder;
    const std::string exchangePath = folder.filePath(u"EXCHANGE.NT2"_s).toStdString();
    storeRelayPeople<TSwimmer>(dataDir.store());
    // Each youngster swam 50m freestyle in the months before.
    CompetitionBuilder earlier;
    earlier.model.CompName = "Wintertest";
    earlier.model.Date1 = "06.02.2027";
    earlier.model.LaneLen = 25;
    earlier.event("1", u"50m Freistil"_s);
    earlier.done();
    const int times[] = {3105, 3320, 3290, 3475};
    for (int person = 0; person < 4; ++person)
        earlier.nomin(QString::fromUtf8(RelayPeople[person].Name), RelayPeople[person].BirthYear,
                      "1", times[person], RelayPeople[person].Sex,
                      QString::fromUtf8(RelayPeople[person].RegNr));
    QVERIFY(dataDir.store().RememberCompetition(earlier.model));
    openDialog({}, exchangePath);

    typeMixedTeam(u"2"_s);
    QCOMPARE(focusedName(), u"EditSchwimmer1"_s);
    QVERIFY(!dialog->findChild<QWidget*>(u"EditSchwimmer5"_s));
    // From the list, typed whole, the same swimmer again, typed in the other order.
    const QStringList legs = {u"Ahl"_s, u"Brunn, Ole"_s, u"Ahlborn, Tjark"_s, u"Femke Dornbusch"_s};
    for (const QString& leg : legs) {
        type(leg);
        if (leg.size() == 3)
            press(Qt::Key_Down);
        press(Qt::Key_Return);
    }
    QCOMPARE(focusedName(), u"EditMeldezeit"_s);
    QCOMPARE(edit(u"EditSchwimmer1"_s)->text(), QString::fromUtf8(RelayPeople[0].Name));
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    QCOMPARE(messages->shown.size(), 1);
    QCOMPARE(focusedName(), u"EditSchwimmer3"_s);
    QCOMPARE(model.NominCount(), 5);

    type(u"Cas"_s);
    press(Qt::Key_Down);
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    // The legs' times summed, marked as a suggestion.
    const int sum = times[0] + times[1] + times[2] + times[3];
    QCOMPARE(edit(u"EditMeldezeit"_s)->text(), fromAnsi(HundredthsToTimeText(sum)));
    QVERIFY(!control<QLabel>(u"LabelHinweis"_s)->text().isEmpty());
    press(Qt::Key_Return);
    press(Qt::Key_Return);
    QCOMPARE(messages->shown.size(), 1);
    QCOMPARE(model.NominCount(), 6);
    const TCompanion companion = LoadCompanion(exchangePath, model).Companion;
    const TRelayLineUp* kept = FindLineUp(companion, 2000, ansi(u"TV Möwe 3"_s));
    QVERIFY(kept);
    QCOMPARE(kept->Swimmers, lineUp(2, {}, {0, 1, 2, 3}).Swimmers);
    const int adopted = FindRelayNomin(model, 2000, ansi(u"TV Möwe 3"_s));
    QCOMPARE(model.Nomin(adopted).Time, sum);
}

// Typed before its event, a name without a comma passes its field; adoption refuses it for an
// individual event and keeps it as it is for a relay.
void TestEntryDialog::teamName_withoutComma_isRefusedOnlyForAnIndividualEvent_data() {
    QTest::addColumn<QString>("wkNr");
    QTest::addColumn<bool>("adopted");
    QTest::newRow("individual event") << u"1"_s << false;
    QTest::newRow("relay event") << u"2"_s << true;
}
void TestEntryDialog::teamName_withoutComma_isRefusedOnlyForAnIndividualEvent() {
    QFETCH(QString, wkNr);
    QFETCH(bool, adopted);
    model = relayCompetition();
    openDialog();
    typeMixedTeam(wkNr);
    QTest::mouseClick(control(u"ButtonTake"_s), Qt::LeftButton);
    QCOMPARE(messages->shown.size(), adopted ? 0 : 1);
    QCOMPARE(model.NominCount(), adopted ? 6 : 5);
    QCOMPARE(FindRelayNomin(model, wkNr.toInt() * 1000, ansi(u"TV Möwe 3"_s)) > 0, adopted);
    if (!adopted)
        QCOMPARE(focusedName(), u"EditName"_s);
}
