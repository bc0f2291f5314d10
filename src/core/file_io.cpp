#include "file_io.h"

#include "data_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quill {

namespace {

std::string SystemReason(int error) {
    return std::strerror(error);
}

std::string CannotCreate(const std::string& path, int error) {
    return "Cannot create file \"" + path + "\". " + SystemReason(error);
}

std::string CannotOpen(const std::string& path, int error) {
    return "Cannot open file \"" + path + "\". " + SystemReason(error);
}

// Writes everything, resuming after short writes and interruptions; 0 or errno.
int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return 0;
}

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes a completed rename survive a power cut; a failure here loses nothing.
void SyncDirectory(const std::string& path) {
    const int fd = ::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes, flushes and closes; 0 or errno. The descriptor is closed in any case.
int FinishFile(int fd, std::string_view bytes) {
    int error = WriteAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    return error;
}

} // namespace

FileContents ReadWholeFile(const std::string& path) {
    FileContents contents;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        contents.status = error == ENOENT ? ReadStatus::NoFile : ReadStatus::Failed;
        if (contents.status == ReadStatus::Failed) {
            contents.error = CannotOpen(path, error);
        }
        return contents;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        contents.status = ReadStatus::Failed;
        contents.error = CannotOpen(path, EISDIR);
        return contents;
    }
    if (info.st_size > 0) {
        contents.bytes.reserve(static_cast<size_t>(info.st_size));
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0) {
            break;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int error = errno;
            ::close(fd);
            contents.status = ReadStatus::Failed;
            contents.bytes.clear();
            contents.error = CannotOpen(path, error);
            return contents;
        }
        contents.bytes.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    contents.status = ReadStatus::Ok;
    return contents;
}

SaveResult WriteFileAtomically(const std::string& path, std::string_view bytes) {
    SaveResult result;
    // One fixed temporary name: a save interrupted by a crash leaves at most one
    // stray file, which the next save replaces.
    const std::string temp = path + ".tmp";
    const int fd =
        ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        result.ok = false;
        result.error = CannotCreate(path, errno);
        return result;
    }
    // The new file keeps the permissions the user gave the old one.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        ::fchmod(fd, old.st_mode & 07777);
    }
    int error = FinishFile(fd, bytes);
    if (error == 0 && ::rename(temp.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temp.c_str());
        result.ok = false;
        result.error = CannotCreate(path, error);
        return result;
    }
    SyncDirectory(path);
    return result;
}

CopyResult WriteNewFile(const std::string& baseName, std::string_view bytes) {
    CopyResult result;
    int lastError = 0;
    for (int attempt = 1; attempt <= 1000; ++attempt) {
        const std::string name = attempt == 1 ? baseName : baseName + "-" + std::to_string(attempt);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            lastError = errno;
            if (lastError == EEXIST) {
                continue;
            }
            break;
        }
        lastError = FinishFile(fd, bytes);
        if (lastError != 0) {
            ::unlink(name.c_str());
            break;
        }
        result.path = name;
        return result;
    }
    result.error = CannotCreate(baseName, lastError);
    return result;
}

} // namespace quill
