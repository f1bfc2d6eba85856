// Preloaded into a test program: the N-th start of one of the program's own threads fails with
// EAGAIN, as when the system has no thread left to give. N from VELTRIX_FAIL_THREAD_START; "N+"
// fails that start and every later one, "N-M" the starts N to M. Without the variable every start
// goes through.
//
// A test may instead fail the next starts of its own threads, wherever they fall: it finds
// VeltrixFailNextThreadStarts with dlsym when this shim is preloaded.
//
// Qt's own threads (its painting pool) are not counted: they start at times of Qt's choosing,
// so counting them would make N name a different thread from run to run. They are counted apart:
// VELTRIX_FAIL_QT_THREAD_START names the N-th start of Qt's threads ("N+" as above), and a
// test fails them all with VeltrixFailQtThreadStarts, found in the same way; the GUI tests' main
// does so once the application is made when VELTRIX_FAIL_QT_THREADS is set.
// VeltrixFailedThreadStarts says how many starts have failed so far.
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <pthread.h>

namespace {
using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
std::atomic<long> g_calls{0}, g_qtCalls{0}, g_failed{0};
std::atomic<long> g_failFrom{0}, g_failTo{0}; // the calls that fail, asked for by a test
std::atomic<bool> g_failQt{false};

// Whether the call-th start fails for the variable's "N", "N+" or "N-M".
bool Named(const char* spec, long call)
{
    const long n = spec ? std::atol(spec) : 0;
    const char* range = spec ? std::strchr(spec, '-') : nullptr;
    const long last = range ? std::atol(range + 1) : n;
    return n > 0 && (call >= n && (call <= last || std::strchr(spec, '+') != nullptr));
}

int Failed()
{
    ++g_failed;
    return EAGAIN;
}
} // namespace

extern "C" __attribute__((visibility("default"))) long VeltrixFailedThreadStarts()
{
    return g_failed.load();
}

extern "C" __attribute__((visibility("default"))) void VeltrixFailQtThreadStarts(bool on)
{
    g_failQt.store(on);
}

extern "C" __attribute__((visibility("default"))) void VeltrixFailNextThreadStarts(long n)
{
    const long next = g_calls.load() + 1;
    g_failTo.store(next + n - 1);
    g_failFrom.store(next);
}

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attr, void* (*start)(void*),
                              void* arg)
{
    static const Create real = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
    static const char* const spec = std::getenv("VELTRIX_FAIL_THREAD_START");
    static const char* const qtSpec = std::getenv("VELTRIX_FAIL_QT_THREAD_START");
    Dl_info where{};
    if (dladdr(reinterpret_cast<void*>(start), &where) && where.dli_fname &&
        std::strstr(where.dli_fname, "libQt6") != nullptr)
        return g_failQt.load() || Named(qtSpec, ++g_qtCalls) ? Failed()
                                                             : real(thread, attr, start, arg);
    const long call = ++g_calls;
    if (Named(spec, call) || (call >= g_failFrom.load() && call <= g_failTo.load()))
        return Failed();
    return real(thread, attr, start, arg);
}
