// The program started with a file on its command line, as from a shell: one case per run,
// named by the first argument, since each needs an application object of its own.
//   fifo    a named pipe nobody writes to: refused by name, the program ends (a start that
//           waited on the pipe would end by the test's timeout)
//   latin1  a name that is not UTF-8: opened by its bytes and shown readably
#include <sys/stat.h>

#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/QuorvaleApp.h"
#include "document/FileIo.h"
#include "frame/MainFrame.h"

namespace {

int Fail(const std::string& what) {
    std::fprintf(stderr, "FAIL: %s\n", what.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        return Fail("usage: command_line_tests fifo|latin1");
    }
    const std::string which = argv[1];
    char tmpl[] = "/tmp/quorvale-cmdline-XXXXXX";
    if (!::mkdtemp(tmpl)) {
        return Fail("no temporary folder");
    }
    const std::string dir = tmpl;
    // The settings (recent files) go to the scratch folder, not the user's.
    ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);

    std::string file;
    CQuorvaleDoc writer;
    writer.OnNewDocument();
    writer.m_pCurrent->SetGene(3, 61);
    if (which == "fifo") {
        file = dir + "/pipe.bio";
        if (::mkfifo(file.c_str(), 0644) != 0) {
            return Fail("mkfifo");
        }
    } else if (which == "latin1") {
        file = dir + "/caf\xe9.bio";
        if (!writer.SaveFile(file)) {
            return Fail("cannot write the file");
        }
    } else {
        return Fail("unknown case " + which);
    }

    std::string program = argv[0];
    std::vector<char*> args = {program.data(), file.data(), nullptr};
    int count = 2;
    int result = 0;
    {
        CQuorvaleApp app(count, args.data());
        // Messages come as modal boxes: note their text and close them.
        QStringList messages;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&messages] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                messages << box->text();
                box->accept();
            }
        });
        closer.start(10);
        const bool bStarted = app.InitInstance();
        const QString shown = QString::fromStdString(ReadableName(file));
        if (which == "fifo") {
            const QStringList expected{shown + " is a named pipe (FIFO), not a regular file."};
            if (bStarted || app.ExitCode() != 1) {
                result = Fail("the program started, or ended with another code");
            } else if (messages != expected) {
                result = Fail("messages: " + messages.join(" | ").toStdString());
            }
        } else {
            if (!bStarted || !messages.isEmpty()) {
                result = Fail("not opened: " + messages.join(" | ").toStdString());
            } else if (app.Document()->m_pCurrent->Gene(3) != 61) {
                result = Fail("the file's morph is not the parent");
            } else if (app.Frame()->windowTitle() !=
                       QString::fromUtf8("caf\xc3\xa9.bio[*] - Quorvale")) {
                result = Fail("title " + app.Frame()->windowTitle().toStdString());
            } else if (app.Frame()->RecentFiles() != QStringList{shown}) {
                result = Fail("recent files " + app.Frame()->RecentFiles().join("|").toStdString());
            }
        }
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    if (result == 0) {
        std::printf("PASS: %s\n", which.c_str());
    }
    return result;
}
