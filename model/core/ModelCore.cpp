#include "model/core/ModelCore.h"

#include "model/core/ModelFile.h"
#include "model/core/ModelForms.h"
#include "model/core/NumberText.h"
#include "platform/base/MessageHook.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <new>
#include <thread>

const char* const kTableMemoryMessage =
    "There is not enough memory on your system\nto allocate the data table arrays with the "
    "number of rows\nwhich has been set in the model.  Views using the data\ntable will be "
    "disabled until number of rows is reduced.\nSee the help documentation on memory limits "
    "for more\ninformation.";

namespace {

std::string Corrupted(const std::string& head, const std::string& text, const std::string& topic)
{
    return head + "[" + text + "]\n" + "has become corrupted.  It must be corrected before\n" +
           "this system model will run.  See the help file on\n" + topic;
}

std::string TooLong(const std::string& text)
{
    return "The system differential equation:\n[" + text + "]\n" +
           "is too long to be recorded: it may hold at most " +
           std::to_string(CParser::kListSize - 1) + " symbols.\nIt must be shortened before " +
           "this system model will run.  See the help file on\nSystem Differential Equations.";
}

// The parser words no message: its stack overflow is shown here, by the thread that asked.
void ReportStackOverflow(const CParser& parser, int status)
{
    if (status == 0 && parser.LastError() == EvalError::StackFull)
        ShowMessageBox(kStackOverloadMessage, msgbox::MB_OK);
}

bool Contains(const std::string& t, const std::string& s)
{
    return t.find(s) != std::string::npos;
}

// Whether a one-letter parameter name is used in the lower-case text t. For c and d, a "c "
// or "d " right after an "n" is the end of trunc or rand, not the parameter.
bool ParameterUsed(const std::string& t, char p)
{
    const std::string name(1, p);
    for (const char* next : {"+", "-", "*", "/", "^", ")"})
        if (Contains(t, name + next))
            return true;
    const auto blank = t.find(name + " ");
    if (blank != std::string::npos) {
        const bool guarded = p == 'c' || p == 'd';
        if (!guarded || blank == 0 || t[blank - 1] != 'n')
            return true;
    }
    const auto first = t.find(p);
    return first != std::string::npos && first == t.size() - 1;
}

} // namespace

CModelCore::CModelCore(SystemKind kind) : m_pParser(std::make_unique<CParser>()), m_kind(kind)
{
}

CModelCore::~CModelCore() = default;

void CModelCore::SetDefaults()
{
    SetModelDefaults(*this, m_kind);
    m_pParser->m_bDelayedVarUsed = false;
}

double CModelCore::RunStep() const
{
    return m_dRunStep > 0 ? m_dRunStep : StepOfRun(m_nIntegrator, m_dChronon);
}

void CModelCore::ResetRunState()
{
    m_dX = m_dInitX;
    switch (m_kind) {
    case SystemKind::Newtonian:
        m_dXp = m_dInitXp;
        m_dXpp = 0;
        break;
    case SystemKind::OneVariable: // keeps its x'
        break;
    case SystemKind::ThreeVariable:
        m_dZ = m_dInitZ;
        m_dZp = 0;
        [[fallthrough]];
    case SystemKind::TwoVariable:
        m_dXp = 0;
        m_dY = m_dInitY;
        m_dYp = 0;
        break;
    }
    m_dT = 0;
}

bool CModelCore::AllocateTable()
{
    ResetRunState();
    m_nTableIndex = 0;
    m_nTableCount = 0;
    m_bTableWrapped = 0;
    m_bTableValid = 1;
    m_bHaveData = 0;
    m_dRunStep = 0;
    const auto slots = VarsOf(m_kind).Columns();
    try {
        for (VarSlot s : slots)
            std::vector<double>().swap(m_arrTable[s]);
        const auto rows = static_cast<std::size_t>(std::max(m_nTableRows, 0));
        for (VarSlot s : slots)
            m_arrTable[s].resize(rows);
    } catch (const std::exception&) { // bad_alloc, or length_error for an absurd row count
        ShowMessageBox(kTableMemoryMessage, msgbox::MB_OK);
        for (VarSlot s : slots)
            std::vector<double>().swap(m_arrTable[s]);
        m_bTableValid = 0;
        return false;
    }
    return true;
}

bool CModelCore::ClearData()
{
    m_bHaveImport = 0;
    m_nTableSource = 0;
    m_dGraphTMax = m_dGraphTMax - m_dGraphTMin;
    m_dGraphTMin = 0;
    for (VarSlot s : VarsOf(m_kind).Columns())
        std::vector<double>().swap(m_arrImport[s]);
    return AllocateTable();
}

