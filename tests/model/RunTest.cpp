// Run control: whole runs, Stop and continue, refused runs, the progress window, the views'
// messages during a run.
#include "ModelFixture.h"

#include "dataentry/DataEntry.h"
#include "model/ProgressBarWnd.h"

#include <QProgressBar>

#include <cmath>
#include <map>
#include <thread>

TEST_F(ModelTest, RunEnablesStopAndGreysRunClearDataAndClose)
{
    CDynSys* doc = NewDoc(SystemKind::OneVariable);
    doc->m_bPlotConcurrent = 1;
    bool checked = false;
    CHookView::s_onRow = [&](CHookView* view, int row) {
        if (row != 5)
            return;
        CCmdUI run(ID_CONTROLS_RUN), stop(ID_CONTROLS_STOP), clear(ID_CONTROLS_CLEARDATA);
        doc->UpdateCommand(&run);
        doc->UpdateCommand(&stop);
        doc->UpdateCommand(&clear);
        EXPECT_FALSE(run.m_bEnabled);
        EXPECT_TRUE(stop.m_bEnabled);
        EXPECT_FALSE(clear.m_bEnabled);
        EXPECT_FALSE(ModelMainFrame()->IsCloseEnabled());
        EXPECT_FALSE(view->GetParentFrame()->IsCloseEnabled());
        EXPECT_FALSE(doc->DataEntry()->IsWindowEnabled());
        doc->OnControlsClearData(); // refused while the thread writes the table
        EXPECT_EQ(doc->m_arrTable[kSlotT].size(), static_cast<size_t>(doc->m_nTableRows));
        checked = true;
    };
    RunToEnd(doc);
    EXPECT_TRUE(checked);
    EXPECT_TRUE(ModelMainFrame()->IsCloseEnabled());
    EXPECT_TRUE(FirstView(doc)->GetParentFrame()->IsCloseEnabled());
    EXPECT_TRUE(doc->DataEntry()->IsWindowEnabled());
}

