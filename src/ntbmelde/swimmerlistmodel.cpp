// SPDX-License-Identifier: GPL-3.0-or-later
#include "swimmerlistmodel.h"

#include <algorithm>
#include <tuple>

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

// The store's order: German by name, then birth year and stored row.
bool storedBefore(const TSwimmer& a, const TSwimmer& b) {
    if (const int byName = germanCollator().compare(fromAnsi(a.Name), fromAnsi(b.Name)))
        return byName < 0;
    return std::tie(a.BirthYear, a.Id) < std::tie(b.BirthYear, b.Id);
}
} // namespace

void TSwimmerListModel::reload(std::vector<TSwimmer> fresh) {
    beginResetModel();
    swimmers = std::move(fresh);
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
    const int old = rowOf(swimmer.Id);
    if (old >= 0) {
        const auto at = swimmers.begin() + old;
        const bool inPlace = (at == swimmers.begin() || !storedBefore(swimmer, *(at - 1))) &&
                             (at + 1 == swimmers.end() || !storedBefore(*(at + 1), swimmer));
        if (inPlace) {
            *at = swimmer;
            emit dataChanged(index(old, 0), index(old, ColumnCount - 1));
            return old;
        }
        beginRemoveRows({}, old, old);
        swimmers.erase(at);
        endRemoveRows();
    }
    const auto place = std::upper_bound(swimmers.begin(), swimmers.end(), swimmer, storedBefore);
    const int row = static_cast<int>(place - swimmers.begin());
    beginInsertRows({}, row, row);
    swimmers.insert(place, swimmer);
    endInsertRows();
    return row;
}

void TGermanSortProxy::sort(int column, Qt::SortOrder order) {
    const bool asListed = column == TSwimmerListModel::Name && order == Qt::AscendingOrder;
    QSortFilterProxyModel::sort(asListed ? -1 : column, order);
}

bool TGermanSortProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    if (left.column() == TSwimmerListModel::Name)
        return left.row() < right.row();
    const QVariant leftValue = left.data(sortRole());
    const QVariant rightValue = right.data(sortRole());
    if (leftValue.typeId() == QMetaType::QString && rightValue.typeId() == QMetaType::QString)
        return germanCollator().compare(leftValue.toString(), rightValue.toString()) < 0;
    return QSortFilterProxyModel::lessThan(left, right);
}
