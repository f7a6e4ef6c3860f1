// SPDX-License-Identifier: GPL-3.0-or-later
// The window "Kampfrichter und Trainer": the club's officials and trainers as the store keeps
// them (officials also to and from CSV lists), and which of them are named for this competition
// (sections, wished position, the trainer). A change of the store is written at once, a nomination
// at once to the companion file of the exchange file.
#pragma once

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

#include "companionfile.h"
#include "swimmerstore.h"

class QComboBox;
class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;
class TMeldeAustausch;

class TOfficialsWindow : public QDialog {
    Q_OBJECT
public:
    // Says once why the companion file on disk cannot be used.
    TOfficialsWindow(TSwimmerStore& store, const TMeldeAustausch& model,
                     const std::string& exchangePath, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void ButtonNeuClick();
    void ButtonEditClick();
    void ButtonDeleteClick();
    void ButtonImportClick();
    void ButtonExportClick();
    void ChooseTrainerActivated(int index);
    void ButtonTrainerNeuClick();
    void ButtonTrainerDeleteClick();

private:
    // A row of the table: a stored official, or one nominated who is no longer stored.
    struct Row {
        std::optional<TOfficial> Stored;
        std::optional<TNominatedOfficial> Nominated;
    };
    void createControls();
    void reload(int currentRow);
    // Opens the official's dialog until the store takes what was typed or the user cancels.
    void edit(Row row);
    void saveCompanion();
    void reportStoreFailure();

    TSwimmerStore& store;
    const TMeldeAustausch& model;
    std::string exchangePath;
    TCompanion companion;
    std::vector<Row> rows;
    std::vector<TTrainer> trainers; // as the trainer choice lists them after "(keiner)"
    QStandardItemModel* table;
    QTableView* OfficialTable;
    QComboBox* ChooseTrainer;
    QLabel* LabelStatus;
    QPushButton* ButtonNeu;
    QPushButton* ButtonEdit;
    QPushButton* ButtonDelete;
    QPushButton* ButtonImport;
    QPushButton* ButtonExport;
    QPushButton* ButtonTrainerNeu;
    QPushButton* ButtonTrainerDelete;
    QPushButton* ButtonClose;
};
