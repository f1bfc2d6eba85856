#pragma once
// libjpeg's decompressor and compressor for work on a JPEG held in memory: an error ends the
// work by a jump back into the call that guards it, and the output goes into a buffer that grows
// in place.
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio> // before jpeglib.h, which uses FILE

// jpeglib.h first: its configuration says which of jerror.h's codes there are.
#include <jpeglib.h>

#include <jerror.h>

struct JpegErrors
{
    jpeg_error_mgr pub; // first: libjpeg sees only this
    std::jmp_buf jump;
    bool stopOnWarning = false;
    bool endedEarly = false;
};

// libjpeg's progress hook, which watches the data between rows of the picture.
struct JpegWatch
{
    jpeg_progress_mgr pub; // first: libjpeg sees only this
    // The first scan's entropy-coded data from begin, before fileEnd; none before the header is
    // read. Where it ends is found at the first look, as only decoding needs it.
    const unsigned char* begin = nullptr;
    const unsigned char* fileEnd = nullptr;
    const unsigned char* end = nullptr;
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
    // stopOnWarning: damaged data that still decodes ends the work too. Data that ends long
    // before its picture does always ends it.
    JpegCodec(const unsigned char* jpeg, std::size_t size, bool stopOnWarning);
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
    // Whether the work ended because the picture's data ended, or broke off, long before it.
    bool EndedEarly() const { return m_errors.endedEarly; }

    // These call libjpeg: only inside Guarded.
    // The header read, and the ICC profile's markers kept to be written again.
    void ReadHeader();
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
    JpegErrors m_errors;
    JpegWatch m_watch{};
};

// Memory for work on the codec; where there is none, libjpeg's own error for it.
unsigned char* JpegAllocate(j_common_ptr info, double bytes);
