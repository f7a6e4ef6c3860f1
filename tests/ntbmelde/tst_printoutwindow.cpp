// SPDX-License-Identifier: GPL-3.0-or-later
// The printout window as the club meets it: opened inside the frame, saved through the save
// dialog (scripted by its seam), printed, previewed and closed with the keyboard.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "ansi.h"
#include "appearance.h"
#include "dialogseam.h"
#include "environment.h"
#include "global.h"
#include "mainwindow.h"
#include "meldeaustausch.h"
#include "messages.h"
#include "nextmodal.h"
#include "printoutview.h"
#include "printoutwindow.h"
#include "report.h"
#include "tempdatadir.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QString RtfType = u"Rich-Text-Format (*.RTF)"_s;
const QString TextType = u"Reiner Text (*.TXT)"_s;
const QString PdfType = u"PDF-Dokument (*.PDF)"_s;

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct ToolResult {
    int exitCode = -1;
    QByteArray out;
};

ToolResult runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return {};
    return {process.exitCode(), process.readAllStandardOutput()};
}

// The demo competition with a club and `count` nominations, in no particular order.
void fillModel(TMeldeAustausch& model, int count) {
    model.LoadFromFile(DEMO_FILE);
    model.ClubName = "SV Musterstadt";
    model.Verband = 17;
    model.Person = toAnsi(u"Jörg Weiß"_s);
    for (int i = 1; i <= count; ++i) {
        TNominRecord nomin = EmptyNomin;
        nomin.Name = "SCHWIMMER, NUMMER " + std::to_string(count + 1 - i);
        nomin.BirthYear = 2000 + i % 15;
        nomin.WkNr = (1 + i % 19) * 1000;
        nomin.Time = 3000 + i * 7;
        nomin.RegNr = std::to_string(100000 + i);
        model.SetNomin(i, nomin);
    }
}

long residentKilobytes() {
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

QString collapsedBlanks(QString text) {
    static const QRegularExpression blanks(u" +"_s);
    return text.replace(blanks, u" "_s);
}

} // namespace

class TestPrintoutWindow : public QObject {
    Q_OBJECT

    TMeldeAustausch model;
    QTemporaryDir folder;
    TempDataDir dataDir;
    QMdiArea* area = nullptr;
    MessageRecorder* messages = nullptr;

    TPrintoutWindow* openPrintout(const TMeldeAustausch& data) {
        auto* printout = new TPrintoutWindow(ControlPrintout(data));
        area->addSubWindow(printout);
        printout->showMaximized();
        // A closed modal dialog may leave no window active.
        area->activateWindow();
        if (!QTest::qWaitForWindowActive(area))
            qWarning("frame not active");
        area->setActiveSubWindow(printout);
        return printout;
    }

    template <typename T> static T* child(QWidget* printout, const QString& name) {
        T* widget = printout->findChild<T*>(name);
        if (!widget)
            qFatal("no %s", qPrintable(name));
        return widget;
    }

    QString path(const QString& name) const { return QDir(folder.path()).filePath(name); }

    // Alt + the button's letter, as the user presses it; the button clicks a moment later.
    static void pressAlt(TPrintoutWindow* printout, Qt::Key key, const QString& buttonName) {
        auto* button = child<QPushButton>(printout, buttonName);
        QTest::keyClick(QApplication::focusWidget(), key, Qt::AltModifier);
        QVERIFY2(button->isDown(), "the shortcut did not reach the button");
        QTRY_VERIFY(!button->isDown());
    }

    // Presses Alt+S and answers the save dialog with `name` and `type`.
    static void saveWithKeyboard(TPrintoutWindow* printout, const QString& name,
                                 const QString& type) {
        FileDialogSeam::setNextFileName(name, type);
        pressAlt(printout, Qt::Key_S, u"ButtonSave"_s);
    }

private slots:
    void initTestCase() {
        PinCurrentYear(2026);
        QVERIFY(folder.isValid());
        fillModel(model, 3);
        Global::ProgDir = folder.path() + u'/';
        area = new QMdiArea;
        area->resize(900, 700);
        area->show();
    }

    void init() {
        messages = new MessageRecorder;
        QDir(folder.path()).removeRecursively();
        QDir().mkpath(folder.path());
    }

    void cleanup() {
        area->closeAllSubWindows();
        delete messages;
        messages = nullptr;
    }

