#pragma once

#include <QString>
#include <string>

// Between the text Qt shows a path as and the bytes the system knows the file by. A name
// need not be in the local encoding: such a name has no exact QString, so what a dialog or
// the recent-file list hands back is matched against the folder's entries.

// The bytes of the file a path from a dialog or the recent-file list names. A name Qt could
// not decode (shown with U+FFFD) or one the program showed with Latin-1 letters for its odd
// bytes is found among its folder's entries, when exactly one entry reads that way.
std::string PathBytes(const QString& path);

// A path as readable text (other bytes than UTF-8 shown as Latin-1 letters).
QString ShownPath(const std::string& bytes);
