#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class CBioMorph;

// The private clipboard format: a 4096-byte block that starts with the morph's 140-byte
// archive record and is zero after it.
inline constexpr const char* kClipboardFormatName = "BiomorphFormat";
inline constexpr size_t kClipboardBlockSize = 4096;
inline constexpr size_t kMorphRecordSize = 140;

std::vector<uint8_t> EncodeClipboardBlock(CBioMorph& morph);
// Reads the record at the head of the block into the morph. A block too short to hold a
// whole record is refused and leaves the morph as it was. Bytes after the record are ignored.
bool DecodeClipboardBlock(const uint8_t* data, size_t size, CBioMorph& morph);
