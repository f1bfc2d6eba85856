// The 3-D plot base through a small view of its own, in the program's MDI frame: the box and the
// run (stored and live), zoom and pan, the boundary dialog, and the View Angle dialog acting on
// the active 3-D view only.
#include "ModelAppHarness.h"
#include "PlotPixels.h"
#include "ThreeDFixture.h"
#include "ViewHarness.h"
#include "common/MessageRecorder.h"
#include "model/CommandIds.h"
#include "model/core/KindVars.h"
#include "views/base/3DView.h"
#include "views/dialogs/PlotLimDlg.h"
#include "views/dialogs/VADlg.h"
#include "views/rows/ViewAngleFlag.h"

#include "views/TestOrbit3D.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QtTest/QTest>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

VX_IMPLEMENT_CLASS(CTestOrbit3D, C3DView)

namespace {
constexpr UINT kTestTemplate = 7316;

class ThreeDViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        static CDocTemplate* t =
            testapp::AddModelTemplate(GraphTestApp(), SystemKind::ThreeVariable,
                                      VX_RUNTIME_CLASS(CTestOrbit3D), kTestTemplate);
        m_template = t;
    }
    void TearDown() override { GraphTestApp().CloseAllDocuments(TRUE); }

    // A model whose first view is the test view, shown in its own document window.
    CTestOrbit3D* Open3D(CDynSys** ppDoc = nullptr)
    {
        return OpenShown3D<CTestOrbit3D>(m_template, ppDoc);
    }
    // A helix of n rows around z in a ring of rows rows.
    static void FillHelix(CDynSys* doc, int rows, int n)
    {
        ShapeRing(doc, rows, n);
        for (int i = 0; i < n; ++i) {
            const double t = i * 0.01;
            doc->m_arrTable[kSlotT][i % rows] = t;
            doc->m_arrTable[kSlotX][i % rows] = 6 * std::cos(t);
            doc->m_arrTable[kSlotY][i % rows] = 6 * std::sin(t);
            doc->m_arrTable[kSlotZ][i % rows] = t / 2 - 8;
        }
    }
    static int RunPixels(C3DView* v, CDynSys* doc)
    {
        v->UpdateWindow();
        return CountColour(v->GetBackingImage(), v->m_rcPlot, doc->m_clrX);
    }
    static CVADlg* OpenAngles()
    {
        GraphTestMainFrame()->ExecuteCommand(ID_CONTROLS_SET_YAW_PITCH);
        auto* v = dynamic_cast<C3DView*>(ActiveMainView());
        return v ? v->m_pVADlg : nullptr;
    }
    static bool Offered(UINT id) { return CommandOffered(id); }
    CDocTemplate* m_template = nullptr;
};
} // namespace

TEST_F(ThreeDViewTest, DrawsTheBoxAndTheRunOnlyWhenDrawingFully)
{
    CDynSys* doc = nullptr;
    CTestOrbit3D* v = Open3D(&doc);
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    // The box's bottom front corner lies on its edges.
    CPoint c = v->BoxCorner(0), d = v->BoxCorner(1);
    const CPoint mid((c.x + d.x) / 2, (c.y + d.y) / 2);
    EXPECT_EQ(CountColour(v->GetBackingImage(), CRect(mid.x - 1, mid.y - 1, mid.x + 2, mid.y + 2),
                          text) > 0,
              true);
    EXPECT_EQ(RunPixels(v, doc), 0);

    FillHelix(doc, 2000, 2000);
    v->RedrawWindow();
    EXPECT_GT(RunPixels(v, doc), 100);
    const QString dir = qEnvironmentVariable("VELTRIX_SHOTS");
    if (!dir.isEmpty())
        GraphTestMainFrame()->GetWidget()->grab().save(dir + "/three_d_base.png");
    v->m_bFullRedraw = 0; // a quick drawing: box and axes only
    v->RedrawWindow();
    EXPECT_EQ(RunPixels(v, doc), 0);
    v->m_bFullRedraw = 1;

    // Manual Plot waits for Controls/Plot.
    doc->m_bPlotManual = 1;
    doc->m_bPlotRequest = 0;
    v->RedrawWindow();
    EXPECT_EQ(RunPixels(v, doc), 0);
}

