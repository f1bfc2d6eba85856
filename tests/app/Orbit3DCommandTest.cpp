// The orbit views in space through the real main window: the View command of each kind opens its
// Full Orbit, Orbit Sections, Poincaré Section or Projected Orbit with the run drawn, and a model
// saved with a real-space mode of 6 to 11 comes back with its Cycle Planes view.
#ifdef HAVE_VELTRIX_VIEWSORBIT
#include "app/MenuDriver.h"
#include "common/MessageRecorder.h"
#include "model/CommandIds.h"
#include "model/ViewKinds.h"
#include "model/core/ModelFile.h"
#include "views/PlotPixels.h"
#include "views/base/3DView.h"
#include "views/dialogs/VADlg.h"
#include "views/orbit/CyclePlanesView.h"

#include <QImage>
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

C3DView* ViewNamed(const CDynSys* doc, const std::string& name)
{
    for (CView* v : doc->GetViews())
        if (v->GetRuntimeClass()->m_lpszClassName == name)
            return dynamic_cast<C3DView*>(v);
    return nullptr;
}

int PlotPixelsOf(C3DView* v, COLORREF c)
{
    v->UpdateWindow();
    return CountColour(v->GetBackingImage(), v->m_rcPlotHit, c);
}

struct OrbitCase
{
    UINT kind;
    int view;
    const char* name;
    const char* title;
    COLORREF CModelSettings::*color;
    int angleSlot = 1;
    POINT CModelSettings::*pan = &CModelSettings::m_ptFOView;
};

const OrbitCase kOrbitViews[] = {
    {IDR_SYS1TYPE, kViewFullOrbit, "CSys1PSO", " Full Orbit", &CModelSettings::m_clrFO},
    {IDR_SYS1NNTYPE, kViewFullOrbit, "CSys1NNPSO", " Full Orbit", &CModelSettings::m_clrFO},
    {IDR_SYS2TYPE, kViewFullOrbit, "CSys2PSO", " Full Orbit", &CModelSettings::m_clrFO},
    {IDR_SYS1TYPE, kViewOrbitSections, "CSys1PSOC", " Orbit Sections", nullptr, 2,
     &CModelSettings::m_ptOSView},
    {IDR_SYS1NNTYPE, kViewOrbitSections, "CSys1NNPSOC", " Orbit Sections", nullptr, 2,
     &CModelSettings::m_ptOSView},
    {IDR_SYS2TYPE, kViewOrbitSections, "CSys2PSOC", " Orbit Sections", nullptr, 2,
     &CModelSettings::m_ptOSView},
    {IDR_SYS3TYPE, kViewPoincareSection, "CSys3PS", " Poincar\xE9 Section", nullptr, 3,
     &CModelSettings::m_ptPS3View},
    {IDR_SYS3TYPE, kViewProjectedOrbit, "CSys3PSP", " Projected Orbit", &CModelSettings::m_clrPO, 0,
     &CModelSettings::m_ptPSPView},
};
// A new model of the case's kind, run, with the case's view opened from the View menu and
// maximised; null where any step fails.
C3DView* OpenAfterARun(const OrbitCase& c, CDynSys*& doc)
{
    doc = NewModel(c.kind);
    if (!doc || !RunThroughMenu(doc) || !Choose(ViewInfo(c.view).nID))
        return nullptr;
    C3DView* v = ViewNamed(doc, c.name);
    if (v)
        v->GetParentFrame()->ShowWindow(SW_SHOWMAXIMIZED);
    return v;
}
} // namespace

namespace {
// The view's plot as it stands on the screen.
QImage PlotPicture(C3DView* v)
{
    v->UpdateWindow();
    const QImage& img = v->GetBackingImage();
    const qreal ratio = img.devicePixelRatio();
    const CRect& r = v->m_rcPlotHit;
    return img.copy(int(r.left * ratio), int(r.top * ratio), int(r.Width() * ratio),
                    int(r.Height() * ratio));
}

// The window is made smaller part-way through a run drawn live, then the run goes on to its
// end: the picture then is the one a repaint draws, every row of the run in it.
void ResizeMidRunThenCompare(CDynSys* doc, C3DView* v)
{
    doc->m_bPlotConcurrent = 1;
    doc->m_bPlotPostCalc = 0;
    doc->m_dRunTimeLimit = 30 * 2 * M_PI / doc->m_dAngFreq; // 30 periods
    ASSERT_TRUE(Choose(ID_CONTROLS_RUN));
    ASSERT_TRUE(Pump([doc] { return doc->m_nTableCount > 600 || !doc->m_bRunning; }));
    ASSERT_TRUE(doc->m_bRunning);
    CFrameWnd* frame = v->GetParentFrame();
    frame->ShowWindow(SW_RESTORE);
    frame->MoveWindow(CRect(0, 0, 620, 470));
    QCoreApplication::processEvents();
    ASSERT_TRUE(Pump([doc] { return !doc->m_bRunning; }));
    const QImage atEnd = PlotPicture(v);
    if (const QString dir = qEnvironmentVariable("VELTRIX_SHOTS"); !dir.isEmpty())
        v->GetWidget()->grab().save(dir + "/" + v->GetRuntimeClass()->m_lpszClassName +
                                    "_resized_mid_run.png");
    v->RedrawWindow();
    const QImage repainted = PlotPicture(v);
    ASSERT_EQ(atEnd.size(), repainted.size());
    int differ = 0;
    for (int y = 0; y < atEnd.height(); ++y)
        for (int x = 0; x < atEnd.width(); ++x)
            differ += atEnd.pixel(x, y) != repainted.pixel(x, y);
    EXPECT_EQ(differ, 0);
}
} // namespace

