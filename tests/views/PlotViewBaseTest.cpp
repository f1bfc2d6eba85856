// A view that only describes itself (its limit block, its axes, one curve) gets zoom, pan,
// reset, the rubber band, its window from the block and live drawing from the 2-D base.
#include "PlotPixels.h"
#include "ViewHarness.h"
#include "model/CommandIds.h"
#include "platform/Messages.h"
#include "views/base/2DView.h"

#include <QApplication>
#include <QImage>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {
using S = CModelSettings;
constexpr COLORREF kOrbit = RGB(200, 0, 100);

// x' against x in the Projected Orbit block: no code of its own.
class CPhaseTestView : public C2DView
{
public:
    CPhaseTestView() : C2DView(Description()) {}
    static PlotDescription Description()
    {
        PlotDescription d;
        d.block = LimitBlock::ProjectedOrbit;
        d.xColumn = kSlotX;
        d.curves = {{kSlotXp, nullptr, &S::m_nStylePO, &S::m_nWidthPO, &S::m_clrPO}};
        return d;
    }
};

class PhaseHarness : public KindViewHarness<CPhaseTestView>
{
public:
    PhaseHarness() : KindViewHarness(SystemKind::TwoVariable)
    {
        doc->m_clrPO = kOrbit;
        Open(new CPhaseTestView, 640, 480);
        Update(HINT_RESET);
        QApplication::processEvents();
    }
    int Count(COLORREF c) const { return CountColour(Picture(), view->m_rcPlot, c); }
};

// Working x -4 .. 4 and x' -2 .. 6 inside the bounds +-10.
void SetWindow(CModelSettings& s)
{
    WriteLimits(s, LimitBlock::ProjectedOrbit, {{-4, 4, -10, 10}, {-2, 6, -10, 10}});
}
} // namespace

TEST(PlotViewBase, CommandsMoveTheViewsOwnBlock)
{
    const struct
    {
        UINT id;
        PlotLimits after;
        int modified;
    } cases[] = {
        {ID_CONTROLS_ZOOM_NEAR,
         {{-4 / 1.1, 4 / 1.1, -10, 10}, {2 - 4 / 1.1, 2 + 4 / 1.1, -10, 10}},
         1},
        {ID_CONTROLS_ZOOM_FAR, {{-4.4, 4.4, -10, 10}, {2 - 4.4, 2 + 4.4, -10, 10}}, 1},
        {ID_CONTROLS_PAN_LEFT, {{-8, 0, -10, 10}, {-2, 6, -10, 10}}, 0},
        {ID_CONTROLS_PAN_RIGHT, {{0, 8, -10, 10}, {-2, 6, -10, 10}}, 0},
        {ID_CONTROLS_PAN_UP, {{-4, 4, -10, 10}, {2, 10, -10, 10}}, 0},
        {ID_CONTROLS_PAN_DOWN, {{-4, 4, -10, 10}, {-6, 2, -10, 10}}, 0},
        {ID_CONTROLS_RESET_LIMITS, {{-10, 10, -10, 10}, {-10, 10, -10, 10}}, 1},
    };
    for (const auto& c : cases) {
        PhaseHarness h;
        SetWindow(*h.doc);
        const PlotLimits graph = ReadLimits(*h.doc, LimitBlock::Graph);
        ASSERT_TRUE(h.Enabled(c.id)) << c.id;
        h.view->ExecuteCommand(c.id);
        const PlotLimits g = ReadLimits(*h.doc, LimitBlock::ProjectedOrbit);
        for (const auto& [got, want] : {std::pair{g.x, c.after.x}, std::pair{g.y, c.after.y}}) {
            EXPECT_NEAR(got.min, want.min, 1e-12) << c.id;
            EXPECT_NEAR(got.max, want.max, 1e-12) << c.id;
            EXPECT_EQ(got.absMin, want.absMin) << c.id;
            EXPECT_EQ(got.absMax, want.absMax) << c.id;
        }
        EXPECT_EQ(h.doc->m_nModified, c.modified) << c.id;
        EXPECT_EQ(ReadLimits(*h.doc, LimitBlock::Graph), graph) << c.id;
        // The view shows the new window at once.
        EXPECT_EQ(h.view->m_dXMin, g.x.min) << c.id;
        EXPECT_EQ(h.view->m_dYMax, g.y.max) << c.id;
    }
}

TEST(PlotViewBase, MovesStopAtTheBounds)
{
    const UINT moves[] = {ID_CONTROLS_ZOOM_FAR, ID_CONTROLS_PAN_LEFT, ID_CONTROLS_PAN_RIGHT,
                          ID_CONTROLS_PAN_UP, ID_CONTROLS_PAN_DOWN};
    PhaseHarness h; // a fresh record: working limits equal to the bounds
    for (UINT id : moves)
        EXPECT_FALSE(h.Enabled(id)) << id;
    EXPECT_TRUE(h.Enabled(ID_CONTROLS_ZOOM_NEAR));
    h.view->ExecuteCommand(ID_CONTROLS_ZOOM_NEAR);
    for (UINT id : moves)
        EXPECT_TRUE(h.Enabled(id)) << id;
    for (int i = 0; i < 5; ++i)
        h.view->ExecuteCommand(ID_CONTROLS_ZOOM_FAR);
    EXPECT_EQ(ReadLimits(*h.doc, LimitBlock::ProjectedOrbit).x, (AxisLimits{-10, 10, -10, 10}));
}

