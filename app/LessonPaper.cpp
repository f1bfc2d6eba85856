#include "app/LessonPaper.h"

#include "app/Rtf.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextLayout>
#include <QTextObjectInterface>
#include <QUrl>

#include <cmath>
#include <vector>

namespace {
constexpr double kLayoutDpi = 96.0; // the text is laid out in screen pixels and scaled to paper
} // namespace

// One page's body in layout pixels: the printer's paper inside the margins.
QSizeF PageBody(QPrinter* printer, const CRect& marginTwips)
{
    const double scale = printer->resolution() / kLayoutDpi;
    const QRect paper = printer->pageLayout().paintRectPixels(printer->resolution());
    const double perTwip = kLayoutDpi / 1440.0;
    const QSizeF body(paper.width() / scale - (marginTwips.left + marginTwips.right) * perTwip,
                      paper.height() / scale - (marginTwips.top + marginTwips.bottom) * perTwip);
    return body.expandedTo(QSizeF(72, 72));
}

// Where a picture in text of that font fits whole on a page: the body less the text's own
// margin round it and the depth of the line below its baseline, in whole pixels as the text
// lays pictures out.
QSizeF PictureRoom(const QSizeF& body, const QTextDocument& text, const QFont& font)
{
    const double margin = 2 * text.documentMargin();
    const QFontMetricsF metrics(font);
    return QSizeF(std::floor(body.width() - margin),
                  std::floor(body.height() - margin - metrics.descent() - metrics.leading()));
}

namespace {

// The position of each picture in the text.
std::vector<int> PicturePositions(const QTextDocument& doc)
{
    std::vector<int> at;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (const QTextFragment piece = it.fragment(); piece.charFormat().isImageFormat())
                for (int i = 0; i < piece.length(); ++i)
                    at.push_back(piece.position() + i);
    return at;
}

// The picture at that position scaled down to fit room, keeping its proportions, where it is
// larger.
void FitPicture(QTextDocument& doc, int at, const QSizeF& room)
{
    QTextObjectInterface* pictures =
        doc.documentLayout()->handlerForObject(QTextFormat::ImageObject);
    QTextCursor c(&doc);
    c.setPosition(at);
    c.setPosition(at + 1, QTextCursor::KeepAnchor);
    QTextImageFormat f = c.charFormat().toImageFormat();
    const QSizeF size = pictures->intrinsicSize(&doc, at, f);
    const QSizeF fitted = FittedTo(size, room.expandedTo(QSizeF(1, 1)));
    if (fitted == size)
        return;
    f.setWidth(fitted.width());
    f.setHeight(fitted.height());
    c.setCharFormat(f);
}

// Whether a picture stands on the line.
bool HoldsPicture(const QTextBlock& b, const QTextLine& line)
{
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment piece = it.fragment();
        const int from = piece.position() - b.position();
        if (piece.charFormat().isImageFormat() && from < line.textStart() + line.textLength() &&
            from + piece.length() > line.textStart())
            return true;
    }
    return false;
}

// Whether the picture at that position wraps below a line of text, which Qt then lays out as
// tall as the picture; not where a line break ends that line.
bool WrapsBelowText(const QTextDocument& doc, int at)
{
    const QTextBlock b = doc.findBlock(at);
    const QTextLayout* layout = b.layout();
    const int i = at - b.position();
    const QTextLine line = layout->lineForTextPosition(i);
    return line.isValid() && line.lineNumber() > 0 && line.textStart() == i &&
           b.text().at(i - 1) != QChar::LineSeparator &&
           !HoldsPicture(b, layout->lineAt(line.lineNumber() - 1));
}

// A picture larger than the page's body is scaled down to fit it, keeping its proportions, in
// the paper's copy of the text alone: the window and the file keep its size. Qt gives a line of
// text the height of a picture that wraps below it, its text far down the page and the two often
// taller than a page: on paper such a picture goes below a line break, which keeps the text's
// line its own height, and is fitted to leave room for that line on its page.
void FitPictures(QTextDocument& doc, const QSizeF& body)
{
    if (!doc.documentLayout()->handlerForObject(QTextFormat::ImageObject))
        return;
    const auto room = [&doc, &body](int at) {
        QTextCursor c(&doc);
        c.setPosition(at + 1);
        return PictureRoom(body, doc, c.charFormat().font());
    };
    const std::vector<int> pictures = PicturePositions(doc);
    for (int at : pictures)
        FitPicture(doc, at, room(at));
    int breaks = 0; // each moves the pictures after it on by one
    for (int at : pictures) {
        at += breaks;
        doc.pageCount(); // laid out again after each change
        if (!WrapsBelowText(doc, at))
            continue;
        QTextCursor c(&doc);
        c.setPosition(at);
        c.insertText(QString(QChar::LineSeparator));
        ++breaks;
        doc.pageCount();
        const QTextBlock b = doc.findBlock(at);
        const double text = b.layout()->lineForTextPosition(at - b.position()).height();
        FitPicture(doc, at + 1, room(at + 1) - QSizeF(0, text));
    }
}

} // namespace

