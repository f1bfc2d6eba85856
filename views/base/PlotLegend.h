#pragma once
// The legend swatches of a plot: an item's text written on its colour in the inverse colour,
// in rows above the plot's top left corner (the lowest first), each swatch's box kept for the
// click that edits its item.
#include "platform/Dc.h"

#include <vector>

struct LegendSwatch
{
    const char* text;
    COLORREF color;
    int item; // the index of its box
};
using SwatchRows = std::vector<std::vector<LegendSwatch>>;

// Writes a swatch with its bottom left corner at (x, yBottom); returns its width.
int DrawLegendSwatch(CDC* pDC, int x, int yBottom, const char* text, COLORREF c);

// The rows from (left, yBottom) upwards, h apart, their swatches 2 pixels apart; each swatch's
// box goes to boxes[item] (an item past nBoxes keeps none). Returns the widest row's right end.
int DrawLegendRows(CDC* pDC, int left, int yBottom, int h, const SwatchRows& rows, CRect* boxes,
                   int nBoxes);
