#pragma once
// Dialog fields whose range is a setting's: the bounds, and with them the framework's range
// message, come from the settings table (model/core/SettingsTable.h), so that a dialog and the
// model file's check share one range per setting.
#include "platform/DataExchange.h"

#include <string_view>

// DDX_Text followed by the range check of the named setting ("m_nWidthX"); a setting without
// finite bounds is only exchanged.
void DDX_Setting(CDataExchange* pDX, QLineEdit* pEdit, int& value, std::string_view member);
void DDX_Setting(CDataExchange* pDX, QLineEdit* pEdit, double& value, std::string_view member);
