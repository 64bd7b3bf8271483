#pragma once

#include <QPoint>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <optional>

#include "document/DocState.h"

class CBioMorph;
class CQuorvaleView;
class QMimeData;

// Dragging a morph out of the view to the desktop or another program. A press with Ctrl held
// over a morph is held back; moving past the drag distance drags the morph out as a .bio
// file, a PNG file and picture, and the program's own data. Let go without moving, the press
// and release happen as a plain click would. Ctrl keeps the drag clear of every click and
// drag the modes already answer (a press breeds at once, a drag makes a family child).
class CMorphDrag {
public:
    // The program's own type for a dragged morph: the clipboard record's bytes.
    static constexpr const char* kMimeType = "application/x-quorvale-biomorph";

    explicit CMorphDrag(CQuorvaleView& view);
    ~CMorphDrag();

    // True if the press is held back as the start of a drag.
    bool Press(QPoint point, bool bCtrl);
    // True while a held press waits; starts the drag once the pointer has gone far enough.
    bool Move(QPoint point);
    // True if a press was held back and not dragged: the caller then acts on it as a click.
    bool Release();
    bool IsPending() const { return m_morph.has_value(); }
    QPoint PressPoint() const { return m_ptPress; }

    // What a drag of the morph carries; the files are written into the drag's own folder,
    // which lasts as long as the program. Null if the folder cannot be written.
    QMimeData* MimeFor(const CBioMorph& morph);

private:
    void StartDrag();

    CQuorvaleView& m_view;
    std::optional<SMorphState> m_morph;
    QPoint m_ptPress;
    int m_nCount = 0;
};
