#include "ModelPlainView.h"

#include "platform/Dc.h"

#include <string>

VX_IMPLEMENT_CLASS(CModelPlainView, CView)

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
    const IModelDocument* pModel = GetModel();
    if (!pModel)
        return;
    const CModelCore& s = pModel->Core();
    const RowCount rows = s.m_bTableWrapped ? s.m_nTableRows : s.m_nTableCount;
    const std::string lines[] = {
        s.m_strFileName,
        s.m_bRunning ? std::string("Running") : "Rows in the table: " + std::to_string(rows),
    };
    pDC->SetTextColor(RGB(0, 0, 0));
    int y = 10;
    for (const std::string& line : lines) {
        pDC->TextOut(10, y, line);
        y += 20;
    }
}