// Printing maps the window's picture, box and run, across the page.
TEST_F(ThreeDViewTest, PrintsTheWindowsPictureAcrossThePage)
{
    CDynSys* doc = nullptr;
    CTestOrbit3D* v = Open3D(&doc);
    CRect client;
    v->GetClientRect(&client);
    const CRect shown = v->m_rcPlot;
    QTemporaryDir dir;
    auto print = [&](const char* name) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(name));
        QPainter painter(&printer);
        CDC dc;
        dc.AttachPrinter(&printer, &painter);
        v->OnDraw(&dc);
        EXPECT_EQ(dc.GetMapMode(), MM_ANISOTROPIC);
        EXPECT_EQ(dc.SetWindowExt(1, 1), client.Size());
        const int horz = dc.GetDeviceCaps(HORZRES);
        EXPECT_EQ(dc.SetViewportExt(1, 1), CSize(horz, horz * 3 / 4));
        painter.end();
        return QFileInfo(dir.filePath(name)).size();
    };
    const qint64 empty = print("box.pdf");
    FillHelix(doc, 2000, 2000);
    const qint64 full = print("run.pdf");
    EXPECT_GT(empty, 1000);
    EXPECT_GT(full, empty + 2000); // the run's 2000 rows are on the page
    EXPECT_EQ(v->m_rcPlot, shown); // laid out as in the window
}

// Live rows are drawn as they come; rows that are not in the table, or a table that went away,
// read nothing and draw nothing.
TEST_F(ThreeDViewTest, LiveRowsStayInsideTheTable)
{
    CDynSys* doc = nullptr;
    CTestOrbit3D* v = Open3D(&doc);
    FillHelix(doc, 500, 300);
    doc->m_bHaveData = 0; // the repaint shows nothing of it
    v->RedrawWindow();
    for (int row = 1; row < 300; ++row) {
        CRowHint hint(row);
        v->OnUpdate(nullptr, HINT_ROW, &hint);
    }
    v->OnUpdate(nullptr, HINT_TITLE, nullptr); // ends the live drawing
    EXPECT_GT(RunPixels(v, doc), 50);

    v->RedrawWindow();
    for (int row : {-1, 500, 501, 1 << 30}) {
        CRowHint hint(row);
        v->OnUpdate(nullptr, HINT_ROW, &hint);
    }
    for (auto& c : doc->m_arrTable)
        c.clear(); // the table freed after the run
    for (int row : {0, 1, 299}) {
        CRowHint hint(row);
        v->OnUpdate(nullptr, HINT_ROW, &hint);
    }
    doc->m_bHaveData = 1;
    v->RedrawWindow();
    EXPECT_EQ(RunPixels(v, doc), 0);
}

TEST_F(ThreeDViewTest, ZoomAndPanMoveThePictureNotTheLimits)
{
    CDynSys* doc = nullptr;
    CTestOrbit3D* v = Open3D(&doc);
    const int box = v->m_nBoxSize;
    const CPoint origin = v->m_ptOrigin;
    const double xMax = doc->m_dPO3MaxX;
    CMDIFrameWnd* main = GraphTestMainFrame();
    main->ExecuteCommand(ID_CONTROLS_ZOOM_NEAR);
    EXPECT_GT(v->m_nBoxSize, box);
    main->ExecuteCommand(ID_CONTROLS_PAN_LEFT);
    EXPECT_GT(v->m_ptOrigin.x, origin.x);
    EXPECT_EQ(doc->m_ptPSPView.x, v->m_ptPan.x); // kept with the model
    EXPECT_TRUE(doc->IsModified());

    // Dragging the picture moves it by the mouse's way.
    const CPoint from = v->m_ptOrigin;
    const CPoint press(from.x + 5, from.y + 5);
    v->OnLButtonDown(0, press);
    v->OnMouseMove(0, {press.x + 30, press.y - 20});
    v->OnLButtonUp(0, {press.x + 30, press.y - 20});
    EXPECT_EQ(v->m_ptOrigin.x, from.x + 30);
    EXPECT_EQ(v->m_ptOrigin.y, from.y - 20);

    main->ExecuteCommand(ID_CONTROLS_RESET_LIMITS);
    EXPECT_EQ(v->m_nBoxSize, box);
    EXPECT_EQ(v->m_ptOrigin, origin);
    EXPECT_EQ(doc->m_dPO3MaxX, xMax);
}

