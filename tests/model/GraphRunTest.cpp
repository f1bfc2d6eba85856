// A run followed by the Graph vs Time views, as the program's templates make them.
#include "ModelFixture.h"

#include "model/core/Globals.h"
#include "views/graph/GraphView.h"

#include <chrono>
#include <cmath>

namespace {

CDynSys* NewWithGraph(SystemKind kind)
{
    static CDocTemplate* templates[kSystemKinds] = {};
    CDocTemplate*& t = templates[static_cast<int>(kind)];
    if (!t)
        t = testapp::AddModelTemplate(ModelTestApp(), kind,
                                      testapp::GraphViewClass(static_cast<int>(kind)),
                                      950 + static_cast<UINT>(kind));
    return dynamic_cast<CDynSys*>(t->OpenDocumentFile(nullptr));
}

CGraphView* GraphOf(CDynSys* doc)
{
    return dynamic_cast<CGraphView*>(doc->GetViews().front());
}

} // namespace

// A whole run of each kind fills the rows of the default time base (rtl 2 pi with dt 2 pi / 100
// takes 101 steps; the three-variable rtl 25 takes 398), left to itself under a plain view and
// followed by the kind's Graph vs Time view.
TEST_F(ModelTest, RunToTheEndFillsTheRowsOfTheDefaultTimeBase)
{
    const std::pair<SystemKind, int> kinds[] = {{SystemKind::Newtonian, 102},
                                                {SystemKind::OneVariable, 102},
                                                {SystemKind::TwoVariable, 102},
                                                {SystemKind::ThreeVariable, 399}};
    for (const auto& [kind, rows] : kinds)
        for (const bool graph : {false, true}) {
            SCOPED_TRACE(static_cast<int>(kind) * 10 + graph);
            CDynSys* doc = graph ? NewWithGraph(kind) : NewDoc(kind);
            ASSERT_NE(doc, nullptr);
            if (graph) {
                ASSERT_NE(GraphOf(doc), nullptr);
                EXPECT_EQ(doc->m_nOpenViews[0], 1);
                ModelMainFrame()->MDIActivate(GraphOf(doc)->GetParentFrame());
                doc->m_bPlotConcurrent = 1;
            }
            RunToEnd(doc);
            EXPECT_EQ(doc->m_nTableCount, rows);
            EXPECT_EQ(doc->m_nTableIndex, 0);
            EXPECT_EQ(doc->m_bTableWrapped, 0);
            EXPECT_EQ(doc->m_bHaveData, 1);
            EXPECT_DOUBLE_EQ(doc->m_dT, 0); // run time reached: the next run starts afresh
            EXPECT_EQ(doc->m_pCalcThread, nullptr);
            EXPECT_FALSE(IsWindow(doc->ProgressWindow()));
            const auto t = Column(doc, kSlotT);
            EXPECT_DOUBLE_EQ(t.front(), 0);
            EXPECT_GE(t.back(), doc->m_dRunTimeLimit);
            EXPECT_GT(doc->m_dMaxX, doc->m_dMinX);
            if (!graph) {
                EXPECT_EQ(FirstView(doc)->m_hints.back(), HINT_CALC_DONE);
            }
        }
}

// A view redrawn and the table walked on the user-interface thread while a run wraps a short
// ring: the reads and the run's writes meet only under the table lock (ThreadSanitizer checks).
TEST_F(ModelTest, TableReadsDuringARunThatWrapsTheRing)
{
    CDynSys* doc = NewWithGraph(SystemKind::TwoVariable);
    ASSERT_NE(doc, nullptr);
    CGraphView* graph = GraphOf(doc);
    ModelMainFrame()->MDIActivate(graph->GetParentFrame());
    doc->m_nTableRows = 30;
    doc->m_dRunTimeLimit = 1e6;
    doc->m_bPlotConcurrent = 0;
    doc->m_bPlotPostCalc = 1;
    doc->m_bPlotOverlay = 1; // an update during the run redraws the stored curves
    // A first stretch, stopped, so that the document has data; the second run continues it.
    doc->OnControlsRun();
    ASSERT_TRUE(Running(doc));
    ASSERT_TRUE(PumpUntil([&] { return CTableReadLock(*doc).Ring().count > 0; }));
    doc->OnControlsStop();
    ASSERT_TRUE(PumpUntil([&] { return !Running(doc); }));
    ASSERT_EQ(doc->m_bHaveData, 1);

    doc->OnControlsRun();
    ASSERT_TRUE(Running(doc));
    int lastCount = -1;
    double sum = 0;
    // Until the ring has wrapped a few times under the readers (a hang guard of four minutes).
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(4);
    for (int pass = 0; (pass < 100 || lastCount < 3 * doc->m_nTableRows) && Running(doc) &&
                       std::chrono::steady_clock::now() < giveUp;
         ++pass) {
        graph->OnUpdate(nullptr, HINT_MODEL, nullptr);
        const CTableReadLock lock(*doc);
        const TableRing& ring = lock.Ring();
        EXPECT_GE(ring.count, lastCount);
        ASSERT_GE(ring.index, 0);
        ASSERT_LT(ring.index, doc->m_nTableRows);
        lastCount = ring.count;
        const int n = ring.wrapped ? doc->m_nTableRows : ring.count;
        for (int i = 0, row = ring.index; i < n; ++i, row = (row + 1) % doc->m_nTableRows)
            sum += doc->m_arrTable[kSlotX][row] + doc->m_arrTable[kSlotT][row];
    }
    EXPECT_TRUE(std::isfinite(sum));
    EXPECT_GT(lastCount, 2 * doc->m_nTableRows); // the ring wrapped under the readers
    doc->OnControlsStop();
    ASSERT_TRUE(PumpUntil([&] { return !Running(doc); }));
    doc->OnCloseDocument();
}
