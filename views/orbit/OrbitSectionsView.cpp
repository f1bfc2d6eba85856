#include "views/orbit/OrbitSectionsView.h"

#include "model/core/KindVars.h"
#include "model/core/ModelCore.h"
#include "platform/base/MessageHook.h"
#include "views/base/PlotShared.h"
#include "views/dialogs/PlotStyleDlg.h"
#include "views/orbit/OrbitRules.h"
#include "views/rows/PlotText.h"

#include <limits>

VX_IMPLEMENT_ABSTRACT(COrbitSectionsView, CCylinderView)
VX_IMPLEMENT_CLASS(CSys1PSOC, COrbitSectionsView)
VX_IMPLEMENT_CLASS(CSys1NNPSOC, COrbitSectionsView)
VX_IMPLEMENT_CLASS(CSys2PSOC, COrbitSectionsView)

namespace {
constexpr int kSquare = 15; // legend squares, pixels
constexpr int kImportedItem = 16;

Plot3DDescription SectionsPlot(SystemKind kind)
{
    Plot3DDescription d = CylinderDescription(kViewOrbitSections, kind);
    d.redrawHints.push_back(HINT_PLOT_STYLE);
    return d;
}

// The rows of a table that are section points, with their sections; a wrapped ring counts its
// cycles from its first row on the section phase and has none without one.
template <class Visit>
void WalkTableSections(const RingSpan& ring, const CModelCore& s, bool search, int n, Visit visit)
{
    const SectionRule rule = SectionRuleOf(s);
    int first = 0;
    if (search) {
        const SectionRows rows = rule.Find(ring);
        if (ring.wrapped && !rows.onPhase)
            return;
        first = rows.first;
    }
    WalkSectionPoints(ring, first, rule.stride, n, visit);
}
} // namespace

COrbitSectionsView::COrbitSectionsView(SystemKind kind) : CCylinderView(SectionsPlot(kind), kind)
{
    MapControl(IDC_PSOC_SECTIONS, EN_MAXTEXT, &COrbitSectionsView::OnEnMaxtextPsocSections);
    MapControl(IDC_PSOC_SECTIONS_BUDDY, EN_CHANGE,
               &COrbitSectionsView::OnEnChangePsocSectionsBuddy);
    for (int item = 0; item < 2 * kImportedItem; ++item)
        if (item % kImportedItem < kMaxSections)
            m_legend.Add(kRunItems + item, [this, item] { EditSectionColour(item); });
}

// The up-down and the "# Secs" edit in the top left corner, the hidden buddy behind them.
void COrbitSectionsView::OnInitialUpdate()
{
    CCylinderView::OnInitialUpdate();
    IModelDocument* m = GetModel();
    m_nSections = ClampSections(m ? m->Core().m_nOrbitSections : 6);
    const int h = 20;
    m_spin.Create(WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                  CRect(0, 0, 21, h), this, IDC_PSOC_SECTIONS_SPIN);
    const int w = 21;
    m_sectionsEdit.Create(WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_WANTRETURN,
                          CRect(w, 0, w + 36, h), this, IDC_PSOC_SECTIONS);
    m_sectionsEdit.MoveWindow(CRect(w, 0, w + m_sectionsEdit.GetTextExtent("888").cx + 8, h));
    m_buddyEdit.Create(0, CRect(w, 0, w + 36, h), this, IDC_PSOC_SECTIONS_BUDDY);
    m_spin.SetBuddy(&m_buddyEdit);
    m_spin.SetRange(kMinSections, kMaxSections);
    const std::string n = FormatNumber(m_nSections, 0);
    m_sectionsEdit.SetWindowText(n);
    m_buddyEdit.SetWindowText(n);
    m_spin.GetPos();
}

void COrbitSectionsView::OnEnMaxtextPsocSections()
{
    const std::optional<int> n = ParseSections(m_sectionsEdit.GetWindowText());
    if (!n) {
        ShowMessageBox("Please enter an integer from 2 to 15");
        m_sectionsEdit.SetFocus();
        m_sectionsEdit.SetSel(0, -1);
        return;
    }
    m_buddyEdit.SetWindowText(FormatNumber(*n, 0)); // the buddy's change takes it
    m_spin.GetPos();
}

