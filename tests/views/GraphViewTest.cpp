#include "PlotPixels.h"
#include "ViewHarness.h"
#include "common/MessageRecorder.h"
#include "model/core/KindVars.h"
#include "platform/Ids.h"
#include "views/dialogs/PlotStyleDlg.h"
#include "views/graph/GraphDialogs.h"
#include "views/rows/PlotText.h"

#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace {
constexpr COLORREF kRed = RGB(255, 0, 0);

// Rows whose x is a sine of amplitude a, the other variables small.
void SineRun(CGraphTestDoc& d, int rows, int n, double a)
{
    d.FillRun(rows, n, [a](int slot, double t) { return slot == 1 ? a * std::sin(t) : 0.0; });
}

int CountColour(const GraphHarness& h, const CRect& r, COLORREF c)
{
    return CountColour(h.Picture(), r, c);
}

// A click at a point of the view; returns the table rows it posted.
std::vector<WPARAM> Click(GraphHarness& h, CPoint at)
{
    TableRowCatcher table(*h.doc);
    h.view->OnLButtonDown(0, at);
    h.view->OnLButtonUp(0, at);
    vx::DeliverPostedMessages();
    return table.rows;
}
} // namespace

// The frame lies one pixel outside the plot; the zero line crosses it.
TEST(GraphView, FrameAndZeroLineAreDrawnWhereTheLayoutPutsThem)
{
    GraphHarness h(SystemKind::TwoVariable, 640, 480);
    CGraphView* v = h.view;
    const COLORREF ink = GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_EQ(h.Pixel(v->m_rcPlot.left - 1, v->m_rcPlot.top + 5), ink);
    EXPECT_EQ(h.Pixel(v->m_rcPlot.left + 50, v->WorldToPixelY(0.0)), ink);
}

TEST(GraphView, LegendSkipsHiddenCurves)
{
    GraphHarness h(SystemKind::TwoVariable);
    CGraphView* v = h.view;
    const CRect x = v->m_legend.Box(kSlotX);
    const CRect y = v->m_legend.Box(kSlotY);
    EXPECT_EQ(x.left, 0);
    EXPECT_EQ(y.left, x.right + 2);
    EXPECT_EQ(x.bottom, v->m_rcPlot.top - 1);
    EXPECT_TRUE(v->m_legend.Box(kSlotXpp).IsRectEmpty()); // not a curve of the kind
    EXPECT_EQ(v->m_legend.Box(kSlots + kSlotX), CRect(-1, -1, -1, -1));

    h.doc->m_bPlotX = 0;
    h.Update(HINT_GRAPH_CURVES);
    EXPECT_EQ(v->m_legend.Box(kSlotX), CRect(-1, -1, -1, -1));
    EXPECT_EQ(v->m_legend.Box(kSlotY).left, 0);

    h.doc->m_bPlotY = h.doc->m_bPlotXp = h.doc->m_bPlotYp = 0;
    h.Update(HINT_RESET);
    const int th = v->m_nTextHeight;
    EXPECT_EQ(v->m_rcLegend, CRect(0, v->m_rcPlot.top - 1 - 2 * th, 0, v->m_rcPlot.top));
}

TEST(GraphView, CurvesStayInsideThePlot)
{
    GraphHarness h(SystemKind::OneVariable);
    h.doc->m_bPlotXp = 0;
    SineRun(*h.doc, 1000, 100, 50.0); // far beyond the +-10 window
    h.Repaint();
    CGraphView* v = h.view;
    const CRect& p = v->m_rcPlot;
    EXPECT_GT(CountColour(h, p, kRed), 50);
    const CRect right(p.right + 1, p.top, p.right + v->m_nMarginRight, p.bottom);
    EXPECT_EQ(CountColour(h, right, kRed), 0);
    const CRect above(p.left, p.top - 2 * v->m_nTextHeight + 1, p.right, p.top - 1);
    // The legend swatch is red too, but only left of its label's end.
    EXPECT_EQ(
        CountColour(h, CRect(v->m_rcLegend.right, above.top, above.right, above.bottom), kRed), 0);
}

