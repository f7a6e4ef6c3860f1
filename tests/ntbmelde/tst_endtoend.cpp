// SPDX-License-Identifier: GPL-3.0-or-later
// A club's typical run through the whole program, with the keyboard only: club data, several
// swimmers with several starts each (one event picked with F4), the control printout saved as
// rich text and plain text and printed, then leaving with the save question answered yes. The
// rewritten exchange file is compared byte for byte with a hand-checked one and read back.
// A host's invitation goes through it too: officials nominated, relays with their swimmers, a
// slow entry and the fees, then exported in each format and read back by readers of their own.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include "../interop/dsvrecordrules.h"
#include "../interop/interopfixtures.h"
#include "../store/swimmerfixture.h"
#include "ansi.h"
#include "dialogseam.h"
#include "environment.h"
#include "global.h"
#include "mainwindow.h"
#include "meldeaustausch.h"
#include "messages.h"
#include "modaldialog.h"
#include "nextmodal.h"
#include "printoutwindow.h"
#include "relayfixture.h"
#include "report.h"
#include "tempdatadir.h"

using namespace Qt::StringLiterals;

namespace {

const QString ExpectedFolder = QStringLiteral(TEST_DATA_DIR "/endtoend/");

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Lines with their line ends, so that comparing them compares every byte and a difference
// is reported by its line.
QList<QByteArray> linesOf(const QByteArray& bytes) {
    return bytes.split('\n');
}

QString focusedName() {
    return focused() ? focused()->objectName() : QString();
}

// The offscreen platform activates no window when a modal one closes; a window manager would
// hand the activation back.
bool activate(QWidget* window) {
    window->activateWindow();
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

void typeAndEnter(const QString& text) {
    type(text);
    press(Qt::Key_Return);
}

void fillInClubData(QWidget* dialog) {
    QCOMPARE(dialog->windowTitle(), u"Vereinsdaten"_s);
    QCOMPARE(focusedName(), u"EditName"_s);
    typeAndEnter(u"SC Möwe Kanalstadt 1898"_s);
    QCOMPARE(focusedName(), u"ChooseVerband"_s);
    for (int i = 0; i < 9; ++i)
        press(Qt::Key_Down);
    QCOMPARE(qobject_cast<QComboBox*>(focused())->currentText(),
             u"Landesschwimmverband Niedersachsen"_s);
    press(Qt::Key_Return);
    QCOMPARE(focusedName(), u"EditFina"_s);
    QCOMPARE(qobject_cast<QLineEdit*>(focused())->text(), u"GER"_s); // kept as offered
    press(Qt::Key_Return);
    typeAndEnter(u"4711"_s);
    QCOMPARE(focusedName(), u"EditPerson"_s);
    typeAndEnter(u"Jörg Weiß"_s);
    typeAndEnter(u"Kanaluferstraße 12"_s);
    typeAndEnter(u"31535"_s);
    typeAndEnter(u"Kanalstadt"_s);
    typeAndEnter(u"05032 123456"_s);
    QCOMPARE(focusedName(), u"EditTelefax"_s);
    press(Qt::Key_Return); // no fax
    typeAndEnter(u"meldung@sc-moewe.example"_s);
    QCOMPARE(focusedName(), u"ButtonOk"_s);
    press(Qt::Key_Return);
    QVERIFY(!dialog->isVisible());
}

// A new swimmer, from the name field (which still shows the previous swimmer) to the event
// number. `sexKeys` move the sex list from what it shows; an empty `regNr` clears the field.
void typeSwimmer(const QString& name, const QString& twoDigitYear, QList<Qt::Key> sexKeys,
                 const QString& regNr) {
    QCOMPARE(focusedName(), u"EditName"_s);
    press(Qt::Key_A, Qt::ControlModifier);
    typeAndEnter(name);
    QCOMPARE(focusedName(), u"EditJahrgang"_s);
    typeAndEnter(twoDigitYear);
    QCOMPARE(focusedName(), u"EditGeschlecht"_s);
    for (Qt::Key key : sexKeys)
        press(key);
    press(Qt::Key_Return);
    QCOMPARE(focusedName(), u"EditRegNummer"_s);
    if (regNr.isEmpty())
        press(Qt::Key_Backspace);
    typeAndEnter(regNr);
    QCOMPARE(focusedName(), u"EditWkNr"_s);
}

// The next start of the same swimmer: Enter passes the swimmer's fields unchanged.
void nextStartOfTheSameSwimmer() {
    QCOMPARE(focusedName(), u"EditName"_s);
    for (int i = 0; i < 4; ++i)
        press(Qt::Key_Return);
    QCOMPARE(focusedName(), u"EditWkNr"_s);
}

// From the event number field: the time as digits only, Enter to "Ne&ue Meldung", Enter to
// adopt. Afterwards the name field waits for the next start.
void typeTimeAndAdopt(const QString& timeDigits) {
    QCOMPARE(focusedName(), u"EditMeldezeit"_s);
    typeAndEnter(timeDigits);
    QCOMPARE(focusedName(), u"ButtonNew"_s);
    press(Qt::Key_Return);
}

void typeStartAndAdopt(const QString& wkNr, const QString& timeDigits) {
    typeAndEnter(wkNr);
    typeTimeAndAdopt(timeDigits);
}

void enterNominations(QWidget* dialog) {
    QCOMPARE(dialog->windowTitle(), u"Meldungen eingeben, bearbeiten"_s);
    auto* list = dialog->findChild<QAbstractItemView*>(u"Meldeliste"_s);
    QVERIFY(list);

    typeSwimmer(u"Lena Schulz"_s, u"12"_s, {Qt::Key_Down}, u"123456"_s);
    typeStartAndAdopt(u"5"_s, u"3412"_s);
    QCOMPARE(list->model()->rowCount(), 1);

    // The youth backstroke, picked from the events that admit a girl born in 2012.
    nextStartOfTheSameSwimmer();
    QString picked;
    {
        NextModal chooser([&picked](QWidget* modal) {
            QCOMPARE(modal->windowTitle(), u"Wettkampf auswählen"_s);
            press(Qt::Key_End);
            press(Qt::Key_Up);
            press(Qt::Key_Up);
            picked = qobject_cast<QComboBox*>(focused())->currentText();
            press(Qt::Key_Return);
            QCOMPARE(focusedName(), u"ButtonOk"_s);
            press(Qt::Key_Return);
        });
        press(Qt::Key_F4);
        QVERIFY(chooser.seen());
    }
    QCOMPARE(picked, u"Wettkampf 16, 50m Rücken weiblich Jugend, Weiblich, 2012-2018"_s);
    QVERIFY(activate(dialog));
    QCOMPARE(focusedName(), u"EditWkNr"_s);
    QCOMPARE(qobject_cast<QLineEdit*>(focused())->text(), u"16"_s);
    press(Qt::Key_Return);
    typeTimeAndAdopt(u"4105"_s);

    // A slip in the time: 75 seconds are refused when the field is left, and typed again.
    nextStartOfTheSameSwimmer();
    typeAndEnter(u"14"_s);
    typeAndEnter(u"17512"_s);
    QCOMPARE(focusedName(), u"EditMeldezeit"_s);
    typeTimeAndAdopt(u"11599"_s);

    typeSwimmer(u"Jonas Müller"_s, u"09"_s, {Qt::Key_Up}, QString());
    typeStartAndAdopt(u"2"_s, u"24510"_s);
    nextStartOfTheSameSwimmer();
    typeStartAndAdopt(u"13"_s, u"3005"_s);

    typeSwimmer(u"Brigitte Adler"_s, u"68"_s, {Qt::Key_Down}, u"DE-0815"_s);
    typeStartAndAdopt(u"12a"_s, u"3899"_s);
    nextStartOfTheSameSwimmer();
    typeStartAndAdopt(u"18"_s, QString()); // no entry time yet

    QCOMPARE(list->model()->rowCount(), 7);
    QCOMPARE(list->model()->index(0, 0).data().toString(), u"Adler, Brigitte"_s);
    pressAccelerator(Qt::Key_K);
    QVERIFY(!dialog->isVisible());
}

TNominRecord nomin(const QString& name, int age, std::uint8_t sex, const char* wkNr, int time,
                   const char* regNr) {
    return {toAnsi(name), age, sex, TMeldeAustausch::TextToWkNr(wkNr), time, regNr};
}

// The officials window: Kraus serves in both sections as stroke judge, Falk is the trainer.
void nominateOfficialAndTrainer(QWidget* window) {
    QCOMPARE(window->windowTitle(), u"Kampfrichter und Trainer"_s);
    QCOMPARE(focusedName(), u"OfficialTable"_s);
    {
        NextModal official([](QWidget*) {
            pressAccelerator(Qt::Key_1);
            pressAccelerator(Qt::Key_2);
            pressAccelerator(Qt::Key_E);
            type(u"SR"_s);
            pressAccelerator(Qt::Key_K);
        });
        press(Qt::Key_Return); // the first row, Kraus
        QVERIFY(QTest::qWaitFor(
            [&] { return official.seen() && QApplication::activeModalWidget() == window; }));
    }
    QVERIFY(activate(window));
    pressAccelerator(Qt::Key_T);
    press(Qt::Key_Down);
    QCOMPARE(qobject_cast<QComboBox*>(focused())->currentText(), u"Falk, Sabine"_s);
    press(Qt::Key_Escape);
    QVERIFY(!window->isVisible());
}

// Each leg picked from the stored swimmers by the first letters of the name.
void pickLegs(const QStringList& prefixes) {
    for (int leg = 0; leg < prefixes.size(); ++leg) {
        QCOMPARE(focusedName(), u"EditSchwimmer%1"_s.arg(leg + 1));
        type(prefixes[leg]);
        press(Qt::Key_Down);
        press(Qt::Key_Return);
    }
}

QString hintOf(QWidget* dialog) {
    return dialog->findChild<QLabel*>(u"LabelHinweis"_s)->toolTip();
}

// A girl slower than the qualifying time (3:10,00 for her years), a youth relay and a masters
// relay whose summed ages (42 + 48 + 37 + 55 in 2027) make the class 160+.
void enterSlowEntryAndRelays(QWidget* dialog) {
    type(u"Casp"_s);
    press(Qt::Key_Down);
    press(Qt::Key_Return);
    typeStartAndAdopt(u"5"_s, u"32500"_s);
    QVERIFY(hintOf(dialog).contains(u"3:10,00"_s));

    typeSwimmer(u"SV Möwe 1"_s, u"12"_s, {Qt::Key_Down}, QString()); // from female to mixed
    typeAndEnter(u"4"_s);
    pickLegs({u"Ahl"_s, u"Bru"_s, u"Cas"_s, u"Dorn"_s});
    typeTimeAndAdopt(u"24500"_s);

    typeSwimmer(u"SV Möwe Masters"_s, u"85"_s, {}, QString());
    typeAndEnter(u"10"_s);
    pickLegs({u"Fehr"_s, u"Godt"_s, u"Harm"_s, u"Iwer"_s});
    typeTimeAndAdopt(u"22000"_s);
    QVERIFY(hintOf(dialog).contains(u"160+"_s));

    QCOMPARE(dialog->findChild<QAbstractItemView*>(u"Meldeliste"_s)->model()->rowCount(), 3);
    pressAccelerator(Qt::Key_K);
    QVERIFY(!dialog->isVisible());
}

// What a Vereinsmeldeliste says of officials, trainers and teams, read through its record
// rules: "Kampfrichter NAME: SECTION WISH, …", "Trainer NAME", "Staffel NAME CLASS: LEGS".
QStringList dsvFacts(const QByteArray& bytes, QStringList& breaches) {
    std::vector<std::pair<QString, QStringList>> records;
    breaches = ruleBreaches(bytes, records);
    QStringList facts;
    std::map<QString, qsizetype> officials, teams;
    std::map<QString, QString> swimmers;
    for (const auto& [keyword, fields] : records) {
        if (keyword == u"FORMAT")
            facts << u"Format "_s + fields[1];
        else if (keyword == u"KARIMELDUNG") {
            officials[fields[0]] = facts.size();
            facts << u"Kampfrichter "_s + fields[1] + u':';
        } else if (keyword == u"KARIABSCHNITT")
            facts[officials.at(fields[0])] += u' ' + fields[1] + u' ' + fields[2];
        else if (keyword == u"TRAINER")
            facts << u"Trainer "_s + fields[1];
        else if (keyword == u"PNMELDUNG")
            swimmers[fields[2]] = fields[0];
        else if (keyword == u"STMELDUNG") {
            teams[fields[1]] = facts.size();
            facts << u"Staffel %1 %2:"_s.arg(fields[5], fields.mid(2, 3).join(u';'));
        } else if (keyword == u"STAFFELPERSON")
            facts[teams.at(fields[0])] += u' ' + fields[3] + u". "_s + swimmers.at(fields[2]);
    }
    return facts;
}

// The same of a Lenex entries file: officials without sections, teams with the bounds of their
// summed ages, no trainer.
QStringList lenexFacts(const QByteArray& bytes, QStringList& breaches) {
    breaches = lenexStructureBreaches(bytes);
    QStringList facts{u"Lenex"_s};
    std::map<QString, QString> athletes;
    std::vector<std::pair<qsizetype, QStringList>> legs; // fact, leg number and athlete
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        const auto name = [&a] {
            return a.value(u"lastname"_s).toString() + u", "_s + a.value(u"firstname"_s).toString();
        };
        if (xml.name() == u"ATHLETE")
            athletes[a.value(u"athleteid"_s).toString()] = name();
        else if (xml.name() == u"OFFICIAL")
            facts << u"Kampfrichter "_s + name() + u':';
        else if (xml.name() == u"RELAY") {
            legs.emplace_back(facts.size(), QStringList());
            facts << u"Staffel %1 %2..%3:"_s.arg(a.value(u"name"_s), a.value(u"agetotalmin"_s),
                                                 a.value(u"agetotalmax"_s));
        } else if (xml.name() == u"RELAYPOSITION")
            legs.back().second << a.value(u"number"_s).toString()
                               << a.value(u"athleteid"_s).toString();
    }
    if (xml.hasError())
        breaches << xml.errorString();
    for (const auto& [fact, positions] : legs) {
        for (qsizetype i = 0; i + 1 < positions.size(); i += 2)
            facts[fact] += u' ' + positions[i] + u". "_s + athletes[positions[i + 1]];
    }
    return facts;
}

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void typicalRun_keyboardOnly_rewritesTheExchangeFile();
    void secondCompetition_enteredFromTheFirstOnesStore();
    void hostsInvitation_officialsRelaysFees_exportedInEachFormat_data();
    void hostsInvitation_officialsRelaysFees_exportedInEachFormat();
};