void CModelCore::InitNewModel()
{
    SetDefaults();
    AllocateTable();
    EvaluateParameters();
    CompileEquations();
    m_bViewsRestored = 1;
}

void CModelCore::InitOpenedModel()
{
    m_nTableIndex = 0;
    m_bTableWrapped = 0;
    m_nTableCount = 0;
    m_bRunning = 0;
    AllocateTable();
    if (m_kind == SystemKind::Newtonian)
        m_strEquation = BuildEquation(m_strAppliedForce, m_strRestoringForce, m_strDragForce);
    m_dT = 0;
    m_dX = m_dInitX;
    m_dXp = m_kind == SystemKind::Newtonian ? m_dInitXp : 0;
    m_dXpp = 0;
    m_dY = m_dInitY;
    m_dYp = 0;
    m_dZ = m_dInitZ;
    m_dZp = 0;
    ComputeDerivedValues(*this, m_kind);
    // The two- and three-variable kinds clear the delayed-variable flag before the parameters
    // are evaluated, the others after.
    const bool clearFirst =
        m_kind == SystemKind::TwoVariable || m_kind == SystemKind::ThreeVariable;
    if (clearFirst)
        m_pParser->m_bDelayedVarUsed = false;
    EvaluateParameters();
    if (!clearFirst)
        m_pParser->m_bDelayedVarUsed = false;
    CompileEquations();
    m_bViewsRestored = 0;
}

void CModelCore::SetParserVariables()
{
    CParser& p = *m_pParser;
    p.m_dT = m_dT;
    p.m_dX = m_dX;
    p.m_dY = m_dY;
    p.m_dZ = m_dZ;
    p.m_dXPrime = m_dXp;
    p.m_dYPrime = m_dYp;
    p.m_dZPrime = m_dZp;
    p.m_dXDelayed = m_dXDelayTime;
    p.m_dYDelayed = m_dYDelayTime;
    p.m_dZDelayed = m_dZDelayTime;
    p.m_dA = m_dParamA;
    p.m_dB = m_dParamB;
    p.m_dC = m_dParamC;
    p.m_dD = m_dParamD;
    p.m_dAF = m_dAngFreq;
    p.m_dPA = m_dPhase;
    p.m_nListIndex = 0;
}

double CModelCore::EvaluateExpression(const std::string& strExpr, int* pnStatus, BOOL bScan)
{
    m_pParser->m_bScan = bScan ? 1 : 0;
    m_pParser->m_nListIndex = 0;
    int status = 0;
    const double v = m_pParser->Evaluate(strExpr.c_str(), status);
    ReportStackOverflow(*m_pParser, status);
    if (pnStatus)
        *pnStatus = status;
    return v;
}

double CModelCore::CheckExpression(const std::string& strExpr, int* pnStatus)
{
    const int selected = m_pParser->m_nList;
    m_pParser->m_bScan = 1;
    m_pParser->m_nList = 0;
    m_pParser->m_nListIndex = 0;
    int status = 0;
    const double v = m_pParser->Evaluate(strExpr.c_str(), status);
    ReportStackOverflow(*m_pParser, status);
    m_pParser->m_nList = selected;
    if (pnStatus)
        *pnStatus = status;
    return v;
}

BOOL CModelCore::EvaluateParameters(bool bStore)
{
    const std::string* texts[4] = {&m_strParamA, &m_strParamB, &m_strParamC, &m_strParamD};
    double* values[4] = {&m_dParamA, &m_dParamB, &m_dParamC, &m_dParamD};
    const char names[4] = {'a', 'b', 'c', 'd'};
    BOOL ok = TRUE;
    for (int i = 0; i < 4; ++i) {
        int status = 0;
        const double v = CheckExpression(*texts[i], &status);
        if (status != 0) {
            if (bStore)
                *values[i] = v;
            continue;
        }
        ok = FALSE;
        ShowMessageBox(Corrupted(std::string("The system parameter ") + names[i] + ":\n", *texts[i],
                                 "System Parameters."),
                       msgbox::MB_OK);
    }
    return ok;
}

