#include "app/PictureOrientation.h"

#include "app/JpegCodec.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

using Op = PhotoTurn;

bool Swaps(Op op)
{
    return op >= Op::Transpose;
}

// Buffers of the pixel turn, freed whatever way the turn ends.
struct Buffers
{
    unsigned char* upright = nullptr;
    unsigned char* strip = nullptr;
    Buffers() = default;
    Buffers(const Buffers&) = delete;
    Buffers& operator=(const Buffers&) = delete;
    ~Buffers()
    {
        std::free(upright);
        std::free(strip);
    }
};

unsigned RoundUp(unsigned n, unsigned m)
{
    return (n + m - 1) / m * m;
}

// The bytes of the picture's DCT coefficients as libjpeg holds them, over whole MCUs.
double CoefficientBytes(const jpeg_decompress_struct& in)
{
    double blocks = 0;
    for (int c = 0; c < in.num_components; ++c) {
        const jpeg_component_info& k = in.comp_info[c];
        blocks += double(RoundUp(k.width_in_blocks, k.h_samp_factor)) *
                  RoundUp(k.height_in_blocks, k.v_samp_factor);
    }
    return blocks * sizeof(JBLOCK);
}

// Whether the turn moves no partial MCU at an edge inwards, so that it loses nothing.
bool Perfect(const jpeg_decompress_struct& in, Op op)
{
    const bool one = in.num_components == 1;
    const unsigned mcuW = DCTSIZE * (one ? 1 : in.max_h_samp_factor);
    const unsigned mcuH = DCTSIZE * (one ? 1 : in.max_v_samp_factor);
    const bool wholeW = in.image_width % mcuW == 0, wholeH = in.image_height % mcuH == 0;
    switch (op) {
    case Op::HFlip:
    case Op::Rot270:
        return wholeW;
    case Op::VFlip:
    case Op::Rot90:
        return wholeH;
    case Op::Rot180:
    case Op::Transverse:
        return wholeW && wholeH;
    default:
        return true;
    }
}

// Where the stored pixel or block (x, y) of a picture w x h stands once turned upright.
struct Place
{
    std::ptrdiff_t x, y;
};

Place UprightOf(Op op, std::ptrdiff_t w, std::ptrdiff_t h, std::ptrdiff_t x, std::ptrdiff_t y)
{
    switch (op) {
    case Op::HFlip:
        return {w - 1 - x, y};
    case Op::VFlip:
        return {x, h - 1 - y};
    case Op::Rot180:
        return {w - 1 - x, h - 1 - y};
    case Op::Transpose:
        return {y, x};
    case Op::Transverse:
        return {h - 1 - y, w - 1 - x};
    case Op::Rot90:
        return {h - 1 - y, x};
    case Op::Rot270:
        return {y, w - 1 - x};
    default:
        return {x, y};
    }
}

// The turn back: a quarter turn one way undoes one the other; every other turn undoes itself.
Op Inverse(Op op)
{
    return op == Op::Rot90 ? Op::Rot270 : op == Op::Rot270 ? Op::Rot90 : op;
}

// The stored block (y, x) that the upright block (dy, dx) comes from, of a component w x h
// blocks as stored.
void SourceBlock(Op op, unsigned w, unsigned h, unsigned dy, unsigned dx, unsigned& y, unsigned& x)
{
    const Place p = UprightOf(Inverse(op), Swaps(op) ? h : w, Swaps(op) ? w : h, dx, dy);
    y = unsigned(p.y), x = unsigned(p.x);
}

