// Run and Export through the real main window when their thread cannot start or their job
// throws: the user is told, nothing is lost, and the next Run or Export works; and the windows
// paint while Qt's own threads cannot start. The failed starts need the thread-start shim
// preloaded (ctest does so); without it those tests skip.
#ifdef HAVE_VELTRIX_VIEWSGRAPH
#include "app/DialogHooks.h"
#include "app/MenuDriver.h"
#include "app/ModalDriver.h"
#include "app/ShellFixture.h"
#include "app/ShellGlobals.h"
#include "app/TestFiles.h"
#include "common/AllocationLimit.h"
#include "common/ChildProcess.h"
#include "common/Watchdog.h"
#include "model/CalcThread.h"
#include "model/DynSys.h"
#include "model/ExpThread.h"
#include "platform/base/NoMemory.h"
#include "resources/ResourceIds.h"
#include "views/base/2DView.h"
#include "views/phase/VectorFieldBase.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <future>
#include <map>
#include <memory>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <new>
#include <ostream>
#include <unistd.h>

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

const char* const kPaintingWaits = "Painting did not come back: it waits for a thread.";
const char* const kNoCalcThread = "Could not create calculation thread.";
const char* const kNoExportThread = "Could not create export thread.";
const char* const kNoMemory = "Not enough memory to go on.";

// What a user does: a new model's Vector Field from the View menu, and a long run of a new
// model drawn as it goes, with its progress window. The view that shows it.
CView* OpenVectorField(CDynSys*& doc)
{
    CView* field = OpenViewOfNewModel<CVectorFieldBase>(IDR_SYS2TYPE, ID_VECTOR_FIELD, doc);
    if (field) {
        QTest::keyClick(field->GetWidget(), 'D'); // the direction field, computed soon after
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            vx::DeliverPostedMessages();
        }
    }
    return field;
}

CView* RunWithProgressWindow(CDynSys*& doc)
{
    doc = NewModel(IDR_SYS2TYPE);
    if (!doc)
        return nullptr;
    CView* graph = doc->GetViews().front();
    graph->GetParentFrame()->ShowWindow(SW_SHOWMAXIMIZED);
    doc->m_dRunTimeLimit = 1e7;
    doc->m_bPlotConcurrent = TRUE;
    if (!Choose(ID_CONTROLS_RUN) || !Pump([doc] {
            return ProgressWindowShown("Calculation Progress") && doc->m_nTableCount > 200;
        }))
        return nullptr;
    return graph;
}

struct PaintCase
{
    const char* name;
    CView* (*act)(CDynSys*& doc);
};

void PrintTo(const PaintCase& c, std::ostream* os)
{
    *os << c.name;
}

const PaintCase kPaintCases[] = {{"VectorField", OpenVectorField},
                                 {"RunWithProgressWindow", RunWithProgressWindow}};

// The pixels of an image that are not white.
int Inked(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xffffffu) != 0xffffffu;
    return n;
}

// A widget painted afresh, as on the screen.
QImage Grab(QWidget* w)
{
    return w ? w->grab().toImage().convertToFormat(QImage::Format_RGB32) : QImage();
}

// Whether a thread of Qt's own begins now.
bool QtThreadBegins()
{
    std::atomic<bool> ran{false};
    const std::unique_ptr<QThread> thread(QThread::create([&ran] { ran = true; }));
    thread->start();
    thread->wait();
    return ran;
}

QWidget* TopLevel(const char* title)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->windowTitle() == title)
            return w;
    return nullptr;
}

} // namespace

