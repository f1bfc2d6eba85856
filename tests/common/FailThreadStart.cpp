// Preloaded into a test program: the N-th start of one of the program's own threads fails with
// EAGAIN, as when the system has no thread left to give. N from VELTRIX_FAIL_THREAD_START; "N+"
// fails that start and every later one. Without the variable every start goes through.
//
// Qt's own threads (its painting pool) always start and are not counted: they start at times
// of Qt's choosing, so counting them would make N name a different thread from run to run, and
// Qt's painting waits for ever on a pool thread that did not start.
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <pthread.h>

namespace {
using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
std::atomic<long> g_calls{0};
} // namespace

extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attr, void* (*start)(void*),
                              void* arg)
{
    static const Create real = reinterpret_cast<Create>(dlsym(RTLD_NEXT, "pthread_create"));
    static const char* const spec = std::getenv("VELTRIX_FAIL_THREAD_START");
    static const long n = spec ? std::atol(spec) : 0;
    static const bool andLater = spec && std::strchr(spec, '+') != nullptr;
    Dl_info where{};
    if (dladdr(reinterpret_cast<void*>(start), &where) && where.dli_fname &&
        std::strstr(where.dli_fname, "libQt6") != nullptr)
        return real(thread, attr, start, arg);
    const long call = ++g_calls;
    if (n > 0 && (call == n || (andLater && call > n)))
        return EAGAIN;
    return real(thread, attr, start, arg);
}
