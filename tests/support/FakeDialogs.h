#pragma once

#include <QAction>
#include <QStringList>
#include <functional>

#include "frame/FrameDialogs.h"

// Stands in for the window's dialogs: each answers through a function a test sets, and the
// messages and help topics are kept.
class CFakeDialogs : public IFrameDialogs {
public:
    QString AskOpenPath(const QString& title, const QString& filter) override {
        return m_askOpenPath ? m_askOpenPath(title, filter, QString()) : QString();
    }
    QString AskSavePath(const QString& title, const QString& filter,
                        const QString& proposed) override {
        return m_askSavePath ? m_askSavePath(title, filter, proposed) : QString();
    }
    ESaveChanges AskSaveChanges(const QString& name) override {
        m_questions << "save changes: " + name;
        return m_saveChanges;
    }
    bool AskReplace(const QString& name) override {
        m_questions << "replace: " + name;
        return m_bReplace;
    }
    void ShowMessage(const QString& text) override { m_messages << text; }
    void ShowHelp(int topic) override { m_helpTopics << topic; }
    void ShowAbout() override { ++m_nAbouts; }
    bool ExecContextMenu(QMenu* menu, const QPoint& globalPos) override {
        if (m_execContextMenu) {
            if (QAction* chosen = m_execContextMenu(menu, globalPos)) {
                chosen->trigger();
                return false;
            }
        }
        return m_bMenuPressedAway;
    }
    std::optional<CSpecialGeneChoices> RunSpecialGenes() override {
        return m_runSpecialGenes ? m_runSpecialGenes() : std::nullopt;
    }
    std::optional<float> RunMutationRate(float rate) override {
        return m_runMutationRate ? m_runMutationRate(rate) : std::nullopt;
    }
    bool AskPrint(QPrinter& printer, int pages) override {
        return m_askPrint && m_askPrint(printer, pages);
    }
    void AskPageSetup(QPrinter& /*printer*/) override { ++m_nPageSetups; }
    bool AskExportPicture(QString& path, int& scale) override {
        if (m_exportPath.isEmpty()) {
            return false;
        }
        path = m_exportPath;
        scale = m_nExportScale;
        return true;
    }

    std::function<QString(const QString& title, const QString& filter, const QString& proposed)>
        m_askOpenPath;
    std::function<QString(const QString& title, const QString& filter, const QString& proposed)>
        m_askSavePath;
    std::function<QAction*(QMenu* menu, const QPoint& globalPos)> m_execContextMenu;
    std::function<std::optional<CSpecialGeneChoices>()> m_runSpecialGenes;
    std::function<std::optional<float>(float)> m_runMutationRate;
    std::function<bool(QPrinter& printer, int pages)> m_askPrint;
    // The export answer: a path (empty cancels) and a scale.
    QString m_exportPath;
    int m_nExportScale = 1;
    ESaveChanges m_saveChanges = ESaveChanges::Discard;
    bool m_bReplace = true;
    // A menu closed with nothing chosen was closed by a press outside it (else by Esc).
    bool m_bMenuPressedAway = true;
    QStringList m_questions;
    QStringList m_messages;
    QList<int> m_helpTopics;
    int m_nAbouts = 0;
    int m_nPageSetups = 0;
};
