// The drawing surface copies repeated shapes from stamps instead of handing each to Qt; the
// pictures must be the very pixels Qt draws, wherever the shape lands, whatever the clip.
#include <QImage>
#include <QPainter>
#include <QtTest>
#include <climits>
#include <random>

#include "model/BioMorph.h"
#include "model/ScaledSurface.h"
#include "platform/QtSurface.h"
#include "platform/ShapeStamps.h"

namespace {

using Genes = std::array<int32_t, kGeneCount>;

// Random primitives of the kinds development draws (wide lines and dots, four-point polygons,
// leaves of four arcs, tips, pixels and rectangles set outright), in runs that share a state,
// the way development hands them over.
void DrawRandom(IDrawSurface& surface, uint32_t seed, QSize size) {
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto colour = [&] {
        return SRgb{static_cast<uint8_t>(pick(0, 255)), static_cast<uint8_t>(pick(0, 255)),
                    static_cast<uint8_t>(pick(0, 255))};
    };
    for (int run = 0; run < 60; ++run) {
        if (pick(0, 9) == 0) {
            const SRect clip{pick(-20, size.width() / 2), pick(-20, size.height() / 2),
                             pick(size.width() / 2, size.width() + 20),
                             pick(size.height() / 2, size.height() + 20)};
            surface.SetClip(pick(0, 2) == 0 ? nullptr : &clip);
        }
        surface.SetPen(pick(0, 4) == 0 ? 1 : pick(2, 130), colour());
        surface.SetBrush(colour());
        surface.SetRop(pick(0, 5) == 0 ? ERop::Xor : ERop::Copy);
        const int kind = pick(0, 6);
        for (int n = pick(1, 40); n > 0; --n) {
            const int x = pick(-150, size.width() + 150);
            const int y = pick(-150, size.height() + 150);
            const int dx = pick(0, 3) == 0 ? 0 : pick(-200, 200);
            const int dy = pick(-200, 200);
            switch (kind) {
                case 0:
                    surface.Line(x, y, x + dx, y + dy);
                    break;
                case 1:
                    surface.Line(x, y, x, y);
                    break;
                case 2: {
                    const SPoint a{x + dy / 3, y - dx / 3};
                    const SPoint path[4] = {a, {x - dy / 3, y + dx / 3}, {x + dx, y + dy}, a};
                    surface.Polygon(path, 4);
                    break;
                }
                case 3: {
                    SPoint points[13];
                    for (int i = 0; i < 13; ++i) {
                        points[i] = {x + pick(-60, 60), y + pick(-60, 60)};
                    }
                    points[12] = points[0];
                    surface.Bezier13(points);
                    break;
                }
                case 4:
                    surface.Ellipse({x, y, x + dx, y + dy});
                    break;
                case 5:
                    // Set outright in the middle of shapes changed by XOR.
                    surface.SetPixel(x, y, colour());
                    break;
                default:
                    if (n % 2) {
                        surface.FillRect({x, y, x + dx / 4, y + dy / 4}, colour());
                    } else {
                        surface.FrameRect({x, y, x + dx, y + dy}, colour());
                    }
                    break;
            }
        }
    }
}

QImage Draw(QSize size, qreal dpr, bool bStamping, const std::function<void(IDrawSurface&)>& f) {
    QImage image(size * dpr, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::white);
    QPainter painter(&image);
    CQtSurface surface(painter, QRect(QPoint(0, 0), size));
    surface.SetStamping(bStamping);
    f(surface);
    surface.Flush();
    return image;
}

int DifferentPixels(const QImage& a, const QImage& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            n += a.pixel(x, y) != b.pixel(x, y);
        }
    }
    return n;
}

}  // namespace

