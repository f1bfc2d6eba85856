#include "model/core/SettingsTable.h"

#include "model/core/KindVars.h"
#include "model/core/NumberText.h"

#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace {

using namespace kinds;
using S = CModelSettings;
constexpr double kInf = std::numeric_limits<double>::infinity();

// Collects the table. Members are given as pointers to members (with an index for array
// elements); each helper returns the new field so that a call can refine it.
class Builder
{
public:
    std::vector<SettingField> fields;

    template <class T>
    SettingField& Add(std::string name, FieldType type, std::string key, unsigned k, T S::*mp)
    {
        return Push(std::move(name), type, std::move(key), k,
                    [mp](S& s) -> void* { return &(s.*mp); });
    }
    template <class T, std::size_t Len>
    SettingField& Add(std::string name, FieldType type, std::string key, unsigned k,
                      T (S::*mp)[Len], int i)
    {
        return Push(std::move(name) + "[" + std::to_string(i) + "]", type, std::move(key), k,
                    [mp, i](S& s) -> void* { return &(s.*mp)[i]; });
    }

    SettingField& Flag(std::string n, std::string key, unsigned k, BOOL S::*mp, int def)
    {
        return Def(Add(std::move(n), FieldType::Bool, std::move(key), k, mp), def);
    }
    SettingField& Dbl(std::string n, std::string key, unsigned k, double S::*mp, double def = 0)
    {
        return Def(Add(std::move(n), FieldType::Double, std::move(key), k, mp), def);
    }
    SettingField& Int(std::string n, std::string key, unsigned k, int S::*mp, int def, double lo,
                      double hi)
    {
        auto& f = Def(Add(std::move(n), FieldType::Int, std::move(key), k, mp), def);
        f.checked = true;
        f.lo = lo;
        f.hi = hi;
        return f;
    }
    SettingField& IntAny(std::string n, unsigned k, int S::*mp, int def)
    {
        auto& f = Def(Add(std::move(n), FieldType::Int, "", k, mp), def);
        f.checked = false;
        return f;
    }
    SettingField& Txt(std::string n, std::string key, unsigned k, std::string S::*mp,
                      std::string def)
    {
        auto& f = Add(std::move(n), FieldType::Text, std::move(key), k, mp);
        f.defText = std::move(def);
        return f;
    }

    static SettingField& Def(SettingField& f, double v)
    {
        f.defNumber = v;
        return f;
    }

private:
    SettingField& Push(std::string name, FieldType type, std::string key, unsigned k,
                       std::function<void*(S&)> addr)
    {
        SettingField f;
        f.name = std::move(name);
        f.key = std::move(key);
        f.kinds = k;
        f.type = type;
        f.defNumber = 0;
        f.bySetDefaults = true;
        f.checked = type != FieldType::Text;
        f.lo = -kInf; // doubles: any finite value
        f.hi = kInf;
        if (type == FieldType::Bool) {
            f.lo = 0;
            f.hi = 1;
        } else if (type == FieldType::Color) {
            f.lo = 0;
            f.hi = 0xFFFFFF;
        }
        f.addr = std::move(addr);
        fields.push_back(std::move(f));
        return fields.back();
    }
};

// The per-curve flags of the Graph vs Time view (draw) and of the table (show).
// A flag per variable of the table (plot or table flag): its kinds are those that have the
// variable, its member is named after the variable ("m_bPlotXp"), its key too ("plotx'").
void AddCurveFlags(Builder& b, const std::string& member, const std::string& key,
                   BOOL S::*VarInfo::*which)
{
    for (int i = kSlotX; i < kSlots; ++i) {
        const auto slot = static_cast<VarSlot>(i);
        unsigned k = 0;
        for (int kind = 0; kind < kSystemKinds; ++kind)
            if (kKindVars[kind].Has(slot))
                k |= 1u << kind;
        b.Flag(member + MemberSuffix(slot), key + VarOf(slot).name, k, VarOf(slot).*which, 1);
    }
}

// A double with the range its dialog field allows.
SettingField& Bounded(SettingField& f, double lo, double hi)
{
    f.lo = lo;
    f.hi = hi;
    return f;
}

