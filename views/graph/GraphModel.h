#pragma once
// What a Graph vs Time view needs of its model document. The model documents implement it.
#include "model/core/ModelCore.h"
#include "platform/Types.h"

// Update hints that the views read.
constexpr LPARAM HINT_RESET = -1;
constexpr LPARAM HINT_TITLE = 0;
constexpr LPARAM HINT_MODEL = 1;
constexpr LPARAM HINT_GRAPH_CURVES = 8;
constexpr LPARAM HINT_PLOT_STYLE = 10;
constexpr LPARAM HINT_GRAPH_LIMITS = 31;
constexpr LPARAM HINT_CALC_DONE = 40;

// Messages between a run, its views and the Data Table view.
constexpr UINT WM_CALC_DONE = 0x8586;
constexpr UINT WM_CALC_SAMPLE = 0x8589;
constexpr UINT WM_TABLE_GOTO_ROW = 0x858C;

// The window side of a model document as the Graph vs Time view needs it; the document's
// display-free half (settings, table ring, parameter caption) is its CModelCore.
class IGraphModel
{
public:
    virtual ~IGraphModel() = default;

    virtual CModelCore& Core() = 0;
    // The open Data Table view, or null.
    virtual HWND TableViewWindow() const = 0;
    virtual void MarkModified() = 0;

    // Run hand-over: a sample stored, the run's end, and a view closing while it follows a run
    // (the run then ends with the rows stored so far).
    virtual void OnCalcSample(WPARAM wParam, LPARAM lParam) = 0;
    virtual void OnCalcDone(WPARAM wParam, LPARAM lParam) = 0;
    virtual void OnNotifyViewClosing(HWND hWndView) = 0;
};
