// SPDX-License-Identifier: GPL-3.0-or-later
// Competitions for tests, written as a host and a club would fill them; texts in the test
// source are UTF-8, the model holds Windows-1252.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>

#include "meldeaustausch.h"
#include "windows1252.h"

inline std::string ansi(const QString& text) {
    std::string result;
    for (QChar c : text)
        result.push_back(static_cast<char>(UnicodeToAnsi(c.unicode())));
    return result;
}

inline QString utf16(const std::string& ansiText) {
    return QString::fromStdString(AnsiToUtf8(ansiText));
}

struct CompetitionBuilder {
    TMeldeAustausch model;

    // Open to both sexes and every birth year unless changed afterwards.
    TEventRecord& event(const char* number, const QString& name, double fee = 0, int period = 1,
                        bool relay = false) {
        TEventRecord event = EmptyEvent;
        event.WkNr = TMeldeAustausch::TextToWkNr(number);
        event.Name = ansi(name);
        event.Fee = fee;
        event.Period = period;
        event.Staffel = relay;
        event.Sex = 2;
        event.EarliestBirthYear = 1900;
        event.LatestBirthYear = 2020;
        events.push_back(event);
        return events.back();
    }

    // Returns the nomination's position.
    int nomin(const QString& name, int year, const char* number, int time = NoTime,
              std::uint8_t sex = 0, const QString& regNr = {}) {
        TNominRecord nomin = EmptyNomin;
        nomin.Name = ansi(name);
        nomin.BirthYear = year;
        nomin.WkNr = TMeldeAustausch::TextToWkNr(number);
        nomin.Time = time;
        nomin.Sex = sex;
        nomin.RegNr = ansi(regNr);
        model.SetNomin(model.NominCount() + 1, nomin);
        return model.NominCount();
    }

    // The events go into the model once all are described.
    const TMeldeAustausch& done() {
        for (const TEventRecord& event : events)
            model.SetEvent(model.EventCount() + 1, event);
        events.clear();
        return model;
    }

private:
    std::deque<TEventRecord> events; // references stay valid while it grows
};
