#include "app/RtfParser.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <map>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr size_t kMaxDepth = 1000; // deeper groups are read as if flat

// Windows code page 1252 where it differs from Latin-1.
constexpr char16_t kCp1252[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                  0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

constexpr char16_t kNbsp = 0xA0, kLineSeparator = 0x2028;

char16_t FromCodePage(unsigned char c)
{
    return c >= 0x80 && c < 0xA0 ? kCp1252[c - 0x80] : char16_t(c);
}

// The hex digits of a picture's text appended to its data a stretch at a time: a photograph's
// data is millions of digits, in lines.
void AppendHexDigits(std::string_view text, std::string& data)
{
    for (const char *p = text.data(), *end = p + text.size(); p != end;) {
        const char* digits = p;
        while (digits != end && std::isxdigit(static_cast<unsigned char>(*digits)))
            ++digits;
        data.append(p, digits);
        for (p = digits; p != end && !std::isxdigit(static_cast<unsigned char>(*p));)
            ++p;
    }
}

int HexDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c))
               ? c - '0'
               : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
}

enum class Dest
{
    Text,
    FontTable,
    ColourTable,
    Picture,
    Skip
};

struct State
{
    Dest dest = Dest::Text;
    int font = 0;
    int halfPoints = 24;
    bool bold = false, italic = false, underline = false, strike = false;
    int colour = 0;
    int uc = 1;
    RtfAlign align = RtfAlign::Left;
};

// Destinations whose text is not part of the document.
const std::set<std::string>& SkippedDestinations()
{
    static const std::set<std::string> names = {"info",
                                                "stylesheet",
                                                "header",
                                                "headerl",
                                                "headerr",
                                                "headerf",
                                                "footer",
                                                "footerl",
                                                "footerr",
                                                "footerf",
                                                "footnote",
                                                "pntext",
                                                "pntxta",
                                                "pntxtb",
                                                "listtable",
                                                "rsidtbl",
                                                "listoverridetable",
                                                "generator",
                                                "xmlnstbl",
                                                "themedata",
                                                "datastore",
                                                "latentstyles",
                                                "colorschememapping",
                                                "nonshppict",
                                                "fldinst",
                                                "objdata",
                                                "annotation"};
    return names;
}

class Parser
{
public:
    Parser(const std::string& rtf, IRtfSink& sink) : m_s(rtf), m_sink(sink) {}

    void Run()
    {
        while (m_pos < m_s.size()) {
            const char c = m_s[m_pos];
            if (c == '{') {
                ++m_pos;
                Open();
            } else if (c == '}') {
                ++m_pos;
                Close();
            } else if (c == '\\') {
                ++m_pos;
                Control();
            } else {
                Text();
            }
        }
        Flush();
        // A picture cut off by the end of the file is kept as far as it goes.
        if (m_st.dest == Dest::Picture ||
            std::any_of(m_stack.begin(), m_stack.end(),
                        [](const State& s) { return s.dest == Dest::Picture; }))
            InsertPicture();
        if (!m_bParPending)
            m_sink.Align(m_st.align);
    }

private:
    void Open()
    {
        if (m_stack.size() >= kMaxDepth) {
            ++m_nFlatDepth;
            return;
        }
        m_stack.push_back(m_st);
        // A group inside a picture ({\*\picprop ...}, {\*\blipuid ...}) is kept whole as
        // written and read no further.
        if (m_st.dest == Dest::Picture) {
            m_nGroupStart = m_pos - 1;
            m_nGroupDepth = m_stack.size();
            m_bGroupDamaged = false;
            m_st.dest = Dest::Skip;
        }
    }

    void Close()
    {
        if (m_nFlatDepth > 0) {
            --m_nFlatDepth;
            return;
        }
        if (m_stack.empty())
            return;
        Flush();
        if (m_st.dest == Dest::FontTable && !m_fontName.empty())
            EndFontName();
        const bool pictureEnds = m_st.dest == Dest::Picture && m_stack.back().dest != Dest::Picture;
        const bool groupEnds = m_nGroupDepth == m_stack.size();
        m_st = m_stack.back();
        m_stack.pop_back();
        if (pictureEnds)
            InsertPicture();
        if (groupEnds)
            KeepGroup();
    }

