#pragma once
// The plain "Set Plot Boundaries" of a view: its block's two axes (the plane's dialog) or three
// (the box's), with the captions of its prefix and axis names, rounded, with the extents of the
// axes' columns for Auto Scale. After OK reversed pairs are swapped and each working limit
// beyond its absolute one is set back to it with its message.
#include "model/core/LimitBlocks.h"
#include "views/rows/LimitDialogRules.h"
#include "views/rows/ViewIndex.h"

#include <array>

class CModelCore;
class CWnd;

struct LimitDialogSpec
{
    ViewKey view;                     // whose captions the fields show
    std::array<const char*, 3> names; // horizontal, vertical, depth
    std::array<int, 3> columns;       // their table columns, for the extents; -1: none
};

// The run's (or the import's) extent of a table column; one without extents gives -10 .. 10.
DataExtent ColumnExtent(const CModelCore& s, int column);

// The first n axes (2 or 3) in the dialog: true when the user confirmed and axes hold the new
// limits; false after Cancel and for limits that would leave an axis without a range.
bool EditViewLimits(CWnd* pParent, const CModelCore& s, const LimitDialogSpec& spec,
                    AxisLimits* axes, int n);
// The same for a plane's two axes.
bool EditPlotLimits(CWnd* pParent, const CModelCore& s, const LimitDialogSpec& spec, PlotLimits& g);