// Memory runs out on a run's thread while it holds the table (the first allocation of a run
// drawn at its end compiles its equations), then while it tells so too, then for longer than a
// worker could wait: the run ends, the views draw, the message is told once, and the next Run
// works.
TEST(ThreadFailures, ARunThatRunsOutOfMemoryEndsAndTheNextOneDraws)
{
    if (!AllocationLimit::Works())
        GTEST_SKIP() << "allocations cannot be made to fail in this build";
    struct Case
    {
        UINT type;
        int fail; // allocations of the run's thread that fail
        std::vector<std::string> told;
    };
    const Case cases[] = {{IDR_SYS1TYPE, 1, {kNoMemory}},  {IDR_SYS1NNTYPE, 1, {kNoMemory}},
                          {IDR_SYS2TYPE, 1, {kNoMemory}},  {IDR_SYS3TYPE, 1, {kNoMemory}},
                          {IDR_SYS2TYPE, 12, {kNoMemory}}, {IDR_SYS2TYPE, 2000, {kNoMemory}}};
    Watchdog watchdog("A run that ran out of memory left the program waiting.");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.type << ", failing " << c.fail);
        CDynSys* doc = NewModel(c.type);
        ASSERT_NE(doc, nullptr);
        ASSERT_TRUE(Choose(ID_CONTROLS_PLOTTIMING_POSTCALCPLOT));
        CView* graph = doc->GetViews().front();
        graph->UpdateWindow();
        const QImage empty = graph->GetBackingImage();
        Dialogs dialogs;
        g_calcThreadStartHook = [&c] { AllocationLimit::FailNextOnThisThread(c.fail); };
        ASSERT_TRUE(Choose(ID_CONTROLS_RUN));
        const bool ended =
            Pump([&] { return !doc->m_bRunning && dialogs.texts.size() == c.told.size(); });
        g_calcThreadStartHook = nullptr;
        ASSERT_TRUE(ended);
        graph->RedrawWindow();
        EXPECT_EQ(dialogs.texts, c.told);
        EXPECT_FALSE(ProgressWindowShown("Calculation Progress"));

        ASSERT_TRUE(RunThroughMenu(doc));
        EXPECT_GT(ChangedPlotPixels(graph, empty), 100);
        EXPECT_EQ(dialogs.texts, c.told);
        doc->OnCloseDocument();
    }
}

// Qt's own threads fail to start from the end of the program's start-up on, as under an
// address-space limit (ctest preloads the shim and sets VELTRIX_FAIL_QT_THREADS): the main window
// still paints what the user asks for.
class QtPainting : public testing::TestWithParam<PaintCase>
{
};

TEST_P(QtPainting, GoesOnWhenQtsThreadsCannotStart)
{
    if (!qEnvironmentVariableIsSet("VELTRIX_FAIL_QT_THREADS"))
        GTEST_SKIP() << "needs Qt's threads failing from start-up on";
    CDynSys* doc = nullptr;
    QImage view, drawn, window, progress;
    {
        Watchdog watchdog(kPaintingWaits);
        ASSERT_NE(StartShell(), nullptr);
        ASSERT_FALSE(QtThreadBegins()) << "the thread-start shim is not preloaded";
        // The pool's threads have been idle for as long as Qt lets them live.
        if (const int expiry = QThreadPool::globalInstance()->expiryTimeout(); expiry >= 0)
            QTest::qWait(expiry + 1000);
        CView* shown = GetParam().act(doc);
        ASSERT_NE(shown, nullptr);
        const CRect& r = dynamic_cast<C2DView&>(*shown).m_rcPlot;
        const QRect plot(r.left, r.top, r.Width(), r.Height());
        view = Grab(shown->GetWidget()).copy(plot);
        drawn = shown->GetBackingImage().convertToFormat(QImage::Format_RGB32).copy(plot);
        window = Grab(StartShell()->GetWidget());
        progress = Grab(TopLevel("Calculation Progress"));
    }
    if (const QString dir = qEnvironmentVariable("VELTRIX_SHOTS"); !dir.isEmpty()) {
        window.save(dir + "/no-qt-threads-" + GetParam().name + ".png");
        if (!progress.isNull())
            progress.save(dir + "/no-qt-threads-progress.png");
    }
    EXPECT_TRUE(view == drawn);   // the paint came back with the whole plot
    EXPECT_GT(Inked(view), 2000); // more than the axes: the arrows, the curves
    EXPECT_GT(Inked(window), Inked(view));
    if (doc->m_bRunning) {
        EXPECT_GT(Inked(progress), 0);
        EXPECT_TRUE(Choose(ID_CONTROLS_STOP));
        EXPECT_TRUE(Pump([doc] { return !doc->m_bRunning; }));
    }
    doc->OnCloseDocument();
}

INSTANTIATE_TEST_SUITE_P(ThreadFailures, QtPainting, testing::ValuesIn(kPaintCases),
                         [](const auto& info) { return std::string(info.param.name); });

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
    ASSERT_TRUE(RunAWhileThroughMenu(doc));
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

    ASSERT_TRUE(RunAWhileThroughMenu(doc));
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

