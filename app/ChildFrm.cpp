#include "app/ChildFrm.h"

#include "platform/Document.h"

VX_IMPLEMENT_CLASS(CChildFrame, CMDIChildWnd)

CChildFrame::CChildFrame() = default;

BOOL CChildFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    // Each view sets the caption itself.
    cs.style &= ~FWS_ADDTOTITLE;
    return CMDIChildWnd::PreCreateWindow(cs);
}

void CChildFrame::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0) == SC_RESTORE && !IsIconic())
        m_bSkipNextDraw = 1;
    CMDIChildWnd::OnSysCommand(nID, lParam);
}

// The new view is made beside the old one, which goes only once the new one stands: a view that
// cannot be made leaves the frame as it was.
BOOL CChildFrame::SwitchView(const CRuntimeClass* pViewClass)
{
    CView* pOldView = GetActiveView();
    if (!pOldView)
        return FALSE;
    if (pOldView->IsKindOf(pViewClass))
        return TRUE;

    CCreateContext context;
    context.m_pNewViewClass = pViewClass;
    context.m_pCurrentDoc = pOldView->GetDocument();
    context.m_pCurrentFrame = this;
    CObject* obj = pViewClass->CreateObject();
    auto* pNewView = dynamic_cast<CView*>(obj);
    if (!pNewView) {
        delete obj;
        return FALSE;
    }
    if (!pNewView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(), this,
                          AFX_IDW_PANE_FIRST + 1, &context))
        return FALSE; // the view has destroyed itself
    pOldView->DestroyWindow();
    pNewView->SetDlgCtrlID(AFX_IDW_PANE_FIRST);
    pNewView->SendMessage(WM_INITIALUPDATE);
    RecalcLayout();
    pNewView->UpdateWindow();
    SetActiveView(pNewView);
    return TRUE;
}
