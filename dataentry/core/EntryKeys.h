#pragma once
// The keys of the data-entry line, per model kind, built once from the settings table: each key
// names its member there and belongs to a group that says how its value is read, what storing
// it changes besides and which update code it selects. The orbit-section colours are a family
// recognised by their form ("os<n>...clr"), not listed here.
#include "model/core/SettingsTable.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

// How a value text is read and how a query answers.
enum class EntryValue
{
    Number,      // a leading decimal number
    Integer,     // leading decimal digits
    Expression,  // evaluated by the parser
    Equation,    // an equation text, compiled where the run replays it
    YesNo,       // "yes" / "no"
    LineStyle,   // "solid" / "dash" / "dot"
    Integrator,  // "1" / "5"
    TableSource, // "g" / "i"
    Colour       // chosen in the colour dialog; the value text is not read
};

// What storing the value does besides.
enum class EntryRule
{
    Store,
    Equation,         // model form back to typed equations
    Parameter,        // the text, its value and the parser's variable
    AngFreq,          // period, chronon, delay times, parser
    Period,           // angular frequency, chronon, delay times, parser
    Phase,            // rounded to six places, parser
    ChrononsPerCycle, // a multiple of the table interval; chronon, delay times
    Delay,            // delay times
    TableInterval,    // at most and dividing the chronons per cycle
    TableSource,      // imported only when there are imported data
    TimeMax,          // up to the run time limit; tmin to 0 when crossed
    TimeMin,          // below the run time limit; tmax to the limit when crossed
    RunTimeLimit,     // above tmin; vector-field time and tmax follow it down
    AxisMax,          // partner repair of a working range
    AxisMin,
    PlotTiming // exactly one of the three modes stays on
};

struct EntryKey
{
    std::string name;
    const SettingField* field = nullptr;
    EntryValue value = EntryValue::Number;
    EntryRule rule = EntryRule::Store;
    int code = 0;     // the update code of an accepted entry
    int equation = 0; // equation texts: the token list (1..3)
    // Axis keys: the working limit on the other side, the absolute limits, the axis's name.
    const SettingField* partner = nullptr;
    const SettingField* absMin = nullptr;
    const SettingField* absMax = nullptr;
    std::string axis;
};

// The fixed keys of a kind (the section colours excepted), in the settings table's order.
std::span<const EntryKey> EntryKeys(SystemKind kind);

// The key of that name in the kind, or nullptr.
const EntryKey* FindEntryKey(std::string_view name, SystemKind kind);

// The orbit-section colour family: nullopt when the name is none of it; otherwise the section's
// entry in m_clrSection (0 ... 14), or -1 when the character after "os" names no section.
std::optional<int> SectionColourEntry(std::string_view name, SystemKind kind);

// The numbers a key accepts before the limits that depend on other settings: the table's
// range, and +-1e30 where the table sets none.
double EntryLow(const EntryKey& key);
double EntryHigh(const EntryKey& key);
