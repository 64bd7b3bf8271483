// Drawing and breeding in the window, each reported against a floor measured in the same run:
// for repaints, drawing the same strokes in one batch; for breeding and Repeat, the interval
// the user waits between steps.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <cstring>
#include <memory>

#include "NullSurface.h"
#include "frame/GeneBar.h"
#include "frame/MainFrame.h"
#include "model/Random.h"
#include "model/RecordingSurface.h"
#include "model/ScaledSurface.h"
#include "platform/InkGeometry.h"
#include "platform/QtSurface.h"
#include "support/FakeClock.h"
#include "support/FakeDialogs.h"
#include "view/CellRenderer.h"
#include "view/MorphDrag.h"
#include "view/QuorvaleView.h"

namespace {

// Depth 9, four arms, nine segments: the largest morph mutation can reach.
const std::array<int32_t, kGeneCount> kWorstGenes = {40, -30, 20, -40, 30, -20, 10, 40, 9, 9,
                                                     12, 0,   2,  100, 0,  1,   2,  1,  0};

struct SWindow {
    std::unique_ptr<CQuorvaleDoc> doc;
    std::unique_ptr<CMainFrame> frame;
    CFakeClock clock;
    CFakeDialogs dialogs;

    SWindow(int cols, int rows, bool bWorst)
        : SWindow(cols, rows, bWorst ? &kWorstGenes : nullptr) {}

