#pragma once
// A plain view of a model for the tests: the model's name and what its table holds, and how
// many rows it saw drawn during runs.
#include "model/RunFollower.h"

class CModelPlainView : public CRunFollower<CView>
{
    VX_DECLARE_CLASS(CModelPlainView)
public:
    void OnDraw(CDC* pDC) override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    RowCount m_nRowsSeen = 0; // rows drawn during runs (Concurrent Plot)
};
