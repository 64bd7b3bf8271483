#include "view/CellRenderer.h"

#include <QImage>
#include <QSemaphore>
#include <QThread>
#include <QThreadPool>
#include <algorithm>
#include <atomic>
#include <thread>
#include <unordered_map>

#include "model/BioMorph.h"
#include "model/ScaledSurface.h"
#include "platform/QtSurface.h"

namespace {

void DrawJob(QPainter& painter, const QRect& bounds, const SCellJob& job) {
    CQtSurface surface(painter, bounds);
    const SRect& r = job.rcCell;
    const SRect clip{r.left + job.nInset, r.top + job.nInset, r.right - job.nInset,
                     r.bottom - job.nInset};
    surface.SetClip(&clip);
    DrawMorphZoomed(surface, *job.pMorph, job.ptCentre.x, job.ptCentre.y, job.nOrientation,
                    job.nZoom);
    surface.Flush();
}

// The image the painter paints, when it paints one straight (no transform beyond the image's
// own device pixel ratio), so other painters can share its memory.
QImage* PlainImage(QPainter& painter) {
    QPaintDevice* device = painter.device();
    if (!device || device->devType() != QInternal::Image) {
        return nullptr;
    }
    auto* image = static_cast<QImage*>(device);
    const QTransform t = painter.deviceTransform();
    const qreal dpr = image->devicePixelRatio();
    if (t.type() > QTransform::TxScale || t.dx() != 0 || t.dy() != 0 ||
        !qFuzzyCompare(t.m11(), dpr) || !qFuzzyCompare(t.m22(), dpr)) {
        return nullptr;
    }
    return image;
}

}  // namespace

void DrawMorphZoomed(IDrawSurface& surface, CBioMorph& morph, int x, int y, int orientation,
                     int zoom) {
    if (zoom <= 1) {
        morph.Draw(surface, x, y, orientation);
        return;
    }
    CScaledSurface scaled(surface, {x, y}, zoom);
    morph.Draw(scaled, x, y, orientation);
}

void RunDrawing(const std::function<void()>& draw) {
    QThreadPool* pool = QThreadPool::globalInstance();
    if (pool->contains(QThread::currentThread())) {
        draw();
        return;
    }
    QSemaphore done;
    pool->start([&] {
        draw();
        done.release();
    });
    done.acquire();
}

int CellThreadCount() {
    const unsigned cores = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp(cores, 1u, 4u));
}

void RenderCells(QPainter& painter, const QRect& bounds, const std::vector<SCellJob>& jobs,
                 int threads) {
    if (jobs.empty()) {
        return;
    }
    QImage* image = PlainImage(painter);
    if (!image) {
        RunDrawing([&] {
            for (const SCellJob& job : jobs) {
                DrawJob(painter, bounds, job);
                painter.setClipping(false);
            }
        });
        return;
    }

    // A morph keeps its layout and development state in itself: all of its jobs go to one
    // thread, in their order.
    std::vector<std::vector<size_t>> units;
    std::unordered_map<const CBioMorph*, size_t> unitOf;
    for (size_t i = 0; i < jobs.size(); ++i) {
        auto [it, bNew] = unitOf.try_emplace(jobs[i].pMorph, units.size());
        if (bNew) {
            units.emplace_back();
        }
        units[it->second].push_back(i);
    }

    // Each thread paints through its own image over the same memory; bits() is taken here,
    // before any thread starts, so the picture is never copied under them.
    uchar* bits = image->bits();
    const QSize size = image->size();
    const qsizetype stride = image->bytesPerLine();
    const QImage::Format format = image->format();
    const qreal dpr = image->devicePixelRatio();
    std::atomic<size_t> next{0};
    auto work = [&] {
        QImage view(bits, size.width(), size.height(), stride, format);
        view.setDevicePixelRatio(dpr);
        QPainter p(&view);
        p.setRenderHint(QPainter::Antialiasing, false);
        for (size_t u = next.fetch_add(1); u < units.size(); u = next.fetch_add(1)) {
            for (size_t i : units[u]) {
                DrawJob(p, bounds, jobs[i]);
            }
        }
    };
    if (threads <= 0) {
        threads = CellThreadCount();
    }
    const int helpers =
        static_cast<int>(std::min<size_t>(static_cast<size_t>(threads), units.size())) - 1;
    RunDrawing([&] {
        // Helpers only where a pool thread is free now; this thread takes whatever is left.
        QSemaphore done;
        int started = 0;
        for (int t = 0; t < helpers; ++t) {
            if (!QThreadPool::globalInstance()->tryStart([&] {
                    work();
                    done.release();
                })) {
                break;
            }
            ++started;
        }
        work();
        done.acquire(started);
    });
}
