#include "model/core/TrajectoryCalc.h"

#include "parser/Parser.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <limits>
#include <thread>
#include <utility>

const char* const kInvalidStepMessage =
    "The integration step of this model is not a usable number.\n"
    "Check the angular frequency (af) and the chronons per cycle (c/c).";

namespace {

// Steps between polls of a stop; readers waiting for the table are let in at the same points.
constexpr unsigned kPollEvery = 256;
// The least time between two yields of the time slice. A yield is a system call of about half a
// microsecond, a fifth of the time of 256 first-order steps; once a millisecond it costs
// nothing, and another thread of the processor still gets its turn well within a time slice.
constexpr std::chrono::milliseconds kYieldPeriod{1};

// The parser's members of each axis: value, rate, delayed value.
struct AxisMembers
{
    double CParser::*value;
    double CParser::*rate;
    double CParser::*delayed;
};
constexpr AxisMembers kAxes[3] = {
    {&CParser::m_dX, &CParser::m_dXPrime, &CParser::m_dXDelayed},
    {&CParser::m_dY, &CParser::m_dYPrime, &CParser::m_dYDelayed},
    {&CParser::m_dZ, &CParser::m_dZPrime, &CParser::m_dZDelayed},
};
constexpr VarSlot kAxisSlot[3] = {kSlotX, kSlotY, kSlotZ};

// A row from one array into another, value by value, so that a local one may stay in registers.
[[gnu::always_inline]] inline void Copy(const double (&from)[kSlots], double (&to)[kSlots])
{
    for (int i = 0; i < kSlots; ++i)
        to[i] = from[i];
}

// Calls fn with each column slot of kind K, t first, as a compile-time constant.
template <SystemKind K, class F> [[gnu::always_inline]] inline void ForColumns(F&& fn)
{
    [&]<std::size_t... I>(std::index_sequence<I...>)
    {
        (fn(std::integral_constant<VarSlot, VarsOf(K).column[I]>{}), ...);
    }
    (std::make_index_sequence<static_cast<std::size_t>(VarsOf(K).columns)>{});
}

} // namespace

CTrajectoryCalc::CTrajectoryCalc(const CALCPARAMS& params) : m_p(params)
{
    SetParams();
}

void CTrajectoryCalc::TakeColumns()
{
    for (int i = 0; i < kSlots; ++i)
        m_col[i] = m_p.m_pColumns[i] ? m_p.m_pColumns[i]->data() : nullptr;
}

void CTrajectoryCalc::SetParams()
{
    m_vars = &VarsOf(m_p.m_kind);
    TakeColumns();
    m_rhs.kind = m_p.m_kind;
    m_rhs.form = m_p.m_nModelForm;
    m_rhs.params = {m_p.m_dParamA, m_p.m_dParamB,  m_p.m_dParamC,
                    m_p.m_dParamD, m_p.m_dAngFreq, m_p.m_dPhase};
    m_rhs.mass = m_p.m_dMass;
    m_rhs.parser = m_p.m_pParser;
    if (CParser* parser = m_p.m_pParser)
        LoadParams(*parser, m_rhs.params);
    m_v[kSlotT] = m_p.m_dT;
    m_v[kSlotX] = m_p.m_dX;
    m_v[kSlotXp] = m_p.m_dXp;
    m_v[kSlotXpp] = m_p.m_dXpp;
    m_v[kSlotY] = m_p.m_dY;
    m_v[kSlotZ] = m_p.m_dZ;
    if (m_p.m_kind == SystemKind::TwoVariable || m_p.m_kind == SystemKind::ThreeVariable)
        m_v[kSlotXp] = 0; // computed by the run
    for (int i = 0; i < kSlots; ++i) {
        m_dMax[i] = -1e30;
        m_dMin[i] = 1e30;
    }
    for (VarSlot slot : m_vars->State()) { // the start values count; the start rates not
        m_dMax[slot] = std::max(m_dMax[slot], m_v[slot]);
        m_dMin[slot] = std::min(m_dMin[slot], m_v[slot]);
    }
    for (int a = 0; a < 3; ++a)
        m_dDelayed[a] = m_v[kAxisSlot[a]];
    m_nIndex = m_p.m_nIndex;
    m_nCount = m_p.m_nCount;
    m_nStepCount = m_p.m_nStepCount;
    m_dChronon = m_p.m_dChronon;
    // The logistic form never divides by a b of 0.
    if (m_p.m_kind == SystemKind::OneVariable && m_p.m_nModelForm == 3 && m_rhs.params.b == 0)
        m_rhs.params.b = 1;
}

