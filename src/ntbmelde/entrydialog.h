// SPDX-License-Identifier: GPL-3.0-or-later
// The entry dialog "Meldungen eingeben, bearbeiten": the fields of one nomination on the left,
// the list of all nominations on the right. Every entry that passes the checks is written into
// the program's model at once.
#pragma once

#include <QDialog>
#include <QHash>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "companionfile.h"
#include "invitation.h"
#include "qualifying.h"
#include "swimmerstore.h"

class QAction;
class QComboBox;
class QCompleter;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStandardItemModel;
class QTableView;
class QVBoxLayout;
class TMeldeAustausch;
class TEntryListModel;
struct TEntryInput;
enum class EntryField;

class TEntryDialog : public QDialog {
    Q_OBJECT
public:
    // Edits the nominations of `model`, offering the swimmers and times that `store` knows;
    // an adopted entry that misses one of the host's `qualifyingTimes` is hinted. The swimmers
    // of relay teams are kept in the companion file of `exchangePath` (none without one).
    TEntryDialog(TMeldeAustausch& model, TSwimmerStore& store,
                 std::vector<TQualifyingTime> qualifyingTimes = {}, std::string exchangePath = {},
                 QWidget* parent = nullptr);

    // Checks the fields and adopts them. True when the caller may go on: nothing was pending,
    // the user declined to change an existing entry, or the entry was adopted. False after a
    // refusal, with its message shown and the focus on the field to correct.
    bool TakeEntry();
    // Shows the nomination at CurrentNomin in the fields.
    void LoadEntry();
    // Shows the model's nominations afresh, with no row selected.
    void FillList();

    // The input state: pending changes, an existing entry loaded for change, and the position
    // of the entry the fields show (NominCount + 1 while a new one is typed).
    bool isChanged() const { return Changed; }
    bool isEditExisting() const { return EditExisting; }
    int currentNomin() const { return CurrentNomin; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Escape presses "Ab&brechen".
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void SomethingChanged();
    void ButtonOkClick();
    void ButtonTakeClick();
    void ButtonEscClick();
    void ButtonNewClick();
    void ListMenuPopup(const QPoint& position);
    void PopupEditClick();
    void PopupDeleteClick();
    void PopSortClick();
    void PopupMeldezeitenClick();

private:
    void createControls();
    QVBoxLayout* createList();
    void FormCreate();
    bool FormCloseQuery();
    bool leaveFieldFor(QPushButton* button);
    void newEntry();
    void closeDialog();
    void showHints();
    void showHint(const QString& text);

    void focusField(QWidget* field);
    void enterField(QWidget* field, Qt::FocusReason reason);
    void exitField(QWidget* field);
    void EditNameExit();
    void EditMeldezeitExit();
    void EditWkNrKeyDown();
    void EditWkNrExit();

    void createCompletion();
    void offerSwimmers(const QString& typed);
    bool completionKeyPress(QKeyEvent* event);
    void takeSwimmer(int row);
    QLineEdit* completionField() const;
    bool isCompletionField(QWidget* field) const;
    std::optional<TStoredTime> suggestionFor(std::string_view name, int birthYear, std::uint8_t sex,
                                             std::string_view regNr, int wkNr) const;
    void suggestTime();
    std::optional<TStoredTime> relaySuggestion() const;

    // The relay team's swimmers, shown for a relay event only.
    void createRelayBox();
    bool hasRelayEvents() const;
    int typedRelayEvent() const;
    bool typedEventIsRelay() const;
    int relayLegsOfTypedEvent() const;
    void showRelayFields();
    void loadRelayFields(const TRelayLineUp* lineUp);
    QLineEdit* addRelayField();
    int legOf(QWidget* field) const;
    bool typedLineUp(TRelayLineUp& lineUp);
    void adoptLineUp(const TRelayLineUp& lineUp, const TRelayLineUp& replaced);
    void tellCompanionProblem();
    void keepFilledTimes();
    void discardFilledTimes();
    bool anythingPending() const { return Changed || !filledTimes.empty(); }

    TEntryInput fieldInput() const;
    QString timeFieldText() const;
    void setTimeFieldText(const QString& text);
    QWidget* fieldWidget(EntryField field) const;
    int listRow() const;
    bool MeldelisteKeyDown(const QKeyEvent& event);
    void markCurrentEntry();
    void showRefusedCharacter(const QString& character);

    TMeldeAustausch& model;
    const std::vector<TQualifyingTime> qualifyingTimes;
    TSwimmerStore& store;
    const std::string exchangePath;
    // The host's events as the kept invitation (else the exchange file) describes them: relay
    // classes by summed ages.
    TInvitation invitation;
    TCompanion companion;
    QString companionProblem;           // said once, when a relay is first entered
    QHash<QWidget*, QString> helpTexts; // shown in LabelHilfe while the field has the focus
    bool Changed = false;
    bool EditExisting = false;
    int CurrentNomin = 1;
    // The time of the loaded entry while the time field has not been edited.
    std::optional<int> storedTime;
    // A name that does not split into surname and first name, let pass on leaving its field
    // for a relay team's.
    bool nameUnchecked = false;
    // The hint line names where the time in the field came from.
    bool timeSuggested = false;
    // Entry times filled in from the store and not yet kept: position and the time before.
    // Abbrechen puts those back; the next change of the list, or O&K, keeps them.
    std::vector<std::pair<int, int>> filledTimes;

    QPushButton* ButtonOk;
    QPushButton* ButtonTake;
    QPushButton* ButtonEsc;
    QPushButton* ButtonNew;
    QLineEdit* EditName;
    QLineEdit* EditJahrgang;
    QComboBox* EditGeschlecht;
    QLineEdit* EditRegNummer;
    QLineEdit* EditWkNr;
    QLineEdit* EditMeldezeit;
    QLabel* LabelF4;
    QLabel* LabelHinweis;
    QLabel* LabelHilfe;
    QTableView* Meldeliste;
    TEntryListModel* listModel;
    QMenu* ListMenu;
    QAction* PopupEdit;
    QAction* PopupDelete;
    QAction* PopSort;
    QAction* PopupMeldezeiten;
    // The store's swimmers offered under the name field, row by row.
    QCompleter* swimmerCompleter;
    QStandardItemModel* offeredRows;
    std::vector<TSwimmer> offered;
    QGroupBox* relayBox;
    QGridLayout* relayRows;
    std::vector<QLineEdit*> relayFields; // "EditSchwimmer1" …, leg 1 first
    // The swimmer chosen or loaded for each field, until its text is edited.
    std::vector<std::optional<TRelaySwimmer>> relaySwimmers;
};
