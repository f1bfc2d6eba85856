#include "model/core/ModelFile.h"

#include "model/core/LimitBlocks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

namespace {

// The description of a member as the kind knows it (its key differs between kinds: the
// two-variable kind's second axis is y where the others have x').
const SettingField* FieldOfKind(const std::string& name, SystemKind kind)
{
    for (const auto& f : SettingsTable())
        if (f.name == name && f.UsedBy(kind))
            return &f;
    return FindField(name);
}

class Layout
{
public:
    explicit Layout(SystemKind kind) : m_kind(kind) {}
    std::vector<const SettingField*> fields;

    void Add(const std::string& name)
    {
        const SettingField* f = FieldOfKind(name, m_kind);
        if (!f)
            throw std::logic_error("no setting " + name);
        fields.push_back(f);
    }
    void Add(std::initializer_list<const char*> names)
    {
        for (const char* n : names)
            Add(std::string(n));
    }
    void Elem(const char* array, int i) { Add(std::string(array) + "[" + std::to_string(i) + "]"); }
    void Elems(const char* array, std::initializer_list<int> idx)
    {
        for (int i : idx)
            Elem(array, i);
    }
    void Block2(const std::string& p)
    {
        for (const char* s :
             {"AbsMax1", "AbsMin1", "AbsMax2", "AbsMin2", "Max1", "Min1", "Max2", "Min2"})
            Add("m_d" + p + s);
    }
    void Block3(const std::string& p)
    {
        for (const char* s : {"AbsMaxX", "AbsMinX", "AbsMaxY", "AbsMinY", "AbsMaxZ", "AbsMinZ",
                              "MaxX", "MinX", "MaxY", "MinY", "MaxZ", "MinZ"})
            Add("m_d" + p + s);
    }

private:
    SystemKind m_kind;
};

// Curve sets: the members' suffixes and their slots in the imported-data arrays.
struct Curves
{
    std::vector<std::string> names;
    std::vector<int> importSlots;
};

Curves CurvesOf(SystemKind kind)
{
    switch (kind) {
    case SystemKind::Newtonian:
        return {{"X", "Xp", "Xpp"}, {0, 1, 2}};
    case SystemKind::OneVariable:
        return {{"X", "Xp"}, {0, 1}};
    case SystemKind::TwoVariable:
        return {{"X", "Xp", "Y", "Yp"}, {0, 1, 3, 4}};
    default:
        return {{"X", "Xp", "Y", "Yp", "Z", "Zp"}, {0, 1, 3, 4, 5, 6}};
    }
}

// Colours of the kind's curves, of the imported curves, of the Projected Orbit items and of
// their imported twins.
void CurveColors(Layout& l, SystemKind kind)
{
    const Curves c = CurvesOf(kind);
    for (const auto& name : c.names)
        l.Add("m_clr" + name);
    for (int i : c.importSlots)
        l.Elem("m_clrImport", i);
    l.Add({"m_clrPO", "m_clrPO2"});
    l.Elems("m_clrImportView", {0, 1});
}

// Styles or widths of the kind's curves, of the imported curves, of the Projected Orbit items
// and of their imported twins.
void CurvePens(Layout& l, SystemKind kind, const std::string& w)
{
    const std::string imp = "m_n" + w + "Import";
    const Curves c = CurvesOf(kind);
    for (const auto& n : c.names)
        l.Add("m_n" + w + n);
    for (int i : c.importSlots)
        l.Elem(imp.c_str(), i);
    l.Add("m_n" + w + "PO");
    l.Add("m_n" + w + "PO2");
    l.Elems((imp + "View").c_str(), {0, 1});
}

// The styles or the widths of the Newtonian, one- and two-variable files.
void PenRows(Layout& l, SystemKind kind, const std::string& w)
{
    CurvePens(l, kind, w);
    l.Add("m_n" + w + "VFTrack");
    if (kind != SystemKind::OneVariable)
        for (const char* s : {"Nullcline1", "Nullcline2", "StableManifold", "UnstableManifold"})
            l.Add("m_n" + w + s);
    l.Add("m_n" + w + "FO");
    l.Add("m_n" + w + "FO2");
    l.Elems(("m_n" + w + "ImportView").c_str(), {2, 3});
    l.Add("m_n" + w + "Spare1");
    l.Add("m_n" + w + "Spare2");
}

std::vector<const SettingField*> LayoutN12(SystemKind kind)
{
    const bool n = kind == SystemKind::Newtonian;
    const bool two = kind == SystemKind::TwoVariable;
    const bool vf = n || two;
    Layout l(kind);
    l.Add({"m_bPlotX", "m_bPlotXp"});
    if (n)
        l.Add("m_bPlotXpp");
    if (two)
        l.Add({"m_bPlotY", "m_bPlotYp"});
    if (n)
        l.Add({"m_strAppliedForce", "m_strRestoringForce", "m_strDragForce"});
    else
        l.Add("m_strXRate");
    if (two)
        l.Add("m_strYRate");
    l.Add({"m_dGraphVAbsMax", "m_dGraphVAbsMin", "m_dGraphVMax", "m_dGraphVMin"});
    for (const char* p : {"PO", "VF", "FO", "OS", "PS", "BA"})
        l.Block2(p);
    l.Add({"m_dGraphTMin", "m_dGraphTMax", "m_dRunTimeLimit", "m_dInitX"});
    if (n)
        l.Add("m_dInitXp");
    if (two)
        l.Add("m_dInitY");
    l.Add({"m_dPhase", "m_dAngFreq", "m_nChrononsPerCycle", "m_nXDelay"});
    if (two)
        l.Add("m_nYDelay");
    l.Add({"m_nTableInterval", "m_nTableRows", "m_bTabX", "m_bTabXp"});
    if (n)
        l.Add("m_bTabXpp");
    if (two)
        l.Add({"m_bTabY", "m_bTabYp"});
    l.Add({"m_nActivePage", "m_nIntegrator", "m_strParamA", "m_strParamB", "m_strParamC",
           "m_strParamD"});
    if (n)
        l.Add("m_dMass");
    l.Add({"m_bPlotConcurrent", "m_bPlotPostCalc", "m_bPlotManual"});
    CurveColors(l, kind);
    l.Add("m_clrVFTrack");
    if (vf)
        l.Add({"m_clrNullcline1", "m_clrNullcline2", "m_clrStableManifold", "m_clrUnstableManifold",
               "m_clrDirFieldFrom", "m_clrDirFieldTo"});
    l.Add({"m_clrFO", "m_clrFO2"});
    l.Elems("m_clrImportView", {2, 3});
    for (int i = 0; i < 16; ++i)
        l.Elem("m_clrSection", i);
    for (int i = 0; i < 16; ++i)
        l.Elem("m_clrSectionImport", i);
    l.Add("m_clrPS");
    l.Elem("m_clrImportView", 4);
    l.Add({"m_clrSpare1", "m_clrSpare2"});
    l.Elems("m_clrImportView", {5, 6});
    PenRows(l, kind, "Style");
    PenRows(l, kind, "Width");
    l.Elems("m_bMarkReturn", {0, 1, 2, 3, 4, 5});
    l.Add({"m_nOrbitSections", "m_dSpinMin", "m_dSpinMax", "m_dVFTime", "m_nSpinParam",
           "m_nModelForm", "m_nBADepth", "m_nBAGrid"});
    if (vf)
        l.Add({"m_nManifoldSteps", "m_nTrackSteps", "m_nVFGridSpacing"});
    l.Add("m_bPlotOverlay");
    l.Elems("m_bViewWanted", {0, 1, 2, 3, 4, 5, 6});
    l.Elem("m_nViewPitch", 1);
    l.Elem("m_nViewYaw", 1);
    l.Add("m_ptFOView");
    l.Elem("m_nViewPitch", 2);
    l.Elem("m_nViewYaw", 2);
    l.Add("m_ptOSView");
    if (n)
        l.Add({"m_nRSMode", "m_nAnimDelay"});
    if (vf)
        l.Add("m_dJacobianStep");
    return l.fields;
}

std::vector<const SettingField*> LayoutThree()
{
    Layout l(SystemKind::ThreeVariable);
    l.Add({"m_bPlotX", "m_bPlotXp", "m_bPlotY", "m_bPlotYp", "m_bPlotZ", "m_bPlotZp", "m_strXRate",
           "m_strYRate", "m_strZRate", "m_dGraphVAbsMax", "m_dGraphVAbsMin", "m_dGraphVMax",
           "m_dGraphVMin"});
    for (const char* p : {"PO3", "PS3", "B3"})
        l.Block3(p);
    l.Add({"m_dGraphTMin",     "m_dGraphTMax", "m_dRunTimeLimit",
           "m_dInitX",         "m_dInitY",     "m_dInitZ",
           "m_dPhase",         "m_dAngFreq",   "m_nChrononsPerCycle",
           "m_nXDelay",        "m_nYDelay",    "m_nZDelay",
           "m_nTableInterval", "m_nTableRows", "m_bTabX",
           "m_bTabXp",         "m_bTabY",      "m_bTabYp",
           "m_bTabZ",          "m_bTabZp",     "m_nActivePage",
           "m_nIntegrator",    "m_strParamA",  "m_strParamB",
           "m_strParamC",      "m_strParamD",  "m_bPlotConcurrent",
           "m_bPlotPostCalc",  "m_bPlotManual"});
    CurveColors(l, SystemKind::ThreeVariable);
    l.Add("m_clrPS");
    l.Elem("m_clrImportView", 4);
    l.Add({"m_clrSpare1", "m_clrSpare2"});
    l.Elems("m_clrImportView", {5, 6});
    for (const char* w : {"Style", "Width"}) {
        CurvePens(l, SystemKind::ThreeVariable, w);
        l.Add(std::string("m_n") + w + "Spare1");
        l.Add(std::string("m_n") + w + "Spare2");
    }
    l.Elems("m_bMarkReturn", {0, 1, 4, 5});
    l.Add({"m_nOrbitSections", "m_bShowCellPSP", "m_bShowCellPS", "m_bShowCell3", "m_nModelForm",
           "m_bPlotOverlay"});
    l.Elems("m_bViewWanted", {0, 1, 4});
    l.Elem("m_nViewPitch", 0);
    l.Elem("m_nViewYaw", 0);
    l.Add("m_ptPSPView");
    l.Elem("m_nViewPitch", 3);
    l.Elem("m_nViewYaw", 3);
    l.Add("m_ptPS3View");
    return l.fields;
}

void WriteField(CArchive& ar, const SettingField& f, CModelSettings& s)
{
    switch (f.type) {
    case FieldType::Bool:
    case FieldType::Int:
        ar.WriteInt(f.Int(s));
        break;
    case FieldType::Color:
        ar.WriteInt(static_cast<std::int32_t>(f.Color(s)));
        break;
    case FieldType::Double:
        ar.WriteDouble(f.Double(s));
        break;
    case FieldType::Text:
        ar.WriteString(f.Text(s));
        break;
    case FieldType::Point:
        ar.WritePoint(f.Point(s));
        break;
    }
}

void ReadField(CArchive& ar, const SettingField& f, CModelSettings& s)
{
    switch (f.type) {
    case FieldType::Bool:
    case FieldType::Int:
        f.Int(s) = ar.ReadInt();
        break;
    case FieldType::Color:
        f.Color(s) = static_cast<COLORREF>(ar.ReadInt());
        break;
    case FieldType::Double:
        f.Double(s) = ar.ReadDouble();
        break;
    case FieldType::Text:
        f.Text(s) = ar.ReadString();
        break;
    case FieldType::Point:
        f.Point(s) = ar.ReadPoint();
        break;
    }
}

// Rules that tie one value to another or to the kind.
bool SpecialRuleBroken(const SettingField& f, const CModelSettings& s, SystemKind kind)
{
    if (f.name == "m_nModelForm")
        return s.m_nModelForm > ModelFormCount(kind);
    if (f.name == "m_nTableInterval")
        return s.m_nTableInterval > 0 && s.m_nChrononsPerCycle > 0 &&
               s.m_nChrononsPerCycle % s.m_nTableInterval != 0;
    return false;
}

// The short name of a setting, or words for one that has none.
std::string Label(const SettingField& f)
{
    if (!f.key.empty())
        return f.key;
    static const std::pair<const char*, const char*> words[] = {
        {"m_clr", "plot styles"},
        {"m_nStyle", "plot styles"},
        {"m_nWidth", "plot styles"},
        {"m_bMarkReturn", "plot styles"},
        {"m_bViewWanted", "saved views"},
        {"m_nActivePage", "property page"},
        {"m_nOrbitSections", "orbit sections"},
        {"m_nModelForm", "standard form"},
        {"m_nBADepth", "basins depth"},
        {"m_nSpinParam", "spin parameter"},
        {"m_bShowCell", "Show Cell"},
        {"m_nViewPitch", "view angles"},
        {"m_nViewYaw", "view angles"},
        {"m_pt", "view pans"},
    };
    for (const auto& [prefix, text] : words)
        if (f.name.starts_with(prefix))
            return text;
    if (f.type == FieldType::Double)
        return "plot limits";
    return f.name;
}

// An axis whose window or bounds are no open range (every scale would divide by zero or go
// backwards) takes its defaults; the time axis keeps the run time, its bound. Whether any did.
bool ReplaceClosedAxes(CModelSettings& s, const CModelSettings& defaults)
{
    bool any = false;
    for (int b = 0; b < kLimitBlocks; ++b) {
        const auto block = static_cast<LimitBlock>(b);
        for (int i = 0; i < LimitMembers(block).axes; ++i) {
            const bool bounds = LimitMembers(block).axis[i].absMin != nullptr;
            const AxisLimits a = ReadAxis(s, block, i);
            if (RangeIsOpen(a.min, a.max) && (!bounds || RangeIsOpen(a.absMin, a.absMax)))
                continue;
            AxisLimits d = ReadAxis(defaults, block, i);
            if (!bounds)
                d.absMax = a.absMax;
            WriteAxis(s, block, i, d);
            any = true;
        }
    }
    return any;
}

} // namespace

