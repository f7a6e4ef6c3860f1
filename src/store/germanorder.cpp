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

void SortByGermanName(std::vector<TSwimmer>& swimmers) {
    const QCollator german = GermanCollator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(swimmers.size());
    for (const TSwimmer& swimmer : swimmers)
        keys.push_back(german.sortKey(QString::fromStdString(AnsiToUtf8(swimmer.Name))));
    std::vector<std::size_t> order(swimmers.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return keys[a].compare(keys[b]) < 0; });
    std::vector<TSwimmer> sorted;
    sorted.reserve(swimmers.size());
    for (const std::size_t index : order)
        sorted.push_back(std::move(swimmers[index]));
    swimmers = std::move(sorted);
}