// Every view of the document sees the fresh table, each row once and in order, then the run's
// end; the view the run reports to draws its own rows and the document knows each row before the
// views draw it. The run stores rows ahead of the drawing: at a high rate and when the ring wraps
// many times under the drawing, every view still reads each row and the row before it (a view
// draws from there) before the run writes over them.
TEST_F(ModelTest, EveryViewDrawsEachRowOfAFastRunBeforeTheRingOverwritesIt)
{
    struct Case
    {
        const char* name;
        int ring;
        int steps;
    };
    const Case cases[] = {
        {"default run", 10000, 101},
        {"long run, large ring", 40000, 30000},
        {"ring wraps often", 7, 5000},
        {"one-row ring", 1, 400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDynSys* doc = NewDoc(SystemKind::TwoVariable);
        CFrameWnd* other = ModelTemplate(SystemKind::TwoVariable)->CreateNewFrame(doc, nullptr);
        ModelTemplate(SystemKind::TwoVariable)->InitialUpdateFrame(other, doc);
        ModelMainFrame()->MDIActivate(FirstView(doc)->GetParentFrame());
        doc->m_bPlotConcurrent = 1;
        doc->m_nTableRows = c.ring;
        doc->m_dRunTimeLimit = c.steps * doc->m_dChronon;
        const double dt = doc->m_dChronon * doc->m_nTableInterval;
        std::map<CHookView*, double> lastT;
        int badT = 0;
        CHookView::s_onRow = [&](CHookView* view, int row) {
            badT += doc->m_nTableIndex != row;
            const double t = doc->m_arrTable[kSlotT][row];
            auto [it, first] = lastT.emplace(view, t);
            const double before = doc->m_arrTable[kSlotT][(row + c.ring - 1) % c.ring];
            if (!first && (std::abs(t - it->second - dt) > 1e-9 * (1 + t) ||
                           (c.ring > 1 && std::abs(t - before - dt) > 1e-9 * (1 + t))))
                ++badT;
            it->second = t;
        };
        for (CView* v : doc->GetViews())
            static_cast<CHookView*>(v)->m_hints.clear();
        RunToEnd(doc);
        CHookView::s_onRow = nullptr;
        const RowCount stored = doc->m_nTableCount;
        EXPECT_GE(stored, c.steps);
        std::vector<LPARAM> expected{HINT_RESET};
        expected.insert(expected.end(), static_cast<std::size_t>(stored), HINT_ROW);
        expected.push_back(HINT_CALC_DONE);
        ASSERT_EQ(doc->GetViews().size(), 2u);
        for (CView* v : doc->GetViews()) {
            EXPECT_TRUE(static_cast<CHookView*>(v)->m_hints == expected);
            EXPECT_EQ(static_cast<CHookView*>(v)->m_nRowsSeen, stored);
        }
        EXPECT_EQ(badT, 0);
        doc->OnCloseDocument();
    }
}

// A view that reads only the hint's number during a run sees rows, never a numbered hint: rows
// 1, 12 and 40 were once HINT_MODEL, HINT_VF_GRID and HINT_CALC_DONE.
TEST_F(ModelTest, AConcurrentRunOfFiftyRowsSendsNoNumberedHint)
{
    CDynSys* doc = NewDoc(SystemKind::Newtonian);
    doc->m_bPlotConcurrent = 1;
    doc->m_nTableRows = 50;
    doc->m_dRunTimeLimit = 49 * doc->m_dChronon;
    std::vector<int> rows;
    CHookView::s_onRow = [&](CHookView*, int row) { rows.push_back(row); };
    CHookView* view = FirstView(doc);
    view->m_hints.clear();
    RunToEnd(doc);
    ASSERT_EQ(doc->m_nTableCount, 50);
    ASSERT_EQ(rows.size(), 50u);
    for (int r = 0; r < 50; ++r)
        EXPECT_EQ(rows[r], r);
    ASSERT_EQ(view->m_hints.size(), 52u);
    EXPECT_EQ(view->m_hints.front(), HINT_RESET);
    EXPECT_EQ(view->m_hints.back(), HINT_CALC_DONE);
    for (std::size_t i = 1; i + 1 < view->m_hints.size(); ++i)
        EXPECT_EQ(view->m_hints[i], HINT_ROW) << i;
}

TEST_F(ModelTest, StopThenRunContinuesAfterTheStoredRows)
{
    CDynSys* solo = NewDoc(SystemKind::TwoVariable);
    RunToEnd(solo);
    const auto whole = Column(solo, kSlotX);

    CDynSys* doc = NewDoc(SystemKind::TwoVariable);
    doc->m_bPlotConcurrent = 1;
    CHookView::s_onRow = [&](CHookView*, int row) {
        if (row == 40)
            doc->OnControlsStop();
    };
    RunToEnd(doc);
    const int stopped = doc->m_nTableCount;
    EXPECT_GE(stopped, 41);
    EXPECT_LT(stopped, 102);
    EXPECT_GT(doc->m_dT, 0); // stopped: the state to continue from
    CHookView::s_onRow = nullptr;
    RunToEnd(doc);
    EXPECT_EQ(doc->m_nTableCount, 102);
    EXPECT_DOUBLE_EQ(doc->m_dT, 0);
    const auto x = Column(doc, kSlotX);
    ASSERT_EQ(x.size(), whole.size());
    for (size_t i = 0; i < x.size(); ++i)
        EXPECT_DOUBLE_EQ(x[i], whole[i]) << i; // the same rows as one whole run
}

TEST_F(ModelTest, StopAtTheLastStepEndsNormallyAndTheNextRunIsWhole)
{
    CDynSys* doc = NewDoc(SystemKind::Newtonian);
    doc->m_bPlotConcurrent = 1;
    CHookView::s_onRow = [&](CHookView*, int row) {
        if (row == 101) // the last row: the loop is over, the stop comes too late
            doc->OnControlsStop();
    };
    RunToEnd(doc);
    EXPECT_EQ(doc->m_nTableCount, 102);
    EXPECT_DOUBLE_EQ(doc->m_dT, 0);
    CHookView::s_onRow = nullptr;
    RunToEnd(doc); // the stop left over from the last run does not cut this one short
    EXPECT_EQ(doc->m_nTableCount, 102);
}

TEST_F(ModelTest, StopBetweenTheEndAndItsMessage)
{
    CDynSys* doc = NewDoc(SystemKind::OneVariable);
    doc->m_dRunTimeLimit = 0.2; // 4 steps: no progress steps, nothing sent to this thread
    doc->OnControlsRun();
    ASSERT_NE(doc->m_pCalcThread, nullptr);
    doc->m_pCalcThread->WaitDone(CEvent::INFINITE); // its end is posted and not yet delivered
    doc->OnControlsStop();
    ASSERT_TRUE(PumpUntil([&] { return !Running(doc); }));
    EXPECT_EQ(doc->m_nTableCount, 5);
    EXPECT_DOUBLE_EQ(doc->m_dT, 0);
    RunToEnd(doc);
    EXPECT_EQ(doc->m_nTableCount, 5);
}

TEST_F(ModelTest, RunOfAModelWhoseEquationDoesNotCompileIsRefused)
{
    CDynSys* doc = NewDoc(SystemKind::ThreeVariable);
    doc->m_strYRate = "x+a*";
    doc->OnControlsRun();
    EXPECT_FALSE(Running(doc));
    EXPECT_EQ(doc->m_pCalcThread, nullptr);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_NE(m_messages[0].find("[x+a*]"), std::string::npos);
    EXPECT_EQ(doc->m_nTableCount, 0);
}

// An equation that has no value part way through ends the run with one message, shown on the
// user-interface thread once the run is over; Run then tries again from where it stopped.
TEST_F(ModelTest, AnEquationWithoutAValueEndsTheRunWithItsMessage)
{
    const auto uiThread = std::this_thread::get_id();
    std::vector<std::thread::id> shownOn;
    const MessageBoxHook fixtureHook = SetMessageBoxHook([&](const std::string& text, unsigned) {
        m_messages.push_back(text);
        shownOn.push_back(std::this_thread::get_id());
        return IDOK;
    });
    for (const BOOL concurrent : {TRUE, FALSE}) {
        SCOPED_TRACE(concurrent);
        CDynSys* doc = NewDoc(SystemKind::OneVariable);
        doc->m_strXRate = "sqrt(1-t)";
        doc->m_bPlotConcurrent = concurrent;
        m_messages.clear();
        shownOn.clear();
        for (int run = 1; run <= 2; ++run) {
            RunToEnd(doc);
            ASSERT_EQ(m_messages.size(), static_cast<size_t>(run));
            EXPECT_EQ(m_messages.back().rfind("The system differential equation:\n[sqrt(1-t)]", 0),
                      0u);
            EXPECT_EQ(shownOn.back(), uiThread);
            EXPECT_GT(doc->m_dT, 0.9); // kept to continue from: the limit was not reached
            EXPECT_LT(doc->m_dT, 1.1);
        }
        CCmdUI stop(ID_CONTROLS_STOP);
        doc->UpdateCommand(&stop);
        EXPECT_FALSE(stop.m_bEnabled);
        doc->SetModifiedFlag(FALSE);
        doc->OnCloseDocument();
    }
    SetMessageBoxHook(fixtureHook);
}

TEST_F(ModelTest, OverlayKeepsThePictureOfAFreshRun)
{
    CDynSys* doc = NewDoc(SystemKind::OneVariable);
    RunToEnd(doc);
    CHookView* view = FirstView(doc);
    view->m_hints.clear();
    RunToEnd(doc);
    EXPECT_EQ(view->m_hints.front(), HINT_RESET);
    doc->OnControlsPlotTimingOverlayPlot();
    view->m_hints.clear();
    RunToEnd(doc);
    EXPECT_EQ(view->m_hints, std::vector<LPARAM>{HINT_CALC_DONE});
    EXPECT_EQ(doc->m_nTableCount, 102); // the table was reset all the same
}

TEST_F(ModelTest, PlotAsksTheViewsToRedraw)
{
    CDynSys* doc = NewDoc(SystemKind::Newtonian);
    CCmdUI ui(ID_CONTROLS_PLOT);
    doc->UpdateCommand(&ui);
    EXPECT_FALSE(ui.m_bEnabled);
    RunToEnd(doc);
    doc->UpdateCommand(&ui);
    EXPECT_TRUE(ui.m_bEnabled);
    FirstView(doc)->m_hints.clear();
    EXPECT_TRUE(ModelMainFrame()->GetActiveFrame()->ExecuteCommand(ID_CONTROLS_PLOT));
    EXPECT_EQ(FirstView(doc)->m_hints, std::vector<LPARAM>{HINT_RESET});
    EXPECT_EQ(doc->m_bPlotRequest, 0);
}

TEST_F(ModelTest, ProgressWindowFollowsTheRun)
{
    CDynSys* doc = NewDoc(SystemKind::Newtonian);
    doc->m_bPlotConcurrent = 1;
    HWND progress = nullptr;
    CHookView::s_onRow = [&](CHookView*, int row) {
        if (row != 50)
            return;
        progress = doc->ProgressWindow();
        CWnd* wnd = CWnd::FromHandle(progress);
        ASSERT_NE(wnd, nullptr);
        EXPECT_EQ(wnd->GetWindowText(), "Calculation Progress");
        EXPECT_TRUE(wnd->IsWindowVisible());
        // 101 steps: a step every 3 steps, 3 units each; by row 50 about half way.
        const int pos = static_cast<CProgressBarWnd*>(wnd)->m_ctlProgress.GetPos();
        EXPECT_GE(pos, 45);
        EXPECT_LE(pos, 51);
    };
    RunToEnd(doc);
    EXPECT_NE(progress, nullptr);
    EXPECT_FALSE(IsWindow(progress));
}

TEST_F(ModelTest, ProgressWindowStepsWrapsAndClosesOnItsMessage)
{
    ModelTestApp();
    const HWND h = CProgressBarWnd::Open("File Export Progress", ModelMainFrame());
    ASSERT_TRUE(IsWindow(h));
    auto* wnd = static_cast<CProgressBarWnd*>(CWnd::FromHandle(h));
    EXPECT_EQ(wnd->GetWindowText(), "File Export Progress");
    EXPECT_TRUE(wnd->GetFrameWidget()->windowFlags() & Qt::Tool);
    EXPECT_FALSE(wnd->GetFrameWidget()->windowFlags() & Qt::WindowCloseButtonHint);
    for (int i = 0; i < 30; ++i)
        SendMessage(h, WM_PROGRESS_STEP, 0, 0);
    EXPECT_EQ(wnd->m_ctlProgress.GetPos(), 90);
    for (int i = 0; i < 4; ++i)
        SendMessage(h, WM_PROGRESS_STEP, 0, 0);
    EXPECT_EQ(wnd->m_ctlProgress.GetPos(), 2); // ran over and started again
    SendMessage(h, WM_PROGRESS_STEP, 1, 0);
    EXPECT_FALSE(IsWindow(h));
    CProgressBarWnd::Close(h); // gone: nothing happens
}
