#include "model/core/TrajectoryCalc.h"

#include "parser/Parser.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <limits>
#include <thread>

const char* const kInvalidStepMessage =
    "The integration step of this model is not a usable number.\n"
    "Check the angular frequency (af) and the chronons per cycle (c/c).";

namespace {

// Steps between yields: giving up the time slice at every step costs a system call each.
// Readers waiting for the table are let in at the same points.
constexpr unsigned kYieldEvery = 256;

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
    if (m_p.m_pTableGuard)
        m_p.m_pTableGuard->Hold();
}

void CTrajectoryCalc::LetGoTable()
{
    if (m_p.m_pTableGuard)
        m_p.m_pTableGuard->LetGo(m_nIndex, m_nCount);
}

template <class Report> void CTrajectoryCalc::Unlocked(Report report)
{
    LetGoTable();
    report();
    HoldTable();
}

template <SystemKind K>
[[gnu::always_inline]] inline void CTrajectoryCalc::StoreSample(ICalcSink& sink, const double* v)
{
    for (VarSlot s : VarsOf(K).Columns())
        m_col[s][m_nIndex] = v[s];
    if (m_p.m_bPlotConcurrent)
        ReportRow(sink);
    ++m_nCount;
    if (++m_nIndex >= m_p.m_nTableRows)
        m_nIndex = 0;
}

// Out of line: the loop's row store stays small.
[[gnu::noinline]] void CTrajectoryCalc::ReportRow(ICalcSink& sink)
{
    if (CTableGuard* guard = m_p.m_pTableGuard) // the row just written counts as stored
        guard->LetGo(m_nIndex + 1 < m_p.m_nTableRows ? m_nIndex + 1 : 0, m_nCount + 1);
    sink.RowStored(m_nIndex, m_nCount);
    HoldTable();
}

