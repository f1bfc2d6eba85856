#include "app/Rtf.h"
#include "app/RtfParser.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <QVariant>

#include <utility>

namespace {

// No picture is shown larger, about a screen: a photograph is decoded scaled down to it.
constexpr QSizeF kShownBound(2048, 2048);
// A placeholder stands for a picture of any size with an image no larger than this.
constexpr int kPlaceholderPixels = 512;
constexpr QSizeF kPlaceholderLeast(16, 16), kPlaceholderDefault(160, 120);

// A document holds one resource a name, whatever its type: the kept picture goes by a name of
// its own.
QUrl KeptName(const QString& name)
{
    return QUrl("kept-picture:" + name);
}

QSizeF Fitted(const QSizeF& size)
{
    return FittedTo(size, kShownBound);
}

// Picture bytes held in memory, and a reader of them.
struct PictureReader
{
    explicit PictureReader(const QByteArray& bytes)
    {
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        reader.setDevice(&buffer);
    }
    QBuffer buffer;
    QImageReader reader; // after the buffer, so gone before it
};

// Why the reader could not decode: the picture's whole size passes Qt's allocation limit (Qt
// decodes some pictures whole before it scales them), or its data is damaged.
PictureFault FaultOf(const QSize& natural)
{
    const double limit = QImageReader::allocationLimit() * 1048576.0;
    return limit > 0 && 4.0 * natural.width() * natural.height() > limit ? PictureFault::TooLarge
                                                                         : PictureFault::Unreadable;
}

// Decodes the picture no larger than pixels in either side: its own size where that is smaller.
PictureFault ReadAtMost(QImageReader& reader, const QSize& natural, const QSize& pixels,
                        QImage& image)
{
    if (const QSize decoded = natural.boundedTo(pixels.expandedTo(QSize(1, 1))); decoded != natural)
        reader.setScaledSize(decoded);
    return reader.read(&image) ? PictureFault::None : FaultOf(natural);
}

// Decodes the picture no larger than it is shown, converted once to the screen's format: Qt
// would convert an image at every paint. size gives its size in the text where positive, its
// own elsewhere, and comes back fitted.
PictureFault Decode(const QByteArray& bytes, QSizeF& size, QPixmap& shown)
{
    PictureReader file(bytes);
    QImageReader& reader = file.reader;
    const QSize natural = reader.size();
    if (natural.isEmpty())
        return PictureFault::Unreadable;
    size = Fitted(QSizeF(size.width() > 0 ? size.width() : natural.width(),
                         size.height() > 0 ? size.height() : natural.height()));
    QImage image;
    if (const PictureFault fault =
            ReadAtMost(reader, natural, (size * qApp->devicePixelRatio()).toSize(), image);
        fault != PictureFault::None)
        return fault;
    shown = QPixmap::fromImage(std::move(image));
    return shown.isNull() ? PictureFault::TooLarge : PictureFault::None;
}

// A light box with a border, of a small image whatever size it stands for.
LessonPicture Placeholder(KeptPicture kept, const QSizeF& goal, const QSizeF& own)
{
    LessonPicture p;
    p.kept = std::move(kept);
    const QSizeF wanted(goal.width() > 0  ? goal.width()
                        : own.width() > 0 ? own.width()
                                          : kPlaceholderDefault.width(),
                        goal.height() > 0  ? goal.height()
                        : own.height() > 0 ? own.height()
                                           : kPlaceholderDefault.height());
    p.size = Fitted(wanted).expandedTo(kPlaceholderLeast);
    p.shown = QPixmap(p.size.toSize().boundedTo(QSize(kPlaceholderPixels, kPlaceholderPixels)));
    p.shown.fill(QColor(235, 235, 235));
    {
        QPainter painter(&p.shown);
        painter.setPen(QColor(150, 150, 150));
        painter.drawRect(p.shown.rect().adjusted(0, 0, -1, -1));
    }
    return p;
}

// Fills a QTextDocument with what the parser reads.
class DocumentSink : public IRtfSink
{
public:
    explicit DocumentSink(QTextDocument& doc) : m_cursor(&doc) {}

    void Text(const std::u16string& run, const RtfRunFormat& format) override
    {
        m_cursor.insertText(QString::fromStdU16String(run), CharFormat(format));
    }

    void NewParagraph() override { m_cursor.insertBlock(); }

    void Align(RtfAlign align) override
    {
        static constexpr Qt::Alignment flags[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight,
                                                  Qt::AlignJustify};
        QTextBlockFormat f = m_cursor.blockFormat();
        f.setAlignment(flags[static_cast<int>(align)]);
        m_cursor.setBlockFormat(f);
    }

