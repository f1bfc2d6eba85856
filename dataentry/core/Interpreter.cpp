#include "dataentry/core/Interpreter.h"

#include "model/core/DelayTimes.h"
#include "model/core/NumberText.h"
#include "platform/base/TextNumbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>

const char* const kInvalidDataEntry = "Invalid Data Entry";
const char* const kUnavailableName = "Data entry is unavailable for this name.";
const char* const kValueOutOfRange = "value out of range";
const char* const kLineTooLong = "Please enter no more than 132 characters.";

namespace {

using V = EntryValue;
using R = EntryRule;

const char* const kStyleNames[3] = {"solid", "dash", "dot"};

std::string Lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// An accepted range: lo and hi, each end included unless marked open.
struct Bounds
{
    double lo, hi;
    bool loOpen = false, hiOpen = false;
    bool Holds(double v) const
    {
        return (loOpen ? v > lo : v >= lo) && (hiOpen ? v < hi : v <= hi);
    }
};

std::string RepairMessage(const std::string& axis, bool movedMin)
{
    return "Changing " + axis +
           (movedMin ? " axis min to clear new max." : " axis max to clear new min.");
}

} // namespace

EntryOutcome CDataEntryInterpreter::Enter(const std::string& line)
{
    // A longer line is refused, not cut: what is left of it may be another valid value
    // ("x'=x+100*x" cut to "x'=x+100").
    if (line.size() > kMaxLine)
        return Refuse(kLineTooLong);
    const auto eq = line.find('=');
    if (eq == std::string::npos || eq == 0) {
        m_host.ShowMessage(kInvalidDataEntry);
        return {};
    }
    return Apply(Lower(line));
}

EntryOutcome CDataEntryInterpreter::Apply(const std::string& line)
{
    CModelCore& m = m_host.Model();
    const auto eq = line.find('=');
    const std::string name = line.substr(0, eq);
    const std::string value = line.substr(eq + 1);
    if (const auto section = SectionColourEntry(name, m_kind)) {
        if (*section < 0)
            return Refuse(kValueOutOfRange);
        return ApplyColour(m.m_clrSection[*section], 10);
    }
    const EntryKey* key = FindEntryKey(name, m_kind);
    if (!key || (key->rule == R::Equation && m.m_nModelForm != 0))
        return Refuse(kUnavailableName);
    if (key->value == V::Colour)
        return ApplyColour(key->field->Color(m), key->code);
    if (value.empty())
        return {EntryOutcome::Edit::Replace, line + Reply(*key)};
    int code = key->code;
    if (!Store(*key, value, code))
        return {};
    Succeed(code);
    return {EntryOutcome::Edit::Clear, {}};
}

std::string CDataEntryInterpreter::Reply(const EntryKey& key)
{
    CModelCore& m = m_host.Model();
    const SettingField& f = *key.field;
    switch (key.value) {
    case V::Equation:
        return f.Text(m);
    case V::Expression:
        return f.type == FieldType::Text ? f.Text(m) : NumberToString(f.Double(m));
    case V::Number:
        return NumberToString(f.Double(m));
    case V::YesNo:
        return f.Int(m) ? "yes" : "no";
    case V::LineStyle:
        if (f.Int(m) >= 0 && f.Int(m) < 3)
            return kStyleNames[f.Int(m)];
        return NumberToString(f.Int(m));
    case V::Integrator:
        return f.Int(m) == 0 ? "1" : "5";
    case V::TableSource:
        return f.Int(m) == 0 ? "g" : "i";
    default:
        return NumberToString(f.Int(m));
    }
}

EntryOutcome CDataEntryInterpreter::Refuse(const char* message)
{
    m_host.ShowMessage(message);
    return {};
}

EntryOutcome CDataEntryInterpreter::ApplyColour(COLORREF& clr, int code)
{
    COLORREF chosen = clr;
    if (m_host.ChooseColor(chosen))
        clr = chosen;
    else
        code = entrycode::kNone; // cancelled: nothing changes, the line still goes
    Succeed(code);
    return {EntryOutcome::Edit::Clear, {}};
}

