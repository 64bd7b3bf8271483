#pragma once

#include <array>
#include <cstdint>

struct SRgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend bool operator==(const SRgb&, const SRgb&) = default;
};

inline constexpr SRgb kBlack{0, 0, 0};
inline constexpr SRgb kWhite{255, 255, 255};

inline constexpr int kPaletteSize = 160;

// 8 rows of lightness by 20 columns of hue, built from HLS once before anything draws.
extern const std::array<SRgb, kPaletteSize> g_Palette;

// Black below the palette, white above it.
SRgb ColourOfIndex(int64_t index);
