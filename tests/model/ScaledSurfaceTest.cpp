// Drawing through a scaled surface: every point moves zoom times as far from the origin and
// every pen is zoom times as wide; a whole morph's strokes are its 1x strokes scaled.
#include <climits>
#include <cmath>
#include <utility>

#include "TestSupport.h"
#include "model/ScaledSurface.h"

namespace {

using EKind = CRecordingSurface::EKind;
using CScaledSurfaceTest = CModelTest;

TEST_F(CScaledSurfaceTest, PrimitivesAreScaledAboutTheOrigin) {
    CRecordingSurface target;
    CScaledSurface s(target, {10, 20}, 3);
    s.SetPen(2, kBlack);
    s.Line(11, 21, 12, 20);
    s.SetPen(0, kBlack);
    s.Line(10, 20, 10, 19);
    s.SetPixel(9, 20, kBlack);
    s.Ellipse({8, 18, 12, 22});
    const auto& ops = target.Ops();
    ASSERT_EQ(ops.size(), 4u);
    EXPECT_EQ(ops[0].kind, EKind::Line);
    EXPECT_EQ(ops[0].points[0], (SPoint{13, 23}));
    EXPECT_EQ(ops[0].points[1], (SPoint{16, 20}));
    EXPECT_EQ(ops[0].state.nPenWidth, 6);
    // A zero-width pen draws one pixel wide, so it scales like width 1.
    EXPECT_EQ(ops[1].state.nPenWidth, 3);
    EXPECT_EQ(ops[1].points[1], (SPoint{10, 17}));
    // A pixel is a block the size of the scale, set outright.
    EXPECT_EQ(ops[2].kind, EKind::FillRect);
    EXPECT_EQ(ops[2].rect, (SRect{7, 20, 10, 23}));
    EXPECT_EQ(ops[3].rect, (SRect{4, 14, 16, 26}));
}

TEST_F(CScaledSurfaceTest, AWildBoxScaledUpStillHasAWidth) {
    const SRect wild{-300000000, -5, 300000000, INT_MAX};
    const SRect r = ScaledAbout(wild, {400, 300}, 4);
    EXPECT_LT(r.left, -100000000);
    EXPECT_GT(r.Width(), 0);
    EXPECT_GT(r.Height(), 0);
}

TEST_F(CScaledSurfaceTest, FarPointsSaturateInsteadOfWrapping) {
    CRecordingSurface target;
    CScaledSurface s(target, {0, 0}, 4);
    s.Line(INT_MAX - 5, INT_MIN + 5, 1, 1);
    ASSERT_EQ(target.Ops().size(), 1u);
    EXPECT_EQ(target.Ops()[0].points[0], (SPoint{INT_MAX, INT_MIN}));
    s.SetPixel(INT_MAX - 5, 0, kBlack);
    ASSERT_EQ(target.Ops().size(), 2u);
    EXPECT_EQ(target.Ops()[1].rect.right, INT_MAX);
}

TEST_F(CScaledSurfaceTest, AMorphDrawnLargeIsItsStrokesScaled) {
    CBioMorph morph;
    const std::array<int32_t, kGeneCount> genes = {-10, 30, 20, -20, 20, -10, -20, -20, 7, 1,
                                                   50,  0,  0,  230, 3,  43,  43,  1,   0};
    morph.SetGenes(genes);
    CRecordingSurface one;
    morph.Draw(one, 400, 300, 0);
    CRecordingSurface target;
    CScaledSurface large(target, {400, 300}, 4);
    morph.Draw(large, 400, 300, 0);
    const auto a = one.OpsOf(EKind::Stroke);
    const auto b = target.OpsOf(EKind::Stroke);
    ASSERT_EQ(a.size(), b.size());
    ASSERT_GT(a.size(), 10u);
    for (size_t i = 0; i < a.size(); ++i) {
        for (int k = 0; k < 2; ++k) {
            EXPECT_EQ(b[i].points[k].x, 400 + (a[i].points[k].x - 400) * 4);
            EXPECT_EQ(b[i].points[k].y, 300 + (a[i].points[k].y - 300) * 4);
        }
    }
    const auto lines1 = one.OpsOf(EKind::Line);
    const auto lines4 = target.OpsOf(EKind::Line);
    ASSERT_EQ(lines1.size(), lines4.size());
    for (size_t i = 0; i < lines1.size(); ++i) {
        EXPECT_EQ(lines4[i].state.nPenWidth, 4 * std::max(lines1[i].state.nPenWidth, 1));
    }
}

}  // namespace

namespace {

// A fraction scales a whole morph down (or up) about the origin: each point of a stroke is
// its 1x point scaled and rounded to the nearest pixel, and no pen goes below one pixel.
TEST_F(CScaledSurfaceTest, AFractionScalesEveryStrokeAndKeepsPensVisible) {
    CBioMorph morph;
    const std::array<int32_t, kGeneCount> genes = {-10, 30, 20, -20, 20, -10, -20, -20, 7, 1,
                                                   50,  0,  0,  230, 3,  43,  43,  6,   0};
    morph.SetGenes(genes);
    CRecordingSurface one;
    morph.Draw(one, 400, 300, 0);
    const auto a = one.OpsOf(EKind::Stroke);
    ASSERT_GT(a.size(), 10u);
    const auto nearest = [](int v, int o, int num, int den) {
        return o + static_cast<int>(std::lround(static_cast<double>(v - o) * num / den));
    };
    for (const auto& [num, den] : {std::pair{1, 3}, std::pair{3, 2}, std::pair{512, 9001}}) {
        SCOPED_TRACE(testing::Message() << num << "/" << den);
        CRecordingSurface target;
        CScaledSurface scaled(target, {400, 300}, num, den);
        morph.Draw(scaled, 400, 300, 0);
        const auto b = target.OpsOf(EKind::Stroke);
        ASSERT_EQ(a.size(), b.size());
        for (size_t i = 0; i < a.size(); ++i) {
            for (int k = 0; k < 2; ++k) {
                EXPECT_EQ(b[i].points[k].x, nearest(a[i].points[k].x, 400, num, den));
                EXPECT_EQ(b[i].points[k].y, nearest(a[i].points[k].y, 300, num, den));
            }
        }
        for (const auto& line : target.OpsOf(EKind::Line)) {
            EXPECT_GE(line.state.nPenWidth, 1);
            EXPECT_LE(line.state.nPenWidth, std::max(6 * num / den, 1));
        }
    }
}

}  // namespace
