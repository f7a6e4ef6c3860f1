// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the DSV7 invitation reader. It must either refuse them with a
// TInteropError or give an invitation whose sections are unique, whose events all lie in one
// of them and whose birth years and fees are in range. Its entries answer it: one nomination on
// every entry event must always be accepted, and the file written must consist of whole
// records, each nomination once. (fuzz_invitation imports what the reader gives.)
// Any disagreement aborts with the reason printed, so libFuzzer keeps the input.
#include <QByteArray>
#include <QList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "dsv7.h"
#include "environment.h"
#include "meldeaustausch.h"

namespace {

[[noreturn]] void fail(const QString& reason) {
    std::fprintf(stderr, "MISMATCH %s\n", qPrintable(reason));
    std::abort();
}

// A nomination on every entry event that the exchange file can number.
TMeldeAustausch entriesFor(const TInvitation& invitation) {
    TMeldeAustausch model;
    model.ClubName = "SC Fuzz";
    model.EMail = "fuzz@example.org";
    for (const TInvitationEvent& event : invitation.Events) {
        if (!event.IsEntryEvent() || event.Number > 999)
            continue;
        TNominRecord nomin = EmptyNomin;
        nomin.Name = "Probe, Paul";
        nomin.BirthYear = 2010;
        nomin.Sex = event.Gender == TEventGender::Female ? 1 : 0;
        nomin.WkNr = event.Number * 1000;
        nomin.Time = 6000;
        model.SetNomin(model.NominCount() + 1, nomin);
    }
    return model;
}

void checkEntries(const TInvitation& invitation) {
    const TMeldeAustausch model = entriesFor(invitation);
    QByteArray bytes;
    try {
        bytes = WriteDsv7Entries(model, invitation);
    } catch (const TInteropError& error) {
        fail("entries refused: " + error.Text());
    }
    if (!bytes.endsWith("DATEIENDE\r\n"))
        fail(QStringLiteral("entries file does not end with DATEIENDE"));
    const QList<QByteArray> lines = bytes.chopped(2).split('\n');
    int starts = 0;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        if (!line.endsWith(";\r") || line.indexOf(':') < 0 || line.count('\r') != 1)
            fail(QStringLiteral("not a whole record: ") + QString::fromUtf8(line));
        if (line.startsWith("STARTPN:") || line.startsWith("STARTST:"))
            ++starts;
    }
    if (starts != model.NominCount())
        fail(QStringLiteral("%1 starts for %2 nominations").arg(starts).arg(model.NominCount()));
}

void checkInvitation(const TInvitation& invitation) {
    std::set<int> sessions;
    for (const TInvitationSession& session : invitation.Sessions) {
        if (!sessions.insert(session.Number).second)
            fail(QStringLiteral("section %1 twice").arg(session.Number));
    }
    if (sessions.empty() || invitation.Events.empty())
        fail(QStringLiteral("invitation without sections or events"));
    for (const TInvitationEvent& event : invitation.Events) {
        if (!sessions.count(event.Session))
            fail(QStringLiteral("event %1 in unknown section").arg(event.Number));
        if (event.EarliestBirthYear < 1900 || event.LatestBirthYear < 0 || event.FeeCents < -1 ||
            event.RelayCount < 1)
            fail(QStringLiteral("event %1 out of range").arg(event.Number));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    PinCurrentYear(2026);
    PinDecimalSeparator(',');
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TInvitation invitation;
    try {
        invitation = ReadDsv7Invitation(
            QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    } catch (const TInteropError&) {
        return 0;
    }
    checkInvitation(invitation);
    checkEntries(invitation);
    return 0;
}
