#pragma once
// The reading of lesson RTF apart from the document it fills: groups, control words, skipped
// destinations, the font and colour tables, \u escapes and pictures. It hands runs of formatted
// text, paragraphs and pictures to a sink. No Qt here, so that bad files can be fed to it
// without a display.
#include <cstdint>
#include <optional>
#include <string>

enum class RtfAlign
{
    Left,
    Centre,
    Right,
    Justify
};

struct RtfRunFormat
{
    // The family as the font table names it, untrimmed; null when there is none. It points
    // into the reader's table (not copied for every character) and holds while the run is read.
    const std::u16string* font = nullptr;
    int halfPoints = 24;
    bool bold = false, italic = false, underline = false, strike = false;
    std::optional<std::uint32_t> colour; // 0xRRGGBB, when the colour table gives one
    bool operator==(const RtfRunFormat&) const = default;
};

struct RtfPicture
{
    std::string header;    // its words and groups as read ("\\pngblip\\picw20 ..."), not \bin
    std::string data;      // its hex digits as read; bytes after \bin as hex digits too
    bool readable = false; // PNG or JPEG; metafiles are not shown
    int goalW = 0, goalH = 0, w = 0, h = 0;
};

class IRtfSink
{
public:
    virtual ~IRtfSink() = default;
    virtual void Text(const std::u16string& run, const RtfRunFormat& format) = 0;
    virtual void NewParagraph() = 0;
    // The alignment of the paragraph being filled.
    virtual void Align(RtfAlign align) = 0;
    // Every picture, whether it can be shown or not, once the paragraph that holds it is begun.
    virtual void Picture(const RtfPicture& picture) = 0;
};

// Whether the text is RTF at all.
bool IsRtf(const std::string& text);

// Reads the whole of rtf into the sink; anything it does not know is skipped.
void ParseRtf(const std::string& rtf, IRtfSink& sink);
