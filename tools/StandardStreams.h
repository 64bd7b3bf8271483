#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// "-" names standard input where the tool reads and standard output where it writes.
inline bool IsStandardStream(const std::string& path) {
    return path == "-";
}

// Reads standard input to its end, but never more than `limit` bytes: everything the tool
// reads is small, so an endless or huge stream is refused as soon as it passes the limit
// instead of being read on. On failure returns false with a message naming standard input
// and `what` ("a .bio file").
bool ReadStandardInput(size_t limit, const std::string& what, std::vector<uint8_t>& bytes,
                       std::string& error);

// Writes the bytes to standard output and flushes them; throws std::runtime_error if that
// fails (a full disk behind a redirection, a closed pipe).
void WriteStandardOutput(const void* data, size_t size);

// Whether standard output is a terminal: binary data (a .bio file, a PNG picture) is not
// written there, where it would only garble the screen.
bool StandardOutputIsTerminal();
