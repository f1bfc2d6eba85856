// The Basins of Attraction views through the real main window, for each kind: the View command
// opens the view, Run paints every row as they finish (Concurrent Plot), Stop keeps the pixels
// computed, Run again starts from an empty picture, Clear Data
// empties it and Save Image writes a bitmap that reads back. With VELTRIX_SHOTS set to a
// folder, saves each view after its run.
#ifdef HAVE_VELTRIX_VIEWSPHASE
#include "app/BasinsPixels.h"
#include "app/DialogHooks.h"
#include "app/MenuDriver.h"
#include "common/AllocationLimit.h"
#include "model/CommandIds.h"
#include "model/ViewKinds.h"
#include "views/base/ViewCalc.h"
#include "views/phase/BasinsView.h"

#include <QImage>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

CBasinsView* BasinsOf(const CDynSys* doc)
{
    for (CView* v : doc->GetViews())
        if (auto* ba = dynamic_cast<CBasinsView*>(v))
            return ba;
    return nullptr;
}

// Every pixel that the scan covers and the picture shows: the plot, or the one-variable band.
long long ScannedPixels(const CBasinsView* view)
{
    const CRect area = view->Picture().Area();
    const int rows = view->Kind() == SystemKind::OneVariable ? 16 : area.Height();
    return static_cast<long long>(area.Width()) * std::min(rows, area.Height());
}

struct KindCase
{
    UINT type;
    const char* viewClass;
    LRESULT help;
    const char* shot;
};
const KindCase kKinds[] = {{IDR_SYS1TYPE, "CSys1BA", 0x1800A, "basins_newtonian.png"},
                           {IDR_SYS1NNTYPE, "CSys1NNBA", 0x1800A, "basins_one_variable.png"},
                           {IDR_SYS2TYPE, "CSys2BA", 0x1880A, "basins_two_variable.png"}};

// A new model of the kind with its Basins view open and active, maximised for the pictures.
CBasinsView* OpenBasins(const KindCase& k, CDynSys*& doc)
{
    doc = NewModel(k.type);
    if (!doc || !Choose(ID_BASINS))
        return nullptr;
    CBasinsView* view = BasinsOf(doc);
    if (!view)
        return nullptr;
    if (std::getenv("VELTRIX_SHOTS"))
        view->GetParentFrame()->ShowWindow(SW_SHOWMAXIMIZED);
    QCoreApplication::processEvents();
    view->RedrawWindow();
    return view;
}

// Types the Depth into the view's strip and presses Enter.
void TypeDepth(CBasinsView* view, int depth)
{
    QWidget* edit = view->Depth().m_edit.GetWidget();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, QString::number(depth));
    QTest::keyClick(edit, Qt::Key_Return);
}

// The view's window as it stands.
QImage ViewPicture(CBasinsView* view)
{
    view->UpdateWindow();
    return view->GetWidget()->grab().toImage();
}

// How many pixels outside the plot differ between two pictures of the view.
int MarginsDiffer(const QImage& a, const QImage& b, const CRect& plot)
{
    const qreal ratio = a.devicePixelRatio();
    const QRect inside(int(plot.left * ratio), int(plot.top * ratio), int(plot.Width() * ratio),
                       int(plot.Height() * ratio));
    int n = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x)
            n += !inside.contains(x, y) && a.pixel(x, y) != b.pixel(x, y);
    return n;
}

// How many pixels of the plot that the scan set are not shown where they were computed.
int PlotPixelsMissing(CBasinsView* view, const QImage& shown)
{
    const CPlotImageLayer& picture = view->Picture();
    const QImage& img = picture.Image();
    const qreal ratio = shown.devicePixelRatio(), scale = img.devicePixelRatio();
    const CRect& plot = view->m_rcPlotHit;
    int n = 0;
    for (int y = plot.top; y < plot.bottom; ++y)
        for (int x = plot.left; x < plot.right; ++x) {
            const QPoint at(int((x - picture.Area().left) * scale),
                            int((y - picture.Area().top) * scale));
            if (img.valid(at) && qAlpha(img.pixel(at)) != 0)
                n += shown.pixel(int(x * ratio), int(y * ratio)) != (img.pixel(at) | 0xFF000000u);
        }
    return n;
}
} // namespace

