// SPDX-License-Identifier: GPL-3.0-or-later
// The club data dialog, opened as the main window opens it and driven from the keyboard.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "ansi.h"
#include "associations.h"
#include "clubdialog.h"
#include "global.h"
#include "mainwindow.h"
#include "meldeaustausch.h"
#include "messages.h"
#include "modaldialog.h"
#include "tempdatadir.h"

using namespace Qt::StringLiterals;

namespace {
const QString DiscardQuestion = u"Frage: Änderung wirklich verwerfen?"_s;
const QString MissingName = u"Fehler: Fehlende Eingabe: Vereinsname!"_s;
} // namespace

class TestClubDialog : public QObject {
    Q_OBJECT

private:
    TMeldeAustausch model;
    std::unique_ptr<TempDataDir> dataDir;
    std::unique_ptr<TClubDialog> form;
    std::unique_ptr<MessageRecorder> messages;

    template <typename T = QWidget> T* control(const char* name) {
        T* found = form->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QLineEdit* edit(const char* name) { return control<QLineEdit>(name); }
    QPushButton* buttonOk() { return control<QPushButton>("ButtonOk"); }
    QComboBox* chooseVerband() { return control<QComboBox>("ChooseVerband"); }

    // Opens the dialog as the "&Vereinsdaten" button does; `user` acts while it is open.
    void open(const std::function<void()>& user) {
        form = std::make_unique<TClubDialog>(model, dataDir->store());
        whenShown(*form, user);
        form->LoadFields();
    }

    void fillClub() {
        model.ClubName = "SV Blau-Wei\xDF Neustadt";
        model.Verband = 17;
        model.Fina = "GER";
        model.ClubId = "4711";
        model.Person = "Erika Muster";
        model.Street = "Am Kanaltor 3";
        model.Zip = "12345";
        model.ClubPlace = "Neustadt";
        model.Fon = "0123 4567";
        model.Fax = "0123 4568";
        model.EMail = "meldung@example.org";
    }

private slots:
    void init() {
        dataDir.reset(); // gives the variable back first
        dataDir = std::make_unique<TempDataDir>();
        model = TMeldeAustausch();
        Global::ResetDataChanged();
        messages = std::make_unique<MessageRecorder>();
    }
    void cleanup() {
        form.reset();
        messages.reset();
    }

    void opening_showsTheClubData_withOkDisabled_andFocusInTheName() {
        fillClub();
        open([this] {
            QCOMPARE(form->windowTitle(), u"Vereinsdaten"_s);
            QCOMPARE(focused(), edit("EditName"));
            QCOMPARE(edit("EditName")->text(), u"SV Blau-Weiß Neustadt"_s);
            QCOMPARE(edit("EditFina")->text(), u"GER"_s);
            QCOMPARE(edit("EditVereinsId")->text(), u"4711"_s);
            QCOMPARE(edit("EditPerson")->text(), u"Erika Muster"_s);
            QCOMPARE(edit("EditStrasse")->text(), u"Am Kanaltor 3"_s);
            QCOMPARE(edit("Editplz")->text(), u"12345"_s);
            QCOMPARE(edit("EditOrt")->text(), u"Neustadt"_s);
            QCOMPARE(edit("EditTelefon")->text(), u"0123 4567"_s);
            QCOMPARE(edit("EditTelefax")->text(), u"0123 4568"_s);
            QCOMPARE(edit("EditEMail")->text(), u"meldung@example.org"_s);
            QCOMPARE(chooseVerband()->currentText(), u"Schwimmverband Nordrhein-Westfalen"_s);
            QVERIFY(!buttonOk()->isEnabled());
            QCOMPARE(form->size(), QSize(569, 360));
        });
    }

    // A file without a club starts from the club of the last saved competition; "O&K" adopts
    // it like typed data.
    void fileWithoutClub_opensWithTheLastSavedClub() {
        fillClub();
        const TMeldeAustausch saved = model;
        QVERIFY(dataDir->store().RememberCompetition(saved));
        model = TMeldeAustausch();
        open([this] {
            QCOMPARE(edit("EditName")->text(), u"SV Blau-Weiß Neustadt"_s);
            QCOMPARE(edit("EditPerson")->text(), u"Erika Muster"_s);
            QCOMPARE(chooseVerband()->currentText(), u"Schwimmverband Nordrhein-Westfalen"_s);
            QCOMPARE(control<QLabel>("LabelHerkunft")->text(),
                     u"Vereinsdaten der letzten Meldung übernommen."_s);
            QVERIFY(buttonOk()->isEnabled());
            pressAccelerator(Qt::Key_K);
            QVERIFY(!form->isVisible());
        });
        QCOMPARE(messages->shown, QStringList());
        QCOMPARE(model.ToFileText(), TMeldeAustausch(saved).ToFileText());
        QVERIFY(Global::DataChanged());
    }

    // The club that a file names is shown as it is, whatever the store remembers.
    void fileWithClub_isNeverOverwrittenFromTheStore() {
        fillClub();
        QVERIFY(dataDir->store().RememberCompetition(model));
        model.ClubName = "SC Delfin Kanalstadt";
        model.Person = "";
        const TMeldeAustausch before = model;
        open([this] {
            QCOMPARE(edit("EditName")->text(), u"SC Delfin Kanalstadt"_s);
            QCOMPARE(edit("EditPerson")->text(), QString());
            QVERIFY(control<QLabel>("LabelHerkunft")->text().isEmpty());
            QVERIFY(!buttonOk()->isEnabled());
            press(Qt::Key_Escape);
            QVERIFY(!form->isVisible());
        });
        QCOMPARE(messages->shown, QStringList());
        QCOMPARE(model.ToFileText(), TMeldeAustausch(before).ToFileText());
        QVERIFY(!Global::DataChanged());
    }

    void closingUnchanged_asksNothing_andStoresNothing_data() {
        QTest::addColumn<int>("way");
        QTest::newRow("Escape") << 0;
        QTest::newRow("A&bbrechen") << 1;
        QTest::newRow("close box") << 2;
    }
    void closingUnchanged_asksNothing_andStoresNothing() {
        QFETCH(int, way);
        fillClub();
        TMeldeAustausch before = model;
        open([this, way] {
            if (way == 0)
                press(Qt::Key_Escape);
            else if (way == 1)
                pressAccelerator(Qt::Key_B);
            else
                form->close();
            QVERIFY(!form->isVisible());
        });
        QCOMPARE(messages->shown, QStringList());
        QCOMPARE(model.ToFileText(), before.ToFileText());
        QVERIFY(!Global::DataChanged());
    }

    void typingAndDeletingACharacter_countsAsChange_andClosingAsks() {
        fillClub();
        TMeldeAustausch before = model;
        messages->setNextAnswer(AnswerNo);
        messages->setNextAnswer(AnswerYes);
        open([this] {
            press(Qt::Key_End);
            type(u"x"_s);
            press(Qt::Key_Backspace);
            QCOMPARE(edit("EditName")->text(), u"SV Blau-Weiß Neustadt"_s);
            QVERIFY(buttonOk()->isEnabled());
            press(Qt::Key_Escape); // answered no: the dialog stays as it was
            QCOMPARE(messages->shown, QStringList{DiscardQuestion});
            QVERIFY(form->isVisible());
            QVERIFY(buttonOk()->isEnabled());
            form->close(); // the close box asks too; answered yes
            QCOMPARE(messages->shown, QStringList(2, DiscardQuestion));
            QVERIFY(!form->isVisible());
        });
        QCOMPARE(model.ToFileText(), before.ToFileText());
        QVERIFY(!Global::DataChanged());
    }

    void typingTheWholeForm_withEnter_storesEveryFieldAsTyped() {
        open([this] {
            // Surrounding blanks of the club name are kept.
            type(u" SG Neustadt "_s);
            press(Qt::Key_Return);
            QCOMPARE(focused(), chooseVerband());
            press(Qt::Key_Down); // the list keeps its arrows: they choose
            press(Qt::Key_Down);
            QCOMPARE(focused(), chooseVerband());
            press(Qt::Key_Return);
            const char* const fieldsInOrder[] = {"EditFina",    "EditVereinsId", "EditPerson",
                                                 "EditStrasse", "Editplz",       "EditOrt",
                                                 "EditTelefon", "EditTelefax",   "EditEMail"};
            for (const char* name : fieldsInOrder) {
                QCOMPARE(focused(), edit(name));
                type(QString::fromLatin1(name).mid(4));
                press(Qt::Key_Return);
            }
            QCOMPARE(focused(), buttonOk());
            press(Qt::Key_Return);
            QVERIFY(!form->isVisible());
        });
        QCOMPARE(fromAnsi(model.ClubName), u" SG Neustadt "_s);
        QCOMPARE(model.Verband, 2);
        QCOMPARE(fromAnsi(model.Fina), u"Fin"_s); // three characters can be typed
        QCOMPARE(fromAnsi(model.ClubId), u"VereinsId"_s);
        QCOMPARE(fromAnsi(model.Person), u"Person"_s);
        QCOMPARE(fromAnsi(model.Street), u"Strasse"_s);
        QCOMPARE(fromAnsi(model.Zip), u"plz"_s);
        QCOMPARE(fromAnsi(model.ClubPlace), u"Ort"_s);
        QCOMPARE(fromAnsi(model.Fon), u"Telefon"_s);
        QCOMPARE(fromAnsi(model.Fax), u"Telefax"_s);
        QCOMPARE(fromAnsi(model.EMail), u"EMail"_s);
        QVERIFY(Global::DataChanged());
    }

    void arrowKeys_andTab_followTheFocusOrderAcrossTheGroups() {
        open([this] {
            QCOMPARE(focused(), edit("EditName"));
            press(Qt::Key_Down);
            QCOMPARE(focused(), chooseVerband());
            press(Qt::Key_Tab);
            QCOMPARE(focused(), edit("EditFina"));
            press(Qt::Key_Down);
            QCOMPARE(focused(), edit("EditVereinsId"));
            press(Qt::Key_Down); // into the contact group
            QCOMPARE(focused(), edit("EditPerson"));
            press(Qt::Key_Up);
            QCOMPARE(focused(), edit("EditVereinsId"));
            edit("EditName")->setFocus();
            press(Qt::Key_Up); // before the first field comes the button bar; OK is still off
            QCOMPARE(focused(), control("ButtonEsc"));
        });
    }

    void enterInTheLastField_goesToCancelUntilSomethingChanged_thenToOk() {
        open([this] {
            edit("EditEMail")->setFocus();
            press(Qt::Key_Return);
            QCOMPARE(focused(), control("ButtonEsc"));
            edit("EditEMail")->setFocus();
            press(Qt::Key_Down); // wraps to the first enabled button
            QCOMPARE(focused(), control("ButtonEsc"));
            edit("EditEMail")->setFocus();
            type(u"a@b.de"_s);
            press(Qt::Key_Down);
            QCOMPARE(focused(), buttonOk());
            edit("EditEMail")->setFocus();
            press(Qt::Key_Return);
            QCOMPARE(focused(), buttonOk());
            press(Qt::Key_Return); // no club name yet: refused
            QVERIFY(form->isVisible());
        });
        QCOMPARE(messages->shown, QStringList{MissingName});
    }

    void okWithBlanksOnlyName_isRefused_withFocusInTheName() {
        fillClub();
        TMeldeAustausch before = model;
        messages->setNextAnswer(AnswerYes);
        open([this] {
            edit("EditName")->selectAll();
            type(u"   "_s);
            pressAccelerator(Qt::Key_K);
            QCOMPARE(messages->shown, QStringList{MissingName});
            QVERIFY(form->isVisible());
            QCOMPARE(focused(), edit("EditName"));
            QVERIFY(buttonOk()->isEnabled());
            press(Qt::Key_Escape); // and nothing is stored on the way out either
        });
        QCOMPARE(messages->shown, (QStringList{MissingName, DiscardQuestion}));
        QCOMPARE(model.ToFileText(), before.ToFileText());
        QVERIFY(!Global::DataChanged());
    }

    void associationList_holdsTheTableInItsOrder_andChoosingIsAChange() {
        fillClub();
        open([this] {
            QComboBox* list = chooseVerband();
            QCOMPARE(list->count(), AssociationCount);
            for (int index = 0; index < AssociationCount; ++index)
                QCOMPARE(list->itemText(index), fromAnsi(AssociationNames[index]));
            QCOMPARE(list->itemText(0), u"Nicht zugeordnet"_s);
            QCOMPARE(list->itemText(37), u"Auswahlmannschaften DSV/LGrp"_s);
            QCOMPARE(list->currentIndex(), 17);
            list->setFocus();
            press(Qt::Key_Up);
            QCOMPARE(list->currentIndex(), 16);
            QVERIFY(buttonOk()->isEnabled());
            pressAccelerator(Qt::Key_K);
        });
        QCOMPARE(model.Verband, 16);
        QCOMPARE(fromAnsi(model.ClubName), u"SV Blau-Weiß Neustadt"_s);
        QVERIFY(Global::DataChanged());
    }

    void unknownAssociation_showsNoEntry_andIsStoredAsMinusOneAfterAChange() {
        fillClub();
        model.Verband = 38;
        open([this] {
            QCOMPARE(chooseVerband()->currentIndex(), -1);
            QVERIFY(!buttonOk()->isEnabled());
            edit("EditOrt")->setFocus();
            type(u"x"_s);
            pressAccelerator(Qt::Key_K);
        });
        QCOMPARE(model.Verband, -1);
        QCOMPARE(fromAnsi(model.ClubPlace), u"Neustadtx"_s);
    }

    void valuesLongerThanTheTypingLimit_areShownAndStoredWhole() {
        // A host's file may carry longer values than the fields let the user type.
        fillClub();
        const std::string longName(40, 'N');
        const std::string longZip = "D-12345-67890";
        model.ClubName = longName;
        model.Zip = longZip;
        QTemporaryDir folder;
        const std::string path = (folder.path() + u"/EXCHANGE.NT2"_s).toStdString();
        model.SaveToFile(path);
        model = TMeldeAustausch();
        model.LoadFromFile(path);
        QCOMPARE(model.ClubName.size(), longName.size());
        QVERIFY(model.ClubName == longName);

        open([this] {
            QCOMPARE(edit("EditName")->text().size(), 40);
            QCOMPARE(edit("Editplz")->text(), u"D-12345-67890"_s);
            press(Qt::Key_End);
            type(u"X"_s); // no longer than it is
            QCOMPARE(edit("EditName")->text().size(), 40);
            QVERIFY(!buttonOk()->isEnabled());
            edit("EditFina")->setFocus(Qt::TabFocusReason); // selects the whole text
            type(u"AUTX"_s);
            QCOMPARE(edit("EditFina")->text(), u"AUT"_s);
            pressAccelerator(Qt::Key_K);
        });
        QCOMPARE(model.ClubName.size(), longName.size());
        QVERIFY(model.ClubName == longName);
        QVERIFY(model.Zip == longZip);
        QCOMPARE(fromAnsi(model.Fina), u"AUT"_s);
        model.SaveToFile(path);
        model = TMeldeAustausch();
        model.LoadFromFile(path);
        QCOMPARE(model.ClubName.size(), longName.size());
        QVERIFY(model.ClubName == longName);
        QCOMPARE(fromAnsi(model.Fina), u"AUT"_s);
        QCOMPARE(model.Verband, 17);
    }

    void overlongValue_canBeShortenedButNotLengthened() {
        model.Person = std::string(70, 'p');
        open([this] {
            edit("EditPerson")->setFocus();
            press(Qt::Key_End);
            press(Qt::Key_Backspace);
            press(Qt::Key_Backspace);
            type(u"q"_s); // still over the limit: refused
            QCOMPARE(edit("EditPerson")->text(), QString(68, u'p'));
            press(Qt::Key_Left, Qt::ShiftModifier);
            type(u"q"_s); // replacing keeps the length
            QCOMPARE(edit("EditPerson")->text(), QString(67, u'p') + u'q');
        });
    }

    void vereinsdatenButton_opensTheDialog_andItsOkReachesTheProgramsModel() {
        QTemporaryDir folder;
        QVERIFY(QFile::copy(QStringLiteral(DEMO_FILE), folder.filePath(u"EXCHANGE.NT2"_s)));
        TMainWindow mainWindow(folder.path());
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowActive(&mainWindow));
        // The dialog's modal loop runs inside the button's click: act from within it.
        bool typed = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, &poll, [&poll, &typed] {
            auto* dialog = qobject_cast<TClubDialog*>(QApplication::activeModalWidget());
            if (!dialog || QApplication::activeWindow() != dialog)
                return;
            poll.stop();
            const auto closeLeftOver = qScopeGuard([dialog] {
                if (dialog->isVisible())
                    dialog->done(QDialog::Rejected);
            });
            QCOMPARE(focused(), dialog->findChild<QLineEdit*>(u"EditName"_s));
            type(u"SC Neustadt"_s);
            pressAccelerator(Qt::Key_K);
            QVERIFY(!dialog->isVisible());
            typed = true;
        });
        poll.start(10);
        pressAccelerator(Qt::Key_V);
        QVERIFY(typed);
        QCOMPARE(fromAnsi(mainWindow.meldeAustausch()->ClubName), u"SC Neustadt"_s);
        QVERIFY(Global::DataChanged());
        messages->setNextAnswer(AnswerNo); // the save question on leaving
    }

    void charactersOutsideWindows1252_areRefusedByTheFields() {
        open([this] {
            type(u"Łódź €"_s);
            QCOMPARE(edit("EditName")->text(), u"ód €"_s);
            pressAccelerator(Qt::Key_K);
        });
        QVERIFY(model.ClubName == "\xF3"
                                  "d \x80"); // Windows-1252 bytes
    }
};

QTEST_MAIN(TestClubDialog)
#include "tst_clubdialog.moc"
