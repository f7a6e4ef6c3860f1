// SPDX-License-Identifier: GPL-3.0-or-later
// The window "Schwimmer": the club's stored swimmers, to look through, correct, switch off,
// delete, merge two records of one person, import from earlier exchange files, CSV or result
// lists and export to CSV; the current swimmer's best times below. Every change is written
// to the store at once.
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;
class TSwimmerListModel;
class TSwimmerStore;
struct TSwimmer;

class TSwimmerWindow : public QDialog {
    Q_OBJECT
public:
    explicit TSwimmerWindow(TSwimmerStore& store, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void ButtonNeuClick();
    void ButtonEditClick();
    void ButtonDeleteClick();
    void ButtonAktivClick();
    void ButtonMergeClick();
    void ButtonImportClick();
    void ButtonExportClick();

private:
    void createControls();
    QPushButton* addButton(const QString& name, const QString& caption, const QString& hint,
                           void (TSwimmerWindow::*handler)());
    // Shows the store's swimmers afresh, keeping the one with `currentId` current.
    void reload(qint64 currentId);
    void makeCurrent(int sourceRow);
    // The swimmer in the current row, null when no row is current.
    const TSwimmer* currentSwimmer() const;
    void save(TSwimmer swimmer);
    void showBestTimes();
    void showStatus(const QString& text);
    void reportStoreFailure();

    TSwimmerStore& store;
    TSwimmerListModel* swimmers;
    QSortFilterProxyModel* shown;
    QLineEdit* EditFilter;
    QComboBox* ChooseSortierung;
    QTableView* SwimmerTable;
    QStandardItemModel* bestTimes;
    QTableView* BestTimeTable;
    QCheckBox* CheckAlleVereine;
    QLabel* LabelStatus;
    QPushButton* ButtonNeu;
    QPushButton* ButtonEdit;
    QPushButton* ButtonDelete;
    QPushButton* ButtonAktiv;
    QPushButton* ButtonMerge;
    QPushButton* ButtonImport;
    QPushButton* ButtonExport;
    QPushButton* ButtonClose;
};
