#include "views/phase/VectorFieldBase.h"

#include "model/CommandIds.h"
#include "platform/WinApp.h"
#include "views/base/MarginTexts.h"
#include "views/base/PlotLegend.h"
#include "views/dialogs/PlotStyleDlg.h"
#include "views/rows/PlotText.h"

#include <algorithm>

VX_IMPLEMENT_ABSTRACT(CVectorFieldBase, C2DView)

namespace {
constexpr UINT kRunWatch = 1;
}

CVectorFieldBase::CVectorFieldBase(PlotDescription description, bool spinsForcing)
    : C2DView(std::move(description)), m_spin(spinsForcing)
{
    MapControl(IDC_VF_SPIN_BUDDY, EN_CHANGE, &CVectorFieldBase::OnEnChangeVfSpinBuddy);
    MapControl(IDC_VF_SPIN_VALUE, EN_MAXTEXT, &CVectorFieldBase::OnEnMaxtextVfSpinValue);
    MapControl(IDC_VF_SPIN_PARAM, EN_MAXTEXT, &CVectorFieldBase::OnEnMaxtextVfSpinParam);
    m_legend.Add(0, [this] { EditLegendStyle(0); });
}

CVectorFieldBase::~CVectorFieldBase() = default;

bool CVectorFieldBase::Running() const
{
    const IModelDocument* m = GetModel();
    return m && m->Core().m_bRunning;
}

void CVectorFieldBase::OnInitialUpdate()
{
    C2DView::OnInitialUpdate();
    IModelDocument* m = GetModel();
    if (!m)
        return;
    CModelCore& s = m->Core();
    m_spin.StartSpinCopies(s);
    m_spin.RangesFromModel(s);
    CreateStrip();
    UpdateSpinControls();
    ModelChanged();
    ModelDiffers(s);
    EnableControls(!s.m_bRunning);
    m_bEnabled = !s.m_bRunning;
    SetTimer(kRunWatch, 100);
}

void CVectorFieldBase::OnTimer(UINT nIDEvent)
{
    if (nIDEvent == kRunWatch)
        FollowRunState();
    C2DView::OnTimer(nIDEvent);
}

void CVectorFieldBase::OnDestroy()
{
    KillTimer(kRunWatch);
    C2DView::OnDestroy();
}

void CVectorFieldBase::FollowRunState()
{
    const bool running = Running();
    if (m_bEnabled == running) {
        m_bEnabled = !running;
        EnableControls(!running);
    }
}

void CVectorFieldBase::CreateStrip()
{
    const DWORD edit = WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_WANTRETURN;
    m_editParam.Create(edit, CRect(10, 0, 40, 20), this, IDC_VF_SPIN_PARAM);
    const CSize digit = m_editParam.GetTextExtent("0");
    m_nCharW = std::max(digit.cx, 4);
    m_nStripH = std::max(digit.cy + 8, 20);
    const int w = m_nCharW, h = m_nStripH;
    m_editParam.MoveWindow(CRect(10, 0, 4 * w + 10, h));
    m_spinCtrl.Create(WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                      CRect(4 * w + 11, 0, 4 * w + 32, h), this, IDC_VF_SPIN);
    m_editValue.Create(edit, CRect(4 * w + 33, 0, std::max(16 * w, 4 * w + 80), h), this,
                       IDC_VF_SPIN_VALUE);
    m_editBuddy.Create(0, CRect(0, 0, 30, 20), this, IDC_VF_SPIN_BUDDY);
    m_spinCtrl.SetBuddy(&m_editBuddy);
    m_spinCtrl.SetRange(0, 100);
}

void CVectorFieldBase::EnableControls(bool bEnable)
{
    for (CWnd* c : {static_cast<CWnd*>(&m_editParam), static_cast<CWnd*>(&m_editValue),
                    static_cast<CWnd*>(&m_spinCtrl)})
        if (c->GetSafeHwnd())
            c->EnableWindow(bEnable);
}

// --- updates -------------------------------------------------------------------------------

void CVectorFieldBase::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint)
{
    if (!GetModel())
        return;
    // The view does not follow a run: it keeps its picture and its controls rest meanwhile.
    FollowRunState();
    if (Running())
        return;
    C2DView::OnUpdate(pSender, lHint, pHint);
}

void CVectorFieldBase::TakeSettings(const CModelCore& s)
{
    C2DView::TakeSettings(s);
    m_nDigitsDt = DigitsForRange(s.m_dChronon);
}

