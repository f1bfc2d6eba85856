#pragma once
// A hang while a watchdog lives ends the test program with a failure within a minute, saying
// what did not come back, instead of stopping the suite at ctest's time limit.
#include <csignal>
#include <cstring>
#include <unistd.h>

class Watchdog
{
public:
    // what, and then which (a row's name, say), are written as the failure.
    explicit Watchdog(const char* what, const char* which = "")
    {
        s_what = what;
        s_which = which;
        m_old = std::signal(SIGALRM, [](int) {
            (void)!write(2, s_what, std::strlen(s_what));
            (void)!write(2, s_which, std::strlen(s_which));
            (void)!write(2, "\n", 1);
            _exit(1);
        });
        alarm(60);
    }
    ~Watchdog()
    {
        alarm(0);
        std::signal(SIGALRM, m_old);
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    static inline const char* volatile s_what = "";
    static inline const char* volatile s_which = "";
    void (*m_old)(int);
};
