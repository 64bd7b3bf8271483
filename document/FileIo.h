#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Paths are the bytes the system knows the file by: any byte but '/' and NUL may appear in a
// name, whatever the encoding of the user's other names.

// How much a read takes at most: a morph file is 164 bytes and nothing the program reads
// needs more, so a huge file or an endless one costs nothing.
inline constexpr size_t kMaxReadBytes = 4096;

// Reads the start of a file (at most kMaxReadBytes). Only regular files are read: a named
// pipe, a socket, a device or a folder is refused without waiting for it. On failure returns
// false with a message naming the file and the reason; *pbNotAFile (if given) tells whether
// the refusal was for a file of the wrong kind.
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error,
                   bool* pbNotAFile = nullptr);

// Writes the bytes to a temporary file beside the target and renames it over the target
// only once everything is written and flushed, so a failed save leaves the old file whole.
// Saving to a symbolic link writes the file it leads to (creating it if it does not exist yet)
// and keeps the link; anything but a regular file is refused and left as it is.
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                         std::string& error);
// The same, making the bytes only once the target is known to be writable and the temporary
// file exists (producing them may change the caller's state, which a failed save must not).
bool WriteFileAtomically(const std::string& path,
                         const std::function<std::vector<uint8_t>()>& produce, std::string& error);

// Writes the bytes into the file at the path itself, not into a new file renamed over it, so
// that whoever already holds the file open (a file manager's thumbnail service waits on its
// own handle) reads them there. The file is created if it does not exist yet; a folder, pipe
// or device is refused. On failure nothing is left: a file this call created is removed, one
// that existed is left empty.
bool WriteFileInPlace(const std::string& path, const std::vector<uint8_t>& bytes,
                      std::string& error);

// Makes SIGHUP, SIGINT and SIGTERM remove the temporary file of a save under way before the
// process ends as the signal asks (signals the process ignores stay ignored). For programs
// that are stopped from outside while saving: a command-line tool in a script.
void RemoveTemporaryFileOnSignals();

// Removes the temporary files an interrupted save of this program left in a folder: regular
// files of the user's named like the temporary file, older than a day (a newer one may be a
// save under way in another process). Every save into a folder does this; it is also for
// callers that write into a folder by other means.
void RemoveStaleTemporaryFiles(const std::string& folder);

// True if the path leads to an existing regular file that the user may write.
bool IsWritableFile(const std::string& path);

// A path as text to show: the UTF-8 in it as it is and any other byte read as Latin-1, so
// that every name shows readably and the result is always valid UTF-8.
std::string ReadableName(const std::string& path);

// The path made absolute against the current folder, without "." and ".." steps (the bytes
// of every name are kept).
std::string AbsolutePathOf(const std::string& path);