bool CVectorFieldBase::OnOwnHint(LPARAM lHint)
{
    if (lHint == HINT_PLOT_STYLE)
        return C2DView::OnOwnHint(lHint);
    const bool reset = lHint == HINT_RESET || lHint == HINT_MODEL || lHint == HINT_VF_GRID ||
                       lHint == HINT_VF_LIMITS || lHint == HINT_CALC_DONE;
    if (!reset)
        return true; // the caption and the window only
    CModelCore& s = GetModel()->Core();
    if (ModelDiffers(s) || lHint == HINT_VF_GRID) {
        m_spin.RangesFromModel(s);
        UpdateSpinControls();
        ModelChanged();
        // Taking the model records its equations (the Newtonian one joined from its forces):
        // that is no change to see at the next update.
        ModelDiffers(s);
    }
    return false; // the base repaints
}

namespace {
// What the view keeps of the model's values; a, b, c and d first, the ones a spin writes.
std::vector<double> SeenValues(const CModelCore& s)
{
    return {s.m_dParamA, s.m_dParamB,  s.m_dParamC,
            s.m_dParamD, s.m_dAngFreq, s.m_dPhase,
            s.m_dMass,   s.m_dChronon, static_cast<double>(s.m_nModelForm)};
}
constexpr size_t kSpunValues = 4;
} // namespace

bool CVectorFieldBase::ModelDiffers(const CModelCore& s)
{
    std::vector<double> seen = SeenValues(s);
    std::vector<std::string> texts;
    for (const std::string* eq : s.Equations())
        texts.push_back(*eq);
    // The Newtonian forces, which the joined equation follows only once it is recorded.
    for (const std::string* force :
         {&s.m_strAppliedForce, &s.m_strRestoringForce, &s.m_strDragForce})
        texts.push_back(*force);
    const bool forcingChanged =
        m_seen.size() == seen.size() && (m_seen[4] != seen[4] || m_seen[5] != seen[5]);
    const bool differs = seen != m_seen || texts != m_seenTexts;
    m_seen = std::move(seen);
    m_seenTexts = std::move(texts);
    if (forcingChanged) {
        // The model's af or pa changed: its spun copies start again from them.
        CModelCore& model = GetModel()->Core();
        model.m_bSpinCopies = false;
        CSpinModel::StartSpinCopies(model);
    }
    return differs;
}

// --- spinning ------------------------------------------------------------------------------

void CVectorFieldBase::AfterSpin()
{
    // The spin wrote the model's a, b, c or d itself: the next update must not take that for a
    // change of the model, which would hide the layers and set the ranges round the new value.
    const std::vector<double> now = SeenValues(GetModel()->Core());
    if (m_seen.size() == now.size())
        std::copy_n(now.begin(), kSpunValues, m_seen.begin());
    Spun();
}

void CVectorFieldBase::UpdateSpinControls()
{
    IModelDocument* m = GetModel();
    if (!m || !m_editBuddy.GetSafeHwnd())
        return;
    const CModelCore& s = m->Core();
    const int param = s.m_nSpinParam;
    if (m_spin.Spins(param)) {
        // Showing the position is no step.
        m_bSkipSpinChange = true;
        m_editBuddy.SetWindowText(FormatNumber(m_spin.Position(s), 0));
        m_bSkipSpinChange = false;
        m_spinCtrl.GetPos();
        ShowSpinValue(s);
        m_editParam.SetWindowText(m_spin.Name(param));
    }
    const CRect range(0, m_nStripH, 200, m_rcPlot.top);
    InvalidateRect(&range, TRUE);
    InvalidateRect(&m_rcParamLine, TRUE);
    InvalidateRect(&m_rcPlotHit, TRUE);
}

void CVectorFieldBase::ShowSpinValue(const CModelCore& s)
{
    const int digits = s.m_nSpinParam == kSpinT ? m_nDigitsDt : m_nDigitsX;
    m_editValue.SetWindowText(FormatNumber(m_spin.Value(s), digits));
}

void CVectorFieldBase::RefuseEntry(const std::string& message)
{
    AfxMessageBox(message, MB_OK);
    m_editValue.SetFocus();
    m_editValue.SetSel(0, -1);
}

void CVectorFieldBase::OnEnChangeVfSpinBuddy()
{
    if (std::exchange(m_bSkipSpinChange, false))
        return;
    IModelDocument* m = GetModel();
    if (!m || Running())
        return;
    CModelCore& s = m->Core();
    m_spin.Step(s, m_spinCtrl.GetPos());
    if (m_spin.Spins(s.m_nSpinParam))
        ShowSpinValue(s);
    AfterSpin();
    InvalidateRect(&m_rcParamLine, TRUE);
}

