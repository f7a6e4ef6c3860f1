// SPDX-License-Identifier: GPL-3.0-or-later
#include "entrydialog.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "ansi.h"
#include "appearance.h"
#include "conversions.h"
#include "dialogkeys.h"
#include "discipline.h"
#include "entrycheck.h"
#include "entrylistmodel.h"
#include "eventchooser.h"
#include "global.h"
#include "interopfiles.h"
#include "ioerror.h"
#include "meldeaustausch.h"
#include "messages.h"
#include "relayswimmers.h"
#include "relayteams.h"
#include "swimmeridentity.h"
#include "swimmertexts.h"
#include "typinglimit.h"
#include "waitcursor.h"
#include "warnings.h"

using namespace Qt::StringLiterals;

namespace {

const QString SortByWkNr = u"Sortieren nach WkNummer"_s;
const QString SortByName = u"Sortieren nach Name"_s;
// Six optional digit positions with fixed separators; "_" marks an empty position.
const QString TimeMask = u"00:00,00;_"_s;
const QChar TimeBlank = u'_';
// Help context of the entry-time message box.
constexpr int TimeHelpContext = 10013;
constexpr int HintLineHeight = 18;
constexpr int BoxWidth = 300;
constexpr int CaptionWidth = 70;
constexpr int ListHeight = 193;
constexpr QSize ButtonSize(110, 25);
// The size the dialog was drawn at; it grows where a font or the name column needs more.
constexpr QSize DesignedSize(729, 307);
// The list's name column shows names of this many characters whole.
constexpr int NameCharacters = 30;
// Dark red: noticed, but no error.
constexpr QColor HintColour(0x9c, 0x28, 0x00);
constexpr int SwimmersOffered = 12;

// The store's times count up to the competition's first day (today when it names none).
QDate competitionDay(const TMeldeAustausch& model) {
    const QDate day = competitionDate(model.Date1);
    return day.isValid() ? day : QDate::currentDate();
}

// Moving the focus inside the dialog is leaving a field; a message box or menu taking it
// for a while is not.
bool leavesField(Qt::FocusReason reason) {
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
           reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason ||
           reason == Qt::OtherFocusReason;
}

// Frames the list's current row while the list has the focus. Clicks and keys move that row
// (the list's commands act on it); the highlight stays with the entry in the fields.
class CurrentRowFrame : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
        if (!view || !view->hasFocus() || view->currentIndex().row() != index.row())
            return;
        const QRect cell = option.rect.adjusted(0, 0, -1, -1);
        painter->save();
        painter->setPen(option.palette.color(QPalette::Highlight));
        painter->drawLine(cell.topLeft(), cell.topRight());
        painter->drawLine(cell.bottomLeft(), cell.bottomRight());
        if (index.column() == 0)
            painter->drawLine(cell.topLeft(), cell.bottomLeft());
        if (index.column() == index.model()->columnCount() - 1)
            painter->drawLine(cell.topRight(), cell.bottomRight());
        painter->restore();
    }
};

// The rows of a box: a caption column and a field column, the fields at their own width.
QGridLayout* fieldRows(QGroupBox* box) {
    box->setMinimumWidth(BoxWidth);
    auto* rows = new QGridLayout(box);
    rows->setContentsMargins(8, 12, 8, 8);
    rows->setHorizontalSpacing(2);
    rows->setVerticalSpacing(6);
    rows->setColumnMinimumWidth(0, CaptionWidth);
    rows->setColumnStretch(1, 1);
    return rows;
}

void addField(QGridLayout* rows, const QString& label, QWidget* field) {
    const int row = rows->rowCount();
    rows->addWidget(new QLabel(label, field->parentWidget()), row, 0);
    rows->addWidget(field, row, 1, Qt::AlignLeft);
}

QLineEdit* addEdit(QGridLayout* rows, const QString& name, const QString& label, int width,
                   const QString& hint) {
    auto* edit = new QLineEdit(rows->parentWidget());
    edit->setObjectName(name);
    edit->setToolTip(hint);
    edit->setFixedWidth(width);
    addField(rows, label, edit);
    return edit;
}

} // namespace

TEntryDialog::TEntryDialog(TMeldeAustausch& model, TSwimmerStore& store,
                           std::vector<TQualifyingTime> qualifyingTimes, std::string exchangePath,
                           QWidget* parent)
    : QDialog(parent), model(model), qualifyingTimes(std::move(qualifyingTimes)), store(store),
      exchangePath(std::move(exchangePath)), invitation(InvitationFromModel(model)) {
    // Sorting and listing a host's merged file takes a moment.
    WaitCursor wait;
    if (!this->exchangePath.empty()) {
        // An invitation no longer readable leaves the exchange file's own events.
        if (const auto kept = FindKeptInvitation(this->exchangePath, model)) {
            try {
                invitation = ReadInvitationFile(*kept);
            } catch (const TInteropError&) {
            } catch (const TIoError&) {
            }
        }
        TCompanionLoad load = LoadCompanion(this->exchangePath, model);
        companion = std::move(load.Companion);
        companionProblem = load.Problem;
    }
    createControls();
    FormCreate();
}

