#include "CalcTestUtil.h"

#include "common/MessageRecorder.h"
#include "common/Near.h"
#include "model/core/ModelForms.h"
#include "parser/Parser.h"
#include "platform/base/Event.h"

#include <atomic>
#include <cmath>
#include <limits>
#include <numbers>
#include <thread>

#include <gtest/gtest.h>

namespace {

// x' = sin x from x0: x(t) = 2 atan(tan(x0 / 2) e^t).
double SinClosedForm(double x0, double t)
{
    return 2 * std::atan(std::tan(x0 / 2) * std::exp(t));
}

// The default Newtonian model, x'' = cos t - x - x' from rest: sin t - 2/sqrt3 e^(-t/2) sin(wt).
double NewtonianClosedForm(double t)
{
    const double w = std::sqrt(3.0) / 2;
    return std::sin(t) - std::exp(-t / 2) * std::sin(w * t) / w;
}

TEST(Trajectory, TableIntervalAndContinuedRun)
{
    CModelCore m(SystemKind::TwoVariable);
    NewModel(m);
    m.m_nTableInterval = 4;
    m.m_bPlotConcurrent = 1;
    CountingSink first;
    first.stopAfterPolls = 10; // stopped after ten steps
    RunModel(m, first);
    EXPECT_EQ(first.doneCount, 3); // the start row, then after steps 4 and 8
    EXPECT_NE(m.m_dT, 0);
    EXPECT_EQ(m.m_nStepCount, 10);
    CountingSink second;
    auto calc = RunModel(m, second);
    // Rows after steps 12, 16, ... 100: the phase continues from the run before.
    EXPECT_EQ(calc->m_nStepCount, 101);
    EXPECT_EQ(second.doneCount, 3 + 23);
    EXPECT_EQ(second.stored.front(), std::make_pair(3, RowCount{3}));
    // The progress interval comes from the time to go (a hair under 90 steps), not the whole
    // run: 91 / 2.
    EXPECT_EQ(second.progress, 45);
    // Row 3 was stored at step 12.
    EXPECT_TRUE(Near(m.m_arrTable[kSlotT][3], 12 * m.m_dChronon, 1e-12));
}

// A wrapped ring is read from its oldest row; a ring filled exactly counts as wrapped.
TEST(Trajectory, RingWrapsAndReadersStartAtTheOldestRow)
{
    struct Case
    {
        int ring, interval, perCycle, rows, index, oldestStep;
    };
    // Default time base: 102 rows; interval 3 of 99 chronons a cycle: 1 + 33 rows.
    for (const Case& c : {Case{30, 1, 100, 102, 12, 72}, Case{34, 3, 99, 34, 0, 0}}) {
        CModelCore m(SystemKind::OneVariable);
        NewModel(m);
        m.m_nTableRows = c.ring;
        m.m_nTableInterval = c.interval;
        m.m_nChrononsPerCycle = c.perCycle;
        ComputeDerivedValues(m, SystemKind::OneVariable);
        CountingSink sink;
        RunModel(m, sink);
        ASSERT_EQ(sink.doneCount, c.rows);
        EXPECT_EQ(sink.doneIndex, c.index);
        EXPECT_TRUE(m.m_bTableWrapped);
        EXPECT_EQ(m.m_nTableIndex, c.index);
        EXPECT_TRUE(Near(m.m_arrTable[kSlotT][c.index], c.oldestStep * m.m_dChronon, 1e-12));
    }
}

// Runs N steps of step h on a model and returns the final state.
struct Final
{
    double t, x, xp, y;
};
Final RunSteps(CModelCore& m, double h, int steps)
{
    m.m_dChronon = h;
    m.m_dRunTimeLimit = (steps - 0.5) * h;
    m.m_nTableRows = std::max(30, steps + 2);
    m.m_dT = 0;
    CountingSink sink;
    CALCPARAMS p = Prepared(m);
    CTrajectoryCalc calc(p);
    calc.Run(sink);
    EXPECT_EQ(calc.m_nStepCount, steps);
    return {calc.m_v[kSlotT], calc.m_v[kSlotX], calc.m_v[kSlotXp], calc.m_v[kSlotY]};
}

// Models with closed forms, one per kind: the error at t = 2 shrinks by 2^order per halving.
struct ClosedFormCase
{
    SystemKind kind;
    std::vector<std::string> texts; // rates (Newtonian: the default forces)
    double x0, y0, z0;
    double (*exact)(double t); // x(t)
};

TEST(Trajectory, ConvergenceOrderAsTheStepHalves)
{
    auto cosT = [](double t) { return std::cos(t); };
    auto sinFrom001 = [](double t) { return SinClosedForm(0.01, t); };
    const ClosedFormCase models[] = {
        {SystemKind::Newtonian, {}, 0, 0, 0, NewtonianClosedForm},
        {SystemKind::OneVariable, {"sin(x)"}, 0.01, 0, 0, sinFrom001},
        {SystemKind::TwoVariable, {"y", "-x"}, 1, 0, 0, cosT},
        {SystemKind::ThreeVariable, {"y+z-exp(-t)", "-x", "-z"}, 1, 0, 1, cosT},
    };
    struct Integrator
    {
        int id;
        double h;
        double ratio; // 2^order
    };
    const Integrator integrators[] = {{0, 0.02, 2}, {1, 0.1, 32}};
    for (const auto& in : integrators) {
        for (const auto& model : models) {
            CModelCore m(model.kind);
            m.SetDefaults();
            for (std::size_t i = 0; i < model.texts.size(); ++i)
                (i == 0 ? m.m_strXRate : i == 1 ? m.m_strYRate : m.m_strZRate) = model.texts[i];
            m.m_dInitX = model.x0, m.m_dInitY = model.y0, m.m_dInitZ = model.z0;
            m.AllocateTable();
            m.EvaluateParameters();
            m.CompileEquations();
            m.m_nIntegrator = in.id;
            auto error = [&](double h) {
                const Final f = RunSteps(m, h, static_cast<int>(std::lround(2.0 / h)));
                return std::fabs(f.x - model.exact(f.t));
            };
            const double ratio = error(in.h) / error(in.h / 2);
            EXPECT_TRUE(Near(ratio, in.ratio, 0.25))
                << "integrator " << in.id << " kind " << static_cast<int>(model.kind);
        }
    }
}

TEST(Trajectory, DefaultRunsOfEachKindCountStepsRowsAndProgress)
{
    struct Case
    {
        SystemKind kind;
        int steps, rows, progress;
    };
    // rtl 2 pi: 101 steps (rounding), n = 3; three-variable rtl 25: 398 steps, n = 13.
    const Case cases[] = {{SystemKind::Newtonian, 101, 102, 33},
                          {SystemKind::OneVariable, 101, 102, 33},
                          {SystemKind::TwoVariable, 101, 102, 33},
                          {SystemKind::ThreeVariable, 398, 399, 30}};
    for (const auto& c : cases)
        for (const BOOL concurrent : {FALSE, TRUE}) {
            CModelCore m(c.kind);
            NewModel(m);
            m.m_bPlotConcurrent = concurrent;
            CountingSink sink;
            auto calc = RunModel(m, sink);
            ASSERT_TRUE(calc);
            EXPECT_EQ(calc->m_nStepCount, c.steps);
            EXPECT_EQ(sink.doneCount, c.rows);
            EXPECT_EQ(sink.progress, c.progress);
            EXPECT_EQ(m.m_dT, 0); // the run time was reached: the next run starts afresh
            EXPECT_EQ(m.m_dX, m.m_dInitX);
            // A concurrent run reports each row as it stores it; one left alone reports none.
            ASSERT_EQ(sink.rows, concurrent ? c.rows : 0);
            for (int i = 0; i < sink.rows; ++i)
                EXPECT_EQ(sink.stored[i], std::make_pair(i, RowCount{i}));
        }
}

// The Newtonian default against its closed form; a stored rate is the rate at the stored state.
TEST(Trajectory, DefaultRunsMatchClosedForms)
{
    CModelCore n(SystemKind::Newtonian), one(SystemKind::OneVariable);
    for (CModelCore* m : {&n, &one}) {
        NewModel(*m);
        CountingSink sink;
        RunModel(*m, sink);
    }
    for (int row : {1, 10, 50, 101}) {
        const double t = n.m_arrTable[kSlotT][row];
        EXPECT_TRUE(Near(n.m_arrTable[kSlotX][row], NewtonianClosedForm(t), 2e-7)) << row;
        const double x = one.m_arrTable[kSlotX][row];
        EXPECT_TRUE(Near(x, SinClosedForm(0.01, one.m_arrTable[kSlotT][row]), 1e-8)) << row;
        EXPECT_TRUE(Near(one.m_arrTable[kSlotXp][row], std::sin(x), 1e-12)) << row;
    }
}

// First-order steps bit for bit. Two-variable default (x' = y, y' = -x - .1 y from (5, 0)): y
// is advanced with the new x, then x' from both new values. Newtonian default at rest: x'
// first, then x with the new x', then x'' = cos t - x - x'.
TEST(Trajectory, FirstRowsOfFirstOrderSteps)
{
    CModelCore m(SystemKind::TwoVariable), n(SystemKind::Newtonian);
    for (CModelCore* c : {&m, &n}) {
        NewModel(*c);
        c->m_nIntegrator = 0;
        CountingSink sink;
        RunModel(*c, sink);
    }
    const double dt = kTwoPi / 100;
    double x = 5, y = 0, xp = 0, yp = -5;
    double nx = 0, nxp = 0, nxpp = 1, t = 0;
    for (int row = 1; row <= 3; ++row, t += dt) {
        x = x + dt * xp;
        yp = -x - .1 * y;
        y = y + dt * yp;
        xp = y;
        nxp = nxp + dt * nxpp;
        nx = nx + dt * nxp;
        nxpp = std::cos(t) - nx - nxp;
        const auto& T = m.m_arrTable;
        EXPECT_EQ(T[kSlotX][row], x) << row;
        EXPECT_EQ(T[kSlotY][row], y) << row;
        EXPECT_EQ(T[kSlotXp][row], xp) << row;
        EXPECT_EQ(T[kSlotYp][row], yp) << row;
        EXPECT_EQ(n.m_arrTable[kSlotX][row], nx) << row;
        EXPECT_EQ(n.m_arrTable[kSlotXpp][row], nxpp) << row;
    }
}

// A built-in form and the texts that choosing it writes give the same rows.
TEST(Trajectory, FormsMatchTheirTexts)
{
    struct Case
    {
        SystemKind kind;
        int form;
        std::vector<std::string> params;
    };
    const Case cases[] = {
        {SystemKind::Newtonian, 1, {".3", "1", ".2", "0"}},
        {SystemKind::Newtonian, 2, {"1", "1", ".1", "0"}},
        {SystemKind::Newtonian, 3, {"1", "1", "1", "0"}},
        {SystemKind::OneVariable, 1, {".1", ".5", "-1", ".2"}},
        {SystemKind::OneVariable, 2, {"-1", ".5", "1", ".1"}},
        {SystemKind::OneVariable, 3, {"1", "2", "0", "0"}},
        {SystemKind::OneVariable, 4, {"1", "2", "-.5", ".1"}},
        {SystemKind::TwoVariable, 1, {"-1", ".5", "-1", ".5"}},
        {SystemKind::TwoVariable, 2, {"-1", ".1", "-.1", "-1"}},
        {SystemKind::TwoVariable, 3, {"1", ".1", "-.1", "-1"}},
        {SystemKind::TwoVariable, 4, {"1", "-.5", "-1", ".2"}},
        {SystemKind::TwoVariable, 5, {"0", "1", "-1", "-.1"}},
        {SystemKind::ThreeVariable, 1, {".2", ".2", "5.7", "0"}},
        {SystemKind::ThreeVariable, 2, {"10", "28", "2.6", "0"}},
        {SystemKind::ThreeVariable, 3, {"10", "28", "2.6", "3"}},
    };
    for (const auto& c : cases) {
        const StandardForm& sf = StandardForms(c.kind)[c.form - 1];
        for (int integrator : {0, 1}) {
            auto make = [&](int form) {
                auto m = std::make_unique<CModelCore>(c.kind);
                m->SetDefaults();
                m->m_strParamA = c.params[0], m->m_strParamB = c.params[1];
                m->m_strParamC = c.params[2], m->m_strParamD = c.params[3];
                m->m_dPhase = 0.3;
                m->m_dInitX = 0.5, m->m_dInitXp = 0.2, m->m_dInitY = 1, m->m_dInitZ = 0.1;
                TypeFormTexts(*m, c.form);
                m->m_nModelForm = form;
                m->m_nIntegrator = integrator;
                m->AllocateTable();
                m->EvaluateParameters();
                m->CompileEquations();
                CountingSink sink;
                RunModel(*m, sink);
                return m;
            };
            auto typed = make(0);
            auto form = make(c.form);
            for (int s = 0; s < kSlots; ++s)
                for (int row = 0; row < 102; ++row)
                    ASSERT_EQ(typed->m_arrTable[s].empty() ? 0 : typed->m_arrTable[s][row],
                              form->m_arrTable[s].empty() ? 0 : form->m_arrTable[s][row])
                        << sf.name << " integrator " << integrator << " slot " << s << " row "
                        << row;
        }
    }
}

TEST(Trajectory, PendulumPulseIsTakenAtTheStartOfTheStep)
{
    // d = dt: a pulse at every step, so x'' = a at rest whatever the stage times.
    CModelCore m(SystemKind::Newtonian);
    NewModel(m);
    m.m_nModelForm = static_cast<int>(NewtonianModel::Pendulum);
    m.m_nIntegrator = 0;
    CALCPARAMS p = Prepared(m);
    p.m_dParamA = 2, p.m_dParamB = 0, p.m_dParamC = 0, p.m_dParamD = m.m_dChronon;
    CTrajectoryCalc calc(p);
    CountingSink sink;
    calc.Run(sink);
    for (int row = 1; row < 20; ++row)
        EXPECT_EQ(m.m_arrTable[kSlotXpp][row], 2.0) << row;
}

// A stop ends the run after the step in progress: asked at every step when rows are handed
// over, every 256 steps when the run is left to itself. A run whose limit is its start stores
// the start row alone, with the start derivatives in it.
TEST(Trajectory, StopFinishesTheCurrentStep)
{
    struct Case
    {
        BOOL concurrent;
        int stopAfterPolls; // -1: never
        double limit;       // the run time limit, in steps
        int steps, progress;
    };
    for (const Case c : {Case{1, 7, 1000, 7, 0}, Case{0, 2, 1000, 512, 15}, Case{0, 0, 1000, 0, 0},
                         Case{0, -1, 0, 0, 0}}) {
        SCOPED_TRACE(c.steps);
        CModelCore m(SystemKind::ThreeVariable);
        NewModel(m);
        m.m_bPlotConcurrent = c.concurrent;
        m.m_dRunTimeLimit = c.limit * m.m_dChronon;
        CountingSink sink;
        sink.stopAfterPolls = c.stopAfterPolls;
        auto calc = RunModel(m, sink);
        EXPECT_EQ(calc->m_nStepCount, c.steps);
        EXPECT_EQ(sink.doneIndex, c.steps + 1);
        EXPECT_EQ(sink.doneCount, c.steps + 1);
        EXPECT_EQ(sink.progress, c.progress);
        EXPECT_TRUE(Near(m.m_dT, c.steps * m.m_dChronon, 1e-12)); // the state to continue from
        EXPECT_EQ(m.m_dX, calc->m_v[kSlotX]);
        EXPECT_EQ(m.m_arrTable[kSlotZp][0], 2); // z' = b at the start
    }
}

TEST(Trajectory, UnusableStepsAreRefused)
{
    MessageRecorder recorder;
    std::vector<std::string>& shown = recorder.messages;
    struct Case
    {
        int integrator;
        double dt;
        bool runs;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {{0, 0, false},   {0, -0.1, false}, {0, nan, false},
                          {1, nan, false}, {1, inf, false},  {1, 0, true}};
    for (const auto& c : cases) {
        CModelCore m(SystemKind::OneVariable);
        NewModel(m);
        m.m_nIntegrator = c.integrator;
        m.m_dChronon = c.dt;
        CALCPARAMS p;
        bool allocated;
        shown.clear();
        EXPECT_EQ(m.PrepareRun(p, allocated), c.runs);
        EXPECT_EQ(shown.size(), c.runs ? 0u : 1u);
        // The loop refuses on its own too.
        p = CALCPARAMS{};
        p.m_kind = SystemKind::OneVariable;
        for (VarSlot s : {kSlotT, kSlotX, kSlotXp})
            p.m_pColumns[s] = &m.m_arrTable[s];
        p.m_pParser = m.m_pParser.get();
        p.m_nTableRows = m.m_nTableRows;
        p.m_dRunTimeLimit = 1;
        p.m_dChronon = c.dt;
        p.m_nIntegrator = c.integrator;
        CTrajectoryCalc calc(p);
        CountingSink sink;
        calc.Run(sink);
        EXPECT_EQ(calc.Refused(), !c.runs);
        EXPECT_EQ(sink.done, 1);
        if (c.runs) {
            EXPECT_EQ(calc.m_dChronon, 0.001); // the substitute, for the whole run
            EXPECT_EQ(calc.m_nStepCount, 1000);
        } else {
            EXPECT_EQ(sink.doneCount, 0);
        }
    }
}

TEST(Trajectory, RunWithoutTableIsRefused)
{
    CModelCore m(SystemKind::OneVariable);
    NewModel(m);
    CALCPARAMS p = Prepared(m);
    m.m_arrTable[kSlotX].clear(); // as after a failed allocation
    CTrajectoryCalc calc(p);
    CountingSink sink;
    calc.Run(sink);
    EXPECT_TRUE(calc.Refused());
}

TEST(Trajectory, DelayedValueLookups)
{
    std::vector<double> col(100);
    for (int i = 0; i < 100; ++i)
        col[i] = i;
    struct Case
    {
        int index, count, delay;
        double expected;
    };
    const Case cases[] = {
        {3, 3, 5, 0},      // fewer rows than the delay: the oldest row
        {3, 3, 1, 2},      // delay 1 reads the newest row
        {2, 250, 5, 97},   // wrapped: index 2, delay 5 reads row tr - 3
        {2, 250, 1000, 2}, // longer than the ring: the oldest row there is
        {2, 250, 0, 1},    // no delay reads the newest row
        {2, 250, -4, 1},
    };
    for (const auto& c : cases) {
        CALCPARAMS p;
        p.m_kind = SystemKind::OneVariable;
        p.m_pColumns[kSlotT] = p.m_pColumns[kSlotX] = p.m_pColumns[kSlotXp] = &col;
        p.m_nTableRows = 100;
        p.m_nIndex = c.index;
        p.m_nCount = c.count;
        CTrajectoryCalc calc(p);
        EXPECT_EQ(calc.DelayedValue(kSlotX, c.delay), c.expected) << c.index << " " << c.delay;
    }
}

// An equation that has no value part way through a run ends the run there, before the failed
// step is stored; the run shows nothing itself and leaves its message to the document.
TEST(Trajectory, AnEquationWithoutAValueEndsTheRun)
{
    struct Case
    {
        SystemKind kind;
        std::string CModelSettings::*equation;
        const char* text;
        int integrator;
    };
    const Case cases[] = {
        {SystemKind::Newtonian, &CModelSettings::m_strEquation, "sqrt(1-t)", 0},
        {SystemKind::Newtonian, &CModelSettings::m_strEquation, "sqrt(1-t)", 1},
        {SystemKind::OneVariable, &CModelSettings::m_strXRate, "sqrt(1-t)", 0},
        {SystemKind::TwoVariable, &CModelSettings::m_strYRate, "log(1-t)", 1},
        {SystemKind::ThreeVariable, &CModelSettings::m_strZRate, "2^(100*t)", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CModelCore m(c.kind);
        NewModel(m);
        m.*c.equation = c.text;
        m.m_nIntegrator = c.integrator;
        m.m_dRunTimeLimit = 2;
        MessageRecorder msgs;
        ASSERT_TRUE(m.CompileEquations());
        CountingSink sink;
        auto calc = RunModel(m, sink);
        ASSERT_TRUE(calc);
        EXPECT_TRUE(msgs.messages.empty());
        EXPECT_EQ(sink.done, 1);
        EXPECT_GT(m.m_dT, 0.5);
        // Stopped at the step that failed (a first-order step takes its rate at the start of
        // the step), not run to the limit.
        const double end = 1.0 + m.m_dChronon + 1e-9;
        EXPECT_LE(m.m_dT, end);
        const std::string shown = m.RunErrorMessage(*calc);
        EXPECT_EQ(shown.rfind("The system differential equation:\n[", 0), 0u) << shown;
        EXPECT_NE(shown.find(c.text), std::string::npos) << shown;
        for (int row = 0; row < m.m_nTableCount; ++row)
            ASSERT_LE(m.m_arrTable[kSlotT][row], end) << row;
        // The run ends on the row as it was before the failed step: the last one stored.
        ASSERT_EQ(m.m_nTableInterval, 1);
        const int last = (calc->m_nIndex + m.m_nTableRows - 1) % m.m_nTableRows;
        for (VarSlot s : VarsOf(c.kind).Columns())
            EXPECT_EQ(calc->m_v[s], m.m_arrTable[s][last]) << s;
    }
}

// A replay that overflows the parser's stack inside a step (the table is held then) shows no
// message box and waits for nobody: the run ends and the document shows the message.
TEST(Trajectory, AStackOverflowInAStepShowsNothingDuringTheRun)
{
    CModelCore m(SystemKind::OneVariable);
    NewModel(m);
    CALCPARAMS p = Prepared(m);
    ASSERT_NE(p.m_pTableGuard, nullptr);
    // A recording no compilation lets through: eighteen nested parentheses around x.
    CParser& parser = *p.m_pParser;
    parser.SetCompiledReplay(false);
    int n = 0;
    auto put = [&](int code) { parser.m_aTokenList1[n++].nCode = code; };
    for (int i = 0; i < 18; ++i)
        put(TK_LPAREN);
    parser.m_aTokenList1[n].value.pmVariable = &CParser::m_dX;
    put(TK_VARIABLE);
    for (int i = 0; i < 18; ++i)
        put(TK_RPAREN);
    put(TK_END);
    MessageRecorder msgs;
    CTrajectoryCalc calc(p);
    CountingSink sink;
    calc.Run(sink);
    EXPECT_TRUE(msgs.messages.empty());
    EXPECT_EQ(sink.done, 1);
    EXPECT_EQ(sink.doneCount, 0); // the start derivative failed: nothing stored
    EXPECT_EQ(m.RunErrorMessage(calc), kStackOverloadMessage);
}

// Before any row is stored, a delayed value is the start state: an equation that reads x:
// starts its first row as the same equation with x does.
TEST(Trajectory, DelayedValuesStartAtTheStartState)
{
    struct Case
    {
        SystemKind kind;
        std::string CModelSettings::*equation;
        const char* plain;
        const char* delayed;
        int slot; // the first row's derivative
    };
    const Case cases[] = {
        {SystemKind::Newtonian, &CModelSettings::m_strEquation, "cos(t)-b*x",
         "cos(t)-b*x:", kSlotXpp},
        {SystemKind::OneVariable, &CModelSettings::m_strXRate, "-3*x", "-3*x:", kSlotXp},
        {SystemKind::TwoVariable, &CModelSettings::m_strYRate, "x-y", "x:-y:", kSlotYp},
        {SystemKind::ThreeVariable, &CModelSettings::m_strZRate, "z+x", "z:+x:", kSlotZp},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.delayed);
        double first[2] = {};
        for (int i = 0; i < 2; ++i) {
            CModelCore m(c.kind);
            NewModel(m);
            m.m_nXDelay = m.m_nYDelay = m.m_nZDelay = 7;
            ComputeDerivedValues(m, c.kind); // delay times of seven steps
            m.m_dX = m.m_dInitX = 1;
            m.*c.equation = i == 0 ? c.plain : c.delayed;
            ASSERT_TRUE(m.CompileEquations());
            CountingSink sink;
            ASSERT_TRUE(RunModel(m, sink));
            first[i] = m.m_arrTable[c.slot][0];
        }
        EXPECT_EQ(first[1], first[0]);
    }
}

// x' = -x: with x: the value one row back. The delayed value is taken before the step's row is
// stored, so delay 1 is the newest row at the start of the step: row k's rate reads row k - 2
// (the start value before). A run that has stored two billion rows goes on counting: its ring
// position, the rows the readers see and the delayed values stay right, and the next Run is not
// refused. The count starts near 2^31 instead of storing all those rows.
TEST(Trajectory, DelayedRowsAndRowCountsPastTwoToTheThirtyOne)
{
    const std::int64_t kStart = (std::int64_t{1} << 31) - 3;
    const int kRows = 100;
    for (const std::int64_t start : {std::int64_t{0}, kStart, std::int64_t{1} << 33}) {
        SCOPED_TRACE(start);
        CModelCore m(SystemKind::OneVariable);
        NewModel(m);
        m.m_nTableRows = kRows;
        m.AllocateTable();
        m.m_strXRate = "-x:";
        m.m_nXDelay = 1;
        m.m_nIntegrator = 0;
        m.m_bPlotConcurrent = 1;
        m.m_dX = m.m_dInitX = 1;
        ASSERT_TRUE(m.CompileEquations());
        CALCPARAMS p = Prepared(m);
        EXPECT_TRUE(p.m_bDelayedVarUsed);
        // As if the ring had wrapped many times: the next row to write is the count's place.
        p.m_nCount = start;
        p.m_nIndex = static_cast<int>(start % kRows);
        p.m_dRunTimeLimit = 9.5 * p.m_dChronon; // ten steps
        CTrajectoryCalc calc(p);
        CountingSink sink;
        calc.Run(sink);
        ASSERT_FALSE(calc.Refused());
        const std::int64_t stored = 11; // the start row and ten steps
        EXPECT_EQ(sink.doneCount, start + stored);
        EXPECT_EQ(sink.doneIndex, (start + stored) % kRows);
        ASSERT_EQ(sink.stored.size(), static_cast<size_t>(stored));
        for (std::size_t i = 0; i < sink.stored.size(); ++i) {
            EXPECT_EQ(sink.stored[i].second, start + static_cast<std::int64_t>(i));
            EXPECT_EQ(sink.stored[i].first, (start + static_cast<std::int64_t>(i)) % kRows);
        }
        // Across the end of the ring as anywhere else.
        const auto& X = m.m_arrTable[kSlotX];
        const auto& XP = m.m_arrTable[kSlotXp];
        if (start == 0) {
            EXPECT_EQ(X[1], X[0] + p.m_dChronon * XP[0]);
            EXPECT_EQ(XP[1], -X[0]);
        }
        for (std::int64_t n = start + 2; n < start + stored; ++n)
            EXPECT_EQ(XP[n % kRows], -X[(n - 2) % kRows]) << n;

        m.TakeRunResults(calc, sink.doneIndex, sink.doneCount);
        EXPECT_EQ(m.m_nTableCount, start + stored);
        EXPECT_EQ(m.m_bTableWrapped != 0, start > 0);
        {
            CTableReadLock lock(m);
            EXPECT_EQ(lock.Ring().count, start + stored);
            EXPECT_EQ(lock.Ring().index, start > 0 ? (start + stored) % kRows : 0); // oldest
        }
        // Run again: continued from where it stopped.
        m.m_dT = calc.m_v[kSlotT];
        m.m_dRunTimeLimit = m.m_dT + 5 * m.m_dChronon;
        CountingSink again;
        auto next = RunModel(m, again);
        ASSERT_TRUE(next);
        EXPECT_FALSE(next->Refused());
        EXPECT_GT(again.doneCount, start + stored);
    }
}

TEST(Trajectory, ExtentsStartFromTheBounds)
{
    CModelCore m(SystemKind::OneVariable);
    NewModel(m);
    m.m_strXRate = "-1";
    m.m_dInitX = -5;
    m.CompileEquations();
    CountingSink sink;
    RunModel(m, sink);
    EXPECT_EQ(m.m_dMaxX, -5); // an all-negative variable has a negative maximum
    EXPECT_EQ(m.m_dMaxXp, -1);
    EXPECT_EQ(m.m_dMinXp, -1);
}

TEST(ModelForms, Pulse)
{
    struct Case
    {
        double d, t, dt;
        int expected;
    };
    const Case cases[] = {
        {0, 1, 0.1, 0},    {-1, 0, 0.1, 0},  {0.1, 0.37, 0.1, 1}, {0.1 + 5e-7, 3, 0.1, 1},
        {2, 4.05, 0.1, 1}, {2, 4.5, 0.1, 0}, {2, -0.05, 0.1, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Pulse(c.d, c.t, c.dt), c.expected) << c.d << " " << c.t;
}

TEST(ModelForms, BuildEquation)
{
    struct Case
    {
        const char *applied, *restoring, *drag, *expected;
    };
    const Case cases[] = {
        {"a*cos(af*t+pa)", "-b*x", "-c*x'", "a*cos(af*t+pa)-b*x-c*x'"},
        {"a*cos(af*t+pa)", "b*x", "-c*x'", "a*cos(af*t+pa)+b*x-c*x'"},
        {"a", "", "+c", "a++c"},
        {"", "x", "x'", "+x+x'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(BuildEquation(c.applied, c.restoring, c.drag), c.expected);
}

// The document's side of a run: stop and acknowledge events, the loop on a worker thread.
struct ThreadedSink : ICalcSink
{
    CEvent stop, done, ack, firstRow;
    std::atomic<int> rowsSeen{0};
    int index = -1; // handed over by done/ack
    RowCount count = -1;

    bool ShouldStop() override { return stop.Lock(0); }
    void RowStored(int, RowCount) override
    {
        if (++rowsSeen == 50)
            firstRow.SetEvent();
    }
    void Done(int nIndex, RowCount nCount) override
    {
        index = nIndex;
        count = nCount;
        done.SetEvent();
        ack.Lock(); // the document reads the results while the run waits
    }
};

TEST(Trajectory, RunsOnAWorkerThreadUntilStopped)
{
    CModelCore m(SystemKind::ThreeVariable);
    NewModel(m);
    m.m_dRunTimeLimit = 1e9; // runs until stopped
    m.m_bPlotConcurrent = 1;
    CALCPARAMS p = Prepared(m);
    CTrajectoryCalc calc(p);
    ThreadedSink sink;
    std::thread worker([&] { calc.Run(sink); });
    ASSERT_TRUE(sink.firstRow.Lock(60000));
    m.CheckExpression("x+1", nullptr); // the document's parser stays usable during the run
    sink.stop.SetEvent();
    ASSERT_TRUE(sink.done.Lock(60000));
    m.TakeRunResults(calc, sink.index, sink.count);
    sink.ack.SetEvent();
    worker.join();
    EXPECT_GE(m.m_nTableCount, 50);
    EXPECT_EQ(m.m_nTableCount, sink.rowsSeen.load());
    EXPECT_NE(m.m_dT, 0); // stopped: the next run continues
    EXPECT_EQ(m.m_nStepCount, m.m_nTableCount - 1);
}

} // namespace
