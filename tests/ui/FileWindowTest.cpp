// Files through the window: every command that reads a file refuses pipes, sockets, devices
// and folders by name without waiting on them, and names in any encoding, at the length
// limit and behind links open and save. A command that would wait on a pipe for ever fails by
// the test's timeout.
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QAction>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>
#include <filesystem>
#include <memory>

#include "document/BioFile.h"
#include "document/FileIo.h"
#include "frame/MainFrame.h"
#include "model/Random.h"
#include "support/FakeDialogs.h"
#include "view/QuorvaleView.h"

namespace {

std::string Bytes(const QString& text) {
    const QByteArray b = text.toUtf8();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

std::string ReadAll(const std::string& path) {
    std::vector<uint8_t> bytes;
    std::string error;
    return ReadFileBytes(path, bytes, error) ? std::string(bytes.begin(), bytes.end()) : "";
}

}  // namespace

class CFileWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CQuorvaleDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
    CFakeDialogs m_dialogs;
    QStringList& m_messages = m_dialogs.m_messages;
    QString m_nextPath;  // what the next file dialog returns
    std::unique_ptr<QTemporaryDir> m_dir;

    std::string Dir() const { return Bytes(m_dir->path()); }
    std::array<int32_t, kGeneCount> Genes(const CBioMorph& m) { return m.GetGenes(); }

    // Runs one command that reads the file at the path, as the user would reach it.
    void ReadThrough(const QString& how, const QString& path) {
        m_nextPath = path;
        if (how == "open") {
            m_frame->RunCommand(ECommand::FileOpen);
        } else if (how == "command line") {
            QVERIFY(!m_frame->OpenDocumentFile(path));
        } else if (how == "recent file") {
            m_frame->SetRecentFiles({path});
            QAction* recent = nullptr;
            for (QAction* action : m_frame->findChildren<QAction*>()) {
                if (action->toolTip() == path && action->isVisible()) {
                    recent = action;
                }
            }
            QVERIFY(recent);
            recent->trigger();
        } else {
            m_frame->RunCommand(ECommand::GeneSpace);
            m_frame->RunCommand(how == "new top"    ? ECommand::TriangleNewTop
                                : how == "new left" ? ECommand::TriangleNewLeft
                                                    : ECommand::TriangleNewRight);
        }
    }

private slots:
    void init() {
        SetDefaultGeneTables();
        SeedRandom(7);
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_doc = std::make_unique<CQuorvaleDoc>();
        m_frame = std::make_unique<CMainFrame>(m_doc.get());
        m_dialogs = CFakeDialogs();
        m_dialogs.m_askOpenPath = [this](const QString&, const QString&, const QString&) {
            return m_nextPath;
        };
        m_dialogs.m_askSavePath = m_dialogs.m_askOpenPath;
        m_frame->SetDialogs(&m_dialogs);
        m_doc->OnNewDocument();
        m_frame->resize(820, 560);
        m_frame->View()->OnInitialUpdate();
    }

    void cleanup() {
        m_frame.reset();
        m_doc.reset();
        // Qt does not see a name outside the local encoding, so it could not remove it.
        std::error_code ec;
        std::filesystem::remove_all(Dir(), ec);
        m_dir.reset();
        SetDefaultGeneTables();
    }

