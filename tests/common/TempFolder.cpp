// Each test process writes its files into a folder of its own, so test programs that run at the
// same time (ctest -j, several builds) never share a temporary file name.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

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
    }
    ~TempFolder()
    {
        std::error_code ec;
        if (!path.empty() && getpid() == owner)
            std::filesystem::remove_all(path, ec);
    }
};

const TempFolder g_tempFolder;

} // namespace
