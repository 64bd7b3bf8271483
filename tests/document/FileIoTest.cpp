// The file layer against everything a file system can put in its way: special files, names at
// the length limit and in other encodings, links of every sort, read-only files and folders,
// a full disk. Each case runs in a child process as an ordinary user (root's children drop
// to "nobody"), so that permissions apply, and checks the whole folder before and after: a
// read changes nothing, a failed save changes nothing and leaves no temporary file, a good
// save changes the one file it should and keeps every link a link. The thumbnailer, which a
// file manager runs on whatever file it finds, goes through the same cases as a program: a
// failure exits non-zero and leaves no picture. A read that blocks is ended by the test's
// timeout.
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "document/BioFile.h"
#include "document/FileIo.h"
#include "model/BioMorph.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uid_t kNobody = 65534;
const std::string kName255 = std::string(251, 'y') + ".bio";
const std::string kName256 = std::string(252, 'y') + ".bio";
const std::string kLatin1 = "caf\xe9.bio";

Bytes Pattern(uint8_t first) {
    Bytes b(164);
    for (size_t i = 0; i < b.size(); ++i) {
        b[i] = static_cast<uint8_t>(first + i);
    }
    return b;
}
const Bytes kOld = Pattern(0);
const Bytes kNew = Pattern(100);

Bytes MorphFile() {
    CBioMorph morph;
    morph.SetGenes(kBasicGenes);
    return EncodeBioFile(morph);
}

// Set-up helpers; each returns an empty string or why the case cannot be set up here.
std::string Put(const std::string& path, const Bytes& bytes = kOld, mode_t mode = 0644) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, mode);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        return "cannot write " + path + ": " + std::strerror(errno);
    }
    ::fchmod(fd, mode);
    ::close(fd);
    return {};
}
std::string Link(const std::string& to, const std::string& at) {
    return ::symlink(to.c_str(), at.c_str()) == 0
               ? std::string()
               : "cannot link " + at + ": " + std::strerror(errno);
}
std::string Folder(const std::string& path, mode_t mode = 0755) {
    if (::mkdir(path.c_str(), 0755) != 0) {
        return "cannot make " + path;
    }
    ::chmod(path.c_str(), mode);
    return {};
}
std::string Fifo(const std::string& path) {
    return ::mkfifo(path.c_str(), 0644) == 0 ? std::string() : "mkfifo failed";
}
std::string Socket(const std::string& path) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path) {
        return "the socket path is too long for this system";
    }
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bBound = s >= 0 && ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    if (s >= 0) {
        ::close(s);
    }
    return bBound ? std::string() : "cannot make a socket";
}
std::string Mode(const std::string& path, mode_t mode) {
    return ::chmod(path.c_str(), mode) == 0 ? std::string() : "cannot change the mode of " + path;
}
// Set-up steps in order (the elements of a braced list are made left to right).
std::string All(std::initializer_list<std::string> steps) {
    std::string errors;
    for (const std::string& step : steps) {
        errors += step;
    }
    return errors;
}
std::string Huge(const std::string& path) {
    const std::string err = Put(path);
    if (err.empty() && ::truncate(path.c_str(), off_t{1} << 30) != 0) {
        return "cannot grow a sparse file";
    }
    return err;
}

