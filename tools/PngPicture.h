#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "model/DrawSurface.h"

// PNG pictures are drawn by the program's own Qt surface on an image, so that they hold
// exactly the pixels the window shows (XOR included, which no vector format can express).
// That needs Qt Gui; a build without Qt writes SVG only.

// Whether this build can write PNG pictures.
bool CanWritePng();

// A white picture of width x height pixels, drawn on by `draw`, encoded as PNG. Throws
// std::runtime_error if the picture cannot be made (not enough memory) or encoded.
std::vector<uint8_t> DrawPng(int width, int height, const std::function<void(IDrawSurface&)>& draw);
