#include "views/graph/TableView.h"

#include "model/CommandIds.h"
#include "model/ViewKinds.h"
#include "model/core/KindVars.h"
#include "platform/Frame.h"
#include "platform/Messages.h"
#include "platform/WinApp.h"

#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>
#include <cstring>

VX_IMPLEMENT_CLASS(CTableView, CFormView)
VX_IMPLEMENT_CLASS(CSys1Tab, CTableView)
VX_IMPLEMENT_CLASS(CSys1NNTab, CTableView)
VX_IMPLEMENT_CLASS(CSys2Tab, CTableView)
VX_IMPLEMENT_CLASS(CSys3Tab, CTableView)

namespace {
// Closes the view's frame after the update that found no table has finished.
constexpr UINT WM_TABLE_CLOSE_FRAME = WM_APP + 0x590;

std::unique_ptr<CFont> CourierFont(int height, bool underline)
{
    LOGFONT lf;
    lf.lfHeight = height;
    lf.lfUnderline = underline ? 1 : 0;
    std::strcpy(lf.lfFaceName, "Courier");
    auto font = std::make_unique<CFont>();
    font->CreateFontIndirect(&lf);
    return font;
}
} // namespace

CTableView::CTableView(SystemKind kind) : m_kind(kind)
{
    MapMessage(WM_TABLE_GOTO_ROW, &CTableView::OnTableGotoRow);
    MapMessage(WM_TABLE_CLOSE_FRAME, &CTableView::OnCloseFrame);
}

CTableView::~CTableView() = default;

void CTableView::OnDestroy()
{
    // Plots post nothing more to a window that is going.
    if (IModelDocument* m = m_count.Model(); m && m->TableViewWindow() == GetSafeHwnd())
        m->SetTableViewWindow(nullptr);
    CKindView<CFormView>::OnDestroy();
}

void CTableView::OnInitialUpdate()
{
    m_hFontList = CourierFont(12, true);
    m_hFontHeading = CourierFont(12, false);
    m_hFontPrint = CourierFont(-10, true);
    CreateControls();
    CountOpenView();
    if (IModelDocument* m = m_count.Model())
        m->SetTableViewWindow(GetSafeHwnd());
    CFormView::OnInitialUpdate();
}

void CTableView::CreateControls()
{
    QWidget* w = GetWidget();
    auto button = [w](const char* text, QRect r) {
        auto* b = new QPushButton(QString::fromLatin1(text), w);
        // Never narrower than its text with the style's margins.
        r.setWidth(std::max(r.width(), b->fontMetrics().horizontalAdvance(b->text()) + 12));
        b->setGeometry(r);
        b->show();
        return b;
    };
    m_btnUp = button("Up", {16, 21, 33, 23});
    m_btnDown = button("Down", {16, 50, 33, 23});
    m_btnPrint = button("Print", {16, 107, 35, 23});
    m_stHeading = new QLabel(w);
    m_stHeading->setFont(m_hFontHeading->GetQFont());
    m_stHeading->show();
    m_list = new QListWidget(w);
    m_list->setFont(m_hFontList->GetQFont());
    m_list->setUniformItemSizes(true);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->show();
    QObject::connect(m_btnUp, &QPushButton::clicked, m_list, [this] { OnPageUp(); });
    QObject::connect(m_btnDown, &QPushButton::clicked, m_list, [this] { OnPageDown(); });
    QObject::connect(m_btnPrint, &QPushButton::clicked, m_list, [this] { OnPrintButton(); });
    QObject::connect(m_list, &QListWidget::itemDoubleClicked, m_list, [this] {
        if (m_kind == SystemKind::Newtonian)
            ShowRowDetails(m_list->currentRow());
    });
}

// --- refresh, pages --------------------------------------------------------------------------

void CTableView::OnUpdate(CView*, LPARAM, CObject*)
{
    IModelDocument* pModel = GetModel();
    if (!pModel || !m_list)
        return;
    const CModelCore& s = pModel->Core();
    // The table does not follow a run; the run's end brings it up to date.
    if (s.m_bRunning)
        return;
    if (!s.m_bHaveImport && !s.m_bTableValid) {
        PostMessage(WM_TABLE_CLOSE_FRAME);
        return;
    }
    Refresh();
}

LRESULT CTableView::OnCloseFrame(WPARAM, LPARAM)
{
    const IModelDocument* pModel = GetModel();
    if (pModel && !pModel->Core().m_bHaveImport && !pModel->Core().m_bTableValid)
        if (CFrameWnd* pFrame = GetParentFrame())
            pFrame->DestroyWindow();
    return 0;
}

