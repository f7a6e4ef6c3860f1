// SPDX-License-Identifier: GPL-3.0-or-later
#include "officialswindow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

#include "ansi.h"
#include "appearance.h"
#include "atomicfile.h"
#include "conversions.h"
#include "dialogseam.h"
#include "fileopening.h"
#include "germanorder.h"
#include "global.h"
#include "meldeaustausch.h"
#include "messages.h"
#include "officialcover.h"
#include "officialcsv.h"
#include "officialdialog.h"
#include "officialnomination.h"
#include "swimmerimport.h"
#include "typinglimit.h"

using namespace Qt::StringLiterals;

namespace {
const QStringList Headers = {u"Name"_s,  u"Kampfrichter-Nr."_s,    u"Gruppe"_s, u"Geschl."_s,
                             u"Aktiv"_s, u"Für diesen Wettkampf"_s};
const QString NoTrainer = u"(keiner)"_s;
const QString CsvFilter = u"Kampfrichterliste (*.csv)"_s;

// A nominated official no longer stored, as the store would keep him.
TOfficial asOfficial(const TNominatedOfficial& nominated) {
    return {0, nominated.Name, nominated.Number, nominated.Group, nominated.Sex, true};
}

QPushButton* makeButton(const QString& name, const QString& caption, const QString& hint) {
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setAutoDefault(false);
    return button;
}
} // namespace

TOfficialsWindow::TOfficialsWindow(TSwimmerStore& store, const TMeldeAustausch& model,
                                   const std::string& exchangePath, QWidget* parent)
    : QDialog(parent), store(store), model(model), exchangePath(exchangePath) {
    createControls();
    const TCompanionLoad load = LoadCompanion(exchangePath, model);
    companion = load.Companion;
    if (!load.Problem.isEmpty())
        ShowWarning(load.Problem);
    reload(0);
    OfficialTable->setFocus();
}

