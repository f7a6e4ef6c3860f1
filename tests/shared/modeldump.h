// SPDX-License-Identifier: GPL-3.0-or-later
// Every value a model holds, as text, so that two models can be compared with one look at
// where they differ.
#pragma once

#include <cstdio>
#include <string>

#include "meldeaustausch.h"

inline std::string DumpModel(const TMeldeAustausch& model) {
    std::string text;
    auto exact = [](double value) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%a", value);
        return std::string(buffer);
    };
    auto line = [&text](const std::string& name, const std::string& value) {
        text += name + "=" + value + "\n";
    };
    line("CompName", model.CompName);
    line("Veranstalter", model.Veranstalter);
    line("Ausrichter", model.Ausrichter);
    line("Place", model.Place);
    line("Date1", model.Date1);
    line("Date2", model.Date2);
    line("LaneLen", std::to_string(model.LaneLen));
    line("AbsCnt", std::to_string(model.AbsCnt));
    for (int s = 1; s <= PeriodSlots; ++s)
        line("Period" + std::to_string(s),
             model.GetPeriodDate(s) + "|" + model.GetPeriodTime(s) + "|" + model.GetPeriodInt(s) +
                 "|" + model.GetPeriodWarmUp(s) + "|" + model.GetPeriodKari(s));
    for (int i = 1; i <= model.EventCount(); ++i) {
        const TEventRecord e = model.GetEvent(i);
        line("Event" + std::to_string(i), std::to_string(e.WkNr) + "|" + std::to_string(e.Period) +
                                              "|" + e.Name + "|" + std::to_string(e.Sex) + "|" +
                                              std::to_string(e.LatestBirthYear) + "|" +
                                              std::to_string(e.EarliestBirthYear) + "|" +
                                              std::to_string(e.Staffel) + "|" + exact(e.Fee));
    }
    line("ClubName", model.ClubName);
    line("Verband", std::to_string(model.Verband));
    line("Fina", model.Fina);
    line("Person", model.Person);
    line("Street", model.Street);
    line("Zip", model.Zip);
    line("ClubPlace", model.ClubPlace);
    line("Fon", model.Fon);
    line("Fax", model.Fax);
    line("EMail", model.EMail);
    line("ClubId", model.ClubId);
    for (int i = 1; i <= model.NominCount(); ++i) {
        const TNominRecord n = model.GetNomin(i);
        line("Nomin" + std::to_string(i), n.Name + "|" + std::to_string(n.BirthYear) + "|" +
                                              std::to_string(n.Sex) + "|" + std::to_string(n.WkNr) +
                                              "|" + std::to_string(n.Time) + "|" + n.RegNr);
    }
    return text;
}
