#pragma once
// The legend swatches of a plot: an item's text written on its colour in the inverse colour,
// in rows above the plot's top left corner (the lowest first), each swatch's box kept for the
// click that edits its item.
#include "platform/Dc.h"

#include <functional>
#include <vector>

// The items of a plot's legend that a click opens: the view says which it has and what each
// opens, in the order they are tried; drawing places the box of each item shown and hides the
// others. The plot base hands a click outside the plot to the first item whose box holds it.
class CPlotLegend
{
public:
    using Click = std::function<void()>;

    // An item, hidden until placed; tried after the items added before it.
    void Add(int key, Click click);
    // An item's box where it is drawn; an item not added keeps none.
    void Place(int key, const CRect& box);
    void Hide(int key);
    void HideAll();
    // The box of a shown item; (-1, -1, -1, -1) for one hidden or not added.
    CRect Box(int key) const;
    // Opens the first shown item whose box holds p; false when there is none.
    bool Dispatch(CPoint p) const;

private:
    static constexpr CRect kHidden{-1, -1, -1, -1};
    struct Item
    {
        int key;
        Click click;
        CRect box = kHidden;
    };
    Item* Find(int key);
    std::vector<Item> m_items;
};

struct LegendSwatch
{
    const char* text;
    COLORREF color;
    int item; // its key in the legend
};
using SwatchRows = std::vector<std::vector<LegendSwatch>>;

// Writes a swatch with its bottom left corner at (x, yBottom); returns its width.
int DrawLegendSwatch(CDC* pDC, int x, int yBottom, const char* text, COLORREF c);

// The rows from (left, yBottom) upwards, h apart, their swatches 2 pixels apart; each swatch's
// box is placed in the legend. Returns the widest row's right end.
int DrawLegendRows(CDC* pDC, int left, int yBottom, int h, const SwatchRows& rows,
                   CPlotLegend& legend);
