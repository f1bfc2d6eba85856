// Graph vs Time views following real runs of the model documents.
#include "ModelAppHarness.h"
#include "PlotPixels.h"
#include "common/MessageRecorder.h"
#include "common/PumpUntil.h"
#include "platform/Messages.h"

#include <QCoreApplication>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <gtest/gtest.h>

namespace {
int CountColour(CGraphView* v, COLORREF c)
{
    return CountColour(v->GetBackingImage(), v->m_rcPlot, c);
}

// The child frame is maximised in the MDI area and its view fills it.
bool MaximisedLayoutDone(CGraphView* view)
{
    auto* sub = qobject_cast<QMdiSubWindow*>(view->GetParentFrame()->GetFrameWidget());
    return sub && sub->isMaximized() && sub->mdiArea() &&
           sub->geometry() == sub->mdiArea()->viewport()->rect() &&
           view->GetWidget()->size() == view->GetWidget()->parentWidget()->size();
}

class GraphModelTest : public ::testing::Test
{
protected:
    void SetUp() override { GraphTestApp(); }
    void TearDown() override { GraphTestApp().CloseAllDocuments(TRUE); }
    MessageRecorder m_boxes; // answers every message box with OK
};
} // namespace

// Concurrent Plot draws each row as the run stores it (the end renews the margins only);
// Post Calculation draws the run at its end. The pictures of the live runs are written when
// VELTRIX_SHOTS is set.
TEST_F(GraphModelTest, EachKindsRunIsDrawnLiveOrAtItsEnd)
{
    const struct
    {
        SystemKind kind;
        bool live;
        const char* name;
    } cases[] = {{SystemKind::Newtonian, true, "run_newtonian"},
                 {SystemKind::OneVariable, true, "run_one_variable"},
                 {SystemKind::TwoVariable, true, "run_two_variable"},
                 {SystemKind::ThreeVariable, true, "run_three_variable"},
                 {SystemKind::TwoVariable, false, nullptr}};
    const QString dir = qEnvironmentVariable("VELTRIX_SHOTS");
    for (const auto& c : cases) {
        CDynSys* doc = NewModel(c.kind);
        ASSERT_NE(doc, nullptr);
        CGraphView* view = GraphOf(doc);
        ASSERT_NE(view, nullptr);
        GraphTestMainFrame()->MDIActivate(view->GetParentFrame());
        view->GetParentFrame()->ShowWindow(SW_SHOWMAXIMIZED);
        // The maximised layout is done before the run, so no resize clears the live picture.
        ASSERT_TRUE(PumpUntil([view] { return MaximisedLayoutDone(view); }));
        view->UpdateWindow();
        doc->m_bPlotConcurrent = c.live;
        doc->m_bPlotPostCalc = !c.live;
        ASSERT_TRUE(RunToEnd(doc));
        EXPECT_GT(doc->m_nTableCount, 100);
        // The picture is looked at once what the run's end asked for has been painted. A live
        // run's end repaints the margins only, so the curve must have been drawn live.
        view->UpdateWindow();
        EXPECT_GT(CountColour(view, doc->m_clrX), 20) << int(c.kind) << " live " << c.live;
        EXPECT_EQ(view->m_dXMax, doc->m_dGraphTMax);
        view->UpdateWindow();
        if (c.name && !dir.isEmpty())
            GraphTestMainFrame()->GetWidget()->grab().save(dir + "/" + c.name + ".png");
        doc->OnCloseDocument();
    }
}
