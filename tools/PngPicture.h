#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/DrawSurface.h"

// PNG pictures are drawn by the program's own Qt surface on an image, so that they hold
// exactly the pixels the window shows (XOR included, which no vector format can express).
// That needs Qt Gui; a build without Qt writes SVG only.

// Whether this build can write PNG pictures, and SVG pictures of the drawn pixels.
bool CanWritePng();

// A white picture of width x height pixels, drawn on by `draw`, encoded as PNG. Throws
// std::runtime_error if the picture cannot be made (not enough memory) or encoded.
std::vector<uint8_t> DrawPng(int width, int height, const std::function<void(IDrawSurface&)>& draw);

// The same picture as DrawPng's, its pixels traced into SVG elements (see
// platform/InkGeometry.h): rectangles of one colour each that show exactly the ink the
// program shows, crossings that XOR clears and mixed colours included. Throws as DrawPng.
std::string DrawInkSvg(int width, int height, const std::function<void(IDrawSurface&)>& draw);
