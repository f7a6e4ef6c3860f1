// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractItemView>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <sys/stat.h>

#include "ansi.h"
#include "appearance.h"
#include "clubdialog.h"
#include "conversions.h"
#include "dialogseam.h"
#include "entrydialog.h"
#include "eventchooser.h"
#include "exitnotice.h"
#include "global.h"
#include "instructionswindow.h"
#include "mainwindow.h"
#include "meldeaustausch.h"
#include "messages.h"
#include "nextmodal.h"
#include "swimmerwindow.h"
#include "tempdatadir.h"

using namespace Qt::StringLiterals;

namespace {
// The message for a file that the command line named (or the one in the folder it named).
QString missingFileError(const QString& path) {
    return u"Fehler: Datendatei \"%1\" nicht gefunden!"_s.arg(path);
}
const QString SaveQuestion = u"Frage: Daten jetzt speichern?"_s;
const QStringList DataButtons = {u"ButtonVerein"_s, u"ButtonMeldung"_s, u"ButtonAusdruck"_s,
                                 u"ButtonMeldegeld"_s, u"ButtonExport"_s};

QString putDemoFile(const QString& folder, const QString& name = u"EXCHANGE.NT2"_s) {
    const QString path = folder + u'/' + name;
    if (!QFile::copy(QStringLiteral(DEMO_FILE), path))
        qWarning("could not copy the demo file");
    return path;
}

// What shows that a file was left alone: its bytes, its inode (an atomic save replaces it)
// and its modification time to the nanosecond.
struct FileState {
    QByteArray bytes;
    ino_t inode = 0;
    timespec modified{};
    bool operator==(const FileState& other) const {
        return bytes == other.bytes && inode == other.inode &&
               modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec;
    }
};

FileState stateOf(const QString& path) {
    FileState state;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        state.bytes = file.readAll();
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) == 0) {
        state.inode = info.st_ino;
        state.modified = info.st_mtim;
    }
    return state;
}

QPushButton* button(const TMainWindow& window, const QString& name) {
    return window.findChild<QPushButton*>(name);
}

void showActive(TMainWindow& window) {
    window.show();
    if (!QTest::qWaitForWindowActive(&window))
        qWarning("the main window did not become active");
}

// Checks the exit notice as the user meets it and closes it with Enter.
void checkAndCloseExitNotice(QWidget* modal) {
    QVERIFY(qobject_cast<TExitNotice*>(modal));
    QCOMPARE(modal->windowTitle(), u"Melde-Programm wird beendet"_s);
    QCOMPARE(modal->size(), QSize(604, 274));
    QCOMPARE(QApplication::focusWidget()->objectName(), u"ButtonOk"_s);
    auto* picture = modal->findChild<QLabel*>(u"Image1"_s);
    QVERIFY(picture && !picture->pixmap().isNull());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!modal->isVisible());
}

