#include "views/base/MarginTexts.h"

#include "model/core/KindVars.h"
#include "model/core/ModelCore.h"
#include "platform/Dc.h"
#include "views/rows/PlotText.h"

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
        {{"m*x'' = "}},
        {{"x' = "}},
        {{"x' = ", "y' = "}},
        {{"x' = ", "y' = ", "z' = "}},
    };
    return labels[static_cast<int>(kind)];
}

std::vector<std::string> InitialValueLabels(SystemKind kind, InitialLabels family)
{
    static const std::vector<const char*> names[kSystemKinds] = {
        {"Initial x", "Initial x'"},
        {"Initial x"},
        {"Initial x", "Initial y"},
        {"Initial x", "Initial y", "Initial z"},
    };
    // Whether "=" is followed by a blank, by family and kind.
    static const bool blank[3][kSystemKinds] = {
        {false, true, true, true},    // the graph
        {false, false, false, false}, // the orbit and vector-field planes
        {false, false, true, true},   // the orbit views in space
    };
    std::vector<std::string> labels;
    for (const char* name : names[static_cast<int>(kind)])
        labels.push_back(std::string(name) +
                         (blank[static_cast<int>(family)][static_cast<int>(kind)] ? " = " : " ="));
    return labels;
}

std::vector<double> InitialValues(SystemKind kind, const CModelSettings& s)
{
    std::vector<double> values;
    for (VarSlot slot : VarsOf(kind).State())
        values.push_back(s.*VarOf(slot).initial);
    return values;
}

void DrawInitialValues(CDC* pDC, const CPlotPage& page, SystemKind kind, InitialLabels family,
                       const CModelSettings& s, int digitsX, int digitsY)
{
    DrawInitialValues(pDC, page, kind, family, InitialValues(kind, s), digitsX, digitsY);
}

void DrawInitialValues(CDC* pDC, const CPlotPage& page, SystemKind kind, InitialLabels family,
                       const std::vector<double>& init, int digitsX, int digitsY)
{
    pDC->SetTextAlign(TA_CENTER | TA_TOP);
    const std::vector<std::string> labels = InitialValueLabels(kind, family);
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
