// Entry of the GUI test programs: one QApplication on the offscreen platform.
#include <QApplication>
#include <QSemaphore>
#include <QThreadPool>
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <memory>

namespace {
// The program starts Qt's pool threads with the application and goes on while they begin; a test
// that refuses other threads' allocations must not meet one of them still beginning. Each thread
// takes a task that waits until every task has begun, so all of them run at once.
[[maybe_unused]] void AwaitPoolThreads()
{
    QThreadPool* pool = QThreadPool::globalInstance();
    const auto begun = std::make_shared<QSemaphore>(), gate = std::make_shared<QSemaphore>();
    const int n = pool->maxThreadCount();
    for (int i = 0; i < n; ++i)
        pool->start([begun, gate] {
            begun->release();
            gate->acquire();
        });
    begun->acquire(n);
    gate->release(n);
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#if !defined(__SANITIZE_THREAD__) // the program keeps no pool threads there
    AwaitPoolThreads();
#endif
    // With the thread-start shim preloaded, Qt's own threads may fail from the end of the
    // program's start-up on.
    if (qEnvironmentVariableIsSet("VELTRIX_FAIL_QT_THREADS"))
        if (auto fail =
                reinterpret_cast<void (*)(bool)>(dlsym(RTLD_DEFAULT, "VeltrixFailQtThreadStarts")))
            fail(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
