// Each test process writes its files into a folder of its own, so test programs that run at the
// same time (ctest -j, several builds) never share a temporary file name. The folder goes however
// the process ends: at a normal end here, and after a watchdog's _exit, a crash or ctest's time
// limit (SIGKILL to the test and every process under it) by a remover outside that tree.
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

namespace {

// Removes path and everything in it. A child test's remover may be removing a folder inside it at
// the same moment, which fails this pass on an entry that it has just removed: tried again until
// the folder is gone, or fails for another reason, or a thousand times.
void RemoveAll(const std::string& path)
{
    // A bounded number of times: a process that goes on writing there must not keep this one.
    std::error_code ec;
    for (int tries = 0; tries < 1000 && (std::filesystem::remove_all(path, ec), ec); ++tries) {
        if (ec != std::errc::no_such_file_or_directory && ec != std::errc::directory_not_empty)
            return;
        ec.clear();
    }
}

// The remover: a grandchild, so that no process of the test's tree is its parent, which waits
// until every copy of the pipe's write end has closed (this process's, and those of its forks
// that have not replaced themselves: the write end closes on exec) and then removes the folder.
void RemoveWhenEnded(const std::string& path)
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return;
    const pid_t child = fork();
    if (child == 0) {
        if (fork() == 0) {
            setsid();
            // Nothing of the test's kept open: ctest waits for the ends of its output pipes.
            const int null = open("/dev/null", O_RDWR);
            for (int fd = 0; fd < 3; ++fd)
                dup2(null, fd);
            // By name too: where close_range is refused (older kernels, some seccomp profiles)
            // the remover's own copy of the write end would keep it waiting for ever.
            close(ends[1]);
            close_range(3, ends[0] - 1, 0);
            close_range(ends[0] + 1, ~0U, 0);
            char c;
            ssize_t n;
            do
                n = read(ends[0], &c, 1);
            while (n > 0 || (n < 0 && errno == EINTR));
            RemoveAll(path);
        }
        _exit(0);
    }
    close(ends[0]);
    if (child < 0)
        close(ends[1]);
    else
        waitpid(child, nullptr, 0);
}

struct TempFolder
{
    std::string path;
    pid_t owner = getpid(); // a death test's child must not remove its parent's folder
    TempFolder()
    {
        const char* base = std::getenv("TMPDIR");
        std::string templ = std::string(base && *base ? base : "/tmp") + "/veltrix-test-XXXXXX";
        if (!mkdtemp(templ.data()))
            return; // keep the shared folder rather than fail every test
        path = templ;
        setenv("TMPDIR", path.c_str(), 1);
        setenv("TEST_TMPDIR", (path + "/").c_str(), 1);
        RemoveWhenEnded(path);
    }
    ~TempFolder()
    {
        if (!path.empty() && getpid() == owner)
            RemoveAll(path);
    }
};

const TempFolder g_tempFolder;

} // namespace