void TestEndToEnd::initTestCase() {
    PinCurrentYear(2026);
    PinDecimalSeparator(',');
}

void TestEndToEnd::cleanupTestCase() {
    PinCurrentYear(0);
    PinDecimalSeparator(0);
    PinCurrentTime(0);
}

void TestEndToEnd::typicalRun_keyboardOnly_rewritesTheExchangeFile() {
    const TempDataDir dataDir;
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString exchangeFile = folder.filePath(u"EXCHANGE.NT2"_s);
    QVERIFY(QFile::copy(QStringLiteral(DEMO_FILE), exchangeFile));
    QVERIFY(QFile::setPermissions(exchangeFile, QFile::ReadOwner | QFile::WriteOwner));
    MessageRecorder messages;

    TMainWindow window(folder.path());
    window.show();
    QVERIFY(activate(&window));
    QCOMPARE(focusedName(), u"ButtonVerein"_s);

    {
        NextModal clubData(fillInClubData);
        pressAccelerator(Qt::Key_V);
        QTRY_VERIFY(clubData.seen());
    }
    QVERIFY(!QTest::currentTestFailed());
    QCOMPARE(fromAnsi(window.meldeAustausch()->ClubName), u"SC Möwe Kanalstadt 1898"_s);
    QVERIFY(activate(&window));

    {
        NextModal entries(enterNominations);
        pressAccelerator(Qt::Key_M);
        QTRY_VERIFY(entries.seen());
    }
    QVERIFY(!QTest::currentTestFailed());
    QCOMPARE(window.meldeAustausch()->NominCount(), 7);
    QVERIFY(activate(&window));

    // The printout opens inside the frame with its first button focused; it is saved twice and
    // printed, each through its dialog.
    pressAccelerator(Qt::Key_K);
    QCOMPARE(window.mdiArea()->subWindowList().size(), 1);
    QVERIFY(qobject_cast<TPrintoutWindow*>(window.mdiArea()->subWindowList().first()));
    QTRY_COMPARE(focusedName(), u"ButtonClose"_s);
    const QString printoutBase = folder.filePath(u"kontrollausdruck"_s);
    FileDialogSeam::setNextFileName(printoutBase, u"Rich-Text-Format (*.RTF)"_s);
    pressAccelerator(Qt::Key_S);
    QTRY_VERIFY(QFile::exists(printoutBase + u".RTF"_s));
    QCOMPARE(FileDialogSeam::lastCaption, u"Anzeige speichern"_s);
    QCOMPARE(FileDialogSeam::lastFolder, folder.path() + u'/');
    FileDialogSeam::setNextFileName(printoutBase, u"Reiner Text (*.TXT)"_s);
    pressAccelerator(Qt::Key_S);
    QTRY_VERIFY(QFile::exists(printoutBase + u".TXT"_s));
    PrintDialogSeam::setNextOutputFile(printoutBase + u".pdf"_s);
    pressAccelerator(Qt::Key_D);
    QTRY_VERIFY(readFile(printoutBase + u".pdf"_s).startsWith("%PDF-"));

    // Leaving: the save question, then the exit notice, closed with Enter.
    {
        NextModal exitNotice([](QWidget* modal) {
            QCOMPARE(modal->windowTitle(), u"Melde-Programm wird beendet"_s);
            press(Qt::Key_Return);
        });
        messages.setNextAnswer(AnswerYes);
        pressAccelerator(Qt::Key_B);
        QTRY_VERIFY(!window.isVisible());
        QVERIFY(exitNotice.seen());
    }
    QCOMPARE(messages.shown, QStringList({u"Fehler: Keine korrekte Zeitangabe!"_s,
                                          u"Frage: Daten jetzt speichern?"_s}));
    QTRY_VERIFY(window.mdiArea()->subWindowList().isEmpty());
    QVERIFY(!window.meldeAustausch());

    QCOMPARE(linesOf(readFile(exchangeFile)),
             linesOf(readFile(ExpectedFolder + u"EXCHANGE.expected.NT2"_s)));

    // The printout shows the entries in name order, as the entry dialog left them.
    const QByteArray expectedText = readFile(ExpectedFolder + u"printout.expected.txt"_s);
    QCOMPARE(linesOf(readFile(printoutBase + u".TXT"_s)), linesOf(expectedText));
    std::vector<std::string> expectedLines;
    for (const QByteArray& line : expectedText.split('\n')) {
        if (line.endsWith('\r'))
            expectedLines.push_back(line.chopped(1).toStdString());
    }
    QCOMPARE(readFile(printoutBase + u".RTF"_s),
             QByteArray::fromStdString(ReportRtf(expectedLines)));

    TMeldeAustausch reread;
    reread.LoadFromFile(QFile::encodeName(exchangeFile).toStdString());
    TMeldeAustausch demo;
    demo.LoadFromFile(DEMO_FILE);
    QCOMPARE(reread.EventCount(), demo.EventCount());
    QCOMPARE(reread.GetEvent(3).Fee, 4.5);
    QCOMPARE(fromAnsi(reread.ClubName), u"SC Möwe Kanalstadt 1898"_s);
    QCOMPARE(reread.Verband, 9);
    QCOMPARE(fromAnsi(reread.Fina), u"GER"_s);
    QCOMPARE(fromAnsi(reread.ClubId), u"4711"_s);
    QCOMPARE(fromAnsi(reread.Person), u"Jörg Weiß"_s);
    QCOMPARE(fromAnsi(reread.Street), u"Kanaluferstraße 12"_s);
    QCOMPARE(fromAnsi(reread.Zip), u"31535"_s);
    QCOMPARE(fromAnsi(reread.ClubPlace), u"Kanalstadt"_s);
    QCOMPARE(fromAnsi(reread.Fon), u"05032 123456"_s);
    QVERIFY(reread.Fax.empty());
    QCOMPARE(fromAnsi(reread.EMail), u"meldung@sc-moewe.example"_s);
    const QList<TNominRecord> expectedNomins = {
        nomin(u"Adler, Brigitte"_s, 1968, 1, "12a", 3899, "DE-0815"),
        nomin(u"Adler, Brigitte"_s, 1968, 1, "18", NoTime, "DE-0815"),
        nomin(u"Müller, Jonas"_s, 2009, 0, "2", 16510, ""),
        nomin(u"Müller, Jonas"_s, 2009, 0, "13", 3005, ""),
        nomin(u"Schulz, Lena"_s, 2012, 1, "5", 3412, "123456"),
        nomin(u"Schulz, Lena"_s, 2012, 1, "16", 4105, "123456"),
        nomin(u"Schulz, Lena"_s, 2012, 1, "14", 7599, "123456"),
    };
    QCOMPARE(reread.NominCount(), int(expectedNomins.size()));
    for (int i = 0; i < reread.NominCount(); ++i)
        QCOMPARE(reread.GetNomin(i + 1), expectedNomins[i]);
}

