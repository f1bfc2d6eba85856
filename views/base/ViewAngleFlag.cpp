#include "views/base/ViewAngleFlag.h"

bool g_bViewAngleDlgOpen = false;
