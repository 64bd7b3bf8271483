#pragma once

#include <QApplication>
#include <QIcon>
#include <QSize>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "document/QuorvaleDoc.h"

class CMainFrame;
class CQuorvaleView;
class IFrameDialogs;

// The application: start-up, the command line, settings, help and the one document, frame
// and view.
class CQuorvaleApp : public QApplication {
    Q_OBJECT

public:
    CQuorvaleApp(int& argc, char** argv);
    ~CQuorvaleApp() override;

    // Carries out start-up; false ends the program (with the exit code in ExitCode()).
    bool InitInstance();
    void ExitInstance();
    int ExitCode() const { return m_nExitCode; }

    CQuorvaleDoc* Document() const { return m_pDoc.get(); }
    CMainFrame* Frame() const { return m_pFrame.get(); }

    static constexpr const char* kSettingsOrganisation = "Quorvale 2.0";
    static constexpr const char* kSettingsApplication = "Quorvale";
    // The name of the launcher entry, the icon and the AppStream component alike.
    static constexpr const char* kDesktopFileName = "io.github.quorvale.Quorvale";

    // The window icon: the theme's icon of that name, or the compiled-in pictures.
    static QIcon ApplicationIcon();

private:
    void LoadSettings();
    // SIGTERM, SIGINT and SIGHUP end the event loop, so the program ends as by its own Exit.
    void QuitOnSignals();
    void SaveSettings();
    // Prints a file on a printer (the default one, or the one named) or into a PDF file;
    // false, with the reason on stderr, when it cannot.
    bool PrintFile(const std::string& path, const QString& printer, const QString& pdf);
    // Saves the picture of a file as PNG or SVG.
    bool ExportFile(const std::string& path, const QString& out, int scale);
    // Opens a file in a window that is laid out but never shown.
    bool OpenWithoutWindow(const std::string& path);
    // The bytes of a command-line argument that Qt has decoded into the given text.
    std::string ArgumentBytes(const QString& argument) const;

    std::unique_ptr<CQuorvaleDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pFrame;
    std::unique_ptr<IFrameDialogs> m_pDialogs;
    // Printing and exporting from the command line: a view with no window, its messages
    // on stderr.
    static constexpr QSize kHeadlessViewSize{1024, 640};
    std::unique_ptr<CQuorvaleView> m_pView;
    IFrameDialogs* m_pHeadlessDialogs = nullptr;
    class CStderrSink : public IMessageSink {
    public:
        void ShowError(const std::string& text) override;
    } m_messages;
    int m_nExitCode = 0;
    int m_nPreviewPages = 1;
    std::vector<std::string> m_rawArguments;
};
