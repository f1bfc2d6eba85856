#include "views/phase/BasinsView.h"

#include "model/CommandIds.h"
#include "model/ImageFile.h"
#include "model/ProgressBarWnd.h"
#include "platform/WinApp.h"
#include "platform/base/NoMemory.h"
#include "views/base/MarginTexts.h"
#include "views/phase/PhaseLineDraw.h"
#include "views/rows/PlotText.h"

#include <QImage>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <system_error>

VX_IMPLEMENT_ABSTRACT(CBasinsView, C2DView)
VX_IMPLEMENT_CLASS(CSys1BA, CBasinsView)
VX_IMPLEMENT_CLASS(CSys1NNBA, CBasinsView)
VX_IMPLEMENT_CLASS(CSys2BA, CBasinsView)

namespace {
const char* const kNoThread = "Could not create calculation thread.";

PlotDescription BasinsPlot(SystemKind kind)
{
    PlotDescription d;
    d.block = LimitBlock::Basins;
    d.xColumn = kSlotX;
    d.yColumn = kind == SystemKind::TwoVariable ? kSlotY : kSlotXp;
    d.title = " Basins of Attraction";
    d.key = {kViewBasins, kind};
    return d;
}
} // namespace

const BasinsKindInfo& BasinsKind(SystemKind kind)
{
    static const BasinsKindInfo kinds[] = {
        {" x' ", false, false}, // Newtonian: start x and velocity
        {" x' ", true, true},   // one-variable: x alone, under its phase line
        {" y ", false, false},  // two-variable
    };
    return kinds[std::min(static_cast<int>(kind), 2)];
}

CBasinsView::CBasinsView(SystemKind kind)
    : C2DView(BasinsPlot(kind)), m_kind(kind),
      m_run({[this] { PaintRows(); }, [this] { FinishScan(); }})
{
    if (BasinsKind(kind).phaseLine)
        m_pPhaseLine = &Layers().Add<CPhaseLineLayer>(
            [this]() -> CModelCore* { return GetModel() ? &GetModel()->Core() : nullptr; },
            [this] { return GetModel() && !GetModel()->Core().EquationsUseDelayedVars(); },
            kBasinsTouch);
    m_pPicture = &Layers().Add<CPlotImageLayer>();
    MapCommand(ID_CONTROLS_RUN, &CBasinsView::OnControlsRun);
    MapUpdate(ID_CONTROLS_RUN, &CBasinsView::OnUpdateIdle);
    MapCommand(ID_CONTROLS_STOP, &CBasinsView::OnControlsStop);
    MapUpdate(ID_CONTROLS_STOP, &CBasinsView::OnUpdateControlsStop);
    MapCommand(ID_CONTROLS_CLEARDATA, &CBasinsView::OnControlsClearData);
    MapUpdate(ID_CONTROLS_CLEARDATA, &CBasinsView::OnUpdateIdle);
    MapCommand(ID_FILE_SAVE_IMAGE, &CBasinsView::OnFileSaveImage);
    MapUpdate(ID_FILE_SAVE_IMAGE, &CBasinsView::OnUpdateIdle);
    MapControl(CDepthStrip::kEdit, EN_MAXTEXT, &CBasinsView::OnEnMaxtextDepth);
    MapControl(CDepthStrip::kBuddy, EN_CHANGE, &CBasinsView::OnEnChangeDepthBuddy);
}

CBasinsView::~CBasinsView() = default;

void CBasinsView::OnInitialUpdate()
{
    C2DView::OnInitialUpdate();
    if (IModelDocument* m = GetModel())
        m_depth.Create(this, m->Core().m_nBADepth);
}

// --- Depth ---------------------------------------------------------------------------------

void CBasinsView::OnEnChangeDepthBuddy()
{
    IModelDocument* m = GetModel();
    if (!m)
        return;
    const std::string text = m_depth.m_buddy.GetWindowText();
    int depth = 0;
    if (!ParseBuddyDepth(text, depth))
        return; // not the up-down's own text
    if (depth != m->Core().m_nBADepth) {
        m->Core().m_nBADepth = depth;
        m->MarkModified();
    }
    m_depth.m_edit.SetWindowText(text);
}

void CBasinsView::OnEnMaxtextDepth()
{
    IModelDocument* m = GetModel();
    int depth = 0;
    if (!m)
        return;
    if (!ParseDepth(m_depth.m_edit.GetWindowText(), depth)) {
        AfxMessageBox("Please enter an integer from 0 to 1000");
        m_depth.SelectText();
        return;
    }
    const bool changed = depth != m->Core().m_nBADepth;
    m->Core().m_nBADepth = depth;
    m_depth.Show(depth);
    if (changed)
        m->MarkModified();
}

// --- drawing -------------------------------------------------------------------------------

void CBasinsView::DrawMargins(CDC* pDC)
{
    const CModelCore& s = GetModel()->Core();
    const int h = m_rcPlot.bottom - m_rcPlot.top;
    CFont* pOldFont = m_hFontUp ? pDC->SelectObject(m_hFontUp.get()) : nullptr;
    pDC->SetTextAlign(TA_CENTER | TA_TOP);
    pDC->TextOut(0, m_nMarginTop + h / 4, "Chro/Cyc = " + FormatNumber(s.m_nChrononsPerCycle, 0));
    pDC->TextOut(0, m_nMarginTop + 3 * h / 4,
                 "dt =" + FormatNumber(s.m_dChronon, DigitsForStep(s.m_dChronon)));
    if (m_hFont)
        pDC->SelectObject(m_hFont.get());
    pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
    pDC->TextOut(m_rcPlot.right + 3, m_rcPlot.bottom, " x ");
    pDC->TextOut(m_rcPlot.left, m_rcPlot.top - 1, BasinsKind(m_kind).vertical);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    pDC->SetTextAlign(TA_LEFT | TA_TOP);
    pDC->TextOut(0, std::max(20, m_depth.Height()), "Depth");
    DrawEquations(pDC, *this, m_kind, s);
    if (pOldFont)
        pDC->SelectObject(pOldFont);
}

