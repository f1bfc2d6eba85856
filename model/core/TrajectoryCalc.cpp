#include "model/core/TrajectoryCalc.h"

#include "model/core/StepPacer.h"
#include "parser/Parser.h"

#include <algorithm>
#include <chrono>
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

template <SystemKind K> void CTrajectoryCalc::StoreSample(ICalcSink& sink)
{
    for (VarSlot s : VarsOf(K).Columns())
        m_col[s][m_nIndex] = m_v[s];
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

template <SystemKind K> void CTrajectoryCalc::Track()
{
    for (VarSlot s : VarsOf(K).Columns().subspan(1)) {
        const double v = m_v[s];
        if (v > m_dMax[s])
            m_dMax[s] = v;
        if (v < m_dMin[s])
            m_dMin[s] = v;
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

// One step of the run's integrator on the row m_v; t stays at the start of the step. false,
// with m_v as it was, when an equation had no value.
template <SystemKind K, int Form> [[gnu::always_inline]] inline bool CTrajectoryCalc::Step()
{
    constexpr const KindVars& V = VarsOf(K);
    constexpr int D = V.dim;
    const double t = m_v[kSlotT], h = m_dChronon;
    KindState s{t, {m_v[V.state[0]], m_v[V.state[D > 1 ? 1 : 0]], m_v[V.state[D > 2 ? 2 : 0]]}};
    double rate[3] = {m_v[V.rate[0]], m_v[V.rate[D > 1 ? 1 : 0]], m_v[V.rate[D > 2 ? 2 : 0]]};
    if (m_p.m_nIntegrator == 0) {
        StepEuler<K, Form>(m_rhs, s, rate, h);
        if (m_rhs.error != EvalError::None) [[unlikely]]
            return !TakeError();
        for (int i = 0; i < D; ++i) {
            m_v[V.state[i]] = s.u[i];
            m_v[V.rate[i]] = rate[i];
        }
        return true;
    }
    const double start[3] = {s.u[0], s.u[1], s.u[2]};
    StepRKF<K, Form>(m_rhs, s, h);
    for (int i = 0; i < D; ++i)
        m_v[V.state[i]] = s.u[i];
    if constexpr (K != SystemKind::Newtonian) {
        // The rates at the new state, with the time of the start of the step.
        s.t = t;
        KindRates<K, Form>(m_rhs, s, rate);
    }
    if (m_rhs.error != EvalError::None) [[unlikely]] {
        for (int i = 0; i < D; ++i) // back to the start of the step
            m_v[V.state[i]] = start[i];
        return !TakeError();
    }
    if constexpr (K == SystemKind::Newtonian) {
        // The stored x'' is the change of x' over the step.
        m_v[kSlotXpp] = (s.u[1] - rate[0]) / h; // rate[0] is x' at the start
    } else {
        for (int i = 0; i < D; ++i)
            m_v[V.rate[i]] = rate[i];
    }
    return true;
}

// Notes the first equation of the run that had no value; true when there is one.
bool CTrajectoryCalc::TakeError()
{
    if (m_rhs.error == EvalError::None)
        return false;
    if (m_eError == EvalError::None) {
        m_eError = m_rhs.error;
        m_nErrorList = m_rhs.errorList;
        m_dErrorT = m_v[kSlotT];
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
    if (TakeError())
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

    HoldTable(); // let go around reports and pauses, and at the end
    if (parser) {
        parser->m_bScan = 0;
        parser->m_dDT = dt;
    }
    if constexpr (K == SystemKind::Newtonian) {
        // The start x'' is the document's; the force reads t, x and x' from each stage.
        if (m_v[kSlotT] == 0) {
            m_nStepCount = 0;
            StoreSample<K>(sink);
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
            StoreSample<K>(sink);
        }
        LoadParserVars(); // the typed equations may read the start rates
    }

    const bool delayed = m_p.m_bDelayedVarUsed && parser;
    const CTableGuard* const guard = m_p.m_pTableGuard;
    std::int64_t sinceProgress = 0;
    // Steps to the next stored row (every ti-th of the step counter), counted down rather than
    // divided out at every step.
    const int interval = m_p.m_nTableInterval;
    const int past = static_cast<int>(m_nStepCount % interval);
    int toRow = interval - (past < 0 ? past + interval : past);
    unsigned sinceYield = 0;
    // A run that hands rows over or pauses asks at every step whether to stop; a run left to
    // itself asks with the yield, so a stop waits at most that many steps.
    const bool pollEveryStep =
        m_p.m_bPlotConcurrent || (K == SystemKind::Newtonian && m_p.m_nStepDelay > 0);
    CStepPacer pacer(m_p.m_nStepDelay, CStepPacer::Clock::now());
    while (m_v[kSlotT] < m_p.m_dRunTimeLimit) {
        if (pollEveryStep && sink.ShouldStop())
            break;
        if (K == SystemKind::Newtonian && m_p.m_nStepDelay > 0) {
            Unlocked(
                [&pacer] { std::this_thread::sleep_until(pacer.Next(CStepPacer::Clock::now())); });
        } else if (sinceYield++ % kYieldEvery == 0) {
            // A reader waits at most this many steps for the table.
            if (!pollEveryStep && sink.ShouldStop())
                break;
            if (sinceYield > 1) {
                if (guard && guard->ReaderWaiting())
                    Unlocked([] {});
                std::this_thread::yield();
            }
        }
        if (parser) {
            parser->m_dT = m_v[kSlotT];
            if (delayed)
                for (int a = 0; a < 3; ++a)
                    parser->*kAxes[a].delayed = m_dDelayed[a];
        }
        if (!Step<K, Form>())
            break; // the run continues from the step that failed, if at all
        Track<K>();
        if (delayed)
            UpdateDelayed<K>();
        m_v[kSlotT] += dt;
        ++m_nStepCount;
        if (--toRow == 0) {
            toRow = interval;
            StoreSample<K>(sink);
        }
        if (n > 0 && ++sinceProgress == n) {
            Unlocked([&] { sink.ProgressStep(); });
            sinceProgress = 0;
        }
    }
    LetGoTable();
    sink.Done(m_nIndex, m_nCount);
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