std::span<const SettingField* const> FileLayout(SystemKind kind)
{
    static const std::array<std::vector<const SettingField*>, kSystemKinds> layouts = {
        LayoutN12(SystemKind::Newtonian), LayoutN12(SystemKind::OneVariable),
        LayoutN12(SystemKind::TwoVariable), LayoutThree()};
    return layouts[static_cast<int>(kind)];
}

void StoreModel(CArchive& ar, CModelSettings& s, SystemKind kind)
{
    // The Data Table view (counter 1) is not remembered.
    s.m_bViewWanted[0] = s.m_nOpenViews[0] >= 1;
    for (int i = 1; i < 7; ++i)
        s.m_bViewWanted[i] = s.m_nOpenViews[i + 1] >= 1;
    if (kind == SystemKind::ThreeVariable)
        for (int i : {2, 3, 5, 6})
            s.m_bViewWanted[i] = 0;
    for (const SettingField* f : FileLayout(kind))
        WriteField(ar, *f, s);
}

std::vector<std::string> LoadModel(CArchive& ar, CModelSettings& s, SystemKind kind)
{
    CModelSettings loaded = s;
    for (const SettingField* f : FileLayout(kind))
        ReadField(ar, *f, loaded);
    auto replaced = CheckLoadedSettings(loaded, kind);
    s = std::move(loaded);
    return replaced;
}

