#include "frame/FileNames.h"

#include <dirent.h>
#include <sys/stat.h>

#include <QFile>
#include <QStringList>

#include "document/FileIo.h"

namespace {

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string Join(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        return name;
    }
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string ToBytes(const QString& text) {
    const QByteArray encoded = QFile::encodeName(text);
    return std::string(encoded.constData(), static_cast<size_t>(encoded.size()));
}

// The one entry of the folder whose name reads as the given text, or "".
std::string FindEntry(const std::string& folder, const QString& shown) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) {
        return std::string();
    }
    std::string found;
    int matches = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const QByteArray raw(name.data(), static_cast<qsizetype>(name.size()));
        if (QFile::decodeName(raw) == shown || ShownPath(name) == shown) {
            found = name;
            ++matches;
        }
    }
    ::closedir(dir);
    return matches == 1 ? found : std::string();
}

}  // namespace

std::string PathBytes(const QString& path) {
    const std::string direct = ToBytes(path);
    if (direct.empty() || Exists(direct)) {
        return direct;
    }
    // Step by step, so that a folder with such a name is found too.
    std::string result = path.startsWith('/') ? "/" : "";
    const QStringList parts = path.split('/', Qt::SkipEmptyParts);
    bool bFound = true;
    for (const QString& part : parts) {
        std::string next = Join(result, ToBytes(part));
        if (bFound && !Exists(next)) {
            const std::string entry = FindEntry(result, part);
            if (entry.empty()) {
                bFound = false;
            } else {
                next = Join(result, entry);
            }
        }
        result = next;
    }
    return result;
}

QString ShownPath(const std::string& bytes) {
    return QString::fromStdString(ReadableName(bytes));
}
