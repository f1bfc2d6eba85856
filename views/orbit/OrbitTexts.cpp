#include "views/orbit/OrbitTexts.h"

#include "model/core/ModelCore.h"
#include "platform/Dc.h"
#include "views/base/MarginTexts.h"
#include "views/rows/PlotText.h"

void DrawMiddleLeftMargin(CDC* pDC, const CPlotPage& page, SystemKind kind, const CModelCore& s,
                          const std::vector<int>& digits, int digitsDt)
{
    const int h = page.m_nTextHeight;
    const int mid = (page.m_rcPlot.top + page.m_rcPlot.bottom) / 2;
    const std::vector<double> init = InitialValues(kind, s);
    const std::vector<std::string> labels = InitialValueLabels(kind, InitialLabels::Space);
    pDC->SetTextAlign(TA_RIGHT | TA_TOP);
    for (std::size_t i = 0; i < init.size() && i < labels.size() && i < digits.size(); ++i)
        pDC->TextOut(static_cast<int>(i) * h, mid + 5,
                     labels[i] + FormatNumber(init[i], digits[i]));
    pDC->SetTextAlign(TA_LEFT | TA_TOP);
    pDC->TextOut(0, mid - 5, "Chro/Cyc = " + FormatNumber(s.m_nChrononsPerCycle, 0));
    pDC->TextOut(h, mid - 5, "dt =" + FormatNumber(s.RunStep(), digitsDt));
}