// A small file system of its own, nearly full: the old file, then filler up to the last byte.
// Root mounts it in a mount namespace of the child's own; anyone else needs a user namespace.
std::string FullDisk(const std::string& dir) {
    const std::string mountPoint = dir + "/full";
    if (::mkdir(mountPoint.c_str(), 0777) != 0) {
        return "cannot make the mount point";
    }
    if (::geteuid() != 0) {
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            return std::string("no tmpfs: user namespaces are not allowed here (") +
                   std::strerror(errno) + ")";
        }
        // Files are made only by a user and group known inside the namespace.
        auto writeProc = [](const char* file, const std::string& text) {
            const int fd = ::open(file, O_WRONLY);
            const bool bDone = fd >= 0 && ::write(fd, text.data(), text.size()) >= 0;
            if (fd >= 0) {
                ::close(fd);
            }
            return bDone;
        };
        if (!writeProc("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !writeProc("/proc/self/setgroups", "deny") ||
            !writeProc("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
            return "no tmpfs: cannot map the user into a namespace";
        }
    } else if (::unshare(CLONE_NEWNS) != 0) {
        return std::string("no tmpfs: no mount namespace (") + std::strerror(errno) + ")";
    }
    ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
    if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=16k,mode=0777") != 0) {
        return std::string("no tmpfs: mount is not allowed here (") + std::strerror(errno) + ")";
    }
    std::string err = Put(mountPoint + "/keep.bio");
    const int fd = ::open((mountPoint + "/filler").c_str(), O_WRONLY | O_CREAT, 0644);
    const Bytes block(512, 0x55);
    while (fd >= 0 && ::write(fd, block.data(), block.size()) > 0) {
    }
    const int full = errno;
    const Bytes one(1, 0x55);
    while (fd >= 0 && ::write(fd, one.data(), 1) > 0) {
    }
    ::close(fd);
    if (full != ENOSPC) {
        err = std::string("the tmpfs did not fill up (") + std::strerror(full) + ")" + err;
    }
    return err;
}

// Every entry of a folder tree, by path: its kind, its mode and, for a file, its identity
// and content (what the user may read of it), for a link its text.
using Snapshot = std::map<std::string, std::string>;

void SnapInto(const std::string& root, const std::string& rel, Snapshot& out) {
    DIR* d = ::opendir((root + rel).c_str());
    if (!d) {
        out[rel] += " unreadable";
        return;
    }
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        const std::string relPath = rel + "/" + name;
        const std::string path = root + relPath;
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            out[relPath] = "vanished";
            continue;
        }
        std::string desc = std::to_string(st.st_mode);
        if (S_ISLNK(st.st_mode)) {
            std::string text(4096, '\0');
            text.resize(static_cast<size_t>(
                std::max<ssize_t>(0, ::readlink(path.c_str(), text.data(), text.size()))));
            desc += " link " + text;
        } else if (S_ISREG(st.st_mode)) {
            desc += " file " + std::to_string(st.st_ino) + " " + std::to_string(st.st_size) + " " +
                    std::to_string(st.st_mtim.tv_nsec) + " ";
            const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
            if (fd >= 0) {
                char buf[512];
                const ssize_t n = ::read(fd, buf, sizeof buf);
                desc.append(buf, static_cast<size_t>(std::max<ssize_t>(0, n)));
                ::close(fd);
            }
        }
        out[relPath] = desc;
        if (S_ISDIR(st.st_mode)) {
            SnapInto(root, relPath, out);
        }
    }
    ::closedir(d);
}

Snapshot Snap(const std::string& dir) {
    Snapshot s;
    SnapInto(dir, "", s);
    return s;
}

std::string Describe(const Snapshot& s) {
    std::string text;
    for (const auto& [path, desc] : s) {
        text += "\n    " + ReadableName(path) + ": " + std::to_string(desc.size()) + " bytes";
        text += desc.find(" link ") != std::string::npos ? " (link)" : "";
    }
    return text;
}

Bytes FileBytes(const std::string& path) {
    Bytes b(8192);
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
    const ssize_t n = fd >= 0 ? ::read(fd, b.data(), b.size()) : -1;
    if (fd >= 0) {
        ::close(fd);
    }
    b.resize(static_cast<size_t>(std::max<ssize_t>(0, n)));
    return b;
}

// Thumbnail: the thumbnailer program run on the file used, writing the picture to `writes`.
enum class EOp { Read, Save, Thumbnail };

