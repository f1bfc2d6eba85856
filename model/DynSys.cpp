#include "model/DynSys.h"

#include "model/DataEntryWindow.h"
#include "model/ProgressBarWnd.h"
#include "model/ViewKinds.h"
#include "model/core/Globals.h"
#include "model/core/ModelFile.h"
#include "platform/FileNames.h"
#include "platform/Frame.h"
#include "platform/Resources.h"
#include "platform/View.h"
#include "platform/WinApp.h"
#include "platform/base/NoMemory.h"

#include <system_error>

VX_IMPLEMENT_ABSTRACT(CDynSys, CDocument)
VX_IMPLEMENT_CLASS(CSys1Var, CDynSys)
VX_IMPLEMENT_CLASS(CSys1NNVar, CDynSys)
VX_IMPLEMENT_CLASS(CSys2Var, CDynSys)
VX_IMPLEMENT_CLASS(CSys3Var, CDynSys)

namespace {

const ModelKindInfo kKinds[kSystemKinds] = {
    {SystemKind::Newtonian, "CSys1Var", "New N Sys", "NS1-", ".ns1", 132, &g_nDocsNewtonian,
     &g_nExportsNewtonian},
    {SystemKind::OneVariable, "CSys1NNVar", "New 1 Var Sys", "DS1-", ".ds1", 133,
     &g_nDocsOneVariable, &g_nExportsOneVariable},
    {SystemKind::TwoVariable, "CSys2Var", "New 2 Var Sys", "DS2-", ".ds2", 134, &g_nDocsTwoVariable,
     &g_nExportsTwoVariable},
    {SystemKind::ThreeVariable, "CSys3Var", "New 3 Var Sys", "DS3-", ".ds3", 135,
     &g_nDocsThreeVariable, &g_nExportsThreeVariable},
};

const char* const kCloseWhileRunning = "A model is running: Controls/Stop ends the run, then the "
                                       "window may close.";

const char* const kCloseWhileExporting =
    "Veltrix is writing table data to disk.\nClick OK to delay closing this model\nuntil "
    "done.  Click Cancel to terminate\nthe writing operation.";

CFrameWnd* MainFrame()
{
    return dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
}

} // namespace

const ModelKindInfo& DocKindInfo(SystemKind kind)
{
    return kKinds[static_cast<int>(kind)];
}

CDynSys::CDynSys(SystemKind kind) : CModelCore(kind), m_pCalcParams(std::make_unique<CALCPARAMS>())
{
    MapCommands();
    ++g_nDocsAll;
    m_nDocNumber = ++*Info().pDocCount;
    AddModelCommandsToMenu(Info().nIDResource);
    CreateDataEntry();
}

CDynSys::~CDynSys()
{
    if (m_pCalcThread) {
        // Closed during a run: let the thread finish its step and end, then forget it.
        m_hAckEvent.SetEvent();
        m_hStopEvent.SetEvent();
        JoinCalcThread();
        DestroyProgressWnd();
    }
    if (m_bRunning) {
        m_bRunning = 0;
        --s_nRunning;
        EndRunWindows();
    }
    --*Info().pDocCount;
    --g_nDocsAll;
    if (g_nDocsAll < 1)
        AfxLoadMainToolBar(IDR_MAINFRAME); // the shell's own buttons come back
    if (CWnd* pWnd = CWnd::FromHandle(m_hwndDataEntry))
        pWnd->DestroyWindow();
}

