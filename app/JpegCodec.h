#pragma once
// libjpeg's decompressor and compressor for work on a JPEG held in memory: an error ends the
// work by a jump back into the call that guards it, and the output goes into a buffer that grows
// in place.
#include <csetjmp>
#include <cstddef>
#include <cstdio> // before jpeglib.h, which uses FILE

// jpeglib.h first: its configuration says which of jerror.h's codes there are.
#include <jpeglib.h>

#include <jerror.h>

struct JpegErrors
{
    jpeg_error_mgr pub; // first: libjpeg sees only this
    std::jmp_buf jump;
    bool stopOnWarning = false;
    bool dataEnded = false; // the first scan's data ended before its picture did
};

// The first scan's entropy-coded data: its bytes from the file's start, up to its first marker
// (a restart marker that ends an interval with data aside), and how many of them are data.
struct JpegScan
{
    std::size_t begin = 0, end = 0;
    double dataBytes = 0;
};

// libjpeg's progress hook, which watches the first scan's data between rows of the picture.
struct JpegWatch
{
    jpeg_progress_mgr pub; // first: libjpeg sees only this
    // The first scan's data; none before the header is read.
    const unsigned char* begin = nullptr;
    const unsigned char* end = nullptr;
    // Probing: the work ends as soon as the first scan's data is known to end early or to last.
    bool probing = false;
    bool lasted = false;
};

// The compressed bytes.
class JpegSink
{
public:
    JpegSink() = default;
    JpegSink(const JpegSink&) = delete;
    JpegSink& operator=(const JpegSink&) = delete;
    ~JpegSink();

    jpeg_destination_mgr pub{}; // first: libjpeg sees only this
    unsigned char* data = nullptr;
    size_t capacity = 0, size = 0;
};

class JpegCodec
{
public:
    // stopOnWarning: damaged data that still decodes ends the work too. scan: the first scan's
    // data as FirstScan found it.
    JpegCodec(const unsigned char* jpeg, std::size_t size, bool stopOnWarning,
              const JpegScan& scan = {});
    JpegCodec(const JpegCodec&) = delete;
    JpegCodec& operator=(const JpegCodec&) = delete;
    ~JpegCodec();

    // Runs work, which calls libjpeg and holds nothing that needs destroying, with libjpeg's
    // errors caught: false where one ended it.
    template <class Work> bool Guarded(Work&& work)
    {
        if (setjmp(m_errors.jump))
            return false;
        work();
        return true;
    }
    bool OutOfMemory() const { return m_errors.pub.msg_code == JERR_OUT_OF_MEMORY; }
    // Whether the first scan's data ended, or broke off, before its picture did: the decoder
    // makes up the rest.
    bool DataEnded() const { return m_errors.dataEnded; }
    // Decoding ends as soon as it tells whether the first scan's data lasts: then Lasted says.
    void Probe() { m_watch.probing = true; }
    bool Lasted() const { return m_watch.lasted; }

    // These call libjpeg: only inside Guarded.
    // The header read, and the ICC profile's markers kept to be written again.
    void ReadHeader();
    // After the header: where the first scan's data ends, read from the data itself.
    JpegScan FirstScan() const;
    void StartWriting(JpegSink& sink);
    // Between the start of compression and the first data.
    void WriteIccProfile();
    // The JFIF density, its axes swapped with the picture's.
    void CopyDensity(bool swapped);

    jpeg_decompress_struct in{};
    jpeg_compress_struct out{};

private:
    const unsigned char* m_jpeg;
    std::size_t m_size;
    JpegScan m_scan;
    JpegErrors m_errors;
    JpegWatch m_watch{};
};

// Memory for work on the codec; where there is none, libjpeg's own error for it.
unsigned char* JpegAllocate(j_common_ptr info, double bytes);
