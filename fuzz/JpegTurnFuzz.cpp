// A photograph stored turned, turned upright: its first byte picks the turn, its second the
// memory there is room for (2 to 512 MiB), the rest is the JPEG. A turn that says it went in
// gives a JPEG of the upright size, or a smaller one of the same shape, that reads again; and
// a turned picture is no larger than a few bytes can hold, as a turn costs what its picture does.
#include "app/PictureOrientation.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const auto turn = static_cast<PhotoTurn>(data[0] % 8);
    const double room = (data[1] + 1.0) * 2 * 1048576;
    const UprightJpeg upright = JpegTurnedUpright(data + 2, size - 2, turn, room);
    const bool in = upright.outcome == UprightJpeg::Outcome::Upright ||
                    upright.outcome == UprightJpeg::Outcome::Smaller;
    if (!in)
        return 0;
    if (!upright.bytes || upright.size == 0)
        std::abort();
    // Kept as it is where there is no turn, whatever it claims.
    const double pixels = double(upright.width) * double(upright.height);
    if (turn != PhotoTurn::None && pixels > 2e6 && pixels > 1024.0 * double(size))
        std::abort();
    const UprightJpeg again = JpegTurnedUpright(upright.bytes.get(), upright.size, PhotoTurn::None,
                                                room + double(upright.size));
    const bool whole = upright.outcome == UprightJpeg::Outcome::Upright;
    if (again.outcome != UprightJpeg::Outcome::Upright ||
        (whole && (again.width != upright.width || again.height != upright.height)) ||
        (!whole && (again.width > upright.width || again.height > upright.height)))
        std::abort();
    return 0;
}
