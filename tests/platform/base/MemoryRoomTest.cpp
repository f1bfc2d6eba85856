// The room that control groups' memory limits leave, read from stand-ins for the kernel's files.
#include "platform/base/MemoryRoom.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr double kUnbounded = std::numeric_limits<double>::infinity();
constexpr const char* kNoLimit = "9223372036854771712"; // the memory controller's largest value

// "@" stands for the stand-ins' folder. The memory controller's mount shows the part of its
// hierarchy under /outer.
const std::string kMounts = "24 1 0:22 / /proc rw,nosuid - proc proc rw\n"
                            "31 23 0:28 / @tmpfs rw - tmpfs tmpfs rw\n"
                            "35 31 0:32 /outer @memory rw,relatime - cgroup cgroup rw,memory\n"
                            "33 31 0:30 / @cpu rw,relatime - cgroup cgroup rw,cpu\n"
                            "41 31 0:38 / @unified rw,relatime - cgroup2 cgroup2 rw\n";
const std::string kGroups = "4:memory:/outer/inner\n2:cpu:/elsewhere\n0::/user/app\n";

// A group's folder under the stand-ins' ("unified/..." or "memory/..."), its limit, usage and
// memory.stat (none where empty).
struct Group
{
    std::string dir, limit, usage, stat = "";
};

struct RoomRow
{
    const char* name;
    std::vector<Group> groups;
    double room;
    std::string mountinfo = kMounts, cgroups = kGroups; // none where empty
};

std::string Placed(std::string text, const std::string& root)
{
    for (size_t at = 0; (at = text.find('@', at)) != std::string::npos; at += root.size())
        text.replace(at, 1, root);
    return text;
}

void Write(const std::string& path, const std::string& text)
{
    if (text.empty())
        return;
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path) << text;
}

void WriteGroup(const std::string& root, const Group& g)
{
    const bool unified = g.dir.starts_with("unified");
    const std::string dir = root + g.dir + "/";
    Write(dir + (unified ? "memory.max" : "memory.limit_in_bytes"), g.limit + "\n");
    Write(dir + (unified ? "memory.current" : "memory.usage_in_bytes"), g.usage + "\n");
    Write(dir + "memory.stat", g.stat);
}

// A group's limit counts, the least over the process's group and those above it, of the unified
// hierarchy and of the memory controller's own, each found where it is mounted (its escapes
// decoded) and through the part of it the mount shows; "max", and the memory controller's
// largest value, set none. The page cache on a group's inactive list is room: the kernel takes
// it back before it refuses memory.
TEST(MemoryRoom, AControlGroupsLimitLeavesItsRoom)
{
    const std::vector<RoomRow> rows = {
        {"LeastOverBothHierarchies",
         {{"unified/user/app", "max", "5000"},
          {"unified/user", "900000000", "300000000"},
          {"memory/inner", kNoLimit, "1000"},
          {"memory", "800000000", "100000000"}},
         600e6},
        {"TheMemoryControllersGroupAboveIsTighter",
         {{"unified/user", "900000000", "300000000"},
          {"memory/inner", kNoLimit, "1000"},
          {"memory", "700000000", "250000000"}},
         450e6},
        {"TheOuterOfTwoLimitedLevelsIsTighterInEach",
         {{"unified/user/app", "2000000000", "100000000"},
          {"unified/user", "1000000000", "700000000"},
          {"memory/inner", "900000000", "100000000"},
          {"memory", "700000000", "250000000"}},
         300e6},
        {"PageCacheIsRoom",
         {{"unified/user", "1000000000", "900000000",
           "anon 150000000\nfile 750000000\nactive_file 50000000\ninactive_file 700000000\n"}},
         800e6},
        // Its usage holds the groups below: their cache counts, as total_inactive_file has it.
        {"PageCacheIsRoomOfTheMemoryController",
         {{"memory/inner", kNoLimit, "1000"},
          {"memory", "800000000", "700000000",
           "cache 600000000\ninactive_file 100000000\ntotal_cache 600000000\n"
           "total_inactive_file 500000000\n"}},
         600e6},
        {"MoreCacheThanUsageLeavesTheWholeLimit",
         {{"unified/user", "1000000000", "100000000", "inactive_file 150000000\n"}},
         1000e6},
        {"AnEscapedMountAndAGroupPathWithSpaces",
         {{"memory cg/in ner", "500000000", "100000000"}, {"memory cg", kNoLimit, "1000"}},
         400e6,
         "35 31 0:32 /my\\040outer @memory\\040cg rw,relatime - cgroup cgroup rw,memory\n",
         "4:memory:/my outer/in ner\n0::/user/app\n"},
        {"NoLimitAnywhere", {{"unified/user", "max", "300000000"}}, kUnbounded},
        {"NoFiles", {}, kUnbounded, "", ""},
    };
    const std::string root = ::testing::TempDir() + "cgroups/";
    for (const RoomRow& row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove_all(root);
        fs::create_directories(root);
        for (const Group& g : row.groups)
            WriteGroup(root, g);
        Write(root + "mountinfo", Placed(row.mountinfo, root));
        Write(root + "cgroup", row.cgroups);
        EXPECT_EQ(ControlGroupRoom((root + "mountinfo").c_str(), (root + "cgroup").c_str()),
                  row.room);
    }
    fs::remove_all(root);
}

} // namespace
