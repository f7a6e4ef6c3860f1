// SPDX-License-Identifier: GPL-3.0-or-later
// The entry dialog with a store that knows the club's swimmers and their times: the list under
// the name field, driven by the keyboard, and the entry time it suggests. Keys that do not
// act on the list must mean what they meant before.
#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "conversions.h"
#include "discipline.h"
#include "entrydialog.h"
#include "environment.h"
#include "global.h"
#include "meldeaustausch.h"
#include "messages.h"
#include "modaldialog.h"
#include "tempdatadir.h"
#include "windows1252.h"

using namespace Qt::StringLiterals;

namespace {

TEventRecord event(const char* number, const char* name, std::uint8_t sex, bool relay = false) {
    TEventRecord result = EmptyEvent;
    result.WkNr = TMeldeAustausch::TextToWkNr(number);
    result.Name = name;
    result.Sex = sex;
    result.Staffel = relay;
    result.EarliestBirthYear = 1990;
    result.LatestBirthYear = 2020;
    return result;
}

TNominRecord nomin(const char* name, int year, std::uint8_t sex, const char* wkNr, int time,
                   const char* regNr) {
    return {name, year, sex, TMeldeAustausch::TextToWkNr(wkNr), time, regNr};
}

// A competition whose first day is `date`, with an individual event and a relay.
TMeldeAustausch competition(const char* name, const char* date) {
    TMeldeAustausch model;
    model.CompName = name;
    model.Date1 = date;
    model.LaneLen = 25;
    model.SetEvent(1, event("1", "100m Freistil", 2));
    model.SetEvent(2, event("2", "50m Brust", 2));
    model.SetEvent(3, event("3", "4x50m Lagen", 2, true));
    return model;
}

// A swim of Hans (2008, DE-4711) from a result list.
TSwim swumByHans(const char* event, int time, int year, int month, int day, int laneLength) {
    TSwim swim;
    swim.Name = "Meier, Hans";
    swim.BirthYear = 2008;
    swim.RegNr = "DE-4711";
    swim.Discipline = *ReadDiscipline(event);
    swim.LaneLength = laneLength;
    swim.Date =
        std::chrono::year_month_day(std::chrono::year(year), std::chrono::month(unsigned(month)),
                                    std::chrono::day(unsigned(day)));
    swim.CompName = "Bezirksmeisterschaft";
    swim.Hundredths = time;
    return swim;
}

QString focusedName() {
    return focused() ? focused()->objectName() : QString();
}

// What the user sees after some keys: where the focus is, the fields and the messages.
struct Outcome {
    QString focus, name, year, regNr, wkNr;
    QStringList shown;
    bool listOpen = false;
    bool operator==(const Outcome&) const = default;
};

char* toString(const Outcome& outcome) {
    return QTest::toString(QStringList{outcome.focus, outcome.name, outcome.year, outcome.regNr,
                                       outcome.wkNr, outcome.shown.join(u" / "_s),
                                       outcome.listOpen ? u"list open"_s : u"list closed"_s}
                               .join(u" | "_s));
}

} // namespace

