// The test's own folder (tests/common/TempFolder.cpp) goes however the test ends, with nothing of
// its own left running: each case runs this program again as a test that ends so.
#include "common/ChildProcess.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// close_range as a kernel or a seccomp profile that refuses it, while VELTRIX_NO_CLOSE_RANGE is
// set.
extern "C" int close_range(unsigned first, unsigned last, int flags) noexcept
{
    if (std::getenv("VELTRIX_NO_CLOSE_RANGE")) {
        errno = ENOSYS;
        return -1;
    }
    return static_cast<int>(syscall(SYS_close_range, first, last, flags));
}

namespace {

namespace fs = std::filesystem;
const char* const kMark = "VELTRIX_TEMPFOLDER_MARK"; // where the innermost test says it is up

// Whether the process has ended (a zombie that no one reaps counts as ended).
bool Ended(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string pidText, name;
    char state = 'X';
    stat >> pidText >> name >> state;
    return !stat || state == 'Z' || state == 'X';
}

// Waits for done() within a generous guard; whether it came.
template <class F> bool WaitFor(F done)
{
    const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done()) {
        if (std::chrono::steady_clock::now() > guard)
            return false;
        poll(nullptr, 0, 10);
    }
    return true;
}

std::vector<fs::path> TestFolders(const fs::path& in)
{
    std::vector<fs::path> found;
    for (const fs::directory_entry& e : fs::directory_iterator(in))
        if (e.path().filename().string().rfind("veltrix-test-", 0) == 0)
            found.push_back(e.path());
    return found;
}

} // namespace

// The innermost test: files in its folder, its process number said, then it waits to be killed.
TEST(TempFolderChild, DISABLED_RunsUntilKilled)
{
    const fs::path folder = std::getenv("TMPDIR");
    for (int i = 0; i < 2000; ++i)
        std::ofstream(folder / std::to_string(i)) << i;
    std::ofstream(std::string(std::getenv(kMark)) + ".new") << getpid();
    fs::rename(std::string(std::getenv(kMark)) + ".new", std::getenv(kMark));
    alarm(120); // a guard should nothing kill it
    pause();
}

// A test that runs the innermost one as its child.
TEST(TempFolderChild, DISABLED_RunsAChildTest)
{
    ChildRun run;
    run.args = {"--gtest_filter=TempFolderChild.DISABLED_RunsUntilKilled",
                "--gtest_also_run_disabled_tests"};
    RunChild(run);
}

// Killed as at ctest's time limit while its child test runs: the child ends with it, and the
// test's folder goes with the child's inside it, though both removers work on it at once.
TEST(TempFolder, GoesWithATestKilledWhileItsChildTestRuns)
{
    const fs::path here = std::getenv("TMPDIR");
    const std::string mark = (here / "up").string();
    const std::string exe = fs::read_symlink("/proc/self/exe").string();
    const pid_t test = fork();
    if (test == 0) {
        setenv(kMark, mark.c_str(), 1);
        execl(exe.c_str(), exe.c_str(), "--gtest_filter=TempFolderChild.DISABLED_RunsAChildTest",
              "--gtest_also_run_disabled_tests", static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_TRUE(WaitFor([&] { return fs::exists(mark); })) << "the child test never came up";
    pid_t child = 0;
    std::ifstream(mark) >> child;
    kill(test, SIGKILL);
    waitpid(test, nullptr, 0);
    EXPECT_TRUE(WaitFor([&] { return Ended(child); })) << "the child test outlived its test";
    EXPECT_TRUE(WaitFor([&] { return TestFolders(here).empty(); }))
        << TestFolders(here).front() << " was left";
    if (!Ended(child))
        kill(child, SIGKILL);
}

// Where close_range is refused, the remover still ends with its test: it keeps nothing open that
// the one who started the test waits on.
TEST(TempFolder, RemoverEndsWithItsTestWhereCloseRangeIsRefused)
{
    int ends[2];
    ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
    const int inherited = dup(ends[1]); // without close-on-exec, as a shell hands its pipe on
    close(ends[1]);
    ChildRun run;
    run.args = {"--gtest_filter=TempFolder.NoSuchTest"};
    run.env = {"VELTRIX_NO_CLOSE_RANGE=1"};
    const ChildEnd end = RunChild(run);
    close(inherited);
    EXPECT_EQ(end.code, 0) << end.output;
    pollfd p{ends[0], POLLIN, 0};
    char c;
    EXPECT_TRUE(poll(&p, 1, 60000) == 1 && read(ends[0], &c, 1) == 0)
        << "a remover still holds the pipe";
    close(ends[0]);
}
