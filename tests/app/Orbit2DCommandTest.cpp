// The orbit views of the plane through the real main window: View/Poincaré Section and
// View/Projected Orbit open the view of each kind (counted, captioned, grey while open), a saved
// model brings them back, and zoom, pan, the rubber band and the cursor keys work during a run
// plotted concurrently and after it.
#ifdef HAVE_VELTRIX_VIEWSORBIT
#include "app/MenuDriver.h"
#include "app/ModalDriver.h"
#include "model/CommandIds.h"
#include "model/ViewKinds.h"
#include "views/PlotPixels.h"
#include "views/orbit/OrbitPlaneView.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPixmap>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

struct PlaneCase
{
    UINT type;
    int view;
    const char* name;
    const char* title;
};

const PlaneCase kPlaneViews[] = {
    {IDR_SYS1TYPE, kViewPoincareSection, "CSys1PS", " Poincar\xE9 Section"},
    {IDR_SYS1NNTYPE, kViewPoincareSection, "CSys1NNPS", " Poincar\xE9 Section"},
    {IDR_SYS2TYPE, kViewPoincareSection, "CSys2PS", " Poincar\xE9 Sections"},
    {IDR_SYS1TYPE, kViewProjectedOrbit, "CSys1PSP", " Projected Orbit"},
    {IDR_SYS1NNTYPE, kViewProjectedOrbit, "CSys1NNPSP", " Projected Orbit"},
    {IDR_SYS2TYPE, kViewProjectedOrbit, "CSys2PSP", " Projected Orbit"},
};

COrbitPlaneView* ViewNamed(const CDynSys* doc, const std::string& name)
{
    for (CView* v : doc->GetViews())
        if (v->GetRuntimeClass()->m_lpszClassName == name)
            return dynamic_cast<COrbitPlaneView*>(v);
    return nullptr;
}

COLORREF DataColour(const CDynSys* doc, int view)
{
    return view == kViewPoincareSection ? doc->m_clrPS : doc->m_clrPO;
}

int PlotPixelsOf(COrbitPlaneView* v, COLORREF c)
{
    v->UpdateWindow();
    return CountColour(v->GetBackingImage(), v->m_rcPlot, c);
}

COrbitPlaneView* OpenMaximised(CDynSys* doc, const PlaneCase& c)
{
    if (!Choose(ViewInfo(c.view).nID))
        return nullptr;
    COrbitPlaneView* v = ViewNamed(doc, c.name);
    if (v) {
        v->GetParentFrame()->ShowWindow(SW_SHOWMAXIMIZED);
        QCoreApplication::processEvents();
    }
    return v;
}

// With VELTRIX_SHOTS naming a folder, the view's window as shown there.
void Shot(COrbitPlaneView* v, const std::string& name)
{
    const QString dir = qEnvironmentVariable("VELTRIX_SHOTS");
    if (dir.isEmpty())
        return;
    v->UpdateWindow();
    v->GetParentFrame()->GetWidget()->grab().save(dir + "/" + QString::fromStdString(name) +
                                                  ".png");
}

void Press(COrbitPlaneView* v, Qt::Key key)
{
    QTest::keyClick(v->GetWidget(), key);
    QCoreApplication::processEvents();
}

} // namespace

// Each kind's View command opens its view after a run: counted, captioned, one frame, drawn,
// and offered again once the frame is closed.
TEST(Orbit2DCommand, EachKindOpensItsViews)
{
    for (const PlaneCase& c : kPlaneViews) {
        SCOPED_TRACE(c.name);
        CDynSys* doc = NewModel(c.type);
        ASSERT_NE(doc, nullptr);
        ASSERT_TRUE(RunThroughMenu(doc));
        const UINT command = ViewInfo(c.view).nID;
        COrbitPlaneView* v = OpenMaximised(doc, c);
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(doc->m_nOpenViews[c.view], 1);
        EXPECT_EQ(v->GetParentFrame()->GetWindowText(), doc->m_strFileName + c.title);
        EXPECT_FALSE(Offered(command)); // one frame per view
        EXPECT_TRUE(Offered(ID_CONTROLS_SET_LIMITS));
        EXPECT_TRUE(Offered(ID_CONTROLS_ZOOM_NEAR));
        EXPECT_GT(PlotPixelsOf(v, DataColour(doc, c.view)), 0);
        Shot(v, std::string("orbit2d_") + c.name);
        v->GetParentFrame()->DestroyWindow();
        QCoreApplication::processEvents();
        EXPECT_EQ(doc->m_nOpenViews[c.view], 0);
        EXPECT_TRUE(Offered(command));
        doc->OnCloseDocument();
    }
}

