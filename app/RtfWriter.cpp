#include "app/Rtf.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// Fonts and colours in order of first use; RTF names them by index.
struct Tables
{
    std::vector<QString> fonts;
    std::vector<QRgb> colours; // entry 0 of the table is the automatic colour

    int Font(const QString& family)
    {
        auto it = std::find(fonts.begin(), fonts.end(), family);
        if (it == fonts.end())
            it = fonts.insert(fonts.end(), family);
        return int(it - fonts.begin());
    }
    int Colour(QRgb c)
    {
        auto it = std::find(colours.begin(), colours.end(), c);
        if (it == colours.end())
            it = colours.insert(colours.end(), c);
        return int(it - colours.begin()) + 1;
    }
};

void AppendText(std::string& out, const QString& text)
{
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += char(c);
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c == QChar::LineSeparator || c == '\n') {
            out += "\\line ";
        } else if (c == QChar::Nbsp) {
            out += "\\~";
        } else if (c >= 0x20 && c < 0x80) {
            out += char(c);
        } else if (c >= 0x80 && c < 0x100) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\'%02x", unsigned(c));
            out += buf;
        } else if (c >= 0x100) {
            out += "\\u" + std::to_string(int(static_cast<std::int16_t>(c))) + "?";
        }
    }
}

const char* Alignment(Qt::Alignment a)
{
    if (a & Qt::AlignHCenter)
        return "\\qc";
    if (a & Qt::AlignJustify)
        return "\\qj";
    if (a & Qt::AlignRight)
        return "\\qr";
    return "\\ql";
}

// A picture pasted from elsewhere: an image, or a pixmap.
QImage ImageOf(const QTextDocument& doc, const QTextImageFormat& f)
{
    const QVariant v = doc.resource(QTextDocument::ImageResource, QUrl(f.name()));
    if (v.canConvert<QImage>())
        return v.value<QImage>();
    return QImage();
}

void AppendPicture(std::string& out, const QTextDocument& doc, const QTextImageFormat& f)
{
    if (const std::optional<KeptPicture> kept = KeptPictureOf(doc, f.name())) {
        out += PictureToRtf(*kept);
        return;
    }
    const QImage image = ImageOf(doc, f);
    if (image.isNull())
        return;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const QSizeF shown(f.width() > 0 ? f.width() : image.width(),
                       f.height() > 0 ? f.height() : image.height());
    out += PictureToRtf({PictureHeader("pngblip", image.size(), shown), bytes.toHex()});
}

void AppendFragment(std::string& out, Tables& t, const QTextDocument& doc, const QTextFragment& f)
{
    const QTextCharFormat cf = f.charFormat();
    if (cf.isImageFormat()) {
        AppendPicture(out, doc, cf.toImageFormat());
        return;
    }
    const QFont font = cf.font().resolve(doc.defaultFont());
    const QString family = font.families().isEmpty() ? font.family() : font.families().front();
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : 12.0;
    out +=
        "{\\f" + std::to_string(t.Font(family)) + "\\fs" + std::to_string(std::lround(points * 2));
    if (font.bold())
        out += "\\b";
    if (font.italic())
        out += "\\i";
    if (font.underline())
        out += "\\ul";
    if (font.strikeOut())
        out += "\\strike";
    if (cf.foreground().style() != Qt::NoBrush)
        out += "\\cf" + std::to_string(t.Colour(cf.foreground().color().rgb()));
    out += ' ';
    AppendText(out, f.text());
    out += '}';
}

} // namespace

QByteArray PictureHeader(const char* kind, const QSize& pixels, const QSizeF& shown)
{
    return QByteArray("\\") + kind + "\\picw" + QByteArray::number(pixels.width()) + "\\pich" +
           QByteArray::number(pixels.height()) + "\\picwgoal" +
           QByteArray::number(std::lround(shown.width() * kTwipsPerPixel)) + "\\pichgoal" +
           QByteArray::number(std::lround(shown.height() * kTwipsPerPixel));
}

std::string PictureToRtf(const KeptPicture& kept)
{
    constexpr qsizetype kLine = 128;
    std::string out = "{\\pict" + kept.header.toStdString() + "\n";
    out.reserve(out.size() + kept.hex.size() + kept.hex.size() / kLine + 4);
    for (qsizetype i = 0; i < kept.hex.size(); i += kLine) {
        out.append(kept.hex.constData() + i, size_t(std::min(kLine, kept.hex.size() - i)));
        out += '\n';
    }
    out += '}';
    return out;
}

std::string DocumentToRtf(const QTextDocument& doc)
{
    Tables t;
    t.Font(doc.defaultFont().family());
    std::string body;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        body += "\\pard";
        body += Alignment(b.blockFormat().alignment());
        body += ' ';
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().isValid())
                AppendFragment(body, t, doc, it.fragment());
        body += "\\par\n";
    }
    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl";
    for (size_t i = 0; i < t.fonts.size(); ++i) {
        out += "{\\f" + std::to_string(i) + "\\fnil ";
        AppendText(out, t.fonts[i]);
        out += ";}";
    }
    out += "}\n{\\colortbl;";
    for (QRgb c : t.colours)
        out += "\\red" + std::to_string(qRed(c)) + "\\green" + std::to_string(qGreen(c)) +
               "\\blue" + std::to_string(qBlue(c)) + ";";
    out += "}\n";
    return out + body + "\n}\n";
}
