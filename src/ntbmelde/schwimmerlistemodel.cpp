// SPDX-License-Identifier: GPL-3.0-or-later
#include "schwimmerlistemodel.h"

#include "ansi.h"
#include "swimmertexts.h"

using namespace Qt::StringLiterals;

int TSchwimmerlisteModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(swimmers.size());
}

int TSchwimmerlisteModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TSchwimmerlisteModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) ||
        (role != Qt::DisplayRole && role != SortRole))
        return {};
    const TSwimmer& each = swimmers[index.row()];
    const bool display = role == Qt::DisplayRole;
    switch (index.column()) {
    case Name:
        return display ? fromAnsi(each.Name) : sortNames[static_cast<std::size_t>(index.row())];
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

QVariant TSchwimmerlisteModel::headerData(int section, Qt::Orientation orientation,
                                          int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QString captions[ColumnCount] = {u"Name"_s,       u"Jahrgang"_s,
                                                  u"Geschlecht"_s, u"Reg.-Nr."_s,
                                                  u"Aktiv"_s,      u"zuletzt gemeldet"_s};
    return section >= 0 && section < ColumnCount ? captions[section] : QVariant();
}

namespace {
QString sortName(const TSwimmer& swimmer) {
    return fromAnsi(swimmer.Name).toLower();
}
} // namespace

void TSchwimmerlisteModel::reload(std::vector<TSwimmer> fresh) {
    beginResetModel();
    swimmers = std::move(fresh);
    sortNames.clear();
    sortNames.reserve(swimmers.size());
    for (const TSwimmer& swimmer : swimmers)
        sortNames.push_back(sortName(swimmer));
    endResetModel();
}

int TSchwimmerlisteModel::rowOf(qint64 id) const {
    for (std::size_t row = 0; row < swimmers.size(); ++row) {
        if (swimmers[row].Id == id)
            return static_cast<int>(row);
    }
    return -1;
}

int TSchwimmerlisteModel::put(const TSwimmer& swimmer) {
    int row = rowOf(swimmer.Id);
    if (row < 0) {
        row = rowCount();
        beginInsertRows({}, row, row);
        swimmers.push_back(swimmer);
        sortNames.push_back(sortName(swimmer));
        endInsertRows();
        return row;
    }
    swimmers[static_cast<std::size_t>(row)] = swimmer;
    sortNames[static_cast<std::size_t>(row)] = sortName(swimmer);
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    return row;
}
