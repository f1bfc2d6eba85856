#include "model/core/ModelSettings.h"

#include "model/core/DelayTimes.h"
#include "model/core/KindVars.h"
#include "model/core/ModelForms.h"
#include "model/core/SettingsTable.h"

int ModelFormCount(SystemKind kind)
{
    return static_cast<int>(StandardForms(kind).size());
}

namespace {

// Out of line: GCC 12 warns wrongly about short literals assigned to strings at -O3.
[[gnu::noinline]] void Assign(std::string& dst, const char* text)
{
    dst = text;
}

void WriteTableDefaults(CModelSettings& s)
{
    for (const auto& f : SettingsTable()) {
        if (!f.bySetDefaults || f.type == FieldType::Point)
            continue;
        switch (f.type) {
        case FieldType::Bool:
        case FieldType::Int:
            f.Int(s) = static_cast<int>(f.defNumber);
            break;
        case FieldType::Color:
            f.Color(s) = static_cast<COLORREF>(f.defNumber);
            break;
        case FieldType::Double:
            f.Double(s) = f.defNumber;
            break;
        case FieldType::Text:
            f.Text(s) = f.defText;
            break;
        case FieldType::Point:
            break;
        }
    }
    s.m_ptPSPView = s.m_ptFOView = s.m_ptOSView = s.m_ptPS3View = POINT{};
    // The vector-field pens follow the Projected Orbit pen as it stands now.
    s.m_nStyleVFTrack = s.m_nStyleNullcline1 = s.m_nStyleNullcline2 = s.m_nStylePO;
    s.m_nStyleStableManifold = s.m_nStyleUnstableManifold = s.m_nStylePO;
    s.m_nWidthVFTrack = s.m_nWidthNullcline1 = s.m_nWidthNullcline2 = s.m_nWidthPO;
    s.m_nWidthStableManifold = s.m_nWidthUnstableManifold = s.m_nWidthPO;
}

void WriteKindDefaults(CModelSettings& s, SystemKind kind)
{
    switch (kind) {
    case SystemKind::Newtonian:
        Assign(s.m_strAppliedForce, "a*cos(af*t+pa)");
        Assign(s.m_strRestoringForce, "-b*x");
        Assign(s.m_strDragForce, "-c*x'");
        s.m_strEquation =
            BuildEquation(s.m_strAppliedForce, s.m_strRestoringForce, s.m_strDragForce);
        s.m_dJacobianStep = 1e-6;
        break;
    case SystemKind::OneVariable:
        Assign(s.m_strXRate, "sin(x)");
        s.m_dInitX = s.m_dX = 0.01;
        break;
    case SystemKind::TwoVariable:
        Assign(s.m_strXRate, "a*x+b*y");
        Assign(s.m_strYRate, "c*x+d*y");
        Assign(s.m_strParamA, "0");
        Assign(s.m_strParamB, "1");
        Assign(s.m_strParamC, "-1");
        Assign(s.m_strParamD, "-.1");
        s.m_dInitX = 5;
        s.m_dJacobianStep = 1e-6;
        break;
    case SystemKind::ThreeVariable:
        Assign(s.m_strXRate, "-y-z");
        Assign(s.m_strYRate, "x+a*y");
        Assign(s.m_strZRate, "b+z*(x-c)");
        Assign(s.m_strParamA, ".12651");
        Assign(s.m_strParamB, "2");
        Assign(s.m_strParamC, "4");
        s.m_dRunTimeLimit = 25;
        s.m_bShowCellPSP = s.m_bShowCellPS = s.m_bShowCell3 = 1;
        break;
    }
}

} // namespace

void SetModelDefaults(CModelSettings& s, SystemKind kind)
{
    WriteTableDefaults(s);
    s.m_dY = s.m_dInitY;
    s.m_dZ = s.m_dInitZ;
    WriteKindDefaults(s, kind);
    ComputeDerivedValues(s, kind);
}

void ComputeDerivedValues(CModelSettings& s, SystemKind kind)
{
    const long long ti = s.m_nTableInterval > 0 ? s.m_nTableInterval : 1;
    s.m_nTableKB = static_cast<int>(
        static_cast<long long>(s.m_nTableRows) * VarsOf(kind).columns * 8 / (ti * 1024) + 1);
    s.m_dPeriod = kTwoPi / s.m_dAngFreq;
    UpdateChrononAndDelays(s);
}