TableRows CTableView::Rows(const CTableReadLock& lock) const
{
    const CModelCore& s = GetModel()->Core();
    return s.m_nTableSource == 1 ? ImportedRows(s, m_columns)
                                 : ComputedRows(s, lock.Ring(), m_columns);
}

void CTableView::Refresh()
{
    const CModelCore& s = GetModel()->Core();
    m_columns = ShownTableColumns(m_kind, s);
    m_strHeading = TableHeading(m_columns);
    Layout();
    {
        const CTableReadLock lock = GetModel()->LockTable();
        m_nCount = Rows(lock).count;
    }
    m_nLastPage = Paging().LastPage();
    m_nLastPageRows = Paging().LastPageRows();
    m_nPage = 0;
    m_nSelRow = 0;
    ShowPage(0);
}

std::string CTableView::Caption(int nPage) const
{
    const CModelCore& s = GetModel()->Core();
    return s.m_strFileName + " Data Table" + (s.m_nTableSource == 1 ? "(Imported)" : "") +
           (m_kind == SystemKind::Newtonian ? "  Page " : " Page ") + std::to_string(nPage + 1);
}

void CTableView::ShowPage(int nPage)
{
    if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->SetWindowText(Caption(nPage));
    FillPage();
}

void CTableView::FillPage()
{
    m_btnUp->setEnabled(m_nPage > 0);
    m_btnDown->setEnabled(m_nPage < m_nLastPage);
    QStringList lines;
    {
        // A click in a plot may bring a page during a run, which writes the columns.
        const CTableReadLock lock = GetModel()->LockTable();
        TableRows rows = Rows(lock);
        rows.count = std::min(rows.count, m_nCount);
        const int n = Paging().RowsOn(m_nPage);
        const int first = m_nPage * m_nRowsPerPage;
        for (int i = 0; i < n; ++i)
            lines.push_back(QString::fromLatin1(TableRowText(rows, first + i, m_columns)));
    }
    // The page's lines take the places of the last page's, so a page change builds no items.
    m_list->setUpdatesEnabled(false);
    while (m_list->count() > lines.size())
        delete m_list->takeItem(m_list->count() - 1);
    for (int i = 0; i < lines.size(); ++i) {
        if (i < m_list->count())
            m_list->item(i)->setText(lines[i]);
        else
            m_list->addItem(lines[i]);
    }
    m_list->setUpdatesEnabled(true);
    if (QListWidgetItem* item = m_list->item(std::min(m_nSelRow, m_list->count() - 1))) {
        m_list->setCurrentItem(item);
        m_list->scrollToItem(item, QAbstractItemView::PositionAtTop);
    }
}

void CTableView::OnPageUp()
{
    if (m_nPage <= 0)
        return;
    --m_nPage;
    m_nSelRow = m_nRowsPerPage - 1;
    ShowPage(m_nPage);
}

void CTableView::OnPageDown()
{
    if (m_nPage >= m_nLastPage)
        return;
    ++m_nPage;
    m_nSelRow = 0;
    ShowPage(m_nPage);
}

LRESULT CTableView::OnTableGotoRow(WPARAM wParam, LPARAM)
{
    if (m_nCount <= 0 || !m_list)
        return 0;
    // A row past the stored ones (a click right of the run's end) is the last row.
    const int row = static_cast<int>(std::min<WPARAM>(wParam, WPARAM(m_nCount - 1)));
    m_nPage = row / m_nRowsPerPage;
    m_nSelRow = row % m_nRowsPerPage;
    ShowPage(m_nPage);
    return 0;
}

// --- layout, activation, help ----------------------------------------------------------------

void CTableView::Layout()
{
    if (!m_list)
        return;
    m_stHeading->setText(QString::fromLatin1(m_strHeading));
    const QFontMetrics fm(m_hFontList->GetQFont());
    const int cx = fm.horizontalAdvance(QString::fromLatin1(m_strHeading));
    const int cy = fm.height();
    CRect rc;
    GetClientRect(&rc);
    m_stHeading->setGeometry(79, 3, cx + 20, cy);
    m_list->setGeometry(83, 16, cx + 20, std::max(rc.Height() - 30, 0));
}

void CTableView::OnSize(UINT nType, int cx, int cy)
{
    CFormView::OnSize(nType, cx, cy);
    Layout();
}

// --- printing ----------------------------------------------------------------------------------

BOOL CTableView::OnPreparePrinting(CPrintInfo* pInfo)
{
    // The Print button prints the page on screen; File/Print offers every page.
    if (pInfo->m_bDirect) {
        pInfo->SetMinPage(m_nPage + 1);
        pInfo->SetMaxPage(m_nPage + 1);
    } else {
        pInfo->SetMaxPage(m_nLastPage + 1);
    }
    return DoPreparePrinting(pInfo);
}

