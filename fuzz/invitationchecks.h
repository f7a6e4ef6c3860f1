// SPDX-License-Identifier: GPL-3.0-or-later
// What holds for every invitation a reader gives, whatever its format.
#pragma once

#include <QString>

#include <cstdio>
#include <cstdlib>

#include "invitation.h"

[[noreturn]] inline void Fail(const QString& reason) {
    std::fprintf(stderr, "MISMATCH %s\n", qPrintable(reason));
    std::abort();
}