std::vector<std::string> CheckLoadedSettings(CModelSettings& s, SystemKind kind)
{
    static const std::array<CModelSettings, kSystemKinds> kindDefaults = [] {
        std::array<CModelSettings, kSystemKinds> d;
        for (int k = 0; k < kSystemKinds; ++k)
            SetModelDefaults(d[k], static_cast<SystemKind>(k));
        return d;
    }();
    const CModelSettings& defaults = kindDefaults[static_cast<int>(kind)];
    std::vector<std::string> replaced;
    // The chronons are checked first: the table interval must divide the value that stays.
    std::vector<const SettingField*> order(FileLayout(kind).begin(), FileLayout(kind).end());
    std::stable_partition(order.begin(), order.end(),
                          [](const SettingField* f) { return f->name == "m_nChrononsPerCycle"; });
    for (const SettingField* f : order) {
        if (f->InRange(s) && !SpecialRuleBroken(*f, s, kind))
            continue;
        f->CopyValue(s, defaults);
        if (SpecialRuleBroken(*f, s, kind)) // ti 1 divides any c/c; this is a safeguard
            s.m_nTableInterval = 1;
        const std::string label = Label(*f);
        if (std::find(replaced.begin(), replaced.end(), label) == replaced.end())
            replaced.push_back(label);
    }
    if (ReplaceClosedAxes(s, defaults) &&
        std::find(replaced.begin(), replaced.end(), "plot limits") == replaced.end())
        replaced.push_back("plot limits");
    return replaced;
}

std::string ReplacedSettingsMessage(const std::vector<std::string>& names)
{
    std::string text = "Some values in this model file were out of range.\n"
                       "They have been set to their default values:\n";
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i ? ", " : "") + names[i];
    return text;
}
