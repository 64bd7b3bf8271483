#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Reads a file whole (at most kMaxReadBytes: a morph file is 164 bytes and nothing the
// reader accepts needs more). On failure returns false with a message naming the file.
inline constexpr size_t kMaxReadBytes = size_t{64} << 20;
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);

// Writes the bytes to a temporary file beside the target and renames it over the target
// only once everything is written and flushed, so a failed save leaves the old file whole.
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                         std::string& error);
// The same, making the bytes only once the target is known to be writable and the temporary
// file exists (producing them may change the caller's state, which a failed save must not).
bool WriteFileAtomically(const std::string& path,
                         const std::function<std::vector<uint8_t>()>& produce, std::string& error);
