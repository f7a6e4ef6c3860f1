// SPDX-License-Identifier: GPL-3.0-or-later
// The window "Schwimmer", driven from the keyboard on a store of the test's own: every change
// must be in the store at once.
#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include "../store/swimmerfixture.h"
#include "ansi.h"
#include "dialogseam.h"
#include "environment.h"
#include "global.h"
#include "meldeaustausch.h"
#include "messages.h"
#include "modaldialog.h"
#include "nextmodal.h"
#include "swimmereditdialog.h"
#include "swimmerlistmodel.h"
#include "swimmerwindow.h"
#include "tempdatadir.h"

using namespace Qt::StringLiterals;

namespace {

QString focusedName() {
    return focused() ? focused()->objectName() : QString();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestSwimmerWindow : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TempDataDir> dataDir;
    std::unique_ptr<MessageRecorder> messages;
    std::unique_ptr<TSwimmerWindow> window;

    TSwimmerStore& store() { return dataDir->store(); }
    QTableView* table() const { return window->findChild<QTableView*>(u"SwimmerTable"_s); }
    // The table's rows as shown, one column joined by "|" per row.
    QStringList shownRows() const {
        QStringList rows;
        const QAbstractItemModel* shown = table()->model();
        for (int row = 0; row < shown->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < shown->columnCount(); ++column)
                cells << shown->index(row, column).data().toString();
            rows << cells.join(u'|');
        }
        return rows;
    }
    QString currentName() const {
        return table()->currentIndex().siblingAtColumn(0).data().toString();
    }
    QStringList storedLines() {
        QStringList lines;
        for (const TSwimmer& each : store().AllSwimmers())
            lines << u"%1;%2;%3;%4;%5"_s.arg(fromAnsi(each.Name))
                         .arg(each.BirthYear)
                         .arg(int(each.Sex))
                         .arg(fromAnsi(each.RegNr))
                         .arg(each.Active ? u"ja"_s : u"nein"_s);
        return lines;
    }
    void openWindow() {
        window = std::make_unique<TSwimmerWindow>(store());
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QCOMPARE(focusedName(), u"SwimmerTable"_s);
    }
    QStringList bestTimeRows() const {
        QStringList rows;
        const QAbstractItemModel* times =
            window->findChild<QTableView*>(u"BestTimeTable"_s)->model();
        for (int row = 0; row < times->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < times->columnCount(); ++column)
                cells << times->index(row, column).data().toString();
            rows << cells.join(u'|');
        }
        return rows;
    }
    void reactivate() {
        window->activateWindow();
        QVERIFY(QTest::qWaitFor([&] { return QApplication::activeWindow() == window.get(); }));
    }

