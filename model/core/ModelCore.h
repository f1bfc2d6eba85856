#pragma once
// The display-free half of a model document: the settings record, the expression parser, the
// table ring and the services around them (defaults, table allocation, parser services,
// parameter check and caption, model file, run preparation and the taking of a run's results).
// The model document derives from it and adds windows, messages and the run's thread.
//
// Table ring: m_arrTable holds one column per variable (t, x, x', x'', y, y', z, z'); the kind
// uses the columns that VarsOf(kind) lists. m_nTableIndex is the ring position, m_nTableCount the
// rows stored since the last allocation (not capped), m_bTableWrapped whether the ring has been
// filled once. Readers start at m_nTableIndex and walk m_nTableRows rows when wrapped, else
// m_nTableCount rows. A reader that may run while a run writes holds a CTableReadLock and
// walks the ring that it gives.
#include "model/core/ModelSettings.h"
#include "model/core/NumberText.h"
#include "model/core/TrajectoryCalc.h"
#include "parser/Parser.h"
#include "platform/base/Archive.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

extern const char* const kTableMemoryMessage;

// The table ring as a reader walks it: the first row, the rows stored, whether it wrapped.
struct TableRing
{
    int index = 0;
    RowCount count = 0; // rows stored, not capped at the ring's length
    bool wrapped = false;
};

class CModelCore : public CModelSettings
{
public:
    explicit CModelCore(SystemKind kind);
    virtual ~CModelCore();

    SystemKind Kind() const { return m_kind; }

    // Every default of the record and the kind; clears the parser's delayed-variable flag.
    void SetDefaults();

    // The step of the table's rows: the one the last run used (a fifth-order run replaces a
    // zero or negative step), or the one the next run will use while the table is empty. The
    // views place, label and click rows with it.
    double RunStep() const;

    // Resets the run state and sizes the kind's columns to m_nTableRows rows. On a memory
    // failure shows the memory message, leaves the columns empty and returns false.
    bool AllocateTable();
    // The run state back to the initial values (t = 0).
    void ResetRunState();
    // Clear Data: the run state, the ring and the imported data emptied, the Graph vs Time axis
    // moved to start at 0; false after the memory message when the table cannot be had.
    bool ClearData();

    // What a new model does once it has its name: defaults, table, parameters, equations.
    void InitNewModel();
    // What an opened model does after its fields were loaded: table, joined force text, state,
    // derived values, parameters and equations; its saved views are still to be reopened.
    void InitOpenedModel();

    // Parser services.
    void SetParserVariables();
    double EvaluateExpression(const std::string& strExpr, int* pnStatus, BOOL bScan);
    double CheckExpression(const std::string& strExpr, int* pnStatus);

    // Evaluates the four parameter texts into their values (only checks them without bStore);
    // a text that is no expression gets its message.
    BOOL EvaluateParameters(bool bStore = true);
    // "a=1, b=1, af=1" for the parameters that an equation text uses.
    std::string FormatUsedParameters(std::string strEquation) const;

    // The kind's equation texts in list order (Newtonian: the joined force text).
    std::vector<const std::string*> Equations() const;
    // Records each equation into its token list, with the message for one that does not
    // compile; returns whether all compiled.
    BOOL CompileEquations();
    // Loads the parser variables and records each equation text into its token list (the
    // Newtonian force joined again first), whatever the parser says of it.
    void RecordEquations();
    // Records equation i (0 to 2) into list i + 1 at the current values, with the message when
    // it does not compile; the value goes to pValue. At the start of a run, x:, y: and z: are
    // the start state, as in the run.
    bool CompileEquation(int i, double* pValue = nullptr, bool bRunStart = false);
    // The message for a run that an equation ended (empty when none did); the document shows
    // it once the run is over.
    std::string RunErrorMessage(const CTrajectoryCalc& calc) const;
    // Whether an equation of the model reads a delayed variable (x:, y:, z:).
    bool EquationsUseDelayedVars() const;

    // Stores or loads the model file. Loading replaces values out of range by their defaults
    // with one message; a short file throws CArchiveException and changes nothing.
    void Serialize(CArchive& ar);

    // Prepares a run: a fresh run (t = 0) allocates the table, a continued one writes after
    // the stored rows; loads the parser variables, records the equations and fills the
    // parameter block with a parser copy of the run's own. Returns false, after a message,
    // when the run cannot start (no table, unusable step). bAllocated tells whether the table
    // was allocated (the views then start afresh).
    bool PrepareRun(CALCPARAMS& params, bool& bAllocated);

    // The end of a run: ring position, extents, and the state to continue from (the initial
    // values when the run time was reached).
    void TakeRunResults(const CTrajectoryCalc& calc, int nIndex, RowCount nCount);

    // Waits the given number of seconds.
    static void WaitSeconds(int nSeconds);

    std::unique_ptr<CParser> m_pParser;
    std::array<std::vector<double>, kSlots> m_arrTable;
    std::array<std::vector<double>, kSlots> m_arrImport;
    BYTE m_bTableValid = 0;
    int m_nTableIndex = 0;
    BYTE m_bTableWrapped = 0;
    RowCount m_nTableCount = 0;
    std::int64_t m_nStepCount = 0; // the step counter of the runs, continued by a continued run
    double m_dRunStep = 0;         // the step of the last run; 0 while the table is empty
    // The Newtonian Vector Field's spun af and pa with their texts: they stand in for af and pa
    // in its phase plane only. Set from af and pa when the view first needs them; not stored.
    double m_dSpinAF = 1, m_dSpinPA = 0;
    std::string m_strSpinAF = "1", m_strSpinPA = "0";
    bool m_bSpinCopies = false;
    // The lock of the columns between a run and their readers (see CTableReadLock).
    mutable CTableGuard m_tableGuard;

protected:
    const SystemKind m_kind;
    std::unique_ptr<CParser> m_pRunParser; // the running thread's copy
};

// A reader's hold on the table columns: they may be read while it lives. During a run its
// ring is the position the run has published, otherwise the document's.
class CTableReadLock
{
public:
    explicit CTableReadLock(const CModelCore& core);
    const TableRing& Ring() const { return m_ring; }

private:
    std::unique_lock<std::mutex> m_lock;
    TableRing m_ring;
};

// Whether an expression text names a delayed variable (x:, y:, z:).
bool ReadsDelayedVariable(const std::string& text);

// General format with six significant digits and a three-digit exponent ("1e+030").
inline std::string FormatG6(double v)
{
    return NumberToString(v);
}
