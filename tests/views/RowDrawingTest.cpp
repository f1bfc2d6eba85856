// The 2-D base draws a long run as it would segment by segment, though it folds crowded pixel
// columns and skips segments that set no new pixel; points, section rows and return marks come
// from the description alone.
#include "LorenzRun.h"
#include "PlotPixels.h"
#include "TestOrbit3D.h"
#include "ViewHarness.h"
#include "views/base/2DView.h"
#include "views/rows/RowDecimation.h"

#include <QApplication>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <set>

VX_IMPLEMENT_CLASS(CTestOrbit3D, C3DView)
VX_IMPLEMENT_CLASS(CTestCylinder3D, C3DView)

namespace {
using S = CModelSettings;
constexpr COLORREF kOrbit = RGB(200, 0, 100), kMark = RGB(0, 120, 0), kWhite = RGB(255, 255, 255);

class CRowTestView : public C2DView
{
public:
    explicit CRowTestView(PlotDescription d) : C2DView(std::move(d)) {}
    using C2DView::ClipToPlotRect;
};

PlotDescription Phase()
{
    PlotDescription d;
    d.block = LimitBlock::ProjectedOrbit;
    d.xColumn = kSlotX;
    PlotCurve c{kSlotXp, nullptr, &S::m_nStylePO, &S::m_nWidthPO, &S::m_clrPO};
    c.markFlag = 0;
    c.markStyle = &S::m_nStylePO2;
    c.markWidth = &S::m_nWidthPO2;
    c.markColor = &S::m_clrPO2;
    d.curves = {c};
    return d;
}

PlotDescription AgainstTime()
{
    PlotDescription d = Phase();
    d.block = LimitBlock::Graph;
    d.xColumn = kSlotT;
    return d;
}

// A curve whose rows all lie above the plot, drawn before the one against time: its columns
// gather beside the other's, so a row that is not finite ends both curves' gathered run.
PlotDescription AfterACurveAboveThePlot()
{
    PlotDescription d = AgainstTime();
    d.curves.insert(d.curves.begin(), {kSlotY, nullptr, &S::m_nStyleY, &S::m_nWidthY, &S::m_clrY});
    return d;
}

// Pixels of colour c in the plot where one picture has it and the other not.
int Differences(const QImage& a, const QImage& b, const CRect& p, COLORREF c)
{
    int n = 0;
    const qreal ra = a.devicePixelRatio(), rb = b.devicePixelRatio();
    for (int y = p.top; y < p.bottom; ++y)
        for (int x = p.left; x < p.right; ++x) {
            const QColor qa = a.pixelColor(int(x * ra), int(y * ra));
            const QColor qb = b.pixelColor(int(x * rb), int(y * rb));
            n += (RGB(qa.red(), qa.green(), qa.blue()) == c) !=
                 (RGB(qb.red(), qb.green(), qb.blue()) == c);
        }
    return n;
}

// A window-sized bitmap, white, with the orbit's pen, for a picture drawn segment by segment.
struct RowByRowCanvas
{
    RowByRowCanvas()
    {
        bmp.CreateCompatibleBitmap(nullptr, 640, 480);
        mem.CreateCompatibleDC(nullptr);
        mem.SelectObject(&bmp);
        mem.FillSolidRect(0, 0, 640, 480, kWhite);
        mem.SelectObject(&pen);
    }
    CBitmap bmp;
    CDC mem;
    CPen pen{PS_SOLID, 1, kOrbit};
};

class RowHarness : public KindViewHarness<CRowTestView>
{
public:
    RowHarness(PlotDescription d, int rows, int stored) : KindViewHarness(SystemKind::TwoVariable)
    {
        doc->m_clrPO = kOrbit;
        doc->m_clrPO2 = kMark;
        doc->m_nWidthPO2 = 1;
        // A wobbling spiral: many turns over the same pixels, and crowded columns in time.
        doc->FillRun(rows, stored, [](int slot, double t) {
            const double r = 6 + 3 * std::sin(0.013 * t);
            return slot == kSlotX    ? r * std::cos(t)
                   : slot == kSlotXp ? r * std::sin(1.01 * t)
                                     : 0.0;
        });
        WriteLimits(*doc, LimitBlock::ProjectedOrbit, {{-9, 9, -10, 10}, {-8, 8, -10, 10}});
        const double* t = doc->m_arrTable[kSlotT].data();
        doc->m_dGraphTMin = 0;
        doc->m_dGraphTMax = t[(doc->m_nTableIndex + rows - 1) % rows] + 1;
        doc->m_dGraphVMin = -8;
        doc->m_dGraphVMax = 8;
        Open(new CRowTestView(std::move(d)), 640, 480);
        Update(HINT_RESET);
        QApplication::processEvents();
    }
    int Count(COLORREF c) const { return CountColour(Picture(), view->m_rcPlot, c); }

