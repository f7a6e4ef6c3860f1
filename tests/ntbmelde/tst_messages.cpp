// SPDX-License-Identifier: GPL-3.0-or-later
#include <QDirIterator>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWhatsThis>

#include "ioerror.h"
#include "messages.h"
#include "nextmodal.h"

using namespace Qt::StringLiterals;

namespace {
QStringList buttonTexts(const QMessageBox* box) {
    QStringList texts;
    for (const QAbstractButton* button : box->buttons())
        texts.append(button->text());
    texts.sort();
    return texts;
}

QMessageBox* asBox(QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box)
        qWarning("the modal window is no message box");
    return box;
}
} // namespace

class TestMessages : public QObject {
    Q_OBJECT
private slots:
    void askYesNo_answersByKeyAndTitleBar_data();
    void askYesNo_answersByKeyAndTitleBar();
    void askYesNo_withHelpContext_helpKeepsBoxOpen();
    void showError_showsTextWithMarkAndOnlyOk();
    void reportApplicationError_addsFullStopAfterHigherCharacters_data();
    void reportApplicationError_addsFullStopAfterHigherCharacters();
    void reportApplicationError_box();
    void runCommand_reportsEscapedErrorAndGoesOn();
    void recorder_scriptsAnswersAndResetsHourglass();
    void messageTexts_haveNoDetachedOrDoubledMarksNorFalsePlurals_data();
    void messageTexts_haveNoDetachedOrDoubledMarksNorFalsePlurals();
};

// Both question boxes; the one with "Abbrechen" keeps Escape and the close box from meaning
// "no".
void TestMessages::askYesNo_answersByKeyAndTitleBar_data() {
    QTest::addColumn<bool>("withCancel");
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("expected");
    QTest::newRow("Enter") << false << u"enter"_s << AnswerYes;
    QTest::newRow("Escape") << false << u"escape"_s << AnswerNo;
    QTest::newRow("Alt+N") << false << u"altN"_s << AnswerNo;
    QTest::newRow("title bar") << false << u"close"_s << AnswerCancel;
    QTest::newRow("with cancel: Enter") << true << u"enter"_s << AnswerYes;
    QTest::newRow("with cancel: Alt+J") << true << u"altJ"_s << AnswerYes;
    QTest::newRow("with cancel: Alt+N") << true << u"altN"_s << AnswerNo;
    QTest::newRow("with cancel: Escape") << true << u"escape"_s << AnswerCancel;
    QTest::newRow("with cancel: title bar") << true << u"close"_s << AnswerCancel;
    // A question whose "Ja" throws work away: Enter keeps it.
    QTest::newRow("discard: Enter") << false << u"discardEnter"_s << AnswerNo;
}

void TestMessages::askYesNo_answersByKeyAndTitleBar() {
    QFETCH(bool, withCancel);
    QFETCH(QString, action);
    QFETCH(int, expected);
    // An active window away from the screen's middle: the box must not centre over it.
    QWidget owner;
    owner.setGeometry(10, 10, 200, 150);
    owner.show();
    QVERIFY(QTest::qWaitForWindowActive(&owner));

    NextModal user([&](QWidget* modal) {
        QMessageBox* box = asBox(modal);
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), u"Bestätigung"_s);
        QCOMPARE(box->icon(), QMessageBox::Question);
        QCOMPARE(box->text(), u"Erste Zeile\nzweite Zeile"_s);
        QCOMPARE(buttonTexts(box), withCancel ? QStringList({u"&Ja"_s, u"&Nein"_s, u"Abbrechen"_s})
                                              : QStringList({u"&Ja"_s, u"&Nein"_s}));
        const bool discard = action.startsWith(u"discard"_s);
        QCOMPARE(box->defaultButton()->text(), discard ? u"&Nein"_s : u"&Ja"_s);
        const QPoint screenMiddle = box->screen()->availableGeometry().center();
        QVERIFY2((box->frameGeometry().center() - screenMiddle).manhattanLength() < 20,
                 "the box is not centred on the screen");
        if (action == u"enter" || action == u"discardEnter")
            QTest::keyClick(box, Qt::Key_Return);
        else if (action == u"escape")
            QTest::keyClick(box, Qt::Key_Escape);
        else if (action == u"altN")
            QTest::keyClick(box, Qt::Key_N, Qt::AltModifier);
        else if (action == u"altJ")
            QTest::keyClick(box, Qt::Key_J, Qt::AltModifier);
        else
            box->close();
        // A mnemonic clicks its button a moment later, as a press that the user can see.
        QTRY_VERIFY(!box->isVisible());
    });
    const QString message = u"Erste Zeile\rzweite Zeile"_s;
    QCOMPARE(withCancel                        ? AskYesNoCancel(message, 0)
             : action.startsWith(u"discard"_s) ? int(ConfirmDiscard(message) ? AnswerYes : AnswerNo)
                                               : AskYesNo(message, 0),
             expected);
    QVERIFY(user.seen());
}

