#pragma once
// The frame family: CFrameWnd holds views and routes commands; CMDIChildWnd is a document
// window inside the main frame's MDI area; CMDIFrameWnd is the main window with menus,
// accelerators, CToolBar and CStatusBar built from the program's resource tables.
#include "platform/FrameWnd.h"
#include "platform/MDIChildWnd.h"
#include "platform/MDIFrameWnd.h"
#include "platform/StatusBar.h"
#include "platform/ToolBar.h"