    void cleanupTestCase() { delete area; }

    void open_showsTheTextWithFocusOnClose() {
        TPrintoutWindow* printout = openPrintout(model);
        QVERIFY(printout->isMaximized());
        QVERIFY(printout->testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(printout->windowTitle(), QString());
        QCOMPARE(printout->windowIcon().pixmap(16).toImage(), programIcon().pixmap(16).toImage());

        auto* text = child<TPrintoutView>(printout, u"TextFeld"_s);
        QCOMPARE(text->font().pixelSize(), 13);
        QVERIFY(QFontInfo(text->font()).fixedPitch());
        QCOMPARE(text->toPlainText().split(u'\n').size(), qsizetype(printout->lines().size()));
        QVERIFY(text->toPlainText().contains(u"Erklärung des meldenden Vereins"_s));
        QVERIFY(text->toPlainText().contains(u"LSV: Schwimmverband Nordrhein-Westfalen, GER"_s));

        // The buttons from left to right, which is also the way Tab goes.
        const QStringList order{u"ButtonClose"_s, u"ButtonSave"_s, u"ButtonPrint"_s,
                                u"ButtonPreview"_s};
        const QStringList captions{u"S&chließen"_s, u"&Speichern"_s, u"&Drucken"_s,
                                   u"Seiten&ansicht"_s};
        int left = -1;
        for (qsizetype i = 0; i < order.size(); ++i) {
            auto* button = child<QPushButton>(printout, order[i]);
            QCOMPARE(button->text(), captions[i]);
            QCOMPARE(button->size(), QSize(110, 25));
            QVERIFY(button->x() > left);
            left = button->x();
            QCOMPARE(QApplication::focusWidget(), button);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(child<QPushButton>(printout, u"ButtonClose"_s)->toolTip(), u"Anzeige schließen"_s);
        QVERIFY(messages->shown.isEmpty());
    }

    // Each window keeps the data as they were when it opened, and saves that text.
    void open_twice_eachWindowKeepsItsSnapshot() {
        TPrintoutWindow* first = openPrintout(model);
        const std::string oldName = model.ClubName;
        model.ClubName = "TSV Neuer Name";
        TPrintoutWindow* second = openPrintout(model);
        model.ClubName = oldName;

        const QString firstText = child<TPrintoutView>(first, u"TextFeld"_s)->toPlainText();
        QVERIFY(firstText.contains(u"Meldender Verein: SV Musterstadt"_s));
        QVERIFY(child<TPrintoutView>(second, u"TextFeld"_s)
                    ->toPlainText()
                    .contains(u"Meldender Verein: TSV Neuer Name"_s));

        saveWithKeyboard(second, path(u"zweiter"_s), TextType);
        area->setActiveSubWindow(first);
        saveWithKeyboard(first, path(u"erster"_s), TextType);
        QCOMPARE(readFile(path(u"erster.TXT"_s)),
                 QByteArray::fromStdString(ReportPlainText(first->lines())));
        QVERIFY(readFile(path(u"zweiter.TXT"_s)).contains("Meldender Verein: TSV Neuer Name"));
        QVERIFY(messages->shown.isEmpty());
    }

    void save_typeDecidesContentAndMissingExtension_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("written");
        QTest::newRow("no extension, rich text") << u"ausdruck"_s << RtfType << u"ausdruck.RTF"_s;
        QTest::newRow("no extension, plain text") << u"ausdruck"_s << TextType << u"ausdruck.TXT"_s;
        QTest::newRow("no extension, PDF") << u"ausdruck"_s << PdfType << u"ausdruck.PDF"_s;
        // A typed extension decides, whatever the chosen type.
        QTest::newRow(".TXT typed, rich text") << u"ausdruck.TXT"_s << RtfType << u"ausdruck.TXT"_s;
        QTest::newRow(".pdf typed, rich text")
            << u"meldegeld.pdf"_s << RtfType << u"meldegeld.pdf"_s;
        QTest::newRow("lower-case extension") << u"ausdruck.txt"_s << TextType << u"ausdruck.txt"_s;
        QTest::newRow("point in folder name only")
            << u"ordner.neu/ausdruck"_s << TextType << u"ordner.neu/ausdruck.TXT"_s;
        QTest::newRow("trailing point") << u"ausdruck."_s << RtfType << u"ausdruck."_s;
        // The dialog asked about "alt" only; "alt.RTF" is replaced without a question.
        QTest::newRow("appended name exists") << u"alt"_s << RtfType << u"alt.RTF"_s;
    }
    void save_typeDecidesContentAndMissingExtension() {
        QFETCH(QString, typed);
        QFETCH(QString, type);
        QFETCH(QString, written);
        QDir().mkpath(path(u"ordner.neu"_s));
        QFile old(path(u"alt.RTF"_s));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(50000, 'x'));
        old.close();
        TPrintoutWindow* printout = openPrintout(model);

        saveWithKeyboard(printout, path(typed), type);

        QCOMPARE(FileDialogSeam::lastCaption, u"Anzeige speichern"_s);
        QCOMPARE(FileDialogSeam::lastFolder, Global::ProgDir);
        QCOMPARE(FileDialogSeam::lastFilters, (QStringList{RtfType, TextType, PdfType}));
        QCOMPARE(messages->shown, QStringList());
        const QByteArray content = readFile(path(written));
        if (written.endsWith(u".pdf"_s, Qt::CaseInsensitive))
            type = PdfType;
        else if (written.endsWith(u".txt"_s, Qt::CaseInsensitive))
            type = TextType;
        if (type == RtfType)
            QCOMPARE(content, QByteArray::fromStdString(ReportRtf(printout->lines())));
        else if (type == TextType)
            QCOMPARE(content, QByteArray::fromStdString(ReportPlainText(printout->lines())));
        else
            QVERIFY(content.startsWith("%PDF-"));
        // Nothing else was written beside it (no second name, no temporary file left).
        QStringList files = QFileInfo(path(written)).dir().entryList(QDir::Files);
        if (written != u"alt.RTF"_s)
            files.removeOne(u"alt.RTF"_s);
        QCOMPARE(files, QStringList{QFileInfo(written).fileName()});
    }

