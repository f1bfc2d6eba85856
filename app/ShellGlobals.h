#pragma once
// The shell's own state: access level, passwords, log-on and folders, the lesson link last
// followed and the first-paint flag. Touched only on the user-interface thread.
#include <cstdint>
#include <string>

extern std::uint32_t g_nAccessLevel; // 0 student, 1 teacher
extern std::string g_strTeacherPassword;
extern std::string g_strLogOnName;
extern std::string g_strStartDir;
extern std::string g_strUserDir;  // start directory + "/" + log-on name + "/"
extern std::string g_strLinkPath; // last model file followed from a lesson link
extern bool g_bFirstPaint;        // first background erase of the MDI client pending
