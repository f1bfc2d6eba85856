#pragma once
// Small value types that the model record, its files and the drawing code share.
#include <cstdint>

using BOOL = int;           // 32-bit flag, 0 or 1
using BYTE = unsigned char; // 8-bit flag
#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

// A colour 0x00BBGGRR.
using COLORREF = std::uint32_t;

constexpr COLORREF RGB(int r, int g, int b)
{
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c)
{
    return static_cast<int>(c & 0xFF);
}
constexpr int GetGValue(COLORREF c)
{
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int GetBValue(COLORREF c)
{
    return static_cast<int>((c >> 16) & 0xFF);
}

// A point of two 32-bit ints, stored in files as one 8-byte block (x, then y).
struct POINT
{
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const POINT&, const POINT&) = default;
};
