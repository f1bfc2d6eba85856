// The View commands of the model documents and the saved views, through the real main window:
// enable rules, one frame per view with its counter, the jump of the Data Table to a row clicked
// in Graph vs Time, and the reopening of a model file's views at idle time.
#ifdef HAVE_VELTRIX_VIEWSGRAPH
#include "app/MenuDriver.h"
#include "model/ViewKinds.h"
#include "views/graph/GraphView.h"
#include "views/graph/GraphWalk.h"
#include "views/graph/TableView.h"

#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <set>

namespace {

// A counted view that the program does not have yet, registered under the name of a
// two-variable Full Orbit view unless that view exists: a view kind plugs in by its name.
class CStandInView : public CView
{
public:
    static const CRuntimeClass s_class;
    const CRuntimeClass* GetRuntimeClass() const override { return &s_class; }
    static CObject* Create() { return new CStandInView; }
    void OnDraw(CDC*) override {}
    void OnInitialUpdate() override
    {
        m_pDoc = dynamic_cast<CDynSys*>(GetDocument());
        if (m_pDoc)
            ++m_pDoc->m_nOpenViews[kViewFullOrbit];
    }
    ~CStandInView() override
    {
        if (m_pDoc)
            --m_pDoc->m_nOpenViews[kViewFullOrbit];
    }

private:
    CDynSys* m_pDoc = nullptr;
};
const CRuntimeClass CStandInView::s_class = {"CSys2PSO", &CView::classCView, &CStandInView::Create};

void RegisterStandIn()
{
    if (!CRuntimeClass::FromName("CSys2PSO"))
        static CRuntimeClassRegistrar registrar(&CStandInView::s_class);
}

// The frames of a document, by the class name of their views.
std::multiset<std::string> Views(const CDynSys* doc)
{
    std::multiset<std::string> names;
    for (CView* v : doc->GetViews())
        names.insert(v->GetRuntimeClass()->m_lpszClassName);
    return names;
}

void CloseFrameOf(CView* view)
{
    view->GetParentFrame()->DestroyWindow();
    QCoreApplication::processEvents();
}

CView* ViewOf(const CDynSys* doc, const char* name)
{
    for (CView* v : doc->GetViews())
        if (std::string(v->GetRuntimeClass()->m_lpszClassName) == name)
            return v;
    return nullptr;
}

TEST(ViewCommands, EnableRules)
{
    RegisterStandIn();
    struct Case
    {
        UINT kind;
        bool running, data;
        UINT command;
        bool offered;
    };
    const Case cases[] = {
        {IDR_SYS2TYPE, false, false, ID_GRAPH, false}, // open already
        {IDR_SYS2TYPE, false, false, ID_TABLE, false}, // no data
        {IDR_SYS2TYPE, false, true, ID_TABLE, true},
        {IDR_SYS2TYPE, true, true, ID_TABLE, true}, // the other kinds open views during a run
        {IDR_SYS2TYPE, true, false, ID_FULL_ORBIT, true},
        {IDR_SYS1TYPE, false, true, ID_TABLE, true},
        {IDR_SYS1TYPE, true, true, ID_TABLE, false},       // no Newtonian View command during a run
        {IDR_SYS3TYPE, false, true, ID_FULL_ORBIT, false}, // not a view of the kind
        {IDR_SYS1NNTYPE, false, true, ID_VECTOR_FIELD,
         ViewClass(SystemKind::OneVariable, 7) != nullptr},
        // What a run greys besides the views.
        {IDR_SYS2TYPE, true, true, ID_CONTROLS_CLEARDATA, false},
        {IDR_SYS3TYPE, true, true, ID_FILE_SAVE_IMAGE, false},
        {IDR_SYS1NNTYPE, true, true, ID_APP_EXIT, false},
        {IDR_SYS1NNTYPE, false, true, ID_APP_EXIT, true},
    };
    for (const Case& c : cases) {
        CDynSys* doc = NewModel(c.kind);
        ASSERT_NE(doc, nullptr);
        doc->m_bRunning = c.running; // the rule only; no thread
        doc->m_bHaveData = c.data;
        EXPECT_EQ(Offered(c.command), c.offered)
            << doc->Info().className << " " << c.command << " running " << c.running;
        doc->m_bRunning = 0;
        doc->OnCloseDocument();
    }
}

TEST(ViewCommands, OpeningClosingAndReopeningKeepTheCounters)
{
    RegisterStandIn();
    CDynSys* doc = NewModel(IDR_SYS2TYPE);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(RunThroughMenu(doc));
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(Choose(ID_TABLE)) << round;
        EXPECT_EQ(Views(doc), (std::multiset<std::string>{"CSys2Graph", "CSys2Tab"}));
        EXPECT_EQ(doc->m_nOpenViews[kViewGraph], 1);
        EXPECT_EQ(doc->m_nOpenViews[kViewTable], 1);
        EXPECT_FALSE(Offered(ID_TABLE));
        EXPECT_NE(doc->TableViewWindow(), nullptr);
        CloseFrameOf(ViewOf(doc, "CSys2Tab"));
        EXPECT_EQ(doc->m_nOpenViews[kViewTable], 0);
        EXPECT_EQ(doc->TableViewWindow(), nullptr);
        EXPECT_TRUE(Offered(ID_TABLE));
    }
    ASSERT_TRUE(Choose(ID_FULL_ORBIT));
    EXPECT_EQ(doc->m_nOpenViews[kViewFullOrbit], 1);
    EXPECT_EQ(doc->m_nOpenViews[kViewGraph], 1); // the new frame's first view has gone
    CloseFrameOf(ViewOf(doc, "CSys2Graph"));
    EXPECT_EQ(doc->m_nOpenViews[kViewGraph], 0);
    ASSERT_TRUE(Choose(ID_GRAPH));
    EXPECT_EQ(doc->m_nOpenViews[kViewGraph], 1);
    EXPECT_EQ(Views(doc), (std::multiset<std::string>{"CSys2Graph", "CSys2PSO"}));
    doc->OnCloseDocument();
}