void AddGraph(Builder& b)
{
    AddCurveFlags(b, "m_bPlot", "plot", &VarInfo::plot);
    Bounded(b.Dbl("m_dGraphVAbsMax", "", All, &S::m_dGraphVAbsMax, 10), -1e30, 1e30);
    Bounded(b.Dbl("m_dGraphVAbsMin", "", All, &S::m_dGraphVAbsMin, -10), -1e30, 1e30);
    Bounded(b.Dbl("m_dGraphVMax", "vmax", All, &S::m_dGraphVMax, 10), -1e30, 1e30);
    Bounded(b.Dbl("m_dGraphVMin", "vmin", All, &S::m_dGraphVMin, -10), -1e30, 1e30);
}

// A 2-D limit block: AbsMax1, AbsMin1, AbsMax2, AbsMin2, Max1, Min1, Max2, Min2. Axis 2 is x'
// in the Newtonian and one-variable kinds and y in the two-variable kind, so its shown range
// has a key per kind (two entries for the same member).
void AddBlock2(Builder& b, const std::string& p, const std::string& key,
               const std::array<double S::*, 8>& mp, unsigned k)
{
    static const char* const suffix[8] = {"AbsMax1", "AbsMin1", "AbsMax2", "AbsMin2",
                                          "Max1",    "Min1",    "Max2",    "Min2"};
    static const char* const axis[4] = {"xhi", "xlo", "x'hi", "x'lo"};
    static const char* const axisY[2] = {"yhi", "ylo"};
    for (int i = 0; i < 8; ++i) {
        const double def = i % 2 ? -10 : 10;
        const std::string name = "m_d" + p + suffix[i];
        if (i < 4) {
            b.Dbl(name, "", k, mp[i], def);
        } else if (i < 6) {
            b.Dbl(name, key + axis[i - 4], k, mp[i], def);
        } else {
            b.Dbl(name, key + axis[i - 4], k & (N | K1), mp[i], def);
            b.Dbl(name, key + axisY[i - 6], k & K2, mp[i], def);
        }
    }
}

// A 3-D limit block: AbsMax/AbsMin of x, y, z, then Max/Min of x, y, z.
void AddBlock3(Builder& b, const std::string& p, const std::string& key,
               const std::array<double S::*, 12>& mp)
{
    static const char* const suffix[12] = {"AbsMaxX", "AbsMinX", "AbsMaxY", "AbsMinY",
                                           "AbsMaxZ", "AbsMinZ", "MaxX",    "MinX",
                                           "MaxY",    "MinY",    "MaxZ",    "MinZ"};
    static const char* const axis[6] = {"xhi", "xlo", "yhi", "ylo", "zhi", "zlo"};
    for (int i = 0; i < 12; ++i) {
        const std::string k = (i >= 6 && !key.empty()) ? key + axis[i - 6] : "";
        b.Dbl("m_d" + p + suffix[i], k, K3, mp[i], i % 2 ? -10 : 10);
    }
}

#define BLOCK2(P)                                                                                  \
    {                                                                                              \
        &S::m_d##P##AbsMax1, &S::m_d##P##AbsMin1, &S::m_d##P##AbsMax2, &S::m_d##P##AbsMin2,        \
            &S::m_d##P##Max1, &S::m_d##P##Min1, &S::m_d##P##Max2, &S::m_d##P##Min2                 \
    }
#define BLOCK3(P)                                                                                  \
    {                                                                                              \
        &S::m_d##P##AbsMaxX, &S::m_d##P##AbsMinX, &S::m_d##P##AbsMaxY, &S::m_d##P##AbsMinY,        \
            &S::m_d##P##AbsMaxZ, &S::m_d##P##AbsMinZ, &S::m_d##P##MaxX, &S::m_d##P##MinX,          \
            &S::m_d##P##MaxY, &S::m_d##P##MinY, &S::m_d##P##MaxZ, &S::m_d##P##MinZ                 \
    }

void AddLimits(Builder& b)
{
    AddBlock2(b, "PO", "po", BLOCK2(PO), N | K1 | K2);
    AddBlock2(b, "FO", "fo", BLOCK2(FO), N | K1 | K2);
    AddBlock2(b, "OS", "os", BLOCK2(OS), N | K1 | K2);
    AddBlock2(b, "PS", "ps", BLOCK2(PS), N | K1 | K2);
    AddBlock2(b, "BA", "ba", BLOCK2(BA), N | K1 | K2);
    AddBlock3(b, "PO3", "po", BLOCK3(PO3));
    AddBlock3(b, "PS3", "ps", BLOCK3(PS3));
    AddBlock3(b, "B3", "", BLOCK3(B3));
}

