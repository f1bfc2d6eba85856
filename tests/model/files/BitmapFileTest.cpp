// Bitmap files: the headers, the row padding and the bottom-up order, byte for byte.
#include "model/files/BitmapFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

std::vector<std::uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

std::uint32_t At32(const std::vector<std::uint8_t>& b, std::size_t i)
{
    return b[i] | b[i + 1] << 8 | b[i + 2] << 16 | static_cast<std::uint32_t>(b[i + 3]) << 24;
}

TEST(BitmapFile, AKnownPictureByteForByte)
{
    // Top row red, green, blue; bottom row white, black and 0x123456.
    const std::uint32_t pixels[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF,
                                    0xFFFFFFFF, 0xFF000000, 0xFF123456};
    DibBlock dib;
    ASSERT_TRUE(MakeDib(3, 2, 24, pixels, 3, dib));
    const std::string path = ::testing::TempDir() + "known.bmp";
    ASSERT_TRUE(CBitmapFileWriter::WriteBitmapFile(path, &dib));
    const std::vector<std::uint8_t> expected = {
        'B',  'M',  78,   0, 0,    0, 0,    0,    0,    0, 54, 0, 0, 0, // file header
        40,   0,    0,    0, 3,    0, 0,    0,    2,    0, 0,  0, 1, 0,
        24,   0,    0,    0, 0,    0, // size .. compression
        24,   0,    0,    0, 0,    0, 0,    0,    0,    0, 0,  0, 0, 0,
        0,    0,    0,    0, 0,    0,                              // image size .. colours
        0xFF, 0xFF, 0xFF, 0, 0,    0, 0x56, 0x34, 0x12, 0, 0,  0,  // bottom row, padded
        0,    0,    0xFF, 0, 0xFF, 0, 0xFF, 0,    0,    0, 0,  0}; // top row, padded
    EXPECT_EQ(ReadBytes(path), expected);
}

struct SizeCase
{
    int width, height, bits;
    std::uint32_t fileSize, offset, imageSize;
};

TEST(BitmapFile, SizesOffsetsAndColourTables)
{
    const SizeCase kCases[] = {
        {400, 300, 32, 14 + 40 + 480000, 54, 480000},
        {401, 2, 24, 14 + 40 + 2 * 1204, 54, 2 * 1204},
        {1, 1, 24, 14 + 40 + 4, 54, 4},
        {0, 0, 32, 54, 54, 0},
    };
    for (const SizeCase& c : kCases) {
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(c.width * c.height), 0xFF808080);
        DibBlock dib;
        ASSERT_TRUE(MakeDib(c.width, c.height, c.bits, pixels.data(), c.width, dib));
        const std::string path = ::testing::TempDir() + "size.bmp";
        ASSERT_TRUE(CBitmapFileWriter::WriteBitmapFile(path, &dib));
        const auto b = ReadBytes(path);
        ASSERT_EQ(b.size(), c.fileSize) << c.width;
        EXPECT_EQ(At32(b, 2), c.fileSize);
        EXPECT_EQ(At32(b, 10), c.offset);
        EXPECT_EQ(At32(b, 34), c.imageSize);
    }
    // A palette block of 8 bits per pixel: 256 colour entries before the bits.
    DibBlock palette;
    palette.bytes.assign(40 + 4 * 256 + 4, 0);
    palette.bytes[0] = 40;
    palette.bytes[14] = 8;
    const std::string path = ::testing::TempDir() + "palette.bmp";
    ASSERT_TRUE(CBitmapFileWriter::WriteBitmapFile(path, &palette));
    EXPECT_EQ(At32(ReadBytes(path), 10), 1078u);
}

TEST(BitmapFile, NoBlockOrNoFileIsAFailure)
{
    DibBlock dib;
    const std::uint32_t pixel = 0;
    ASSERT_TRUE(MakeDib(1, 1, 32, &pixel, 1, dib));
    EXPECT_FALSE(CBitmapFileWriter::WriteBitmapFile("/nonexistent-folder/a.bmp", &dib));
    EXPECT_FALSE(CBitmapFileWriter::WriteBitmapFile(::testing::TempDir() + "a.bmp", nullptr));
    EXPECT_FALSE(MakeDib(1, 1, 16, &pixel, 1, dib));
    EXPECT_FALSE(MakeDib(-1, 1, 32, &pixel, 1, dib));
}

} // namespace
