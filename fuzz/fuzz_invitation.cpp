// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the invitation readers, as a .lef, as a zipped .lxf and as a DSV7
// Wettkampfdefinitionsliste. Whatever
// one reads must import into an exchange model or be refused with a reason; an imported model
// must save a file that reads back and saves the same text again; and the club's entries written
// against the invitation must read back as an invitation with the same entry events.
// Any disagreement aborts, so libFuzzer keeps the input.
#include <QByteArray>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "dsv7.h"
#include "environment.h"
#include "invitation.h"
#include "lenex.h"
#include "lxfarchive.h"
#include "meldeaustausch.h"

namespace {

[[noreturn]] void disagree(const char* what, const std::string& left, const std::string& right) {
    std::fprintf(stderr, "%s\n--- one side:\n%s\n--- other side:\n%s\n", what, left.c_str(),
                 right.c_str());
    std::abort();
}

std::string eventsOf(const TMeldeAustausch& model) {
    std::string text;
    for (int position = 1; position <= model.EventCount(); ++position) {
        const TEventRecord& event = model.Event(position);
        text += std::to_string(event.WkNr) + "|" + std::to_string(event.Period) + "|" + event.Name +
                "|" + std::to_string(event.Sex) + "|" + std::to_string(event.Staffel) + "\n";
    }
    return text;
}

void checkInvitation(const TInvitation& invitation) {
    TMeldeAustausch model;
    try {
        ImportInvitation(invitation, model);
    } catch (const TInteropError&) {
        return;
    }
    TMeldeAustausch reread;
    const std::string text = model.ToFileText();
    reread.LoadFromText(text);
    if (reread.ToFileText() != text || eventsOf(reread) != eventsOf(model))
        disagree("the imported model does not read back", text, reread.ToFileText());

    // One swimmer in every entry event of the invitation.
    model.ClubName = "SV Fuzz";
    for (int position = 1; position <= model.EventCount(); ++position) {
        TNominRecord nomin;
        nomin.Name = "Test, Tom";
        nomin.BirthYear = 2000;
        nomin.WkNr = model.Event(position).WkNr;
        nomin.Time = 6000 + position;
        model.SetNomin(model.NominCount() + 1, nomin);
    }
    QByteArray written;
    try {
        written = WriteLenexEntries(model, invitation);
    } catch (const TInteropError&) {
        return; // a session without a date, for one
    }
    TMeldeAustausch readBack;
    try {
        ImportInvitation(ReadLenexInvitation(written), readBack);
    } catch (const TInteropError& error) {
        disagree("the written entries do not read back", written.toStdString(), error.what());
    }
    // Lenex has no events for diverse swimmers only and no kicks on the front or back: such
    // events come back as open ones or as legs.
    const bool lenexLacks =
        std::any_of(invitation.Events.begin(), invitation.Events.end(), [](const auto& event) {
            return event.Gender == TEventGender::Diverse || event.DsvTechnique == u"KB" ||
                   event.DsvTechnique == u"KR";
        });
    if (!lenexLacks && eventsOf(readBack) != eventsOf(model))
        disagree("the written entries give other events", eventsOf(model), eventsOf(readBack));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PinCurrentYear(2026);
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const bool zipped : {false, true}) {
        try {
            checkInvitation(ReadLenexInvitation(zipped ? UnpackFormatFile(bytes) : bytes));
        } catch (const TInteropError&) {
        }
    }
    try {
        checkInvitation(ReadDsv7Invitation(bytes));
    } catch (const TInteropError&) {
    }
    return 0;
}
