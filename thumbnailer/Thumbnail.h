#pragma once

#include <QImage>
#include <cstddef>
#include <cstdint>

class CBioMorph;

// Pictures of a .bio file's morph for file managers.
//
// The whole creature is shown, centred on white, spanning most of the picture whatever its
// own size: a file manager's icon is no use if the creature is a speck in it or a cut-out of
// its middle. It is drawn with the program's own drawing calls at a whole-number zoom, as the
// window's zoom draws it (lines as many pixels wide as the zoom, not a small picture blown
// up), into a picture about twice the asked size, which is then scaled down smoothly to it.
// A creature larger than the asked size is drawn at its own size and scaled down; one too
// large for kMaxCanvas at its own size is drawn reduced into it.
namespace Thumbnail {

// Sizes a caller may ask for: the freedesktop sizes go up to 1024.
inline constexpr int kMinSide = 1;
inline constexpr int kMaxSide = 2048;
// The share of the picture's side the creature spans: the rest is the margin around it.
inline constexpr double kFill = 0.875;
// The largest picture (pixels a side) a creature is drawn into before it is scaled down, so
// that memory and time stay small even for genomes far outside their limits.
inline constexpr int kMaxCanvas = 2048;
// A creature is laid out as if it were at least this many pixels across: one that is a dot
// or a stub is shown as small as it is beside a real one, not blown up to a block.
inline constexpr int kMinExtent = 16;
// Only the head of a file is read: a morph file is 164 bytes and anything after the record
// is never looked at, so a huge or endless input costs no more than a small one.
inline constexpr size_t kMaxRead = 64 * 1024;

// How a morph fills a picture of a given side: drawn `zoom` times its own size about the
// centre of a `canvas` x canvas picture (in the drawing's own pixels), which is then scaled
// to the side. A canvas larger than kMaxCanvas is drawn reduced to kMaxCanvas pixels.
struct SLayout {
    int zoom = 1;
    int canvas = 1;
};

// The layout for the morph (which it measures) in a side x side picture.
SLayout LayoutFor(CBioMorph& morph, int side);

// A side x side RGB32 picture of the morph in the file's bytes, or a null image when the
// bytes are not a whole, accepted morph file or the side is out of range.
QImage Render(const uint8_t* data, size_t size, int side);

}  // namespace Thumbnail