// A block's coefficients turned: a mirror negates the odd frequencies across it, and a turn
// by a quarter transposes them.
struct BlockTurn
{
    explicit BlockTurn(Op op)
    {
        const bool oddColumns =
            op == Op::HFlip || op == Op::Rot180 || op == Op::Transverse || op == Op::Rot90;
        const bool oddRows =
            op == Op::VFlip || op == Op::Rot180 || op == Op::Transverse || op == Op::Rot270;
        for (int i = 0; i < DCTSIZE; ++i)
            for (int j = 0; j < DCTSIZE; ++j) {
                from[i * DCTSIZE + j] = Swaps(op) ? j * DCTSIZE + i : i * DCTSIZE + j;
                negate[i * DCTSIZE + j] = ((oddColumns && j % 2) != 0) != ((oddRows && i % 2) != 0);
            }
    }
    void operator()(const JCOEF* in, JCOEF* out) const
    {
        for (int k = 0; k < DCTSIZE2; ++k)
            out[k] = JCOEF(negate[k] ? -in[from[k]] : in[from[k]]);
    }
    int from[DCTSIZE2];
    bool negate[DCTSIZE2];
};

JBLOCKROW RowOf(j_common_ptr info, jvirt_barray_ptr array, unsigned y)
{
    return (*info->mem->access_virt_barray)(info, array, y, 1, TRUE)[0];
}

// A flip turned in the stored coefficients themselves: each block swaps with its mirror.
void FlipInPlace(jpeg_decompress_struct& in, jvirt_barray_ptr* coefficients, Op op)
{
    const BlockTurn turn(op);
    const auto info = reinterpret_cast<j_common_ptr>(&in);
    for (int c = 0; c < in.num_components; ++c) {
        const unsigned w = in.comp_info[c].width_in_blocks, h = in.comp_info[c].height_in_blocks;
        for (unsigned dy = 0; dy < h; ++dy)
            for (unsigned dx = 0; dx < w; ++dx) {
                unsigned y = 0, x = 0;
                SourceBlock(op, w, h, dy, dx, y, x);
                if (y * w + x < dy * w + dx)
                    continue; // its pair is done
                JCOEF* a = RowOf(info, coefficients[c], dy)[dx];
                JCOEF* b = RowOf(info, coefficients[c], y)[x];
                JBLOCK old;
                std::memcpy(old, a, sizeof old);
                turn(b, a);
                if (b != a)
                    turn(old, b);
            }
    }
}

// Arrays of the upright picture's shape for a quarter turn of the stored coefficients.
jvirt_barray_ptr* TurnedArrays(const jpeg_decompress_struct& in, jpeg_compress_struct& out)
{
    const auto outInfo = reinterpret_cast<j_common_ptr>(&out);
    auto* upright = static_cast<jvirt_barray_ptr*>((*out.mem->alloc_small)(
        outInfo, JPOOL_IMAGE, sizeof(jvirt_barray_ptr) * size_t(in.num_components)));
    for (int c = 0; c < in.num_components; ++c) {
        const jpeg_component_info& k = in.comp_info[c];
        upright[c] = (*out.mem->request_virt_barray)(
            outInfo, JPOOL_IMAGE, TRUE, RoundUp(k.height_in_blocks, k.v_samp_factor),
            RoundUp(k.width_in_blocks, k.h_samp_factor), JDIMENSION(k.h_samp_factor));
    }
    return upright;
}

// The stored coefficients turned a quarter into the upright arrays.
void FillTurned(jpeg_decompress_struct& in, jvirt_barray_ptr* stored, jpeg_compress_struct& out,
                jvirt_barray_ptr* upright, Op op)
{
    const BlockTurn turn(op);
    const auto inInfo = reinterpret_cast<j_common_ptr>(&in);
    const auto outInfo = reinterpret_cast<j_common_ptr>(&out);
    for (int c = 0; c < in.num_components; ++c) {
        const jpeg_component_info& k = in.comp_info[c];
        const unsigned w = k.width_in_blocks, h = k.height_in_blocks;
        // Every row, those that pad the last MCU row too, in order, as libjpeg wants them.
        for (unsigned dy = 0; dy < RoundUp(w, k.h_samp_factor); ++dy) {
            JBLOCKROW row = RowOf(outInfo, upright[c], dy);
            for (unsigned dx = 0; dx < h && dy < w; ++dx) {
                unsigned y = 0, x = 0;
                SourceBlock(op, w, h, dy, dx, y, x);
                turn(RowOf(inInfo, stored[c], y)[x], row[dx]);
            }
        }
    }
}

