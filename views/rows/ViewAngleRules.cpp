#include "views/rows/ViewAngleRules.h"

#include <algorithm>

AngleStep ScrollAngle(int angle, AngleScroll code, int nPos, bool holdUpdates, int viewAngle)
{
    bool redraw = !holdUpdates;
    int a = angle;
    switch (code) {
    case AngleScroll::LineUp:
        a += 1;
        break;
    case AngleScroll::LineDown:
        a -= 1;
        break;
    case AngleScroll::PageUp:
        a += 10;
        break;
    case AngleScroll::PageDown:
        a -= 10;
        break;
    case AngleScroll::Thumb:
        a = -nPos;
        break;
    case AngleScroll::Top:
        a = -180;
        break;
    case AngleScroll::Bottom:
        a = 180;
        break;
    case AngleScroll::EndScroll:
        redraw = true;
        break;
    }
    a = std::clamp(a, -180, 180);
    const bool apply = holdUpdates || a != viewAngle;
    return {a, redraw, apply};
}
