#include "views/phase/VectorFieldView.h"

#include "model/CommandIds.h"
#include "model/core/KindVars.h"
#include "platform/Dialog.h"
#include "platform/WinApp.h"
#include "views/base/PlotStyleDlg.h"
#include "views/base/PlotText.h"
#include "views/phase/PassProgress.h"
#include "views/phase/VectorFieldDraw.h"

#include <functional>
#include <utility>

VX_IMPLEMENT_ABSTRACT(CVectorFieldView, CVectorFieldBase)
VX_IMPLEMENT_CLASS(CSys1VF, CVectorFieldView)
VX_IMPLEMENT_CLASS(CSys2VF, CVectorFieldView)

namespace {
const char* const kFixedPointsQuestion = "Fixed points are not available until \nnullclines have "
                                         "been calculated.  Do\nyou wish to calculate nullclines "
                                         "now?";
const char* const kNoSaddles = "No saddle points were located\nso no manifolds were found.";
const char* const kNullclineMemory = "There is not enough memory on your system\nto save the "
                                     "nullcline track data.  Nullcline tracks will\nnot be "
                                     "displayed.";
const char* const kTrackMemory = "There is not enough memory on your system\nto save the "
                                 "previous track data.  Old tracks will disappear\nwith each "
                                 "repainting of the window";
const CRect kNoItem(-1, -1, -1, -1);

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

const VectorFieldKindInfo& VectorFieldKind(SystemKind kind)
{
    static const VectorFieldKindInfo newtonian{
        " x'=0 ", " x''=0 ",
        "Manifolds are not available until\nthe nullclines and fixed points have been "
        "calcualted.\nDo you want to calculate the nullclines and/or fixed\npoints now?",
        true};
    static const VectorFieldKindInfo twoVariable{
        " x'=0 ", " y'=0 ",
        "Manifolds are not available until the nullclines\nand fixed-points have been "
        "calcualted.\nDo you want to calculate the nullclines\nand/or fixed-points now?",
        false};
    return kind == SystemKind::Newtonian ? newtonian : twoVariable;
}

// A layer of the plane: shown by its flag, computed and drawn by the view.
class CVectorFieldView::CLayer final : public CPlotLayer
{
public:
    // The tracks have nothing to compute: valid from the start.
    CLayer(CVectorFieldView& view, int layer)
        : CPlotLayer(layer == kLayerT ? State::Valid : State::Stale), m_view(view), m_nLayer(layer)
    {
    }
    bool Shown() const override { return m_view.m_bShow[m_nLayer]; }

protected:
    bool Compute(const C2DPlotGeometry& g) override { return m_view.ComputeLayer(m_nLayer, g); }
    void Draw(CDC* pDC, const C2DPlotGeometry&) override { m_view.DrawLayer(m_nLayer, pDC); }
    // Tracks are curves in the world: they move with the window and are never computed here.
    bool FollowsWindow() const override { return m_nLayer != kLayerT; }

private:
    CVectorFieldView& m_view;
    int m_nLayer;
};

CVectorFieldView::CVectorFieldView(SystemKind kind)
    : CVectorFieldBase(VectorFieldPlot(kind), VectorFieldKind(kind).spinsForcing), m_plane(kind)
{
    Layers().Add<CGridLayer>(
        [this]() -> const CModelCore* { return GetModel() ? &GetModel()->Core() : nullptr; });
    for (int i = 0; i < kLayers; ++i)
        m_layers[i] = &Layers().Add<CLayer>(*this, i);
    m_bShow[kLayerT] = kind == SystemKind::TwoVariable;
    MapButtons();
    MapCommand(ID_CONTROLS_CLEARDATA, &CVectorFieldView::OnControlsClearData);
    MapUpdate(ID_CONTROLS_CLEARDATA, &CVectorFieldView::OnUpdateClearData);
}

CVectorFieldView::~CVectorFieldView() = default;

// --- the layers ----------------------------------------------------------------------------

CPhasePlane::Result CVectorFieldView::ResultOf(int layer) const
{
    static const CPhasePlane::Result results[] = {CPhasePlane::kDirField, CPhasePlane::kNullclines,
                                                  CPhasePlane::kFixedPoints,
                                                  CPhasePlane::kManifolds};
    return results[std::min(layer, +kLayerM)];
}

bool CVectorFieldView::Valid(int layer) const
{
    return m_layers[layer]->GetState() == CPlotLayer::State::Valid &&
           (layer == kLayerT || m_plane.Current(ResultOf(layer)));
}

bool CVectorFieldView::ComputeLayer(int layer, const C2DPlotGeometry& g)
{
    const CModelCore& s = GetModel()->Core();
    m_plane.SetFrame(FrameOf(g), s.m_nVFGridSpacing);
    switch (layer) {
    case kLayerD:
        if (!m_plane.Current(CPhasePlane::kDirField)) {
            CPassProgress progress("Direction Field Calculation Progress");
            m_plane.CalcDirectionField(&progress);
        }
        return true;
    case kLayerN:
        return EnsureNullclines();
    case kLayerF:
        return EnsureFixedPoints();
    case kLayerM:
        return EnsureManifolds();
    default:
        return true;
    }
}

bool CVectorFieldView::EnsureNullclines()
{
    if (m_plane.Current(CPhasePlane::kNullclines))
        return true;
    const CModelCore& s = GetModel()->Core();
    const VFPen pens[2] = {{s.m_clrNullcline1, s.m_nStyleNullcline1, s.m_nWidthNullcline1},
                           {s.m_clrNullcline2, s.m_nStyleNullcline2, s.m_nWidthNullcline2}};
    CPassProgress progress("Nullcline Calculation Progress");
    if (!m_plane.CalcNullclines(pens, &progress))
        AfxMessageBox(kNullclineMemory, MB_OK);
    return true;
}

// The questions are asked when the user asks for a layer that needs a pass not done yet; a
// layer computed again (a spin step, a new window) computes what it needs without asking.
bool CVectorFieldView::EnsureFixedPoints()
{
    if (!m_plane.Current(CPhasePlane::kNullclines)) {
        if (m_bAsking && !m_plane.EverComputed(CPhasePlane::kNullclines) &&
            AfxMessageBox(kFixedPointsQuestion, MB_YESNO) != IDYES) {
            m_bShow[kLayerF] = false;
            return false;
        }
        EnsureNullclines();
    }
    if (!m_plane.Current(CPhasePlane::kFixedPoints) &&
        m_plane.CalcFixedPoints(GetModel()->Core().m_dJacobianStep) && m_bAsking)
        AfxMessageBox(kTooManyFixedPointsMessage, MB_OK);
    return true;
}

bool CVectorFieldView::EnsureManifolds()
{
    if (!m_plane.Current(CPhasePlane::kNullclines) || !m_plane.Current(CPhasePlane::kFixedPoints)) {
        const bool agreed = m_plane.EverComputed(CPhasePlane::kNullclines) &&
                            m_plane.EverComputed(CPhasePlane::kFixedPoints);
        if (m_bAsking && !agreed &&
            AfxMessageBox(VectorFieldKind(Kind()).manifoldsQuestion, MB_YESNO) != IDYES) {
            m_bShow[kLayerM] = false;
            return false;
        }
        EnsureNullclines();
        const bool asking = std::exchange(m_bAsking, false);
        EnsureFixedPoints();
        m_bAsking = asking;
    }
    if (!m_plane.HasSaddle()) {
        if (m_bAsking)
            AfxMessageBox(kNoSaddles, MB_OK);
        return false;
    }
    if (!m_plane.Current(CPhasePlane::kManifolds)) {
        const CModelCore& s = GetModel()->Core();
        const CManifoldPens pens{s.m_clrStableManifold,    s.m_clrUnstableManifold,
                                 s.m_nStyleStableManifold, s.m_nStyleUnstableManifold,
                                 s.m_nWidthStableManifold, s.m_nWidthUnstableManifold};
        CPassProgress progress("Manifold Calculation Progress");
        m_plane.CalcManifolds(s.m_nManifoldSteps, pens, &progress);
    }
    return true;
}

void CVectorFieldView::DrawLayer(int layer, CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    switch (layer) {
    case kLayerD:
        DrawDirectionField(pDC, *this, m_plane.DirectionField(), s.m_clrDirFieldFrom,
                           s.m_clrDirFieldTo);
        break;
    case kLayerN:
        if (m_plane.Newtonian()) {
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
        DrawCurve(pDC, *this, m_plane.Nullcline(0));
        DrawCurve(pDC, *this, m_plane.Nullcline(1));
        break;
    case kLayerF:
        DrawFixedPointList(pDC, *this, m_plane.FixedPoints());
        break;
    case kLayerM:
        DrawManifolds(pDC, *this, m_plane.Manifolds());
        break;
    default:
        for (const CVFTrack& track : m_plane.Tracks())
            DrawCurve(pDC, *this, track);
        break;
    }
}

void CVectorFieldView::ComputeNow(bool bAsking)
{
    m_bAsking = bAsking;
    Layers().ComputeStale();
    m_bAsking = false;
}

// --- spinning and updates ------------------------------------------------------------------

void CVectorFieldView::Spun()
{
    m_plane.TakeParameters(GetModel()->Core());
    Layers().MarkAllStale();
    ComputeNow(false);
    InvalidateLegendStrip();
    InvalidateRect(&m_rcPlotHit, TRUE);
}

void CVectorFieldView::ModelChanged()
{
    m_plane.TakeModel(GetModel()->Core());
    Discard();
}

// Everything computed goes, tracks included, and the four layers are hidden.
void CVectorFieldView::Discard()
{
    m_plane.Clear();
    for (int i = kLayerD; i <= kLayerM; ++i)
        m_bShow[i] = false;
    Layers().MarkAllStale();
    InvalidateLegendStrip();
}

void CVectorFieldView::TakeSettings(const CModelCore& s)
{
    CVectorFieldBase::TakeSettings(s);
    // A start point clicked before is forgotten.
    m_dTrackX = s.m_dInitX;
    m_dTrackY = m_plane.Newtonian() ? s.m_dInitXp : s.m_dInitY;
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

void CVectorFieldView::OnToggle(int layer)
{
    if (Running())
        return;
    m_bShow[layer] = !m_bShow[layer];
    if (layer == kLayerT) {
        RedrawPlot();
        SetFocus();
        return;
    }
    if (m_bShow[layer] && !Valid(layer))
        Layers().MarkStale(*m_layers[layer]); // also one declined before
    ComputeNow(true);
    if (layer == kLayerM && m_layers[layer]->GetState() != CPlotLayer::State::Valid)
        m_bShow[layer] = false; // nothing to show
    InvalidateLegendStrip();
    RedrawPlot();
    SetFocus();
}

void CVectorFieldView::OnRecalc(int layer)
{
    if (Running())
        return;
    if (layer == kLayerT) {
        CalcTracks();
        return;
    }
    m_plane.Invalidate(ResultOf(layer));
    Layers().MarkStale(*m_layers[layer]);
    const bool wasShown = std::exchange(m_bShow[layer], true);
    ComputeNow(true);
    if (layer == kLayerM && m_layers[layer]->GetState() != CPlotLayer::State::Valid)
        m_bShow[layer] = wasShown && m_bShow[layer];
    InvalidateLegendStrip();
    RedrawPlot();
    SetFocus();
}

void CVectorFieldView::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_SHIFT)
        m_bShiftDown = true;
    const int layer = nChar == 'D'   ? kLayerD
                      : nChar == 'N' ? kLayerN
                      : nChar == 'F' ? kLayerF
                      : nChar == 'M' ? kLayerM
                      : nChar == 'T' ? kLayerT
                                     : -1;
    if (layer >= 0 && !Running()) {
        if (layer == kLayerM && m_plane.Current(CPhasePlane::kFixedPoints) &&
            !m_plane.HasSaddle()) {
            AfxMessageBox(kNoSaddles, MB_OK);
        } else if (layer == kLayerT && m_bShiftDown) {
            m_plane.ClearTracks();
            RedrawPlot();
        } else if (layer == kLayerM) {
            // The key keeps M shown whatever the calculation found.
            m_bShow[kLayerM] = m_bShiftDown || !m_bShow[kLayerM];
            if (m_bShiftDown)
                m_plane.Invalidate(CPhasePlane::kManifolds);
            if (m_bShow[kLayerM] && !Valid(kLayerM))
                Layers().MarkStale(*m_layers[kLayerM]);
            ComputeNow(true);
            InvalidateLegendStrip();
            RedrawPlot();
        } else if (m_bShiftDown) {
            OnRecalc(layer);
        } else {
            OnToggle(layer);
        }
    }
    CVectorFieldBase::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CVectorFieldView::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_SHIFT)
        m_bShiftDown = false;
    CVectorFieldBase::OnKeyUp(nChar, nRepCnt, nFlags);
}

