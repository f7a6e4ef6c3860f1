#include "atomicfile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ioerror.h"

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

TAtomicFile::TAtomicFile(const std::string& targetPath) : path(targetPath) {
    const std::size_t slash = path.rfind('/');
    folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);

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

    temporaryPath = folder + "." + name + ".XXXXXX";
    fd = ::mkstemp(temporaryPath.data());
    if (fd < 0)
        throw TIoError::fromErrno(errno);
}

TAtomicFile::~TAtomicFile() {
    if (fd >= 0)
        ::close(fd);
    if (!committed)
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
