// The Newtonian Real Space view on a test document: its modes, the pendulum swinging without a
// trail, the stored run, and the click that marks a table row.
#include "views/graph/RealSpaceView.h"
#include "PlotPixels.h"
#include "ViewHarness.h"
#include "model/CommandIds.h"
#include "platform/Messages.h"
#include "views/graph/RealSpaceRules.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {
class RealSpaceHarness : public KindViewHarness<CSys1RS>
{
public:
    explicit RealSpaceHarness(int mode) : KindViewHarness(SystemKind::Newtonian)
    {
        doc->m_nRSMode = mode;
        doc->m_dGraphTMax = 50;
        Open(new CSys1RS, 640, 480);
        Repaint();
    }
    // x swinging as sin(t) for n rows one chronon apart.
    void Swing(int n)
    {
        doc->FillRun(n, n, [](int slot, double t) {
            return slot == kSlotX ? std::sin(t) : slot == kSlotXp ? std::cos(t) : -std::sin(t);
        });
    }
    void Row(int r)
    {
        CRowHint hint(r);
        view->OnUpdate(nullptr, HINT_ROW, &hint);
    }
};

// The picture above the zero line, where only the pendulum moves.
QImage UpperHalf(const RealSpaceHarness& h)
{
    const CRect& p = h.view->m_rcPlot;
    const int y0 = h.view->WorldToPixelY(0);
    const qreal r = h.Picture().devicePixelRatio();
    return h.Picture().copy(int(p.left * r), int(p.top * r), int(p.Width() * r),
                            int((y0 - p.top - 1) * r));
}
} // namespace

TEST(RealSpaceView, ModesSetTheLegendAndTheCommands)
{
    struct Case
    {
        int mode;
        bool selectVariables;
        bool timeLegend; // " p ", " v ", " a " rather than " s "
    };
    const Case cases[] = {{1, true, true},   {2, true, true}, {3, true, true},  {4, false, false},
                          {5, false, false}, {0, true, true}, {9, false, false}};
    for (const Case& c : cases) {
        RealSpaceHarness h(c.mode);
        EXPECT_EQ(h.Enabled(ID_CONTROLS_SELECT_VARIABLES), c.selectVariables) << c.mode;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(h.view->m_legend.Box(i).left >= 0, c.timeLegend) << c.mode << " " << i;
        EXPECT_EQ(h.view->m_legend.Box(14).left >= 0, !c.timeLegend) << c.mode;
    }
    // A curve not shown has no swatch.
    RealSpaceHarness h(1);
    h.doc->m_bPlotXp = 0;
    h.Repaint();
    EXPECT_EQ(h.view->m_legend.Box(1), CRect(-1, -1, -1, -1));
    EXPECT_GE(h.view->m_legend.Box(2).left, 0);
}

// At x = 0 the bob rests on the zero line; a moving pendulum is removed before it is drawn anew,
// so after any number of rows the upper half shows one pendulum only.
TEST(RealSpaceView, PendulumSwingsWithoutATrail)
{
    for (int mode : {1, 3}) { // the time modes trace below the zero line only
        RealSpaceHarness h(mode);
        const int x0 = h.view->WorldToPixelX(0), y0 = h.view->WorldToPixelY(0);
        const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT) ^ GetSysColor(COLOR_WINDOW) ^
                             GetSysColor(COLOR_WINDOW); // XOR on the paper
        EXPECT_GT(CountColour(h.Picture(), CRect(x0 - 3, y0 - 8, x0 + 4, y0 - 2), ink), 10);

        h.Swing(300);
        h.doc->m_bHaveData = 0;
        h.doc->m_bRunning = 1;
        h.Repaint();
        for (int r = 1; r < 200; ++r)
            h.Row(r);
        h.doc->m_bRunning = 0;
        h.view->OnUpdate(nullptr, HINT_TITLE, nullptr); // the live drawing ends
        const QImage live = UpperHalf(h);
        h.doc->m_dInitX = h.doc->m_arrTable[kSlotX][199];
        h.Repaint();
        EXPECT_EQ(live, UpperHalf(h)) << "mode " << mode;
    }
}