void CVectorFieldView::CalcTracks()
{
    IModelDocument* m = GetModel();
    if (!m || Running())
        return;
    const CModelCore& s = m->Core();
    CPassProgress progress("Track Calculation Progress");
    m_plane.CalcTrack(m_dTrackX, m_dTrackY, s.m_nTrackSteps,
                      {s.m_clrVFTrack, s.m_nStyleVFTrack, s.m_nWidthVFTrack}, &progress,
                      [] { AfxMessageBox(kTrackMemory, MB_OK); });
    m_bShow[kLayerT] = true;
    Invalidate();
}

void CVectorFieldView::OnPlotClick(CPoint point)
{
    m_dTrackX = RoundToDigits(PixelToWorldX(point.x), m_nDigitsX);
    m_dTrackY = RoundToDigits(PixelToWorldY(point.y), m_nDigitsY);
    CalcTracks();
}

void CVectorFieldView::OnControlsClearData()
{
    IModelDocument* m = GetModel();
    if (!m || Running())
        return;
    m->Core().AllocateTable(); // the other views are not told
    Discard();
    RedrawPlot();
}

void CVectorFieldView::OnUpdateClearData(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(GetModel() && !Running());
}

// --- drawing -------------------------------------------------------------------------------

void CVectorFieldView::InvalidateLegendStrip()
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
    DrawVectorFieldMargins(pDC, {m_dTrackX, m_dTrackY});
    DrawLegend(pDC);
    DrawButtonCaptions(pDC);
}

