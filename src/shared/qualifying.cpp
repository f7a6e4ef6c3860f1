// SPDX-License-Identifier: GPL-3.0-or-later
#include "qualifying.h"

#include <algorithm>

#include "conversions.h"
#include "meldeaustausch.h"

namespace {

bool applies(const TQualifyingTime& time, const TNominRecord& nomin) {
    return time.WkNr == nomin.WkNr && (time.Sex < 0 || time.Sex == nomin.Sex) &&
           nomin.BirthYear >= time.EarliestBirthYear &&
           (time.LatestBirthYear == 0 || nomin.BirthYear <= time.LatestBirthYear);
}

// "3:10,00" rather than the field's padded form.
std::string timeText(int hundredths) {
    std::string text = HundredthsToTimeText(hundredths);
    text.erase(0, text.find_first_not_of(" 0:"));
    return text.front() == ',' ? "0" + text : text;
}

} // namespace

std::optional<std::string> QualifyingHint(const TNominRecord& nomin,
                                          const std::vector<TQualifyingTime>& times) {
    const auto time = std::find_if(times.begin(), times.end(),
                                   [&](const TQualifyingTime& t) { return applies(t, nomin); });
    // An invalid time text is refused by the entry check already.
    if (time == times.end() || nomin.Time < 0)
        return std::nullopt;
    const std::string event = "Wettkampf " + TMeldeAustausch::WkNrToText(nomin.WkNr);
    const std::string limit = "Pflichtzeit " + timeText(time->Time);
    if (nomin.Time == 0 || nomin.Time == NoTime)
        return nomin.Name + " hat in " + event + " keine Meldezeit, verlangt ist die " + limit;
    if (nomin.Time > time->Time)
        return nomin.Name + " ist in " + event + " mit " + timeText(nomin.Time) +
               " langsamer als die " + limit;
    return std::nullopt;
}