// Draws the pictures of the paper's copy of a lesson from the bytes the lesson keeps, decoded
// for the size they take on the printer's pixels, where the window shows a copy decoded for the
// screen; a picture with none that can be decoded is drawn from the window's copy. Each is drawn
// in the printer's format: where memory is short even for the window's copy, the job is given
// up.
class LessonPaperPictures : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    LessonPaperPictures(QTextDocument* doc, QTextObjectInterface* shown)
        : QObject(doc), m_pShown(shown)
    {
    }

    QSizeF intrinsicSize(QTextDocument* doc, int pos, const QTextFormat& format) override
    {
        return m_pShown->intrinsicSize(doc, pos, format);
    }

    void drawObject(QPainter* p, const QRectF& rect, QTextDocument* doc, int pos,
                    const QTextFormat& format) override
    {
        // The text draws the last line above the page too: unseen there, it would still be
        // decoded and written into the printer's file.
        if (p->hasClipping() && !p->clipBoundingRect().intersects(rect))
            return;
        const QString name = format.toImageFormat().name();
        const QImage shown = OnPaper(p) ? WindowCopy(*doc, name) : QImage();
        if (shown.isNull()) {
            m_pShown->drawObject(p, rect, doc, pos, format);
            return;
        }
        bool forWantOfMemory = false;
        QImage image = KeptPictureImage(*doc, name, p->transform().mapRect(rect).size().toSize(),
                                        &forWantOfMemory);
        if (image.isNull())
            image = PrinterImage(shown);
        if (!image.isNull())
            p->drawImage(rect, image);
        m_bScreenCopies = m_bScreenCopies || forWantOfMemory;
        m_bLeftOut = m_bLeftOut || image.isNull();
    }

    // Whether a picture was drawn from the window's copy for want of memory.
    bool ScreenCopies() const { return m_bScreenCopies; }
    // Whether a picture was left out for want of memory even for the window's copy.
    bool LeftOut() const { return m_bLeftOut; }

private:
    // A preview holds all the pages it draws at once, as pictures: it shows the window's copies.
    static bool OnPaper(QPainter* p)
    {
        return !p->paintEngine() || p->paintEngine()->type() != QPaintEngine::Picture;
    }

    // The window's copy of the picture of that name; null where the text holds none itself.
    static QImage WindowCopy(QTextDocument& doc, const QString& name)
    {
        const QVariant v = doc.resource(QTextDocument::ImageResource, QUrl(name));
        if (v.metaType() == QMetaType::fromType<QPixmap>())
            return v.value<QPixmap>().toImage();
        return v.metaType() == QMetaType::fromType<QImage>() ? v.value<QImage>() : QImage();
    }

    QTextObjectInterface* m_pShown; // the text's own, which its layout owns
    bool m_bScreenCopies = false;
    bool m_bLeftOut = false;
};

PageLayout LayOut(const QTextDocument& text, QPrinter* printer, const CRect& marginTwips)
{
    PageLayout l;
    l.scale = printer->resolution() / kLayoutDpi;
    const double perTwip = kLayoutDpi / 1440.0;
    l.origin = QPointF(marginTwips.left * perTwip, marginTwips.top * perTwip);
    l.body = PageBody(printer, marginTwips);
    l.doc.reset(text.clone());
    QAbstractTextDocumentLayout* layout = l.doc->documentLayout();
    if (QTextObjectInterface* shown = layout->handlerForObject(QTextFormat::ImageObject)) {
        l.pictures = new LessonPaperPictures(l.doc.get(), shown);
        layout->registerHandler(QTextFormat::ImageObject, l.pictures);
    }
    l.doc->setPageSize(l.body);
    FitPictures(*l.doc, l.body);
    return l;
}

PageLayout::PageLayout() = default;
PageLayout::PageLayout(PageLayout&&) noexcept = default;
PageLayout::~PageLayout() = default;

bool PageLayout::ScreenCopies() const
{
    return pictures && pictures->ScreenCopies();
}

bool PageLayout::LeftOut() const
{
    return pictures && pictures->LeftOut();
}

#include "LessonPaper.moc"
