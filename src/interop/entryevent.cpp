// SPDX-License-Identifier: GPL-3.0-or-later
// Stand-in until the format-neutral invitation code arrives; it goes with that merge.
#include "invitation.h"

bool TInvitationEvent::IsEntryEvent() const {
    const bool entered = Round.isEmpty() || Round == u"TIM" || Round == u"PRE" ||
                         Round == u"TIMETRIAL" || Round == u"V" || Round == u"E";
    return entered && (PreviousId.isEmpty() || PreviousId == u"-1");
}
