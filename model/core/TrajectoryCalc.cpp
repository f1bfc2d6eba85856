#include "model/core/TrajectoryCalc.h"

#include "parser/Parser.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <type_traits>

const char* const kInvalidStepMessage =
    "The integration step of this model is not a usable number.\n"
    "Check the angular frequency (af) and the chronons per cycle (c/c).";

namespace {

// Dimension of the state vector integrated by the fifth-order step.
template <SystemKind K> constexpr int Dim()
{
    return VarsOf(K).dim;
}

// Steps between yields: giving up the time slice at every step costs a system call each.
// Readers waiting for the table are let in at the same points.
constexpr unsigned kYieldEvery = 256;

} // namespace

bool StepIsUsable(int nIntegrator, double dt)
{
    if (!std::isfinite(dt))
        return false;
    return nIntegrator != 0 || dt > 0;
}

CTrajectoryCalc::CTrajectoryCalc(const CALCPARAMS& params) : m_p(params)
{
    SetParams();
}

void CTrajectoryCalc::TakeColumns()
{
    std::vector<double>* cols[kSlots] = {m_p.m_pArrT, m_p.m_pArrX,  m_p.m_pArrXp, m_p.m_pArrXpp,
                                         m_p.m_pArrY, m_p.m_pArrYp, m_p.m_pArrZ,  m_p.m_pArrZp};
    for (int i = 0; i < kSlots; ++i)
        m_col[i] = cols[i] ? cols[i]->data() : nullptr;
}

void CTrajectoryCalc::SetParams()
{
    m_vars = &VarsOf(m_p.m_kind);
    TakeColumns();
    m_form = {m_p.m_dParamA, m_p.m_dParamB,  m_p.m_dParamC,
              m_p.m_dParamD, m_p.m_dAngFreq, m_p.m_dPhase};
    if (CParser* parser = m_p.m_pParser) {
        parser->m_dA = m_p.m_dParamA;
        parser->m_dB = m_p.m_dParamB;
        parser->m_dC = m_p.m_dParamC;
        parser->m_dD = m_p.m_dParamD;
        parser->m_dAF = m_p.m_dAngFreq;
        parser->m_dPA = m_p.m_dPhase;
    }
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
    m_dXDelayed = m_v[kSlotX];
    m_dYDelayed = m_v[kSlotY];
    m_dZDelayed = m_v[kSlotZ];
    m_nIndex = m_p.m_nIndex;
    m_nCount = m_p.m_nCount;
    m_nStepCount = m_p.m_nStepCount;
    m_dChronon = m_p.m_dChronon;
    // The logistic form never divides by a b of 0.
    if (m_p.m_kind == SystemKind::OneVariable && m_p.m_nModelForm == 3 && m_form.b == 0)
        m_form.b = 1;
}

void CTrajectoryCalc::LoadParserVars()
{
    CParser* parser = m_p.m_pParser;
    if (!parser)
        return;
    parser->m_dT = m_v[kSlotT];
    parser->m_dDT = m_dChronon;
    parser->m_dX = m_v[kSlotX];
    parser->m_dXPrime = m_v[kSlotXp];
    parser->m_dXDelayed = m_dXDelayed;
    if (m_p.m_kind != SystemKind::OneVariable) {
        parser->m_dY = m_v[kSlotY];
        parser->m_dYPrime = m_v[kSlotYp];
        parser->m_dYDelayed = m_dYDelayed;
    }
    if (m_p.m_kind == SystemKind::ThreeVariable) {
        parser->m_dZ = m_v[kSlotZ];
        parser->m_dZPrime = m_v[kSlotZp];
        parser->m_dZDelayed = m_dZDelayed;
    }
    parser->m_nListIndex = 0;
}

double CTrajectoryCalc::Replay(int list)
{
    CParser* parser = m_p.m_pParser;
    parser->m_bScan = 0;
    parser->m_nList = list;
    parser->m_nListIndex = 0;
    const std::string& text = list == 1 ? m_p.m_strEqX : list == 2 ? m_p.m_strEqY : m_p.m_strEqZ;
    int status = 0;
    const double v = parser->Evaluate(text.c_str(), status);
    if (status == 0 && m_eError == EvalError::None) {
        m_eError = parser->LastError(); // the loop ends the run after this step
        m_nErrorList = list;
        m_dErrorT = m_v[kSlotT];
    }
    return v;
}

