#include "platform/Document.h"

#include "platform/DocTemplate.h"
#include "platform/FileNames.h"
#include "platform/Frame.h"
#include "platform/View.h"
#include "platform/WinApp.h"
#include "platform/base/Archive.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

VX_IMPLEMENT_CLASS(CDocument, CCmdTarget)

CDocument::CDocument()
{
    MapCommand(ID_FILE_CLOSE, &CDocument::OnFileClose);
    MapCommand(ID_FILE_SAVE, &CDocument::OnFileSave);
    MapCommand(ID_FILE_SAVE_AS, &CDocument::OnFileSaveAs);
}

CDocument::~CDocument()
{
    if (m_pDocTemplate)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(const std::string& title)
{
    m_strTitle = title;
    for (CView* v : GetViews())
        if (CFrameWnd* f = v->GetParentFrame())
            f->OnUpdateFrameTitle(TRUE);
}

void CDocument::SetPathName(const FilePath& path, BOOL bAddToMRU)
{
    m_strPathName = path;
    SetTitle(PathText(path.Name()));
    if (bAddToMRU && AfxGetApp())
        AfxGetApp()->AddToRecentFileList(path.Bytes());
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
    for (CView* v : GetViews())
        if (v != pSender && HasView(v))
            v->OnUpdate(pSender, lHint, pHint);
}

void CDocument::AddView(CView* pView)
{
    if (HasView(pView))
        return;
    m_views.push_back(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView)
{
    if (!HasView(pView))
        return;
    std::erase(m_views, pView);
    pView->m_pDocument = nullptr;
    OnChangedViewList();
}

bool CDocument::HasView(const CView* pView) const
{
    return std::find(m_views.begin(), m_views.end(), pView) != m_views.end();
}

void CDocument::OnChangedViewList()
{
    if (m_views.empty() && m_bAutoDelete)
        OnCloseDocument();
}

BOOL CDocument::OnNewDocument()
{
    DeleteContents();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(const char*)
{
    // Documents that keep files override this.
    return FALSE;
}

BOOL CDocument::OnSaveDocument(const char*)
{
    return FALSE;
}

void CDocument::OnCloseDocument()
{
    const BOOL autoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE; // the frames' views go first; the document must stay meanwhile
    std::vector<HWND> frames;
    for (CView* v : GetViews())
        if (CFrameWnd* f = v->GetParentFrame())
            if (std::find(frames.begin(), frames.end(), f->m_hWnd) == frames.end())
                frames.push_back(f->m_hWnd);
    for (HWND h : frames)
        if (CWnd* f = CWnd::FromHandle(h))
            f->DestroyWindow();
    m_bAutoDelete = autoDelete;
    DeleteContents();
    if (m_bAutoDelete)
        delete this;
}

BOOL CDocument::SaveModified()
{
    if (!IsModified())
        return TRUE;
    const std::string name = m_strPathName.empty() ? m_strTitle : PathText(m_strPathName);
    switch (AfxMessageBox("Save changes to " + name + "?", MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDCANCEL:
        return FALSE;
    case IDYES:
        return DoFileSave();
    default:
        return TRUE;
    }
}

BOOL CDocument::CanCloseFrame(CFrameWnd* pFrame)
{
    for (CView* v : GetViews())
        if (v->GetParentFrame() != pFrame)
            return TRUE; // another frame still shows the document
    return SaveModified();
}

BOOL CDocument::DoSave(const char* lpszPathName, BOOL bReplace)
{
    std::string path = lpszPathName ? lpszPathName : "";
    if (path.empty()) {
        const FilePath suggestion =
            m_strPathName.empty() ? FilePath(PathFromText(m_strTitle)) : m_strPathName;
        path = m_pDocTemplate ? m_pDocTemplate->PromptSaveFileName(suggestion) : std::string();
        if (path.empty())
            return FALSE;
    }
    m_bSaveCalledOff = false;
    m_strSaveError.clear();
    m_strSaveFailedPath = {};
    if (!OnSaveDocument(path.c_str())) {
        const FilePath failed = m_strSaveFailedPath.empty() ? FilePath(path) : m_strSaveFailedPath;
        if (!m_bSaveCalledOff)
            AfxMessageBox("Failed to save document " + PathText(failed) + "." +
                              (m_strSaveError.empty() ? "" : "\n" + m_strSaveError + "."),
                          MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    if (bReplace)
        SetPathName(path);
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::SaveFailed(const FilePath& path)
{
    m_strSaveError = std::strerror(errno ? errno : EIO);
    m_strSaveFailedPath = path;
    return FALSE;
}

BOOL CDocument::ReadDocumentFile(const FilePath& path, std::vector<std::uint8_t>& bytes,
                                 std::size_t maxBytes)
{
    if (ReadFileBytes(path.Bytes(), bytes, maxBytes))
        return TRUE;
    AfxMessageBox(errno == EFBIG ? "The file " + PathText(path) + " is too large to open."
                                 : "Cannot open the file " + PathText(path) + ".",
                  MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
}

BOOL CDocument::DoFileSave()
{
    return DoSave(m_strPathName.empty() ? nullptr : m_strPathName.c_str());
}

void CDocument::OnFileClose()
{
    if (SaveModified())
        OnCloseDocument();
}

void CDocument::OnFileSave()
{
    DoFileSave();
}

void CDocument::OnFileSaveAs()
{
    DoSave(nullptr);
}
