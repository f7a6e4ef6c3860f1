// SPDX-License-Identifier: GPL-3.0-or-later
// What holds for every invitation a reader gives, whatever its format.
#pragma once

#include <QString>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "environment.h"
#include "invitation.h"
#include "meldeaustausch.h"

[[noreturn]] inline void Fail(const QString& reason) {
    std::fprintf(stderr, "MISMATCH %s\n", qPrintable(reason));
    std::abort();
}

// The import refuses with a reason or gives the invitation's entry events in at most 12
// sections, with birth years from 1900 to the current year, in a model whose saved text reads
// back into the same text.
inline void CheckImport(const TInvitation& invitation) {
    TMeldeAustausch model;
    try {
        ImportInvitation(invitation, model);
    } catch (const TInteropError&) {
        return;
    }
    const auto entryEvents =
        std::count_if(invitation.Events.begin(), invitation.Events.end(),
                      [](const TInvitationEvent& e) { return e.IsEntryEvent(); });
    if (model.EventCount() != entryEvents)
        Fail(QStringLiteral("%1 events imported of %2 entry events")
                 .arg(model.EventCount())
                 .arg(entryEvents));
    if (model.AbsCnt > PeriodSlots)
        Fail(QStringLiteral("%1 sections imported").arg(model.AbsCnt));
    for (int i = 1; i <= model.EventCount(); ++i) {
        const TEventRecord& event = model.Event(i);
        if (event.AgeMax < 1900 || event.AgeMin > CurrentYear() || event.Name.empty())
            Fail(QStringLiteral("event %1: birth years %2-%3 or no name")
                     .arg(event.WkNr)
                     .arg(event.AgeMax)
                     .arg(event.AgeMin));
    }
    const std::string text = model.ToFileText();
    TMeldeAustausch again;
    again.LoadFromText(text);
    if (again.ToFileText() != text)
        Fail(QStringLiteral("imported model does not read back:\n") + QString::fromLatin1(text));
}
