#pragma once
// Counts of open model documents and of running exports, shared by the documents of all kinds.
// The document counts are touched only on the user-interface thread; the export counts, which
// export threads change, are atomics.
#include <atomic>

extern int g_nDocsAll;
extern int g_nDocsNewtonian;
extern int g_nDocsOneVariable;
extern int g_nDocsTwoVariable;
extern int g_nDocsThreeVariable;

extern std::atomic<int> g_nExportsNewtonian;
extern std::atomic<int> g_nExportsOneVariable;
extern std::atomic<int> g_nExportsTwoVariable;
extern std::atomic<int> g_nExportsThreeVariable;