void COrbitSectionsView::OnEnChangePsocSectionsBuddy()
{
    long long typed = 0;
    if (!ReadLeadingInteger(m_buddyEdit.GetWindowText(), typed))
        return;
    const int n = ClampSections(static_cast<int>(std::clamp<long long>(typed, -1, 99)));
    const std::string text = FormatNumber(n, 0);
    if (m_sectionsEdit.GetWindowText() != text)
        m_sectionsEdit.SetWindowText(text);
    TakeSections(n);
}

// The count goes to the model (kept in its file) and the points and legend are drawn again.
void COrbitSectionsView::TakeSections(int n)
{
    IModelDocument* m = GetModel();
    if (m && m->Core().m_nOrbitSections != n) {
        m->Core().m_nOrbitSections = n;
        m->MarkModified();
    }
    m_nSections = n;
    PlaceLegendItems(); // a click before the repaint finds the new count's squares
    InvalidateSections();
}

CRect COrbitSectionsView::LegendArea() const
{
    return CRect(m_rcPlot.right, m_nLegendTop, m_rcPlot.right + m_nMarginRight, m_rcPlot.bottom);
}

void COrbitSectionsView::InvalidateSections()
{
    InvalidateRect(&m_rcPlotHit, TRUE);
    const CRect legend = LegendArea();
    InvalidateRect(&legend, TRUE);
}

// --- the points ----------------------------------------------------------------------------

void COrbitSectionsView::DrawRun(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    const CTableReadLock lock(s); // a run may be writing the columns
    const TableRing& r = lock.Ring();
    const MappedColumns c = MapColumns(s.m_arrTable, s.m_nTableRows);
    if (c.t)
        PlotTableSections(pDC, c, {c.t, s.m_nTableRows, r.index, r.count, r.wrapped}, true,
                          s.m_clrSection);
}

// The imported rows from their first, never wrapped, with the run's rows per cycle.
void COrbitSectionsView::DrawImportedRun(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    const int rows = s.m_nImportRows;
    const MappedColumns c = MapColumns(s.m_arrImport, rows);
    if (c.t && rows > 0)
        PlotTableSections(pDC, c, {c.t, rows, 0, rows, false}, false, s.m_clrSectionImport);
}

// The section points of a table's rows inside the plot, each in its section's colour.
void COrbitSectionsView::PlotTableSections(CDC* pDC, const MappedColumns& c, const RingSpan& ring,
                                           bool search, const COLORREF* colours)
{
    const C3DProjection proj = Projection();
    AngleTurner turner;
    WalkTableSections(ring, GetModel()->Core(), search, m_nSections, [&](int row, int k) {
        CPoint p;
        if (c.Pixel(*this, proj, row, p, &turner) && m_rcPlotHit.PtInRect(p))
            pDC->SetPixel(p.x, p.y, colours[k]);
    });
}

// A live row's cycle place is its sequence number, the run's first row starting a cycle.
void COrbitSectionsView::DrawNewSample(int nRow)
{
    const CModelCore& s = GetModel()->Core();
    const SectionRule rule = SectionRuleOf(s);
    const int k = SectionOfCycleRow(rule.CyclePlace(s.m_nTableCount), rule.stride, m_nSections);
    if (k < 0)
        return;
    const CTableReadLock lock(s); // a run lets the table go while its row is drawn
    const MappedColumns c = MapColumns(s.m_arrTable, s.m_nTableRows);
    CPoint p;
    if (nRow < 0 || nRow >= s.m_nTableRows || !c.t || !c.Pixel(*this, nRow, p) ||
        !m_rcPlotHit.PtInRect(p))
        return;
    m_live.DC(this).SetPixel(p.x, p.y, s.m_clrSection[k]);
    m_live.Touch(CRect(p.x, p.y, p.x + 1, p.y + 1));
    m_live.Show(this);
}

