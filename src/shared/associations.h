// SPDX-License-Identifier: GPL-3.0-or-later
// The regional associations; a club stores the index, the exchange file carries it as VERBAND.
#pragma once

#include <array>
#include <string>

inline constexpr int AssociationCount = 38;
// Windows-1252 names; the order is what the stored numbers mean, so it never changes.
extern const std::array<const char*, AssociationCount> AssociationNames;
// The name for an index, or a neutral text for an index outside the table.
std::string AssociationName(int index);