const QStringList InstructionLines = {
    u"Bedienungsanleitung"_s,
    u"*************************"_s,
    u"Führen Sie die Maus auf eine Schaltfläche oder ein Eingabefeld und Sie "_s,
    u"erhalten eine Kurzhilfe."_s,
    u""_s,
    u"SCHRITT 1:"_s,
    u"++++++++++"_s,
    u"Wählen Sie \"Vereinsdaten eingeben\" und machen Sie alle geforderten Angaben."_s,
    u""_s,
    u"SCHRITT 2:"_s,
    u"++++++++++"_s,
    u"Wählen Sie \"Meldungen eingeben\" und melden Sie alle SchwimmerInnen."_s,
    u""_s,
    u"SCHRITT 3:"_s,
    u"++++++++++"_s,
    u"Wählen Sie \"Kontrollausdruck\", kontrollieren Sie die Daten, speichern "_s,
    u"oder drucken Sie den Kontrollausdruck und schicken Sie diesen ebenfalls an den "
    u"Ausrichter."_s,
    u""_s,
    u"SCHRITT 4:"_s,
    u"++++++++++"_s,
    u"Beenden Sie das Programm, dabei werden Sie gefragt, ob die Daten in der Austauschdatei"_s,
    u"gespeichert werden sollen. Antworten Sie darauf mit Ja, wenn Sie etwas eingegeben oder"_s,
    u"geändert haben. "_s,
    u"Schicken Sie die Datei \"EXCHANGE.NT2\" und den Kontrollausdruck an den Ausrichter."_s,
};
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void startup_withFile_loadsModelAndEnablesEveryButton();
    void startup_location_data();
    void startup_location();
    void startup_withoutArgument_asksForAFile_data();
    void startup_withoutArgument_asksForAFile();
    void startup_unreadableFile_reportsAndKeepsEveryButton();
    void controlPanel_buttonsInPlaceAndInTabOrder();
    void close_unchanged_asksNothingAndLeavesFileAlone();
    void close_withoutFile_asksNothingAndCreatesNoFile();
    void close_changedAnswerYes_savesBeforeExitNotice();
    void close_changedAnswerNo_writesNothing();
    void close_saveQuestionCancelled_keepsTheProgramAsItWas();
    void close_saveFails_staysOpenUntilAnsweredNo_data();
    void close_saveFails_staysOpenUntilAnsweredNo();
    void close_childWindows_closedAfterExitNoticeHighestFirst();
    void help_showsInstructionsAndClosesWithEnter();
    void swimmers_altS_opensTheStoresListAndEscapeClosesIt();
    void dialogs_haveAFixedFrame();
    void mainWindow_atItsSmallestSize_keepsEveryButtonVisible();
    void program_withoutDisplay_explainsAndFails();
    void toolkitDialogs_speakGerman();

private:
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<TempDataDir> dataDir;
    // No test may block on a message box it did not expect.
    std::unique_ptr<MessageRecorder> messages;
};

void TestMainWindow::init() {
    dataDir.reset(); // gives the variable back first
    dataDir = std::make_unique<TempDataDir>();
    folder = std::make_unique<QTemporaryDir>();
    QVERIFY(folder->isValid());
    Global::ResetDataChanged();
    messages = std::make_unique<MessageRecorder>();
}

void TestMainWindow::cleanup() {
    messages.reset();
}

void TestMainWindow::startup_withFile_loadsModelAndEnablesEveryButton() {
    putDemoFile(folder->path());
    Global::SetDataChanged();
    TMainWindow window(folder->path());
    QVERIFY(messages->shown.isEmpty());
    QVERIFY(!Global::DataChanged());
    QCOMPARE(Global::ProgDir, folder->path() + u'/');
    TMeldeAustausch expected;
    expected.LoadFromFile(DEMO_FILE);
    QVERIFY(window.meldeAustausch());
    QVERIFY(window.meldeAustausch()->EventCount() > 0);
    QCOMPARE(window.meldeAustausch()->CompName, expected.CompName);
    QCOMPARE(window.meldeAustausch()->EventCount(), expected.EventCount());
    for (QPushButton* each : window.findChildren<QPushButton*>())
        QVERIFY2(each->isEnabled(), qPrintable(each->objectName()));
    // The title names the competition and its first day.
    QCOMPARE(window.windowTitle(),
             u"Meldeprogramm für Natabo – %1, %2"_s.arg(fromAnsi(Trim(expected.CompName)),
                                                        fromAnsi(Trim(expected.Date1))));
    QVERIFY(!window.windowIcon().isNull());
}

void TestMainWindow::startup_location_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("argument");
    // The file that the message names when it is missing; empty when it is found.
    QTest::addColumn<QString>("lookedFor");
    QTest::newRow("exchange file") << u"EXCHANGE.NT2"_s << u"EXCHANGE.NT2"_s << QString();
    QTest::newRow("file of another name") << u"wettkampf.nt2"_s << u"wettkampf.nt2"_s << QString();
    QTest::newRow("file of another name missing")
        << u"EXCHANGE.NT2"_s << u"wettkampf.nt2"_s << u"wettkampf.nt2"_s;
    QTest::newRow("folder without the file") << u"wettkampf.nt2"_s << u""_s << u"EXCHANGE.NT2"_s;
    QTest::newRow("path that does not exist")
        << u"EXCHANGE.NT2"_s << u"fehlt/EXCHANGE.NT2"_s << u"fehlt/EXCHANGE.NT2"_s;
    QTest::newRow("lower-case name") << u"exchange.nt2"_s << u""_s << u"EXCHANGE.NT2"_s;
}

