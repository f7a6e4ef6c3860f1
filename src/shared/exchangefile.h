// SPDX-License-Identifier: GPL-3.0-or-later
// The exchange file EXCHANGE.NT2: which sections and values it holds, how each value is
// converted, and in which order everything is written. The model's LoadFromFile, LoadFromText,
// SaveToFile and ToFileText (meldeaustausch.cpp) are the entry points; these do the work.
#pragma once

#include <string>

#include "meldeaustausch.h"

class TSimpleXmlWriter;

// Fills a model reset for loading with what a file with these bytes holds.
void ReadExchangeText(TMeldeAustausch& model, std::string text);
// Writes the whole model, nominations in their present order.
void WriteExchangeText(const TMeldeAustausch& model, TSimpleXmlWriter& xml);
