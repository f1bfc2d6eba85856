#include "platform/PaintingThreads.h"

#include "platform/WinApp.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <QThreadPool>

#include <atomic>
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
}

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
