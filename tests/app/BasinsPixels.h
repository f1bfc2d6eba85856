#pragma once
// What the command tests read of a basins view's picture.
#include "views/phase/BasinsView.h"

#include <QImage>

// The pixels of the picture that a scan has set.
inline long long SetPixels(const CBasinsView* view)
{
    const QImage& img = view->Picture().Image();
    long long n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += qAlpha(img.pixel(x, y)) != 0;
    return n;
}