// A club enters a first competition and leaves with saving; the store remembers it. The next
// competition takes the club data and the swimmer with his time from the store, with a few
// keys.
void TestEndToEnd::secondCompetition_enteredFromTheFirstOnesStore() {
    const TempDataDir dataDir;
    MessageRecorder messages;
    const auto leaveSaving = [&messages](TMainWindow& window) {
        NextModal exitNotice([](QWidget*) { press(Qt::Key_Return); });
        messages.setNextAnswer(AnswerYes);
        pressAccelerator(Qt::Key_B);
        QTRY_VERIFY(!window.isVisible());
        QVERIFY(exitNotice.seen());
    };

    QTemporaryDir first;
    QVERIFY(QFile::copy(QStringLiteral(DEMO_FILE), first.filePath(u"EXCHANGE.NT2"_s)));
    QVERIFY(QFile::setPermissions(first.filePath(u"EXCHANGE.NT2"_s),
                                  QFile::ReadOwner | QFile::WriteOwner));
    {
        TMainWindow window(first.path());
        window.show();
        QVERIFY(activate(&window));
        {
            NextModal clubData(fillInClubData);
            pressAccelerator(Qt::Key_V);
            QTRY_VERIFY(clubData.seen());
        }
        QVERIFY(activate(&window));
        {
            NextModal entries([](QWidget* dialog) {
                typeSwimmer(u"Jonas Müller"_s, u"09"_s, {}, u"DE-2468"_s);
                typeStartAndAdopt(u"2"_s, u"24510"_s);
                pressAccelerator(Qt::Key_K);
                QVERIFY(!dialog->isVisible());
            });
            pressAccelerator(Qt::Key_M);
            QTRY_VERIFY(entries.seen());
        }
        QVERIFY(activate(&window));
        leaveSaving(window);
    }
    QVERIFY(!QTest::currentTestFailed());

    // The next competition, half a year later, without a club and without entries.
    QTemporaryDir second;
    const QString secondFile = second.filePath(u"EXCHANGE.NT2"_s);
    {
        TMeldeAustausch autumn;
        autumn.LoadFromFile(DEMO_FILE);
        autumn.CompName = "Herbstpokal";
        autumn.Date1 = "09.10.2027";
        autumn.SaveToFile(QFile::encodeName(secondFile).toStdString());
    }
    {
        TMainWindow window(second.path());
        window.show();
        QVERIFY(activate(&window));
        {
            NextModal clubData([](QWidget* dialog) {
                QCOMPARE(qobject_cast<QLineEdit*>(focused())->text(), u"SC Möwe Kanalstadt 1898"_s);
                QCOMPARE(dialog->findChild<QLabel*>(u"LabelHerkunft"_s)->text(),
                         u"Vereinsdaten der letzten Meldung übernommen."_s);
                pressAccelerator(Qt::Key_K);
                QVERIFY(!dialog->isVisible());
            });
            pressAccelerator(Qt::Key_V);
            QTRY_VERIFY(clubData.seen());
        }
        QVERIFY(activate(&window));
        {
            NextModal entries([](QWidget* dialog) {
                type(u"mül"_s);
                press(Qt::Key_Down);
                press(Qt::Key_Return);
                QCOMPARE(focusedName(), u"EditWkNr"_s);
                typeAndEnter(u"2"_s);
                QCOMPARE(qobject_cast<QLineEdit*>(focused())->displayText(), u"02:45,10"_s);
                QCOMPARE(dialog->findChild<QLabel*>(u"LabelHinweis"_s)->text(),
                         u"Meldezeit vom 13.03.2027, Frühjahrsmeeting um den Pokal der "
                         u"Stadtwerke"_s);
                press(Qt::Key_Return);
                press(Qt::Key_Return);
                pressAccelerator(Qt::Key_K);
                QVERIFY(!dialog->isVisible());
            });
            pressAccelerator(Qt::Key_M);
            QTRY_VERIFY(entries.seen());
        }
        QVERIFY(activate(&window));
        leaveSaving(window);
    }
    QCOMPARE(messages.shown, QStringList(2, u"Frage: Daten jetzt speichern?"_s));

    TMeldeAustausch reread;
    reread.LoadFromFile(QFile::encodeName(secondFile).toStdString());
    QCOMPARE(fromAnsi(reread.ClubName), u"SC Möwe Kanalstadt 1898"_s);
    QCOMPARE(fromAnsi(reread.Person), u"Jörg Weiß"_s);
    QCOMPARE(reread.NominCount(), 1);
    QCOMPARE(reread.GetNomin(1), nomin(u"Müller, Jonas"_s, 2009, 0, "2", 16510, "DE-2468"));
}

