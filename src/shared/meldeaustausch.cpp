// SPDX-License-Identifier: GPL-3.0-or-later
#include "meldeaustausch.h"

#include <algorithm>
#include <cstdint>
#include <sys/stat.h>
#include <utility>

#include "atomicfile.h"
#include "exchangefile.h"
#include "simplexml.h"
#include "utf8.h"

const TEventRecord EmptyEvent{0, 0, {}, 0, false, 1900, 1900, 0};
const TNominRecord EmptyNomin{{}, 1900, 0, 0, NoTime, {}};

namespace {
std::string cut(const std::string& text, std::size_t capacity) {
    return text.substr(0, capacity);
}

// Sort key of a name: a to z upper-cased, every other byte as it is; std::string compares
// bytes unsigned.
std::string nameKey(const std::string& name) {
    std::string key = name;
    for (char& c : key) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    }
    return key;
}

// Stores at 1-based position n: grows with value-initialised records, ignores n < 1.
template <typename Record> void storeAt(std::vector<Record>& records, int position, Record record) {
    if (position < 1)
        return;
    const auto index = static_cast<std::size_t>(position - 1);
    if (index == records.size()) {
        records.push_back(std::move(record));
        return;
    }
    if (index > records.size())
        records.resize(index + 1);
    records[index] = std::move(record);
}

// Stable sort by `keyOf` that reports where the record at 1-based position `follow` went (0 if
// none). The keys are taken once, so that the sort's comparisons read compact keys instead of
// whole records scattered over memory.
template <typename KeyOf>
int sortFollowing(std::vector<TNominRecord>& records, int follow, KeyOf keyOf) {
    using Keyed = std::pair<decltype(keyOf(records.front())), std::size_t>;
    std::vector<Keyed> keyed;
    keyed.reserve(records.size());
    for (std::size_t index = 0; index < records.size(); ++index)
        keyed.emplace_back(keyOf(records[index]), index);
    const auto byKey = [](const Keyed& a, const Keyed& b) { return a.first < b.first; };
    // Saving sorts a list that is nearly always in name order already.
    if (std::is_sorted(keyed.begin(), keyed.end(), byKey))
        return follow >= 1 && follow <= static_cast<int>(records.size()) ? follow : 0;
    std::stable_sort(keyed.begin(), keyed.end(), byKey);
    std::vector<TNominRecord> sorted;
    sorted.reserve(records.size());
    int newPosition = 0;
    for (const Keyed& entry : keyed) {
        sorted.push_back(std::move(records[entry.second]));
        if (static_cast<int>(entry.second) + 1 == follow)
            newPosition = static_cast<int>(sorted.size());
    }
    records = std::move(sorted);
    return newPosition;
}

template <typename Record>
const Record& readAt(const std::vector<Record>& records, int position, const Record& empty) {
    if (position < 1 || position > static_cast<int>(records.size()))
        return empty;
    return records[static_cast<std::size_t>(position - 1)];
}
} // namespace

TMeldeAustausch::TMeldeAustausch() = default;

const TMeldeAustausch::Section* TMeldeAustausch::section(int number) const {
    return number >= 1 && number <= PeriodSlots ? &Periods[static_cast<std::size_t>(number - 1)]
                                                : nullptr;
}

TMeldeAustausch::Section* TMeldeAustausch::section(int number) {
    return const_cast<Section*>(std::as_const(*this).section(number));
}

std::string TMeldeAustausch::GetPeriodDate(int s) const {
    return section(s) ? section(s)->Date : BlankPeriodDate;
}
std::string TMeldeAustausch::GetPeriodInt(int s) const {
    return section(s) ? section(s)->Int : BlankPeriodTime;
}
std::string TMeldeAustausch::GetPeriodWarmUp(int s) const {
    return section(s) ? section(s)->WarmUp : BlankPeriodTime;
}
std::string TMeldeAustausch::GetPeriodKari(int s) const {
    return section(s) ? section(s)->Kari : BlankPeriodTime;
}
std::string TMeldeAustausch::GetPeriodTime(int s) const {
    return section(s) ? section(s)->Time : BlankPeriodTime;
}

void TMeldeAustausch::SetPeriodDate(int s, const std::string& text) {
    if (Section* target = section(s))
        target->Date = cut(text, PeriodDateCapacity);
}
void TMeldeAustausch::SetPeriodInt(int s, const std::string& text) {
    if (Section* target = section(s))
        target->Int = cut(text, PeriodTimeCapacity);
}
void TMeldeAustausch::SetPeriodWarmUp(int s, const std::string& text) {
    if (Section* target = section(s))
        target->WarmUp = cut(text, PeriodTimeCapacity);
}
void TMeldeAustausch::SetPeriodKari(int s, const std::string& text) {
    if (Section* target = section(s))
        target->Kari = cut(text, PeriodTimeCapacity);
}
void TMeldeAustausch::SetPeriodTime(int s, const std::string& text) {
    if (Section* target = section(s))
        target->Time = cut(text, PeriodTimeCapacity);
}

TEventRecord TMeldeAustausch::GetEvent(int position) const {
    return readAt(Events, position, EmptyEvent);
}

const TEventRecord& TMeldeAustausch::Event(int position) const {
    return readAt(Events, position, EmptyEvent);
}

