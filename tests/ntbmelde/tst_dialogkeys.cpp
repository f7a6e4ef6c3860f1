// SPDX-License-Identifier: GPL-3.0-or-later
// The shared keyboard conventions, driven on a small dialog shaped like the input dialogs:
// a button bar first in the tab order, then two group boxes of fields.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "dialogkeys.h"
#include "modaldialog.h"

namespace {

// Refuses to let the focus go while its text is "bad", the way the input dialogs' exit checks
// do: it reports the refusal and takes the focus back.
class RefusingExitCheck : public QObject {
public:
    explicit RefusingExitCheck(QLineEdit* field) : QObject(field), field(field) {
        field->installEventFilter(this);
    }
    int refusals = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusOut && field->text() == u"bad") {
            ++refusals;
            field->setFocus();
        }
        return false;
    }

private:
    QLineEdit* field;
};

struct FormDialog : QDialog {
    QPushButton* ok = new QPushButton(QStringLiteral("O&K"), this);
    QPushButton* esc = new QPushButton(QStringLiteral("A&bbrechen"), this);
    QPushButton* finish = new QPushButton(QStringLiteral("Ne&ue Meldung"), this);
    QGroupBox* first = new QGroupBox(this);
    QLineEdit* name = new QLineEdit(first);
    QLineEdit* year = new QLineEdit(first);
    QComboBox* choice = new QComboBox(first);
    QGroupBox* second = new QGroupBox(this);
    QLineEdit* checked = new QLineEdit(second);
    QLineEdit* last = new QLineEdit(second);
    RefusingExitCheck* exitCheck = new RefusingExitCheck(checked);

    FormDialog() {
        ok->setEnabled(false);
        choice->addItems(
            {QStringLiteral("Männlich"), QStringLiteral("Weiblich"), QStringLiteral("Mixed")});
        first->setGeometry(0, 40, 300, 100);
        second->setGeometry(0, 150, 300, 100);
        name->setGeometry(10, 10, 200, 20);
        year->setGeometry(10, 40, 200, 20);
        choice->setGeometry(10, 70, 200, 20);
        checked->setGeometry(10, 10, 200, 20);
        last->setGeometry(10, 40, 200, 20);
        esc->move(100, 0);
        finish->move(200, 0);
        resize(320, 260);
    }
};

} // namespace

class TestDialogKeys : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FormDialog> dialog;

    void showWithFocusOn(QWidget* control) {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        control->setFocus(Qt::OtherFocusReason);
        QCOMPARE(focused(), control);
    }