    // The run drawn segment by segment on a bitmap of the window's size, oldest row first.
    QImage RowByRow() const
    {
        const CModelCore& s = *doc;
        RowByRowCanvas c;
        CDC& mem = c.mem;
        const int xColumn = view->Description().xColumn, n = s.m_nTableRows;
        const auto& x = s.m_arrTable[xColumn];
        const auto& v = s.m_arrTable[kSlotXp];
        int prev = s.m_nTableIndex;
        for (int age = 0; age < (s.m_bTableWrapped ? n : int(s.m_nTableCount)); ++age) {
            const int row = (s.m_nTableIndex + age) % n;
            if (!Finite(x[prev], x[row], v[prev], v[row])) { // a blown-up run's rows: no pixel
                prev = row;
                continue;
            }
            CPoint a(view->WorldToPixelX(x[prev]), view->WorldToPixelY(v[prev]));
            CPoint b(view->WorldToPixelX(x[row]), view->WorldToPixelY(v[row]));
            if (view->ClipToPlotRect(a, b)) {
                mem.MoveTo(a);
                mem.LineTo(b);
            }
            prev = row;
        }
        return c.bmp.GetImage().copy();
    }
};
} // namespace

TEST(RowDrawing, PicturesMatchTheRowByRowDrawing)
{
    const struct
    {
        const char* name;
        PlotDescription d;
        int rows, stored;
    } cases[] = {
        {"phase", Phase(), 20000, 20000},
        {"phase, wrapped ring", Phase(), 7919, 20000},
        {"against time", AgainstTime(), 50000, 50000},
        {"against time, wrapped ring", AgainstTime(), 30011, 50000},
    };
    for (const auto& c : cases) {
        RowHarness h(c.d, c.rows, c.stored);
        const int drawn = h.Count(kOrbit);
        EXPECT_GT(drawn, 1000) << c.name;
        EXPECT_EQ(Differences(h.Picture(), h.RowByRow(), h.view->m_rcPlot, kOrbit), 0) << c.name;
    }
}

// Rows of a blown-up run (not finite, or far beyond the window), rows that leave the plot and
// rows on and beside the edges of pixels are skipped, clipped and mapped as row by row, inside
// crowded pixel columns too; also where the time window cuts the ring.
TEST(RowDrawing, BlownUpClippedAndEdgeRowsMatchTheRowByRowDrawing)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct
    {
        const char* name;
        PlotDescription d;
        int rows, stored;
        double from, to; // the time window, as parts of the run's time; to 0: the whole run
    } cases[] = {
        {"phase", Phase(), 20000, 20000, 0, 0},
        {"phase, wrapped ring", Phase(), 7919, 20000, 0, 0},
        {"against time, wrapped ring", AgainstTime(), 30011, 50000, 0, 0},
        {"against time, a window", AgainstTime(), 30011, 50000, 0.4, 0.7},
        {"against time, after a curve", AfterACurveAboveThePlot(), 30011, 50000, 0, 0},
    };
    for (const auto& c : cases) {
        RowHarness h(c.d, c.rows, c.stored);
        CGraphTestDoc& d = *h.doc;
        if (c.to > 0) {
            const double t0 = d.m_arrTable[kSlotT][d.m_nTableIndex];
            const double t1 = d.m_dGraphTMax;
            d.m_dGraphTMin = t0 + c.from * (t1 - t0);
            d.m_dGraphTMax = t0 + c.to * (t1 - t0);
            h.Update(HINT_RESET);
        }
        auto& x = d.m_arrTable[c.d.xColumn];
        auto& v = d.m_arrTable[kSlotXp];
        std::fill(d.m_arrTable[kSlotY].begin(), d.m_arrTable[kSlotY].end(), 1e3);
        const bool phase = c.d.xColumn != kSlotT;
        for (int i = 100; i + 310 < c.rows; i += 997) {
            v[i] = nan;
            v[i + 1] = i % 3 ? inf : -inf;
            v[i + 40] = i % 2 ? 1e300 : -1e300;
            v[i + 80] = 9.5; // beyond the plot: clipped
            x[i + 120] = phase ? -inf : nan;
            for (int k = 200; k < 260; ++k) // rows on a pixel's edges, and the doubles beside
                v[i + k] = std::nextafter(h.view->PixelToWorldY(60 + k), k % 3 ? inf : -inf);
            v[i + 300] = nan; // a jump across a row with no value: no line joins the two sides
            for (int k = 301; k < 306; ++k)
                v[i + k] = v[i + 299] + 3;
        }
        for (int i = 300; phase && i + 2 < c.rows; i += 1499) {
            x[i] = 1e300;
            x[i + 1] = h.view->PixelToWorldX(100 + i % 400);
            x[i + 2] = std::nextafter(x[i + 1], -inf);
        }
        h.Repaint();
        EXPECT_GT(h.Count(kOrbit), 1000) << c.name;
        EXPECT_EQ(Differences(h.Picture(), h.RowByRow(), h.view->m_rcPlot, kOrbit), 0) << c.name;
    }
}

