#pragma once
// CView: a window that shows a document. It draws in OnDraw (screen and printer alike),
// follows the document through OnUpdate hints, and takes commands before its document.
// A view lives in a frame; it deletes itself when its window is destroyed and leaves its
// document at that moment (which may close a document that has no other view).
#include "platform/Dc.h"
#include "platform/Wnd.h"

class CDocument;
class CDocTemplate;
class CFrameWnd;
class QPrinter;

// Set by tests: runs before each end of a print job, and may throw as the printer's own end does
// when memory runs out.
inline void (*g_printJobEndHook)() = nullptr;

// What a frame needs to make its view: the classes, the document and the template.
struct CCreateContext
{
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
    class CView* m_pLastView = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

// The state of one print job, handed to the view's printing virtuals.
struct CPrintInfo
{
    BOOL m_bPreview = FALSE;         // print preview, no print dialog
    BOOL m_bDirect = FALSE;          // print at once without the dialog
    BOOL m_bContinuePrinting = TRUE; // OnPrepareDC clears it to end the job
    UINT m_nCurPage = 1;
    CRect m_rectDraw; // the page's printable area in device pixels
    QPrinter* m_pPrinter = nullptr;

    void SetMinPage(UINT n) { m_nMinPage = n; }
    void SetMaxPage(UINT n) { m_nMaxPage = n; }
    UINT GetMinPage() const { return m_nMinPage; }
    UINT GetMaxPage() const { return m_nMaxPage; }

private:
    UINT m_nMinPage = 1;
    UINT m_nMaxPage = 1;
};

class CView : public CWnd
{
    VX_DECLARE_CLASS(CView)
public:
    CView();
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }

    virtual void OnDraw(CDC* pDC) = 0;
    // Default: OnUpdate(nullptr, 0, nullptr).
    virtual void OnInitialUpdate();
    // Default: the whole window is repainted.
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);

    // Printing: OnPreparePrinting, then OnBeginPrinting, per page OnPrepareDC and OnPrint
    // (which calls OnDraw), and OnEndPrinting.
    virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr);
    virtual BOOL OnPreparePrinting(CPrintInfo* pInfo);
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);
    // Shows the print dialog unless the job is a preview or direct; FALSE when cancelled.
    BOOL DoPreparePrinting(CPrintInfo* pInfo);
    // Prints all pages of the job on the printer (used by print, direct print and preview).
    void PrintPages(QPrinter* pPrinter, CPrintInfo* pInfo);

    bool OnCmdMsg(UINT nID, CmdKind kind, CCmdUI* pCmdUI) override;
    BOOL Create(const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle,
                const CRect& rect, CWnd* pParentWnd, UINT nID,
                CCreateContext* pContext = nullptr) override;

protected:
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnPaint() override;
    void OnDestroy() override;
    void PostNcDestroy() override;
    void OnFilePrint();
    void OnFilePrintDirect();
    void OnFilePrintPreview();

private:
    // The pages of the job, each of that size, while its painter is open.
    void PrintEachPage(CDC* pDC, CPrintInfo* pInfo, CSize page);

    friend class CDocument;
    CDocument* m_pDocument = nullptr;
    bool m_bPaintFailed = false; // the last paint ran out of memory, and said so
};

// A view made of controls (Qt widgets that the subclass places on GetWidget() in its
// OnInitialUpdate); it draws nothing itself but the dialog-coloured background.
class CFormView : public CView
{
    VX_DECLARE_CLASS(CFormView)
public:
    explicit CFormView(UINT nIDTemplate = 0) : m_nIDTemplate(nIDTemplate) {}
    UINT GetTemplateID() const { return m_nIDTemplate; }
    void OnDraw(CDC*) override {}

protected:
    BOOL OnEraseBkgnd(CDC* pDC) override;

private:
    UINT m_nIDTemplate;
};