private slots:
    void init() {
        dialog = std::make_unique<FormDialog>();
        FormDialog& d = *dialog;
        bindSimulateEnter(d.name, UpDown::Move);
        bindSimulateEnterZahlen(d.year, UpDown::Move);
        bindSimulateEnter(d.choice, UpDown::Keep);
        bindSimulateEnter(d.checked, UpDown::Move);
        bindSimulateEnterLetzte(d.last, d.ok, d.esc, Typing::Free, UpDown::Move);
    }
    void cleanup() { dialog.reset(); }

    void enter_walksTheFieldsAcrossGroupBoxes_withoutPressingAButton() {
        FormDialog& d = *dialog;
        showWithFocusOn(d.name);
        QSignalSpy accepted(dialog.get(), &QDialog::accepted);
        type(QStringLiteral("Meier, Hans"));
        const QList<QWidget*> expected = {d.year, d.choice, d.checked, d.last};
        for (QWidget* next : expected) {
            press(Qt::Key_Return);
            QCOMPARE(focused(), next);
        }
        QCOMPARE(d.name->text(), QStringLiteral("Meier, Hans"));
        QVERIFY(dialog->isVisible());
        QCOMPARE(accepted.count(), 0);
        // The keypad's Enter key counts the same.
        d.checked->setFocus();
        press(Qt::Key_Enter);
        QCOMPARE(focused(), d.last);
    }

    void arrows_moveBackAndForth_skippingDisabledButtons_andWrapping() {
        FormDialog& d = *dialog;
        showWithFocusOn(d.name);
        press(Qt::Key_Up); // the bar comes first; going back from the first field wraps...
        QCOMPARE(focused(), d.finish);
        d.last->setFocus();
        press(Qt::Key_Down); // ...and going on from the last field wraps to the first stop.
        QCOMPARE(focused(), d.esc);
        d.ok->setEnabled(true);
        d.last->setFocus();
        press(Qt::Key_Down);
        QCOMPARE(focused(), d.ok);
        d.year->setFocus();
        press(Qt::Key_Up);
        QCOMPARE(focused(), d.name);
        press(Qt::Key_Down);
        QCOMPARE(focused(), d.year);
    }

    void hiddenAndDisabledFields_areSkipped() {
        FormDialog& d = *dialog;
        showWithFocusOn(d.name);
        d.year->setEnabled(false);
        d.choice->hide();
        press(Qt::Key_Return);
        QCOMPARE(focused(), d.checked);
        press(Qt::Key_Up);
        QCOMPARE(focused(), d.name);
    }

    void numberField_takesOnlyDigitsMinusAndBackspace() {
        FormDialog& d = *dialog;
        showWithFocusOn(d.year);
        type(QStringLiteral("1a9 ,x8-5."));
        QCOMPARE(d.year->text(), QStringLiteral("198-5"));
        press(Qt::Key_Backspace);
        QCOMPARE(d.year->text(), QStringLiteral("198-"));
        // Keys that type nothing keep working.
        press(Qt::Key_Home);
        press(Qt::Key_Delete);
        QCOMPARE(d.year->text(), QStringLiteral("98-"));
    }

    void numberField_swallowsClipboardShortcuts() {
        FormDialog& d = *dialog;
        showWithFocusOn(d.year);
        QApplication::clipboard()->setText(QStringLiteral("1999"));
        press(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(d.year->text(), QString());
        // An ordinary field keeps its clipboard.
        d.name->setFocus();
        press(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(d.name->text(), QStringLiteral("1999"));
    }

    void lastNumberField_enterGoesToItsButton_andFiltersCharacters() {
        FormDialog& d = *dialog;
        auto* time = new QLineEdit(d.second);
        time->setGeometry(10, 70, 200, 20);
        bindSimulateEnterLetzte(time, d.finish, nullptr, Typing::DigitsOnly, UpDown::Move);
        showWithFocusOn(time);
        type(QStringLiteral("1:2a3-"));
        QCOMPARE(time->text(), QStringLiteral("123-"));
        press(Qt::Key_Return);
        QCOMPARE(focused(), d.finish);
        time->setFocus();
        press(Qt::Key_Down); // the arrow still goes to the next stop, not to the button
        QCOMPARE(focused(), d.esc);
    }

    void refusedExitCheck_keepsTheFocusOnTheField() {
        FormDialog& d = *dialog;
        showWithFocusOn(d.checked);
        type(QStringLiteral("bad"));
        press(Qt::Key_Return);
        QCOMPARE(d.exitCheck->refusals, 1);
        QCOMPARE(focused(), d.checked);
        press(Qt::Key_Up);
        QCOMPARE(d.exitCheck->refusals, 2);
        QCOMPARE(focused(), d.checked);
        // Tab runs the same check; the keys behave as Tab does.
        press(Qt::Key_Tab);
        QCOMPARE(d.exitCheck->refusals, 3);
        QCOMPARE(focused(), d.checked);
        press(Qt::Key_Backspace);
        press(Qt::Key_Return);
        QCOMPARE(d.exitCheck->refusals, 3);
        QCOMPARE(focused(), d.last);
    }

    void onlyControl_keepsTheFocus() {
        QDialog lonely;
        auto* field = new QLineEdit(&lonely);
        bindSimulateEnter(field, UpDown::Move);
        lonely.show();
        QVERIFY(QTest::qWaitForWindowActive(&lonely));
        field->setFocus();
        press(Qt::Key_Return);
        QCOMPARE(focused(), field);
        press(Qt::Key_Down);
        QCOMPARE(focused(), field);
        QVERIFY(lonely.isVisible());
    }
};

QTEST_MAIN(TestDialogKeys)
#include "tst_dialogkeys.moc"
