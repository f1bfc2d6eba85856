// The pieces the plot bases give a view from its description alone: the plain limits dialog of
// its block with its prefix and axis names, the margin texts that the model's plots share, and
// the keyboard cursor in the 2-D and the 3-D base.
#include "PlotPixels.h"
#include "ViewHarness.h"
#include "common/MessageRecorder.h"
#include "model/CommandIds.h"
#include "views/base/2DView.h"
#include "views/base/MarginTexts.h"
#include "views/dialogs/PlotLimDlg.h"

#include "views/base/3DView.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace {
using S = CModelSettings;

// y against x in the Poincaré Section block of a two-variable model: no code of its own.
class CSectionTestView : public C2DView
{
public:
    CSectionTestView() : C2DView(Description()) {}
    explicit CSectionTestView(PlotDescription d) : C2DView(std::move(d)) {}
    static PlotDescription Description()
    {
        PlotDescription d;
        d.block = LimitBlock::PoincareSection;
        d.xColumn = kSlotX;
        d.yColumn = kSlotY;
        d.names = {"x", "y"};
        d.curves = {{kSlotY, nullptr, &S::m_nStylePO, &S::m_nWidthPO, &S::m_clrPO}};
        d.key = {kViewPoincareSection, SystemKind::TwoVariable};
        return d;
    }
};

// The section view with the shared margin texts, as an orbit view writes them.
class CTextsTestView : public CSectionTestView
{
protected:
    void DrawMargins(CDC* pDC) override
    {
        const CModelCore& s = GetModel()->Core();
        CFont* old = pDC->SelectObject(m_hFontUp.get());
        DrawInitialValues(pDC, *this, s.Kind(), InitialLabels::Graph, s, m_nDigitsX, m_nDigitsY);
        DrawTimeBase(pDC, *this, s.m_nChrononsPerCycle, s.RunStep(), 4);
        pDC->SelectObject(old);
        DrawEquations(pDC, *this, s.Kind(), s);
        DrawImportName(pDC, *this, s);
    }
};

constexpr COLORREF kCursorColour = RGB(0, 0, 200);
constexpr COLORREF kImportCursorColour = RGB(0, 150, 0);

// The cursor as the orbit views describe it: array steps, read-outs of t, x and y.
CursorDescription TestCursor()
{
    CursorDescription c;
    c.wrap = CursorWrap::Array;
    c.readouts = {{kSlotT, 0, 2}, {kSlotX, 0, 0}, {kSlotY, 1, 0}};
    c.color = &S::m_clrPO;
    c.importItem = 0;
    return c;
}

class CCursorTestView : public CSectionTestView
{
public:
    CCursorTestView() : CSectionTestView(WithCursor()) {}
    static PlotDescription WithCursor()
    {
        PlotDescription d = Description();
        d.cursor = TestCursor();
        return d;
    }
};

// x, y and z in the three-variable box, with the same cursor.
class CCursorTest3D : public C3DView
{
public:
    CCursorTest3D() : C3DView(Describe()) {}
    static Plot3DDescription Describe()
    {
        Plot3DDescription d;
        d.block = LimitBlock::ProjectedOrbit3;
        d.columns = {kSlotX, kSlotY, kSlotZ};
        d.cursor = TestCursor();
        return d;
    }
};

class SectionHarness : public KindViewHarness<CSectionTestView>
{
public:
    SectionHarness() : KindViewHarness(SystemKind::TwoVariable)
    {
        Open(new CSectionTestView, 640, 480);
        Update(HINT_RESET);
    }
};
} // namespace

