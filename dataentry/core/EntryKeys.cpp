#include "dataentry/core/EntryKeys.h"

#include <array>
#include <stdexcept>
#include <vector>

namespace {

using V = EntryValue;
using R = EntryRule;

struct Group
{
    std::string_view member; // exact name, or the start of the names when prefix is set
    bool prefix;
    V value;
    R rule;
    int code;
};

// Exact names first, then the families of members named alike.
constexpr Group kGroups[] = {
    {"m_strAppliedForce", false, V::Equation, R::Equation, 1},
    {"m_strRestoringForce", false, V::Equation, R::Equation, 1},
    {"m_strDragForce", false, V::Equation, R::Equation, 1},
    {"m_strXRate", false, V::Equation, R::Equation, 1},
    {"m_strYRate", false, V::Equation, R::Equation, 1},
    {"m_strZRate", false, V::Equation, R::Equation, 1},
    {"m_strParam", true, V::Expression, R::Parameter, 2},
    {"m_dAngFreq", false, V::Number, R::AngFreq, 2},
    {"m_dPeriod", false, V::Expression, R::Period, 2},
    {"m_dPhase", false, V::Expression, R::Phase, 2},
    {"m_nChrononsPerCycle", false, V::Integer, R::ChrononsPerCycle, 2},
    {"m_nXDelay", false, V::Integer, R::Delay, 2},
    {"m_nYDelay", false, V::Integer, R::Delay, 2},
    {"m_nZDelay", false, V::Integer, R::Delay, 2},
    {"m_dMass", false, V::Number, R::Store, 2},
    {"m_dJacobianStep", false, V::Number, R::Store, 2},
    {"m_dInit", true, V::Number, R::Store, 2},
    {"m_nRSMode", false, V::Integer, R::Store, 2},
    {"m_nAnimDelay", false, V::Integer, R::Store, 2},
    {"m_dGraphTMax", false, V::Number, R::TimeMax, 31},
    {"m_dGraphTMin", false, V::Number, R::TimeMin, 31},
    {"m_dRunTimeLimit", false, V::Number, R::RunTimeLimit, 4},
    {"m_bPlotConcurrent", false, V::YesNo, R::PlotTiming, 5},
    {"m_bPlotPostCalc", false, V::YesNo, R::PlotTiming, 5},
    {"m_bPlotManual", false, V::YesNo, R::PlotTiming, 5},
    {"m_bPlotOverlay", false, V::YesNo, R::Store, 5},
    {"m_nIntegrator", false, V::Integrator, R::Store, 6},
    {"m_nTableSource", false, V::TableSource, R::TableSource, 6},
    {"m_nTableRows", false, V::Integer, R::Store, 7},
    {"m_nTableInterval", false, V::Integer, R::TableInterval, 7},
    {"m_bPlot", true, V::YesNo, R::Store, 8},
    {"m_bTab", true, V::YesNo, R::Store, 9},
    {"m_clr", true, V::Colour, R::Store, 10},
    {"m_nStyle", true, V::LineStyle, R::Store, 10},
    {"m_nWidth", true, V::Integer, R::Store, 10},
    {"m_nTrackSteps", false, V::Integer, R::Store, 11},
    {"m_nManifoldSteps", false, V::Integer, R::Store, 11},
    {"m_nVFGridSpacing", false, V::Integer, R::Store, 12},
    {"m_bVFShowGrid", false, V::YesNo, R::Store, 12},
    {"m_nBAGrid", false, V::Integer, R::Store, 13},
};

bool StartsWith(std::string_view s, std::string_view p)
{
    return s.substr(0, p.size()) == p;
}

// The update code of each limit block, by the block's member prefix.
int LimitCode(std::string_view block)
{
    struct Block
    {
        std::string_view prefix;
        int code;
    };
    static constexpr Block blocks[] = {{"GraphV", 31}, {"PO3", 32}, {"PS3", 35},
                                       {"PO", 32},     {"FO", 33},  {"OS", 34},
                                       {"PS", 35},     {"BA", 36},  {"VF", 37}};
    for (const Block& b : blocks)
        if (block == b.prefix)
            return b.code;
    return -1;
}

std::string AxisName(std::string_view suffix, SystemKind kind)
{
    if (suffix.empty())
        return "vertical";
    if (suffix == "1")
        return "x";
    if (suffix == "2")
        return kind == SystemKind::TwoVariable ? "y" : "x'";
    return std::string(1, static_cast<char>(suffix[0] - 'A' + 'a'));
}

// A working limit "m_d<block>Max<axis>" or "m_d<block>Min<axis>": its partner and absolute
// limits. False when the member is no working limit.
bool ClassifyLimit(EntryKey& k, SystemKind kind)
{
    const std::string_view name = k.field->name;
    if (!StartsWith(name, "m_d") || name.find("Abs") != std::string_view::npos)
        return false;
    const auto pos = name.find_first_of("M", 3);
    if (pos == std::string_view::npos)
        return false;
    const std::string_view side = name.substr(pos, 3);
    if (side != "Max" && side != "Min")
        return false;
    const std::string block(name.substr(3, pos - 3));
    const std::string suffix(name.substr(pos + 3));
    k.code = LimitCode(block);
    if (k.code < 0)
        return false;
    const bool isMax = side == "Max";
    k.value = V::Number;
    k.rule = isMax ? R::AxisMax : R::AxisMin;
    k.partner = FindField("m_d" + block + (isMax ? "Min" : "Max") + suffix);
    k.absMin = FindField("m_d" + block + "AbsMin" + suffix);
    k.absMax = FindField("m_d" + block + "AbsMax" + suffix);
    k.axis = AxisName(suffix, kind);
    return k.partner && k.absMin && k.absMax;
}

EntryKey Classify(const SettingField& f, SystemKind kind)
{
    EntryKey k;
    k.name = f.key;
    k.field = &f;
    for (const Group& g : kGroups) {
        if (g.prefix ? !StartsWith(f.name, g.member) : f.name != g.member)
            continue;
        k.value = g.value;
        k.rule = g.rule;
        k.code = g.code;
        if (g.rule == R::Equation && kind != SystemKind::Newtonian)
            k.equation = f.name == "m_strXRate" ? 1 : f.name == "m_strYRate" ? 2 : 3;
        return k;
    }
    if (!ClassifyLimit(k, kind))
        throw std::logic_error("data-entry key without a group: " + f.key);
    return k;
}

std::vector<EntryKey> BuildKeys(SystemKind kind)
{
    std::vector<EntryKey> keys;
    for (const SettingField& f : SettingsTable()) {
        if (f.key.empty() || !f.UsedBy(kind) || StartsWith(f.name, "m_clrSection"))
            continue;
        keys.push_back(Classify(f, kind));
    }
    return keys;
}

} // namespace

