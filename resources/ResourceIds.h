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

// The configuration, log-on and password dialogs and their controls.
constexpr UINT IDD_CONFIG = 210;
constexpr UINT IDD_LOGON = 211;
constexpr UINT IDD_PASSWORD = 212;
constexpr UINT IDC_STUDENT = 1267;
constexpr UINT IDC_TEACHER = 1268;
constexpr UINT IDC_PASSWORD_ENTRY = 1270;
constexpr UINT IDC_LOGON_NAME = 1271;
constexpr UINT IDC_NEW_PASSWORD = 1274;

// Commands of the lesson menu that the framework's ids do not name.
constexpr UINT ID_FORMAT_FONT = 32950;
constexpr UINT ID_FILE_SEND_MAIL = 57612;
constexpr UINT ID_WINDOW_TILE_VERT = 57652;
constexpr UINT ID_OLE_INSERT_NEW = 57856;