void CDynSys::MapCommands()
{
    MapCommand(ID_CONTROLS_RUN, &CDynSys::OnControlsRun);
    MapUpdate(ID_CONTROLS_RUN, &CDynSys::OnUpdateControlsRun);
    MapCommand(ID_CONTROLS_STOP, &CDynSys::OnControlsStop);
    MapUpdate(ID_CONTROLS_STOP, &CDynSys::OnUpdateControlsStop);
    MapCommand(ID_CONTROLS_PLOT, &CDynSys::OnControlsPlot);
    MapUpdate(ID_CONTROLS_PLOT, &CDynSys::OnUpdateControlsPlot);
    MapCommand(ID_CONTROLS_CLEARDATA, &CDynSys::OnControlsClearData);
    MapUpdate(ID_CONTROLS_CLEARDATA, &CDynSys::OnUpdateControlsClearData);
    MapCommand(ID_CONTROLS_PLOTTIMING_CONCURRENTPLOT, &CDynSys::OnControlsPlotTimingConcurrentPlot);
    MapUpdate(ID_CONTROLS_PLOTTIMING_CONCURRENTPLOT,
              &CDynSys::OnUpdateControlsPlotTimingConcurrentPlot);
    MapCommand(ID_CONTROLS_PLOTTIMING_POSTCALCPLOT, &CDynSys::OnControlsPlotTimingPostCalcPlot);
    MapUpdate(ID_CONTROLS_PLOTTIMING_POSTCALCPLOT,
              &CDynSys::OnUpdateControlsPlotTimingPostCalcPlot);
    MapCommand(ID_CONTROLS_PLOTTIMING_MANUALPLOT, &CDynSys::OnControlsPlotTimingManualPlot);
    MapUpdate(ID_CONTROLS_PLOTTIMING_MANUALPLOT, &CDynSys::OnUpdateControlsPlotTimingManualPlot);
    MapCommand(ID_CONTROLS_PLOTTIMING_OVERLAYPLOT, &CDynSys::OnControlsPlotTimingOverlayPlot);
    MapUpdate(ID_CONTROLS_PLOTTIMING_OVERLAYPLOT, &CDynSys::OnUpdateControlsPlotTimingOverlayPlot);
    MapCommand(ID_VIEW_DATA_ENTRY_SHORTCUT, &CDynSys::OnViewDataEntryShortcut);
    MapUpdate(ID_VIEW_DATA_ENTRY_SHORTCUT, &CDynSys::OnUpdateViewDataEntryShortcut);
    MapCommand(ID_VIEW_SET_PROPERTIES, &CDynSys::OnViewSetProperties);
    MapUpdate(ID_VIEW_SET_PROPERTIES, &CDynSys::OnUpdateViewSetProperties);
    MapFileCommands();
    MapViewCommands();
}

// --- data-entry window ---------------------------------------------------------------------

std::string CDynSys::DataEntryCaption() const
{
    return Info().entryPrefix + std::to_string(m_nDocNumber) + " Set name=value";
}

void CDynSys::CreateDataEntry()
{
    const CRuntimeClass* pClass = CRuntimeClass::FromName(IDataEntryWindow::kClassName);
    CObject* pObject = pClass ? pClass->CreateObject() : nullptr;
    auto* pEntry = dynamic_cast<IDataEntryWindow*>(pObject);
    if (!pEntry) {
        delete pObject;
        return;
    }
    m_hwndDataEntry = pEntry->CreateFor(*this, AfxGetMainWnd());
}

CWnd* CDynSys::DataEntry() const
{
    return CWnd::FromHandle(m_hwndDataEntry);
}

void CDynSys::ShowDataEntry(bool bShow)
{
    s_bDataEntryChecked[static_cast<int>(m_kind)] = bShow;
    if (CWnd* pEntry = DataEntry())
        pEntry->ShowWindow(bShow ? SW_SHOW : SW_HIDE);
}

void CDynSys::OnViewDataEntryShortcut()
{
    ShowDataEntry(!s_bDataEntryChecked[static_cast<int>(m_kind)]);
}

void CDynSys::OnDataEntryClosed()
{
    ShowDataEntry(false);
}

void CDynSys::OnUpdateViewDataEntryShortcut(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(s_bDataEntryChecked[static_cast<int>(m_kind)] ? 1 : 0);
}

// --- new, open, save, close ----------------------------------------------------------------

BOOL CDynSys::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return FALSE;
    m_strFileName = Info().newName;
    InitNewModel(); // nothing saved to reopen
    SetTitle(m_strFileName);
    return TRUE;
}