void TestMainWindow::startup_location() {
    QFETCH(QString, fileName);
    QFETCH(QString, argument);
    QFETCH(QString, lookedFor);
    const bool found = lookedFor.isEmpty();
    putDemoFile(folder->path(), fileName);
    const QString location = folder->path() + u'/' + argument;
    TMainWindow window(location);
    QCOMPARE(messages->shown,
             found ? QStringList()
                   : QStringList{missingFileError(folder->path() + u'/' + lookedFor)});
    QCOMPARE(Global::ProgDir, QFileInfo(folder->path() + u'/' + argument).absolutePath() + u'/');
    QCOMPARE(window.meldeAustausch()->EventCount() > 0, found);
    for (const QString& name : DataButtons)
        QCOMPARE(button(window, name)->isEnabled(), found);
    QVERIFY(button(window, u"ButtonExit"_s)->isEnabled());
    QVERIFY(button(window, u"ButtonHelp"_s)->isEnabled());
}

// Without an argument and without a file beside the program a file dialog asks for the exchange
// file or an invitation, starting where the last file was opened; Cancel quits.
void TestMainWindow::startup_withoutArgument_asksForAFile_data() {
    QTest::addColumn<QString>("chosen"); // empty: cancelled
    QTest::addColumn<bool>("opened");
    QTest::newRow("cancelled") << QString() << false;
    QTest::newRow("exchange file") << u"EXCHANGE.NT2"_s << true;
}

void TestMainWindow::startup_withoutArgument_asksForAFile() {
    if (QFileInfo::exists(QCoreApplication::applicationDirPath() + u"/EXCHANGE.NT2"_s))
        QSKIP("an exchange file lies beside the test program");
    QFETCH(QString, chosen);
    QFETCH(bool, opened);
    // The folder of a file opened before is where the dialog starts.
    const QString earlier = putDemoFile(folder->path(), u"vorher.NT2"_s);
    { TMainWindow before(earlier); }
    if (chosen.isEmpty())
        FileDialogSeam::setNextCancel();
    else
        FileDialogSeam::setNextFileName(putDemoFile(folder->path(), chosen), QString());
    TMainWindow window;
    QCOMPARE(FileDialogSeam::lastFolder, folder->path() + u'/');
    QCOMPARE(window.QuitRequested(), !opened);
    QCOMPARE(messages->shown, QStringList());
    if (!opened)
        return;
    QCOMPARE(Global::ProgDir, folder->path() + u'/');
    QVERIFY(window.meldeAustausch()->EventCount() > 0);
    QVERIFY(button(window, u"ButtonMeldung"_s)->isEnabled());
}

void TestMainWindow::startup_unreadableFile_reportsAndKeepsEveryButton() {
    QVERIFY(QDir(folder->path()).mkdir(u"EXCHANGE.NT2"_s));
    TMainWindow window(folder->path());
    QCOMPARE(messages->shown, QStringList{u"Programmfehler: E/A-Fehler 21."_s});
    for (QPushButton* each : window.findChildren<QPushButton*>())
        QVERIFY2(each->isEnabled(), qPrintable(each->objectName()));
}

