#pragma once
// The plain "Set Plot Boundaries" of a 2-D view: its block's two axes with the captions of its
// prefix and axis names, rounded, with the extents of the axes' columns for Auto Scale. After
// OK reversed pairs are swapped and each working limit beyond its absolute one is set back to it
// with its message.
#include "model/core/LimitBlocks.h"
#include "views/base/LimitDialogRules.h"
#include "views/base/ViewIndex.h"

#include <array>

class CModelCore;
class CWnd;

struct LimitDialogSpec
{
    ViewKey view;                     // whose captions the fields show
    std::array<const char*, 2> names; // horizontal, vertical
    std::array<int, 2> columns;       // their table columns, for the extents
};

// The run's (or the import's) extent of a table column; one without extents gives -10 .. 10.
DataExtent ColumnExtent(const CModelCore& s, int column);

// True when the user confirmed and g holds the new limits.
bool EditPlotLimits(CWnd* pParent, const CModelCore& s, const LimitDialogSpec& spec, PlotLimits& g);
