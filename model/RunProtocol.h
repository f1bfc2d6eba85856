#pragma once
// What a model document, its views and its run say to each other: the update hints of the
// document, the private window messages of the calculation threads and the command ids of the
// documents' menus.
#include "platform/CmdTarget.h"
#include "platform/Types.h"

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

// Messages of the calculation threads (WM_APP + offset).
constexpr UINT WM_CALC_DONE = 0x8586;      // posted at a run's end: next row to write, rows stored
constexpr UINT WM_CALC_SAMPLE = 0x8589;    // sent after a stored row: the row, rows before it
constexpr UINT WM_TABLE_GOTO_ROW = 0x858C; // posted to the Data Table view: the row
constexpr UINT WM_PROGRESS_STEP = 0x858D;  // to a progress window: 0 advances, 1 closes

// A row stored during a run travels as this object in the hint argument (lHint is then the
// row too), so that no numbered hint is ever taken for a row.
class CRowHint : public CObject
{
public:
    explicit CRowHint(int nRow) : m_nRow(nRow) {}
    int m_nRow;
};

// Commands of the model documents' menus and toolbar.
namespace modelcmd {
constexpr UINT ID_VIEW_SET_PROPERTIES = 32772;
constexpr UINT ID_CONTROLS_RUN = 32779;
constexpr UINT ID_CONTROLS_CLEARDATA = 32780;
constexpr UINT ID_CONTROLS_PLOTTIMING_CONCURRENTPLOT = 32785;
constexpr UINT ID_CONTROLS_PLOTTIMING_MANUALPLOT = 32787;
constexpr UINT ID_CONTROLS_PLOTTIMING_POSTCALCPLOT = 32788;
constexpr UINT ID_CONTROLS_PLOT = 32789;
constexpr UINT ID_CONTROLS_PLOTTIMING_OVERLAYPLOT = 32803;
constexpr UINT ID_CONTROLS_STOP = 32868;
constexpr UINT ID_VIEW_DATA_ENTRY_SHORTCUT = 32910;
} // namespace modelcmd
