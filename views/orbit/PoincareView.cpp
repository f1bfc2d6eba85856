#include "views/orbit/PoincareView.h"

#include "model/ModelDocument.h"
#include "model/RunProtocol.h"
#include "model/core/ModelCore.h"
#include "views/dialogs/PlotStyleDlg.h"

VX_IMPLEMENT_ABSTRACT(CPoincareView, COrbitPlaneView)
VX_IMPLEMENT_CLASS(CSys1PS, CPoincareView)
VX_IMPLEMENT_CLASS(CSys1NNPS, CPoincareView)
VX_IMPLEMENT_CLASS(CSys2PS, CPoincareView)

namespace {
constexpr int kImportedPoints = 4; // the section points' entry of the imported-data colours
}

PlotDescription CPoincareView::Describe(SystemKind kind)
{
    PlotDescription d =
        OrbitPlaneDescription(kViewPoincareSection, LimitBlock::PoincareSection, kind);
    PlotCurve points{d.yColumn, nullptr, nullptr, nullptr, &CModelSettings::m_clrPS};
    points.importPen = kImportedPoints;
    points.importViewPens = true;
    points.points = true;
    d.curves = {points};
    d.sections = true;
    d.title = kind == SystemKind::TwoVariable ? " Poincar\xE9 Sections" : " Poincar\xE9 Section";
    d.redrawHints = {HINT_PS_LIMITS};
    d.cursor.wrap = CursorWrap::Section;
    d.cursor.color = &CModelSettings::m_clrPS;
    d.cursor.importItem = kImportedPoints;
    return d;
}

CPoincareView::CPoincareView(SystemKind kind) : COrbitPlaneView(Describe(kind), kind)
{
    m_bStepDigits = true;
}

CPoincareView::~CPoincareView() = default;

COLORREF CPoincareView::DataColor(const CModelCore& s, bool imported) const
{
    return imported ? s.m_clrImportView[kImportedPoints] : s.m_clrPS;
}

// The computed points' box over the plot's corner, the imported points' one a row higher.
SwatchRows CPoincareView::LegendRows(const CModelCore& s) const
{
    SwatchRows rows{{{Info().legendY, DataColor(s, false), 0}}};
    if (s.m_bHaveImport)
        rows.push_back({{Info().legendY, DataColor(s, true), 1}});
    return rows;
}

bool CPoincareView::EditLegendItem(int item)
{
    CModelCore& s = GetModel()->Core();
    COLORREF& color = item == 0 ? s.m_clrPS : s.m_clrImportView[kImportedPoints];
    const std::optional<COLORREF> picked = CPlotStyleDlg::s_pickColor(color, GetWidget());
    if (!picked)
        return false;
    color = *picked;
    return true;
}
