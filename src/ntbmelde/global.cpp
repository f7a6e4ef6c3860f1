// SPDX-License-Identifier: GPL-3.0-or-later
#include "global.h"

namespace Global {
QString ProgDir;

namespace {
bool dataChanged = false;
} // namespace

bool DataChanged() {
    return dataChanged;
}

void SetDataChanged() {
    dataChanged = true;
}

void ResetDataChanged() {
    dataChanged = false;
}
} // namespace Global
