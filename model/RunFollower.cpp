#include "model/RunFollower.h"

#include "model/DynSys.h"
#include "platform/Dc.h"

#include <string>

VX_IMPLEMENT_CLASS(CModelPlainView, CView)

namespace runview {

CDynSys* DocOf(const CView* pView)
{
    return dynamic_cast<CDynSys*>(pView->GetDocument());
}

LRESULT OnCalcSample(CView* pView, WPARAM wParam, LPARAM lParam)
{
    if (CDynSys* pDoc = DocOf(pView))
        pDoc->OnCalcSample(static_cast<int>(wParam), static_cast<int>(lParam));
    return 0;
}

LRESULT OnCalcDone(CView* pView, WPARAM wParam, LPARAM lParam)
{
    if (CDynSys* pDoc = DocOf(pView))
        pDoc->OnCalcDoneMessage(wParam, lParam);
    return 0;
}

void OnViewDestroyed(CDynSys* pDoc, HWND hWndView)
{
    if (pDoc)
        pDoc->OnNotifyViewClosing(hWndView);
}

} // namespace runview

void CModelPlainView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint)
{
    if (dynamic_cast<CRowHint*>(pHint))
        ++m_nRowsSeen;
    CView::OnUpdate(pSender, lHint, pHint);
}

void CModelPlainView::OnDraw(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    pDC->FillSolidRect(&rc, RGB(255, 255, 255));
    const CDynSys* pDoc = runview::DocOf(this);
    if (!pDoc)
        return;
    const int rows = pDoc->m_bTableWrapped ? pDoc->m_nTableRows : pDoc->m_nTableCount;
    const std::string lines[] = {
        pDoc->m_strFileName,
        pDoc->m_bRunning ? std::string("Running") : "Rows in the table: " + std::to_string(rows),
    };
    pDC->SetTextColor(RGB(0, 0, 0));
    int y = 10;
    for (const std::string& line : lines) {
        pDC->TextOut(10, y, line);
        y += 20;
    }
}