void CTableView::OnPrintButton()
{
    ExecuteCommand(ID_FILE_PRINT_DIRECT);
}

void CTableView::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
    const int page = static_cast<int>(pInfo->m_nCurPage) - 1;
    std::vector<std::string> lines;
    {
        const CTableReadLock lock = GetModel()->LockTable();
        TableRows rows = Rows(lock);
        rows.count = std::min(rows.count, m_nCount);
        const int n = Paging().RowsOn(page);
        for (int i = 0; i < n; ++i)
            lines.push_back(TableRowText(rows, page * m_nRowsPerPage + i, m_columns, true));
    }
    CFont* pOldFont = pDC->SelectObject(m_hFontPrint.get());
    pDC->SetMapMode(MM_ANISOTROPIC);
    const int horz = pDC->GetDeviceCaps(HORZRES), vert = pDC->GetDeviceCaps(VERTRES);
    // An empty page measures its heading instead of a first row.
    const CSize row = pDC->GetTextExtent(lines.empty() ? m_strHeading : lines.front());
    const CSize tmpl = pDC->GetTextExtent("|XXXXXXXXXX XXXXXXXXXX XXXXXXXXXX XXXXXXXXXX XXXXXXXXXX "
                                          "XXXXXXXXXX XXXXXXXXXX|");
    pDC->SetWindowExt(tmpl.cx, (m_nRowsPerPage + 3) * tmpl.cy);
    pDC->SetViewportExt(horz, vert);
    const int h = std::max((tmpl.cx - row.cx) / 2, 0);
    const int lineH = row.cy;
    const int v = ((63 - m_nRowsPerPage) * lineH) / 2;

    std::string title = GetParentFrame() ? GetParentFrame()->GetWindowText() : "";
    if (const auto dash = title.find('-'); dash != std::string::npos)
        title.erase(dash);
    pDC->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextAlign(TA_CENTER | TA_TOP);
    pDC->TextOut(tmpl.cx / 2, v, title + "- Page " + std::to_string(page + 1));
    pDC->SetTextAlign(TA_LEFT | TA_TOP);
    pDC->TextOut(h, v + 2 * lineH, m_strHeading);
    for (std::size_t i = 0; i < lines.size(); ++i)
        pDC->TextOut(h, v + 3 * lineH - 2 + static_cast<int>(i) * (lineH - 2), lines[i]);
    pDC->SelectObject(pOldFont);
    CFormView::OnPrint(pDC, pInfo);
}

// --- row details -------------------------------------------------------------------------------

void CTableView::ShowRowDetails(int nRow)
{
    CModelCore& s = GetModel()->Core();
    if (s.m_nTableSource == 1 || nRow < 0)
        return;
    const int row = m_nPage * m_nRowsPerPage + nRow;
    double t, x, xp, xpp, xDelayed;
    {
        // During a run the row may be the running calculation's.
        const CTableReadLock lock = GetModel()->LockTable();
        const TableRows rows = Rows(lock);
        if (row >= std::min(rows.count, m_nCount))
            return;
        const int r = rows.DataIndex(row);
        const auto& c = s.m_arrTable;
        t = c[kSlotT][r];
        x = c[kSlotX][r];
        xp = c[kSlotXp][r];
        xpp = c[kSlotXpp][r];
        xDelayed = r - s.m_nXDelay >= 0 ? c[kSlotX][r - s.m_nXDelay] : x;
    }
    CParser& p = *s.m_pParser;
    p.m_dT = t;
    p.m_dX = x;
    p.m_dXPrime = xp;
    p.m_dXDelayed = xDelayed;
    const int list = std::exchange(p.m_nList, 0); // lex the texts, record nothing
    int status = 0;
    const double applied = s.EvaluateExpression(s.m_strAppliedForce, &status, 1);
    const double restoring = s.EvaluateExpression(s.m_strRestoringForce, &status, 1);
    const double drag = s.EvaluateExpression(s.m_strDragForce, &status, 1);
    p.m_nList = list;
    AfxMessageBox("System Details\n\nThe following values apply at time=" + FormatG6(t) +
                      ".\nThe displacement x = " + FormatG6(x) + ".\nThe velocity x' = " +
                      FormatG6(xp) + ".\nThe acceleration x'' = " + FormatG6(xpp) +
                      ".\nThe applied force = " + FormatG6(applied) + ".\nThe restoring force = " +
                      FormatG6(restoring) + ".\nThe drag force = " + FormatG6(drag) + ".",
                  MB_OK);
}
