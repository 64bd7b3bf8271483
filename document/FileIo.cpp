#include "document/FileIo.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>

namespace {

// Links followed in a row before the chain counts as a loop (the system's own limit).
constexpr int kMaxLinkHops = 40;

std::string FileError(const std::string& path, int err) {
    const std::string name = ReadableName(path);
    switch (err) {
        case ENOENT:
            return name + " was not found.";
        case EACCES:
        case EPERM:
            return "Access to " + name + " was denied.";
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return "There is not enough space on the disk to save " + name + ".";
        case ENAMETOOLONG:
            return "The name " + name + " is too long for the file system.";
        case ELOOP:
            return name + " is a symbolic link that leads round in a loop.";
        case ENOTDIR:
            return name + " was not found: part of its path is not a folder.";
        case EROFS:
            return "Access to " + name + " was denied: the disk is read-only.";
        default:
            return "An unexpected error occurred while accessing " + name + ": " +
                   std::strerror(err);
    }
}

// What a file of any kind but a regular one is, in words.
std::string NotAFileError(const std::string& path, mode_t mode) {
    const char* kind = "a special file";
    if (S_ISDIR(mode)) {
        kind = "a folder";
    } else if (S_ISFIFO(mode)) {
        kind = "a named pipe (FIFO)";
    } else if (S_ISSOCK(mode)) {
        kind = "a socket";
    } else if (S_ISCHR(mode) || S_ISBLK(mode)) {
        kind = "a device";
    }
    return ReadableName(path) + " is " + kind + ", not a regular file.";
}

// The folder part of a path: "" for a bare name (the current folder), "/" for the root.
std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return std::string();
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        return name;
    }
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// Follows the links at the end of the path, one by one, to the path a save should write:
// the first one that is not a link, or does not exist yet (a dangling link's target, which
// the save then creates). A relative link counts from the folder that holds it.
bool ResolveLinks(const std::string& path, std::string& target, std::string& error) {
    target = path;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0) {
            if (errno == ENOENT) {
                return true;
            }
            error = FileError(path, errno);
            return false;
        }
        if (!S_ISLNK(st.st_mode)) {
            return true;
        }
        if (hops == kMaxLinkHops) {
            error = FileError(path, ELOOP);
            return false;
        }
        std::string link(static_cast<size_t>(st.st_size > 0 ? st.st_size : 256) + 1, '\0');
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n < 0) {
            error = FileError(path, errno);
            return false;
        }
        if (n == 0 || static_cast<size_t>(n) >= link.size()) {
            // Empty, or changed while being read.
            error = FileError(path, n == 0 ? ENOENT : EAGAIN);
            return false;
        }
        link.resize(static_cast<size_t>(n));
        target = link.front() == '/' ? link : JoinPath(FolderOf(target), link);
    }
}

mode_t CurrentUmask() {
    const mode_t m = ::umask(0);
    ::umask(m);
    return m;
}

// The name of every temporary file a save makes beside its target: short and of fixed length,
// so that it fits wherever the target's own name does, even one of the longest names the file
// system takes.
constexpr char kTempPrefix[] = ".quorvale-";
constexpr size_t kTempPrefixLength = sizeof kTempPrefix - 1;
constexpr size_t kTempRandomLength = 6;  // mkstemp's XXXXXX: letters and digits
// A temporary file older than this is left over from a save that was stopped: no save takes
// that long.
constexpr time_t kStaleAge = 24 * 60 * 60;

// The temporary file of the save under way, for the signal handler, which may not allocate:
// a fixed buffer (PATH_MAX and its NUL; a longer path cannot be created anyway). It is set
// and cleared with the signals held back, so the handler never sees half a name, nor the name
// of a file already renamed into place. Saves run one at a time.
char g_pendingTemp[4096 + 1];
volatile sig_atomic_t g_bTempPending = 0;

constexpr int kCleanupSignals[] = {SIGHUP, SIGINT, SIGTERM};