std::string CModelCore::FormatUsedParameters(std::string strEquation) const
{
    std::string t = std::move(strEquation);
    std::transform(t.begin(), t.end(), t.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    struct Item
    {
        const char* name;
        bool used;
        double value;
    };
    const Item items[] = {
        {"a", ParameterUsed(t, 'a'), m_dParamA}, {"b", ParameterUsed(t, 'b'), m_dParamB},
        {"c", ParameterUsed(t, 'c'), m_dParamC}, {"d", ParameterUsed(t, 'd'), m_dParamD},
        {"af", Contains(t, "af"), m_dAngFreq},   {"pa", Contains(t, "pa"), m_dPhase},
    };
    std::string result;
    for (const auto& it : items) {
        if (!it.used)
            continue;
        result += (result.empty() ? "" : ", ") + std::string(it.name) + "=" + FormatG6(it.value);
    }
    return result;
}

std::vector<const std::string*> CModelCore::Equations() const
{
    switch (m_kind) {
    case SystemKind::Newtonian:
        return {&m_strEquation};
    case SystemKind::OneVariable:
        return {&m_strXRate};
    case SystemKind::TwoVariable:
        return {&m_strXRate, &m_strYRate};
    default:
        return {&m_strXRate, &m_strYRate, &m_strZRate};
    }
}

BOOL CModelCore::CompileEquations()
{
    BOOL ok = TRUE;
    for (std::size_t i = 0; i < Equations().size(); ++i)
        if (!CompileEquation(static_cast<int>(i)))
            ok = FALSE;
    return ok;
}

bool CModelCore::CompileEquation(int i, double* pValue, bool bRunStart)
{
    const std::string& eq = *Equations()[static_cast<std::size_t>(i)];
    SetParserVariables();
    if (bRunStart) {
        // No row is stored yet: the run's delayed values are its start state.
        m_pParser->m_dXDelayed = m_dX;
        m_pParser->m_dYDelayed = m_dY;
        m_pParser->m_dZDelayed = m_dZ;
    }
    m_pParser->m_nList = i + 1;
    int status = 0;
    const double v = EvaluateExpression(eq, &status, 1);
    if (pValue)
        *pValue = v;
    if (status != 0)
        return true;
    ShowMessageBox(m_pParser->LastError() == EvalError::TooLong
                       ? TooLong(eq)
                       : Corrupted("The system differential equation:\n", eq,
                                   "System Differential Equations."),
                   msgbox::MB_OK);
    return false;
}

std::string CModelCore::RunErrorMessage(const CTrajectoryCalc& calc) const
{
    const auto eqs = Equations();
    if (calc.m_eError == EvalError::None || calc.m_nErrorList < 1 ||
        calc.m_nErrorList > static_cast<int>(eqs.size()))
        return {};
    if (calc.m_eError == EvalError::StackFull)
        return kStackOverloadMessage;
    return "The system differential equation:\n[" + *eqs[calc.m_nErrorList - 1] +
           "]\nhas no value at t = " + FormatG6(calc.m_dErrorT) +
           " (a function or a power is outside its domain there).\nThe run has been stopped.";
}

void CModelCore::RecordEquations()
{
    if (m_kind == SystemKind::Newtonian)
        m_strEquation = BuildEquation(m_strAppliedForce, m_strRestoringForce, m_strDragForce);
    SetParserVariables();
    const auto eqs = Equations();
    for (std::size_t i = 0; i < eqs.size(); ++i) {
        m_pParser->m_nList = static_cast<int>(i) + 1;
        int status = 0;
        EvaluateExpression(*eqs[i], &status, 1);
    }
}

bool ReadsDelayedVariable(const std::string& text)
{
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i + 1] == ':' && std::strchr("xyzXYZ", text[i]))
            return true;
    return false;
}

bool CModelCore::EquationsUseDelayedVars() const
{
    for (const std::string* eq : Equations())
        if (ReadsDelayedVariable(*eq))
            return true;
    return false;
}

void CModelCore::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        StoreModel(ar, *this, m_kind);
        return;
    }
    const auto replaced = LoadModel(ar, *this, m_kind);
    if (!replaced.empty())
        ShowMessageBox(ReplacedSettingsMessage(replaced), msgbox::MB_OK);
}

