#pragma once
// Which variables each model kind has, and what belongs to each variable: its name, where it
// stands among the values and rates, and its members in the settings record. The run, the
// core's table columns and the views' kind tables all read this one table.
#include "model/core/ModelSettings.h"
#include "model/core/VarSlot.h"

#include <span>
#include <string>

struct VarInfo
{
    const char* name; // "t", "x", "x'", "x''", ...
    int order;        // 0 a value, 1 its rate, 2 the rate of the rate
    int axis;         // 0 x, 1 y, 2 z; -1 for t
    // Members of the settings record; null where the variable has none (t has no pen).
    double CModelSettings::*value;   // the state where the next run continues
    double CModelSettings::*min;     // extents of the last run
    double CModelSettings::*max;     //
    double CModelSettings::*initial; // start value, where a kind integrates the variable
    BOOL CModelSettings::*plot;      // shown in Graph vs Time
    BOOL CModelSettings::*table;     // shown in the Data Table
    int CModelSettings::*style;      // pen
    int CModelSettings::*width;      //
    COLORREF CModelSettings::*color; //
    int importPen; // element of the pen arrays of imported data (m_clrImport ...), -1 for t
};

const VarInfo& VarOf(VarSlot slot);

// How the settings record's members name a variable: "X", "Xp", "Xpp" (m_clrXpp, m_bPlotXpp).
std::string MemberSuffix(VarSlot slot);

// The variables of one kind.
struct KindVars
{
    // The table's columns, t first.
    int columns;
    VarSlot column[kSlots];
    // What a step integrates (Newtonian x, x'; the others x, y, z) and the rate of each.
    int dim;
    VarSlot state[3];
    VarSlot rate[3];
    // x, y, z as far as the kind goes: the delayed values x:, y:, z: that it keeps.
    int axes;

    constexpr std::span<const VarSlot> Columns() const { return {column, std::size_t(columns)}; }
    constexpr std::span<const VarSlot> State() const { return {state, std::size_t(dim)}; }
    constexpr std::span<const VarSlot> Rates() const { return {rate, std::size_t(dim)}; }
    constexpr bool Has(VarSlot s) const
    {
        for (int i = 0; i < columns; ++i)
            if (column[i] == s)
                return true;
        return false;
    }
};

inline constexpr KindVars kKindVars[kSystemKinds] = {
    {4, {kSlotT, kSlotX, kSlotXp, kSlotXpp}, 2, {kSlotX, kSlotXp}, {kSlotXp, kSlotXpp}, 1},
    {3, {kSlotT, kSlotX, kSlotXp}, 1, {kSlotX}, {kSlotXp}, 1},
    {5, {kSlotT, kSlotX, kSlotXp, kSlotY, kSlotYp}, 2, {kSlotX, kSlotY}, {kSlotXp, kSlotYp}, 2},
    {7,
     {kSlotT, kSlotX, kSlotXp, kSlotY, kSlotYp, kSlotZ, kSlotZp},
     3,
     {kSlotX, kSlotY, kSlotZ},
     {kSlotXp, kSlotYp, kSlotZp},
     3},
};

constexpr const KindVars& VarsOf(SystemKind kind)
{
    return kKindVars[static_cast<int>(kind)];
}