// --- texts and legend ----------------------------------------------------------------------

void COrbitSectionsView::DrawMargins(CDC* pDC)
{
    CCylinderView::DrawMargins(pDC);
    if (pDC->IsPrinting())
        return; // the controls and the legend are the screen's
    DrawLegend(pDC);
    CFont* pOldFont = m_hFont ? pDC->SelectObject(m_hFont.get()) : nullptr;
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    pDC->SetTextAlign(TA_LEFT | TA_TOP);
    pDC->TextOut(0, 20, "# Secs");
    if (pOldFont)
        pDC->SelectObject(pOldFont);
}

// "Internal:" over a column of numbered squares in the sections' colours right of the plot,
// and with imported data "Imported:" over a second column.
void COrbitSectionsView::DrawLegend(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    CFont* pOldFont = m_hFontDown ? pDC->SelectObject(m_hFontDown.get()) : nullptr;
    m_nLegendLeft = m_rcPlot.right + 1;
    m_nLegendTop = m_rcPlot.top + MeasureText(pDC, "Imported:  ").cx;
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
    pDC->TextOut(m_rcPlot.right, m_rcPlot.top, "Internal:");
    DrawLegendColumn(pDC, m_nLegendLeft, s.m_clrSection);
    PlaceLegendItems();
    if (s.m_bHaveImport) {
        pDC->SetBkMode(TRANSPARENT);
        pDC->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
        pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
        pDC->TextOut(m_rcPlot.right + m_nTextHeight, m_rcPlot.top, "Imported:");
        DrawLegendColumn(pDC, m_nLegendLeft + kSquare, s.m_clrSectionImport);
    }
    pDC->SetBkMode(TRANSPARENT);
    if (pOldFont)
        pDC->SelectObject(pOldFont);
}

void COrbitSectionsView::DrawLegendColumn(CDC* pDC, int left, const COLORREF* colours)
{
    pDC->SetBkMode(OPAQUE);
    pDC->SetTextAlign(TA_CENTER | TA_BOTTOM);
    for (int k = 0; k < m_nSections; ++k) {
        const CRect square(left, m_nLegendTop + kSquare * k, left + kSquare,
                           m_nLegendTop + kSquare * (k + 1));
        pDC->FillSolidRect(&square, colours[k]);
        pDC->SetBkColor(colours[k]);
        pDC->SetTextColor(colours[k] ^ 0xFFFFFF);
        pDC->TextOut(square.left, (square.top + square.bottom) / 2, FormatNumber(k + 1, 0));
    }
}

// Row k of the squares edits section k's colour, and right of the internal column its imported
// colour, also when no imported data are shown.
void COrbitSectionsView::PlaceLegendItems()
{
    const int left = m_nLegendLeft;
    if (left <= 0)
        return; // not drawn yet
    for (int k = 0; k < kMaxSections; ++k) {
        const int top = m_nLegendTop + kSquare * k, bottom = top + kSquare;
        if (k < m_nSections) {
            m_legend.Place(kRunItems + k, CRect(left, top, left + kSquare, bottom));
            m_legend.Place(kRunItems + kImportedItem + k,
                           CRect(left + kSquare, top, std::numeric_limits<int>::max(), bottom));
        } else {
            m_legend.Hide(kRunItems + k);
            m_legend.Hide(kRunItems + kImportedItem + k);
        }
    }
}

// The colour dialog starts at the section's colour (an imported one's at its internal twin's).
void COrbitSectionsView::EditSectionColour(int item)
{
    IModelDocument* m = GetModel();
    if (!m || item < 0 || item >= 2 * kImportedItem || item % kImportedItem >= kMaxSections)
        return;
    CModelCore& s = m->Core();
    const int k = item % kImportedItem;
    const std::optional<COLORREF> c = CPlotStyleDlg::s_pickColor(s.m_clrSection[k], GetWidget());
    if (!c)
        return;
    (item < kImportedItem ? s.m_clrSection : s.m_clrSectionImport)[k] = *c;
    RedrawWindow();
    m->MarkModified();
}
