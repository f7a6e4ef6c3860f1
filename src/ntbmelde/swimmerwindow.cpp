// SPDX-License-Identifier: GPL-3.0-or-later
#include "swimmerwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include "ansi.h"
#include "appearance.h"
#include "atomicfile.h"
#include "conversions.h"
#include "dialogseam.h"
#include "exchangeverdict.h"
#include "fileopening.h"
#include "global.h"
#include "meldeaustausch.h"
#include "messages.h"
#include "swimmercsv.h"
#include "swimmereditdialog.h"
#include "swimmerimport.h"
#include "swimmerlistmodel.h"
#include "swimmerstore.h"
#include "swimmertexts.h"
#include "waitcursor.h"

using namespace Qt::StringLiterals;

namespace {
const QString CsvFilter = u"Schwimmerliste (*.csv)"_s;
const QString ImportFilters =
    u"Austauschdateien, Schwimmerlisten und Ergebnislisten (*.nt2 *.NT2 *.csv *.lef *.lxf *.dsv7 "
    "*.DSV7 *.dsv8 *.DSV8 *.dsv8z *.DSV8z)"_s;
const QStringList BestTimeHeaders = {u"Strecke"_s, u"Bahn"_s, u"Bestzeit"_s, u"vom"_s,
                                     u"Wettkampf"_s};
} // namespace

TSwimmerWindow::TSwimmerWindow(TSwimmerStore& store, QWidget* parent)
    : QDialog(parent), store(store) {
    createControls();
    reload(0);
    SwimmerTable->setFocus();
}

