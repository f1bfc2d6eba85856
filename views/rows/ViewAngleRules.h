#pragma once
// How a scroll bar of the View Angle dialog turns an angle: the bar's position is minus the
// angle, so its top is +180 degrees. No Qt here.

enum class AngleScroll
{
    LineUp,
    LineDown,
    PageUp,
    PageDown,
    Thumb, // the thumb dragged or dropped at a position
    Top,   // Home on the bar
    Bottom,
    EndScroll // the mouse let go
};

struct AngleStep
{
    int angle;
    bool redraw; // the view draws fully (else only what is quick)
    bool apply;  // the view is told at all
};

// The new angle after a scroll of the bar showing angle; viewAngle is the active view's.
// Without "Hold Updates" each step redraws fully, and a step that changes nothing does nothing;
// with it, each step only draws quickly and the end of the scroll redraws fully.
AngleStep ScrollAngle(int angle, AngleScroll code, int nPos, bool holdUpdates, int viewAngle);