    // A failed save is reported once; the window stays open and the next save works.
    void save_failure_isReportedAndWindowStaysUsable_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing folder")
            << path(u"fehlt/ausdruck"_s) << u"Programmfehler: Datei nicht gefunden."_s;
        // sysfs refuses new files even to root, who may write into any read-only folder.
        QTest::newRow("read-only place")
            << u"/sys/ausdruck"_s << u"Programmfehler: Dateizugriff verweigert."_s;
    }
    void save_failure_isReportedAndWindowStaysUsable() {
        QFETCH(QString, target);
        QFETCH(QString, message);
        QPointer<TPrintoutWindow> printout = openPrintout(model);
        const QString textBefore = child<TPrintoutView>(printout, u"TextFeld"_s)->toPlainText();

        saveWithKeyboard(printout, target, TextType);
        QCOMPARE(messages->shown, QStringList{message});
        QVERIFY(!printout.isNull());
        QVERIFY(!QGuiApplication::overrideCursor());
        QCOMPARE(child<TPrintoutView>(printout, u"TextFeld"_s)->toPlainText(), textBefore);

        saveWithKeyboard(printout, path(u"danach"_s), RtfType);
        QCOMPARE(messages->shown.size(), 1);
        QVERIFY(readFile(path(u"danach.RTF"_s)).startsWith("{\\rtf1"));
    }

    // Another program reads the saved RTF back into the printout's lines. unrtf prints runs
    // of blanks as one blank, so blanks are compared that way; the RTF tests of the core
    // check that the document itself keeps every blank.
    void save_rtf_readBackByRtfReader() {
        const QString unrtf = QStandardPaths::findExecutable(u"unrtf"_s);
        if (unrtf.isEmpty())
            QSKIP("unrtf is not installed");
        TPrintoutWindow* printout = openPrintout(model);
        saveWithKeyboard(printout, path(u"lesen"_s), RtfType);
        const ToolResult result = runTool(unrtf, {u"--text"_s, path(u"lesen.RTF"_s)});
        QCOMPARE(result.exitCode, 0);
        // unrtf writes Latin-1 here; the printout holds no character where that differs.
        QStringList read = QString::fromLatin1(result.out).split(u'\n');
        const qsizetype body = read.indexOf(u"-----------------"_s);
        QVERIFY(body >= 0);
        read = read.mid(body + 1);
        const std::vector<std::string>& lines = printout->lines();
        QVERIFY(read.size() >= qsizetype(lines.size()));
        for (std::size_t i = 0; i < lines.size(); ++i)
            QCOMPARE(read[qsizetype(i)], collapsedBlanks(fromAnsi(lines[i])));
        for (qsizetype i = qsizetype(lines.size()); i < read.size(); ++i)
            QCOMPARE(read[i], QString());
    }

    // Every line of a printout of several pages arrives in the PDF, in order.
    void save_pdf_holdsAllLinesOnAsManyPagesAsNeeded() {
        const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
        if (pdftotext.isEmpty())
            QSKIP("pdftotext is not installed");
        TMeldeAustausch large;
        fillModel(large, 150);
        TPrintoutWindow* printout = openPrintout(large);
        saveWithKeyboard(printout, path(u"seiten"_s), PdfType);
        QCOMPARE(messages->shown, QStringList());

        const ToolResult text = runTool(
            pdftotext, {u"-layout"_s, u"-enc"_s, u"UTF-8"_s, path(u"seiten.PDF"_s), u"-"_s});
        QCOMPARE(text.exitCode, 0);
        const QString pages = QString::fromUtf8(text.out);
        QVERIFY2(pages.count(u'\f') >= 3, "150 nominations need at least three pages");
        // The characters are compared without the blanks and line breaks that the text
        // extraction rearranges.
        static const QRegularExpression whiteSpace(u"\\s+"_s);
        QString expected;
        for (const std::string& line : printout->lines())
            expected += fromAnsi(line);
        QCOMPARE(QString(pages).remove(whiteSpace), expected.remove(whiteSpace));
    }

    // The printout on paper and in a PDF file: every word at least 15 mm inside the page's
    // edges, and the longest line (the demo's event 12a) on one line, however many pages.
    void printedLines_stayInsideThePage_withoutWrapping_data() {
        QTest::addColumn<bool>("printed");
        QTest::newRow("printed to a PDF file") << true;
        QTest::newRow("saved as PDF") << false;
    }
    void printedLines_stayInsideThePage_withoutWrapping() {
        QFETCH(bool, printed);
        const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
        if (pdftotext.isEmpty())
            QSKIP("pdftotext is not installed");
        TMeldeAustausch large;
        fillModel(large, 150);
        TPrintoutWindow* printout = openPrintout(large);
        if (printed) {
            PrintDialogSeam::setNextOutputFile(path(u"seiten.PDF"_s));
            pressAlt(printout, Qt::Key_D, u"ButtonPrint"_s);
        } else {
            saveWithKeyboard(printout, path(u"seiten"_s), PdfType);
        }
        QCOMPARE(messages->shown, QStringList());

        const ToolResult boxes = runTool(pdftotext, {u"-bbox"_s, path(u"seiten.PDF"_s), u"-"_s});
        QCOMPARE(boxes.exitCode, 0);
        const QString html = QString::fromUtf8(boxes.out);
        static const QRegularExpression pageBox(
            u"<page width=\"([0-9.]+)\" height=\"([0-9.]+)\">"_s);
        static const QRegularExpression wordBox(
            u"<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">"_s);
        const QRegularExpressionMatch page = pageBox.match(html);
        QVERIFY(page.hasMatch());
        const double width = page.captured(1).toDouble();
        const double height = page.captured(2).toDouble();
        const double margin = 15 / 25.4 * 72 - 0.5; // points, less half a point of rounding
        int words = 0;
        for (const QRegularExpressionMatch& word : wordBox.globalMatch(html)) {
            ++words;
            const double xMin = word.captured(1).toDouble();
            const double yMin = word.captured(2).toDouble();
            const double xMax = word.captured(3).toDouble();
            const double yMax = word.captured(4).toDouble();
            const QString where = word.captured(0);
            QVERIFY2(xMin >= margin && xMax <= width - margin, qPrintable(where));
            QVERIFY2(yMin >= margin && yMax <= height - margin, qPrintable(where));
        }
        QVERIFY(words > 1000);

        const ToolResult text = runTool(
            pdftotext, {u"-layout"_s, u"-enc"_s, u"UTF-8"_s, path(u"seiten.PDF"_s), u"-"_s});
        QString longest;
        for (const std::string& line : printout->lines())
            longest =
                std::max(longest, fromAnsi(line).trimmed(),
                         [](const QString& a, const QString& b) { return a.size() < b.size(); });
        QVERIFY(longest.startsWith(u"Wettkampf 12a:"_s));
        QVERIFY2(collapsedBlanks(QString::fromUtf8(text.out)).contains(collapsedBlanks(longest)),
                 "the longest line wrapped");
    }

    // "Print to file" proposes a PDF beside the exchange file.
    void print_dialogProposesAPdfBesideTheExchangeFile() {
        TPrintoutWindow* printout = openPrintout(model);
        QString proposed;
        NextModal dialog([&](QWidget* modal) {
            QVERIFY(qobject_cast<QPrintDialog*>(modal));
            auto* fileName = modal->findChild<QLineEdit*>(u"filename"_s);
            QVERIFY(fileName);
            proposed = fileName->text();
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        pressAlt(printout, Qt::Key_D, u"ButtonPrint"_s);
        QVERIFY(dialog.seen());
        QCOMPARE(proposed, Global::ProgDir + u"Kontrollausdruck.pdf"_s);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList());
    }

    // The save dialog does not accept a name in a folder that does not exist: it says so and
    // stays open for a correction.
    void saveDialog_refusesAFolderThatDoesNotExist() {
        TPrintoutWindow* printout = openPrintout(model);
        bool stayedOpen = false;
        NextModal dialog([&](QWidget* modal) {
            QVERIFY(qobject_cast<QFileDialog*>(modal));
            QVERIFY(qobject_cast<QLineEdit*>(QApplication::focusWidget()));
            QTest::keyClicks(QApplication::focusWidget(), u"fehlt/ausdruck"_s);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            stayedOpen = modal->isVisible();
            QVERIFY(stayedOpen);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(QApplication::focusWidget(), u"ausdruck"_s);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QTRY_VERIFY(!modal->isVisible());
        });
        pressAlt(printout, Qt::Key_S, u"ButtonSave"_s);
        QVERIFY(dialog.seen());
        QVERIFY(stayedOpen);
        QCOMPARE(messages->shown, QStringList{u"Fehler: Der Ordner \"%1\" existiert nicht!"_s.arg(
                                      path(u"fehlt"_s))});
        QCOMPARE(readFile(path(u"ausdruck.RTF"_s)),
                 QByteArray::fromStdString(ReportRtf(printout->lines())));
    }

    // Ctrl+End and Ctrl+Home go to the end and the start of the printout, wherever the focus is.
    void ctrlEndAndHome_goToTheEndAndTheStart() {
        TMeldeAustausch large;
        fillModel(large, 150);
        TPrintoutWindow* printout = openPrintout(large);
        QScrollBar* bar = child<TPrintoutView>(printout, u"TextFeld"_s)->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(QApplication::focusWidget(), child<QPushButton>(printout, u"ButtonClose"_s));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(bar->value(), bar->maximum());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(bar->value(), 0);
        QVERIFY(printout->isVisible());
    }

    // The view scrolls with the keys; what the mouse or Ctrl+A marks, Ctrl+C copies.
    void view_scrollsMarksAndCopies() {
        TMeldeAustausch large;
        fillModel(large, 150);
        TPrintoutWindow* printout = openPrintout(large);
        auto* view = child<TPrintoutView>(printout, u"TextFeld"_s);
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), view);

        QScrollBar* bar = view->verticalScrollBar();
        QTest::keyClick(view, Qt::Key_PageDown);
        QVERIFY(bar->pageStep() > 1);
        QCOMPARE(bar->value(), bar->pageStep());
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(bar->value(), bar->pageStep() + 1);
        QTest::keyClick(view, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(bar->value(), 0);

        QStringList lines;
        for (const std::string& line : printout->lines())
            lines.append(fromAnsi(line));
        QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), lines.join(u'\n'));

        // From the start of the first line to the fourth character of the second.
        const QFontMetrics metrics(view->font());
        const QPoint secondLine(4 * metrics.horizontalAdvance(u'M'),
                                metrics.lineSpacing() + metrics.lineSpacing() / 2);
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, QPoint(0, 1));
        QTest::mouseMove(view->viewport(), secondLine);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, secondLine);
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), lines[0] + u'\n' + lines[1].left(4));
        QVERIFY(messages->shown.isEmpty());
    }

    // A host's merged file: each further window costs about its lines, not a laid-out copy of
    // the whole text (that cost some 70 MB per window at 100,000 entries).
    void largePrintout_furtherWindowCostsNoCopyOfItsText() {
#ifdef __SANITIZE_ADDRESS__
        QSKIP("the address sanitizer holds freed memory back, so the growth says nothing");
#endif
        TMeldeAustausch large;
        fillModel(large, 100000);
        openPrintout(large);
        const long before = residentKilobytes();
        TPrintoutWindow* second = openPrintout(large);
        QVERIFY(QTest::qWaitForWindowExposed(second));
        const long grown = residentKilobytes() - before;
        std::size_t lineBytes = 0;
        for (const std::string& line : second->lines())
            lineBytes += sizeof line + line.capacity();
        QVERIFY2(grown * 1024 < 2 * static_cast<long>(lineBytes),
                 qPrintable(u"%1 kB for %2 kB of lines"_s.arg(grown).arg(lineBytes / 1024)));
    }

    void print_oneJobNamedKontrollausdruck() {
        const QString pdfinfo = QStandardPaths::findExecutable(u"pdfinfo"_s);
        if (pdfinfo.isEmpty())
            QSKIP("pdfinfo is not installed");
        TPrintoutWindow* printout = openPrintout(model);
        PrintDialogSeam::setNextOutputFile(path(u"druck.pdf"_s));
        pressAlt(printout, Qt::Key_D, u"ButtonPrint"_s);
        QCOMPARE(messages->shown, QStringList());
        QVERIFY(!QGuiApplication::overrideCursor());
        const ToolResult info = runTool(pdfinfo, {path(u"druck.pdf"_s)});
        QCOMPARE(info.exitCode, 0);
        QVERIFY2(QString::fromUtf8(info.out).contains(QRegularExpression(
                     u"^Title: +Kontrollausdruck$"_s, QRegularExpression::MultilineOption)),
                 info.out.constData());
        QVERIFY2(QString::fromUtf8(info.out).contains(
                     QRegularExpression(u"^Pages: +[1-9]"_s, QRegularExpression::MultilineOption)),
                 info.out.constData());
    }

    void saveOrPrint_cancelled_changesNothing_printFailure_isReported() {
        TPrintoutWindow* printout = openPrintout(model);
        FileDialogSeam::setNextCancel();
        pressAlt(printout, Qt::Key_S, u"ButtonSave"_s);
        PrintDialogSeam::setNextCancel();
        pressAlt(printout, Qt::Key_D, u"ButtonPrint"_s);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList());
        QCOMPARE(messages->shown, QStringList());

        PrintDialogSeam::setNextOutputFile(path(u"fehlt/druck.pdf"_s));
        pressAlt(printout, Qt::Key_D, u"ButtonPrint"_s);
        QCOMPARE(messages->shown,
                 QStringList{u"Programmfehler: Der Ausdruck konnte nicht begonnen werden."_s});
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    void preview_showsThePages() {
        TPrintoutWindow* printout = openPrintout(model);
        int pageCount = -1;
        QString title;
        QTimer poll;
        connect(&poll, &QTimer::timeout, &poll, [&] {
            auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            if (!preview)
                return;
            poll.stop();
            title = preview->windowTitle();
            if (auto* pages = preview->findChild<QPrintPreviewWidget*>())
                pageCount = pages->pageCount();
            preview->reject();
        });
        poll.start(20);
        pressAlt(printout, Qt::Key_A, u"ButtonPreview"_s);
        QCOMPARE(title, u"Seitenansicht: Kontrollausdruck"_s);
        QCOMPARE(pageCount, 1);
        QCOMPARE(messages->shown, QStringList());
    }

    // "&Kontrollausdruck" in the main window: each press one more window with the data
    // of that moment; the earlier one keeps its text.
    void mainWindow_eachPressOpensAFreshSnapshot() {
        QVERIFY(QFile::copy(QStringLiteral(DEMO_FILE), path(u"EXCHANGE.NT2"_s)));
        {
            TMainWindow window(folder.path());
            window.show();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            auto* button = window.findChild<QPushButton*>(u"ButtonAusdruck"_s);
            QTest::keyClick(&window, Qt::Key_K, Qt::AltModifier);
            QTRY_COMPARE(window.mdiArea()->subWindowList().size(), 1);
            auto* first = qobject_cast<TPrintoutWindow*>(window.mdiArea()->subWindowList()[0]);
            QVERIFY(first);
            QVERIFY(first->isMaximized());
            QTRY_COMPARE(QApplication::focusWidget(), child<QPushButton>(first, u"ButtonClose"_s));

            window.meldeAustausch()->ClubName = "Neuer Verein";
            QTRY_VERIFY(!button->isDown());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_K, Qt::AltModifier);
            QTRY_COMPARE(window.mdiArea()->subWindowList().size(), 2);
            auto* second = qobject_cast<TPrintoutWindow*>(window.mdiArea()->subWindowList()[1]);
            const auto text = [](TPrintoutWindow* printout) {
                return child<TPrintoutView>(printout, u"TextFeld"_s)->toPlainText();
            };
            QVERIFY(text(first).contains(u"Meldender Verein: \n"_s));
            QVERIFY(text(second).contains(u"Meldender Verein: Neuer Verein\n"_s));
            QVERIFY(!Global::DataChanged());
        }
        QCOMPARE(messages->shown, QStringList());
    }

    // "Melde&geld" in the main window opens the fee overview in the same kind of window, which
    // saves and prints it like the control printout.
    void mainWindow_feeOverview_isShownSavedAndPrinted() {
        const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
        if (pdftotext.isEmpty())
            QSKIP("pdftotext is not installed");
        QVERIFY(QFile::copy(QStringLiteral(DEMO_FILE), path(u"EXCHANGE.NT2"_s)));
        TMainWindow window(folder.path());
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // Events 1 and 3 of the demo competition cost 5 and 4,50.
        TMeldeAustausch& data = *window.meldeAustausch();
        for (const char* wkNr : {"1", "3", "3"})
            data.SetNomin(data.NominCount() + 1,
                          {"Adler, Eva", 2010, 1, TMeldeAustausch::TextToWkNr(wkNr), NoTime, ""});
        QTest::keyClick(&window, Qt::Key_G, Qt::AltModifier);
        QTRY_COMPARE(window.mdiArea()->subWindowList().size(), 1);
        auto* overview = qobject_cast<TPrintoutWindow*>(window.mdiArea()->subWindowList()[0]);
        QVERIFY(overview);
        QTRY_COMPARE(QApplication::focusWidget(), child<QPushButton>(overview, u"ButtonClose"_s));
        const QString text = child<TPrintoutView>(overview, u"TextFeld"_s)->toPlainText();
        QVERIFY(text.startsWith(u"   MELDEGELD\n"_s));
        QVERIFY(text.contains(u"\nAdler, Eva ist für Wettkampf 3 schon gemeldet.\n"_s));
        QVERIFY(text.endsWith(u"\nMeldegeld gesamt: 14,00 EUR"_s));

        saveWithKeyboard(overview, path(u"meldegeld"_s), TextType);
        QCOMPARE(readFile(path(u"meldegeld.TXT"_s)),
                 QByteArray::fromStdString(ReportPlainText(overview->lines())));
        PrintDialogSeam::setNextOutputFile(path(u"meldegeld.pdf"_s));
        pressAlt(overview, Qt::Key_D, u"ButtonPrint"_s);
        const ToolResult printed = runTool(pdftotext, {path(u"meldegeld.pdf"_s), u"-"_s});
        QVERIFY2(printed.out.contains("Meldegeld gesamt: 14,00 EUR"), printed.out.constData());
        const ToolResult info = runTool(u"pdfinfo"_s, {path(u"meldegeld.pdf"_s)});
        QVERIFY2(QString::fromUtf8(info.out).contains(QRegularExpression(
                     u"^Title: +Meldegeld$"_s, QRegularExpression::MultilineOption)),
                 info.out.constData());
        QCOMPARE(messages->shown, QStringList());
        QVERIFY(!Global::DataChanged());
    }

    void close_withEscapeOrEnterOnClose_freesTheWindow() {
        QPointer<TPrintoutWindow> first = openPrintout(model);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(first.isNull());

        QPointer<TPrintoutWindow> second = openPrintout(model);
        QCOMPARE(QApplication::focusWidget(), child<QPushButton>(second, u"ButtonClose"_s));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(second.isNull());
        QCOMPARE(area->subWindowList().size(), 0);
    }
};

QTEST_MAIN(TestPrintoutWindow)
#include "tst_printoutwindow.moc"
