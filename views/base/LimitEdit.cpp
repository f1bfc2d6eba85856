#include "views/base/LimitEdit.h"

#include "model/ModelDocument.h"
#include "model/core/KindVars.h"
#include "platform/base/MessageHook.h"
#include "views/base/PlotLimDlg.h"

DataExtent ColumnExtent(const CModelCore& s, int column)
{
    if (column < 0 || column >= kSlots)
        return {-10, 10};
    const VarInfo& v = VarOf(static_cast<VarSlot>(column));
    if (!v.min || !v.max)
        return {-10, 10};
    return {s.*v.min, s.*v.max};
}

bool EditPlotLimits(CWnd* pParent, const CModelCore& s, const LimitDialogSpec& spec, PlotLimits& g)
{
    LimitDialogInput in;
    in.view = spec.view;
    in.names = {spec.names[0], spec.names[1], nullptr};
    in.extents = {ColumnExtent(s, spec.columns[0]), ColumnExtent(s, spec.columns[1]), {}};
    in.haveData = s.m_bHaveData != 0;
    in.haveImport = s.m_bHaveImport != 0;
    const AxisLimits before[2] = {g.x, g.y};
    AxisLimits axes[2] = {g.x, g.y};
    if (!EditAxisLimits(pParent, in, axes, 2))
        return false;
    const std::vector<std::string> messages = HoldWorkingInside(axes, spec.names.data(), 2, before);
    for (const std::string& text : messages)
        ShowMessageBox(text);
    if (messages.size() == 1 && messages[0] == kClosedRangeMessage)
        return false; // the limits stay as they were
    g = {axes[0], axes[1]};
    return true;
}