void TSwimmerWindow::createControls() {
    setObjectName(u"SwimmerWindow"_s);
    setWindowTitle(u"Schwimmer"_s);
    useFixedDialogFrame(this);
    setFont(pixelFont(u"Arial"_s, QFont::SansSerif, 11));

    EditFilter = new QLineEdit;
    EditFilter->setObjectName(u"EditFilter"_s);
    EditFilter->setToolTip(u"Zeigt nur die Schwimmer, die den Text enthalten"_s);
    EditFilter->setClearButtonEnabled(true);
    auto* filterLabel = new QLabel(u"&Filter"_s);
    filterLabel->setBuddy(EditFilter);

    swimmers = new TSwimmerListModel(this);
    shown = new TGermanSortProxy(this);
    shown->setSourceModel(swimmers);
    shown->setSortRole(TSwimmerListModel::SortRole);
    shown->setSortCaseSensitivity(Qt::CaseInsensitive);
    shown->setFilterCaseSensitivity(Qt::CaseInsensitive);
    shown->setFilterKeyColumn(-1);
    connect(EditFilter, &QLineEdit::textChanged, shown,
            &QSortFilterProxyModel::setFilterFixedString);

    ChooseSortierung = new QComboBox;
    ChooseSortierung->setObjectName(u"ChooseSortierung"_s);
    for (int column = 0; column < TSwimmerListModel::ColumnCount; ++column)
        ChooseSortierung->addItem(
            swimmers->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
    auto* sortLabel = new QLabel(u"So&rtieren nach"_s);
    sortLabel->setBuddy(ChooseSortierung);

    SwimmerTable = new QTableView;
    SwimmerTable->setObjectName(u"SwimmerTable"_s);
    SwimmerTable->setModel(shown);
    SwimmerTable->setSortingEnabled(true);
    SwimmerTable->sortByColumn(TSwimmerListModel::Name, Qt::AscendingOrder);
    SwimmerTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Two rows marked (Shift or Ctrl) can be merged.
    SwimmerTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    SwimmerTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SwimmerTable->setTabKeyNavigation(false);
    SwimmerTable->setWordWrap(false);
    SwimmerTable->verticalHeader()->hide();
    SwimmerTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    SwimmerTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    SwimmerTable->horizontalHeader()->setStretchLastSection(true);
    SwimmerTable->setColumnWidth(TSwimmerListModel::Name, 200);
    SwimmerTable->installEventFilter(this);
    EditFilter->installEventFilter(this);
    connect(SwimmerTable, &QTableView::doubleClicked, this, &TSwimmerWindow::ButtonEditClick);
    // The list and the choice of its order follow each other, whichever the user changes.
    connect(ChooseSortierung, &QComboBox::activated, this,
            [this](int column) { SwimmerTable->sortByColumn(column, Qt::AscendingOrder); });
    connect(SwimmerTable->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
            [this](int column) { ChooseSortierung->setCurrentIndex(column); });

    // The current swimmer's fastest swum time per discipline and lane length.
    bestTimes = new QStandardItemModel(this);
    BestTimeTable = new QTableView;
    BestTimeTable->setObjectName(u"BestTimeTable"_s);
    BestTimeTable->setModel(bestTimes);
    BestTimeTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    BestTimeTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    BestTimeTable->setTabKeyNavigation(false);
    BestTimeTable->verticalHeader()->hide();
    BestTimeTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    BestTimeTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    BestTimeTable->horizontalHeader()->setStretchLastSection(true);
    auto* bestTimesLabel = new QLabel(u"Bes&tzeiten aus Ergebnislisten"_s);
    bestTimesLabel->setBuddy(BestTimeTable);
    connect(SwimmerTable->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TSwimmerWindow::showBestTimes);

    CheckAlleVereine = new QCheckBox(u"Ergebnislisten: alle &Vereine"_s);
    CheckAlleVereine->setObjectName(u"CheckAlleVereine"_s);
    CheckAlleVereine->setToolTip(
        u"Aus Ergebnislisten die Zeiten aller Vereine übernehmen, nicht nur des eigenen"_s);

    LabelStatus = new QLabel;
    LabelStatus->setObjectName(u"LabelStatus"_s);
    LabelStatus->setWordWrap(true);

    auto* top = new QHBoxLayout;
    top->addWidget(filterLabel);
    top->addWidget(EditFilter, 1);
    top->addSpacing(12);
    top->addWidget(sortLabel);
    top->addWidget(ChooseSortierung);

    auto* buttons = new QHBoxLayout;
    ButtonNeu = addButton(u"ButtonNeu"_s, u"&Neu …"_s, u"Einen Schwimmer aufnehmen"_s,
                          &TSwimmerWindow::ButtonNeuClick);
    ButtonEdit = addButton(u"ButtonEdit"_s, u"&Bearbeiten …"_s,
                           u"Den gewählten Schwimmer bearbeiten (Enter)"_s,
                           &TSwimmerWindow::ButtonEditClick);
    ButtonDelete =
        addButton(u"ButtonDelete"_s, u"&Löschen"_s, u"Den gewählten Schwimmer löschen (Entf)"_s,
                  &TSwimmerWindow::ButtonDeleteClick);
    ButtonAktiv = addButton(u"ButtonAktiv"_s, u"&Aktiv ein/aus"_s,
                            u"Nur aktive Schwimmer werden in der Meldung angeboten (Leertaste)"_s,
                            &TSwimmerWindow::ButtonAktivClick);
    ButtonMerge = addButton(u"ButtonMerge"_s, u"&Zusammenführen"_s,
                            u"Zwei markierte Einträge derselben Person zu einem zusammenführen"_s,
                            &TSwimmerWindow::ButtonMergeClick);
    ButtonImport = addButton(u"ButtonImport"_s, u"&Importieren …"_s,
                             u"Schwimmer aus Austauschdateien oder einer CSV-Datei übernehmen"_s,
                             &TSwimmerWindow::ButtonImportClick);
    ButtonExport =
        addButton(u"ButtonExport"_s, u"E&xportieren …"_s,
                  u"Schwimmerliste als CSV-Datei speichern"_s, &TSwimmerWindow::ButtonExportClick);
    ButtonClose =
        addButton(u"ButtonClose"_s, u"S&chließen"_s, u"Fenster schließen (Esc)"_s, nullptr);
    connect(ButtonClose, &QPushButton::clicked, this, &QDialog::accept);
    for (QPushButton* each : {ButtonNeu, ButtonEdit, ButtonDelete, ButtonAktiv, ButtonMerge,
                              ButtonImport, ButtonExport, ButtonClose})
        buttons->addWidget(each);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(SwimmerTable, 3);
    layout->addWidget(bestTimesLabel);
    layout->addWidget(BestTimeTable, 2);
    auto* status = new QHBoxLayout;
    status->addWidget(LabelStatus, 1);
    status->addWidget(CheckAlleVereine);
    layout->addLayout(status);
    layout->addLayout(buttons);
    fitDialogSize(this, QSize(860, 640));

    setTabOrder(EditFilter, ChooseSortierung);
    setTabOrder(ChooseSortierung, SwimmerTable);
    setTabOrder(SwimmerTable, BestTimeTable);
    setTabOrder(BestTimeTable, ButtonNeu);
}

QPushButton* TSwimmerWindow::addButton(const QString& name, const QString& caption,
                                       const QString& hint, void (TSwimmerWindow::*handler)()) {
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setAutoDefault(false);
    if (handler)
        connect(button, &QPushButton::clicked, this, handler);
    return button;
}

// The table's own keys for its commands: Enter edits, Delete deletes, Space switches active on
// or off. Down in the filter field goes into the table.
bool TSwimmerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::AltModifier | Qt::ControlModifier))
        return false;
    if (watched == EditFilter && (key->key() == Qt::Key_Down || key->key() == Qt::Key_Return ||
                                  key->key() == Qt::Key_Enter)) {
        SwimmerTable->setFocus(Qt::TabFocusReason);
        if (!SwimmerTable->currentIndex().isValid() && shown->rowCount() > 0)
            SwimmerTable->setCurrentIndex(shown->index(0, 0));
        return true;
    }
    if (watched != SwimmerTable)
        return false;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ButtonEditClick();
        return true;
    case Qt::Key_Delete:
        ButtonDeleteClick();
        return true;
    case Qt::Key_Space:
        ButtonAktivClick();
        return true;
    default:
        return false;
    }
}