void TestMainWindow::controlPanel_buttonsInPlaceAndInTabOrder() {
    putDemoFile(folder->path());
    TMainWindow window(folder->path());
    showActive(window);
    // Wide enough for one row of buttons (narrower screens: tst_windowlayout).
    window.resize(1280, 720);
    auto* panel = window.findChild<QWidget*>(u"ControlPanel"_s);
    QVERIFY(panel);
    QTRY_COMPARE(panel->height(), 54);
    QVERIFY(panel->mapTo(&window, QPoint(0, 0)).y() > window.mdiArea()->geometry().bottom());

    struct Expected {
        QString name, caption, hint;
        int left, width;
    };
    const QList<Expected> buttons = {
        {u"ButtonVerein"_s, u"&Vereinsdaten"_s, u"Vereinsdaten eingeben oder ändern"_s, 10, 150},
        {u"ButtonMeldung"_s, u"&Meldungen"_s, u"Meldungen eingeben oder ändern"_s, 160, 150},
        {u"ButtonAusdruck"_s, u"&Kontrollausdruck"_s,
         u"Kontrollausdruck anzeigen, speichern oder drucken"_s, 310, 150},
        {u"ButtonMeldegeld"_s, u"Melde&geld"_s,
         u"Meldegeld je Schwimmer, Staffel und Abschnitt anzeigen, speichern oder drucken"_s, 460,
         150},
        {u"ButtonExport"_s, u"Meldung &exportieren"_s,
         u"Meldungen als Lenex- oder DSV7-Datei für den Ausrichter speichern"_s, 610, 150},
        {u"ButtonExit"_s, u"&Beenden"_s, u"Programm beenden"_s, 760, 150},
        {u"ButtonHelp"_s, u"&Hilfe"_s, u"Hilfe / Bedienungsanleitung anzeigen"_s, 910, 120},
        {u"ButtonSchwimmer"_s, u"&Schwimmer"_s,
         u"Schwimmerliste des Vereins anzeigen und bearbeiten"_s, 1030, 120},
    };
    QCOMPARE(QApplication::focusWidget(), button(window, u"ButtonVerein"_s));
    for (const Expected& expected : buttons) {
        QPushButton* each = button(window, expected.name);
        QVERIFY2(each, qPrintable(expected.name));
        QCOMPARE(each->parentWidget(), panel);
        QCOMPARE(each->text(), expected.caption);
        QCOMPARE(each->toolTip(), expected.hint);
        QCOMPARE(each->x(), expected.left);
        QCOMPARE(each->width(), expected.width);
        QCOMPARE(each->height(), 41);
        QVERIFY(!each->icon().isNull());
        QCOMPARE(QApplication::focusWidget(), each);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
}

void TestMainWindow::close_unchanged_asksNothingAndLeavesFileAlone() {
    const QString file = putDemoFile(folder->path());
    const FileState before = stateOf(file);
    TMainWindow window(folder->path());
    showActive(window);
    NextModal notice(checkAndCloseExitNotice);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_B, Qt::AltModifier);
    QTRY_VERIFY(!window.isVisible());
    QVERIFY(notice.seen());
    QVERIFY(messages->shown.isEmpty());
    QVERIFY(stateOf(file) == before);
    QVERIFY(!window.meldeAustausch());
}

void TestMainWindow::close_withoutFile_asksNothingAndCreatesNoFile() {
    TMainWindow window(folder->path());
    showActive(window);
    QCOMPARE(QApplication::focusWidget(), button(window, u"ButtonExit"_s));
    NextModal notice(checkAndCloseExitNotice);
    QVERIFY(window.close());
    QVERIFY(notice.seen());
    QCOMPARE(messages->shown, QStringList{missingFileError(folder->path() + u"/EXCHANGE.NT2"_s)});
    QVERIFY(QDir(folder->path()).isEmpty());
}

void TestMainWindow::close_changedAnswerYes_savesBeforeExitNotice() {
    const QString file = putDemoFile(folder->path());
    TMainWindow window(folder->path());
    window.show();
    window.meldeAustausch()->ClubName = "SV M\xF6we Teststadt";
    Global::SetDataChanged();
    messages->setNextAnswer(AnswerYes);
    std::string clubAtNotice;
    NextModal notice([&](QWidget* modal) {
        TMeldeAustausch saved;
        saved.LoadFromFile(QFile::encodeName(file).toStdString());
        clubAtNotice = saved.ClubName;
        checkAndCloseExitNotice(modal);
    });
    QVERIFY(window.close());
    QVERIFY(notice.seen());
    QCOMPARE(messages->shown, QStringList{SaveQuestion});
    QCOMPARE(clubAtNotice, std::string("SV M\xF6we Teststadt"));
    QVERIFY(!QGuiApplication::overrideCursor());
    // The saved competition's club is remembered for the next one.
    const std::optional<TClubBlock> remembered = dataDir->store().LastClubBlock();
    QVERIFY(remembered);
    QCOMPARE(remembered->ClubName, std::string("SV M\xF6we Teststadt"));
}

void TestMainWindow::close_changedAnswerNo_writesNothing() {
    const QString file = putDemoFile(folder->path());
    const FileState before = stateOf(file);
    TMainWindow window(folder->path());
    window.show();
    window.meldeAustausch()->ClubName = "SV Teststadt";
    Global::SetDataChanged();
    messages->setNextAnswer(AnswerNo);
    NextModal notice(checkAndCloseExitNotice);
    QVERIFY(window.close());
    QVERIFY(notice.seen());
    QCOMPARE(messages->shown, QStringList{SaveQuestion});
    QVERIFY(stateOf(file) == before);
}

