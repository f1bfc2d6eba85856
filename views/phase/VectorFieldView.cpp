#include "views/phase/VectorFieldView.h"

#include "model/CommandIds.h"
#include "model/core/KindVars.h"
#include "platform/Dialog.h"
#include "platform/Keyboard.h"
#include "platform/WinApp.h"
#include "views/base/PlotLegend.h"
#include "views/dialogs/PlotStyleDlg.h"
#include "views/phase/PassProgress.h"
#include "views/phase/VectorFieldDraw.h"
#include "views/rows/PlotText.h"

#include <functional>
#include <utility>
#include <vector>

VX_IMPLEMENT_ABSTRACT(CVectorFieldView, CVectorFieldBase)
VX_IMPLEMENT_CLASS(CSys1VF, CVectorFieldView)
VX_IMPLEMENT_CLASS(CSys2VF, CVectorFieldView)

namespace {

PlotDescription VectorFieldPlot(SystemKind kind)
{
    PlotDescription d;
    d.block = LimitBlock::VectorField;
    d.xColumn = kSlotX;
    const bool newtonian = kind == SystemKind::Newtonian;
    d.yColumn = newtonian ? kSlotXp : kSlotY;
    d.names = {"x", newtonian ? "x'" : "y"};
    d.title = " Vector Field";
    d.redrawHints = {HINT_VF_LIMITS, HINT_VF_GRID};
    d.key = {kViewVectorField, kind};
    return d;
}

// The lines of the grid the passes work on, every pitch pixels, while the model asks for them.
class CGridLayer final : public CPlotLayer
{
public:
    explicit CGridLayer(std::function<const CModelCore*()> model)
        : CPlotLayer(State::Valid), m_model(std::move(model))
    {
    }
    bool Shown() const override
    {
        const CModelCore* s = m_model();
        return s && s->m_bVFShowGrid;
    }

protected:
    bool Compute(const C2DPlotGeometry&) override { return true; }
    bool FollowsWindow() const override { return false; }
    void Draw(CDC* pDC, const C2DPlotGeometry& g) override
    {
        const CRect& r = g.m_rcPlot;
        const int pitch = FrameOf(g).GridPitch(m_model()->m_nVFGridSpacing);
        CPen pen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
        CPen* pOldPen = pDC->SelectObject(&pen);
        for (int x = r.left; x < r.right; x += pitch) {
            pDC->MoveTo(x, r.top);
            pDC->LineTo(x, r.bottom);
        }
        for (int y = r.top; y < r.bottom; y += pitch) {
            pDC->MoveTo(r.left, y);
            pDC->LineTo(r.right, y);
        }
        pDC->SelectObject(pOldPen);
    }

private:
    std::function<const CModelCore*()> m_model;
};
} // namespace

// A layer of the plane: shown by its flag, computed and drawn by the view.
class CVectorFieldView::CLayer final : public CPlotLayer
{
public:
    // The tracks have nothing to compute: valid from the start.
    CLayer(CVectorFieldView& view, int layer)
        : CPlotLayer(layer == kLayerT ? State::Valid : State::Stale), m_view(view), m_nLayer(layer)
    {
    }
    bool Shown() const override { return m_view.m_rules.Shown(m_nLayer); }

protected:
    bool Compute(const C2DPlotGeometry& g) override
    {
        return m_view.m_rules.Compute(m_nLayer, FrameOf(g));
    }
    void Draw(CDC* pDC, const C2DPlotGeometry&) override { m_view.DrawLayer(m_nLayer, pDC); }
    // Tracks are curves in the world: they move with the window and are never computed here.
    bool FollowsWindow() const override { return m_nLayer != kLayerT; }

private:
    CVectorFieldView& m_view;
    int m_nLayer;
};