class TestSwimmerCompletion : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TempDataDir> dataDir;
    std::unique_ptr<MessageRecorder> messages;
    TMeldeAustausch model;
    std::unique_ptr<TEntryDialog> dialog;

    QLineEdit* edit(const QString& name) const { return dialog->findChild<QLineEdit*>(name); }
    QAbstractItemView* choice() const { return dialog->findChild<QCompleter*>()->popup(); }
    QStringList offeredRows() const {
        QStringList rows;
        for (int row = 0; row < choice()->model()->rowCount(); ++row)
            rows << choice()->model()->index(row, 0).data().toString();
        return rows;
    }
    // The store remembers a first competition: Hans with two times, Anna with one. Paul is
    // switched off.
    void fillStore(TSwimmerStore& store) {
        TMeldeAustausch first = competition("Stadtmeisterschaft", "14.06.2026");
        first.SetNomin(1, nomin("Meier, Hans", 2008, 0, "1", 6530, "DE-4711"));
        first.SetNomin(2, nomin("Meier, Hans", 2008, 0, "2", 3912, "DE-4711"));
        first.SetNomin(3, nomin("Meierling, Anna", 2010, 1, "1", 7102, ""));
        QVERIFY(store.RememberCompetition(first));
        TSwimmer paul;
        paul.Name = "Meier, Paul";
        paul.BirthYear = 2009;
        paul.Active = false;
        QVERIFY(store.SaveSwimmer(paul));
    }
    void openDialog(TSwimmerStore& store) {
        dialog = std::make_unique<TEntryDialog>(model, store);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QCOMPARE(focusedName(), u"EditName"_s);
    }
    Outcome outcome() const {
        return {focusedName(),
                edit(u"EditName"_s)->text(),
                edit(u"EditJahrgang"_s)->text(),
                edit(u"EditRegNummer"_s)->text(),
                edit(u"EditWkNr"_s)->text(),
                messages->shown,
                choice()->isVisible()};
    }
    // Types `name` into a fresh dialog on `store`, then presses `key`; the list must be closed
    // then, for it never stays behind when the focus moves on.
    Outcome typeNameThen(TSwimmerStore& store, const QString& name, Qt::Key key,
                         bool& listWasOpen) {
        openDialog(store);
        type(name);
        listWasOpen = choice()->isVisible();
        press(key);
        Outcome result = outcome();
        dialog.reset();
        messages->shown.clear();
        return result;
    }

    // Shift+F10 on the entry list opens its menu; Down to `item`, Enter.
    void chooseFromListMenu(const QString& item) {
        QCOMPARE(focusedName(), u"Meldeliste"_s);
        bool chosen = false;
        QTimer::singleShot(0, this, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            for (int step = 0; step < menu->actions().size() && !chosen; ++step) {
                QTest::keyClick(menu, Qt::Key_Down);
                chosen = menu->activeAction() && menu->activeAction()->objectName() == item;
            }
            QTest::keyClick(menu, chosen ? Qt::Key_Return : Qt::Key_Escape);
        });
        press(Qt::Key_F10, Qt::ShiftModifier);
        QVERIFY(chosen);
        QTRY_VERIFY(!QApplication::activePopupWidget());
        // The offscreen platform does not give the window back after a popup.
        dialog->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), dialog.get());
    }
    QList<int> times() const {
        QList<int> result;
        for (int position = 1; position <= model.NominCount(); ++position)
            result << model.Nomin(position).Time;
        return result;
    }

