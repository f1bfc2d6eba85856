#include "model/core/Globals.h"

int g_nDocsAll = 0;
int g_nDocsNewtonian = 0;
int g_nDocsOneVariable = 0;
int g_nDocsTwoVariable = 0;
int g_nDocsThreeVariable = 0;

std::atomic<int> g_nExportsNewtonian{0};
std::atomic<int> g_nExportsOneVariable{0};
std::atomic<int> g_nExportsTwoVariable{0};
std::atomic<int> g_nExportsThreeVariable{0};