// A value greater than its maximum becomes the maximum, a smaller one the minimum (a NaN
// neither): each one instruction, without a branch.
template <SystemKind K>
[[gnu::always_inline]] inline void CTrajectoryCalc::Track(const double* v, double* max,
                                                          double* min)
{
    for (VarSlot s : VarsOf(K).Columns().subspan(1)) {
        max[s] = v[s] > max[s] ? v[s] : max[s];
        min[s] = v[s] < min[s] ? v[s] : min[s];
    }
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

// One step of the run's integrator on the row v; t stays at the start of the step. false,
// with v as it was, when an equation had no value.
template <SystemKind K, int Form, bool bRKF>
[[gnu::always_inline]] inline bool CTrajectoryCalc::Step(double* v, double h)
{
    constexpr const KindVars& V = VarsOf(K);
    constexpr int D = V.dim;
    KindState s{v[kSlotT], {v[V.state[0]], v[V.state[D > 1 ? 1 : 0]], v[V.state[D > 2 ? 2 : 0]]}};
    double rate[3] = {v[V.rate[0]], v[V.rate[D > 1 ? 1 : 0]], v[V.rate[D > 2 ? 2 : 0]]};
    if constexpr (bRKF)
        StepRKFAndRates<K, Form>(m_rhs, s, rate, h);
    else
        StepEuler<K, Form>(m_rhs, s, rate, h);
    if (m_rhs.error != EvalError::None) [[unlikely]]
        return !TakeError(v[kSlotT]);
    Commit<K, bRKF>(v, s.u, rate, h);
    return true;
}

// The same out of line, for the steps that replay or step stage by stage: the row goes there
// and back by value, so that the loop keeps its own in registers.
template <SystemKind K, int Form, bool bRKF>
[[gnu::noinline]] bool CTrajectoryCalc::StepApart(Row in, double h, Row& out)
{
    out = in;
    return Step<K, Form, bRKF>(out.v, h);
}

// The step after the state u and its rates: the row's variables and rates. The Newtonian
// fifth-order step stores as x'' the change of x' over the step.
template <SystemKind K, bool bRKF>
[[gnu::always_inline]] inline void CTrajectoryCalc::Commit(double* v, const double* u,
                                                           const double* rate, double h)
{
    constexpr const KindVars& V = VarsOf(K);
    if constexpr (bRKF && K == SystemKind::Newtonian) {
        v[kSlotXpp] = (u[1] - v[kSlotXp]) / h;
        v[kSlotX] = u[0];
        v[kSlotXp] = u[1];
    } else {
        for (int i = 0; i < V.dim; ++i) {
            v[V.state[i]] = u[i];
            v[V.rate[i]] = rate[i];
        }
    }
}

// A typed step in one machine-code call, with the entries the run looked up; false, with v as
// it was, when there is none or an equation had no value (the general step then runs it).
template <SystemKind K, bool bRKF>
[[gnu::always_inline]] inline bool
CTrajectoryCalc::OneCallStep(const CNativeRates::Steps& steps, double* v, double h)
{
    constexpr const KindVars& V = VarsOf(K);
    constexpr int D = V.dim, N = kind_rates::kInputs<K>.nRates;
    double u[3] = {v[V.state[0]], v[V.state[D > 1 ? 1 : 0]], v[V.state[D > 2 ? 2 : 0]]};
    double rate[3] = {v[V.rate[0]], v[V.rate[D > 1 ? 1 : 0]], v[V.rate[D > 2 ? 2 : 0]]};
    bool ok;
    if constexpr (bRKF) {
        constexpr bool bRates = K != SystemKind::Newtonian;
        ok = CNativeRates::CallStep<D, bRates ? N : 0>(steps.rkf[bRates], steps.bCalls, *m_rhs.parser,
                                                       v[kSlotT], u, rate, h, m_rhs.mass);
    } else if constexpr (K != SystemKind::Newtonian) {
        ok = CNativeRates::CallStep<N, N>(steps.firstOrder, false, *m_rhs.parser, v[kSlotT], u,
                                          rate, h, rate[0]);
    } else {
        ok = false;
    }
    if (ok) [[likely]]
        Commit<K, bRKF>(v, u, rate, h);
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
    // itself asks with the yield, so a stop waits at most that many steps.
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
            StoreSample<K>(sink, m_v);
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
            StoreSample<K>(sink, m_v);
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

// Between two steps: a stop asked for, the pause of a paced step, and every kYieldEvery steps
// the yield and the readers waiting for the table (the lock is let go for them). false when
// the run is to stop.
[[gnu::noinline]] bool CTrajectoryCalc::BetweenSteps(ICalcSink& sink, CStepPacer& pacer,
                                                     unsigned sinceYield)
{
    if (m_bPollEveryStep && sink.ShouldStop())
        return false;
    if (m_bPaced) {
        Unlocked([&pacer] { std::this_thread::sleep_until(pacer.Next(CStepPacer::Clock::now())); });
        return true;
    }
    if (sinceYield % kYieldEvery != 0)
        return true;
    if (!m_bPollEveryStep && sink.ShouldStop())
        return false;
    if (sinceYield > 0) { // a reader waits at most kYieldEvery steps for the table
        if (m_p.m_pTableGuard && m_p.m_pTableGuard->ReaderWaiting())
            Unlocked([] {});
        std::this_thread::yield();
    }
    return true;
}

// The steps of the run, with the row and the extents in locals; they go back to m_v, m_dMax
// and m_dMin at the end. nProgress steps between progress reports.
template <SystemKind K, int Form, bool bRKF>
void CTrajectoryCalc::Loop(ICalcSink& sink, std::int64_t nProgress)
{
    Row row;
    double* const v = row.v;
    double max[kSlots], min[kSlots];
    std::copy(std::begin(m_v), std::end(m_v), v);
    std::copy(std::begin(m_dMax), std::end(m_dMax), max);
    std::copy(std::begin(m_dMin), std::end(m_dMin), min);
    CParser* const parser = m_p.m_pParser;
    const bool delayed = m_p.m_bDelayedVarUsed && parser;
    // A step that replays an equation may read the parser's t; a step in one call does not.
    const CNativeRates::Steps entries = m_rhs.oneCall;
    const void* const oneCall =
        Form != 0 ? nullptr : bRKF ? entries.rkf[K != SystemKind::Newtonian] : entries.firstOrder;
    const bool setT = Form == 0 && oneCall == nullptr;
    const double dt = m_dChronon, limit = m_p.m_dRunTimeLimit;
    const bool pollEveryStep = m_bPollEveryStep;
    std::int64_t sinceProgress = 0, steps = m_nStepCount;
    // Steps to the next stored row (every ti-th of the step counter), counted down rather than
    // divided out at every step.
    const int interval = m_p.m_nTableInterval;
    const int past = static_cast<int>(steps % interval);
    int toRow = interval - (past < 0 ? past + interval : past);
    unsigned sinceYield = 0;
    CStepPacer pacer(m_p.m_nStepDelay, CStepPacer::Clock::now());
    while (v[kSlotT] < limit) {
        if ((pollEveryStep || sinceYield % kYieldEvery == 0) &&
            !BetweenSteps(sink, pacer, sinceYield)) [[unlikely]]
            break;
        ++sinceYield;
        if (setT)
            parser->m_dT = v[kSlotT];
        if (delayed) [[unlikely]]
            for (int a = 0; a < 3; ++a)
                parser->*kAxes[a].delayed = m_dDelayed[a];
        if (oneCall == nullptr || !OneCallStep<K, bRKF>(entries, row.v, dt)) [[unlikely]] {
            if constexpr (Form == 0) {
                Row next;
                if (!StepApart<K, Form, bRKF>(row, dt, next))
                    break; // the run continues from the step that failed, if at all
                row = next;
            } else if (!Step<K, Form, bRKF>(row.v, dt)) {
                break;
            }
        }
        Track<K>(v, max, min);
        if (delayed) [[unlikely]]
            UpdateDelayed<K>();
        v[kSlotT] += dt;
        ++steps;
        if (--toRow == 0) {
            toRow = interval;
            StoreSample<K>(sink, v);
        }
        if (++sinceProgress == nProgress) [[unlikely]] {
            Unlocked([&] { sink.ProgressStep(); });
            sinceProgress = 0;
        }
    }
    std::copy(v, v + kSlots, m_v);
    std::copy(max, max + kSlots, m_dMax);
    std::copy(min, min + kSlots, m_dMin);
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
