#pragma once
// CDynSys: the model document base of the four kinds. It joins the platform's document with
// the display-free model (settings record, parser, table ring, run preparation; CModelCore)
// and adds what needs windows: the run's thread and its messages, the progress window, the
// data-entry window, the commands of the Controls menu and the update hints to the views.
//
// A run: Run prepares the parameter block, starts a CCalcThread (see CalcThread.h for what
// it touches) and opens the progress window. The view that the run reports to hands each row
// sent during the run, the run's end and its own closing to the document through
// IModelDocument (RunFollower.h). Every path that ends a run joins the thread.
#include "model/CalcThread.h"
#include "model/CommandIds.h"
#include "model/ExpThread.h"
#include "model/ModelDocument.h"
#include "model/RunProtocol.h"
#include "model/ViewFrame.h"
#include "model/core/ModelCore.h"
#include "platform/Document.h"
#include "platform/Resources.h"
#include "platform/base/Event.h"

#include <atomic>
#include <memory>
#include <string>

class CFrameWnd;
class CWnd;
class QImage;

// What differs between the four model kinds as documents.
struct ModelKindInfo
{
    SystemKind kind;
    const char* className;   // the document class
    const char* newName;     // file name of a new model
    const char* entryPrefix; // data-entry caption
    const char* filterExt;   // model file extension
    UINT nIDResource;        // template, menu and toolbar
    int* pDocCount;
    std::atomic<int>* pExportCount;
};
const ModelKindInfo& DocKindInfo(SystemKind kind);

class CDynSys : public CDocument, public CModelCore, public IModelDocument, public ISavedViews
{
    VX_DECLARE_CLASS(CDynSys)
public:
    ~CDynSys() override;

    const ModelKindInfo& Info() const { return DocKindInfo(m_kind); }

    // Document life.
    BOOL OnNewDocument() override;
    BOOL OnOpenDocument(const char* lpszPathName) override;
    BOOL OnSaveDocument(const char* lpszPathName) override;
    void OnCloseDocument() override;

    // The Controls menu and View/Data Entry Shortcut.
    void OnControlsRun();
    void OnUpdateControlsRun(CCmdUI* pCmdUI);
    void OnControlsStop();
    void OnUpdateControlsStop(CCmdUI* pCmdUI);
    void OnControlsPlot();
    void OnUpdateControlsPlot(CCmdUI* pCmdUI);
    void OnControlsClearData();
    void OnUpdateControlsClearData(CCmdUI* pCmdUI);
    void OnControlsPlotTimingConcurrentPlot();
    void OnUpdateControlsPlotTimingConcurrentPlot(CCmdUI* pCmdUI);
    void OnControlsPlotTimingPostCalcPlot();
    void OnUpdateControlsPlotTimingPostCalcPlot(CCmdUI* pCmdUI);
    void OnControlsPlotTimingManualPlot();
    void OnUpdateControlsPlotTimingManualPlot(CCmdUI* pCmdUI);
    void OnControlsPlotTimingOverlayPlot();
    void OnUpdateControlsPlotTimingOverlayPlot(CCmdUI* pCmdUI);
    void OnViewDataEntryShortcut();
    void OnUpdateViewDataEntryShortcut(CCmdUI* pCmdUI);
    // View/Set Properties: the property sheet of the kind (DynSysProperties.cpp).
    void OnViewSetProperties();
    void OnUpdateViewSetProperties(CCmdUI* pCmdUI);

    // The View commands that open the model's views (DynSysViews.cpp); each opens its view in a
    // new child frame and is grey while that view is open. OpenView: view index nView (ViewKinds.h)
    // in a new frame. RestoreViews: once after a model file was loaded, opens the views that
    // the file lists and closes the others that the template opened.
    void OnViewCommand(UINT nID);
    void OnUpdateViewCommand(CCmdUI* pCmdUI);
    bool ViewCommandEnabled(int nView) const;
    // A view of that index is open (counted views by their counter, the others by class).
    bool IsViewOpen(int nView) const;
    void OpenView(int nView);
    bool ViewsRestored() const override { return m_bViewsRestored != 0; }
    void RestoreViews() override;

    // File/Export, File/Import and File/Save Image (DynSysFiles.cpp).
    void OnFileExport();
    void OnUpdateFileExport(CCmdUI* pCmdUI);
    void OnFileImport();
    void OnFileSaveImage();
    void OnUpdateFileSaveImage(CCmdUI* pCmdUI);
    // Asks for a file and starts an export thread on a copy of the table; TRUE when it started.
    BOOL ExportData();
    // Takes a picture of the active child frame's client area (rect) into m_pImageBitmap;
    // std::bad_alloc, and no picture, when memory for it runs out.
    void CaptureViewBitmap(const CRect& rect);

