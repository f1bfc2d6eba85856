#include "platform/base/Archive.h"

#include "common/FileSizeLimit.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(Archive, ScalarsAreLittleEndianAndRoundTrip)
{
    CArchive out;
    out.WriteInt(0x01020304);
    out.WriteDouble(-2.5);
    out.WritePoint(POINT{-7, 9});
    const auto& b = out.Buffer();
    ASSERT_EQ(b.size(), 4u + 8u + 8u);
    EXPECT_EQ(b[0], 0x04);
    EXPECT_EQ(b[3], 0x01);
    CArchive in(b);
    EXPECT_EQ(in.ReadInt(), 0x01020304);
    EXPECT_EQ(in.ReadDouble(), -2.5);
    EXPECT_EQ(in.ReadPoint(), (POINT{-7, 9}));
    EXPECT_EQ(in.Remaining(), 0u);
}

TEST(Archive, TextPrefixDependsOnLength)
{
    struct Case
    {
        std::size_t len;
        std::vector<std::uint8_t> prefix;
    };
    const Case cases[] = {
        {0, Bytes{0x00}},
        {254, Bytes{0xFE}},
        {255, Bytes{0xFF, 0xFF, 0x00}},
        {0xFFFD, Bytes{0xFF, 0xFD, 0xFF}},
        {0xFFFE, Bytes{0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
    };
    for (const auto& c : cases) {
        CArchive out;
        const std::string s(c.len, 'q');
        out.WriteString(s);
        const auto& b = out.Buffer();
        ASSERT_EQ(b.size(), c.prefix.size() + c.len) << c.len;
        EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), b.begin())) << c.len;
        CArchive in(b);
        EXPECT_EQ(in.ReadString(), s);
    }
}

TEST(Archive, ReadsSixteenBitTextAsEightBit)
{
    // Marker FF FEFF, then a byte length 3, then "aé" and a character beyond Latin-1.
    CArchive in(Bytes{0xFF, 0xFE, 0xFF, 0x03, 'a', 0x00, 0xE9, 0x00, 0x3A, 0x04, 'z'});
    EXPECT_EQ(in.ReadString(), std::string("a\xE9?"));
    EXPECT_EQ(in.Remaining(), 1u);
}

TEST(Archive, ShortDataThrowsEndOfFile)
{
    const std::vector<std::vector<std::uint8_t>> inputs = {
        Bytes{},                                         // no prefix
        Bytes{0x05, 'a', 'b'},                           // text shorter than its length
        Bytes{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}, // 2 GB promised, nothing there
        Bytes{0xFF, 0xFE, 0xFF, 0x02, 'a', 0x00},        // 16-bit text cut short
        Bytes{0xFF, 0x10},                               // length word cut short
    };
    for (const auto& in : inputs) {
        CArchive ar(in);
        EXPECT_THROW(ar.ReadString(), CArchiveException);
    }
    CArchive ints(Bytes{1, 2, 3});
    EXPECT_THROW(ints.ReadInt(), CArchiveException);
    CArchive point(Bytes{1, 0, 0, 0, 2, 0, 0});
    EXPECT_THROW(point.ReadPoint(), CArchiveException);
    EXPECT_EQ(point.Remaining(), 7u); // a point is read whole or not at all
}

std::vector<std::string> FolderEntries(const std::filesystem::path& dir)
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    return names;
}

class FileHelpers : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // One folder per test: ctest runs the tests in parallel processes.
        m_dir = std::filesystem::path(::testing::TempDir()) /
                (std::string("veltrix_") +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir / "model.ds3");
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    std::string At(const char* name) const { return (m_dir / name).string(); }
    std::filesystem::path m_dir;
};

TEST_F(FileHelpers, RoundTripAndReplaceWholly)
{
    const std::string path = At("a.bin");
    ASSERT_TRUE(WriteFileBytes(path, Bytes{0, 1, 2, 255}));
    ASSERT_TRUE(WriteFileBytes(path, Bytes{7}));
    std::vector<std::uint8_t> back;
    ASSERT_TRUE(ReadFileBytes(path, back));
    EXPECT_EQ(back, Bytes{7});
    EXPECT_EQ(FolderEntries(m_dir).size(), 2u); // no temporary file left beside it

    // Through a link the linked file gets the text, and the link stays.
    const std::string link = At("link.bin");
    std::filesystem::create_symlink(path, link);
    ASSERT_TRUE(WriteFileBytes(link, Bytes{8, 9}));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    ASSERT_TRUE(ReadFileBytes(path, back));
    EXPECT_EQ(back, (Bytes{8, 9}));
}

