#include "platform/View.h"

#include "platform/Dialog.h"
#include "platform/Document.h"
#include "platform/Frame.h"
#include "platform/Messages.h"
#include "platform/WinApp.h"
#include "platform/base/MemoryReserve.h"
#include "platform/base/NoMemory.h"

#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <memory>
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
    return ShowModal(
               [&] {
                   QPrintDialog dlg(printer, GetWidget());
                   dlg.setMinMax(int(pInfo->GetMinPage()), int(pInfo->GetMaxPage()));
                   return dlg.exec();
               },
               int(QDialog::Rejected)) == QDialog::Accepted;
}

namespace {
void EndPainter(QPainter& painter)
{
    if (g_printJobEndHook)
        g_printJobEndHook();
    painter.end();
}

// Ends the printer's job; false when memory ran out in its writing of the file, which then is
// ended again with the memory reserve given back, so that the printer is free for the next job.
// A painter that still cannot end is let go of, null, as it is: its destructor would end it
// again, where a failure has nowhere to go.
bool EndPrintJob(std::unique_ptr<QPainter>& painter) noexcept
{
    try {
        EndPainter(*painter);
        return true;
    } catch (const std::bad_alloc&) {
    }
    GiveBackMemoryReserve();
    try {
        EndPainter(*painter);
    } catch (const std::bad_alloc&) {
    }
    if (painter->isActive())
        vx::KeepForGood(painter.release());
    return false;
}

// A printer whose job could not be ended stays busy with it: the program's printer is replaced
// by a fresh one of the same settings, and the busy one is set aside (CWinApp::SetPrinter). Made
// while the memory reserve is given back; without memory even then, the next Print says that it
// cannot print.
void ReplaceBusyPrinter(const QPrinter* busy) noexcept
try {
    CWinApp* app = AfxGetApp();
    if (!app || app->GetPrinter() != busy)
        return;
    auto fresh = std::make_unique<QPrinter>(QPrinter::HighResolution);
    fresh->setOutputFormat(busy->outputFormat());
    if (busy->outputFormat() == QPrinter::NativeFormat)
        fresh->setPrinterName(busy->printerName());
    if (!busy->outputFileName().isEmpty())
        fresh->setOutputFileName(busy->outputFileName());
    fresh->setResolution(busy->resolution());
    fresh->setPageLayout(busy->pageLayout());
    fresh->setFullPage(busy->fullPage());
    fresh->setCopyCount(busy->copyCount());
    fresh->setColorMode(busy->colorMode());
    fresh->setDuplex(busy->duplex());
    fresh->setPageOrder(busy->pageOrder());
    fresh->setDocName(busy->docName());
    fresh->setCreator(busy->creator());
    app->SetPrinter(std::move(fresh));
} catch (const std::bad_alloc&) {
}

// A painter with a job begun on the printer, or null when none could begin: the user is told why.
std::unique_ptr<QPainter> BeginPrintJob(QPrinter* pPrinter)
{
    std::unique_ptr<QPainter> painter;
    bool begun = false;
    if (!TellIfNoMemory([&] {
            painter = std::make_unique<QPainter>();
            begun = painter->begin(pPrinter);
        })) {
        if (painter && painter->isActive())
            vx::KeepForGood(painter.release());
        return nullptr;
    }
    if (begun)
        return painter;
    AfxMessageBox("Unable to print.", MB_OK | MB_ICONEXCLAMATION);
    return nullptr;
}
} // namespace

void CView::PrintPages(QPrinter* pPrinter, CPrintInfo* pInfo)
{
    auto painter = BeginPrintJob(pPrinter);
    if (!painter)
        return;
    pInfo->m_pPrinter = pPrinter;
    bool printed = true;
    {
        CDC dc;
        dc.AttachPrinter(pPrinter, painter.get());
        // A page at the printer's resolution may need more memory than there is, and so may the
        // printer's writing of the file at the end: the job is given up there, its file removed
        // and the user told.
        try {
            OnBeginPrinting(&dc, pInfo);
            const QRect page = pPrinter->pageLayout().paintRectPixels(pPrinter->resolution());
            PrintEachPage(&dc, pInfo, CSize(page.width(), page.height()));
        } catch (const std::bad_alloc&) {
            printed = false;
        }
        OnEndPrinting(&dc, pInfo);
    }
    if (!printed)
        pPrinter->abort();
    printed = EndPrintJob(painter) && printed;
    if (printed)
        return;
    if (!pPrinter->outputFileName().isEmpty())
        QFile::remove(pPrinter->outputFileName());
    if (!painter)
        ReplaceBusyPrinter(pPrinter);
    TellNoMemory();
}

void CView::PrintEachPage(CDC* pDC, CPrintInfo* pInfo, CSize page)
{
    for (UINT n = pInfo->GetMinPage(); n <= pInfo->GetMaxPage(); ++n) {
        pInfo->m_nCurPage = n;
        OnPrepareDC(pDC, pInfo);
        if (!pInfo->m_bContinuePrinting)
            break;
        if (n > pInfo->GetMinPage())
            pInfo->m_pPrinter->newPage();
        pInfo->m_rectDraw = CRect(0, 0, page.cx, page.cy);
        OnPrint(pDC, pInfo);
    }
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
    ShowModal(
        [&] {
            QPrintPreviewDialog dlg(info.m_pPrinter, GetWidget());
            QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested,
                             [this, &info](QPrinter* p) {
                                 CPrintInfo job = info;
                                 PrintPages(p, &job);
                             });
            return RunModalLoop(dlg);
        },
        0);
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