TEST(GraphView, DivergedRowsAreSkipped)
{
    GraphHarness h(SystemKind::OneVariable);
    h.doc->FillRun(100, 100, [](int slot, double t) {
        if (slot != 1)
            return 0.0;
        return t > 3 ? std::nan("") : (t > 2 ? INFINITY : 1.0);
    });
    h.Repaint(); // no crash, no wild line: only the segments before t = 2 are drawn
    CGraphView* v = h.view;
    const int x2 = v->WorldToPixelX(2.1);
    EXPECT_EQ(
        CountColour(h, CRect(x2, v->m_rcPlot.top, v->m_rcPlot.right, v->m_rcPlot.bottom), kRed), 0);
    EXPECT_GT(
        CountColour(h, CRect(v->m_rcPlot.left, v->m_rcPlot.top, x2, v->m_rcPlot.bottom), kRed), 10);
}

TEST(GraphView, AFlatBandLeavesNoMarkAndAClickPostsTheRow)
{
    GraphHarness h(SystemKind::TwoVariable);
    CGraphView* v = h.view;
    CGraphTestDoc& d = *h.doc;
    SineRun(d, 1000, 100, 1.0);
    const CRect p = v->m_rcPlot;

    // A flat band does nothing and leaves no mark.
    const COLORREF paper = h.Pixel(p.left + 30, p.top + 10);
    v->OnLButtonDown(0, CPoint(p.left + 10, p.top + 10));
    v->OnMouseMove(MK_LBUTTON, CPoint(p.left + 60, p.top + 10));
    v->OnLButtonUp(0, CPoint(p.left + 60, p.top + 10));
    EXPECT_EQ(d.m_dGraphVMax, 10.0);
    EXPECT_FALSE(v->m_bBanding);
    EXPECT_EQ(h.Pixel(p.left + 30, p.top + 10), paper);

    // A click marks the table row and draws the crosshair.
    const CPoint click(v->WorldToPixelX(2.5 * d.m_dChronon) + 1, p.top + 40);
    const auto rows = Click(h, click);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], static_cast<WPARAM>(
                           ClickedGeneratedRow(v->PixelToWorldX(click.x), 0.0, 1, d.m_dChronon)));
    EXPECT_TRUE(v->m_bCrossDrawn);
    EXPECT_EQ(v->m_ptCross, click);
}

// A fifth-order run replaces a zero step by 0.001: the view labels and clicks rows with the
// step the run used, not with the setting.
TEST(GraphView, LabelAndClickUseTheStepOfTheRun)
{
    GraphHarness h(SystemKind::OneVariable);
    CGraphView* v = h.view;
    CGraphTestDoc& d = *h.doc;
    d.m_nIntegrator = 1;
    d.m_dChronon = 0;
    d.m_dRunTimeLimit = 0.5;
    d.m_dGraphTMin = 0;
    d.m_dGraphTMax = 0.5;
    struct : ICalcSink
    {
    } sink;
    d.Run(sink);
    ASSERT_EQ(d.m_nTableCount, 501);
    h.Update(HINT_RESET);
    h.Repaint();
    EXPECT_EQ(v->m_dDt, 0.001);

    const CPoint click(v->WorldToPixelX(0.25), v->m_rcPlot.top + 40);
    const auto rows = Click(h, click);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0],
              static_cast<WPARAM>(ClickedGeneratedRow(v->PixelToWorldX(click.x), 0.0, 1, 0.001)));
    EXPECT_LE(std::abs(static_cast<int>(rows[0]) - 250), 2); // a row near t = 0.25
}

