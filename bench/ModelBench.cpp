// Development of the worst-case morph: measured, drawn onto a surface that only counts, and
// drawn onto the recording surface.
//
// Times on a shared machine wander with its load, so every benchmark also runs a floor (or a
// second subject) in the same iteration and reports its own time divided by that one as an
// "x_..." counter. The ratio is the figure to watch; the time is context.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "NullSurface.h"
#include "model/BioMorph.h"
#include "model/GeneTables.h"
#include "model/RecordingSurface.h"

namespace {

using Clock = std::chrono::steady_clock;

// Four arms of nine segments, each a full binary tree of depth 9.
constexpr int64_t kWorstCaseStrokes = 4 * 9 * 511;

// Depth 9, four arms, nine segments, leaves, with every special gene present (the start-up
// setting), so every stroke pays for the most expensive branch style.
void MakeWorstCase(CBioMorph& morph, int32_t branchStyle) {
    SetDefaultGeneTables();
    g_bRemeasure = 0;
    morph.SetGenes(kBasicGenes);
    morph.ClearGradients();
    morph.SetGene(kGeneDepth, 9);
    morph.SetGene(kGeneSegments, 9);
    morph.SetGene(kGeneRotation, 2);
    morph.SetGene(kGeneBranchStyle, branchStyle);
}

// What development handed a surface for one drawing, flattened so that replaying it costs
// only the surface calls: the floor of any surface, "the same strokes in one batch".
class CPrimitiveList {
public:
    explicit CPrimitiveList(const std::vector<CRecordingSurface::SOp>& ops) {
        for (const CRecordingSurface::SOp& op : ops) {
            m_items.push_back({op.kind, op.state, op.colour, op.rect,
                               static_cast<int>(m_points.size()),
                               static_cast<int>(op.points.size())});
            m_points.insert(m_points.end(), op.points.begin(), op.points.end());
        }
    }

    // Hands every primitive to the surface, changing its state only where the recording did.
    void Replay(IDrawSurface& surface) const {
        using EKind = CRecordingSurface::EKind;
        for (const SItem& item : m_items) {
            if (!(surface.State() == item.state)) {
                surface.SetState(item.state);
            }
            const SPoint* p = m_points.data() + item.nFirst;
            switch (item.kind) {
                case EKind::Pixel:
                    surface.SetPixel(p[0].x, p[0].y, item.colour);
                    break;
                case EKind::Line:
                    surface.Line(p[0].x, p[0].y, p[1].x, p[1].y);
                    break;
                case EKind::Polygon:
                    surface.Polygon(p, item.nCount);
                    break;
                case EKind::Bezier:
                    surface.Bezier13(p);
                    break;
                case EKind::Ellipse:
                    surface.Ellipse(item.rect);
                    break;
                case EKind::FillRect:
                    surface.FillRect(item.rect, item.colour);
                    break;
                case EKind::FrameRect:
                    surface.FrameRect(item.rect, item.colour);
                    break;
                case EKind::Clip:
                    surface.SetClip(&item.rect);
                    break;
                case EKind::Stroke:
                    surface.OnStroke(p[0].x, p[0].y, p[1].x, p[1].y);
                    break;
                case EKind::Joint:
                    surface.OnJoint(p[0].x, p[0].y, p[1].x, p[1].y);
                    break;
            }
        }
    }

    // The end points of every stroke, for the floor of measuring.
    std::vector<SPoint> StrokeEnds() const {
        std::vector<SPoint> ends;
        for (const SItem& item : m_items) {
            if (item.kind == CRecordingSurface::EKind::Stroke) {
                ends.push_back(m_points[item.nFirst]);
                ends.push_back(m_points[item.nFirst + 1]);
            }
        }
        return ends;
    }

private:
    struct SItem {
        CRecordingSurface::EKind kind;
        SDrawState state;
        SRgb colour;
        SRect rect;
        int nFirst;
        int nCount;
    };

    std::vector<SItem> m_items;
    std::vector<SPoint> m_points;
};

// The least any measurement of these strokes must do: take the box of their end points.
SRect BoxOf(const std::vector<SPoint>& points) {
    SRect box{30000, 30000, -30000, -30000};
    for (const SPoint& p : points) {
        box.left = std::min(box.left, p.x);
        box.top = std::min(box.top, p.y);
        box.right = std::max(box.right, p.x);
        box.bottom = std::max(box.bottom, p.y);
    }
    return box;
}

// The worst-case morph, laid out, with one drawing of it recorded for the floors.
struct SWorstCase {
    explicit SWorstCase(int32_t branchStyle) {
        MakeWorstCase(morph, branchStyle);
        morph.Measure(kCentreX, kCentreY, 0);
        CRecordingSurface recording;
        morph.Draw(recording, kCentreX, kCentreY, 0);
        primitives = std::make_unique<CPrimitiveList>(recording.Ops());
        strokeEnds = primitives->StrokeEnds();
        strokes = static_cast<int64_t>(strokeEnds.size() / 2);
    }

    // The centre of a large grid cell; where it is makes no difference to the cost.
    static constexpr int kCentreX = 400;
    static constexpr int kCentreY = 300;