    SWindow(int cols, int rows, const std::array<int32_t, kGeneCount>* genes) {
        SetDefaultGeneTables();
        SeedRandom(7);
        doc = std::make_unique<CQuorvaleDoc>();
        frame = std::make_unique<CMainFrame>(doc.get());
        frame->SetDialogs(&dialogs);
        doc->OnNewDocument();
        frame->resize(1600, 1080);
        View()->OnInitialUpdate();
        View()->SetClock(&clock);
        View()->SetGridSize(cols, rows);
        doc->DeleteOffspring();
        for (int i = 0; i < cols * rows - 1; ++i) {
            doc->AddOffspring();
        }
        if (genes) {
            doc->m_pCurrent->SetGenes(*genes);
            doc->m_pCurrent->ClearGradients();
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

// The heaviest morphs within the gene limits, one for each thing that makes drawing costly.
struct SHeavyKind {
    const char* name;
    std::array<int32_t, kGeneCount> genes;
};
const SHeavyKind kHeavyKinds[] = {
    // Depth 9, nine segments, four arms: 18,396 one-pixel strokes.
    {"most strokes", kWorstGenes},
    // The widest pens: 10 and 10 more at each level down, to 90 pixels.
    {"thick tapering", {40, -30, 20, -40, 30, -20, 10, 40, 9, 9, 12, 0, 2, 100, 0, 1, 2, 10, 10}},
    // A filled leaf on every stroke.
    {"leaves", {40, -30, 20, -40, 30, -20, 10, 40, 9, 9, 12, 0, 2, 100, 3, 1, 2, 1, 0}},
    // A round tip twice the pen's width on every stroke, with the widest pens.
    {"round tips", {40, -30, 20, -40, 30, -20, 10, 40, 9, 9, 12, 0, 2, 100, 2, 1, 2, 10, 10}},
    // Spread over the whole cell, with leaves and the widest pens.
    {"widest spread",
     {-40, 40, -40, 40, -40, 40, -40, 40, 9, 9, 30, 1, 2, 100, 3, 50, 100, 10, 10}},
};

// What Qt alone must do to draw a grid: every cell's primitives, as development hands them to
// the surface, given to the painter with the cell's clip, consecutive lines of one pen in one
// drawLines call. Primitives that cannot touch the cell are left out beforehand, as the surface
// leaves them out, so the floor pays only for what reaches the picture.
class CQtFloor {
public:
    explicit CQtFloor(CQuorvaleView& view) {
        const int zoom = view.Zoom();
        const SGridGeometry grid = view.Grid();
        const int o = view.Doc().m_nOrientation;
        for (int cell = 0; cell < grid.nCols * grid.nRows; ++cell) {
            const SRect r = grid.CellRect(cell);
            const SRect clip{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
            SCell c;
            c.clip = QRect(clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top);
            CRecordingSurface rec;
            const SPoint centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            // Zoomed, the same primitives the view draws: scaled about the cell's centre.
            CScaledSurface scaled(rec, centre, zoom);
            view.CellMorph(cell)->Draw(zoom > 1 ? static_cast<IDrawSurface&>(scaled) : rec,
                                       centre.x, centre.y, o);
            for (const CRecordingSurface::SOp& op : rec.Ops()) {
                Add(c, op);
            }
            m_cells.push_back(std::move(c));
        }
    }

    void Draw(QImage& image) const {
        image.fill(Qt::white);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        for (const SCell& c : m_cells) {
            p.setClipRect(c.clip);
            const SDrawState* applied = nullptr;
            for (const SItem& item : c.items) {
                const SDrawState& st = m_states[item.nState];
                if (applied != &st) {
                    Apply(p, st);
                    applied = &st;
                }
                switch (item.kind) {
                    case EItem::Lines:
                        p.drawLines(&c.lines[item.nFirst], item.nCount);
                        break;
                    case EItem::Point:
                        p.drawPoint(c.points[item.nFirst]);
                        break;
                    case EItem::Polygon:
                        p.drawPolygon(&c.points[item.nFirst], item.nCount);
                        break;
                    case EItem::Path:
                        p.drawPath(c.paths[item.nFirst]);
                        break;
                    case EItem::Ellipse:
                        p.drawEllipse(c.rects[item.nFirst]);
                        break;
                }
            }
        }
    }

    int64_t Primitives() const {
        int64_t n = 0;
        for (const SCell& c : m_cells) {
            for (const SItem& item : c.items) {
                n += item.kind == EItem::Lines ? item.nCount : 1;
            }
        }
        return n;
    }

private:
    enum class EItem { Lines, Point, Polygon, Path, Ellipse };
    struct SItem {
        EItem kind;
        int nState;
        int nFirst;
        int nCount;
    };
    struct SCell {
        QRect clip;
        std::vector<SItem> items;
        std::vector<QLine> lines;
        std::vector<QPoint> points;
        std::vector<QPainterPath> paths;
        std::vector<QRect> rects;
    };

    static void Apply(QPainter& p, const SDrawState& s) {
        QPen pen(QColor(s.penColour.r, s.penColour.g, s.penColour.b));
        if (s.nPenWidth <= 1) {
            pen.setWidth(0);
            pen.setCapStyle(Qt::FlatCap);
        } else {
            pen.setWidth(s.nPenWidth);
            pen.setCapStyle(Qt::RoundCap);
            pen.setJoinStyle(Qt::RoundJoin);
        }
        p.setPen(pen);
        p.setBrush(QColor(s.brushColour.r, s.brushColour.g, s.brushColour.b));
        p.setCompositionMode(s.rop == ERop::Xor ? QPainter::RasterOp_SourceXorDestination
                                                : QPainter::CompositionMode_SourceOver);
    }

    int StateIndex(const SDrawState& s) {
        for (size_t i = 0; i < m_states.size(); ++i) {
            if (m_states[i] == s) {
                return static_cast<int>(i);
            }
        }
        m_states.push_back(s);
        return static_cast<int>(m_states.size() - 1);
    }

    static bool Misses(const QRect& clip, const std::vector<SPoint>& pts, int pen) {
        int l = pts[0].x, t = pts[0].y, r = l, b = t;
        for (const SPoint& q : pts) {
            l = std::min(l, q.x);
            r = std::max(r, q.x);
            t = std::min(t, q.y);
            b = std::max(b, q.y);
        }
        return r + pen < clip.left() || l - pen > clip.right() || b + pen < clip.top() ||
               t - pen > clip.bottom();
    }

    void Add(SCell& c, const CRecordingSurface::SOp& op) {
        using EKind = CRecordingSurface::EKind;
        const int pen = std::max(op.state.nPenWidth, 1);
        const int state = StateIndex(op.state);
        switch (op.kind) {
            case EKind::Line: {
                if (Misses(c.clip, op.points, pen)) {
                    return;
                }
                const SPoint a = op.points[0];
                const SPoint b = op.points[1];
                if (a == b) {
                    if (pen > 1) {
                        c.items.push_back({EItem::Point, state, int(c.points.size()), 1});
                        c.points.emplace_back(a.x, a.y);
                    }
                    return;
                }
                if (c.items.empty() || c.items.back().kind != EItem::Lines ||
                    c.items.back().nState != state) {
                    c.items.push_back({EItem::Lines, state, int(c.lines.size()), 0});
                }
                c.lines.emplace_back(a.x, a.y, b.x, b.y);
                ++c.items.back().nCount;
                return;
            }
            case EKind::Polygon: {
                if (Misses(c.clip, op.points, pen)) {
                    return;
                }
                c.items.push_back(
                    {EItem::Polygon, state, int(c.points.size()), int(op.points.size())});
                for (const SPoint& q : op.points) {
                    c.points.emplace_back(q.x, q.y);
                }
                return;
            }
            case EKind::Bezier: {
                if (Misses(c.clip, op.points, pen)) {
                    return;
                }
                QPainterPath path(QPointF(op.points[0].x, op.points[0].y));
                for (int i = 1; i + 2 < 13; i += 3) {
                    path.cubicTo(QPointF(op.points[i].x, op.points[i].y),
                                 QPointF(op.points[i + 1].x, op.points[i + 1].y),
                                 QPointF(op.points[i + 2].x, op.points[i + 2].y));
                }
                path.closeSubpath();
                c.items.push_back({EItem::Path, state, int(c.paths.size()), 1});
                c.paths.push_back(path);
                return;
            }
            case EKind::Ellipse: {
                const SRect n = op.rect.Normalised();
                if (Misses(c.clip, {{n.left, n.top}, {n.right, n.bottom}}, pen) ||
                    n.right - n.left < 2 || n.bottom - n.top < 2) {
                    return;
                }
                c.items.push_back({EItem::Ellipse, state, int(c.rects.size()), 1});
                c.rects.emplace_back(n.left, n.top, n.right - n.left - 1, n.bottom - n.top - 1);
                return;
            }
            default:
                // Origin pixels and joints: a handful per cell, left to the subject.
                return;
        }
    }

    std::vector<SDrawState> m_states;
    std::vector<SCell> m_cells;
};

// A full repaint of a 9 x 7 grid of one heavy kind on 1 or 2 threads, against the Qt floor
// (clearing a picture of the same size and drawing the same primitives cell by cell) on one
// thread of Qt's pool, in the same iterations. x_floor is repaint / floor.
void BM_RepaintHeavyGrid9x7(benchmark::State& state) {
    const SHeavyKind& kind = kHeavyKinds[state.range(0)];
    const int threads = static_cast<int>(state.range(1));
    const int zoom = static_cast<int>(state.range(2));
    SWindow w(9, 7, &kind.genes);
    w.View()->SetCellThreads(threads);
    w.View()->SetZoom(zoom);
    state.SetLabel(std::string(kind.name) + (threads == 1 ? ", 1 thread" : ", 2 threads") +
                   (zoom > 1 ? ", zoom " + std::to_string(zoom) : std::string()));
    const CQtFloor floor(*w.View());
    QImage floorImage(w.View()->ScreenImage().size(), QImage::Format_RGB32);
    // For profiling the repaint alone.
    const bool bNoFloor = qEnvironmentVariableIsSet("QUORVALE_BENCH_NO_FLOOR");
    double repaintSeconds = 0;
    double floorSeconds = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        w.View()->Invalidate();
        benchmark::DoNotOptimize(w.View()->ScreenImage().constBits());
        auto t1 = std::chrono::steady_clock::now();
        // On Qt's pool, as the repaint draws: elsewhere Qt would hand each large fill to the
        // pool and wait, which would only make the floor slower.
        if (!bNoFloor) {
            RunDrawing([&] { floor.Draw(floorImage); });
        }
        benchmark::DoNotOptimize(floorImage.constBits());
        auto t2 = std::chrono::steady_clock::now();
        repaintSeconds += std::chrono::duration<double>(t1 - t0).count();
        floorSeconds += std::chrono::duration<double>(t2 - t1).count();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["primitives"] = static_cast<double>(floor.Primitives());
    state.counters["repaint_ms"] = 1000.0 * repaintSeconds / n;
    state.counters["floor_ms"] = 1000.0 * floorSeconds / n;
    state.counters["x_floor"] = floorSeconds > 0 ? repaintSeconds / floorSeconds : 0;
}

// The view of a 9 x 7 grid of one heavy kind saved as an SVG drawing (output 0) or printed on
// a page of a PDF file (output 1): the picture drawn the screen's way and traced into shapes,
// then written. The floor, in the same iterations, is a repaint of the same picture, so
// x_floor says how much the tracing and writing add to drawing it.
void BM_ExportHeavyGrid9x7(benchmark::State& state) {
    const SHeavyKind& kind = kHeavyKinds[state.range(0)];
    const bool bPdf = state.range(1) == 1;
    SWindow w(9, 7, &kind.genes);
    state.SetLabel(std::string(kind.name) + (bPdf ? ", PDF page" : ", SVG"));
    const QString path = QDir::temp().filePath(QString("quorvale-bench-%1.%2")
                                                   .arg(QCoreApplication::applicationPid())
                                                   .arg(bPdf ? "pdf" : "svg"));
    double exportSeconds = 0;
    double floorSeconds = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        if (bPdf) {
            QPdfWriter pdf(path);
            pdf.setResolution(1200);
            QPainter painter(&pdf);
            const QRect printable = pdf.pageLayout().paintRectPixels(pdf.resolution());
            w.View()->OnDrawPrinter(painter, QRect(QPoint(0, 0), printable.size()));
        } else {
            benchmark::DoNotOptimize(w.View()->ExportPicture(path, 1, nullptr));
        }
        auto t1 = std::chrono::steady_clock::now();
        w.View()->Invalidate();
        benchmark::DoNotOptimize(w.View()->ScreenImage().constBits());
        auto t2 = std::chrono::steady_clock::now();
        exportSeconds += std::chrono::duration<double>(t1 - t0).count();
        floorSeconds += std::chrono::duration<double>(t2 - t1).count();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["rects"] =
        static_cast<double>(CInkGeometry(w.View()->ScreenImage()).RectCount());
    state.counters["file_kb"] = static_cast<double>(QFileInfo(path).size()) / 1024.0;
    state.counters["export_ms"] = 1000.0 * exportSeconds / n;
    state.counters["floor_ms"] = 1000.0 * floorSeconds / n;
    state.counters["x_floor"] = floorSeconds > 0 ? exportSeconds / floorSeconds : 0;
    QFile::remove(path);
}

void BM_StartupToFirstPaint(benchmark::State& state) {
    for (auto _ : state) {
        SWindow w(5, 3, false);
        benchmark::DoNotOptimize(w.View()->ScreenImage().constBits());
    }
}

// The work of one breeding step apart from its fixed pauses (the fake clock skips them), as a
// share of Repeat's 1.2 s interval in Breed mode.
// CPU time (user and system) of another process, in seconds: with QUORVALE_BENCH_SERVER_PID
// naming the display server, the breeding step counts the server's share of its work too.
double ProcessCpuSeconds(const QByteArray& pid) {
    QFile stat("/proc/" + pid + "/stat");
    if (pid.isEmpty() || !stat.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray text = stat.readAll();
    // The fields after the command name, which is in parentheses and may hold spaces.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) {
        return 0;
    }
    return (fields[11].toDouble() + fields[12].toDouble()) /
           static_cast<double>(sysconf(_SC_CLK_TCK));
}

void BM_BreedingStep(benchmark::State& state) {
    const int cols = static_cast<int>(state.range(0));
    const int rows = static_cast<int>(state.range(1));
    SWindow w(cols, rows, state.range(2) == 1);
    w.frame->show();
    QCoreApplication::processEvents();
    const QByteArray server = qgetenv("QUORVALE_BENCH_SERVER_PID");
    double seconds = 0;
    double serverSeconds = 0;
    for (auto _ : state) {
        const double s0 = ProcessCpuSeconds(server);
        auto t0 = std::chrono::steady_clock::now();
        w.View()->BreedFromCell(
            static_cast<int>(NextRandom() % static_cast<uint32_t>(cols * rows)));
        QCoreApplication::processEvents();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        serverSeconds += ProcessCpuSeconds(server) - s0;
        if (state.range(2) == 1) {
            // Breeding again from the worst morph, so every step draws the heaviest grid.
            w.doc->m_pCurrent->SetGenes(kWorstGenes);
            w.doc->m_pCurrent->ClearGradients();
            for (auto& child : w.doc->m_listOffspring) {
                child->CopyGenome(*w.doc->m_pCurrent);
            }
        }
    }
    const double steps = static_cast<double>(state.iterations());
    state.counters["share_of_1200ms"] = seconds / steps / 1.2;
    if (!server.isEmpty()) {
        state.counters["server_ms"] = 1000.0 * serverSeconds / steps;
        state.counters["share_with_server"] = (seconds + serverSeconds) / steps / 1.2;
    }
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

// One pointer move over the gene-space triangle: the old live morph's area restored from the
// kept picture, the blend made, drawn and shown. Its floor, in the same iterations: copying the
// morph's area between two pictures of the window's size and drawing the same morph at the
// same point (argument `corners`: 0 the new document's morph at every corner, 1 the worst
// morph).
void BM_TrianglePointerMove(benchmark::State& state) {
    SWindow w(5, 3, state.range(0) == 1);
    CQuorvaleDoc& doc = *w.doc;
    for (auto* corner : {&doc.m_pTriTop, &doc.m_pTriLeft, &doc.m_pTriRight}) {
        (*corner)->CopyGenome(*doc.m_pCurrent);
    }
    w.View()->SetMode(kModeTriangle);
    w.View()->ScreenImage();
    const QImage kept = w.View()->Screen().copy();
    QImage target = kept.copy();
    QRect box;
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
        for (int y = box.top(); y <= box.bottom(); ++y) {
            std::memcpy(target.scanLine(y) + box.left() * 4, kept.constScanLine(y) + box.left() * 4,
                        static_cast<size_t>(box.width()) * 4);
        }
        {
            QPainter painter(&target);
            CQtSurface surface(painter, target.rect());
            doc.m_pTriMorph->Develop(&surface, p.x(), p.y(), doc.m_nOrientation, 1);
            surface.Flush();
            box = surface.Touched();
        }
        benchmark::DoNotOptimize(target.constBits());
        auto t2 = std::chrono::steady_clock::now();
        moveSeconds += std::chrono::duration<double>(t1 - t0).count();
        floorSeconds += std::chrono::duration<double>(t2 - t1).count();
    }
    state.counters["move_ms"] = 1000.0 * moveSeconds / static_cast<double>(state.iterations());
    state.counters["x_floor"] = floorSeconds > 0 ? moveSeconds / floorSeconds : 0;
}

// Memory of this process, in kB: its resident size now ("VmRSS") or its peak ("VmHWM").
double ProcessMemoryKb(const char* field) {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(static_cast<int>(std::strlen(field)) + 1)
                .trimmed()
                .split(' ')[0]
                .toDouble();
        }
    }
    return 0;
}

// What a Ctrl+drag of a huge morph at the largest zoom makes before the drag starts: its .bio
// file, its picture and the picture's PNG file (argument `zoom`). The morph spans thousands of
// pixels at 1x; the picture is held to the drag's own size. Its floor, in the same
// iterations, is developing the same morph onto a surface that only counts, so `x_floor` is
// what drawing and writing the picture add to knowing the strokes. `picture_side` is the
// picture's longer side, `peak_rss_growth_MB` how far the process's peak memory rose during
// the drags and `peak_rss_MB` the peak of the whole process, window and all.
void BM_DragPictureOfAHugeMorph(benchmark::State& state) {
    // The vector genes at their limits, depth and segments 9, radial, the widest spacing and
    // scaling, thick tapering pens: a morph some thousands of pixels across.
    static const std::array<int32_t, kGeneCount> kHuge = {
        400, 400, 400, 400, 400, 400, 400, 400, 9, 9, 100, 1, 2, 400, 3, 10, 10, 10, 10};
    SWindow w(5, 3, &kHuge);
    w.View()->SetZoom(static_cast<int>(state.range(0)));
    CBioMorph& morph = *w.doc->m_pCurrent;
    const double peakBefore = ProcessMemoryKb("VmHWM:");
    double dragSeconds = 0;
    double floorSeconds = 0;
    int side = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        std::unique_ptr<QMimeData> data(w.View()->MorphDrag().MimeFor(morph));
        auto t1 = std::chrono::steady_clock::now();
        CNullSurface null;
        morph.Develop(&null, 0, 0, w.doc->m_nOrientation, 1);
        benchmark::DoNotOptimize(null.Checksum());
        auto t2 = std::chrono::steady_clock::now();
        const QImage picture = data ? qvariant_cast<QImage>(data->imageData()) : QImage();
        side = std::max(picture.width(), picture.height());
        dragSeconds += std::chrono::duration<double>(t1 - t0).count();
        floorSeconds += std::chrono::duration<double>(t2 - t1).count();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["drag_ms"] = 1000.0 * dragSeconds / n;
    state.counters["x_floor"] = floorSeconds > 0 ? dragSeconds / floorSeconds : 0;
    state.counters["picture_side"] = side;
    state.counters["peak_rss_growth_MB"] = (ProcessMemoryKb("VmHWM:") - peakBefore) / 1024.0;
    state.counters["peak_rss_MB"] = ProcessMemoryKb("VmHWM:") / 1024.0;
}

BENCHMARK(BM_DragPictureOfAHugeMorph)
    ->Arg(1)
    ->Arg(4)
    ->ArgName("zoom")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5);
BENCHMARK(BM_TrianglePointerMove)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("corners")
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5);
BENCHMARK(BM_RepaintWorstGrid9x7)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_RepaintHeavyGrid9x7)
    ->ArgsProduct({{0, 1, 2, 3, 4}, {1, 2}, {1}})
    ->ArgsProduct({{0, 1, 2, 3, 4}, {2}, {4}})
    ->ArgNames({"kind", "threads", "zoom"})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5);
BENCHMARK(BM_RepaintDefaultGrid5x3)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_ExportHeavyGrid9x7)
    ->ArgsProduct({{0, 1, 2, 3, 4}, {0, 1}})
    ->ArgNames({"kind", "pdf"})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5);
BENCHMARK(BM_StartupToFirstPaint)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_BreedingStep)
    ->Args({5, 3, 0})
    ->Args({9, 7, 1})
    ->ArgNames({"cols", "rows", "worst"})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5);
BENCHMARK(BM_RepeatStepEngineer)->Unit(benchmark::kMillisecond)->MinTime(0.5);

}  // namespace

int main(int argc, char** argv) {
    // Offscreen unless told otherwise: QT_QPA_PLATFORM=xcb on a display lets the breeding step
    // be measured with the display server's share (see README).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