CVectorFieldView::CVectorFieldView(SystemKind kind)
    : CVectorFieldBase(VectorFieldPlot(kind), VectorFieldKind(kind).spinsForcing),
      m_rules(kind, *this)
{
    Layers().Add<CGridLayer>(
        [this]() -> const CModelCore* { return GetModel() ? &GetModel()->Core() : nullptr; });
    for (int i = 0; i < kLayers; ++i)
        m_layers[i] = &Layers().Add<CLayer>(*this, i);
    MapButtons();
    MapCommand(ID_CONTROLS_CLEARDATA, &CVectorFieldView::OnControlsClearData);
    MapUpdate(ID_CONTROLS_CLEARDATA, &CVectorFieldView::OnUpdateClearData);
    for (int item = kItemNullcline1; item < kItems; ++item)
        m_legend.Add(item, [this, item] { EditLegendStyle(item); });
}

CVectorFieldView::~CVectorFieldView() = default;

// --- the layers ----------------------------------------------------------------------------

// --- what the layers ask --------------------------------------------------------------------

// Every way into the layers passes only while the view has its model: Ready(), and the base's
// updates and spin steps, which look first.
CModelCore* CVectorFieldView::Model()
{
    return &GetModel()->Core();
}

bool CVectorFieldView::AskYesNo(const char* text)
{
    return AfxMessageBox(text, MB_YESNO) == IDYES;
}

void CVectorFieldView::Tell(const char* text)
{
    AfxMessageBox(text, MB_OK);
}

std::unique_ptr<IPassProgress> CVectorFieldView::Progress(const char* title)
{
    return std::make_unique<CPassProgress>(title);
}

void CVectorFieldView::MarkStale(int layer)
{
    Layers().MarkStale(*m_layers[layer]);
}

void CVectorFieldView::MarkAllStale()
{
    Layers().MarkAllStale();
}

void CVectorFieldView::ComputeStale()
{
    Layers().ComputeStale();
}

bool CVectorFieldView::Computed(int layer) const
{
    return m_layers[layer]->GetState() == CPlotLayer::State::Valid;
}

void CVectorFieldView::InvalidateAll()
{
    Invalidate();
}

void CVectorFieldView::TakeFocus()
{
    SetFocus();
}

void CVectorFieldView::DrawLayer(int layer, CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    const CPhasePlane& plane = Plane();
    switch (layer) {
    case kLayerD:
        DrawDirectionField(pDC, *this, plane.DirectionField(), s.m_clrDirFieldFrom,
                           s.m_clrDirFieldTo);
        break;
    case kLayerN:
        if (plane.Newtonian()) {
            // x' = 0 is the horizontal axis, across the whole x range.
            CPen pen(s.m_nStyleNullcline1, s.m_nWidthNullcline1, s.m_clrNullcline1);
            CPen* pOldPen = pDC->SelectObject(&pen);
            CPoint a(m_rcPlot.left, WorldToPixelY(0)), b(m_rcPlot.right, WorldToPixelY(0));
            if (ClipToPlotRect(a, b)) {
                pDC->MoveTo(a);
                pDC->LineTo(b);
            }
            pDC->SelectObject(pOldPen);
        }
        DrawCurve(pDC, *this, plane.Nullcline(0));
        DrawCurve(pDC, *this, plane.Nullcline(1));
        break;
    case kLayerF:
        DrawFixedPointList(pDC, *this, plane.FixedPoints());
        break;
    case kLayerM:
        DrawManifolds(pDC, *this, plane.Manifolds());
        break;
    default:
        for (const CVFTrack& track : plane.Tracks())
            DrawCurve(pDC, *this, track);
        break;
    }
}

// --- spinning and updates ------------------------------------------------------------------

void CVectorFieldView::Spun()
{
    m_rules.Spun();
    InvalidateLegend();
    InvalidateRect(&m_rcPlotHit, TRUE);
}

void CVectorFieldView::ModelChanged()
{
    m_rules.ModelChanged();
}

void CVectorFieldView::TakeSettings(const CModelCore& s)
{
    CVectorFieldBase::TakeSettings(s);
    m_rules.TakeSettings(s);
}

