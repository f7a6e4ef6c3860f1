// The program-wide values. Written and read only where the comments say.
#pragma once

#include <QString>

class TMeldeAustausch;

namespace Global {
// Folder of the exchange file, ending in '/'. Written once by the main window at start-up.
extern QString ProgDir;
// The one model, owned by the main window; valid from its creation to the end of closing.
extern TMeldeAustausch* MeldeAustausch;
// Set by the club dialog's OK, by adopting an entry and by deleting one; never reset.
extern bool DataChanged;
} // namespace Global