// The parser's t, dt and each axis's value, rate and delayed value from the run's.
void CTrajectoryCalc::LoadParserVars()
{
    CParser* parser = m_p.m_pParser;
    if (!parser)
        return;
    parser->m_dT = m_v[kSlotT];
    parser->m_dDT = m_dChronon;
    for (int a = 0; a < m_vars->axes; ++a) {
        parser->*kAxes[a].value = m_v[m_vars->state[a]];
        parser->*kAxes[a].rate = m_v[m_vars->rate[a]];
        parser->*kAxes[a].delayed = m_dDelayed[a];
    }
    parser->m_nListIndex = 0;
}

bool CTrajectoryCalc::ColumnsUsable() const
{
    if (m_p.m_nTableRows < 1 || m_p.m_nTableInterval < 1 || m_p.m_nIndex < 0 ||
        m_p.m_nIndex >= m_p.m_nTableRows || m_p.m_nCount < 0)
        return false;
    for (VarSlot s : m_vars->Columns()) {
        const std::vector<double>* col = m_p.m_pColumns[s];
        if (!col || col->size() < static_cast<std::size_t>(m_p.m_nTableRows))
            return false;
    }
    return true;
}

void CTrajectoryCalc::HoldTable()
{
    m_pTable->Hold();
}

void CTrajectoryCalc::LetGoTable()
{
    m_pTable->LetGo(m_nIndex, m_nCount);
}

template <class Report> void CTrajectoryCalc::Unlocked(Report report)
{
    LetGoTable();
    report();
    HoldTable();
}

template <SystemKind K>
[[gnu::always_inline]] inline void CTrajectoryCalc::StoreSample(ICalcSink& sink, const RunRow& row)
{
    const int index = m_nIndex;
    const RowCount count = m_nCount;
    StoreRow<K>(row, m_nIndex, m_nCount);
    if (m_p.m_bPlotConcurrent)
        ReportRow(sink, index, count);
}

// The row into the columns at index, and the ring moved on.
template <SystemKind K>
[[gnu::always_inline]] inline void CTrajectoryCalc::StoreRow(const RunRow& row, int& index,
                                                             RowCount& count) const
{
    const int i = index;
    ForColumns<K>([&](auto slot) { m_col[slot][i] = ValueOf<K, slot>(row); });
    ++count;
    if (++index >= m_p.m_nTableRows)
        index = 0;
}

// Row index, the count-th, was stored; out of line, so that the loop's row store stays small.
[[gnu::noinline]] void CTrajectoryCalc::ReportRow(ICalcSink& sink, int index, RowCount count)
{
    LetGoTable(); // the row just written counts as stored
    sink.RowStored(index, count);
    HoldTable();
}

// A value greater than its maximum becomes the maximum, a smaller one the minimum (a NaN
// neither), without a branch.
template <SystemKind K>
[[gnu::always_inline]] inline void CTrajectoryCalc::Track(const RunRow& row, Extents& e)
{
    ForColumns<K>([&](auto slot) {
        if constexpr (slot != kSlotT) {
            const double v = ValueOf<K, slot>(row);
            e.max[slot] = v > e.max[slot] ? v : e.max[slot];
            e.min[slot] = v < e.min[slot] ? v : e.min[slot];
        }
    });
}

double CTrajectoryCalc::DelayedValue(VarSlot slot, int d) const
{
    const int rows = m_p.m_nTableRows;
    d = std::clamp(d, 1, rows); // a longer delay reads the oldest row there is
    int j = m_nIndex - d;
    if (j < 0)
        j = m_nIndex < m_nCount ? j + rows : 0;
    return m_col[slot][j];
}

template <SystemKind K> void CTrajectoryCalc::UpdateDelayed()
{
    const int delays[3] = {m_p.m_nXDelay, m_p.m_nYDelay, m_p.m_nZDelay};
    for (int a = 0; a < VarsOf(K).axes; ++a)
        m_dDelayed[a] = DelayedValue(kAxisSlot[a], delays[a]);
}

