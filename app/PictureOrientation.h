#pragma once
// A photograph stored turned, as cameras store one with an EXIF orientation, turned upright in
// its own JPEG bytes, so that every reader of a lesson shows it upright. No Qt: a fuzzer builds
// it.
#include <cstddef>
#include <cstdlib>
#include <memory>

// The turn that shows a stored picture upright.
enum class PhotoTurn
{
    None,
    HFlip,
    VFlip,
    Rot180,
    Transpose, // those from here on swap width and height
    Transverse,
    Rot90, // clockwise
    Rot270,
};

struct UprightJpeg
{
    enum class Outcome
    {
        Upright,    // at its own size
        Smaller,    // scaled down: memory, or its damage, allowed no more
        NoMemory,   // not even at an eighth of its size
        Unreadable, // damaged, its data far too few for its picture, or no JPEG this library
                    // decodes
    };
    Outcome outcome = Outcome::Unreadable;
    // Upright, with its ICC profile and no other markers; malloc'd.
    std::unique_ptr<unsigned char, decltype(&std::free)> bytes{nullptr, &std::free};
    std::size_t size = 0;
    int width = 0, height = 0; // the photograph's own size, upright
    // Smaller because its data ends before its picture does: at its own size it would cost what
    // a whole picture of that size does.
    bool damaged = false;
};

// The JPEG turned upright, taking no more than room bytes of memory: without loss where its
// blocks allow, with optimised Huffman tables; else decoded, turned and written once with its
// own quantisation tables and chroma subsampling, at the largest scale that fits.
UprightJpeg JpegTurnedUpright(const unsigned char* jpeg, std::size_t size, PhotoTurn turn,
                              double room);