    CBioMorph morph;
    std::unique_ptr<CPrimitiveList> primitives;
    std::vector<SPoint> strokeEnds;
    int64_t strokes = 0;
};

struct SReference {
    std::string name;
    std::function<void()> run;
};

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Runs the subject and then each reference once per iteration, timed apart. The benchmark's
// time is the subject's alone; counter "x_<name>" is the subject's time over the reference's,
// both taken over the same iterations. "strokes" is strokes developed per second.
void RunAgainst(benchmark::State& state, int64_t strokesPerRun,
                const std::function<void()>& subject, const std::vector<SReference>& references) {
    double subjectSeconds = 0.0;
    std::vector<double> referenceSeconds(references.size(), 0.0);
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        subject();
        const double elapsed = Seconds(Clock::now() - start);
        subjectSeconds += elapsed;
        state.SetIterationTime(elapsed);
        for (size_t i = 0; i < references.size(); ++i) {
            const Clock::time_point refStart = Clock::now();
            references[i].run();
            referenceSeconds[i] += Seconds(Clock::now() - refStart);
        }
    }
    state.counters["strokes"] = benchmark::Counter(
        static_cast<double>(strokesPerRun) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
    for (size_t i = 0; i < references.size(); ++i) {
        if (referenceSeconds[i] > 0.0) {
            state.counters["x_" + references[i].name] = subjectSeconds / referenceSeconds[i];
        }
    }
}

// Guards the figures: a changed model that no longer grows the full worst case would make
// every number below meaningless.
bool IsFullWorstCase(benchmark::State& state, const SWorstCase& wc) {
    if (wc.strokes != kWorstCaseStrokes) {
        state.SkipWithError(("the worst-case morph drew " + std::to_string(wc.strokes) +
                             " strokes, not " + std::to_string(kWorstCaseStrokes))
                                .c_str());
        return false;
    }
    return true;
}

// Measuring: the whole development without a surface, against taking the box of the same
// end points from memory.
void BM_Measure(benchmark::State& state) {
    SWorstCase wc(3);
    if (!IsFullWorstCase(state, wc)) {
        return;
    }
    RunAgainst(state, wc.strokes,
               [&] {
                   wc.morph.Measure(SWorstCase::kCentreX, SWorstCase::kCentreY, 0);
                   benchmark::DoNotOptimize(wc.morph.m_rcBounds);
               },
               {{"floor", [&] {
                     SRect box = BoxOf(wc.strokeEnds);
                     benchmark::DoNotOptimize(box);
                 }}});
}

// Drawing onto the counting surface, against handing it the same primitives in one batch.
// The argument is the branch style: 3 (leaves) is the worst case, 0 (plain lines) the
// cheapest stroke.
void BM_DrawNull(benchmark::State& state) {
    SWorstCase wc(static_cast<int32_t>(state.range(0)));
    if (!IsFullWorstCase(state, wc)) {
        return;
    }
    CNullSurface surface;
    CNullSurface floorSurface;
    RunAgainst(state, wc.strokes,
               [&] { wc.morph.Draw(surface, SWorstCase::kCentreX, SWorstCase::kCentreY, 0); },
               {{"floor", [&] { wc.primitives->Replay(floorSurface); }}});
    benchmark::DoNotOptimize(surface.Checksum());
    benchmark::DoNotOptimize(floorSurface.Checksum());
}

// Drawing onto the recording surface, against recording the same primitives directly.
void BM_DrawRecording(benchmark::State& state) {
    SWorstCase wc(3);
    if (!IsFullWorstCase(state, wc)) {
        return;
    }
    CRecordingSurface surface;
    CRecordingSurface floorSurface;
    RunAgainst(state, wc.strokes,
               [&] {
                   surface.Clear();
                   wc.morph.Draw(surface, SWorstCase::kCentreX, SWorstCase::kCentreY, 0);
               },
               {{"floor", [&] {
                     floorSurface.Clear();
                     wc.primitives->Replay(floorSurface);
                 }}});
}

// What a measurement costs next to a drawing of the same morph: "x_null_draw" and
// "x_rec_draw" are measure time over draw time on each surface.
void BM_MeasureVsDraw(benchmark::State& state) {
    SWorstCase wc(3);
    if (!IsFullWorstCase(state, wc)) {
        return;
    }
    CNullSurface nullSurface;
    CRecordingSurface recording;
    RunAgainst(
        state, wc.strokes,
        [&] {
            wc.morph.Measure(SWorstCase::kCentreX, SWorstCase::kCentreY, 0);
            benchmark::DoNotOptimize(wc.morph.m_rcBounds);
        },
        {{"null_draw",
          [&] { wc.morph.Draw(nullSurface, SWorstCase::kCentreX, SWorstCase::kCentreY, 0); }},
         {"rec_draw", [&] {
              recording.Clear();
              wc.morph.Draw(recording, SWorstCase::kCentreX, SWorstCase::kCentreY, 0);
          }}});
}

// Short runs: the ratios settle within a few dozen iterations.
constexpr double kMinSeconds = 0.2;

BENCHMARK(BM_Measure)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(kMinSeconds);
BENCHMARK(BM_DrawNull)
    ->Arg(3)
    ->Arg(0)
    ->ArgName("style")
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(kMinSeconds);
BENCHMARK(BM_DrawRecording)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(kMinSeconds);
BENCHMARK(BM_MeasureVsDraw)->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(kMinSeconds);

}  // namespace
