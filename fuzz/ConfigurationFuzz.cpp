// The configuration file "KRVX500.CFG" as the start-up reads it: any bytes either give a level
// and a password that are written back and read again the same, or are refused with nothing
// changed.
#include "app/Configuration.h"
#include "app/ShellGlobals.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string TempPath(const char* what)
{
    return "/tmp/veltrix-fuzz-" + std::to_string(::getpid()) + "-" + what + ".cfg";
}

bool WriteBytes(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string in = TempPath("in"), out = TempPath("out");
    if (!WriteBytes(in, data, size))
        return 0;
    g_nAccessLevel = 7;
    g_strTeacherPassword = "unread";
    const bool read = LoadConfigurationFile(in.c_str());
    ::unlink(in.c_str());
    if (!read) {
        if (g_nAccessLevel != 7 || g_strTeacherPassword != "unread")
            std::abort(); // a damaged record changes nothing
        return 0;
    }
    const std::uint32_t level = g_nAccessLevel;
    const std::string password = g_strTeacherPassword;
    ::unlink(out.c_str());
    std::string error;
    if (!WriteConfigurationFile(out, error) || !LoadConfigurationFile(out.c_str()) ||
        g_nAccessLevel != level || g_strTeacherPassword != password)
        std::abort();
    ::unlink(out.c_str());
    return 0;
}