void AddState(Builder& b)
{
    b.Dbl("m_dT", "", All, &S::m_dT);
    b.Dbl("m_dX", "", All, &S::m_dX);
    b.Dbl("m_dXp", "", All, &S::m_dXp);
    b.Dbl("m_dXpp", "", N, &S::m_dXpp);
    b.Dbl("m_dY", "", K2 | K3, &S::m_dY);
    b.Dbl("m_dYp", "", K2 | K3, &S::m_dYp);
    b.Dbl("m_dZ", "", K3, &S::m_dZ);
    b.Dbl("m_dZp", "", K3, &S::m_dZp);
}

void AddTimeBase(Builder& b)
{
    Bounded(b.Dbl("m_dGraphTMin", "tmin", All, &S::m_dGraphTMin, 0), 0, 1e30);
    Bounded(b.Dbl("m_dGraphTMax", "tmax", All, &S::m_dGraphTMax, kTwoPi), 1e-30, 1e30);
    b.Dbl("m_dRunTimeLimit", "rtl", All, &S::m_dRunTimeLimit, kTwoPi);
    Bounded(b.Dbl("m_dInitX", "ix", All, &S::m_dInitX), -1e30, 1e30);
    Bounded(b.Dbl("m_dInitXp", "ix'", N | K1, &S::m_dInitXp), -1e30, 1e30);
    Bounded(b.Dbl("m_dInitY", "iy", K2 | K3, &S::m_dInitY), -1e30, 1e30);
    Bounded(b.Dbl("m_dInitZ", "iz", K3, &S::m_dInitZ), -1e30, 1e30);
    b.Int("m_nXDelay", "xdel", All, &S::m_nXDelay, 1, 1, 100000);
    b.Int("m_nYDelay", "ydel", K2 | K3, &S::m_nYDelay, 1, 1, 100000);
    b.Int("m_nZDelay", "zdel", K3, &S::m_nZDelay, 1, 1, 100000);
    // pa is taken up to kPhaseLimit and stored rounded to six places; af also comes from
    // per = 2 pi / af, whose least value is 1e-30.
    const double pa = RoundToDigits(kPhaseLimit, 6);
    Bounded(b.Dbl("m_dPhase", "pa", All, &S::m_dPhase, 0), -pa, pa);
    Bounded(b.Dbl("m_dAngFreq", "af", All, &S::m_dAngFreq, 1), 1e-30, kTwoPi / 1e-30);
    // Derived from af when a file is read, so not checked there.
    Bounded(b.Dbl("m_dPeriod", "per", All, &S::m_dPeriod, kTwoPi), 1e-30, 1e30).checked = false;
    b.Int("m_nChrononsPerCycle", "c/c", All, &S::m_nChrononsPerCycle, 100, 30, 100000);
    b.Int("m_nTableInterval", "ti", All, &S::m_nTableInterval, 1, 1, 100000);
    b.Int("m_nTableRows", "tr", All, &S::m_nTableRows, 10000, 30, 1000000);
}

void AddTableAndRun(Builder& b)
{
    AddCurveFlags(b, "m_bTab", "tab", &VarInfo::table);
    b.Int("m_nActivePage", "", All, &S::m_nActivePage, 0, 0, 3);
    b.Int("m_nIntegrator", "iao", All, &S::m_nIntegrator, 1, 0, 1);
    b.Txt("m_strParamA", "a", All, &S::m_strParamA, "1");
    b.Txt("m_strParamB", "b", All, &S::m_strParamB, "1");
    b.Txt("m_strParamC", "c", All, &S::m_strParamC, "1");
    b.Txt("m_strParamD", "d", All, &S::m_strParamD, "1");
    b.Dbl("m_dParamA", "", All, &S::m_dParamA, 1);
    b.Dbl("m_dParamB", "", All, &S::m_dParamB, 1);
    b.Dbl("m_dParamC", "", All, &S::m_dParamC, 1);
    b.Dbl("m_dParamD", "", All, &S::m_dParamD, 1);
    Bounded(b.Dbl("m_dMass", "m", N, &S::m_dMass, 1), 1e-30, 1e30);
    b.Int("m_nTableSource", "tab", All, &S::m_nTableSource, 0, 0, 1).bySetDefaults = false;
    b.Flag("m_bPlotConcurrent", "cp", All, &S::m_bPlotConcurrent, 0);
    b.Flag("m_bPlotPostCalc", "pcp", All, &S::m_bPlotPostCalc, 1);
    b.Flag("m_bPlotManual", "mp", All, &S::m_bPlotManual, 0);
}