// A reflex Escape on the save question must not throw the evening's work away.
void TestMainWindow::close_saveQuestionCancelled_keepsTheProgramAsItWas() {
    const QString file = putDemoFile(folder->path());
    const FileState before = stateOf(file);
    TMainWindow window(folder->path());
    showActive(window);
    TMeldeAustausch* model = window.meldeAustausch();
    model->ClubName = "SV Teststadt";
    Global::SetDataChanged();

    // The real question box, and whatever else would open after it.
    messages.reset();
    QStringList seen;
    QTimer user;
    connect(&user, &QTimer::timeout, &user, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        auto* box = qobject_cast<QMessageBox*>(modal);
        seen << (box ? box->text() : modal->windowTitle());
        if (box)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            modal->close();
    });
    user.start(10);
    QVERIFY(!window.close());
    user.stop();
    messages = std::make_unique<MessageRecorder>();

    QCOMPARE(seen, QStringList{u"Daten jetzt speichern?"_s});
    QVERIFY(window.isVisible());
    QCOMPARE(window.meldeAustausch(), model);
    QCOMPARE(model->ClubName, std::string("SV Teststadt"));
    QVERIFY(Global::DataChanged());
    QVERIFY(stateOf(file) == before);

    // Asked again, "&Nein" leaves.
    messages->setNextAnswer(AnswerNo);
    NextModal notice(checkAndCloseExitNotice);
    QVERIFY(window.close());
    QVERIFY(notice.seen());
    QCOMPARE(messages->shown, QStringList{SaveQuestion});
    QVERIFY(stateOf(file) == before);
}

void TestMainWindow::close_saveFails_staysOpenUntilAnsweredNo_data() {
    QTest::addColumn<bool>("folderReadOnly");
    QTest::newRow("read-only file") << false;
    QTest::newRow("read-only folder") << true;
}

void TestMainWindow::close_saveFails_staysOpenUntilAnsweredNo() {
    QFETCH(bool, folderReadOnly);
    QString place = folder->path();
    QString file;
    auto unmount = qScopeGuard([&] {
        if (folderReadOnly)
            QProcess::execute(u"umount"_s, {place});
    });
    if (folderReadOnly) {
        // Root may write into any folder whose file system allows it: only a read-only mount
        // refuses.
        place = folder->path() + u"/ro"_s;
        QDir().mkdir(place);
        if (QProcess::execute(
                u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, u"size=1m"_s, u"tmpfs"_s, place}) != 0) {
            folderReadOnly = false;
            QSKIP("cannot mount a file system here");
        }
        file = putDemoFile(place);
        QCOMPARE(QProcess::execute(u"mount"_s, {u"-o"_s, u"remount,ro"_s, place}), 0);
    } else {
        file = putDemoFile(place);
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup));
    }
    const FileState before = stateOf(file);

    TMainWindow window(place);
    window.show();
    TMeldeAustausch* model = window.meldeAustausch();
    auto* child = window.mdiArea()->addSubWindow(new QLabel(u"Ausdruck"_s));
    child->show();
    model->ClubName = "SV Teststadt";
    Global::SetDataChanged();
    messages->setNextAnswer(AnswerYes);
    {
        NextModal notice([](QWidget*) {});
        QVERIFY(!window.close());
        QTest::qWait(50);
        QVERIFY(!notice.seen());
    }
    QCOMPARE(messages->shown,
             QStringList({SaveQuestion, u"Programmfehler: Dateizugriff verweigert."_s}));
    QVERIFY(window.isVisible());
    QCOMPARE(window.mdiArea()->subWindowList().size(), 1);
    QCOMPARE(window.meldeAustausch(), model);
    QCOMPARE(model->ClubName, std::string("SV Teststadt"));
    QVERIFY(Global::DataChanged());
    QVERIFY(!QGuiApplication::overrideCursor());
    QVERIFY(stateOf(file) == before);
    // No temporary file is left; the lock stays while the program has the file open.
    QStringList left = QDir(place).entryList(QDir::Files | QDir::Hidden);
    left.removeOne(u".EXCHANGE.NT2.lock"_s);
    QCOMPARE(left, QStringList{u"EXCHANGE.NT2"_s});

    messages->setNextAnswer(AnswerNo);
    NextModal notice(checkAndCloseExitNotice);
    QVERIFY(window.close());
    QVERIFY(notice.seen());
    QCOMPARE(messages->shown.size(), 3);
    QCOMPARE(messages->shown.last(), SaveQuestion);
    QVERIFY(stateOf(file) == before);
    // A competition that was not saved is not remembered either.
    QVERIFY(!dataDir->store().LastClubBlock());
}

