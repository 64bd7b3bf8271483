#include "model/BioMorph.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "model/Archive.h"
#include "model/DrawSurface.h"
#include "model/Palette.h"
#include "model/Random.h"
#include "model/SafeMath.h"

int g_bRemeasure = 0;

namespace {

// Pen widths (and so the round tips, twice as wide) are held to this. The widest pen genes
// within their limits can make is 90 pixels (thickness 10, plus tapering 10 at each of eight
// levels), so the bound touches none of them; wider pens come only from genes outside their
// limits, and each such stroke would cost a fill of a whole cell or window.
constexpr int64_t kWidthLimit = 128;
// Colour indices only matter below 0, within the palette and above it; bounding the
// cumulative sums keeps them from overflowing without changing any colour.
constexpr int64_t kColourLimit = int64_t{1} << 40;
// The bounds margin, kept so that bounds plus margin stay within 32 bits.
constexpr int64_t kMarginLimit = int64_t{1} << 28;

int64_t ClampColour(int64_t v) {
    return std::clamp(v, -kColourLimit, kColourLimit);
}
int64_t ClampWidth(int64_t v) {
    return std::clamp(v, -kWidthLimit, kWidthLimit);
}

// v * s / 100 rounded as MulDiv does. At the usual scale of 100 that is v itself (v is at most
// depth 9 times a coordinate, far from overflowing), and the division is skipped.
inline int64_t Scaled(int64_t v, int64_t s) {
    return s == 100 ? v : MulDiv(v, s, 100);
}

int NormaliseOrientation(int o) {
    return ((o % 4) + 4) % 4;
}

}  // namespace

CBioMorph::CBioMorph() {
    SetGenes(kDefaultGenes);
    m_Gradients.fill(0);
    m_bLaidOut = 0;
    m_ptOffset = {-30000, 0};
    for (int r = 0; r < 4; ++r) {
        for (int i = 0; i < 4; ++i) {
            m_nTurn[r][i] = (r + i) % 4;
        }
    }
}

void CBioMorph::CopyGenome(const CBioMorph& source) {
    m_Genes = source.m_Genes;
    m_Gradients = source.m_Gradients;
    m_Genes[0] = 0;
    m_Gradients[0] = 0;
    m_bLaidOut = 0;
    for (int g = 1; g <= 9; ++g) {
        g_SpecialGenes[g] = {1, 1};
    }
}

void CBioMorph::SetGenes(const int32_t* genes) {
    for (int g = 1; g <= kGeneCount; ++g) {
        m_Genes[g] = genes[g - 1];
    }
    m_bLaidOut = 0;
}

void CBioMorph::GetGenes(int32_t* genes) const {
    for (int g = 1; g <= kGeneCount; ++g) {
        genes[g - 1] = m_Genes[g];
    }
}

std::array<int32_t, kGeneCount> CBioMorph::GetGenes() const {
    std::array<int32_t, kGeneCount> genes{};
    GetGenes(genes.data());
    return genes;
}

void CBioMorph::SetGradients(const GeneArray& gradients) {
    for (int g = 1; g <= kGeneCount; ++g) {
        m_Gradients[g] = gradients[g];
    }
    m_bLaidOut = 0;
}

void CBioMorph::GetGradients(GeneArray& gradients) const {
    for (int g = 1; g <= kGeneCount; ++g) {
        gradients[g] = m_Gradients[g];
    }
}

void CBioMorph::ClearGradients() {
    for (int g = 1; g <= kGeneCount; ++g) {
        m_Gradients[g] = 0;
    }
}

// ---------------------------------------------------------------------------------------
// Development

void CBioMorph::SetDirections(const int64_t e[9]) {
    auto w = [&](int k) { return static_cast<int32_t>(ClampCoord(e[k] / 10)); };
    m_DirX[0] = w(2);
    m_DirY[0] = -w(6);
    m_DirX[1] = w(1);
    m_DirY[1] = -w(5);
    m_DirX[2] = 0;
    m_DirY[2] = -w(4);
    m_DirX[3] = -w(1);
    m_DirY[3] = -w(5);
    m_DirX[4] = -w(2);
    m_DirY[4] = -w(6);
    m_DirX[5] = -w(3);
    m_DirY[5] = -w(7);
    m_DirX[6] = 0;
    m_DirY[6] = -w(8);
    m_DirX[7] = w(3);
    m_DirY[7] = -w(7);
}

