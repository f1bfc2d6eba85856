#pragma once
// CDocument: the data of one open file and the list of its views. The views show it; every
// change ends with UpdateAllViews and a hint number (and optionally a hint object) that tells
// the views what changed. A document deletes itself when its last view goes, unless
// m_bAutoDelete is cleared. User-interface thread only.
#include "platform/CmdTarget.h"
#include "platform/base/FilePath.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CView;
class CFrameWnd;
class CDocTemplate;

class CDocument : public CCmdTarget
{
    VX_DECLARE_CLASS(CDocument)
public:
    CDocument();
    ~CDocument() override;

    const std::string& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(const std::string& title);
    const FilePath& GetPathName() const { return m_strPathName; }
    virtual void SetPathName(const FilePath& path, BOOL bAddToMRU = TRUE);
    CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

    virtual BOOL IsModified() { return m_bModified; }
    virtual void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified != 0; }

    // Calls OnUpdate of every view except pSender; views closed meanwhile are skipped.
    void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);
    // A snapshot of the views, in the order they were added.
    std::vector<CView*> GetViews() const { return m_views; }
    void AddView(CView* pView);
    void RemoveView(CView* pView);
    bool HasView(const CView* pView) const;

    virtual BOOL OnNewDocument();
    virtual BOOL OnOpenDocument(const char* lpszPathName);
    virtual BOOL OnSaveDocument(const char* lpszPathName);
    // Destroys every frame of the document, then the document (when auto-delete is set).
    virtual void OnCloseDocument();
    virtual void DeleteContents() {}
    // Asks to save a modified document: FALSE when the user cancels.
    virtual BOOL SaveModified();
    // Whether closing this frame may go on; the last frame of a document asks SaveModified.
    virtual BOOL CanCloseFrame(CFrameWnd* pFrame);
    // Saves under the path, or asks for one when it is empty (Save As).
    virtual BOOL DoSave(const char* lpszPathName, BOOL bReplace = TRUE);
    BOOL DoFileSave();

    BOOL m_bAutoDelete = TRUE;

protected:
    virtual void OnChangedViewList();
    void OnFileClose();
    void OnFileSave();
    void OnFileSaveAs();

    // Set by an OnSaveDocument that the user called off, or that told why it failed: DoSave then
    // reports no failure.
    bool m_bSaveCalledOff = false;
    // Why OnSaveDocument failed (the system's words) and the file it could not write, for the
    // failure message; the path asked for when none was noted.
    std::string m_strSaveError;
    FilePath m_strSaveFailedPath;
    // Notes errno as the reason why the file at path was not written; returns FALSE.
    BOOL SaveFailed(const FilePath& path);
    // Reads the document's file whole for OnOpenDocument. A file that cannot be read gets
    // "Cannot open the file ...", one longer than maxBytes (refused before anything is read) a
    // text that says it is too large.
    BOOL ReadDocumentFile(const FilePath& path, std::vector<std::uint8_t>& bytes,
                          std::size_t maxBytes);

private:
    friend class CDocTemplate;
    std::string m_strTitle;
    FilePath m_strPathName;
    CDocTemplate* m_pDocTemplate = nullptr;
    bool m_bModified = false;
    std::vector<CView*> m_views;
};
