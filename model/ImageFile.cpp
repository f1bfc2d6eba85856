#include "model/ImageFile.h"

#include "model/files/BitmapFile.h"
#include "platform/WinApp.h"
#include "platform/Wnd.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <cstdint>
#include <new>

std::shared_ptr<QImage> GrabWindowImage(CWnd* pWnd, const CRect& rect)
{
    if (pWnd == nullptr || pWnd->GetWidget() == nullptr)
        return nullptr;
    if (QWidget* pFrame = pWnd->GetFrameWidget())
        pFrame->raise();
    const QRect area(rect.left, rect.top, rect.Width(), rect.Height());
    auto image = std::make_shared<QImage>(
        pWnd->GetWidget()->grab(area).toImage().convertToFormat(QImage::Format_RGB32));
    // Qt gives a picture without pixels, not an exception, when memory for them runs out.
    if (image->isNull() && !(area & pWnd->GetWidget()->rect()).isEmpty())
        throw std::bad_alloc();
    return image;
}

namespace {

// Tells the user when the picture has no pixels to save (a window shrunk to nothing), so that
// nobody is asked for a file name for it; true when so.
bool RefuseEmptyPicture(const QImage* pImage)
{
    if (pImage && !pImage->isNull()) // a null image is one with no pixels
        return false;
    AfxMessageBox("There is no picture to save: the view shows no pixels.\n"
                  "Make its window larger and save the image again.",
                  MB_OK | MB_ICONEXCLAMATION);
    return true;
}

} // namespace

void SaveImageAs(const QImage* pImage)
{
    if (RefuseEmptyPicture(pImage))
        return;
    const std::string path =
        AfxPromptFileName(false, "Save As", "Veltrix Display Image (*.bmp)", "*.bmp");
    if (!path.empty() && !WriteImageBitmapFile(pImage, path))
        AfxMessageBox("Could not write image to disk as .bmp file.");
}

BOOL WriteImageBitmapFile(const QImage* pImage, const std::string& strPath)
{
    if (!pImage || pImage->isNull())
        return FALSE;
    DibBlock dib;
    if (!MakeDib(pImage->width(), pImage->height(), 32,
                 reinterpret_cast<const std::uint32_t*>(pImage->constBits()),
                 static_cast<std::size_t>(pImage->bytesPerLine()) / 4, dib))
        return FALSE;
    return CBitmapFileWriter::WriteBitmapFile(strPath, &dib);
}
