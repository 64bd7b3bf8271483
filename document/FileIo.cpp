#include "document/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>

namespace {

std::string FileError(const std::string& path, int err) {
    switch (err) {
        case ENOENT:
            return path + " was not found.";
        case EACCES:
        case EPERM:
            return "Access to " + path + " was denied.";
        case ENOSPC:
            return "There is not enough space on the disk to save " + path + ".";
        default:
            return "An unexpected error occurred while accessing " + path + ": " +
                   std::strerror(err);
    }
}

}  // namespace

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = FileError(path, errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        error = FileError(path, EISDIR);
        return false;
    }
    uint8_t buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = FileError(path, errno);
            ::close(fd);
            return false;
        }
        if (n == 0) {
            break;
        }
        const size_t room = kMaxReadBytes - bytes.size();
        bytes.insert(bytes.end(), buffer, buffer + std::min(static_cast<size_t>(n), room));
        if (bytes.size() >= kMaxReadBytes) {
            break;
        }
    }
    ::close(fd);
    return true;
}

bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                         std::string& error) {
    return WriteFileAtomically(
        path, [&bytes] { return bytes; }, error);
}

bool WriteFileAtomically(const std::string& path,
                         const std::function<std::vector<uint8_t>()>& produce, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (path.empty() || fs::is_directory(path, ec)) {
        error = "Invalid filename.";
        return false;
    }
    // Saving over a link writes the file it points to, and keeps the link.
    std::string target = path;
    if (fs::is_symlink(path, ec)) {
        const fs::path resolved = fs::weakly_canonical(path, ec);
        if (!ec) {
            target = resolved.string();
        }
    }
    const fs::path folder = fs::path(target).parent_path();
    if (!folder.empty() && !fs::is_directory(folder, ec)) {
        error = "Failed to save document: the folder of " + path + " does not exist.";
        return false;
    }
    // A file the user may not write stays as it is, as the file system would keep it.
    struct stat existing {};
    const bool bExists = ::stat(target.c_str(), &existing) == 0;
    if (bExists && ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
                    ::access(target.c_str(), W_OK) != 0)) {
        error = FileError(path, EACCES);
        return false;
    }
    std::string tmpl = target + ".XXXXXX";
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) {
        error = FileError(path, errno);
        return false;
    }
    // Only once the file can be written are its bytes made: making them may change state.
    const std::vector<uint8_t> bytes = produce();
    auto fail = [&](int err) {
        ::close(fd);
        ::unlink(tmpl.c_str());
        error = FileError(path, err);
        return false;
    };
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail(errno);
        }
        done += static_cast<size_t>(n);
    }
    // A replaced file keeps its permissions; a new one gets the usual ones.
    const mode_t mode = bExists ? (existing.st_mode & 07777) : (0666 & ~[] {
        const mode_t m = ::umask(0);
        ::umask(m);
        return m;
    }());
    ::fchmod(fd, mode);
    if (::fsync(fd) != 0) {
        return fail(errno);
    }
    if (::close(fd) != 0) {
        const int err = errno;
        ::unlink(tmpl.c_str());
        error = FileError(path, err);
        return false;
    }
    if (std::rename(tmpl.c_str(), target.c_str()) != 0) {
        const int err = errno;
        ::unlink(tmpl.c_str());
        error = FileError(path, err);
        return false;
    }
    // Make the rename itself durable.
    const int dir =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}
