#pragma once
// The run messages that every view of a model binds, written once: WM_CALC_SAMPLE hands the
// row to the document, WM_CALC_DONE closes the progress window and ends the run in the
// document, and a view whose window goes while it follows a run ends that run with the rows
// stored so far. A view class takes them all by deriving from CRunFollower<its base>, or calls
// the functions below from its own handlers.
#include "model/RunProtocol.h"
#include "platform/View.h"

class CDynSys;

namespace runview {
// The model document of a view, or null.
CDynSys* DocOf(const CView* pView);
LRESULT OnCalcSample(CView* pView, WPARAM wParam, LPARAM lParam);
LRESULT OnCalcDone(CView* pView, WPARAM wParam, LPARAM lParam);
// Call with the document taken before the view left it, and the view's handle.
void OnViewDestroyed(CDynSys* pDoc, HWND hWndView);
} // namespace runview

template <class Base> class CRunFollower : public Base
{
public:
    CRunFollower()
    {
        this->MapMessage(WM_CALC_SAMPLE, &CRunFollower::OnCalcSampleMessage);
        this->MapMessage(WM_CALC_DONE, &CRunFollower::OnCalcDoneMessage);
    }

protected:
    void OnDestroy() override
    {
        CDynSys* pDoc = runview::DocOf(this);
        const HWND hWnd = this->GetSafeHwnd();
        Base::OnDestroy();
        runview::OnViewDestroyed(pDoc, hWnd);
    }

private:
    LRESULT OnCalcSampleMessage(WPARAM wParam, LPARAM lParam)
    {
        return runview::OnCalcSample(this, wParam, lParam);
    }
    LRESULT OnCalcDoneMessage(WPARAM wParam, LPARAM lParam)
    {
        return runview::OnCalcDone(this, wParam, lParam);
    }
};

// A plain first view of a model: the model's name and what its table holds. It stands in
// where a kind has no drawing view yet.
class CModelPlainView : public CRunFollower<CView>
{
    VX_DECLARE_CLASS(CModelPlainView)
public:
    void OnDraw(CDC* pDC) override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    int m_nRowsSeen = 0; // rows drawn during runs (Concurrent Plot)
};
