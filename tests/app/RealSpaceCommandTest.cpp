// The Real Space view of a Newtonian model through the real main window: View/Real Space opens
// it once, it animates a run sample by sample, and the 3-D command stays grey over it. With
// VELTRIX_SHOTS set to a folder, saves the animation in the middle of a run.
#ifdef HAVE_VELTRIX_VIEWSGRAPH
#include "app/MenuDriver.h"
#include "model/CommandIds.h"
#include "views/graph/RealSpaceRules.h"
#include "views/graph/RealSpaceView.h"

#include <QWidget>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr UINT ID_REAL_SPACE = 32875;

CSys1RS* RealSpaceOf(const CDynSys* doc)
{
    for (CView* v : doc->GetViews())
        if (auto* rs = dynamic_cast<CSys1RS*>(v))
            return rs;
    return nullptr;
}
} // namespace

TEST(RealSpaceCommand, OpensOnceAndAnimatesARun)
{
    EXPECT_FALSE(Offered(ID_REAL_SPACE)); // no model open
    CDynSys* doc = NewModel(IDR_SYS1TYPE);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(Choose(ID_REAL_SPACE));
    CSys1RS* view = RealSpaceOf(doc);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(doc->m_nRSMode, 1); // the model file will reopen it
    EXPECT_FALSE(Offered(ID_REAL_SPACE));
    EXPECT_FALSE(Offered(ID_CONTROLS_SET_YAW_PITCH));
    EXPECT_TRUE(Offered(ID_CONTROLS_SELECT_VARIABLES));
    view->GetParentFrame()->ShowWindow(SW_SHOWMAXIMIZED);

    doc->m_bPlotConcurrent = 1;
    doc->m_bPlotPostCalc = 0;
    doc->m_nAnimDelay = 1;
    doc->m_dRunTimeLimit = 40;
    doc->m_dGraphTMax = 40; // the whole run on the time axis
    ASSERT_TRUE(Choose(ID_CONTROLS_RUN));
    ASSERT_TRUE(Pump([doc] { return doc->m_nTableCount > 300 || !doc->m_bRunning; }));
    EXPECT_TRUE(doc->m_bRunning);
    EXPECT_TRUE(view->m_bLiveDrawn);
    if (const char* dir = std::getenv("VELTRIX_SHOTS"))
        StartShell()->GetWidget()->grab().save(QString(dir) + "/real_space_running.png");
    EXPECT_FALSE(Offered(ID_REAL_SPACE)); // no Newtonian View command during a run
    ASSERT_TRUE(Choose(ID_CONTROLS_STOP));
    ASSERT_TRUE(Pump([doc] { return !doc->m_bRunning; }));
    doc->OnCloseDocument();
}

// A model file whose real-space mode is 1 to 5 reopens the view at idle time; other modes do not.
TEST(RealSpaceCommand, AFileReopensTheViewOfItsMode)
{
    const std::string path = ::testing::TempDir() + "pendulum.ns1";
    for (int mode : {0, 1, 4, 5, 7}) {
        CDynSys* doc = NewModel(IDR_SYS1TYPE);
        ASSERT_NE(doc, nullptr);
        doc->m_nRSMode = mode;
        ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
        doc->OnCloseDocument();
        CDocTemplate* t = nullptr;
        for (CDocTemplate* c : theApp.GetDocTemplates())
            if (c->GetResourceID() == IDR_SYS1TYPE)
                t = c;
        auto* opened = dynamic_cast<CDynSys*>(t->OpenDocumentFile(path.c_str()));
        ASSERT_NE(opened, nullptr);
        for (LONG n = 0; n < 16 && theApp.OnIdle(n); ++n) {
        }
        QCoreApplication::processEvents();
        CSys1RS* view = RealSpaceOf(opened);
        EXPECT_EQ(view != nullptr, mode >= 1 && mode <= 5) << mode;
        if (view) {
            EXPECT_EQ(view->GetParentFrame()->GetWindowText(),
                      opened->m_strFileName + RealSpaceSubtitle(mode));
        }
        opened->OnCloseDocument();
    }
    std::remove(path.c_str());
}
#endif