class CSurfaceTest : public QObject {
    Q_OBJECT

private slots:
    void stampedShapesAreQtsOwnPixels_data() {
        QTest::addColumn<uint32_t>("seed");
        QTest::addColumn<qreal>("dpr");
        for (uint32_t seed = 1; seed <= 24; ++seed) {
            QTest::addRow("seed %u", seed) << seed << qreal(1);
        }
        for (uint32_t seed = 101; seed <= 106; ++seed) {
            QTest::addRow("seed %u at device pixel ratio 2", seed) << seed << qreal(2);
        }
    }
    void stampedShapesAreQtsOwnPixels() {
        QFETCH(uint32_t, seed);
        QFETCH(qreal, dpr);
        const QSize size(420, 300);
        auto draw = [&](IDrawSurface& s) { DrawRandom(s, seed, size); };
        // Twice with stamps: the second time every shape comes from the cache.
        const QImage qt = Draw(size, dpr, false, draw);
        QCOMPARE(DifferentPixels(Draw(size, dpr, true, draw), qt), 0);
        QCOMPARE(DifferentPixels(Draw(size, dpr, true, draw), qt), 0);
    }

    // A cache that fills up in the middle of a group of shapes drawn together must not let go
    // of the stamps the group has already taken. A cache of a few hundred runs fills up
    // every few shapes, so every group meets it.
    void stampsLastThroughACacheThatFillsUp() {
        const QSize size(420, 300);
        CStampCache& cache = CStampCache::ForThisThread();
        cache.SetMaxRuns(300);
        for (uint32_t seed = 1; seed <= 8; ++seed) {
            auto draw = [&](IDrawSurface& s) { DrawRandom(s, seed, size); };
            QCOMPARE(DifferentPixels(Draw(size, 1, true, draw), Draw(size, 1, false, draw)), 0);
        }
        cache.SetMaxRuns(CStampCache::kMaxRuns);
    }

    // Shapes changed by XOR are applied late, all together; a shape set outright over them
    // must still come out on top of the ones before it and under the ones after.
    void shapesSetOutrightOverShapesChangedByXor() {
        const QSize size(300, 200);
        auto draw = [](IDrawSurface& s) {
            const SRgb red{200, 30, 30}, blue{20, 40, 220}, green{10, 160, 40};
            for (int pass = 0; pass < 2; ++pass) {
                s.SetRop(ERop::Xor);
                s.SetPen(30, red);
                s.SetBrush(blue);
                s.Line(60, 100, 240, 100);
                s.Ellipse({100, 50, 200, 150});
                s.SetRop(ERop::Copy);
                s.SetPen(12, green);
                s.Line(150, 30, 150, 170);
                const SPoint tri[4] = {{80, 60}, {220, 70}, {140, 160}, {80, 60}};
                s.Polygon(tri, 4);
                s.SetPen(1, blue);
                s.Line(70, 90, 230, 120);
                s.SetPixel(120, 100, green);
                s.FillRect({180, 90, 200, 110}, red);
            }
            s.SetRop(ERop::Xor);
            s.SetPen(20, blue);
            s.Line(70, 140, 230, 60);
        };
        QCOMPARE(DifferentPixels(Draw(size, 1, true, draw), Draw(size, 1, false, draw)), 0);
        QCOMPARE(DifferentPixels(Draw(size, 2, true, draw), Draw(size, 2, false, draw)), 0);
    }

