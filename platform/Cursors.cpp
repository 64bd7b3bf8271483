#include "platform/Cursors.h"

#include <QHash>
#include <QPixmap>

namespace {

struct SCursorSource {
    int nId;
    const char* pszResource;
    int nHotX;
    int nHotY;
};

// The pictures are 32 x 32; the hot spots are the pixels that count: the rod's tip, the pivot
// of the scissors, the pistol's muzzle and the point where the tree's lines meet.
constexpr SCursorSource kCursorSources[] = {
    {kCursorRod, ":/cursors/rod.png", 0, 31},
    {kCursorScissors, ":/cursors/scissors.png", 15, 15},
    {kCursorPistol, ":/cursors/pistol.png", 0, 0},
    {kCursorFamily, ":/cursors/family.png", 15, 15},
};

}  // namespace

bool ProgramCursorSource(int id, const char** ppszResource, int* pnHotX, int* pnHotY) {
    for (const SCursorSource& source : kCursorSources) {
        if (source.nId == id) {
            *ppszResource = source.pszResource;
            *pnHotX = source.nHotX;
            *pnHotY = source.nHotY;
            return true;
        }
    }
    return false;
}

QCursor ProgramCursor(int id) {
    // Cursors need the GUI: they are made on first use, on the GUI thread, and kept for the run.
    // The table is never destroyed, so no pixmap outlives the application's windowing system.
    static auto* const s_pCursors = new QHash<int, QCursor>;
    const auto found = s_pCursors->constFind(id);
    if (found != s_pCursors->constEnd()) {
        return *found;
    }
    const char* pszResource = nullptr;
    int nHotX = 0;
    int nHotY = 0;
    if (!ProgramCursorSource(id, &pszResource, &nHotX, &nHotY)) {
        return QCursor(Qt::ArrowCursor);
    }
    const QPixmap pixmap(QString::fromLatin1(pszResource));
    if (pixmap.isNull()) {
        return QCursor(Qt::ArrowCursor);
    }
    const QCursor cursor(pixmap, nHotX, nHotY);
    s_pCursors->insert(id, cursor);
    return cursor;
}