void TEntryDialog::createControls() {
    setObjectName(u"EntryDialog"_s);
    setWindowTitle(u"Meldungen eingeben, bearbeiten"_s);
    useFixedDialogFrame(this);
    setFont(pixelFont(u"Arial"_s, QFont::SansSerif, 11));

    // The button bar comes first in the focus order, then the two boxes, then the list. The
    // buttons stand evenly spaced along the bottom.
    auto* buttonBar = new QHBoxLayout;
    buttonBar->setContentsMargins(0, 11, 0, 12);
    buttonBar->addStretch();
    auto addButton = [&](const QString& name, const QString& caption, const QString& hint,
                         void (TEntryDialog::*handler)()) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(name);
        button->setToolTip(hint);
        button->setMinimumSize(ButtonSize);
        buttonBar->addWidget(button);
        buttonBar->addStretch();
        button->setAutoDefault(false);
        button->setFocusPolicy(Qt::TabFocus); // see leaveFieldFor
        connect(button, &QPushButton::clicked, this, handler);
        return button;
    };
    ButtonOk = addButton(u"ButtonOk"_s, u"O&K"_s, u"Daten speichern und Dialog verlassen"_s,
                         &TEntryDialog::ButtonOkClick);
    ButtonTake = addButton(u"ButtonTake"_s, u"Ü&bernehmen"_s, u"Geänderte Daten übernehmen"_s,
                           &TEntryDialog::ButtonTakeClick);
    ButtonEsc =
        addButton(u"ButtonEsc"_s, u"Ab&brechen"_s,
                  u"ALLE Eingaben verwerfen und Dialog verlassen"_s, &TEntryDialog::ButtonEscClick);
    ButtonNew =
        addButton(u"ButtonNew"_s, u"Ne&ue Meldung"_s, QString(), &TEntryDialog::ButtonNewClick);
    // "Ü&bernehmen" and "Ab&brechen" share their letter. Alt+B presses the one that makes sense:
    // "Ü&bernehmen" while it is enabled, so that the key never throws pending input away, and
    // "Ab&brechen" otherwise.
    ButtonTake->setShortcut(QKeySequence());
    ButtonEsc->setShortcut(QKeySequence());
    auto* altB = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_B), this);
    connect(altB, &QShortcut::activated, this,
            [this] { (ButtonTake->isEnabled() ? ButtonTake : ButtonEsc)->animateClick(); });

    auto* swimmerBox = new QGroupBox(this);
    swimmerBox->setObjectName(u"GroupSchwimmer"_s);
    auto* swimmerRows = fieldRows(swimmerBox);
    EditName =
        addEdit(swimmerRows, u"EditName"_s, u"Name"_s, 210, u"Name des gemeldeten Schwimmers"_s);
    // What the exchange file holds: real double names reach 30 characters.
    QList<TypingLimit*> limits = {restrictTyping(EditName, static_cast<int>(NominNameCapacity))};
    EditJahrgang =
        addEdit(swimmerRows, u"EditJahrgang"_s, u"Jahrgang"_s, 50, u"Jahrgang des Schwimmers"_s);
    limits.append(restrictTyping(EditJahrgang, 4, FieldCharacters::Number));
    EditGeschlecht = new QComboBox(swimmerBox);
    EditGeschlecht->setObjectName(u"EditGeschlecht"_s);
    EditGeschlecht->addItems({u"Männlich"_s, u"Weiblich"_s, u"Mixed"_s});
    EditGeschlecht->setToolTip(u"Für welches Geschlecht ist dieser Wettkampf offen?"_s);
    EditGeschlecht->setMinimumWidth(110);
    addField(swimmerRows, u"Geschlecht"_s, EditGeschlecht);
    EditRegNummer = addEdit(swimmerRows, u"EditRegNummer"_s, u"Reg.-Nummer"_s, 130,
                            u"Registriernummer des gemeldeten Schwimmers"_s);
    limits.append(restrictTyping(EditRegNummer, 15));

    auto* eventBox = new QGroupBox(this);
    eventBox->setObjectName(u"GroupWettkampf"_s);
    auto* eventRows = fieldRows(eventBox);
    EditWkNr = addEdit(eventRows, u"EditWkNr"_s, u" Wk-Nr"_s, 50, u"Eingabe der Wettkampfnummer"_s);
    limits.append(restrictTyping(EditWkNr, 5));
    LabelF4 = new QLabel(u"F4 --> Wettkampf auswählen"_s, eventBox);
    LabelF4->setObjectName(u"LabelF4"_s);
    eventRows->addWidget(LabelF4, eventRows->rowCount(), 1);
    EditMeldezeit = addEdit(eventRows, u"EditMeldezeit"_s, u"Meldezeit"_s, 70,
                            u"Eingabe der Meldezeit. Format: MM:SS,HH"_s);
    EditMeldezeit->setInputMask(TimeMask);

    createRelayBox();
    QVBoxLayout* listColumn = createList();

    // The hints about an adopted entry are cut to the line's width by showHint.
    LabelHinweis = new QLabel(this);
    LabelHinweis->setObjectName(u"LabelHinweis"_s);
    LabelHinweis->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    LabelHinweis->setFixedHeight(HintLineHeight);
    QPalette hintColours = LabelHinweis->palette();
    hintColours.setColor(QPalette::WindowText, HintColour);
    LabelHinweis->setPalette(hintColours);

    LabelHilfe = new QLabel(this);
    LabelHilfe->setObjectName(u"LabelHilfe"_s);
    LabelHilfe->setMinimumHeight(20);
    LabelHilfe->setAlignment(Qt::AlignCenter);
    LabelHilfe->setFont(pixelFont(u"Arial"_s, QFont::SansSerif, 13));
    LabelHilfe->setText(
        u"Schwimmernamen möglichst im Format NACHNAME, VORNAME eingeben. Das Komma beachten!"_s);

    // The two boxes on the left, the list on the right, the hint and help lines and the
    // buttons under them.
    auto* fieldColumn = new QVBoxLayout;
    fieldColumn->setSpacing(2);
    fieldColumn->addWidget(swimmerBox);
    fieldColumn->addWidget(eventBox);
    fieldColumn->addWidget(relayBox);
    fieldColumn->addStretch();
    auto* top = new QHBoxLayout;
    top->setSpacing(2);
    top->addLayout(fieldColumn);
    top->addLayout(listColumn, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(top, 1);
    auto* lines = new QVBoxLayout;
    lines->setContentsMargins(6, 0, 8, 0);
    lines->setSpacing(0);
    lines->addWidget(LabelHinweis);
    lines->addWidget(LabelHilfe);
    layout->addLayout(lines);
    layout->addLayout(buttonBar);
    for (TypingLimit* limit : std::as_const(limits))
        connect(limit, &TypingLimit::characterRefused, this, &TEntryDialog::showRefusedCharacter);

    helpTexts = {
        {EditName, u"Schwimmernamen im Format NACHNAME, VORNAME eingeben. Komma beachten!"_s},
        {EditJahrgang, u"Jahrgang des Schwimmers zwei- oder vierstellig eingeben!"_s},
        {EditGeschlecht, u"Geschlecht des Schwimmers auswählen!"_s},
        {EditRegNummer, u"Registriernummer des Schwimmers eingeben, wenn vorhanden"_s},
        {EditWkNr, u"Wettkampfnummer eingeben. F4 für eine Auswahl!"_s},
        {EditMeldezeit, u"Meldezeit im Format 00:00,00 eingeben!"_s},
    };

    const QList<QWidget*> focusOrder = {ButtonOk, ButtonTake,    ButtonEsc,      ButtonNew,
                                        EditName, EditJahrgang,  EditGeschlecht, EditRegNummer,
                                        EditWkNr, EditMeldezeit, Meldeliste};
    for (qsizetype i = 1; i < focusOrder.size(); ++i)
        setTabOrder(focusOrder[i - 1], focusOrder[i]);

    bindSimulateEnter(EditName, UpDown::Move);
    bindSimulateEnterZahlen(EditJahrgang, UpDown::Move);
    bindSimulateEnter(EditGeschlecht, UpDown::Keep);
    bindSimulateEnter(EditRegNummer, UpDown::Move);
    bindSimulateEnter(EditWkNr, UpDown::Keep);
    bindSimulateEnterLetzte(EditMeldezeit, ButtonNew, nullptr, Typing::DigitsOnly, UpDown::Move);

    // The dialog's filter on the name field comes last and so sees its keys and focus first.
    createCompletion();
    for (QWidget* field : helpTexts.keys())
        field->installEventFilter(this);
    for (QLineEdit* edit : {EditName, EditJahrgang, EditRegNummer, EditWkNr, EditMeldezeit})
        connect(edit, &QLineEdit::textChanged, this, &TEntryDialog::SomethingChanged);
    connect(EditMeldezeit, &QLineEdit::textEdited, this, [this] {
        storedTime.reset();
        // A time typed over the suggested one has no origin to name.
        if (timeSuggested)
            showHint(QString());
    });
    connect(EditGeschlecht, &QComboBox::activated, this, &TEntryDialog::SomethingChanged);
    // The swimmers' fields follow the event number as it is typed, so that Enter reaches them.
    connect(EditWkNr, &QLineEdit::textChanged, this, &TEntryDialog::showRelayFields);
    fitDialogSize(this, DesignedSize);
}

