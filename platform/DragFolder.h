#pragma once

#include <QString>

// The folder the files of a dragged creature are written to, for the drop target to read:
// one folder a program (a folder per running process inside one per user), removed when the
// program ends, and at the next start for any process that ended without removing its own.

// This process's drag folder (made on the first call, readable by the user alone); empty if
// it cannot be made.
QString DragFolder();
// Removes the drag folders of processes that are no longer running.
void RemoveStaleDragFolders();
// Removes this process's drag folder and what it holds.
void RemoveDragFolder();
