#pragma once

#include <QRect>
#include <climits>
#include <cstdint>
#include <vector>

// Runs of pixels to be changed by XOR with a colour, gathered as a change at each end of the
// run, so a run costs the same whatever its length; Apply turns them into pixels, running
// along each row once. XOR does not care about order, so runs of many shapes can be gathered
// and applied together, as long as nothing sets those pixels outright in between (the
// surface applies the rows it is about to set first).
class CXorRuns {
public:
    CXorRuns() = default;
    CXorRuns(const CXorRuns&) = delete;
    CXorRuns& operator=(const CXorRuns&) = delete;
    ~CXorRuns();

    bool IsEmpty() const { return m_nTop > m_nBottom; }
    // area: the device pixels runs may fall in; a run may end one past its right edge. The
    // area stays the same until everything gathered is applied.
    void Add(const QRect& area, int y, int x0, int x1, uint32_t colour);
    // Changes the pixels of rows top to bottom (device rows) of a 32-bit picture by what was
    // gathered for them.
    void Apply(uchar* bits, qsizetype stride, int top, int bottom);
    void ApplyAll(uchar* bits, qsizetype stride) { Apply(bits, stride, m_nTop, m_nBottom); }

private:
    void Begin(const QRect& area);

    // The run ends, one row of (width + 1) per row of the area; all zero whenever nothing is
    // gathered. Borrowed from the thread when it is free, else this surface's own.
    std::vector<uint32_t>* m_pEnds = nullptr;
    std::vector<uint32_t> m_own;
    bool m_bBorrowed = false;
    QRect m_area;
    qsizetype m_nStride = 0;
    std::vector<uint8_t> m_rowDirty;
    int m_nTop = INT_MAX;
    int m_nBottom = INT_MIN;
    int m_nLeft = INT_MAX;
    int m_nRight = INT_MIN;
};
