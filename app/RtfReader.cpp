#include "app/Rtf.h"
#include "app/RtfParser.h"

#include <QImage>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <QVariant>

#include <utility>

namespace {

constexpr double kTwipsPerPixel = 15.0;
// A document holds one resource a name, whatever its type: the bytes go by a name of their own.
QUrl JpegName(const QString& name)
{
    return QUrl("jpeg-bytes:" + name);
}

// Fills a QTextDocument with what the parser reads.
class DocumentSink : public IRtfSink
{
public:
    explicit DocumentSink(QTextDocument& doc) : m_doc(doc), m_cursor(&doc) {}

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

    bool LoadPicture(const RtfPicture& p) override
    {
        const QByteArray data = QByteArray::fromRawData(p.data.data(), qsizetype(p.data.size()));
        m_bytes = p.hex ? QByteArray::fromHex(data) : QByteArray(data.data(), data.size());
        m_image = QImage();
        m_goalW = p.goalW;
        m_goalH = p.goalH;
        return m_image.loadFromData(m_bytes);
    }

    void InsertPicture() override
    {
        const QString name = QString("lesson-picture-%1").arg(++m_nPictures);
        m_doc.addResource(QTextDocument::ImageResource, QUrl(name), m_image);
        KeepJpegBytes(m_doc, name, std::exchange(m_bytes, {}));
        QTextImageFormat f;
        f.setName(name);
        f.setWidth(m_goalW > 0 ? m_goalW / kTwipsPerPixel : m_image.width());
        f.setHeight(m_goalH > 0 ? m_goalH / kTwipsPerPixel : m_image.height());
        m_cursor.insertImage(f);
    }

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

    QTextDocument& m_doc;
    QTextCursor m_cursor;
    QImage m_image;
    QByteArray m_bytes; // the picture's file as the lesson holds it
    int m_goalW = 0, m_goalH = 0;
    int m_nPictures = 0;
};

} // namespace

void KeepJpegBytes(QTextDocument& doc, const QString& name, const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xD8\xFF"))
        doc.addResource(QTextDocument::UserResource, JpegName(name), bytes);
}

QByteArray KeptJpegBytes(const QTextDocument& doc, const QString& name)
{
    const QVariant v = doc.resource(QTextDocument::UserResource, JpegName(name));
    return v.userType() == QMetaType::QByteArray ? v.toByteArray() : QByteArray();
}

bool RtfToDocument(const std::string& rtf, QTextDocument& doc)
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
    }
    block.endEditBlock();
    return true;
}