bool CModelCore::PrepareRun(CALCPARAMS& p, bool& bAllocated)
{
    bAllocated = false;
    const bool fresh = m_dT == 0;
    if (fresh) {
        AllocateTable();
        bAllocated = true;
    } else if (!m_bTableWrapped) { // fewer rows stored than the ring holds
        m_nTableIndex = static_cast<int>(m_nTableCount % std::max(m_nTableRows, 1));
    }
    if (!m_bTableValid)
        return false; // the memory message has been shown
    if (!StepIsUsable(m_nIntegrator, m_dChronon)) {
        ShowMessageBox(kInvalidStepMessage, msgbox::MB_OK);
        return false;
    }
    SetParserVariables();
    // What each kind records, and when: the Newtonian and two-variable kinds only on a fresh
    // run, the others at every run.
    const bool record =
        fresh || m_kind == SystemKind::OneVariable || m_kind == SystemKind::ThreeVariable;
    const auto eqs = Equations();
    for (std::size_t i = 0; record && i < eqs.size(); ++i) {
        double v = 0;
        if (!CompileEquation(static_cast<int>(i), &v, true))
            return false; // a list recorded in part would replay another equation
        if (m_kind == SystemKind::Newtonian)
            m_dXpp = v / m_dMass;
        else if (m_kind == SystemKind::OneVariable)
            m_dXp = v;
    }
    m_pRunParser = std::make_unique<CParser>(*m_pParser);

    p = CALCPARAMS{};
    p.m_kind = m_kind;
    for (VarSlot s : VarsOf(m_kind).Columns())
        p.m_pColumns[s] = &m_arrTable[s];
    p.m_pParser = m_pRunParser.get();
    p.m_nTableRows = m_nTableRows;
    p.m_dX = m_dX;
    p.m_dXp = m_dXp;
    p.m_dXpp = m_dXpp;
    p.m_dY = m_dY;
    p.m_dZ = m_dZ;
    p.m_dT = m_dT;
    p.m_dChronon = m_dChronon;
    p.m_dMass = m_dMass;
    p.m_dRunTimeLimit = m_dRunTimeLimit;
    p.m_nTableInterval = m_nTableInterval;
    p.m_bPlotConcurrent = m_bPlotConcurrent;
    p.m_nIntegrator = m_nIntegrator;
    p.m_nXDelay = m_nXDelay;
    p.m_nYDelay = m_nYDelay;
    p.m_nZDelay = m_nZDelay;
    p.m_dParamA = m_dParamA;
    p.m_dParamB = m_dParamB;
    p.m_dParamC = m_dParamC;
    p.m_dParamD = m_dParamD;
    p.m_dAngFreq = m_dAngFreq;
    p.m_dPhase = m_dPhase;
    p.m_nModelForm = m_nModelForm;
    p.m_nIndex = m_nTableIndex;
    p.m_nCount = m_nTableCount;
    p.m_pTableGuard = &m_tableGuard;
    {
        auto lock = m_tableGuard.LockForReading();
        m_tableGuard.Publish(p.m_nIndex, p.m_nCount);
    }
    p.m_nStepDelay = m_kind == SystemKind::Newtonian ? m_nAnimDelay : 0;
    p.m_nStepCount = m_nStepCount;
    p.m_bDelayedVarUsed = EquationsUseDelayedVars();
    return true;
}

void CModelCore::TakeRunResults(const CTrajectoryCalc& calc, int nIndex, RowCount nCount)
{
    if (nIndex < nCount)
        m_bTableWrapped = 1;
    m_nTableCount = nCount;
    m_nTableIndex = m_bTableWrapped ? nIndex : 0;
    calc.TakeExtents(*this);
    m_nStepCount = calc.m_nStepCount;
    if (!calc.Refused())
        m_dRunStep = calc.m_dChronon;
    if (m_dRunTimeLimit <= calc.m_v[kSlotT]) {
        // The run time was reached: the next run starts afresh. The two- and three-variable
        // kinds keep the derivatives the run left.
        m_dX = m_dInitX;
        if (m_kind == SystemKind::Newtonian) {
            m_dXp = m_dInitXp;
            m_dXpp = 0;
        } else if (m_kind == SystemKind::OneVariable) {
            m_dXp = 0;
        }
        if (m_kind == SystemKind::TwoVariable || m_kind == SystemKind::ThreeVariable)
            m_dY = m_dInitY;
        if (m_kind == SystemKind::ThreeVariable)
            m_dZ = m_dInitZ;
        m_dT = 0;
    } else {
        calc.TakeState(*this);
    }
}

CTableReadLock::CTableReadLock(const CModelCore& core) : m_lock(core.m_tableGuard.LockForReading())
{
    if (!core.m_bRunning) {
        m_ring = {core.m_nTableIndex, core.m_nTableCount, core.m_bTableWrapped != 0};
        return;
    }
    const int index = core.m_tableGuard.Index();
    const RowCount count = core.m_tableGuard.Count();
    const bool wrapped = core.m_bTableWrapped || index < count;
    m_ring = {wrapped ? index : 0, count, wrapped};
}

void CModelCore::WaitSeconds(int nSeconds)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(nSeconds);
    while (std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}