// Holds back the cleanup signals in this thread while it lives; they arrive when it ends.
class CSignalsHeld {
public:
    CSignalsHeld() {
        sigset_t set;
        sigemptyset(&set);
        for (int sig : kCleanupSignals) {
            sigaddset(&set, sig);
        }
        pthread_sigmask(SIG_BLOCK, &set, &m_old);
    }
    ~CSignalsHeld() { pthread_sigmask(SIG_SETMASK, &m_old, nullptr); }
    CSignalsHeld(const CSignalsHeld&) = delete;
    CSignalsHeld& operator=(const CSignalsHeld&) = delete;

private:
    sigset_t m_old;
};

void RemovePendingTempAndEnd(int sig) {
    if (g_bTempPending) {
        ::unlink(g_pendingTemp);
    }
    // The handler was installed to run once: the signal's own action is back, and the signal
    // raised again ends the process as it would have, once this handler returns.
    ::raise(sig);
}

// A temporary file beside a save's target. Removed on every way out (a failed write, an
// exception while its bytes are made, a signal) but the rename that puts it in place.
class CTempFile {
public:
    explicit CTempFile(const std::string& folder)
        : m_path(JoinPath(folder, std::string(kTempPrefix) + std::string(kTempRandomLength, 'X'))) {
        CSignalsHeld held;
        m_fd = ::mkstemp(m_path.data());
        m_nError = m_fd < 0 ? errno : 0;
        if (m_fd >= 0 && m_path.size() < sizeof g_pendingTemp) {
            std::memcpy(g_pendingTemp, m_path.c_str(), m_path.size() + 1);
            g_bTempPending = 1;
        }
    }
    ~CTempFile() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        if (m_nError == 0 && !m_bPlaced) {
            CSignalsHeld held;
            ::unlink(m_path.c_str());
            g_bTempPending = 0;
        }
    }
    CTempFile(const CTempFile&) = delete;
    CTempFile& operator=(const CTempFile&) = delete;

    int Fd() const { return m_fd; }
    // Why it could not be made (0 when it was).
    int Error() const { return m_nError; }
    bool Close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }
    bool RenameTo(const std::string& target) {
        CSignalsHeld held;
        if (std::rename(m_path.c_str(), target.c_str()) != 0) {
            return false;
        }
        m_bPlaced = true;
        g_bTempPending = 0;
        return true;
    }

private:
    std::string m_path;
    int m_fd = -1;
    int m_nError = 0;
    bool m_bPlaced = false;
};

bool IsTemporaryName(const char* name) {
    if (std::strncmp(name, kTempPrefix, kTempPrefixLength) != 0) {
        return false;
    }
    size_t n = 0;
    for (const char* p = name + kTempPrefixLength; *p; ++p, ++n) {
        const char c = *p;
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) {
            return false;
        }
    }
    return n == kTempRandomLength;
}

}  // namespace

void RemoveTemporaryFileOnSignals() {
    for (int sig : kCleanupSignals) {
        struct sigaction current {};
        if (::sigaction(sig, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) {
            // Ignored on purpose (nohup): it stays ignored.
            continue;
        }
        struct sigaction action {};
        action.sa_handler = RemovePendingTempAndEnd;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        ::sigaction(sig, &action, nullptr);
    }
}

void RemoveStaleTemporaryFiles(const std::string& folder) {
    const int dirFd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) {
        return;
    }
    DIR* dir = ::fdopendir(dirFd);
    if (!dir) {
        ::close(dirFd);
        return;
    }
    const time_t now = ::time(nullptr);
    const uid_t me = ::geteuid();
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsTemporaryName(entry->d_name)) {
            continue;
        }
        // Only plain files of the user's own: a link, a folder or another user's file of the
        // same name is not ours to remove.
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == me && st.st_mtime < now - kStaleAge) {
            ::unlinkat(dirFd, entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error,
                   bool* pbNotAFile) {
    bytes.clear();
    if (pbNotAFile) {
        *pbNotAFile = false;
    }
    auto refuse = [&](mode_t mode) {
        if (pbNotAFile) {
            *pbNotAFile = true;
        }
        error = NotAFileError(path, mode);
        return false;
    };
    // Without blocking: opening a named pipe that nobody writes to would otherwise wait for a
    // writer for ever, and a terminal or modem device for its line.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        // A socket cannot be opened at all; say what it is rather than how open failed.
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
            return refuse(st.st_mode);
        }
        error = FileError(path, err);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = FileError(path, errno);
        ::close(fd);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return refuse(st.st_mode);
    }
    bytes.resize(kMaxReadBytes);
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = FileError(path, errno);
            ::close(fd);
            bytes.clear();
            return false;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    bytes.resize(done);
    ::close(fd);
    return true;
}