bool CBasinsView::OnOwnHint(LPARAM)
{
    // Depth set elsewhere (the data-entry window) shows in the strip.
    const int depth = GetModel()->Core().m_nBADepth;
    if (m_depth.m_edit.GetSafeHwnd() && m_depth.m_edit.GetWindowText() != std::to_string(depth))
        m_depth.Show(depth);
    // Every update but a row draws the window again with the model's texts; the picture stays.
    if (m_pPhaseLine)
        Layers().MarkStale(*m_pPhaseLine);
    RedrawWindow();
    return true;
}

// --- the scan ------------------------------------------------------------------------------

CBasinsParams CBasinsView::ScanParams()
{
    CModelCore& s = GetModel()->Core();
    s.RecordEquations();
    CBasinsParams p;
    p.SetModel(CPlaneModel::Of(s));
    p.model.chronon = s.m_dChronon;
    p.integrator = s.m_nIntegrator;
    p.depth = s.m_nBADepth;
    p.block = s.m_nBAGrid;
    p.left = m_rcPlot.left;
    p.top = m_rcPlot.top;
    p.right = m_rcPlot.right;
    p.bottom = m_rcPlot.bottom;
    p.scaleX = m_dScaleX;
    p.scaleY = m_dScaleY;
    p.xmin = m_dXMin;
    p.ymax = m_dYMax;
    p.delayed = s.EquationsUseDelayedVars();
    p.xDelay = s.m_nXDelay;
    p.yDelay = s.m_nYDelay;
    return p;
}

void CBasinsView::OnControlsRun()
{
    IModelDocument* m = GetModel();
    if (!m || Scanning())
        return;
    CModelCore& s = m->Core();
    // Each scan starts from an empty picture over the plot as it is now.
    const QWidget* w = GetWidget();
    m_pPicture->Reset(m_rcPlotHit, w ? w->devicePixelRatioF() : 1.0);
    InvalidateRect(&m_rcPlotHit, TRUE);
    bool started = false;
    try {
        // The scan's grid, as large as the plot, may be more than memory holds.
        started = TellIfNoMemory([this] { m_run.Start(ScanParams()); });
    } catch (const std::system_error&) {
        AfxMessageBox(kNoThread);
    }
    if (!started)
        return;
    m_bConcurrent = s.m_bPlotConcurrent != 0;
    m_nStepsShown = 0;
    m->SetBasinsScanning(true);
    m_hwndProgress = CProgressBarWnd::Open("BA Calculation Progress", this);
}

void CBasinsView::OnControlsStop()
{
    m_run.RequestStop();
}

void CBasinsView::OnUpdateIdle(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(GetModel() && !GetModel()->Core().m_bBARunning);
}

void CBasinsView::OnUpdateControlsStop(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(Scanning());
}

void CBasinsView::StepProgress()
{
    for (const long long n = m_run.Progress(); m_nStepsShown < n; ++m_nStepsShown)
        ::SendMessage(m_hwndProgress, WM_PROGRESS_STEP, 0, 0);
}

void CBasinsView::PaintRows()
{
    StepProgress();
    if (!m_bConcurrent)
        return;
    // Only the band of the rows taken (none on most ticks of a slow scan), and of it only what
    // the plot shows now: after a shrink the area reaches into the margins, whose texts would be
    // drawn again over themselves without an erase.
    CRect band = m_pPicture->ShownIn(m_rcPlotHit);
    int top = band.bottom, bottom = band.top;
    m_run.TakeRows([&](int py, int px0, int step, int count, const COLORREF* colors) {
        m_pPicture->SetPixels(py, px0, step, count, colors);
        top = std::min(top, py);
        bottom = std::max(bottom, py + 1);
    });
    band.top = std::max(band.top, top);
    band.bottom = std::min(band.bottom, bottom);
    if (!band.IsRectEmpty())
        InvalidateRect(&band, FALSE);
}

void CBasinsView::FinishScan()
{
    m_bConcurrent = true; // the rows not painted yet
    PaintRows();
    EndScanFlags();
    RedrawWindow();
}

void CBasinsView::EndScanFlags()
{
    CProgressBarWnd::Close(std::exchange(m_hwndProgress, nullptr));
    if (IModelDocument* m = GetModel())
        m->SetBasinsScanning(false);
}

void CBasinsView::OnDestroy()
{
    // The scan ends with the view; the model may run another.
    if (Scanning()) {
        m_run.Stop();
        EndScanFlags();
    }
    C2DView::OnDestroy();
}

void CBasinsView::OnControlsClearData()
{
    if (Scanning())
        return;
    m_pPicture->Clear();
    InvalidateRect(&m_rcPlotHit, TRUE);
    UpdateWindow();
}

void CBasinsView::OnFileSaveImage()
{
    if (Scanning())
        return;
    CRect rect = m_rcPlotHit;
    if (AfxMessageBox("Include Margins?", MB_YESNO) == IDYES)
        GetClientRect(&rect);
    // Before the file dialog opens, so that the picture shows the view unobscured.
    std::shared_ptr<QImage> picture;
    if (TellIfNoMemory([&] { picture = GrabWindowImage(this, rect); }))
        SaveImageAs(picture.get());
}