// The bytes a turn writes, at most: the stored photograph's at the scale written, in a buffer
// that grows by doubling.
double OutputBytes(std::size_t size, double scale)
{
    return 2.0 * double(size) * scale * scale + (1 << 16);
}

// The bytes of the coefficients that the compressor holds for its optimised Huffman tables, of a
// picture w x h of components sampled as in's, turned with the picture where swapped.
double WrittenCoefficientBytes(const jpeg_decompress_struct& in, double w, double h, bool swapped)
{
    const bool one = in.num_components == 1;
    const int maxH = one ? 1 : swapped ? in.max_v_samp_factor : in.max_h_samp_factor;
    const int maxV = one ? 1 : swapped ? in.max_h_samp_factor : in.max_v_samp_factor;
    double blocks = 0;
    for (int c = 0; c < in.num_components; ++c) {
        const jpeg_component_info& k = in.comp_info[c];
        const int hs = one ? 1 : swapped ? k.v_samp_factor : k.h_samp_factor;
        const int vs = one ? 1 : swapped ? k.h_samp_factor : k.v_samp_factor;
        const double wide = std::ceil(std::ceil(w * hs / maxH / DCTSIZE) / hs) * hs;
        const double high = std::ceil(std::ceil(h * vs / maxV / DCTSIZE) / vs) * vs;
        blocks += wide * high;
    }
    return blocks * sizeof(JBLOCK);
}

// The picture's sampling and the quantisation tables it has from the stored photograph,
// transposed with its coefficients: each coefficient keeps the step it was quantised with.
void TransposeSamplingAndSteps(const jpeg_decompress_struct& in, jpeg_compress_struct& out)
{
    for (int c = 0; c < out.num_components; ++c)
        std::swap(out.comp_info[c].h_samp_factor, out.comp_info[c].v_samp_factor);
    for (int t = 0; t < NUM_QUANT_TBLS; ++t)
        if (JQUANT_TBL* table = out.quant_tbl_ptrs[t]; table && in.quant_tbl_ptrs[t])
            for (int i = 0; i < DCTSIZE; ++i)
                for (int j = 0; j < i; ++j)
                    std::swap(table->quantval[i * DCTSIZE + j], table->quantval[j * DCTSIZE + i]);
}

// The stored coefficients turned without loss, written with optimised Huffman tables.
void TurnLosslessly(JpegCodec& codec, JpegSink& sink, Op op)
{
    jpeg_decompress_struct& in = codec.in;
    jpeg_compress_struct& out = codec.out;
    jvirt_barray_ptr* stored = jpeg_read_coefficients(&in);
    codec.StartWriting(sink);
    jpeg_copy_critical_parameters(&in, &out);
    if (Swaps(op)) {
        std::swap(out.image_width, out.image_height);
        TransposeSamplingAndSteps(in, out);
    }
    codec.CopyDensity(Swaps(op));
    out.optimize_coding = TRUE;
    jvirt_barray_ptr* upright = Swaps(op) ? TurnedArrays(in, out) : stored;
    jpeg_write_coefficients(&out, upright);
    codec.WriteIccProfile();
    if (Swaps(op))
        FillTurned(in, stored, out, upright, op);
    else
        FlipInPlace(in, stored, op);
    jpeg_finish_compress(&out);
}

// Where a stored pixel (x, y) goes in the upright picture: at origin + x stepX + y stepY, as
// the turn is linear.
struct Walk
{
    std::ptrdiff_t origin, stepX, stepY;
};