// Set Limits of a view that names only its block opens the block's dialog with its captions,
// swaps a reversed pair, sets a working limit beyond its bound back with the axis's message,
// and marks the model modified; Cancel changes nothing.
TEST(PlotPieces, SetLimitsOpensTheBlocksDialogByDefault)
{
    MessageRecorder rec;
    SectionHarness h;
    CGraphTestDoc& d = *h.doc;
    WriteLimits(d, LimitBlock::PoincareSection, {{-4, 4, -10, 10}, {-2, 6, -10, 10}});
    ASSERT_TRUE(h.Enabled(ID_CONTROLS_SET_LIMITS));
    std::string labels;
    OnNextModal([&labels](QWidget* w) {
        auto* dlg = dynamic_cast<C2DViewLimDlg*>(CWnd::FromWidget(w));
        ASSERT_NE(dlg, nullptr);
        labels = dlg->m_strHMinLabel + "|" + dlg->m_strVAbsMaxLabel;
        EXPECT_EQ(dlg->Edit(1038)->text(), "4");
        dlg->Edit(1038)->setText("-3"); // working x max below its min
        dlg->Edit(1036)->setText("3");
        dlg->Edit(1042)->setText("12"); // working y max beyond its bound
        dlg->OnOK();
    });
    h.view->ExecuteCommand(ID_CONTROLS_SET_LIMITS);
    EXPECT_EQ(labels, "Minimum x (psxlo)|Maximum y (psayhi)");
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0], "Working y upper limit is too high.\nSetting value to match "
                               "absolute limit.");
    const PlotLimits g = ReadLimits(d, LimitBlock::PoincareSection);
    EXPECT_EQ(g.x, (AxisLimits{-3, 3, -10, 10}));
    EXPECT_EQ(g.y, (AxisLimits{-2, 10, -10, 10}));
    EXPECT_EQ(d.m_nModified, 1);

    OnNextModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    h.view->ExecuteCommand(ID_CONTROLS_SET_LIMITS);
    EXPECT_EQ(ReadLimits(d, LimitBlock::PoincareSection), g);
    EXPECT_EQ(d.m_nModified, 1);
}

TEST(PlotPieces, EachKindLabelsItsInitialValuesAndEquations)
{
    for (int k = 0; k < kSystemKinds; ++k) {
        const auto kind = static_cast<SystemKind>(k);
        CGraphTestDoc doc(kind);
        const std::vector<double> init = InitialValues(kind, doc);
        EXPECT_EQ(init.size(), InitialValueLabels(kind, InitialLabels::Graph).size()) << k;
        EXPECT_EQ(doc.Equations().size(), MarginLabels(kind).equations.size()) << k;
        EXPECT_EQ(init.front(), doc.m_dInitX) << k;
    }
}

// The texts land in their places: the equations above the plot, the initial values
// and the time base in the left margin, the imported file's name on its colour at the bottom.
TEST(PlotPieces, MarginTextsAreDrawnAroundThePlot)
{
    constexpr COLORREF kImportColour = RGB(180, 0, 0);
    KindViewHarness<CTextsTestView> h(SystemKind::TwoVariable);
    h.doc->m_bHaveImport = 1;
    h.doc->m_clrImport[0] = kImportColour;
    h.doc->m_strImportFile = "orbit.d2d";
    h.Open(new CTextsTestView, 640, 480);
    h.Update(HINT_RESET);
    QApplication::processEvents();
    const QImage img = h.Picture();
    if (const QString dir = qEnvironmentVariable("VELTRIX_SHOTS"); !dir.isEmpty())
        img.save(dir + "/plot_margin_texts.png");
    const CRect plot = h.view->m_rcPlot;
    const COLORREF paper = GetSysColor(COLOR_WINDOW);
    const auto inked = [&](const CRect& r) {
        return r.Width() * r.Height() - CountColour(img, r, paper);
    };
    const CRect above(plot.left, 0, plot.right, plot.top - 2 * h.view->m_nTextHeight);
    const CRect left(0, plot.top, plot.left - 1, plot.bottom);
    const CRect bottomLeft(0, plot.bottom + 1, plot.left + 80,
                           plot.bottom + h.view->m_nMarginBottom);
    EXPECT_GT(inked(above), 100);
    EXPECT_GT(inked(left), 200);
    EXPECT_GT(CountColour(img, bottomLeft, kImportColour), 40);
}