void TOfficialsWindow::createControls() {
    setObjectName(u"OfficialsWindow"_s);
    setWindowTitle(u"Kampfrichter und Trainer"_s);
    useFixedDialogFrame(this);
    setFont(pixelFont(u"Arial"_s, QFont::SansSerif, 11));

    table = new QStandardItemModel(this);
    OfficialTable = new QTableView;
    OfficialTable->setObjectName(u"OfficialTable"_s);
    OfficialTable->setModel(table);
    OfficialTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    OfficialTable->setSelectionMode(QAbstractItemView::SingleSelection);
    OfficialTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    OfficialTable->setTabKeyNavigation(false);
    OfficialTable->setWordWrap(false);
    OfficialTable->verticalHeader()->hide();
    OfficialTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    OfficialTable->horizontalHeader()->setStretchLastSection(true);
    OfficialTable->installEventFilter(this);
    connect(OfficialTable, &QTableView::doubleClicked, this, &TOfficialsWindow::ButtonEditClick);
    auto* tableLabel = new QLabel(u"&Kampfrichter des Vereins"_s);
    tableLabel->setBuddy(OfficialTable);

    ChooseTrainer = new QComboBox;
    ChooseTrainer->setObjectName(u"ChooseTrainer"_s);
    ChooseTrainer->setToolTip(u"Der Trainer, den die Meldung für diesen Wettkampf nennt"_s);
    connect(ChooseTrainer, &QComboBox::activated, this, &TOfficialsWindow::ChooseTrainerActivated);
    auto* trainerLabel = new QLabel(u"&Trainer für diesen Wettkampf"_s);
    trainerLabel->setBuddy(ChooseTrainer);

    LabelStatus = new QLabel;
    LabelStatus->setObjectName(u"LabelStatus"_s);
    LabelStatus->setWordWrap(true);

    ButtonNeu = makeButton(u"ButtonNeu"_s, u"&Neu …"_s, u"Einen Kampfrichter aufnehmen"_s);
    ButtonEdit = makeButton(u"ButtonEdit"_s, u"&Bearbeiten …"_s,
                            u"Den gewählten Kampfrichter bearbeiten und für Abschnitte melden "
                            u"(Enter)"_s);
    ButtonDelete = makeButton(u"ButtonDelete"_s, u"&Löschen"_s,
                              u"Den gewählten Kampfrichter aus der Liste löschen, oder eine "
                              u"Meldung ohne ihn zurücknehmen (Entf)"_s);
    ButtonImport = makeButton(u"ButtonImport"_s, u"Im&portieren …"_s,
                              u"Kampfrichter aus einer CSV-Datei übernehmen"_s);
    ButtonExport = makeButton(u"ButtonExport"_s, u"E&xportieren …"_s,
                              u"Kampfrichterliste als CSV-Datei speichern"_s);
    ButtonTrainerNeu = makeButton(u"ButtonTrainerNeu"_s, u"Trainer &hinzufügen …"_s,
                                  u"Einen Trainer in die Trainerliste aufnehmen"_s);
    ButtonTrainerDelete =
        makeButton(u"ButtonTrainerDelete"_s, u"Trainer &entfernen"_s,
                   u"Den gewählten Trainer aus der Trainerliste löschen; für diesen Wettkampf "
                   u"bleibt er genannt"_s);
    ButtonClose = makeButton(u"ButtonClose"_s, u"S&chließen"_s, u"Fenster schließen (Esc)"_s);
    connect(ButtonNeu, &QPushButton::clicked, this, &TOfficialsWindow::ButtonNeuClick);
    connect(ButtonEdit, &QPushButton::clicked, this, &TOfficialsWindow::ButtonEditClick);
    connect(ButtonDelete, &QPushButton::clicked, this, &TOfficialsWindow::ButtonDeleteClick);
    connect(ButtonImport, &QPushButton::clicked, this, &TOfficialsWindow::ButtonImportClick);
    connect(ButtonExport, &QPushButton::clicked, this, &TOfficialsWindow::ButtonExportClick);
    connect(ButtonTrainerNeu, &QPushButton::clicked, this,
            &TOfficialsWindow::ButtonTrainerNeuClick);
    connect(ButtonTrainerDelete, &QPushButton::clicked, this,
            &TOfficialsWindow::ButtonTrainerDeleteClick);
    connect(ButtonClose, &QPushButton::clicked, this, &QDialog::accept);

    auto* trainerRow = new QHBoxLayout;
    trainerRow->addWidget(trainerLabel);
    trainerRow->addWidget(ChooseTrainer, 1);
    trainerRow->addWidget(ButtonTrainerNeu);
    trainerRow->addWidget(ButtonTrainerDelete);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* each : {ButtonNeu, ButtonEdit, ButtonDelete, ButtonImport, ButtonExport})
        buttons->addWidget(each);
    buttons->addStretch();
    buttons->addWidget(ButtonClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tableLabel);
    layout->addWidget(OfficialTable, 1);
    layout->addWidget(LabelStatus);
    layout->addLayout(trainerRow);
    layout->addLayout(buttons);
    fitDialogSize(this, QSize(760, 460));

    setTabOrder(OfficialTable, ButtonNeu);
    setTabOrder(ButtonNeu, ButtonEdit);
    setTabOrder(ButtonEdit, ButtonDelete);
    setTabOrder(ButtonDelete, ButtonImport);
    setTabOrder(ButtonImport, ButtonExport);
    setTabOrder(ButtonExport, ButtonClose);
    setTabOrder(ButtonClose, ChooseTrainer);
    setTabOrder(ChooseTrainer, ButtonTrainerNeu);
    setTabOrder(ButtonTrainerNeu, ButtonTrainerDelete);
}

// Enter edits, Delete deletes.
bool TOfficialsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != OfficialTable || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::AltModifier | Qt::ControlModifier))
        return false;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        ButtonEditClick();
        return true;
    }
    if (key->key() == Qt::Key_Delete) {
        ButtonDeleteClick();
        return true;
    }
    return false;
}