TEST(GraphView, CrosshairIsAnXorMarkThatTheNextClickRemoves)
{
    GraphHarness h(SystemKind::TwoVariable);
    CGraphView* v = h.view;
    const CRect& p = v->m_rcPlot;
    const CPoint first(p.left + 40, p.top + 30), second(p.left + 140, p.top + 90);
    const COLORREF paper = h.Pixel(first.x + 5, first.y);
    Click(h, first);
    EXPECT_EQ(h.Pixel(first.x + 5, first.y), paper ^ 0xFFFFFF);
    EXPECT_EQ(h.Pixel(first.x, first.y - 5), paper ^ 0xFFFFFF);
    Click(h, second);
    EXPECT_EQ(h.Pixel(first.x + 5, first.y), paper);
    EXPECT_EQ(h.Pixel(second.x - 5, second.y), paper ^ 0xFFFFFF);
    // A crosshair asked for outside the plot removes the cross and draws none; the readout
    // is printed all the same.
    {
        CClientDC dc(v);
        v->DrawCrosshair(&dc, p.right + 5, p.top + 10);
    }
    EXPECT_EQ(h.Pixel(second.x - 5, second.y), paper);
    EXPECT_FALSE(v->m_bCrossDrawn);
    EXPECT_GT(v->m_rcCrossValueX.Width(), 0);
}

TEST(GraphView, ImportedDataHasItsOwnLegendRowAndCurves)
{
    GraphHarness h(SystemKind::OneVariable);
    CGraphTestDoc& d = *h.doc;
    d.m_bPlotXp = 0;
    const int n = 50;
    for (auto& c : d.m_arrImport)
        c.assign(n, 0.0);
    for (int i = 0; i < n; ++i) {
        d.m_arrImport[kSlotT][i] = i * 0.1;
        d.m_arrImport[kSlotX][i] = 3.0;
    }
    d.m_nImportRows = n;
    d.m_bHaveImport = 1;
    d.m_strImportFile = "run.d1d";
    h.Update(HINT_RESET);
    CGraphView* v = h.view;
    const int th = v->m_nTextHeight;
    const CRect item = v->m_legend.Box(kSlots + kSlotX);
    EXPECT_EQ(item.left, 0);
    EXPECT_EQ(item.bottom, v->m_rcPlot.top - 1 - th);
    EXPECT_EQ(v->m_legend.Box(kSlots + kSlotXp), CRect(-1, -1, -1, -1));
    const COLORREF imported = d.m_clrImport[VarOf(kSlotX).importPen];
    EXPECT_GT(CountColour(h, v->m_rcPlot, imported), 50);
    // The file name sits at the bottom left in the imported colour.
    EXPECT_GT(CountColour(h, CRect(0, v->m_rcPlot.bottom + 1, 60, 480), imported), 20);
}

TEST(GraphView, MouseReadoutOnlyInsideThePlot)
{
    GraphHarness h(SystemKind::TwoVariable);
    CGraphView* v = h.view;
    const CRect& p = v->m_rcPlot;
    v->OnMouseMove(0, CPoint(p.right + 4, p.top + 4));
    EXPECT_EQ(v->m_rcMouseValueX.Width(), 0);
    v->OnMouseMove(0, CPoint(p.left + 4, p.top + 4));
    EXPECT_GT(v->m_rcMouseValueX.Width(), 0);
    EXPECT_GT(v->m_rcMouseValueY.Height(), 0);
    v->OnSize(SIZE_RESTORED, 700, 500); // a resize leaves nothing to erase
    EXPECT_EQ(v->m_rcMouseValueX.Width(), 0);
    EXPECT_EQ(v->m_rcMouseValueY.Height(), 0);
}

TEST(GraphView, ArrowHeadOpensTowardsTheTail)
{
    GraphHarness h(SystemKind::TwoVariable);
    CGraphView* v = h.view;
    const COLORREF blue = RGB(0, 0, 255);
    {
        CClientDC dc(v);
        v->DrawArrowHead(&dc, 3.0, 0.0, 1.0, 0.0, 12, 40, blue);
        v->DrawArrowHead(&dc, 2.0, 2.0, 2.0, 2.0, 12, 40, blue); // no direction: nothing
    }
    const int x = v->WorldToPixelX(3.0), y = v->WorldToPixelY(0.0);
    EXPECT_EQ(h.Pixel(x - 6, y + 1), blue); // inside the head, left of the tip
    EXPECT_NE(h.Pixel(x + 6, y + 1), blue); // nothing beyond the tip
    EXPECT_NE(h.Pixel(v->WorldToPixelX(2.0) - 3, v->WorldToPixelY(2.0)), blue);
}

