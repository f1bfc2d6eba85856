// The Real Space view of a Newtonian model through the real main window: it has no View command,
// a model file whose real-space mode asks for it reopens it, and it animates a run sample by
// sample. With VELTRIX_SHOTS set to a folder, saves the animation in the middle of a run.
#ifdef HAVE_VELTRIX_VIEWSGRAPH
#include "app/MenuDriver.h"
#include "model/CommandIds.h"
#include "views/graph/RealSpaceRules.h"
#include "views/graph/RealSpaceView.h"

#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

namespace {

CSys1RS* RealSpaceOf(const CDynSys* doc)
{
    for (CView* v : doc->GetViews())
        if (auto* rs = dynamic_cast<CSys1RS*>(v))
            return rs;
    return nullptr;
}

// Saves a new Newtonian model with the given real-space mode and opens it again, idle time
// included.
CDynSys* ReopenWithMode(int mode, const std::string& path)
{
    CDynSys* doc = NewModel(IDR_SYS1TYPE);
    if (!doc)
        return nullptr;
    doc->m_nRSMode = mode;
    if (!doc->OnSaveDocument(path.c_str()))
        return nullptr;
    doc->OnCloseDocument();
    auto* opened = dynamic_cast<CDynSys*>(TemplateOf(IDR_SYS1TYPE)->OpenDocumentFile(path.c_str()));
    Idle();
    return opened;
}
} // namespace

TEST(RealSpaceCommand, AnimatesARun)
{
    const std::string path = ::testing::TempDir() + "animated.ns1";
    CDynSys* doc = ReopenWithMode(1, path);
    ASSERT_NE(doc, nullptr);
    CSys1RS* view = RealSpaceOf(doc);
    ASSERT_NE(view, nullptr);
    if (auto* child = dynamic_cast<CMDIChildWnd*>(view->GetParentFrame()))
        child->MDIActivate();
    QCoreApplication::processEvents();
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
    ASSERT_TRUE(Choose(ID_CONTROLS_STOP));
    ASSERT_TRUE(Pump([doc] { return !doc->m_bRunning; }));
    doc->OnCloseDocument();
    std::remove(path.c_str());
}

// The rod is as long as half the screen's rows less the bob, whatever the window's size.
TEST(RealSpaceCommand, TheRodFollowsTheScreenNotTheWindow)
{
    const std::string path = ::testing::TempDir() + "rod.ns1";
    CDynSys* doc = ReopenWithMode(1, path);
    ASSERT_NE(doc, nullptr);
    CSys1RS* view = RealSpaceOf(doc);
    ASSERT_NE(view, nullptr);
    CFrameWnd* frame = view->GetParentFrame();
    const int rows = view->GetWidget()->screen()->geometry().height();
    for (int height : {0, 200, 450}) {
        if (height == 0) {
            frame->ShowWindow(SW_SHOWMAXIMIZED);
        } else {
            frame->ShowWindow(SW_RESTORE);
            frame->MoveWindow(CRect(0, 0, 500, height));
        }
        view->RedrawWindow();
        QCoreApplication::processEvents();
        EXPECT_EQ(view->m_nRodLength, RodLength(rows)) << height;
    }
    doc->OnCloseDocument();
    std::remove(path.c_str());
}

// A model file whose real-space mode is 1 to 5 reopens the view at idle time; other modes do not.
TEST(RealSpaceCommand, AFileReopensTheViewOfItsMode)
{
    const std::string path = ::testing::TempDir() + "pendulum.ns1";
    for (int mode : {0, 1, 4, 5, 7}) {
        CDynSys* opened = ReopenWithMode(mode, path);
        ASSERT_NE(opened, nullptr);
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