void TestMainWindow::close_childWindows_closedAfterExitNoticeHighestFirst() {
    putDemoFile(folder->path());
    TMainWindow window(folder->path());
    window.show();
    QStringList closed;
    QList<QPointer<QMdiSubWindow>> children;
    for (const QString& name : {u"erster"_s, u"zweiter"_s}) {
        QMdiSubWindow* child = window.mdiArea()->addSubWindow(new QLabel(name));
        child->setAttribute(Qt::WA_DeleteOnClose);
        connect(child, &QObject::destroyed, this, [&closed, name] { closed.append(name); });
        child->show();
        children.append(child);
    }
    int openAtNotice = -1;
    NextModal notice([&](QWidget* modal) {
        openAtNotice = int(window.mdiArea()->subWindowList().size());
        checkAndCloseExitNotice(modal);
    });
    QVERIFY(window.close());
    QCOMPARE(openAtNotice, 2);
    QTRY_VERIFY(children[0].isNull() && children[1].isNull());
    QCOMPARE(closed, QStringList({u"zweiter"_s, u"erster"_s}));
}

// "&Schwimmer" shows the swimmers that the store in the data folder holds.
void TestMainWindow::swimmers_altS_opensTheStoresListAndEscapeClosesIt() {
    TSwimmer swimmer;
    swimmer.Name = "Meier, Hans";
    swimmer.BirthYear = 2008;
    QVERIFY(dataDir->store().SaveSwimmer(swimmer));
    putDemoFile(folder->path());
    TMainWindow window(folder->path());
    showActive(window);
    NextModal swimmers([](QWidget* modal) {
        QCOMPARE(modal->windowTitle(), u"Schwimmer"_s);
        auto* table = modal->findChild<QAbstractItemView*>(u"SwimmerTable"_s);
        QCOMPARE(table->model()->rowCount(), 1);
        QCOMPARE(table->model()->index(0, 0).data().toString(), u"Meier, Hans"_s);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!modal->isVisible());
    });
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier);
    QTRY_VERIFY(swimmers.seen());
    QVERIFY(messages->shown.isEmpty());
}

void TestMainWindow::help_showsInstructionsAndClosesWithEnter() {
    TMainWindow window(folder->path()); // also without the exchange file
    showActive(window);
    for (int opening = 1; opening <= 2; ++opening) {
        NextModal instructions([&](QWidget* modal) {
            QVERIFY(qobject_cast<TInstructionsWindow*>(modal));
            QCOMPARE(modal->windowTitle(), u"Bedienungsanleitung"_s);
            QCOMPARE(modal->size(), QSize(655, 403));
            auto* memo = modal->findChild<QTextEdit*>(u"Memo1"_s);
            QVERIFY(memo && memo->isReadOnly());
            const QString guide = memo->toPlainText();
            QCOMPARE(guide.split(u'\n').mid(0, InstructionLines.size()), InstructionLines);
            // Then it tells what every other button of the main window does, and the tool.
            for (const QPushButton* each :
                 window.findChild<QWidget*>(u"ControlPanel"_s)->findChildren<QPushButton*>()) {
                const QString caption = each->text().remove(u'&');
                QVERIFY2(each->objectName() == u"ButtonHelp"_s || guide.contains(caption),
                         qPrintable(caption));
            }
            QVERIFY(guide.contains(u"ntbmelde-cli"_s));
            // The page keys show its end and its start again.
            QScrollBar* lines = memo->verticalScrollBar();
            QVERIFY(lines->maximum() > 0);
            for (int page = 0; page <= lines->maximum() / lines->pageStep(); ++page)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
            QCOMPARE(lines->value(), lines->maximum());
            for (int page = 0; page <= lines->maximum() / lines->pageStep(); ++page)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);
            QCOMPARE(lines->value(), 0);
            QVERIFY(!(memo->focusPolicy() & Qt::TabFocus));
            QCOMPARE(QApplication::focusWidget()->objectName(), u"BitBtn1"_s);
            QCOMPARE(qobject_cast<QPushButton*>(QApplication::focusWidget())->text(),
                     u"&Schließen"_s);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QVERIFY(!modal->isVisible());
        });
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_H, Qt::AltModifier);
        QTRY_VERIFY(instructions.seen());
        // The offscreen platform hands the activation back only when asked.
        window.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &window);
    }
    QVERIFY(window.findChildren<TInstructionsWindow*>().isEmpty());
    QVERIFY(window.isVisible());
}

