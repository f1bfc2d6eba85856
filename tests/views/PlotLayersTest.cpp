// The test-only 2-D view with layers, an image background and a calculation of its own: layers
// are computed outside painting and drawn in order; the calculation starts, stops, restarts and
// goes with the view, its announcements coalesced.
#include "PlotPixels.h"
#include "ViewHarness.h"
#include "common/PumpUntil.h"
#include "model/CommandIds.h"
#include "platform/Controls.h"
#include "platform/Messages.h"
#include "views/base/2DView.h"
#include "views/base/ViewCalc.h"

#include <QApplication>
#include <QTest>
#include <atomic>
#include <gtest/gtest.h>

namespace {
constexpr COLORREF kFirst = RGB(200, 0, 0), kSecond = RGB(0, 0, 200);

// Fills a box of the plot, in the plot's own fractions.
class CBoxLayer : public CPlotLayer
{
public:
    CBoxLayer(COLORREF c, double f0, double f1) : color(c), from(f0), to(f1) {}
    bool Shown() const override { return shown; }
    int computes = 0;
    bool decline = false, shown = true;
    CRect Box(const C2DPlotGeometry& g) const
    {
        const CRect& r = g.m_rcPlot;
        return CRect(r.left + int(r.Width() * from), r.top + 10, r.left + int(r.Width() * to),
                     r.top + 60);
    }

protected:
    bool Compute(const C2DPlotGeometry&) override
    {
        ++computes;
        return !decline;
    }
    void Draw(CDC* pDC, const C2DPlotGeometry& g) override
    {
        const CRect box = Box(g);
        pDC->FillSolidRect(&box, color);
    }

private:
    COLORREF color;
    double from, to;
};

constexpr UINT kDepth = 2002, kDepthBuddy = 2003, kDepthSpin = 2004;

// With a Depth strip and a scan of its own that paints finished rows into its image.
class CLayerTestView : public C2DView
{
public:
    CLayerTestView() : C2DView(Description())
    {
        MapControl(kDepth, EN_MAXTEXT, &CLayerTestView::OnDepthEnter);
        MapControl(kDepthBuddy, EN_CHANGE, &CLayerTestView::OnDepthSpin);
    }
    void OnInitialUpdate() override
    {
        C2DView::OnInitialUpdate();
        spin.Create(WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS, CRect(0, 0, 21, 20), this,
                    kDepthSpin);
        depth.Create(WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_WANTRETURN, CRect(21, 0, 60, 20),
                     this, kDepth);
        buddy.Create(0, CRect(0, 0, 30, 20), this, kDepthBuddy);
        spin.SetBuddy(&buddy);
        spin.SetRange(0, 1000);
    }
    void OnDepthEnter() { nDepth = std::atoi(depth.GetWindowText().c_str()); }
    void OnDepthSpin() { nDepth = spin.GetPos(); }

    // Rows of the plot, one colour each; endless: then waits until stopped.
    void StartScan(bool endless)
    {
        calc.Stop(); // before the buffers that a running scan writes are touched
        rows.TakeAll();
        const CRect r = m_rcPlot;
        grid.assign(static_cast<size_t>(r.Width() * r.Height()), 0);
        image.Reset(r, GetBackingImage().devicePixelRatio());
        calc.Start([this, r, endless](CViewCalc::Job& job) {
            for (int py = r.top; py < r.bottom && !job.ShouldStop(); ++py) {
                std::fill_n(grid.begin() + (py - r.top) * r.Width(), r.Width(), kRow);
                rows.Add(py);
                job.Step();
                job.Ready();
            }
            while (endless && !job.ShouldStop())
                std::this_thread::yield();
        });
    }
    void TakeRows()
    {
        const CRect& r = image.Area();
        for (int py : rows.TakeAll())
            image.SetPixels(py, r.left, 1, r.Width(), &grid[(py - r.top) * r.Width()]);
        Invalidate();
    }
    static constexpr COLORREF kRow = RGB(0, 150, 0);
    CEdit depth, buddy;
    CSpinButtonCtrl spin;
    int nDepth = 0, scans = 0;
    std::vector<COLORREF> grid;
    CHandOver<int> rows;
    CViewCalc calc{{[this] { TakeRows(); },
                    [this] {
                        TakeRows();
                        ++scans;
                    }}};
    static PlotDescription Description()
    {
        PlotDescription d;
        d.block = LimitBlock::ProjectedOrbit;
        d.xColumn = kSlotX;
        return d;
    }
    CPlotImageLayer& image = Layers().Add<CPlotImageLayer>();
    CBoxLayer& first = Layers().Add<CBoxLayer>(kFirst, 0.1, 0.5);
    CBoxLayer& second = Layers().Add<CBoxLayer>(kSecond, 0.4, 0.8); // over the first
    using C2DView::Layers;
};

class LayerHarness : public KindViewHarness<CLayerTestView>
{
public:
    LayerHarness() : KindViewHarness(SystemKind::TwoVariable)
    {
        Open(new CLayerTestView, 640, 480);
        Update(HINT_RESET);
    }
    // Paints without letting a queued calculation run.
    void PaintOnly() { view->RedrawWindow(); }
    int Computes() const { return view->first.computes + view->second.computes; }
    COLORREF At(const CBoxLayer& l, double fx) const
    {
        const CRect b = l.Box(*view);
        return Pixel(b.left + int(b.Width() * fx), b.top + 5);
    }
};
} // namespace

