#pragma once
// A model document for the view tests: the display-free model of one kind, a table filled by
// the test or by a real run, and a record of what the view asked of it.
#include "model/ModelDocument.h"
#include "model/RunProtocol.h"
#include "platform/Document.h"
#include "platform/Wnd.h"

#include <deque>
#include <functional>
#include <tuple>
#include <utility>
#include <vector>

class CGraphTestDoc : public CDocument, public CModelCore, public IModelDocument
{
public:
    explicit CGraphTestDoc(SystemKind kind) : CModelCore(kind)
    {
        SetDefaults();
        EvaluateParameters();
        m_strFileName = "Untitled";
        m_bAutoDelete = FALSE;
    }

    CModelCore& Core() override { return *this; }
    const CModelCore& Core() const override { return *this; }
    HWND TableViewWindow() const override { return m_hwndTable; }
    void SetTableViewWindow(HWND h) override { m_hwndTable = h; }
    void MarkModified() override { ++m_nModified; }
    // Records the row; the follower draws it when m_bFollowRows is set.
    bool OnCalcSample(CView*, int w, RowCount l) override
    {
        m_samples.emplace_back(w, l);
        return m_bFollowRows;
    }
    // Hands out the rows a test queued in m_rowsToDraw.
    bool NextRunRow(int& w, RowCount& l) override
    {
        if (m_rowsToDraw.empty())
            return false;
        std::tie(w, l) = m_rowsToDraw.front();
        m_rowsToDraw.pop_front();
        return true;
    }
    void OnCalcDoneMessage(WPARAM, LPARAM) override { ++m_nDone; }
    void OnNotifyViewClosing(HWND h) override { m_closing.push_back(h); }

    // A made-up run of n rows one table interval apart: column slot holds f(slot, t).
    void FillRun(int rows, int n, const std::function<double(int, double)>& f)
    {
        m_nTableRows = rows;
        for (auto& c : m_arrTable)
            c.assign(rows, 0.0);
        for (int i = 0; i < n; ++i) {
            const int r = i % rows;
            const double t = i * m_dChronon * m_nTableInterval;
            m_arrTable[0][r] = t;
            for (int slot = 1; slot < kSlots; ++slot)
                m_arrTable[slot][r] = f(slot, t);
        }
        m_nTableCount = n;
        m_bTableWrapped = n > rows;
        m_nTableIndex = m_bTableWrapped ? n % rows : 0;
        m_bHaveData = n > 0;
    }

    // The model's own run from its initial values to the run time, as the document runs it
    // (on this thread); sink sees every stored row when Concurrent Plot is on.
    void Run(ICalcSink& sink)
    {
        CALCPARAMS params;
        bool allocated = false;
        if (!PrepareRun(params, allocated))
            return;
        CTrajectoryCalc calc(params);
        m_bRunning = 1;
        calc.Run(sink);
        m_bRunning = 0;
        TakeRunResults(calc, calc.m_nIndex, calc.m_nCount);
        m_bHaveData = 1;
    }

    HWND m_hwndTable = nullptr;
    bool m_bFollowRows = false;
    int m_nModified = 0, m_nDone = 0;
    std::vector<std::pair<WPARAM, LPARAM>> m_samples;
    std::deque<std::pair<int, RowCount>> m_rowsToDraw;
    std::vector<HWND> m_closing;
};

// Stands in for the document's Data Table window while it lives: the rows a click in a plot
// asks it to show.
class TableRowCatcher : public CWnd
{
public:
    explicit TableRowCatcher(CGraphTestDoc& doc) : m_doc(doc)
    {
        MapMessage(WM_TABLE_GOTO_ROW, &TableRowCatcher::OnGoto);
        Create(nullptr, "", 0, CRect(0, 0, 10, 10), nullptr, 2);
        m_doc.m_hwndTable = GetSafeHwnd();
    }
    ~TableRowCatcher() override
    {
        m_doc.m_hwndTable = nullptr;
        DestroyWindow();
    }
    std::vector<WPARAM> rows;

private:
    LRESULT OnGoto(WPARAM w, LPARAM)
    {
        rows.push_back(w);
        return 0;
    }
    CGraphTestDoc& m_doc;
};
