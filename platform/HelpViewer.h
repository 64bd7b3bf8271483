#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;
class QToolButton;
class QUrl;

// The help window: the program's help pages in a browser with Back, Forward, Home and Contents
// buttons. One viewer serves the whole program (Instance()); asking for a topic while it is open
// shows the topic in the same window and raises it.
class CHelpViewer : public QWidget {
    Q_OBJECT

public:
    explicit CHelpViewer(QWidget* pParent = nullptr);

    // The program's viewer, made on first use and deleted when the application quits.
    static CHelpViewer* Instance();

    // Shows the page of a help topic (0: the welcome page) and brings the window to the front.
    void ShowTopic(int topic);

    // The topic last asked for with ShowTopic, -1 before the first.
    int LastTopic() const { return m_nLastTopic; }

    // The address of the page shown, with its anchor ("qrc:/help/genes.html#gene3").
    QString CurrentSource() const;

    QTextBrowser* Browser() const { return m_pBrowser; }

private:
    void ShowPage(const QUrl& url);
    void UpdateButtons();
    void KeepUsableBesideModalDialog();

    QTextBrowser* m_pBrowser = nullptr;
    QToolButton* m_pBack = nullptr;
    QToolButton* m_pForward = nullptr;
    QToolButton* m_pHome = nullptr;
    QToolButton* m_pContents = nullptr;
    int m_nLastTopic = -1;
};