TEST(PlotViewBase, RubberBandZoomsTheBlock)
{
    PhaseHarness h;
    CPhaseTestView* v = h.view;
    const CRect p = v->m_rcPlot;
    const CPoint a(p.left + 20, p.top + 30), b(p.left + 200, p.top + 150);
    const double x1 = v->PixelToWorldX(a.x), x2 = v->PixelToWorldX(b.x);
    const double y1 = v->PixelToWorldY(a.y), y2 = v->PixelToWorldY(b.y);

    // Flat bands and clicks leave the limits.
    for (const CPoint end : {CPoint(b.x, a.y), CPoint(a.x, b.y), a}) {
        v->OnLButtonDown(0, a);
        v->OnMouseMove(MK_LBUTTON, end);
        v->OnLButtonUp(0, end);
        EXPECT_FALSE(v->m_bBanding);
        EXPECT_EQ(h.doc->m_dPOMax1, 10.0);
    }
    EXPECT_TRUE(v->m_bCrossDrawn); // the click

    v->OnLButtonDown(0, b);
    v->OnMouseMove(MK_LBUTTON, a);
    v->OnLButtonUp(0, a);
    const PlotLimits g = ReadLimits(*h.doc, LimitBlock::ProjectedOrbit);
    EXPECT_EQ(g.x.min, x1);
    EXPECT_EQ(g.x.max, x2);
    EXPECT_EQ(g.y.min, y2);
    EXPECT_EQ(g.y.max, y1);
    EXPECT_EQ(g.x.absMax, 10.0);
    EXPECT_EQ(h.doc->m_nModified, 1);
    EXPECT_EQ(h.doc->m_dGraphVMax, 10.0);
}

// However far the window was zoomed, no command leaves it without an open range: a band two
// pixels wide over a window a few numbers wide would give a zero range.
TEST(PlotViewBase, NothingClosesTheWindow)
{
    PhaseHarness h;
    CPhaseTestView* v = h.view;
    const double x0 = 5, x1 = std::nextafter(std::nextafter(x0, 9.0), 9.0);
    WriteLimits(*h.doc, LimitBlock::ProjectedOrbit, {{x0, x1, -10, 10}, {-2, 6, -10, 10}});
    v->OnUpdate(nullptr, HINT_RESET, nullptr);
    const CRect p = v->m_rcPlot;
    const CPoint a(p.left + 20, p.top + 30), b(p.left + 21, p.top + 150);
    ASSERT_EQ(v->PixelToWorldX(a.x), v->PixelToWorldX(b.x));
    v->OnLButtonDown(0, a);
    v->OnMouseMove(MK_LBUTTON, b);
    v->OnLButtonUp(0, b);
    for (UINT id : {ID_CONTROLS_ZOOM_NEAR, ID_CONTROLS_ZOOM_NEAR, ID_CONTROLS_ZOOM_NEAR})
        h.view->ExecuteCommand(id);
    const PlotLimits g = ReadLimits(*h.doc, LimitBlock::ProjectedOrbit);
    EXPECT_LT(g.x.min, g.x.max);
    EXPECT_LT(g.y.min, g.y.max);
    EXPECT_EQ(g.x.min, x0);
    EXPECT_EQ(g.x.max, x1);
}

// Rows sent by a run are drawn as they come, through the view's own run messages; the end of
// the run keeps them, and a repaint draws the whole run.
TEST(PlotViewBase, FollowsARunAndDrawsItLive)
{
    PhaseHarness h;
    CGraphTestDoc& d = *h.doc;
    d.FillRun(400, 400, [](int slot, double t) {
        return slot == kSlotX ? 8 * std::cos(t) : slot == kSlotXp ? 8 * std::sin(t) : 0.0;
    });
    d.m_bHaveData = 0;
    h.view->OnUpdate(nullptr, HINT_RESET, nullptr);
    ASSERT_EQ(h.Count(kOrbit), 0);

    d.m_bRunning = 1;
    d.m_bFollowRows = true;
    for (int row = 0; row < 100; ++row) {
        d.m_rowsToDraw.emplace_back(row, row);
        SendMessage(h.view->GetSafeHwnd(), WM_CALC_SAMPLE, 0, 0);
    }
    d.m_rowsToDraw.emplace_back(5000, 5000); // not a row of the ring: nothing is read
    SendMessage(h.view->GetSafeHwnd(), WM_CALC_SAMPLE, 0, 0);
    EXPECT_EQ(d.m_samples.size(), 101u);
    EXPECT_TRUE(h.view->m_bLiveDrawn);
    QApplication::processEvents();
    const int live = h.Count(kOrbit);
    EXPECT_GT(live, 100);

    d.m_bRunning = 0;
    d.m_bHaveData = 1;
    h.view->OnUpdate(nullptr, HINT_CALC_DONE, nullptr);
    h.view->UpdateWindow();
    EXPECT_EQ(h.Count(kOrbit), live); // only the margins were renewed

    h.view->OnUpdate(nullptr, HINT_RESET, nullptr);
    EXPECT_GT(h.Count(kOrbit), live); // all 400 rows: the whole circle

    SendMessage(h.view->GetSafeHwnd(), WM_CALC_DONE, 400, 400);
    EXPECT_EQ(d.m_nDone, 1);
}