namespace {

// Answers what the program asks at its start: the log-on with a name, a message box with OK
// (its text written out for the test that runs the program).
void AnswerStartUp(QDialog* d)
{
    if (auto* box = qobject_cast<QMessageBox*>(d)) {
        std::printf("told: %s\n", qPrintable(box->text()));
        std::fflush(stdout);
    } else if (auto* name = d->findChild<QLineEdit*>(QString::number(IDC_LOGON_NAME)))
        name->setText("ann");
    d->accept();
}

// A new model's graph, maximised and drawn in the main window: whether the window shows it.
bool PaintsANewModel(CMainFrame* frame)
{
    CDocTemplate* t = nullptr;
    for (CDocTemplate* each : theApp.GetDocTemplates())
        if (each->GetResourceID() == IDR_SYS2TYPE)
            t = each;
    CDocument* doc = t ? t->OpenDocumentFile(nullptr) : nullptr;
    if (!doc)
        return false;
    CView* graph = doc->GetViews().front();
    graph->GetParentFrame()->ShowWindow(SW_SHOWMAXIMIZED);
    QCoreApplication::processEvents();
    graph->RedrawWindow();
    return Inked(Grab(graph->GetWidget())) > 2000 && Inked(Grab(frame->GetWidget())) > 2000;
}

// Prints the process's peak and present address space, as the kernel counts them.
void PrintPeak(const char* when)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmPeak", 0) == 0 || line.rfind("VmSize", 0) == 0)
            std::printf("%s %s\n", when, line.c_str());
    std::fflush(stdout);
}

// What a user does in a first sitting: a new model of each kind from File/New, its run, its
// Projected Orbit (and the plane's Basins run and Vector Field), File/Save. What failed, or the
// boxes shown.
std::string DoOrdinaryWork(CMainFrame* frame, const std::string& folder)
{
    Dialogs boxes;
    for (int row = 1; row <= 4; ++row) { // File/New's rows after the lessons
        CDocTemplate* t = theApp.GetDocTemplates()[size_t(row)];
        const ModalDriver pick({[row](QDialog* d) {
            d->findChild<QListWidget*>()->setCurrentRow(row);
            d->accept();
        }});
        if (!Choose(ID_FILE_NEW, frame) || t->GetDocuments().empty())
            return "File/New";
        auto* doc = dynamic_cast<CDynSys*>(t->GetDocuments().back());
        doc->m_nBADepth = 20;
        if (!Choose(ID_CONTROLS_RUN, frame) ||
            !Pump([doc] { return !doc->m_bRunning && doc->m_bHaveData; }) ||
            !Choose(ID_PROJECTED_ORBIT, frame))
            return "Run";
        if (t->GetResourceID() == IDR_SYS2TYPE &&
            (!Choose(ID_BASINS, frame) || !Choose(ID_CONTROLS_RUN, frame) ||
             !Pump([doc] { return !doc->m_bBARunning; }) || !Choose(ID_VECTOR_FIELD, frame)))
            return "Basins, Vector Field";
        if (auto* field = dynamic_cast<CVectorFieldBase*>(doc->GetViews().back()))
            QTest::keyClick(field->GetWidget(), 'D'); // the direction field
        QCoreApplication::processEvents();
        const std::string path =
            folder + "/" + std::to_string(row) + t->GetDocString(CDocTemplate::filterExt);
        const ModalDriver saveAs({[&path](QDialog* d) {
            d->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(path));
            d->accept();
        }});
        if (!Choose(ID_FILE_SAVE, frame) || !std::filesystem::exists(path))
            return "File/Save";
    }
    std::string told;
    for (const std::string& text : boxes.texts)
        told += "box: " + text + "\n";
    return told;
}

ChildRun ProgramRun()
{
    ChildRun run;
    run.args = {"--gtest_filter=ProgramRun.LogOnPaintAndExit"};
    run.env = {"VELTRIX_PROGRAM_RUN=1"};
    return run;
}

void ExpectEnded(const ChildEnd& end, int code)
{
    EXPECT_FALSE(end.hung) << "the program did not end:\n" << end.output;
    EXPECT_EQ(end.code, code) << end.output;
}