struct PenItem
{
    const char* item; // member suffix
    const char* key;  // key prefix; "" when the item has no keys
    unsigned kinds;
    COLORREF S::*clr;
    int S::*style; // nullptr: the item has only a colour
    int S::*width;
    COLORREF color;
    int defWidth;
};

void AddPens(Builder& b)
{
    const PenItem items[] = {
        {"X", "x", All, &S::m_clrX, &S::m_nStyleX, &S::m_nWidthX, RGB(255, 0, 0), 1},
        {"Xp", "x'", All, &S::m_clrXp, &S::m_nStyleXp, &S::m_nWidthXp, RGB(0, 255, 0), 1},
        {"Xpp", "x''", N, &S::m_clrXpp, &S::m_nStyleXpp, &S::m_nWidthXpp, RGB(0, 0, 255), 1},
        {"Y", "y", K2 | K3, &S::m_clrY, &S::m_nStyleY, &S::m_nWidthY, RGB(255, 255, 0), 1},
        {"Yp", "y'", K2 | K3, &S::m_clrYp, &S::m_nStyleYp, &S::m_nWidthYp, RGB(255, 0, 255), 1},
        {"Z", "z", K3, &S::m_clrZ, &S::m_nStyleZ, &S::m_nWidthZ, RGB(0, 0, 255), 1},
        {"Zp", "z'", K3, &S::m_clrZp, &S::m_nStyleZp, &S::m_nWidthZp, RGB(0, 255, 255), 1},
        {"PO", "po", All, &S::m_clrPO, &S::m_nStylePO, &S::m_nWidthPO, RGB(255, 0, 0), 1},
        {"PO2", "", All, &S::m_clrPO2, &S::m_nStylePO2, &S::m_nWidthPO2, RGB(0, 255, 0), 3},
        {"FO", "fo", N | K1 | K2, &S::m_clrFO, &S::m_nStyleFO, &S::m_nWidthFO, RGB(255, 0, 0), 1},
        {"FO2", "", All, &S::m_clrFO2, &S::m_nStyleFO2, &S::m_nWidthFO2, RGB(0, 255, 0), 3},
        {"PS", "ps", All, &S::m_clrPS, nullptr, nullptr, RGB(0, 255, 0), 0},
        {"Spare1", "", All, &S::m_clrSpare1, &S::m_nStyleSpare1, &S::m_nWidthSpare1, RGB(255, 0, 0),
         1},
        {"Spare2", "", All, &S::m_clrSpare2, &S::m_nStyleSpare2, &S::m_nWidthSpare2, RGB(0, 255, 0),
         3},
    };
    for (const auto& it : items) {
        const std::string item = it.item;
        const std::string key = it.key;
        auto k = [&](const char* what) { return key.empty() ? key : key + what; };
        Builder::Def(b.Add("m_clr" + item, FieldType::Color, k("clr"), it.kinds, it.clr), it.color);
        if (!it.style)
            continue;
        b.Int("m_nStyle" + item, k("lt"), it.kinds, it.style, 0, 0, 2);
        b.Int("m_nWidth" + item, k("lw"), it.kinds, it.width, it.defWidth, 1, 10);
    }
}

