#pragma once
// Ids of the program's resources and of the commands that its menus and toolbars share.
#include "platform/Types.h"

constexpr UINT IDD_ABOUTBOX = 100;
constexpr UINT IDP_OLE_INIT_FAILED = 101;
constexpr UINT IDR_MAINFRAME = 128;
constexpr UINT IDR_VXTEXTTYPE = 129;
constexpr UINT IDB_BACKGROUND = 131;
constexpr UINT IDR_SYS1TYPE = 132;   // Newtonian
constexpr UINT IDR_SYS1NNTYPE = 133; // one variable
constexpr UINT IDR_SYS2TYPE = 134;
constexpr UINT IDR_SYS3TYPE = 135;
constexpr UINT IDR_CNTR_INPLACE = 6; // in-place editing of an embedded object

// The background picture's size.
constexpr int BACKGROUND_WIDTH = 704;
constexpr int BACKGROUND_HEIGHT = 419;

constexpr UINT ID_ESCAPE = 32768; // Escape in the accelerator table; nothing handles it
constexpr UINT ID_CONFIGURATION = 32771;
constexpr UINT ID_CONTROLS_RUN = 32779;
constexpr UINT ID_CONTROLS_CLEARDATA = 32780;
constexpr UINT ID_CONTROLS_PLOT = 32789;
constexpr UINT ID_CONTROLS_STOP = 32868;