TEST(PlotLayers, APaintQueuesTheCalculationAndDrawsOnlyValidLayersInOrder)
{
    LayerHarness h;
    const int before = h.Computes();
    h.PaintOnly();
    EXPECT_EQ(h.Computes(), before) << "a paint never computes";
    ASSERT_TRUE(PumpUntil([&] { return h.view->second.GetState() == CPlotLayer::State::Valid; }));
    h.PaintOnly();
    EXPECT_EQ(h.At(h.view->first, 0.1), kFirst);
    EXPECT_EQ(h.At(h.view->second, 0.1), kSecond) << "the later layer lies over the earlier";
    EXPECT_EQ(h.At(h.view->second, 0.9), kSecond);

    // A new window makes them stale: the next paint leaves them out and queues them.
    const int computed = h.Computes();
    h.view->OnControlsZoomNear();
    h.PaintOnly();
    EXPECT_NE(h.At(h.view->first, 0.1), kFirst);
    ASSERT_TRUE(PumpUntil([&] { return h.Computes() == computed + 2; }));
    h.PaintOnly();
    EXPECT_EQ(h.At(h.view->first, 0.1), kFirst);
}

TEST(PlotLayers, DeclinedAndHiddenLayersStayOutUntilAskedAgain)
{
    LayerHarness h;
    h.view->first.decline = true;
    h.view->second.shown = false;
    h.Repaint();
    ASSERT_TRUE(PumpUntil([&] { return h.view->first.computes == 1; }));
    for (int i = 0; i < 3; ++i)
        h.Repaint();
    EXPECT_EQ(h.view->first.computes, 1) << "a declined layer is not asked again by paints";
    EXPECT_EQ(h.view->second.computes, 0) << "nothing is computed for a hidden layer";
    EXPECT_NE(h.At(h.view->first, 0.1), kFirst);

    h.view->first.decline = false;
    h.view->Layers().MarkStale(h.view->first);
    ASSERT_TRUE(PumpUntil([&] { return h.view->first.computes == 2; }));
    h.PaintOnly();
    EXPECT_EQ(h.At(h.view->first, 0.1), kFirst);
}

TEST(PlotLayers, TheImageBackgroundShowsItsPixelsAtTheScreensRatio)
{
    LayerHarness h;
    h.view->first.shown = h.view->second.shown = false;
    const CRect plot = h.view->m_rcPlot;
    const qreal ratio = h.Picture().devicePixelRatio();
    CPlotImageLayer& img = h.view->image;
    img.Reset(plot, ratio);
    const COLORREF row[3] = {RGB(10, 20, 30), RGB(40, 50, 60), RGB(70, 80, 90)};
    img.SetPixels(plot.top + 3, plot.left + 5, 4, 3, row);
    img.SetPixels(plot.top - 1, plot.left + 5, 1, 3, row); // outside: left alone
    img.SetPixel(plot.right + 2, plot.top + 3, row[0]);
    h.PaintOnly();
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(h.Pixel(plot.left + 5 + 4 * k, plot.top + 3), row[k]) << k;
    EXPECT_EQ(h.Pixel(plot.left + 6, plot.top + 3), RGB(255, 255, 255)) << "unset is clear";
    EXPECT_EQ(img.Image().width(), plot.Width() * int(std::ceil(ratio)));

    img.Clear();
    h.PaintOnly();
    EXPECT_EQ(h.Pixel(plot.left + 5, plot.top + 3), RGB(255, 255, 255));
}