Walk WalkOf(Op op, std::ptrdiff_t w, std::ptrdiff_t h)
{
    const std::ptrdiff_t uw = Swaps(op) ? h : w;
    const auto at = [&](std::ptrdiff_t x, std::ptrdiff_t y) {
        const Place p = UprightOf(op, w, h, x, y);
        return p.y * uw + p.x;
    };
    return {at(0, 0), at(1, 0) - at(0, 0), at(0, 1) - at(0, 0)};
}

template <int N>
void ScatterRows(const unsigned char* strip, int rows, int y0, int w, const Walk& walk,
                 unsigned char* upright)
{
    for (int r = 0; r < rows; ++r) {
        std::ptrdiff_t at = walk.origin + std::ptrdiff_t(y0 + r) * walk.stepY;
        const unsigned char* from = strip + std::ptrdiff_t(r) * w * N;
        for (int x = 0; x < w; ++x, at += walk.stepX, from += N)
            for (int k = 0; k < N; ++k) // not memcpy: a call a pixel where it is not inlined
                upright[at * N + k] = from[k];
    }
}

void Scatter(const unsigned char* strip, int rows, int y0, int w, int components, const Walk& walk,
             unsigned char* upright)
{
    switch (components) {
    case 1:
        return ScatterRows<1>(strip, rows, y0, w, walk, upright);
    case 3:
        return ScatterRows<3>(strip, rows, y0, w, walk, upright);
    case 4:
        return ScatterRows<4>(strip, rows, y0, w, walk, upright);
    default:
        for (int r = 0; r < rows; ++r) {
            std::ptrdiff_t at = walk.origin + std::ptrdiff_t(y0 + r) * walk.stepY;
            for (int x = 0; x < w; ++x, at += walk.stepX)
                std::memcpy(upright + at * components,
                            strip + (std::ptrdiff_t(r) * w + x) * components, size_t(components));
        }
    }
}

constexpr int kStripRows = 16;

// libjpeg's own rows of a picture's width, for decoding and for encoding, at most; and its
// tables and pools.
constexpr int kCodecRows = 64;
constexpr double kCodecFixed = 1 << 18;

// The memory a turn of the decoded pixels at eighths/8 of the stored size takes: the whole
// coefficients of progressive data, the coefficients of the upright picture that its optimised
// tables are made from, and libjpeg's rows, beside either the upright pixels with a strip of
// stored rows or, once they are freed, the output.
double PixelTurnBytes(jpeg_decompress_struct& in, std::size_t size, Op op, int eighths)
{
    in.scale_num = unsigned(eighths);
    in.scale_denom = 8;
    jpeg_calc_output_dimensions(&in);
    const double row = double(in.output_width) * in.output_components;
    const double w = Swaps(op) ? in.output_height : in.output_width;
    const double h = Swaps(op) ? in.output_width : in.output_height;
    return (jpeg_has_multiple_scans(&in) ? CoefficientBytes(in) : 0) +
           WrittenCoefficientBytes(in, w, h, Swaps(op)) +
           kCodecRows * std::max(w, h) * in.output_components + kCodecFixed +
           std::max(row * (in.output_height + kStripRows), OutputBytes(size, eighths / 8.0));
}

// The stored pixels decoded at the scale set, a strip at a time, into the upright picture.
void DecodeUpright(JpegCodec& codec, Buffers& buffers, Op op)
{
    jpeg_decompress_struct& in = codec.in;
    jpeg_start_decompress(&in);
    const int w = int(in.output_width), h = int(in.output_height), n = in.output_components;
    const auto info = reinterpret_cast<j_common_ptr>(&in);
    buffers.upright = JpegAllocate(info, double(w) * h * n);
    buffers.strip = JpegAllocate(info, double(w) * n * kStripRows);
    const Walk walk = WalkOf(op, w, h);
    while (in.output_scanline < in.output_height) {
        const int y0 = int(in.output_scanline);
        const int rows = std::min(kStripRows, h - y0);
        JSAMPROW lines[kStripRows];
        for (int r = 0; r < rows; ++r)
            lines[r] = buffers.strip + std::ptrdiff_t(r) * w * n;
        for (int got = 0; got < rows;)
            got += int(jpeg_read_scanlines(&in, lines + got, JDIMENSION(rows - got)));
        Scatter(buffers.strip, rows, y0, w, n, walk, buffers.upright);
    }
    // Not finished: that would free the ICC profile's markers before they are written again.
}

