#include "platform/base/Archive.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<int> l)
{
    std::vector<std::uint8_t> v;
    for (int b : l)
        v.push_back(static_cast<std::uint8_t>(b));
    return v;
}

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
        {0, Bytes({0x00})},
        {254, Bytes({0xFE})},
        {255, Bytes({0xFF, 0xFF, 0x00})},
        {0xFFFD, Bytes({0xFF, 0xFD, 0xFF})},
        {0xFFFE, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
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
    CArchive in(Bytes({0xFF, 0xFE, 0xFF, 0x03, 'a', 0x00, 0xE9, 0x00, 0x3A, 0x04, 'z'}));
    EXPECT_EQ(in.ReadString(), std::string("a\xE9?"));
    EXPECT_EQ(in.Remaining(), 1u);
}

TEST(Archive, ShortDataThrowsEndOfFile)
{
    const std::vector<std::vector<std::uint8_t>> inputs = {
        Bytes({}),                                         // no prefix
        Bytes({0x05, 'a', 'b'}),                           // text shorter than its length
        Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}), // 2 GB promised, nothing there
        Bytes({0xFF, 0xFE, 0xFF, 0x02, 'a', 0x00}),        // 16-bit text cut short
        Bytes({0xFF, 0x10}),                               // length word cut short
    };
    for (const auto& in : inputs) {
        CArchive ar(in);
        EXPECT_THROW(ar.ReadString(), CArchiveException);
    }
    CArchive ints(Bytes({1, 2, 3}));
    EXPECT_THROW(ints.ReadInt(), CArchiveException);
    CArchive point(Bytes({1, 0, 0, 0, 2, 0, 0}));
    EXPECT_THROW(point.ReadPoint(), CArchiveException);
    EXPECT_EQ(point.Remaining(), 7u); // a point is read whole or not at all
}

TEST(Archive, FileHelpersRoundTrip)
{
    const std::string path = ::testing::TempDir() + "archive_test.bin";
    const auto data = Bytes({0, 1, 2, 255});
    ASSERT_TRUE(WriteFileBytes(path, data));
    std::vector<std::uint8_t> back;
    ASSERT_TRUE(ReadFileBytes(path, back));
    EXPECT_EQ(back, data);
    EXPECT_FALSE(ReadFileBytes(path + ".missing", back));
}

} // namespace
