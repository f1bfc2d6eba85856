#include "model/phase/BasinsScan.h"

#include "parser/Parser.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

COLORREF BasinColorBand(double x, double xmin, double range)
{
    static const double f[8] = {0.01, 0.45, 0.47, 0.495, 0.505, 0.55, 0.65, 0.99};
    double T[8];
    for (int i = 0; i < 8; ++i)
        T[i] = xmin + f[i] * range;
    // Ramps truncate toward zero; each band includes its upper bound.
    auto ramp = [](double num, double den, int full) {
        const double v = full * num / den;
        return v >= 0 && v <= full ? static_cast<int>(v) : v > full ? full : 0;
    };
    if (std::isnan(x))
        return RGB(0, 0, 0);
    if (x <= T[0])
        return RGB(0, 0, 127);
    if (x <= T[1])
        return RGB(0, ramp(x - T[0], T[1] - T[0], 200), 210);
    if (x <= T[2])
        return RGB(0, 200, 210);
    if (x <= T[3])
        return RGB(0, 200, ramp(T[3] - x, T[3] - T[2], 210));
    if (x <= T[4])
        return RGB(0, 200, 0);
    if (x <= T[5])
        return RGB(ramp(x - T[4], T[5] - T[4], 255), 200, 0);
    if (x <= T[6])
        return RGB(255, 200, 0);
    if (x <= T[7])
        return RGB(255, ramp(T[7] - x, T[7] - T[6], 200), 0);
    return RGB(127, 0, 0);
}

namespace {

// The last delay + 1 values of a variable, oldest first.
class CDelayLine
{
public:
    void Reset(int delay)
    {
        m_buf.assign(static_cast<std::size_t>(std::max(delay, 0)) + 1, 0.0);
        m_head = m_size = 0;
    }
    // The value of delay + 1 steps ago once there is one (it leaves the line), else x; then x
    // joins the line.
    double Next(double x, int n, int delay)
    {
        double out = x;
        if (n > delay && m_size > 0) {
            out = m_buf[m_head];
            m_head = (m_head + 1) % m_buf.size();
            --m_size;
        }
        if (m_size < m_buf.size()) {
            m_buf[(m_head + m_size) % m_buf.size()] = x;
            ++m_size;
        }
        return out;
    }

private:
    std::vector<double> m_buf;
    std::size_t m_head = 0, m_size = 0;
};

constexpr int kPollEvery = 64; // steps between polls of the stop request

} // namespace

void CBasinsParams::SetModel(const CPlaneModel& m)
{
    model = m;
    parser = m.parser ? std::make_shared<const CParser>(*m.parser) : nullptr;
    model.parser = nullptr;
}

namespace {

// A worker's parser: a copy of the scan's.
std::unique_ptr<CParser> WorkerParser(const CBasinsParams& p)
{
    return p.parser ? std::make_unique<CParser>(*p.parser) : nullptr;
}

} // namespace

CBasinsScan::CBasinsScan(const CBasinsParams& params) : m_p(params)
{
    if (m_p.model.parser)
        m_p.SetModel(m_p.model);
    const bool band = m_p.model.kind == SystemKind::OneVariable;
    const int last = band ? std::min(m_p.bottom, m_p.top + 15) : m_p.bottom;
    m_cols = std::max(0, m_p.right - m_p.left + 1);
    m_rows = std::max(0, last - m_p.top + 1);
    m_grid.assign(static_cast<std::size_t>(m_cols) * m_rows, kNoPixel);
    m_dt = m_p.model.chronon;
    if (m_p.integrator != 0 && !(m_dt > 0))
        m_dt = 0.001; // the fifth-order step's substitute
    // Passes that hold no pixel (block offsets beyond the plot) are left out.
    const int b = m_p.block;
    m_bx = b < 1 ? 0 : std::min(b, m_cols);
    m_by = b < 1 ? 0 : std::min(b, m_rows);
    for (int oy = 0; oy < m_by; ++oy)
        for (int ox = 0; ox < m_bx; ++ox) {
            m_passStart.push_back(m_units);
            m_units += static_cast<long long>((m_rows - 1 - oy) / b + 1) * ChunksOfRow(ox);
        }
    const long long pixels = band ? static_cast<long long>(m_cols - 1) * 15
                                  : static_cast<long long>(m_cols - 1) * (m_rows - 1);
    m_period = std::max(1LL, pixels / 30);
}

int CBasinsScan::ChunksOfRow(int ox) const
{
    const int count = (m_cols - 1 - ox) / m_p.block + 1;
    return (count + kChunk - 1) / kChunk;
}

void CBasinsScan::UnitAt(long long u, int& py, int& px0, int& count) const
{
    const auto it = std::upper_bound(m_passStart.begin(), m_passStart.end(), u) - 1;
    const int pass = static_cast<int>(it - m_passStart.begin());
    const int oy = pass / m_bx, ox = pass % m_bx;
    const int b = m_p.block, chunks = ChunksOfRow(ox);
    const long long row = (u - *it) / chunks;
    const int chunk = static_cast<int>((u - *it) % chunks);
    py = m_p.top + oy + static_cast<int>(row) * b;
    px0 = m_p.left + ox + chunk * kChunk * b;
    count = std::min(kChunk, (m_cols - 1 - ox) / b + 1 - chunk * kChunk);
}

void CBasinsScan::CountStored(int count, IBasinsSink& sink)
{
    const long long before = m_stored.fetch_add(count);
    for (long long n = (before + count) / m_period - before / m_period; n > 0; --n)
        sink.ProgressStep();
}