// Rows that are not in the table, a table that went away, or rows after the run read nothing.
TEST(RealSpaceView, NoRowIsReadOutsideTheTable)
{
    RealSpaceHarness h(1);
    h.Swing(100);
    h.doc->m_bHaveData = 0;
    h.Repaint();
    const QImage before = h.Picture();
    h.doc->m_bRunning = 1;
    for (int r : {-1, 100, 101, 1 << 30})
        h.Row(r);
    for (auto& c : h.doc->m_arrTable)
        c.clear();
    for (int r : {0, 1, 99})
        h.Row(r);
    h.doc->m_bRunning = 0;
    h.Swing(100);
    h.Row(50); // after the run: nothing moves
    h.view->OnUpdate(nullptr, HINT_TITLE, nullptr);
    EXPECT_EQ(before, h.Picture());
}

TEST(RealSpaceView, StoredRunIsTracedWhenPlottingIsDue)
{
    struct Case
    {
        int mode;
        BOOL manual, request;
        bool traced;
    };
    const Case cases[] = {{1, 0, 0, true}, {4, 0, 0, true}, {1, 1, 0, false}, {1, 1, 1, true}};
    for (const Case& c : cases) {
        RealSpaceHarness h(c.mode);
        h.Swing(400);
        h.doc->m_bPlotManual = c.manual;
        h.doc->m_bPlotRequest = c.request;
        h.Repaint();
        const COLORREF pen = c.mode >= 4 ? h.doc->m_clrPO : h.doc->m_clrX;
        EXPECT_EQ(CountColour(h.Picture(), h.view->m_rcPlot, pen) > 50, c.traced) << c.mode;
    }
}

// A click in a time mode marks the row of the time at its height; a phase mode, or imported
// data, marks none; the crosshair is drawn in each case.
TEST(RealSpaceView, ClickMarksTheRowOfItsTime)
{
    struct Case
    {
        int mode;
        int source;
        bool posts;
    };
    const Case cases[] = {{1, 0, true}, {4, 0, false}, {1, 1, false}};
    for (const Case& c : cases) {
        RealSpaceHarness h(c.mode);
        h.Swing(1000);
        h.doc->m_nTableSource = c.source;
        h.Repaint();
        TableRowCatcher table(*h.doc);
        const CRect& p = h.view->m_rcPlot;
        const CPoint click(h.view->WorldToPixelX(0) + 30, p.top + p.Height() * 7 / 10);
        h.view->OnLButtonDown(0, click);
        h.view->OnLButtonUp(0, click);
        vx::DeliverPostedMessages();
        ASSERT_EQ(table.rows.size(), c.posts ? 1u : 0u) << c.mode;
        if (c.posts) {
            const double tau = h.view->PixelToWorldY(click.y);
            EXPECT_EQ(table.rows[0], WPARAM(tau / h.doc->m_dChronon)) << tau;
        }
        EXPECT_TRUE(h.view->m_bCrossDrawn);
    }
}

// A printed page is the window's picture; printing leaves the window's picture as it was.
TEST(RealSpaceView, PrintingKeepsTheWindowsRod)
{
    for (int mode : {1, 4}) {
        RealSpaceHarness h(mode);
        h.doc->m_dInitX = 0.6;
        h.Swing(300);
        h.Repaint();
        const QImage shown = h.Picture();
        const int rod = h.view->m_nRodLength;
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("real-space.pdf"));
        {
            QPainter painter(&printer);
            CDC dc;
            dc.AttachPrinter(&printer, &painter);
            h.view->OnDraw(&dc);
        }
        EXPECT_EQ(h.view->m_nRodLength, rod) << mode;
        h.Repaint();
        EXPECT_EQ(h.Picture(), shown) << mode;
    }
}
