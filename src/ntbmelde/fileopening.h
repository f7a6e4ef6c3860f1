// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the exchange file at start-up: the lock beside it, reading it, and telling the user
// once what is wrong with it.
#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>
#include <string>

class QWidget;
class TExchangeLock;
class TMeldeAustausch;

// What the main window may do with the exchange file afterwards.
enum class FileAccess {
    Editable, // read (or its reading failed and was reported); it is saved on request
    ReadOnly, // another program has it open: shown, never saved
    Unusable, // no exchange file, or not convertible: nothing read, never written
    Quit,     // another program has it open and the user chose to quit
};

// A name whose last path component has no point gets `extension`; any other stays as typed.
QString withDefaultExtension(const QString& fileName, const QString& extension);
// The name as the core opens files: in the system's encoding of file names.
std::string localPath(const QString& fileName);

// A text of the core about a file: "%1" is its name, "%2" the character it names.
QString fileText(const std::string& text, const QString& path, char32_t character = 0);

// From this size on (some 20,000 nominations) reading takes long enough to be seen: the main
// window shows first, and a progress dialog while the file is read.
inline constexpr qint64 LargeExchangeFileBytes = 4 << 20;

// Removes the temporary files that killed saves left beside the existing file at `path`, and
// takes the lock beside it into `lock`; when another program holds it, asks whether to open the
// file read-only or to quit. Returns Editable, ReadOnly or Quit.
FileAccess LockExchangeFile(const QString& path, std::unique_ptr<TExchangeLock>& lock);

// Reads the file into `model` with the access that LockExchangeFile granted, and shows what the
// user must know: that it is no exchange file or cannot be converted (an error; the lock is
// then given up), or that it was cut off or converted from UTF-8 (warnings). With a
// `progressParent` the file is read beside the event loop, so that the windows keep painting,
// under a progress dialog that keeps the user from working on data not yet read.
FileAccess ReadExchangeFile(const QString& path, TMeldeAustausch& model, FileAccess granted,
                            std::unique_ptr<TExchangeLock>& lock,
                            QWidget* progressParent = nullptr);

// The host's invitations the program turns into an exchange file: Lenex (.lef, .lxf) and DSV
// (.dsv7, .dsv8, the packed .dsv8z), in any letter case.
bool HasLenexOrDsvExtension(const QString& path);

// Imports the host's invitation at `invitationPath` into the exchange file `exchangePath` and
// keeps the invitation beside it, so that the export refers to the host's own events. An
// existing exchange file is replaced only when the user agrees to a question that names its
// competition and entries ("Nein", keeping it, is the default), after a copy of it has been
// kept beside it; its club data stay. Says what was written, or why nothing was; returns
// whether the exchange file was written.
bool ImportInvitationFile(const QString& invitationPath, const QString& exchangePath);
