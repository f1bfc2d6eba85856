#pragma once
// A run's sink for the view benchmarks: hands each stored row to the view (none: nothing), as
// the document's sample handler does.
#include "model/RunProtocol.h"
#include "model/core/TrajectoryCalc.h"
#include "platform/View.h"

class CBenchViewSink : public ICalcSink
{
public:
    explicit CBenchViewSink(CView* v) : m_view(v) {}
    void RowStored(int nIndex, RowCount) override
    {
        if (!m_view)
            return;
        CRowHint hint(nIndex);
        m_view->OnUpdate(nullptr, HINT_ROW, &hint);
    }

private:
    CView* m_view;
};
