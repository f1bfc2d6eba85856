#include "views/base/PlotLegend.h"

#include "views/base/PlotShared.h"

#include <algorithm>

int DrawLegendSwatch(CDC* pDC, int x, int yBottom, const char* text, COLORREF c)
{
    pDC->SetBkColor(c);
    pDC->SetTextColor(c ^ 0xFFFFFF);
    pDC->TextOut(x, yBottom, text);
    return MeasureText(pDC, text).cx;
}

int DrawLegendRows(CDC* pDC, int left, int yBottom, int h, const SwatchRows& rows, CRect* boxes,
                   int nBoxes)
{
    pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
    pDC->SetBkMode(OPAQUE);
    int right = left, y = yBottom;
    for (const std::vector<LegendSwatch>& row : rows) {
        int x = left;
        for (const LegendSwatch& w : row) {
            const int width = DrawLegendSwatch(pDC, x, y, w.text, w.color);
            if (w.item >= 0 && w.item < nBoxes)
                boxes[w.item] = CRect(x, y - h, x + width, y);
            x += width + 2;
        }
        right = std::max(right, x);
        y -= h;
    }
    return right;
}