void TMeldeAustausch::SetEvent(int position, const TEventRecord& event) {
    if (position < 1)
        return;
    TEventRecord stored = event;
    stored.Name = cut(stored.Name, EventNameCapacity);
    const int oldCount = EventCount();
    if (position <= oldCount) {
        const bool codeChanged = Events[static_cast<std::size_t>(position - 1)].WkNr != stored.WkNr;
        storeAt(Events, position, std::move(stored));
        if (codeChanged)
            rebuildEventIndex();
        return;
    }
    // Behind the end the new record is the last of its code, and so is the last filler of 0.
    if (position > oldCount + 1)
        lastEventWithCode[0] = position - 1;
    lastEventWithCode[stored.WkNr] = position;
    storeAt(Events, position, std::move(stored));
}

int TMeldeAustausch::FindEvent(int wkNr) const {
    const auto found = lastEventWithCode.find(wkNr);
    return found == lastEventWithCode.end() ? 0 : found->second;
}

void TMeldeAustausch::rebuildEventIndex() {
    lastEventWithCode.clear();
    for (int position = 1; position <= EventCount(); ++position)
        lastEventWithCode[Events[static_cast<std::size_t>(position - 1)].WkNr] = position;
}

TNominRecord TMeldeAustausch::GetNomin(int position) const {
    return readAt(Nomins, position, EmptyNomin);
}

const TNominRecord& TMeldeAustausch::Nomin(int position) const {
    return readAt(Nomins, position, EmptyNomin);
}

void TMeldeAustausch::SetNomin(int position, TNominRecord nomin) {
    // A relay team's name is free text ("SV Blau-Weiß 1"), no swimmer's to be turned round.
    const int event = nomin.WkNr < 1 ? 0 : FindEvent(nomin.WkNr);
    if (event == 0 || !Event(event).Staffel)
        nomin.Name = ConvertName(std::move(nomin.Name), 0);
    else
        nomin.Name = Trim(nomin.Name);
    nomin.Name.resize(std::min(nomin.Name.size(), NominNameCapacity));
    nomin.RegNr.resize(std::min(nomin.RegNr.size(), RegNrCapacity));
    storeAt(Nomins, position, std::move(nomin));
}

void TMeldeAustausch::DeleteNomin(int position) {
    if (position < 1 || position > NominCount())
        return;
    Nomins.erase(Nomins.begin() + (position - 1));
}

int TMeldeAustausch::SortNominByName(int follow) {
    return sortFollowing(Nomins, follow,
                         [](const TNominRecord& nomin) { return nameKey(nomin.Name); });
}

int TMeldeAustausch::SortNominByWkNr(int follow) {
    return sortFollowing(Nomins, follow, [](const TNominRecord& nomin) { return nomin.WkNr; });
}

int TMeldeAustausch::TextToWkNr(std::string_view text) {
    if (text.empty())
        return -1;
    auto passedOver = [](char c) { return (c >= '0' && c <= '9') || c == '-' || c == '\b'; };
    if (!passedOver(text[0]))
        return -1;
    // The first other character is the suffix; the number is the text without it.
    std::string_view number = text;
    std::string withoutSuffix;
    int suffix = 0;
    if (const auto other = std::find_if_not(text.begin(), text.end(), passedOver);
        other != text.end()) {
        suffix = static_cast<unsigned char>(*other);
        withoutSuffix.assign(text.begin(), other).append(other + 1, text.end());
        number = withoutSuffix;
    }
    int value = 0;
    if (!ConvertsAsInteger(number, value))
        return -1;
    const long long code = static_cast<long long>(value) * 1000 + suffix;
    if (code < INT32_MIN || code > INT32_MAX)
        return -1;
    return static_cast<int>(code);
}

std::string TMeldeAustausch::WkNrToText(int code) {
    const int number = code / 1000;
    const int suffix = code - number * 1000;
    std::string text = std::to_string(number);
    if (suffix != 0)
        text += static_cast<char>(suffix & 0xFF);
    return text;
}

void TMeldeAustausch::resetForLoad() {
    Periods = {};
    Events.clear();
    lastEventWithCode.clear();
    Nomins.clear();
    ClubName.clear();
}

TLoadReport TMeldeAustausch::LoadFromFile(const std::string& path) {
    resetForLoad();
    TLoadReport report;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return report;
    TDecodedText decoded = DecodeFileBytes(ReadWholeFile(path));
    report.FromUtf8 = decoded.FromUtf8;
    report.FailedLine = decoded.FailedLine;
    report.FailedCharacter = decoded.FailedCharacter;
    if (decoded.Failed())
        return report;
    report.Verdict = JudgeExchangeText(decoded.Text);
    if (report.Loaded()) {
        ReadExchangeText(*this, std::move(decoded.Text));
        report.Nominations = NominCount();
    }
    return report;
}

void TMeldeAustausch::LoadFromText(std::string text) {
    resetForLoad();
    ReadExchangeText(*this, std::move(text));
}

std::string TMeldeAustausch::ToFileText() {
    SortNominByName();
    TSimpleXmlWriter xml;
    WriteExchangeText(*this, xml);
    return xml.TakeText();
}

void TMeldeAustausch::SaveToFile(const std::string& path) {
    SortNominByName();
    TAtomicFile file(path);
    TSimpleXmlWriter xml(file);
    WriteExchangeText(*this, xml);
    xml.Commit();
}