    // A file that cannot be opened (empty, cut short, of another kind) is read and refused
    // before anything is asked or changed: the creature, its fossil history, the title and
    // the recent files stay, and no later save writes into that file.
    void badFilesAreRefusedBeforeAnythingIsAsked_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("words");
        CBioMorph morph;
        const std::vector<uint8_t> whole = EncodeBioFile(morph);
        const QByteArray cut(reinterpret_cast<const char*>(whole.data()), 100);
        for (const char* how : {"open", "recent file", "drop"}) {
            QTest::addRow("%s, empty", how) << how << QByteArray() << ": the file is empty.";
            QTest::addRow("%s, cut short", how) << how << cut << "The file is cut short";
            QTest::addRow("%s, another kind", how)
                << how << QByteArray(164, 'x') << "Incorrect file type!";
        }
    }
    void badFilesAreRefusedBeforeAnythingIsAsked() {
        QFETCH(QString, how);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, words);
        const QString path = m_dir->path() + "/bad.bio";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        // A bred creature with a history, not yet saved.
        m_frame->RunCommand(ECommand::Engineer);
        QTest::mouseClick(m_frame->View(), Qt::LeftButton, {}, QPoint(100, 100));
        m_frame->UpdateCaption();
        QVERIFY(m_doc->IsModified());
        const auto genes = Genes(*m_doc->m_pCurrent);
        const size_t fossils = m_doc->m_listFossils.size();
        QVERIFY(fossils > 0);
        const QString title = m_frame->windowTitle();
        m_frame->SetRecentFiles({});
        if (how == "drop") {
            m_frame->Documents().DropFile(path, QPoint(10, 10));
        } else {
            ReadThrough(how, path);
        }
        QCOMPARE(m_messages.size(), 1);
        QVERIFY2(m_messages[0].contains("bad.bio") && m_messages[0].contains(words),
                 qPrintable(m_messages[0]));
        QVERIFY2(m_dialogs.m_questions.isEmpty(), qPrintable(m_dialogs.m_questions.join("; ")));
        QCOMPARE(Genes(*m_doc->m_pCurrent), genes);
        QCOMPARE(m_doc->m_listFossils.size(), fossils);
        QCOMPARE(m_frame->windowTitle(), title);
        QVERIFY(m_doc->PathName().empty());
        QVERIFY(m_frame->RecentFiles().isEmpty() || how == "recent file");
    }

    void specialFilesAreRefusedByName_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("words");
        const struct {
            const char* kind;
            const char* words;
        } kinds[] = {
            {"fifo", "is a named pipe (FIFO), not a regular file."},
            {"socket", "is a socket, not a regular file."},
            {"device", "is a device, not a regular file."},
            {"folder", "is a folder, not a regular file."},
        };
        for (const char* how :
             {"open", "recent file", "command line", "new top", "new left", "new right"}) {
            for (const auto& k : kinds) {
                QTest::newRow(qPrintable(QString("%1, %2").arg(how, k.kind)))
                    << how << k.kind << k.words;
            }
        }
    }
    void specialFilesAreRefusedByName() {
        QFETCH(QString, how);
        QFETCH(QString, kind);
        QFETCH(QString, words);
        const std::string path = Dir() + "/special.bio";
        if (kind == "fifo") {
            QCOMPARE(::mkfifo(path.c_str(), 0644), 0);
        } else if (kind == "socket") {
            sockaddr_un addr{};
            addr.sun_family = AF_UNIX;
            if (path.size() >= sizeof addr.sun_path) {
                QSKIP("the temporary folder's path is too long for a socket");
            }
            std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
            const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
            QCOMPARE(::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
            ::close(s);
        } else if (kind == "device") {
            QCOMPARE(::symlink("/dev/zero", path.c_str()), 0);
        } else {
            QCOMPARE(::mkdir(path.c_str(), 0755), 0);
        }
        m_doc->m_pCurrent->SetGene(2, 33);
        const auto current = Genes(*m_doc->m_pCurrent);
        const auto corners = std::array{Genes(*m_doc->m_pTriTop), Genes(*m_doc->m_pTriLeft),
                                        Genes(*m_doc->m_pTriRight)};
        const QString title = m_frame->windowTitle();

        ReadThrough(how, QString::fromStdString(path));

        QCOMPARE(m_messages, QStringList{QString::fromStdString(path) + " " + words});
        QCOMPARE(Genes(*m_doc->m_pCurrent), current);
        QCOMPARE((std::array{Genes(*m_doc->m_pTriTop), Genes(*m_doc->m_pTriLeft),
                             Genes(*m_doc->m_pTriRight)}),
                 corners);
        QCOMPARE(m_frame->windowTitle(), title);
        if (how != "recent file") {
            QVERIFY(m_frame->RecentFiles().isEmpty());
        }
    }

    // A file whose name is not UTF-8, reached by every name Qt has for it: the one its
    // dialogs would give (U+FFFD for the odd byte) and the one the program shows (Latin-1).
    void latin1NameOpensShowsAndSaves() {
        const std::string raw = Dir() + "/caf\xe9.bio";
        const QString shown = m_dir->path() + QString::fromUtf8("/caf\xc3\xa9.bio");
        m_doc->m_pCurrent->SetGene(5, 77);
        QVERIFY(m_doc->SaveFile(raw));
        const std::string saved = ReadAll(raw);
        QCOMPARE(saved.size(), size_t{164});
        m_frame->RunCommand(ECommand::FileNew);

        for (const QString& name :
             {m_dir->path() + QString::fromUtf8("/caf\xef\xbf\xbd.bio"), shown}) {
            m_frame->RunCommand(ECommand::FileNew);
            m_nextPath = name;
            m_frame->RunCommand(ECommand::FileOpen);
            QCOMPARE(m_messages, QStringList());
            QCOMPARE(m_doc->m_pCurrent->Gene(5), 77);
            QCOMPARE(m_frame->windowTitle(), QString::fromUtf8("caf\xc3\xa9.bio[*] - Quorvale"));
            QCOMPARE(m_frame->RecentFiles(), QStringList{shown});
        }
        // The recent-file entry opens it again, and Ctrl+S writes it back under its own name.
        m_frame->RunCommand(ECommand::FileNew);
        QVERIFY(m_frame->OpenDocumentFile(m_frame->RecentFiles().first()));
        QCOMPARE(m_doc->m_pCurrent->Gene(5), 77);
        m_doc->m_pCurrent->SetGene(5, 78);
        m_nextPath = QString();  // no dialog: the document has its path
        m_frame->RunCommand(ECommand::FileSave);
        QCOMPARE(m_messages, QStringList());
        QVERIFY(ReadAll(raw) != saved);
        QCOMPARE(ReadAll(raw).size(), size_t{164});
        // Nothing beside it: no temporary file is left over.
        QCOMPARE(std::distance(std::filesystem::directory_iterator(Dir()), {}), 1);
        // A message about it shows the name readably.
        QVERIFY(::chmod(raw.c_str(), 0444) == 0);
        m_frame->RunCommand(ECommand::FileNew);
        m_nextPath = shown;
        m_frame->RunCommand(ECommand::FileSaveAs);
        QCOMPARE(m_messages, QStringList{"Access to " + shown + " was denied."});
    }

    void longestNamesAndDanglingLinksSave() {
        const QString longName = m_dir->filePath(QString(251, 'y') + ".bio");
        m_nextPath = longName;
        m_frame->RunCommand(ECommand::FileSaveAs);  // new
        m_frame->RunCommand(ECommand::FileSaveAs);  // over it
        QCOMPARE(m_messages, QStringList());
        QCOMPARE(QFileInfo(longName).size(), 164);
        QCOMPARE(m_frame->windowTitle(), QString(251, 'y') + ".bio[*] - Quorvale");

        // A link to a file not made yet: the file appears where it leads, the link stays.
        QVERIFY(QDir(m_dir->path()).mkdir("sub"));
        const QString link = m_dir->filePath("sub/link.bio");
        QVERIFY(QFile::link("../target.bio", link));
        m_nextPath = link;
        m_frame->RunCommand(ECommand::FileSaveAs);
        QCOMPARE(m_messages, QStringList());
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(QFileInfo(m_dir->filePath("target.bio")).size(), 164);
        m_frame->RunCommand(ECommand::FileNew);
        QVERIFY(m_frame->OpenDocumentFile(link));
    }
};

QTEST_MAIN(CFileWindowTest)
#include "FileWindowTest.moc"
