#pragma once
// A lesson's text laid out on the printer's paper: its pages, and its pictures fitted to them and
// drawn from the bytes the lesson keeps.
#include "platform/Types.h"

#include <QPointF>
#include <QSizeF>

#include <memory>

class LessonPaperPictures;
class QFont;
class QPrinter;
class QTextDocument;

// The text laid out in pages of the printer's paper inside the margins.
struct PageLayout
{
    std::unique_ptr<QTextDocument> doc;
    LessonPaperPictures* pictures = nullptr; // the text's, for paper
    UINT drawnTo = 0;                        // the last page drawn whole
    double scale = 1;                        // printer pixels per layout pixel
    QPointF origin;                          // the body's top-left corner in layout pixels
    QSizeF body;                             // one page's body in layout pixels

    PageLayout();
    PageLayout(PageLayout&&) noexcept;
    ~PageLayout();
    // Whether a picture was drawn from the window's copy for want of memory.
    bool ScreenCopies() const;
    // Whether a picture was left out for want of memory even for the window's copy.
    bool LeftOut() const;
};

// A copy of the text laid out on the printer's paper inside the margins.
PageLayout LayOut(const QTextDocument& text, QPrinter* printer, const CRect& marginTwips);

// One page's body in layout pixels: the printer's paper inside the margins.
QSizeF PageBody(QPrinter* printer, const CRect& marginTwips);

// Where a picture in text of that font fits whole on a page.
QSizeF PictureRoom(const QSizeF& body, const QTextDocument& text, const QFont& font);
