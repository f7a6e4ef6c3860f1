// SPDX-License-Identifier: GPL-3.0-or-later
#include "atomicfile.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ioerror.h"

namespace {
struct SplitPath {
    std::string folder; // ending in '/'
    std::string name;
};

SplitPath splitPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {"./", path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

std::string hostName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0')
        return "localhost";
    return name;
}

// ".<name>.<host>." : what every temporary name for `name` written on this computer begins with.
std::string temporaryPrefix(const std::string& name) {
    return "." + name + "." + hostName() + ".";
}

// A fresh temporary name for this process: prefix, pid, a running number, ".tmp".
std::string temporaryName(const std::string& name) {
    static std::atomic<unsigned> running{0};
    return temporaryPrefix(name) + std::to_string(::getpid()) + "." + std::to_string(++running) +
           ".tmp";
}

// The pid in "<pid>.<n>.tmp", or 0 when the text is not of that form.
pid_t pidOf(std::string_view rest) {
    if (!rest.ends_with(".tmp"))
        return 0;
    rest.remove_suffix(4);
    const std::size_t dot = rest.find('.');
    if (dot == 0 || dot == std::string_view::npos || dot + 1 == rest.size())
        return 0;
    auto digitsOnly = [](std::string_view text) {
        return text.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (!digitsOnly(rest.substr(0, dot)) || !digitsOnly(rest.substr(dot + 1)) || dot > 9)
        return 0;
    return static_cast<pid_t>(std::stol(std::string(rest.substr(0, dot))));
}

bool processRuns(pid_t pid) {
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

bool namedTemporaryFilesPinned = false;

// Files without a name need the kernel's O_TMPFILE, and a way to name them later.
bool canLinkUnnamedFiles() {
#ifdef O_TMPFILE
    return !namedTemporaryFilesPinned && ::access("/proc/self/fd", X_OK) == 0;
#else
    return false;
#endif
}
} // namespace

std::string ReadWholeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw TIoError::fromErrno(errno);
    // Read into a buffer of the file's size; a file that grows meanwhile is read on to its end.
    struct stat info {};
    std::string content(::fstat(fd, &info) == 0 && info.st_size > 0
                            ? static_cast<std::size_t>(info.st_size) + 1
                            : std::size_t{1} << 16,
                        '\0');
    std::size_t size = 0;
    for (;;) {
        if (size == content.size())
            content.resize(2 * content.size());
        const ssize_t count = ::read(fd, content.data() + size, content.size() - size);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd);
            throw TIoError::fromErrno(error);
        }
        if (count == 0)
            break;
        size += static_cast<std::size_t>(count);
    }
    ::close(fd);
    content.resize(size);
    return content;
}

void PinNamedTemporaryFiles(bool named) {
    namedTemporaryFilesPinned = named;
}

void RemoveStaleTemporaryFiles(const std::string& path) {
    const auto [folder, name] = splitPath(path);
    const std::string prefix = temporaryPrefix(name);
    DIR* entries = ::opendir(folder.c_str());
    if (!entries)
        return;
    while (const dirent* entry = ::readdir(entries)) {
        const std::string_view entryName = entry->d_name;
        if (!entryName.starts_with(prefix))
            continue;
        const pid_t pid = pidOf(entryName.substr(prefix.size()));
        if (pid > 0 && !processRuns(pid))
            ::unlink((folder + std::string(entryName)).c_str());
    }
    ::closedir(entries);
}

TAtomicFile::TAtomicFile(const std::string& targetPath) : path(targetPath) {
    folder = splitPath(path).folder;

    // A write-protected file stays protected, also for a user who could replace it anyway.
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        throw TIoError::fromErrno(EISDIR);
    if (exists && ((existing.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0))
        throw TIoError::fromErrno(EACCES);
    if (exists) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    RemoveStaleTemporaryFiles(path);
    openTemporaryFile();
}

void TAtomicFile::openTemporaryFile() {
    temporaryPath = folder + temporaryName(splitPath(path).name);
#ifdef O_TMPFILE
    if (canLinkUnnamedFiles()) {
        fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd >= 0) {
            unnamed = true;
            return;
        }
        // A file system without unnamed files says so in one of these ways.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            throw TIoError::fromErrno(errno);
    }
#endif
    auto create = [this] {
        return ::open(temporaryPath.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    };
    fd = create();
    // This process's names are unique: one that exists is a dead namesake process's.
    if (fd < 0 && errno == EEXIST && ::unlink(temporaryPath.c_str()) == 0)
        fd = create();
    if (fd < 0)
        throw TIoError::fromErrno(errno);
}

TAtomicFile::~TAtomicFile() {
    if (fd >= 0)
        ::close(fd);
    if (!committed && !unnamed)
        ::unlink(temporaryPath.c_str());
}

void TAtomicFile::fail() const {
    throw TIoError::fromErrno(errno);
}

void TAtomicFile::Write(std::string_view bytes) {
    const std::size_t start = written;
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t count = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            fail();
        done += static_cast<std::size_t>(count);
        written += static_cast<std::size_t>(count);
    }
#ifdef SYNC_FILE_RANGE_WRITE
    // The disk may start on these bytes while the rest is still being put together; Commit's
    // sync then has less to wait for. A failure here only loses that head start.
    ::sync_file_range(fd, static_cast<off_t>(start), static_cast<off_t>(written - start),
                      SYNC_FILE_RANGE_WRITE);
#endif
}

void TAtomicFile::Commit() {
    if (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0)
        fail();
    if (unnamed) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        auto link = [&] {
            return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporaryPath.c_str(),
                            AT_SYMLINK_FOLLOW);
        };
        int linked = link();
        if (linked != 0 && errno == EEXIST && ::unlink(temporaryPath.c_str()) == 0)
            linked = link();
        if (linked != 0)
            fail();
        unnamed = false; // from here on it has a name to remove on failure
    }
    const int result = ::close(fd);
    fd = -1;
    if (result != 0)
        fail();
    if (::rename(temporaryPath.c_str(), path.c_str()) != 0)
        fail();
    committed = true;

    // Make the rename itself durable.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
}

void WriteFileAtomically(const std::string& path, std::string_view content) {
    TAtomicFile file(path);
    file.Write(content);
    file.Commit();
}
