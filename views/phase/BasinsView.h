#pragma once
// Basins of Attraction: every pixel of the plot is a start point (x and x', or x and y), and
// the scan colours it by where x ends after Depth steps (model/phase/BasinsScan). One design for
// the Newtonian, one-variable and two-variable kinds; what differs is in the kind's
// BasinsKindInfo (the one-variable view scans a band of 16 rows and draws its phase line under
// it). The 2-D base gives the page, zoom, pan, reset, Set Limits and the rubber band on the
// basins limits; this view adds the scan (Run, Stop, Clear Data), the picture as an image
// layer, Depth and Save Image.
//
// The scan runs on the view's own calculation (CBasinsRun): finished rows reach the picture
// at most about thirty times a second while Concurrent Plot is on, and all at once at the end
// otherwise. Limit changes do not move the picture: it stays where its pixels were computed
// until the next Run or Clear Data.
#include "model/phase/BasinsScan.h"
#include "views/base/2DView.h"
#include "views/base/KindView.h"
#include "views/phase/BasinsDepth.h"
#include "views/phase/BasinsRun.h"

class CPhaseLineLayer;

struct BasinsKindInfo
{
    const char* vertical; // the vertical axis's label
    bool band;            // one-variable: the scan covers the 16 rows at the top
    bool phaseLine;       // the phase line of x' = f(x) under the pixels
};
const BasinsKindInfo& BasinsKind(SystemKind kind);

class CBasinsView : public C2DView
{
    VX_DECLARE_CLASS(CBasinsView)
public:
    explicit CBasinsView(SystemKind kind);
    ~CBasinsView() override;

    SystemKind Kind() const { return m_kind; }
    // A scan of this view is going on.
    bool Scanning() const { return m_run.Running(); }
    const CPlotImageLayer& Picture() const { return *m_pPicture; }
    // The parameters of a scan of the model over the view's plot, with the model's equations
    // recorded now into the copy of its parser. An equation nested too deeply for the parser
    // gets its message here, on the user-interface thread, and scans as 0; other failures of an
    // equation stay silent.
    CBasinsParams ScanParams();

    void OnInitialUpdate() override;
    void OnControlsRun();
    void OnControlsStop();
    void OnControlsClearData();
    void OnFileSaveImage();
    void OnEnMaxtextDepth();
    void OnEnChangeDepthBuddy();
    const CDepthStrip& Depth() const { return m_depth; }

protected:
    void DrawMargins(CDC* pDC) override;
    bool OnOwnHint(LPARAM lHint) override;
    void OnDestroy() override;

private:
    void OnUpdateIdle(CCmdUI* pCmdUI);
    void OnUpdateControlsStop(CCmdUI* pCmdUI);
    void PaintRows();
    void StepProgress();
    void FinishScan();
    void EndScanFlags();

    SystemKind m_kind;
    CPhaseLineLayer* m_pPhaseLine = nullptr;
    CPlotImageLayer* m_pPicture = nullptr;
    HWND m_hwndProgress = nullptr;
    long long m_nStepsShown = 0;
    bool m_bConcurrent = false; // the running scan paints its rows as they finish
    CDepthStrip m_depth;
    CBasinsRun m_run; // last: its worker is joined before the rest goes
};

VX_KIND_VIEW(CSys1BA, CBasinsView, SystemKind::Newtonian)
VX_KIND_VIEW(CSys1NNBA, CBasinsView, SystemKind::OneVariable)
VX_KIND_VIEW(CSys2BA, CBasinsView, SystemKind::TwoVariable)