// The list under the name field takes no keys of its own: the field keeps the keyboard, and the
// dialog's filter lets Down, Up, Enter and Escape act on the list only while it is open, so that
// a user who never looks at it types as before.
void TEntryDialog::createCompletion() {
    offeredRows = new QStandardItemModel(this);
    swimmerCompleter = new QCompleter(offeredRows, this);
    swimmerCompleter->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    swimmerCompleter->setMaxVisibleItems(SwimmersOffered);
    swimmerCompleter->setWidget(EditName);
    QAbstractItemView* list = swimmerCompleter->popup();
    list->setObjectName(u"SwimmerChoice"_s);
    list->setWindowFlags(Qt::ToolTip);
    list->setFont(font());
    connect(EditName, &QLineEdit::textEdited, this, &TEntryDialog::offerSwimmers);
    connect(swimmerCompleter, qOverload<const QModelIndex&>(&QCompleter::activated), this,
            [this](const QModelIndex& index) { takeSwimmer(index.row()); });
}

void TEntryDialog::offerSwimmers(const QString& typed) {
    const QString prefix = typed.trimmed();
    offered.clear();
    if (!prefix.isEmpty() && store.Available())
        offered = store.Complete(toAnsi(prefix), SwimmersOffered);
    offeredRows->clear();
    for (const TSwimmer& swimmer : offered)
        offeredRows->appendRow(new QStandardItem(swimmerLine(swimmer)));
    QAbstractItemView* list = swimmerCompleter->popup();
    if (offered.empty()) {
        list->hide();
        return;
    }
    // As wide as its longest row: the name field is narrower than most of them.
    QLineEdit* field = completionField();
    const int width =
        std::max(field->width(), list->sizeHintForColumn(0) + 2 * list->frameWidth() + 4);
    swimmerCompleter->complete(QRect(0, 0, width, field->height()));
    // Opened, the list highlights nothing: Enter keeps its meaning until Down moves into it.
    list->selectionModel()->clear();
}

// True when the key acted on the open list.
bool TEntryDialog::completionKeyPress(QKeyEvent* event) {
    QAbstractItemView* list = swimmerCompleter->popup();
    if (!list->isVisible() || event->modifiers() & (Qt::AltModifier | Qt::ControlModifier))
        return false;
    const int row = list->currentIndex().row();
    const int lastRow = offeredRows->rowCount() - 1;
    switch (event->key()) {
    case Qt::Key_Escape:
        list->hide();
        return true;
    case Qt::Key_Down:
        list->setCurrentIndex(offeredRows->index(std::min(row + 1, lastRow), 0));
        return true;
    case Qt::Key_Up:
        if (row < 0)
            return false;
        if (row == 0)
            list->selectionModel()->clear(); // back to typing
        else
            list->setCurrentIndex(offeredRows->index(row - 1, 0));
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (row < 0)
            return false;
        takeSwimmer(row);
        return true;
    default:
        return false;
    }
}

QLineEdit* TEntryDialog::completionField() const {
    return qobject_cast<QLineEdit*>(swimmerCompleter->widget());
}

bool TEntryDialog::isCompletionField(QWidget* field) const {
    return field == EditName || legOf(field) > 0;
}

// Fills the swimmer's fields and goes on to the event number; a relay swimmer's field takes his
// name, and the next field follows.
void TEntryDialog::takeSwimmer(int row) {
    if (row < 0 || row >= static_cast<int>(offered.size()))
        return;
    const TSwimmer swimmer = offered[row];
    swimmerCompleter->popup()->hide();
    QLineEdit* field = completionField();
    if (const int leg = legOf(field)) {
        field->setText(fromAnsi(swimmer.Name));
        relaySwimmers[static_cast<std::size_t>(leg - 1)] = RelaySwimmerOf(swimmer);
        neighbourControl(field, true)->setFocus(Qt::TabFocusReason);
        return;
    }
    EditName->setText(fromAnsi(swimmer.Name));
    EditJahrgang->setText(QString::number(swimmer.BirthYear));
    EditGeschlecht->setCurrentIndex(swimmer.Sex <= 2 ? swimmer.Sex : 0);
    EditRegNummer->setText(fromAnsi(swimmer.RegNr));
    SomethingChanged(); // also when only the sex differs
    EditWkNr->setFocus(Qt::TabFocusReason);
}

// The store's time for a swimmer in an event: the fastest of the twelve months before the
// competition's first day in the event's discipline on this competition's lane length.
std::optional<TStoredTime> TEntryDialog::suggestionFor(std::string_view name, int birthYear,
                                                       std::uint8_t sex, std::string_view regNr,
                                                       int wkNr) const {
    const int position = EventOfNomin(model, wkNr);
    if (position == 0 || model.Event(position).Staffel)
        return std::nullopt;
    const auto discipline = ReadDiscipline(model.Event(position).Name);
    if (!discipline)
        return std::nullopt;
    return StoredBestTime(store, model, {std::string(name), birthYear, sex, std::string(regNr)},
                          *discipline, competitionDay(model));
}

// The legs' times summed, when every field names a stored swimmer who has one.
std::optional<TStoredTime> TEntryDialog::relaySuggestion() const {
    TRelayLineUp lineUp{TMeldeAustausch::TextToWkNr(toAnsi(EditWkNr->text())), {}, {}};
    std::vector<TSwimmer> stored;
    for (std::size_t leg = 0; leg < relayFields.size() && relayFields[leg]->isVisibleTo(this);
         ++leg) {
        if (relaySwimmers[leg]) {
            lineUp.Swimmers.push_back(*relaySwimmers[leg]);
            continue;
        }
        if (stored.empty() && store.Available())
            stored = store.AllSwimmers();
        const TNamedSwimmer named = FindNamedSwimmer(stored, toAnsi(relayFields[leg]->text()));
        if (!named.Swimmer)
            return std::nullopt;
        lineUp.Swimmers.push_back(RelaySwimmerOf(*named.Swimmer));
    }
    const auto time = StoredRelayTime(store, model, lineUp, competitionDay(model));
    if (!time)
        return std::nullopt;
    return TStoredTime{*time, {}, {}, TTimeKind::Entered};
}