namespace {

bool WriteAll(int fd, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

// Writes the bytes over the file itself, keeping what it held to put back if the write
// fails part way. Only for small files (a morph file is 164 bytes): the old bytes are read
// whole first.
static bool WriteInPlace(const std::string& target, const struct stat& existing,
                         const std::vector<uint8_t>& bytes, const std::string& path,
                         std::string& error) {
    constexpr off_t kMaxKept = 1 << 20;
    if (existing.st_size > kMaxKept) {
        error = FileError(path, EACCES);
        return false;
    }
    const int fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = FileError(path, errno);
        return false;
    }
    std::vector<uint8_t> old(static_cast<size_t>(existing.st_size));
    size_t got = 0;
    while (got < old.size()) {
        const ssize_t n = ::pread(fd, old.data() + got, old.size() - got, static_cast<off_t>(got));
        if (n <= 0) {
            if (n < 0 && errno == EINTR) {
                continue;
            }
            break;
        }
        got += static_cast<size_t>(n);
    }
    old.resize(got);
    if (!WriteAll(fd, bytes) || ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0 ||
        ::fsync(fd) != 0) {
        const int err = errno;
        // Put the old bytes back, as far as the file system lets us.
        WriteAll(fd, old);
        if (::ftruncate(fd, static_cast<off_t>(old.size())) == 0) {
            ::fsync(fd);
        }
        ::close(fd);
        error = FileError(path, err);
        return false;
    }
    if (::close(fd) != 0) {
        error = FileError(path, errno);
        return false;
    }
    return true;
}

bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                         std::string& error) {
    return WriteFileAtomically(
        path, [&bytes] { return bytes; }, error);
}

bool WriteFileAtomically(const std::string& path,
                         const std::function<std::vector<uint8_t>()>& produce, std::string& error) {
    if (path.empty() || path.back() == '/') {
        error = "Invalid filename.";
        return false;
    }
    // Saving over a link writes the file it leads to, and keeps the link.
    std::string target;
    if (!ResolveLinks(path, target, error)) {
        return false;
    }
    struct stat existing {};
    const bool bExists = ::stat(target.c_str(), &existing) == 0;
    if (!bExists && errno != ENOENT) {
        // A name too long for the file system, a path through a file: found before any byte
        // is made, not when the finished file is renamed.
        error = FileError(path, errno);
        return false;
    }
    // A folder, a pipe or a device is not replaced by a file, nor written to.
    if (bExists && !S_ISREG(existing.st_mode)) {
        error = NotAFileError(path, existing.st_mode);
        return false;
    }
    const std::string folder = FolderOf(target);
    struct stat folderStat {};
    if (!folder.empty() &&
        (::stat(folder.c_str(), &folderStat) != 0 || !S_ISDIR(folderStat.st_mode))) {
        error = "Failed to save document: the folder of " + ReadableName(path) + " does not exist.";
        return false;
    }
    // A file the user may not write stays as it is, as the file system would keep it.
    if (bExists && ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
                    ::access(target.c_str(), W_OK) != 0)) {
        error = FileError(path, EACCES);
        return false;
    }
    CTempFile temp(folder);
    if (temp.Fd() < 0) {
        const int err = temp.Error();
        // A folder that takes no new file may still hold a file the user can write: that
        // file is then written where it is.
        if (bExists && (err == EACCES || err == EPERM)) {
            return WriteInPlace(target, existing, produce(), path, error);
        }
        error = FileError(path, err);
        return false;
    }
    // Only once the file can be written are its bytes made: making them may change state.
    const std::vector<uint8_t> bytes = produce();
    // Every failure below leaves the temporary file to its destructor, which removes it.
    auto fail = [&](int err) {
        error = FileError(path, err);
        return false;
    };
    if (!WriteAll(temp.Fd(), bytes)) {
        return fail(errno);
    }
    // A replaced file keeps its permissions; a new one gets the usual ones.
    const mode_t mode = bExists ? (existing.st_mode & 07777) : (0666 & ~CurrentUmask());
    ::fchmod(temp.Fd(), mode);
    if (::fsync(temp.Fd()) != 0) {
        return fail(errno);
    }
    if (!temp.Close()) {
        return fail(errno);
    }
    if (!temp.RenameTo(target)) {
        return fail(errno);
    }
    // Make the rename itself durable.
    const int dir =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    // What earlier saves into this folder left behind when they were stopped.
    RemoveStaleTemporaryFiles(folder);
    return true;
}

