#include "views/base/MarginTexts.h"

#include "model/core/KindVars.h"
#include "model/core/ModelCore.h"
#include "platform/Dc.h"
#include "views/base/PlotText.h"

#include <string>

namespace {
std::string JoinedEquations(const std::vector<std::string>& texts)
{
    std::string joined;
    for (const std::string& t : texts)
        joined += (joined.empty() ? "" : " ") + t;
    return joined;
}

int PlotHeight(const CPlotPage& page)
{
    return page.m_rcPlot.bottom - page.m_rcPlot.top;
}
} // namespace

const KindMarginLabels& MarginLabels(SystemKind kind)
{
    static const KindMarginLabels labels[kSystemKinds] = {
        {{"Initial x =", "Initial x' ="}, {"m*x'' = "}},
        {{"Initial x = "}, {"x' = "}},
        {{"Initial x = ", "Initial y = "}, {"x' = ", "y' = "}},
        {{"Initial x = ", "Initial y = ", "Initial z = "}, {"x' = ", "y' = ", "z' = "}},
    };
    return labels[static_cast<int>(kind)];
}

std::vector<double> InitialValues(SystemKind kind, const CModelSettings& s)
{
    std::vector<double> values;
    for (VarSlot slot : VarsOf(kind).State())
        values.push_back(s.*VarOf(slot).initial);
    return values;
}

void DrawInitialValues(CDC* pDC, const CPlotPage& page, SystemKind kind, const CModelSettings& s,
                       int digitsX, int digitsY)
{
    DrawInitialValues(pDC, page, kind, InitialValues(kind, s), digitsX, digitsY);
}

void DrawInitialValues(CDC* pDC, const CPlotPage& page, SystemKind kind,
                       const std::vector<double>& init, int digitsX, int digitsY)
{
    pDC->SetTextAlign(TA_CENTER | TA_TOP);
    const std::vector<const char*>& labels = MarginLabels(kind).initial;
    const int y = PlotHeight(page) * 3 / 4 + page.m_nMarginTop;
    for (std::size_t i = 0; i < init.size() && i < labels.size(); ++i)
        pDC->TextOut(static_cast<int>(i) * page.m_nTextHeight, y,
                     labels[i] + FormatNumber(init[i], i == 0 ? digitsX : digitsY));
}

void DrawTimeBase(CDC* pDC, const CPlotPage& page, int chrononsPerCycle, double dt, int digitsDt)
{
    pDC->SetTextAlign(TA_CENTER | TA_TOP);
    const int y = PlotHeight(page) / 4 + page.m_nMarginTop;
    pDC->TextOut(0, y, "Chro/Cyc = " + FormatNumber(chrononsPerCycle, 0));
    pDC->TextOut(page.m_nTextHeight, y, "dt =" + FormatNumber(dt, digitsDt));
}

void DrawEquations(CDC* pDC, const CPlotPage& page, SystemKind kind, const CModelCore& s)
{
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextAlign(TA_CENTER | TA_TOP);
    pDC->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    const int mid = (page.m_rcPlot.left + page.m_rcPlot.right) / 2;
    const std::vector<const char*>& prefixes = MarginLabels(kind).equations;
    std::vector<std::string> equations;
    for (const std::string* eq : s.Equations())
        equations.push_back(*eq);
    int line = 0;
    for (std::size_t i = 0; i < equations.size() && i < prefixes.size(); ++i, ++line)
        pDC->TextOut(mid, line * page.m_nTextHeight, prefixes[i] + equations[i]);
    pDC->TextOut(mid, line * page.m_nTextHeight,
                 s.FormatUsedParameters(JoinedEquations(equations)));
}

void DrawImportName(CDC* pDC, const CPlotPage& page, const CModelCore& s)
{
    DrawImportName(pDC, page, s, s.m_clrImport[0]);
}

void DrawImportName(CDC* pDC, const CPlotPage& page, const CModelCore& s, COLORREF back)
{
    if (!s.m_bHaveImport)
        return;
    pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
    pDC->SetBkMode(OPAQUE);
    pDC->SetBkColor(back);
    pDC->SetTextColor(back ^ 0xFFFFFF);
    pDC->TextOut(0, page.m_rcPlot.bottom + page.m_nMarginBottom, s.m_strImportFile);
}
