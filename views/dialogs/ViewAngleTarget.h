#pragma once
// What the View Angle dialog turns: a view with a pitch and a yaw in degrees. The dialog knows
// its views only through this, so it needs none of the 3-D view's own declarations.
#include "platform/Types.h"

class IViewAngleTarget
{
public:
    virtual int ViewPitch() const = 0;
    virtual int ViewYaw() const = 0;
    // bRedraw false: draw only what is quick (the end of the scroll draws all).
    virtual void SetPitch(int nDeg, BOOL bRedraw) = 0;
    virtual void SetYaw(int nDeg, BOOL bRedraw) = 0;
    // The dialog's close box was pressed: the view that opened the dialog destroys it later,
    // once the close event has been handled.
    virtual void ViewAngleDialogClosed() = 0;

protected:
    ~IViewAngleTarget() = default;
};