namespace {
void Key(CWnd* view, Qt::Key key)
{
    QTest::keyClick(view->GetWidget(), key);
}

// 60 computed rows on a circle of radius 5, 20 imported rows on one of radius 2.
template <class View> void FillCircles(KindViewHarness<View>& h)
{
    CGraphTestDoc& d = *h.doc;
    d.FillRun(100, 60, [](int slot, double t) {
        return slot == kSlotX ? 5 * std::cos(t) : slot == kSlotY ? 5 * std::sin(t) : 0.0;
    });
    d.m_clrPO = kCursorColour;
    d.m_clrImportView[0] = kImportCursorColour;
    for (auto& c : d.m_arrImport)
        c.assign(20, 0.0);
    for (int r = 0; r < 20; ++r) {
        d.m_arrImport[kSlotT][r] = r * 0.1;
        d.m_arrImport[kSlotX][r] = 2 * std::cos(r * 0.1);
        d.m_arrImport[kSlotY][r] = 2 * std::sin(r * 0.1);
    }
    d.m_nImportRows = 20;
    d.m_bHaveImport = 1;
}

// Pixels of the right margin (where the read-outs stand) near colour c: the text is smoothed.
template <class View> int ReadoutInk(KindViewHarness<View>& h, COLORREF c)
{
    QApplication::processEvents();
    const CRect& p = h.view->m_rcPlot;
    const QImage img = h.Picture();
    if (const QString dir = qEnvironmentVariable("VELTRIX_SHOTS"); !dir.isEmpty())
        img.save(dir + "/plot_cursor_readouts.png");
    const qreal ratio = img.devicePixelRatio();
    int n = 0;
    for (int y = p.top; y < p.bottom; ++y)
        for (int x = p.right + 1; x < p.right + h.view->m_nMarginRight; ++x) {
            const QColor q = img.pixelColor(int(x * ratio), int(y * ratio));
            n += std::abs(q.red() - GetRValue(c)) + std::abs(q.green() - GetGValue(c)) +
                     std::abs(q.blue() - GetBValue(c)) <
                 120;
        }
    return n;
}
} // namespace

// The keys through the window: Up and Down walk the computed rows round their ends, Shift steps
// by ten, 'I' and 'G' switch sources, each redraws the read-outs in its source's colour; an
// update puts the cursor back on the oldest row. The same in both bases.
template <class View> void CursorKeysWalk(KindViewHarness<View>& h)
{
    FillCircles(h);
    h.Update(HINT_RESET);
    QApplication::processEvents();
    View* v = h.view;
    EXPECT_EQ(v->m_cursor.row, 0);
    EXPECT_GT(ReadoutInk(h, kCursorColour), 30); // drawn by the repaint
    const struct
    {
        Qt::Key key;
        int row, source;
    } steps[] = {{Qt::Key_Down, 59, 0}, {Qt::Key_Up, 0, 0},    {Qt::Key_Up, 1, 0},
                 {Qt::Key_I, 0, 1},     {Qt::Key_Down, 19, 1}, {Qt::Key_G, 0, 0}};
    for (const auto& s : steps) {
        Key(v, s.key);
        EXPECT_EQ(v->m_cursor.row, s.row);
        EXPECT_EQ(v->m_cursor.source, s.source);
    }
    QTest::keyPress(v->GetWidget(), Qt::Key_Shift);
    EXPECT_EQ(v->m_cursor.step, 10);
    QTest::keyPress(v->GetWidget(), Qt::Key_Up, Qt::ShiftModifier); // Shift held
    EXPECT_EQ(v->m_cursor.row, 10);
    QTest::keyRelease(v->GetWidget(), Qt::Key_Shift);
    EXPECT_EQ(v->m_cursor.step, 1);
    Key(v, Qt::Key_I);
    EXPECT_GT(ReadoutInk(h, kImportCursorColour), 30);
    EXPECT_EQ(ReadoutInk(h, kCursorColour), 0); // each read-out erased before it is redrawn
    Key(v, Qt::Key_Up);
    h.doc->m_nImportRows = 0; // the import gone: the cursor goes back to the computed rows
    h.doc->m_bHaveImport = 0;
    h.Update(HINT_TITLE);
    EXPECT_EQ(v->m_cursor.source, 0);
    EXPECT_EQ(v->m_cursor.row, 0);
}

