#pragma once
// Lesson files as RTF, written and read for what a QTextDocument shows: fonts, sizes, bold,
// italic, underline, colours, paragraph alignment, line breaks, tabs and pictures. Other word
// processors open the files; what they add beyond that is skipped on reading, but for pictures:
// every picture is written back as it was read, whether it can be shown here or not.
#include <QByteArray>
#include <QImage>
#include <QPixmap>
#include <QSizeF>

#include <optional>
#include <string>

class QString;
class QTextCursor;
class QTextDocument;

// Sizes in the file are in twips; in the text, in pixels at 96 an inch.
constexpr double kTwipsPerPixel = 15.0;

std::string DocumentToRtf(const QTextDocument& doc);

// Fills doc (emptied first) from RTF text; false, leaving doc empty, when the text is not RTF.
// notShown, when given, counts the pictures that cannot be shown: they stand as placeholders.
bool RtfToDocument(const std::string& rtf, QTextDocument& doc, int* notShown = nullptr);

// A picture as the lesson file holds it, and as Save writes it back: its control words (kind
// and sizes) and the groups in it, as read, and its data in hex digits. A picture inserted from a
// JPEG or PNG file holds the file's own bytes: a photograph then takes two characters a byte, not
// six a pixel.
struct KeptPicture
{
    QByteArray header;
    QByteArray hex;
};

// A picture of a lesson: what Save writes of it, and what the window shows.
struct LessonPicture
{
    KeptPicture kept;
    QPixmap shown; // in the screen's format, no larger than it is shown
    QSizeF size;   // in the text, in pixels
};

enum class PictureFault
{
    None,
    Unreadable,
    TooLarge, // to decode, even scaled down
    NoMemory  // to turn upright a photograph stored turned, even scaled down
};

// A picture file's bytes as Insert New Object takes them: a JPEG or PNG keeps its own bytes,
// another picture is kept as PNG, a photograph stored turned is kept upright; a picture larger
// than room (in pixels of the text), or than a lesson shows, is fitted. Where memory allowed only
// a smaller upright photograph, shrunk gives its size and the photograph's own, upright; damaged
// where its damage rather than memory kept it smaller.
struct ShrunkPhotograph
{
    QSize own, kept;
    bool damaged = false;
};
PictureFault PictureFromFile(const QByteArray& bytes, LessonPicture& picture,
                             const QSizeF& room = {}, ShrunkPhotograph* shrunk = nullptr);

// The size scaled down to fit bound, keeping its proportions; as it is where it fits.
QSizeF FittedTo(const QSizeF& size, const QSizeF& bound);

// The picture's group as the lesson file holds it: "{\pict...}".
std::string PictureToRtf(const KeptPicture& kept);

// The control words of a picture written by this program: its kind ("jpegblip" or "pngblip"),
// its own size in pixels, and its size in the text.
QByteArray PictureHeader(const char* kind, const QSize& pixels, const QSizeF& shown);

// Puts the picture into the text at the cursor; the name it is held under in the document.
QString InsertPicture(QTextCursor& cursor, const LessonPicture& picture);

// The picture as the file holds it, for the image of that name; none for a picture pasted from
// elsewhere, which is written as PNG.
std::optional<KeptPicture> KeptPictureOf(const QTextDocument& doc, const QString& name);

// The image in a format that the printer draws as it is: it converts any other while it draws,
// where a failure for want of memory leaves the picture out unseen. Null where memory is short for
// the conversion.
QImage PrinterImage(QImage image);

// The picture of that name decoded again from the bytes the file keeps, no larger than pixels in
// either side, and smaller where memory is short, but larger than the window's copy, in the
// printer's format (PrinterImage); a null image where none are kept or they cannot be decoded so.
// forWantOfMemory, when given, tells whether that was for want of memory, of a picture not shown
// as a placeholder: the window's copy is all there is.
QImage KeptPictureImage(const QTextDocument& doc, const QString& name, const QSize& pixels,
                        bool* forWantOfMemory = nullptr);
