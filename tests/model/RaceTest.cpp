// Runs that meet closing windows, closing documents, quitting and each other. These run under
// ThreadSanitizer: every wait is on an event or a predicate, never a sleep.
#include "ModelFixture.h"

#include "model/core/Globals.h"

namespace {

// A run long enough to be still going whenever the test acts.
void MakeLong(CDynSys* doc)
{
    doc->m_dRunTimeLimit = 1e6;
}

} // namespace

TEST_F(ModelTest, ClosingTheViewThatFollowsTheRunEndsIt)
{
    for (BOOL concurrent : {TRUE, FALSE}) {
        SCOPED_TRACE(concurrent);
        CDynSys* doc = NewDoc(SystemKind::OneVariable);
        // A second view keeps the document open when the first one goes.
        CFrameWnd* other = ModelTemplate(SystemKind::OneVariable)->CreateNewFrame(doc, nullptr);
        ModelTemplate(SystemKind::OneVariable)->InitialUpdateFrame(other, doc);
        MakeLong(doc);
        doc->m_bPlotConcurrent = concurrent;
        CHookView* follower = FirstView(doc);
        ModelMainFrame()->MDIActivate(follower->GetParentFrame());
        doc->OnControlsRun();
        ASSERT_TRUE(Running(doc));
        ASSERT_EQ(doc->NotifyWindow(), follower->GetSafeHwnd());
        const HWND progress = doc->ProgressWindow();
        if (concurrent) {
            ASSERT_TRUE(PumpUntil([&] { return doc->m_nTableCount >= 10; }));
        }
        follower->GetParentFrame()->DestroyWindow();
        EXPECT_FALSE(Running(doc));
        EXPECT_EQ(doc->m_pCalcThread, nullptr);
        EXPECT_FALSE(IsWindow(progress));
        EXPECT_GT(doc->m_nTableCount, 0); // at least the start row
        if (concurrent) {
            EXPECT_GT(doc->m_dT, 0); // stopped: Run would continue from here
        }
        EXPECT_TRUE(ModelMainFrame()->IsCloseEnabled());
        vx::DeliverPostedMessages(); // the run's end message finds no window
        doc->OnCloseDocument();
    }
}

TEST_F(ModelTest, ClosingADocumentWhoseViewDoesNotFollowTheRun)
{
    for (BOOL concurrent : {TRUE, FALSE}) {
        auto* doc = dynamic_cast<CDynSys*>(DeafTemplate()->OpenDocumentFile(nullptr));
        ASSERT_NE(doc, nullptr);
        MakeLong(doc);
        doc->m_bPlotConcurrent = concurrent;
        doc->OnControlsRun();
        ASSERT_TRUE(Running(doc));
        // Nobody ends this run but the document's own end, which stops and joins the thread.
        doc->OnCloseDocument();
        EXPECT_EQ(g_nDocsOneVariable, 0);
        EXPECT_EQ(CDynSys::RunningDocuments(), 0);
        vx::DeliverPostedMessages();
    }
}

TEST_F(ModelTest, TwoDocumentsRunAtOnceWithoutMixingRows)
{
    CDynSys* soloA = NewDoc(SystemKind::Newtonian);
    RunToEnd(soloA);
    CDynSys* soloB = NewDoc(SystemKind::ThreeVariable);
    RunToEnd(soloB);

    CDynSys* a = NewDoc(SystemKind::Newtonian);
    CDynSys* b = NewDoc(SystemKind::ThreeVariable);
    a->m_bPlotConcurrent = 1;
    b->m_bPlotConcurrent = 1;
    a->OnControlsRun();
    b->OnControlsRun();
    EXPECT_TRUE(Running(a));
    EXPECT_TRUE(Running(b));
    EXPECT_EQ(CDynSys::RunningDocuments(), 2);
    ASSERT_TRUE(PumpUntil([&] { return !Running(a) && !Running(b); }));
    EXPECT_EQ(FirstView(a)->m_nRowsSeen, 102);
    EXPECT_EQ(FirstView(b)->m_nRowsSeen, 399);
    for (int slot : {kSlotT, kSlotX, kSlotXp}) {
        EXPECT_EQ(Column(a, slot), Column(soloA, slot));
        EXPECT_EQ(Column(b, slot), Column(soloB, slot));
    }
    EXPECT_EQ(Column(b, kSlotZ), Column(soloB, kSlotZ));
}

TEST_F(ModelTest, MainWindowStaysOpenUntilTheLastRunEnds)
{
    CDynSys* a = NewDoc(SystemKind::OneVariable);
    CDynSys* b = NewDoc(SystemKind::OneVariable);
    MakeLong(a);
    a->OnControlsRun();
    b->OnControlsRun();
    EXPECT_FALSE(ModelMainFrame()->IsCloseEnabled());
    ASSERT_TRUE(PumpUntil([&] { return !Running(b); }));
    EXPECT_FALSE(ModelMainFrame()->IsCloseEnabled()); // a still runs
    a->OnControlsStop();
    ASSERT_TRUE(PumpUntil([&] { return !Running(a); }));
    EXPECT_TRUE(ModelMainFrame()->IsCloseEnabled());
}

TEST_F(ModelTest, QuittingDuringRunsClosesEverything)
{
    CDynSys* a = NewDoc(SystemKind::Newtonian);
    CDynSys* b = NewDoc(SystemKind::TwoVariable);
    MakeLong(a);
    MakeLong(b);
    a->m_bPlotConcurrent = 1;
    a->OnControlsRun();
    b->OnControlsRun();
    ASSERT_TRUE(PumpUntil([&] { return a->m_nTableCount >= 5; }));
    ModelTestApp().CloseAllDocuments(TRUE); // what the end of the program does
    EXPECT_EQ(g_nDocsAll, 0);
    EXPECT_EQ(CDynSys::RunningDocuments(), 0);
    vx::DeliverPostedMessages();
}

// A calculation thread that shows a message box waits for the user-interface thread. Closing the
// document at that moment must still end the run: the waits for the run serve the box. Both ends:
// the view that follows the run closes, and the document's own end when no view follows it.
TEST_F(ModelTest, ClosingWhileTheRunShowsAMessageBox)
{
    std::atomic<int> shown{0};
    SetMessageBoxHook([&](const std::string& text, unsigned) {
        int result = 0;
        RunOnUiThread([&] { // as the real box: answered on the user-interface thread
            m_messages.push_back(text);
            result = IDOK;
        });
        ++shown;
        return result;
    });
    g_calcThreadStartHook = [] { ShowMessageBox("Parser stack overload."); };
    for (bool follows : {true, false}) {
        SCOPED_TRACE(follows);
        m_messages.clear();
        auto* doc = follows ? NewDoc(SystemKind::TwoVariable)
                            : dynamic_cast<CDynSys*>(DeafTemplate()->OpenDocumentFile(nullptr));
        ASSERT_NE(doc, nullptr);
        MakeLong(doc);
        doc->OnControlsRun();
        ASSERT_TRUE(Running(doc));
        doc->OnCloseDocument(); // no events pumped before: the box is still waiting
        EXPECT_EQ(CDynSys::RunningDocuments(), 0);
        EXPECT_EQ(m_messages, std::vector<std::string>{"Parser stack overload."});
        vx::DeliverPostedMessages();
    }
    g_calcThreadStartHook = nullptr;
    EXPECT_EQ(shown, 2);
}
