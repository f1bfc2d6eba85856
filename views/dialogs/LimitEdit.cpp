#include "views/dialogs/LimitEdit.h"

#include "model/ModelDocument.h"
#include "model/core/KindVars.h"
#include "platform/base/MessageHook.h"
#include "views/dialogs/PlotLimDlg.h"

#include <algorithm>

DataExtent ColumnExtent(const CModelCore& s, int column)
{
    if (column < 0 || column >= kSlots)
        return {-10, 10};
    const VarInfo& v = VarOf(static_cast<VarSlot>(column));
    if (!v.min || !v.max)
        return {-10, 10};
    return {s.*v.min, s.*v.max};
}

bool EditViewLimits(CWnd* pParent, const CModelCore& s, const LimitDialogSpec& spec,
                    AxisLimits* axes, int n)
{
    if (n < 2 || n > 3)
        return false;
    LimitDialogInput in;
    in.view = spec.view;
    in.names = spec.names;
    for (int i = 0; i < n; ++i)
        in.extents[i] = ColumnExtent(s, spec.columns[i]);
    in.haveData = s.m_bHaveData != 0;
    in.haveImport = s.m_bHaveImport != 0;
    AxisLimits before[3];
    std::copy(axes, axes + n, before);
    if (!EditAxisLimits(pParent, in, axes, n))
        return false;
    const std::vector<std::string> messages = HoldWorkingInside(axes, spec.names.data(), n, before);
    for (const std::string& text : messages)
        ShowMessageBox(text);
    return !(messages.size() == 1 && messages[0] == kClosedRangeMessage); // else as they were
}

bool EditPlotLimits(CWnd* pParent, const CModelCore& s, const LimitDialogSpec& spec, PlotLimits& g)
{
    AxisLimits axes[2] = {g.x, g.y};
    if (!EditViewLimits(pParent, s, spec, axes, 2))
        return false;
    g = {axes[0], axes[1]};
    return true;
}
