// The Vector Field view of a test document: which updates keep, recompute or discard its layers,
// the legend boxes of the shown layers, the fixed points' markers, and a window too small for a
// grid.
#include "views/phase/VectorFieldView.h"
#include "ViewHarness.h"
#include "common/DoubleWell.h"
#include "common/MessageRecorder.h"
#include "views/phase/VectorFieldDraw.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {
using L = CVectorFieldView;

class VectorFieldHarness : public KindViewHarness<CVectorFieldView>
{
public:
    explicit VectorFieldHarness(SystemKind kind, int width = 640, int height = 480)
        : KindViewHarness(kind)
    {
        SetDoubleWell(*doc);
        doc->m_dVFMin1 = doc->m_dVFMin2 = -2;
        doc->m_dVFMax1 = doc->m_dVFMax2 = 2;
        doc->RecordEquations();
        Open(kind == SystemKind::Newtonian ? static_cast<L*>(new CSys1VF) : new CSys2VF, width,
             height);
        Repaint();
    }
    // Every layer but T shown and computed, answering Yes.
    void ShowAll()
    {
        MessageRecorder yes({msgbox::IDYES, msgbox::IDYES});
        for (int layer = L::kLayerD; layer <= L::kLayerM; ++layer)
            view->OnToggle(layer);
        Repaint();
    }
    void Settle()
    {
        for (int i = 0; i < 3; ++i)
            Repaint();
    }
    bool AllValid() const
    {
        for (int layer = L::kLayerD; layer <= L::kLayerM; ++layer)
            if (!view->Shown(layer) || !view->Valid(layer))
                return false;
        return true;
    }
};
} // namespace

TEST(VectorFieldView, UpdatesKeepRecomputeOrDiscardTheLayers)
{
    const struct
    {
        const char* name;
        std::function<void(CGraphTestDoc&)> change;
        LPARAM hint;
        bool shown; // the four layers after the update
    } cases[] = {
        {"title", [](CGraphTestDoc&) {}, HINT_TITLE, true},
        {"plot style", [](CGraphTestDoc& d) { d.m_clrNullcline1 = 0; }, HINT_PLOT_STYLE, true},
        {"limits", [](CGraphTestDoc& d) { d.m_dVFMax1 = 1.5; }, HINT_VF_LIMITS, true},
        {"grid", [](CGraphTestDoc& d) { d.m_nVFGridSpacing = 20; }, HINT_VF_GRID, false},
        {"parameter", [](CGraphTestDoc& d) { d.m_dParamC = 2; }, HINT_MODEL, false},
        {"equation", [](CGraphTestDoc& d) { d.m_strDragForce = "-x'"; }, HINT_MODEL, false},
        {"calculation's end, nothing changed", [](CGraphTestDoc&) {}, HINT_CALC_DONE, true},
    };
    for (const auto& c : cases) {
        VectorFieldHarness h(SystemKind::Newtonian);
        h.ShowAll();
        ASSERT_TRUE(h.AllValid()) << c.name;
        h.view->CalcTracks();
        c.change(*h.doc);
        h.Update(c.hint);
        h.Settle();
        for (int layer = L::kLayerD; layer <= L::kLayerM; ++layer)
            EXPECT_EQ(h.view->Shown(layer), c.shown) << c.name << " " << layer;
        if (c.shown) {
            EXPECT_TRUE(h.AllValid()) << c.name << ": computed for the window shown";
        }
        EXPECT_EQ(h.view->Plane().Tracks().size(), c.shown ? 1u : 0u) << c.name;
    }
}

TEST(VectorFieldView, LegendBoxesOfTheShownLayers)
{
    VectorFieldHarness h(SystemKind::TwoVariable);
    const CRect none(-1, -1, -1, -1);
    auto boxes = [&h, none] {
        std::vector<bool> drawn;
        for (int item = L::kItemNullcline1; item < L::kItems; ++item)
            drawn.push_back(!(h.view->m_legend.Box(item) == none));
        return drawn;
    };
    EXPECT_EQ(boxes(), std::vector<bool>(6, false));
    MessageRecorder yes({msgbox::IDYES});
    h.view->OnToggle(L::kLayerN);
    h.Settle();
    EXPECT_EQ(boxes(), (std::vector<bool>{true, true, false, false, false, false}));
    h.view->OnToggle(L::kLayerD);
    h.view->OnToggle(L::kLayerM);
    h.Settle();
    EXPECT_EQ(boxes(), std::vector<bool>(6, true));
    // The boxes follow each other from the track's, 2 pixels apart.
    const CRect track = h.view->m_legend.Box(L::kItemTrack);
    EXPECT_EQ(h.view->m_legend.Box(L::kItemDFFrom).left, track.right + 2);
    EXPECT_EQ(h.view->m_legend.Box(L::kItemNullcline1).left,
              h.view->m_legend.Box(L::kItemDFTo).right + 2);
}

TEST(VectorFieldView, MarkersAreFilledWhereTheFlowSettles)
{
    VectorFieldHarness h(SystemKind::TwoVariable);
    MessageRecorder yes({msgbox::IDYES});
    h.view->OnToggle(L::kLayerF); // alone: no curve over the markers
    h.Settle();
    int filled = 0, open = 0;
    for (const CFixedPoint& p : h.view->Plane().FixedPoints()) {
        const COLORREF centre = h.Pixel(h.view->WorldToPixelX(p.x), h.view->WorldToPixelY(p.y));
        const bool dark = GetRValue(centre) + GetGValue(centre) + GetBValue(centre) < 3 * 128;
        (dark ? filled : open) += 1;
        EXPECT_EQ(dark, p.type != FP_SADDLE) << FixedPointLine(p, 3, 3);
    }
    EXPECT_EQ(filled, 2);
    EXPECT_EQ(open, 1);
    EXPECT_EQ(FixedPointLine({0, 0, FP_SADDLE}, 4, 4), "(0,0) saddle point");
    EXPECT_EQ(FixedPointLine({-1, 0.00001, FP_DEGENERATE}, 6, 7),
              "(-1,1e-005) degenerate node or star");
}

TEST(VectorFieldView, AWindowTooSmallForTheGridStillComputes)
{
    for (const CSize size : {CSize(60, 60), CSize(1, 1), CSize(170, 130)}) {
        VectorFieldHarness h(SystemKind::Newtonian, size.cx, size.cy);
        h.ShowAll();
        h.view->CalcTracks();
        h.Settle();
        EXPECT_GE(h.view->Plane().Pitch(), 1) << size.cx;
        for (int layer : {L::kLayerD, L::kLayerN, L::kLayerF})
            EXPECT_TRUE(h.view->Shown(layer) && h.view->Valid(layer)) << size.cx << " " << layer;
        EXPECT_EQ(h.view->Plane().Tracks().size(), 1u) << size.cx;
    }
}