TEST(GraphView, DegenerateWindowsDrawWithoutFault)
{
    GraphHarness h(SystemKind::TwoVariable);
    CGraphTestDoc& d = *h.doc;
    SineRun(d, 1000, 200, 3.0);
    const struct
    {
        double t0, t1, v0, v1;
    } windows[] = {{1, 1, 0, 0},    {0, 1e-300, -1e-300, 1e-300}, {-1e300, 1e300, -1e308, 1e308},
                   {5, 1, 10, -10}, {0, INFINITY, -10, 10},       {NAN, NAN, NAN, NAN}};
    for (const auto& w : windows) {
        d.m_dGraphTMin = w.t0;
        d.m_dGraphTMax = w.t1;
        d.m_dGraphVMin = w.v0;
        d.m_dGraphVMax = w.v1;
        h.Update(HINT_RESET);
        EXPECT_GE(h.view->m_nDigitsX, -kMaxDigits);
        EXPECT_LE(h.view->m_nDigitsY, kMaxDigits);
    }
    for (int i = 0; i < 2000; ++i)
        h.view->ExecuteCommand(ID_CONTROLS_ZOOM_NEAR); // shrinks without limit
    h.Repaint();
    d.m_bRunning = 1;
    CRowHint row(10);
    h.view->OnUpdate(nullptr, HINT_ROW, &row);
    d.m_bRunning = 0;
}

TEST(GraphView, SetLimitsCorrectsWithMessages)
{
    MessageRecorder rec;
    GraphHarness h(SystemKind::TwoVariable);
    CGraphTestDoc& d = *h.doc;
    OnNextModal([](QWidget* w) {
        auto* dlg = dynamic_cast<CGraphLimDlg*>(CWnd::FromWidget(w));
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(dlg->Field(1022)->text(), "6.28319");
        dlg->Field(1022)->setText("100");
        dlg->Field(1023)->setText("5");
        dlg->Field(1024)->setText("-5");
        dlg->OnOK();
    });
    h.view->ExecuteCommand(ID_CONTROLS_SET_LIMITS);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0], "Time axis maximum is too large.\nSetting value to match run time.");
    EXPECT_EQ(d.m_dGraphTMax, d.m_dRunTimeLimit);
    EXPECT_EQ(d.m_dGraphVMin, -5.0);
    EXPECT_EQ(d.m_dGraphVMax, 5.0);
    EXPECT_EQ(d.m_nModified, 1);

    OnNextModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    h.view->ExecuteCommand(ID_CONTROLS_SET_LIMITS);
    EXPECT_EQ(d.m_nModified, 1);
}

TEST(GraphView, LegendClickEditsTheCurvePen)
{
    GraphHarness h(SystemKind::ThreeVariable);
    CGraphTestDoc& d = *h.doc;
    const auto saved = CPlotStyleDlg::s_pickColor;
    CPlotStyleDlg::s_pickColor = [](COLORREF, QWidget*) { return RGB(10, 20, 30); };
    OnNextModal([](QWidget* w) {
        auto* dlg = dynamic_cast<CPlotStyleDlg*>(CWnd::FromWidget(w));
        ASSERT_NE(dlg, nullptr);
        dlg->m_editWidth->setText("4");
        dlg->OnSetColor();
        dlg->OnOK();
    });
    const CRect z = h.view->m_legend.Box(kSlotZ);
    h.view->OnLButtonDown(0, CPoint((z.left + z.right) / 2, (z.top + z.bottom) / 2));
    CPlotStyleDlg::s_pickColor = saved;
    EXPECT_EQ(d.m_nWidthZ, 4);
    EXPECT_EQ(d.m_clrZ, RGB(10, 20, 30));
    EXPECT_EQ(d.m_nStyleZ, 0);
    EXPECT_EQ(d.m_nModified, 1);
    EXPECT_FALSE(h.view->m_bBanding);
}

