// The 3-D base serving a view of the forcing-phase cylinder through the program's MDI frame: the
// run drawn through the cylinder's mapping, the commands of its kind only, the box size's zoom
// and reset, and Set Limits of its two axes with the block's own captions.
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

#include "views/TestOrbit3D.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QtTest/QTest>
#include <cmath>
#include <gtest/gtest.h>

VX_IMPLEMENT_CLASS(CTestCylinder3D, C3DView)

namespace {
constexpr UINT kCylinderTemplate = 7317, kBoxTemplate = 7318;

class ThreeDCylinderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        static CDocTemplate* t =
            testapp::AddModelTemplate(GraphTestApp(), SystemKind::Newtonian,
                                      VX_RUNTIME_CLASS(CTestCylinder3D), kCylinderTemplate);
        static CDocTemplate* box =
            testapp::AddModelTemplate(GraphTestApp(), SystemKind::ThreeVariable,
                                      VX_RUNTIME_CLASS(CTestOrbit3D), kBoxTemplate);
        m_template = t;
        m_box = box;
    }
    void TearDown() override { GraphTestApp().CloseAllDocuments(TRUE); }

    CTestCylinder3D* Open(CDynSys** ppDoc)
    {
        return OpenShown3D<CTestCylinder3D>(m_template, ppDoc);
    }
    // n rows at x = x0, x' = 0: a circle about the cylinder's axis, one turn per 2 pi of time.
    static void FillCircle(CDynSys* doc, int n, double x0)
    {
        ShapeRing(doc, n, n);
        for (int i = 0; i < n; ++i) {
            doc->m_arrTable[kSlotT][i] = i * 0.01;
            doc->m_arrTable[kSlotX][i] = x0;
        }
    }
    static bool Offered(UINT id) { return CommandOffered(id); }
    static int Near(C3DView* v, CPoint p, COLORREF c)
    {
        v->UpdateWindow();
        return CountColour(v->GetBackingImage(), CRect(p.x - 2, p.y - 2, p.x + 3, p.y + 3), c);
    }
    CDocTemplate* m_template = nullptr;
    CDocTemplate* m_box = nullptr;
};
} // namespace

// Each row lies at the angle af t, at the radius of its x and the height of its x'.
TEST_F(ThreeDCylinderTest, RowsWindRoundTheCylinder)
{
    CDynSys* doc = nullptr;
    CTestCylinder3D* v = Open(&doc);
    FillCircle(doc, 700, 0); // x = 0: radius 10, seven radians
    doc->m_dAngFreq = 1;
    v->OnUpdate(nullptr, HINT_RESET, nullptr);
    const double pi = std::acos(-1.0);
    for (double theta : {0.0, pi / 2, pi, 1.5 * pi})
        EXPECT_GT(Near(v, v->Project(10 * std::cos(theta), 10 * std::sin(theta), 0), doc->m_clrFO),
                  0)
            << theta;
    // A wider working range of x draws the same rows nearer the axis.
    doc->m_dFOMin1 = -30, doc->m_dFOMax1 = 30;
    v->OnUpdate(nullptr, HINT_RESET, nullptr);
    EXPECT_DOUBLE_EQ(v->m_cyl.m_dRadiusScale, 10.0 / 60);
    EXPECT_GT(Near(v, v->Project(0, 10, 0), doc->m_clrFO), 0);
    const QString dir = qEnvironmentVariable("VELTRIX_SHOTS");
    if (!dir.isEmpty())
        GraphTestMainFrame()->GetWidget()->grab().save(dir + "/three_d_cylinder.png");
}