// Set Limits holds the working limits inside the absolute ones and says so; Auto Scale needs data.
TEST_F(ThreeDViewTest, BoundaryDialogChecksAndAutoScales)
{
    MessageRecorder rec;
    CDynSys* doc = nullptr;
    Open3D(&doc);
    bool autoEnabled = true;
    OnNextModal([&](QWidget* w) {
        auto* d = dynamic_cast<C3DViewLimDlg*>(CWnd::FromWidget(w));
        ASSERT_NE(d, nullptr);
        autoEnabled = d->m_btnAutoScale->isEnabled();
        // The box's captions carry no block prefix.
        EXPECT_EQ(d->m_strLabels[0], "Minimum x (axlo)");
        EXPECT_EQ(d->m_strLabels[3], "Maximum x (xhi)");
        EXPECT_EQ(d->m_strLabels[10], "Minimum z (zlo)");
        EXPECT_EQ(d->m_editFirst->selectedText(), d->m_editFirst->text()); // typed over at once
        d->Edit(1085)->setText("12"); // working x maximum beyond the absolute 10
        d->Edit(1048)->setText("-3");
        d->OnOK();
    });
    GraphTestMainFrame()->ExecuteCommand(ID_CONTROLS_SET_LIMITS);
    EXPECT_FALSE(autoEnabled);
    ASSERT_EQ(rec.messages.size(), 1u);
    EXPECT_EQ(rec.messages[0], "Working x upper limit is too high.\nSetting value to match "
                               "absolute limit.");
    EXPECT_EQ(doc->m_dPO3MaxX, 10);
    EXPECT_EQ(doc->m_dPO3MinZ, -3);

    // With data, Auto Scale fits every axis; Cancel keeps nothing of it.
    doc->m_bHaveData = 1;
    doc->m_dMinX = 0, doc->m_dMaxX = 0.02;
    doc->m_dMinY = 0, doc->m_dMaxY = 200;
    doc->m_dMinZ = -1, doc->m_dMaxZ = 1;
    for (bool ok : {false, true}) {
        OnNextModal([ok](QWidget* w) {
            auto* d = dynamic_cast<C3DViewLimDlg*>(CWnd::FromWidget(w));
            ASSERT_TRUE(d->m_btnAutoScale->isEnabled());
            d->m_btnAutoScale->click();
            EXPECT_EQ(d->Edit(1095)->text(), "210");
            if (ok)
                d->OnOK();
            else
                d->OnCancel();
        });
        GraphTestMainFrame()->ExecuteCommand(ID_CONTROLS_SET_LIMITS);
        EXPECT_EQ(doc->m_dPO3MaxY, ok ? 210 : 10);
    }
    EXPECT_EQ(doc->m_dPO3MinY, -10.5);
    EXPECT_EQ(doc->m_dPO3MaxX, 0.021);
}

// The caller's labels stand beside the fields; imported data alone enables Auto Scale, which
// fills the plane's limits; a limit beyond +-1e30 is refused.
TEST_F(ThreeDViewTest, PlaneBoundaryDialog)
{
    MessageRecorder rec;
    C2DViewLimDlg d;
    d.m_strHMinLabel = "Minimum x (psxlo)";
    d.m_bHaveData[1] = 1;
    d.Create(0);
    EXPECT_EQ(d.GetDialog()->findChildren<QLabel*>()[0]->text(), "Minimum x (psxlo)");
    d.m_dDataXMin = 0, d.m_dDataXMax = 7.3, d.m_dDataYMin = -2, d.m_dDataYMax = 2;
    d.m_btnAutoScale->click();
    EXPECT_EQ(d.Edit(1044)->text(), "-0.3833");
    EXPECT_EQ(d.Edit(1040)->text(), "-2.21");
    d.Edit(1038)->setText("2e30");
    d.OnOK();
    EXPECT_EQ(rec.messages, std::vector<std::string>{"Please enter a number between -1e+030 and "
                                                     "1e+030."});
    EXPECT_TRUE(d.IsWindowVisible());
}