// Pens of imported data are the constructor's; they are listed for the files.
void AddImportPens(Builder& b)
{
    const CModelSettings ctor;
    auto ctorOnly = [](SettingField& f, double v) {
        f.bySetDefaults = false;
        Builder::Def(f, v);
    };
    for (int i = 0; i < 7; ++i) {
        ctorOnly(b.Add("m_clrImport", FieldType::Color, "", All, &S::m_clrImport, i),
                 ctor.m_clrImport[i]);
        ctorOnly(b.Add("m_clrImportView", FieldType::Color, "", All, &S::m_clrImportView, i),
                 ctor.m_clrImportView[i]);
        auto& st = b.Add("m_nStyleImport", FieldType::Int, "", All, &S::m_nStyleImport, i);
        st.lo = 0, st.hi = 2;
        ctorOnly(st, 0);
        auto& w = b.Add("m_nWidthImport", FieldType::Int, "", All, &S::m_nWidthImport, i);
        w.lo = 1, w.hi = 10;
        ctorOnly(w, ctor.m_nWidthImport[i]);
    }
    for (int i = 0; i < 6; ++i) {
        auto& st = b.Add("m_nStyleImportView", FieldType::Int, "", All, &S::m_nStyleImportView, i);
        st.lo = 0, st.hi = 2;
        ctorOnly(st, 0);
        auto& w = b.Add("m_nWidthImportView", FieldType::Int, "", All, &S::m_nWidthImportView, i);
        w.lo = 1, w.hi = 10;
        ctorOnly(w, ctor.m_nWidthImportView[i]);
    }
}

void AddSections(Builder& b)
{
    const CModelSettings ctor;
    for (int i = 0; i < 16; ++i) {
        // Section n (1-based) has the key "os<n>clr".
        const std::string key = "os" + std::to_string(i + 1) + "clr";
        Builder::Def(b.Add("m_clrSection", FieldType::Color, i < 15 ? key : "", N | K1 | K2,
                           &S::m_clrSection, i),
                     i % 2 ? RGB(0, 255, 255) : RGB(255, 0, 255));
    }
    for (int i = 0; i < 16; ++i) {
        auto& f = b.Add("m_clrSectionImport", FieldType::Color, "", All, &S::m_clrSectionImport, i);
        f.bySetDefaults = false;
        Builder::Def(f, ctor.m_clrSectionImport[i]);
    }
    for (int i = 0; i < 6; ++i)
        Builder::Def(b.Add("m_bMarkReturn", FieldType::Bool, "", All, &S::m_bMarkReturn, i), 0);
}

