// SPDX-License-Identifier: GPL-3.0-or-later
// The entry list: a view straight onto the model's nominations, one row per nomination in
// the model's order, so that rebuilding it costs nothing however many entries there are.
#pragma once

#include <QAbstractTableModel>

class TMeldeAustausch;

class TEntryListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Columns { Name, RegNr, Jahrgang, WkNr, Zeit, ColumnCount };

    explicit TEntryListModel(const TMeldeAustausch& nominations, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Shows the model's nominations afresh after they were changed, deleted or sorted.
    void reload();

private:
    const TMeldeAustausch& nominations;
};
