#pragma once
// "View Angle": the modeless dialog whose two scroll bars turn the pitch and the yaw of the
// active 3-D view between -180 and +180 degrees; "Hold Updates" lets the views draw only what is
// quick until the scroll ends. At most one exists (g_bViewAngleDlgOpen); the view that opened it
// owns it. Enter and Escape do nothing: only the close box closes it.
#include "platform/Dialog.h"
#include "views/dialogs/ViewAngleTarget.h"
#include "views/rows/ViewAngleRules.h"

class QCheckBox;
class QLabel;
class QScrollBar;

class CVADlg : public CDialog
{
public:
    // pOwner: the view that opens the dialog, and its parent window.
    CVADlg(IViewAngleTarget* pOwner, CWnd* pParent);
    ~CVADlg() override;

    QScrollBar* m_sbYaw = nullptr;   // 1119
    QScrollBar* m_sbPitch = nullptr; // 1120
    BOOL m_bHoldUpdates = FALSE;     // 1063
    int m_nYawDeg = 0;
    int m_nPitchDeg = 0;
    IViewAngleTarget* m_pView;

    // The angles of the active view into the bars and their values.
    void LoadAngles();
    // The dialog while one is open (whichever view opened it), else null.
    static CVADlg* Current() { return s_pOpen; }
    // A scroll of the pitch bar (or the yaw bar) with its code and thumb position: every step of
    // the bars (key, arrow, trough, thumb, end of scrolling) comes here from Connect.
    void OnVScroll(AngleScroll code, int nPos, QScrollBar* pBar);

    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    void OnClose() override; // the close box

    QLabel* PitchText() const { return m_pitchText; }
    QLabel* YawText() const { return m_yawText; }
    QCheckBox* HoldBox() const { return m_hold; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void Connect(QScrollBar* pBar);
    QLabel* m_pitchText = nullptr; // 1122
    QLabel* m_yawText = nullptr;   // 1121
    QCheckBox* m_hold = nullptr;
    static CVADlg* s_pOpen;
};

// The active view of the active document window of the main frame, or null.
class CView;
CView* ActiveMainView();
// The active view when it can be turned, or null.
IViewAngleTarget* ActiveAngleTarget();
