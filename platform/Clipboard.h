#pragma once

#include <QByteArray>
#include <QImage>
#include <QMetaObject>
#include <QString>
#include <QStringList>

// The clipboard as the program uses it: a picture, with or without a morph's record in the
// program's own format. Tests put a fake in its place.
class IClipboard {
public:
    virtual ~IClipboard() = default;
    // Replaces what is on the clipboard; an empty block offers the picture alone.
    virtual void Put(const QString& format, const QByteArray& block, const QImage& picture) = 0;
    // Whether the clipboard offers data in the format. Menus and keys ask this all the time, so
    // it must answer at once: it never reads the data nor waits on another program.
    virtual bool Offers(const QString& format) const = 0;
    // The data in the format; empty if there is none or its owner did not hand it over in time.
    virtual QByteArray Data(const QString& format) const = 0;
};

// The system clipboard through Qt.
//
// On X11 every question about another program's clipboard goes to that program: the list of
// formats (a TARGETS request) as well as the data, each waiting up to Qt's clipboard timeout
// of five seconds when the owner does not answer, and a list that never came is asked for
// again on the next question. So the formats are learnt once when the clipboard changes hands
// (QClipboard::changed) and kept; only Data() talks to the owner after that.
class CSystemClipboard : public IClipboard {
public:
    CSystemClipboard();
    ~CSystemClipboard() override;
    CSystemClipboard(const CSystemClipboard&) = delete;
    CSystemClipboard& operator=(const CSystemClipboard&) = delete;

    void Put(const QString& format, const QByteArray& block, const QImage& picture) override;
    bool Offers(const QString& format) const override;
    QByteArray Data(const QString& format) const override;

private:
    void LearnFormats();

    QStringList m_formats;
    QMetaObject::Connection m_changed;
};
