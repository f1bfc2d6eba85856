#include "platform/DocTemplate.h"

#include "platform/Document.h"
#include "platform/FileNames.h"
#include "platform/Frame.h"
#include "platform/Resources.h"
#include "platform/View.h"
#include "platform/WinApp.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>

VX_IMPLEMENT_CLASS(CDocTemplate, CCmdTarget)
VX_IMPLEMENT_CLASS(CMultiDocTemplate, CDocTemplate)

CDocTemplate::CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass,
                           const CRuntimeClass* pFrameClass, const CRuntimeClass* pViewClass)
    : m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass),
      m_nIDResource(nIDResource)
{
}

CDocTemplate::~CDocTemplate()
{
    for (CDocument* d : m_docs)
        d->m_pDocTemplate = nullptr;
}

BOOL CDocTemplate::GetDocString(std::string& rString, DocStringIndex index) const
{
    const std::string all = vx::res::LoadString(m_nIDResource);
    size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = all.find('\n', start);
        if (start == std::string::npos) {
            rString.clear();
            return FALSE;
        }
        ++start;
    }
    rString = all.substr(start, all.find('\n', start) - start);
    return TRUE;
}

std::string CDocTemplate::GetDocString(DocStringIndex index) const
{
    std::string s;
    GetDocString(s, index);
    return s;
}

CDocument* CDocTemplate::CreateNewDocument()
{
    CObject* obj = m_pDocClass ? m_pDocClass->CreateObject() : nullptr;
    auto* doc = dynamic_cast<CDocument*>(obj);
    if (!doc) {
        delete obj;
        return nullptr;
    }
    AddDocument(doc);
    return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther)
{
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    CObject* obj = m_pFrameClass ? m_pFrameClass->CreateObject() : nullptr;
    auto* frame = dynamic_cast<CFrameWnd*>(obj);
    if (!frame) {
        delete obj;
        return nullptr;
    }
    // A frame whose creation fails destroys itself.
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
        return nullptr;
    return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

void CDocTemplate::SetDefaultTitle(CDocument* pDoc)
{
    pDoc->SetTitle(GetDocString(docName) + std::to_string(m_nUntitledCount + 1));
}

// A document's open that throws fails like one that returns FALSE: no half-read document stays.
static bool OpenInto(CDocument* pDoc, const char* lpszPathName)
{
    try {
        return pDoc->OnOpenDocument(lpszPathName) != FALSE;
    } catch (const std::exception&) {
        AfxMessageBox("Failed to open document " + PathText(lpszPathName) + ".",
                      MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
}

CDocument* CDocTemplate::OpenDocumentFile(const char* lpszPathName, BOOL bMakeVisible)
{
    CDocument* doc = CreateNewDocument();
    if (!doc) {
        AfxMessageBox("Failed to create empty document.");
        return nullptr;
    }
    const BOOL autoDelete = doc->m_bAutoDelete;
    doc->m_bAutoDelete = FALSE; // a failed frame must not take the document with it
    CFrameWnd* frame = CreateNewFrame(doc, nullptr);
    doc->m_bAutoDelete = autoDelete;
    if (!frame) {
        AfxMessageBox("Failed to create empty document.");
        delete doc;
        return nullptr;
    }
    const HWND hFrame = frame->m_hWnd;
    if (!lpszPathName) {
        SetDefaultTitle(doc);
        if (!doc->OnNewDocument()) {
            if (CWnd* f = CWnd::FromHandle(hFrame))
                f->DestroyWindow(); // takes the document with its last view
            return nullptr;
        }
        ++m_nUntitledCount;
    } else {
        if (!OpenInto(doc, lpszPathName)) {
            if (CWnd* f = CWnd::FromHandle(hFrame))
                f->DestroyWindow();
            return nullptr;
        }
        doc->SetPathName(lpszPathName);
    }
    InitialUpdateFrame(frame, doc, bMakeVisible);
    return doc;
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(const char* lpszPathName,
                                                    CDocument*& rpDocMatch)
{
    rpDocMatch = nullptr;
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path wanted = fs::weakly_canonical(lpszPathName, ec);
    for (CDocument* d : m_docs) {
        if (d->GetPathName().empty())
            continue;
        if (fs::weakly_canonical(d->GetPathName().Bytes(), ec) == wanted) {
            rpDocMatch = d;
            return yesAlreadyOpen;
        }
    }
    auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(),
                       [](unsigned char c) { return char(std::tolower(c)); });
        return s;
    };
    const std::string ext = GetDocString(filterExt);
    if (!ext.empty() && lower(fs::path(lpszPathName).extension().string()) == lower(ext))
        return yesAttemptNative;
    return yesAttemptForeign;
}

void CDocTemplate::AddDocument(CDocument* pDoc)
{
    if (std::find(m_docs.begin(), m_docs.end(), pDoc) == m_docs.end())
        m_docs.push_back(pDoc);
    pDoc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* pDoc)
{
    std::erase(m_docs, pDoc);
    if (pDoc->m_pDocTemplate == this)
        pDoc->m_pDocTemplate = nullptr;
}

void CDocTemplate::CloseAllDocuments(BOOL)
{
    for (CDocument* d : GetDocuments())
        if (std::find(m_docs.begin(), m_docs.end(), d) != m_docs.end())
            d->OnCloseDocument();
}

BOOL CDocTemplate::SaveAllModified()
{
    for (CDocument* d : GetDocuments())
        if (!d->SaveModified())
            return FALSE;
    return TRUE;
}

std::string CDocTemplate::PromptSaveFileName(const FilePath& suggestion) const
{
    const QString filter = QString::fromLatin1(GetDocString(filterName).c_str());
    std::string path =
        ShowFileDialog(false, QStringLiteral("Save As"), PathToQt(suggestion.Bytes()), filter);
    if (path.empty())
        return {};
    const std::string ext = GetDocString(filterExt);
    if (!ext.empty() && std::filesystem::path(path).extension().empty())
        path += ext;
    return path;
}