    // Save writes the group back as it is: one whose braces another reader could count
    // otherwise (bytes after \bin, a \' without its two digits) is left out.
    void KeepGroup()
    {
        if (!m_bGroupDamaged)
            m_pict.header.append(m_s, m_nGroupStart, m_pos - m_nGroupStart);
        m_nGroupDepth = 0;
    }

    std::optional<long long> Number()
    {
        size_t p = m_pos;
        const bool negative = p < m_s.size() && m_s[p] == '-';
        if (negative)
            ++p;
        long long n = 0;
        size_t digits = 0;
        for (; p < m_s.size() && std::isdigit(static_cast<unsigned char>(m_s[p])); ++p, ++digits)
            n = std::min<long long>(n * 10 + (m_s[p] - '0'), INT_MAX);
        if (digits == 0)
            return std::nullopt;
        m_pos = p;
        return negative ? -n : n;
    }

    void Control()
    {
        if (m_pos >= m_s.size())
            return;
        const char c = m_s[m_pos];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++m_pos;
            Symbol(c);
            return;
        }
        const size_t start = m_pos;
        while (m_pos < m_s.size() && std::isalpha(static_cast<unsigned char>(m_s[m_pos])) &&
               m_pos - start < 32)
            ++m_pos;
        const std::string word = m_s.substr(start, m_pos - start);
        const std::optional<long long> arg = Number();
        // As written, for the words of a picture, which are kept.
        const std::string_view raw(m_s.data() + start - 1, m_pos - start + 1);
        if (m_pos < m_s.size() && m_s[m_pos] == ' ')
            ++m_pos;
        Word(word, arg, raw);
    }

    void Symbol(char c)
    {
        switch (c) {
        case '\'': {
            if (m_pos + 2 > m_s.size()) {
                if (m_nGroupDepth != 0)
                    m_bGroupDamaged = true; // cut short by the file's end
                return;
            }
            const char hi = m_s[m_pos], lo = m_s[m_pos + 1];
            m_pos += 2;
            if (std::isxdigit(static_cast<unsigned char>(hi)) &&
                std::isxdigit(static_cast<unsigned char>(lo)))
                Char(FromCodePage(static_cast<unsigned char>(HexDigit(hi) * 16 + HexDigit(lo))));
            else if (m_nGroupDepth != 0)
                m_bGroupDamaged = true;
            return;
        }
        case '*':
            m_bStarred = true;
            return;
        case '~':
            Char(kNbsp);
            return;
        case '_':
            Char(0x2011);
            return;
        case '\\':
        case '{':
        case '}':
            Char(char16_t(c));
            return;
        case '\n':
        case '\r':
            Paragraph();
            return;
        default:
            return; // optional hyphen and the rest
        }
    }

    void Word(const std::string& w, std::optional<long long> arg, std::string_view raw)
    {
        const int n =
            arg ? static_cast<int>(std::clamp<long long>(*arg, INT_MIN / 2, INT_MAX / 2)) : 0;
        const bool on = !arg || *arg != 0;
        const bool starred = std::exchange(m_bStarred, false);
        if (w == "bin") {
            Binary(n);
            return;
        }
        if (m_st.dest == Dest::Skip)
            return;
        if (w == "fonttbl" || w == "colortbl" || w == "pict" || SkippedDestinations().count(w) ||
            (starred && w != "shppict")) {
            Flush();
            m_st.dest = w == "fonttbl"    ? Dest::FontTable
                        : w == "colortbl" ? Dest::ColourTable
                        : w == "pict"     ? Dest::Picture
                                          : Dest::Skip;
            if (w == "pict") {
                m_pict = RtfPicture();
                m_bPictBinary = false;
            }
            return;
        }
        if (m_st.dest == Dest::Picture) {
            PictureWord(w, n, raw);
            return;
        }
        if (m_st.dest == Dest::ColourTable) {
            ColourWord(w, n);
            return;
        }
        if (m_st.dest == Dest::FontTable) {
            if (w == "f")
                m_nFontIndex = n;
            return;
        }
        TextWord(w, n, on);
    }

    void ColourWord(const std::string& w, int n)
    {
        const int shift = w == "red" ? 16 : w == "green" ? 8 : w == "blue" ? 0 : -1;
        if (shift < 0)
            return;
        m_colour = (m_colour & ~(0xFFu << shift)) | (std::uint32_t(std::clamp(n, 0, 255)) << shift);
        m_bColourSet = true;
    }

    void TextWord(const std::string& w, int n, bool on)
    {
        static const std::map<std::string, char16_t> chars = {
            {"tab", '\t'},       {"line", kLineSeparator}, {"emdash", 0x2014},
            {"endash", 0x2013},  {"bullet", 0x2022},       {"lquote", 0x2018},
            {"rquote", 0x2019},  {"ldblquote", 0x201C},    {"rdblquote", 0x201D},
            {"emspace", 0x2003}, {"enspace", 0x2002}};
        if (auto it = chars.find(w); it != chars.end()) {
            Char(it->second);
            return;
        }
        if (w == "par" || w == "page" || w == "sect") {
            Paragraph();
            return;
        }
        if (w == "u") {
            Char(char16_t(static_cast<std::int16_t>(n)));
            m_nSkipChars = m_st.uc;
            return;
        }
        Flush();
        if (w == "deff")
            m_nDefaultFont = n;
        else if (w == "uc")
            m_st.uc = std::clamp(n, 0, 10);
        else if (w == "pard" || w == "ql")
            m_st.align = RtfAlign::Left;
        else if (w == "qc")
            m_st.align = RtfAlign::Centre;
        else if (w == "qr")
            m_st.align = RtfAlign::Right;
        else if (w == "qj")
            m_st.align = RtfAlign::Justify;
        else if (w == "plain")
            PlainCharacters();
        else if (w == "f")
            m_st.font = n;
        else if (w == "fs")
            m_st.halfPoints = std::clamp(n, 2, 3276);
        else if (w == "b")
            m_st.bold = on;
        else if (w == "i")
            m_st.italic = on;
        else if (w == "ul")
            m_st.underline = on;
        else if (w == "ulnone")
            m_st.underline = false;
        else if (w == "strike")
            m_st.strike = on;
        else if (w == "cf")
            m_st.colour = n;
    }

    void PlainCharacters()
    {
        m_st.font = m_nDefaultFont;
        m_st.halfPoints = 24;
        m_st.bold = m_st.italic = m_st.underline = m_st.strike = false;
        m_st.colour = 0;
    }

    // \binN: the next N bytes are data, never braces or text, in whatever group; the picture's
    // own are its data, and a group of the picture's that holds some is not written back.
    void Binary(int n)
    {
        const size_t len = std::min<size_t>(size_t(std::max(n, 0)), m_s.size() - m_pos);
        if (m_nGroupDepth != 0) {
            m_bGroupDamaged = true;
        } else if (m_st.dest == Dest::Picture) {
            static constexpr char digits[] = "0123456789abcdef";
            m_pict.data.reserve(m_pict.data.size() + 2 * len);
            for (size_t i = m_pos; i < m_pos + len; ++i) {
                const auto b = static_cast<unsigned char>(m_s[i]);
                m_pict.data += digits[b >> 4];
                m_pict.data += digits[b & 15];
            }
            m_bPictBinary = true;
        }
        m_pos += len;
    }

    void PictureWord(const std::string& w, int n, std::string_view raw)
    {
        m_pict.header += raw;
        if (w == "pngblip" || w == "jpegblip")
            m_pict.readable = true;
        else if (w == "picwgoal")
            m_pict.goalW = n;
        else if (w == "pichgoal")
            m_pict.goalH = n;
        else if (w == "picw")
            m_pict.w = n;
        else if (w == "pich")
            m_pict.h = n;
    }

    void InsertPicture()
    {
        StartParagraph();
        m_sink.Picture(m_pict);
        m_pict = RtfPicture();
    }

    void Text()
    {
        const char* const start = m_s.data() + m_pos;
        const char* const end = m_s.data() + m_s.size();
        const char* stop = start;
        while (stop != end && *stop != '\\' && *stop != '{' && *stop != '}')
            ++stop;
        const std::string_view run(start, size_t(stop - start));
        m_pos += run.size();
        switch (m_st.dest) {
        case Dest::Picture:
            if (!m_bPictBinary)
                AppendHexDigits(run, m_pict.data);
            return;
        case Dest::ColourTable:
            for (char c : run)
                if (c == ';') {
                    m_colours.push_back(m_bColourSet ? std::optional<std::uint32_t>(m_colour)
                                                     : std::nullopt);
                    m_colour = 0;
                    m_bColourSet = false;
                }
            return;
        case Dest::FontTable:
            for (char c : run) {
                if (c == ';')
                    EndFontName();
                else if (c != '\r' && c != '\n')
                    m_fontName += FromCodePage(static_cast<unsigned char>(c));
            }
            return;
        case Dest::Skip:
            return;
        case Dest::Text:
            for (char c : run)
                if (c != '\r' && c != '\n')
                    Char(FromCodePage(static_cast<unsigned char>(c)));
            return;
        }
    }

    void EndFontName()
    {
        m_fonts[m_nFontIndex] = std::move(m_fontName);
        m_fontName.clear();
    }

    void Char(char16_t c)
    {
        if (m_st.dest != Dest::Text)
            return;
        if (m_nSkipChars > 0) {
            --m_nSkipChars;
            return;
        }
        StartParagraph();
        RtfRunFormat f = Format();
        if (!m_run.empty() && f != m_runFormat)
            Flush();
        m_runFormat = std::move(f);
        m_run += c;
    }

    RtfRunFormat Format() const
    {
        RtfRunFormat f;
        auto font = m_fonts.find(m_st.font);
        if (font == m_fonts.end())
            font = m_fonts.find(m_nDefaultFont);
        if (font != m_fonts.end())
            f.font = &font->second;
        f.halfPoints = m_st.halfPoints;
        f.bold = m_st.bold;
        f.italic = m_st.italic;
        f.underline = m_st.underline;
        f.strike = m_st.strike;
        if (m_st.colour >= 0 && size_t(m_st.colour) < m_colours.size())
            f.colour = m_colours[m_st.colour];
        return f;
    }

    void Flush()
    {
        if (m_run.empty())
            return;
        m_sink.Text(m_run, m_runFormat);
        m_run.clear();
    }

    // A paragraph ends at \par; the next one begins with its first content, so the \par that
    // ends the last paragraph adds no empty one.
    void Paragraph()
    {
        if (m_st.dest != Dest::Text)
            return;
        StartParagraph();
        Flush();
        m_sink.Align(m_st.align);
        m_bParPending = true;
    }

    void StartParagraph()
    {
        if (!m_bParPending)
            return;
        m_bParPending = false;
        m_sink.NewParagraph();
    }

    const std::string& m_s;
    size_t m_pos = 0;
    IRtfSink& m_sink;
    State m_st;
    std::vector<State> m_stack;
    size_t m_nFlatDepth = 0;
    bool m_bStarred = false;
    bool m_bParPending = false;
    int m_nSkipChars = 0;
    std::u16string m_run;
    RtfRunFormat m_runFormat;
    std::map<int, std::u16string> m_fonts;
    int m_nDefaultFont = 0;
    int m_nFontIndex = 0;
    std::u16string m_fontName;
    std::vector<std::optional<std::uint32_t>> m_colours;
    std::uint32_t m_colour = 0;
    bool m_bColourSet = false;
    RtfPicture m_pict;
    bool m_bPictBinary = false; // its data came after \bin
    // The group inside the picture being read: where it began, its depth (0: none), and
    // whether it is fit to be written back.
    size_t m_nGroupStart = 0, m_nGroupDepth = 0;
    bool m_bGroupDamaged = false;
};

} // namespace

bool IsRtf(const std::string& text)
{
    return text.compare(0, 5, "{\\rtf") == 0;
}

void ParseRtf(const std::string& rtf, IRtfSink& sink)
{
    Parser(rtf, sink).Run();
}