// One step of the run's integrator on its row; t stays at the start of the step. false, with
// the row as it was, when an equation had no value. The state is advanced in place: the
// out-of-line fifth-order step reads it from memory, and a copy would put a store and a load
// more on the chain from one step to the next.
template <SystemKind K, int Form, bool bRKF>
[[gnu::always_inline]] inline bool CTrajectoryCalc::Step(RunRow& row, double h)
{
    const KindState start = row;
    double rate[3] = {row.r[0], row.r[1], row.r[2]};
    if constexpr (bRKF)
        StepRKFAndRates<K, Form>(m_rhs, row, rate, h);
    else
        StepEuler<K, Form>(m_rhs, row, rate, h);
    if (m_rhs.error != EvalError::None) [[unlikely]] {
        static_cast<KindState&>(row) = start;
        return !TakeError(row.t);
    }
    row.t = start.t;
    Commit<K, bRKF>(row, row.u, rate, h, start.u[1]);
    return true;
}

// The step after the state u and its rates: the row's variables and rates (u may be the row's
// own). The Newtonian fifth-order step keeps as x'' the change of x' over the step, from xp
// at its start.
template <SystemKind K, bool bRKF>
[[gnu::always_inline]] inline void CTrajectoryCalc::Commit(RunRow& row, const double* u,
                                                           const double* rate, double h, double xp)
{
    if constexpr (bRKF && K == SystemKind::Newtonian) {
        row.r[1] = (u[1] - xp) / h;
        row.u[0] = u[0];
        row.u[1] = row.r[0] = u[1];
    } else {
        for (int i = 0; i < VarsOf(K).dim; ++i) {
            row.u[i] = u[i];
            row.r[i] = rate[i];
        }
    }
}

// A typed step in one machine-code call, with the entries the run looked up; false, with the
// row as it was, when an equation had no value (the general step then runs it).
template <SystemKind K, bool bRKF, bool bCalls>
[[gnu::always_inline]] inline bool CTrajectoryCalc::OneCallStep(const void* code, RunRow& row,
                                                                double h)
{
    constexpr int D = VarsOf(K).dim, N = kind_rates::kInputs<K>.nRates;
    double u[3] = {row.u[0], row.u[1], row.u[2]}, rate[3] = {row.r[0], row.r[1], row.r[2]};
    bool ok;
    if constexpr (bRKF) {
        constexpr int R = K != SystemKind::Newtonian ? N : 0;
        constexpr auto entry = bCalls ? CNativeRates::Entry::Calls : CNativeRates::Entry::Plain;
        ok = CNativeRates::CallStepOf<D, R, entry>(code, *m_rhs.parser, row.t, u, rate, h,
                                                   m_rhs.mass);
    } else { // never calls out
        CNativeRates::CallFirstOrder<N>(code, *m_rhs.parser, row.t, u, rate, h);
        ok = true;
    }
    if (ok) [[likely]]
        Commit<K, bRKF>(row, u, rate, h, row.u[1]);
    return ok;
}

// Notes the first equation of the run that had no value; true when there is one.
bool CTrajectoryCalc::TakeError(double t)
{
    if (m_rhs.error == EvalError::None)
        return false;
    if (m_eError == EvalError::None) {
        m_eError = m_rhs.error;
        m_nErrorList = m_rhs.errorList;
        m_dErrorT = t;
    }
    return true;
}

// The rates at the start of a one-, two- or three-variable run come from the equation texts
// (for a built-in form, the texts that the form selection wrote), or from the form itself
// when the run has no parser.
template <SystemKind K> bool CTrajectoryCalc::StartRates()
{
    constexpr const KindVars& V = VarsOf(K);
    KindRhs rhs = m_rhs;
    if (rhs.parser)
        rhs.form = 0;
    KindState s;
    s.t = m_v[kSlotT];
    for (int i = 0; i < V.dim; ++i)
        s.u[i] = m_v[V.state[i]];
    double rate[3] = {};
    KindRates<K>(rhs, s, rate);
    m_rhs.error = rhs.error;
    m_rhs.errorList = rhs.errorList;
    if (TakeError(s.t))
        return false;
    for (int i = 0; i < V.dim; ++i)
        m_v[V.rate[i]] = rate[i];
    return true;
}

void CTrajectoryCalc::Run(ICalcSink& sink)
{
    CTableHold table(m_p.m_pTableGuard);
    m_pTable = &table;
    // The kind and the form are chosen once: the steps inline the form's arithmetic.
    ForKindAndForm(m_p.m_kind, m_rhs.form, [this, &sink](auto k, auto form) {
        RunKind<decltype(k)::value, decltype(form)::value>(sink);
    });
}

