#pragma once
// The trajectory run of a model: one loop for the four kinds, stepping from the start state to
// the run time limit with a fixed step (Steppers.h, through the kind's right-hand side in
// KindRates.h) and storing every ti-th step as a row of the table ring.
//
// Contract between the document and the run (read this before touching either side):
// - The document fills a CALCPARAMS on its own thread, constructs a CTrajectoryCalc from it
//   (the constructor copies every field) and calls Run on a worker thread. Between the
//   constructor and the end of Run the document does not touch:
//     * the parser that m_pParser names (the run sets its variables and replays its token
//       lists 1 to 3; the document hands the run a parser of its own or keeps out of it);
//     * the table columns m_pColumns (the run writes rows in place and reads back the rows of
//       the delayed values). Their size must stay at least m_nTableRows.
//   Everything else the run touches is its own copy. With m_pTableGuard set, the run writes
//   the columns under that lock and publishes its ring position with it (TableGuard.h);
//   readers on other threads take the lock while they read.
// - The run reports through an ICalcSink, on the worker thread:
//     ShouldStop()  polled before the first step and then every 256 steps, or before every
//                   step when rows are handed over (m_bPlotConcurrent) or steps pause; true
//                   ends the run after the current step.
//                   It must not wait for another thread (the table lock is held then).
//     RowStored(i, n) after row i was written, only when m_bPlotConcurrent; n is the number of
//                   rows stored before it. The run waits for the call to return, so readers
//                   may look at the columns inside it.
//     ProgressStep() about thirty times per run (every n-th step, n = steps to go / 30).
//     Done(i, n)     once at the end: i the next row to write, n the rows stored. The state,
//                   extents and step counter below are final from then on; the object must
//                   outlive the document's reading of them.
// - A run whose step is not usable (zero or negative without a substitute, not finite) or
//   whose table columns are not allocated stores nothing: it reports Done at once and
//   Refused() is true. StepIsUsable lets the document refuse such a run before starting it;
//   m_dChronon tells the step that the run used (StepOfRun).
// - An equation that has no value at a step (a domain error, or a replay that fails) ends the
//   run before that step is stored and is reported in m_eError; the run shows no message (it
//   may hold the table lock), the document does once the run has ended.
// - The step counter and the delayed-variable flag belong to the run (fields of CALCPARAMS):
//   a fresh run (t = 0) counts from 0, a continued one from the value the document kept.
#include "model/core/KindVars.h"
#include "model/core/StepPacer.h"
#include "model/core/Steppers.h"
#include "model/core/TableGuard.h"

#include <cstdint>
#include <vector>

struct CALCPARAMS
{
    SystemKind m_kind = SystemKind::Newtonian;
    // The document's table columns by variable (null where the kind has no column).
    std::vector<double>* m_pColumns[kSlots] = {};
    CTableGuard* m_pTableGuard = nullptr; // the columns' lock, or null when nobody reads
    CParser* m_pParser = nullptr;         // with the equations recorded in lists 1 to 3
    int m_nTableRows = 0;
    // Start state: Newtonian x, x', x''; one-variable x, x'; two- and three-variable x, y, z.
    double m_dX = 0, m_dXp = 0, m_dXpp = 0, m_dY = 0, m_dZ = 0;
    double m_dT = 0, m_dChronon = 0, m_dMass = 1, m_dRunTimeLimit = 0;
    int m_nTableInterval = 1;
    BOOL m_bPlotConcurrent = 0;
    int m_nIntegrator = 1;
    int m_nXDelay = 1, m_nYDelay = 1, m_nZDelay = 1; // table rows
    double m_dParamA = 0, m_dParamB = 0, m_dParamC = 0, m_dParamD = 0;
    double m_dAngFreq = 0, m_dPhase = 0;
    int m_nModelForm = 0;
    int m_nIndex = 0;      // next row to write
    RowCount m_nCount = 0; // rows stored so far
    int m_nStepDelay = 0;  // Newtonian: milliseconds of pause before each step
    // The run's own step counter (continued from the last run when t is not 0) and whether an
    // equation of the model reads a delayed variable.
    std::int64_t m_nStepCount = 0;
    bool m_bDelayedVarUsed = false;
};

class ICalcSink
{
public:
    virtual ~ICalcSink() = default;
    virtual bool ShouldStop() { return false; }
    virtual void RowStored(int /*nIndex*/, RowCount /*nCount*/) {}
    virtual void ProgressStep() {}
    virtual void Done(int /*nIndex*/, RowCount /*nCount*/) {}
};

// Shown by the document when it refuses a run for its step.
extern const char* const kInvalidStepMessage;

class CTrajectoryCalc
{
public:
    explicit CTrajectoryCalc(const CALCPARAMS& params);
    CTrajectoryCalc(const CTrajectoryCalc&) = delete;
    CTrajectoryCalc& operator=(const CTrajectoryCalc&) = delete;

    // The whole run; see the contract above.
    void Run(ICalcSink& sink);

