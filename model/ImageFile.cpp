#include "model/ImageFile.h"

#include "model/files/BitmapFile.h"
#include "platform/WinApp.h"
#include "platform/Wnd.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <cstdint>

std::shared_ptr<QImage> GrabWindowImage(CWnd* pWnd, const CRect& rect)
{
    if (pWnd == nullptr || pWnd->GetWidget() == nullptr)
        return nullptr;
    if (QWidget* pFrame = pWnd->GetFrameWidget())
        pFrame->raise();
    const QRect area(rect.left, rect.top, rect.Width(), rect.Height());
    return std::make_shared<QImage>(
        pWnd->GetWidget()->grab(area).toImage().convertToFormat(QImage::Format_RGB32));
}

bool RefuseEmptyPicture(const QImage* pImage)
{
    if (pImage && !pImage->isNull() && pImage->width() > 0 && pImage->height() > 0)
        return false;
    AfxMessageBox("There is no picture to save: the view shows no pixels.\n"
                  "Make its window larger and save the image again.",
                  MB_OK | MB_ICONEXCLAMATION);
    return true;
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
