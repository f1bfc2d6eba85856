#include "app/Rtf.h"

#include <QImage>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <algorithm>
#include <cctype>
#include <climits>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace {

constexpr size_t kMaxDepth = 1000; // deeper groups are read as if flat
constexpr double kTwipsPerPixel = 15.0;

// Windows code page 1252 where it differs from Latin-1.
constexpr char16_t kCp1252[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                  0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

QChar FromCodePage(unsigned char c)
{
    return QChar(c >= 0x80 && c < 0xA0 ? kCp1252[c - 0x80] : char16_t(c));
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
    Qt::Alignment align = Qt::AlignLeft;
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

class Reader
{
public:
    Reader(const std::string& rtf, QTextDocument& doc) : m_s(rtf), m_doc(doc), m_cursor(&doc) {}

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
        if (!m_bParPending)
            SetAlignment();
    }

private:
    void Open()
    {
        if (m_stack.size() >= kMaxDepth) {
            ++m_nFlatDepth;
            return;
        }
        m_stack.push_back(m_st);
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
        if (m_st.dest == Dest::FontTable && !m_fontName.isEmpty())
            EndFontName();
        const bool pictureEnds = m_st.dest == Dest::Picture && m_stack.back().dest != Dest::Picture;
        m_st = m_stack.back();
        m_stack.pop_back();
        if (pictureEnds)
            InsertPicture();
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
        if (m_pos < m_s.size() && m_s[m_pos] == ' ')
            ++m_pos;
        Word(word, arg);
    }

    void Symbol(char c)
    {
        switch (c) {
        case '\'': {
            if (m_pos + 2 > m_s.size())
                return;
            const std::string hex = m_s.substr(m_pos, 2);
            m_pos += 2;
            if (std::isxdigit(static_cast<unsigned char>(hex[0])) &&
                std::isxdigit(static_cast<unsigned char>(hex[1])))
                Char(FromCodePage(static_cast<unsigned char>(std::stoi(hex, nullptr, 16))));
            return;
        }
        case '*':
            m_bStarred = true;
            return;
        case '~':
            Char(QChar::Nbsp);
            return;
        case '_':
            Char(QChar(0x2011));
            return;
        case '\\':
        case '{':
        case '}':
            Char(QChar::fromLatin1(c));
            return;
        case '\n':
        case '\r':
            Paragraph();
            return;
        default:
            return; // optional hyphen and the rest
        }
    }

    void Word(const std::string& w, std::optional<long long> arg)
    {
        const int n =
            arg ? static_cast<int>(std::clamp<long long>(*arg, INT_MIN / 2, INT_MAX / 2)) : 0;
        const bool on = !arg || *arg != 0;
        const bool starred = std::exchange(m_bStarred, false);
        if (m_st.dest == Dest::Skip)
            return;
        if (w == "fonttbl" || w == "colortbl" || w == "pict" || SkippedDestinations().count(w) ||
            (starred && w != "shppict")) {
            Flush();
            m_st.dest = w == "fonttbl"    ? Dest::FontTable
                        : w == "colortbl" ? Dest::ColourTable
                        : w == "pict"     ? Dest::Picture
                                          : Dest::Skip;
            if (w == "pict")
                m_pict = Picture();
            return;
        }
        if (m_st.dest == Dest::Picture) {
            PictureWord(w, n);
            return;
        }
        if (m_st.dest == Dest::ColourTable) {
            if (w == "red")
                m_colour.setRed(std::clamp(n, 0, 255));
            else if (w == "green")
                m_colour.setGreen(std::clamp(n, 0, 255));
            else if (w == "blue")
                m_colour.setBlue(std::clamp(n, 0, 255));
            if (w == "red" || w == "green" || w == "blue")
                m_bColourSet = true;
            return;
        }
        if (m_st.dest == Dest::FontTable) {
            if (w == "f")
                m_nFontIndex = n;
            return;
        }
        TextWord(w, n, on);
    }

    void TextWord(const std::string& w, int n, bool on)
    {
        static const std::map<std::string, char16_t> chars = {
            {"tab", '\t'},         {"line", QChar::LineSeparator},
            {"emdash", 0x2014},    {"endash", 0x2013},
            {"bullet", 0x2022},    {"lquote", 0x2018},
            {"rquote", 0x2019},    {"ldblquote", 0x201C},
            {"rdblquote", 0x201D}, {"emspace", 0x2003},
            {"enspace", 0x2002}};
        if (auto it = chars.find(w); it != chars.end()) {
            Char(QChar(it->second));
            return;
        }
        if (w == "par" || w == "page" || w == "sect") {
            Paragraph();
            return;
        }
        if (w == "u") {
            Char(QChar(char16_t(static_cast<std::int16_t>(n))));
            m_nSkipChars = m_st.uc;
            return;
        }
        Flush();
        if (w == "deff")
            m_nDefaultFont = n;
        else if (w == "uc")
            m_st.uc = std::clamp(n, 0, 10);
        else if (w == "pard")
            m_st.align = Qt::AlignLeft;
        else if (w == "ql")
            m_st.align = Qt::AlignLeft;
        else if (w == "qc")
            m_st.align = Qt::AlignHCenter;
        else if (w == "qr")
            m_st.align = Qt::AlignRight;
        else if (w == "qj")
            m_st.align = Qt::AlignJustify;
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

    struct Picture
    {
        QByteArray data;
        bool hex = true;
        bool readable = false; // PNG or JPEG; metafiles are not shown
        int goalW = 0, goalH = 0, w = 0, h = 0;
    };

    void PictureWord(const std::string& w, int n)
    {
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
        else if (w == "bin") {
            const size_t len = std::min<size_t>(size_t(std::max(n, 0)), m_s.size() - m_pos);
            m_pict.data.append(m_s.data() + m_pos, qsizetype(len));
            m_pict.hex = false;
            m_pos += len;
        }
    }

    void InsertPicture()
    {
        if (!m_pict.readable)
            return;
        const QByteArray bytes = m_pict.hex ? QByteArray::fromHex(m_pict.data) : m_pict.data;
        QImage image;
        if (!image.loadFromData(bytes))
            return;
        StartParagraph();
        const QString name = QString("lesson-picture-%1").arg(++m_nPictures);
        m_doc.addResource(QTextDocument::ImageResource, QUrl(name), image);
        QTextImageFormat f;
        f.setName(name);
        f.setWidth(m_pict.goalW > 0 ? m_pict.goalW / kTwipsPerPixel : image.width());
        f.setHeight(m_pict.goalH > 0 ? m_pict.goalH / kTwipsPerPixel : image.height());
        m_cursor.insertImage(f);
    }

    void Text()
    {
        const size_t start = m_pos;
        while (m_pos < m_s.size() && m_s[m_pos] != '\\' && m_s[m_pos] != '{' && m_s[m_pos] != '}')
            ++m_pos;
        const std::string run = m_s.substr(start, m_pos - start);
        switch (m_st.dest) {
        case Dest::Picture:
            if (m_pict.hex)
                for (char c : run)
                    if (std::isxdigit(static_cast<unsigned char>(c)))
                        m_pict.data += c;
            return;
        case Dest::ColourTable:
            for (char c : run)
                if (c == ';') {
                    m_colours.push_back(m_bColourSet ? std::optional<QColor>(m_colour)
                                                     : std::nullopt);
                    m_colour = QColor(0, 0, 0);
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
        m_fonts[m_nFontIndex] = m_fontName.trimmed();
        m_fontName.clear();
    }

    void Char(QChar c)
    {
        if (m_st.dest != Dest::Text)
            return;
        if (m_nSkipChars > 0) {
            --m_nSkipChars;
            return;
        }
        StartParagraph();
        const QTextCharFormat f = Format();
        if (!m_run.isEmpty() && f != m_runFormat)
            Flush();
        m_runFormat = f;
        m_run += c;
    }

    QTextCharFormat Format() const
    {
        QTextCharFormat f;
        auto font = m_fonts.find(m_st.font);
        if (font == m_fonts.end())
            font = m_fonts.find(m_nDefaultFont);
        if (font != m_fonts.end() && !font->second.isEmpty())
            f.setFontFamilies(QStringList{font->second});
        f.setFontPointSize(m_st.halfPoints / 2.0);
        f.setFontWeight(m_st.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(m_st.italic);
        f.setFontUnderline(m_st.underline);
        f.setFontStrikeOut(m_st.strike);
        if (m_st.colour >= 0 && size_t(m_st.colour) < m_colours.size() && m_colours[m_st.colour])
            f.setForeground(*m_colours[m_st.colour]);
        return f;
    }

    void Flush()
    {
        if (m_run.isEmpty())
            return;
        m_cursor.insertText(m_run, m_runFormat);
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
        SetAlignment();
        m_bParPending = true;
    }

    void StartParagraph()
    {
        if (!m_bParPending)
            return;
        m_bParPending = false;
        m_cursor.insertBlock();
    }

    void SetAlignment()
    {
        QTextBlockFormat f = m_cursor.blockFormat();
        f.setAlignment(m_st.align);
        m_cursor.setBlockFormat(f);
    }

    const std::string& m_s;
    size_t m_pos = 0;
    QTextDocument& m_doc;
    QTextCursor m_cursor;
    State m_st;
    std::vector<State> m_stack;
    size_t m_nFlatDepth = 0;
    bool m_bStarred = false;
    bool m_bParPending = false;
    int m_nSkipChars = 0;
    QString m_run;
    QTextCharFormat m_runFormat;
    std::map<int, QString> m_fonts;
    int m_nDefaultFont = 0;
    int m_nFontIndex = 0;
    QString m_fontName;
    std::vector<std::optional<QColor>> m_colours;
    QColor m_colour{0, 0, 0};
    bool m_bColourSet = false;
    Picture m_pict;
    int m_nPictures = 0;
};

} // namespace

bool RtfToDocument(const std::string& rtf, QTextDocument& doc)
{
    doc.clear();
    if (rtf.compare(0, 5, "{\\rtf") != 0)
        return false;
    Reader(rtf, doc).Run();
    return true;
}
