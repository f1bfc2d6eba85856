#pragma once
// What a model document, its views and its run say to each other: the update hints of the
// document, the private window messages of the calculation threads and the row object that
// carries a stored row to the views.
#include "platform/CmdTarget.h"
#include "platform/Types.h"

#include <typeinfo>

// Update hints, sent with UpdateAllViews.
constexpr LPARAM HINT_RESET = -1;
constexpr LPARAM HINT_TITLE = 0;
constexpr LPARAM HINT_MODEL = 1;
constexpr LPARAM HINT_VIEW_ANGLE = 4;
constexpr LPARAM HINT_GRAPH_CURVES = 8;
constexpr LPARAM HINT_TABLE_COLUMNS = 9;
constexpr LPARAM HINT_PLOT_STYLE = 10;
constexpr LPARAM HINT_VF_GRID = 12;
constexpr LPARAM HINT_BA_GRID = 13;
constexpr LPARAM HINT_GRAPH_LIMITS = 31;
constexpr LPARAM HINT_PO_LIMITS = 32;
constexpr LPARAM HINT_FO_LIMITS = 33;
constexpr LPARAM HINT_OS_LIMITS = 34;
constexpr LPARAM HINT_PS_LIMITS = 35;
constexpr LPARAM HINT_BA_LIMITS = 36;
constexpr LPARAM HINT_VF_LIMITS = 37;
constexpr LPARAM HINT_CALC_DONE = 40;
// A stored row: the row itself travels in the CRowHint, never in the number, so that no row is
// ever read as one of the hints above.
constexpr LPARAM HINT_ROW = 64;

// Messages between a run, its views, the Data Table view and the progress window.
constexpr UINT WM_CALC_DONE = 0x8586;
constexpr UINT WM_CALC_SAMPLE = 0x8589;
constexpr UINT WM_TABLE_GOTO_ROW = 0x858C;
// To a progress window: wParam 0 advances the bar, 1 closes the window.
constexpr UINT WM_PROGRESS_STEP = 0x858D;

// A row stored during a run, sent to the views with HINT_ROW.
class CRowHint final : public CObject
{
public:
    explicit CRowHint(int nRow) : m_nRow(nRow) {}
    int m_nRow;

    // The hint as a row hint, or null: an exact type test, cheap for the row hints a live run
    // sends for every row.
    static const CRowHint* Of(const CObject* pHint)
    {
        return pHint && typeid(*pHint) == typeid(CRowHint) ? static_cast<const CRowHint*>(pHint)
                                                           : nullptr;
    }
};