    // Results, final once Done has been reported.
    double m_v[kSlots] = {};                         // t and the variables: the last row
    double m_dMax[kSlots] = {}, m_dMin[kSlots] = {}; // extents of every variable of the kind
    int m_nIndex = 0;
    RowCount m_nCount = 0;
    std::int64_t m_nStepCount = 0;
    double m_dChronon = 0; // the step used (0.001 when a zero or negative step was replaced)
    bool Refused() const { return m_bRefused; }
    // Why an equation had no value during the run (which then ended before that step), the
    // token list of the equation and the time of the step; None when all went well.
    EvalError m_eError = EvalError::None;
    int m_nErrorList = 0;
    double m_dErrorT = 0;

    // Copies the extents of the kind's variables, or the final state and t, into a record.
    void TakeExtents(CModelSettings& s) const;
    void TakeState(CModelSettings& s) const;

    // The delayed value of a variable's column for a delay of d rows, clamped to the rows
    // stored.
    double DelayedValue(VarSlot slot, int d) const;

private:
    template <SystemKind K, int Form> void RunKind(ICalcSink& sink);
    template <SystemKind K, int Form, bool bRKF> void Loop(ICalcSink& sink, std::int64_t nProgress);
    // The row of a run between its steps, kept in locals: t, the state and its rates (the
    // Newtonian kind: x, x', then x', x''). The steps that are not one call advance its state
    // in place.
    struct RunRow : KindState
    {
        double r[3];
    };
    // Where a slot of kind K is in a row: 0 t, 1 + i state i, 4 + i rate i.
    template <SystemKind K> static constexpr int RowIndex(VarSlot slot)
    {
        for (int i = 0; i < VarsOf(K).dim; ++i)
            if (VarsOf(K).state[i] == slot)
                return 1 + i;
        for (int i = 0; i < VarsOf(K).dim; ++i)
            if (VarsOf(K).rate[i] == slot)
                return 4 + i;
        return 0;
    }
    template <SystemKind K, VarSlot S> static double ValueOf(const RunRow& row)
    {
        constexpr int at = RowIndex<K>(S);
        return at == 0 ? row.t : at < 4 ? row.u[at - 1] : row.r[at - 4];
    }
    template <SystemKind K> static RunRow RowOf(const double* v)
    {
        constexpr const KindVars& V = VarsOf(K);
        RunRow row{{v[kSlotT], {}}, {}};
        for (int i = 0; i < V.dim; ++i) {
            row.u[i] = v[V.state[i]];
            row.r[i] = v[V.rate[i]];
        }
        return row;
    }
    // The run's extents by slot, kept in locals.
    struct Extents
    {
        double max[kSlots];
        double min[kSlots];
    };
    template <SystemKind K, int Form, bool bRKF> bool Step(RunRow& row, double h);
    template <SystemKind K> static void ToSlots(const RunRow& row, double* v)
    {
        constexpr const KindVars& V = VarsOf(K);
        v[kSlotT] = row.t;
        for (int i = 0; i < V.dim; ++i)
            v[V.rate[i]] = row.r[i];
        for (int i = 0; i < V.dim; ++i) // the Newtonian x' is both
            v[V.state[i]] = row.u[i];
    }
    template <SystemKind K, bool bRKF, bool bCalls>
    bool OneCallStep(const void* code, RunRow& row, double h);
    template <SystemKind K, bool bRKF>
    static void Commit(RunRow& row, const double* u, const double* rate, double h, double xp);
    template <SystemKind K> bool StartRates();
    bool TakeError(double t);
    bool BetweenSteps(ICalcSink& sink, CStepPacer& pacer, unsigned sincePoll);
    void YieldIfDue();

    void SetParams();
    void TakeColumns();
    void LoadParserVars();
    template <SystemKind K> void StoreSample(ICalcSink& sink, const RunRow& row);
    template <SystemKind K> void StoreRow(const RunRow& row, int& index, RowCount& count) const;
    template <SystemKind K, bool bRKF, bool bCalls>
    RunRow Burst(const void* code, RunRow row, Extents& extents, int n, int& toRow, int& made);
    void ReportRow(ICalcSink& sink, int index, RowCount count);
    // Takes and lets go of the table lock (when there is one); reports that may wait for
    // another thread are made between the two. The hold is a local of Run, so the lock is let
    // go on every way out of the run.
    void HoldTable();
    void LetGoTable();
    template <class Report> void Unlocked(Report report);
    template <SystemKind K> static void Track(const RunRow& row, Extents& e);
    template <SystemKind K> void UpdateDelayed();
    bool ColumnsUsable() const;

    CALCPARAMS m_p;
    CTableHold* m_pTable = nullptr; // during Run
    const KindVars* m_vars;         // the kind's variables
    double* m_col[kSlots] = {};
    KindRhs m_rhs;
    double m_dDelayed[3] = {}; // x:, y:, z:
    bool m_bRefused = false;
    // Asks whether to stop before every step (rows handed over, or paced steps), not only with
    // every kPollEvery steps; and whether the steps pause.
    bool m_bPollEveryStep = false, m_bPaced = false;
    CStepPacer::Clock::time_point m_lastYield; // when the run last gave up its time slice
};
