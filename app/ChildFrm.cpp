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

BOOL CChildFrame::SwitchView(const CRuntimeClass* pViewClass)
{
    CCreateContext context;
    CView* pOldView = GetActiveView();
    if (!pOldView)
        return FALSE;
    if (pOldView->IsKindOf(pViewClass))
        return TRUE;

    // The document must survive the moment in which it has no view.
    CDocument* pDoc = pOldView->GetDocument();
    const BOOL autoDelete = pDoc ? pDoc->m_bAutoDelete : FALSE;
    if (pDoc)
        pDoc->m_bAutoDelete = FALSE;
    pOldView->DestroyWindow();
    if (pDoc)
        pDoc->m_bAutoDelete = autoDelete;

    context.m_pNewViewClass = pViewClass;
    context.m_pCurrentDoc = pDoc;
    context.m_pCurrentFrame = this;
    CObject* obj = pViewClass->CreateObject();
    auto* pNewView = dynamic_cast<CView*>(obj);
    if (!pNewView) {
        delete obj;
        return FALSE;
    }
    if (!pNewView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(), this,
                          AFX_IDW_PANE_FIRST, &context))
        return FALSE;
    pNewView->SendMessage(WM_INITIALUPDATE);
    RecalcLayout();
    pNewView->UpdateWindow();
    SetActiveView(pNewView);
    return TRUE;
}
