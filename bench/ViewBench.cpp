// Drawing and breeding in the window, each reported against a floor measured in the same run:
// for repaints, drawing the same strokes in one batch; for breeding and Repeat, the interval
// the user waits between steps.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <memory>

#include "frame/GeneBar.h"
#include "frame/MainFrame.h"
#include "model/Random.h"
#include "model/RecordingSurface.h"
#include "support/FakeClock.h"
#include "view/QuorvaleView.h"

namespace {

// Depth 9, four arms, nine segments: the largest morph mutation can reach.
void MakeWorstCase(CBioMorph& m) {
    const std::array<int32_t, kGeneCount> genes = {40, -30, 20, -40, 30, -20, 10, 40, 9, 9,
                                                   12, 0,   2,  100, 0,  1,   2,  1,  0};
    m.SetGenes(genes);
    m.ClearGradients();
}

struct SWindow {
    std::unique_ptr<CQuorvaleDoc> doc;
    std::unique_ptr<CMainFrame> frame;
    CFakeClock clock;

    SWindow(int cols, int rows, bool bWorst) {
        SetDefaultGeneTables();
        SeedRandom(7);
        doc = std::make_unique<CQuorvaleDoc>();
        frame = std::make_unique<CMainFrame>(doc.get());
        frame->m_showMessage = [](const QString&) {};
        doc->OnNewDocument();
        frame->resize(1600, 1080);
        View()->OnInitialUpdate();
        View()->SetClock(&clock);
        View()->SetGridSize(cols, rows);
        doc->DeleteOffspring();
        for (int i = 0; i < cols * rows - 1; ++i) {
            doc->AddOffspring();
        }
        if (bWorst) {
            MakeWorstCase(*doc->m_pCurrent);
            for (auto& child : doc->m_listOffspring) {
                child->CopyGenome(*doc->m_pCurrent);
            }
        } else {
            doc->RespawnOffspring();
        }
        frame->show();
        QCoreApplication::processEvents();
    }
    CQuorvaleView* View() { return frame->View(); }

    // Every stroke of every cell, as the grid would draw it, for the batched floor.
    std::vector<QLine> AllStrokes() {
        CRecordingSurface rec;
        const SGridGeometry grid = View()->Grid();
        for (int cell = 0; cell < grid.nCols * grid.nRows; ++cell) {
            const SRect r = grid.CellRect(cell);
            View()->CellMorph(cell)->Draw(rec, (r.left + r.right) / 2, (r.top + r.bottom) / 2, 0);
        }
        std::vector<QLine> lines;
        for (const auto& op : rec.OpsOf(CRecordingSurface::EKind::Line)) {
            lines.emplace_back(op.points[0].x, op.points[0].y, op.points[1].x, op.points[1].y);
        }
        return lines;
    }
};

void Repaint(benchmark::State& state, int cols, int rows, bool bWorst) {
    SWindow w(cols, rows, bWorst);
    const std::vector<QLine> lines = w.AllStrokes();
    QImage floorImage(w.View()->size(), QImage::Format_RGB32);
    double repaintSeconds = 0;
    double floorSeconds = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        w.View()->Invalidate();
        benchmark::DoNotOptimize(w.View()->ScreenImage().constBits());
        auto t1 = std::chrono::steady_clock::now();
        {
            floorImage.fill(Qt::white);
            QPainter p(&floorImage);
            p.setClipRect(floorImage.rect());
            p.setPen(QPen(Qt::black, 0));
            p.drawLines(lines.data(), static_cast<int>(lines.size()));
        }
        auto t2 = std::chrono::steady_clock::now();
        repaintSeconds += std::chrono::duration<double>(t1 - t0).count();
        floorSeconds += std::chrono::duration<double>(t2 - t1).count();
    }
    state.counters["strokes"] = static_cast<double>(lines.size());
    state.counters["repaint_ms"] =
        1000.0 * repaintSeconds / static_cast<double>(state.iterations());
    state.counters["floor_ms"] = 1000.0 * floorSeconds / static_cast<double>(state.iterations());
    state.counters["x_floor"] = floorSeconds > 0 ? repaintSeconds / floorSeconds : 0;
}

void BM_RepaintWorstGrid9x7(benchmark::State& state) {
    Repaint(state, 9, 7, true);
}
void BM_RepaintDefaultGrid5x3(benchmark::State& state) {
    Repaint(state, 5, 3, false);
}

void BM_StartupToFirstPaint(benchmark::State& state) {
    for (auto _ : state) {
        SWindow w(5, 3, false);
        benchmark::DoNotOptimize(w.View()->ScreenImage().constBits());
    }
}

// The work of one breeding step apart from its fixed pauses (the fake clock skips them), as a
// share of Repeat's 1.2 s interval in Breed mode.
void BM_BreedingStep(benchmark::State& state) {
    SWindow w(5, 3, false);
    double seconds = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        w.View()->BreedFromCell(NextRandom() % 15);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    state.counters["share_of_1200ms"] = seconds / static_cast<double>(state.iterations()) / 1.2;
}

// One Repeat step in Engineer mode with its repaint, as a share of the 200 ms interval.
void BM_RepeatStepEngineer(benchmark::State& state) {
    SWindow w(5, 3, false);
    w.View()->SetMode(kModeEngineer);
    w.View()->SetLastEvolve(evolveMutate);
    w.frame->GeneBar()->EnableRepeat(true);
    w.frame->GeneBar()->SetRepeatChecked(true);
    double seconds = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        w.View()->RepeatStep();
        benchmark::DoNotOptimize(w.View()->ScreenImage().constBits());
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        if (w.doc->m_listFossils.size() > 900) {
            w.doc->DeleteFossils();
        }
    }
    state.counters["share_of_200ms"] = seconds / static_cast<double>(state.iterations()) / 0.2;
}

// One pointer move over the gene-space triangle: the kept picture restored, the blend made
// and drawn live. Against the floor of restoring the picture alone.
void BM_TrianglePointerMove(benchmark::State& state) {
    SWindow w(5, 3, false);
    w.View()->SetMode(kModeTriangle);
    w.View()->ScreenImage();
    const QPoint a(w.View()->width() / 2, w.View()->height() / 2);
    int step = 0;
    double moveSeconds = 0;
    double floorSeconds = 0;
    for (auto _ : state) {
        const QPoint p = a + QPoint(step % 40, (step / 40) % 40);
        ++step;
        auto t0 = std::chrono::steady_clock::now();
        QMouseEvent move(QEvent::MouseMove, p, w.View()->mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(w.View(), &move);
        auto t1 = std::chrono::steady_clock::now();
        QImage copy = w.View()->Screen().copy();
        benchmark::DoNotOptimize(copy.constBits());
        auto t2 = std::chrono::steady_clock::now();
        moveSeconds += std::chrono::duration<double>(t1 - t0).count();
        floorSeconds += std::chrono::duration<double>(t2 - t1).count();
    }
    state.counters["move_ms"] = 1000.0 * moveSeconds / static_cast<double>(state.iterations());
    state.counters["x_floor"] = floorSeconds > 0 ? moveSeconds / floorSeconds : 0;
}

BENCHMARK(BM_TrianglePointerMove)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_RepaintWorstGrid9x7)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_RepaintDefaultGrid5x3)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_StartupToFirstPaint)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_BreedingStep)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_RepeatStepEngineer)->Unit(benchmark::kMillisecond)->MinTime(0.5);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