// Section rows as points: one pixel a forcing cycle (s = 100 rows), each on a whole period.
TEST(RowDrawing, SectionPointsAndReturnMarks)
{
    PlotDescription d = Phase();
    d.sections = true;
    d.curves[0].points = true;
    RowHarness sections(d, 7919, 20000);
    const int points = sections.Count(kOrbit);
    EXPECT_GT(points, 10);
    EXPECT_LE(points, 7919 / 100 + 1);

    RowHarness marked(Phase(), 7919, 20000);
    const int plain = marked.Count(kOrbit);
    EXPECT_EQ(marked.Count(kMark), 0);
    marked.doc->m_bMarkReturn[0] = TRUE;
    marked.Repaint();
    EXPECT_GT(marked.Count(kMark), 10); // one segment a cycle in the marks' pen
    EXPECT_LT(marked.Count(kOrbit), plain);
}

// The marks' pen follows its own flag: the computed rows' at markFlag, the imported twin's at the
// next one with its own import pen; an item without marks, or without an imported marks pen,
// has none.
TEST(RowDrawing, ReturnMarkPenFollowsItsFlag)
{
    CModelSettings s;
    s.m_nStylePO2 = PS_DOT;
    s.m_nWidthPO2 = 2;
    s.m_clrPO2 = kMark;
    s.m_clrImportView[3] = kOrbit;
    PlotCurve curve = Phase().curves[0]; // marks at flag 0
    curve.importMarkPen = 1;
    PlotCurve unmarked = curve;
    unmarked.markFlag = -1;
    PlotCurve noImportMarks = curve;
    noImportMarks.importMarkPen = -1;
    PlotCurve second = curve; // flags 2 and 3, imported marks pen 3
    second.markFlag = 2;
    second.importMarkPen = 3;
    const struct
    {
        const char* name;
        const PlotCurve& item;
        int flag;
        bool imported;
        std::optional<COLORREF> color;
    } cases[] = {
        {"off", curve, -1, false, std::nullopt},
        {"computed", curve, 0, false, kMark},
        {"computed flag leaves the import's off", curve, 0, true, std::nullopt},
        {"imported", curve, 1, true, s.m_clrImportView[1]},
        {"imported flag leaves the run's off", curve, 1, false, std::nullopt},
        {"no marks", unmarked, 0, false, std::nullopt},
        {"no imported marks pen", noImportMarks, 1, true, std::nullopt},
        {"second item's computed", second, 2, false, kMark},
        {"second item's imported", second, 3, true, kOrbit},
        {"second item beside the first's flag", second, 0, false, std::nullopt},
    };
    for (const auto& c : cases) {
        std::fill(std::begin(s.m_bMarkReturn), std::end(s.m_bMarkReturn), FALSE);
        if (c.flag >= 0)
            s.m_bMarkReturn[c.flag] = TRUE;
        const std::optional<PlotPen> pen = ReturnMarkPen(s, c.item, c.imported, true);
        ASSERT_EQ(pen.has_value(), c.color.has_value()) << c.name;
        if (!pen)
            continue;
        EXPECT_EQ(pen->color, *c.color) << c.name;
        if (!c.imported) {
            EXPECT_EQ(std::pair(pen->style, pen->width), std::pair(PS_DOT, 2)) << c.name;
        }
    }
}

