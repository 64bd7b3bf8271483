// Fuzz target: the bytes are a file name and what is saved under it (byte 0 is the length of
// the name, up to 255; '/' and NUL, which no name may hold, become '_'). Every name the file
// system takes must save, save again over itself, read back (the first kMaxReadBytes) and
// leave nothing else behind; "", "." and ".." must be refused with a message, the folder left
// as it was. Every name must show as valid UTF-8.

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "MorphExercise.h"
#include "document/FileIo.h"

namespace {

std::string g_strDir;

void RemoveDir() {
    ::rmdir(g_strDir.c_str());
}

const std::string& ScratchDir() {
    if (g_strDir.empty()) {
        // In memory where there is such a folder: every save flushes to the disk, which would
        // otherwise cost the fuzzer most of its runs.
        char shm[] = "/dev/shm/quorvale-fuzz-files-XXXXXX";
        char tmp[] = "/tmp/quorvale-fuzz-files-XXXXXX";
        char* tmpl = ::mkdtemp(shm) ? shm : tmp;
        FuzzCheck(tmpl == shm || ::mkdtemp(tmp) != nullptr, "no scratch folder");
        g_strDir = tmpl;
        std::atexit(RemoveDir);
    }
    return g_strDir;
}

std::vector<std::string> Entries(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..") {
                names.push_back(name);
            }
        }
        ::closedir(d);
    }
    return names;
}

bool IsUtf8(const std::string& text) {
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const size_t len = c < 0x80                 ? 1
                           : c >= 0xC2 && c <= 0xDF ? 2
                           : c >= 0xE0 && c <= 0xEF ? 3
                           : c >= 0xF0 && c <= 0xF4 ? 4
                                                    : 0;
        if (len == 0 || i + len > text.size()) {
            return false;
        }
        for (size_t k = 1; k < len; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += len;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string& dir = ScratchDir();
    const size_t nameLength = std::min<size_t>(data[0], size - 1);
    std::string name(reinterpret_cast<const char*>(data + 1), nameLength);
    std::replace(name.begin(), name.end(), '/', '_');
    std::replace(name.begin(), name.end(), '\0', '_');
    const std::vector<uint8_t> content(data + 1 + nameLength, data + size);
    const std::vector<uint8_t> reversed(content.rbegin(), content.rend());
    const std::string path = dir + "/" + name;
    FuzzCheck(IsUtf8(ReadableName(path)), "a name does not show as UTF-8");

    std::string error;
    const bool bTaken = name != "" && name != "." && name != "..";
    const bool bSaved = WriteFileAtomically(path, content, error);
    if (!bTaken) {
        FuzzCheck(!bSaved && !error.empty(), "a name no file can have was saved without a word");
        FuzzCheck(Entries(dir).empty(), "a refused save left something behind");
        return 0;
    }
    FuzzCheck(bSaved, "a name the file system takes could not be saved");
    FuzzCheck(WriteFileAtomically(path, reversed, error), "a file could not be saved over");
    FuzzCheck(Entries(dir) == std::vector<std::string>{name},
              "a save left something beside the file");

    std::vector<uint8_t> read;
    FuzzCheck(ReadFileBytes(path, read, error), "a saved file could not be read");
    const size_t expected = std::min(reversed.size(), kMaxReadBytes);
    FuzzCheck(read.size() == expected && std::equal(read.begin(), read.end(), reversed.begin()),
              "a file read back differs from what was saved");
    ::unlink(path.c_str());
    return 0;
}