// The facts each export must carry of what was entered; a Format 7 list is asked for by its
// name although the invitation is Format 8.
void TestEndToEnd::hostsInvitation_officialsRelaysFees_exportedInEachFormat_data() {
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("facts");
    const QString youth =
        u"1. Ahlborn, Tjark 2. Brunn, Ole 3. Caspari, Wiebke 4. Dornbusch, Femke"_s;
    const QString masters =
        u"1. Fehrmann, Gesa 2. Godt, Hinnerk 3. Harms, Telse 4. Iwersen, Momme"_s;
    const QString dsvFilter = u"DSV8-Vereinsmeldeliste (*.DSV8 *.dsv8)"_s;
    for (const QString version : {u"8"_s, u"7"_s})
        QTest::newRow(qPrintable(u"DSV"_s + version))
            << u"meldung.dsv"_s + version << dsvFilter
            << QStringList{u"Format "_s + version, u"Kampfrichter Kraus, Martina: 1 SR 2 SR"_s,
                           u"Trainer Falk, Sabine"_s, u"Staffel SV Möwe 1 JG;2012;2015: "_s + youth,
                           u"Staffel SV Möwe Masters AK;160+;: "_s + masters};
    QTest::newRow("Lenex") << u"meldung.lef"_s << u"Lenex (*.lef)"_s
                           << QStringList{u"Lenex"_s, u"Staffel SV Möwe 1 -1..-1: "_s + youth,
                                          u"Staffel SV Möwe Masters 160..199: "_s + masters,
                                          u"Kampfrichter Kraus, Martina:"_s};
}

