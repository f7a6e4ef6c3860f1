// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the result readers, Lenex (as .lef, and as .lxf when they start like
// a zip archive) and DSV7, taking every club. A reader must either refuse them with a
// TInteropError or give only swims the store can take: an individual discipline with a distance,
// a valid day, a time above zero.
#include <QByteArray>

#include <cstdint>
#include <cstdlib>

#include "dsv7.h"
#include "lenex.h"
#include "lxfarchive.h"

namespace {

void check(const std::vector<TSwim>& swims) {
    for (const TSwim& swim : swims) {
        if (swim.Discipline.RelayCount != 1 || swim.Discipline.Distance <= 0 ||
            swim.Hundredths <= 0 || !swim.Date.ok() || swim.LaneLength < 0)
            std::abort();
    }
}

template <typename Read> void tryReading(Read read) {
    try {
        check(read());
    } catch (const TInteropError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TClubFilter everyClub;
    everyClub.AllClubs = true;
    tryReading([&] { return ReadLenexResults(UnpackFormatFile(bytes), everyClub); });
    tryReading([&] { return ReadDsv7Results(bytes, everyClub); });
    return 0;
}