    // Points no genome within the limits can reach: each shape is a one-pixel outline, so a
    // wild genome's thousands of window-sized fills and wide strokes cost next to nothing.
    void farShapesAreOneOutline() {
        const QSize size(300, 200);
        const SRgb pen{200, 30, 30}, brush{20, 40, 220};
        const QImage image = Draw(size, 1, true, [&](IDrawSurface& s) {
            s.SetPen(90, pen);
            s.SetBrush(brush);
            const SPoint tri[4] = {
                {150, -1000000}, {-900000, 900000}, {900000, 900000}, {150, -1000000}};
            s.Polygon(tri, 4);
            s.Line(-2000000, 100, 2000000, 100);
            s.Ellipse({-3000000, -3000000, 3000000, 3000000});
        });
        int penPixels = 0, brushPixels = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                penPixels += image.pixel(x, y) == qRgb(pen.r, pen.g, pen.b);
                brushPixels += image.pixel(x, y) == qRgb(brush.r, brush.g, brush.b);
            }
        }
        QCOMPARE(brushPixels, 0);
        // The line across the middle, one pixel high.
        QCOMPARE(penPixels, size.width());

        // Points at the very ends of an int (a wild morph drawn large saturates there): their
        // offsets from the first point do not fit an int, and nothing is filled.
        const QImage edges = Draw(size, 1, true, [&](IDrawSurface& s) {
            s.SetPen(90, pen);
            s.SetBrush(brush);
            const SPoint edge[4] = {{150, 120}, {INT_MIN, INT_MAX}, {INT_MAX, INT_MAX}, {150, 120}};
            s.Polygon(edge, 4);
            SPoint bezier[13];
            for (int i = 0; i < 13; ++i) {
                bezier[i] = i % 2 ? SPoint{INT_MIN, 130} : SPoint{150, 130};
            }
            s.Bezier13(bezier);
        });
        for (int y = 0; y < edges.height(); ++y) {
            for (int x = 0; x < edges.width(); ++x) {
                QVERIFY(edges.pixel(x, y) != qRgb(brush.r, brush.g, brush.b));
            }
        }
    }

    void heavyMorphsAreQtsOwnPixels_data() {
        QTest::addColumn<Genes>("genes");
        QTest::addColumn<int>("gradient");
        QTest::addColumn<int>("zoom");
        QTest::addRow("thick tapering")
            << Genes{40, -30, 20, -40, 30, -20, 10, 40, 9, 9, 12, 0, 2, 100, 0, 1, 2, 10, 10} << 0
            << 1;
        QTest::addRow("round tips")
            << Genes{40, -30, 20, -40, 30, -20, 10, 40, 9, 9, 12, 0, 2, 100, 2, 1, 2, 10, 10} << 0
            << 1;
        // Four times as large: tips and strokes up to 1,800 pixels across, stamped too.
        QTest::addRow("thick tapering at zoom 4")
            << Genes{40, -30, 20, -40, 30, -20, 10, 40, 9, 9, 12, 0, 2, 100, 0, 1, 2, 10, 10} << 0
            << 4;
        QTest::addRow("round tips at zoom 4")
            << Genes{40, -30, 20, -40, 30, -20, 10, 40, 9, 9, 12, 0, 2, 100, 2, 1, 2, 10, 10} << 0
            << 4;
        QTest::addRow("widest spread with leaves")
            << Genes{-40, 40, -40, 40, -40, 40, -40, 40, 9, 9, 30, 1, 2, 100, 3, 50, 100, 10, 10}
            << 0 << 1;
        QTest::addRow("filled polygons") << Genes{-400, 400, -400, 400,  -400, 400, -400, 400, 9, 9,
                                                  -100, 0,   2,    -400, 1,    160, 5,    10,  -4}
                                         << -2 << 1;
    }
    void heavyMorphsAreQtsOwnPixels() {
        QFETCH(Genes, genes);
        QFETCH(int, gradient);
        QFETCH(int, zoom);
        CBioMorph morph;
        morph.SetGenes(genes);
        for (int k = 1; k <= kGeneCount; ++k) {
            morph.SetGradient(k, gradient);
        }
        const QSize size(500, 400);
        auto draw = [&](IDrawSurface& s) {
            const SRect clip{40, 30, 460, 370};
            s.SetClip(&clip);
            CScaledSurface scaled(s, {250, 200}, zoom);
            morph.Draw(zoom > 1 ? static_cast<IDrawSurface&>(scaled) : s, 250, 200, 0);
        };
        QCOMPARE(DifferentPixels(Draw(size, 1, true, draw), Draw(size, 1, false, draw)), 0);
    }
};

QTEST_MAIN(CSurfaceTest)
#include "SurfaceTest.moc"