private slots:
    void init() {
        PinCurrentYear(2026);
        dataDir.reset(); // gives the variable back first
        dataDir = std::make_unique<TempDataDir>();
        fillStore(dataDir->store());
        model = competition("Bezirksmeisterschaft", "01.07.2026");
        Global::ResetDataChanged();
        messages = std::make_unique<MessageRecorder>();
    }
    void cleanup() {
        dialog.reset();
        messages.reset();
        dataDir.reset();
        PinCurrentYear(0);
    }

    // Down moves into the list and through it, Up back; Enter takes the highlighted swimmer
    // into every swimmer field, replacing what they held, and goes on to the event number.
    void list_downAndEnter_takesTheSwimmer() {
        openDialog(dataDir->store());
        type(u"mei"_s);
        QVERIFY(choice()->isVisible());
        QCOMPARE(offeredRows(), (QStringList{u"Meier, Hans · 2008 · männlich · DE-4711"_s,
                                             u"Meierling, Anna · 2010 · weiblich"_s}));
        QVERIFY(!choice()->currentIndex().isValid());
        press(Qt::Key_Down);
        press(Qt::Key_Down);
        press(Qt::Key_Down); // stays on the last row
        QCOMPARE(choice()->currentIndex().row(), 1);
        press(Qt::Key_Up);
        QCOMPARE(choice()->currentIndex().row(), 0);
        press(Qt::Key_Return);
        QVERIFY(!choice()->isVisible());
        QCOMPARE(outcome(), (Outcome{u"EditWkNr"_s, u"Meier, Hans"_s, u"2008"_s, u"DE-4711"_s,
                                     QString(), QStringList()}));

        // The first name matches too, in any letter case; a swimmer without a registration
        // number clears the one shown.
        edit(u"EditName"_s)->setFocus(Qt::TabFocusReason);
        press(Qt::Key_A, Qt::ControlModifier);
        type(u"ANN"_s);
        QCOMPARE(offeredRows(), QStringList{u"Meierling, Anna · 2010 · weiblich"_s});
        press(Qt::Key_Down);
        press(Qt::Key_Return);
        QCOMPARE(outcome(), (Outcome{u"EditWkNr"_s, u"Meierling, Anna"_s, u"2010"_s, QString(),
                                     QString(), QStringList()}));
        QCOMPARE(dialog->findChild<QComboBox*>(u"EditGeschlecht"_s)->currentIndex(), 1);
        QVERIFY(dialog->isChanged());
    }

    // With the list open and no row highlighted, Enter, Up and Tab do exactly what they do
    // in a dialog whose store knows nobody: move on, or refuse a name without a comma.
    void list_openWithoutHighlight_keysKeepTheirMeaning_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Qt::Key>("key");
        QTest::newRow("whole stored name, Enter") << u"Meier, Hans"_s << Qt::Key_Return;
        QTest::newRow("part of a stored name, Enter") << u"Meier, H"_s << Qt::Key_Return;
        QTest::newRow("surname only, Enter") << u"Meier"_s << Qt::Key_Return;
        QTest::newRow("whole stored name, Up") << u"Meier, Hans"_s << Qt::Key_Up;
        QTest::newRow("part of a stored name, Tab") << u"meier, h"_s << Qt::Key_Tab;
    }
    void list_openWithoutHighlight_keysKeepTheirMeaning() {
        QFETCH(QString, name);
        QFETCH(Qt::Key, key);
        bool listWasOpen = false;
        const Outcome withStore = typeNameThen(dataDir->store(), name, key, listWasOpen);
        QVERIFY(listWasOpen);
        TempDataDir emptyStore;
        bool emptyListOpen = true;
        const Outcome without = typeNameThen(emptyStore.store(), name, key, emptyListOpen);
        QVERIFY(!emptyListOpen);
        QCOMPARE(withStore, without);
        QVERIFY(withStore.focus != u"EditWkNr"_s);
    }

    // Escape closes the list only; the next Escape is the dialog's again.
    void list_escape_closesTheListOnly() {
        openDialog(dataDir->store());
        type(u"mei"_s);
        QVERIFY(choice()->isVisible());
        press(Qt::Key_Down);
        press(Qt::Key_Escape);
        QVERIFY(!choice()->isVisible());
        QVERIFY(dialog->isVisible());
        QCOMPARE(outcome(),
                 (Outcome{u"EditName"_s, u"mei"_s, QString(), QString(), QString(), {}}));
        messages->setNextAnswer(AnswerNo);
        press(Qt::Key_Escape);
        QCOMPARE(messages->shown,
                 QStringList{u"Frage: Letzte Änderungen / Eingabe wirklich verwerfen?"_s});
        QVERIFY(dialog->isVisible());
    }

    // After the event number, an empty time field gets the swimmer's fastest time of the last
    // twelve months before the competition in that discipline, selected, with where it came
    // from; Enter adopts it like a typed one.
    void eventNumber_knownSwimmer_suggestsTheStoredTime() {
        openDialog(dataDir->store());
        type(u"Meier, H"_s);
        press(Qt::Key_Down);
        press(Qt::Key_Return);
        type(u"2"_s);
        press(Qt::Key_Return);
        QCOMPARE(focusedName(), u"EditMeldezeit"_s);
        auto* time = edit(u"EditMeldezeit"_s);
        QCOMPARE(time->displayText(), u"00:39,12"_s);
        QCOMPARE(time->selectedText(), time->displayText());
        QCOMPARE(dialog->findChild<QLabel*>(u"LabelHinweis"_s)->text(),
                 u"Meldezeit vom 14.06.2026, Stadtmeisterschaft"_s);
        press(Qt::Key_Return);
        press(Qt::Key_Return);
        QCOMPARE(model.NominCount(), 1);
        QCOMPARE(model.Nomin(1), nomin("Meier, Hans", 2008, 0, "2", 3912, "DE-4711"));
        QCOMPARE(messages->shown, QStringList());

        // Typed rather than chosen, in other letters, the same swimmer gets his time too.
        press(Qt::Key_A, Qt::ControlModifier);
        type(u"meier, hans"_s);
        press(Qt::Key_Escape);
        for (int i = 0; i < 4; ++i)
            press(Qt::Key_Return);
        type(u"1"_s);
        press(Qt::Key_Return);
        QCOMPARE(time->displayText(), u"01:05,30"_s);
        // A time typed over it has no origin to name, and is the one adopted.
        type(u"010203"_s);
        QVERIFY(dialog->findChild<QLabel*>(u"LabelHinweis"_s)->text().isEmpty());
        press(Qt::Key_Return);
        press(Qt::Key_Return);
        QCOMPARE(model.NominCount(), 2);
        QCOMPARE(model.Nomin(2).Time, 6203);
    }

    // A suggested time follows the event number when it is changed, or goes when the new
    // event has none; a time typed over it stays.
    void eventNumberChanged_suggestionFollows_data() {
        QTest::addColumn<QString>("typedTime");
        QTest::addColumn<QString>("secondWkNr");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("hint");
        QTest::newRow("the new event's time") << QString() << u"1"_s << u"01:05,30"_s
                                              << u"Meldezeit vom 14.06.2026, Stadtmeisterschaft"_s;
        QTest::newRow("no time for the new event")
            << QString() << u"3"_s << u"__:__,__"_s << QString();
        QTest::newRow("typed time stays") << u"010203"_s << u"1"_s << u"01:02,03"_s << QString();
    }

    void eventNumberChanged_suggestionFollows() {
        QFETCH(QString, typedTime);
        QFETCH(QString, secondWkNr);
        QFETCH(QString, time);
        QFETCH(QString, hint);
        openDialog(dataDir->store());
        type(u"Meier, Hans"_s);
        press(Qt::Key_Return);
        type(u"2008"_s);
        for (int i = 0; i < 3; ++i)
            press(Qt::Key_Return);
        type(u"2"_s);
        press(Qt::Key_Return);
        QCOMPARE(edit(u"EditMeldezeit"_s)->displayText(), u"00:39,12"_s);
        type(typedTime);
        press(Qt::Key_Up);
        QCOMPARE(focusedName(), u"EditWkNr"_s);
        press(Qt::Key_A, Qt::ControlModifier);
        type(secondWkNr);
        press(Qt::Key_Return);
        // A relay's swimmers come before its time.
        QCOMPARE(focusedName(), secondWkNr == u"3"_s ? u"EditSchwimmer1"_s : u"EditMeldezeit"_s);
        QCOMPARE(edit(u"EditMeldezeit"_s)->displayText(), time);
        QCOMPARE(dialog->findChild<QLabel*>(u"LabelHinweis"_s)->text(), hint);
    }

    // The name field takes the exchange file's 30 characters; an adopted entry whose number
    // the store knows for another person says whose it is, under the fields.
    void adoptedEntry_numberOfAnotherHinted_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("regNr");
        QTest::addColumn<QString>("adoptedName");
        QTest::addColumn<QString>("hint");
        QTest::newRow("another's number, 31 characters typed")
            << u"Winterberg-Lüdenscheidt, Jonass"_s << u"2011"_s << u"DE-4711"_s
            << u"Winterberg-Lüdenscheidt, Jonas"_s
            << u"Hinweis: Reg.-Nr. DE-4711 gehört zu Meier, Hans (2008)."_s;
        QTest::newRow("own number")
            << u"Meier, Hans"_s << u"2008"_s << u"DE-4711"_s << u"Meier, Hans"_s << QString();
    }

    void adoptedEntry_numberOfAnotherHinted() {
        QFETCH(QString, name);
        QFETCH(QString, year);
        QFETCH(QString, regNr);
        QFETCH(QString, adoptedName);
        QFETCH(QString, hint);
        openDialog(dataDir->store());
        type(name);
        QCOMPARE(edit(u"EditName"_s)->text(), adoptedName);
        press(Qt::Key_Return);
        type(year);
        press(Qt::Key_Return);
        press(Qt::Key_Return);
        type(regNr);
        press(Qt::Key_Return);
        type(u"1"_s);
        press(Qt::Key_Return);
        press(Qt::Key_Return);
        press(Qt::Key_Return);
        QCOMPARE(model.NominCount(), 1);
        QCOMPARE(QString::fromStdString(AnsiToUtf8(model.Nomin(1).Name)), adoptedName);
        QCOMPARE(dialog->findChild<QLabel*>(u"LabelHinweis"_s)->toolTip(), hint);
        QCOMPARE(messages->shown, QStringList());
    }

    // No suggestion for a relay, for an event whose discipline the swimmer has no time in, for
    // a swimmer the store does not know, for a time older than twelve months before the
    // competition's first day, or where a time was typed already.
    void eventNumber_noFittingTime_leavesTheFieldEmpty_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("wkNr");
        QTest::addColumn<QByteArray>("firstDay");
        QTest::addColumn<QString>("typedTime");
        QTest::newRow("relay") << u"Meier, Hans"_s << u"2008"_s << u"3"_s
                               << QByteArray("01.07.2026") << QString();
        QTest::newRow("no time in that discipline")
            << u"Meierling, Anna"_s << u"2010"_s << u"2"_s << QByteArray("01.07.2026") << QString();
        QTest::newRow("unknown swimmer")
            << u"Meier, Hans"_s << u"2007"_s << u"1"_s << QByteArray("01.07.2026") << QString();
        QTest::newRow("time too old")
            << u"Meier, Hans"_s << u"2008"_s << u"1"_s << QByteArray("15.06.2027") << QString();
        QTest::newRow("time typed first")
            << u"Meier, Hans"_s << u"2008"_s << u"1"_s << QByteArray("01.07.2026") << u"010000"_s;
    }
    void eventNumber_noFittingTime_leavesTheFieldEmpty() {
        QFETCH(QString, name);
        QFETCH(QString, year);
        QFETCH(QString, wkNr);
        QFETCH(QByteArray, firstDay);
        QFETCH(QString, typedTime);
        model.Date1 = firstDay.toStdString();
        openDialog(dataDir->store());
        type(name);
        press(Qt::Key_Escape);
        press(Qt::Key_Return);
        type(year);
        press(Qt::Key_Return);
        press(Qt::Key_Return);
        press(Qt::Key_Return);
        QCOMPARE(focusedName(), u"EditWkNr"_s);
        if (!typedTime.isEmpty()) {
            // On to the time, the time typed, Up to the event number again.
            press(Qt::Key_Return);
            type(typedTime);
            press(Qt::Key_Up);
            QCOMPARE(focusedName(), u"EditWkNr"_s);
        }
        type(wkNr);
        press(Qt::Key_Return);
        QCOMPARE(focusedName(), wkNr == u"3"_s ? u"EditSchwimmer1"_s : u"EditMeldezeit"_s);
        QCOMPARE(edit(u"EditMeldezeit"_s)->displayText(),
                 typedTime.isEmpty() ? u"__:__,__"_s : u"01:00,00"_s);
        QVERIFY(dialog->findChild<QLabel*>(u"LabelHinweis"_s)->text().isEmpty());
    }

    // "Meldezeiten vorschlagen" fills every entry without a time that the store knows a time
    // for, after asking; Abbrechen puts the empty times back, O&K keeps them.
    void listMenu_suggestTimes_fillsAfterAskingAndAbbrechenUndoes() {
        model.SetNomin(1, nomin("Meier, Hans", 2008, 0, "1", NoTime, "DE-4711"));
        model.SetNomin(2, nomin("Meier, Hans", 2008, 0, "2", 4000, "DE-4711"));
        model.SetNomin(3, nomin("Meier, Paul", 2009, 0, "1", NoTime, ""));
        model.SetNomin(4, nomin("Meierling, Anna", 2010, 1, "1", NoTime, ""));
        model.SetNomin(5, nomin("Meierling, Anna", 2010, 1, "2", NoTime, ""));
        const QList<int> before = times();
        openDialog(dataDir->store());
        // Backwards past the button bar: the list follows the last button.
        for (int i = 0; i < 3; ++i)
            press(Qt::Key_Tab, Qt::ShiftModifier);

        messages->setNextAnswer(AnswerNo);
        chooseFromListMenu(u"PopupMeldezeiten"_s);
        const QString question = u"Frage: Für 2 von 4 Meldungen ohne Meldezeit ist eine Zeit aus "
                                 u"den letzten 12 Monaten bekannt. Diese Zeiten eintragen?"_s;
        QCOMPARE(messages->shown, QStringList{question});
        QCOMPARE(times(), before);

        messages->setNextAnswer(AnswerYes);
        chooseFromListMenu(u"PopupMeldezeiten"_s);
        QCOMPARE(times(), (QList<int>{6530, 4000, NoTime, 7102, NoTime}));
        QCOMPARE(dialog->findChild<QLabel*>(u"LabelHinweis"_s)->text(),
                 u"2 Meldezeiten vorgeschlagen."_s);
        QCOMPARE(dialog->findChild<QTableView*>(u"Meldeliste"_s)->model()->index(0, 4).data(),
                 QVariant(u"01:05,30"_s));
        QVERIFY(!Global::DataChanged());

        messages->shown.clear();
        messages->setNextAnswer(AnswerYes);
        press(Qt::Key_Escape);
        QCOMPARE(messages->shown,
                 QStringList{u"Frage: Letzte Änderungen / Eingabe wirklich verwerfen?"_s});
        QVERIFY(!dialog->isVisible());
        QCOMPARE(times(), before);
        QVERIFY(!Global::DataChanged());

        // Again, and kept with O&K.
        openDialog(dataDir->store());
        for (int i = 0; i < 3; ++i)
            press(Qt::Key_Tab, Qt::ShiftModifier);
        messages->setNextAnswer(AnswerYes);
        chooseFromListMenu(u"PopupMeldezeiten"_s);
        pressAccelerator(Qt::Key_K);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(times(), (QList<int>{6530, 4000, NoTime, 7102, NoTime}));
        QVERIFY(Global::DataChanged());
    }

    // Swum times count beside entered ones on the competition's lane length within the twelve
    // months before its first day; the faster wins and the hint says which it was.
    void eventNumber_swumAndEnteredTimes_fasterWinsAndIsNamed() {
        // Entered 01:05,30 (100m Freistil) and 00:39,12 (50m Brust) on 14.06.2026, 25 m.
        QVERIFY(dataDir->store().ImportSwims({
            swumByHans("100m Freistil", 6480, 2026, 6, 20, 25), // faster than entered
            swumByHans("100m Freistil", 6000, 2026, 6, 21, 50), // other lane length
            swumByHans("100m Freistil", 6100, 2025, 6, 30, 25), // a day too old
            swumByHans("50m Brust", 4000, 2026, 6, 20, 25),     // slower than entered
        }));
        const auto suggested = [&](const QString& wkNr) {
            openDialog(dataDir->store());
            type(u"Meier, H"_s);
            press(Qt::Key_Down);
            press(Qt::Key_Return);
            type(wkNr);
            press(Qt::Key_Return);
            const QString result = edit(u"EditMeldezeit"_s)->displayText() + u" / "_s +
                                   dialog->findChild<QLabel*>(u"LabelHinweis"_s)->text();
            dialog.reset();
            return result;
        };
        QCOMPARE(suggested(u"1"_s),
                 u"01:04,80 / Bestzeit 01:04,80 vom 20.06.2026, Bezirksmeisterschaft"_s);
        QCOMPARE(suggested(u"2"_s), u"00:39,12 / Meldezeit vom 14.06.2026, Stadtmeisterschaft"_s);

        // On a long-course competition only the long-course swim counts, never a converted
        // short-course time; without one nothing is suggested.
        model.LaneLen = 50;
        QCOMPARE(suggested(u"1"_s),
                 u"01:00,00 / Bestzeit 01:00,00 vom 21.06.2026, Bezirksmeisterschaft"_s);
        QCOMPARE(suggested(u"2"_s), u"__:__,__ / "_s);
    }
};

QTEST_MAIN(TestSwimmerCompletion)
#include "tst_swimmercompletion.moc"
