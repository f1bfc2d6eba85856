#include "app/PictureOrientation.h"
#include "app/Rtf.h"
#include "app/RtfParser.h"
#include "platform/base/MemoryRoom.h"

#include <QBuffer>
#include <QColorSpace>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTransform>
#include <QUrl>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <limits>
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

// A picture whose bytes could not be decoded, shown as a placeholder, is marked by another.
QUrl PlaceholderName(const QString& name)
{
    return QUrl("placeholder:" + name);
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
        // As stored, whatever the orientation it names: a lesson's picture is kept upright, and
        // one kept otherwise by an older lesson shows as it always has.
        reader.setAutoTransform(false);
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

double Pixels(const QSize& size)
{
    return double(size.width()) * size.height();
}

// The most pixels of four bytes that Qt's allocation limit lets it decode into one image.
double MostPixels()
{
    const int megabytes = QImageReader::allocationLimit();
    return megabytes > 0 ? megabytes * 1048576.0 / 4 : std::numeric_limits<double>::infinity();
}

// A picture's own size, and how Qt decodes it.
struct PictureKind
{
    QSize natural;
    bool jpeg = false;    // at the eighth of its size at or above the one asked, then scaled
    bool indexed = false; // of a colour table: whole, then scaled in its table, which loses
                          // partial transparency
};

PictureKind KindOf(const QByteArray& bytes)
{
    PictureReader file(bytes);
    const QImage::Format f = file.reader.imageFormat();
    return {file.reader.size(), file.reader.format() == "jpeg",
            f == QImage::Format_Indexed8 || f == QImage::Format_Mono ||
                f == QImage::Format_MonoLSB};
}

// Whether Qt's JPEG reader, which decodes at an eighth of the size at or above the one asked,
// decodes a picture of this size at eighths/8 under its allocation limit.
bool JpegFitsTheLimit(const QSizeF& natural, int eighths)
{
    return Pixels((natural * eighths / 8).toSize() + QSize(1, 1)) <= MostPixels();
}

// The largest size no larger than wanted, keeping its proportions, that Qt decodes the picture
// at under its allocation limit.
QSize UnderTheLimit(const PictureKind& kind, QSize wanted)
{
    const double most = MostPixels();
    if (Pixels(wanted) > most) {
        const double f = std::sqrt(most / Pixels(wanted));
        wanted = QSize(int(wanted.width() * f), int(wanted.height() * f));
    }
    if (!kind.jpeg)
        return wanted;
    const QSizeF natural(kind.natural);
    const double scale =
        std::max(wanted.width() / natural.width(), wanted.height() / natural.height());
    const int asked = std::clamp(int(std::ceil(8 * scale)), 1, 8);
    int eighths = asked;
    while (eighths > 1 && !JpegFitsTheLimit(natural, eighths))
        --eighths;
    // Rounded down, so that the decoder takes no larger an eighth.
    return eighths == asked
               ? wanted
               : QSize(int(natural.width() * eighths / 8), int(natural.height() * eighths / 8));
}

// The picture decoded at size, keeping its partial transparency; null where it cannot be.
QImage ReadAt(const QByteArray& bytes, const PictureKind& kind, const QSize& size)
{
    PictureReader file(bytes);
    if (!kind.indexed && size != kind.natural)
        file.reader.setScaledSize(size);
    const QImage image = file.reader.read();
    if (image.isNull() || image.size() == size)
        return image;
    // Scaled, averaging, from a copy of four bytes a pixel; where memory is short for that, drawn
    // smoothly into the smaller image, which copies none of the whole.
    if (QImage s = image.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                       .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        !s.isNull())
        return s;
    QImage scaled(size, QImage::Format_ARGB32_Premultiplied);
    if (!scaled.isNull()) {
        scaled.fill(Qt::transparent);
        QPainter painter(&scaled);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(scaled.rect(), image);
    }
    return scaled;
}

// The picture decoded no larger than pixels in either side, nor than its own size or Qt's
// allocation limit, in a format the printer takes as it is; where memory is short, at half that
// size and half again, down to a pixel, which halves to itself. Null where it could be decoded no
// larger than least, the window's copy, which is then drawn.
QImage ReadAtMost(const QByteArray& bytes, const PictureKind& kind, const QSize& pixels,
                  const QSize& least)
{
    const QSize wanted = kind.natural.boundedTo(pixels.expandedTo(QSize(1, 1)));
    const double fewest = std::max(Pixels(least), 1.0);
    for (QSize size = UnderTheLimit(kind, wanted), last;
         size != last && (size == wanted || Pixels(size) > fewest);
         last = std::exchange(size, size / 2))
        if (QImage image = PrinterImage(ReadAt(bytes, kind, size)); !image.isNull())
            return image;
    return {};
}

// Decodes the picture no larger than it is shown, converted once to the screen's format: Qt
// would convert an image at every paint. size gives its size in the text where positive, its
// own elsewhere, and comes back fitted.
PictureFault Decode(const QByteArray& bytes, QSizeF& size, QPixmap& shown)
{
    const PictureKind kind = KindOf(bytes);
    if (kind.natural.isEmpty())
        return PictureFault::Unreadable;
    size = Fitted(QSizeF(size.width() > 0 ? size.width() : kind.natural.width(),
                         size.height() > 0 ? size.height() : kind.natural.height()));
    const QSize pixels = (size * qApp->devicePixelRatio()).toSize();
    QImage image =
        ReadAt(bytes, kind, UnderTheLimit(kind, kind.natural.boundedTo(pixels.expandedTo({1, 1}))));
    if (image.isNull())
        return FaultOf(kind.natural);
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
        const bool shown = p.readable && Decode(QByteArray::fromHex(kept.hex), picture.size,
                                                picture.shown) == PictureFault::None;
        if (shown) {
            picture.kept = std::move(kept);
        } else {
            picture = Placeholder(std::move(kept), goal, QSizeF(p.w, p.h));
            ++notShown;
        }
        const QString name = InsertPicture(m_cursor, picture);
        if (!shown)
            m_cursor.document()->addResource(QTextDocument::UserResource, PlaceholderName(name),
                                             true);
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

namespace {

PhotoTurn TurnOf(QImageIOHandler::Transformations turn)
{
    switch (int(turn)) {
    case QImageIOHandler::TransformationMirror:
        return PhotoTurn::HFlip;
    case QImageIOHandler::TransformationFlip:
        return PhotoTurn::VFlip;
    case QImageIOHandler::TransformationRotate180:
        return PhotoTurn::Rot180;
    case QImageIOHandler::TransformationRotate90:
        return PhotoTurn::Rot90;
    case QImageIOHandler::TransformationRotate270:
        return PhotoTurn::Rot270;
    case QImageIOHandler::TransformationMirrorAndRotate90:
        return PhotoTurn::Transverse;
    case QImageIOHandler::TransformationFlipAndRotate90:
        return PhotoTurn::Transpose;
    default:
        return PhotoTurn::None;
    }
}

// A photograph stored turned, kept upright: smaller where memory or its damage allows no more,
// and then its own upright size in shrunk. One too large to show at the least of its scales is
// refused before any turn, as it is stored upright.
PictureFault UprightPhotograph(const QByteArray& bytes, const QSize& natural,
                               QImageIOHandler::Transformations turn, QByteArray& kept,
                               ShrunkPhotograph& shrunk)
{
    if (!JpegFitsTheLimit(QSizeF(natural), 1))
        return PictureFault::TooLarge;
    // What is left once the upright photograph can still be shown, and kept as hex digits.
    const double room =
        MemoryRoom() - 2 * 4 * Pixels(kShownBound.toSize()) - 4.0 * double(bytes.size());
    UprightJpeg upright =
        JpegTurnedUpright(reinterpret_cast<const unsigned char*>(bytes.constData()),
                          size_t(bytes.size()), TurnOf(turn), room);
    switch (upright.outcome) {
    case UprightJpeg::Outcome::Smaller:
        shrunk.own = QSize(upright.width, upright.height);
        shrunk.damaged = upright.damaged;
        [[fallthrough]];
    case UprightJpeg::Outcome::Upright:
        kept =
            QByteArray(reinterpret_cast<const char*>(upright.bytes.get()), qsizetype(upright.size));
        return PictureFault::None;
    case UprightJpeg::Outcome::NoMemory:
        return PictureFault::NoMemory;
    default:
        return PictureFault::Unreadable;
    }
}

// The picture file's bytes as a lesson keeps them, upright, so that every reader of the lesson
// shows them so: a JPEG or PNG stored upright as they are, a JPEG stored turned (as phones store
// a photograph taken upright) turned; another picture decoded upright and written once as PNG.
PictureFault KeptBytes(const QByteArray& bytes, QImageReader& reader, QByteArray& kept,
                       ShrunkPhotograph& shrunk)
{
    const bool jpeg = reader.format() == "jpeg";
    const QSize natural = reader.size();
    const QImageIOHandler::Transformations turn = reader.transformation();
    if (turn == QImageIOHandler::TransformationNone && (jpeg || reader.format() == "png")) {
        kept = bytes;
        return PictureFault::None;
    }
    if (jpeg)
        return UprightPhotograph(bytes, natural, turn, kept, shrunk);
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return FaultOf(natural);
    // Turned here rather than by the reader, whose turn loses the colour profile.
    if (turn != QImageIOHandler::TransformationNone) {
        const QColorSpace profile = image.colorSpace();
        image = image.mirrored(turn & QImageIOHandler::TransformationMirror,
                               turn & QImageIOHandler::TransformationFlip);
        if (turn & QImageIOHandler::TransformationRotate90)
            image = image.transformed(QTransform().rotate(90));
        if (image.isNull())
            return PictureFault::TooLarge;
        image.setColorSpace(profile);
    }
    QBuffer out(&kept);
    out.open(QIODevice::WriteOnly);
    return image.save(&out, "PNG") ? PictureFault::None : PictureFault::TooLarge;
}

} // namespace

PictureFault PictureFromFile(const QByteArray& bytes, LessonPicture& picture, const QSizeF& room,
                             ShrunkPhotograph* shrunk)
{
    PictureReader file(bytes);
    QImageReader& reader = file.reader;
    const QByteArray format = reader.format();
    if (reader.size().isEmpty())
        return PictureFault::Unreadable;
    QByteArray kept;
    ShrunkPhotograph own;
    if (const PictureFault fault = KeptBytes(bytes, reader, kept, own); fault != PictureFault::None)
        return fault;
    const QSize natural = KindOf(kept).natural; // upright
    if (shrunk)
        *shrunk = {own.own, own.own.isEmpty() ? QSize() : natural, own.damaged};
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

QImage PrinterImage(QImage image)
{
    const QImage::Format f = image.format();
    const bool bitmap = f == QImage::Format_Mono &&
                        image.colorTable() == QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)};
    if (image.isNull() || f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 || bitmap)
        return image;
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                         : QImage::Format_RGB32);
}

QImage KeptPictureImage(const QTextDocument& doc, const QString& name, const QSize& pixels,
                        bool* forWantOfMemory)
{
    if (forWantOfMemory)
        *forWantOfMemory = false;
    const std::optional<KeptPicture> kept = KeptPictureOf(doc, name);
    if (!kept)
        return {};
    const QByteArray bytes = QByteArray::fromHex(kept->hex);
    const PictureKind kind = KindOf(bytes);
    if (kind.natural.isEmpty())
        return {};
    const QSize shown =
        doc.resource(QTextDocument::ImageResource, QUrl(name)).value<QPixmap>().size();
    QImage image = ReadAtMost(bytes, kind, pixels, shown);
    if (image.isNull() && forWantOfMemory)
        *forWantOfMemory =
            !doc.resource(QTextDocument::UserResource, PlaceholderName(name)).toBool();
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
