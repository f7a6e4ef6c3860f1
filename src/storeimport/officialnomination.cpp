// SPDX-License-Identifier: GPL-3.0-or-later
#include "officialnomination.h"

#include <algorithm>

#include "conversions.h"
#include "interoptext.h"
#include "meldeaustausch.h"
#include "officialcover.h"
#include "swimmeridentity.h"

bool NamesOfficial(const TNominatedOfficial& nominated, const TOfficial& official) {
    if (!nominated.Number.empty() && !official.Number.empty())
        return nominated.Number == official.Number;
    return SwimmerNameKey(nominated.Name) == SwimmerNameKey(official.Name);
}

QString NominateOfficial(TCompanion& companion, const TMeldeAustausch& model,
                         const TOfficial& official, std::vector<int> sections,
                         const std::string& position) {
    if (sections.empty())
        return QStringLiteral("Kein Abschnitt angegeben");
    const int count = SectionCount(model);
    for (const int section : sections) {
        if (section < 1 || section > count)
            return QStringLiteral("Abschnitt %1 gibt es in diesem Wettkampf nicht (%2)")
                .arg(section)
                .arg(count == 1 ? QStringLiteral("nur Abschnitt 1")
                                : QStringLiteral("Abschnitte 1 bis %1").arg(count));
    }
    if (!position.empty() && std::find(std::begin(OfficialPositions), std::end(OfficialPositions),
                                       position) == std::end(OfficialPositions))
        return QStringLiteral("Einsatzwunsch „%1“ unbekannt").arg(AnsiToQString(position));
    std::sort(sections.begin(), sections.end());
    sections.erase(std::unique(sections.begin(), sections.end()), sections.end());
    TNominatedOfficial nominated{official.Name, official.Number, official.Group, official.Sex, {}};
    for (const int section : sections)
        nominated.Sections.push_back({section, position});
    const auto earlier =
        std::find_if(companion.Officials.begin(), companion.Officials.end(),
                     [&](const TNominatedOfficial& each) { return NamesOfficial(each, official); });
    if (earlier == companion.Officials.end())
        companion.Officials.push_back(nominated);
    else
        *earlier = nominated;
    return {};
}

std::optional<std::string> WithdrawOfficial(TCompanion& companion, std::string_view nameOrNumber) {
    const std::string number = Trim(std::string(nameOrNumber));
    const std::string nameKey = SwimmerNameKey(nameOrNumber);
    const auto nominated =
        std::find_if(companion.Officials.begin(), companion.Officials.end(),
                     [&](const TNominatedOfficial& each) {
                         return (!each.Number.empty() && each.Number == number) ||
                                SwimmerNameKey(each.Name) == nameKey;
                     });
    if (nominated == companion.Officials.end())
        return std::nullopt;
    const std::string name = nominated->Name;
    companion.Officials.erase(nominated);
    return name;
}

void NameTrainer(TCompanion& companion, const TTrainer& trainer) {
    companion.Trainers = {{trainer.Name, trainer.Sex}};
}

std::string NominationText(const TNominatedOfficial& nominated,
                           const std::vector<TOfficial>& stored) {
    std::string text = nominated.Name + " (";
    if (!nominated.Number.empty())
        text += "Nr. " + nominated.Number + ", ";
    text += nominated.Group + "): ";
    for (std::size_t i = 0; i < nominated.Sections.size(); ++i) {
        const TOfficialSection& section = nominated.Sections[i];
        const char* first = nominated.Sections.size() == 1 ? "Abschnitt " : "Abschnitte ";
        text += (i == 0 ? first : ", ") + std::to_string(section.Section);
        if (!section.Position.empty())
            text += " (" + section.Position + ")";
    }
    const bool kept = std::any_of(stored.begin(), stored.end(), [&](const TOfficial& official) {
        return NamesOfficial(nominated, official);
    });
    return kept ? text : text + " \x96 nicht mehr in der Kampfrichterliste";
}
