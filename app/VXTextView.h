#pragma once
// CVXTextView: the window of a lesson, a rich-text editor. A double-click on a line with a
// bracketed file name follows the link: another lesson, a model or the glossary opens.
#include "platform/View.h"

#include <QSizeF>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class CVXTextDoc;
struct PageLayout;
class QTextEdit;
class QMouseEvent;

class CVXTextView : public CView
{
    VX_DECLARE_CLASS(CVXTextView)
public:
    CVXTextView();
    ~CVXTextView() override;

    CVXTextDoc* GetDocument() const;
    QTextEdit* GetEdit() const { return m_pEdit; }
    // The text of the line that holds the start of the selection (at most 511 characters).
    std::string CaretLine() const;
    const std::string& GetLastLessonLink() const { return m_strLastLesson; }

    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;
    void OnDraw(CDC*) override {}
    void OnLButtonDblClk(UINT nFlags, CPoint point) override;

    // Printing: the text in pages of the printer's size within margins of 720 twips.
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
    void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;
    void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) override;

    // The editor's double-click; the link handler calls it when no link is followed.
    void DefaultDoubleClick();

protected:
    int OnCreate(CREATESTRUCT* pCs) override;
    void OnSize(UINT nType, int cx, int cy) override;
    void OnDestroy() override;

private:
    friend class LessonEdit;
    bool FollowModelLink(const std::string& name);
    int PageCount(QPrinter* pPrinter);
    // Where a picture put in at the caret fits whole on a page of the printer's settings.
    QSizeF PrintedRoom() const;
    // Runs a print command; the user is then told if its job printed any picture from the
    // window's copy for want of memory.
    void PrintThenTell(const std::function<void()>& print);
    void OnFilePrint();
    void OnFilePrintDirect();
    void OnFilePrintPreview();

    void OnEditUndo();
    void OnEditCut();
    void OnEditCopy();
    void OnEditPaste();
    void OnEditSelectAll();
    void OnEditFind();
    void OnEditRepeat();
    void OnEditReplace();
    void OnInsertObject();
    void OnFormatFont();
    void OnFileSendMail();
    void OnUpdateNeedSelection(CCmdUI* pCmdUI);
    void OnUpdateEditUndo(CCmdUI* pCmdUI);
    void OnUpdateEditPaste(CCmdUI* pCmdUI);
    void OnUpdateEditRepeat(CCmdUI* pCmdUI);

    QTextEdit* m_pEdit = nullptr;
    QMouseEvent* m_pDoubleClick = nullptr;  // the editor's event while the link handler runs
    CRect m_rectMargin;                     // print margins in twips
    std::unique_ptr<PageLayout> m_pPrinted; // the pages of the job being printed
    // Set by a job that drew its pages with a window's copy for want of memory: the file it
    // writes, empty for a printer.
    std::optional<std::string> m_strScreenCopiesIn;
    std::string m_strLastLesson;
    std::string m_strPrevLinkPath;
    std::string m_strFind; // what Find looks for, and Find Next again
    bool m_bFindMatchCase = false;
};