// An empty time field gets the suggested time, with where it came from: a swum time is named
// as the best time it is. A suggested time follows the event (or goes when the new one has
// none); a typed one stays.
void TEntryDialog::suggestTime() {
    const bool replacing = timeSuggested;
    if (!replacing && timeFieldText() != fromAnsi(BlankTimeText))
        return;
    int birthYear = 0;
    const int legs = relayLegsOfTypedEvent();
    const auto best = legs > 0 ? relaySuggestion()
                      : ConvertsAsInteger(ExpandYear(toAnsi(EditJahrgang->text())), birthYear)
                          ? suggestionFor(toAnsi(EditName->text()), birthYear,
                                          static_cast<std::uint8_t>(EditGeschlecht->currentIndex()),
                                          toAnsi(EditRegNummer->text()),
                                          TMeldeAustausch::TextToWkNr(toAnsi(EditWkNr->text())))
                          : std::nullopt;
    if (!best) {
        if (replacing) {
            setTimeFieldText(fromAnsi(BlankTimeText));
            showHint(QString());
        }
        return;
    }
    setTimeFieldText(fromAnsi(HundredthsToTimeText(best->Hundredths)));
    storedTime.reset();
    if (legs > 0) {
        showHint(u"Vorschlag: Summe der Zeiten der %1 Schwimmer"_s.arg(legs));
        timeSuggested = true;
        return;
    }
    const QString where = u"vom %1, %2"_s.arg(germanDate(best->Date), fromAnsi(best->CompName));
    showHint(best->Kind == TTimeKind::Swum
                 ? u"Bestzeit %1 %2"_s.arg(fromAnsi(HundredthsToTimeText(best->Hundredths)), where)
                 : u"Meldezeit "_s + where);
    timeSuggested = true;
}

QVBoxLayout* TEntryDialog::createList() {
    auto* caption = new QLabel(u"Liste der Meldungen (rechte Maustaste für ein Menü)"_s, this);

    listModel = new TEntryListModel(model, this);
    Meldeliste = new QTableView(this);
    Meldeliste->setObjectName(u"Meldeliste"_s);
    Meldeliste->setModel(listModel);
    Meldeliste->setShowGrid(true);
    // The highlighted row is the entry in the fields, set by the dialog alone (see
    // markCurrentEntry); clicks and keys move only the list's current row, on which the list's
    // commands act.
    Meldeliste->setSelectionBehavior(QAbstractItemView::SelectRows);
    Meldeliste->setSelectionMode(QAbstractItemView::NoSelection);
    Meldeliste->setItemDelegate(new CurrentRowFrame(Meldeliste));
    Meldeliste->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Meldeliste->setTabKeyNavigation(false); // Tab leaves the list like any other control
    Meldeliste->setWordWrap(false);
    Meldeliste->setCornerButtonEnabled(false);
    Meldeliste->verticalHeader()->hide();
    Meldeliste->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Meldeliste->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    QHeaderView* header = Meldeliste->horizontalHeader();
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    // The name column shows a name of NameCharacters whole, with the margin the view keeps on
    // either side of a cell's text.
    const int cellMargin =
        style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, Meldeliste) + 1;
    // A small "n" is about as wide as a name's letters on average, capitals and narrow
    // letters together; most names with the surname in capitals stay within it too.
    const int nameWidth = NameCharacters * fontMetrics().horizontalAdvance(u'n') + 2 * cellMargin;
    const int widths[TEntryListModel::ColumnCount] = {nameWidth, 70, 50, 50, 70};
    int allColumns = 0;
    for (int column = 0; column < TEntryListModel::ColumnCount; ++column) {
        header->resizeSection(column, widths[column]);
        allColumns += widths[column];
    }
    Meldeliste->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Meldeliste->setMinimumWidth(
        allColumns + 2 * Meldeliste->frameWidth() +
        style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, Meldeliste->verticalScrollBar()));
    Meldeliste->setMinimumHeight(ListHeight);

    ListMenu = new QMenu(this);
    ListMenu->setObjectName(u"ListMenu"_s);
    PopupEdit = ListMenu->addAction(u"Markierten Eintrag bearbeiten"_s, this,
                                    &TEntryDialog::PopupEditClick);
    PopupEdit->setObjectName(u"PopupEdit"_s);
    PopupDelete =
        ListMenu->addAction(u"Markierten Eintrag löschen"_s, this, &TEntryDialog::PopupDeleteClick);
    PopupDelete->setObjectName(u"PopupDelete"_s);
    PopSort = ListMenu->addAction(SortByWkNr, this, &TEntryDialog::PopSortClick);
    PopSort->setObjectName(u"PopSort"_s);
    PopupMeldezeiten = ListMenu->addAction(u"Meldezeiten vorschlagen"_s, this,
                                           &TEntryDialog::PopupMeldezeitenClick);
    PopupMeldezeiten->setObjectName(u"PopupMeldezeiten"_s);
    Meldeliste->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Meldeliste, &QWidget::customContextMenuRequested, this, &TEntryDialog::ListMenuPopup);
    connect(Meldeliste, &QAbstractItemView::doubleClicked, this, &TEntryDialog::PopupEditClick);
    Meldeliste->installEventFilter(this);
    Meldeliste->viewport()->installEventFilter(this);
    // The view repaints only the cells of the old and new current index; the frame is a row's.
    connect(Meldeliste->selectionModel(), &QItemSelectionModel::currentRowChanged,
            Meldeliste->viewport(), qOverload<>(&QWidget::update));

    auto* column = new QVBoxLayout;
    column->setContentsMargins(0, 2, 0, 0);
    column->setSpacing(1);
    column->addWidget(caption);
    column->addWidget(Meldeliste, 1);
    return column;
}

void TEntryDialog::FormCreate() {
    EditName->clear();
    EditJahrgang->clear();
    EditGeschlecht->setCurrentIndex(0);
    setTimeFieldText(fromAnsi(BlankTimeText));
    EditWkNr->clear();
    LabelF4->setEnabled(false);
    model.SortNominByName();
    PopSort->setText(SortByWkNr);
    ButtonOk->setEnabled(false);
    ButtonTake->setEnabled(false);
    Changed = false;
    FillList();
    newEntry();
    EditName->setFocus();
}

// After a change of the list the entry in the fields, if stored, is in view again.
void TEntryDialog::FillList() {
    listModel->reload();
    markCurrentEntry();
    if (CurrentNomin <= model.NominCount())
        Meldeliste->scrollTo(listModel->index(CurrentNomin - 1, 0));
}

