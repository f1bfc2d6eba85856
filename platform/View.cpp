#include "platform/View.h"

#include "platform/Document.h"
#include "platform/Frame.h"
#include "platform/Messages.h"
#include "platform/WinApp.h"
#include "platform/base/NoMemory.h"

#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <new>
#include <utility>

VX_IMPLEMENT_ABSTRACT(CView, CWnd)
VX_IMPLEMENT_CLASS(CFormView, CView)

CView::CView()
{
    MapCommand(ID_FILE_PRINT, &CView::OnFilePrint);
    MapCommand(ID_FILE_PRINT_DIRECT, &CView::OnFilePrintDirect);
    MapCommand(ID_FILE_PRINT_PREVIEW, &CView::OnFilePrintPreview);
}

CView::~CView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

BOOL CView::Create(const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle,
                   const CRect& rect, CWnd* pParentWnd, UINT nID, CCreateContext* pContext)
{
    if (!CWnd::Create(lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID, pContext))
        return FALSE;
    if (pContext && pContext->m_pCurrentDoc)
        pContext->m_pCurrentDoc->AddView(this);
    return TRUE;
}

void CView::OnInitialUpdate()
{
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, LPARAM, CObject*)
{
    Invalidate(TRUE);
}

void CView::OnActivateView(BOOL, CView*, CView*)
{
}

void CView::OnPrepareDC(CDC*, CPrintInfo* pInfo)
{
    if (pInfo)
        pInfo->m_bContinuePrinting = pInfo->m_nCurPage <= pInfo->GetMaxPage();
}

BOOL CView::OnPreparePrinting(CPrintInfo* pInfo)
{
    return DoPreparePrinting(pInfo);
}

void CView::OnBeginPrinting(CDC*, CPrintInfo*)
{
}

void CView::OnPrint(CDC* pDC, CPrintInfo*)
{
    OnDraw(pDC);
}

void CView::OnEndPrinting(CDC*, CPrintInfo*)
{
}

BOOL CView::DoPreparePrinting(CPrintInfo* pInfo)
{
    QPrinter* printer = AfxGetApp() ? AfxGetApp()->GetPrinter() : pInfo->m_pPrinter;
    pInfo->m_pPrinter = printer;
    if (!printer)
        return FALSE;
    if (pInfo->m_bPreview || pInfo->m_bDirect)
        return TRUE;
    QPrintDialog dlg(printer, GetWidget());
    dlg.setMinMax(int(pInfo->GetMinPage()), int(pInfo->GetMaxPage()));
    return dlg.exec() == QDialog::Accepted;
}

void CView::PrintPages(QPrinter* pPrinter, CPrintInfo* pInfo)
{
    QPainter painter;
    if (!painter.begin(pPrinter))
        return;
    pInfo->m_pPrinter = pPrinter;
    CDC dc;
    dc.AttachPrinter(pPrinter, &painter);
    OnBeginPrinting(&dc, pInfo);
    const QRect page = pPrinter->pageLayout().paintRectPixels(pPrinter->resolution());
    // A page at the printer's resolution may need more memory than there is: the job is given
    // up there, and the user told.
    const bool printed = TellIfNoMemory([&] {
        for (UINT n = pInfo->GetMinPage(); n <= pInfo->GetMaxPage(); ++n) {
            pInfo->m_nCurPage = n;
            OnPrepareDC(&dc, pInfo);
            if (!pInfo->m_bContinuePrinting)
                break;
            if (n > pInfo->GetMinPage())
                pPrinter->newPage();
            pInfo->m_rectDraw = CRect(0, 0, page.width(), page.height());
            OnPrint(&dc, pInfo);
        }
    });
    OnEndPrinting(&dc, pInfo);
    if (!printed)
        pPrinter->abort();
    painter.end();
    // A job printed to a file leaves no piece of it when it was given up.
    if (!printed && !pPrinter->outputFileName().isEmpty())
        QFile::remove(pPrinter->outputFileName());
}

void CView::OnFilePrint()
{
    CPrintInfo info;
    if (OnPreparePrinting(&info) && info.m_pPrinter)
        PrintPages(info.m_pPrinter, &info);
}

void CView::OnFilePrintDirect()
{
    CPrintInfo info;
    info.m_bDirect = TRUE;
    if (OnPreparePrinting(&info) && info.m_pPrinter)
        PrintPages(info.m_pPrinter, &info);
}

void CView::OnFilePrintPreview()
{
    CPrintInfo info;
    info.m_bPreview = TRUE;
    if (!OnPreparePrinting(&info) || !info.m_pPrinter)
        return;
    QPrintPreviewDialog dlg(info.m_pPrinter, GetWidget());
    QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, [this, &info](QPrinter* p) {
        CPrintInfo job = info;
        PrintPages(p, &job);
    });
    dlg.exec();
}

bool CView::OnCmdMsg(UINT nID, CmdKind kind, CCmdUI* pCmdUI)
{
    if (CCmdTarget::OnCmdMsg(nID, kind, pCmdUI))
        return true;
    return m_pDocument && m_pDocument->OnCmdMsg(nID, kind, pCmdUI);
}

LRESULT CView::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITIALUPDATE) {
        OnInitialUpdate();
        return 0;
    }
    return CWnd::DefWindowProc(msg, wParam, lParam);
}

namespace {
// After the paint: a message box inside it would paint again.
void TellNoMemoryLater() noexcept
{
    try {
        PostToUiThread([] { AfxMessageBox(kNoMemoryText, MB_OK | MB_ICONEXCLAMATION); });
    } catch (...) {
    }
}
} // namespace

void CView::OnPaint()
{
    CPaintDC dc(this);
    OnPrepareDC(&dc);
    // A picture as large as the window may need more memory than there is: it stays as far as
    // it was drawn, and the user is told once until a paint succeeds again.
    try {
        OnDraw(&dc);
        m_bPaintFailed = false;
    } catch (const std::bad_alloc&) {
        if (!std::exchange(m_bPaintFailed, true))
            TellNoMemoryLater();
    }
}

void CView::OnDestroy()
{
    if (CFrameWnd* f = GetParentFrame())
        if (f->GetActiveView() == this)
            f->SetActiveView(nullptr, FALSE);
}

void CView::PostNcDestroy()
{
    delete this;
}

BOOL CFormView::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    pDC->GetClipBox(&rc);
    pDC->FillSolidRect(&rc, GetSysColor(COLOR_BTNFACE));
    return TRUE;
}
