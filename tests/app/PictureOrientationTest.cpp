// The turn of a photograph stored turned, beside what it takes of the process's memory, and the
// room a control group's limit leaves.
#include "app/PictureOrientation.h"
#include "app/TestFiles.h"
#include "common/JpegFile.h"
#ifndef VELTRIX_SANITIZED
#include "common/CountedAllocations.h"
#endif

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <string>

namespace {

namespace fs = std::filesystem;

UprightJpeg Turned(const QByteArray& file, PhotoTurn turn, double room)
{
    return JpegTurnedUpright(reinterpret_cast<const unsigned char*>(file.constData()),
                             size_t(file.size()), turn, room);
}

std::string BytesOf(const UprightJpeg& u)
{
    return u.bytes ? std::string(reinterpret_cast<const char*>(u.bytes.get()), u.size) : "";
}

#ifndef VELTRIX_SANITIZED // their runtimes count allocations themselves
struct TurnCase
{
    const char* name;
    QSize upright;
    int orientation, hSamp, vSamp;
    bool progressive;
    PhotoTurn turn;
    bool lossless;
};

void PrintTo(const TurnCase& c, std::ostream* os)
{
    *os << c.name;
}

class TurnMemory : public testing::TestWithParam<TurnCase>
{
};

// The memory that a turn counts on, which decides whether it is tried at a scale, is what it
// takes, counted allocation by allocation, and little more: told a little less, it does not try
// it and goes in smaller (or turned the other way); told a little more, it turns as with all the
// memory there is.
TEST_P(TurnMemory, IsWhatItCountsOn)
{
    const TurnCase& c = GetParam();
    JpegPlan plan = Photograph(c.upright, c.orientation, c.hSamp, c.vSamp, true);
    plan.progressive = c.progressive;
    const QByteArray file = JpegOf(plan);
    size_t peak = 0;
    std::string whole;
    {
        const CountedAllocations counted;
        const UprightJpeg u = Turned(file, c.turn, std::numeric_limits<double>::infinity());
        peak = counted.Peak();
        ASSERT_EQ(u.outcome, UprightJpeg::Outcome::Upright);
        whole = BytesOf(u);
    }
    const UprightJpeg less = Turned(file, c.turn, 0.97 * double(peak));
    EXPECT_FALSE(less.outcome == UprightJpeg::Outcome::Upright && BytesOf(less) == whole);
    if (!c.lossless) {
        EXPECT_EQ(less.outcome, UprightJpeg::Outcome::Smaller);
    }
    const UprightJpeg more = Turned(file, c.turn, 1.15 * double(peak));
    EXPECT_EQ(more.outcome, UprightJpeg::Outcome::Upright);
    EXPECT_TRUE(BytesOf(more) == whole) << peak << " bytes at the peak";
}

// Sides of 2404 leave part blocks that no quarter turn keeps at their edge.
INSTANTIATE_TEST_SUITE_P(
    PhotographTurn, TurnMemory,
    testing::Values(
        TurnCase{"LosslessQuarter", {2400, 1800}, 6, 2, 2, false, PhotoTurn::Rot90, true},
        TurnCase{"LosslessMirrorFullChroma", {2400, 1800}, 2, 1, 1, false, PhotoTurn::HFlip, true},
        TurnCase{"PixelsQuarter", {2404, 1800}, 6, 2, 2, false, PhotoTurn::Rot90, false},
        TurnCase{"PixelsQuarterFullChroma", {2404, 1800}, 6, 1, 1, false, PhotoTurn::Rot90, false},
        TurnCase{"PixelsQuarterProgressive", {2404, 1800}, 6, 2, 2, true, PhotoTurn::Rot90, false}),
    [](const auto& info) { return std::string(info.param.name); });
#endif

void Write(const std::string& path, const std::string& text)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path) << text;
}

// A control group's limit counts, the least over the process's group and those above it, of
// the unified hierarchy and of the memory controller's own, each found where it is mounted and
// through the part of it the mount shows; "max", and the memory controller's largest value, set
// none.
TEST(PhotographTurn, AControlGroupsLimitLeavesItsRoom)
{
    const std::string root = Temp("cgroups/");
    fs::remove_all(root);
    const std::string unified = root + "unified", memory = root + "memory";
    Write(root + "mountinfo", "24 1 0:22 / /proc rw,nosuid - proc proc rw\n"
                              "31 23 0:28 / " +
                                  root +
                                  "tmpfs rw - tmpfs tmpfs rw\n"
                                  "35 31 0:32 /outer " +
                                  memory +
                                  " rw,relatime - cgroup cgroup rw,memory\n"
                                  "33 31 0:30 / " +
                                  root +
                                  "cpu rw,relatime - cgroup cgroup rw,cpu\n"
                                  "41 31 0:38 / " +
                                  unified + " rw,relatime - cgroup2 cgroup2 rw\n");
    const auto limit = [](const std::string& dir, const char* limitFile, const char* usedFile,
                          const char* most, const char* used) {
        Write(dir + "/" + limitFile, most);
        Write(dir + "/" + usedFile, used);
    };
    Write(root + "cgroup", "4:memory:/outer/inner\n2:cpu:/elsewhere\n0::/user/app\n");
    limit(unified + "/user/app", "memory.max", "memory.current", "max\n", "5000\n");
    limit(unified + "/user", "memory.max", "memory.current", "900000000\n", "300000000\n");
    limit(memory + "/inner", "memory.limit_in_bytes", "memory.usage_in_bytes",
          "9223372036854771712\n", "1000\n");
    limit(memory, "memory.limit_in_bytes", "memory.usage_in_bytes", "800000000\n", "100000000\n");
    const std::string mountinfo = root + "mountinfo", cgroups = root + "cgroup";
    EXPECT_DOUBLE_EQ(ControlGroupRoom(mountinfo.c_str(), cgroups.c_str()), 600e6);
    // The memory controller's group above the process's is tighter.
    limit(memory, "memory.limit_in_bytes", "memory.usage_in_bytes", "700000000\n", "250000000\n");
    EXPECT_DOUBLE_EQ(ControlGroupRoom(mountinfo.c_str(), cgroups.c_str()), 450e6);
    // No limit anywhere, and no such files: unbounded.
    fs::remove_all(memory);
    limit(unified + "/user", "memory.max", "memory.current", "max\n", "300000000\n");
    EXPECT_EQ(ControlGroupRoom(mountinfo.c_str(), cgroups.c_str()),
              std::numeric_limits<double>::infinity());
    EXPECT_EQ(ControlGroupRoom((root + "none").c_str(), (root + "none").c_str()),
              std::numeric_limits<double>::infinity());
    fs::remove_all(root);
}

} // namespace
