// Commands that allocate in proportion to a plot, a page, a run or a file, through the real main
// window, while large allocations fail as when memory runs out: each says so (a paint once) and
// the program goes on, and the same command with memory again does its work.
#ifdef HAVE_VELTRIX_VIEWSPHASE
#include "app/BasinsPixels.h"
#include "app/DialogHooks.h"
#include "app/MenuDriver.h"
#include "app/ModalDriver.h"
#include "app/TestFiles.h"
#include "common/AllocationLimit.h"
#include "model/CommandIds.h"
#include "model/files/DataFile.h"
#include "views/phase/BasinsView.h"
#include "views/phase/PhaseLineDraw.h"
#include "views/phase/VectorField1View.h"
#include "views/phase/VectorFieldView.h"

#include <QImage>
#include <QPageLayout>
#include <QPrinter>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace {

constexpr std::size_t kKB = 1024;
const char* const kNoMemory = "Not enough memory to go on.";
const char* const kNoImage = "Could not write image to disk as .bmp file.";

// Opens the view of the command, active and maximised, so that it is as large as the screen.
CView* OpenView(UINT nCommand)
{
    if (!Choose(nCommand))
        return nullptr;
    CView* view = StartShell()->MDIGetActive()->GetActiveView();
    view->GetParentFrame()->ShowWindow(SW_SHOWMAXIMIZED);
    QCoreApplication::processEvents();
    view->RedrawWindow();
    return view;
}

bool BasinsRun(CDynSys* doc)
{
    return Choose(ID_CONTROLS_RUN) && Pump([doc] { return !doc->m_bBARunning; });
}

const std::string& ImagePath()
{
    static const std::string path = Temp("memory.bmp");
    return path;
}

bool ImageWritten()
{
    return std::filesystem::exists(ImagePath()) && std::filesystem::file_size(ImagePath()) > 54;
}

const std::string& DataPath()
{
    static const std::string path = [] {
        const std::string p = Temp("memory.d2d");
        std::ofstream(p, std::ios::binary)
            << DataKind(SystemKind::TwoVariable).title << "\r\nnames\r\n0 1 2 3 4\r\n0.1 2 3 4 "
            << "5\r\n0.2 3 4 5 6\r\n";
        return p;
    }();
    return path;
}

// Shift+D: the direction field computed anew.
void DirectionField(CView* view)
{
    QTest::keyClick(view->GetWidget(), 'D', Qt::ShiftModifier);
    QCoreApplication::processEvents();
}

std::size_t FieldPoints(const CView* view)
{
    return dynamic_cast<const CVectorFieldView*>(view)->Plane().DirectionField().m_arrX1.size();
}

// Sets up a new model for the command and gives the view it works in.
using SetUp = std::function<CView*(CDynSys*)>;

// The view of the command, open.
SetUp In(UINT nView)
{
    return [nView](CDynSys*) { return OpenView(nView); };
}

// After a run: the Graph, or the view of the command opened then.
SetUp AfterRun(UINT nView = 0)
{
    return [nView](CDynSys* doc) -> CView* {
        if (!RunThroughMenu(doc))
            return nullptr;
        return nView ? OpenView(nView) : doc->GetViews().front();
    };
}

// A run stopped part way, which Run continues.
CView* StoppedRun(CDynSys* doc)
{
    doc->m_dRunTimeLimit = 1e7;
    return RunAWhileThroughMenu(doc) ? doc->GetViews().front() : nullptr;
}

// The window's picture as the last paint left it.
QImage Shown(CView* view)
{
    return view->GetBackingImage();
}

const std::string& PdfPath()
{
    static const std::string path = Temp("memory.pdf");
    return path;
}

// After a run, the Projected Orbit, printed to a file at the printer's full resolution.
CView* PrintedRun(CDynSys* doc)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(PdfPath()));
    theApp.SetPrinter(std::move(printer));
    std::filesystem::remove(PdfPath());
    return AfterRun(ID_PROJECTED_ORBIT)(doc);
}

// File/Print, its dialog accepted.
void Print(CDynSys*, CView*)
{
    ModalDriver driver({Accept});
    ASSERT_TRUE(Choose(ID_FILE_PRINT));
}

// Controls/Zoom Near: the plot's layers computed for the new limits.
void ZoomNear(CDynSys*, CView*)
{
    ASSERT_TRUE(Choose(ID_CONTROLS_ZOOM_NEAR));
    QCoreApplication::processEvents();
}

