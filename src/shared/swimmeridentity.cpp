// SPDX-License-Identifier: GPL-3.0-or-later
#include "swimmeridentity.h"

#include <algorithm>

#include "conversions.h"
#include "meldeaustausch.h"
#include "windows1252.h"

namespace {

// Controls, and the five bytes Windows-1252 leaves unassigned (read as C1 controls).
bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 32 || byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F ||
           byte == 0x90 || byte == 0x9D;
}

std::string withoutControls(std::string_view text) {
    std::string result(text);
    std::replace_if(result.begin(), result.end(), isControl, ' ');
    return result;
}

std::string normalizedOnce(std::string name) {
    // Nothing before the comma: the rest is the name.
    const std::size_t comma = name.find(',');
    if (comma != std::string::npos && Trim(name.substr(0, comma)).empty())
        name.erase(0, comma + 1);
    name = ConvertName(std::move(name), 0);
    if (name.size() > NominNameCapacity) {
        name = TrimRight(name.substr(0, NominNameCapacity));
        if (!name.empty() && name.back() == ',')
            name = TrimRight(name.substr(0, name.size() - 1));
    }
    return name;
}

} // namespace

std::string NormalizedSwimmerName(std::string_view name) {
    // A cut can take the comma away and leave a name the next pass turns round; each such
    // pass shortens the name, so this ends.
    std::string current = normalizedOnce(withoutControls(name));
    for (std::string next = normalizedOnce(current); next != current;
         next = normalizedOnce(current))
        current = std::move(next);
    return current;
}

std::string SwimmerNameKey(std::string_view name) {
    std::string key = NormalizedSwimmerName(name);
    std::transform(key.begin(), key.end(), key.begin(), ToUpperAnsi);
    return key;
}

std::string RegNrKey(std::string_view regNr) {
    std::string key;
    for (char c : regNr) {
        if (static_cast<unsigned char>(c) > 32 && !(key.empty() && c == '0'))
            key += ToUpperAnsi(c);
    }
    return key;
}

std::string StoredRegNr(std::string_view regNr) {
    return RegNrKey(regNr).empty() ? std::string() : Trim(withoutControls(regNr));
}

TSwimmerIdentity TSwimmerIdentity::Of(std::string_view name, int birthYear, std::uint8_t sex,
                                      std::string_view regNr) {
    return {SwimmerNameKey(name), birthYear, sex, ::RegNrKey(regNr)};
}

TSameSwimmer CompareSwimmers(const TSwimmerIdentity& a, const TSwimmerIdentity& b) {
    if (!a.RegNrKey.empty() && a.RegNrKey == b.RegNrKey)
        return a.NameKey == b.NameKey || a.BirthYear == b.BirthYear ? TSameSwimmer::Yes
                                                                    : TSameSwimmer::RegNrConflict;
    return a.NameKey == b.NameKey && a.BirthYear == b.BirthYear && a.Sex == b.Sex
               ? TSameSwimmer::Yes
               : TSameSwimmer::No;
}

TSwimmerGroups::TFound TSwimmerGroups::Add(const TSwimmerIdentity& identity) {
    TFound found;
    if (!identity.RegNrKey.empty()) {
        for (int group : byRegNr[identity.RegNrKey]) {
            const TSameSwimmer same =
                CompareSwimmers(identity, identities[static_cast<std::size_t>(group)]);
            if (same == TSameSwimmer::Yes)
                return {group, false, false};
            found.RegNrConflict = found.RegNrConflict || same == TSameSwimmer::RegNrConflict;
        }
    }
    const auto nameKey = std::tuple(identity.NameKey, identity.BirthYear, identity.Sex);
    if (const auto byKey = byName.find(nameKey); byKey != byName.end()) {
        found.Group = byKey->second;
        return found;
    }
    found.Group = Count();
    found.Added = true;
    identities.push_back(identity);
    byName.emplace(nameKey, found.Group);
    if (!identity.RegNrKey.empty())
        byRegNr[identity.RegNrKey].push_back(found.Group);
    return found;
}