// A resize during a run drawn live keeps the rows drawn before it.
TEST(Orbit3DCommand, AResizeMidRunKeepsTheRowsDrawnBefore)
{
    for (const OrbitCase& c : kOrbitViews) {
        SCOPED_TRACE(c.name);
        CDynSys* doc = NewModel(c.kind);
        ASSERT_NE(doc, nullptr);
        ASSERT_TRUE(Choose(ViewInfo(c.view).nID));
        C3DView* v = ViewNamed(doc, c.name);
        ASSERT_NE(v, nullptr);
        v->GetParentFrame()->ShowWindow(SW_SHOWMAXIMIZED);
        ResizeMidRunThenCompare(doc, v);
        doc->OnCloseDocument();
    }
    const std::string path = ::testing::TempDir() + "planes_mid_run.ns1";
    CDynSys* doc = NewModel(IDR_SYS1TYPE);
    ASSERT_NE(doc, nullptr);
    doc->m_nRSMode = 9;
    ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
    doc->OnCloseDocument();
    doc = dynamic_cast<CDynSys*>(TemplateOf(IDR_SYS1TYPE)->OpenDocumentFile(path.c_str()));
    ASSERT_NE(doc, nullptr);
    Idle();
    C3DView* v = ViewNamed(doc, "CSys1CP");
    ASSERT_NE(v, nullptr);
    v->GetParentFrame()->ShowWindow(SW_SHOWMAXIMIZED);
    if (auto* child = dynamic_cast<CMDIChildWnd*>(v->GetParentFrame()))
        child->MDIActivate();
    ResizeMidRunThenCompare(doc, v);
    doc->OnCloseDocument();
    std::remove(path.c_str());
}

// Each kind's View command opens the view after a run: counted, captioned, turnable, drawn.
TEST(Orbit3DCommand, EachKindOpensItsViews)
{
    for (const OrbitCase& c : kOrbitViews) {
        SCOPED_TRACE(c.name);
        CDynSys* doc = nullptr;
        C3DView* v = OpenAfterARun(c, doc);
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(doc->m_nOpenViews[c.view], 1);
        EXPECT_EQ(v->GetParentFrame()->GetWindowText(), doc->m_strFileName + c.title);
        EXPECT_FALSE(Offered(ViewInfo(c.view).nID)); // one frame per view
        EXPECT_TRUE(Offered(ID_CONTROLS_SET_YAW_PITCH));
        if (c.color) {
            EXPECT_GT(PlotPixelsOf(v, doc->*c.color), 20);
        }
        if (const QString dir = qEnvironmentVariable("VELTRIX_SHOTS"); !dir.isEmpty()) {
            v->UpdateWindow();
            StartShell()->GetWidget()->grab().save(dir + "/" + c.name + ".png");
        }
        doc->OnCloseDocument();
    }
}