TEST(BasinsCommands, RunPaintsTheScanAndEndsItsRun)
{
    for (const KindCase& k : kKinds) {
        SCOPED_TRACE(k.viewClass);
        CDynSys* doc = nullptr;
        CBasinsView* view = OpenBasins(k, doc);
        ASSERT_NE(view, nullptr);
        EXPECT_STREQ(view->GetRuntimeClass()->m_lpszClassName, k.viewClass);
        EXPECT_EQ(doc->m_nOpenViews[kViewBasins], 1);
        EXPECT_FALSE(Offered(ID_BASINS));
        EXPECT_FALSE(Offered(ID_CONTROLS_STOP));
        // The default Depth for the pictures, a short one otherwise.
        const char* shots = std::getenv("VELTRIX_SHOTS");
        TypeDepth(view, shots ? 100 : 20);
        EXPECT_EQ(doc->m_nBADepth, shots ? 100 : 20);
        doc->m_bPlotConcurrent = 1;
        ASSERT_TRUE(Choose(ID_CONTROLS_RUN));
        EXPECT_TRUE(doc->m_bBARunning || !view->Scanning());
        ASSERT_TRUE(Pump([view] { return !view->Scanning(); }));
        EXPECT_FALSE(doc->m_bBARunning);
        EXPECT_TRUE(Offered(ID_CONTROLS_RUN));
        EXPECT_TRUE(doc->DataEntry() == nullptr || doc->DataEntry()->IsWindowEnabled());
        EXPECT_EQ(SetPixels(view), ScannedPixels(view)); // every row painted
        EXPECT_EQ(view->SendMessage(WM_HELPHITTEST), k.help);
        if (shots)
            StartShell()->GetWidget()->grab().save(QString(shots) + "/" + k.shot);
        doc->OnCloseDocument();
    }
}

TEST(BasinsCommands, StopKeepsThePixelsAndRunStartsAfresh)
{
    CDynSys* doc = nullptr;
    CBasinsView* view = OpenBasins(kKinds[2], doc);
    ASSERT_NE(view, nullptr);
    doc->m_nBADepth = 1000;
    doc->m_bPlotConcurrent = 1;
    ASSERT_TRUE(Choose(ID_CONTROLS_RUN));
    EXPECT_FALSE(doc->DataEntry() && doc->DataEntry()->IsWindowEnabled());
    EXPECT_FALSE(Offered(ID_CONTROLS_CLEARDATA));
    EXPECT_FALSE(Offered(ID_FILE_SAVE_IMAGE));
    ASSERT_TRUE(Pump([view] { return SetPixels(view) > 0 || !view->Scanning(); }));
    ASSERT_TRUE(Choose(ID_CONTROLS_STOP));
    ASSERT_TRUE(Pump([view] { return !view->Scanning(); }));
    const long long kept = SetPixels(view);
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, ScannedPixels(view));
    EXPECT_FALSE(doc->m_bBARunning);

    // Without Concurrent Plot the new scan shows nothing until its end.
    doc->m_bPlotConcurrent = 0;
    ASSERT_TRUE(Choose(ID_CONTROLS_RUN));
    if (view->Scanning()) {
        EXPECT_EQ(SetPixels(view), 0);
    }
    ASSERT_TRUE(Choose(ID_CONTROLS_STOP));
    ASSERT_TRUE(Pump([view] { return !view->Scanning(); }));

    ASSERT_TRUE(Choose(ID_CONTROLS_CLEARDATA));
    EXPECT_EQ(SetPixels(view), 0);
    doc->OnCloseDocument();
}

TEST(BasinsCommands, SaveImageWritesTheViewAsABitmap)
{
    CDynSys* doc = nullptr;
    CBasinsView* view = OpenBasins(kKinds[0], doc);
    ASSERT_NE(view, nullptr);
    doc->m_nBADepth = 0; // the colour ramp of the start x
    ASSERT_TRUE(Choose(ID_CONTROLS_RUN));
    ASSERT_TRUE(Pump([view] { return !view->Scanning(); }));
    Dialogs dialogs;
    dialogs.path = ::testing::TempDir() + "basins.bmp";
    std::remove(dialogs.path.c_str());
    dialogs.answers = {msgbox::IDNO}; // the plot alone
    ASSERT_TRUE(Choose(ID_FILE_SAVE_IMAGE));
    EXPECT_EQ(dialogs.texts, std::vector<std::string>{"Include Margins?"});
    EXPECT_EQ(dialogs.filters, std::vector<std::string>{"Veltrix Display Image (*.bmp)"});
    QImage saved(QString::fromStdString(dialogs.path), "BMP");
    ASSERT_FALSE(saved.isNull());
    const CRect plot = view->m_rcPlotHit;
    const qreal ratio = view->GetWidget()->devicePixelRatioF();
    EXPECT_EQ(saved.size(), QSize(int(plot.Width() * ratio), int(plot.Height() * ratio)));
    const QRgb left = saved.pixel(1, saved.height() / 2), right = saved.pixel(saved.width() - 2, 5);
    EXPECT_EQ(left, qRgb(0, 0, 127)) << "dark blue at the left edge";
    EXPECT_EQ(right, qRgb(127, 0, 0)) << "dark red at the right edge";

    dialogs.texts.clear();
    dialogs.answers = {msgbox::IDYES};
    dialogs.path = "/nonexistent-folder/basins.bmp";
    ASSERT_TRUE(Choose(ID_FILE_SAVE_IMAGE));
    EXPECT_EQ(dialogs.texts,
              (std::vector<std::string>{"Include Margins?",
                                        "Could not write image to disk as .bmp file."}));
    std::remove((::testing::TempDir() + "basins.bmp").c_str());
    doc->OnCloseDocument();
}