// The list highlights the entry that the fields hold, and only that one (nothing while a new
// entry is typed): no other row may look as if it were being edited.
void TEntryDialog::markCurrentEntry() {
    QItemSelectionModel* selection = Meldeliste->selectionModel();
    if (CurrentNomin > model.NominCount())
        selection->clearSelection();
    else
        selection->select(listModel->index(CurrentNomin - 1, 0),
                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TEntryDialog::LoadEntry() {
    const TNominRecord nomin = model.GetNomin(CurrentNomin);
    EditName->setText(fromAnsi(nomin.Name));
    EditJahrgang->setText(QString::number(nomin.BirthYear));
    if (nomin.Sex <= 2)
        EditGeschlecht->setCurrentIndex(nomin.Sex);
    EditRegNummer->setText(fromAnsi(nomin.RegNr));
    setTimeFieldText(fromAnsi(HundredthsToTimeText(nomin.Time)));
    EditWkNr->setText(fromAnsi(TMeldeAustausch::WkNrToText(nomin.WkNr)));
    loadRelayFields(FindLineUp(companion, nomin.WkNr, nomin.Name));
    storedTime = nomin.Time;
    nameUnchecked = false;
    Changed = false;
    ButtonTake->setEnabled(false);
    showHint(QString());
}

void TEntryDialog::showRefusedCharacter(const QString& character) {
    LabelHilfe->setText(u"Das Zeichen „%1“ ist in der Meldedatei nicht möglich."_s.arg(character));
    LabelHilfe->show();
}

void TEntryDialog::SomethingChanged() {
    ButtonOk->setEnabled(true);
    ButtonTake->setEnabled(true);
    Changed = true;
}

// The entry-time field as the user sees it, with blanks at the empty digit positions:
// "  :  ,  " when empty.
QString TEntryDialog::timeFieldText() const {
    QString text = EditMeldezeit->displayText();
    text.replace(TimeBlank, u' ');
    return text;
}

// Blanks become empty positions; the mask would otherwise skip them and shift the digits.
void TEntryDialog::setTimeFieldText(const QString& text) {
    QString shown = text;
    shown.replace(u' ', TimeBlank);
    EditMeldezeit->setText(shown);
}

TEntryInput TEntryDialog::fieldInput() const {
    return {toAnsi(EditName->text()),       toAnsi(EditJahrgang->text()),
            EditGeschlecht->currentIndex(), toAnsi(EditRegNummer->text()),
            toAnsi(EditWkNr->text()),       toAnsi(timeFieldText())};
}

QWidget* TEntryDialog::fieldWidget(EntryField field) const {
    switch (field) {
    case EntryField::Name:
        return EditName;
    case EntryField::Jahrgang:
        return EditJahrgang;
    case EntryField::Geschlecht:
        return EditGeschlecht;
    case EntryField::WkNr:
        return EditWkNr;
    case EntryField::Meldezeit:
        return EditMeldezeit;
    }
    return EditName;
}

bool TEntryDialog::TakeEntry() {
    if (!Changed)
        return true;
    if (EditExisting && AskYesNo(u"Vorhandene Meldung wirklich ändern?"_s, 0) != AnswerYes)
        return true;
    TEntryInput input = fieldInput();
    // A loaded entry keeps its stored time unless the time field was edited: a host's file may
    // carry one that the field cannot show (-1 for an invalid time, 99:99,99) and would rewrite.
    if (storedTime)
        input.Meldezeit = BlankTimeText; // checked as no time, replaced by the stored one below
    if (const auto refusal = CheckEntryInput(model, input)) {
        ShowError(fromAnsi(refusal->Message), 0);
        focusField(fieldWidget(FieldOf(refusal->Fault)));
        return false;
    }
    // A name without a comma let pass for a relay team must split for a swimmer.
    if (nameUnchecked && !typedEventIsRelay() && !IsSplittableName(input.Name)) {
        ShowError(unsplittableNameMessage(), 0);
        focusField(EditName);
        return false;
    }
    TNominRecord nomin = NominFromInput(input);
    if (storedTime)
        nomin.Time = *storedTime;
    // The team stored before under its event and name, whose swimmers move to the new ones.
    const TNominRecord& before = model.Nomin(CurrentNomin);
    const TRelayLineUp replaced{before.WkNr, before.Name, {}};
    TRelayLineUp lineUp{nomin.WkNr, Trim(nomin.Name), {}};
    const bool withLegs = relayLegsOfTypedEvent() > 0;
    if (withLegs && !typedLineUp(lineUp))
        return false;
    if (withLegs) {
        TCompanion others = companion;
        SetLineUp(others, replaced);
        if (const auto refusal = CheckLineUpSwimmers(model, invitation, others, lineUp)) {
            ShowError(refusal->Message, 0);
            focusField(refusal->Leg > 0 ? relayFields[static_cast<std::size_t>(refusal->Leg - 1)]
                                        : EditWkNr);
            return false;
        }
    }
    keepFilledTimes();
    model.SetNomin(CurrentNomin, nomin);
    lineUp.Team = model.Nomin(CurrentNomin).Name;
    CurrentNomin = model.SortNominByName(CurrentNomin);
    adoptLineUp(withLegs ? lineUp : TRelayLineUp(), replaced);
    Changed = false;
    FillList();
    ButtonTake->setEnabled(false);
    Global::SetDataChanged();
    showHints();
    return true;
}

// What a host would query about the entry just adopted (the swimmer entered twice for one
// event, with another birth year elsewhere, ...). A line that asks nothing and stays until the
// next adoption; the entry is adopted all the same.
void TEntryDialog::showHints() {
    QStringList hints;
    for (const TNominWarning& warning : FindNominWarnings(model, qualifyingTimes)) {
        if (std::binary_search(warning.Nomins.begin(), warning.Nomins.end(), CurrentNomin))
            hints << u"Hinweis: "_s + fromAnsi(warning.Text) + u'.';
    }
    const TNominRecord& nomin = model.Nomin(CurrentNomin);
    const TInvitationEvent* host = HostEventOf(invitation, nomin.WkNr);
    const TRelayLineUp* lineUp = FindLineUp(companion, nomin.WkNr, nomin.Name);
    if (host && lineUp) {
        if (const TAgeGroup* group = RelayClassOf(*host, lineUp->Swimmers, AgeYear(invitation)))
            hints << u"Altersklasse %1+ nach der Summe der Alter (%2)."_s.arg(group->MinAge)
                         .arg(SummedAge(lineUp->Swimmers, AgeYear(invitation)));
    }
    if (!RegNrKey(nomin.RegNr).empty()) {
        if (const auto holder =
                store.FindSwimmer(nomin.Name, nomin.BirthYear, nomin.Sex, nomin.RegNr).RegNrHolder)
            hints << u"Hinweis: Reg.-Nr. %1 gehört zu %2 (%3)."_s.arg(
                fromAnsi(StoredRegNr(nomin.RegNr)), fromAnsi(holder->Name),
                QString::number(holder->BirthYear));
    }
    showHint(hints.join(u' '));
}

// The whole text stays in the tooltip when the line is too short for it.
void TEntryDialog::showHint(const QString& text) {
    timeSuggested = false;
    LabelHinweis->setToolTip(text);
    LabelHinweis->setText(
        LabelHinweis->fontMetrics().elidedText(text, Qt::ElideRight, LabelHinweis->width()));
}

// A button leaves the field that has the focus before it acts, so that the field's exit check
// runs, whether the button was clicked or pressed by its accelerator (the buttons do not take
// the focus by themselves). When the check keeps the focus in the field, the button does
// nothing.
bool TEntryDialog::leaveFieldFor(QPushButton* button) {
    if (focusWidget() != button)
        button->setFocus(Qt::ShortcutFocusReason);
    return focusWidget() == button;
}

void TEntryDialog::ButtonOkClick() {
    if (!leaveFieldFor(ButtonOk) || !TakeEntry())
        return;
    keepFilledTimes();
    closeDialog();
}

void TEntryDialog::ButtonTakeClick() {
    if (!leaveFieldFor(ButtonTake) || !TakeEntry())
        return;
    // The next input starts in the name field, as after "Ne&ue Meldung". Moving there before
    // the button disables itself keeps the focus from passing on to "Ab&brechen", where the
    // next Enter would close the dialog.
    EditName->setFocus();
    ButtonTake->setEnabled(false);
}

void TEntryDialog::ButtonEscClick() {
    if (anythingPending()) {
        if (!ConfirmDiscard(u"Letzte Änderungen / Eingabe wirklich verwerfen?"_s))
            return;
        Changed = false;
        discardFilledTimes();
    }
    closeDialog();
}

void TEntryDialog::ButtonNewClick() {
    if (leaveFieldFor(ButtonNew))
        newEntry();
}

// The "Ne&ue Meldung" step: adopts what is pending, then turns the fields to a new entry for
// the same swimmer.
void TEntryDialog::newEntry() {
    if (!TakeEntry())
        return;
    CurrentNomin = model.NominCount() + 1;
    EditWkNr->clear();
    loadRelayFields(nullptr);
    setTimeFieldText(fromAnsi(BlankTimeText));
    storedTime.reset();
    EditExisting = false;
    Changed = false;
    markCurrentEntry();
    EditName->setFocus();
}

void TEntryDialog::keyPressEvent(QKeyEvent* event) {
    // The dialog has no default button: Enter presses the focused button and does nothing in
    // the list.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TEntryDialog::reject() {
    ButtonEscClick();
}

void TEntryDialog::closeEvent(QCloseEvent* event) {
    // Every way of closing goes through the closing check; done() hides the dialog.
    event->ignore();
    closeDialog();
}

void TEntryDialog::closeDialog() {
    if (FormCloseQuery())
        done(QDialog::Accepted);
}

bool TEntryDialog::FormCloseQuery() {
    if (!anythingPending())
        return true;
    if (!ConfirmDiscard())
        return false;
    discardFilledTimes();
    return true;
}

bool TEntryDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Meldeliste && event->type() == QEvent::KeyPress)
        return MeldelisteKeyDown(*static_cast<QKeyEvent*>(event));
    // A click below the rows leaves the list's commands without a row.
    if (watched == Meldeliste->viewport() && event->type() == QEvent::MouseButtonPress &&
        !Meldeliste->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()).isValid())
        Meldeliste->selectionModel()->clearCurrentIndex();
    auto* field = qobject_cast<QWidget*>(watched);
    if (!helpTexts.contains(field))
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
        // The field settles its cursor and selection first; then the dialog's enter and exit
        // handlers act on the result (an exit check may take the focus straight back).
        watched->event(event);
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (isCompletionField(field) && event->type() == QEvent::FocusOut)
            swimmerCompleter->popup()->hide();
        // The store's swimmers are offered under the name field and each relay swimmer's.
        if (isCompletionField(field) && event->type() == QEvent::FocusIn &&
            swimmerCompleter->widget() != field)
            swimmerCompleter->setWidget(field);
        if (event->type() == QEvent::FocusIn)
            enterField(field, reason);
        else if (leavesField(reason))
            exitField(field);
        return true;
    }
    case QEvent::KeyPress:
        if (isCompletionField(field) && completionKeyPress(static_cast<QKeyEvent*>(event)))
            return true;
        if (field == EditWkNr && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F4)
            EditWkNrKeyDown(); // F4 is not swallowed
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

