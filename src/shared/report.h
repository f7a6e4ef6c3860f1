// SPDX-License-Identifier: GPL-3.0-or-later
// The control printout: competition, club, declaration and nominations as lines of text,
// and the two file forms (rich text and plain text) written from those lines. The window
// and the command-line tool both use these, so they produce the same bytes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "feereport.h"

class TMeldeAustausch;

// The printout's lines (Windows-1252, no line ends), composed from the model as it is now,
// with the host's entry deadline where an invitation gave one.
std::vector<std::string> BuildReportLines(const TMeldeAustausch& data,
                                          const std::optional<TDeadline>& deadline = {});

// Every line followed by CR LF.
std::string ReportPlainText(const std::vector<std::string>& lines);
// An RTF document: one paragraph per line, all in a fixed-pitch 10-point font.
std::string ReportRtf(const std::vector<std::string>& lines);

// Replace the file at `path` (the previous file survives a failure). Throw TIoError.
void SaveReportPlainText(const std::string& path, const std::vector<std::string>& lines);
void SaveReportRtf(const std::string& path, const std::vector<std::string>& lines);