struct SFileCase {
    const char* name;
    EOp op;
    std::function<std::string(const std::string& dir)> arrange;  // runs with full rights
    std::string use;      // the path handed to the file layer, inside the scratch folder
    std::string writes;   // a good save: the file that must then hold the new bytes
    const char* reason;   // a refusal: words its message must hold; nullptr for success
    size_t readSize = 0;  // a good read: how much it returns (0: the whole old file)
    std::string named{};  // a refusal: the file its message names, if not the one used
};

std::vector<SFileCase> Cases() {
    return {
        // ---- reading
        {"named pipe nobody writes to", EOp::Read,
         [](const std::string& d) { return Fifo(d + "/pipe.bio"); }, "pipe.bio", "",
         "is a named pipe (FIFO), not a regular file"},
        {"socket", EOp::Read, [](const std::string& d) { return Socket(d + "/sock.bio"); },
         "sock.bio", "", "is a socket, not a regular file"},
        {"link to /dev/zero", EOp::Read,
         [](const std::string& d) { return Link("/dev/zero", d + "/zero.bio"); }, "zero.bio", "",
         "is a device, not a regular file"},
        {"folder", EOp::Read, [](const std::string& d) { return Folder(d + "/dir.bio"); },
         "dir.bio", "", "is a folder, not a regular file"},
        {"huge sparse file", EOp::Read, [](const std::string& d) { return Huge(d + "/huge.bio"); },
         "huge.bio", "", nullptr, kMaxReadBytes},
        {"255-byte name", EOp::Read, [](const std::string& d) { return Put(d + "/" + kName255); },
         kName255, "", nullptr},
        {"256-byte name", EOp::Read, [](const std::string&) { return std::string(); }, kName256, "",
         "is too long"},
        {"Latin-1 name", EOp::Read, [](const std::string& d) { return Put(d + "/" + kLatin1); },
         kLatin1, "", nullptr},
        {"chain of relative links", EOp::Read,
         [](const std::string& d) {
             return All({Folder(d + "/sub"), Link("sub/b.bio", d + "/a.bio"),
                         Link("../c.bio", d + "/sub/b.bio"), Put(d + "/c.bio")});
         },
         "a.bio", "", nullptr},
        {"dangling link", EOp::Read,
         [](const std::string& d) { return Link("missing.bio", d + "/gone.bio"); }, "gone.bio", "",
         "was not found"},
        {"link loop", EOp::Read,
         [](const std::string& d) {
             return All({Link("y.bio", d + "/x.bio"), Link("x.bio", d + "/y.bio")});
         },
         "x.bio", "", "loop"},
        {"unreadable file", EOp::Read,
         [](const std::string& d) { return Put(d + "/secret.bio", kOld, 0); }, "secret.bio", "",
         "Access to"},
        {"file in a locked folder", EOp::Read,
         [](const std::string& d) {
             return All({Folder(d + "/locked"), Put(d + "/locked/f.bio"), Mode(d + "/locked", 0)});
         },
         "locked/f.bio", "", "Access to"},

        // ---- saving
        {"new file with a 255-byte name", EOp::Save,
         [](const std::string&) { return std::string(); }, kName255, kName255, nullptr},
        {"over a file with a 255-byte name", EOp::Save,
         [](const std::string& d) { return Put(d + "/" + kName255); }, kName255, kName255, nullptr},
        {"256-byte name", EOp::Save, [](const std::string&) { return std::string(); }, kName256, "",
         "is too long"},
        {"new file with a Latin-1 name", EOp::Save,
         [](const std::string&) { return std::string(); }, kLatin1, kLatin1, nullptr},
        {"over a file with a Latin-1 name", EOp::Save,
         [](const std::string& d) { return Put(d + "/" + kLatin1); }, kLatin1, kLatin1, nullptr},
        {"relative link to a file", EOp::Save,
         [](const std::string& d) {
             return All({Folder(d + "/sub"), Link("../real.bio", d + "/sub/link.bio"),
                         Put(d + "/real.bio")});
         },
         "sub/link.bio", "real.bio", nullptr},
        {"dangling relative link", EOp::Save,
         [](const std::string& d) {
             return All({Folder(d + "/sub"), Link("../new.bio", d + "/sub/link.bio")});
         },
         "sub/link.bio", "new.bio", nullptr},
        {"chain of links ending nowhere", EOp::Save,
         [](const std::string& d) {
             return All({Folder(d + "/sub"), Link("sub/b.bio", d + "/a.bio"),
                         Link("c.bio", d + "/sub/b.bio")});
         },
         "a.bio", "sub/c.bio", nullptr},
        {"dangling absolute link", EOp::Save,
         [](const std::string& d) { return Link(d + "/made.bio", d + "/abs.bio"); }, "abs.bio",
         "made.bio", nullptr},
        {"dangling link into a missing folder", EOp::Save,
         [](const std::string& d) { return Link("nowhere/x.bio", d + "/l.bio"); }, "l.bio", "",
         "does not exist"},
        {"link loop", EOp::Save,
         [](const std::string& d) {
             return All({Link("y.bio", d + "/x.bio"), Link("x.bio", d + "/y.bio")});
         },
         "x.bio", "", "loop"},
        {"read-only file", EOp::Save,
         [](const std::string& d) { return Put(d + "/ro.bio", kOld, 0444); }, "ro.bio", "",
         "Access to"},
        // The folder takes no temporary file, but the file itself may be written: in place.
        {"file in a read-only folder", EOp::Save,
         [](const std::string& d) {
             return All({Folder(d + "/ro"), Put(d + "/ro/f.bio"), Mode(d + "/ro", 0555)});
         },
         "ro/f.bio", "ro/f.bio", nullptr},
        {"new file in a read-only folder", EOp::Save,
         [](const std::string& d) { return Folder(d + "/ro", 0555); }, "ro/new.bio", "",
         "Access to"},
        {"link to a file in a read-only folder", EOp::Save,
         [](const std::string& d) {
             return All({Folder(d + "/ro"), Put(d + "/ro/f.bio"), Link("ro/f.bio", d + "/l.bio"),
                         Mode(d + "/ro", 0555)});
         },
         "l.bio", "ro/f.bio", nullptr},
        {"read-only file in a read-only folder", EOp::Save,
         [](const std::string& d) {
             return All(
                 {Folder(d + "/ro"), Put(d + "/ro/f.bio", kOld, 0444), Mode(d + "/ro", 0555)});
         },
         "ro/f.bio", "", "Access to"},
        {"named pipe", EOp::Save, [](const std::string& d) { return Fifo(d + "/pipe.bio"); },
         "pipe.bio", "", "is a named pipe (FIFO), not a regular file"},
        {"link to /dev/null", EOp::Save,
         [](const std::string& d) { return Link("/dev/null", d + "/null.bio"); }, "null.bio", "",
         "is a device, not a regular file"},
        {"folder", EOp::Save, [](const std::string& d) { return Folder(d + "/dir.bio"); },
         "dir.bio", "", "is a folder, not a regular file"},
        {"full file system", EOp::Save, FullDisk, "full/keep.bio", "", "not enough space"},

        // ---- the thumbnailer
        {"named pipe nobody writes to", EOp::Thumbnail,
         [](const std::string& d) { return Fifo(d + "/pipe.bio"); }, "pipe.bio", "pipe.png",
         "is a named pipe (FIFO), not a regular file"},
        {"Latin-1 names", EOp::Thumbnail,
         [](const std::string& d) { return Put(d + "/" + kLatin1, MorphFile()); }, kLatin1,
         "caf\xe9.png", nullptr},
        // Nothing is left where the picture did not fit, not even an empty file.
        {"full file system", EOp::Thumbnail,
         [](const std::string& d) {
             return All({Put(d + "/m.bio", MorphFile()), FullDisk(d)});
         },
         "m.bio", "full/m.png", "not enough space", 0, "m.png"},
    };
}