// Depth + 1 steps of the run's steppers from (x, y) at t = 0 (none for a Depth of 0); false
// when stopped. A one-variable model's y stays as it is.
template <SystemKind K, int Form>
bool CBasinsScan::Integrate(KindRhs& rhs, double& x, double& y, IBasinsSink& sink) const
{
    const double dt = m_dt;
    CParser* parser = rhs.parser;
    const bool delayed = m_p.delayed && parser;
    CDelayLine xLine, yLine;
    if (delayed) {
        xLine.Reset(m_p.xDelay);
        yLine.Reset(m_p.yDelay);
        parser->m_dXDelayed = x; // no history yet: the start point's values
        parser->m_dYDelayed = y;
    }
    KindState s{0, {x, y, 0}};
    // Each pixel starts from the derivative of its own start point.
    rhs.tStep = 0;
    rhs.hStep = dt;
    double rate[3] = {};
    KindRates<K, Form>(rhs, s, rate);
    const int steps = m_p.depth >= 1 ? m_p.depth + 1 : 0;
    for (int n = 0; n < steps; ++n) {
        if (n % kPollEvery == kPollEvery - 1 &&
            (m_stop.load(std::memory_order_relaxed) || sink.ShouldStop())) {
            m_stop = true;
            return false;
        }
        if (delayed) {
            parser->m_dXDelayed = xLine.Next(s.u[0], n, m_p.xDelay);
            parser->m_dYDelayed = yLine.Next(s.u[1], n, m_p.yDelay);
        }
        if (m_p.integrator != 0)
            StepRKF<K, Form>(rhs, s, dt);
        else
            StepEuler<K, Form>(rhs, s, rate, dt);
    }
    x = s.u[0];
    y = s.u[1];
    return true;
}

double CBasinsScan::FinalX(double x0, double y0) const
{
    IBasinsSink never;
    double x = x0, y = y0;
    const std::unique_ptr<CParser> parser = WorkerParser(m_p);
    KindRhs rhs = m_p.model.Rhs(parser.get());
    rhs.quietErrors = true;
    ForKindAndForm(m_p.model.kind, rhs.form, [&](auto k, auto form) {
        Integrate<decltype(k)::value, decltype(form)::value>(rhs, x, y, never);
    });
    return x;
}

template <SystemKind K, int Form> void CBasinsScan::Work(IBasinsSink& sink)
{
    const std::unique_ptr<CParser> parser = WorkerParser(m_p);
    KindRhs rhs = m_p.model.Rhs(parser.get());
    rhs.quietErrors = true; // a pixel's failures are not reported
    const double range = m_cols > 1 ? (m_cols - 1) * m_p.scaleX : 0;
    const bool band = m_p.model.kind == SystemKind::OneVariable;
    while (!m_stop.load(std::memory_order_relaxed)) {
        const long long u = m_next.fetch_add(1);
        if (u >= m_units)
            return;
        int py, px0, count;
        UnitAt(u, py, px0, count);
        COLORREF* row = &m_grid[static_cast<std::size_t>(py - m_p.top) * m_cols];
        for (int k = 0; k < count; ++k) {
            if (sink.ShouldStop())
                m_stop = true;
            const int px = px0 + k * m_p.block;
            double x = (px - m_p.left) * m_p.scaleX + m_p.xmin;
            double y = band ? 0 : m_p.ymax - (py - m_p.top) * m_p.scaleY;
            if (m_stop.load(std::memory_order_relaxed) || !Integrate<K, Form>(rhs, x, y, sink)) {
                if (k > 0) {
                    CountStored(k, sink);
                    sink.RowDone(py, px0, m_p.block, k);
                }
                return;
            }
            row[px - m_p.left] = BasinColorBand(x, m_p.xmin, range);
        }
        CountStored(count, sink);
        sink.RowDone(py, px0, m_p.block, count);
    }
}

void CBasinsScan::Run(IBasinsSink& sink)
{
    unsigned n = m_p.threads > 0 ? static_cast<unsigned>(m_p.threads)
                                 : std::max(1u, std::thread::hardware_concurrency());
    // A worker of its own only for a share of the work worth starting a thread for: the
    // evaluations of the rates, six a fifth-order step.
    const long long evaluations = static_cast<long long>(m_grid.size()) *
                                  std::max(1, m_p.depth + 1) * (m_p.integrator != 0 ? 6 : 1);
    n = static_cast<unsigned>(std::min<long long>(
        {n, std::max(1LL, m_units), std::max(1LL, evaluations / kEvaluationsPerWorker)}));
    auto work = [this, &sink] {
        // A three-variable model has no plane: nothing to scan.
        if (m_p.model.kind != SystemKind::ThreeVariable)
            ForKindAndForm(m_p.model.kind, m_p.model.form, [&](auto k, auto form) {
                Work<decltype(k)::value, decltype(form)::value>(sink);
            });
    };
    // A worker that fails (memory runs out) stops the scan; the first failure goes to the
    // caller once every worker has ended, since none may leave its thread.
    std::mutex failedLock;
    std::exception_ptr failure;
    auto guarded = [&] {
        try {
            work();
        } catch (...) {
            m_stop = true;
            const std::lock_guard<std::mutex> lock(failedLock);
            if (!failure)
                failure = std::current_exception();
        }
    };
    // The workers take the units from one counter, so the scan goes on with the threads it
    // could start, for want of threads or of memory: the caller's thread is one of them. Those
    // started are joined on every way out.
    std::vector<std::thread> workers;
    try {
        for (unsigned i = 1; i < n; ++i)
            workers.emplace_back(guarded);
    } catch (...) {
    }
    guarded();
    for (std::thread& w : workers)
        w.join();
    if (failure)
        std::rethrow_exception(failure);
}
