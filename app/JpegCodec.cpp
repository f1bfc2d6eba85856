#include "app/JpegCodec.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

[[noreturn]] void Fail(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

// Whether a warning says that the arithmetic decoder gives up the rest of the picture's first
// scan, where no restart interval ends that: it makes up the rest, as it does where the data
// ends. (A Huffman decoder goes on reading the data.)
bool GivesUp(j_common_ptr info)
{
    if (!info->is_decompressor)
        return false;
    const auto in = reinterpret_cast<j_decompress_ptr>(info);
    return info->err->msg_code == JWRN_ARITH_BAD_CODE && in->restart_interval == 0 &&
           in->input_scan_number <= 1;
}

JpegWatch* WatchOf(j_common_ptr info)
{
    return info->is_decompressor
               ? reinterpret_cast<JpegWatch*>(reinterpret_cast<j_decompress_ptr>(info)->progress)
               : nullptr;
}

// A warning is damaged data that still decodes.
void Warned(j_common_ptr info, int level)
{
    if (level >= 0)
        return;
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    errors->dataEnded = errors->dataEnded || GivesUp(info);
    const JpegWatch* watch = WatchOf(info);
    if (errors->stopOnWarning || (errors->dataEnded && watch && watch->probing))
        Fail(info);
}

void Quiet(j_common_ptr)
{
}

// Where the entropy-coded data from p ends: at the first marker, a restart marker aside where
// restarts divide the data and the interval it ends holds data. markers counts the bytes of
// those passed over.
const unsigned char* DataEnd(const unsigned char* p, const unsigned char* end, bool restarts,
                             std::size_t& markers)
{
    const unsigned char* interval = p;
    for (; (p = static_cast<const unsigned char*>(std::memchr(p, 0xFF, size_t(end - p)))); ++p) {
        const unsigned char* code = p + 1;
        while (code < end && *code == 0xFF) // fill bytes
            ++code;
        if (code == end)
            return p;
        if (*code != 0) {
            const bool restart = *code >= JPEG_RST0 && *code <= JPEG_RST0 + 7;
            if (!restarts || !restart || p == interval)
                return p;
            markers += size_t(code + 1 - p);
            interval = code + 1;
        }
        p = code;
    }
    return end;
}

// Between rows of the picture. Progressive data of very many scans takes time of their number
// squared: refused as damaged. Data of the first scan used up before its last row is noted: the
// decoder makes the rest grey, or whatever the coder makes of no data, at the whole picture's
// cost, what its data holds aside. A probe ends there, or once the first scan is read.
void Watch(j_common_ptr info)
{
    if (!info->is_decompressor)
        return;
    const auto in = reinterpret_cast<j_decompress_ptr>(info);
    if (in->input_scan_number > 500) {
        info->err->msg_code = JERR_NOTIMPL;
        Fail(info);
    }
    auto& errors = *reinterpret_cast<JpegErrors*>(info->err);
    auto& scan = *WatchOf(info);
    if (!scan.begin || errors.dataEnded)
        return;
    if (in->input_scan_number > 1 || in->input_iMCU_row + 1 >= in->total_iMCU_rows) {
        if (scan.probing) {
            scan.lasted = true;
            Fail(info);
        }
        return;
    }
    // Past the data, or in the two bytes of the end the source makes up where the file ends.
    const auto at = reinterpret_cast<std::uintptr_t>(in->src->next_input_byte);
    if (at < reinterpret_cast<std::uintptr_t>(scan.begin) ||
        at >= reinterpret_cast<std::uintptr_t>(scan.end)) {
        errors.dataEnded = true;
        if (scan.probing)
            Fail(info);
    }
}

JpegSink& SinkOf(j_compress_ptr out)
{
    return *reinterpret_cast<JpegSink*>(out->dest);
}

// Called when the buffer is full, whatever free_in_buffer says: the Huffman coder keeps its own
// count. realloc grows a large buffer in place, without a second copy.
boolean SinkGrow(j_compress_ptr out)
{
    JpegSink& s = SinkOf(out);
    const size_t used = s.capacity;
    const size_t grown = std::max<size_t>(2 * s.capacity, 1 << 16);
    auto* data = static_cast<unsigned char*>(std::realloc(s.data, grown));
    if (!data)
        ERREXIT1(out, JERR_OUT_OF_MEMORY, 1);
    s.data = data;
    s.capacity = grown;
    s.pub.next_output_byte = data + used;
    s.pub.free_in_buffer = grown - used;
    return TRUE;
}

// libjpeg writes a byte before it asks for room: the buffer is never empty.
void SinkStart(j_compress_ptr out)
{
    JpegSink& s = SinkOf(out);
    s.pub.next_output_byte = s.data;
    s.pub.free_in_buffer = s.capacity;
    if (s.capacity == 0)
        SinkGrow(out);
}

void SinkEnd(j_compress_ptr out)
{
    JpegSink& s = SinkOf(out);
    s.size = s.capacity - s.pub.free_in_buffer;
}

} // namespace

