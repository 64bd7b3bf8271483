#pragma once

#include <QImage>
#include <cstddef>
#include <cstdint>

// Pictures of a .bio file's morph for file managers.
//
// The morph is drawn with the program's own drawing calls, centred on white exactly as the
// Engineer mode shows it in a window of the same size. A morph too large for the picture is
// drawn whole at its own size and then scaled down smoothly to fit, so the icon shows the
// whole creature rather than a cut-out of its middle. That drawing is at most kMaxCanvas
// pixels a side (or the asked size, if larger): a wilder morph shows its middle part, as a
// window that size would, and the cost of drawing genomes far outside their limits (thick
// pens over the whole picture) stays small, since a file manager waits for the picture.
namespace Thumbnail {

// Sizes a caller may ask for: the freedesktop sizes go up to 1024.
inline constexpr int kMinSide = 1;
inline constexpr int kMaxSide = 2048;
// The largest picture a morph is drawn into before it is scaled down: twice the large
// thumbnail size, so scaling down to it still smooths.
inline constexpr int kMaxCanvas = 512;
// Only the head of a file is read: a morph file is 164 bytes and anything after the record
// is never looked at, so a huge or endless input costs no more than a small one.
inline constexpr size_t kMaxRead = 64 * 1024;

// A side x side RGB32 picture of the morph in the file's bytes, or a null image when the
// bytes are not a whole, accepted morph file or the side is out of range.
QImage Render(const uint8_t* data, size_t size, int side);

}  // namespace Thumbnail
