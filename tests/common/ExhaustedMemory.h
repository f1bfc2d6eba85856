#pragma once
// Memory that runs out as it does at a limit on the address space, for the tests that drive
// commands while it is short.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

// The address space the process holds, in bytes; read without allocating.
inline std::size_t HeldAddressSpace()
{
    char text[4096] = {};
    const int fd = ::open("/proc/self/status", O_RDONLY);
    const ssize_t n = fd >= 0 ? ::read(fd, text, sizeof text - 1) : 0;
    ::close(fd);
    const char* line = n > 0 ? std::strstr(text, "VmSize:") : nullptr;
    return line ? std::strtoull(line + 7, nullptr, 10) * 1024 : 0;
}

// While it lives, memory is exhausted as when a limit on the address space is reached: the
// process may map no more than it holds and room, and the free blocks that it holds are taken,
// down to the smallest given.
class ExhaustedMemory
{
public:
    ExhaustedMemory(std::size_t smallest, std::size_t room)
    {
        m_blocks.reserve(1 << 16);
        getrlimit(RLIMIT_AS, &m_old);
        LimitTo(0);
        for (std::size_t size = std::size_t(16) << 20; size >= smallest; size /= 2)
            while (m_blocks.size() < m_blocks.capacity())
                if (void* p = std::malloc(size))
                    m_blocks.push_back(p);
                else
                    break;
        LimitTo(room);
    }
    ~ExhaustedMemory()
    {
        setrlimit(RLIMIT_AS, &m_old);
        for (void* p : m_blocks)
            std::free(p);
    }
    ExhaustedMemory(const ExhaustedMemory&) = delete;
    ExhaustedMemory& operator=(const ExhaustedMemory&) = delete;

private:
    void LimitTo(std::size_t room)
    {
        rlimit lowered = m_old;
        lowered.rlim_cur = HeldAddressSpace() + room;
        setrlimit(RLIMIT_AS, &lowered);
    }
    rlimit m_old = {};
    std::vector<void*> m_blocks;
};
