// SPDX-License-Identifier: GPL-3.0-or-later
#include "nomintable.h"

#include <algorithm>
#include <tuple>
#include <unordered_map>

namespace {

// Event positions by number, as the entry checks find them: the last event of a number counts,
// and numbers below 1 name none.
class EventIndex {
public:
    explicit EventIndex(const std::vector<TEventRecord>& events) {
        positions.reserve(events.size());
        for (std::size_t position = 1; position < events.size(); ++position)
            positions[events[position].WkNr] = static_cast<int>(position);
    }
    int eventOf(int wkNr) const {
        const auto found = positions.find(wkNr);
        return wkNr < 1 || found == positions.end() ? 0 : found->second;
    }

private:
    std::unordered_map<int, int> positions;
};

// Numbers for the name keys so that sorting compares numbers: many names share long
// beginnings.
std::vector<int> rankNames(const std::vector<TNominRecord>& nomins) {
    std::vector<std::string> keys;
    keys.reserve(nomins.size());
    for (const TNominRecord& nomin : nomins)
        keys.push_back(SwimmerNameKey(nomin.Name));
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

std::vector<std::size_t> orderBySwimmer(const std::vector<TNominRecord>& nomins,
                                        const std::vector<int>& nameRank) {
    struct Entry {
        int Rank, Age, WkNr;
        std::size_t Index;
    };
    std::vector<Entry> entries;
    entries.reserve(nomins.size());
    for (std::size_t i = 0; i < nomins.size(); ++i)
        entries.push_back({nameRank[i], nomins[i].Age, nomins[i].WkNr, i});
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return std::tie(a.Rank, a.Age, a.WkNr, a.Index) < std::tie(b.Rank, b.Age, b.WkNr, b.Index);
    });
    std::vector<std::size_t> order;
    order.reserve(entries.size());
    for (const Entry& entry : entries)
        order.push_back(entry.Index);
    return order;
}

} // namespace

std::string SwimmerNameKey(const std::string& name) {
    std::string key = Trim(name);
    std::transform(key.begin(), key.end(), key.begin(), ToUpperAnsi);
    return key;
}

TNominTable TabulateNomins(const TMeldeAustausch& model) {
    TNominTable table;
    table.Events.reserve(static_cast<std::size_t>(model.EventCount()) + 1);
    table.Events.push_back(EmptyEvent);
    for (int position = 1; position <= model.EventCount(); ++position)
        table.Events.push_back(model.GetEvent(position));
    const EventIndex events(table.Events);
    table.Nomins.reserve(static_cast<std::size_t>(model.NominCount()));
    table.EventOf.reserve(static_cast<std::size_t>(model.NominCount()));
    for (int position = 1; position <= model.NominCount(); ++position) {
        table.Nomins.push_back(model.GetNomin(position));
        table.EventOf.push_back(events.eventOf(table.Nomins.back().WkNr));
    }
    table.NameRank = rankNames(table.Nomins);
    table.BySwimmer = orderBySwimmer(table.Nomins, table.NameRank);
    return table;
}