BOOL CDynSys::OnOpenDocument(const char* lpszPathName)
{
    const FilePath path(lpszPathName);
    std::vector<std::uint8_t> bytes;
    if (!ReadDocumentFile(path, bytes, kModelFileLimit))
        return FALSE;
    try {
        CArchive ar(std::move(bytes));
        Serialize(ar);
    } catch (const CArchiveException&) {
        AfxMessageBox("Unexpected file format.", MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    m_strFileName = PathText(path.Name());
    InitOpenedModel(); // the shell reopens the views that the file lists
    SetTitle(m_strFileName);
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDynSys::OnSaveDocument(const char* lpszPathName)
{
    const FilePath path(lpszPathName);
    CArchive ar;
    Serialize(ar);
    if (!WriteFileBytes(path.Bytes(), ar.Buffer()))
        return SaveFailed(path); // the document keeps its name: nothing was saved under the new one
    m_strFileName = PathText(path.Name());
    SetTitle(m_strFileName);
    UpdateAllViews(nullptr, HINT_TITLE);
    return TRUE;
}

void CDynSys::OnCloseDocument()
{
    if (m_pExpThread && !m_pExpThread->Finished()) {
        // OK waits for the file to be complete: the export thread needs nothing from this
        // thread to finish. Cancel ends it at a row boundary.
        if (AfxMessageBox(kCloseWhileExporting, MB_OKCANCEL) == IDOK)
            m_pExpThread->Wait();
        StopExport();
    }
    CDocument::OnCloseDocument();
}

// --- run -----------------------------------------------------------------------------------

CView* CDynSys::ChooseNotifyView() const
{
    if (CFrameWnd* pMain = MainFrame())
        if (CFrameWnd* pFrame = pMain->GetActiveFrame())
            if (CView* pView = pFrame->GetActiveView(); pView && pView->GetDocument() == this)
                return pView;
    const auto views = GetViews();
    return views.empty() ? nullptr : views.front();
}

void CDynSys::OnControlsRun()
{
    if (*Info().pExportCount != 0 || m_bRunning)
        return;
    JoinCalcThread(); // a finished run's thread
    // Without a view nobody would receive the run's end.
    CView* pNotify = ChooseNotifyView();
    if (!pNotify)
        return;
    // A model whose parameters or equations do not compile is not run; the message says
    // which (a damaged parameter would otherwise run as 0).
    if (!EvaluateParameters(false) || !CompileEquations())
        return;
    bool bAllocated = false, ready = false;
    // The run's own copy of the parser, beside the table, may be more than memory holds.
    TellIfNoMemory([&] { ready = PrepareRun(*m_pCalcParams, bAllocated); });
    if (bAllocated && !m_bPlotOverlay)
        UpdateAllViews(nullptr, HINT_RESET);
    if (ready)
        StartRun(pNotify);
}

bool CDynSys::StartRun(CView* pNotify)
{
    m_hStopEvent.ResetEvent();
    m_hAckEvent.ResetEvent();
    m_hThreadEndEvent.ResetEvent();
    m_pCalcThread = MakeCalcThread(*m_pCalcParams, pNotify->GetSafeHwnd(),
                                   {&m_hAckEvent, &m_hStopEvent, &m_hThreadEndEvent});
    m_bRunning = 1;
    ++s_nRunning;
    EnableDataEntryByRuns();
    m_hwndProgress = CProgressBarWnd::Open("Calculation Progress", AfxGetMainWnd());
    m_pCalcThread->m_hwndProgress = m_hwndProgress;
    EnableMainClose(FALSE);
    CFrameWnd* pFrame = pNotify->GetParentFrame();
    m_hwndNotifyFrame = pFrame ? pFrame->GetSafeHwnd() : nullptr;
    if (pFrame)
        pFrame->EnableClose(FALSE, kCloseWhileRunning);
    try {
        m_pCalcThread->Start();
    } catch (const std::system_error&) {
        m_pCalcThread.reset();
        m_bRunning = 0;
        --s_nRunning;
        DestroyProgressWnd();
        EndRunWindows();
        AfxMessageBox("Could not create calculation thread.");
        return false;
    }
    return true;
}

void CDynSys::EnableMainClose(BOOL bEnable)
{
    if (CFrameWnd* pMain = MainFrame())
        pMain->EnableClose(bEnable, bEnable ? "" : kCloseWhileRunning);
}

void CDynSys::EndRunWindows()
{
    // The main window may close again once no document runs.
    if (s_nRunning == 0)
        EnableMainClose(TRUE);
    if (auto* pFrame = dynamic_cast<CFrameWnd*>(CWnd::FromHandle(m_hwndNotifyFrame)))
        pFrame->EnableClose(TRUE);
    m_hwndNotifyFrame = nullptr;
    EnableDataEntryByRuns();
}

void CDynSys::EnableDataEntryByRuns()
{
    if (CWnd* pEntry = DataEntry())
        pEntry->EnableWindow(!m_bRunning && !m_bBARunning);
}

void CDynSys::JoinCalcThread()
{
    if (m_pCalcThread)
        m_pCalcThread->Join();
    m_pCalcThread.reset();
}

void CDynSys::DestroyProgressWnd()
{
    CProgressBarWnd::Close(std::exchange(m_hwndProgress, nullptr));
}

void CDynSys::OnUpdateControlsRun(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(*Info().pExportCount == 0 && !m_bRunning);
}

void CDynSys::OnControlsStop()
{
    m_hStopEvent.SetEvent();
}

void CDynSys::OnUpdateControlsStop(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_bRunning != 0);
}

bool CDynSys::OnCalcSample(CView* pFollower, int nIndex, RowCount nCount)
{
    if (!m_bRunning)
        return false;
    m_nTableIndex = nIndex;
    m_nTableCount = nCount;
    if (nIndex < nCount)
        m_bTableWrapped = 1;
    CRowHint row(nIndex);
    UpdateAllViews(pFollower, HINT_ROW, &row);
    return true;
}

bool CDynSys::NextRunRow(int& nIndex, RowCount& nCount)
{
    return m_bRunning && m_pCalcThread && m_pCalcThread->NextRow(nIndex, nCount);
}

void CDynSys::OnCalcDone(int nIndex, RowCount nCount)
{
    // Only the run's own end counts: its thread then waits for the acknowledge.
    if (!m_bRunning || !m_pCalcThread || !m_pCalcThread->DoneReached())
        return;
    TakeRunResults(m_pCalcThread->Calc(), nIndex, nCount);
    const std::string error = RunErrorMessage(m_pCalcThread->Calc());
    m_bRunning = 0;
    --s_nRunning;
    EndRunWindows();
    m_hAckEvent.SetEvent();
    JoinCalcThread();
    m_bHaveData = 1;
    UpdateAllViews(nullptr, HINT_CALC_DONE);
    // Once the run is over and nothing holds the table: an equation that ended it.
    if (!error.empty())
        AfxMessageBox(error, MB_OK | MB_ICONEXCLAMATION);
}

void CDynSys::OnCalcDoneMessage(WPARAM wParam, LPARAM lParam)
{
    if (!m_bRunning || !m_pCalcThread || !m_pCalcThread->DoneReached())
        return;
    DestroyProgressWnd();
    OnCalcDone(static_cast<int>(wParam), static_cast<RowCount>(lParam));
}

void CDynSys::OnNotifyViewClosing(HWND hWndView)
{
    if (!m_bRunning || !m_pCalcThread || m_pCalcThread->m_hwndNotify != hWndView)
        return;
    DestroyProgressWnd();
    m_hStopEvent.SetEvent();
    // What is served while waiting may end the run itself (its own end message).
    ServeWhileWaiting([this](int ms) { return !m_pCalcThread || m_pCalcThread->WaitDone(ms); });
    if (m_bRunning && m_pCalcThread)
        OnCalcDone(m_pCalcThread->DoneIndex(), m_pCalcThread->DoneCount());
}

// --- plot, clear data, plot timing ---------------------------------------------------------

void CDynSys::OnControlsPlot()
{
    m_bPlotRequest = 1;
    UpdateAllViews(nullptr, HINT_RESET);
    m_bPlotRequest = 0;
}

void CDynSys::OnUpdateControlsPlot(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_bHaveData || m_bHaveImport);
}

void CDynSys::OnControlsClearData()
{
    // The running thread writes the columns: they are not touched during a run.
    if (m_bRunning || m_bBARunning)
        return;
    m_dGraphTMax -= m_dGraphTMin;
    m_dGraphTMin = 0;
    for (int s = 0; s < kSlots; ++s)
        std::vector<double>().swap(m_arrImport[s]);
    m_bHaveImport = 0;
    m_nTableSource = 0;
    AllocateTable();
    UpdateAllViews(nullptr, HINT_RESET);
}

void CDynSys::OnUpdateControlsClearData(CCmdUI* pCmdUI)
{
    const bool ba = m_kind != SystemKind::ThreeVariable && m_bBARunning;
    pCmdUI->Enable(!m_bRunning && !ba);
}

void CDynSys::SetPlotTiming(BOOL CModelSettings::*flag)
{
    BOOL CModelSettings::*const modes[] = {&CModelSettings::m_bPlotConcurrent,
                                           &CModelSettings::m_bPlotPostCalc,
                                           &CModelSettings::m_bPlotManual};
    this->*flag = !(this->*flag);
    if (this->*flag)
        for (auto other : modes)
            if (other != flag)
                this->*other = 0;
}

void CDynSys::OnControlsPlotTimingConcurrentPlot()
{
    SetPlotTiming(&CModelSettings::m_bPlotConcurrent);
}

void CDynSys::OnUpdateControlsPlotTimingConcurrentPlot(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_bPlotConcurrent != 0);
}

