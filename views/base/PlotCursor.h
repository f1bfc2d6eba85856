#pragma once
// The keyboard cursor of a plot view as its description gives it: how its keys step
// (CursorSteps.h), the read-outs of its row in the right margin and their colours. The view
// bases draw the cross at the row and the read-outs after a key, at a repaint and at a run's
// end; a view with read-outs of its own replaces CPlotView::DrawCursor.
#include "model/core/ModelSettings.h"
#include "model/core/VarSlot.h"
#include "views/rows/CursorSteps.h"

#include <array>
#include <vector>

// The values of one table row, by column.
using RowValues = std::array<double, kSlots>;

// A read-out: the column's name and value ("x =1.234"), reading downwards from the point
// (R - across * h, y), R the window's right edge, h the text height, y the plot's top (line 0),
// its middle (line 1) or 50 pixels above its bottom (line 2).
struct CursorReadout
{
    int column;
    int across;
    int line;
};

struct CursorDescription
{
    CursorWrap wrap = CursorWrap::None; // None: the view has no keyboard cursor
    std::vector<CursorReadout> readouts;
    COLORREF CModelSettings::*color = nullptr; // of the computed rows; null: window text
    int importItem = -1; // element of m_clrImportView for the imported rows; -1: m_clrImport[0]
};