bool CDataEntryInterpreter::Store(const EntryKey& key, const std::string& value, int& code)
{
    CModelCore& m = m_host.Model();
    // Texts are checked at the state the model stands at: a restart (a new initial value) does
    // not give it to the parser.
    m.SetParserVariables();
    switch (key.value) {
    case V::Number:
    case V::Integer:
    case V::Expression: {
        double v = 0;
        if (!ParseValue(key, value, v))
            return false;
        if (key.rule == R::Parameter)
            return StoreText(key, value, v);
        if (key.value == V::Integer)
            return StoreInteger(key, static_cast<long long>(v));
        return StoreNumber(key, v, code);
    }
    case V::Equation: {
        int status = 0;
        if (key.equation == 0) {
            m.CheckExpression(value, &status);
        } else {
            m.m_pParser->m_nList = key.equation;
            m.EvaluateExpression(value, &status, TRUE);
            if (status == 0)
                m_host.RecompileEquations(); // drop what was recorded of the refused text
        }
        if (status == 0) {
            m_host.ShowMessage(kValueOutOfRange);
            return false;
        }
        return StoreText(key, value, 0);
    }
    case V::YesNo:
        return StoreChoice(key, value == "yes" ? 1 : value == "no" ? 0 : -1);
    case V::LineStyle: {
        int style = -1;
        for (int i = 0; i < 3; ++i)
            if (value == kStyleNames[i])
                style = i;
        return StoreChoice(key, style);
    }
    case V::Integrator:
        return StoreChoice(key, value == "1" ? 0 : value == "5" ? 1 : -1);
    case V::TableSource:
        return StoreChoice(key, value == "g" ? 0 : value == "i" && m.m_bHaveImport ? 1 : -1);
    case V::Colour:
        break;
    }
    return false;
}

// Reads the value by its type and checks it against the key's range as it stands now.
bool CDataEntryInterpreter::ParseValue(const EntryKey& key, const std::string& text, double& v)
{
    CModelCore& m = m_host.Model();
    bool read = false;
    if (key.value == V::Number) {
        read = ReadLeadingNumber(text, v);
    } else if (key.value == V::Integer) {
        long long n = 0;
        read = ReadLeadingInteger(text, n);
        v = static_cast<double>(n);
    } else {
        int status = 0;
        v = m.CheckExpression(text, &status);
        read = status != 0 && std::isfinite(v);
    }
    Bounds b{EntryLow(key), EntryHigh(key)};
    switch (key.rule) {
    case R::TimeMax:
        b = {1e-30, m.m_dRunTimeLimit};
        break;
    case R::TimeMin:
        b = {0, m.m_dRunTimeLimit, false, true};
        break;
    case R::RunTimeLimit:
        b = {m.m_dGraphTMin, 1e30, true, false};
        break;
    case R::AxisMax: // above the absolute minimum, so the range never closes
        b = {key.absMin->Double(m), key.absMax->Double(m), true, false};
        break;
    case R::AxisMin:
        b = {key.absMin->Double(m), key.absMax->Double(m), false, true};
        break;
    case R::TableInterval:
        b.hi = std::min<double>(b.hi, m.m_nChrononsPerCycle);
        break;
    case R::Phase: // the typed value; the table holds the rounded one
        b = {-kPhaseLimit, kPhaseLimit};
        break;
    default:
        break;
    }
    if (read && b.Holds(v))
        return true;
    m_host.ShowMessage(kValueOutOfRange);
    return false;
}

bool CDataEntryInterpreter::StoreNumber(const EntryKey& key, double v, int& code)
{
    CModelCore& m = m_host.Model();
    CParser& parser = *m.m_pParser;
    switch (key.rule) {
    case R::AngFreq:
        m.m_dAngFreq = v;
        m.m_dPeriod = kTwoPi / v;
        UpdateChrononAndDelays(m);
        parser.m_dAF = v;
        break;
    case R::Period:
        m.m_dPeriod = v;
        m.m_dAngFreq = kTwoPi / v;
        UpdateChrononAndDelays(m);
        parser.m_dAF = m.m_dAngFreq;
        break;
    case R::Phase:
        m.m_dPhase = RoundToDigits(v, 6);
        parser.m_dPA = m.m_dPhase;
        break;
    case R::TimeMax:
        m.m_dGraphTMax = v;
        if (v <= m.m_dGraphTMin) {
            m.m_dGraphTMin = 0;
            m_host.ShowMessage("Changing time axis min to zero to clear new max.");
        }
        break;
    case R::TimeMin:
        m.m_dGraphTMin = v;
        if (v >= m.m_dGraphTMax) {
            m.m_dGraphTMax = m.m_dRunTimeLimit;
            m_host.ShowMessage("Changing time axis max to run time limit to clear new min.");
        }
        break;
    case R::RunTimeLimit:
        m.m_dRunTimeLimit = v;
        m.m_dVFTime = std::min(m.m_dVFTime, v);
        if (v < m.m_dGraphTMax) {
            m.m_dGraphTMax = v;
            m_host.ShowMessage("Changing time axis max to match run time limit.");
            code = 31;
        }
        break;
    case R::AxisMax:
        key.field->Double(m) = v;
        if (v <= key.partner->Double(m)) {
            key.partner->Double(m) = key.absMin->Double(m);
            m_host.ShowMessage(RepairMessage(key.axis, true));
        }
        break;
    case R::AxisMin:
        key.field->Double(m) = v;
        if (v >= key.partner->Double(m)) {
            key.partner->Double(m) = key.absMax->Double(m);
            m_host.ShowMessage(RepairMessage(key.axis, false));
        }
        break;
    default:
        key.field->Double(m) = v;
        break;
    }
    return true;
}