// The phase line is computed for the plot as it stands, and shown.
bool PhaseLineShown(const CView* view)
{
    return dynamic_cast<const CSys1NNVF*>(view)->PhaseLine().GetState() == CPlotLayer::State::Valid;
}

// Two paints of the whole window.
void Repaint(CDynSys*, CView* view)
{
    for (int i = 0; i < 2; ++i) {
        view->RedrawWindow();
        QCoreApplication::processEvents();
        vx::DeliverPostedMessages();
    }
}

struct Case
{
    const char* name;
    SetUp setUp;
    std::size_t most;
    AllocationLimit::Threads threads;
    std::function<void(CDynSys*, CView*)> command;
    std::string file; // the file dialog's answer
    std::vector<std::string> told;
    std::function<bool(CDynSys*, CView*)> done; // the command's work is there
    UINT type = IDR_SYS2TYPE;                   // the model's kind
};

} // namespace

TEST(MemoryCommands, ACommandOutOfMemorySaysSoAndTheProgramGoesOn)
{
    if (!AllocationLimit::Works())
        GTEST_SKIP() << "allocations cannot be limited in this build";
    const auto basinsRun = [](CDynSys* doc, CView*) { ASSERT_TRUE(BasinsRun(doc)); };
    const auto basinsPainted = [](CDynSys*, CView* view) {
        return SetPixels(dynamic_cast<CBasinsView*>(view)) > 1000;
    };
    const auto saveImage = [](CDynSys*, CView*) { ASSERT_TRUE(Choose(ID_FILE_SAVE_IMAGE)); };
    const auto imageWritten = [](CDynSys*, CView*) { return ImageWritten(); };
    QImage whole; // the Projected Orbit of the run, painted with memory enough
    // clang-format off
    const Case cases[] = {
        {"Basins Run", In(ID_BASINS), 128 * kKB, AllocationLimit::Every, basinsRun, "",
         {kNoMemory}, basinsPainted},
        {"Basins Run, in its workers", In(ID_BASINS), 64 * kKB, AllocationLimit::OthersOnly,
         basinsRun, "", {kNoMemory}, basinsPainted},
        {"Save Image", AfterRun(), 128 * kKB, AllocationLimit::Every, saveImage, ImagePath(),
         {kNoImage}, imageWritten},
        {"Save Image of the Basins", In(ID_BASINS), 128 * kKB, AllocationLimit::Every, saveImage,
         ImagePath(), {"Include Margins?", kNoImage}, imageWritten},
        {"Import", AfterRun(), 128 * kKB, AllocationLimit::Every,
         [](CDynSys*, CView*) { ASSERT_TRUE(Choose(ID_FILE_IMPORT)); }, DataPath(), {kNoMemory},
         [](CDynSys* doc, CView*) { return doc->m_nImportRows == 3; }},
        {"Direction Field", In(ID_VECTOR_FIELD), 16 * kKB, AllocationLimit::Every,
         [](CDynSys*, CView* view) { DirectionField(view); }, "", {kNoMemory},
         [](CDynSys*, CView* view) { return FieldPoints(view) > 1000; }},
        {"Run, continued", StoppedRun, 64 * kKB, AllocationLimit::Every,
         [](CDynSys*, CView*) { ASSERT_TRUE(Choose(ID_CONTROLS_RUN)); }, "", {kNoMemory},
         [](CDynSys* doc, CView*) { return doc->m_bRunning != 0; }},
        {"Print", PrintedRun, 16 * kKB, AllocationLimit::Every, Print, "", {kNoMemory},
         [](CDynSys*, CView*) { return std::filesystem::exists(PdfPath()); }},
        {"Phase line", In(ID_VECTOR_FIELD), 4 * kKB, AllocationLimit::Every, ZoomNear, "",
         {kNoMemory}, [](CDynSys*, CView* view) { return PhaseLineShown(view); },
         IDR_SYS1NNTYPE},
        {"Repaint", AfterRun(ID_PROJECTED_ORBIT), 16 * kKB, AllocationLimit::Every, Repaint, "",
         {kNoMemory}, [&whole](CDynSys*, CView* view) { return Shown(view) == whole; }},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDynSys* doc = NewModel(c.type);
        ASSERT_NE(doc, nullptr);
        doc->m_nVFGridSpacing = 100; // the finest direction field
        doc->m_nBADepth = 20;        // a quick scan
        CView* view = c.setUp(doc);
        ASSERT_NE(view, nullptr);
        Repaint(doc, view);
        whole = Shown(view);
        std::filesystem::remove(ImagePath());
        Dialogs dialogs;
        dialogs.path = c.file;
        const long long refused = AllocationLimit::Refused();
        {
            AllocationLimit limit(c.most, c.threads);
            c.command(doc, view);
            ASSERT_TRUE(
                Pump([&] { return dialogs.texts.size() >= c.told.size() && !doc->m_bBARunning; }));
        }
        EXPECT_EQ(dialogs.texts, c.told);
        EXPECT_GT(AllocationLimit::Refused(), refused);
        EXPECT_FALSE(c.done(doc, view));
        EXPECT_FALSE(ProgressWindowShown("BA Calculation Progress"));
        EXPECT_FALSE(ProgressWindowShown("Calculation Progress"));
        EXPECT_FALSE(doc->m_bHaveImport);

        dialogs.texts.clear();
        c.command(doc, view);
        EXPECT_TRUE(Pump([&] { return c.done(doc, view); }));
        EXPECT_EQ(dialogs.texts.size(), c.told.size() - 1) << "nothing but a question told";
        if (doc->m_bRunning) {
            EXPECT_TRUE(Choose(ID_CONTROLS_STOP) && Pump([doc] { return !doc->m_bRunning; }));
        }
        doc->SetModifiedFlag(FALSE);
        doc->OnCloseDocument();
    }
    theApp.SetPrinter(nullptr);
}

