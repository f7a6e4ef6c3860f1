// SPDX-License-Identifier: GPL-3.0-or-later
// The window "Kampfrichter und Trainer", driven from the keyboard on a store and a competition
// folder of the test's own: what it shows, and what it writes to the store and the companion
// file at once.
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include "../shared/competitionbuilder.h"
#include "../store/swimmerfixture.h"
#include "companionfile.h"
#include "dialogseam.h"
#include "messages.h"
#include "modaldialog.h"
#include "nextmodal.h"
#include "officialswindow.h"
#include "tempdatadir.h"

using namespace Qt::StringLiterals;

class TestOfficialsWindow : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TempDataDir> dataDir;
    std::unique_ptr<QTemporaryDir> competitionFolder;
    std::unique_ptr<MessageRecorder> messages;
    std::unique_ptr<TOfficialsWindow> window;
    CompetitionBuilder competition;

    std::string exchangePath() const {
        return competitionFolder->filePath(u"EXCHANGE.NT2"_s).toStdString();
    }
    TCompanion onDisk() const { return LoadCompanion(exchangePath(), competition.model).Companion; }
    QTableView* table() const { return window->findChild<QTableView*>(u"OfficialTable"_s); }
    // Name and nomination of each row.
    QStringList shownRows() const {
        QStringList rows;
        const QAbstractItemModel* shown = table()->model();
        for (int row = 0; row < shown->rowCount(); ++row)
            rows << shown->index(row, 0).data().toString() + u'|' +
                        shown->index(row, shown->columnCount() - 1).data().toString();
        return rows;
    }
    void openWindow() {
        window =
            std::make_unique<TOfficialsWindow>(dataDir->store(), competition.model, exchangePath());
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QCOMPARE(focused(), table());
    }

    // Back in the window once a modal dialog of it has closed.
    void activate() {
        window->activateWindow();
        QVERIFY(QTest::qWaitFor([&] { return QApplication::activeWindow() == window.get(); }));
    }

