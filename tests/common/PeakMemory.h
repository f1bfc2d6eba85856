#pragma once
// The peak of the process's resident memory from a moment on, over what was resident then, as
// the kernel keeps it (VmHWM, reset through clear_refs).
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

class PeakMemory
{
public:
    PeakMemory()
    {
        const int fd = ::open("/proc/self/clear_refs", O_WRONLY);
        if (fd >= 0 && ::write(fd, "5", 1) == 1)
            m_resident = StatusKiB("VmRSS:");
        if (fd >= 0)
            ::close(fd);
    }
    double MiB() const { return (StatusKiB("VmHWM:") - m_resident) / 1024; }

    static double StatusKiB(const char* key)
    {
        char text[4096] = {};
        const int fd = ::open("/proc/self/status", O_RDONLY);
        const ssize_t n = fd >= 0 ? ::read(fd, text, sizeof text - 1) : 0;
        if (fd >= 0)
            ::close(fd);
        const char* line = n > 0 ? std::strstr(text, key) : nullptr;
        return line ? std::strtod(line + std::strlen(key), nullptr) : 0;
    }

private:
    double m_resident = 0;
};
