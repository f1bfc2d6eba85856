#pragma once
// One description per setting of CModelSettings: member name, data-entry key, kinds that use
// it, type, default and allowed range. SetModelDefaults, the model files, the check after
// loading, the property sheets and the data-entry window all read this table.
#include "model/core/ModelSettings.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>

// The largest phase typed in (either sign); the value kept is rounded to six places.
constexpr double kPhaseLimit = 3.14159265;
// The basins Depth strip's range.
constexpr int kMaxBasinsDepth = 1000;
// The 3-D views turn between these degrees (the View Angle dialog's range) and are panned at
// most this many pixels either way (as far as a drag or the Pan commands go).
constexpr int kViewAngleLimit = 180;
constexpr int kViewPanLimit = 1 << 22;

enum class FieldType
{
    Bool,
    Int,
    Color,
    Double,
    Text,
    Point
};

namespace kinds {
constexpr unsigned N = 1, K1 = 2, K2 = 4, K3 = 8;
constexpr unsigned All = N | K1 | K2 | K3;
constexpr unsigned Bit(SystemKind k)
{
    return 1u << static_cast<int>(k);
}
} // namespace kinds

struct SettingField
{
    std::string name; // member, with an index for array elements: "m_clrSection[3]"
    std::string key;  // data-entry short name; empty when the setting has none
    unsigned kinds;   // kinds::N | ... : the kinds whose key this is
    FieldType type;
    double defNumber;    // default of a number, flag or colour
    std::string defText; // default of a text
    bool bySetDefaults;  // false: the constructor's value is the default
    bool checked;        // a loaded value outside [lo, hi] is replaced by the default
    double lo, hi;
    std::function<void*(CModelSettings&)> addr;

    int& Int(CModelSettings& s) const; // Bool and Int
    COLORREF& Color(CModelSettings& s) const;
    double& Double(CModelSettings& s) const;
    std::string& Text(CModelSettings& s) const;
    POINT& Point(CModelSettings& s) const;

    bool UsedBy(SystemKind k) const { return (kinds & kinds::Bit(k)) != 0; }
    // Whether the member holds a value inside its range (always true when not checked).
    bool InRange(const CModelSettings& s) const;
    // Copies this member's value from another record.
    void CopyValue(CModelSettings& to, const CModelSettings& from) const;
};

// Every described setting, in the record's order.
std::span<const SettingField> SettingsTable();

// The field of a member name ("m_nTableRows", "m_bViewWanted[2]"), or nullptr.
const SettingField* FindField(std::string_view name);

// The field that a data-entry key names in a kind ("tr", "pox'hi"), or nullptr.
const SettingField* FindFieldByKey(std::string_view key, SystemKind kind);
