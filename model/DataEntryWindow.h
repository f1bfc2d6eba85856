#pragma once
// The data-entry window as its document sees it. The window and its interpreter live in
// dataentry/, above the model documents, so that the interpreter may call the document. The
// document makes the window from its run-time class name (none when that library is not
// linked) and afterwards knows it only as a window: shown, hidden, greyed during a run and
// destroyed with the document.
#include "platform/Types.h"

class CDynSys;
class CWnd;

class IDataEntryWindow
{
public:
    static constexpr const char* kClassName = "CDataEntry";

    // Creates the visible window of the document in the main frame: its handle, or null (the
    // object is then gone).
    virtual HWND CreateFor(CDynSys& doc, CWnd* pMain) = 0;

protected:
    ~IDataEntryWindow() = default;
};