// The kind's commands only: no pan; Zoom Far greys below the smallest box; Reset brings back
// the box size and pan of the last resize, and keeps that pan with the model.
TEST_F(ThreeDCylinderTest, ZoomAndResetOfTheBoxSize)
{
    CDynSys* doc = nullptr;
    CTestCylinder3D* v = Open(&doc);
    for (UINT id :
         {ID_CONTROLS_PAN_UP, ID_CONTROLS_PAN_DOWN, ID_CONTROLS_PAN_LEFT, ID_CONTROLS_PAN_RIGHT})
        EXPECT_FALSE(Offered(id));
    EXPECT_TRUE(Offered(ID_CONTROLS_SET_YAW_PITCH));
    const int home = v->m_nBoxSize;
    EXPECT_EQ(home, 3 * std::min(v->m_rcPlot.Width(), v->m_rcPlot.Height()) / 4);
    const CPoint origin = v->m_ptOrigin;

    CMDIFrameWnd* main = GraphTestMainFrame();
    main->ExecuteCommand(ID_CONTROLS_ZOOM_NEAR);
    EXPECT_EQ(v->m_nBoxSize, static_cast<int>(home * 1.1));
    while (Offered(ID_CONTROLS_ZOOM_FAR))
        main->ExecuteCommand(ID_CONTROLS_ZOOM_FAR);
    EXPECT_LT(v->m_nBoxSize, 100);
    EXPECT_GE(v->m_nBoxSize, 90);
    EXPECT_EQ(doc->m_dFOMax1, 10); // the limits are not zoomed

    v->OnLButtonDown(0, {origin.x + 5, origin.y + 5});
    v->OnMouseMove(0, {origin.x + 45, origin.y + 5});
    v->OnLButtonUp(0, {origin.x + 45, origin.y + 5});
    EXPECT_EQ(doc->m_ptFOView.x, 40);
    main->ExecuteCommand(ID_CONTROLS_RESET_LIMITS);
    EXPECT_EQ(v->m_nBoxSize, home);
    EXPECT_EQ(v->m_ptOrigin, origin);
    EXPECT_EQ(doc->m_ptFOView.x, 0);
    v->OnUpdate(nullptr, HINT_MODEL, nullptr); // the next update keeps the reset picture
    v->UpdateWindow();
    EXPECT_EQ(v->m_ptOrigin, origin);
}

// Set Limits opens the plane's dialog on the block's two axes, with the block's captions; the
// values typed are swapped where reversed and held inside the absolute limits.
TEST_F(ThreeDCylinderTest, SetLimitsOfTheTwoAxesWithTheBlocksCaptions)
{
    MessageRecorder rec;
    CDynSys* doc = nullptr;
    CTestCylinder3D* v = Open(&doc);
    doc->m_dFOMax2 = 3.14159; // shown to the digits of its range
    std::vector<std::string> labels;
    OnNextModal([&](QWidget* w) {
        auto* d = dynamic_cast<C2DViewLimDlg*>(CWnd::FromWidget(w));
        ASSERT_NE(d, nullptr);
        for (QLabel* l : w->findChildren<QLabel*>())
            labels.push_back(l->text().toStdString());
        EXPECT_EQ(d->Edit(1042)->text(), "3.142");
        d->Edit(1036)->setText("4"); // working x reversed
        d->Edit(1038)->setText("-4");
        d->Edit(1042)->setText("11"); // working x' above its absolute maximum
        d->OnOK();
    });
    GraphTestMainFrame()->ExecuteCommand(ID_CONTROLS_SET_LIMITS);
    std::sort(labels.begin(), labels.end());
    const std::vector<std::string> expected = {
        "Maximum x (foaxhi)", "Maximum x (foxhi)", "Maximum x' (foax'hi)", "Maximum x' (fox'hi)",
        "Minimum x (foaxlo)", "Minimum x (foxlo)", "Minimum x' (foax'lo)", "Minimum x' (fox'lo)"};
    EXPECT_EQ(labels, expected);
    EXPECT_EQ(rec.messages, std::vector<std::string>{"Working x' upper limit is too high.\n"
                                                     "Setting value to match absolute limit."});
    EXPECT_EQ(doc->m_dFOMin1, -4);
    EXPECT_EQ(doc->m_dFOMax1, 4);
    EXPECT_EQ(doc->m_dFOMax2, 10);
    EXPECT_TRUE(doc->IsModified());
    EXPECT_DOUBLE_EQ(v->m_cyl.m_dRadiusMax, 4); // this view took them at once
}