// Gives the tree to the user the case runs as.
void ChownTree(const std::string& path, uid_t uid) {
    ::lchown(path.c_str(), uid, uid);
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return;
    }
    if (DIR* d = ::opendir(path.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..") {
                ChownTree(path + "/" + name, uid);
            }
        }
        ::closedir(d);
    }
}

// Lets the scratch folder be removed again by whoever made it.
void UnlockTree(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return;
    }
    ::chmod(path.c_str(), 0700);
    if (DIR* d = ::opendir(path.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..") {
                UnlockTree(path + "/" + name);
            }
        }
        ::closedir(d);
    }
}

const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

// Runs the thumbnailer as a file manager does: done is whether it exited 0, error what it
// said. Returns "" once it ran, or why it could not run here.
std::string RunThumbnailer(const std::string& input, const std::string& output, bool& bDone,
                           std::string& error) {
#ifdef QUORVALE_THUMBNAILER
    int err[2];
    if (::pipe(err) != 0) {
        return "no pipe";
    }
    const pid_t child = ::fork();
    if (child < 0) {
        return "cannot fork";
    }
    if (child == 0) {
        ::dup2(err[1], STDERR_FILENO);
        ::close(err[0]);
        ::close(err[1]);
        ::execl(QUORVALE_THUMBNAILER, "quorvale-thumbnailer", input.c_str(), output.c_str(), "64",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(err[1]);
    char buf[1024];
    for (ssize_t n; (n = ::read(err[0], buf, sizeof buf)) > 0;) {
        error.append(buf, static_cast<size_t>(n));
    }
    ::close(err[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127) {
        return "SKIP: the thumbnailer cannot be run here (as nobody, for root)";
    }
    if (!WIFEXITED(status)) {
        return "the thumbnailer ended by signal " + std::to_string(WTERMSIG(status));
    }
    bDone = WEXITSTATUS(status) == 0;
    return {};
#else
    (void)input;
    (void)output;
    (void)bDone;
    (void)error;
    return "SKIP: this build has no thumbnailer";
#endif
}

// The case itself, in the child: "" when it holds, "SKIP: why" when it cannot run here, or
// what went wrong.
std::string RunCase(const SFileCase& c, const std::string& dir) {
    ::umask(022);
    // Asked before the set-up, which may enter a user namespace where anyone is root.
    const bool bRoot = ::geteuid() == 0;
    const std::string setUp = c.arrange(dir);
    if (setUp.rfind("no tmpfs", 0) == 0) {
        return "SKIP: " + setUp;
    }
    if (!setUp.empty()) {
        return "set-up: " + setUp;
    }
    if (bRoot) {
        // Root may write anything: run as an ordinary user, whom permissions bind.
        ChownTree(dir, kNobody);
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
            return std::string("SKIP: running as root and cannot become nobody (") +
                   std::strerror(errno) + ")";
        }
    }
    const std::string path = dir + "/" + c.use;
    const Snapshot before = Snap(dir);
    std::string error;
    Bytes bytes;
    bool bDone = false;
    bool bNotAFile = false;
    if (c.op == EOp::Read) {
        bDone = ReadFileBytes(path, bytes, error, &bNotAFile);
    } else if (c.op == EOp::Save) {
        bDone = WriteFileAtomically(path, kNew, error);
    } else {
        const std::string ran = RunThumbnailer(path, dir + "/" + c.writes, bDone, error);
        if (!ran.empty()) {
            return ran;
        }
    }
    Snapshot after = Snap(dir);
    std::string problems;
    if (c.reason) {
        if (bDone) {
            return "succeeded where it should refuse";
        }
        if (error.find(c.reason) == std::string::npos) {
            problems += "the message '" + error + "' lacks '" + c.reason + "'\n";
        }
        const std::string& named = c.named.empty() ? c.use : c.named;
        const std::string name = ReadableName(named.substr(named.rfind('/') + 1));
        if (error.find(name) == std::string::npos) {
            problems += "the message '" + error + "' does not name the file\n";
        }
        if (bNotAFile != (std::string(c.reason).find("not a regular file") != std::string::npos) &&
            c.op == EOp::Read) {
            problems += "the refusal is not told apart as a file of the wrong kind\n";
        }
    } else if (!bDone) {
        return "failed: " + error;
    } else if (c.op == EOp::Read) {
        const size_t size = c.readSize ? c.readSize : kOld.size();
        if (bytes.size() != size || !std::equal(kOld.begin(), kOld.end(), bytes.begin())) {
            problems += "read " + std::to_string(bytes.size()) + " bytes, not the old file's " +
                        std::to_string(size) + "\n";
        }
    } else {
        // The written file holds the new bytes and keeps the mode it had; it alone changed.
        const std::string written = "/" + c.writes;
        const Bytes content = FileBytes(dir + written);
        if (c.op == EOp::Thumbnail
                ? content.size() < 8 ||
                      !std::equal(kPngSignature, kPngSignature + 8, content.begin())
                : content != kNew) {
            problems += "the file " + ReadableName(c.writes) + " does not hold the new bytes\n";
        }
        const auto was = before.find(written);
        const auto now = after.find(written);
        if (now == after.end() ||
            (was != before.end() && was->second.substr(0, was->second.find(' ')) !=
                                        now->second.substr(0, now->second.find(' ')))) {
            problems += "the written file is missing or changed its mode\n";
        }
        after.erase(written);
        Snapshot rest = before;
        rest.erase(written);
        if (after != rest) {
            problems += "other entries changed:\n  before" + Describe(rest) + "\n  after" +
                        Describe(after) + "\n";
        }
        return problems;
    }
    if (after != before) {
        problems += "the folder changed:\n  before" + Describe(before) + "\n  after" +
                    Describe(after) + "\n";
    }
    return problems;
}

void PrintTo(const SFileCase& c, std::ostream* os) {
    *os << c.name;
}

class CFileLayerTest : public testing::TestWithParam<SFileCase> {};

TEST_P(CFileLayerTest, HoldsItsGround) {
    const SFileCase& c = GetParam();
    SCOPED_TRACE(c.name);
    char tmpl[] = "/tmp/quorvale-files-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    const std::string dir = tmpl;
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // If the test is stopped by its timeout, so is the case it waits for.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::close(out[0]);
        const std::string result = RunCase(c, dir);
        const ssize_t ignored = ::write(out[1], result.data(), result.size());
        (void)ignored;
        ::_exit(0);
    }
    ::close(out[1]);
    std::string result;
    char buf[4096];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;) {
        result.append(buf, static_cast<size_t>(n));
    }
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    UnlockTree(dir);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    ASSERT_TRUE(WIFEXITED(status)) << "the case's process ended by signal " << WTERMSIG(status);
    if (result.rfind("SKIP: ", 0) == 0) {
        GTEST_SKIP() << result.substr(6);
    }
    EXPECT_EQ(result, "");
}

