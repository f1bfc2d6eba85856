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

bool IsLetter(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}

// Skips the control word or symbol after the backslash at i; false when it is one that would
// let a reader count braces otherwise: \bin (bytes follow), or \' without its two hex digits.
bool SkipControl(const std::string& h, size_t& i)
{
    if (++i == h.size())
        return false;
    if (h[i] == '\'') {
        i += 3;
        return i <= h.size() && std::isxdigit(static_cast<unsigned char>(h[i - 2])) &&
               std::isxdigit(static_cast<unsigned char>(h[i - 1]));
    }
    if (!IsLetter(h[i])) {
        ++i;
        return true;
    }
    const size_t word = i;
    while (i < h.size() && IsLetter(h[i]))
        ++i;
    if (h.compare(word, i - word, "bin") == 0)
        return false;
    if (i < h.size() && h[i] == '-')
        ++i;
    while (i < h.size() && std::isdigit(static_cast<unsigned char>(h[i])))
        ++i;
    return true;
}

// A picture's header as Save writes it between "{\pict" and its data: control words, and
// groups whose braces every reader counts alike, each closed; no text outside them, which
// would read as the picture's data.
bool WellFormedHeader(const std::string& h)
{
    int depth = 0;
    for (size_t i = 0; i < h.size();) {
        if (h[i] == '{' || h[i] == '}') {
            depth += h[i++] == '{' ? 1 : -1;
            if (depth < 0)
                return false;
        } else if (h[i] == '\\') {
            if ((depth == 0 && (i + 1 == h.size() || !IsLetter(h[i + 1]))) || !SkipControl(h, i))
                return false;
        } else if (depth == 0) {
            return false;
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
