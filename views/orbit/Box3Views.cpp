#include "views/orbit/Box3Views.h"

#include "model/core/KindVars.h"
#include "model/core/ModelCore.h"
#include "views/base/MarginTexts.h"
#include "views/orbit/OrbitPens.h"
#include "views/orbit/OrbitTexts.h"
#include "views/rows/PlotText.h"

VX_IMPLEMENT_ABSTRACT(CBox3View, C3DView)
VX_IMPLEMENT_CLASS(CSys3PS, CBox3View)
VX_IMPLEMENT_CLASS(CSys3PSP, CBox3View)

namespace {
// t 50 pixels above the plot's bottom, x, y, z at its top and their rates at its middle, one
// text height apart from the window's right edge.
const std::vector<CursorReadout> kReadouts = {{kSlotT, 0, 2}, {kSlotX, 0, 0},  {kSlotY, 1, 0},
                                              {kSlotZ, 2, 0}, {kSlotXp, 0, 1}, {kSlotYp, 1, 1},
                                              {kSlotZp, 2, 1}};

Plot3DDescription Box3Plot(ModelView view)
{
    const bool section = view == kViewPoincareSection;
    Plot3DDescription d;
    d.block = section ? LimitBlock::PoincareSection3 : LimitBlock::ProjectedOrbit3;
    d.columns = {kSlotX, kSlotY, kSlotZ};
    d.key = {view, SystemKind::ThreeVariable};
    d.commands = k3DZoom | k3DReset;
    d.angleSlot = section ? 3 : 0;
    d.pan = section ? &CModelSettings::m_ptPS3View : &CModelSettings::m_ptPSPView;
    d.title = section ? " Poincar\xE9 Section" : " Projected Orbit";
    d.redrawHints = {section ? HINT_PS_LIMITS : HINT_PO_LIMITS};
    d.cursor.readouts = kReadouts;
    if (section) {
        d.color = &CModelSettings::m_clrPS;
        d.points = d.sections = true;
        d.importPen = 4;
        d.legend = " r ";
        d.cursor.wrap = CursorWrap::Section;
        d.cursor.color = &CModelSettings::m_clrPS;
        d.cursor.importItem = 4;
        return d;
    }
    UseProjectedOrbitPens(d);
    d.importPen = 0;
    d.importMarkPen = 1;
    d.legend = " s ";
    d.cursor.wrap = CursorWrap::Array;
    d.cursor.color = &CModelSettings::m_clrPO;
    d.cursor.importItem = 0;
    return d;
}
} // namespace

CBox3View::CBox3View(ModelView view)
    : C3DView(Box3Plot(view)), m_bSection(view == kViewPoincareSection)
{
    MapControl(IDC_SHOW_CELL, BN_CLICKED, &CBox3View::OnShowCell);
}

CSys3PS::CSys3PS() : CBox3View(kViewPoincareSection)
{
}

CSys3PSP::CSys3PSP() : CBox3View(kViewProjectedOrbit)
{
}

BOOL& CBox3View::ShowCell() const
{
    CModelSettings& s = GetModel()->Core();
    return m_bSection ? s.m_bShowCellPS : s.m_bShowCellPSP;
}

void CBox3View::OnInitialUpdate()
{
    C3DView::OnInitialUpdate();
    m_showCell.Create("", WS_VISIBLE | BS_CHECKBOX, CRect(2, 0, 16, 16), this, IDC_SHOW_CELL);
    if (GetModel())
        m_showCell.SetCheck(ShowCell() == 1 ? BST_CHECKED : BST_UNCHECKED);
}

// The box's edges come and go with the check; the flag is kept in the model file.
void CBox3View::OnShowCell()
{
    if (!GetModel())
        return;
    BOOL& flag = ShowCell();
    flag = flag == 1 ? 0 : 1;
    m_showCell.SetCheck(flag);
    InvalidateRect(&m_rcPlotHit, TRUE);
    UpdateWindow();
}

// A rate's digits follow its running range (4 while the run has none).
void CBox3View::TakeSettings(const CModelCore& s)
{
    C3DView::TakeSettings(s);
    m_nDigitsX = DigitsForRange(m_dXHi - m_dXLo);
    m_nDigitsY = DigitsForRange(m_dYHi - m_dYLo);
    m_nDigitsZ = DigitsForRange(m_dZHi - m_dZLo);
    m_nDigitsXp = DigitsForRange(s.m_dMaxXp - s.m_dMinXp);
    m_nDigitsYp = DigitsForRange(s.m_dMaxYp - s.m_dMinYp);
    m_nDigitsZp = DigitsForRange(s.m_dMaxZp - s.m_dMinZp);
    m_nDigitsT = DigitsForRange(s.RunStep());
}

int CBox3View::CursorDigits(int column) const
{
    switch (column) {
    case kSlotT:
        return m_nDigitsT;
    case kSlotX:
        return m_nDigitsX;
    case kSlotY:
        return m_nDigitsY;
    case kSlotZ:
        return m_nDigitsZ;
    case kSlotXp:
        return m_nDigitsXp;
    case kSlotYp:
        return m_nDigitsYp;
    default:
        return m_nDigitsZp;
    }
}

// The axes, and the box's edges while "Show Cell?" is checked.
void CBox3View::DrawScene(CDC* pDC, bool bFull)
{
    DrawAxes(pDC);
    if (ShowCell() == 1)
        DrawBox(pDC);
    const CModelCore& s = GetModel()->Core();
    if (bFull && (!s.m_bPlotManual || s.m_bPlotRequest))
        DrawStoredRun(pDC);
}

void CBox3View::DrawMargins(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    CFont* pOldFont = m_hFontUp ? pDC->SelectObject(m_hFontUp.get()) : nullptr;
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    DrawMiddleLeftMargin(pDC, *this, SystemKind::ThreeVariable, s,
                         {m_nDigitsX, m_nDigitsY, m_nDigitsZ}, DigitsForStep(s.RunStep()));
    DrawBoxLimits(pDC);
    if (m_hFont)
        pDC->SelectObject(m_hFont.get());
    DrawEquations(pDC, *this, SystemKind::ThreeVariable, s);
    pDC->SetTextAlign(TA_LEFT | TA_TOP);
    pDC->TextOut(16, 0, "Show Cell?");
    DrawImportName(pDC, *this, s);
    pDC->SetBkMode(TRANSPARENT);
    if (pOldFont)
        pDC->SelectObject(pOldFont);
}

// Reading upwards one text height apart: each axis's low limit from the plot's bottom, its high
// limit up to the plot's top.
void CBox3View::DrawBoxLimits(CDC* pDC)
{
    const double lo[3] = {m_dXLo, m_dYLo, m_dZLo}, hi[3] = {m_dXHi, m_dYHi, m_dZHi};
    const int digits[3] = {m_nDigitsX, m_nDigitsY, m_nDigitsZ};
    const char* const names[3] = {"x", "y", "z"};
    for (int i = 0; i < 3; ++i) {
        const int x = i * m_nTextHeight;
        pDC->SetTextAlign(TA_LEFT | TA_TOP);
        pDC->TextOut(x, m_rcPlot.bottom,
                     names[i] + std::string("lo=") + FormatNumber(lo[i], digits[i]));
        pDC->SetTextAlign(TA_RIGHT | TA_TOP);
        pDC->TextOut(x, m_rcPlot.top,
                     names[i] + std::string("hi=") + FormatNumber(hi[i], digits[i]));
    }
}