void CVectorFieldBase::OnEnMaxtextVfSpinParam()
{
    IModelDocument* m = GetModel();
    if (!m || Running())
        return;
    CModelCore& s = m->Core();
    const int param = m_spin.ParamOfName(m_editParam.GetWindowText());
    if (param == 0) {
        RefuseEntry(m_spin.NameRefusal());
        return;
    }
    s.m_nSpinParam = param;
    m_spin.Choose(s);
    UpdateSpinControls();
    AfterSpin();
    m->MarkModified();
}

void CVectorFieldBase::OnEnMaxtextVfSpinValue()
{
    // The position written after an accepted value is no step; after a refused one the next
    // change of the position is passed over too.
    m_bSkipSpinChange = true;
    IModelDocument* m = GetModel();
    if (!m || Running())
        return;
    const CSpinModel::Entry entry = m_spin.Enter(m->Core(), m_editValue.GetWindowText());
    if (!entry.accepted) {
        RefuseEntry(entry.message);
        return;
    }
    UpdateSpinControls();
    m_bSkipSpinChange = false;
    AfterSpin();
    m->MarkModified();
}

// --- texts and legend ----------------------------------------------------------------------

void CVectorFieldBase::DrawSpinRange(CDC* pDC)
{
    if (pDC->IsPrinting())
        return;
    const CModelCore& s = GetModel()->Core();
    const int param = s.m_nSpinParam;
    std::string text;
    if (param == kSpinT) {
        text = "0 : " + FormatNumber(s.m_dRunTimeLimit, m_nDigitsDt);
    } else if (m_spin.Spins(param)) {
        const SpinRange r = m_spin.Range(param);
        text = FormatNumber(r.lo, m_nDigitsX) + " : " + FormatNumber(r.hi, m_nDigitsX);
    }
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    pDC->SetTextAlign(TA_LEFT | TA_TOP);
    pDC->TextOut(10, m_nStripH, text);
}

void CVectorFieldBase::DrawVectorFieldMargins(CDC* pDC, const std::vector<double>& initial)
{
    const CModelCore& s = GetModel()->Core();
    const SystemKind kind = Key().kind;
    CFont* pOldFont = m_hFontUp ? pDC->SelectObject(m_hFontUp.get()) : nullptr;
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    DrawInitialValues(pDC, *this, kind, InitialLabels::Plane, initial, m_nDigitsX, m_nDigitsY);
    DrawTimeBase(pDC, *this, s.m_nChrononsPerCycle, s.m_dChronon, DigitsForStep(s.m_dChronon));
    if (m_hFont)
        pDC->SelectObject(m_hFont.get());

    pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
    pDC->SetBkMode(OPAQUE);
    DrawLegendSwatch(pDC, m_rcPlot.right + 3, m_rcPlot.bottom, " x ", s.m_clrVFTrack);
    const char* vertical = Description().names[1] == std::string("y") ? " y " : " x' ";
    const int w = DrawLegendSwatch(pDC, m_rcPlot.left, m_rcPlot.top - 1, vertical, s.m_clrVFTrack);
    const CRect track(m_rcPlot.left, m_rcPlot.top - 1 - m_nTextHeight, m_rcPlot.left + w,
                      m_rcPlot.top - 1);
    m_legend.Place(0, track);
    m_rcLegend = CRect(m_rcPlot.left, track.top, track.right + 2, m_rcPlot.top - 1);

    DrawEquations(pDC, *this, kind, s);
    const int mid = (m_rcPlot.left + m_rcPlot.right) / 2;
    const int lines = static_cast<int>(s.Equations().size());
    m_rcParamLine = CRect(mid - 200, lines * m_nTextHeight, mid + 200, (lines + 1) * m_nTextHeight);
    DrawSpinRange(pDC);
    if (pOldFont)
        pDC->SelectObject(pOldFont);
}

void CVectorFieldBase::EditLegendStyle(int nItem)
{
    IModelDocument* m = GetModel();
    if (!m || nItem != 0)
        return;
    CModelCore& s = m->Core();
    if (!EditPen(this, s.m_nStyleVFTrack, s.m_nWidthVFTrack, s.m_clrVFTrack))
        return;
    const CRect above(m_rcPlot.left, 0, m_rcPlot.right, m_rcPlot.top);
    const CRect right(m_rcPlot.right, m_rcPlot.top, m_rcPlot.right + m_nMarginRight,
                      m_rcPlot.bottom);
    InvalidateRect(&above, TRUE);
    InvalidateRect(&right, TRUE);
    m->MarkModified();
}
