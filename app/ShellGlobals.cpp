#include "app/ShellGlobals.h"

std::uint32_t g_nAccessLevel = 0;
std::string g_strTeacherPassword;
std::string g_strLogOnName;
std::string g_strStartDir;
std::string g_strUserDir;
std::string g_strLinkPath;
bool g_bFirstPaint = false;
