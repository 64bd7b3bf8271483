#pragma once

#include <QCursor>

// The program's own mouse cursors, by their resource number. The view picks them by mode and by
// what lies under the pointer in the family tree.
enum ECursorId {
    kCursorRod = 178,       // Breed mode: a hand holding a rod, hot spot at the rod's tip
    kCursorScissors = 170,  // Destroy tool over a link: open scissors
    kCursorPistol = 173,    // Destroy tool over a node: a pistol pointing left
    kCursorFamily = 177,    // Create tool over a node, or while a child is dragged out
};

// The cursor of one of the ids above, loaded from the resources the first time it is asked
// for. Any other id gives the arrow cursor.
QCursor ProgramCursor(int id);

// Where a program cursor's picture lives and its hot spot; false for an unknown id.
bool ProgramCursorSource(int id, const char** ppszResource, int* pnHotX, int* pnHotY);
