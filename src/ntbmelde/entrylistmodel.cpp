// SPDX-License-Identifier: GPL-3.0-or-later
#include "entrylistmodel.h"

#include "ansi.h"
#include "meldeaustausch.h"

namespace {
// Names left, numbers centred; a caption stands like the values under it.
QVariant columnAlignment(int column) {
    const bool left = column == TEntryListModel::Name || column == TEntryListModel::RegNr;
    return QVariant::fromValue(Qt::AlignVCenter | (left ? Qt::AlignLeft : Qt::AlignHCenter));
}
} // namespace

TEntryListModel::TEntryListModel(const TMeldeAustausch& nominations, QObject* parent)
    : QAbstractTableModel(parent), nominations(nominations) {}

int TEntryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : nominations.NominCount();
}

int TEntryListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TEntryListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::TextAlignmentRole)
        return columnAlignment(index.column());
    if (role != Qt::DisplayRole)
        return {};
    const TNominRecord& nomin = nominations.Nomin(index.row() + 1);
    switch (index.column()) {
    case Name:
        return fromAnsi(nomin.Name);
    case RegNr:
        return fromAnsi(nomin.RegNr);
    case Jahrgang:
        return QString::number(nomin.BirthYear);
    case WkNr:
        return fromAnsi(TMeldeAustausch::WkNrToText(nomin.WkNr));
    case Zeit:
        return fromAnsi(HundredthsToTimeText(nomin.Time));
    }
    return {};
}

QVariant TEntryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole)
        return columnAlignment(section);
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Name:
        return QStringLiteral("Name");
    case RegNr:
        return QStringLiteral("Reg.Nr.");
    case Jahrgang:
        return QStringLiteral("Jg");
    case WkNr:
        return QStringLiteral("WkNr");
    case Zeit:
        return QStringLiteral("Zeit");
    }
    return {};
}

void TEntryListModel::reload() {
    beginResetModel();
    endResetModel();
}