// The sieve's model of a line is the platform's: for segments of every slope and length, in
// either direction, the pixels it lists are those a solid one-pixel pen sets.
TEST(RowDrawing, LinePixelsAreThoseThePlatformSets)
{
    constexpr int w = 96, h = 80;
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(nullptr, w, h);
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    mem.SelectObject(&bmp);
    CPen pen(PS_SOLID, 1, kOrbit);
    mem.SelectObject(&pen);
    // The bitmap's pixels read from its image, as GetPixel reads them: a call a pixel for 3000
    // lines takes most of a minute under the sanitizers on a busy machine.
    const QImage& image = bmp.GetImage();
    ASSERT_EQ(image.size(), QSize(w, h));
    ASSERT_EQ(image.format(), QImage::Format_RGB32);
    const QRgb orbit = qRgb(GetRValue(kOrbit), GetGValue(kOrbit), GetBValue(kOrbit));
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> x(0, w - 1), y(0, h - 1), near(-4, 4);
    for (int i = 0; i < 3000; ++i) {
        const CPoint a(x(rng), y(rng));
        const CPoint b = i % 2 ? CPoint(x(rng), y(rng))
                               : CPoint(std::clamp(a.x + near(rng), 0, w - 1),
                                        std::clamp(a.y + near(rng), 0, h - 1));
        if (a == b)
            continue;
        mem.FillSolidRect(0, 0, w, h, kWhite);
        mem.MoveTo(a);
        mem.LineTo(b);
        std::set<std::pair<int, int>> listed, set;
        ForEachLinePixel(a, b, [&](int px, int py) { listed.insert({px, py}); });
        for (int py = 0; py < h; ++py) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(py));
            for (int px = 0; px < w; ++px)
                if (line[px] == orbit)
                    set.insert({px, py});
        }
        ASSERT_EQ(listed, set) << a.x << "," << a.y << " to " << b.x << "," << b.y;
    }
}

// The 3-D base draws a Lorenz orbit that crowds its pixels as it would segment by segment.
TEST(RowDrawing, ThreeDPictureMatchesTheRowByRowDrawing)
{
    for (const auto& [rows, stored] : {std::pair{20000, 20000}, {7919, 20000}}) {
        KindViewHarness<CTestOrbit3D> h(SystemKind::ThreeVariable);
        h.doc.get()->*VarOf(kSlotX).color = kOrbit;
        FillLorenz(*h.doc, rows, stored);
        h.Open(new CTestOrbit3D, 640, 480);
        h.Update(HINT_RESET);
        QApplication::processEvents();

        RowByRowCanvas c;
        const CModelCore& s = *h.doc;
        const auto& col = s.m_arrTable;
        auto pixel = [&](int row) {
            CPoint p;
            h.view->RowPixel(col[kSlotT][row], col[kSlotX][row], col[kSlotY][row], col[kSlotZ][row],
                             p);
            return p;
        };
        int prev = s.m_nTableIndex;
        for (int age = 0; age < (s.m_bTableWrapped ? rows : int(s.m_nTableCount)); ++age) {
            const int row = (s.m_nTableIndex + age) % rows;
            CPoint a = pixel(prev), b = pixel(row);
            if (h.view->ClipToPlotRect(a, b)) {
                c.mem.MoveTo(a);
                c.mem.LineTo(b);
            }
            prev = row;
        }
        const CRect& plot = h.view->m_rcPlot;
        EXPECT_GT(CountColour(h.Picture(), plot, kOrbit), 5000) << rows;
        EXPECT_EQ(Differences(h.Picture(), c.bmp.GetImage(), plot, kOrbit), 0) << rows;
    }
}

