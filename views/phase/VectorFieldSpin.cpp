#include "views/phase/VectorFieldSpin.h"

#include "model/core/ModelCore.h"

#include <algorithm>
#include <cmath>

namespace {
const char* const kNames[] = {"", "t", "a", "b", "c", "d", "af", "pa"};
constexpr double kBound = 1e30;
} // namespace

SpinRange SpinRangeAround(double v)
{
    if (v == 0)
        return {-10, 10};
    return {v - 2 * std::fabs(v), v + 2 * std::fabs(v)};
}

SpinRange SpinRangeOfAF(double v)
{
    return v < 2 ? SpinRange{0, 2} : SpinRangeAround(v);
}

double SpinValueAt(const SpinRange& r, int p)
{
    return (r.hi - r.lo) / 100 * p + r.lo;
}

int TimePosition(double t, double rtl)
{
    if (!(rtl > 0))
        return 0;
    // The time of a position maps back to it, whatever the rounding of rtl / 100 * p.
    const double p = t / (rtl / 100) + 1e-9;
    if (!std::isfinite(p))
        return 0;
    return static_cast<int>(std::clamp(std::trunc(p), 0.0, 100.0));
}

const char* CSpinModel::Name(int param) const
{
    return Spins(param) ? kNames[param] : "";
}

int CSpinModel::ParamOfName(const std::string& name) const
{
    for (int p = kSpinT; p <= kSpinPA; ++p)
        if (Spins(p) && name == kNames[p])
            return p;
    return 0;
}

const char* CSpinModel::NameRefusal() const
{
    return m_bForcing ? "Only the parameters a, b, c, d, af, pa and t\nare available for "
                        "spinning.  Please\nenter one of these."
                      : "Only the parameters a, b, c, d and t\nare available for spinning.  "
                        "Please\nenter one of these.";
}

void CSpinModel::StartSpinCopies(CModelCore& s)
{
    if (s.m_bSpinCopies)
        return;
    s.m_dSpinAF = s.m_dAngFreq;
    s.m_dSpinPA = s.m_dPhase;
    s.m_strSpinAF = NumberToString(s.m_dAngFreq);
    s.m_strSpinPA = NumberToString(s.m_dPhase);
    s.m_bSpinCopies = true;
}

double* CSpinModel::Member(CModelCore& s, int param) const
{
    switch (param) {
    case kSpinT:
        return &s.m_dVFTime;
    case kSpinA:
        return &s.m_dParamA;
    case kSpinB:
        return &s.m_dParamB;
    case kSpinC:
        return &s.m_dParamC;
    case kSpinD:
        return &s.m_dParamD;
    case kSpinAF:
        return m_bForcing ? &s.m_dSpinAF : nullptr;
    case kSpinPA:
        return m_bForcing ? &s.m_dSpinPA : nullptr;
    default:
        return nullptr;
    }
}

std::string* CSpinModel::Text(CModelCore& s, int param) const
{
    std::string* texts[] = {&s.m_strParamA, &s.m_strParamB, &s.m_strParamC,
                            &s.m_strParamD, &s.m_strSpinAF, &s.m_strSpinPA};
    return Spins(param) && param >= kSpinA ? texts[param - kSpinA] : nullptr;
}

SpinRange& CSpinModel::RangeRef(int param)
{
    return m_ranges[std::clamp(param, +kSpinA, +kSpinPA) - kSpinA];
}

SpinRange CSpinModel::Range(int param) const
{
    return const_cast<CSpinModel*>(this)->RangeRef(param);
}

void CSpinModel::RangesFromModel(const CModelCore& s)
{
    const double values[] = {s.m_dParamA, s.m_dParamB, s.m_dParamC, s.m_dParamD};
    for (int i = 0; i < 4; ++i)
        m_ranges[i] = SpinRangeAround(values[i]);
    if (m_bForcing) {
        m_ranges[4] = SpinRangeOfAF(s.m_dSpinAF);
        m_ranges[5] = SpinRangeAround(s.m_dSpinPA);
    }
}

double CSpinModel::Value(const CModelCore& s) const
{
    const double* v = Member(const_cast<CModelCore&>(s), s.m_nSpinParam);
    return v ? *v : 0;
}

int CSpinModel::Position(const CModelCore& s) const
{
    const int param = s.m_nSpinParam;
    if (param == kSpinT)
        return TimePosition(s.m_dVFTime, s.m_dRunTimeLimit);
    if (param == kSpinAF && m_bForcing && s.m_dSpinAF < 2) {
        const double p = std::round(s.m_dSpinAF * 50);
        return static_cast<int>(std::clamp(std::isfinite(p) ? p : 0.0, 0.0, 100.0));
    }
    return 50;
}

void CSpinModel::Step(CModelCore& s, int p) const
{
    double* v = Member(s, s.m_nSpinParam);
    if (!v)
        return;
    p = std::clamp(p, 0, 100);
    *v = s.m_nSpinParam == kSpinT ? s.m_dRunTimeLimit / 100 * p
                                  : SpinValueAt(Range(s.m_nSpinParam), p);
}

void CSpinModel::Choose(CModelCore& s) const
{
    const int param = s.m_nSpinParam;
    if (param == kSpinT || !Spins(param) || (param == kSpinAF && s.m_dSpinAF < 2))
        return;
    Step(s, 50);
}

CSpinModel::Entry CSpinModel::Enter(CModelCore& s, const std::string& text)
{
    const int param = s.m_nSpinParam;
    double* member = Member(s, param);
    if (!member)
        return {true, {}};
    int status = 0;
    const double v = s.CheckExpression(text, &status);
    const bool time = param == kSpinT, af = param == kSpinAF;
    const double lo = time || af ? 0 : -kBound, hi = time ? s.m_dRunTimeLimit : kBound;
    if (status == 0 || !(v >= lo && v <= hi)) {
        const std::string lower = time ? "0" : af ? "0.0" : "-1e30";
        const std::string upper = time ? NumberToString(s.m_dRunTimeLimit) : "+1e30";
        return {false, "Please enter a number from " + lower + " to " + upper};
    }
    *member = v;
    if (std::string* t = Text(s, param)) {
        *t = text;
        RangeRef(param) = af ? SpinRangeOfAF(v) : SpinRangeAround(v);
    }
    return {true, {}};
}