private slots:
    void init() {
        PinCurrentYear(2026);
        dataDir.reset(); // gives the variable back first
        dataDir = std::make_unique<TempDataDir>();
        QVERIFY(store().Available());
        QVERIFY(store().AddSwimmers({swimmer("Meier, Hans", 2008, 0, "DE-4711"),
                                     swimmer("Albers, Lena", 2011, 1, ""),
                                     swimmer("Zander, Kai", 2009, 0, "DE-0815", false)}));
        // Tom was entered for a competition, the others never.
        TMeldeAustausch entered;
        entered.CompName = "Stadtmeisterschaft";
        entered.Date1 = "14.06.2026";
        entered.LaneLen = 25;
        TEventRecord freestyle = EmptyEvent;
        freestyle.WkNr = TMeldeAustausch::TextToWkNr("1");
        freestyle.Name = "100m Freistil";
        entered.SetEvent(1, freestyle);
        entered.SetNomin(1, {"Brandt, Tom", 2010, 0, freestyle.WkNr, 6530, ""});
        QVERIFY(store().RememberCompetition(entered));
        Global::ProgDir = dataDir->path() + u'/';
        messages = std::make_unique<MessageRecorder>();
    }
    void cleanup() {
        window.reset();
        messages.reset();
        dataDir.reset();
        PinCurrentYear(0);
    }

    // The list shows every stored swimmer, sorted by any column chosen from the keyboard, and
    // the filter keeps the rows that contain its text.
    void list_sortAndFilter_byKeyboard() {
        openWindow();
        QAbstractItemModelTester tester(window->findChild<TSwimmerListModel*>(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(shownRows(), (QStringList{u"Albers, Lena|2011|weiblich||ja|"_s,
                                           u"Brandt, Tom|2010|männlich||ja|14.06.2026"_s,
                                           u"Meier, Hans|2008|männlich|DE-4711|ja|"_s,
                                           u"Zander, Kai|2009|männlich|DE-0815|nein|"_s}));
        QCOMPARE(currentName(), u"Albers, Lena"_s);

        press(Qt::Key_R, Qt::AltModifier);
        QCOMPARE(focusedName(), u"ChooseSortierung"_s);
        press(Qt::Key_Down); // Jahrgang
        QStringList names;
        for (const QString& row : shownRows())
            names << row.section(u'|', 0, 0);
        QCOMPARE(names, (QStringList{u"Meier, Hans"_s, u"Zander, Kai"_s, u"Brandt, Tom"_s,
                                     u"Albers, Lena"_s}));
        for (int i = 0; i < 4; ++i)
            press(Qt::Key_Down); // zuletzt gemeldet: the never entered first
        QCOMPARE(shownRows().constLast().section(u'|', 0, 0), u"Brandt, Tom"_s);
        press(Qt::Key_Home); // back to the names
        QCOMPARE(shownRows().constFirst().section(u'|', 0, 0), u"Albers, Lena"_s);
        QCOMPARE(shownRows().constLast().section(u'|', 0, 0), u"Zander, Kai"_s);

        press(Qt::Key_F, Qt::AltModifier);
        QCOMPARE(focusedName(), u"EditFilter"_s);
        type(u"de-"_s);
        QCOMPARE(shownRows().size(), 2);
        type(u"47"_s);
        QCOMPARE(shownRows(), QStringList{u"Meier, Hans|2008|männlich|DE-4711|ja|"_s});
        press(Qt::Key_Down);
        QCOMPARE(focusedName(), u"SwimmerTable"_s);
        QCOMPARE(currentName(), u"Meier, Hans"_s);

        press(Qt::Key_Escape);
        QVERIFY(!window->isVisible());
        QCOMPARE(messages->shown, QStringList());
    }

    // Names sort as German readers expect: umlauts with their letters, ß as ss, letter case
    // aside, whatever the locale the program runs in.
    void list_sortsNamesAsGermanReadersExpect_data() {
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("umlauts, ß, letter case")
            << QStringList{u"Özer, Can"_s, u"Ärmel, Ute"_s, u"von Berg, Jan"_s, u"Maß, Eva"_s}
            << QStringList{u"Albers, Lena"_s,  u"Ärmel, Ute"_s,  u"Brandt, Tom"_s,
                           u"Maß, Eva"_s,      u"Meier, Hans"_s, u"Özer, Can"_s,
                           u"von Berg, Jan"_s, u"Zander, Kai"_s};
    }
    void list_sortsNamesAsGermanReadersExpect() {
        QFETCH(QStringList, added);
        QFETCH(QStringList, order);
        std::vector<TSwimmer> swimmers;
        for (const QString& name : added)
            swimmers.push_back(swimmer(toAnsi(name).c_str(), 2010, 1, ""));
        QVERIFY(store().AddSwimmers(swimmers));
        openWindow();
        QStringList names;
        for (const QString& row : shownRows())
            names << row.section(u'|', 0, 0);
        QCOMPARE(names, order);
    }

    // A swimmer changed or added takes his place in the order at once, as the store lists him,
    // without the list being read again.
    void list_changedSwimmerTakesHisPlace_data() {
        QTest::addColumn<QString>("current"); // empty: a new swimmer
        QTest::addColumn<QString>("typed");   // empty: made inactive by Space
        QTest::addColumn<QString>("shown");   // the name then current
        QTest::newRow("renamed, moves down")
            << u"Albers, Lena"_s << u"Özdemir, Lena"_s << u"Özdemir, Lena"_s;
        QTest::newRow("renamed, moves to the top")
            << u"Zander, Kai"_s << u"Ärmel, Kai"_s << u"Ärmel, Kai"_s;
        QTest::newRow("renamed in place")
            << u"Brandt, Tom"_s << u"Brandt, Tim"_s << u"Brandt, Tim"_s;
        QTest::newRow("made inactive") << u"Meier, Hans"_s << QString() << u"Meier, Hans"_s;
        QTest::newRow("new, first name first") << QString() << u"Ida Maß"_s << u"Maß, Ida"_s;
    }
    void list_changedSwimmerTakesHisPlace() {
        QFETCH(QString, current);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        openWindow();
        QSignalSpy reloads(window->findChild<TSwimmerListModel*>(),
                           &QAbstractItemModel::modelReset);
        for (int row = 0; !current.isEmpty() && currentName() != current && row < 4; ++row)
            press(Qt::Key_Down);
        NextModal editor([&](QWidget*) {
            if (!current.isEmpty())
                press(Qt::Key_A, Qt::ControlModifier);
            type(typed);
            press(Qt::Key_Return);
            if (current.isEmpty())
                type(u"12"_s);
            for (int i = 0; i < 5; ++i)
                press(Qt::Key_Return);
        });
        if (typed.isEmpty())
            press(Qt::Key_Space);
        else if (current.isEmpty())
            pressAccelerator(Qt::Key_N);
        else
            press(Qt::Key_Return);
        if (!typed.isEmpty()) {
            QTRY_VERIFY(editor.seen());
            reactivate();
        }
        QStringList names;
        for (const QString& row : shownRows())
            names << row.section(u'|', 0, 0);
        QStringList stored;
        for (const TSwimmer& each : store().AllSwimmers())
            stored << fromAnsi(each.Name);
        QCOMPARE(names, stored);
        QCOMPARE(currentName(), shown);
        QCOMPARE(reloads.count(), 0);
        QCOMPARE(messages->shown, QStringList());
    }

    // Escape in "Neuer Schwimmer" and "Schwimmer bearbeiten" asks before typed data go, with
    // "Nein" (keep typing) as the default; untouched, the dialog just closes.
    void editDialogs_escapeWithTypedData_asksFirst_data() {
        QTest::addColumn<bool>("newSwimmer");
        QTest::addColumn<QString>("typed");
        QTest::newRow("new, name typed") << true << u"Ida Vogel"_s;
        QTest::newRow("edit, untouched") << false << QString();
    }
    void editDialogs_escapeWithTypedData_asksFirst() {
        QFETCH(bool, newSwimmer);
        QFETCH(QString, typed);
        openWindow();
        const QStringList before = storedLines();
        NextModal editor([&](QWidget* modal) {
            type(typed);
            messages->setNextAnswer(AnswerNo);
            press(Qt::Key_Escape);
            QCOMPARE(modal->isVisible(), !typed.isEmpty());
            if (modal->isVisible()) {
                QCOMPARE(messages->shown, QStringList{u"Frage: Änderung wirklich verwerfen?"_s});
                QCOMPARE(messages->defaults, QList<int>{AnswerNo});
                messages->setNextAnswer(AnswerYes);
                press(Qt::Key_Escape);
            }
            QVERIFY(!modal->isVisible());
        });
        if (newSwimmer)
            pressAccelerator(Qt::Key_N);
        else
            press(Qt::Key_Return);
        QTRY_VERIFY(editor.seen());
        QCOMPARE(messages->shown.size(), typed.isEmpty() ? 0 : 2);
        QCOMPARE(storedLines(), before);
    }

    // Enter opens the current swimmer in the small dialog, whose checks are those of the entry
    // dialog; OK writes the change to the store at once.
    void edit_checksAndWritesAtOnce() {
        openWindow();
        press(Qt::Key_Down);
        press(Qt::Key_Down);
        QCOMPARE(currentName(), u"Meier, Hans"_s);
        NextModal editor([&](QWidget* modal) {
            QVERIFY(qobject_cast<TSwimmerEditDialog*>(modal));
            QCOMPARE(focusedName(), u"EditName"_s);
            press(Qt::Key_A, Qt::ControlModifier);
            type(u"Hans von Meier"_s);
            press(Qt::Key_Return);
            press(Qt::Key_A, Qt::ControlModifier);
            type(u"1899"_s);
            for (int i = 0; i < 4; ++i)
                press(Qt::Key_Return);
            QCOMPARE(focusedName(), u"ButtonOk"_s);
            press(Qt::Key_Return);
            QCOMPARE(messages->shown, QStringList{u"Fehler: Ungültige Jahrgangsangabe!"_s});
            QCOMPARE(focusedName(), u"EditJahrgang"_s);
            type(u"07"_s);
            press(Qt::Key_Return);
            press(Qt::Key_Down); // Weiblich
            press(Qt::Key_Return);
            press(Qt::Key_End);
            type(u"2"_s);
            press(Qt::Key_Return);
            press(Qt::Key_Space); // no longer active
            press(Qt::Key_Return);
            press(Qt::Key_Return);
            QCOMPARE(messages->shown.size(), 2);
            QVERIFY(messages->shown.constLast().contains(u"NACHNAME, VORNAME"_s));
            QCOMPARE(focusedName(), u"EditName"_s);
            type(u"Meier, Hanna"_s);
            press(Qt::Key_Return);
            for (int i = 0; i < 4; ++i)
                press(Qt::Key_Return);
            press(Qt::Key_Return);
            QVERIFY(!modal->isVisible());
        });
        press(Qt::Key_Return);
        QTRY_VERIFY(editor.seen());
        reactivate();
        QCOMPARE(storedLines(),
                 (QStringList{u"Albers, Lena;2011;1;;ja"_s, u"Brandt, Tom;2010;0;;ja"_s,
                              u"Meier, Hanna;2007;1;DE-47112;nein"_s,
                              u"Zander, Kai;2009;0;DE-0815;nein"_s}));
        QCOMPARE(currentName(), u"Meier, Hanna"_s);
        QCOMPARE(messages->shown.size(), 2);

        // "&Neu" takes a swimmer typed as the entry dialog takes one, first name first too.
        NextModal creator([&](QWidget* modal) {
            QCOMPARE(modal->windowTitle(), u"Neuer Schwimmer"_s);
            type(u"Ida Vogel"_s);
            press(Qt::Key_Return);
            type(u"12"_s);
            for (int i = 0; i < 5; ++i)
                press(Qt::Key_Return);
            QVERIFY(!modal->isVisible());
        });
        pressAccelerator(Qt::Key_N);
        QTRY_VERIFY(creator.seen());
        reactivate();
        QVERIFY(storedLines().contains(u"Vogel, Ida;2012;0;;ja"_s));
        QCOMPARE(currentName(), u"Vogel, Ida"_s);
        QCOMPARE(messages->shown.size(), 2);
    }

    // "Neu" and "Bearbeiten" never make one swimmer a copy of another: the existing one is
    // named and the store stays as it was; another sex is another swimmer.
    void newOrEdit_refusesACopyOfAnother_data() {
        QTest::addColumn<bool>("editing"); // Albers, Lena edited, else a new one
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("year");
        QTest::addColumn<bool>("female");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("new copy") << false << u"meier, hans"_s << u"08"_s << false
                                  << u"Fehler: Meier, Hans (2008) ist schon in der "
                                     u"Schwimmerliste!"_s;
        QTest::newRow("new, other sex")
            << false << u"Meier, Hans"_s << u"2008"_s << true << QString();
        QTest::newRow("edited into a copy") << true << u"Hans Meier"_s << u"2008"_s << false
                                            << u"Fehler: Meier, Hans (2008) ist schon in der "
                                               u"Schwimmerliste!"_s;
    }

    void newOrEdit_refusesACopyOfAnother() {
        QFETCH(bool, editing);
        QFETCH(QString, name);
        QFETCH(QString, year);
        QFETCH(bool, female);
        QFETCH(QString, refusal);
        openWindow();
        const QStringList before = storedLines();
        NextModal editor([&](QWidget* modal) {
            press(Qt::Key_A, Qt::ControlModifier);
            type(name);
            press(Qt::Key_Return);
            press(Qt::Key_A, Qt::ControlModifier);
            type(year);
            press(Qt::Key_Return);
            press(Qt::Key_Home);
            if (female)
                press(Qt::Key_Down);
            for (int i = 0; i < 4; ++i)
                press(Qt::Key_Return);
            QVERIFY(!modal->isVisible());
        });
        pressAccelerator(editing ? Qt::Key_B : Qt::Key_N);
        QTRY_VERIFY(editor.seen());
        reactivate();
        if (!refusal.isEmpty()) {
            QCOMPARE(messages->shown, QStringList{refusal});
            QCOMPARE(storedLines(), before);
            return;
        }
        QCOMPARE(messages->shown, QStringList());
        QCOMPARE(storedLines().size(), before.size() + (editing ? 0 : 1));
        QVERIFY(shownRows().contains(u"%1|%2|weiblich||ja|"_s.arg(
            editing ? name : u"Meier, Hans"_s, QString::number(2000 + year.right(2).toInt()))));
    }

    // Two rows marked by Shift+Down are merged after a question naming both: the current one
    // stays with the times of both.
    void merge_twoMarkedRows_afterTheQuestion_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(AnswerYes);
        QTest::newRow("no") << int(AnswerNo);
    }

    void merge_twoMarkedRows_afterTheQuestion() {
        QFETCH(int, answer);
        TSwimmer thomas = swimmer("Brandt, Thomas", 2010, 0, "DE-0042");
        QVERIFY(store().SaveSwimmer(thomas));
        openWindow();
        press(Qt::Key_Down);
        QCOMPARE(currentName(), u"Brandt, Thomas"_s);
        press(Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(currentName(), u"Brandt, Tom"_s);
        messages->setNextAnswer(answer);
        pressAccelerator(Qt::Key_Z);
        QTRY_COMPARE(messages->shown.size(), 1);
        QCOMPARE(messages->shown.constFirst(),
                 u"Frage: Die Schwimmer Brandt, Tom, Jg. 2010 und Brandt, Thomas, Jg. 2010 zu "
                 u"einem zusammenführen? Es bleibt Brandt, Tom, Jg. 2010 mit den Zeiten beider."_s);
        if (answer == AnswerNo) {
            QCOMPARE(storedLines().size(), 5);
            return;
        }
        QTRY_COMPARE(storedLines().size(), 4);
        QVERIFY(storedLines().contains(u"Brandt, Tom;2010;0;DE-0042;ja"_s));
        QCOMPARE(currentName(), u"Brandt, Tom"_s);
        QCOMPARE(bestTimeRows().size(), 0); // entered times are no best times, but kept
        QCOMPARE(shownRows().size(), 4);
    }

    // Space switches the current swimmer off and on; Delete asks first and keeps the swimmer
    // when the answer is no. Each change is in the store at once.
    void activeAndDelete_byKeys() {
        openWindow();
        press(Qt::Key_Space);
        QCOMPARE(storedLines().constFirst(), u"Albers, Lena;2011;1;;nein"_s);
        pressAccelerator(Qt::Key_A);
        QCOMPARE(storedLines().constFirst(), u"Albers, Lena;2011;1;;ja"_s);
        table()->setFocus();

        press(Qt::Key_Down);
        messages->setNextAnswer(AnswerNo);
        press(Qt::Key_Delete);
        QCOMPARE(messages->shown,
                 QStringList{u"Frage: Den Schwimmer Brandt, Tom, Jg. 2010 mit allen seinen "
                             u"Meldezeiten wirklich löschen?"_s});
        QCOMPARE(storedLines().size(), 4);
        press(Qt::Key_Delete); // answered yes
        QCOMPARE(storedLines(),
                 (QStringList{u"Albers, Lena;2011;1;;ja"_s, u"Meier, Hans;2008;0;DE-4711;ja"_s,
                              u"Zander, Kai;2009;0;DE-0815;nein"_s}));
        QCOMPARE(currentName(), u"Meier, Hans"_s);
        QCOMPARE(shownRows().size(), 3);
    }

    // Imports take CSV files and earlier exchange files; a bad line refuses the whole file
    // with its line number. The export is what spreadsheets open: UTF-8 with a byte-order
    // mark, CR LF.
    void importAndExport() {
        const QString csv = dataDir->path() + u"/liste.csv"_s;
        writeFile(csv, "Vorname,Name,Jahrgang,Geschlecht,Reg.-Nr.,Aktiv\n"
                       "Hans,Meier,2008,m,DE-4711,nein\n"
                       "J\xc3\xb6rg,Wei\xc3\x9f,2012,M,,ja\n");
        const QString bad = dataDir->path() + u"/kaputt.csv"_s;
        writeFile(bad, "Name;Vorname;Jahrgang;Geschlecht;Reg.-Nr.;Aktiv\n"
                       "Otto;Kurz;2013;m;;ja\n"
                       "Ohne;Jahr;;w;;ja\n");
        // An earlier competition: Hans again, with a new swimmer and a relay team.
        const QString exchange = dataDir->path() + u"/EXCHANGE.NT2"_s;
        {
            TMeldeAustausch earlier;
            earlier.LoadFromFile(DEMO_FILE);
            earlier.SetNomin(1, {"Meier, Hans", 2008, 0, earlier.Event(2).WkNr, 16510, "DE-4711"});
            earlier.SetNomin(2, {"Meier, Hans", 2008, 0, earlier.Event(4).WkNr, 8120, "DE-4711"});
            earlier.SetNomin(3, {"Kurz, Otto", 2013, 0, earlier.Event(4).WkNr, 9950, ""});
            earlier.SaveToFile(QFile::encodeName(exchange).toStdString());
        }

        openWindow();
        auto* status = window->findChild<QLabel*>(u"LabelStatus"_s);
        FileDialogSeam::setNextFileName(csv, QString());
        pressAccelerator(Qt::Key_I);
        QCOMPARE(messages->shown, QStringList());
        QCOMPARE(status->text(), u"1 Schwimmer neu, 1 aktualisiert, 0 Meldezeiten"_s);
        QVERIFY(storedLines().contains(u"Meier, Hans;2008;0;DE-4711;nein"_s));
        QVERIFY(storedLines().contains(u"Wei\u00df, J\u00f6rg;2012;0;;ja"_s));
        QCOMPARE(shownRows().size(), 5);

        FileDialogSeam::setNextFileName(bad, QString());
        pressAccelerator(Qt::Key_I);
        QCOMPARE(messages->shown.size(), 1);
        QVERIFY2(messages->shown.constFirst().contains(u"Zeile 3"_s),
                 qPrintable(messages->shown.constFirst()));
        QCOMPARE(storedLines().size(), 5);
        messages->shown.clear();
        reactivate();

        FileDialogSeam::setNextFileName(exchange, QString());
        pressAccelerator(Qt::Key_I);
        QCOMPARE(messages->shown, QStringList());
        QCOMPARE(status->text(), u"1 Schwimmer neu, 1 aktualisiert, 3 Meldezeiten"_s);
        QCOMPARE(store().AllSwimmers().size(), 6u);

        const QString out = dataDir->path() + u"/export"_s;
        FileDialogSeam::setNextFileName(out, CsvFilter());
        pressAccelerator(Qt::Key_X);
        const QByteArray bytes = readFile(out + u".csv"_s);
        QVERIFY(
            bytes.startsWith("\xEF\xBB\xBFName;Vorname;Jahrgang;Geschlecht;Reg.-Nr.;Aktiv\r\n"));
        QVERIFY(bytes.contains("\r\nWei\xc3\x9f;J\xc3\xb6rg;2012;m;;ja\r\n"));
        QCOMPARE(bytes.count("\r\n"), static_cast<qsizetype>(store().AllSwimmers().size() + 1));
        QVERIFY(status->text().contains(u"exportiert"_s));
    }

    // A host's result list: without a known own club only every club's times can be taken;
    // with the club known, its swimmers come with their valid swims, once however often the
    // list is imported, and the pane under the table shows the current swimmer's best times;
    // every club's swims come last, a name Windows-1252 lacks rewritten and told.
    void importResults_ownClubOrEveryClub_andBestTimesFollowTheRow() {
        const QString results = TEST_DATA_DIR u"/interop/lenex-results.lef"_s;
        openWindow();
        auto* status = window->findChild<QLabel*>(u"LabelStatus"_s);
        auto* everyClub = window->findChild<QCheckBox*>(u"CheckAlleVereine"_s);
        QVERIFY(!everyClub->isChecked());
        FileDialogSeam::setNextFileName(results, QString());
        pressAccelerator(Qt::Key_I);
        QCOMPARE(messages->shown.size(), 1);
        QVERIFY2(messages->shown.constFirst().contains(u"Der eigene Verein ist nicht bekannt"_s) &&
                     messages->shown.constFirst().contains(u"„Ergebnislisten: alle Vereine“"_s),
                 qPrintable(messages->shown.constFirst()));
        reactivate();
        QCOMPARE(storedLines().size(), 4);

        TMeldeAustausch ownClub;
        ownClub.ClubName = "SV Blau-Wei\xdf Beispielhausen";
        QVERIFY(store().RememberCompetition(ownClub));
        QVERIFY(!everyClub->isChecked());
        messages->shown.clear();
        for (const QString& expected : {u"6 Schwimmer neu, 0 aktualisiert, 10 Wettkampfzeiten"_s,
                                        u"0 Schwimmer neu, 0 aktualisiert, 0 Wettkampfzeiten"_s}) {
            FileDialogSeam::setNextFileName(results, QString());
            pressAccelerator(Qt::Key_I);
            QCOMPARE(messages->shown, QStringList());
            QCOMPARE(status->text(), expected);
        }
        QCOMPARE(storedLines().size(), 10);
        QVERIFY(!storedLines().contains(u"Brandt, Felix;2012;0;900202;ja"_s));

        press(Qt::Key_F, Qt::AltModifier);
        type(u"winter"_s);
        press(Qt::Key_Down);
        QCOMPARE(currentName(), u"Winter, Jonas"_s);
        QCOMPARE(bestTimeRows(),
                 (QStringList{u"100m Freistil|25 m|01:04,99|12.12.2026|Nikolausschwimmfest 2026"_s,
                              u"50m Schmetterling|25 m|00:31,12|12.12.2026|Nikolausschwimmfest "
                              u"2026"_s}));
        // Down to the next swimmer: the pane follows; one only entered has no best times.
        press(Qt::Key_F, Qt::AltModifier);
        press(Qt::Key_A, Qt::ControlModifier);
        press(Qt::Key_Backspace);
        press(Qt::Key_Down);
        press(Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(currentName(), u"Albers, Lena"_s);
        QCOMPARE(bestTimeRows(), QStringList());
        press(Qt::Key_Down);
        press(Qt::Key_Down);
        QCOMPARE(currentName(), u"Frühling, Emma"_s);
        QCOMPARE(bestTimeRows().size(), 2);

        // Every club's swims: the other club's name that Windows-1252 lacks is rewritten, and
        // the import says so in one box.
        pressAccelerator(Qt::Key_V);
        QVERIFY(everyClub->isChecked());
        FileDialogSeam::setNextFileName(results, QString());
        pressAccelerator(Qt::Key_I);
        QCOMPARE(messages->shown,
                 QStringList{u"Warnung: 1 Name umgeschrieben: „Łęcka, Zofia“ → „Lecka, Zofia“"_s});
        QVERIFY(storedLines().contains(u"Brandt, Felix;2012;0;900202;ja"_s));
        QVERIFY(storedLines().contains(u"Lecka, Zofia;2013;1;900201;ja"_s));
    }

private:
    static QString CsvFilter() { return u"Schwimmerliste (*.csv)"_s; }
};

QTEST_MAIN(TestSwimmerWindow)
#include "tst_swimmerwindow.moc"
