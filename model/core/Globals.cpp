#include "model/core/Globals.h"

std::uint32_t g_nAccessLevel = 0;
std::string g_strTeacherPassword;
std::string g_strLogOnName;
std::string g_strStartDir;
std::string g_strUserDir;
std::string g_strLinkPath;
bool g_bFirstPaint = false;
bool g_bViewAngleDlgOpen = false;

int g_nDocsAll = 0;
int g_nDocsNewtonian = 0;
int g_nDocsOneVariable = 0;
int g_nDocsTwoVariable = 0;
int g_nDocsThreeVariable = 0;

std::atomic<int> g_nExportsNewtonian{0};
std::atomic<int> g_nExportsOneVariable{0};
std::atomic<int> g_nExportsTwoVariable{0};
std::atomic<int> g_nExportsThreeVariable{0};
