// SPDX-License-Identifier: GPL-3.0-or-later
// The swimmer list: one row per stored swimmer.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "swimmerstore.h"

class TSchwimmerlisteModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Columns { Name, Jahrgang, Geschlecht, RegNr, Aktiv, ZuletztGemeldet, ColumnCount };
    // What a column sorts by: names without letter case, years and dates as such.
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

private:
    std::vector<TSwimmer> swimmers;
    // Per row, the name as the list sorts it: made once, as sorting asks for it often.
    std::vector<QString> sortNames;
};
