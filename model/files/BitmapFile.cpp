#include "model/files/BitmapFile.h"

#include "platform/base/Archive.h"

#include <limits>
#include <new>

namespace {

constexpr std::size_t kFileHeader = 14;
constexpr std::size_t kInfoHeader = 40;

void Put16(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

void Put32(std::uint8_t* p, std::uint32_t v)
{
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

std::uint32_t Get16(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0] | (p[1] << 8));
}

} // namespace

int DibColourEntries(int nBitsPerPixel)
{
    return nBitsPerPixel == 1 || nBitsPerPixel == 4 || nBitsPerPixel == 8 ? 1 << nBitsPerPixel : 0;
}

bool MakeDib(int nWidth, int nHeight, int nBitsPerPixel, const std::uint32_t* pPixels,
             std::size_t nStride, DibBlock& dib)
{
    if ((nBitsPerPixel != 24 && nBitsPerPixel != 32) || nWidth < 0 || nHeight < 0 ||
        nWidth > 1 << 16 || nHeight > 1 << 16)
        return false;
    // ((width x bits + 31) with the low five bits cleared) / 8 bytes a row.
    const std::size_t nRow = ((static_cast<std::size_t>(nWidth) * nBitsPerPixel + 31) & ~31u) / 8;
    const std::size_t nImage = nRow * static_cast<std::size_t>(nHeight);
    try {
        dib.bytes.assign(kInfoHeader + nImage, 0);
    } catch (const std::bad_alloc&) {
        dib.bytes = {};
        return false;
    }
    std::uint8_t* h = dib.bytes.data();
    Put32(h, kInfoHeader);
    Put32(h + 4, static_cast<std::uint32_t>(nWidth));
    Put32(h + 8, static_cast<std::uint32_t>(nHeight));
    Put16(h + 12, 1);
    Put16(h + 14, static_cast<std::uint32_t>(nBitsPerPixel));
    Put32(h + 20, static_cast<std::uint32_t>(nImage));
    const std::size_t nBytes = static_cast<std::size_t>(nBitsPerPixel) / 8;
    for (int y = 0; y < nHeight; ++y) {
        // The last row of the picture comes first.
        const std::uint32_t* pSrc = pPixels + static_cast<std::size_t>(nHeight - 1 - y) * nStride;
        std::uint8_t* pDst = h + kInfoHeader + static_cast<std::size_t>(y) * nRow;
        for (int x = 0; x < nWidth; ++x, pDst += nBytes) {
            pDst[0] = static_cast<std::uint8_t>(pSrc[x]);       // blue
            pDst[1] = static_cast<std::uint8_t>(pSrc[x] >> 8);  // green
            pDst[2] = static_cast<std::uint8_t>(pSrc[x] >> 16); // red
        }
    }
    return true;
}

BOOL CBitmapFileWriter::WriteBitmapFile(const std::string& strPath, const DibBlock* pDib)
{
    if (pDib == nullptr || pDib->bytes.size() < kInfoHeader ||
        pDib->bytes.size() > std::numeric_limits<std::uint32_t>::max() - kFileHeader)
        return FALSE;
    const int nEntries = DibColourEntries(static_cast<int>(Get16(pDib->bytes.data() + 14)));
    std::uint8_t header[kFileHeader] = {'B', 'M'};
    Put32(header + 2, static_cast<std::uint32_t>(kFileHeader + pDib->bytes.size()));
    Put32(header + 10, static_cast<std::uint32_t>(kFileHeader + kInfoHeader + 4 * nEntries));
    // The block goes out as it lies, not through a copy of the whole file: a picture as large
    // as the screen is not held twice.
    CFileWriter file;
    return file.Open(strPath) && file.Write(header, kFileHeader) &&
                   file.Write(pDib->bytes.data(), pDib->bytes.size()) && file.Commit()
               ? TRUE
               : FALSE;
}
