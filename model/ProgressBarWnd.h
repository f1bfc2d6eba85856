#pragma once
// The small captioned popup that shows the progress of a long job done by a worker thread.
// The job's starter creates it with a title and hands its handle to the worker, which advances
// it with WM_PROGRESS_STEP (wParam 0) or closes it (wParam 1). Destroying the window deletes
// the object; owners keep the handle, never the pointer, so a window that is gone is a no-op.
#include "platform/Frame.h"

class QProgressBar;

// A progress bar control: range 0..100 and a step, wrapping to the start when it runs over.
class CProgressCtrl
{
public:
    void Attach(QProgressBar* pBar) { m_pBar = pBar; }
    void SetStep(int nStep) { m_nStep = nStep; }
    void StepIt();
    int GetPos() const;

private:
    QProgressBar* m_pBar = nullptr;
    int m_nStep = 10;
};

class CProgressBarWnd : public CFrameWnd
{
    VX_DECLARE_CLASS(CProgressBarWnd)
public:
    CProgressBarWnd();

    // Creates and shows the window (200 by 40, at the lower right of pParent, wholly on the
    // screen) owned by pParent; returns its handle, or null when it could not be made.
    static HWND Open(const char* lpszTitle, CWnd* pParent);
    // Destroys the window of a handle when it still exists.
    static void Close(HWND hWnd);

    CProgressCtrl m_ctlProgress;

protected:
    QWidget* CreateWidget(const CREATESTRUCT& cs) override;
    BOOL OnCreateClient(CREATESTRUCT* pCs, CCreateContext* pContext) override;

private:
    LRESULT OnProgressStep(WPARAM wParam, LPARAM lParam);
};

// The widget of a captioned tool window owned by pParent, without a Close button: the
// progress window and the data-entry window.
QWidget* CreateToolWindowWidget(CWnd* pParent);