TEST(PlotLayers, AScanOfTheViewPaintsItsRowsAndGoesWithTheView)
{
    LayerHarness h;
    h.view->StartScan(false);
    ASSERT_TRUE(PumpUntil([&] { return h.view->scans == 1; }));
    ASSERT_TRUE(PumpUntil([&] { return h.view->second.GetState() == CPlotLayer::State::Valid; }));
    h.PaintOnly();
    EXPECT_EQ(h.At(h.view->second, 0.5), kSecond) << "the layers lie over the image";
    if (const QString dir = qEnvironmentVariable("VELTRIX_SHOTS"); !dir.isEmpty())
        h.view->GetWidget()->grab().save(dir + "/plot_layers.png");
    const CRect plot = h.view->m_rcPlot;
    EXPECT_EQ(h.Pixel(plot.left + 1, plot.top + 1), CLayerTestView::kRow);
    EXPECT_EQ(h.Pixel(plot.right - 1, plot.bottom - 1), CLayerTestView::kRow);
    EXPECT_EQ(h.view->calc.Progress(), plot.Height());

    for (int i = 0; i < 5; ++i) { // closed mid-scan, many times
        LayerHarness again;
        again.view->StartScan(true);
        ASSERT_TRUE(PumpUntil([&] { return again.view->calc.Progress() > 3; }));
        again.view->StartScan(true); // Run again mid-scan
        ASSERT_TRUE(PumpUntil([&] { return again.view->calc.Progress() > 3; }));
    }
}

TEST(PlotLayers, TheDepthStripTakesEnterAndTheArrows)
{
    LayerHarness h;
    QTest::keyClicks(h.view->depth.GetWidget(), "250");
    EXPECT_EQ(h.view->nDepth, 0) << "typing alone changes nothing";
    QTest::keyClick(h.view->depth.GetWidget(), Qt::Key_Return);
    EXPECT_EQ(h.view->nDepth, 250);
    h.view->buddy.SetWindowText("250");
    QTest::keyClick(h.view->spin.GetWidget(), Qt::Key_Up);
    EXPECT_EQ(h.view->nDepth, 251);
}

// The calculation owned by a view ------------------------------------------------------------

namespace {
// A calculation whose job runs until stopped or released, counting what reaches the view.
struct CalcProbe
{
    int ready = 0, done = 0;
    CViewCalc calc{{[this] { ++ready; }, [this] { ++done; }}};
    std::atomic<bool> release{false}, started{false};
    std::atomic<int> finished{0};
    CViewCalc::Work Job(int announcements = 1)
    {
        return [this, announcements](CViewCalc::Job& job) {
            started = true;
            for (int i = 0; i < announcements; ++i) {
                job.Step();
                job.Ready();
            }
            while (!release && !job.ShouldStop())
                std::this_thread::yield();
            ++finished;
        };
    }
};
} // namespace