// The program ended: started and ended after File/Exit, or said that memory ran out and ended.
void ExpectEndedOrTold(const ChildEnd& end)
{
    ExpectEnded(end, end.output.find(kNoMemoryText) != std::string::npos ? 1 : 0);
}

struct StartFailure
{
    const char* failedStart; // of Qt's threads, as the shim names it
    int code;
    const char* told;
};

} // namespace

// The program as its main runs it, in a process of its own that a test starts: the log-on is
// answered, a model is drawn, and File/Exit ends the process.
TEST(ProgramRun, LogOnPaintAndExit)
{
    if (!qEnvironmentVariableIsSet("VELTRIX_PROGRAM_RUN"))
        GTEST_SKIP() << "run in a process of its own by the tests of the program's start and end";
    QTemporaryDir settings, folder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    std::filesystem::current_path(folder.path().toStdString());
    std::ofstream("KRVX500.CFG", std::ios::binary).write("\0\0\0\0\0", 5); // student
    auto answers =
        std::make_unique<ModalDriver>(std::vector<ModalDriver::Step>{AnswerStartUp, AnswerStartUp});
    bool painted = false, exited = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* frame = dynamic_cast<CMainFrame*>(theApp.m_pMainWnd);
        if (!frame || g_strLogOnName.empty() || QApplication::activeModalWidget())
            return;
        poll.stop();
        answers.reset(); // the start is answered
        PrintPeak("started");
        painted = PaintsANewModel(frame);
        if (qEnvironmentVariableIsSet("VELTRIX_PROGRAM_WORK")) {
            const std::string failed = DoOrdinaryWork(frame, folder.path().toStdString());
            EXPECT_EQ(failed, "");
            PrintPeak("worked");
            if (const QString dir = qEnvironmentVariable("VELTRIX_SHOTS"); !dir.isEmpty())
                frame->GetWidget()->grab().save(dir + "/ordinary-work.png");
        }
        exited = Choose(ID_APP_EXIT, frame);
    });
    poll.start(20);
    char name[] = "veltrix";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(AfxWinMain(1, argv), 0);
    EXPECT_EQ(g_strLogOnName, "ann");
    EXPECT_TRUE(painted);
    EXPECT_TRUE(exited);
    if (const char* spec = std::getenv("VELTRIX_FAIL_QT_THREAD_START")) {
        using Count = long (*)();
        const auto failed =
            reinterpret_cast<Count>(dlsym(RTLD_DEFAULT, "VeltrixFailedThreadStarts"));
        ASSERT_NE(failed, nullptr);
        // "N-M" fails every start of the range.
        const char* range = std::strchr(spec, '-');
        EXPECT_GE(failed(), range ? std::atol(range + 1) - std::atol(spec) + 1 : 1);
    }
}

// A thread of Qt's painting pool that cannot start at the program's start: the program paints
// and ends after File/Exit (both of the first starts failing, the start is tried again), or,
// when no such thread can start, says so and ends.
TEST(ThreadFailures, APaintingThreadThatCannotStartLeavesTheProgramToPaintAndEnd)
{
    if (!ThreadStartShim())
        GTEST_SKIP() << "needs the thread-start shim preloaded";
    const StartFailure cases[] = {{"1", 0, ""},
                                  {"2", 0, ""},
                                  {"1-2", 0, ""},
                                  {"1+", 1, "told: Not enough memory to go on.\n"}};
    for (const StartFailure& c : cases) {
        SCOPED_TRACE(c.failedStart);
        ChildRun run = ProgramRun();
        run.env.push_back(std::string("VELTRIX_FAIL_QT_THREAD_START=") + c.failedStart);
        const ChildEnd end = RunChild(run);
        ExpectEnded(end, c.code);
        EXPECT_NE(end.output.find(c.told), std::string::npos) << end.output;
        if (c.code == 0) {
            EXPECT_EQ(end.output.find(kNoMemoryText), std::string::npos) << end.output;
        }
    }
}

// Whichever of Qt's threads cannot start (on a display: its reader, its desktop bus, the painting
// pool's), the program starts and ends after File/Exit, or says that memory ran out and ends.
TEST(ProgramRun, EndsWhicheverOfQtsThreadsCannotStart)
{
    if (!ThreadStartShim())
        GTEST_SKIP() << "needs the thread-start shim preloaded";
    for (const char* failed : {"1", "2", "3", "4", "1+", "3+"}) {
        SCOPED_TRACE(failed);
        ChildRun run = ProgramRun();
        run.env.push_back(std::string("VELTRIX_FAIL_QT_THREAD_START=") + failed);
        ExpectEndedOrTold(RunChild(run));
    }
}

