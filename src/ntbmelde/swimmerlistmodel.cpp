// SPDX-License-Identifier: GPL-3.0-or-later
#include "swimmerlistmodel.h"

#include "ansi.h"
#include "germanorder.h"
#include "swimmertexts.h"

using namespace Qt::StringLiterals;

int TSwimmerListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(swimmers.size());
}

int TSwimmerListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TSwimmerListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        (role != Qt::DisplayRole && role != SortRole))
        return {};
    const TSwimmer& each = swimmers[index.row()];
    const bool display = role == Qt::DisplayRole;
    switch (index.column()) {
    case Name:
        return fromAnsi(each.Name);
    case Jahrgang:
        return display ? QVariant(QString::number(each.BirthYear)) : QVariant(each.BirthYear);
    case Geschlecht:
        return sexName(each.Sex);
    case RegNr:
        return fromAnsi(each.RegNr);
    case Aktiv:
        return each.Active ? u"ja"_s : u"nein"_s;
    case ZuletztGemeldet:
        return display ? QVariant(germanDate(each.LastEntered)) : QVariant(each.LastEntered);
    default:
        return {};
    }
}

QVariant TSwimmerListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QString captions[ColumnCount] = {u"Name"_s,       u"Jahrgang"_s,
                                                  u"Geschlecht"_s, u"Reg.-Nr."_s,
                                                  u"Aktiv"_s,      u"zuletzt gemeldet"_s};
    return section >= 0 && section < ColumnCount ? captions[section] : QVariant();
}

namespace {
const QCollator& germanCollator() {
    static const QCollator collator = GermanCollator();
    return collator;
}

QCollatorSortKey sortKey(const TSwimmer& swimmer) {
    return germanCollator().sortKey(fromAnsi(swimmer.Name));
}
} // namespace

void TSwimmerListModel::reload(std::vector<TSwimmer> fresh) {
    beginResetModel();
    swimmers = std::move(fresh);
    sortKeys.clear();
    sortKeys.reserve(swimmers.size());
    for (const TSwimmer& swimmer : swimmers)
        sortKeys.push_back(sortKey(swimmer));
    endResetModel();
}

int TSwimmerListModel::rowOf(qint64 id) const {
    for (std::size_t row = 0; row < swimmers.size(); ++row) {
        if (swimmers[row].Id == id)
            return static_cast<int>(row);
    }
    return -1;
}

int TSwimmerListModel::put(const TSwimmer& swimmer) {
    int row = rowOf(swimmer.Id);
    if (row < 0) {
        row = rowCount();
        beginInsertRows({}, row, row);
        swimmers.push_back(swimmer);
        sortKeys.push_back(sortKey(swimmer));
        endInsertRows();
        return row;
    }
    swimmers[static_cast<std::size_t>(row)] = swimmer;
    sortKeys[static_cast<std::size_t>(row)] = sortKey(swimmer);
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    return row;
}

bool TSwimmerListModel::nameBefore(int leftRow, int rightRow) const {
    return sortKeys[static_cast<std::size_t>(leftRow)].compare(
               sortKeys[static_cast<std::size_t>(rightRow)]) < 0;
}

bool TGermanSortProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const auto* list = qobject_cast<const TSwimmerListModel*>(sourceModel());
    if (list && left.column() == TSwimmerListModel::Name)
        return list->nameBefore(left.row(), right.row());
    const QVariant leftValue = left.data(sortRole());
    const QVariant rightValue = right.data(sortRole());
    if (leftValue.typeId() == QMetaType::QString && rightValue.typeId() == QMetaType::QString)
        return germanCollator().compare(leftValue.toString(), rightValue.toString()) < 0;
    return QSortFilterProxyModel::lessThan(left, right);
}