void TSwimmerWindow::reload(qint64 currentId) {
    swimmers->reload(store.AllSwimmers());
    // A list that could not be read says why instead of looking empty.
    if (!store.Available())
        showStatus(store.Problem());
    makeCurrent(swimmers->rowOf(currentId));
}

// The row of the source model, or the first shown when it is -1.
void TSwimmerWindow::makeCurrent(int sourceRow) {
    if (sourceRow >= 0)
        SwimmerTable->setCurrentIndex(shown->mapFromSource(swimmers->index(sourceRow, 0)));
    else if (shown->rowCount() > 0)
        SwimmerTable->setCurrentIndex(shown->index(0, 0));
    const bool any = shown->rowCount() > 0;
    for (QPushButton* button : {ButtonEdit, ButtonDelete, ButtonAktiv, ButtonMerge})
        button->setEnabled(any);
    showBestTimes();
}

const TSwimmer* TSwimmerWindow::currentSwimmer() const {
    const QModelIndex index = SwimmerTable->currentIndex();
    if (!index.isValid())
        return nullptr;
    return &swimmers->swimmer(shown->mapToSource(index).row());
}

// One row changes: the list is not read again, which takes its time with many swimmers.
void TSwimmerWindow::save(TSwimmer swimmer) {
    if (!store.SaveSwimmer(swimmer)) {
        reportStoreFailure();
        return;
    }
    makeCurrent(swimmers->put(swimmer));
}

// The store's sentence without its full stop: the error box ends it.
void TSwimmerWindow::reportStoreFailure() {
    QString text = store.Problem();
    if (text.endsWith(u'.'))
        text.chop(1);
    ShowError(text, 0);
}

void TSwimmerWindow::ButtonNeuClick() {
    TSwimmerEditDialog editor(TSwimmer{}, this);
    if (editor.exec() == QDialog::Accepted)
        save(editor.swimmer());
    SwimmerTable->setFocus();
}

void TSwimmerWindow::ButtonEditClick() {
    const TSwimmer* chosen = currentSwimmer();
    if (!chosen)
        return;
    TSwimmerEditDialog editor(*chosen, this);
    if (editor.exec() == QDialog::Accepted)
        save(editor.swimmer());
    SwimmerTable->setFocus();
}

void TSwimmerWindow::ButtonDeleteClick() {
    const TSwimmer* chosen = currentSwimmer();
    if (!chosen)
        return;
    const QString question = u"Den Schwimmer %1, Jg. %2 mit allen seinen Meldezeiten wirklich "
                             u"löschen?"_s.arg(fromAnsi(chosen->Name))
                                 .arg(chosen->BirthYear);
    if (!ConfirmDiscard(question))
        return;
    const int row = SwimmerTable->currentIndex().row();
    if (!store.DeleteSwimmer(chosen->Id)) {
        reportStoreFailure();
        return;
    }
    reload(0);
    // The row that moved up into the deleted one's place is current.
    if (shown->rowCount() > 0)
        SwimmerTable->setCurrentIndex(shown->index(std::min(row, shown->rowCount() - 1), 0));
}

void TSwimmerWindow::ButtonAktivClick() {
    const TSwimmer* chosen = currentSwimmer();
    if (!chosen)
        return;
    TSwimmer changed = *chosen;
    changed.Active = !changed.Active;
    save(changed);
}

