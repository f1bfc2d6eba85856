// A phone's photograph stored turned, turned upright as Insert New Object does: its time, the
// memory it takes at its peak over what the process held before, and the bytes kept for the
// photograph's own. The yardstick is libjpeg-turbo's own lossless transform (what jpegtran
// does), turning the same 48-megapixel photograph with the same markers dropped.
#include "app/PictureOrientation.h"
#include "common/JpegFile.h"
#include "common/PeakMemory.h"

#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

// A photograph of w x h stored turned a quarter (EXIF orientation 6), 4:2:0 as phones write it:
// smooth gradients under fine grain, a few bits a pixel.
const QByteArray& PhoneJpeg(int w, int h)
{
    static QByteArray cached;
    static int cachedW = 0;
    if (cachedW != w) {
        JpegPlan plan;
        plan.width = w;
        plan.height = h;
        plan.orientation = 6;
        plan.quality = 90;
        plan.optimized = true;
        plan.row = [w](int y, unsigned char* rgb) {
            for (int x = 0; x < w; ++x, rgb += 3) {
                const unsigned grain = (unsigned(x) * 73856093u ^ unsigned(y) * 19349663u) >> 27;
                rgb[0] = uchar((x / 24 + y / 48) + grain);
                rgb[1] = uchar(90 + (y / 40) % 64 + grain);
                rgb[2] = uchar(((x ^ y) >> 4) + grain);
            }
        };
        cached = JpegOf(plan);
        cachedW = w;
    }
    return cached;
}

void Report(benchmark::State& state, double peakMiB, qsizetype kept, qsizetype own)
{
    state.counters["peak_MiB"] = peakMiB;
    state.counters["kept_of_own"] = double(kept) / double(own);
}

void BM_TurnUpright(benchmark::State& state)
{
    const QByteArray& jpeg = PhoneJpeg(int(state.range(0)), int(state.range(1)));
    double peak = 0;
    qsizetype kept = 0;
    for (auto _ : state) {
        const PeakMemory memory;
        const UprightJpeg upright = JpegTurnedUpright(
            reinterpret_cast<const unsigned char*>(jpeg.constData()), size_t(jpeg.size()),
            PhotoTurn::Rot90, std::numeric_limits<double>::infinity());
        peak = std::max(peak, memory.MiB());
        kept = qsizetype(upright.size);
        if (upright.outcome != UprightJpeg::Outcome::Upright)
            state.SkipWithError("not turned at its own size");
    }
    Report(state, peak, kept, jpeg.size());
}
// 48 megapixels, turned without loss; 50 megapixels, whose blocks allow no perfect turn.
BENCHMARK(BM_TurnUpright)->Args({8000, 6000})->Args({8160, 6120})->Unit(benchmark::kMillisecond);

void BM_TurnUprightByTurboJpeg(benchmark::State& state)
{
    const QByteArray& jpeg = PhoneJpeg(int(state.range(0)), int(state.range(1)));
    tjhandle handle = tjInitTransform();
    double peak = 0;
    unsigned long kept = 0;
    for (auto _ : state) {
        const PeakMemory memory;
        tjtransform turn{};
        turn.op = TJXOP_ROT90;
        turn.options = TJXOPT_PERFECT | TJXOPT_COPYNONE;
        unsigned char* out = nullptr;
        if (tjTransform(handle, reinterpret_cast<const unsigned char*>(jpeg.constData()),
                        static_cast<unsigned long>(jpeg.size()), 1, &out, &kept, &turn, 0) != 0)
            state.SkipWithError(tjGetErrorStr2(handle));
        tjFree(out);
        peak = std::max(peak, memory.MiB());
    }
    tjDestroy(handle);
    Report(state, peak, qsizetype(kept), jpeg.size());
}
BENCHMARK(BM_TurnUprightByTurboJpeg)->Args({8000, 6000})->Unit(benchmark::kMillisecond);

} // namespace
