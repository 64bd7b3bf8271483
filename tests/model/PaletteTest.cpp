#include <climits>

#include "TestSupport.h"
#include "model/Palette.h"

namespace {

struct SPaletteCase {
    int nIndex;
    SRgb colour;
};

// Entries that pin down each branch of the HLS conversion: the pale and mid rows, the hue
// wrap at 360, the ramps on either side of a primary, and the dark rows.
const SPaletteCase kPaletteCases[] = {
    {20, {255, 191, 191}}, {40, {255, 127, 127}}, {80, {255, 0, 0}},   {81, {255, 0, 76}},
    {85, {127, 0, 255}},   {90, {0, 255, 255}},   {95, {127, 255, 0}}, {99, {255, 76, 0}},
    {100, {191, 0, 0}},    {140, {63, 0, 0}},     {150, {0, 63, 63}},  {159, {63, 19, 0}},
};

TEST(CPaletteTest, TellingEntries) {
    for (const auto& c : kPaletteCases) {
        SCOPED_TRACE(c.nIndex);
        EXPECT_EQ(g_Palette[c.nIndex], c.colour);
        EXPECT_EQ(ColourOfIndex(c.nIndex), c.colour);
    }
}

TEST(CPaletteTest, FirstRowIsWhite) {
    for (int c = 0; c < 20; ++c) {
        EXPECT_EQ(g_Palette[c], kWhite) << c;
    }
}

TEST(CPaletteTest, IndicesOutsideThePaletteAreBlackBelowAndWhiteAbove) {
    const struct {
        int64_t nIndex;
        SRgb colour;
    } cases[] = {
        {-1, kBlack},  {INT_MIN, kBlack}, {int64_t{-1} << 40, kBlack}, {0, kWhite},
        {160, kWhite}, {161, kWhite},     {INT_MAX, kWhite},           {int64_t{1} << 40, kWhite},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nIndex);
        EXPECT_EQ(ColourOfIndex(c.nIndex), c.colour);
    }
}

}  // namespace
