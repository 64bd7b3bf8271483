#include "model/Palette.h"

#include <cstddef>

namespace {

constexpr double HueValue(double m1, double m2, double h) {
    if (h > 360.0) {
        h -= 360.0;
    } else if (h < 0.0) {
        h += 360.0;
    }
    if (h < 60.0) {
        return m1 + (m2 - m1) * h / 60.0;
    }
    if (h < 180.0) {
        return m2;
    }
    if (h < 240.0) {
        return m1 + (m2 - m1) * (240.0 - h) / 60.0;
    }
    return m1;
}

constexpr SRgb FromHls(double hue, double lightness, double saturation) {
    double m2 = lightness <= 0.5 ? lightness * (1.0 + saturation)
                                 : lightness + saturation - lightness * saturation;
    double m1 = 2.0 * lightness - m2;
    auto channel = [&](double h) {
        return static_cast<uint8_t>(static_cast<int>(255.0 * HueValue(m1, m2, h)));
    };
    return {channel(hue + 120.0), channel(hue), channel(hue - 120.0)};
}

constexpr std::array<SRgb, kPaletteSize> BuildPalette() {
    std::array<SRgb, kPaletteSize> palette{};
    for (int row = 0; row < 8; ++row) {
        for (int col = 0; col < 20; ++col) {
            palette[row * 20 + col] = FromHls(360.0 - 18.0 * col, 1.0 - row / 8.0, 1.0);
        }
    }
    return palette;
}

}  // namespace

// Built at compile time, so that it is complete before any other file's static tables or
// objects read it, whatever order the linker puts their initialisation in.
constinit const std::array<SRgb, kPaletteSize> g_Palette = BuildPalette();

SRgb ColourOfIndex(int64_t index) {
    if (index < 0) {
        return kBlack;
    }
    if (index >= kPaletteSize) {
        return kWhite;
    }
    return g_Palette[static_cast<std::size_t>(index)];
}
