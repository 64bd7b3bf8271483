#pragma once

#include <QByteArray>
#include <QImage>
#include <QMetaObject>
#include <QObject>
#include <QString>
#include <memory>

class CXcbSelectionReader;

// What the clipboard holds in the program's format, as last learnt.
struct SClipboardOffer {
    enum class EState {
        Nothing,   // the format is not offered
        Asking,    // the owner was asked and has not answered yet
        NoAnswer,  // the owner did not answer in time
        Block,     // the data is in block
        TooLarge,  // offered but larger than any block the program takes: never read
    };
    EState state = EState::Nothing;
    QByteArray block;
    // The data's size, when known (Block, TooLarge).
    qint64 nSize = 0;
};

// The clipboard as the program uses it: a picture, with or without a morph's record in the
// program's own format. Tests put a fake in its place.
class IClipboard {
public:
    virtual ~IClipboard() = default;
    // Replaces what is on the clipboard; an empty block offers the picture alone.
    virtual void Put(const QString& format, const QByteArray& block, const QImage& picture) = 0;
    // What is offered in the program's format, as learnt when the clipboard last changed
    // hands. Menus and keys ask this all the time, so it answers at once: it never waits on
    // another program.
    virtual SClipboardOffer Offer() const = 0;
    // The same, after waiting at most the time for an answer that is on its way.
    virtual SClipboardOffer AwaitOffer(int ms) = 0;
    // Asks the owner again, after it did not answer.
    virtual void AskAgain() = 0;
};

// The system clipboard, following one format whose blocks are at most maxBytes long.
//
// On X11 every question about another program's clipboard goes to that program, and Qt waits
// on the window's own thread up to five seconds for each answer: an owner that is stopped or
// hung would hold the window that long. So when the clipboard changes hands the formats and
// the data are fetched in the background over a connection of our own (CXcbSelectionReader),
// and the answer is kept; data larger than maxBytes is refused from its announced size, never
// transferred. Where the program owns the clipboard, and on platforms other than X11
// (Wayland, offscreen), Qt's clipboard answers.
class CSystemClipboard : public IClipboard {
public:
    // How long the owner has to answer each question before it counts as not answering.
    static constexpr int kOwnerTimeoutMs = 2000;

    CSystemClipboard(const QString& format, qsizetype maxBytes);
    ~CSystemClipboard() override;
    CSystemClipboard(const CSystemClipboard&) = delete;
    CSystemClipboard& operator=(const CSystemClipboard&) = delete;

    void Put(const QString& format, const QByteArray& block, const QImage& picture) override;
    SClipboardOffer Offer() const override { return m_offer; }
    SClipboardOffer AwaitOffer(int ms) override;
    void AskAgain() override { Learn(); }

    // Whether another program's clipboard is read in the background (X11).
    bool ReadsInBackground() const;

private:
    void Learn();
    // Learns through Qt's clipboard, on this thread: our own data, or another platform's.
    void LearnFromQt();
    void Take(quint64 request, SClipboardOffer offer);

    QString m_strFormat;
    qsizetype m_nMaxBytes;
    SClipboardOffer m_offer;
    quint64 m_nRequest = 0;
    // Receives the background answers on this thread; goes after the reader that posts them.
    std::unique_ptr<QObject> m_pReceiver;
    std::unique_ptr<CXcbSelectionReader> m_pReader;
    QMetaObject::Connection m_changed;
};
