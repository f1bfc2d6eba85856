#include "views/base/PlotLegend.h"

#include "views/base/PlotShared.h"

#include <algorithm>

void CPlotLegend::Add(int key, Click click)
{
    if (Item* item = Find(key))
        item->click = std::move(click);
    else
        m_items.push_back({key, std::move(click)});
}

CPlotLegend::Item* CPlotLegend::Find(int key)
{
    const auto it =
        std::find_if(m_items.begin(), m_items.end(), [key](const Item& i) { return i.key == key; });
    return it == m_items.end() ? nullptr : &*it;
}

void CPlotLegend::Place(int key, const CRect& box)
{
    if (Item* item = Find(key))
        item->box = box;
}

void CPlotLegend::Hide(int key)
{
    if (Item* item = Find(key))
        item->box = kHidden;
}

void CPlotLegend::HideAll()
{
    for (Item& item : m_items)
        item.box = kHidden;
}

CRect CPlotLegend::Box(int key) const
{
    for (const Item& item : m_items)
        if (item.key == key)
            return item.box;
    return kHidden;
}

bool CPlotLegend::Dispatch(CPoint p) const
{
    for (const Item& item : m_items) {
        if (!item.box.PtInRect(p))
            continue;
        // What the click opens may repaint the legend, and so place its items again.
        const Click click = item.click;
        if (click)
            click();
        return true;
    }
    return false;
}

int DrawLegendSwatch(CDC* pDC, int x, int yBottom, const char* text, COLORREF c)
{
    pDC->SetBkColor(c);
    pDC->SetTextColor(c ^ 0xFFFFFF);
    pDC->TextOut(x, yBottom, text);
    return MeasureText(pDC, text).cx;
}

int DrawLegendRows(CDC* pDC, int left, int yBottom, int h, const SwatchRows& rows,
                   CPlotLegend& legend)
{
    pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
    pDC->SetBkMode(OPAQUE);
    int right = left, y = yBottom;
    for (const std::vector<LegendSwatch>& row : rows) {
        int x = left;
        for (const LegendSwatch& w : row) {
            const int width = DrawLegendSwatch(pDC, x, y, w.text, w.color);
            legend.Place(w.item, CRect(x, y - h, x + width, y));
            x += width + 2;
        }
        right = std::max(right, x);
        y -= h;
    }
    return right;
}