// Every dialog has the frame of a dialog of fixed size: a close button, no minimise or
// maximise button (without CustomizeWindowHint the window manager would choose them).
void TestMainWindow::dialogs_haveAFixedFrame() {
    TMeldeAustausch model;
    TClubDialog club(model, dataDir->store());
    TEntryDialog entries(model, dataDir->store());
    TSwimmerWindow swimmers(dataDir->store());
    TEventChooser chooser(model);
    TInstructionsWindow instructions;
    TExitNotice notice;
    for (const QWidget* dialog : std::initializer_list<const QWidget*>{
             &club, &entries, &swimmers, &chooser, &instructions, &notice}) {
        const Qt::WindowFlags flags = dialog->windowFlags();
        QVERIFY2((flags & Qt::CustomizeWindowHint) && (flags & Qt::WindowCloseButtonHint) &&
                     !(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)),
                 qPrintable(dialog->windowTitle()));
    }
}

// However small the user makes the main window, its buttons and those of a printout window
// stay whole in sight.
void TestMainWindow::mainWindow_atItsSmallestSize_keepsEveryButtonVisible() {
    putDemoFile(folder->path());
    TMainWindow window(folder->path());
    showActive(window);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_K, Qt::AltModifier);
    QTRY_COMPARE(window.mdiArea()->subWindowList().size(), 1);
    window.resize(50, 50);
    QTest::qWait(50);
    const QList<QPushButton*> buttons = window.findChildren<QPushButton*>();
    QCOMPARE(buttons.size(), 13); // nine of the window, four of the printout
    for (QPushButton* each : buttons) {
        QVERIFY2(each->isVisible(), qPrintable(each->objectName()));
        const QRect place(each->mapTo(&window, QPoint(0, 0)), each->size());
        QVERIFY2(window.rect().contains(place), qPrintable(each->objectName()));
        QVERIFY2(each->visibleRegion() == QRegion(each->rect()), qPrintable(each->objectName()));
    }
}

void TestMainWindow::program_withoutDisplay_explainsAndFails() {
    const QString program = QCoreApplication::applicationDirPath() + u"/../src/ntbmelde/ntbmelde"_s;
    if (!QFileInfo::exists(program))
        QSKIP("the program is not built beside the tests");
    QProcess run;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : {u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"QT_QPA_PLATFORM"_s})
        environment.remove(name);
    run.setProcessEnvironment(environment);
    run.start(program, {folder->path()});
    QVERIFY(run.waitForFinished(10000));
    QCOMPARE(run.exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.exitCode(), 1);
    QVERIFY(QString::fromUtf8(run.readAllStandardError()).contains(u"xvfb-run"_s));
}

// The save and print dialogs and the edit menus come from the toolkit; they speak German like
// the rest of the program, whatever the user's locale.
void TestMainWindow::toolkitDialogs_speakGerman() {
    QVERIFY2(installGermanToolkitTexts(*QCoreApplication::instance()),
             "the toolkit's German translation is missing (Debian: qt6-translations-l10n)");
    QCOMPARE(QCoreApplication::translate("QFileDialog", "File &name:"), u"Datei&name:"_s);
    QCOMPARE(QCoreApplication::translate("QPrintDialog", "Print"), u"Drucken"_s);
    QCOMPARE(QCoreApplication::translate("QWidgetTextControl", "&Copy"), u"&Kopieren"_s);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
