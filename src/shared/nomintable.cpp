// SPDX-License-Identifier: GPL-3.0-or-later
#include "nomintable.h"

#include <algorithm>
#include <tuple>
#include <unordered_map>

#include "entrycheck.h"

namespace {

// Numbers for the name keys so that sorting compares numbers: many names share long
// beginnings.
std::vector<int> rankNames(const TMeldeAustausch& model) {
    std::vector<std::string> keys;
    keys.reserve(static_cast<std::size_t>(model.NominCount()));
    for (int position = 1; position <= model.NominCount(); ++position)
        keys.push_back(SwimmerNameKey(model.Nomin(position).Name));
    std::unordered_map<std::string_view, int> firstOfKey;
    firstOfKey.reserve(keys.size());
    std::vector<int> firstIndexes; // per nomination, the first nomination with its key
    firstIndexes.reserve(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        firstIndexes.push_back(firstOfKey.try_emplace(keys[i], static_cast<int>(i)).first->second);
    std::vector<int> distinctKeys;
    distinctKeys.reserve(firstOfKey.size());
    for (const auto& [key, first] : firstOfKey)
        distinctKeys.push_back(first);
    std::sort(distinctKeys.begin(), distinctKeys.end(),
              [&keys](int a, int b) { return keys[a] < keys[b]; });
    std::vector<int> rankOfFirst(keys.size());
    for (std::size_t rank = 0; rank < distinctKeys.size(); ++rank)
        rankOfFirst[distinctKeys[rank]] = static_cast<int>(rank);
    std::vector<int> ranks;
    ranks.reserve(keys.size());
    for (int first : firstIndexes)
        ranks.push_back(rankOfFirst[first]);
    return ranks;
}

std::vector<std::size_t> orderBySwimmer(const TMeldeAustausch& model,
                                        const std::vector<int>& nameRank) {
    struct Entry {
        int Rank, BirthYear, WkNr;
        std::size_t Index;
    };
    std::vector<Entry> entries;
    entries.reserve(nameRank.size());
    for (std::size_t i = 0; i < nameRank.size(); ++i) {
        const TNominRecord& nomin = model.Nomin(static_cast<int>(i) + 1);
        entries.push_back({nameRank[i], nomin.BirthYear, nomin.WkNr, i});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return std::tie(a.Rank, a.BirthYear, a.WkNr, a.Index) <
               std::tie(b.Rank, b.BirthYear, b.WkNr, b.Index);
    });
    std::vector<std::size_t> order;
    order.reserve(entries.size());
    for (const Entry& entry : entries)
        order.push_back(entry.Index);
    return order;
}

} // namespace

TNominTable TabulateNomins(const TMeldeAustausch& model) {
    TNominTable table;
    table.EventOf.reserve(static_cast<std::size_t>(model.NominCount()));
    for (int position = 1; position <= model.NominCount(); ++position)
        table.EventOf.push_back(EventOfNomin(model, model.Nomin(position).WkNr));
    table.NameRank = rankNames(model);
    table.BySwimmer = orderBySwimmer(model, table.NameRank);
    return table;
}
