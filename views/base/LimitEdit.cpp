#include "views/base/LimitEdit.h"

#include "model/ModelDocument.h"
#include "model/core/KindVars.h"
#include "platform/base/MessageHook.h"
#include "views/base/LimitCaptions.h"
#include "views/base/LimitDialogRules.h"
#include "views/base/PlotLimDlg.h"

namespace {
// The run's (or the import's) extent of a column; a column without one gives the default box.
DataExtent ColumnExtent(const CModelCore& s, int column)
{
    const VarInfo& v = VarOf(static_cast<VarSlot>(column));
    if (!v.min || !v.max)
        return {-10, 10};
    return {s.*v.min, s.*v.max};
}

void SetCaptions(C2DViewLimDlg& dlg, const LimitDialogSpec& spec)
{
    const AxisCaptions h = LimitCaptions(spec.prefix, spec.names[0]);
    const AxisCaptions v = LimitCaptions(spec.prefix, spec.names[1]);
    dlg.m_strHMinLabel = h.min;
    dlg.m_strHMaxLabel = h.max;
    dlg.m_strHAbsMinLabel = h.absMin;
    dlg.m_strHAbsMaxLabel = h.absMax;
    dlg.m_strVMinLabel = v.min;
    dlg.m_strVMaxLabel = v.max;
    dlg.m_strVAbsMinLabel = v.absMin;
    dlg.m_strVAbsMaxLabel = v.absMax;
}
} // namespace

bool EditPlotLimits(CWnd* pParent, const CModelCore& s, const LimitDialogSpec& spec, PlotLimits& g)
{
    C2DViewLimDlg dlg(pParent);
    SetCaptions(dlg, spec);
    dlg.SetLimits({RoundedForDialog(g.x), RoundedForDialog(g.y)});
    const DataExtent x = ColumnExtent(s, spec.columns[0]);
    const DataExtent y = ColumnExtent(s, spec.columns[1]);
    dlg.m_dDataXMin = x.min;
    dlg.m_dDataXMax = x.max;
    dlg.m_dDataYMin = y.min;
    dlg.m_dDataYMax = y.max;
    dlg.m_bHaveData[0] = s.m_bHaveData ? 1 : 0;
    dlg.m_bHaveData[1] = s.m_bHaveImport ? 1 : 0;
    if (dlg.DoModal() != msgbox::IDOK)
        return false;
    const PlotLimits typed = dlg.Limits();
    AxisLimits axes[2] = {typed.x, typed.y};
    for (AxisLimits& a : axes)
        OrderLimitPairs(a);
    const AxisLimits before[2] = {g.x, g.y};
    const std::vector<std::string> messages = HoldWorkingInside(axes, spec.names.data(), 2, before);
    for (const std::string& text : messages)
        ShowMessageBox(text);
    if (messages.size() == 1 && messages[0] == kClosedRangeMessage)
        return false; // the limits stay as they were
    g = {axes[0], axes[1]};
    return true;
}
