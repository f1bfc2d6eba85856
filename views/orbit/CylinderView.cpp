#include "views/orbit/CylinderView.h"

#include "model/core/KindVars.h"
#include "model/core/ModelCore.h"
#include "views/base/MarginTexts.h"
#include "views/orbit/OrbitPlaneKinds.h"
#include "views/orbit/OrbitTexts.h"
#include "views/rows/PlotText.h"

VX_IMPLEMENT_ABSTRACT(CCylinderView, C3DView)

Plot3DDescription CylinderDescription(ModelView view, SystemKind kind)
{
    const bool full = view == kViewFullOrbit;
    const OrbitPlaneKind& k = OrbitPlaneKindOf(kind);
    Plot3DDescription d;
    d.block = full ? LimitBlock::FullOrbit : LimitBlock::OrbitSections;
    d.mapping = RowMapping::ForcingCylinder;
    d.columns = {kSlotX, k.vertical, -1};
    d.names = {k.names[0], k.names[1], ""};
    d.key = {view, kind};
    d.commands = k3DZoom | k3DReset;
    d.angleSlot = full ? 1 : 2;
    d.pan = full ? &CModelSettings::m_ptFOView : &CModelSettings::m_ptOSView;
    d.title = full ? " Full Orbit" : " Orbit Sections";
    d.redrawHints = {full ? HINT_FO_LIMITS : HINT_OS_LIMITS};
    return d;
}

CCylinderView::CCylinderView(Plot3DDescription description, SystemKind kind)
    : C3DView(std::move(description)), m_kind(kind)
{
}

void CCylinderView::TakeSettings(const CModelCore& s)
{
    C3DView::TakeSettings(s);
    m_nDigitsX = DigitsForRange(m_cyl.m_dRadiusMax - m_cyl.m_dRadiusMin);
    m_nDigitsV = DigitsForRange(m_cyl.m_dHeightMax - m_cyl.m_dHeightMin);
    m_nDigitsT = DigitsForRange(s.RunStep());
}

int CCylinderView::CursorDigits(int column) const
{
    return column == kSlotT ? m_nDigitsT : column == kSlotX ? m_nDigitsX : m_nDigitsV;
}

COLORREF CCylinderView::ImportNameColor(const CModelCore& s) const
{
    return m_kind == SystemKind::TwoVariable ? s.m_clrImport[0] : s.m_clrImportView[2];
}

void CCylinderView::DrawMargins(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    CFont* pOldFont = m_hFontUp ? pDC->SelectObject(m_hFontUp.get()) : nullptr;
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    DrawMiddleLeftMargin(pDC, *this, m_kind, s, {m_nDigitsX, m_nDigitsV}, m_nDigitsT);
    DrawCornerLimits(pDC);
    if (m_hFont)
        pDC->SelectObject(m_hFont.get());
    DrawEquations(pDC, *this, m_kind, s);
    DrawImportName(pDC, *this, s, ImportNameColor(s));
    pDC->SetBkMode(TRANSPARENT);
    if (pOldFont)
        pDC->SelectObject(pOldFont);
}

// The radius range along the bottom edge, the height range up the left edge.
void CCylinderView::DrawCornerLimits(CDC* pDC)
{
    const CRect& p = m_rcPlot;
    pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
    pDC->TextOut(p.left, p.bottom, FormatNumber(m_cyl.m_dHeightMin, m_nDigitsV));
    pDC->SetTextAlign(TA_RIGHT | TA_BOTTOM);
    pDC->TextOut(p.left, p.top, FormatNumber(m_cyl.m_dHeightMax, m_nDigitsV));
    if (m_hFont)
        pDC->SelectObject(m_hFont.get());
    pDC->SetTextAlign(TA_LEFT | TA_TOP);
    pDC->TextOut(p.left, p.bottom, FormatNumber(m_cyl.m_dRadiusMin, m_nDigitsX));
    pDC->SetTextAlign(TA_RIGHT | TA_TOP);
    pDC->TextOut(p.right, p.bottom, FormatNumber(m_cyl.m_dRadiusMax, m_nDigitsX));
}