// Under every address-space limit the program either says at its start that memory is short and
// ends, or starts and does ordinary work (ProgramRun.LogOnPaintAndExit with
// VELTRIX_PROGRAM_WORK), paints without failing and ends after File/Exit; never by a signal, never
// hanging. Every 40 MiB from 120 (where the system still loads it) to 1000, then every 5 MiB about
// the lowest limit that started.
TEST(ProgramRun, StartsAndEndsUnderATightAddressSpaceLimit)
{
#ifdef VELTRIX_SANITIZED
    GTEST_SKIP() << "the sanitizers' shadow memory needs the address space";
#endif
    std::map<unsigned long, ChildEnd> ends;
    auto runAll = [&ends](unsigned long from, unsigned long to, unsigned long step) {
        std::map<unsigned long, std::future<ChildEnd>> running;
        for (unsigned long mib = from; mib <= to; mib += step) {
            ChildRun run = ProgramRun();
            run.env.push_back("VELTRIX_PROGRAM_WORK=1");
            run.addressSpace = mib << 20;
            running[mib] = std::async(std::launch::async, RunChild, run);
            if (running.size() == 4 || mib + step > to) // four children at a time
                for (auto& [m, end] : std::exchange(running, {}))
                    ends[m] = end.get();
        }
    };
    auto started = [](const ChildEnd& end) {
        return end.output.find("started Vm") != end.output.npos;
    };
    runAll(120, 1000, 40);
    const auto first =
        std::find_if(ends.begin(), ends.end(), [&](auto& e) { return started(e.second); });
    ASSERT_NE(first, ends.end()) << ends[1000].output;
    runAll(std::max(120ul, first->first - 35), first->first + 35, 5);
    for (const auto& [mib, end] : ends) {
        SCOPED_TRACE(testing::Message() << mib << " MiB");
        EXPECT_FALSE(end.hung) << "the program did not end:\n" << end.output;
        if (started(end)) {
            EXPECT_EQ(end.code, 0) << end.output;
            EXPECT_EQ(end.output.find("Painter not active"), std::string::npos) << end.output;
        } else {
            EXPECT_EQ(end.code, 1) << end.output;
            EXPECT_NE(end.output.find(kNoMemoryText), std::string::npos) << end.output;
        }
    }
}

// Memory runs out on an export's thread for longer than a worker could wait: the export still
// ends (the progress window goes, Run comes back) with no piece of its file, the message is told
// once, and the next one writes.
TEST(ThreadFailures, AnExportThatRunsOutOfMemoryForLongEndsAndTheNextOneWrites)
{
    if (!AllocationLimit::Works())
        GTEST_SKIP() << "allocations cannot be made to fail in this build";
    CDynSys* doc = NewModel(IDR_SYS2TYPE);
    ASSERT_NE(doc, nullptr);
    ASSERT_TRUE(RunThroughMenu(doc));
    Dialogs dialogs;
    const std::string folder = FreshFolder("export-memory");
    dialogs.path = folder + "/out.d2d";
    g_exportThreadStartHook = [](const std::atomic<bool>&) {
        AllocationLimit::FailNextOnThisThread(2000);
    };
    ASSERT_TRUE(Choose(ID_FILE_EXPORT));
    const bool ended = Pump([&] { return ExportEnded(doc) && !dialogs.texts.empty(); });
    g_exportThreadStartHook = nullptr;
    ASSERT_TRUE(ended);
    EXPECT_EQ(Names(folder), std::vector<std::string>{});
    EXPECT_TRUE(Offered(ID_CONTROLS_RUN));

    ASSERT_TRUE(Choose(ID_FILE_EXPORT));
    ASSERT_TRUE(Pump([doc] { return ExportEnded(doc); }));
    EXPECT_EQ(Names(folder), std::vector<std::string>{"out.d2d"});
    EXPECT_EQ(dialogs.texts, std::vector<std::string>{kNoMemory});
    doc->OnCloseDocument();
}
#endif