std::span<const EntryKey> EntryKeys(SystemKind kind)
{
    static const std::array<std::vector<EntryKey>, kSystemKinds> keys = {
        BuildKeys(SystemKind::Newtonian), BuildKeys(SystemKind::OneVariable),
        BuildKeys(SystemKind::TwoVariable), BuildKeys(SystemKind::ThreeVariable)};
    return keys[static_cast<int>(kind)];
}

const EntryKey* FindEntryKey(std::string_view name, SystemKind kind)
{
    for (const EntryKey& k : EntryKeys(kind))
        if (k.name == name)
            return &k;
    return nullptr;
}

std::optional<int> SectionColourEntry(std::string_view name, SystemKind kind)
{
    if (kind == SystemKind::ThreeVariable || name.size() < 5 || !StartsWith(name, "os") ||
        name.substr(name.size() - 3) != "clr")
        return std::nullopt;
    const char c = name[2];
    if (c == '1') {
        const char d = name.size() > 3 ? name[3] : '\0';
        return d >= '0' && d <= '5' ? 9 + (d - '0') : 0; // "10".."15", else section 1
    }
    if (c >= '2' && c <= '9')
        return c - '1';
    return -1;
}

double EntryLow(const EntryKey& key)
{
    return key.field->lo < -1e30 ? -1e30 : key.field->lo;
}

double EntryHigh(const EntryKey& key)
{
    return key.field->hi > 1e30 ? 1e30 : key.field->hi;
}
