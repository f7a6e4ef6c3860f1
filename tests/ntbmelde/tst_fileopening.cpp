// SPDX-License-Identifier: GPL-3.0-or-later
// Starting the program on a file that is not what it should be, or that another program has
// open: what the user is told, which commands remain, and that nothing is written unasked.
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <sys/wait.h>
#include <unistd.h>

#include "atomicfile.h"
#include "fileopening.h"
#include "global.h"
#include "mainwindow.h"
#include "meldeaustausch.h"
#include "messages.h"
#include "nextmodal.h"
#include "tempdatadir.h"

using namespace Qt::StringLiterals;

namespace {
const QStringList DataButtons = {u"ButtonVerein"_s, u"ButtonMeldung"_s, u"ButtonAusdruck"_s};
const QStringList AllButtons = DataButtons + QStringList{u"ButtonExit"_s, u"ButtonHelp"_s};

QStringList enabledButtons(const TMainWindow& window) {
    QStringList names;
    for (const QString& name : AllButtons) {
        if (window.findChild<QPushButton*>(name)->isEnabled())
            names.append(name);
    }
    return names;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Closes the main window as the user does, past the exit notice.
void closeWindow(TMainWindow& window) {
    NextModal notice([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Return); });
    QVERIFY(window.close());
    QVERIFY(notice.seen());
}
// Records each progress dialog as it appears: its text, and whether the main window was on screen
// and how many nominations it had at that moment.
class ProgressWatch : public QObject {
public:
    explicit ProgressWatch(const TMainWindow*& window) : window(window) {
        qApp->installEventFilter(this);
    }
    ~ProgressWatch() override { qApp->removeEventFilter(this); }
    QStringList seen;

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        auto* progress = qobject_cast<QProgressDialog*>(object);
        if (progress && event->type() == QEvent::Show && window)
            seen.append(u"%1 | Fenster %2 | %3 Meldungen"_s.arg(
                progress->labelText(), window->isVisible() ? u"sichtbar"_s : u"unsichtbar"_s,
                QString::number(window->meldeAustausch()->NominCount())));
        return false;
    }

private:
    const TMainWindow*& window;
};

// An invented club's entries, enough to make a large file.
void fillLargeClub(TMeldeAustausch& model, int nominations) {
    TEventRecord event = EmptyEvent;
    event.WkNr = 1000;
    event.Name = "50m Brust";
    event.Sex = 2;
    model.SetEvent(1, event);
    model.ClubName = "SV Beispielstadt";
    for (int i = 1; i <= nominations; ++i)
        model.SetNomin(i, {"Schwimmer" + std::to_string(i) + ", Eva", 2010, 1, 1000, 4000, ""});
}
// A text of `line` repeated to at least `size` bytes.
std::string repeatedLine(const std::string& line, std::size_t size) {
    std::string text;
    text.reserve(size + line.size());
    while (text.size() < size)
        text += line;
    return text;
}
} // namespace

