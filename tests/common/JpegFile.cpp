#include "common/JpegFile.h"

#include <QColorSpace>
#include <QRgb>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace {

struct Errors
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void Fail(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<Errors*>(info->err)->jump, 1);
}

// APP1: "Exif", a big-endian TIFF header and one directory of one entry, the orientation.
QByteArray ExifOf(int orientation)
{
    QByteArray exif("Exif\0\0MM\0*\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\0\0\0\0\0\0\0", 32);
    exif[25] = char(orientation);
    return exif;
}

void Write(jpeg_compress_struct& out, const JpegPlan& plan, std::vector<unsigned char>& row)
{
    out.image_width = JDIMENSION(plan.width);
    out.image_height = JDIMENSION(plan.height);
    out.input_components = 3;
    out.in_color_space = JCS_RGB;
    jpeg_set_defaults(&out);
    jpeg_set_quality(&out, plan.quality, TRUE);
    out.optimize_coding = plan.optimized && !plan.arithmetic; // arithmetic coding adapts itself
    out.comp_info[0].h_samp_factor = plan.hSamp;
    out.comp_info[0].v_samp_factor = plan.vSamp;
    if (plan.progressive)
        jpeg_simple_progression(&out);
    out.arith_code = plan.arithmetic;
    out.restart_in_rows = plan.restartRows;
    jpeg_start_compress(&out, TRUE);
    if (plan.orientation) {
        const QByteArray exif = ExifOf(plan.orientation);
        jpeg_write_marker(&out, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(exif.data()),
                          unsigned(exif.size()));
    }
    if (!plan.icc.isEmpty())
        jpeg_write_icc_profile(&out, reinterpret_cast<const JOCTET*>(plan.icc.data()),
                               unsigned(plan.icc.size()));
    while (out.next_scanline < out.image_height) {
        plan.row(int(out.next_scanline), row.data());
        JSAMPROW line = row.data();
        jpeg_write_scanlines(&out, &line, 1);
    }
    jpeg_finish_compress(&out);
}

// Where a stored pixel (x, y) of a picture w x h stored with the EXIF orientation shows upright.
void UprightPlace(int orientation, int w, int h, int x, int y, int& ux, int& uy)
{
    switch (orientation) {
    case 2:
        ux = w - 1 - x, uy = y;
        break;
    case 3:
        ux = w - 1 - x, uy = h - 1 - y;
        break;
    case 4:
        ux = x, uy = h - 1 - y;
        break;
    case 5:
        ux = y, uy = x;
        break;
    case 6:
        ux = h - 1 - y, uy = x;
        break;
    case 7:
        ux = h - 1 - y, uy = w - 1 - x;
        break;
    case 8:
        ux = y, uy = w - 1 - x;
        break;
    default:
        ux = x, uy = y;
    }
}

enum class Detail
{
    Noise,
    Bands,
    Grain,
};

// A pixel of the upright picture.
QRgb UprightPixel(int x, int y, int w, int block, Detail detail)
{
    if (y < block && x < block)
        return qRgb(220, 20, 20);
    if (y < block && x >= w - block)
        return qRgb(30, 200, 40);
    const quint32 hash = (quint32(x) * 73856093u ^ quint32(y) * 19349663u) * 2654435761u;
    const int grain = int(hash >> 25) * 3 / 4; // 0 to 95
    switch (detail) {
    case Detail::Noise:
        return hash >> 8;
    case Detail::Bands:
        return 0x3C5AC8u * quint32(y / 700 % 3);
    default:
        return qRgb(40 + (x / 40 + y / 60) % 150 + grain, 60 + (y / 30) % 120 + grain,
                    90 + ((x ^ y) >> 5) % 100 + grain);
    }
}

} // namespace

QByteArray JpegOf(const JpegPlan& plan)
{
    std::vector<unsigned char> row(size_t(plan.width) * 3);
    Errors errors;
    jpeg_compress_struct out{};
    out.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = Fail;
    unsigned char* bytes = nullptr;
    unsigned long size = 0;
    QByteArray file;
    if (!setjmp(errors.jump)) {
        jpeg_create_compress(&out);
        jpeg_mem_dest(&out, &bytes, &size);
        Write(out, plan, row);
        file = QByteArray(reinterpret_cast<const char*>(bytes), qsizetype(size));
    }
    jpeg_destroy_compress(&out);
    std::free(bytes);
    return file;
}

JpegPlan Photograph(QSize upright, int orientation, int hSamp, int vSamp, bool detailed)
{
    JpegPlan plan;
    const QSize stored = orientation >= 5 ? upright.transposed() : upright;
    plan.width = stored.width();
    plan.height = stored.height();
    plan.hSamp = hSamp;
    plan.vSamp = vSamp;
    plan.orientation = orientation;
    plan.icc = QColorSpace(QColorSpace::DisplayP3).iccProfile();
    plan.optimized = true;
    if (detailed)
        plan.quality = 92;
    const int block = std::max(8, upright.width() / 96), w = upright.width();
    const Detail detail = detailed ? Detail::Grain : w < 1000 ? Detail::Noise : Detail::Bands;
    plan.row = [=](int y, unsigned char* rgb) {
        for (int x = 0; x < stored.width(); ++x, rgb += 3) {
            int ux = 0, uy = 0;
            UprightPlace(orientation, stored.width(), stored.height(), x, y, ux, uy);
            const QRgb c = UprightPixel(ux, uy, w, block, detail);
            rgb[0] = uchar(qRed(c)), rgb[1] = uchar(qGreen(c)), rgb[2] = uchar(qBlue(c));
        }
    };
    return plan;
}

QByteArray Claiming(QByteArray jpeg, int w, int h)
{
    for (qsizetype i = 2; i + 9 < jpeg.size(); ++i)
        if (const uchar m = uchar(jpeg[i + 1]);
            uchar(jpeg[i]) == 0xFF && ((m >= 0xC0 && m <= 0xC2) || m == 0xC9 || m == 0xCA)) {
            jpeg[i + 5] = char(h >> 8), jpeg[i + 6] = char(h);
            jpeg[i + 7] = char(w >> 8), jpeg[i + 8] = char(w);
            break;
        }
    return jpeg;
}

QSize LumaSampling(const QByteArray& jpeg)
{
    Errors errors;
    jpeg_decompress_struct in{};
    in.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = Fail;
    QSize sampling;
    if (!setjmp(errors.jump)) {
        jpeg_create_decompress(&in);
        jpeg_mem_src(&in, reinterpret_cast<const unsigned char*>(jpeg.constData()),
                     static_cast<unsigned long>(jpeg.size()));
        jpeg_read_header(&in, TRUE);
        sampling = QSize(in.comp_info[0].h_samp_factor, in.comp_info[0].v_samp_factor);
    }
    jpeg_destroy_decompress(&in);
    return sampling;
}