// A click in Graph vs Time selects the row of the clicked time in the open Data Table.
TEST(ViewCommands, AClickInTheGraphShowsItsRowInTheTable)
{
    CDynSys* doc = NewModel(IDR_SYS1NNTYPE);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(RunThroughMenu(doc));
    auto* graph = dynamic_cast<CGraphView*>(ViewOf(doc, "CSys1NNGraph"));
    ASSERT_TRUE(Choose(ID_TABLE));
    auto* table = dynamic_cast<CTableView*>(ViewOf(doc, "CSys1NNTab"));
    ASSERT_NE(table, nullptr);
    for (QPushButton* b : {table->m_btnUp, table->m_btnDown, table->m_btnPrint}) // whole texts
        EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()) + 6, b->width())
            << b->text().toStdString();
    ASSERT_GT(doc->m_nTableCount, 100);
    const double t = 75.4 * doc->m_dChronon * doc->m_nTableInterval;
    const CRect plot = graph->m_rcPlot;
    const int x = graph->WorldToPixelX(t);
    graph->OnLButtonDown(0, CPoint(x, (plot.top + plot.bottom) / 2));
    graph->OnLButtonUp(0, CPoint(x, (plot.top + plot.bottom) / 2));
    const int row =
        ClickedGeneratedRow(graph->PixelToWorldX(x), 0, doc->m_nTableInterval, doc->m_dChronon);
    ASSERT_GT(row, 50);
    ASSERT_TRUE(Pump([table, row] { return table->m_nPage == row / 50; }));
    EXPECT_EQ(table->m_list->currentRow(), row % 50);
    doc->OnCloseDocument();
}

