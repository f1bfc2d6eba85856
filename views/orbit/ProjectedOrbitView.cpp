#include "views/orbit/ProjectedOrbitView.h"

#include "model/ModelDocument.h"
#include "model/RunProtocol.h"
#include "model/core/ModelCore.h"
#include "views/dialogs/PlotStyleDlg.h"

VX_IMPLEMENT_ABSTRACT(CProjectedOrbitView, COrbitPlaneView)
VX_IMPLEMENT_CLASS(CSys1PSP, CProjectedOrbitView)
VX_IMPLEMENT_CLASS(CSys1NNPSP, CProjectedOrbitView)
VX_IMPLEMENT_CLASS(CSys2PSP, CProjectedOrbitView)

namespace {
// The legend's items: the computed orbit, the imported one, and their return marks.
enum Item
{
    kOrbit,
    kImported,
    kMarks,
    kImportedMarks
};
// The imported orbit's and its marks' entries of the imported-data pens.
constexpr int kImportOrbitPen = 0, kImportMarksPen = 1;
} // namespace

PlotDescription CProjectedOrbitView::Describe(SystemKind kind)
{
    PlotDescription d =
        OrbitPlaneDescription(kViewProjectedOrbit, LimitBlock::ProjectedOrbit, kind);
    using S = CModelSettings;
    PlotCurve orbit{d.yColumn, nullptr, &S::m_nStylePO, &S::m_nWidthPO, &S::m_clrPO};
    orbit.importPen = kImportOrbitPen;
    orbit.markFlag = 0;
    orbit.markStyle = &S::m_nStylePO2;
    orbit.markWidth = &S::m_nWidthPO2;
    orbit.markColor = &S::m_clrPO2;
    orbit.importMarkPen = kImportMarksPen;
    orbit.importViewPens = true;
    d.curves = {orbit};
    d.phaseMarks = kind == SystemKind::Newtonian;
    d.title = " Projected Orbit";
    d.redrawHints = {HINT_PO_LIMITS};
    d.cursor.wrap = kind == SystemKind::Newtonian ? CursorWrap::Ring : CursorWrap::Array;
    d.cursor.color = &S::m_clrPO;
    d.cursor.importItem = kImportOrbitPen;
    return d;
}

CProjectedOrbitView::CProjectedOrbitView(SystemKind kind) : COrbitPlaneView(Describe(kind), kind)
{
    m_bStepDigits = kind == SystemKind::TwoVariable;
}

CProjectedOrbitView::~CProjectedOrbitView() = default;

COLORREF CProjectedOrbitView::DataColor(const CModelCore& s, bool imported) const
{
    return imported ? s.m_clrImportView[kImportOrbitPen] : s.m_clrPO;
}

// One row over the plot's corner: the orbit, its marks while they are on, then the same for the
// imported rows.
SwatchRows CProjectedOrbitView::LegendRows(const CModelCore& s) const
{
    std::vector<LegendSwatch> row{{Info().legendY, s.m_clrPO, kOrbit}};
    if (s.m_bMarkReturn[0])
        row.push_back({" r ", s.m_clrPO2, kMarks});
    if (s.m_bHaveImport) {
        row.push_back({Info().legendY, s.m_clrImportView[kImportOrbitPen], kImported});
        if (s.m_bMarkReturn[1])
            row.push_back({" r ", s.m_clrImportView[kImportMarksPen], kImportedMarks});
    }
    return {row};
}

// Items 0 and 2 share the computed orbit's marks flag, 1 and 3 the imported one's.
bool CProjectedOrbitView::EditLegendItem(int item)
{
    CModelCore& s = GetModel()->Core();
    BOOL& mark = s.m_bMarkReturn[item == kImported || item == kImportedMarks ? 1 : 0];
    switch (item) {
    case kOrbit:
        return EditPen(this, s.m_nStylePO, s.m_nWidthPO, s.m_clrPO, mark);
    case kMarks:
        return EditPen(this, s.m_nStylePO2, s.m_nWidthPO2, s.m_clrPO2, mark);
    case kImported:
    case kImportedMarks: {
        const int pen = item == kImported ? kImportOrbitPen : kImportMarksPen;
        return EditPen(this, s.m_nStyleImportView[pen], s.m_nWidthImportView[pen],
                       s.m_clrImportView[pen], mark);
    }
    default:
        return false;
    }
}
