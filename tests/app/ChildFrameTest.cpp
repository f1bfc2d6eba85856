// The child frame: view switching and the skip flag.
#include "ShellFixture.h"
#include "app/ChildFrm.h"
#include "platform/DocTemplate.h"
#include "platform/Document.h"
#include "platform/Help.h"
#include "resources/ResourceIds.h"

#include <QMdiSubWindow>
#include <gtest/gtest.h>

// A view class without dynamic creation.
class CAbstractTestView : public CView
{
    VX_DECLARE_CLASS(CAbstractTestView)
};
VX_IMPLEMENT_ABSTRACT(CAbstractTestView, CView)

namespace {

class CSwitchTestView : public CView
{
    VX_DECLARE_CLASS(CSwitchTestView)
public:
    CSwitchTestView() { MapMessage(WM_COMMANDHELP, &CSwitchTestView::OnCommandHelp); }
    LRESULT OnCommandHelp(WPARAM, LPARAM)
    {
        AfxGetApp()->WinHelp(0x18008, HELP_CONTEXT);
        return TRUE;
    }
    void OnDraw(CDC*) override {}
    void OnInitialUpdate() override
    {
        ++s_initialUpdates;
        CView::OnInitialUpdate();
    }
    static inline int s_initialUpdates = 0;
};
VX_IMPLEMENT_CLASS(CSwitchTestView, CView)

class ChildFrame : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CMainFrame* main = StartShell();
        ASSERT_NE(main, nullptr);
        m_pTemplate = theApp.GetDocTemplates()[1]; // a model type
        m_pDoc = m_pTemplate->OpenDocumentFile(nullptr);
        ASSERT_NE(m_pDoc, nullptr);
        m_pFrame = dynamic_cast<CChildFrame*>(m_pDoc->GetViews().front()->GetParentFrame());
        ASSERT_NE(m_pFrame, nullptr);
    }
    void TearDown() override
    {
        m_pTemplate->CloseAllDocuments(FALSE);
        // Nothing of a closed frame stays in the MDI area.
        EXPECT_TRUE(StartShell()->GetMdiArea()->subWindowList().isEmpty());
    }
    QMdiSubWindow* Sub() { return static_cast<QMdiSubWindow*>(m_pFrame->GetFrameWidget()); }
    CDocTemplate* m_pTemplate = nullptr;
    CDocument* m_pDoc = nullptr;
    CChildFrame* m_pFrame = nullptr;
};

TEST_F(ChildFrame, CaptionGetsNoDocumentTitle)
{
    EXPECT_FALSE(m_pDoc->GetTitle().empty());
    EXPECT_EQ(m_pFrame->GetWindowText().find(m_pDoc->GetTitle()), std::string::npos);
}

TEST_F(ChildFrame, SwitchToAnotherClassKeepsTheDocument)
{
    CSwitchTestView::s_initialUpdates = 0;
    ASSERT_TRUE(m_pFrame->SwitchView(VX_RUNTIME_CLASS(CSwitchTestView)));
    CView* now = m_pFrame->GetActiveView();
    ASSERT_NE(now, nullptr);
    EXPECT_TRUE(now->IsKindOf(VX_RUNTIME_CLASS(CSwitchTestView)));
    EXPECT_EQ(now->GetDocument(), m_pDoc);
    EXPECT_EQ(m_pDoc->GetViews(), std::vector<CView*>{now});
    EXPECT_EQ(m_pTemplate->GetDocuments(), std::vector<CDocument*>{m_pDoc});
    EXPECT_TRUE(m_pDoc->m_bAutoDelete);
    EXPECT_EQ(CSwitchTestView::s_initialUpdates, 1);
    CRect view, frame;
    now->GetClientRect(&view);
    m_pFrame->GetClientRect(&frame);
    EXPECT_EQ(view.Size(), frame.Size());
}

// A switch to the view's own class (or a base of it) keeps the view; one to a class that
// cannot be made fails and keeps it too.
TEST_F(ChildFrame, SwitchesThatChangeNothingKeepTheView)
{
    CView* before = m_pFrame->GetActiveView();
    EXPECT_TRUE(m_pFrame->SwitchView(before->GetRuntimeClass()));
    EXPECT_TRUE(m_pFrame->SwitchView(VX_RUNTIME_CLASS(CView)));
    EXPECT_FALSE(m_pFrame->SwitchView(VX_RUNTIME_CLASS(CAbstractTestView)));
    EXPECT_EQ(m_pFrame->GetActiveView(), before);
    EXPECT_EQ(m_pDoc->GetViews(), std::vector<CView*>{before});
    CRect view, frame;
    before->GetClientRect(&view);
    m_pFrame->GetClientRect(&frame);
    EXPECT_EQ(view.Size(), frame.Size());
}

// Restored by the system command or by Qt's own restore (the title bar's button).
TEST_F(ChildFrame, SkipFlagOnRestoreFromMaximisedOrNormalNotMinimised)
{
    const struct
    {
        const char* from;
        bool bySysCommand;
        BYTE expected;
    } cases[] = {
        {"maximised", true, 1},  {"normal", true, 1},     {"minimised", true, 0},
        {"maximised", false, 1}, {"minimised", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + (c.bySysCommand ? " by command" : " by Qt"));
        const std::string from = c.from;
        if (from == "maximised")
            Sub()->showMaximized();
        else if (from == "minimised")
            Sub()->showMinimized();
        else
            Sub()->showNormal();
        m_pFrame->m_bSkipNextDraw = 0;
        if (c.bySysCommand)
            m_pFrame->SendMessage(WM_SYSCOMMAND, SC_RESTORE);
        else
            Sub()->showNormal();
        EXPECT_EQ(m_pFrame->m_bSkipNextDraw, c.expected);
        EXPECT_FALSE(Sub()->isMinimized() || Sub()->isMaximized());
    }
}

TEST_F(ChildFrame, F1ShowsTheActiveViewsHelp)
{
    StartShell()->ExecuteCommand(ID_HELP); // a view without help: the contents
    EXPECT_EQ(vx::help::ShownTopic(), 0u);
    ASSERT_TRUE(m_pFrame->SwitchView(VX_RUNTIME_CLASS(CSwitchTestView)));
    m_pFrame->MDIActivate();
    StartShell()->ExecuteCommand(ID_HELP);
    EXPECT_EQ(vx::help::ShownTopic(), 0x18008u);
    vx::help::Close();
}

TEST_F(ChildFrame, ClosingTheWindowClosesTheDocument)
{
    Sub()->close();                                    // the title bar's close button
    EXPECT_EQ(m_pTemplate->GetDocuments().size(), 1u); // handled after Qt's close handling
    for (int i = 0; i < 100 && !m_pTemplate->GetDocuments().empty(); ++i)
        QCoreApplication::processEvents();
    EXPECT_TRUE(m_pTemplate->GetDocuments().empty());
}

TEST_F(ChildFrame, CloseRefusedWhileDisabled)
{
    m_pFrame->EnableClose(FALSE);
    m_pFrame->SendMessage(WM_CLOSE);
    EXPECT_EQ(m_pTemplate->GetDocuments().size(), 1u);
    m_pFrame->EnableClose(TRUE);
    m_pFrame->SendMessage(WM_CLOSE);
    EXPECT_TRUE(m_pTemplate->GetDocuments().empty());
}

} // namespace