// The Data Table of each kind after its default run: its first page lists the run's first rows
// under the kind's heading. With VELTRIX_SHOTS naming a folder, the main window is saved there.
TEST(ViewCommands, DataTableOfEachKindAfterItsDefaultRun)
{
    const std::pair<UINT, const char*> kinds[] = {{IDR_SYS1TYPE, "CSys1Tab"},
                                                  {IDR_SYS1NNTYPE, "CSys1NNTab"},
                                                  {IDR_SYS2TYPE, "CSys2Tab"},
                                                  {IDR_SYS3TYPE, "CSys3Tab"}};
    const QString dir = qEnvironmentVariable("VELTRIX_SHOTS");
    for (const auto& [kind, name] : kinds) {
        SCOPED_TRACE(name);
        CDynSys* doc = NewModel(kind);
        ASSERT_NE(doc, nullptr);
        ASSERT_TRUE(RunThroughMenu(doc));
        ASSERT_TRUE(Choose(ID_TABLE));
        auto* table = dynamic_cast<CTableView*>(ViewOf(doc, name));
        ASSERT_NE(table, nullptr);
        table->GetParentFrame()->ShowWindow(SW_SHOWMAXIMIZED);
        QCoreApplication::processEvents();
        EXPECT_EQ(table->m_nPage, 0);
        ASSERT_EQ(table->m_list->count(), std::min<RowCount>(50, doc->m_nTableCount));
        EXPECT_EQ(table->m_list->item(0)->text().left(2), "0 "); // the run's start, t = 0
        EXPECT_FALSE(table->m_strHeading.empty());
        EXPECT_EQ(table->GetParentFrame()->GetWindowText().find(" Data Table"),
                  doc->m_strFileName.size());
        if (!dir.isEmpty())
            StartShell()->GetWidget()->grab().save(dir + "/table_" + name + ".png");
        doc->OnCloseDocument();
    }
}

struct RestoreCase
{
    const char* name;
    std::vector<UINT> open;          // View commands given before the save
    std::vector<const char*> closed; // frames closed before the save
    std::multiset<std::string> restored;
};

TEST(SavedViews, AFileReopensItsViewsOnceAtIdleForTheActiveDocument)
{
    RegisterStandIn();
    const RestoreCase cases[] = {
        {"graph only", {}, {}, {"CSys2Graph"}},
        {"graph and orbit", {ID_FULL_ORBIT, ID_TABLE}, {}, {"CSys2Graph", "CSys2PSO"}},
        {"orbit without graph", {ID_FULL_ORBIT}, {"CSys2Graph"}, {"CSys2PSO"}},
        // Nothing saved but the unsaved table: the document keeps the frame it opened with.
        {"table only", {ID_TABLE}, {"CSys2Graph"}, {"CSys2Graph"}},
    };
    const std::string path = ::testing::TempDir() + "views.ds2";
    for (const RestoreCase& c : cases) {
        CDynSys* doc = NewModel(IDR_SYS2TYPE);
        ASSERT_NE(doc, nullptr);
        ASSERT_TRUE(RunThroughMenu(doc));
        for (UINT id : c.open)
            ASSERT_TRUE(Choose(id)) << c.name;
        for (const char* name : c.closed)
            CloseFrameOf(ViewOf(doc, name));
        ASSERT_TRUE(doc->OnSaveDocument(path.c_str())) << c.name;
        doc->OnCloseDocument();

        auto* opened =
            dynamic_cast<CDynSys*>(TemplateOf(IDR_SYS2TYPE)->OpenDocumentFile(path.c_str()));
        ASSERT_NE(opened, nullptr) << c.name;
        QCoreApplication::processEvents();
        // Another document made active first: the file waits until its own turn.
        CDynSys* other = NewModel(IDR_SYS2TYPE);
        Idle();
        EXPECT_FALSE(opened->ViewsRestored()) << c.name;
        EXPECT_EQ(Views(opened), (std::multiset<std::string>{"CSys2Graph"})) << c.name;
        other->OnCloseDocument();
        // The user brings the file's window to the front.
        static_cast<CMDIChildWnd*>(opened->GetViews().front()->GetParentFrame())->MDIActivate();
        QCoreApplication::processEvents();
        Idle();
        EXPECT_TRUE(opened->ViewsRestored()) << c.name;
        EXPECT_EQ(Views(opened), c.restored) << c.name;
        Idle(); // once only
        EXPECT_EQ(Views(opened), c.restored) << c.name;
        opened->OnCloseDocument();
    }
    std::remove(path.c_str());
}

} // namespace
#endif