void AddVectorField(Builder& b)
{
    b.Int("m_nOrbitSections", "", All, &S::m_nOrbitSections, 6, 2, 15);
    b.Int("m_nModelForm", "", All, &S::m_nModelForm, 0, 0, 5); // the kind's limit: ModelFormCount
    b.Int("m_nBADepth", "", All, &S::m_nBADepth, 100, 0, kMaxBasinsDepth); // Depth 0 is allowed
    AddBlock2(b, "VF", "vf", BLOCK2(VF), N | K1 | K2);
    Builder::Def(b.Add("m_clrVFTrack", FieldType::Color, "vftclr", N | K2, &S::m_clrVFTrack),
                 RGB(255, 0, 0));
    Builder::Def(b.Add("m_clrVFTrack", FieldType::Color, "vfclr", K1, &S::m_clrVFTrack),
                 RGB(255, 0, 0));
    Builder::Def(b.Add("m_clrNullcline1", FieldType::Color, "x'nclr", N | K2, &S::m_clrNullcline1),
                 RGB(0, 255, 0));
    Builder::Def(b.Add("m_clrNullcline2", FieldType::Color, "x''nclr", N, &S::m_clrNullcline2),
                 RGB(0, 0, 255));
    Builder::Def(b.Add("m_clrNullcline2", FieldType::Color, "y'nclr", K2, &S::m_clrNullcline2),
                 RGB(0, 0, 255));
    Builder::Def(
        b.Add("m_clrStableManifold", FieldType::Color, "smclr", N | K2, &S::m_clrStableManifold),
        RGB(255, 0, 255));
    Builder::Def(b.Add("m_clrUnstableManifold", FieldType::Color, "umclr", N | K2,
                       &S::m_clrUnstableManifold),
                 RGB(255, 255, 0));
    Builder::Def(
        b.Add("m_clrDirFieldFrom", FieldType::Color, "dffclr", N | K2, &S::m_clrDirFieldFrom),
        RGB(255, 255, 0));
    Builder::Def(b.Add("m_clrDirFieldTo", FieldType::Color, "dftclr", N | K2, &S::m_clrDirFieldTo),
                 RGB(255, 0, 255));
    // Styles and widths of these pens take the Projected Orbit pen's (SetModelDefaults).
    b.Int("m_nStyleVFTrack", "vftlt", N | K2, &S::m_nStyleVFTrack, 0, 0, 2);
    b.Int("m_nStyleVFTrack", "vflt", K1, &S::m_nStyleVFTrack, 0, 0, 2);
    b.Int("m_nStyleNullcline1", "x'nlt", N | K2, &S::m_nStyleNullcline1, 0, 0, 2);
    b.Int("m_nStyleNullcline2", "x''nlt", N, &S::m_nStyleNullcline2, 0, 0, 2);
    b.Int("m_nStyleNullcline2", "y'nlt", K2, &S::m_nStyleNullcline2, 0, 0, 2);
    b.Int("m_nStyleStableManifold", "smlt", N | K2, &S::m_nStyleStableManifold, 0, 0, 2);
    b.Int("m_nStyleUnstableManifold", "umlt", N | K2, &S::m_nStyleUnstableManifold, 0, 0, 2);
    b.Int("m_nWidthVFTrack", "vftlw", N | K2, &S::m_nWidthVFTrack, 1, 1, 10);
    b.Int("m_nWidthVFTrack", "vflw", K1, &S::m_nWidthVFTrack, 1, 1, 10);
    b.Int("m_nWidthNullcline1", "x'nlw", N | K2, &S::m_nWidthNullcline1, 1, 1, 10);
    b.Int("m_nWidthNullcline2", "x''nlw", N, &S::m_nWidthNullcline2, 1, 1, 10);
    b.Int("m_nWidthNullcline2", "y'nlw", K2, &S::m_nWidthNullcline2, 1, 1, 10);
    b.Int("m_nWidthStableManifold", "smlw", N | K2, &S::m_nWidthStableManifold, 1, 1, 10);
    b.Int("m_nWidthUnstableManifold", "umlw", N | K2, &S::m_nWidthUnstableManifold, 1, 1, 10);
    b.Dbl("m_dSpinMin", "", N | K1 | K2, &S::m_dSpinMin, -1e30).bySetDefaults = false;
    b.Dbl("m_dSpinMax", "", N | K1 | K2, &S::m_dSpinMax, 1e30).bySetDefaults = false;
    b.Dbl("m_dVFTime", "", N | K1 | K2, &S::m_dVFTime, 0);
    b.Int("m_nSpinParam", "", N | K1 | K2, &S::m_nSpinParam, 2, 0,
          7); // 1 t, 2 a .. 5 d, 6 af, 7 pa
    b.Int("m_nManifoldSteps", "mid", N | K2, &S::m_nManifoldSteps, 300, 1, 99999);
    b.Int("m_nTrackSteps", "tid", N | K2, &S::m_nTrackSteps, 200, 1, 99999);
    b.Int("m_nBAGrid", "bagrid", N | K2, &S::m_nBAGrid, 1, 1, 100);
    b.Flag("m_bVFShowGrid", "sg", N | K2, &S::m_bVFShowGrid, 0);
    b.Int("m_nVFGridSpacing", "gl", N | K2, &S::m_nVFGridSpacing, 30, 10, 100).bySetDefaults =
        false;
}

void AddViews(Builder& b)
{
    b.Flag("m_bPlotOverlay", "op", All, &S::m_bPlotOverlay, 0);
    for (int i = 0; i < 7; ++i)
        Builder::Def(b.Add("m_bViewWanted", FieldType::Bool, "", All, &S::m_bViewWanted, i),
                     i == 0 ? 1 : 0);
    const auto pan = [&b](const char* name, unsigned k, POINT S::*mp) {
        Bounded(b.Add(name, FieldType::Point, "", k, mp), -kViewPanLimit, kViewPanLimit);
    };
    pan("m_ptPSPView", K3, &S::m_ptPSPView);
    pan("m_ptFOView", N | K1 | K2, &S::m_ptFOView);
    pan("m_ptOSView", N | K1 | K2, &S::m_ptOSView);
    pan("m_ptPS3View", K3, &S::m_ptPS3View);
    for (int i = 0; i < 4; ++i) {
        Bounded(
            Builder::Def(b.Add("m_nViewPitch", FieldType::Int, "", All, &S::m_nViewPitch, i), 30),
            -kViewAngleLimit, kViewAngleLimit);
        Bounded(Builder::Def(b.Add("m_nViewYaw", FieldType::Int, "", All, &S::m_nViewYaw, i), 70),
                -kViewAngleLimit, kViewAngleLimit);
    }
    b.Int("m_nRSMode", "wso", N, &S::m_nRSMode, 0, 0, 11);
    b.Int("m_nAnimDelay", "afd", N, &S::m_nAnimDelay, 0, 0, 100);
}

