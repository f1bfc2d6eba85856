#pragma once
// Process-wide state of the shell, shared by the application, the documents and the views.
// Strings and flags below are touched only on the user-interface thread; the counters that
// worker threads change are atomics.
#include <atomic>
#include <cstdint>
#include <string>

extern std::uint32_t g_nAccessLevel; // 0 student, 1 teacher
extern std::string g_strTeacherPassword;
extern std::string g_strLogOnName;
extern std::string g_strStartDir;
extern std::string g_strUserDir;  // start directory + "/" + log-on name + "/"
extern std::string g_strLinkPath; // last model file followed from a lesson link
extern bool g_bFirstPaint;        // first background erase of the MDI client pending
extern bool g_bViewAngleDlgOpen;

extern int g_nDocsAll;
extern int g_nDocsNewtonian;
extern int g_nDocsOneVariable;
extern int g_nDocsTwoVariable;
extern int g_nDocsThreeVariable;

extern std::atomic<int> g_nExportsNewtonian;
extern std::atomic<int> g_nExportsOneVariable;
extern std::atomic<int> g_nExportsTwoVariable;
extern std::atomic<int> g_nExportsThreeVariable;