// Limits that leave an axis without a range are not taken: the message, and the block and the
// model as they were.
TEST_F(ThreeDCylinderTest, SetLimitsWithAClosedRangeChangesNothing)
{
    MessageRecorder rec;
    CDynSys* doc = nullptr;
    Open(&doc);
    doc->SetModifiedFlag(FALSE);
    const double min1 = doc->m_dFOMin1, max1 = doc->m_dFOMax1;
    OnNextModal([](QWidget* w) {
        auto* d = dynamic_cast<C2DViewLimDlg*>(CWnd::FromWidget(w));
        ASSERT_NE(d, nullptr);
        d->Edit(1036)->setText("2"); // working x closed
        d->Edit(1038)->setText("2");
        d->OnOK();
    });
    GraphTestMainFrame()->ExecuteCommand(ID_CONTROLS_SET_LIMITS);
    EXPECT_EQ(rec.messages, std::vector<std::string>{kClosedRangeMessage});
    EXPECT_EQ(doc->m_dFOMin1, min1);
    EXPECT_EQ(doc->m_dFOMax1, max1);
    EXPECT_FALSE(doc->IsModified());
}

// A view without a block or box commands (as the cycle planes) has only the View Angle; the
// cylinder's kind has all but pan.
TEST_F(ThreeDCylinderTest, CommandsByTheViewsKind)
{
    Plot3DDescription bare = CTestCylinder3D::Describe();
    bare.block.reset();
    bare.commands = 0;
    C3DView plain(bare);
    CTestCylinder3D cylinder;
    struct Case
    {
        UINT id;
        bool plain, cylinder;
    };
    const Case cases[] = {
        {ID_CONTROLS_ZOOM_NEAR, false, true},    {ID_CONTROLS_ZOOM_FAR, false, true},
        {ID_CONTROLS_RESET_LIMITS, false, true}, {ID_CONTROLS_SET_LIMITS, false, true},
        {ID_CONTROLS_PAN_UP, false, false},      {ID_CONTROLS_PAN_RIGHT, false, false},
        {ID_CONTROLS_SET_YAW_PITCH, true, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(plain.OnCmdMsg(c.id, CmdKind::HasHandler, nullptr), c.plain) << c.id;
        EXPECT_EQ(cylinder.OnCmdMsg(c.id, CmdKind::HasHandler, nullptr), c.cylinder) << c.id;
    }
}

// The View Angle dialog takes the angles of an activated view only where the view asks for it;
// elsewhere it goes on from the angles it shows.
TEST_F(ThreeDCylinderTest, TheViewAngleDialogReloadsOnlyWhereTheViewAsks)
{
    CDynSys* doc = nullptr;
    CTestCylinder3D* cylinder = Open(&doc);
    CMDIFrameWnd* main = GraphTestMainFrame();
    main->ExecuteCommand(ID_CONTROLS_SET_YAW_PITCH);
    CVADlg* dlg = cylinder->m_pVADlg;
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->PitchText()->text(), "30");

    auto* boxDoc = dynamic_cast<CDynSys*>(m_box->OpenDocumentFile(nullptr));
    boxDoc->m_nViewPitch[0] = 50;
    auto* box = dynamic_cast<CTestOrbit3D*>(boxDoc->GetViews().front());
    box->OnUpdate(nullptr, HINT_RESET, nullptr);
    main->MDIActivate(cylinder->GetParentFrame());
    main->MDIActivate(box->GetParentFrame());
    EXPECT_EQ(dlg->PitchText()->text(), "50"); // the box view reloads

    main->MDIActivate(cylinder->GetParentFrame());
    EXPECT_EQ(dlg->PitchText()->text(), "50"); // the cylinder does not
    QTest::keyClick(dlg->m_sbPitch, Qt::Key_Up);
    EXPECT_EQ(cylinder->m_nPitch, 51);
    EXPECT_EQ(doc->m_nViewPitch[1], 51);
    EXPECT_TRUE(doc->IsModified()); // the angles are saved with the model
}