// A picture computed in a larger window keeps to the plot once the window is smaller: after a
// restore of the maximised window, and after a resize during the scan. The margins, and Save
// Image with them, are as without a picture, also while the scan paints rows after the resize;
// the plot shows each pixel where it was computed.
TEST(BasinsCommands, ThePictureKeepsToThePlotOfASmallerWindow)
{
    int scannedOn = 0; // the kinds whose scan painted rows after the resize
    for (const bool duringScan : {false, true}) {
        for (const KindCase& k : kKinds) {
            SCOPED_TRACE(std::string(k.viewClass) + (duringScan ? " during the scan" : ""));
            CDynSys* doc = nullptr;
            CBasinsView* view = OpenBasins(k, doc);
            ASSERT_NE(view, nullptr);
            CFrameWnd* frame = view->GetParentFrame();
            frame->ShowWindow(SW_SHOWMAXIMIZED);
            view->RedrawWindow();
            TypeDepth(view, duringScan ? 30 : 20); // a scan that goes on after the resize
            doc->m_bPlotConcurrent = 1;
            ASSERT_TRUE(Choose(ID_CONTROLS_RUN));
            ASSERT_TRUE(Pump([&] { return duringScan ? SetPixels(view) > 0 : !view->Scanning(); }));
            frame->ShowWindow(SW_RESTORE);
            frame->MoveWindow(CRect(0, 0, 520, 400));
            // The window while rows are painted after the resize, to the last tick of the scan:
            // the rows that reach the margins come late.
            QImage scanning;
            while (duringScan) {
                const long long before = SetPixels(view);
                ASSERT_TRUE(Pump([&] { return SetPixels(view) > before || !view->Scanning(); }));
                if (!view->Scanning())
                    break; // the end's repaint is whole
                scanning = ViewPicture(view);
                EXPECT_EQ(PlotPixelsMissing(view, scanning), 0) << "each row shown as it comes";
            }
            ASSERT_TRUE(Pump([view] { return !view->Scanning(); }));
            ASSERT_TRUE(Pump([view] { // the drawing after a restore is skipped, the next one made
                view->UpdateWindow();
                return view->m_rcPlotHit.Width() < view->Picture().Area().Width();
            }));
            const QImage shown = ViewPicture(view);
            if (const QString dir = qEnvironmentVariable("VELTRIX_SHOTS"); !dir.isEmpty())
                shown.save(dir + "/" + k.viewClass + (duringScan ? "_resized" : "_restored") +
                           ".png");
            EXPECT_EQ(PlotPixelsMissing(view, shown), 0);

            Dialogs dialogs;
            dialogs.path = ::testing::TempDir() + "restored.bmp";
            dialogs.answers = {msgbox::IDYES}; // with the margins
            ASSERT_TRUE(Choose(ID_FILE_SAVE_IMAGE));
            const QImage saved(QString::fromStdString(dialogs.path), "BMP");
            ASSERT_FALSE(saved.isNull());
            ASSERT_TRUE(Choose(ID_CONTROLS_CLEARDATA));
            view->RedrawWindow();
            const QImage empty = ViewPicture(view);
            EXPECT_EQ(MarginsDiffer(shown, empty, view->m_rcPlotHit), 0);
            // A fast scan (one variable, a slow build) may end before the resize shows.
            if (!scanning.isNull()) {
                ++scannedOn;
                EXPECT_EQ(MarginsDiffer(scanning, empty, view->m_rcPlotHit), 0);
                if (const QString dir = qEnvironmentVariable("VELTRIX_SHOTS"); !dir.isEmpty())
                    scanning.save(dir + "/" + k.viewClass + "_resized_scanning.png");
            }
            EXPECT_EQ(
                MarginsDiffer(saved.convertToFormat(empty.format()), empty, view->m_rcPlotHit), 0);
            std::remove(dialogs.path.c_str());
            doc->OnCloseDocument();
        }
    }
    EXPECT_GT(scannedOn, 0) << "no scan went on after the resize";
}