template <SystemKind K, int Form> [[gnu::noinline]] void CTrajectoryCalc::RunKind(ICalcSink& sink)
{
    constexpr bool typed = Form == 0;
    if (!ColumnsUsable() || !StepIsUsable(m_p.m_nIntegrator, m_dChronon) ||
        (typed && !m_p.m_pParser)) {
        m_bRefused = true;
        sink.Done(m_nIndex, m_nCount);
        return;
    }
    TakeColumns();                                         // as they are now, checked just above
    m_dChronon = StepOfRun(m_p.m_nIntegrator, m_dChronon); // for the whole run
    const double dt = m_dChronon;
    CParser* parser = m_p.m_pParser;

    // About thirty progress steps, counted from this run's start time.
    const double togo = (m_p.m_dRunTimeLimit - m_v[kSlotT]) / dt / 30;
    const std::int64_t n =
        togo >= 1 ? static_cast<std::int64_t>(std::min(togo, 9.0e18)) : std::int64_t{0};

    // A run that hands rows over or pauses asks at every step whether to stop; a run left to
    // itself asks every kPollEvery steps, so a stop waits at most that many steps.
    m_bPaced = K == SystemKind::Newtonian && m_p.m_nStepDelay > 0;
    m_bPollEveryStep = m_p.m_bPlotConcurrent || m_bPaced;
    HoldTable(); // let go around reports and pauses, and at the end
    if (parser) {
        parser->m_bScan = 0;
        parser->m_dDT = dt;
    }
    if constexpr (K == SystemKind::Newtonian) {
        // The start x'' is the document's; the force reads t, x and x' from each stage.
        if (m_v[kSlotT] == 0) {
            m_nStepCount = 0;
            StoreSample<K>(sink, RowOf<K>(m_v));
        }
    } else {
        LoadParserVars();
        if (!StartRates<K>()) {
            LetGoTable();
            sink.Done(m_nIndex, m_nCount);
            return;
        }
        if (m_v[kSlotT] == 0) {
            m_nStepCount = 0;
            StoreSample<K>(sink, RowOf<K>(m_v));
        }
        LoadParserVars(); // the typed equations may read the start rates
    }

    if constexpr (typed)
        LookUpOneCallSteps<K>(m_rhs); // the run keeps its parser's recordings as they are
    const std::int64_t never = std::numeric_limits<std::int64_t>::max();
    if (m_p.m_nIntegrator != 0)
        Loop<K, Form, true>(sink, n > 0 ? n : never);
    else
        Loop<K, Form, false>(sink, n > 0 ? n : never);
    LetGoTable();
    sink.Done(m_nIndex, m_nCount);
}

// Between two steps: a stop asked for, the pause of a paced step, and every kPollEvery steps
// the readers waiting for the table (the lock is let go for them) and the yield when it is
// due. false when the run is to stop.
[[gnu::noinline]] bool CTrajectoryCalc::BetweenSteps(ICalcSink& sink, CStepPacer& pacer,
                                                     unsigned sincePoll)
{
    if (m_bPollEveryStep && sink.ShouldStop())
        return false;
    if (m_bPaced) {
        Unlocked([&pacer] { std::this_thread::sleep_until(pacer.Next(CStepPacer::Clock::now())); });
        return true;
    }
    if (sincePoll % kPollEvery != 0)
        return true;
    if (!m_bPollEveryStep && sink.ShouldStop())
        return false;
    if (sincePoll > 0) { // a reader waits at most kPollEvery steps for the table
        if (m_pTable->ReaderWaiting())
            Unlocked([] {});
        YieldIfDue();
    }
    return true;
}

// Gives up the rest of the time slice when kYieldPeriod has passed since the last time.
void CTrajectoryCalc::YieldIfDue()
{
    const CStepPacer::Clock::time_point now = CStepPacer::Clock::now();
    if (now - m_lastYield < kYieldPeriod)
        return;
    m_lastYield = now;
    std::this_thread::yield();
}

// Up to n steps in one call each, with nothing between them but the row's extents and
// store; out of line, with the row by value, so that its registers hold the row. Ends early at
// the run's end or at a step that the one call cannot make; made counts the steps.
template <SystemKind K, bool bRKF, bool bCalls>
[[gnu::noinline]] CTrajectoryCalc::RunRow
CTrajectoryCalc::Burst(const void* code, RunRow row, Extents& extents, int n, int& toRow, int& made)
{
    const double dt = m_dChronon, limit = m_p.m_dRunTimeLimit;
    const int interval = m_p.m_nTableInterval;
    int left = n, untilRow = toRow, index = m_nIndex;
    RowCount count = m_nCount;
    for (; left > 0 && row.t < limit; --left) {
        if (!OneCallStep<K, bRKF, bCalls>(code, row, dt)) [[unlikely]]
            break;
        Track<K>(row, extents);
        row.t += dt;
        if (--untilRow == 0) {
            untilRow = interval;
            StoreRow<K>(row, index, count);
        }
    }
    toRow = untilRow;
    m_nIndex = index;
    m_nCount = count;
    made = n - left;
    return row;
}

