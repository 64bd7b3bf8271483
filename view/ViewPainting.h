#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>

#include "model/Geometry.h"

// Colours and small drawing helpers the modes share.
inline const QColor kGridColour(213, 220, 240);
inline const QColor kParentFrame(255, 0, 30);

inline QRect ToQRect(const SRect& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

// Copies an area (logical coordinates) from one picture to another of the same size, format
// and device pixel ratio, row by row: a cell or a morph's box is a small part of a large
// picture.
void CopyArea(QImage& to, const QImage& from, const QRect& area);

inline SPoint Centre(const SRect& r) {
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A one-pixel frame just inside r.
inline void FrameRect(QPainter& p, const SRect& r, const QColor& colour) {
    if (r.IsEmpty()) {
        return;
    }
    p.fillRect(QRect(r.left, r.top, r.Width(), 1), colour);
    p.fillRect(QRect(r.left, r.bottom - 1, r.Width(), 1), colour);
    p.fillRect(QRect(r.left, r.top, 1, r.Height()), colour);
    p.fillRect(QRect(r.right - 1, r.top, 1, r.Height()), colour);
}