TEST(PlotPieces, CursorKeysWalkTheRowsIn2D)
{
    KindViewHarness<CCursorTestView> h(SystemKind::TwoVariable);
    h.Open(new CCursorTestView, 640, 480);
    CursorKeysWalk(h);
}

TEST(PlotPieces, CursorKeysWalkTheRowsIn3D)
{
    KindViewHarness<CCursorTest3D> h(SystemKind::ThreeVariable);
    h.Open(new CCursorTest3D, 640, 480);
    CursorKeysWalk(h);
}

// Without rows the keys do nothing and nothing is drawn; a view without a cursor ignores them.
TEST(PlotPieces, CursorKeysWithoutRowsDoNothing)
{
    KindViewHarness<CCursorTestView> h(SystemKind::TwoVariable);
    h.Open(new CCursorTestView, 640, 480);
    h.Update(HINT_RESET);
    for (Qt::Key k : {Qt::Key_Up, Qt::Key_Down, Qt::Key_G, Qt::Key_I})
        Key(h.view, k);
    EXPECT_EQ(h.view->m_cursor.row, 0);
    EXPECT_EQ(ReadoutInk(h, kCursorColour), 0);

    SectionHarness plain;
    FillCircles(plain);
    Key(plain.view, Qt::Key_Up);
    EXPECT_EQ(plain.view->m_cursor.row, 0);
}

// A click opens the first shown item whose box holds it, in the order the items were added;
// hidden items, items never added and the edges past a box open nothing. An item whose click
// draws the legend anew (a dialog's repaint) runs once.
TEST(PlotPieces, LegendOpensTheFirstItemUnderTheClick)
{
    CPlotLegend legend;
    std::vector<int> opened;
    for (int key : {5, 2, 7})
        legend.Add(key, [&opened, key] { opened.push_back(key); });
    legend.Add(9, [&] {
        opened.push_back(9);
        legend.HideAll();
        legend.Add(9, {});
    });
    legend.Place(5, CRect(0, 0, 20, 10));
    legend.Place(2, CRect(10, 0, 30, 10)); // under 5 where they overlap: 5 came first
    legend.Place(7, CRect(40, 0, 50, 10));
    legend.Hide(7);
    legend.Place(9, CRect(60, 0, 70, 10));
    legend.Place(3, CRect(80, 0, 90, 10)); // not an item
    struct Case
    {
        CPoint at;
        int opened; // -1: nothing
    };
    const Case cases[] = {{{15, 5}, 5},  {{25, 5}, 2},  {{30, 5}, -1}, {{25, 10}, -1},
                          {{45, 5}, -1}, {{85, 5}, -1}, {{65, 5}, 9},  {{15, 5}, -1}};
    for (const Case& c : cases) {
        opened.clear();
        EXPECT_EQ(legend.Dispatch(c.at), c.opened >= 0) << c.at.x << "," << c.at.y;
        EXPECT_EQ(opened, c.opened >= 0 ? std::vector<int>{c.opened} : std::vector<int>{})
            << c.at.x << "," << c.at.y;
    }
    EXPECT_EQ(legend.Box(7), CRect(-1, -1, -1, -1));
    EXPECT_EQ(legend.Box(3), CRect(-1, -1, -1, -1));
}

// The plot base hands the legend only the clicks outside the plot; a press inside starts the
// view's band whether or not a box lies there.
TEST(PlotPieces, LegendHasTheClicksOutsideThePlot)
{
    SectionHarness h;
    int opened = 0;
    h.view->m_legend.Add(0, [&opened] { ++opened; });
    const CRect& p = h.view->m_rcPlotHit;
    h.view->m_legend.Place(0, CRect(p.left, p.top - 12, p.left + 30, p.top + 12));
    h.view->OnLButtonDown(0, CPoint(p.left + 5, p.top - 5));
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(h.view->m_bBanding);
    h.view->OnLButtonDown(0, CPoint(p.left + 5, p.top + 5));
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(h.view->m_bBanding);
}