bool CDataEntryInterpreter::StoreInteger(const EntryKey& key, long long v)
{
    CModelCore& m = m_host.Model();
    const int n = static_cast<int>(v);
    if (key.rule == R::ChrononsPerCycle && n % m.m_nTableInterval != 0) {
        m_host.ShowMessage("Number of chronons per cycle must be integral multiple\nof the "
                           "table interval = " +
                           std::to_string(m.m_nTableInterval));
        return false;
    }
    if (key.rule == R::TableInterval && m.m_nChrononsPerCycle % n != 0) {
        m_host.ShowMessage("Table interval must divide evenly into the number of\nchronons per "
                           "cycle = " +
                           std::to_string(m.m_nChrononsPerCycle));
        return false;
    }
    key.field->Int(m) = n;
    if (key.rule == R::ChrononsPerCycle || key.rule == R::Delay)
        UpdateChrononAndDelays(m);
    return true;
}

bool CDataEntryInterpreter::StoreText(const EntryKey& key, const std::string& text, double v)
{
    CModelCore& m = m_host.Model();
    key.field->Text(m) = text;
    if (key.rule == R::Equation) {
        m.m_nModelForm = 0; // an edited equation is a typed one
        return true;
    }
    // a .. d: the value beside the text, and the parser's variable.
    const int i = key.name[0] - 'a';
    double* values[4] = {&m.m_dParamA, &m.m_dParamB, &m.m_dParamC, &m.m_dParamD};
    double* vars[4] = {&m.m_pParser->m_dA, &m.m_pParser->m_dB, &m.m_pParser->m_dC,
                       &m.m_pParser->m_dD};
    *values[i] = v;
    *vars[i] = v;
    return true;
}

bool CDataEntryInterpreter::StoreChoice(const EntryKey& key, int choice)
{
    CModelCore& m = m_host.Model();
    if (choice < 0) {
        m_host.ShowMessage(kValueOutOfRange);
        return false;
    }
    if (key.rule != R::PlotTiming) {
        key.field->Int(m) = choice;
        return true;
    }
    BOOL* modes[3] = {&m.m_bPlotConcurrent, &m.m_bPlotPostCalc, &m.m_bPlotManual};
    const char* const stays[3] = {
        "Concurrent plot remains in effect\nsince no alternative was selected.",
        "Post Calculation plot remains in effect\nsince no alternative was selected.",
        "Manual plot remains in effect since\nno alternative was selected."};
    const int self = key.name == "cp" ? 0 : key.name == "pcp" ? 1 : 2;
    bool otherOn = false;
    for (int i = 0; i < 3; ++i) {
        if (i == self)
            continue;
        otherOn = otherOn || *modes[i];
        if (choice)
            *modes[i] = 0;
    }
    if (choice || otherOn)
        *modes[self] = choice;
    else
        m_host.ShowMessage(stays[self]);
    return true;
}

long CDataEntryInterpreter::HintFor(int code) const
{
    using namespace entrycode;
    const bool three = m_kind == SystemKind::ThreeVariable;
    switch (code) {
    case 8:
    case 9:
    case 10:
    case 31:
    case 32:
    case 35:
        return code;
    case kVFGrid:
        return m_kind == SystemKind::Newtonian || m_kind == SystemKind::TwoVariable ? code : 0;
    case kBAGrid:
    case kFOLimits:
    case kOSLimits:
    case kBALimits:
    case kVFLimits:
        return three ? 0 : code;
    default:
        return 0;
    }
}

void CDataEntryInterpreter::Succeed(int code)
{
    using namespace entrycode;
    if (m_kind == SystemKind::Newtonian || m_kind == SystemKind::OneVariable)
        m_host.Model().m_pParser->m_nList = 1;
    switch (code) {
    case kRebuild:
        m_host.RecompileEquations();
        [[fallthrough]];
    case kRestart:
        m_host.RestartRun();
        m_host.UpdateViews(kHintModel);
        break;
    case kTableSize: // the table was emptied and resized: no view may read the old one
        m_host.RestartRun();
        m_host.UpdateViews(kHintReset);
        break;
    default:
        if (const long hint = HintFor(code))
            m_host.UpdateViews(hint);
        break;
    }
    if (code != kNone)
        m_host.MarkModified();
}
