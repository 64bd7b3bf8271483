#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// The clipboard as the program uses it: a picture, with or without a morph's record in the
// program's own format. Tests put a fake in its place.
class IClipboard {
public:
    virtual ~IClipboard() = default;
    // Replaces what is on the clipboard; an empty block offers the picture alone.
    virtual void Put(const QString& format, const QByteArray& block, const QImage& picture) = 0;
    // Whether the clipboard offers data in the format (its data is not read).
    virtual bool Offers(const QString& format) const = 0;
    // The data in the format; empty if there is none.
    virtual QByteArray Data(const QString& format) const = 0;
};

// The system clipboard through Qt.
class CSystemClipboard : public IClipboard {
public:
    void Put(const QString& format, const QByteArray& block, const QImage& picture) override;
    bool Offers(const QString& format) const override;
    QByteArray Data(const QString& format) const override;
};
