#include "global.h"

namespace Global {
QString ProgDir;
TMeldeAustausch* MeldeAustausch = nullptr;
bool DataChanged = false;
} // namespace Global