void CVectorFieldView::EnableControls(bool bEnable)
{
    CVectorFieldBase::EnableControls(bEnable);
    for (CButton& b : m_buttons)
        if (b.GetSafeHwnd())
            b.EnableWindow(bEnable);
}

// --- buttons and keys ----------------------------------------------------------------------

void CVectorFieldView::MapButtons()
{
    [this]<int... I>(std::integer_sequence<int, I...>)
    {
        (MapControl(IDC_VF_TOGGLE_DF + I, BN_CLICKED, &CVectorFieldView::OnButton<I>), ...);
    }
    (std::make_integer_sequence<int, 2 * kLayers>{});
}

bool CVectorFieldView::Ready() const
{
    return GetModel() && !Running();
}

void CVectorFieldView::OnToggle(int layer)
{
    if (Ready())
        m_rules.Toggle(layer);
}

void CVectorFieldView::OnRecalc(int layer)
{
    if (Ready())
        m_rules.Recalc(layer);
}

// Shift as the key came with it: a Shift let go while a message box had the focus never
// reaches the view, so a state kept from its key-down would outlive it.
void CVectorFieldView::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (Ready())
        m_rules.Key(nChar, ShiftHeld());
    CVectorFieldBase::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CVectorFieldView::CalcTracks()
{
    if (Ready())
        m_rules.CalcTrack();
}

void CVectorFieldView::OnPlotClick(CPoint point)
{
    m_rules.SetTrackStart(RoundToDigits(PixelToWorldX(point.x), m_nDigitsX),
                          RoundToDigits(PixelToWorldY(point.y), m_nDigitsY));
    CalcTracks();
}

void CVectorFieldView::OnControlsClearData()
{
    if (!Ready())
        return;
    GetModel()->Core().AllocateTable(); // the other views are not told
    m_rules.Discard();
    RedrawPlot();
}

void CVectorFieldView::OnUpdateClearData(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(Ready());
}

// --- drawing -------------------------------------------------------------------------------

void CVectorFieldView::InvalidateLegend()
{
    const CRect strip(0, m_rcPlot.top - 2 * m_nTextHeight - 1, m_rcPlot.right, m_rcPlot.top - 1);
    InvalidateRect(&strip, TRUE);
}

void CVectorFieldView::RedrawPlot()
{
    InvalidateRect(&m_rcPlotHit, TRUE);
    UpdateWindow();
}

void CVectorFieldView::DrawMargins(CDC* pDC)
{
    DrawVectorFieldMargins(pDC, {m_rules.TrackStartX(), m_rules.TrackStartY()});
    DrawLegend(pDC);
    DrawButtonCaptions(pDC);
}

void CVectorFieldView::DrawLegend(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    const VectorFieldKindInfo& info = VectorFieldKind(Kind());
    const struct
    {
        int layer;
        LegendSwatch swatch;
    } boxes[] = {
        {kLayerD, {"DF From", s.m_clrDirFieldFrom, kItemDFFrom}},
        {kLayerD, {"DF To", s.m_clrDirFieldTo, kItemDFTo}},
        {kLayerN, {info.firstNullcline, s.m_clrNullcline1, kItemNullcline1}},
        {kLayerN, {info.secondNullcline, s.m_clrNullcline2, kItemNullcline2}},
        {kLayerM, {"Stable", s.m_clrStableManifold, kItemStable}},
        {kLayerM, {"Unstable", s.m_clrUnstableManifold, kItemUnstable}},
    };
    std::vector<LegendSwatch> shown;
    for (const auto& b : boxes) {
        if (Shown(b.layer))
            shown.push_back(b.swatch);
        else
            m_legend.Hide(b.swatch.item);
    }
    CFont* pOldFont = m_hFont ? pDC->SelectObject(m_hFont.get()) : nullptr;
    const int right = DrawLegendRows(pDC, m_legend.Box(kItemTrack).right + 2, m_rcPlot.top - 1,
                                     m_nTextHeight, {shown}, m_legend);
    m_rcLegend = CRect(0, m_rcPlot.top - 2 * m_nTextHeight, right, m_rcPlot.top);
    if (pOldFont)
        pDC->SelectObject(pOldFont);
}