JpegSink::~JpegSink()
{
    std::free(data);
}

JpegCodec::JpegCodec(const unsigned char* jpeg, std::size_t size, bool stopOnWarning,
                     const JpegScan& scan)
    : m_jpeg(jpeg), m_size(size), m_scan(scan)
{
    jpeg_std_error(&m_errors.pub);
    m_errors.pub.error_exit = Fail;
    m_errors.pub.emit_message = Warned;
    m_errors.pub.output_message = Quiet;
    m_errors.stopOnWarning = stopOnWarning;
    in.err = &m_errors.pub;
    out.err = &m_errors.pub;
}

JpegCodec::~JpegCodec()
{
    jpeg_destroy_decompress(&in);
    jpeg_destroy_compress(&out);
}

void JpegCodec::ReadHeader()
{
    jpeg_create_decompress(&in);
    m_watch.pub.progress_monitor = Watch;
    in.progress = &m_watch.pub;
    jpeg_mem_src(&in, m_jpeg, static_cast<unsigned long>(m_size));
    jpeg_save_markers(&in, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&in, TRUE);
    // Watched only where the data's end is known, and where it is the scan that follows.
    if (m_scan.end > 0 && in.src->next_input_byte == m_jpeg + m_scan.begin) {
        m_watch.begin = m_jpeg + m_scan.begin;
        m_watch.end = m_jpeg + m_scan.end;
    }
}

JpegScan JpegCodec::FirstScan() const
{
    JpegScan scan;
    const unsigned char* begin = in.src->next_input_byte;
    std::size_t markers = 0;
    const unsigned char* end = DataEnd(begin, m_jpeg + m_size, in.restart_interval != 0, markers);
    scan.begin = size_t(begin - m_jpeg);
    scan.end = size_t(end - m_jpeg);
    scan.dataBytes = double(end - begin) - double(markers);
    return scan;
}

void JpegCodec::StartWriting(JpegSink& sink)
{
    jpeg_create_compress(&out);
    sink.pub.init_destination = SinkStart;
    sink.pub.empty_output_buffer = SinkGrow;
    sink.pub.term_destination = SinkEnd;
    out.dest = &sink.pub;
}

void JpegCodec::WriteIccProfile()
{
    static const char kIcc[] = "ICC_PROFILE"; // with its terminating zero
    for (jpeg_saved_marker_ptr m = in.marker_list; m; m = m->next)
        if (m->marker == JPEG_APP0 + 2 && m->data_length >= sizeof kIcc &&
            std::memcmp(m->data, kIcc, sizeof kIcc) == 0)
            jpeg_write_marker(&out, m->marker, m->data, m->data_length);
}

void JpegCodec::CopyDensity(bool swapped)
{
    out.density_unit = in.density_unit;
    out.X_density = swapped ? in.Y_density : in.X_density;
    out.Y_density = swapped ? in.X_density : in.Y_density;
}

unsigned char* JpegAllocate(j_common_ptr info, double bytes)
{
    void* p =
        bytes < double(std::numeric_limits<size_t>::max()) ? std::malloc(size_t(bytes)) : nullptr;
    if (!p)
        ERREXIT1(info, JERR_OUT_OF_MEMORY, 2);
    return static_cast<unsigned char*>(p);
}