void CDynSys::OnControlsPlotTimingPostCalcPlot()
{
    SetPlotTiming(&CModelSettings::m_bPlotPostCalc);
}

void CDynSys::OnUpdateControlsPlotTimingPostCalcPlot(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_bPlotPostCalc != 0);
}

void CDynSys::OnControlsPlotTimingManualPlot()
{
    SetPlotTiming(&CModelSettings::m_bPlotManual);
}

void CDynSys::OnUpdateControlsPlotTimingManualPlot(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_bPlotManual != 0);
}

void CDynSys::OnControlsPlotTimingOverlayPlot()
{
    m_bPlotOverlay = !m_bPlotOverlay;
}

void CDynSys::OnUpdateControlsPlotTimingOverlayPlot(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(m_bPlotOverlay != 0);
}

// --- menu ----------------------------------------------------------------------------------

void AddViewCommands(std::vector<vx::res::MenuItem>& viewItems, UINT nIDResource)
{
    for (int k = 0; k < kSystemKinds; ++k) {
        const SystemKind kind = static_cast<SystemKind>(k);
        if (DocKindInfo(kind).nIDResource != nIDResource)
            continue;
        std::vector<vx::res::MenuItem> views;
        for (int v = 0; v < kModelViews; ++v)
            if (ViewInfo(v).classes[k] && ViewInfo(v).nID != 0)
                views.push_back({ViewMenuText(kind, v), ViewInfo(v).nID, {}});
        views.push_back(vx::res::Separator());
        viewItems.insert(viewItems.begin(), views.begin(), views.end());
    }
}

