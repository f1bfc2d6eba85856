#pragma once
// Pictures of windows for File/Save Image: a part of a window as the screen shows it, and the
// one bitmap file writer (model/files/BitmapFile) fed with it.
#include "platform/Types.h"

#include <memory>
#include <string>

class CWnd;
class QImage;

// The pixels of rect (client coordinates) of the window, brought to the top first; null when
// the window has no widget.
std::shared_ptr<QImage> GrabWindowImage(CWnd* pWnd, const CRect& rect);
// Tells the user when the picture has no pixels to save (a window shrunk to nothing), so that
// nobody is asked for a file name for it; true when so.
bool RefuseEmptyPicture(const QImage* pImage);
// Writes the picture as an uncompressed "*.bmp" file; FALSE when there is no picture or the
// file cannot be written.
BOOL WriteImageBitmapFile(const QImage* pImage, const std::string& strPath);