namespace {
// The stored run of a 3-D view drawn segment by segment, oldest row first: each segment's rows
// mapped one at a time with one turner, as the rows come, clipped and drawn.
QImage RowByRow3D(C3DView& view, const CModelCore& s)
{
    RowByRowCanvas c;
    const MappedColumns cols = view.MapColumns(s.m_arrTable, s.m_nTableRows);
    const C3DProjection proj = view.Projection();
    AngleTurner turner;
    const RingSpan ring{cols.t, s.m_nTableRows, s.m_nTableIndex, s.m_nTableCount,
                        s.m_bTableWrapped != 0};
    int last = -1;
    CPoint pLast;
    const double inf = std::numeric_limits<double>::infinity();
    WalkSegments(ring, -inf, inf, 0.0, [&](int a, int b) {
        CPoint p1 = pLast, p2;
        if ((a != last && !cols.Pixel(view, proj, a, p1, &turner)) ||
            !cols.Pixel(view, proj, b, p2, &turner)) {
            last = -1;
            return;
        }
        last = b;
        pLast = p2;
        if (view.ClipToPlotRect(p1, p2)) {
            c.mem.MoveTo(p1);
            c.mem.LineTo(p2);
        }
    });
    return c.bmp.GetImage().copy();
}

// A forced run that fills the cylinder's box, as the Full Orbit's repaint figure draws it.
void FillCylinder(CGraphTestDoc& d, int rows, int stored)
{
    d.FillRun(rows, stored, [](int slot, double t) {
        return slot == kSlotX    ? 9.5 * std::sin(0.0123 * t) * std::cos(t)
               : slot == kSlotXp ? 9.5 * std::cos(1.37 * t)
                                 : 0.0;
    });
}

// Rows of a run that blew up here and there: values and times that are not numbers or are
// infinite, and values too large for any pixel, one kind every few hundred rows.
void BlowUp(CGraphTestDoc& d, int first, int second)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    auto& col = d.m_arrTable;
    for (int i = 0; i < d.m_nTableRows; ++i) {
        double& a = col[first][i];
        double& b = col[second][i];
        a = i % 997 == 3 ? nan : i % 2003 == 7 ? 1e308 : i % 1511 == 9 ? -inf : a;
        b = i % 1499 == 5 ? inf : i % 4001 == 13 ? -1e308 : b;
        if (i % 3001 == 11 || i % 2999 == 2998) // a lone row, and one just before a batch's end
            col[kSlotT][i] = nan;
    }
    col[kSlotT][d.m_nTableRows * 9 / 10] = inf; // the walk ends there
}
} // namespace

// The 3-D base draws its rows a batch at a time: the pictures are those drawn segment by
// segment, on the cylinder and in the box, with rows that leave the plot and rows of a run that
// blew up (skipped, or clamped to the pixel range as any one row is).
TEST(RowDrawing, ThreeDBatchesMatchTheRowByRowDrawing)
{
    const struct
    {
        const char* name;
        bool cylinder;
        int rows, stored, zooms;
        bool blowUp;
    } cases[] = {
        {"cylinder", true, 20000, 20000, 0, false},
        {"cylinder, wrapped ring", true, 7919, 20000, 0, false},
        {"cylinder zoomed near: rows leave the plot", true, 20000, 20000, 6, false},
        {"cylinder, a run that blew up", true, 20000, 20000, 0, true},
        {"cylinder, a wrapped run that blew up", true, 7919, 20000, 2, true},
        {"box, a run that blew up", false, 20000, 20000, 0, true},
    };
    for (const auto& c : cases) {
        KindViewHarness<C3DView> h(c.cylinder ? SystemKind::Newtonian : SystemKind::ThreeVariable);
        CGraphTestDoc& d = *h.doc;
        d.m_clrFO = kOrbit;
        d.*VarOf(kSlotX).color = kOrbit;
        if (c.cylinder)
            FillCylinder(d, c.rows, c.stored);
        else
            FillLorenz(d, c.rows, c.stored);
        if (c.blowUp)
            BlowUp(d, kSlotX, c.cylinder ? kSlotXp : kSlotZ);
        h.Open(c.cylinder ? static_cast<C3DView*>(new CTestCylinder3D) : new CTestOrbit3D, 640,
               480);
        h.Update(HINT_RESET);
        for (int i = 0; i < c.zooms; ++i)
            h.view->OnControlsZoomNear();
        h.Repaint();
        const CRect& plot = h.view->m_rcPlot;
        EXPECT_GT(CountColour(h.Picture(), plot, kOrbit), 5000) << c.name;
        EXPECT_EQ(Differences(h.Picture(), RowByRow3D(*h.view, d), plot, kOrbit), 0) << c.name;
    }
}
