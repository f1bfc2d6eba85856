#pragma once
// CDocTemplate: one document type. It knows its document, frame and first view classes and
// its type string (fields separated by "\n": window title, document name, File/New name,
// filter name, filter extension, file type id, file type name), makes new documents with
// their frames, opens files of its extension and keeps the list of its open documents.
#include "platform/CmdTarget.h"
#include "platform/base/FilePath.h"

#include <string>
#include <vector>

class CDocument;
class CFrameWnd;

class CDocTemplate : public CCmdTarget
{
    VX_DECLARE_CLASS(CDocTemplate)
public:
    enum DocStringIndex
    {
        windowTitle,
        docName,
        fileNewName,
        filterName,
        filterExt,
        regFileTypeId,
        regFileTypeName
    };
    enum Confidence
    {
        noAttempt,
        maybeAttemptForeign,
        maybeAttemptNative,
        yesAttemptForeign,
        yesAttemptNative,
        yesAlreadyOpen
    };

    CDocTemplate() = default;
    CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
                 const CRuntimeClass* pViewClass);
    ~CDocTemplate() override;

    UINT GetResourceID() const { return m_nIDResource; }
    BOOL GetDocString(std::string& rString, DocStringIndex index) const;
    std::string GetDocString(DocStringIndex index) const;
    // Resources for in-place editing of embedded objects (kept; Qt has no use for them).
    void SetContainerInfo(UINT nIDOleInPlaceContainer) { m_nIDContainer = nIDOleInPlaceContainer; }

    virtual CDocument* CreateNewDocument();
    // A new frame for pDoc showing the template's first view (pOther: the frame to copy from).
    virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
    virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);
    // A new document (path nullptr) or the file opened as a new document; nullptr on failure.
    virtual CDocument* OpenDocumentFile(const char* lpszPathName, BOOL bMakeVisible = TRUE);
    virtual Confidence MatchDocType(const char* lpszPathName, CDocument*& rpDocMatch);

    std::vector<CDocument*> GetDocuments() const { return m_docs; }
    void AddDocument(CDocument* pDoc);
    void RemoveDocument(CDocument* pDoc);
    // Closes every document of the template (their frames go with them).
    void CloseAllDocuments(BOOL bEndSession);
    BOOL SaveAllModified();
    // The Save As dialog for this type; empty when cancelled.
    std::string PromptSaveFileName(const FilePath& suggestion) const;

    const CRuntimeClass* m_pDocClass = nullptr;
    const CRuntimeClass* m_pFrameClass = nullptr;
    const CRuntimeClass* m_pViewClass = nullptr;

private:
    void SetDefaultTitle(CDocument* pDoc);

    UINT m_nIDResource = 0;
    UINT m_nIDContainer = 0;
    UINT m_nUntitledCount = 0;
    std::vector<CDocument*> m_docs;
};

// Templates of documents that may be open several at a time, each in its own MDI child.
class CMultiDocTemplate : public CDocTemplate
{
    VX_DECLARE_CLASS(CMultiDocTemplate)
public:
    CMultiDocTemplate() = default;
    CMultiDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass,
                      const CRuntimeClass* pFrameClass, const CRuntimeClass* pViewClass)
        : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass)
    {
    }
};