// The stored photograph's sampling, its quantisation tables and each component's choice of them.
void CopySamplingAndSteps(const jpeg_decompress_struct& in, jpeg_compress_struct& out)
{
    for (int c = 0; out.num_components > 1 && c < std::min(in.num_components, out.num_components);
         ++c) {
        out.comp_info[c].h_samp_factor = in.comp_info[c].h_samp_factor;
        out.comp_info[c].v_samp_factor = in.comp_info[c].v_samp_factor;
    }
    for (int t = 0; t < NUM_QUANT_TBLS; ++t) {
        const JQUANT_TBL* from = in.quant_tbl_ptrs[t];
        if (!from)
            continue;
        if (!out.quant_tbl_ptrs[t])
            out.quant_tbl_ptrs[t] = jpeg_alloc_quant_table(reinterpret_cast<j_common_ptr>(&out));
        JQUANT_TBL* to = out.quant_tbl_ptrs[t];
        for (int k = 0; k < DCTSIZE2; ++k) // a step of 0, which a decoder reads, divides by 0
            to->quantval[k] = std::clamp<UINT16>(from->quantval[k], 1, 32767);
        to->sent_table = FALSE;
    }
    for (int c = 0; c < std::min(in.num_components, out.num_components); ++c)
        if (const int t = in.comp_info[c].quant_tbl_no;
            t >= 0 && t < NUM_QUANT_TBLS && in.quant_tbl_ptrs[t])
            out.comp_info[c].quant_tbl_no = t;
}

// The upright pixels written once as the stored photograph was: its colour space, chroma
// subsampling and quantisation tables, turned with it, and its ICC profile; with optimised
// Huffman tables. The pixels are freed once the compressor holds their coefficients.
void EncodeUpright(JpegCodec& codec, JpegSink& sink, Buffers& buffers, Op op)
{
    jpeg_decompress_struct& in = codec.in;
    jpeg_compress_struct& out = codec.out;
    codec.StartWriting(sink);
    out.image_width = Swaps(op) ? in.output_height : in.output_width;
    out.image_height = Swaps(op) ? in.output_width : in.output_height;
    out.input_components = in.output_components;
    out.in_color_space = in.out_color_space;
    jpeg_set_defaults(&out);
    jpeg_set_colorspace(&out, in.jpeg_color_space);
    CopySamplingAndSteps(in, out);
    if (Swaps(op))
        TransposeSamplingAndSteps(in, out);
    out.optimize_coding = TRUE;
    out.dct_method = JDCT_ISLOW;
    codec.CopyDensity(Swaps(op));
    jpeg_start_compress(&out, TRUE);
    codec.WriteIccProfile();
    const std::ptrdiff_t row = std::ptrdiff_t(out.image_width) * out.input_components;
    while (out.next_scanline < out.image_height) {
        JSAMPROW line = buffers.upright + std::ptrdiff_t(out.next_scanline) * row;
        jpeg_write_scanlines(&out, &line, 1);
    }
    std::free(std::exchange(buffers.upright, nullptr));
    jpeg_finish_compress(&out);
}

enum class Tried
{
    Done,
    NoMemory,
    Failed,  // the other path may still do it
    Damaged, // the first scan's data ended before its picture did
};

Tried Outcome(const JpegCodec& codec)
{
    return codec.OutOfMemory() ? Tried::NoMemory
           : codec.DataEnded() ? Tried::Damaged
                               : Tried::Failed;
}

