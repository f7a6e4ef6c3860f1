// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the Lenex invitation reader, as a .lef file and, when they start
// like a zip archive, as a .lxf file. The reader must either refuse them with a TInteropError
// or give an invitation that imports as invitationchecks.h demands.
#include <QByteArray>

#include <cstdint>

#include "environment.h"
#include "invitationchecks.h"
#include "lenex.h"
#include "lxfarchive.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    PinCurrentYear(2026);
    PinDecimalSeparator(',');
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TInvitation invitation;
    try {
        invitation = ReadLenexInvitation(bytes.startsWith("PK") ? UnpackLxf(bytes) : bytes);
    } catch (const TInteropError&) {
        return 0;
    }
    CheckImport(invitation);
    return 0;
}