// The stored officials, then those nominated who are no longer stored; the trainers.
void TOfficialsWindow::reload(int currentRow) {
    std::vector<TOfficial> stored = store.AllOfficials();
    SortByGermanName(stored);
    rows.clear();
    for (const TOfficial& official : stored) {
        Row row{official, std::nullopt};
        for (const TNominatedOfficial& nominated : companion.Officials) {
            if (NamesOfficial(nominated, official))
                row.Nominated = nominated;
        }
        rows.push_back(row);
    }
    for (const TNominatedOfficial& nominated : companion.Officials) {
        if (std::none_of(stored.begin(), stored.end(), [&](const TOfficial& official) {
                return NamesOfficial(nominated, official);
            }))
            rows.push_back({std::nullopt, nominated});
    }
    table->clear();
    table->setHorizontalHeaderLabels(Headers);
    for (const Row& row : rows) {
        const TOfficial shown = row.Stored ? *row.Stored : asOfficial(*row.Nominated);
        QString nomination;
        if (row.Nominated) {
            // What follows the name, group and number in the tool's listing.
            const std::string text = NominationText(*row.Nominated, stored);
            nomination = fromAnsi(text.substr(text.find("): ") + 3));
        }
        QList<QStandardItem*> items;
        for (const QString& text :
             {fromAnsi(shown.Name), fromAnsi(shown.Number), fromAnsi(shown.Group),
              fromAnsi(shown.Sex), row.Stored ? (shown.Active ? u"ja"_s : u"nein"_s) : QString(),
              nomination})
            items << new QStandardItem(text);
        table->appendRow(items);
    }
    // Room for the nominations, which say the most.
    const int unit = fontMetrics().averageCharWidth();
    for (const auto& [column, characters] : {std::pair(0, 28), {1, 16}, {2, 8}, {3, 8}, {4, 7}})
        OfficialTable->setColumnWidth(column, characters * unit);
    const bool any = !rows.empty();
    ButtonEdit->setEnabled(any);
    ButtonDelete->setEnabled(any);
    if (any)
        OfficialTable->setCurrentIndex(
            table->index(std::clamp(currentRow, 0, int(rows.size()) - 1), 0));
    const std::vector<int> unstaffed = SectionsWithoutOfficial(model, StaffedSections(companion));
    LabelStatus->setText(!store.Problem().isEmpty() ? store.Problem()
                         : unstaffed.empty()
                             ? QString()
                             : fromAnsi(SectionsWithoutOfficialText(unstaffed)) + u'.');

    trainers = store.AllTrainers();
    SortByGermanName(trainers);
    // A trainer named for the competition but deleted from the list since stays choosable.
    for (const TNamedTrainer& named : companion.Trainers) {
        if (std::none_of(trainers.begin(), trainers.end(),
                         [&](const TTrainer& each) { return each.Name == named.Name; }))
            trainers.push_back({0, named.Name, named.Sex});
    }
    ChooseTrainer->clear();
    ChooseTrainer->addItem(NoTrainer);
    for (const TTrainer& trainer : trainers)
        ChooseTrainer->addItem(fromAnsi(trainer.Name));
    if (!companion.Trainers.empty())
        ChooseTrainer->setCurrentText(fromAnsi(companion.Trainers.front().Name));
}

