// Reading a whole file, and replacing a file so that a failure never destroys the previous one.
#pragma once

#include <string>
#include <string_view>

// A file replaced atomically: the bytes go to a temporary file in the target's folder, which
// Commit syncs and renames over the target. Until then the target stays as it was, and without
// Commit the temporary file is removed again. A write-protected target is refused. Every
// operation throws TIoError.
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

    std::string path;
    std::string folder;
    std::string temporaryPath;
    unsigned mode = 0;
    int fd = -1;
    std::size_t written = 0;
    bool committed = false;
};

// Replaces `path` with `content` through a TAtomicFile. Throws TIoError.
void WriteFileAtomically(const std::string& path, std::string_view content);
// The whole file. Throws TIoError.
std::string ReadWholeFile(const std::string& path);