// A model saved with its orbit views open reopens them when its window comes to the front.
TEST(Orbit2DCommand, ASavedModelReopensItsViews)
{
    const UINT types[] = {IDR_SYS1TYPE, IDR_SYS1NNTYPE, IDR_SYS2TYPE};
    const char* extensions[] = {".ns1", ".ds1", ".ds2"};
    for (int k = 0; k < 3; ++k) {
        const std::string path = ::testing::TempDir() + "plane" + extensions[k];
        CDynSys* doc = NewModel(types[k]);
        ASSERT_NE(doc, nullptr);
        ASSERT_TRUE(Choose(ViewInfo(kViewPoincareSection).nID));
        ASSERT_TRUE(Choose(ViewInfo(kViewProjectedOrbit).nID));
        ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
        doc->OnCloseDocument();

        auto* opened = dynamic_cast<CDynSys*>(TemplateOf(types[k])->OpenDocumentFile(path.c_str()));
        ASSERT_NE(opened, nullptr);
        QCoreApplication::processEvents();
        Idle();
        int found = 0;
        for (const PlaneCase& c : kPlaneViews)
            found += c.type == types[k] && ViewNamed(opened, c.name) != nullptr;
        EXPECT_EQ(found, 2) << extensions[k];
        EXPECT_EQ(opened->m_nOpenViews[kViewPoincareSection], 1);
        EXPECT_EQ(opened->m_nOpenViews[kViewProjectedOrbit], 1);
        opened->OnCloseDocument();
        std::remove(path.c_str());
    }
}

