// SPDX-License-Identifier: GPL-3.0-or-later
// The program-wide values. Written and read only where the comments say.
#pragma once

#include <QString>

namespace Global {
// Folder of the exchange file, ending in '/'. Written once by the main window at start-up.
extern QString ProgDir;

// Whether the data hold changes that leaving the program offers to save. Read by the main
// window's close query only.
bool DataChanged();
// The club dialog's OK, an adopted entry and a deleted entry; nothing resets the flag later.
void SetDataChanged();
// Start-up, before the exchange file is read.
void ResetDataChanged();
} // namespace Global
