#pragma once
// Uncompressed bitmap files ("*.bmp"): the 14-byte file header followed by a device-independent
// bitmap block (a 40-byte information header, a colour table up to 8 bits per pixel and the
// pixel rows, bottom-up, each padded to a multiple of four bytes). All numbers little-endian.
// No Qt: Save Image and the basins views hand in their pixels.
#include "platform/base/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A device-independent bitmap exactly as it lies in memory.
struct DibBlock
{
    std::vector<std::uint8_t> bytes;
};

// Colour entries of a bitmap of that many bits per pixel: 2^bits up to 8 bits, else none.
int DibColourEntries(int nBitsPerPixel);

// The block of a picture of 24 or 32 bits per pixel from rows of 0xAARRGGBB pixels given top
// down, nStride pixels apart. False for another depth or a size that does not fit, and when
// memory runs out (the block is left empty then).
bool MakeDib(int nWidth, int nHeight, int nBitsPerPixel, const std::uint32_t* pPixels,
             std::size_t nStride, DibBlock& dib);

// The one writer of bitmap files. It keeps no state; the basins views derive from it, so their
// WriteBitmapFile is this one.
class CBitmapFileWriter
{
public:
    // Writes the file header and the block; FALSE without a block (or a block too short for
    // its header) or when the file cannot be written.
    static BOOL WriteBitmapFile(const std::string& strPath, const DibBlock* pDib);
};
