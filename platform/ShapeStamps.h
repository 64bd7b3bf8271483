#pragma once

#include <QImage>
#include <array>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class QPainter;

// Wide strokes, tips, polygons and leaves are where drawing a morph spends its time, and a
// morph repeats the same few shapes over and over: every branch at one depth has the same
// vector, and each cell of a grid draws its morph again. A stamp is such a shape rasterised
// once by Qt (so its pixels are Qt's own) and kept as runs of pixels, which are then copied to
// wherever the shape appears again. Rasterising is the same under a shift by whole pixels, so a
// stamp gives exactly the pixels drawing the shape there would.
//
// Each thread keeps its own cache (cells are drawn on several threads at once); what a stamp
// holds depends only on its key, so the picture is the same whichever thread draws a cell.

// A row of pixels of one kind, relative to the shape's anchor, in device pixels.
struct SStampRun {
    int16_t dy;
    int16_t x0;
    int16_t x1;   // one past the last pixel
    uint8_t tag;  // kStampBrush or kStampPen
};

constexpr uint8_t kStampBrush = 1;
constexpr uint8_t kStampPen = 2;

// What identifies a shape up to a shift: its kind, pen width, device scale and its points
// relative to the anchor.
struct SStampKey {
    static constexpr int kMaxValues = 30;
    std::array<int32_t, kMaxValues> values{};
    int nCount = 0;

    void Add(int32_t v) { values[static_cast<size_t>(nCount++)] = v; }
    friend bool operator==(const SStampKey& a, const SStampKey& b) {
        return a.nCount == b.nCount &&
               std::equal(a.values.begin(), a.values.begin() + a.nCount, b.values.begin());
    }
};

struct SStampKeyHash {
    size_t operator()(const SStampKey& key) const;
};

inline QRgb StampColour(uint8_t tag) {
    return qRgb(0, 0, tag);
}

class CStampCache {
public:
    // The largest shape worth a stamp, in device pixels a side; larger ones are drawn by Qt
    // straight into the picture (they are few, and a stamp of them would be mostly clipped).
    // Zoomed morphs have tips up to 1,800 pixels across. A scratch picture over kKeptSide a
    // side is let go once its stamp is made, so the memory is held only while drawing them.
    static constexpr int kMaxSide = 2048;
    static constexpr int kKeptSide = 1024;

    // The calling thread's cache.
    static CStampCache& ForThisThread();

    // The stamp of the key, drawing it on first use: `draw` paints the shape with the pen in
    // StampColour(kStampPen) and the brush in StampColour(kStampBrush), on a clear image of
    // `size` device pixels at the given device pixel ratio, with the anchor at `origin`
    // (device pixels). Null if the shape is too large for a stamp.
    const std::vector<SStampRun>* Get(const SStampKey& key, QSize size, QPoint origin, qreal dpr,
                                      const std::function<void(QPainter&)>& draw);

    size_t StampCount() const { return m_stamps.size(); }

    // While a hold is in place every stamp Get returned stays valid: a cache that fills up
    // starts again only when the last hold ends. A group of shapes drawn together holds the
    // stamps of all its members at once.
    class CHold {
    public:
        explicit CHold(CStampCache& cache) : m_cache(cache) { ++m_cache.m_nHolds; }
        ~CHold() {
            if (--m_cache.m_nHolds == 0 && m_cache.m_bFull) {
                m_cache.Clear();
            }
        }
        CHold(const CHold&) = delete;
        CHold& operator=(const CHold&) = delete;

    private:
        CStampCache& m_cache;
    };

    // Bounds what the cache holds (8 MiB of runs): when it is full it starts again.
    static constexpr size_t kMaxRuns = size_t{1} << 20;
    // Lets a test fill the cache quickly; takes effect from the next stamp made.
    void SetMaxRuns(size_t nMaxRuns) { m_nMaxRuns = nMaxRuns; }

private:
    void Clear();

    size_t m_nMaxRuns = kMaxRuns;
    int m_nHolds = 0;
    bool m_bFull = false;

    std::unordered_map<SStampKey, std::vector<SStampRun>, SStampKeyHash> m_stamps;
    // Shapes that have no stamp because they reach past its edge.
    std::unordered_set<SStampKey, SStampKeyHash> m_cut;
    size_t m_nRuns = 0;
    QImage m_scratch;
};
