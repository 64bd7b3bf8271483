#pragma once

#include <QObject>
#include <functional>

class CCommandTable;
class CGeneBar;
class CQuorvaleDoc;
class IFrameDialogs;
class QLabel;
class QWidget;

// Help where the user points: F1 (the topic of what is open), Shift+F1 and then a click on
// any part of the window or a menu command (greyed ones included), the Help menu's What's
// This, and the first start's hint in the status bar until the first click.
class CPointHelp : public QObject {
    Q_OBJECT

public:
    CPointHelp(QWidget* window, const CQuorvaleDoc& doc, IFrameDialogs*& dialogs,
               QLabel* idlePrompt);
    ~CPointHelp() override;

    // What the help needs of the rest of the window, set once it exists.
    void SetParts(const CCommandTable* commands, CGeneBar* geneBar, QWidget* view);

    // F1: the special genes' or mutation rate's topic while their dialog is open, else the
    // default topic.
    void OnHelp();
    void ShowHelpTopic(int topic);
    int LastHelpTopic() const { return m_nLastHelpTopic; }
    // Shift+F1: the next click or command is explained instead of carried out.
    void Enter();
    bool InPointHelp() const { return m_bPointHelp; }
    // While point help waits: the help of the given id is shown and true returned.
    bool TakeForHelp(int helpId);

    // The first start's hint: the status bar says how to begin until the first click in the
    // view (or Enter there), which emits firstHintDone.
    void ShowFirstHint();
    bool IsShowingFirstHint() const { return m_bFirstHint; }

    static QString IdlePromptText();

signals:
    void firstHintDone();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Finish(int id);

    const CQuorvaleDoc& m_doc;
    IFrameDialogs*& m_rDialogs;
    QLabel* m_pIdlePrompt;
    const CCommandTable* m_pCommands = nullptr;
    CGeneBar* m_pGeneBar = nullptr;
    QWidget* m_pView = nullptr;
    bool m_bPointHelp = false;
    bool m_bFirstHint = false;
    int m_nLastHelpTopic = -1;
};
