#include "platform/DragFolder.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QStandardPaths>
#include <cerrno>

namespace {

// Inside the user's runtime folder where there is one (private, and emptied at logout), else
// in the temporary folder under a name of the user's own.
QString UserFolder() {
    // Asked only where the session has one: Qt would otherwise warn and make one in /tmp.
    if (qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) {
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (!runtime.isEmpty()) {
            return runtime + QStringLiteral("/quorvale-drag");
        }
    }
    return QDir::tempPath() + QStringLiteral("/quorvale-drag-%1").arg(::getuid());
}

bool MakePrivateFolder(const QString& path) {
    const QByteArray bytes = QFile::encodeName(path);
    if (::mkdir(bytes.constData(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    // Ours, a folder, and not a link someone else put there.
    struct stat info {};
    return ::lstat(bytes.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid();
}

bool ProcessRuns(qint64 pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

}  // namespace

QString DragFolder() {
    const QString user = UserFolder();
    const QString own = user + QStringLiteral("/%1").arg(::getpid());
    if (!MakePrivateFolder(user) || !MakePrivateFolder(own)) {
        return QString();
    }
    return own;
}

void RemoveStaleDragFolders() {
    const QDir user(UserFolder());
    for (const QFileInfo& entry :
         user.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
        bool bNumber = false;
        const qint64 pid = entry.fileName().toLongLong(&bNumber);
        if (bNumber && pid != ::getpid() && !ProcessRuns(pid)) {
            QDir(entry.absoluteFilePath()).removeRecursively();
        }
    }
}

void RemoveDragFolder() {
    QDir(UserFolder() + QStringLiteral("/%1").arg(::getpid())).removeRecursively();
}
