#include "model/core/PropertiesExchange.h"

#include "model/core/DelayTimes.h"
#include "model/core/ModelForms.h"
#include "model/core/SettingsTable.h"
#include "platform/base/MessageHook.h"

namespace {

std::string* Params(CModelSettings& s, int i)
{
    std::string* texts[4] = {&s.m_strParamA, &s.m_strParamB, &s.m_strParamC, &s.m_strParamD};
    return texts[i];
}

double* Values(CModelSettings& s, int i)
{
    double* values[4] = {&s.m_dParamA, &s.m_dParamB, &s.m_dParamC, &s.m_dParamD};
    return values[i];
}

// Settings that shape the run: a change of one discards the run's data. In the order they
// are written back.
constexpr const char* kRunShaping[] = {
    "m_dAngFreq",     "m_dPhase",     "m_dPeriod",         "m_nXDelay",
    "m_nYDelay",      "m_nZDelay",    "m_strParamA",       "m_strParamB",
    "m_strParamC",    "m_strParamD",  "m_strAppliedForce", "m_strRestoringForce",
    "m_strDragForce", "m_strXRate",   "m_strYRate",        "m_strZRate",
    "m_nIntegrator",  "m_nModelForm", "m_nTableRows",      "m_dMass",
    "m_dInitX",       "m_dInitXp",    "m_dInitY",          "m_dInitZ",
};

// Settings that the views show but that leave the run as it is.
constexpr const char* kViewOnly[] = {"m_nTableSource", "m_bTabX",  "m_bTabXp", "m_bTabXpp",
                                     "m_bTabY",        "m_bTabYp", "m_bTabZ",  "m_bTabZp"};

// Copies one member; true when the value differs (doubles exactly, texts byte for byte).
bool Write(CModelSettings& doc, const CModelSettings& edited, const char* member)
{
    const SettingField* f = FindField(member);
    auto& from = const_cast<CModelSettings&>(edited);
    bool differs = false;
    switch (f->type) {
    case FieldType::Double:
        differs = f->Double(doc) != f->Double(from);
        break;
    case FieldType::Text:
        differs = f->Text(doc) != f->Text(from);
        break;
    default:
        differs = f->Int(doc) != f->Int(from);
        break;
    }
    f->CopyValue(doc, edited);
    return differs;
}

// The run time limit, lowering the vector-field time and the time axis beneath it.
bool WriteRunTimeLimit(CModelCore& doc, double rtl)
{
    if (rtl == doc.m_dRunTimeLimit)
        return false;
    doc.m_dRunTimeLimit = rtl;
    if (doc.Kind() != SystemKind::ThreeVariable && rtl < doc.m_dVFTime)
        doc.m_dVFTime = rtl;
    if (rtl < doc.m_dGraphTMax) {
        doc.m_dGraphTMax = rtl;
        ShowMessageBox("Time axis maximum is too large.\nSetting value to match run time.",
                       msgbox::MB_OK);
    }
    return true;
}

} // namespace

CPropertiesBefore::CPropertiesBefore(const CModelSettings& doc)
    : m_nChrononsPerCycle(doc.m_nChrononsPerCycle), m_nTableInterval(doc.m_nTableInterval)
{
    auto& s = const_cast<CModelSettings&>(doc);
    for (int i = 0; i < 4; ++i) {
        m_strParams[i] = *Params(s, i);
        m_dParams[i] = *Values(s, i);
    }
}

void CPropertiesBefore::Restore(CModelCore& doc) const
{
    doc.m_nTableInterval = m_nTableInterval;
    doc.m_nChrononsPerCycle = m_nChrononsPerCycle;
    for (int i = 0; i < 4; ++i) {
        *Params(doc, i) = m_strParams[i];
        *Values(doc, i) = m_dParams[i];
    }
    doc.RecordEquations();
}

bool ApplyProperties(CModelCore& doc, const CModelSettings& edited, const CPropertiesBefore& before)
{
    bool changed = WriteRunTimeLimit(doc, edited.m_dRunTimeLimit);
    doc.m_nChrononsPerCycle = edited.m_nChrononsPerCycle;
    changed |= doc.m_nChrononsPerCycle != before.m_nChrononsPerCycle;
    for (const char* member : kRunShaping)
        changed |= Write(doc, edited, member);
    UpdateChrononAndDelays(doc);
    doc.EvaluateParameters();
    if (doc.Kind() == SystemKind::Newtonian)
        doc.m_strEquation =
            BuildEquation(doc.m_strAppliedForce, doc.m_strRestoringForce, doc.m_strDragForce);
    doc.m_nTableInterval = edited.m_nTableInterval;
    changed |= doc.m_nTableInterval != before.m_nTableInterval;
    for (const char* member : kViewOnly)
        Write(doc, edited, member);
    if (changed)
        doc.AllocateTable();
    doc.RecordEquations();
    return changed;
}
