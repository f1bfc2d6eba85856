#pragma once
// A photograph stored turned, as cameras store one with an EXIF orientation, turned upright in
// its own JPEG bytes, so that every reader of a lesson shows it upright.
#include <QByteArray>
#include <QImageIOHandler>
#include <QSize>

struct UprightJpeg
{
    enum class Outcome
    {
        Upright,    // at its own size
        Smaller,    // scaled down: memory allowed no more
        NoMemory,   // not even at an eighth of its size
        Unreadable, // damaged, or no JPEG this library decodes
    };
    Outcome outcome = Outcome::Unreadable;
    QByteArray bytes; // upright, with its ICC profile and no other markers
    QSize own;        // the photograph's own size, upright
};

// The JPEG turned upright by turn (the orientation Qt reads from it), taking no more than room
// bytes of memory: without loss where its blocks allow, with optimised Huffman tables; else
// decoded, turned and written once at high quality with its own chroma subsampling, at the
// largest scale that fits.
UprightJpeg JpegTurnedUpright(const QByteArray& jpeg, QImageIOHandler::Transformations turn,
                              double room);

// The bytes of memory this process may still take: most of what the machine has free, within
// any limit on its address space.
double MemoryRoom();
