// A lesson file: the RTF reader fed arbitrary bytes (with the "{\rtf" that makes it read them
// when the first byte is odd), then the bracketed link of every line it yields, as a
// double-click on that line would look for it, and every picture as Save would write it back.
#include "app/LessonLink.h"
#include "app/RtfParser.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The lines of the document as the lesson view hands them to the link reader: Latin-1, "?" for
// what it cannot hold.
class LineSink : public IRtfSink
{
public:
    void Text(const std::u16string& run, const RtfRunFormat&) override
    {
        if (run.empty())
            std::abort(); // the reader hands on no empty runs
        for (char16_t c : run) {
            if (c == 0x2028)
                lines.emplace_back();
            else
                lines.back() += c < 0x100 ? char(c) : '?';
        }
    }
    void NewParagraph() override { lines.emplace_back(); }
    void Align(RtfAlign) override {}
    // A picture is written back as read: its data must be hex digits and its header control
    // words, or the lesson saved would not read as it did.
    void Picture(const RtfPicture& p) override
    {
        for (char c : p.data)
            if (!std::isxdigit(static_cast<unsigned char>(c)))
                std::abort();
        if ((!p.header.empty() && p.header[0] != '\\') ||
            p.header.find_first_of("{} \r\n") != std::string::npos)
            std::abort();
        lines.back() += '?';
    }

    std::vector<std::string> lines{1};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    std::string rtf(data + 1, data + size);
    if (data[0] % 2 != 0)
        rtf.insert(0, "{\\rtf1 ");
    if (!IsRtf(rtf))
        return 0;
    LineSink sink;
    ParseRtf(rtf, sink);
    for (const std::string& line : sink.lines) {
        const LessonLink link = ParseLessonLink(line.substr(0, 132));
        if (link.kind != LessonLink::None && link.name.empty())
            std::abort();
    }
    return 0;
}
