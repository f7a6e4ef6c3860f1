// SPDX-License-Identifier: GPL-3.0-or-later
#include "officialcover.h"

#include <algorithm>
#include <set>

#include "conversions.h"
#include "entrycheck.h"
#include "meldeaustausch.h"

int SectionCount(const TMeldeAustausch& model) {
    int count = std::clamp(model.AbsCnt, 0, PeriodSlots);
    for (int position = 1; position <= model.EventCount(); ++position)
        count = std::max(count, model.Event(position).Period);
    return count;
}

std::vector<int> SectionsWithoutOfficial(const TMeldeAustausch& model,
                                         const std::vector<int>& staffed) {
    std::set<int> sections;
    for (int position = 1; position <= model.NominCount(); ++position) {
        const int event = EventOfNomin(model, model.Nomin(position).WkNr);
        if (event > 0 && model.Event(event).Period > 0)
            sections.insert(model.Event(event).Period);
    }
    for (const int section : staffed)
        sections.erase(section);
    return {sections.begin(), sections.end()};
}

std::string SectionsWithoutOfficialText(const std::vector<int>& sections) {
    std::string numbers;
    for (const int section : sections)
        numbers += (numbers.empty() ? "" : ", ") + std::to_string(section);
    return CountText(static_cast<long long>(sections.size()), "Abschnitt", "Abschnitte") +
           " ohne Kampfrichter: " + numbers;
}