void TOfficialsWindow::edit(Row row) {
    TOfficial official = row.Stored      ? *row.Stored
                         : row.Nominated ? asOfficial(*row.Nominated)
                                         : TOfficial{};
    const TCompanion before = companion;
    for (;;) {
        TOfficialDialog dialog(official, SectionCount(model),
                               row.Nominated ? &*row.Nominated : nullptr, this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        official = dialog.official();
        if (!store.SaveOfficial(official)) {
            reportStoreFailure();
            continue;
        }
        // The nomination follows the official's stored name and number.
        if (row.Nominated)
            WithdrawOfficial(companion, row.Nominated->Number.empty() ? row.Nominated->Name
                                                                      : row.Nominated->Number);
        if (!dialog.sections().empty()) {
            const QString refusal =
                NominateOfficial(companion, model, official, dialog.sections(), dialog.position());
            if (!refusal.isEmpty())
                ShowError(refusal, 0);
        }
        break;
    }
    if (companion != before)
        saveCompanion();
    const auto at = std::find_if(rows.begin(), rows.end(), [&](const Row& each) {
        return each.Stored && each.Stored->Id == official.Id;
    });
    reload(int(at - rows.begin()));
}

void TOfficialsWindow::ButtonNeuClick() {
    RunCommand([this] { edit({}); });
    OfficialTable->setFocus();
}

void TOfficialsWindow::ButtonEditClick() {
    RunCommand([this] {
        const int current = OfficialTable->currentIndex().row();
        if (current >= 0 && current < int(rows.size()))
            edit(rows[std::size_t(current)]);
    });
    OfficialTable->setFocus();
}

// A stored official leaves the list, and stays nominated by name and number; one no longer
// stored is no longer nominated.
void TOfficialsWindow::ButtonDeleteClick() {
    RunCommand([this] {
        const int current = OfficialTable->currentIndex().row();
        if (current < 0 || current >= int(rows.size()))
            return;
        const Row& row = rows[std::size_t(current)];
        if (row.Stored) {
            if (AskYesNo(
                    u"Den Kampfrichter %1 aus der Liste löschen?"_s.arg(fromAnsi(row.Stored->Name)),
                    0, AnswerNo) != AnswerYes)
                return;
            if (!store.DeleteOfficial(row.Stored->Id))
                reportStoreFailure();
        } else {
            if (AskYesNo(u"%1 für diesen Wettkampf nicht mehr melden?"_s.arg(
                             fromAnsi(row.Nominated->Name)),
                         0, AnswerNo) != AnswerYes)
                return;
            WithdrawOfficial(companion, row.Nominated->Number.empty() ? row.Nominated->Name
                                                                      : row.Nominated->Number);
            saveCompanion();
        }
        reload(current);
    });
    OfficialTable->setFocus();
}

void TOfficialsWindow::ButtonImportClick() {
    QString file;
    if (FileDialogSeam::getOpenFileName(this, u"Kampfrichter importieren"_s, Global::ProgDir,
                                        {CsvFilter}, file))
        RunCommand([&] {
            QStringList notes;
            try {
                const TListCount count = ImportOfficialsFile(store, localPath(file), notes);
                reload(0);
                LabelStatus->setText(OfficialsCountText(count));
                ShowNotes(notes);
            } catch (const TImportFailure& failure) {
                ShowError(QString::fromUtf8(failure.what()), 0);
            }
        });
    OfficialTable->setFocus();
}

void TOfficialsWindow::ButtonExportClick() {
    QString file;
    QString filter;
    if (FileDialogSeam::getSaveFileName(this, u"Kampfrichterliste exportieren"_s,
                                        Global::ProgDir + u"kampfrichter.csv"_s, {CsvFilter}, file,
                                        filter))
        RunCommand([&] {
            std::vector<TOfficial> all = store.AllOfficials();
            SortByGermanName(all);
            file = withDefaultExtension(file, u".csv"_s);
            WriteFileAtomically(localPath(file), OfficialsToCsv(all));
        });
    OfficialTable->setFocus();
}

void TOfficialsWindow::ChooseTrainerActivated(int index) {
    RunCommand([this, index] {
        const TCompanion before = companion;
        if (index <= 0)
            companion.Trainers.clear();
        else
            NameTrainer(companion, trainers[std::size_t(index - 1)]);
        if (companion != before)
            saveCompanion();
    });
}

void TOfficialsWindow::ButtonTrainerNeuClick() {
    RunCommand([this] {
        QInputDialog ask(this);
        ask.setObjectName(u"TrainerDialog"_s);
        ask.setWindowTitle(u"Neuer Trainer"_s);
        ask.setLabelText(u"&Name (NACHNAME, VORNAME)"_s);
        ask.setInputMode(QInputDialog::TextInput);
        ask.setOkButtonText(u"O&K"_s);
        ask.setCancelButtonText(u"Ab&brechen"_s);
        // Only what the exchange file can hold, as in every name field.
        if (auto* edit = ask.findChild<QLineEdit*>())
            restrictTyping(edit, 30);
        const QString name = ask.exec() == QDialog::Accepted ? ask.textValue() : QString();
        if (name.trimmed().isEmpty())
            return;
        TTrainer trainer{0, ConvertName(Trim(toAnsi(name)), 0), {}};
        if (!store.SaveTrainer(trainer))
            reportStoreFailure();
        reload(OfficialTable->currentIndex().row());
        ChooseTrainer->setFocus();
    });
}

void TOfficialsWindow::ButtonTrainerDeleteClick() {
    RunCommand([this] {
        const int index = ChooseTrainer->currentIndex();
        if (index <= 0 || trainers[std::size_t(index - 1)].Id == 0)
            return;
        const TTrainer& trainer = trainers[std::size_t(index - 1)];
        if (AskYesNo(u"Den Trainer %1 aus der Liste löschen?"_s.arg(fromAnsi(trainer.Name)), 0,
                     AnswerNo) != AnswerYes)
            return;
        if (!store.DeleteTrainer(trainer.Id))
            reportStoreFailure();
        reload(OfficialTable->currentIndex().row());
        ChooseTrainer->setFocus();
    });
}

// Written at once, so that an export in between already has it; a failed write shows what is
// on disk again.
void TOfficialsWindow::saveCompanion() {
    QStringList notes;
    try {
        SaveCompanion(exchangePath, model, companion, &notes);
    } catch (...) {
        companion = LoadCompanion(exchangePath, model).Companion;
        throw;
    }
    ShowNotes(notes);
}

// The store's sentence without its full stop: the error box ends it.
void TOfficialsWindow::reportStoreFailure() {
    QString text = store.Problem();
    if (text.endsWith(u'.'))
        text.chop(1);
    ShowError(text, 0);
}