bool WriteFileInPlace(const std::string& path, const std::vector<uint8_t>& bytes,
                      std::string& error) {
    if (path.empty() || path.back() == '/') {
        error = "Invalid filename.";
        return false;
    }
    // Without blocking: a named pipe with a reader would otherwise be written to, and one
    // without would wait for a reader.
    constexpr int kFlags = O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    bool bCreated = false;
    int fd = ::open(path.c_str(), kFlags);
    if (fd < 0 && errno == ENOENT) {
        fd = ::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0666);
        bCreated = fd >= 0;
    }
    if (fd < 0) {
        const int err = errno;
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
            error = NotAFileError(path, st.st_mode);
        } else {
            error = FileError(path, err);
        }
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = FileError(path, errno);
        ::close(fd);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = NotAFileError(path, st.st_mode);
        ::close(fd);
        return false;
    }
    int err = 0;
    if (::ftruncate(fd, 0) != 0 || !WriteAll(fd, bytes) || ::fsync(fd) != 0) {
        err = errno;
        // Nothing half written stays: an empty file is no picture, a cut one is a broken one.
        ::ftruncate(fd, 0);
    }
    if (::close(fd) != 0 && err == 0) {
        err = errno;
        if (!bCreated) {
            ::truncate(path.c_str(), 0);
        }
    }
    if (err != 0) {
        if (bCreated) {
            ::unlink(path.c_str());
        }
        error = FileError(path, err);
        return false;
    }
    return true;
}

bool IsWritableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && ::access(path.c_str(), W_OK) == 0;
}

std::string ReadableName(const std::string& path) {
    std::string text;
    text.reserve(path.size());
    size_t i = 0;
    while (i < path.size()) {
        const auto c = static_cast<unsigned char>(path[i]);
        // The length of a well-formed UTF-8 sequence starting here, or 0.
        size_t len = 0;
        if (c < 0x80) {
            len = 1;
        } else if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
        }
        if (len > 1) {
            if (i + len > path.size()) {
                len = 0;
            } else {
                for (size_t k = 1; k < len; ++k) {
                    if ((static_cast<unsigned char>(path[i + k]) & 0xC0) != 0x80) {
                        len = 0;
                        break;
                    }
                }
            }
            if (len != 0) {
                // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
                const auto c1 = static_cast<unsigned char>(path[i + 1]);
                if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0) ||
                    (c == 0xF0 && c1 < 0x90) || (c == 0xF4 && c1 >= 0x90)) {
                    len = 0;
                }
            }
        }
        if (len == 0) {
            // A byte of another encoding: as the Latin-1 letter of that number.
            text += static_cast<char>(0xC0 | (c >> 6));
            text += static_cast<char>(0x80 | (c & 0x3F));
            ++i;
        } else {
            text.append(path, i, len);
            i += len;
        }
    }
    return text;
}

std::string AbsolutePathOf(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    std::string result = (ec ? std::filesystem::path(path) : absolute).lexically_normal().string();
    if (result.size() > 1 && result.back() == '/') {
        result.pop_back();
    }
    return result;
}
