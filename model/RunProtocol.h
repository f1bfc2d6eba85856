#pragma once
// What a model document, its views and its run say to each other: the update hints of the
// document, the private window messages of the calculation threads and the command ids of the
// documents' menus.
#include "platform/CmdTarget.h"
#include "platform/Types.h"

// The hints and messages that the Graph vs Time view reads (HINT_RESET, HINT_TITLE,
// HINT_MODEL, HINT_GRAPH_CURVES, HINT_PLOT_STYLE, HINT_GRAPH_LIMITS, HINT_CALC_DONE,
// WM_CALC_DONE, WM_CALC_SAMPLE, WM_TABLE_GOTO_ROW) and the model interface it uses.
#include "views/graph/GraphModel.h"

// The other update hints, sent with UpdateAllViews.
constexpr LPARAM HINT_VIEW_ANGLE = 4;
constexpr LPARAM HINT_TABLE_COLUMNS = 9;
constexpr LPARAM HINT_VF_GRID = 12;
constexpr LPARAM HINT_BA_GRID = 13;
constexpr LPARAM HINT_PO_LIMITS = 32;
constexpr LPARAM HINT_FO_LIMITS = 33;
constexpr LPARAM HINT_OS_LIMITS = 34;
constexpr LPARAM HINT_PS_LIMITS = 35;
constexpr LPARAM HINT_BA_LIMITS = 36;
constexpr LPARAM HINT_VF_LIMITS = 37;

// To a progress window: wParam 0 advances the bar, 1 closes the window.
constexpr UINT WM_PROGRESS_STEP = 0x858D;

// A row stored during a run travels as a CRowHint (views/graph/GraphView.h) in the hint
// argument, so that no numbered hint is ever taken for a row.
class CRowHint;

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
