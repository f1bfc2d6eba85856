// Graph vs Time views following real runs of the model documents.
#include "ModelAppHarness.h"
#include "PlotPixels.h"
#include "common/MessageRecorder.h"

#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

namespace {
int CountColour(CGraphView* v, COLORREF c)
{
    return CountColour(v->GetBackingImage(), v->m_rcPlot, c);
}

class GraphModelTest : public ::testing::Test
{
protected:
    void SetUp() override { GraphTestApp(); }
    void TearDown() override { GraphTestApp().CloseAllDocuments(TRUE); }
    MessageRecorder m_boxes; // answers every message box with OK
};
} // namespace

// Concurrent Plot draws each row as the run stores it; the end renews the margins only. The
// pictures are written when VELTRIX_SHOTS is set.
TEST_F(GraphModelTest, ConcurrentRunOfEachKindIsDrawnLive)
{
    const char* const names[] = {"run_newtonian", "run_one_variable", "run_two_variable",
                                 "run_three_variable"};
    const QString dir = qEnvironmentVariable("VELTRIX_SHOTS");
    for (int k = 0; k < kSystemKinds; ++k) {
        CDynSys* doc = NewModel(static_cast<SystemKind>(k));
        ASSERT_NE(doc, nullptr);
        CGraphView* view = GraphOf(doc);
        ASSERT_NE(view, nullptr);
        GraphTestMainFrame()->MDIActivate(view->GetParentFrame());
        view->GetParentFrame()->ShowWindow(SW_SHOWMAXIMIZED);
        doc->m_bPlotConcurrent = 1;
        doc->m_bPlotPostCalc = 0;
        ASSERT_TRUE(RunToEnd(doc));
        EXPECT_GT(doc->m_nTableCount, 100);
        EXPECT_GT(CountColour(view, doc->m_clrX), 20) << names[k];
        view->UpdateWindow();
        if (!dir.isEmpty())
            GraphTestMainFrame()->GetWidget()->grab().save(dir + "/" + names[k] + ".png");
        doc->OnCloseDocument();
    }
}

TEST_F(GraphModelTest, PostCalcRunIsDrawnAtItsEnd)
{
    CDynSys* doc = NewModel(SystemKind::TwoVariable);
    ASSERT_NE(doc, nullptr);
    CGraphView* view = GraphOf(doc);
    GraphTestMainFrame()->MDIActivate(view->GetParentFrame());
    ASSERT_TRUE(RunToEnd(doc));
    view->UpdateWindow();
    EXPECT_GT(CountColour(view, doc->m_clrX), 20);
    EXPECT_EQ(view->m_dXMax, doc->m_dGraphTMax);
}