void AddKindMembers(Builder& b)
{
    b.Txt("m_strAppliedForce", "appf", N, &S::m_strAppliedForce, "a*cos(af*t+pa)");
    b.Txt("m_strRestoringForce", "resf", N, &S::m_strRestoringForce, "-b*x");
    b.Txt("m_strDragForce", "drgf", N, &S::m_strDragForce, "-c*x'");
    Bounded(b.Dbl("m_dJacobianStep", "psg", N | K2, &S::m_dJacobianStep, 1e-6), 1e-15, 1e-4);
    // The rate texts' defaults differ per kind (SetModelDefaults).
    b.Txt("m_strXRate", "x'", K1 | K2 | K3, &S::m_strXRate, "");
    b.Txt("m_strYRate", "y'", K2 | K3, &S::m_strYRate, "");
    b.Txt("m_strZRate", "z'", K3, &S::m_strZRate, "");
    b.Flag("m_bShowCellPSP", "", K3, &S::m_bShowCellPSP, 1);
    b.Flag("m_bShowCellPS", "", K3, &S::m_bShowCellPS, 1);
    b.Flag("m_bShowCell3", "", K3, &S::m_bShowCell3, 1);
}

std::vector<SettingField> BuildTable()
{
    Builder b;
    AddGraph(b);
    AddLimits(b);
    AddState(b);
    AddTimeBase(b);
    AddTableAndRun(b);
    AddPens(b);
    AddImportPens(b);
    AddSections(b);
    AddVectorField(b);
    AddViews(b);
    AddKindMembers(b);
    return std::move(b.fields);
}

} // namespace

int& SettingField::Int(CModelSettings& s) const
{
    return *static_cast<int*>(addr(s));
}
COLORREF& SettingField::Color(CModelSettings& s) const
{
    return *static_cast<COLORREF*>(addr(s));
}
double& SettingField::Double(CModelSettings& s) const
{
    return *static_cast<double*>(addr(s));
}
std::string& SettingField::Text(CModelSettings& s) const
{
    return *static_cast<std::string*>(addr(s));
}
POINT& SettingField::Point(CModelSettings& s) const
{
    return *static_cast<POINT*>(addr(s));
}

bool SettingField::InRange(const CModelSettings& cs) const
{
    if (!checked)
        return true;
    auto& s = const_cast<CModelSettings&>(cs); // read only
    switch (type) {
    case FieldType::Bool:
    case FieldType::Int:
        return Int(s) >= lo && Int(s) <= hi;
    case FieldType::Color:
        return Color(s) <= hi;
    case FieldType::Point:
        return Point(s).x >= lo && Point(s).x <= hi && Point(s).y >= lo && Point(s).y <= hi;
    case FieldType::Double:
        return std::isfinite(Double(s)) && Double(s) >= lo && Double(s) <= hi;
    default:
        return true;
    }
}

void SettingField::CopyValue(CModelSettings& to, const CModelSettings& cfrom) const
{
    auto& from = const_cast<CModelSettings&>(cfrom); // read only
    switch (type) {
    case FieldType::Bool:
    case FieldType::Int:
        Int(to) = Int(from);
        break;
    case FieldType::Color:
        Color(to) = Color(from);
        break;
    case FieldType::Double:
        Double(to) = Double(from);
        break;
    case FieldType::Text:
        Text(to) = Text(from);
        break;
    case FieldType::Point:
        Point(to) = Point(from);
        break;
    }
}

std::span<const SettingField> SettingsTable()
{
    static const std::vector<SettingField> table = BuildTable();
    return table;
}

const SettingField* FindField(std::string_view name)
{
    for (const auto& f : SettingsTable())
        if (f.name == name)
            return &f;
    return nullptr;
}

const SettingField* FindFieldByKey(std::string_view key, SystemKind kind)
{
    if (key.empty())
        return nullptr;
    for (const auto& f : SettingsTable())
        if (f.key == key && f.UsedBy(kind))
            return &f;
    return nullptr;
}