bool CTrajectoryCalc::ColumnsUsable() const
{
    const std::vector<double>* cols[kSlots] = {m_p.m_pArrT,   m_p.m_pArrX, m_p.m_pArrXp,
                                               m_p.m_pArrXpp, m_p.m_pArrY, m_p.m_pArrYp,
                                               m_p.m_pArrZ,   m_p.m_pArrZp};
    if (m_p.m_nTableRows < 1 || m_p.m_nTableInterval < 1 || m_p.m_nIndex < 0 ||
        m_p.m_nIndex >= m_p.m_nTableRows || m_p.m_nCount < 0)
        return false;
    for (VarSlot s : m_vars->Columns())
        if (!cols[s] || cols[s]->size() < static_cast<std::size_t>(m_p.m_nTableRows))
            return false;
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

void CTrajectoryCalc::StoreSample(ICalcSink& sink)
{
    for (VarSlot s : m_vars->Columns())
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

void CTrajectoryCalc::Track()
{
    for (VarSlot s : m_vars->Columns().subspan(1)) {
        const double v = m_v[s];
        if (v > m_dMax[s])
            m_dMax[s] = v;
        if (v < m_dMin[s])
            m_dMin[s] = v;
    }
}

double CTrajectoryCalc::DelayedValue(int slot, int d) const
{
    const int rows = m_p.m_nTableRows;
    d = std::clamp(d, 1, rows); // a longer delay reads the oldest row there is
    int j = m_nIndex - d;
    if (j < 0)
        j = m_nIndex < m_nCount ? j + rows : 0;
    return m_col[slot][j];
}

void CTrajectoryCalc::UpdateDelayed()
{
    m_dXDelayed = DelayedValue(kSlotX, m_p.m_nXDelay);
    if (m_p.m_kind == SystemKind::TwoVariable || m_p.m_kind == SystemKind::ThreeVariable)
        m_dYDelayed = DelayedValue(kSlotY, m_p.m_nYDelay);
    if (m_p.m_kind == SystemKind::ThreeVariable)
        m_dZDelayed = DelayedValue(kSlotZ, m_p.m_nZDelay);
}

// Rate i (x', y', z') of a one-, two- or three-variable model at time t and state u.
template <SystemKind K> double CTrajectoryCalc::RateOf(int i, double t, const double* u)
{
    const int form = m_p.m_nModelForm;
    if (form == 0) {
        CParser* parser = m_p.m_pParser;
        parser->m_dT = t;
        parser->m_dX = u[0];
        if constexpr (Dim<K>() >= 2)
            parser->m_dY = u[1];
        if constexpr (Dim<K>() >= 3)
            parser->m_dZ = u[2];
        return Replay(i + 1);
    }
    if constexpr (K == SystemKind::OneVariable) {
        return OneVarRate(form, m_form, u[0]);
    } else if constexpr (K == SystemKind::TwoVariable) {
        return i == 0 ? TwoVarXRate(form, m_form, u[0], u[1])
                      : TwoVarYRate(form, m_form, u[0], u[1]);
    } else {
        if (i == 0)
            return ThreeVarXRate(form, m_form, u[0], u[1], u[2]);
        if (i == 1)
            return ThreeVarYRate(form, m_form, t, u[0], u[1], u[2]);
        return ThreeVarZRate(form, m_form, u[0], u[1], u[2]);
    }
}

// Rates of the state vector u at time t: the Newtonian (x, x') has rates (x', F / m).
template <SystemKind K> void CTrajectoryCalc::RatesAt(double t, const double* u, double* rate)
{
    if constexpr (K == SystemKind::Newtonian) {
        rate[0] = u[1];
        if (m_p.m_nModelForm == 0) {
            CParser* parser = m_p.m_pParser;
            parser->m_dT = t;
            parser->m_dX = u[0];
            parser->m_dXPrime = u[1];
            rate[1] = Replay(1) / m_p.m_dMass;
        } else {
            // The pendulum's pulse is taken at the start of the step in every stage.
            rate[1] =
                NewtonianForce(m_p.m_nModelForm, m_form, t, u[0], u[1], m_v[kSlotT], m_dChronon) /
                m_p.m_dMass;
        }
    } else {
        for (int i = 0; i < Dim<K>(); ++i)
            rate[i] = RateOf<K>(i, t, u);
    }
}

template <SystemKind K> void CTrajectoryCalc::RKFKind()
{
    constexpr int D = Dim<K>();
    constexpr const VarSlot* kVar = VarsOf(K).state;
    const double h = m_dChronon;
    const double t = m_v[kSlotT];
    double u[D], s[D], r[D], k1[D], k2[D], k3[D], k4[D], k5[D], k6[D];
    for (int i = 0; i < D; ++i)
        u[i] = m_v[kVar[i]];
    auto stage = [&](double ts, double* k) {
        RatesAt<K>(ts, s, r);
        for (int i = 0; i < D; ++i)
            k[i] = h * r[i];
    };
    for (int i = 0; i < D; ++i)
        s[i] = u[i];
    stage(t, k1);
    for (int i = 0; i < D; ++i)
        s[i] = u[i] + k1[i] / 4;
    stage(t + h / 4, k2);
    for (int i = 0; i < D; ++i)
        s[i] = u[i] + 3.0 / 32 * k1[i] + 9.0 / 32 * k2[i];
    stage(t + 3 * h / 8, k3);
    for (int i = 0; i < D; ++i)
        s[i] = u[i] + 1932.0 / 2197 * k1[i] - 7200.0 / 2197 * k2[i] + 7296.0 / 2197 * k3[i];
    stage(t + 12 * h / 13, k4);
    for (int i = 0; i < D; ++i)
        s[i] = u[i] + 439.0 / 216 * k1[i] - 8 * k2[i] + 3680.0 / 513 * k3[i] - 845.0 / 4104 * k4[i];
    stage(t + h, k5);
    for (int i = 0; i < D; ++i)
        s[i] = u[i] - 8.0 / 27 * k1[i] + 2 * k2[i] - 3544.0 / 2565 * k3[i] + 1859.0 / 4104 * k4[i] -
               11.0 / 40 * k5[i];
    stage(t + h / 2, k6);
    for (int i = 0; i < D; ++i)
        m_v[kVar[i]] = u[i] + 16.0 / 135 * k1[i] + 6656.0 / 12825 * k3[i] +
                       28561.0 / 56430 * k4[i] - 9.0 / 50 * k5[i] + 2.0 / 55 * k6[i];
    if constexpr (K != SystemKind::Newtonian) {
        // The derivatives at the new state, with the time of the start of the step.
        for (int i = 0; i < D; ++i)
            s[i] = m_v[kVar[i]];
        RatesAt<K>(t, s, r);
        constexpr const VarSlot* kRate = VarsOf(K).rate;
        for (int i = 0; i < D; ++i)
            m_v[kRate[i]] = r[i];
    }
}

// The first-order step: each variable advanced in turn, each derivative recomputed from the
// values already advanced, t at the start of the step throughout.
template <SystemKind K> void CTrajectoryCalc::EulerKind()
{
    const double dt = m_dChronon;
    const double t = m_v[kSlotT];
    double* v = m_v;
    if constexpr (K == SystemKind::Newtonian) {
        v[kSlotXp] = v[kSlotXp] + dt * v[kSlotXpp];
        v[kSlotX] = v[kSlotX] + dt * v[kSlotXp];
        double u[2] = {v[kSlotX], v[kSlotXp]}, r[2];
        RatesAt<K>(t, u, r);
        v[kSlotXpp] = r[1];
    } else {
        // x first; then y' from the new x and y with it, z' and z; then x' from all.
        constexpr const VarSlot* kVar = VarsOf(K).state;
        constexpr const VarSlot* kRate = VarsOf(K).rate;
        double u[3] = {v[kSlotX], v[kSlotY], v[kSlotZ]};
        u[0] = v[kSlotX] + dt * v[kSlotXp];
        v[kSlotX] = u[0];
        for (int i = 1; i < Dim<K>(); ++i) {
            v[kRate[i]] = RateOf<K>(i, t, u);
            u[i] = v[kVar[i]] + dt * v[kRate[i]];
            v[kVar[i]] = u[i];
        }
        v[kSlotXp] = RateOf<K>(0, t, u);
    }
}

// The derivatives at the start of a one-, two- or three-variable run come from the equation
// texts (for a built-in form, the texts that the form selection wrote).
template <SystemKind K> void CTrajectoryCalc::StartDerivatives()
{
    if (!m_p.m_pParser) { // no parser: the form itself gives them
        double u[3] = {m_v[kSlotX], m_v[kSlotY], m_v[kSlotZ]}, r[3] = {};
        RatesAt<K>(m_v[kSlotT], u, r);
        m_v[kSlotXp] = r[0];
        m_v[kSlotYp] = r[1];
        m_v[kSlotZp] = r[2];
        return;
    }
    m_v[kSlotXp] = Replay(1);
    if constexpr (Dim<K>() >= 2)
        m_v[kSlotYp] = Replay(2);
    if constexpr (Dim<K>() >= 3)
        m_v[kSlotZp] = Replay(3);
}

// Calls f with the kind as a compile-time constant.
template <class F> static void ForKind(SystemKind kind, F&& f)
{
    switch (kind) {
    case SystemKind::Newtonian:
        return f(std::integral_constant<SystemKind, SystemKind::Newtonian>{});
    case SystemKind::OneVariable:
        return f(std::integral_constant<SystemKind, SystemKind::OneVariable>{});
    case SystemKind::TwoVariable:
        return f(std::integral_constant<SystemKind, SystemKind::TwoVariable>{});
    case SystemKind::ThreeVariable:
        return f(std::integral_constant<SystemKind, SystemKind::ThreeVariable>{});
    }
}

void CTrajectoryCalc::StepEuler()
{
    ForKind(m_p.m_kind, [this](auto k) { EulerKind<decltype(k)::value>(); });
}

void CTrajectoryCalc::StepRKF()
{
    ForKind(m_p.m_kind, [this](auto k) { RKFKind<decltype(k)::value>(); });
}

void CTrajectoryCalc::Run(ICalcSink& sink)
{
    ForKind(m_p.m_kind, [this, &sink](auto k) { RunKind<decltype(k)::value>(sink); });
}

template <SystemKind K> void CTrajectoryCalc::RunKind(ICalcSink& sink)
{
    const bool typed = m_p.m_nModelForm == 0;
    if (!ColumnsUsable() || !StepIsUsable(m_p.m_nIntegrator, m_dChronon) ||
        (typed && !m_p.m_pParser)) {
        m_bRefused = true;
        sink.Done(m_nIndex, m_nCount);
        return;
    }
    TakeColumns(); // as they are now, checked just above
    if (m_dChronon <= 0)
        m_dChronon = 0.001; // the fifth-order step's substitute, for the whole run
    const double dt = m_dChronon;
    CParser* parser = m_p.m_pParser;

    // About thirty progress steps, counted from this run's start time.
    const double togo = (m_p.m_dRunTimeLimit - m_v[kSlotT]) / dt / 30;
    const std::int64_t n =
        togo >= 1 ? static_cast<std::int64_t>(std::min(togo, 9.0e18)) : std::int64_t{0};

    HoldTable(); // let go around reports and pauses, and at the end
    if constexpr (K == SystemKind::Newtonian) {
        m_dXpBefore = m_v[kSlotXp];
        if (m_v[kSlotT] == 0) {
            m_nStepCount = 0;
            StoreSample(sink);
        }
        if (parser) {
            parser->m_bScan = 0;
            parser->m_nList = 1;
            parser->m_dDT = dt;
        }
    } else {
        if (parser)
            parser->m_bScan = 0;
        LoadParserVars();
        StartDerivatives<K>();
        if (m_eError != EvalError::None) {
            LetGoTable();
            sink.Done(m_nIndex, m_nCount);
            return;
        }
        if (m_v[kSlotT] == 0) {
            m_nStepCount = 0;
            StoreSample(sink);
        }
        LoadParserVars();
    }

    const bool delayed = m_p.m_bDelayedVarUsed && parser;
    const CTableGuard* const guard = m_p.m_pTableGuard;
    std::int64_t sinceProgress = 0;
    unsigned sinceYield = 0;
    while (m_v[kSlotT] < m_p.m_dRunTimeLimit) {
        if (sink.ShouldStop())
            break;
        if (K == SystemKind::Newtonian && m_p.m_nStepDelay > 0) {
            Unlocked([this] {
                std::this_thread::sleep_for(std::chrono::milliseconds(m_p.m_nStepDelay));
            });
        } else if (++sinceYield == kYieldEvery) {
            // A reader waits at most this many steps for the table.
            sinceYield = 0;
            if (guard && guard->ReaderWaiting())
                Unlocked([] {});
            std::this_thread::yield();
        }
        if (parser) {
            parser->m_dT = m_v[kSlotT];
            if (delayed) {
                parser->m_dXDelayed = m_dXDelayed;
                parser->m_dYDelayed = m_dYDelayed;
                parser->m_dZDelayed = m_dZDelayed;
            }
        }
        double before[kSlots];
        std::copy(m_v, m_v + kSlots, before);
        if (m_p.m_nIntegrator != 0) {
            RKFKind<K>();
            if constexpr (K == SystemKind::Newtonian) {
                m_v[kSlotXpp] = (m_v[kSlotXp] - m_dXpBefore) / dt;
                m_dXpBefore = m_v[kSlotXp];
            }
        } else {
            EulerKind<K>();
        }
        if (m_eError != EvalError::None) {
            std::copy(before, before + kSlots, m_v); // the run continues from here, if at all
            break;
        }
        Track();
        if (delayed)
            UpdateDelayed();
        m_v[kSlotT] += dt;
        if (++m_nStepCount % m_p.m_nTableInterval == 0)
            StoreSample(sink);
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