// The compressed bytes handed over to the result.
void Take(JpegSink& sink, UprightJpeg& result)
{
    result.bytes.reset(std::exchange(sink.data, nullptr));
    result.size = std::exchange(sink.size, 0);
    sink.capacity = 0;
}

// What a whole photograph of 50 megapixels takes to turn, at most: one whose data ends before
// its picture does takes no more, whatever picture it claims.
constexpr double kDamagedRoom = 320.0 * 1048576;

// Whether the first scan's data lasts to its picture's end: read at an eighth of its size, and
// no further than where it ends. Progressive data needs room for every scan's coefficients, as
// any turn of its pixels does: where there is none, no turn can tell.
bool DataLasts(const unsigned char* jpeg, std::size_t size, const JpegScan& scan, double room)
{
    Buffers buffers;
    JpegCodec codec(jpeg, size, false, scan);
    codec.Probe();
    jpeg_decompress_struct& in = codec.in;
    bool untold = false;
    const bool read = codec.Guarded([&] {
        codec.ReadHeader();
        in.scale_num = 1;
        in.scale_denom = 8;
        jpeg_calc_output_dimensions(&in);
        if ((untold = jpeg_has_multiple_scans(&in) && CoefficientBytes(in) > room))
            return;
        jpeg_start_decompress(&in);
        const auto row = std::ptrdiff_t(in.output_width) * in.output_components;
        buffers.strip = JpegAllocate(reinterpret_cast<j_common_ptr>(&in), double(row) * kStripRows);
        JSAMPROW lines[kStripRows];
        for (int r = 0; r < kStripRows; ++r)
            lines[r] = buffers.strip + r * row;
        while (in.output_scanline < in.output_height)
            jpeg_read_scanlines(&in, lines, kStripRows);
    });
    return untold || ((read || codec.Lasted()) && !codec.DataEnded());
}

// The memory a turn may take: room, but no more than kDamagedRoom where the first scan's data
// ends before its picture does. A dearer turn is made only once a probe has found that the data
// lasts.
class Budget
{
public:
    Budget(const unsigned char* jpeg, std::size_t size, const JpegScan& scan, double room)
        : m_jpeg(jpeg), m_size(size), m_scan(scan), m_given(room), m_room(room)
    {
    }

    bool Allows(double need)
    {
        if (need > kDamagedRoom && need <= m_room && !std::exchange(m_probed, true) &&
            !DataLasts(m_jpeg, m_size, m_scan, m_room))
            Damaged();
        return need <= m_room;
    }
    void Damaged() { m_room = std::min(m_room, kDamagedRoom); }
    // Whether the damage, not memory, keeps the turn smaller than room would.
    bool Binds() const { return m_room < m_given; }

private:
    const unsigned char* m_jpeg;
    std::size_t m_size;
    JpegScan m_scan;
    double m_given, m_room;
    bool m_probed = false;
};

// The turn without loss where it is perfect and its budget allows.
Tried LosslessTurn(const unsigned char* jpeg, std::size_t size, Op op, const JpegScan& scan,
                   Budget& budget, UprightJpeg& result)
{
    JpegSink sink;
    Tried tried = Tried::Failed;
    {
        JpegCodec codec(jpeg, size, true, scan);
        if (!codec.Guarded([&] { codec.ReadHeader(); }) || !Perfect(codec.in, op))
            return Tried::Failed;
        const double need =
            CoefficientBytes(codec.in) * (Swaps(op) ? 2 : 1) + OutputBytes(size, 1) + kCodecFixed;
        if (!budget.Allows(need))
            return Tried::NoMemory;
        tried =
            codec.Guarded([&] { TurnLosslessly(codec, sink, op); }) ? Tried::Done : Outcome(codec);
    } // the coefficients freed before the result takes the bytes
    if (tried == Tried::Done)
        Take(sink, result);
    return tried;
}