// The steps of the run, with the row and the extents in locals; they go back to m_v, m_dMax
// and m_dMin at the end. nProgress steps between progress reports.

template <SystemKind K, int Form, bool bRKF>
void CTrajectoryCalc::Loop(ICalcSink& sink, std::int64_t nProgress)
{
    RunRow row = RowOf<K>(m_v);
    Extents extents;
    Copy(m_dMax, extents.max);
    Copy(m_dMin, extents.min);
    CParser* const parser = m_p.m_pParser;
    const bool delayed = m_p.m_bDelayedVarUsed && parser;
    const void* const oneCall = Form != 0 ? nullptr
                                : bRKF    ? m_rhs.oneCall.rkf[K != SystemKind::Newtonian]
                                          : m_rhs.oneCall.firstOrder;
    const bool bCalls = m_rhs.oneCall.bCalls;
    // A step that replays an equation may read the parser's t; a step in one call does not.
    const bool setT = Form == 0 && oneCall == nullptr;
    const double dt = m_dChronon, limit = m_p.m_dRunTimeLimit;
    const bool pollEveryStep = m_bPollEveryStep;
    // Steps in one call with nothing between them go in bursts up to the next poll or progress.
    const bool bursts = oneCall != nullptr && !pollEveryStep && !delayed;
    std::int64_t sinceProgress = 0, steps = m_nStepCount;
    // Steps to the next stored row (every ti-th of the step counter), counted down rather than
    // divided out at every step.
    const int interval = m_p.m_nTableInterval;
    const int past = static_cast<int>(steps % interval);
    int toRow = interval - (past < 0 ? past + interval : past);
    unsigned sincePoll = 0;
    m_lastYield = CStepPacer::Clock::now();
    CStepPacer pacer(m_p.m_nStepDelay, m_lastYield);
    while (row.t < limit) {
        if ((pollEveryStep || sincePoll % kPollEvery == 0) && !BetweenSteps(sink, pacer, sincePoll))
            [[unlikely]]
            break;
        if (bursts) {
            const int n = static_cast<int>(std::min<std::int64_t>(
                kPollEvery - sincePoll % kPollEvery, nProgress - sinceProgress));
            int made;
            row = bCalls ? Burst<K, bRKF, true>(oneCall, row, extents, n, toRow, made)
                         : Burst<K, bRKF, false>(oneCall, row, extents, n, toRow, made);
            sincePoll += static_cast<unsigned>(made);
            steps += made;
            sinceProgress += made;
            if (sinceProgress == nProgress) {
                Unlocked([&] { sink.ProgressStep(); });
                sinceProgress = 0;
            }
            if (made == n || !(row.t < limit))
                continue;
        }
        ++sincePoll;
        if (setT)
            parser->m_dT = row.t;
        if (delayed) [[unlikely]]
            for (int a = 0; a < 3; ++a)
                parser->*kAxes[a].delayed = m_dDelayed[a];
        if ((oneCall == nullptr || !OneCallStep<K, bRKF, true>(oneCall, row, dt)) &&
            !Step<K, Form, bRKF>(row, dt))
            break; // the run continues from the step that failed, if at all
        Track<K>(row, extents);
        if (delayed) [[unlikely]]
            UpdateDelayed<K>();
        row.t += dt;
        ++steps;
        if (--toRow == 0) {
            toRow = interval;
            StoreSample<K>(sink, row);
        }
        if (++sinceProgress == nProgress) [[unlikely]] {
            Unlocked([&] { sink.ProgressStep(); });
            sinceProgress = 0;
        }
    }
    ToSlots<K>(row, m_v);
    Copy(extents.max, m_dMax);
    Copy(extents.min, m_dMin);
    m_nStepCount = steps;
}

void CTrajectoryCalc::TakeExtents(CModelSettings& s) const
{
    for (VarSlot slot : m_vars->Columns().subspan(1)) {
        s.*VarOf(slot).min = m_dMin[slot];
        s.*VarOf(slot).max = m_dMax[slot];
    }
}

void CTrajectoryCalc::TakeState(CModelSettings& s) const
{
    for (VarSlot slot : m_vars->Columns())
        s.*VarOf(slot).value = m_v[slot];
}
