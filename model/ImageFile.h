#pragma once
// Pictures of windows for File/Save Image: a part of a window as the screen shows it, and the
// one bitmap file writer (model/files/BitmapFile) fed with it.
#include "platform/Types.h"

#include <memory>
#include <string>

class CWnd;
class QImage;

// The pixels of rect (client coordinates) of the window, brought to the top first; null when
// the window has no widget, an image without pixels when the window shows none of rect;
// std::bad_alloc when memory for the pixels runs out.
std::shared_ptr<QImage> GrabWindowImage(CWnd* pWnd, const CRect& rect);
// File/Save Image of a picture taken before any dialog opens: asks for a file name and writes
// the picture there, saying so when it has no pixels (nothing is asked) or cannot be written.
void SaveImageAs(const QImage* pImage);
// Writes the picture as an uncompressed "*.bmp" file; FALSE when there is no picture or the
// file cannot be written.
BOOL WriteImageBitmapFile(const QImage* pImage, const std::string& strPath);
