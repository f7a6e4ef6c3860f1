// SPDX-License-Identifier: GPL-3.0-or-later
// Hosts' result lists read for the swimmer store: Lenex results (.lef, .lxf) and the DSV7
// Vereinsergebnisliste and Wettkampfergebnisliste. Only valid individual swims come out:
// disqualified, not started, withdrawn, zero and missing times and relay results give none.
#pragma once

#include <QByteArray>
#include <QStringList>

#include <string>
#include <vector>

#include "interoptext.h"
#include "resultfields.h"
#include "swim.h"

// A Lenex document or archive, or a DSV file, told by its first bytes, not by its name.
bool IsFormatFile(const QByteArray& bytes);
// An XML document whose root element is LENEX (after a declaration, comments, a DOCTYPE).
bool IsLenexDocument(const QByteArray& bytes);

// The swims of a result file, whatever its name (Lenex .lef or .lxf with RESULTS, a DSV7 or
// Format 8 result list). Throws TIoError when the file cannot be read and TInteropError naming
// the file and the line when it is no result file or damaged. What was rewritten or skipped is
// told by lines added to `notes` when given.
std::vector<TSwim> ReadResultFile(const std::string& path, const TClubFilter& filter,
                                  QStringList* notes = nullptr);
