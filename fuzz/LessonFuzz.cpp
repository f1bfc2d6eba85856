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

// A picture's header as Save writes it between "{\pict" and its data: control words, and groups
// that any reader closes where this one does (no \bin, every \' with its two hex digits); no
// text outside them, which would read as the picture's data.
bool WellFormedHeader(const std::string& h)
{
    const auto at = [&h](size_t k) { return k < h.size() ? static_cast<unsigned char>(h[k]) : 0; };
    int depth = 0;
    for (size_t i = 0; i < h.size(); ++i) {
        if (h[i] == '{' || h[i] == '}') {
            if ((depth += h[i] == '{' ? 1 : -1) < 0)
                return false;
        } else if (h[i] != '\\') {
            if (depth == 0)
                return false;
        } else if (std::isalpha(at(i + 1))) {
            size_t end = i + 1;
            while (std::isalpha(at(end)))
                ++end;
            if (h.compare(i + 1, end - i - 1, "bin") == 0)
                return false;
            end += at(end) == '-';
            while (std::isdigit(at(end)))
                ++end;
            i = end - 1;
        } else if (depth == 0 || i + 1 == h.size()) {
            return false;
        } else if (at(i + 1) == '\'') {
            if (!std::isxdigit(at(i + 2)) || !std::isxdigit(at(i + 3)))
                return false;
            i += 3;
        } else {
            ++i;
        }
    }
    return depth == 0;
}

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
    // A picture is written back as read: its data must be hex digits and its header
    // well-formed, or the lesson saved would not read as it did.
    void Picture(const RtfPicture& p) override
    {
        for (char c : p.data)
            if (!std::isxdigit(static_cast<unsigned char>(c)))
                std::abort();
        if (!WellFormedHeader(p.header))
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
