// SPDX-License-Identifier: GPL-3.0-or-later
// The swimmer list: one row per stored swimmer.
#pragma once

#include <QAbstractTableModel>
#include <QCollator>
#include <QSortFilterProxyModel>
#include <vector>

#include "swimmerstore.h"

class TSwimmerListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Columns { Name, Jahrgang, Geschlecht, RegNr, Aktiv, ZuletztGemeldet, ColumnCount };
    // What a column sorts by: years and dates as such (names through nameBefore).
    static constexpr int SortRole = Qt::UserRole;

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void reload(std::vector<TSwimmer> swimmers);
    const TSwimmer& swimmer(int row) const { return swimmers[row]; }
    // The row of the swimmer with that id, -1 when there is none.
    int rowOf(qint64 id) const;
    // Shows one stored swimmer as the store now has it, in its row or in a new one; its row.
    int put(const TSwimmer& swimmer);
    // Whether the name of row `leftRow` comes before that of `rightRow` in German order.
    bool nameBefore(int leftRow, int rightRow) const;

private:
    std::vector<TSwimmer> swimmers;
    // Per row, the name's German sort key: made once, as sorting asks for it often.
    std::vector<QCollatorSortKey> sortKeys;
};

// The swimmer list as shown: filtered, and sorted as German readers expect, texts through a
// German collator (Ä with A, ß with ss, letter case aside), never by character codes.
class TGermanSortProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
};
