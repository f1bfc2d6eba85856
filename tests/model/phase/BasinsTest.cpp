#include "PlaneTestUtil.h"

#include "model/phase/BasinsScan.h"

#include <bit>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <limits>
#include <mutex>
#include <set>
#include <thread>

#include <gtest/gtest.h>

namespace {

TEST(Basins, ColourBands)
{
    // Plot x from 0 to 100: the band bounds lie at 1, 45, 47, 49.5, 50.5, 55, 65 and 99.
    const double inf = std::numeric_limits<double>::infinity();
    const struct
    {
        double x;
        COLORREF colour;
    } cases[] = {
        {-5, RGB(0, 0, 127)},   {1, RGB(0, 0, 127)},       {23, RGB(0, 100, 210)},
        {45, RGB(0, 200, 210)}, {46, RGB(0, 200, 210)},    {48.25, RGB(0, 200, 105)},
        {50, RGB(0, 200, 0)},   {52.75, RGB(127, 200, 0)}, {60, RGB(255, 200, 0)},
        {82, RGB(255, 100, 0)}, {99, RGB(255, 0, 0)},      {99.5, RGB(127, 0, 0)},
        {inf, RGB(127, 0, 0)},  {-inf, RGB(0, 0, 127)},    {std::nan(""), RGB(0, 0, 0)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BasinColorBand(c.x, 0, 100), c.colour) << c.x;
}

CBasinsParams Params(const PlaneCase& p, int integrator, int depth, int w, int h, int block = 1)
{
    CBasinsParams b;
    b.SetModel(CPlaneModel::Of(*p.model));
    b.integrator = integrator;
    b.depth = depth;
    b.block = block;
    b.right = w;
    b.bottom = h;
    b.xmin = -3;
    b.ymax = 3;
    b.scaleX = 6.0 / w;
    b.scaleY = 6.0 / h;
    return b;
}

TEST(Basins, DepthPlusOneSteps)
{
    // x moves at rate 1 (the Newtonian start velocity is 1): Depth n >= 1 takes n + 1 steps.
    struct Case
    {
        SystemKind kind;
        const char *eqX, *eqY;
    };
    const Case cases[] = {{SystemKind::OneVariable, "1", ""},
                          {SystemKind::TwoVariable, "1", "0"},
                          {SystemKind::Newtonian, "0", ""}};
    for (const Case& c : cases)
        for (int integrator : {0, 1})
            for (int depth : {-1, 0, 1, 5, 100}) {
                SCOPED_TRACE(std::string(c.eqX) + " " + std::to_string(integrator) + " " +
                             std::to_string(depth));
                PlaneCase p = MakePlane(c.kind, c.eqX, c.eqY);
                const CBasinsParams b = Params(p, integrator, depth, 10, 10);
                CBasinsScan scan(b);
                const int steps = depth >= 1 ? depth + 1 : 0;
                EXPECT_NEAR(scan.FinalX(0.5, 1), 0.5 + steps * b.model.chronon, 1e-12);
            }
}

TEST(Basins, DelayedValuesOfEachStartPoint)
{
    // x' = x: from x0 = 1 in three first-order steps, x: read at the start of each step and
    // x' taken after it. With delay 0, x: lags one step (1, 1, 1 + dt): x = 1 + 3 dt; with a
    // delay longer than the run it is the current x (1, 1 + dt, ...): x = 1 + 3 dt + dt^2.
    PlaneCase p = MakePlane(SystemKind::OneVariable, "x:");
    for (const auto& [delay, square] : {std::pair{0, false}, {1000, true}}) {
        CBasinsParams b = Params(p, 0, 2, 10, 10);
        b.delayed = true;
        b.xDelay = delay;
        CBasinsScan scan(b);
        const double dt = b.model.chronon;
        // A second start point reads none of the first one's history.
        for (int k = 0; k < 2; ++k)
            EXPECT_NEAR(scan.FinalX(1, 0), 1 + 3 * dt + (square ? dt * dt : 0), 1e-15);
    }
}

TEST(Basins, AnEquationThatFailsSomewhereGivesTheRatesOfItsTokenReplay)
{
    // The scan takes a failed equation as 0 without asking why, so the others run compiled;
    // the rates are those of the replay that finds the failure, bit for bit.
    struct Case
    {
        SystemKind kind;
        const char *eqX, *eqY;
        int failing; // of the ten states
    };
    const Case cases[] = {{SystemKind::Newtonian, "sqrt(x)-x'", "", 4},
                          {SystemKind::OneVariable, "sqrt(x)", "", 4},
                          {SystemKind::TwoVariable, "sqrt(x)-y", "-y", 4},
                          {SystemKind::TwoVariable, "y", "log(x)-y", 6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.eqX);
        PlaneCase p = MakePlane(c.kind, c.eqX, c.eqY);
        CParser quietParser(*p.model->m_pParser), replayParser(*p.model->m_pParser);
        const CPlaneModel model = CPlaneModel::Of(*p.model);
        KindRhs quiet = model.Rhs(&quietParser), replay = model.Rhs(&replayParser);
        quiet.quietErrors = true;
        int failed = 0;
        for (double x : {-2.0, -0.5, 0.0, 0.5, 2.0})
            for (double y : {-1.0, 1.0}) {
                const KindState s{0.3, {x, y, 0}};
                double rq[3] = {}, rr[3] = {};
                replay.error = EvalError::None;
                ForKind(c.kind, [&](auto k) {
                    KindRates<decltype(k)::value>(quiet, s, rq);
                    KindRates<decltype(k)::value>(replay, s, rr);
                });
                failed += replay.error != EvalError::None;
                for (int i = 0; i < 3; ++i)
                    EXPECT_EQ(std::bit_cast<std::uint64_t>(rq[i]),
                              std::bit_cast<std::uint64_t>(rr[i]))
                        << x << " " << y << " rate " << i;
            }
        EXPECT_EQ(failed, c.failing);
    }
}

// Counts what the scan reports, from any worker.
struct RecordingSink : IBasinsSink
{
    std::mutex lock;
    std::vector<std::pair<int, int>> pixels; // in the order reported
    int rows = 0, progress = 0;
    long long stopAfter = -1; // pixels reported before a stop is asked for
    bool ShouldStop() override
    {
        std::lock_guard<std::mutex> hold(lock);
        return stopAfter >= 0 && static_cast<long long>(pixels.size()) >= stopAfter;
    }
    void RowDone(int py, int px0, int step, int count) override
    {
        std::lock_guard<std::mutex> hold(lock);
        ++rows;
        for (int k = 0; k < count; ++k)
            pixels.emplace_back(px0 + k * step, py);
    }
    void ProgressStep() override
    {
        std::lock_guard<std::mutex> hold(lock);
        ++progress;
    }
};

std::uint64_t Hash(const std::vector<COLORREF>& grid)
{
    std::uint64_t h = 1469598103934665603ULL;
    for (COLORREF c : grid) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    return h;
}

TEST(Basins, OneTwoAndAllThreadsGiveOnePicture)
{
    struct Case
    {
        SystemKind kind;
        const char *eqX, *eqY;
        int form;
        FormParams params;
    };
    const Case cases[] = {
        {SystemKind::Newtonian, "x-x^3-0.25*x'+0.3*cos(t)", "", 0, {}},
        {SystemKind::Newtonian, "0", "", 1, {0.3, 1, 0.25, 0, 1, 0}},
        {SystemKind::TwoVariable, "y", "x-x^3-0.2*y", 0, {}},
        {SystemKind::TwoVariable, "0", "0", 4, {1, -1, -1, 1, 0, 0}},
        {SystemKind::OneVariable, "sin(3*x)", "", 0, {}},
    };
    const int hw = std::max(3u, std::thread::hardware_concurrency());
    for (const Case& c : cases)
        for (int integrator : {0, 1}) {
            SCOPED_TRACE(std::string(c.eqX) + " " + std::to_string(integrator));
            PlaneCase p = MakePlane(c.kind, c.eqX, c.eqY, c.form);
            CBasinsParams b = Params(p, integrator, 60, 47, 31, 3);
            if (c.form)
                b.model.params = c.params;
            std::uint64_t first = 0;
            for (int threads : {1, 2, hw}) {
                b.threads = threads;
                CBasinsScan scan(b);
                RecordingSink sink;
                scan.Run(sink);
                EXPECT_FALSE(scan.Stopped());
                EXPECT_EQ(scan.Stored(), static_cast<long long>(scan.Grid().size()));
                EXPECT_EQ(sink.pixels.size(), scan.Grid().size());
                EXPECT_GE(sink.progress, 30); // about thirty per scan
                EXPECT_LE(sink.progress, 33);
                if (threads == 1)
                    first = Hash(scan.Grid());
                else
                    EXPECT_EQ(Hash(scan.Grid()), first) << threads << " threads";
                // Every pixel is its own start point's final x.
                for (auto [px, py] : {std::pair{0, 0}, {47, 0}, {20, 7}, {46, 15}}) {
                    const double x = px * b.scaleX + b.xmin;
                    const double y = c.kind == SystemKind::OneVariable ? 0 : b.ymax - py * b.scaleY;
                    EXPECT_EQ(scan.Pixel(px, py),
                              BasinColorBand(scan.FinalX(x, y), b.xmin, 47 * b.scaleX));
                }
            }
        }
}

TEST(Basins, ProgressiveOrderAndBlocks)
{
    PlaneCase p = MakePlane(SystemKind::TwoVariable, "-x", "-y");
    struct Case
    {
        int w, h, block;
        std::size_t rows; // RowDone calls
    };
    // Width and height are the last column and row: the right and bottom edges are scanned.
    // Block 4 over rows 0..5: each of the four column offsets takes rows {0, 4}, {1, 5}, {2}
    // and {3}; a block beyond the plot makes every pixel a pass of its own.
    const Case cases[] = {{9, 5, 1, 6}, {9, 5, 4, 4 * 6}, {4, 3, 1000, 20}, {4, 3, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.block);
        CBasinsParams b = Params(p, 1, 3, c.w, c.h, c.block);
        b.threads = 1;
        CBasinsScan scan(b);
        RecordingSink sink;
        scan.Run(sink);
        std::set<std::pair<int, int>> seen(sink.pixels.begin(), sink.pixels.end());
        EXPECT_EQ(seen.size(), sink.pixels.size()); // each pixel once
        EXPECT_EQ(sink.pixels.size(), c.block < 1 ? 0u : scan.Grid().size());
        EXPECT_EQ(static_cast<std::size_t>(sink.rows), c.rows);
        if (c.block >= 1 && c.block <= c.w) {
            // The first pass covers the plot with one pixel in every block.
            const auto& first = sink.pixels;
            EXPECT_EQ(first[0], std::make_pair(0, 0));
            EXPECT_EQ(first[1], std::make_pair(std::min(c.block, c.w), c.block > c.w ? 1 : 0));
        }
    }
}

TEST(Basins, StopKeepsTheStoredPixels)
{
    PlaneCase p = MakePlane(SystemKind::Newtonian, "-x-0.1*x'");
    for (int threads : {1, 3}) {
        CBasinsParams b = Params(p, 1, 200, 40, 30, 2);
        b.threads = threads;
        CBasinsScan scan(b);
        RecordingSink sink;
        sink.stopAfter = 100;
        scan.Run(sink);
        EXPECT_TRUE(scan.Stopped());
        EXPECT_LT(scan.Stored(), static_cast<long long>(scan.Grid().size()));
        EXPECT_GE(scan.Stored(), 100);
        long long set = 0;
        for (COLORREF c : scan.Grid())
            set += c != CBasinsScan::kNoPixel;
        EXPECT_EQ(set, scan.Stored());
        for (auto [px, py] : sink.pixels)
            EXPECT_NE(scan.Pixel(px, py), CBasinsScan::kNoPixel);
    }
}

TEST(Basins, OneVariableBandOfSixteenRows)
{
    PlaneCase p = MakePlane(SystemKind::OneVariable, "x-x^3");
    CBasinsParams b = Params(p, 0, 50, 60, 100);
    CBasinsScan scan(b);
    RecordingSink sink;
    scan.Run(sink);
    ASSERT_EQ(scan.Rows(), 16);
    ASSERT_EQ(scan.Columns(), 61);
    for (int px = 0; px <= 60; ++px)
        for (int py = 1; py < 16; ++py)
            EXPECT_EQ(scan.Pixel(px, py), scan.Pixel(px, 0));
    // x' = x - x^3 sends starts left of 0 to -1 and right of it to +1.
    EXPECT_EQ(scan.Pixel(5, 0), BasinColorBand(-1, -3, 6));
    EXPECT_EQ(scan.Pixel(55, 0), BasinColorBand(1, -3, 6));
}

// A data-entry line changes the document's model: a parameter, and an equation recompiled.
void ChangeModel(CModelCore& m)
{
    m.m_dParamA = 3;
    m.m_pParser->m_dA = 3;
    m.m_strXRate = "0-y";
    m.CompileEquations();
}

// Tells the test when the first row is in, so that it changes the model while the scan runs.
struct FirstRowSink : RecordingSink
{
    std::condition_variable rowIn;
    bool any = false;
    void RowDone(int py, int px0, int step, int count) override
    {
        RecordingSink::RowDone(py, px0, step, count);
        std::lock_guard<std::mutex> hold(lock);
        any = true;
        rowIn.notify_all();
    }
};

TEST(Basins, TheScanKeepsTheModelItWasGiven)
{
    // The picture of the model as the parameters were set, whatever the document does after:
    // the change comes before the scan starts, or while its workers run.
    auto make = [] { return MakePlane(SystemKind::TwoVariable, "a*y-0.1*x", "0-x"); };
    std::uint64_t reference = 0;
    for (const char* when : {"never", "before", "during"}) {
        SCOPED_TRACE(when);
        PlaneCase p = make();
        CBasinsParams b = Params(p, 1, 60, 47, 31, 3);
        b.threads = std::max(3u, std::thread::hardware_concurrency());
        CBasinsScan scan(b);
        FirstRowSink sink;
        if (std::string(when) == "before")
            ChangeModel(*p.model);
        std::thread run([&] { scan.Run(sink); });
        if (std::string(when) == "during") {
            std::unique_lock<std::mutex> hold(sink.lock);
            sink.rowIn.wait(hold, [&] { return sink.any; });
            hold.unlock();
            ChangeModel(*p.model);
        }
        run.join();
        ASSERT_EQ(scan.Stored(), static_cast<long long>(scan.Grid().size()));
        if (reference == 0)
            reference = Hash(scan.Grid());
        EXPECT_EQ(Hash(scan.Grid()), reference);
    }
    // The document itself took the change.
    PlaneCase changed = make();
    ChangeModel(*changed.model);
    CBasinsScan after(Params(changed, 1, 60, 47, 31, 3));
    RecordingSink sink;
    after.Run(sink);
    EXPECT_NE(Hash(after.Grid()), reference);
}

} // namespace

namespace {

TEST(Basins, PicturesOfEquationsThatFailSomewhere)
{
    // Where an equation has no value the pixel's step takes it as 0 and goes on, so each
    // picture is kept as it was. The equations fail left of 0 (sqrt, log), right of 0 (x^0.5 of
    // -x), everywhere, or nowhere; one that fails where it was recorded is recorded whole all
    // the same and has values elsewhere.
    const char* const terms[] = {"sqrt(x)", "log(x)", "x^0.5", "sqrt(-1-x*x)", "x"};
    struct Case
    {
        SystemKind kind;
        const char* other;                       // the other term of the failing rate
        std::uint64_t hash[2][std::size(terms)]; // by integrator, then term
    };
    const Case cases[] = {
        {SystemKind::Newtonian,
         "-0.1*x'",
         {{0x7f5568df4aab3fbfull, 0x9adb42fe787a8977ull, 0xb6d25719e4ab8dceull,
           0xd8dbfd6be7921692ull, 0xfe76c84ba7e1e11bull},
          {0x94510c2e28a74f1cull, 0x8f8b30ff339a1c88ull, 0xcd4083a464b1eab2ull,
           0xd8dbfd6be7921692ull, 0x60987f01819952f4ull}}},
        {SystemKind::OneVariable,
         "+0.1",
         {{0x6e133a9a29fb0783ull, 0x604d618d0de8d6c3ull, 0x7c21913bf1dc90c3ull,
           0xb4bf94a4b00036c3ull, 0x51fdbee03a872383ull},
          {0x5673ed71e96b7583ull, 0xb7320789749692c3ull, 0x246597b8cd1490c3ull,
           0xb4bf94a4b00036c3ull, 0x7ccef26921ceeb83ull}}},
        {SystemKind::TwoVariable,
         "-0.1*y",
         {{0x46e0da01ceb46adfull, 0x3b3935d0abeff39cull, 0x261fe7b0dc51fc86ull,
           0xd8dbfd6be7921692ull, 0xa5be0be59fc07c17ull},
          {0x94510c2e28a74f1cull, 0x8f8b30ff339a1c88ull, 0xcd4083a464b1eab2ull,
           0xd8dbfd6be7921692ull, 0x60987f01819952f4ull}}},
    };
    for (const Case& c : cases)
        for (int integrator : {0, 1})
            for (std::size_t i = 0; i < std::size(terms); ++i) {
                const std::string rate = std::string("-") + terms[i] + c.other;
                SCOPED_TRACE(rate + " integrator " + std::to_string(integrator));
                PlaneCase p = c.kind == SystemKind::TwoVariable ? MakePlane(c.kind, "y", rate)
                                                                : MakePlane(c.kind, rate);
                CBasinsScan scan(Params(p, integrator, 40, 23, 17, 2));
                RecordingSink sink;
                scan.Run(sink);
                EXPECT_EQ(Hash(scan.Grid()), c.hash[integrator][i]);
            }
}

} // namespace