void TestMessages::askYesNo_withHelpContext_helpKeepsBoxOpen() {
    bool stayedOpen = false;
    NextModal user([&](QWidget* modal) {
        QMessageBox* box = asBox(modal);
        QVERIFY(box);
        QCOMPARE(buttonTexts(box), QStringList({u"&Hilfe"_s, u"&Ja"_s, u"&Nein"_s}));
        auto* help = box->findChild<QPushButton*>(u"ButtonHilfe"_s);
        QVERIFY(help);
        QSignalSpy helpClicked(help, &QAbstractButton::clicked);
        QTest::keyClick(box, Qt::Key_H, Qt::AltModifier);
        QTRY_COMPARE(helpClicked.size(), 1);
        QTest::qWait(50);
        stayedOpen = box->isVisible();
        QWhatsThis::hideText();
        QTest::keyClick(box, Qt::Key_J, Qt::AltModifier);
        QTRY_VERIFY(!box->isVisible());
    });
    QCOMPARE(AskYesNo(u"Eintrag löschen?"_s, 3510), AnswerYes);
    QVERIFY(user.seen());
    QVERIFY(stayedOpen);
}

void TestMessages::showError_showsTextWithMarkAndOnlyOk() {
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        NextModal user([&](QWidget* modal) {
            QMessageBox* box = asBox(modal);
            QVERIFY(box);
            QCOMPARE(box->windowTitle(), u"Fehler"_s);
            QCOMPARE(box->icon(), QMessageBox::Critical);
            QCOMPARE(box->text(), u"Zeit ungültig\nBitte neu eingeben!"_s);
            QCOMPARE(buttonTexts(box), QStringList({u"OK"_s}));
            QTest::keyClick(box, key);
            QVERIFY(!box->isVisible());
        });
        ShowError(u"Zeit ungültig\rBitte neu eingeben"_s, 0);
        QVERIFY(user.seen());
    }
    NextModal withHelp([](QWidget* modal) {
        QMessageBox* box = asBox(modal);
        QVERIFY(box);
        QCOMPARE(buttonTexts(box), QStringList({u"&Hilfe"_s, u"OK"_s}));
    });
    ShowError(u"Wettkampf nicht gefunden"_s, 10013);
    QVERIFY(withHelp.seen());
}

void TestMessages::reportApplicationError_addsFullStopAfterHigherCharacters_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("letter") << u"Dateizugriff verweigert"_s << u"Dateizugriff verweigert."_s;
    QTest::newRow("digit") << u"E/A-Fehler 28"_s << u"E/A-Fehler 28."_s;
    QTest::newRow("full stop") << u"Abgebrochen."_s << u"Abgebrochen."_s;
    QTest::newRow("exclamation mark") << u"Achtung!"_s << u"Achtung!"_s;
    QTest::newRow("parenthesis") << u"Fehler (intern)"_s << u"Fehler (intern)"_s;
    QTest::newRow("umlaut") << u"Datei zu groß"_s << u"Datei zu groß."_s;
    QTest::newRow("empty") << QString() << QString();
}

void TestMessages::reportApplicationError_addsFullStopAfterHigherCharacters() {
    QFETCH(QString, text);
    QFETCH(QString, shown);
    MessageRecorder recorder;
    ReportApplicationError(text);
    QCOMPARE(recorder.shown, QStringList({u"Programmfehler: "_s + shown}));
}