// During a concurrent run the view's zoom, pan, band and cursor keys act on its own window and
// leave the run going; the commands that redraw draw the rows stored so far, never a row.
TEST(Orbit2DCommand, WindowCommandsAndCursorDuringAndAfterARun)
{
    for (const PlaneCase& c : kPlaneViews) {
        SCOPED_TRACE(c.name);
        CDynSys* doc = NewModel(c.type);
        ASSERT_NE(doc, nullptr);
        COrbitPlaneView* v = OpenMaximised(doc, c);
        ASSERT_NE(v, nullptr);
        ASSERT_TRUE(Choose(ID_CONTROLS_PLOTTIMING_CONCURRENTPLOT));
        const int cycles = 1000; // longer than the test lets it run
        doc->m_dRunTimeLimit = cycles * doc->m_dPeriod;
        // Room for every row the run can store, however far it gets before Stop: a ring that
        // wraps keeps only the last rows, and once the one-variable orbit has settled on its
        // fixed point those draw no segment.
        doc->m_nTableRows = cycles * doc->m_nChrononsPerCycle / doc->m_nTableInterval + 1;
        ASSERT_TRUE(Choose(ID_CONTROLS_RUN));
        ASSERT_TRUE(Pump([doc] { return doc->m_nTableCount > 300; }));
        ASSERT_TRUE(doc->m_bRunning);
        Shot(v, std::string("orbit2d_running_") + c.name);

        const PlotLimits before = ReadLimits(*doc, *v->Description().block);
        ASSERT_TRUE(Choose(ID_CONTROLS_ZOOM_NEAR));
        ASSERT_TRUE(Choose(ID_CONTROLS_PAN_LEFT));
        const PlotLimits zoomed = ReadLimits(*doc, *v->Description().block);
        EXPECT_LT(zoomed.x.max - zoomed.x.min, before.x.max - before.x.min);
        EXPECT_LT(zoomed.x.min, (before.x.min + before.x.max) / 2 - 1);

        const CRect& p = v->m_rcPlot;
        const QPoint a(p.left + 20, p.top + 20), b(p.left + 120, p.top + 90);
        QTest::mousePress(v->GetWidget(), Qt::LeftButton, {}, a);
        QTest::mouseMove(v->GetWidget(), b);
        QTest::mouseRelease(v->GetWidget(), Qt::LeftButton, {}, b);
        const PlotLimits banded = ReadLimits(*doc, *v->Description().block);
        EXPECT_LT(banded.x.max - banded.x.min, zoomed.x.max - zoomed.x.min);

        Press(v, Qt::Key_G);
        Press(v, Qt::Key_Up);
        Press(v, Qt::Key_Down);
        Press(v, Qt::Key_Down);
        EXPECT_GE(v->m_cursor.row, 0);
        EXPECT_LT(v->m_cursor.row, doc->m_nTableRows);
        EXPECT_TRUE(doc->m_bRunning);

        ASSERT_TRUE(Choose(ID_CONTROLS_STOP));
        ASSERT_TRUE(Pump([doc] { return !doc->m_bRunning; }));
        ASSERT_TRUE(Choose(ID_CONTROLS_RESET_LIMITS));
        EXPECT_EQ(ReadLimits(*doc, *v->Description().block).x, before.x);
        EXPECT_GT(PlotPixelsOf(v, DataColour(doc, c.view)), 0);
        const int rows =
            static_cast<int>(std::min<std::int64_t>(doc->m_nTableCount, doc->m_nTableRows));
        for (int i = 0; i < 25; ++i) {
            Press(v, i % 3 == 0 ? Qt::Key_Down : Qt::Key_Up);
            EXPECT_GE(v->m_cursor.row, 0);
            EXPECT_LT(v->m_cursor.row, rows);
        }
        doc->OnCloseDocument();
    }
}
// Shift held for the cursor keys and let go while another window has the focus: the view never
// sees it go up, and the arrow after it steps one row.
TEST(Orbit2DCommand, ShiftLetGoInAnotherWindowLeavesTheCursorStepsOfOneRow)
{
    const struct
    {
        const char* name;
        UINT command;
        bool messageBox; // else a dialog
    } cases[] = {
        {"the box asking to save, cancelled", ID_FILE_CLOSE, true},
        {"the limits dialog, cancelled", ID_CONTROLS_SET_LIMITS, false},
    };
    const PlaneCase& orbit = kPlaneViews[5]; // the two-variable Projected Orbit
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CDynSys* doc = NewModel(orbit.type);
        ASSERT_NE(doc, nullptr);
        doc->m_dRunTimeLimit = 20 * doc->m_dPeriod; // a table that does not wrap
        ASSERT_TRUE(RunThroughMenu(doc));
        COrbitPlaneView* v = OpenMaximised(doc, orbit);
        ASSERT_NE(v, nullptr);
        ASSERT_TRUE(Choose(ID_CONTROLS_ZOOM_NEAR)); // a change to save
        Press(v, Qt::Key_G);
        ASSERT_EQ(v->m_cursor.row, 0);
        QTest::keyPress(v->GetWidget(), Qt::Key_Shift);
        QTest::keyPress(v->GetWidget(), Qt::Key_Up, Qt::ShiftModifier);
        EXPECT_EQ(v->m_cursor.row, 10) << "ten rows while Shift is held";
        {
            ShownMessageBoxes shown;
            bool box = false;
            ModalDriver driver({[&box](QDialog* d) {
                QTest::keyRelease(d, Qt::Key_Shift);
                auto* b = qobject_cast<QMessageBox*>(d);
                box = b != nullptr;
                if (b)
                    b->button(QMessageBox::Cancel)->click();
                else
                    d->reject();
            }});
            ASSERT_TRUE(Choose(c.command));
            ASSERT_TRUE(driver.Done());
            EXPECT_EQ(box, c.messageBox);
        }
        Press(v, Qt::Key_Up);
        EXPECT_EQ(v->m_cursor.row, 11) << "one row once Shift is up";
        doc->OnCloseDocument();
    }
}
#endif
