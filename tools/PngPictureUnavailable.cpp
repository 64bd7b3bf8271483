#include <stdexcept>

#include "tools/PngPicture.h"

// Built without Qt: SVG only.

bool CanWritePng() {
    return false;
}

std::vector<uint8_t> DrawPng(int /*width*/, int /*height*/,
                             const std::function<void(IDrawSurface&)>& /*draw*/) {
    throw std::runtime_error("this quorvale-tool was built without Qt and cannot write PNG");
}

std::string DrawInkSvg(int /*width*/, int /*height*/,
                       const std::function<void(IDrawSurface&)>& /*draw*/) {
    throw std::runtime_error("this quorvale-tool was built without Qt and cannot trace pixels");
}