// The current row stays, the other marked one gives it its times and goes.
void TSwimmerWindow::ButtonMergeClick() {
    const QModelIndexList marked = SwimmerTable->selectionModel()->selectedRows();
    if (marked.size() != 2) {
        showStatus(u"Zum Zusammenführen zwei Schwimmer markieren (Umschalt oder Strg)."_s);
        return;
    }
    const bool firstIsCurrent = marked[0].row() == SwimmerTable->currentIndex().row();
    const TSwimmer kept =
        swimmers->swimmer(shown->mapToSource(marked[firstIsCurrent ? 0 : 1]).row());
    const TSwimmer gone =
        swimmers->swimmer(shown->mapToSource(marked[firstIsCurrent ? 1 : 0]).row());
    const auto named = [](const TSwimmer& swimmer) {
        return u"%1, Jg. %2"_s.arg(fromAnsi(swimmer.Name)).arg(swimmer.BirthYear);
    };
    if (AskYesNo(u"Die Schwimmer %1 und %2 zu einem zusammenführen? Es bleibt %1 mit den "
                 u"Zeiten beider."_s.arg(named(kept), named(gone)),
                 0) != AnswerYes)
        return;
    if (!store.MergeSwimmers(kept.Id, gone.Id)) {
        reportStoreFailure();
        return;
    }
    reload(kept.Id);
    SwimmerTable->setFocus();
}

void TSwimmerWindow::ButtonImportClick() {
    QStringList files;
    if (!FileDialogSeam::getOpenFileNames(this, u"Schwimmer importieren"_s, Global::ProgDir,
                                          {ImportFilters}, files))
        return;
    WaitCursor wait;
    std::vector<std::string> paths;
    for (const QString& file : std::as_const(files))
        paths.push_back(localPath(file));
    // An exchange file is read as on opening: a damaged one stops the import, a cut-off one is
    // named in a warning.
    const auto loadCompetition = [](const std::string& path, TMeldeAustausch& competition) {
        const TLoadReport report = competition.LoadFromFile(path);
        const QString shownPath = QDir::toNativeSeparators(QString::fromLocal8Bit(path));
        if (!report.Loaded())
            throw TImportFailure(
                fileText(VerdictText(report), shownPath, report.FailedCharacter).toStdString());
        if (report.Verdict == TFileVerdict::CutOff)
            ShowWarning(fileText(VerdictText(report), shownPath));
    };
    RunCommand([&] {
        try {
            const TImportTotal total =
                ImportIntoStore(store, paths, CheckAlleVereine->isChecked(), loadCompetition);
            showStatus(ImportCountText(total));
            ShowNotes(total.Notes);
        } catch (const TOwnClubUnknown& failure) {
            ShowError(QString::fromUtf8(failure.what()) +
                          u" Mit „Ergebnislisten: alle Vereine“ werden die Zeiten aller "
                          u"Vereine übernommen."_s,
                      0);
        } catch (const TImportFailure& failure) {
            ShowError(QString::fromUtf8(failure.what()), 0);
        }
    });
    reload(0);
    SwimmerTable->setFocus();
}

void TSwimmerWindow::ButtonExportClick() {
    QString fileName;
    QString filter;
    if (!FileDialogSeam::getSaveFileName(this, u"Schwimmerliste exportieren"_s,
                                         Global::ProgDir + u"schwimmer.csv"_s, {CsvFilter},
                                         fileName, filter))
        return;
    fileName = withDefaultExtension(fileName, u".csv"_s);
    const std::vector<TSwimmer> all = store.AllSwimmers();
    if (!RunCommand([&] { WriteFileAtomically(localPath(fileName), SwimmersToCsv(all)); }))
        return;
    showStatus(u"%1 Schwimmer nach %2 exportiert"_s.arg(all.size())
                   .arg(QDir::toNativeSeparators(fileName)));
}

void TSwimmerWindow::showBestTimes() {
    bestTimes->clear();
    bestTimes->setHorizontalHeaderLabels(BestTimeHeaders);
    const TSwimmer* chosen = currentSwimmer();
    if (!chosen)
        return;
    for (const TBestTime& best : store.BestTimes(chosen->Id)) {
        QList<QStandardItem*> row;
        for (const QString& text :
             {fromAnsi(DisciplineName(best.Discipline)), u"%1 m"_s.arg(best.LaneLength),
              fromAnsi(HundredthsToTimeText(best.Time.Hundredths)), germanDate(best.Time.Date),
              fromAnsi(best.Time.CompName)})
            row << new QStandardItem(text);
        bestTimes->appendRow(row);
    }
    BestTimeTable->resizeColumnsToContents();
}

void TSwimmerWindow::showStatus(const QString& text) {
    LabelStatus->setText(text);
}
