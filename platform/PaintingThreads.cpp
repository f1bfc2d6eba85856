#include "platform/PaintingThreads.h"

#include "platform/WinApp.h"
#include "platform/base/NoMemory.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <QString>
#include <QThreadPool>
#include <QtGlobal>

#include <atomic>
#include <cstdio>
#include <memory>

namespace {

// A fixed few, whatever the number of cores: each thread reserves its stack and, on its first
// allocation, a malloc arena of 64 MiB of address space, which under an address-space limit
// leaves Qt's own threads (D-Bus) no room to start.
constexpr int kThreads = 2;
// Painting's pieces use small buffers; Qt would take the default thread stack (8 MiB).
constexpr unsigned kStackBytes = 1024 * 1024;
// A start that fails is tried again this many times in all, a second apart at most.
constexpr int kRounds = 3;
constexpr int kBeginWaitMs = 1000;

// A start of one of Qt's threads, other than the painting pool's, failed: Qt tells only in a
// warning.
std::atomic<bool> g_otherFailed{false};
std::atomic<bool> g_startingPool{false}, g_startingUp{false};
std::atomic<int> g_asked{0}; // pieces handed to the pool at start-up
std::atomic<int> g_begun{0}; // those of them that ran

// Hands the pool n pieces that each hold their thread until the gate opens, so that each gets a
// thread of its own, and waits a while for them to begin.
void StartHeldPieces(QThreadPool* pool, int n, const std::shared_ptr<QSemaphore>& gate)
{
    const auto begun = std::make_shared<QSemaphore>();
    for (int i = 0; i < n; ++i) {
        ++g_asked;
        pool->start([begun, gate] {
            ++g_begun;
            begun->release();
            gate->acquire();
        });
    }
    begun->tryAcquire(n, kBeginWaitMs);
}

// A thread that could not start keeps its piece and its place in the pool for ever: the pool is
// allowed one more thread for each, and another start is tried, until kThreads have begun.
[[maybe_unused]] void KeepPaintingThreads()
{
    g_startingPool = true;
    QThreadPool* pool = QThreadPool::globalInstance();
    pool->setExpiryTimeout(-1);
    pool->setStackSize(kStackBytes);
    const auto gate = std::make_shared<QSemaphore>();
    for (int round = 0; round < kRounds && g_begun < kThreads; ++round) {
        const int missing = g_asked - g_begun;
        pool->setMaxThreadCount(missing + kThreads);
        StartHeldPieces(pool, kThreads - g_begun, gate);
    }
    gate->release(g_asked);
    g_startingPool = false;
}

QtMessageHandler g_nextHandler = nullptr;

void NoteFailedThreadStarts(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    const bool otherFailed =
        !g_startingPool && text.startsWith(QLatin1String("QThread::start: Thread creation error"));
    if (otherFailed)
        g_otherFailed = true;
    if (g_nextHandler)
        g_nextHandler(type, context, text);
    // Qt waits without end for a thread of its own that did not start (the desktop bus's), or
    // reads no more input (the display's reader): at start-up the program ends rather than hang.
    if (otherFailed && g_startingUp) {
        std::fprintf(stderr, "%s\n", kNoMemoryText);
        AfxExitProcess(1);
    }
}

// Before main, so that the threads the application starts as it is made are counted too.
[[maybe_unused]] const bool g_counting = [] {
    g_nextHandler = qInstallMessageHandler(NoteFailedThreadStarts);
    return true;
}();

} // namespace

// ThreadSanitizer cannot see the locks under which Qt's pool threads share their queue and
// reports Qt's own bookkeeping as races: that build leaves the pool to start threads on demand.
#if !defined(__SANITIZE_THREAD__)
Q_COREAPP_STARTUP_FUNCTION(KeepPaintingThreads)
#endif

namespace vx {

bool PaintingThreadNeverBegan()
{
    return g_begun < g_asked;
}

void StartingUp(bool on)
{
    g_startingUp = on;
}

bool OtherQtThreadFailed()
{
    return g_otherFailed;
}

bool NoPaintingThreadBegan()
{
    return g_asked > 0 && g_begun == 0;
}

void EndIfPaintingThreadNeverBegan(int code)
{
    if (PaintingThreadNeverBegan())
        AfxExitProcess(code);
}

} // namespace vx
