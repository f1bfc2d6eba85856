#include "platform/base/ThreadMemory.h"

#include <malloc.h>
#include <pthread.h>

void KeepThreadsSmall()
{
    mallopt(M_ARENA_MAX, 1);
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    pthread_attr_t attr;
    if (pthread_attr_init(&attr) == 0) {
        pthread_attr_setstacksize(&attr, kThreadStackBytes);
        pthread_setattr_default_np(&attr);
        pthread_attr_destroy(&attr);
    }
#endif
}
