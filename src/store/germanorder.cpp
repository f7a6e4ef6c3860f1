// SPDX-License-Identifier: GPL-3.0-or-later
#include "germanorder.h"

#include <QString>

#include <algorithm>
#include <numeric>

#include "windows1252.h"

QCollator GermanCollator() {
    QCollator german(QLocale(QLocale::German, QLocale::Germany));
    german.setCaseSensitivity(Qt::CaseInsensitive);
    return german;
}

std::vector<std::size_t> GermanNameOrder(const std::vector<std::string>& names) {
    const QCollator german = GermanCollator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(names.size());
    for (const std::string& name : names)
        keys.push_back(german.sortKey(QString::fromStdString(AnsiToUtf8(name))));
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return keys[a].compare(keys[b]) < 0; });
    return order;
}