// Back to a field to correct it, its text selected so that typing replaces it.
void TEntryDialog::focusField(QWidget* field) {
    field->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->selectAll();
}

void TEntryDialog::enterField(QWidget* field, Qt::FocusReason reason) {
    LabelHilfe->setText(helpTexts.value(field));
    LabelHilfe->show();
    if (field == EditWkNr)
        LabelF4->setEnabled(true);
    // Reached from the keyboard, the entry-time field is selected whole, so that the digits
    // typed replace the time shown (the masked field would otherwise overwrite from the left).
    if (field == EditMeldezeit && reason != Qt::MouseFocusReason)
        EditMeldezeit->selectAll();
}

void TEntryDialog::exitField(QWidget* field) {
    if (field == EditName)
        EditNameExit();
    else if (field == EditMeldezeit)
        EditMeldezeitExit();
    else {
        if (field == EditJahrgang)
            EditJahrgang->setText(fromAnsi(ExpandYear(toAnsi(EditJahrgang->text()))));
        else if (field == EditWkNr)
            EditWkNrExit();
        else if (legOf(field) > 0)
            suggestTime();
        LabelHilfe->hide();
    }
}

// A relay team's name is free text. While the event of a new entry is still to come, a name
// without a comma may be a team's too: adoption checks it against the event.
void TEntryDialog::EditNameExit() {
    const bool splittable = IsSplittableName(toAnsi(EditName->text()));
    nameUnchecked = !splittable;
    if (splittable || typedEventIsRelay() || (EditWkNr->text().isEmpty() && hasRelayEvents())) {
        LabelHilfe->hide();
        return;
    }
    ShowError(unsplittableNameMessage(), 0);
    focusField(EditName);
}

void TEntryDialog::EditMeldezeitExit() {
    const QString normalized = fromAnsi(NormalizeTimeText(toAnsi(timeFieldText())));
    setTimeFieldText(normalized);
    const QChar firstSecondsDigit = normalized.size() > 3 ? normalized.at(3) : QChar(u' ');
    if (firstSecondsDigit == u' ' || (firstSecondsDigit >= u'0' && firstSecondsDigit <= u'5')) {
        LabelHilfe->hide();
        return;
    }
    ShowError(u"Keine korrekte Zeitangabe"_s, TimeHelpContext);
    focusField(EditMeldezeit);
}

void TEntryDialog::EditWkNrExit() {
    LabelF4->setEnabled(false);
    suggestTime();
}

void TEntryDialog::EditWkNrKeyDown() {
    int birthYear = 0;
    if (!ConvertsAsInteger(toAnsi(EditJahrgang->text()), birthYear))
        birthYear = 1900;
    // The items stand for the sex codes 0 male, 1 female, 2 mixed.
    const int sex = EditGeschlecht->currentIndex();
    const int position = TEventChooser(model, this).ChooseEvent(birthYear, sex);
    if (position != 0)
        EditWkNr->setText(fromAnsi(TMeldeAustausch::WkNrToText(model.Event(position).WkNr)));
}

