// SPDX-License-Identifier: GPL-3.0-or-later
// Commands of ntbmelde-cli; each returns the process's exit code.
#pragma once

#include <QStringList>

#include <stdexcept>
#include <string>

#include "exchangeverdict.h"
#include "ioerror.h"
#include "windows1252.h"

class TMeldeAustausch;

// A failure that ends a command with exit code 1; the text is UTF-8.
struct CliFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Whether a command reads a file or writes it: the error about it says which.
enum class FileUse { Read, Write };
// "<path> kann nicht gelesen werden: <reason>" (or "geschrieben"); all of it UTF-8.
CliFailure FileFailure(const std::string& path, FileUse use, const std::string& reason);
// Raises FileFailure when `path` is surely of no use: a folder where a file is meant, a file to
// read that is not there, a file to write whose folder is missing.
void CheckFilePath(const std::string& path, FileUse use);
// Checks `path`, then runs `action`; its file error becomes a FileFailure about `path`.
template <class Action>
decltype(auto) OnFile(const std::string& path, FileUse use, Action&& action) {
    CheckFilePath(path, use);
    try {
        return action();
    } catch (const TIoError& error) {
        throw FileFailure(path, use, AnsiToUtf8(error.what()));
    }
}

// Reads `path` as the program reads its exchange file, into `model`. A file that cannot be read,
// is no exchange file, or a UTF-8 file that Windows-1252 cannot hold raises CliFailure. The note
// that a UTF-8 file was converted goes to standard error.
TLoadReport LoadExistingFile(const std::string& path, TMeldeAustausch& model);
// A text about the file at `path` (Windows-1252, "%1" for the file's name) in UTF-8.
std::string FileText(const std::string& text, const std::string& path, char32_t character = 0);
// Writes `text` to standard output; a full disk or a closed pipe raises a FileFailure.
void WriteToStdout(const std::string& text);
// What a reader or writer tells the user, each as a line "Hinweis: …" on standard error.
void PrintNotes(const QStringList& notes);