void TestEndToEnd::hostsInvitation_officialsRelaysFees_exportedInEachFormat() {
    QFETCH(QString, fileName);
    QFETCH(QString, filter);
    QFETCH(QStringList, facts);
    // Entered before the deadline: no late fees, no word about it.
    PinCurrentTime(QDateTime(QDate(2026, 12, 20), QTime(12, 0)).toSecsSinceEpoch());
    TempDataDir dataDir;
    storeRelayPeople<TSwimmer>(dataDir.store());
    TOfficial kraus = official("Kraus, Martina", "4711", "WKR", "W");
    TOfficial lindner = official("Lindner, Paul", "", "SCH", "M");
    TTrainer falk{0, "Falk, Sabine", "W"};
    QVERIFY(dataDir.store().SaveOfficial(kraus) && dataDir.store().SaveOfficial(lindner) &&
            dataDir.store().SaveTrainer(falk));
    QTemporaryDir folder;
    const QString invitation = folder.filePath(u"2027-03-14-Musterst-Wk.DSV8"_s);
    QVERIFY(QFile::copy(ExpectedFolder + u"2027-03-14-Musterst-Wk.DSV8"_s, invitation));
    MessageRecorder messages;

    TMainWindow window(invitation);
    window.show();
    QVERIFY(activate(&window));
    {
        NextModal clubData(fillInClubData);
        pressAccelerator(Qt::Key_V);
        QTRY_VERIFY(clubData.seen());
    }
    QVERIFY(activate(&window));
    {
        NextModal officials(nominateOfficialAndTrainer);
        pressAccelerator(Qt::Key_F);
        QTRY_VERIFY(officials.seen());
    }
    QVERIFY(activate(&window));
    {
        NextModal entries(enterSlowEntryAndRelays);
        pressAccelerator(Qt::Key_M);
        QTRY_VERIFY(entries.seen());
    }
    QVERIFY(!QTest::currentTestFailed());
    QVERIFY(activate(&window));

    // Fees: 5,50 for the start, 2 x 9,00 for the relays, the club's 10,00, 2,00 for the one
    // swimmer with a start of her own and 2 x 5,00 for the sections with starts.
    pressAccelerator(Qt::Key_G);
    QTRY_COMPARE(focusedName(), u"ButtonClose"_s);
    const QString overview = folder.filePath(u"meldegeld"_s);
    FileDialogSeam::setNextFileName(overview, u"Reiner Text (*.TXT)"_s);
    pressAccelerator(Qt::Key_S);
    QTRY_VERIFY(QFile::exists(overview + u".TXT"_s));
    const QString text = QString::fromLatin1(readFile(overview + u".TXT"_s));
    const qsizetype total = text.indexOf(u"Meldegeld gesamt"_s);
    QVERIFY(total >= 0);
    QCOMPARE(text.mid(total).section(u'\n', 0, 0).section(u':', 1).simplified(), u"45,50 EUR"_s);
    QVERIFY(text.contains(u"3:10,00"_s)); // the slow entry among the hints
    pressAccelerator(Qt::Key_C);
    QTRY_VERIFY(window.mdiArea()->subWindowList().isEmpty());
    QVERIFY(activate(&window));

    const QString exported = folder.filePath(fileName);
    FileDialogSeam::setNextFileName(exported, filter);
    pressAccelerator(Qt::Key_E);
    QTRY_VERIFY(QFile::exists(exported));
    QStringList breaches;
    const QByteArray bytes = readFile(exported);
    QCOMPARE(fileName.endsWith(u".lef"_s) ? lenexFacts(bytes, breaches) : dsvFacts(bytes, breaches),
             facts);
    QCOMPARE(breaches.join(u'\n'), QString());
}

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
