#include "views/dialogs/DialogFields.h"

#include "model/core/SettingsTable.h"

#include <cmath>

namespace {
const SettingField* Bounded(std::string_view member)
{
    const SettingField* f = FindField(member);
    return f && std::isfinite(f->lo) && std::isfinite(f->hi) ? f : nullptr;
}
} // namespace

void DDX_Setting(CDataExchange* pDX, QLineEdit* pEdit, int& value, std::string_view member)
{
    DDX_Text(pDX, pEdit, value);
    if (const SettingField* f = Bounded(member))
        DDV_MinMaxInt(pDX, value, static_cast<int>(f->lo), static_cast<int>(f->hi));
}

void DDX_Setting(CDataExchange* pDX, QLineEdit* pEdit, double& value, std::string_view member)
{
    DDX_Text(pDX, pEdit, value);
    if (const SettingField* f = Bounded(member))
        DDV_MinMaxDouble(pDX, value, f->lo, f->hi);
}