void CVectorFieldView::DrawButtonCaptions(CDC* pDC)
{
    if (pDC->IsPrinting() || !m_buttons[0].GetSafeHwnd())
        return;
    CFont* pOldFont = m_hFont ? pDC->SelectObject(m_hFont.get()) : nullptr;
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    pDC->SetTextAlign(TA_RIGHT | TA_TOP);
    pDC->TextOut(m_nButtonsX - 2, 0, "Toggle ");
    pDC->TextOut(m_nButtonsX - 2, StripHeight(), "Recalc ");
    if (pOldFont)
        pDC->SelectObject(pOldFont);
}

void CVectorFieldView::OnSize(UINT nType, int cx, int cy)
{
    CVectorFieldBase::OnSize(nType, cx, cy);
    const int b = 2 * CharWidth() + 8, h = StripHeight();
    const int x0 = m_nButtonsX = cx - 5 * b;
    static const char* const captions[] = {"D", "N", "F", "M", "T"};
    for (int i = 0; i < 2 * kLayers; ++i) {
        CButton& button = m_buttons[i];
        const CRect r(x0 + (i / 2) * b, (i % 2) * h, x0 + (i / 2 + 1) * b, (i % 2 + 1) * h);
        if (!button.GetSafeHwnd()) {
            button.Create(captions[i / 2], WS_VISIBLE | BS_PUSHBUTTON, r, this,
                          IDC_VF_TOGGLE_DF + i);
            button.EnableWindow(!Running());
        } else {
            button.MoveWindow(r);
        }
    }
}

// --- legend --------------------------------------------------------------------------------

void CVectorFieldView::EditLegendStyle(int nItem)
{
    IModelDocument* m = GetModel();
    if (!m || nItem <= kItemTrack || nItem >= kItems) {
        CVectorFieldBase::EditLegendStyle(nItem);
        return;
    }
    CModelCore& s = m->Core();
    if (nItem == kItemDFFrom || nItem == kItemDFTo) {
        COLORREF& c = nItem == kItemDFFrom ? s.m_clrDirFieldFrom : s.m_clrDirFieldTo;
        const std::optional<COLORREF> picked = PickColorWithDialog(c, GetWidget());
        if (!picked)
            return;
        c = *picked;
        InvalidateRect(&m_rcPlotHit, TRUE);
        InvalidateLegend();
        m->MarkModified();
        return;
    }
    struct PenMembers
    {
        int CModelSettings::*style;
        int CModelSettings::*width;
        COLORREF CModelSettings::*color;
    };
    static const PenMembers pens[] = {
        {&CModelSettings::m_nStyleNullcline1, &CModelSettings::m_nWidthNullcline1,
         &CModelSettings::m_clrNullcline1},
        {&CModelSettings::m_nStyleNullcline2, &CModelSettings::m_nWidthNullcline2,
         &CModelSettings::m_clrNullcline2},
        {&CModelSettings::m_nStyleStableManifold, &CModelSettings::m_nWidthStableManifold,
         &CModelSettings::m_clrStableManifold},
        {&CModelSettings::m_nStyleUnstableManifold, &CModelSettings::m_nWidthUnstableManifold,
         &CModelSettings::m_clrUnstableManifold},
    };
    const PenMembers& p = pens[nItem - kItemNullcline1];
    if (!EditPen(this, s.*p.style, s.*p.width, s.*p.color))
        return;
    const CRect above(m_rcPlot.left, 0, m_rcPlot.right, m_rcPlot.top);
    InvalidateRect(&above, TRUE);
    m->MarkModified();
}
