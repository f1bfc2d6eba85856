#pragma once
// What a Graph vs Time view needs of its model document. The model documents implement it.
#include "model/RunProtocol.h"
#include "model/core/ModelCore.h"
#include "platform/Types.h"

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
