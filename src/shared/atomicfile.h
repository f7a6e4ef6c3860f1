// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a whole file, and replacing a file so that a failure never destroys the previous one.
#pragma once

#include <string>
#include <string_view>

// A file replaced atomically: the bytes go to a temporary file in the target's folder, which
// Commit syncs and renames over the target. Until then the target stays as it was, and without
// Commit the temporary file is removed again. A write-protected target is refused. Every
// operation throws TIoError.
//
// A process killed while saving must leave nothing behind for good. Where the file system
// allows, the temporary file has no name until Commit links it under its temporary name just
// before the rename; elsewhere it has that name from the start. The name
// ".<target>.<host>.<pid>.<n>.tmp" tells whose it is, so that the next save of the target (and
// the program at start-up) removes those of processes of this computer that no longer run.
class TAtomicFile {
public:
    explicit TAtomicFile(const std::string& path);
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    void Write(std::string_view bytes);
    void Commit();

private:
    [[noreturn]] void fail() const;
    void openTemporaryFile();

    std::string path;
    std::string folder;
    std::string temporaryPath;
    bool unnamed = false; // the temporary file gets its name only at Commit
    unsigned mode = 0;
    int fd = -1;
    std::size_t written = 0;
    bool committed = false;
};

// Removes the temporary files of saves of `path` that processes of this computer left behind
// when they were killed; those of running processes stay. Failures are ignored: what cannot be
// removed now is removed another time.
void RemoveStaleTemporaryFiles(const std::string& path);

// Test seam: true gives every temporary file its name from the start, as on file systems
// without unnamed files; false returns to using them where they exist.
void PinNamedTemporaryFiles(bool named);

// Replaces `path` with `content` through a TAtomicFile. Throws TIoError.
void WriteFileAtomically(const std::string& path, std::string_view content);
// The whole file. Throws TIoError.
std::string ReadWholeFile(const std::string& path);
