#pragma once
// Set while the modeless View Angle dialog is open; the 3-D views read it. User-interface
// thread only.
extern bool g_bViewAngleDlgOpen;
