// SPDX-License-Identifier: GPL-3.0-or-later
// Commands of ntbmelde-cli; each returns the process's exit code.
#pragma once

#include <QStringList>

#include <stdexcept>
#include <string>

#include "exchangeverdict.h"

class TMeldeAustausch;

// A failure that ends a command with exit code 1; the text is UTF-8.
struct CliFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Reads `path` as the program reads its exchange file, into `model`. A missing file raises
// TIoError; a file that is no exchange file, or a UTF-8 file that Windows-1252 cannot hold,
// raises CliFailure. The note that a UTF-8 file was converted goes to standard error.
TLoadReport LoadExistingFile(const std::string& path, TMeldeAustausch& model);
// A text about the file at `path` (Windows-1252, "%1" for the file's name) in UTF-8.
std::string FileText(const std::string& text, const std::string& path, char32_t character = 0);
// Writes `text` to standard output; a full disk or a closed pipe raises TIoError.
void WriteToStdout(const std::string& text);
// What a reader or writer tells the user, each as a line "Hinweis: …" on standard error.
void PrintNotes(const QStringList& notes);
