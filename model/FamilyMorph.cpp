#include "model/FamilyMorph.h"

#include <algorithm>
#include <cmath>

#include "model/DrawSurface.h"

CFamilyList* FindFamilyOf(const CFamilyLists& families, const CFamilyMorph* node) {
    for (const auto& family : families) {
        for (const auto& member : *family) {
            if (member.get() == node) {
                return family.get();
            }
        }
    }
    return nullptr;
}

namespace {

// Takes the node out of the list and hands over its ownership, or null if it is not there.
std::unique_ptr<CFamilyMorph> Extract(CFamilyList& list, const CFamilyMorph* node) {
    auto it =
        std::find_if(list.begin(), list.end(),
                     [node](const std::unique_ptr<CFamilyMorph>& p) { return p.get() == node; });
    if (it == list.end()) {
        return nullptr;
    }
    std::unique_ptr<CFamilyMorph> owned = std::move(*it);
    list.erase(it);
    return owned;
}

}  // namespace

CFamilyMorph::CFamilyMorph(const CBioMorph& source) {
    CopyGenome(source);
    m_rcBounds = source.m_rcBounds.Inflated(2);
    GeneArray gradients{};
    source.GetGradients(gradients);
    SetGradients(gradients);
    m_pParent = nullptr;
}

CFamilyMorph::CFamilyMorph(const CBioMorph& source, int x, int y) {
    CopyGenome(source);
    GeneArray gradients{};
    source.GetGradients(gradients);
    SetGradients(gradients);
    m_ptNode = {x, y};
    m_pParent = nullptr;
}

CFamilyMorph::~CFamilyMorph() {
    m_pParent = nullptr;
    m_Children.clear();
}

void CFamilyMorph::AddChild(CFamilyMorph* child) {
    m_Children.push_back(child);
}

void CFamilyMorph::RemoveChild(CFamilyMorph* child) {
    auto it = std::find(m_Children.begin(), m_Children.end(), child);
    if (it != m_Children.end()) {
        m_Children.erase(it);
    }
}

void CFamilyMorph::MoveDescendants(CFamilyList& source, CFamilyList& target) {
    for (CFamilyMorph* child : m_Children) {
        // A node is owned by exactly one list: only what the source holds can move, so a
        // child kept elsewhere is never listed twice.
        if (std::unique_ptr<CFamilyMorph> owned = Extract(source, child)) {
            target.push_back(std::move(owned));
        }
        child->MoveDescendants(source, target);
    }
}

void CFamilyMorph::DeleteDescendants(CFamilyLists& families) {
    while (!m_Children.empty()) {
        CFamilyMorph* child = m_Children.front();
        child->DeleteDescendants(families);
        if (CFamilyList* family = FindFamilyOf(families, child)) {
            Extract(*family, child).reset();
        }
        m_Children.erase(m_Children.begin());
    }
}

bool CFamilyMorph::HitNode(int x, int y) const {
    return m_rcBounds.Inflated(5).Contains(x, y);
}

bool CFamilyMorph::HitFrame(int x, int y) const {
    const SRect b = m_rcBounds.Inflated(10);
    auto near = [](int64_t v, int64_t edge) { return v > edge - 5 && v < edge + 5; };
    const int64_t left = b.left;
    const int64_t top = b.top;
    const int64_t right = b.right;
    const int64_t bottom = b.bottom;
    if (x > left - 5 && x < right + 5 && (near(y, top) || near(y, bottom))) {
        return true;
    }
    return y > top - 5 && y < bottom + 5 && (near(x, left) || near(x, right));
}

std::pair<CFamilyMorph*, CFamilyMorph*> CFamilyMorph::FindLink(int xIn, int yIn) {
    // The point arrives packed as two signed 16-bit halves.
    const int x = static_cast<int16_t>(xIn);
    const int y = static_cast<int16_t>(yIn);
    const SPoint p = m_ptNode;
    for (CFamilyMorph* child : m_Children) {
        const SPoint c = child->m_ptNode;
        bool bBox;
        if (p.x == c.x) {
            bBox = std::min(p.y, c.y) <= y && y <= std::max(p.y, c.y);
        } else if (p.y == c.y) {
            bBox = std::min(p.x, c.x) <= x && x <= std::max(p.x, c.x);
        } else {
            bBox = SRect{p.x, p.y, c.x, c.y}.Normalised().Contains(x, y);
        }
        if (bBox) {
            const double vx = static_cast<double>(c.x) - p.x;
            const double vy = static_cast<double>(c.y) - p.y;
            const double wx = static_cast<double>(x) - p.x;
            const double wy = static_cast<double>(y) - p.y;
            const double ww = wx * wx + wy * wy;
            if (ww > 0.0) {
                const double k = (vx * wx + vy * wy) / ww;
                const double d = std::hypot(vx - k * wx, vy - k * wy);
                if (d <= 6.0) {
                    return {this, child};
                }
            }
        }
        auto found = child->FindLink(xIn, yIn);
        if (found.first) {
            return found;
        }
    }
    return {nullptr, nullptr};
}

SPoint CFamilyMorph::DrawPosition(const IDrawSurface& surface) const {
    if (!surface.IsPrinter()) {
        return m_ptNode;
    }
    auto scale = [](int v) {
        return Sat32(static_cast<int64_t>(std::trunc(static_cast<double>(v) * g_fPrintScale)));
    };
    return {scale(m_ptNode.x), scale(m_ptNode.y)};
}

void CFamilyMorph::DrawFamily(IDrawSurface& surface, int o) {
    const SRgb frame = m_pParent ? kBlack : SRgb{255, 0, 0};
    const SPoint p = DrawPosition(surface);
    for (CFamilyMorph* child : m_Children) {
        const SPoint c = child->DrawPosition(surface);
        surface.MoveTo(p.x, p.y);
        surface.LineTo(c.x, c.y);
        child->DrawFamily(surface, o);
    }
    Measure(p.x, p.y, o);
    SRect box = m_rcBounds.Inflated(10);
    surface.FillRect(box, kWhite);
    surface.FrameRect(box, frame);
    box = box.Inflated(1);
    surface.FrameRect(box, frame);
    Draw(surface, p.x, p.y, o);
}