// Each view turns with the View Angle dialog and by dragging, draws its run again after its
// frame's restore, and comes back with its angles and pan from the model file saved with it.
TEST(Orbit3DCommand, EachViewTurnsDragsAndComesBackSaved)
{
    const std::string path = ::testing::TempDir() + "turned";
    for (const OrbitCase& c : kOrbitViews) {
        SCOPED_TRACE(c.name);
        CDynSys* doc = nullptr;
        C3DView* v = OpenAfterARun(c, doc);
        ASSERT_NE(v, nullptr);
        QCoreApplication::processEvents();

        ASSERT_TRUE(Choose(ID_CONTROLS_SET_YAW_PITCH));
        ASSERT_NE(v->m_pVADlg, nullptr);
        const int pitch = v->m_nPitch;
        QTest::keyClick(v->m_pVADlg->m_sbPitch, Qt::Key_Down);
        EXPECT_EQ(v->m_nPitch, pitch - 1);
        EXPECT_EQ(doc->m_nViewPitch[c.angleSlot], pitch - 1);
        v->CloseViewAngleDlg();

        const CPoint press((v->m_rcPlot.left + v->m_rcPlot.right) / 2,
                           (v->m_rcPlot.top + v->m_rcPlot.bottom) / 2);
        v->OnLButtonDown(0, press);
        v->OnMouseMove(0, {press.x + 25, press.y - 15});
        v->OnLButtonUp(0, {press.x + 25, press.y - 15});
        EXPECT_EQ((doc->*c.pan).x, 25);
        EXPECT_EQ((doc->*c.pan).y, -15);
        if (c.color) { // the run is drawn again after a restore's skipped drawing
            v->GetParentFrame()->SendMessage(WM_SYSCOMMAND, SC_RESTORE);
            ASSERT_TRUE(Pump([&] { return PlotPixelsOf(v, doc->*c.color) > 20; }));
        }

        const std::string file = path + c.name + DocKindInfo(doc->Kind()).filterExt;
        ASSERT_TRUE(doc->OnSaveDocument(file.c_str()));
        doc->OnCloseDocument();
        auto* opened = dynamic_cast<CDynSys*>(TemplateOf(c.kind)->OpenDocumentFile(file.c_str()));
        ASSERT_NE(opened, nullptr);
        Idle();
        C3DView* back = ViewNamed(opened, c.name);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->m_nPitch, pitch - 1);
        EXPECT_EQ(back->m_ptPan, CPoint(25, -15));
        opened->OnCloseDocument();
        std::remove(file.c_str());
    }
}

// A model file whose Full Orbit holds a pan and a yaw no command can reach opens with them
// replaced and the message; a drag and the View Angle dialog then start from the defaults.
TEST(Orbit3DCommand, AnglesAndPansOutOfRangeInAFileAreReplaced)
{
    const std::string file = ::testing::TempDir() + "far.ds2";
    const OrbitCase& c = kOrbitViews[2]; // the two-variable Full Orbit
    CDynSys* doc = nullptr;
    ASSERT_NE(OpenAfterARun(c, doc), nullptr);
    doc->m_ptFOView = POINT{INT_MAX, 0};
    doc->m_nViewYaw[1] = INT_MIN;
    ASSERT_TRUE(doc->OnSaveDocument(file.c_str()));
    doc->OnCloseDocument();

    const FileDialogHook old = SetFileDialogHook([&](bool, const std::string&) { return file; });
    MessageRecorder recorder;
    EXPECT_TRUE(Choose(ID_FILE_OPEN));
    SetFileDialogHook(old);
    Idle();
    EXPECT_EQ(recorder.messages,
              std::vector<std::string>{ReplacedSettingsMessage({"view angles", "view pans"})});
    CDynSys* opened = nullptr;
    for (CDocument* d : TemplateOf(c.kind)->GetDocuments())
        opened = dynamic_cast<CDynSys*>(d);
    ASSERT_NE(opened, nullptr);
    C3DView* v = ViewNamed(opened, c.name);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->m_ptPan, CPoint(0, 0));
    EXPECT_EQ(v->m_nYaw, 70);

    const CPoint press((v->m_rcPlot.left + v->m_rcPlot.right) / 2,
                       (v->m_rcPlot.top + v->m_rcPlot.bottom) / 2);
    v->OnLButtonDown(0, press);
    v->OnMouseMove(0, {press.x + 20, press.y});
    v->OnLButtonUp(0, {press.x + 20, press.y});
    EXPECT_EQ(opened->m_ptFOView.x, 20);
    ASSERT_TRUE(Choose(ID_CONTROLS_SET_YAW_PITCH));
    ASSERT_NE(v->m_pVADlg, nullptr);
    EXPECT_EQ(v->m_pVADlg->YawText()->text().toStdString(), "70");
    QTest::keyClick(v->m_pVADlg->m_sbYaw, Qt::Key_Down);
    EXPECT_EQ(opened->m_nViewYaw[1], 69);
    v->CloseViewAngleDlg();
    opened->OnCloseDocument();
    std::remove(file.c_str());
}