TEST_F(FileHelpers, PathsThatAreNoFileFailWithoutThrowing)
{
    struct Case
    {
        const char* name;
        bool canWrite;
    };
    const Case cases[] = {
        {"missing.ds1", true}, {"model.ds3", false}, {"", false}, {"no/such/folder/x.ds2", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = *c.name ? At(c.name) : std::string();
        std::vector<std::uint8_t> back{9};
        bool read = true;
        EXPECT_NO_THROW(read = ReadFileBytes(path, back));
        EXPECT_FALSE(read);
        EXPECT_EQ(back, Bytes{9});
        if (c.canWrite)
            continue;
        bool written = true;
        EXPECT_NO_THROW(written = WriteFileBytes(path, Bytes{1, 2}));
        EXPECT_FALSE(written);
    }
    EXPECT_TRUE(std::filesystem::is_directory(m_dir / "model.ds3"));
    EXPECT_EQ(FolderEntries(m_dir).size(), 1u);
}

TEST_F(FileHelpers, FailedWriteLeavesTheOldFileAsItWas)
{
    const std::string path = At("keep.ds1");
    const std::vector<std::uint8_t> old(100, 0x5A);
    ASSERT_TRUE(WriteFileBytes(path, old));
    const std::vector<std::uint8_t> bigger(5000, 0x11);
    {
        IgnoreFileSizeSignal();    // as the program does at its start
        FileSizeLimit limit(1000); // the new text does not fit: the write fails part way
        EXPECT_FALSE(WriteFileBytes(path, bigger));
    }
    std::vector<std::uint8_t> back;
    ASSERT_TRUE(ReadFileBytes(path, back));
    EXPECT_EQ(back, old);
    EXPECT_EQ(FolderEntries(m_dir).size(), 2u);
}

// A file written in pieces replaces the old one only when committed; until then, or when it
// cannot be made, the old file stays and nothing is left beside it.
TEST_F(FileHelpers, FileWrittenInPiecesReplacesOnlyOnCommit)
{
    const std::string path = At("data.d2d");
    ASSERT_TRUE(WriteFileBytes(path, Bytes{1}));
    {
        CFileWriter f;
        ASSERT_TRUE(f.Open(path));
        ASSERT_TRUE(f.Write("ab", 2));
    }
    std::vector<std::uint8_t> back;
    ASSERT_TRUE(ReadFileBytes(path, back));
    EXPECT_EQ(back, Bytes{1});
    CFileWriter f;
    ASSERT_TRUE(f.Open(path));
    ASSERT_TRUE(f.Write("ab", 2) && f.Write("c", 1) && f.Commit());
    ASSERT_TRUE(ReadFileBytes(path, back));
    EXPECT_EQ(back, (Bytes{'a', 'b', 'c'}));
    CFileWriter folder;
    EXPECT_FALSE(folder.Open(At("model.ds3")));
    EXPECT_FALSE(folder.Error().empty());
    EXPECT_EQ(FolderEntries(m_dir).size(), 2u);
}

// Names as long as a name may be are written through a short temporary name; a write told not
// to follow a link replaces the link; a pipe, a device or a folder is refused before any read.
TEST_F(FileHelpers, LongNamesLinksAndFilesThatAreNoFiles)
{
    for (std::size_t length : {249u, 255u}) {
        const std::string path = At(std::string(length, 'n').c_str());
        EXPECT_TRUE(WriteFileBytes(path, Bytes{1, 2})) << length;
        std::vector<std::uint8_t> back;
        EXPECT_TRUE(ReadFileBytes(path, back) && back == (Bytes{1, 2})) << length;
    }
    const std::string target = At("target"), link = At("link");
    ASSERT_TRUE(WriteFileBytes(target, Bytes{7}));
    std::filesystem::create_symlink(target, link);
    ASSERT_TRUE(WriteFileBytes(link, Bytes{8}, false));
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    std::vector<std::uint8_t> back;
    ASSERT_TRUE(ReadFileBytes(target, back));
    EXPECT_EQ(back, Bytes{7});

    ASSERT_EQ(::mkfifo(At("fifo").c_str(), 0600), 0); // nobody writes: an open would wait
    const struct
    {
        std::string path;
        int error;
    } refused[] = {{At("fifo"), EINVAL}, {"/dev/zero", EINVAL}, {At("model.ds3"), EISDIR}};
    for (const auto& r : refused) {
        EXPECT_EQ(OpenRegularFile(r.path), -1) << r.path;
        EXPECT_EQ(errno, r.error) << r.path;
        EXPECT_FALSE(ReadFileBytes(r.path, back)) << r.path;
    }
}

TEST(PrivateTempFolder, IsTheUsersOwnAndTheSameEachTime)
{
    const std::string& folder = PrivateTempFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(&PrivateTempFolder(), &folder);
    struct stat st
    {
    };
    ASSERT_EQ(::lstat(folder.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(st.st_uid, ::getuid());
}

} // namespace