class TestFileOpening : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<TempDataDir> dataDir;
    std::unique_ptr<MessageRecorder> messages;
    QString exchangeFile;

    // The test data file `name` as the folder's exchange file.
    void putFile(const QString& name) {
        QVERIFY(QFile::copy(QStringLiteral(TEST_DATA_DIR "/") + name, exchangeFile));
    }
    QStringList folderContent() const {
        return QDir(folder->path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

private slots:
    void init() {
        dataDir.reset(); // gives the variable back first
        dataDir = std::make_unique<TempDataDir>();
        folder = std::make_unique<QTemporaryDir>();
        QVERIFY(folder->isValid());
        exchangeFile = folder->filePath(u"EXCHANGE.NT2"_s);
        Global::ResetDataChanged();
        messages = std::make_unique<MessageRecorder>();
    }
    void cleanup() { messages.reset(); }

    void fileThatCannotBeRead_isReportedAndBehavesAsMissing_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("reason");
        QTest::newRow("photo") << u"damaged/photo.nt2"_s
                               << u" ist keine Austauschdatei (die Zeile <NOMINATION> fehlt)"_s;
        QTest::newRow("letter") << u"damaged/letter.nt2"_s
                                << u" ist keine Austauschdatei (die Zeile <NOMINATION> fehlt)"_s;
        QTest::newRow("UTF-8 with a character Windows-1252 cannot hold")
            << u"utf8/unconvertible.nt2"_s
            << u" ist in UTF-8 geschrieben und enthält in Zeile 28 das Zeichen Ł (U+0141)"_s;
    }
    void fileThatCannotBeRead_isReportedAndBehavesAsMissing() {
        QFETCH(QString, file);
        QFETCH(QString, reason);
        putFile(file);
        const QByteArray before = fileBytes(exchangeFile);
        TMainWindow window(folder->path());
        QCOMPARE(messages->shown.size(), 1);
        const QString shown = messages->shown.first();
        QVERIFY2(shown.startsWith(u"Fehler: Die Datei "_s + exchangeFile + reason) &&
                     shown.endsWith(u"sie wird weder gelesen noch verändert!"_s),
                 qPrintable(shown));
        QCOMPARE(enabledButtons(window), QStringList({u"ButtonExit"_s, u"ButtonHelp"_s}));
        QCOMPARE(window.meldeAustausch()->EventCount(), 0);
        QCOMPARE(folderContent(), QStringList{u"EXCHANGE.NT2"_s});
        window.show();
        QCOMPARE(window.focusWidget()->objectName(), u"ButtonExit"_s);
        closeWindow(window);
        QCOMPARE(messages->shown.size(), 1);
        QCOMPARE(fileBytes(exchangeFile), before);
        QCOMPARE(folderContent(), QStringList{u"EXCHANGE.NT2"_s});
    }

    void cutOffFile_warnsOnceAndSavesOnlyAfterTheQuestion() {
        putFile(u"damaged/cut-off.nt2"_s);
        const QByteArray before = fileBytes(exchangeFile);
        {
            TMainWindow window(folder->path());
            QCOMPARE(messages->shown,
                     QStringList{u"Warnung: Die Datei "_s + exchangeFile +
                                 u" ist unvollständig: das Dateiende fehlt. Es wurden 2 "
                                 u"Meldungen gelesen; fehlende Meldungen müssen neu erfasst "
                                 u"werden."_s});
            QCOMPARE(enabledButtons(window), AllButtons);
            QCOMPARE(window.meldeAustausch()->NominCount(), 2);
            closeWindow(window);
        }
        QCOMPARE(messages->shown.size(), 1);
        QCOMPARE(fileBytes(exchangeFile), before);

        TMainWindow window(folder->path());
        window.meldeAustausch()->Person = "Erika Beispiel";
        Global::SetDataChanged();
        messages->setNextAnswer(AnswerYes);
        closeWindow(window);
        QCOMPARE(messages->shown.last(), u"Frage: Daten jetzt speichern?"_s);
        QCOMPARE(JudgeExchangeText(ReadWholeFile(exchangeFile.toStdString())),
                 TFileVerdict::Complete);
        QCOMPARE(folderContent(), QStringList{u"EXCHANGE.NT2"_s});
    }

    void utf8File_isConvertedWithOneNoteAndSavedAsWindows1252() {
        putFile(u"utf8/nominations-bom.nt2"_s);
        TMainWindow window(folder->path());
        QCOMPARE(messages->shown,
                 QStringList{u"Warnung: Die Datei "_s + exchangeFile +
                             u" war in UTF-8 geschrieben und wurde beim Lesen umgewandelt. "
                             u"Gespeichert wird sie wie jede Austauschdatei im Zeichensatz "
                             u"Windows-1252."_s});
        QCOMPARE(window.meldeAustausch()->ClubName,
                 std::string("SV Gr\xFCn-Wei\xDF Beispielstadt"));
        Global::SetDataChanged();
        messages->setNextAnswer(AnswerYes);
        closeWindow(window);
        QCOMPARE(messages->shown.size(), 2);
        const QByteArray saved = fileBytes(exchangeFile);
        QVERIFY(saved.startsWith("<?xml"));
        QVERIFY(saved.contains("<NAME>SV Gr\xFCn-Wei\xDF Beispielstadt</NAME>"));
    }

    // A large file: the window is on screen before anything is read, a progress dialog names the
    // file while it is read, and only then the data and the usual messages arrive.
    void largeFile_windowFirstThenProgressThenData_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("nominations");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("buttons");
        QTest::newRow("complete") << u"complete"_s << 60000 << QString() << AllButtons;
        QTest::newRow("cut off")
            << u"cut off"_s << 40000
            << u"Warnung: Die Datei %1 ist unvollständig: das Dateiende fehlt. Es wurden 40000 "
               u"Meldungen gelesen; fehlende Meldungen müssen neu erfasst werden."_s
            << AllButtons;
        QTest::newRow("no exchange file")
            << u"no exchange file"_s << 0
            << u"Fehler: Die Datei %1 ist keine Austauschdatei (die Zeile <NOMINATION> fehlt)"_s
            << QStringList{u"ButtonExit"_s, u"ButtonHelp"_s};
    }
    void largeFile_windowFirstThenProgressThenData() {
        QFETCH(QString, kind);
        QFETCH(int, nominations);
        QFETCH(QString, message);
        QFETCH(QStringList, buttons);
        TMeldeAustausch large;
        fillLargeClub(large, 60000);
        std::string bytes = large.ToFileText();
        if (kind == u"cut off"_s)
            bytes.resize(bytes.find("<NOMIN id=40001>"));
        else if (kind == u"no exchange file"_s)
            bytes = repeatedLine("Liebe Schwimmerinnen und Schwimmer,\r\n", bytes.size());
        WriteFileAtomically(exchangeFile.toStdString(), bytes);
        QVERIFY(QFileInfo(exchangeFile).size() >= LargeExchangeFileBytes);

        const TMainWindow* shownWindow = nullptr;
        ProgressWatch progress(shownWindow);
        TMainWindow window(folder->path());
        shownWindow = &window;
        QCOMPARE(window.meldeAustausch()->NominCount(), 0);
        QCOMPARE(enabledButtons(window), QStringList({u"ButtonExit"_s, u"ButtonHelp"_s}));
        window.show();
        QTRY_COMPARE(progress.seen.size(), 1);
        QTRY_VERIFY(!window.findChild<QProgressDialog*>());
        QCOMPARE(window.meldeAustausch()->NominCount(), nominations);
        QCOMPARE(enabledButtons(window), buttons);
        QCOMPARE(progress.seen, QStringList{u"Die Datei „%1“ wird gelesen … | Fenster sichtbar | "
                                            u"0 Meldungen"_s.arg(exchangeFile)});
        QCOMPARE(messages->shown.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty())
            QVERIFY2(messages->shown.first().startsWith(message.arg(exchangeFile)),
                     qPrintable(messages->shown.first()));
        QCOMPARE(window.focusWidget()->objectName(),
                 buttons == AllButtons ? u"ButtonVerein"_s : u"ButtonExit"_s);
        closeWindow(window);
    }

    void fileOpenInAnotherProgram_openedReadOnlyOnYes_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("Ja: read-only") << AnswerYes;
        QTest::newRow("Nein: quit") << AnswerNo;
        QTest::newRow("box closed: quit") << AnswerCancel;
    }
    void fileOpenInAnotherProgram_openedReadOnlyOnYes() {
        QFETCH(int, answer);
        putFile(u"exchange/nominations.nt2"_s);
        const QByteArray before = fileBytes(exchangeFile);
        QLockFile otherProgram(folder->filePath(u".EXCHANGE.NT2.lock"_s));
        QVERIFY(otherProgram.tryLock(0));
        messages->setNextAnswer(answer);
        TMainWindow window(folder->path());
        QCOMPARE(messages->shown.size(), 1);
        QVERIFY2(messages->shown.first().startsWith(
                     u"Frage: Die Datei "_s + exchangeFile +
                     u" ist bereits in einem anderen Meldeprogramm geöffnet (Prozess "_s +
                     QString::number(QCoreApplication::applicationPid())),
                 qPrintable(messages->shown.first()));
        QCOMPARE(window.QuitRequested(), answer != AnswerYes);
        if (answer == AnswerYes) {
            QCOMPARE(enabledButtons(window),
                     QStringList({u"ButtonAusdruck"_s, u"ButtonExit"_s, u"ButtonHelp"_s}));
            QVERIFY(window.windowTitle().contains(u"nur zum Lesen"_s));
            QCOMPARE(window.meldeAustausch()->NominCount(), 2);
            // Even a change that got in is neither asked about nor saved.
            Global::SetDataChanged();
            closeWindow(window);
            QCOMPARE(messages->shown.size(), 1);
        }
        QCOMPARE(fileBytes(exchangeFile), before);
        QVERIFY(otherProgram.isLocked());
        QCOMPARE(folderContent(), QStringList({u".EXCHANGE.NT2.lock"_s, u"EXCHANGE.NT2"_s}));
    }

    // A program that crashed while saving left its lock and its temporary file behind: the
    // next start takes the lock over unasked and removes the file.
    void leftoversOfACrashedProgram_areTakenOverAndRemoved() {
        putFile(u"exchange/nominations.nt2"_s);
        const QString lockPath = folder->filePath(u".EXCHANGE.NT2.lock"_s);
        char host[256] = {};
        ::gethostname(host, sizeof host - 1);
        const pid_t child = ::fork();
        if (child == 0) {
            QLockFile crashing(lockPath);
            ::_exit(crashing.tryLock(0) ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QCOMPARE(WEXITSTATUS(status), 0);
        QFile temporary(folder->filePath(u".EXCHANGE.NT2."_s + QString::fromLatin1(host) + u'.' +
                                         QString::number(child) + u".1.tmp"_s));
        QVERIFY(temporary.open(QIODevice::WriteOnly));
        temporary.close();
        TMainWindow window(folder->path());
        QVERIFY(messages->shown.isEmpty());
        QCOMPARE(enabledButtons(window), AllButtons);
        QVERIFY(!QLockFile(lockPath).tryLock(0));
        QCOMPARE(folderContent(), QStringList({u".EXCHANGE.NT2.lock"_s, u"EXCHANGE.NT2"_s}));
        closeWindow(window);
        QCOMPARE(folderContent(), QStringList{u"EXCHANGE.NT2"_s});
    }
};

QTEST_MAIN(TestFileOpening)
#include "tst_fileopening.moc"
