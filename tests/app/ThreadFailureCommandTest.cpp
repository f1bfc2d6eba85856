// Run and Export through the real main window when their thread cannot start or their job
// throws: the user is told, nothing is lost, and the next Run or Export works. The failed
// starts need the thread-start shim preloaded (ctest does so); without it those tests skip.
#ifdef HAVE_VELTRIX_VIEWSGRAPH
#include "app/DialogHooks.h"
#include "app/MenuDriver.h"
#include "app/ShellFixture.h"
#include "app/TestFiles.h"
#include "model/CalcThread.h"
#include "model/DynSys.h"
#include "model/ExpThread.h"
#include "resources/ResourceIds.h"
#include "views/base/2DView.h"

#include <QElapsedTimer>
#include <QImage>

#include <algorithm>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <filesystem>
#include <new>

namespace {

using FailNext = void (*)(long);

FailNext ThreadStartShim()
{
    return reinterpret_cast<FailNext>(dlsym(RTLD_DEFAULT, "VeltrixFailNextThreadStarts"));
}

// The pixels of the active view's plot that differ from before.
int ChangedPlotPixels(CView* view, const QImage& before)
{
    view->UpdateWindow();
    const QImage after = view->GetBackingImage();
    const CRect r = dynamic_cast<C2DView*>(view)->m_rcPlot;
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            n += after.pixel(x, y) != before.pixel(x, y);
    return n;
}

// The names in a folder.
std::vector<std::string> Names(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string FreshFolder(const char* name)
{
    const std::string folder = Temp(name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    return folder;
}

// Run, a fifth of a second, Stop.
void RunAWhile(CDynSys* doc)
{
    ASSERT_TRUE(Choose(ID_CONTROLS_RUN));
    QElapsedTimer clock;
    clock.start();
    Pump([&] { return clock.elapsed() > 200; });
    ASSERT_TRUE(Choose(ID_CONTROLS_STOP));
    ASSERT_TRUE(Pump([doc] { return !doc->m_bRunning; }));
}

const char* const kNoCalcThread = "Could not create calculation thread.";
const char* const kNoExportThread = "Could not create export thread.";
const char* const kNoMemory = "Not enough memory to go on.";

} // namespace

TEST(ThreadFailures, ARunWhoseThreadCannotStartSaysSoAndTheNextRunDraws)
{
    const FailNext failNext = ThreadStartShim();
    if (!failNext)
        GTEST_SKIP() << "needs the thread-start shim preloaded";
    CDynSys* doc = NewModel(IDR_SYS2TYPE);
    ASSERT_NE(doc, nullptr);
    CView* graph = doc->GetViews().front();
    graph->UpdateWindow();
    const QImage empty = graph->GetBackingImage();
    Dialogs dialogs;
    failNext(1);
    ASSERT_TRUE(Choose(ID_CONTROLS_RUN));
    EXPECT_EQ(dialogs.texts, std::vector<std::string>{kNoCalcThread});
    EXPECT_FALSE(doc->m_bRunning);
    EXPECT_FALSE(ProgressWindowShown("Calculation Progress"));
    EXPECT_TRUE(Offered(ID_CONTROLS_RUN));
    EXPECT_FALSE(Offered(ID_CONTROLS_STOP));

    ASSERT_TRUE(RunThroughMenu(doc));
    EXPECT_GT(doc->m_nTableCount, 0);
    EXPECT_GT(ChangedPlotPixels(graph, empty), 100);
    EXPECT_EQ(dialogs.texts.size(), 1u);
    doc->OnCloseDocument();
}

TEST(ThreadFailures, AnExportWhoseThreadCannotStartWritesNothingAndTheNextOneWrites)
{
    const FailNext failNext = ThreadStartShim();
    if (!failNext)
        GTEST_SKIP() << "needs the thread-start shim preloaded";
    CDynSys* doc = NewModel(IDR_SYS2TYPE);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(RunThroughMenu(doc));
    Dialogs dialogs;
    const std::string folder = FreshFolder("export-start");
    dialogs.path = folder + "/out.d2d";
    failNext(1);
    ASSERT_TRUE(Choose(ID_FILE_EXPORT));
    EXPECT_EQ(dialogs.texts, std::vector<std::string>{kNoExportThread});
    EXPECT_EQ(Names(folder), std::vector<std::string>{});
    EXPECT_FALSE(ProgressWindowShown("File Export Progress"));
    EXPECT_TRUE(Offered(ID_CONTROLS_RUN)); // the export was never counted

    ASSERT_TRUE(Choose(ID_FILE_EXPORT));
    ASSERT_TRUE(Pump([doc] { return ExportEnded(doc); }));
    EXPECT_EQ(Names(folder), std::vector<std::string>{"out.d2d"});
    EXPECT_FALSE(ReadText(dialogs.path).empty());
    EXPECT_EQ(dialogs.texts.size(), 1u);
    doc->OnCloseDocument();
}

// A continued run whose job throws ends as a stopped one: the rows of the run before stay and
// the next Run goes on from them.
TEST(ThreadFailures, ARunWhoseJobThrowsKeepsTheRowsStoredAndRunsAgain)
{
    CDynSys* doc = NewModel(IDR_SYS2TYPE);
    ASSERT_NE(doc, nullptr);
    Dialogs dialogs;
    doc->m_dRunTimeLimit = 1e7; // long enough to be stopped
    RunAWhile(doc);
    const RowCount stored = doc->m_nTableCount;
    const double t = doc->m_dT;
    ASSERT_GT(stored, 0);
    ASSERT_GT(t, 0);

    g_calcThreadStartHook = [] { throw std::bad_alloc(); };
    ASSERT_TRUE(Choose(ID_CONTROLS_RUN));
    ASSERT_TRUE(Pump([&] { return !doc->m_bRunning && !dialogs.texts.empty(); }));
    g_calcThreadStartHook = nullptr;
    EXPECT_EQ(dialogs.texts, std::vector<std::string>{kNoMemory});
    EXPECT_EQ(doc->m_nTableCount, stored);
    EXPECT_EQ(doc->m_dT, t);
    EXPECT_TRUE(doc->m_hThreadEndEvent.Lock(0));
    EXPECT_FALSE(ProgressWindowShown("Calculation Progress"));

    RunAWhile(doc);
    EXPECT_GT(doc->m_nTableCount, stored);
    EXPECT_GT(doc->m_dT, t);
    EXPECT_EQ(dialogs.texts.size(), 1u);
    doc->OnCloseDocument();
}

// An export whose job throws is told, leaves no piece of its file, and leaves the counter.
TEST(ThreadFailures, AnExportWhoseJobThrowsLeavesNoPieceAndTheNextOneWrites)
{
    CDynSys* doc = NewModel(IDR_SYS2TYPE);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(RunThroughMenu(doc));
    Dialogs dialogs;
    const std::string folder = FreshFolder("export-throws");
    dialogs.path = folder + "/out.d2d";
    g_exportThreadStartHook = [](const std::atomic<bool>&) { throw std::bad_alloc(); };
    ASSERT_TRUE(Choose(ID_FILE_EXPORT));
    ASSERT_TRUE(Pump([&] { return ExportEnded(doc) && !dialogs.texts.empty(); }));
    g_exportThreadStartHook = nullptr;
    EXPECT_EQ(dialogs.texts, std::vector<std::string>{kNoMemory});
    EXPECT_EQ(Names(folder), std::vector<std::string>{});
    EXPECT_TRUE(Offered(ID_CONTROLS_RUN));

    ASSERT_TRUE(Choose(ID_FILE_EXPORT));
    ASSERT_TRUE(Pump([doc] { return ExportEnded(doc); }));
    EXPECT_EQ(Names(folder), std::vector<std::string>{"out.d2d"});
    EXPECT_EQ(dialogs.texts.size(), 1u);
    doc->OnCloseDocument();
}
#endif
