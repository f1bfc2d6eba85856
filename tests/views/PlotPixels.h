#pragma once
// Pixels of a view's picture in window coordinates (the image may carry the screen's pixel
// ratio).
#include "platform/Types.h"

#include <QColor>
#include <QImage>

// How many pixels of rectangle r of the picture have colour c.
inline int CountColour(const QImage& img, const CRect& r, COLORREF c)
{
    const qreal ratio = img.devicePixelRatio();
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const QColor q = img.pixelColor(int(x * ratio), int(y * ratio));
            n += RGB(q.red(), q.green(), q.blue()) == c;
        }
    return n;
}
