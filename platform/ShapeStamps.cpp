#include "platform/ShapeStamps.h"

#include <QPainter>

size_t SStampKeyHash::operator()(const SStampKey& key) const {
    uint64_t h = 1469598103934665603ull;
    for (int i = 0; i < key.nCount; ++i) {
        h ^= static_cast<uint32_t>(key.values[static_cast<size_t>(i)]);
        h *= 1099511628211ull;
    }
    return static_cast<size_t>(h ^ (h >> 29));
}

CStampCache& CStampCache::ForThisThread() {
    thread_local CStampCache cache;
    return cache;
}

const std::vector<SStampRun>* CStampCache::Get(const SStampKey& key, QSize size, QPoint origin,
                                               qreal dpr,
                                               const std::function<void(QPainter&)>& draw) {
    if (auto it = m_stamps.find(key); it != m_stamps.end()) {
        return &it->second;
    }
    if (m_cut.count(key)) {
        return nullptr;
    }
    if (size.width() <= 0 || size.height() <= 0 || size.width() > kMaxSide ||
        size.height() > kMaxSide) {
        return nullptr;
    }
    if (m_scratch.width() < size.width() || m_scratch.height() < size.height()) {
        m_scratch = QImage(std::max(size.width(), m_scratch.width()),
                           std::max(size.height(), m_scratch.height()), QImage::Format_RGB32);
    }
    // A view of the scratch memory of exactly the stamp's size, so the painter's device and
    // clip are what they would be on any picture.
    QImage canvas(m_scratch.bits(), size.width(), size.height(), m_scratch.bytesPerLine(),
                  QImage::Format_RGB32);
    canvas.setDevicePixelRatio(dpr);
    canvas.fill(0u);
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing, false);
        draw(painter);
    }

    std::vector<SStampRun> runs;
    for (int y = 0; y < size.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        int x = 0;
        while (x < size.width()) {
            const auto tag = static_cast<uint8_t>(line[x] & 0xFF);
            if (tag == 0) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < size.width() && static_cast<uint8_t>(line[x] & 0xFF) == tag) {
                ++x;
            }
            runs.push_back({static_cast<int16_t>(y - origin.y()),
                            static_cast<int16_t>(start - origin.x()),
                            static_cast<int16_t>(x - origin.x()), tag});
        }
    }
    if (m_scratch.width() > kKeptSide || m_scratch.height() > kKeptSide) {
        canvas = QImage();
        m_scratch = QImage();
    }
    // A shape that reaches the edge of its stamp may go on beyond it (Qt's stepping of a flat
    // ellipse can overshoot its box): such a shape is drawn in place, now and later.
    bool bCut = false;
    for (const SStampRun& run : runs) {
        bCut |= run.x0 == -origin.x() || run.x1 == size.width() - origin.x() ||
                run.dy == -origin.y() || run.dy == size.height() - 1 - origin.y();
    }
    if (bCut) {
        runs.clear();
        m_cut.insert(key);
        return nullptr;
    }
    if (m_nRuns + runs.size() > m_nMaxRuns) {
        // Stamps handed out under a hold are still in use: start again once it ends.
        if (m_nHolds > 0) {
            m_bFull = true;
        } else {
            Clear();
        }
    }
    m_nRuns += runs.size();
    return &m_stamps.emplace(key, std::move(runs)).first->second;
}

void CStampCache::Clear() {
    m_stamps.clear();
    m_cut.clear();
    m_nRuns = 0;
    m_bFull = false;
}