void CVectorFieldView::DrawLegend(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    const VectorFieldKindInfo& info = VectorFieldKind(Kind());
    struct Box
    {
        int item, layer;
        const char* text;
        COLORREF color;
    };
    const Box boxes[] = {
        {kItemDFFrom, kLayerD, "DF From", s.m_clrDirFieldFrom},
        {kItemDFTo, kLayerD, "DF To", s.m_clrDirFieldTo},
        {kItemNullcline1, kLayerN, info.firstNullcline, s.m_clrNullcline1},
        {kItemNullcline2, kLayerN, info.secondNullcline, s.m_clrNullcline2},
        {kItemStable, kLayerM, "Stable", s.m_clrStableManifold},
        {kItemUnstable, kLayerM, "Unstable", s.m_clrUnstableManifold},
    };
    CFont* pOldFont = m_hFont ? pDC->SelectObject(m_hFont.get()) : nullptr;
    pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
    pDC->SetBkMode(OPAQUE);
    m_rcLegendItem[kItemTrack] = m_rcTrackBox;
    int x = m_rcTrackBox.right + 2;
    const int y = m_rcPlot.top - 1;
    for (const Box& b : boxes) {
        if (!m_bShow[b.layer]) {
            m_rcLegendItem[b.item] = kNoItem;
            continue;
        }
        const int w = MeasureText(pDC, b.text).cx;
        pDC->SetBkColor(b.color);
        pDC->SetTextColor(b.color ^ 0xFFFFFF);
        pDC->TextOut(x, y, b.text);
        m_rcLegendItem[b.item] = CRect(x, y - m_nTextHeight, x + w, y);
        x += w + 2;
    }
    m_rcLegend = CRect(0, m_rcPlot.top - 2 * m_nTextHeight, x, m_rcPlot.top);
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

void CVectorFieldView::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (!m_rcPlotHit.PtInRect(point))
        for (int item = kItemNullcline1; item < kItems; ++item)
            if (m_rcLegendItem[item].PtInRect(point)) {
                EditLegendStyle(item);
                break;
            }
    CVectorFieldBase::OnLButtonDown(nFlags, point);
}

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
        InvalidateLegendStrip();
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
