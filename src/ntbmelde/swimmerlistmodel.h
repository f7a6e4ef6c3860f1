// SPDX-License-Identifier: GPL-3.0-or-later
// The swimmer list: one row per stored swimmer, held in the store's order (German by name, then
// birth year and stored row), so that showing it by name needs no sorting.
#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <vector>

#include "swimmerstore.h"

class TSwimmerListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Columns { Name, Jahrgang, Geschlecht, RegNr, Aktiv, ZuletztGemeldet, ColumnCount };
    // What a column sorts by: years and dates as such (names by their row).
    static constexpr int SortRole = Qt::UserRole;

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The swimmers as TSwimmerStore::AllSwimmers lists them.
    void reload(std::vector<TSwimmer> swimmers);
    const TSwimmer& swimmer(int row) const { return swimmers[row]; }
    // The row of the swimmer with that id, -1 when there is none.
    int rowOf(qint64 id) const;
    // Shows one stored swimmer as the store now has it, in its row or, when its name or birth
    // year moves it, in the row of its new place; its row.
    int put(const TSwimmer& swimmer);

private:
    std::vector<TSwimmer> swimmers;
};

// The swimmer list as shown: filtered, and sorted as German readers expect, texts through a
// German collator (Ä with A, ß with ss, letter case aside), never by character codes. By name
// it is shown in the list's own order, which 100,000 swimmers need not be sorted into.
class TGermanSortProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};
