#pragma once

#include <functional>
#include <memory>

#include "frame/FrameDialogs.h"

class CHelpViewer;
class QWidget;

// The dialogs of the program itself, over the main window. They read the document (its name
// and folder) and ask for help through the function given; they never call the window.
class CQtFrameDialogs : public IFrameDialogs {
public:
    CQtFrameDialogs(QWidget* parent, const CQuorvaleDoc* doc, std::function<void()> onHelp);
    ~CQtFrameDialogs() override;

    QString AskOpenPath(const QString& title, const QString& filter) override;
    QString AskSavePath(const QString& title, const QString& filter,
                        const QString& proposed) override;
    ESaveChanges AskSaveChanges(const QString& name) override;
    bool AskReplace(const QString& name) override;
    void ShowMessage(const QString& text) override;
    void ShowHelp(int topic) override;
    void ShowAbout() override {}
    bool ExecContextMenu(QMenu* menu, const QPoint& globalPos) override;
    std::optional<CSpecialGeneChoices> RunSpecialGenes() override;
    std::optional<float> RunMutationRate(float rate) override;
    bool AskPrint(QPrinter& printer, int pages) override;
    bool AskExportPicture(QString& path, int& scale) override;
    void AskPageSetup(QPrinter& printer) override;

protected:
    QWidget* Parent() const { return m_pParent; }

private:
    // Where a file dialog opens: the folder last chosen in one, else the document's own
    // folder, else the user's documents.
    QString StartFolder() const;
    void Remember(const QString& chosen);

    QWidget* m_pParent;
    const CQuorvaleDoc* m_pDoc;
    std::function<void()> m_onHelp;
    QString m_strLastFolder;
    std::unique_ptr<CHelpViewer> m_pHelp;
};
