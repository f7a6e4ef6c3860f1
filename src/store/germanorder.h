// SPDX-License-Identifier: GPL-3.0-or-later
// Names in the order German readers expect: Ä with A, ß with ss, letter case aside – never by
// character codes. The swimmer window and the command-line tool list swimmers so.
#pragma once

#include <QCollator>

#include <vector>

#include "swimmerstore.h"

QCollator GermanCollator();

// By name in German order; swimmers of one name keep their order.
void SortByGermanName(std::vector<TSwimmer>& swimmers);