namespace {
int g_printEndsToFail = 0;
bool g_busyDeviceDestroyed = false;

// Notes Qt's word that a printer was destroyed while its job was still painting.
void NoteBusyDevice(QtMsgType, const QMessageLogContext&, const QString& text)
{
    g_busyDeviceDestroyed |= text.contains("being painted");
}
} // namespace

// A print job whose end fails, and fails again with the memory reserve given back, leaves its
// printer busy with it for good: the next Print prints all the same, with the printer's settings,
// and a Print whose job cannot begin says so.
TEST(MemoryCommands, PrintAfterAJobThatCouldNotEndPrints)
{
    CDynSys* doc = NewModel(IDR_SYS2TYPE);
    ASSERT_NE(doc, nullptr);
    CView* view = PrintedRun(doc);
    ASSERT_NE(view, nullptr);
    theApp.GetPrinter()->setPageOrientation(QPageLayout::Landscape);
    const int resolution = theApp.GetPrinter()->resolution();
    Dialogs dialogs;
    g_printEndsToFail = 2;
    g_printJobEndHook = [] {
        if (g_printEndsToFail > 0 && g_printEndsToFail--)
            throw std::bad_alloc();
    };
    const QtMessageHandler oldHandler = qInstallMessageHandler(NoteBusyDevice);
    Print(doc, view);
    qInstallMessageHandler(oldHandler);
    g_printJobEndHook = nullptr;
    EXPECT_EQ(dialogs.texts, std::vector<std::string>{kNoMemory});
    EXPECT_FALSE(std::filesystem::exists(PdfPath()));
    EXPECT_FALSE(g_busyDeviceDestroyed) << "the busy printer is set aside, not destroyed";

    Print(doc, view);
    EXPECT_TRUE(std::filesystem::exists(PdfPath()));
    EXPECT_EQ(dialogs.texts.size(), 1u);
    EXPECT_EQ(theApp.GetPrinter()->pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(theApp.GetPrinter()->resolution(), resolution);

    // The file's folder goes once the print dialog has been answered.
    const std::string folder = Temp("gone");
    std::filesystem::create_directory(folder);
    theApp.GetPrinter()->setOutputFileName(QString::fromStdString(folder + "/out.pdf"));
    ModalDriver driver({[&folder](QDialog* d) {
        d->accept();
        std::filesystem::remove_all(folder);
    }});
    ASSERT_TRUE(Choose(ID_FILE_PRINT));
    EXPECT_EQ(dialogs.texts, (std::vector<std::string>{kNoMemory, "Unable to print."}));
    theApp.SetPrinter(nullptr);
    doc->OnCloseDocument();
}
#endif
