#include "views/rows/ViewAngleFlag.h"

bool g_bViewAngleDlgOpen = false;
