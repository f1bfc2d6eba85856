#pragma once
// What every view of a model needs of its document: the display-free model (settings, table
// ring, parameters) with the lock of its table, the run's hand-over, and the window of the
// Data Table view. The model documents implement it; a view library needs nothing else of the
// model, and follows a run by deriving from CRunFollower (RunFollower.h).
#include "model/RunProtocol.h"
#include "model/core/ModelCore.h"
#include "platform/Types.h"

class CView;

class IModelDocument
{
public:
    virtual ~IModelDocument() = default;

    virtual CModelCore& Core() = 0;
    virtual const CModelCore& Core() const = 0;
    // A reader's hold on the table columns, which a run may be writing.
    CTableReadLock LockTable() const { return CTableReadLock(Core()); }
    // The open Data Table view, or null.
    virtual HWND TableViewWindow() const = 0;
    // The Data Table view registers its window while it lives (null when it goes).
    virtual void SetTableViewWindow(HWND hWnd) = 0;
    virtual void MarkModified() = 0;
    // A basins scan of the model starts (true) or ends; the data-entry window follows.
    void SetBasinsScanning(bool bScanning)
    {
        Core().m_bBARunning = bScanning ? 1 : 0;
        EnableDataEntryByRuns();
    }

    // Run hand-over, on the user-interface thread, from the view the run reports to.
    // OnCalcSample: a row was stored (its ring index, the rows stored); the document takes the
    // ring position and updates its other views with the row. True when the row belongs to
    // the running run, so that the follower draws it too. OnCalcDoneMessage: the run's end
    // (next row to write, rows stored); the progress window closes first. OnNotifyViewClosing:
    // a view's window goes; when the run reports to it, the run ends with the rows stored.
    virtual bool OnCalcSample(CView* pFollower, int nIndex, RowCount nCount) = 0;
    // NextRunRow: the next row of the run that the follower has not drawn yet, in order (its ring
    // index, the rows before it); false when it has drawn them all. Asking again means the
    // last row handed out has been drawn by every view.
    virtual bool NextRunRow(int& nIndex, RowCount& nCount) = 0;
    virtual void OnCalcDoneMessage(WPARAM wParam, LPARAM lParam) = 0;
    virtual void OnNotifyViewClosing(HWND hWndView) = 0;

protected:
    // The data-entry window is usable only while neither a run nor a basins scan of the model
    // goes on.
    virtual void EnableDataEntryByRuns() {}
};

// A view's share in its model's count of open views of one kind: raised once, lowered when
// the view goes.
class COpenViewCount
{
public:
    COpenViewCount() = default;
    COpenViewCount(const COpenViewCount&) = delete;
    COpenViewCount& operator=(const COpenViewCount&) = delete;
    ~COpenViewCount()
    {
        if (m_pModel)
            --m_pModel->Core().m_nOpenViews[m_nSlot];
    }
    void Raise(IModelDocument* pModel, int nSlot)
    {
        if (m_pModel || !pModel || nSlot < 0)
            return;
        m_pModel = pModel;
        m_nSlot = nSlot;
        ++m_pModel->Core().m_nOpenViews[m_nSlot];
    }
    IModelDocument* Model() const { return m_pModel; }

private:
    IModelDocument* m_pModel = nullptr;
    int m_nSlot = -1;
};
