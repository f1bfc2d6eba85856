#pragma once
// A plain first view of a model: the model's name and what its table holds. It stands in
// where a kind has no drawing view yet.
#include "model/RunFollower.h"

class CModelPlainView : public CRunFollower<CView>
{
    VX_DECLARE_CLASS(CModelPlainView)
public:
    void OnDraw(CDC* pDC) override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    RowCount m_nRowsSeen = 0; // rows drawn during runs (Concurrent Plot)
};