    // Run hand-over (user-interface thread). NextRunRow: the next stored row to draw.
    // OnCalcSample: a row was stored (the row, the rows before it); the views other than
    // pFollower see it. OnCalcDone: the run has ended (next
    // row to write, rows stored); it acts only while the run's thread waits for it.
    // OnCalcDoneMessage: the follower's WM_CALC_DONE body (closes the progress window first).
    // OnNotifyViewClosing: a view's window goes; when it is the one that follows the run, the
    // run ends with the rows stored so far.
    bool OnCalcSample(CView* pFollower, int nIndex, RowCount nCount) override;
    bool NextRunRow(int& nIndex, RowCount& nCount) override;
    void OnCalcDone(int nIndex, RowCount nCount);
    void OnCalcDoneMessage(WPARAM wParam, LPARAM lParam) override;
    void OnNotifyViewClosing(HWND hWndView) override;

    // What the views need besides the record (IModelDocument).
    CModelCore& Core() override { return *this; }
    const CModelCore& Core() const override { return *this; }
    HWND TableViewWindow() const override { return m_hwndTableView; }
    void SetTableViewWindow(HWND hWnd) override { m_hwndTableView = hWnd; }
    void MarkModified() override { SetModifiedFlag(TRUE); }
    HWND NotifyWindow() const { return m_pCalcThread ? m_pCalcThread->m_hwndNotify : nullptr; }
    HWND ProgressWindow() const { return m_hwndProgress; }
    CWnd* DataEntry() const;
    std::string DataEntryCaption() const;
    // The data-entry window was closed from its frame: it hides, as View/Data Entry Shortcut
    // would hide it, and the menu item follows.
    void OnDataEntryClosed();
    void DestroyProgressWnd();

    // The document's events: acknowledge, gate, stop, thread end, auxiliary.
    CEvent m_hAckEvent, m_hGateEvent, m_hStopEvent, m_hThreadEndEvent, m_hAuxEvent;
    std::unique_ptr<CALCPARAMS> m_pCalcParams;
    std::unique_ptr<CCalcThread> m_pCalcThread;
    HWND m_hwndTableView = nullptr;
    std::unique_ptr<CExpThread> m_pExpThread; // the last export this document started
    std::shared_ptr<QImage> m_pImageBitmap;   // the last Save Image picture

    // Whether any model document is running now.
    static int RunningDocuments() { return s_nRunning; }

protected:
    explicit CDynSys(SystemKind kind = SystemKind::Newtonian);

private:
    void EnableDataEntryByRuns() override;
    void MapCommands();
    void MapViewCommands();
    void MapFileCommands();
    // Ends the document's export before its next row, keeping the lines written so far.
    void StopExport();
    void CreateDataEntry();
    // Shows or hides the data-entry window; View/Data Entry Shortcut's check follows.
    void ShowDataEntry(bool bShow);
    CView* ChooseNotifyView() const;
    bool StartRun(CView* pNotify);
    void EndRunWindows();
    void JoinCalcThread();
    void SetPlotTiming(BOOL CModelSettings::*flag);
    static void EnableMainClose(BOOL bEnable);

    HWND m_hwndProgress = nullptr;
    HWND m_hwndExportProgress = nullptr;
    HWND m_hwndDataEntry = nullptr;
    HWND m_hwndNotifyFrame = nullptr;
    static inline int s_nRunning = 0;
    // View/Data Entry Shortcut, per kind; checked at first, as the windows open shown.
    static inline bool s_bDataEntryChecked[kSystemKinds] = {true, true, true, true};
};

// The four model documents.
#define VX_MODEL_DOCUMENT(Name, Kind)                                                              \
    class Name : public CDynSys                                                                    \
    {                                                                                              \
        VX_DECLARE_CLASS(Name)                                                                     \
    public:                                                                                        \
        Name() : CDynSys(Kind) {}                                                                  \
    };
VX_MODEL_DOCUMENT(CSys1Var, SystemKind::Newtonian)
VX_MODEL_DOCUMENT(CSys1NNVar, SystemKind::OneVariable)
VX_MODEL_DOCUMENT(CSys2Var, SystemKind::TwoVariable)
VX_MODEL_DOCUMENT(CSys3Var, SystemKind::ThreeVariable)
#undef VX_MODEL_DOCUMENT

// Adds the model commands (File/Save Image, Export and Import, View/Data Entry Shortcut, the
// Controls menu) to the menu of a model kind when the menu has been registered without them.
void AddModelCommandsToMenu(UINT nIDResource);
// Puts the View commands of the kind whose resource id that is before the items of a View menu.
void AddViewCommands(std::vector<vx::res::MenuItem>& viewItems, UINT nIDResource);
// Adds Save Image, Export and Import to the items of a model's File menu.
void AddFileCommands(std::vector<vx::res::MenuItem>& fileItems);
