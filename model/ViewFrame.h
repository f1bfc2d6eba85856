#pragma once
// What the model documents need of the shell to show their views, as interfaces that the
// shell implements (its child frame and its idle handling sit above the documents).
#include "platform/Types.h"

struct CRuntimeClass;

// A frame whose view can be replaced by a view of another class (the shell's child frame).
class IViewFrame
{
public:
    // TRUE when the frame shows a view of the class afterwards.
    virtual BOOL SwitchView(const CRuntimeClass* pViewClass) = 0;

protected:
    ~IViewFrame() = default;
};

// A document that reopens the views its file lists once, at an idle moment while it is active.
class ISavedViews
{
public:
    virtual bool ViewsRestored() const = 0;
    virtual void RestoreViews() = 0;

protected:
    ~ISavedViews() = default;
};
