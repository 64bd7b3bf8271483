#include "platform/XorRuns.h"

#include <algorithm>

namespace {

struct SThreadEnds {
    std::vector<uint32_t> ends;
    bool bInUse = false;
};

SThreadEnds& ThreadEnds() {
    thread_local SThreadEnds ends;
    return ends;
}

}  // namespace

CXorRuns::~CXorRuns() {
    if (m_bBorrowed) {
        if (!IsEmpty()) {
            // Nothing applied: the thread's buffer goes back all zero all the same.
            std::fill(m_pEnds->begin(), m_pEnds->end(), 0u);
        }
        ThreadEnds().bInUse = false;
    }
}

void CXorRuns::Begin(const QRect& area) {
    m_area = area;
    m_nStride = area.width() + 1;
    const size_t size = static_cast<size_t>(m_nStride) * static_cast<size_t>(area.height());
    if (!m_pEnds) {
        SThreadEnds& thread = ThreadEnds();
        if (!thread.bInUse) {
            thread.bInUse = true;
            m_bBorrowed = true;
            m_pEnds = &thread.ends;
        } else {
            m_pEnds = &m_own;
        }
    }
    // Every element is zero already; growing adds zeros.
    if (m_pEnds->size() < size) {
        m_pEnds->resize(size, 0u);
    }
    m_rowDirty.assign(static_cast<size_t>(area.height()), 0);
}

void CXorRuns::Add(const QRect& area, int y, int x0, int x1, uint32_t colour) {
    if (IsEmpty() && area != m_area) {
        Begin(area);
    }
    const int row = y - m_area.top();
    uint32_t* ends = m_pEnds->data() + row * m_nStride - m_area.left();
    ends[x0] ^= colour;
    ends[x1] ^= colour;
    m_rowDirty[static_cast<size_t>(row)] = 1;
    m_nTop = std::min(m_nTop, y);
    m_nBottom = std::max(m_nBottom, y);
    m_nLeft = std::min(m_nLeft, x0);
    m_nRight = std::max(m_nRight, x1);
}

void CXorRuns::Apply(uchar* bits, qsizetype stride, int top, int bottom) {
    top = std::max(top, m_nTop);
    bottom = std::min(bottom, m_nBottom);
    for (int y = top; y <= bottom; ++y) {
        const int row = y - m_area.top();
        if (!m_rowDirty[static_cast<size_t>(row)]) {
            continue;
        }
        m_rowDirty[static_cast<size_t>(row)] = 0;
        uint32_t* ends = m_pEnds->data() + row * m_nStride - m_area.left();
        auto* pixels = reinterpret_cast<uint32_t*>(bits + y * stride);
        uint32_t colour = 0;
        for (int x = m_nLeft; x < m_nRight; ++x) {
            colour ^= ends[x];
            ends[x] = 0;
            pixels[x] ^= colour;
        }
        // The last runs end here: their changes cancel, and the buffer is left all zero.
        ends[m_nRight] = 0;
    }
    if (top <= m_nTop && bottom >= m_nBottom) {
        m_nTop = INT_MAX;
        m_nBottom = INT_MIN;
        m_nLeft = INT_MAX;
        m_nRight = INT_MIN;
    }
}