// Home and End go to the first and last entry (a table's own keys would go to the first and
// last column). Shift+F10 opens the menu at the current entry, as the menu key does.
bool TEntryDialog::MeldelisteKeyDown(const QKeyEvent& event) {
    const int key = event.key();
    if (key == Qt::Key_F10 && event.modifiers() == Qt::ShiftModifier) {
        const QRect row = Meldeliste->visualRect(Meldeliste->currentIndex());
        ListMenuPopup(row.isValid() ? row.bottomLeft() : QPoint(0, 0));
        return true;
    }
    if ((key != Qt::Key_Home && key != Qt::Key_End) || listModel->rowCount() == 0)
        return false;
    const QModelIndex target =
        listModel->index(key == Qt::Key_Home ? 0 : listModel->rowCount() - 1, 0);
    Meldeliste->selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
    Meldeliste->scrollTo(target);
    return true;
}

// The row that the list's commands act on: the one last clicked (or double-clicked, or
// right-clicked) or reached with the keys; none after the list was rebuilt.
int TEntryDialog::listRow() const {
    return Meldeliste->currentIndex().row();
}

void TEntryDialog::ListMenuPopup(const QPoint& position) {
    const int row = listRow();
    PopupEdit->setEnabled(row >= 0);
    PopupDelete->setEnabled(row >= 0);
    bool anyWithoutTime = false;
    for (int position = 1; position <= model.NominCount() && !anyWithoutTime; ++position)
        anyWithoutTime = model.Nomin(position).Time == NoTime;
    PopupMeldezeiten->setEnabled(store.Available() && anyWithoutTime);
    // While the menu is open, its row is the highlighted one.
    if (row >= 0)
        Meldeliste->selectionModel()->select(listModel->index(row, 0),
                                             QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    ListMenu->exec(Meldeliste->viewport()->mapToGlobal(position));
    markCurrentEntry();
}

void TEntryDialog::PopupEditClick() {
    if (listRow() < 0 || !TakeEntry())
        return;
    // Adopting pending changes rebuilt the list: the user chooses the entry again.
    const int row = listRow();
    if (row < 0)
        return;
    CurrentNomin = row + 1;
    LoadEntry();
    EditExisting = true;
    Changed = false;
    markCurrentEntry();
    EditName->setFocus();
}

void TEntryDialog::PopupDeleteClick() {
    const int row = listRow();
    if (row < 0)
        return;
    const int position = row + 1;
    const TNominRecord nomin = model.GetNomin(position);
    const QString question = u"Die Meldung "_s + fromAnsi(nomin.Name) + u", Jg. "_s +
                             QString::number(nomin.BirthYear) + u" für Wettkampf "_s +
                             fromAnsi(TMeldeAustausch::WkNrToText(nomin.WkNr)) +
                             u" wirklich löschen?"_s;
    if (!ConfirmDiscard(question))
        return;
    keepFilledTimes();
    model.DeleteNomin(position);
    adoptLineUp(TRelayLineUp(), {nomin.WkNr, nomin.Name, {}});
    if (position == CurrentNomin) {
        // The entry shown in the fields is gone, and its pending changes with it: storing
        // them at its old place would overwrite the entry that moved up into it.
        Changed = false;
        EditExisting = false;
        CurrentNomin = model.NominCount() + 1;
    } else if (position < CurrentNomin) {
        --CurrentNomin;
    }
    Global::SetDataChanged();
    FillList();
    newEntry();
}

void TEntryDialog::PopSortClick() {
    WaitCursor wait;
    keepFilledTimes(); // they are known by their places in the list
    const bool byWkNr = PopSort->text().contains(u"WkNummer"_s);
    const int follow = CurrentNomin <= model.NominCount() ? CurrentNomin : 0;
    const int newPosition = byWkNr ? model.SortNominByWkNr(follow) : model.SortNominByName(follow);
    if (follow != 0)
        CurrentNomin = newPosition;
    FillList();
    PopSort->setText(byWkNr ? SortByName : SortByWkNr);
}

// Every entry without a time gets the time the store suggests, in one step the user agrees to
// first. The entry loaded into the fields is left to them: adopting the fields would overwrite it.
void TEntryDialog::PopupMeldezeitenClick() {
    std::vector<std::pair<int, int>> found; // position and suggested time
    int withoutTime = 0;
    {
        WaitCursor wait;
        for (int position = 1; position <= model.NominCount(); ++position) {
            const TNominRecord& nomin = model.Nomin(position);
            if (nomin.Time != NoTime || (EditExisting && position == CurrentNomin))
                continue;
            ++withoutTime;
            if (const auto best =
                    suggestionFor(nomin.Name, nomin.BirthYear, nomin.Sex, nomin.RegNr, nomin.WkNr))
                found.emplace_back(position, best->Hundredths);
        }
    }
    if (found.empty()) {
        showHint(withoutTime == 1
                     ? u"Für die Meldung ohne Meldezeit ist keine Zeit bekannt."_s
                     : u"Für keine der %1 Meldungen ohne Meldezeit ist eine Zeit bekannt."_s.arg(
                           withoutTime));
        return;
    }
    const QString question =
        u"Für %1 von %2 ohne Meldezeit ist eine Zeit aus den letzten 12 Monaten bekannt. "
        u"%3 eintragen?"_s.arg(found.size())
            .arg(fromAnsi(CountText(withoutTime, "Meldung", "Meldungen")),
                 found.size() == 1 ? u"Diese Zeit"_s : u"Diese Zeiten"_s);
    if (AskYesNo(question, 0) != AnswerYes)
        return;
    for (const auto& [position, hundredths] : found) {
        TNominRecord nomin = model.GetNomin(position);
        filledTimes.emplace_back(position, nomin.Time);
        nomin.Time = hundredths;
        model.SetNomin(position, nomin);
    }
    FillList();
    ButtonOk->setEnabled(true);
    showHint(fromAnsi(CountText(static_cast<long long>(found.size()), "Meldezeit vorgeschlagen.",
                                "Meldezeiten vorgeschlagen.")));
}

// The filled times become the user's own entries.
void TEntryDialog::keepFilledTimes() {
    if (filledTimes.empty())
        return;
    filledTimes.clear();
    Global::SetDataChanged();
}

void TEntryDialog::discardFilledTimes() {
    if (filledTimes.empty())
        return;
    for (const auto& [position, previous] : filledTimes) {
        TNominRecord nomin = model.GetNomin(position);
        nomin.Time = previous;
        model.SetNomin(position, nomin);
    }
    filledTimes.clear();
    FillList();
}

void TEntryDialog::createRelayBox() {
    relayBox = new QGroupBox(u"Staffel in Startreihenfolge"_s, this);
    relayBox->setObjectName(u"GroupStaffel"_s);
    relayRows = fieldRows(relayBox);
    relayBox->hide();
}

bool TEntryDialog::hasRelayEvents() const {
    for (int position = 1; position <= model.EventCount(); ++position) {
        if (model.Event(position).Staffel)
            return true;
    }
    return false;
}

// The relay event whose number is typed, 0 for none.
int TEntryDialog::typedRelayEvent() const {
    const int position = EventOfNomin(model, TMeldeAustausch::TextToWkNr(toAnsi(EditWkNr->text())));
    return position > 0 && model.Event(position).Staffel ? position : 0;
}

bool TEntryDialog::typedEventIsRelay() const {
    return typedRelayEvent() > 0;
}

// How many swimmers the typed relay event's teams have; 0 for another event.
int TEntryDialog::relayLegsOfTypedEvent() const {
    const int position = typedRelayEvent();
    return position == 0 ? 0 : RelayLegCount(model, invitation, position);
}

// A field per swimmer of the typed relay event, between the event number and the entry time in
// the focus order; none for an individual event, whose dialog stays as it was.
void TEntryDialog::showRelayFields() {
    const int legs = relayLegsOfTypedEvent();
    while (static_cast<int>(relayFields.size()) < legs)
        addRelayField();
    for (std::size_t leg = 0; leg < relayFields.size(); ++leg) {
        const bool shown = static_cast<int>(leg) < legs;
        int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
        relayRows->getItemPosition(relayRows->indexOf(relayFields[leg]), &row, &column, &rowSpan,
                                   &columnSpan);
        relayRows->itemAtPosition(row, 0)->widget()->setVisible(shown);
        relayFields[leg]->setVisible(shown);
    }
    if (relayBox->isVisibleTo(this) == (legs > 0))
        return;
    relayBox->setVisible(legs > 0);
    fitDialogSize(this, DesignedSize);
    // Grown by the swimmers' fields, the dialog moves up and left as far as it must to stay
    // whole on its screen.
    if (const QScreen* shownOn = screen(); shownOn && isVisible()) {
        const QRect available = shownOn->availableGeometry();
        const QRect frame = frameGeometry();
        move(pos() + QPoint(std::max(std::min(0, available.right() - frame.right()),
                                     available.left() - frame.left()),
                            std::max(std::min(0, available.bottom() - frame.bottom()),
                                     available.top() - frame.top())));
    }
    if (legs > 0)
        tellCompanionProblem();
}

QLineEdit* TEntryDialog::addRelayField() {
    const int leg = static_cast<int>(relayFields.size()) + 1;
    QLineEdit* field =
        addEdit(relayRows, u"EditSchwimmer%1"_s.arg(leg), u"%1. Schwimmer"_s.arg(leg), 210,
                u"Schwimmer der %1. Strecke"_s.arg(leg));
    connect(restrictTyping(field, static_cast<int>(NominNameCapacity)),
            &TypingLimit::characterRefused, this, &TEntryDialog::showRefusedCharacter);
    setTabOrder(relayFields.empty() ? EditWkNr : relayFields.back(), field);
    setTabOrder(field, EditMeldezeit);
    bindSimulateEnter(field, UpDown::Move);
    helpTexts.insert(field, u"Schwimmer der Staffel in Startreihenfolge eingeben oder aus der "
                            u"Liste wählen!"_s);
    // Installed after the key binding, the dialog's filter sees the keys first (see
    // createControls).
    field->installEventFilter(this);
    connect(field, &QLineEdit::textChanged, this, &TEntryDialog::SomethingChanged);
    connect(field, &QLineEdit::textEdited, this, [this, leg](const QString& typed) {
        relaySwimmers[static_cast<std::size_t>(leg - 1)].reset();
        offerSwimmers(typed);
    });
    relayFields.push_back(field);
    relaySwimmers.emplace_back();
    return field;
}

// 1 for the field of leg 1, 0 for any other widget.
int TEntryDialog::legOf(QWidget* field) const {
    const auto found = std::find(relayFields.begin(), relayFields.end(), field);
    return found == relayFields.end() ? 0 : static_cast<int>(found - relayFields.begin()) + 1;
}

void TEntryDialog::loadRelayFields(const TRelayLineUp* lineUp) {
    for (std::size_t leg = 0; leg < relayFields.size(); ++leg) {
        const bool named = lineUp && leg < lineUp->Swimmers.size();
        relayFields[leg]->setText(named ? fromAnsi(lineUp->Swimmers[leg].Name) : QString());
        relaySwimmers[leg] =
            named ? std::optional<TRelaySwimmer>(lineUp->Swimmers[leg]) : std::nullopt;
    }
}

// The swimmers in the fields, each chosen from the list (or kept) or found in the store by the
// name or number typed; no field filled is a team without names. False after a refusal, shown
// with the focus on its field.
bool TEntryDialog::typedLineUp(TRelayLineUp& lineUp) {
    const int legs = relayLegsOfTypedEvent();
    const auto typed = [this](int leg) { return relayFields[leg]->text().trimmed(); };
    int filled = 0;
    for (int leg = 0; leg < legs; ++leg)
        filled += !typed(leg).isEmpty();
    if (filled == 0)
        return true;
    std::vector<TSwimmer> stored;
    for (int leg = 0; leg < legs; ++leg) {
        QLineEdit* field = relayFields[static_cast<std::size_t>(leg)];
        const auto& chosen = relaySwimmers[static_cast<std::size_t>(leg)];
        if (chosen) {
            lineUp.Swimmers.push_back(*chosen);
            continue;
        }
        if (typed(leg).isEmpty()) {
            ShowError(u"Fehlende Eingabe: %1. Schwimmer"_s.arg(leg + 1), 0);
            focusField(field);
            return false;
        }
        if (stored.empty() && store.Available())
            stored = store.AllSwimmers();
        const TNamedSwimmer named = FindNamedSwimmer(stored, toAnsi(typed(leg)));
        if (!named.Swimmer) {
            ShowError(named.Problem, 0);
            focusField(field);
            return false;
        }
        lineUp.Swimmers.push_back(RelaySwimmerOf(*named.Swimmer));
    }
    return true;
}

// Keeps `lineUp` (none: a team without names) in place of the team `replaced` stood for, and
// writes the companion file at once when that changed anything.
void TEntryDialog::adoptLineUp(const TRelayLineUp& lineUp, const TRelayLineUp& replaced) {
    const TCompanion before = companion;
    SetLineUp(companion, {replaced.WkNr, replaced.Team, {}});
    if (lineUp.WkNr != 0)
        SetLineUp(companion, lineUp);
    if (companion == before || exchangePath.empty())
        return;
    QStringList notes;
    try {
        SaveCompanion(exchangePath, model, companion, &notes);
    } catch (const TIoError& error) {
        ShowError(u"Die Staffelschwimmer sind nicht gespeichert: %1"_s.arg(fromAnsi(error.what())),
                  0);
    }
    ShowNotes(notes);
}

void TEntryDialog::tellCompanionProblem() {
    if (companionProblem.isEmpty())
        return;
    ShowWarning(companionProblem);
    companionProblem.clear();
}