// A pan however far out comes back to the edge of its range at a drag, never past it, and the
// View Angle dialog holds an angle beyond the bars' range to their end.
TEST(Orbit3DCommand, DragsAndTheAngleDialogStayInRange)
{
    CDynSys* doc = nullptr;
    C3DView* v = OpenAfterARun(kOrbitViews[0], doc);
    ASSERT_NE(v, nullptr);
    v->m_ptPan = CPoint(INT_MAX, INT_MIN);
    const CPoint press((v->m_rcPlot.left + v->m_rcPlot.right) / 2,
                       (v->m_rcPlot.top + v->m_rcPlot.bottom) / 2);
    v->OnLButtonDown(0, press);
    v->OnMouseMove(0, {press.x + 30, press.y + 30});
    v->OnMouseMove(0, {press.x + 40, press.y - 40});
    v->OnLButtonUp(0, {press.x + 40, press.y - 40});
    EXPECT_EQ(v->m_ptPan, CPoint(kViewPanLimit, -kViewPanLimit));
    v->SetYaw(INT_MIN, TRUE);
    ASSERT_TRUE(Choose(ID_CONTROLS_SET_YAW_PITCH));
    ASSERT_NE(v->m_pVADlg, nullptr);
    EXPECT_EQ(v->m_pVADlg->YawText()->text().toStdString(), "-180");
    v->CloseViewAngleDlg();
    doc->OnCloseDocument();
}

// The Cycle Planes view has no View command: a model saved with a real-space mode of 6 to 11
// reopens it, captioned by the mode.
TEST(Orbit3DCommand, ASavedModeReopensTheCyclePlanes)
{
    const std::string path = ::testing::TempDir() + "planes.ns1";
    for (int mode : {0, 3, 6, 7, 8, 9, 10, 11}) {
        SCOPED_TRACE(mode);
        CDynSys* doc = NewModel(IDR_SYS1TYPE);
        ASSERT_NE(doc, nullptr);
        doc->m_nRSMode = mode;
        ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
        doc->OnCloseDocument();
        auto* opened =
            dynamic_cast<CDynSys*>(TemplateOf(IDR_SYS1TYPE)->OpenDocumentFile(path.c_str()));
        ASSERT_NE(opened, nullptr);
        Idle();
        C3DView* v = ViewNamed(opened, "CSys1CP");
        EXPECT_EQ(v != nullptr, mode >= 6) << mode;
        if (v) {
            EXPECT_EQ(v->GetParentFrame()->GetWindowText(),
                      opened->m_strFileName + CyclePlanesTitle(mode));
        }
        opened->OnCloseDocument();
    }
    std::remove(path.c_str());
}
// The cycle planes of a run: its turning points in the second pen with their planes, turned with
// the Full Orbit's stored angles.
TEST(Orbit3DCommand, CyclePlanesOfARun)
{
    const std::string path = ::testing::TempDir() + "cycles.ns1";
    CDynSys* doc = NewModel(IDR_SYS1TYPE);
    ASSERT_NE(doc, nullptr);
    doc->m_nRSMode = 10;
    doc->m_bMarkReturn[0] = 1;
    doc->m_dRunTimeLimit = 20;
    ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
    doc->OnCloseDocument();
    auto* opened = dynamic_cast<CDynSys*>(TemplateOf(IDR_SYS1TYPE)->OpenDocumentFile(path.c_str()));
    ASSERT_NE(opened, nullptr);
    Idle();
    C3DView* v = ViewNamed(opened, "CSys1CP");
    ASSERT_NE(v, nullptr);
    v->GetParentFrame()->ShowWindow(SW_SHOWMAXIMIZED);
    if (auto* child = dynamic_cast<CMDIChildWnd*>(v->GetParentFrame()))
        child->MDIActivate();
    ASSERT_TRUE(RunThroughMenu(opened));
    EXPECT_GT(PlotPixelsOf(v, opened->m_clrPO), 50);
    EXPECT_GT(PlotPixelsOf(v, opened->m_clrPO2), 10);
    EXPECT_FALSE(Offered(ID_CONTROLS_SET_LIMITS));
    EXPECT_FALSE(Offered(ID_CONTROLS_ZOOM_NEAR));
    ASSERT_TRUE(Choose(ID_CONTROLS_SET_YAW_PITCH));
    ASSERT_NE(v->m_pVADlg, nullptr);
    QTest::keyClick(v->m_pVADlg->m_sbYaw, Qt::Key_Up);
    EXPECT_EQ(opened->m_nViewYaw[1], v->m_nYaw);
    v->CloseViewAngleDlg();
    if (const QString dir = qEnvironmentVariable("VELTRIX_SHOTS"); !dir.isEmpty()) {
        v->UpdateWindow();
        StartShell()->GetWidget()->grab().save(dir + "/CSys1CP.png");
    }
    opened->OnCloseDocument();
    std::remove(path.c_str());
}
#endif