TEST(GraphView, SelectVariablesHidesCurves)
{
    GraphHarness h(SystemKind::Newtonian);
    OnNextModal([](QWidget* w) {
        auto* dlg = dynamic_cast<CGraphVarDlg*>(CWnd::FromWidget(w));
        ASSERT_NE(dlg, nullptr);
        dlg->Box(kSlotXpp)->setChecked(false);
        dlg->OnOK();
    });
    h.view->ExecuteCommand(ID_CONTROLS_SELECT_VARIABLES);
    EXPECT_EQ(h.doc->m_bPlotXpp, 0);
    EXPECT_EQ(h.doc->m_bPlotX, 1);
    EXPECT_EQ(h.doc->m_nModified, 0);
    EXPECT_EQ(h.view->m_legend.Box(kSlotXpp), CRect(-1, -1, -1, -1));
}

TEST(GraphView, PrintsThePictureAcrossThePageWidth)
{
    GraphHarness h(SystemKind::OneVariable, 600, 400);
    SineRun(*h.doc, 1000, 100, 5.0);
    QTemporaryDir dir;
    const QString file = dir.filePath("graph.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    {
        QPainter painter(&printer);
        CDC dc;
        dc.AttachPrinter(&printer, &painter);
        h.view->OnDraw(&dc);
        EXPECT_EQ(dc.GetMapMode(), MM_ANISOTROPIC);
        const int horz = dc.GetDeviceCaps(HORZRES);
        EXPECT_EQ(dc.SetWindowExt(1, 1), CSize(600, 400));
        EXPECT_EQ(dc.SetViewportExt(1, 1), CSize(horz, horz * 3 / 4));
    }
    QFile pdf(file);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(4) == "%PDF");
    EXPECT_GT(pdf.size(), 1000);
    // The layout on paper is the window's.
    EXPECT_EQ(h.view->m_rcPlot.right, 600 - 3 * h.view->m_nTextHeight);
}

TEST(GraphView, OpenViewCountAndClosing)
{
    GraphHarness h(SystemKind::TwoVariable);
    EXPECT_EQ(h.doc->m_nOpenViews[0], 1);
    const HWND wnd = h.view->GetSafeHwnd();
    h.view->DestroyWindow();
    h.view = nullptr;
    EXPECT_EQ(h.doc->m_nOpenViews[0], 0);
    ASSERT_EQ(h.doc->m_closing.size(), 1u);
    EXPECT_EQ(h.doc->m_closing[0], wnd);
}

TEST(GraphView, PlotTimingDecidesWhenCurvesAppear)
{
    GraphHarness h(SystemKind::OneVariable);
    CGraphTestDoc& d = *h.doc;
    d.m_bPlotXp = 0;
    const CRect& p = h.view->m_rcPlot;
    const CRect upper(p.left, p.top, p.right, (p.top + p.bottom) / 2 - 2);
    const CRect lower(p.left, (p.top + p.bottom) / 2 + 2, p.right, p.bottom);

    // Manual Plot: nothing until Controls/Plot asks for it.
    d.m_bPlotManual = 1;
    d.FillRun(1000, 100, [](int, double) { return 5.0; });
    h.Update(HINT_CALC_DONE);
    EXPECT_EQ(CountColour(h, p, kRed), 0);
    d.m_bPlotRequest = 1;
    h.Update(HINT_RESET);
    EXPECT_GT(CountColour(h, upper, kRed), 0);

    // Overlay: the next run is drawn over the picture without erasing it.
    d.m_bPlotManual = 0;
    d.m_bPlotRequest = 0;
    d.m_bPlotOverlay = 1;
    d.FillRun(1000, 100, [](int, double) { return -5.0; });
    h.Update(HINT_CALC_DONE);
    QApplication::processEvents();
    EXPECT_GT(CountColour(h, upper, kRed), 0);
    EXPECT_GT(CountColour(h, lower, kRed), 0);

    // Without overlay the window is repainted with the current run only.
    d.m_bPlotOverlay = 0;
    h.Update(HINT_CALC_DONE);
    EXPECT_EQ(CountColour(h, upper, kRed), 0);
    EXPECT_GT(CountColour(h, lower, kRed), 0);
}