    void Picture(const RtfPicture& p) override
    {
        KeptPicture kept{QByteArray::fromStdString(p.header), QByteArray::fromStdString(p.data)};
        const QSizeF goal(p.goalW / kTwipsPerPixel, p.goalH / kTwipsPerPixel);
        LessonPicture picture;
        picture.size = goal;
        if (p.readable && Decode(QByteArray::fromHex(kept.hex), picture.size, picture.shown) ==
                              PictureFault::None) {
            picture.kept = std::move(kept);
        } else {
            picture = Placeholder(std::move(kept), goal, QSizeF(p.w, p.h));
            ++notShown;
        }
        InsertPicture(m_cursor, picture);
    }

    int notShown = 0;

private:
    static QTextCharFormat CharFormat(const RtfRunFormat& r)
    {
        QTextCharFormat f;
        const QString family = r.font ? QString::fromStdU16String(*r.font).trimmed() : QString();
        if (!family.isEmpty())
            f.setFontFamilies(QStringList{family});
        f.setFontPointSize(r.halfPoints / 2.0);
        f.setFontWeight(r.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(r.italic);
        f.setFontUnderline(r.underline);
        f.setFontStrikeOut(r.strike);
        if (r.colour)
            f.setForeground(QColor::fromRgb(QRgb(*r.colour)));
        return f;
    }

    QTextCursor m_cursor;
};

} // namespace

QSizeF FittedTo(const QSizeF& size, const QSizeF& bound)
{
    if (size.width() <= bound.width() && size.height() <= bound.height())
        return size;
    return size.scaled(bound, Qt::KeepAspectRatio);
}

PictureFault PictureFromFile(const QByteArray& bytes, LessonPicture& picture, const QSizeF& room)
{
    PictureReader file(bytes);
    QImageReader& reader = file.reader;
    const QByteArray format = reader.format();
    const QSize natural = reader.size();
    if (natural.isEmpty())
        return PictureFault::Unreadable;
    QByteArray kept = bytes;
    if (format != "jpeg" && format != "png") {
        QImage image;
        if (!reader.read(&image))
            return FaultOf(natural);
        kept.clear();
        QBuffer png(&kept);
        png.open(QIODevice::WriteOnly);
        if (!image.save(&png, "PNG"))
            return PictureFault::TooLarge;
    }
    QSizeF size = room.isEmpty() ? QSizeF() : FittedTo(QSizeF(natural), room);
    if (const PictureFault fault = Decode(kept, size, picture.shown); fault != PictureFault::None)
        return fault;
    picture.size = size;
    // The goal size is the size shown: a photograph stays fitted when the lesson opens again.
    picture.kept = {PictureHeader(format == "jpeg" ? "jpegblip" : "pngblip", natural, size),
                    kept.toHex()};
    return PictureFault::None;
}

QString InsertPicture(QTextCursor& cursor, const LessonPicture& picture)
{
    static int nPictures = 0; // names apart from those of every other picture
    const QString name = QString("lesson-picture-%1").arg(++nPictures);
    QTextDocument* doc = cursor.document();
    doc->addResource(QTextDocument::ImageResource, QUrl(name), QVariant::fromValue(picture.shown));
    doc->addResource(QTextDocument::UserResource, KeptName(name),
                     QVariant::fromValue(picture.kept));
    QTextImageFormat f;
    f.setName(name);
    f.setWidth(picture.size.width());
    f.setHeight(picture.size.height());
    cursor.insertImage(f);
    return name;
}

std::optional<KeptPicture> KeptPictureOf(const QTextDocument& doc, const QString& name)
{
    const QVariant v = doc.resource(QTextDocument::UserResource, KeptName(name));
    if (v.metaType() != QMetaType::fromType<KeptPicture>())
        return std::nullopt;
    return v.value<KeptPicture>();
}

QImage KeptPictureImage(const QTextDocument& doc, const QString& name, const QSize& pixels)
{
    const std::optional<KeptPicture> kept = KeptPictureOf(doc, name);
    if (!kept)
        return {};
    PictureReader file(QByteArray::fromHex(kept->hex));
    QImageReader& reader = file.reader;
    QImage image;
    if (const QSize natural = reader.size(); !natural.isEmpty())
        ReadAtMost(reader, natural, pixels, image);
    return image;
}

bool RtfToDocument(const std::string& rtf, QTextDocument& doc, int* notShown)
{
    doc.clear();
    if (!IsRtf(rtf))
        return false;
    // One edit block: the layout runs once at its end, not once for every run of text, which
    // made a paragraph of many runs take time of the square of their number.
    QTextCursor block(&doc);
    block.beginEditBlock();
    {
        DocumentSink sink(doc);
        ParseRtf(rtf, sink);
        if (notShown)
            *notShown = sink.notShown;
    }
    block.endEditBlock();
    return true;
}