private slots:
    // Two sections with a start each; two officials and a trainer kept by the club, Lindner
    // nominated for section 2 already.
    void init() {
        dataDir.reset();
        dataDir = std::make_unique<TempDataDir>();
        competitionFolder = std::make_unique<QTemporaryDir>();
        messages = std::make_unique<MessageRecorder>();
        competition = CompetitionBuilder();
        competition.model.CompName = "Herbstfest";
        competition.model.Date1 = "07.11.2026";
        competition.model.AbsCnt = 2;
        competition.event("1", u"100m Freistil"_s, 5, 1);
        competition.event("2", u"50m Brust"_s, 5, 2);
        competition.nomin(u"Probe, Pia"_s, 2014, "1");
        competition.nomin(u"Probe, Pia"_s, 2014, "2");
        competition.done();
        TOfficial kraus = official("Kraus, Martina", "4711", "WKR", "W");
        TOfficial lindner = official("Lindner, Paul", "", "SCH", "M");
        TTrainer falk{0, "Falk, Sabine", "W"};
        QVERIFY(dataDir->store().SaveOfficial(kraus) && dataDir->store().SaveOfficial(lindner) &&
                dataDir->store().SaveTrainer(falk));
        SaveCompanion(exchangePath(), competition.model,
                      {{{"Lindner, Paul", "", "SCH", "M", {{2, "SCH"}}}}, {}, {}});
    }
    void cleanup() {
        window.reset();
        messages.reset();
    }

    void nominateNameTrainerDeleteWithdraw_byKeyboard() {
        openWindow();
        QCOMPARE(shownRows(),
                 QStringList({u"Kraus, Martina|"_s, u"Lindner, Paul|Abschnitt 2 (SCH)"_s}));
        const QLabel* status = window->findChild<QLabel*>(u"LabelStatus"_s);
        QVERIFY(!status->text().isEmpty()); // section 1 has no official yet

        // Kraus for both sections, as stroke judge.
        NextModal dialog([](QWidget*) {
            pressAccelerator(Qt::Key_1);
            pressAccelerator(Qt::Key_2);
            pressAccelerator(Qt::Key_E);
            type(u"SR"_s);
            pressAccelerator(Qt::Key_K);
        });
        press(Qt::Key_Return);
        QVERIFY(
            QTest::qWaitFor([&] { return dialog.seen() && !QApplication::activeModalWidget(); }));
        const TNominatedOfficial kraus{
            "Kraus, Martina", "4711", "WKR", "W", {{1, "SR"}, {2, "SR"}}};
        QCOMPARE(onDisk().Officials.size(), std::size_t(2));
        QCOMPARE(onDisk().Officials.back(), kraus);
        QCOMPARE(shownRows().first(), u"Kraus, Martina|Abschnitte 1 (SR), 2 (SR)"_s);
        QCOMPARE(status->text(), QString());

        // The trainer, chosen from the list.
        activate();
        pressAccelerator(Qt::Key_T);
        QCOMPARE(focused(), window->findChild<QComboBox*>(u"ChooseTrainer"_s));
        press(Qt::Key_Down);
        QCOMPARE(onDisk().Trainers, std::vector<TNamedTrainer>({{"Falk, Sabine", "W"}}));
        // She leaves the list and stays named for the competition.
        messages->setNextAnswer(AnswerYes);
        pressAccelerator(Qt::Key_E);
        QVERIFY(dataDir->store().AllTrainers().empty());
        QCOMPARE(onDisk().Trainers.size(), std::size_t(1));
        QCOMPARE(window->findChild<QComboBox*>(u"ChooseTrainer"_s)->currentText(),
                 u"Falk, Sabine"_s);
        // Another one typed first name first, kept as names are kept.
        NextModal asked([](QWidget*) {
            type(u"Udo Berg"_s);
            press(Qt::Key_Return);
        });
        pressAccelerator(Qt::Key_H);
        QVERIFY(
            QTest::qWaitFor([&] { return asked.seen() && !QApplication::activeModalWidget(); }));
        QCOMPARE(dataDir->store().AllTrainers().size(), std::size_t(1));
        QCOMPARE(dataDir->store().AllTrainers().front().Name, "Berg, Udo");

        // Lindner leaves the list and stays nominated; then his nomination goes too.
        activate();
        table()->setFocus();
        press(Qt::Key_Down);
        messages->setNextAnswer(AnswerYes);
        press(Qt::Key_Delete);
        QCOMPARE(dataDir->store().AllOfficials().size(), std::size_t(1));
        QCOMPARE(onDisk().Officials.size(), std::size_t(2));
        QVERIFY(shownRows().last().startsWith(u"Lindner, Paul|Abschnitt 2 (SCH) "_s));
        QCOMPARE(table()->currentIndex().row(), 1);
        messages->setNextAnswer(AnswerYes);
        press(Qt::Key_Delete);
        QCOMPARE(onDisk().Officials, std::vector<TNominatedOfficial>{kraus});
        QCOMPARE(shownRows().size(), 1);
        QCOMPARE(messages->shown.size(), 3); // the three questions, nothing else
    }

    // The list out to a spreadsheet and back with one more official.
    void csvExportAndImport_byKeyboard() {
        openWindow();
        const QString file = competitionFolder->filePath(u"liste.csv"_s);
        FileDialogSeam::setNextFileName(file, QString());
        pressAccelerator(Qt::Key_X);
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QByteArray bytes = written.readAll();
        written.close();
        QVERIFY(bytes.contains("Kraus;Martina;4711;WKR;ja"));
        bytes += "Ott;Ina;99;SPR;ja\r\n";
        QVERIFY(written.open(QIODevice::WriteOnly | QIODevice::Truncate));
        written.write(bytes);
        written.close();
        activate();
        FileDialogSeam::setNextFileName(file, QString());
        pressAccelerator(Qt::Key_P);
        QCOMPARE(shownRows(), QStringList({u"Kraus, Martina|"_s,
                                           u"Lindner, Paul|Abschnitt 2 (SCH)"_s, u"Ott, Ina|"_s}));
        QCOMPARE(dataDir->store().AllOfficials().size(), std::size_t(3));
        QVERIFY(messages->shown.isEmpty());
    }

    // A damaged companion file is said once, and kept aside when the window writes anew.
    void damagedCompanion_saidOnceAndKeptAside() {
        QFile file(QString::fromStdString(CompanionPath(exchangePath())));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{ kaputt");
        file.close();
        openWindow();
        QCOMPARE(messages->shown.size(), 1);
        QVERIFY(messages->shown.first().startsWith(u"Warnung: "_s));
        QCOMPARE(shownRows(), QStringList({u"Kraus, Martina|"_s, u"Lindner, Paul|"_s}));
        pressAccelerator(Qt::Key_T);
        press(Qt::Key_Down);
        QCOMPARE(onDisk().Trainers.size(), std::size_t(1));
        QCOMPARE(QDir(competitionFolder->path())
                     .entryList({u"EXCHANGE.ZUSATZ_*.json"_s}, QDir::Files)
                     .size(),
                 1);
        QCOMPARE(messages->shown.size(), 2); // the note naming the copy
    }
};

QTEST_MAIN(TestOfficialsWindow)
#include "tst_officialswindow.moc"
