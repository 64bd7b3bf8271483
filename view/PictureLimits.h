#pragma once

#include <QImage>
#include <QString>
#include <cstdint>

class CBioMorph;

// How large a picture may be depends on what it is for: a morph dragged out needs a picture
// to recognise it by, an export is as large as the user asks, within what memory can hold.
inline constexpr int kDragPictureSide = 512;
inline constexpr int kExportPictureSide = 16000;

// The size a morph alone needs at 1x: its measured box and a margin, as Draw places it about
// the middle. Wide enough for any genome: a wild one's box may be larger than an int.
struct SPictureExtent {
    int64_t nWidth = 0;
    int64_t nHeight = 0;
};
SPictureExtent MorphExtent(CBioMorph& morph, int orientation);

// Why an exported picture of the extent at the scale cannot be made, or empty when it can.
QString ExportSizeProblem(SPictureExtent extent, int scale);

// The whole morph, centred, drawn as the zoom draws it, or smaller so that neither side passes
// maxSide: drawn at the reduced scale, never shrunk from a larger picture.
QImage FittedMorphPicture(CBioMorph& morph, int orientation, int zoom, int maxSide);
