#pragma once
// The application parts that the tests of model documents and their views share: a template
// per model kind with a chosen first view, a shown main MDI frame, and the pump that waits for a
// condition (common/PumpUntil.h).
#include "common/PumpUntil.h"
#include "model/DynSys.h"
#include "platform/DocTemplate.h"
#include "platform/Frame.h"
#include "platform/WinApp.h"

namespace testapp {

// Adds a template of the kind whose first view is pViewClass, under the kind's own resource id
// or under nID (its strings and menu are registered).
CDocTemplate* AddModelTemplate(CWinApp& app, SystemKind kind, const CRuntimeClass* pViewClass,
                               UINT nID = 0);
// Makes pFrame the shown main window of app, cx by cy pixels, with a small menu nMenu.
void ShowMainFrame(CWinApp& app, CMDIFrameWnd* pFrame, UINT nMenu, int cx, int cy);
// The Graph vs Time view class of a kind (0 Newtonian to 3 three-variable).
const CRuntimeClass* GraphViewClass(int kind);
// The app's template with that resource id, or null.
CDocTemplate* FindTemplate(CWinApp& app, UINT nID);

} // namespace testapp