void TestMessages::reportApplicationError_box() {
    NextModal user([](QWidget* modal) {
        QMessageBox* box = asBox(modal);
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), u"Meldeprogramm für Natabo"_s);
        QCOMPARE(box->icon(), QMessageBox::Critical);
        QCOMPARE(box->text(), u"Zu wenig Speicherplatz."_s);
        // The caption is longer than the text: the box leaves room for it and for the title
        // bar's icon and buttons, so that it is not cut.
        QFont caption = box->font();
        caption.setBold(true);
        QVERIFY(box->width() >= QFontMetrics(caption).horizontalAdvance(box->windowTitle()) + 100);
        QCOMPARE(buttonTexts(box), QStringList({u"OK"_s}));
        QTest::keyClick(box, Qt::Key_Return);
    });
    ReportApplicationError(u"Zu wenig Speicherplatz"_s);
    QVERIFY(user.seen());
}

void TestMessages::runCommand_reportsEscapedErrorAndGoesOn() {
    MessageRecorder recorder;
    bool ran = false;
    QVERIFY(RunCommand([&] { ran = true; }));
    QVERIFY(ran);
    QVERIFY(recorder.shown.isEmpty());

    // The core's texts are Windows-1252: 0xC4 is 'Ä'.
    QVERIFY(!RunCommand([] { throw TIoError(5, "\xC4nderung verweigert"); }));
    QVERIFY(!RunCommand([] { throw std::runtime_error("Speicher voll"); }));
    QCOMPARE(recorder.shown, QStringList({u"Programmfehler: Änderung verweigert."_s,
                                          u"Programmfehler: Speicher voll."_s}));
}

void TestMessages::recorder_scriptsAnswersAndResetsHourglass() {
    MessageRecorder recorder;
    recorder.setNextAnswer(AnswerNo);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QCOMPARE(AskYesNo(u"Daten jetzt speichern?"_s, 0), AnswerNo);
    QVERIFY(!QGuiApplication::overrideCursor());

    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    ShowError(u"Name fehlt"_s, 0);
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(AskYesNo(u"Noch eine Frage?"_s, 0), AnswerYes);
    QCOMPARE(recorder.shown, QStringList({u"Frage: Daten jetzt speichern?"_s,
                                          u"Fehler: Name fehlt!"_s, u"Frage: Noch eine Frage?"_s}));
}

// Every text the program and the tool can show, read from the sources: no mark stands apart
// from its word or twice, and no count stands before a plural that a count of 1 would make
// wrong (CountText says those).
void TestMessages::messageTexts_haveNoDetachedOrDoubledMarksNorFalsePlurals_data() {
    QTest::addColumn<QString>("folder");
    for (const char* folder : {"ntbmelde", "cli", "interop", "store", "storeimport", "shared"})
        QTest::newRow(folder) << QString::fromLatin1(folder);
}

void TestMessages::messageTexts_haveNoDetachedOrDoubledMarksNorFalsePlurals() {
    QFETCH(QString, folder);
    const QRegularExpression literal(uR"re("((?:[^"\\\n]|\\.)*)")re"_s);
    const QRegularExpression fault(
        uR"re([a-zäöüß] [!?.,](?: |$)|[!?][!?]|[!?.] [!?]|(?<!\.)\.\.(?!\.)|%\d (?:Meldungen|Meldezeiten|Wettkampfzeiten|Wettkämpfe|Staffeln|Abschnitten?|Felder|Zeiten)\b)re"_s);
    const QStringList allowed = {
        // Counts that are never 1 where these stand.
        u"Für keine der %1 Meldungen ohne Meldezeit ist eine Zeit bekannt."_s,
        u"Die Ausschreibung hat %1 Abschnitte; die "_s,
        // The exchange file's own comment lines, which no one is shown.
        u" DIESE DATEI WURDE AUTOMATISCH ERZEUGT!!  "_s,
        u" JEDES MANUELLE EDITIEREN IST UNTERSAGT!! "_s,
    };
    QStringList faults;
    int texts = 0;
    QDirIterator files(QStringLiteral(TEST_DATA_DIR "/../../src/") + folder, {u"*.cpp"_s, u"*.h"_s},
                       QDir::Files);
    while (files.hasNext()) {
        QFile file(files.next());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString source = QString::fromUtf8(file.readAll());
        for (auto match = literal.globalMatch(source); match.hasNext();) {
            const QString text = match.next().captured(1);
            ++texts;
            if (fault.match(text).hasMatch() && !allowed.contains(text))
                faults << QFileInfo(file).fileName() + u": "_s + text;
        }
    }
    QVERIFY(texts > 0);
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u"\n"_s)));
}

QTEST_MAIN(TestMessages)
#include "tst_messages.moc"
