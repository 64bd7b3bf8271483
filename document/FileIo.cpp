#include "FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

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
    std::string tmpl = target + ".XXXXXX";
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) {
        error = FileError(path, errno);
        return false;
    }
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
    ::fchmod(
        fd, 0644 & ~[] {
            mode_t m = ::umask(0);
            ::umask(m);
            return m;
        }());
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