TEST(ViewCalc, StartStopRestartAndClose)
{
    struct Case
    {
        const char* name;
        void (*act)(CalcProbe&);
        int done; // done handlers after the act
    };
    const Case cases[] = {
        {"runs to its end", [](CalcProbe& p) { p.release = true; }, 1},
        {"Stop asked mid-run", [](CalcProbe& p) { p.calc.RequestStop(); }, 1},
        {"restart mid-run", [](CalcProbe& p) { p.calc.Start(p.Job()); }, 0},
        {"closed mid-run", [](CalcProbe& p) { p.calc.Stop(); }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CalcProbe p;
        p.calc.Start(p.Job(5));
        EXPECT_TRUE(p.calc.Running());
        while (!p.started)
            std::this_thread::yield();
        c.act(p);
        if (c.done) {
            ASSERT_TRUE(PumpUntil([&] { return p.done == c.done; }));
            EXPECT_FALSE(p.calc.Running());
            EXPECT_EQ(p.calc.Progress(), 5);
        } else if (p.calc.Running()) { // restarted: the new job ends and reports alone
            p.release = true;
            ASSERT_TRUE(PumpUntil([&] { return p.done == 1; }));
            EXPECT_EQ(p.finished, 2);
        }
        QApplication::processEvents();
        vx::DeliverPostedMessages();
        EXPECT_EQ(p.done, std::max(c.done, p.finished == 2 ? 1 : 0));
        EXPECT_LE(p.ready, 2) << "five announcements coalesce";
    }
}

TEST(ViewCalc, AStopAfterTheEndNeverStopsTheNextJob)
{
    CalcProbe p;
    p.release = true;
    p.calc.Start(p.Job());
    ASSERT_TRUE(PumpUntil([&] { return p.done == 1; }));
    p.calc.RequestStop();
    p.release = false;
    std::atomic<bool> sawStop{true};
    p.calc.Start([&](CViewCalc::Job& job) { sawStop = job.ShouldStop(); });
    ASSERT_TRUE(PumpUntil([&] { return p.done == 2; }));
    EXPECT_FALSE(sawStop);
    EXPECT_EQ(p.calc.Progress(), 0) << "progress starts again at each start";
}

TEST(ViewCalc, AStoppedJobsAnnouncementsNeverReachTheView)
{
    // The job announces, then waits in a call to the user-interface thread that the join of
    // Stop serves; that call runs a nested event loop, which delivers what is queued.
    CalcProbe p;
    std::atomic<bool> stopping{false};
    p.calc.Start([&](CViewCalc::Job& job) {
        job.Ready();
        while (!stopping)
            std::this_thread::yield();
        RunOnUiThread([] { QApplication::processEvents(); });
    });
    stopping = true;
    p.calc.Stop();
    QApplication::processEvents();
    EXPECT_EQ(p.ready, 0);
    EXPECT_EQ(p.done, 0);
}

// A calculation that goes while its ended job's announcements wait in the queue: none of them
// reaches a handler, not even those of the next calculation made in its place.
TEST(ViewCalc, AnnouncementsQueuedWhenTheCalculationGoesAreDropped)
{
    int ready[2] = {}, done[2] = {};
    auto make = [&](int k) {
        return std::make_unique<CViewCalc>(
            CViewCalc::Handlers{[&ready, k] { ++ready[k]; }, [&done, k] { ++done[k]; }});
    };
    std::atomic<int> ended{0};
    auto job = [&ended](CViewCalc::Job& j) {
        j.Ready();
        ++ended;
    };
    std::unique_ptr<CViewCalc> calc = make(0);
    calc->Start(job);
    while (ended < 1)
        std::this_thread::yield();
    calc.reset();
    calc = make(1); // likely where the first one was
    calc->Start(job);
    ASSERT_TRUE(PumpUntil([&] { return done[1] >= 1; }));
    QApplication::processEvents();
    vx::DeliverPostedMessages();
    EXPECT_EQ(ready[0] + done[0], 0);
    EXPECT_EQ(ready[1], 1);
    EXPECT_EQ(done[1], 1);
}

TEST(ViewCalc, ManyAnnouncementsReachTheViewOnce)
{
    CalcProbe p;
    p.calc.Start(p.Job(10000));
    while (p.calc.Progress() < 10000)
        std::this_thread::yield();
    p.release = true;
    ASSERT_TRUE(PumpUntil([&] { return p.done == 1; }));
    EXPECT_EQ(p.ready, 1);
}

TEST(ViewCalc, ThePacerHoldsAnnouncementsToAboutThirtyASecond)
{
    struct Case
    {
        long long last; // -1: none delivered yet
        long long now, delay;
    };
    const Case cases[] = {{-1, 0, 0},    {-1, 5, 0},    {100, 100, 33}, {100, 110, 23},
                          {100, 132, 1}, {100, 133, 0}, {100, 1000, 0}};
    for (const Case& c : cases) {
        CReadyPacer pacer;
        if (c.last >= 0)
            pacer.DeliveredAt(c.last);
        EXPECT_EQ(pacer.DelayAt(c.now), c.delay) << c.last << " " << c.now;
    }
}

TEST(ViewCalc, TheHandOverGivesEachPieceOnce)
{
    CHandOver<int> h;
    std::thread worker([&] {
        for (int i = 0; i < 1000; ++i)
            h.Add(i);
    });
    long long sum = 0, count = 0;
    while (count < 1000)
        for (int v : h.TakeAll()) {
            sum += v;
            ++count;
        }
    worker.join();
    EXPECT_EQ(sum, 999LL * 1000 / 2);
    EXPECT_TRUE(h.TakeAll().empty());
}