int CBioMorph::Develop(IDrawSurface* surface, int x0, int y0, int o, int draw) {
    o = NormaliseOrientation(o);
    const int64_t xStart = ClampCoord(x0);
    const int64_t yStart = ClampCoord(y0);
    if (surface) {
        surface->SetPixel(static_cast<int>(xStart), static_cast<int>(yStart), kBlack);
    }
    if (draw == 0) {
        // Start from the extremes rather than +-30000, so a morph developed far from the
        // origin of the window (the tool can ask for that) still gets its true box.
        m_rcBounds = {INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    }
    // Measuring grows the box in locals and writes it back once at the end.
    SBox box{m_rcBounds.left, m_rcBounds.top, m_rcBounds.right, m_rcBounds.bottom};

    const bool bRotation = IsPresent(kGeneRotation);
    const int32_t rotation = m_Genes[kGeneRotation];
    int arms = 1;
    if (bRotation && (rotation == 1 || rotation == 2)) {
        arms = 4;
    }

    bool bDeveloped = false;
    for (int i = 0; i < arms; ++i) {
        int64_t x = xStart;
        int64_t y = yStart;
        int64_t segments = 1;
        int64_t d = 0;
        if (IsPresent(kGeneSegments)) {
            segments = std::min<int64_t>(m_Genes[kGeneSegments], kMaxSegments);
            d = m_Genes[kGeneSegmentDistance];
        }
        int a = o;
        if (rotation != 0) {
            if (rotation == 1 && (i == 1 || i == 3)) {
                continue;
            }
            a = m_nTurn[o][i];
        }
        m_bAltSide = 1;
        const bool bXor = IsPresent(kGeneOutlineColour);
        int64_t outline = bXor ? m_Genes[kGeneOutlineColour] : 0;
        int64_t body = IsPresent(kGeneBodyColour) ? m_Genes[kGeneBodyColour] : 0;

        bool bHavePrevious = false;
        int64_t xPrev = 0;
        int64_t yPrev = 0;
        for (int j = 0; j < segments; ++j) {
            d = ClampCoord(SatAdd(d, SatMul(j, m_Gradients[kGeneSegmentDistance])));
            if (j > 0) {
                switch (a) {
                    case 0:
                        y = ClampCoord(y - d);
                        break;
                    case 1:
                        x = ClampCoord(x + d);
                        break;
                    case 2:
                        y = ClampCoord(y + d);
                        break;
                    default:
                        x = ClampCoord(x - d);
                        break;
                }
            }
            const int64_t thickness = IsPresent(kGeneThickness) ? m_Genes[kGeneThickness] : 1;
            int64_t e[9] = {};
            for (int k = 1; k <= 8; ++k) {
                e[k] = int64_t{m_Genes[k]} + int64_t{5} * j * m_Gradients[k];
            }
            outline = ClampColour(outline + int64_t{j} * m_Gradients[kGeneOutlineColour]);
            body = ClampColour(body + int64_t{j} * m_Gradients[kGeneBodyColour]);
            const int64_t depth = std::clamp<int64_t>(
                int64_t{m_Genes[kGeneDepth]} + int64_t{j} * m_Gradients[kGeneDepth], 0, 9);
            SetDirections(e);

            if (surface && bHavePrevious) {
                const SDrawState saved = surface->State();
                const SRgb joint = ColourOfIndex(m_Genes[kGeneOutlineColour]);
                surface->SetPen(1, joint);
                surface->SetBrush(joint);
                surface->SetRop(bXor ? ERop::Xor : ERop::Copy);
                surface->OnJoint(static_cast<int>(xPrev), static_cast<int>(yPrev),
                                 static_cast<int>(x), static_cast<int>(y));
                surface->MoveTo(static_cast<int>(xPrev), static_cast<int>(yPrev));
                surface->LineTo(static_cast<int>(x), static_cast<int>(y));
                if (draw == 1) {
                    surface->SetPixel(static_cast<int>(x), static_cast<int>(y), kBlack);
                }
                // Pen and brush go back to the caller's; an XOR joint leaves copy mode behind,
                // as every stroke does.
                surface->SetState(saved);
                if (bXor) {
                    surface->SetRop(ERop::Copy);
                }
            }
            if (draw == 1) {
                DrawTree(surface, x, y, depth, 2, a, outline, body, thickness, j, bXor);
            } else {
                box.Include(x, y);
                MeasureTree(box, x, y, depth, 2, a, ScaleAt(j));
            }
            bDeveloped = true;
            xPrev = x;
            yPrev = y;
            bHavePrevious = true;
            m_bAltSide = !m_bAltSide;
        }
    }

    m_bGrew = bDeveloped;
    if (draw != 1) {
        m_rcBounds = {static_cast<int>(box.left), static_cast<int>(box.top),
                      static_cast<int>(box.right), static_cast<int>(box.bottom)};
    }
    if (draw == 0) {
        if (!bDeveloped) {
            // Nothing grew (no segment at all): an empty box at the origin, not the inverted
            // starting rectangle, so hit tests, frames and copies stay sensible.
            m_rcBounds = {static_cast<int>(xStart), static_cast<int>(yStart),
                          static_cast<int>(xStart), static_cast<int>(yStart)};
        }
        const int64_t cx = (int64_t{m_rcBounds.left} + m_rcBounds.right) / 2;
        const int64_t cy = (int64_t{m_rcBounds.top} + m_rcBounds.bottom) / 2;
        m_ptOffset = {static_cast<int>(xStart - cx), static_cast<int>(yStart - cy)};
    }
    return 1;
}

int64_t CBioMorph::ScaleAt(int j) const {
    int64_t s = 100;
    if (IsPresent(kGeneScaling)) {
        s = m_Genes[kGeneScaling] == 0 ? 1 : m_Genes[kGeneScaling];
    }
    return SatAdd(s, SatMul(int64_t{5} * j, m_Gradients[kGeneScaling]));
}

// Direction c turned for arm orientation a: the stroke's steps across (l) and up (m).
inline void CBioMorph::Turn(int c, int a, int64_t& l, int64_t& m) const {
    switch (a) {
        case 0:
            l = -int64_t{m_DirX[c]};
            m = m_DirY[c];
            break;
        case 1:
            l = m_DirY[c];
            m = m_DirX[c];
            break;
        case 2:
            l = m_DirX[c];
            m = -int64_t{m_DirY[c]};
            break;
        default:
            l = -int64_t{m_DirY[c]};
            m = -int64_t{m_DirX[c]};
            break;
    }
}

// The stroke from (x, y) in direction c under arm orientation a: its far end.
inline void CBioMorph::StrokeEnd(int64_t x, int64_t y, int64_t n, int c, int a, int64_t s,
                                 int64_t& x1, int64_t& y1) const {
    int64_t l;
    int64_t m;
    Turn(c, a, l, m);
    x1 = ClampCoord(x + ClampCoord(Scaled(n * l, s)));
    y1 = ClampCoord(y - ClampCoord(Scaled(n * m, s)));
}

void CBioMorph::DrawTree(IDrawSurface* surface, int64_t x, int64_t y, int64_t n, int c, int a,
                         int64_t outline, int64_t body, int64_t width, int j, bool bXor) {
    const bool bMirror = IsPresent(kGeneMirror);
    const bool bTapering = IsPresent(kGeneTapering);
    const bool bOutline = IsPresent(kGeneOutlineColour);
    const bool bBody = IsPresent(kGeneBodyColour);
    const int64_t s = ScaleAt(j);

    for (;;) {
        if (c < 0) {
            c += 8;
        } else if (c >= 8) {
            c -= 8;
        }
        int64_t x1;
        int64_t y1;
        StrokeEnd(x, y, n, c, a, s, x1, y1);
        if (surface) {
            DrawStroke(*surface, static_cast<int>(x), static_cast<int>(y), static_cast<int>(x1),
                       static_cast<int>(y1), outline, body, width, j, bXor);
        }
        if (n <= 1) {
            return;
        }
        const bool bOneSided = bMirror && m_Genes[kGeneMirror] != 0 && n == m_Genes[kGeneDepth];
        if (bTapering) {
            width = ClampWidth(width + m_Genes[kGeneTapering]);
        }
        if (bOutline) {
            outline = ClampColour(outline + 3);
        }
        if (bBody) {
            body = ClampColour(body + 3);
        }
        if (!bOneSided || m_bAltSide != 0) {
            DrawTree(surface, x1, y1, n - 1, c + 1, a, outline, body, width, j, bXor);
        }
        if (bOneSided && m_bAltSide != 0) {
            return;
        }
        x = x1;
        y = y1;
        n = n - 1;
        c = c - 1;
    }
}

// The same walk as DrawTree with nothing drawn: each stroke's far end goes into the box once
// (its start is the root, already in, or the end of the stroke before).
void CBioMorph::MeasureTree(SBox& box, int64_t x, int64_t y, int64_t n, int c, int a,
                            int64_t s) const {
    // The eight directions turned for this arm, once per segment rather than once per stroke.
    SDirections dirs;
    for (int k = 0; k < 8; ++k) {
        Turn(k, a, dirs.l[k], dirs.m[k]);
    }
    const int oneSidedDepth =
        IsPresent(kGeneMirror) && m_Genes[kGeneMirror] != 0 ? m_Genes[kGeneDepth] : -1;
    MeasureBranch(box, dirs, x, y, n, c, s, oneSidedDepth);
}

// The same walk as DrawTree with nothing drawn: each stroke's far end goes into the box once
// (its start is the root, already in, or the end of the stroke before).
void CBioMorph::MeasureBranch(SBox& box, const SDirections& dirs, int64_t x, int64_t y, int64_t n,
                              int c, int64_t s, int64_t oneSidedDepth) const {
    for (;;) {
        if (c < 0) {
            c += 8;
        } else if (c >= 8) {
            c -= 8;
        }
        const int64_t x1 = ClampCoord(x + ClampCoord(Scaled(n * dirs.l[c], s)));
        const int64_t y1 = ClampCoord(y - ClampCoord(Scaled(n * dirs.m[c], s)));
        box.Include(x1, y1);
        if (n <= 1) {
            return;
        }
        const bool bOneSided = n == oneSidedDepth;
        if (!bOneSided || m_bAltSide != 0) {
            MeasureBranch(box, dirs, x1, y1, n - 1, c + 1, s, oneSidedDepth);
        }
        if (bOneSided && m_bAltSide != 0) {
            return;
        }
        x = x1;
        y = y1;
        n = n - 1;
        c = c - 1;
    }
}

void CBioMorph::DrawStroke(IDrawSurface& surface, int x, int y, int x1, int y1, int64_t outline,
                           int64_t body, int64_t width, int j, bool bXor) {
    const SRgb pen = IsPresent(kGeneOutlineColour) ? ColourOfIndex(outline) : kBlack;
    const int64_t penWidth = IsPresent(kGeneThickness) ? width : 1;
    SRgb brush;
    if (IsPresent(kGeneBodyColour)) {
        brush = ColourOfIndex(body);
    } else {
        brush = bXor ? kWhite : kBlack;
    }
    int64_t style = IsPresent(kGeneBranchStyle) ? m_Genes[kGeneBranchStyle] : 0;
    style = SatAdd(style, SatMul(j, m_Gradients[kGeneBranchStyle]));
    if (style > 3) {
        style %= 4;
    }
    if (style < 0) {
        style = 0;
    }

    surface.OnStroke(x, y, x1, y1);
    const SDrawState saved = surface.State();
    surface.SetPen(static_cast<int>(ClampWidth(penWidth)), pen);
    surface.SetBrush(brush);
    surface.SetRop(bXor ? ERop::Xor : ERop::Copy);
    surface.MoveTo(x, y);
    switch (style) {
        case 0:
            surface.LineTo(x1, y1);
            break;
        case 1: {
            const int dx3 = (x1 - x) / 3;
            const int dy3 = (y1 - y) / 3;
            const SPoint a{x + dy3, y - dx3};
            const SPoint path[4] = {a, {x - dy3, y + dx3}, {x1, y1}, a};
            surface.Polygon(path, 4);
            break;
        }
        case 2: {
            surface.LineTo(x1, y1);
            const int64_t r = 2 * ClampWidth(width);
            surface.Ellipse({Sat32(x1 - r), Sat32(y1 + r), Sat32(x1 + r), Sat32(y1 - r)});
            break;
        }
        default:
            DrawLeaf(surface, x, y, x1, y1);
            break;
    }
    // The caller gets its pen and brush back but copy mode, whatever mode it had before: the
    // link lines of a family tree are drawn in whatever mode the last stroke left.
    surface.SetState(saved);
    surface.SetRop(ERop::Copy);
}

void CBioMorph::DrawLeaf(IDrawSurface& surface, int x, int y, int x1, int y1) {
    if (x == x1 && y == y1) {
        return;
    }
    const int64_t dx = int64_t{x1} - x;
    const int64_t dy = int64_t{y1} - y;
    const float ax = static_cast<float>(dx < 0 ? -dx : dx);
    const float ay = static_cast<float>(dy < 0 ? -dy : dy);
    const float len = std::sqrt(ax * ax + ay * ay);
    double theta;
    if (dx == 0) {
        theta = 4.712389;
    } else if (dy == 0) {
        theta = 3.1415927;
    } else {
        // The ratio is single precision like the lengths, but the angle is taken in double:
        // std::asin of a float would work in float and move some leaves by a pixel.
        const double a = std::asin(static_cast<double>(ay / len));
        if (dx > 0 && dy > 0) {
            theta = a;
        } else if (dx < 0 && dy > 0) {
            theta = 3.1415926535 - a;
        } else if (dx < 0 && dy < 0) {
            theta = a + 3.1415926535;
        } else {
            theta = -a;
        }
    }
    const int64_t cx = std::min(x, x1) + static_cast<int64_t>(ax * 0.5);
    const int64_t cy = std::min(y, y1) + static_cast<int64_t>(ay * 0.5);
    const int64_t h = static_cast<int64_t>(len) / 2;
    const int64_t k0 = static_cast<int64_t>(static_cast<double>(h) * 0.5) / 2;
    const int64_t L = cx - h;
    const int64_t T = cy - k0;
    const int64_t R = cx + h;
    const int64_t B = cy + k0;
    const int64_t kx = static_cast<int64_t>(static_cast<double>(R - L) * 0.2761423749154);
    const int64_t ky = static_cast<int64_t>(static_cast<double>(B - T) * 0.2761423749154);
    const int64_t mx = (L + R) / 2;
    const int64_t my = (T + B) / 2;
    const int64_t px[13] = {L, L, mx - kx, mx, mx + kx, R, R, R, mx + kx, mx, mx - kx, L, L};
    const int64_t py[13] = {my, my - ky, T, T, T, my - ky, my, my + ky, B, B, B, my + ky, my};
    const double cosT = std::cos(theta);
    const double sinT = std::sin(theta);
    SPoint points[13];
    for (int i = 0; i < 13; ++i) {
        const double rx = static_cast<double>(px[i] - mx);
        const double ry = static_cast<double>(py[i] - my);
        points[i].x = Sat32(static_cast<int64_t>(static_cast<double>(mx) + rx * cosT - ry * sinT));
        points[i].y = Sat32(static_cast<int64_t>(static_cast<double>(my) + rx * sinT + ry * cosT));
    }
    surface.Bezier13(points);
}

void CBioMorph::Measure(int x, int y, int o) {
    Develop(nullptr, x, y, o, 0);
    m_rcBounds = m_rcBounds.Offset(m_ptOffset.x, m_ptOffset.y);
    int64_t margin;
    const int64_t thickness = m_Genes[kGeneThickness];
    const int64_t depth = m_Genes[kGeneDepth];
    if (IsPresent(kGeneThickness) && IsPresent(kGeneTapering)) {
        margin = depth > 0 ? (thickness + depth * m_Genes[kGeneTapering]) / 2 : thickness / 2;
    } else {
        margin = thickness;
    }
    if (margin < 0) {
        margin = -margin;
    }
    if (m_bGrew) {
        m_rcBounds = m_rcBounds.Inflated(static_cast<int>(std::min(margin, kMarginLimit)));
    }
    m_bLaidOut = 1;
}

void CBioMorph::Draw(IDrawSurface& surface, int x, int y, int o) {
    if (m_bLaidOut == 0 || g_bRemeasure == 1) {
        Measure(x, y, o);
    }
    Develop(&surface, Sat32(int64_t{x} + m_ptOffset.x), Sat32(int64_t{y} + m_ptOffset.y), o, 1);
}

// ---------------------------------------------------------------------------------------
// Mutation

void CBioMorph::Mutate(float rate) {
    int passes = 0;
    while (rate > 0.0f && static_cast<float>(passes) < rate) {
        ++passes;
        m_bLaidOut = 0;
        int candidates[kGeneCount];
        int count = 0;
        for (int g = 1; g <= kGeneCount; ++g) {
            if (g <= 9 || CanMutate(g)) {
                candidates[count++] = g;
            }
        }
        const bool bSegmented = m_Genes[kGeneSegments] > 1;
        const int r = NextRandom() % 100 + 1;
        bool bGene = false;
        bool bGradient = false;
        if (r <= 10) {
            // this pass changes nothing
        } else if (r <= 30) {
            (bSegmented ? bGradient : bGene) = true;
        } else if (r <= 90) {
            bGene = true;
        } else {
            bGene = true;
            bGradient = bSegmented;
        }
        if (bGene) {
            const int g = candidates[NextRandom() % count];
            const SGeneLimit& lim = g_GeneLimits[g];
            int64_t v = m_Genes[g];
            v += (NextRandom() % 2 == 0) ? lim.nStep : -lim.nStep;
            if (v > lim.nMax) {
                v = lim.nMax;
            }
            if (v < lim.nMin) {
                v = lim.nMin;
            }
            m_Genes[g] = static_cast<int32_t>(v);
        }
        if (bGradient) {
            const int g = candidates[NextRandom() % count];
            int64_t v = m_Gradients[g];
            v += (NextRandom() % 2 == 0) ? 2 : -2;
            if (v > 2) {
                v = -2;
            } else if (v < -2) {
                v = 2;
            }
            m_Gradients[g] = static_cast<int32_t>(v);
        }
    }
}

void CBioMorph::HopefulMonster() {
    m_bLaidOut = 0;
    for (int k = 1; k <= kGeneCount; ++k) {
        if (k > 9 && !CanMutate(k)) {
            continue;
        }
        const SMonsterRange& range = g_MonsterRanges[k];
        m_Genes[k] = range.nMin + NextRandom() % (range.nMax - range.nMin + 1);
        const int q = NextRandom() % 4;
        if (q < 3) {
            m_Gradients[k] = 2 * (q - 1);
        }
    }
    if (m_Genes[kGeneDepth] > 5 && m_Genes[kGeneSegments] > 5) {
        if (NextRandom() % 2 == 0) {
            m_Genes[kGeneDepth] = NextRandom() % 5 + 1;
        } else {
            m_Genes[kGeneSegments] = NextRandom() % 5 + 1;
        }
    }
}

// ---------------------------------------------------------------------------------------
// Archive record

namespace {
constexpr int kStoredGradients[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 14, 15, 16, 17, 18, 19};
}

void CBioMorph::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        for (int g = 1; g <= kGeneCount; ++g) {
            ar.WriteInt32(m_Genes[g]);
        }
        for (int g : kStoredGradients) {
            ar.WriteInt32(m_Gradients[g]);
        }
        return;
    }
    // A short record leaves the fields read so far and reports through the exception.
    m_bLaidOut = 0;
    for (int g = 1; g <= kGeneCount; ++g) {
        m_Genes[g] = ar.ReadInt32();
    }
    for (int g : kStoredGradients) {
        m_Gradients[g] = ar.ReadInt32();
    }
}