INSTANTIATE_TEST_SUITE_P(Cases, CFileLayerTest, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<SFileCase>& row) {
                             const EOp op = row.param.op;
                             std::string name = op == EOp::Read   ? "Read_"
                                                : op == EOp::Save ? "Save_"
                                                                  : "Thumbnail_";
                             for (const char* p = row.param.name; *p; ++p) {
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             }
                             return name;
                         });

// The names in a folder that look like a save's temporary file.
std::vector<std::string> TemporaryNames(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(".quorvale-", 0) == 0) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

void Age(const std::string& path, time_t seconds) {
    const timespec times[2] = {{::time(nullptr) - seconds, 0}, {::time(nullptr) - seconds, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

class CTemporaryFilesTest : public testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/quorvale-temps-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        m_dir = tmpl;
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    std::string m_dir;
};

// What stopped saves left behind goes with the next save into the folder: only regular files
// of the user's own, named as a save names them, and old enough that no save is still
// writing them.
TEST_F(CTemporaryFilesTest, ASaveClearsOnlyOldTemporaryFilesOfOurs) {
    constexpr time_t kTwoDays = 2 * 24 * 60 * 60;
    const std::string d = m_dir + "/";
    ASSERT_EQ(
        All({Put(d + ".quorvale-Ab12Cd"), Put(d + ".quorvale-x9Y8z7"), Put(d + ".quorvale-young1"),
             Link("elsewhere", d + ".quorvale-Link01"), Folder(d + ".quorvale-Fold01"),
             Put(d + ".quorvale-abc"), Put(d + ".quorvale-abcdefg"), Put(d + ".quorvale-ab_cd1"),
             Put(d + "quorvale-Ab12Cd")}),
        "");
    for (const char* name :
         {".quorvale-Ab12Cd", ".quorvale-x9Y8z7", ".quorvale-Link01", ".quorvale-Fold01",
          ".quorvale-abc", ".quorvale-abcdefg", ".quorvale-ab_cd1", "quorvale-Ab12Cd"}) {
        Age(d + name, kTwoDays);
    }
    // Another user's, where there is another user to give it to.
    const bool bRoot = ::geteuid() == 0;
    if (bRoot) {
        ASSERT_EQ(Put(d + ".quorvale-Other1"), "");
        ASSERT_EQ(::chown((d + ".quorvale-Other1").c_str(), kNobody, kNobody), 0);
        Age(d + ".quorvale-Other1", kTwoDays);
    }

    std::string error;
    ASSERT_TRUE(WriteFileAtomically(d + "m.bio", kNew, error)) << error;
    std::vector<std::string> kept = {".quorvale-Fold01", ".quorvale-Link01",  ".quorvale-ab_cd1",
                                     ".quorvale-abc",    ".quorvale-abcdefg", ".quorvale-young1"};
    if (bRoot) {
        kept.push_back(".quorvale-Other1");
    }
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(TemporaryNames(m_dir), kept);
    EXPECT_TRUE(std::filesystem::exists(d + "quorvale-Ab12Cd"));
}

// A save stopped by a signal while its temporary file exists removes it, then ends by that
// signal as it would have.
TEST_F(CTemporaryFilesTest, ASignalDuringASaveRemovesItsTemporaryFile) {
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(sig));
        const std::string target = m_dir + "/m.bio";
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            ::close(ready[0]);
            RemoveTemporaryFileOnSignals();
            std::string error;
            // The bytes are made once the temporary file exists: it waits there to be stopped.
            WriteFileAtomically(
                target,
                [&] {
                    const ssize_t ignored = ::write(ready[1], "x", 1);
                    (void)ignored;
                    ::pause();
                    return kNew;
                },
                error);
            ::_exit(0);
        }
        ::close(ready[1]);
        char c = 0;
        ASSERT_EQ(::read(ready[0], &c, 1), 1);
        ::close(ready[0]);
        EXPECT_EQ(TemporaryNames(m_dir).size(), 1u);
        ::kill(child, sig);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << status;
        EXPECT_TRUE(TemporaryNames(m_dir).empty());
        EXPECT_FALSE(std::filesystem::exists(target));
    }
}

TEST(ReadableName, KeepsUtf8AndReadsOtherBytesAsLatin1) {
    const struct {
        std::string bytes;
        std::string shown;
    } rows[] = {
        {"plain.bio", "plain.bio"},
        {"caf\xc3\xa9.bio", "caf\xc3\xa9.bio"},            // UTF-8 stays
        {"caf\xe9.bio", "caf\xc3\xa9.bio"},                // Latin-1 é
        {"\xc3", "\xc3\x83"},                              // a sequence cut short
        {"\xed\xa0\x80", "\xc3\xad\xc2\xa0\xc2\x80"},      // a surrogate is no UTF-8
        {"\xc0\xaf", "\xc3\x80\xc2\xaf"},                  // nor an overlong '/'
        {"\xf0\x9f\x90\x9b.bio", "\xf0\x9f\x90\x9b.bio"},  // four bytes
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ReadableName(row.bytes), row.shown) << row.bytes;
    }
}

}  // namespace