void AddModelCommandsToMenu(UINT nIDResource)
{
    using vx::res::MenuItem;
    const auto* menu = vx::res::FindMenu(nIDResource);
    if (!menu)
        return;
    for (const MenuItem& item : *menu)
        if (item.text == "&Controls")
            return;
    std::vector<MenuItem> items = *menu;
    for (MenuItem& item : items) {
        if (item.text == "&File")
            AddFileCommands(item.items);
        if (item.text == "&View") {
            AddViewCommands(item.items, nIDResource);
            item.items.push_back({"Set P&roperties...", ID_VIEW_SET_PROPERTIES, {}});
            item.items.push_back({"Data &Entry Shortcut", ID_VIEW_DATA_ENTRY_SHORTCUT, {}});
        }
    }
    const MenuItem controls{
        "&Controls",
        0,
        {{"&Run", ID_CONTROLS_RUN, {}},
         {"&Stop", ID_CONTROLS_STOP, {}},
         {"&Plot", ID_CONTROLS_PLOT, {}},
         {"&Clear Data", ID_CONTROLS_CLEARDATA, {}},
         vx::res::Separator(),
         {"Plot &Timing",
          0,
          {{"&Concurrent Plot", ID_CONTROLS_PLOTTIMING_CONCURRENTPLOT, {}},
           {"&Post Calc Plot", ID_CONTROLS_PLOTTIMING_POSTCALCPLOT, {}},
           {"&Manual Plot", ID_CONTROLS_PLOTTIMING_MANUALPLOT, {}},
           {"&Overlay Plot", ID_CONTROLS_PLOTTIMING_OVERLAYPLOT, {}}}},
         vx::res::Separator(),
         // The active plot view's window and variables.
         {"&Zoom", 0, {{"&Near", ID_CONTROLS_ZOOM_NEAR, {}}, {"&Far", ID_CONTROLS_ZOOM_FAR, {}}}},
         {"Pa&n",
          0,
          {{"&Up", ID_CONTROLS_PAN_UP, {}},
           {"&Down", ID_CONTROLS_PAN_DOWN, {}},
           {"&Left", ID_CONTROLS_PAN_LEFT, {}},
           {"&Right", ID_CONTROLS_PAN_RIGHT, {}}}},
         {"R&eset Limits", ID_CONTROLS_RESET_LIMITS, {}},
         {"Set &Limits...", ID_CONTROLS_SET_LIMITS, {}},
         {"Set &Yaw/Pitch...", ID_CONTROLS_SET_YAW_PITCH, {}},
         {"Select &Variables...", ID_CONTROLS_SELECT_VARIABLES, {}}}};
    auto at = items.end();
    for (auto it = items.begin(); it != items.end(); ++it)
        if (it->text == "&Window" || (it->text == "&Help" && at == items.end()))
            at = it;
    items.insert(at, controls);
    vx::res::RegisterMenu(nIDResource, std::move(items));
}
