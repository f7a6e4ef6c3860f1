// SPDX-License-Identifier: GPL-3.0-or-later
// An empty swimmer store of the benchmark's own, for windows that need one: the entry dialog's
// completion then finds nothing and never reaches the user's swimmers.
#pragma once

#include <QTemporaryDir>

#include "swimmerstore.h"

inline TSwimmerStore& emptyStore() {
    static QTemporaryDir folder;
    static TSwimmerStore store(folder.path());
    return store;
}