// The dialog turns the active 3-D view, greys its command everywhere while it is open, ignores
// Enter and Escape, and goes with its close box or with the view that opened it.
TEST_F(ThreeDViewTest, ViewAngleDialogTurnsTheActive3DViewOnly)
{
    CDynSys* doc = nullptr;
    CTestOrbit3D* v = Open3D(&doc);
    FillHelix(doc, 2000, 2000);
    ASSERT_TRUE(Offered(ID_CONTROLS_SET_YAW_PITCH));
    CVADlg* dlg = OpenAngles();
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(g_bViewAngleDlgOpen);
    EXPECT_FALSE(Offered(ID_CONTROLS_SET_YAW_PITCH));
    EXPECT_EQ(dlg->PitchText()->text(), "30");
    EXPECT_EQ(dlg->YawText()->text(), "70"); // the model's own angles

    QTest::keyClick(dlg->m_sbPitch, Qt::Key_Up);
    EXPECT_EQ(v->m_nPitch, 31);
    EXPECT_EQ(doc->m_nViewPitch[0], 31);
    EXPECT_EQ(dlg->PitchText()->text(), "31");
    EXPECT_GT(RunPixels(v, doc), 100);
    QTest::keyClick(dlg->m_sbYaw, Qt::Key_PageDown);
    EXPECT_EQ(v->m_nYaw, 60);

    // Holding updates: while the key is held each step draws only the box; letting it go ends
    // the scroll, which draws all.
    dlg->HoldBox()->setChecked(true);
    QTest::keyPress(dlg->m_sbPitch, Qt::Key_Up);
    EXPECT_EQ(v->m_nPitch, 32);
    EXPECT_EQ(RunPixels(v, doc), 0);
    QTest::keyRelease(dlg->m_sbPitch, Qt::Key_Up);
    EXPECT_GT(RunPixels(v, doc), 100);
    dlg->HoldBox()->setChecked(false);

    // Enter and Escape leave it open.
    QTest::keyClick(dlg->GetDialog(), Qt::Key_Escape);
    QTest::keyClick(dlg->GetDialog(), Qt::Key_Return);
    EXPECT_TRUE(dlg->IsWindowVisible());

    // A 2-D view active: the bar moves, nothing turns.
    CDynSys* plain = NewModel(SystemKind::TwoVariable);
    GraphTestMainFrame()->MDIActivate(GraphOf(plain)->GetParentFrame());
    EXPECT_FALSE(Offered(ID_CONTROLS_SET_YAW_PITCH));
    QTest::keyClick(dlg->m_sbPitch, Qt::Key_Up);
    EXPECT_EQ(dlg->PitchText()->text(), "33");
    EXPECT_EQ(v->m_nPitch, 32);

    dlg->GetDialog()->close(); // the close box
    ASSERT_TRUE(PumpUntil([] { return !g_bViewAngleDlgOpen; }));
    EXPECT_EQ(v->m_pVADlg, nullptr);

    // The view that opened it takes it along when it closes.
    GraphTestMainFrame()->MDIActivate(v->GetParentFrame());
    ASSERT_NE(OpenAngles(), nullptr);
    doc->OnCloseDocument();
    EXPECT_FALSE(g_bViewAngleDlgOpen);
}

// With "Hold Updates" every way of stepping a bar ends its scroll, and from then on the view
// draws the whole run again, not only its box.
TEST_F(ThreeDViewTest, HeldUpdatesEndWithEveryScrollAction)
{
    CDynSys* doc = nullptr;
    CTestOrbit3D* v = Open3D(&doc);
    FillHelix(doc, 2000, 2000);
    CVADlg* dlg = OpenAngles();
    ASSERT_NE(dlg, nullptr);
    dlg->HoldBox()->setChecked(true);
    QScrollBar* bar = dlg->m_sbPitch;
    auto clickOn = [bar](QStyle::SubControl part) {
        QStyleOptionSlider opt;
        opt.initFrom(bar);
        opt.orientation = bar->orientation();
        opt.minimum = bar->minimum();
        opt.maximum = bar->maximum();
        opt.sliderPosition = opt.sliderValue = bar->sliderPosition();
        opt.singleStep = bar->singleStep();
        opt.pageStep = bar->pageStep();
        const QRect r = bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, part, bar);
        QTest::mouseClick(bar, Qt::LeftButton, {}, r.center());
    };
    struct Case
    {
        const char* how;
        std::function<void()> step;
    };
    const Case cases[] = {
        {"key", [bar] { QTest::keyClick(bar, Qt::Key_Down); }},
        {"arrow", [&] { clickOn(QStyle::SC_ScrollBarAddLine); }},
        {"trough", [&] { clickOn(QStyle::SC_ScrollBarAddPage); }},
    };
    for (const Case& c : cases) {
        const int before = v->m_nPitch;
        c.step();
        EXPECT_LT(v->m_nPitch, before) << c.how;
        EXPECT_GT(RunPixels(v, doc), 100) << c.how;
        v->RedrawWindow(); // a later repaint
        EXPECT_GT(RunPixels(v, doc), 100) << c.how;
    }
    dlg->GetDialog()->close();
    ASSERT_TRUE(PumpUntil([] { return !g_bViewAngleDlgOpen; }));
}