TEST(BasinsCommands, ClosingTheViewOrTheModelMidScanEndsTheScan)
{
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        CDynSys* doc = nullptr;
        CBasinsView* view = OpenBasins(kKinds[i % 3], doc);
        ASSERT_NE(view, nullptr);
        doc->m_nBADepth = 1000;
        doc->m_bPlotConcurrent = i % 2;
        ASSERT_TRUE(Choose(ID_CONTROLS_RUN));
        if (i % 2 == 0) {
            view->GetParentFrame()->DestroyWindow();
            QCoreApplication::processEvents();
            EXPECT_EQ(BasinsOf(doc), nullptr);
            EXPECT_FALSE(doc->m_bBARunning);
            EXPECT_EQ(doc->m_nOpenViews[kViewBasins], 0);
            EXPECT_TRUE(doc->DataEntry() == nullptr || doc->DataEntry()->IsWindowEnabled());
        }
        doc->OnCloseDocument();
        QCoreApplication::processEvents();
        vx::DeliverPostedMessages();
    }
}

TEST(BasinsCommands, AModelFileReopensItsBasinsView)
{
    const std::string path = ::testing::TempDir() + "basins.ds2";
    CDynSys* doc = nullptr;
    ASSERT_NE(OpenBasins(kKinds[2], doc), nullptr);
    ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
    doc->OnCloseDocument();
    auto* opened = dynamic_cast<CDynSys*>(TemplateOf(IDR_SYS2TYPE)->OpenDocumentFile(path.c_str()));
    ASSERT_NE(opened, nullptr);
    Idle();
    EXPECT_NE(BasinsOf(opened), nullptr);
    EXPECT_EQ(opened->m_nOpenViews[kViewBasins], 1);
    opened->OnCloseDocument();
    std::remove(path.c_str());
}

// The picture for the README: the basins of the double well x'' = x - x^3 - 0.5 x'.
TEST(BasinsCommands, ShotOfTheDoubleWell)
{
    const char* shots = std::getenv("VELTRIX_SHOTS");
    if (!shots)
        GTEST_SKIP() << "VELTRIX_SHOTS names no folder";
    CDynSys* doc = NewModel(IDR_SYS1TYPE);
    ASSERT_NE(doc, nullptr);
    doc->m_strAppliedForce = "0";
    doc->m_strRestoringForce = "x-x^3";
    doc->m_strDragForce = "-0.5*x'";
    doc->m_dBAMin1 = doc->m_dBAMin2 = -2;
    doc->m_dBAMax1 = doc->m_dBAMax2 = 2;
    doc->m_nIntegrator = 1;
    ASSERT_TRUE(Choose(ID_BASINS));
    CBasinsView* view = BasinsOf(doc);
    ASSERT_NE(view, nullptr);
    view->GetParentFrame()->ShowWindow(SW_SHOWMAXIMIZED);
    QCoreApplication::processEvents();
    view->RedrawWindow();
    TypeDepth(view, 300);
    ASSERT_TRUE(Choose(ID_CONTROLS_RUN));
    ASSERT_TRUE(Pump([view] { return !view->Scanning(); }));
    StartShell()->GetWidget()->grab().save(QString(shots) + "/basins_double_well.png");
    doc->OnCloseDocument();
}

// Memory runs out on the scan's thread: as it starts a worker thread, or for longer than the
// telling waits. The scan ends all the same (the progress window goes, Run comes back) and the
// next Run paints every pixel.
TEST(BasinsCommands, AScanThatRunsOutOfMemoryEndsAndTheNextOnePaints)
{
    if (!AllocationLimit::Works())
        GTEST_SKIP() << "allocations cannot be made to fail in this build";
    struct Case
    {
        const char* name;
        int fail, after;
    };
    // The third allocation is the second worker's place, once the first worker runs (where the
    // scan starts three workers or more, on as many processors).
    const Case cases[] = {{"a worker's start", 1, 2}, {"the scan and its telling", 2000, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDynSys* doc = nullptr;
        CBasinsView* view = OpenBasins(kKinds[2], doc);
        ASSERT_NE(view, nullptr);
        doc->m_nBADepth = 20;
        Dialogs dialogs;
        g_viewCalcStartHook = [c] { AllocationLimit::FailNextOnThisThread(c.fail, c.after); };
        ASSERT_TRUE(Choose(ID_CONTROLS_RUN));
        const bool ended = Pump([view] { return !view->Scanning(); });
        g_viewCalcStartHook = nullptr;
        ASSERT_TRUE(ended);
        EXPECT_FALSE(doc->m_bBARunning);
        EXPECT_FALSE(ProgressWindowShown("BA Calculation Progress"));
        EXPECT_TRUE(Offered(ID_CONTROLS_RUN));

        ASSERT_TRUE(Choose(ID_CONTROLS_RUN));
        ASSERT_TRUE(Pump([view] { return !view->Scanning(); }));
        EXPECT_EQ(SetPixels(view), ScannedPixels(view));
        EXPECT_LE(dialogs.texts.size(), 1u) << "told once at most";
        doc->OnCloseDocument();
    }
}
#endif
