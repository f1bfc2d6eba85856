#pragma once
// The run messages that every view of a model binds, written once. WM_CALC_SAMPLE: rows were
// stored; for each row not drawn yet, in order, the document takes the row and updates its
// other views, then the view updates itself with the row (an OnUpdate with HINT_ROW and a
// CRowHint), without a trip through the document's view list. WM_CALC_DONE: the document
// closes the progress window and ends the run. A view whose window goes while the run reports
// to it ends that run with the rows stored so far. A view class takes all this by deriving from
// CRunFollower<its base>; it needs only the document's IModelDocument.
#include "model/ModelDocument.h"
#include "model/RunProtocol.h"
#include "platform/Document.h"
#include "platform/View.h"

// The model document of a view, or null.
inline IModelDocument* ModelOf(const CView* pView)
{
    return dynamic_cast<IModelDocument*>(pView->GetDocument());
}

template <class Base> class CRunFollower : public Base
{
public:
    CRunFollower()
    {
        this->MapMessage(WM_CALC_SAMPLE, &CRunFollower::OnCalcSampleMessage);
        this->MapMessage(WM_CALC_DONE, &CRunFollower::OnCalcDoneMessage);
    }

    // Looked up once per document: a live run asks for every row, and the cross-cast searches
    // the document's classes by name.
    IModelDocument* GetModel() const
    {
        CDocument* pDoc = this->GetDocument();
        if (pDoc != m_pModelDoc) {
            m_pModelDoc = pDoc;
            m_pModel = dynamic_cast<IModelDocument*>(pDoc);
        }
        return m_pModel;
    }

protected:
    void OnDestroy() override
    {
        IModelDocument* pModel = GetModel(); // the view may leave its document below
        const HWND hWnd = this->GetSafeHwnd();
        Base::OnDestroy();
        if (pModel)
            pModel->OnNotifyViewClosing(hWnd);
    }

private:
    mutable CDocument* m_pModelDoc = nullptr;
    mutable IModelDocument* m_pModel = nullptr;

    // Draws every row stored since the last message, in order.
    LRESULT OnCalcSampleMessage(WPARAM, LPARAM)
    {
        IModelDocument* pModel = GetModel();
        int nRow = 0;
        RowCount nCount = 0;
        while (pModel && pModel->NextRunRow(nRow, nCount)) {
            if (pModel->OnCalcSample(this, nRow, nCount)) {
                CRowHint row(nRow);
                this->OnUpdate(nullptr, HINT_ROW, &row);
            }
        }
        return 0;
    }
    LRESULT OnCalcDoneMessage(WPARAM wParam, LPARAM lParam)
    {
        if (IModelDocument* pModel = GetModel())
            pModel->OnCalcDoneMessage(wParam, lParam);
        return 0;
    }
};
