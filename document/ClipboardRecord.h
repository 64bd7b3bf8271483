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
// Whether a block of this size can hold a morph: a whole record, in no more than the block the
// program writes. Anything else under the format's name was put there by something else, and
// a size is known before the block is read, so a huge one need never be.
constexpr bool IsClipboardBlockSize(size_t size) {
    return size >= kMorphRecordSize && size <= kClipboardBlockSize;
}
// Reads the record at the head of the block into the morph. A block of any other size than
// IsClipboardBlockSize allows is refused and leaves the morph as it was. Bytes after the
// record are ignored.
bool DecodeClipboardBlock(const uint8_t* data, size_t size, CBioMorph& morph);
