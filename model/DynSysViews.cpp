// The View commands of a model document, the opening of a view in a frame of its own, and the
// reopening of the views that a model file lists.
#include "model/DynSys.h"
#include "model/ViewFrame.h"
#include "model/ViewKinds.h"
#include "platform/DocTemplate.h"
#include "platform/Frame.h"
#include "platform/View.h"
#include "platform/WinApp.h"

namespace {
const char* const kCommandFailed = "Command failed.";

// The frames of the document's views, as handles: a frame destroyed meanwhile is passed by.
std::vector<HWND> ViewFrames(const CDocument& doc, const CRuntimeClass* pClass = nullptr)
{
    std::vector<HWND> frames;
    for (CView* v : doc.GetViews())
        if (!pClass || v->IsKindOf(pClass))
            if (CFrameWnd* f = v->GetParentFrame())
                frames.push_back(f->GetSafeHwnd());
    return frames;
}
} // namespace

void CDynSys::MapViewCommands()
{
    for (int v = 0; v < kModelViews; ++v) {
        if (!ViewInfo(v).classes[static_cast<int>(m_kind)] || ViewInfo(v).nID == 0)
            continue; // the kind has no such view, or the view no command
        const UINT id = ViewInfo(v).nID;
        MapCommandRange(id, id, &CDynSys::OnViewCommand);
        MapUpdateRange(id, id, &CDynSys::OnUpdateViewCommand);
    }
}

void CDynSys::OnViewCommand(UINT nID)
{
    const int v = ViewOfCommand(nID);
    if (v < 0)
        return;
    OpenView(v);
}

bool CDynSys::ViewCommandEnabled(int nView) const
{
    if (!ViewClass(m_kind, nView) || IsViewOpen(nView))
        return false;
    if (m_kind == SystemKind::Newtonian && m_bRunning)
        return false;
    if (nView == kViewTable)
        return m_bHaveData || m_bHaveImport;
    if (nView == kViewVectorField)
        return !EquationsUseDelayedVars(); // no field of equations that look back in time
    return true;
}

bool CDynSys::IsViewOpen(int nView) const
{
    if (nView < kCountedViews)
        return m_nOpenViews[nView] != 0;
    const CRuntimeClass* pClass = ViewClass(m_kind, nView);
    for (CView* v : GetViews())
        if (pClass && v->IsKindOf(pClass))
            return true;
    return false;
}

void CDynSys::OnUpdateViewCommand(CCmdUI* pCmdUI)
{
    const int v = ViewOfCommand(pCmdUI->m_nID);
    pCmdUI->Enable(v >= 0 && ViewCommandEnabled(v));
}

void CDynSys::OpenView(int nView)
{
    auto* pMain = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd());
    CMDIChildWnd* pActive = pMain ? pMain->MDIGetActive() : nullptr;
    if (!pActive) {
        AfxMessageBox(kCommandFailed, MB_OK);
        return;
    }
    CDocTemplate* pTemplate = GetDocTemplate();
    CFrameWnd* pFrame = pTemplate ? pTemplate->CreateNewFrame(this, pActive) : nullptr;
    if (!pFrame)
        return;
    pTemplate->InitialUpdateFrame(pFrame, this, TRUE);
    // The frame opened with Graph vs Time; a kind without the view keeps it.
    if (nView == kViewGraph)
        return;
    if (const CRuntimeClass* pClass = ViewClass(m_kind, nView))
        if (auto* pSwitch = dynamic_cast<IViewFrame*>(pFrame))
            pSwitch->SwitchView(pClass);
}

void CDynSys::RestoreViews()
{
    // Set first: what opens a frame below may come back here at an idle moment.
    m_bViewsRestored = 1;
    for (int w = 0; w < 7; ++w) {
        const int v = kWantedViews[w];
        if (m_bViewWanted[w] && m_nOpenViews[v] == 0 && ViewClass(m_kind, v))
            OpenView(v);
    }
    if (m_kind == SystemKind::Newtonian) {
        const int v = m_nRSMode >= 1 && m_nRSMode <= 5    ? kViewRealSpace
                      : m_nRSMode >= 6 && m_nRSMode <= 11 ? kViewCyclePlanes
                                                          : -1;
        if (v >= 0 && ViewClass(m_kind, v))
            OpenView(v);
    }
    for (int w = 0; w < 7; ++w) {
        const int v = kWantedViews[w];
        const CRuntimeClass* pClass = ViewClass(m_kind, v);
        if (m_bViewWanted[w] || m_nOpenViews[v] < 1 || !pClass)
            continue;
        for (HWND hFrame : ViewFrames(*this, pClass)) {
            // The document's last frame stays: closing it would close the document.
            if (GetViews().size() <= 1)
                break;
            if (CWnd* pFrame = CWnd::FromHandle(hFrame))
                pFrame->DestroyWindow();
        }
    }
    for (HWND hFrame : ViewFrames(*this))
        if (CWnd* pFrame = CWnd::FromHandle(hFrame))
            pFrame->ShowWindow(SW_SHOW);
}