// The pixels turned at eighths/8 of the stored size, where its budget allows.
Tried PixelTurn(const unsigned char* jpeg, std::size_t size, Op op, const JpegScan& scan,
                int eighths, Budget& budget, UprightJpeg& result)
{
    JpegSink sink;
    {
        Buffers buffers;
        JpegCodec codec(jpeg, size, false, scan);
        double need = 0;
        if (!codec.Guarded([&] {
                codec.ReadHeader();
                need = PixelTurnBytes(codec.in, size, op, eighths);
            }))
            return Outcome(codec);
        if (!budget.Allows(need))
            return Tried::NoMemory;
        if (!codec.Guarded([&] {
                DecodeUpright(codec, buffers, op);
                EncodeUpright(codec, sink, buffers, op);
            }))
            return Outcome(codec);
    }
    Take(sink, result);
    return Tried::Done;
}

// Whether the photograph claims more picture than a camera writes in its first scan's data. A
// plain picture in Huffman coding takes a bit for each block of each component, some 200 pixels
// a byte; in arithmetic coding, or in runs of empty blocks, a few bytes hold any size, which a
// turn would pay for in full. A small picture costs little whatever its bytes.
bool HoldsTooLittle(const UprightJpeg& photo, const JpegScan& scan)
{
    constexpr double kMostPixelsPerByte = 1024, kFewPixels = 2e6;
    const double pixels = double(photo.width) * double(photo.height);
    return pixels > kFewPixels && pixels > kMostPixelsPerByte * scan.dataBytes;
}

// The photograph's size upright and its first scan, from its header; false where it has none.
bool ReadSize(const unsigned char* jpeg, std::size_t size, Op op, UprightJpeg& result,
              JpegScan& scan)
{
    JpegCodec codec(jpeg, size, false);
    if (!codec.Guarded([&] {
            codec.ReadHeader();
            scan = codec.FirstScan();
        }))
        return false;
    const bool swapped = Swaps(op);
    result.width = int(swapped ? codec.in.image_height : codec.in.image_width);
    result.height = int(swapped ? codec.in.image_width : codec.in.image_height);
    return result.width > 0 && result.height > 0;
}

} // namespace

UprightJpeg JpegTurnedUpright(const unsigned char* jpeg, std::size_t size, PhotoTurn op,
                              double room)
{
    UprightJpeg result;
    JpegScan scan;
    if (!ReadSize(jpeg, size, op, result, scan))
        return result;
    if (op == Op::None) {
        if (void* copy = std::malloc(size)) {
            result.bytes.reset(static_cast<unsigned char*>(std::memcpy(copy, jpeg, size)));
            result.size = size;
            result.outcome = UprightJpeg::Outcome::Upright;
        } else {
            result.outcome = UprightJpeg::Outcome::NoMemory;
        }
        return result;
    }
    if (HoldsTooLittle(result, scan))
        return result; // as damaged
    Budget budget(jpeg, size, scan, room);
    Tried tried = LosslessTurn(jpeg, size, op, scan, budget, result);
    if (tried == Tried::Done) {
        result.outcome = UprightJpeg::Outcome::Upright;
        return result;
    }
    if (tried == Tried::Damaged)
        budget.Damaged();
    for (int eighths = 8; eighths >= 1; --eighths) {
        tried = PixelTurn(jpeg, size, op, scan, eighths, budget, result);
        if (tried == Tried::Done) {
            result.outcome =
                eighths == 8 ? UprightJpeg::Outcome::Upright : UprightJpeg::Outcome::Smaller;
            result.damaged = eighths < 8 && budget.Binds();
            return result;
        }
        if (tried != Tried::NoMemory)
            break;
    }
    // A damaged photograph that its budget, not memory, keeps out is refused as damaged.
    result.outcome = tried == Tried::NoMemory && !budget.Binds() ? UprightJpeg::Outcome::NoMemory
                                                                 : UprightJpeg::Outcome::Unreadable;
    return result;
}
