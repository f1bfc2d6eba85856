#include "views/base/2DView.h"

#include "platform/FrameWnd.h"
#include "platform/Ids.h"
#include "views/base/PlotText.h"

#include <cmath>
#include <cstring>

VX_IMPLEMENT_CLASS(C2DView, CView)

namespace {
const char* const kCaptionTexts[5] = {"t =", "x =", "y =", "x' =", "y' ="};
constexpr COLORREF kWhite = 0xFFFFFF;

LOGFONT PlotFont(int escapement)
{
    LOGFONT lf{};
    lf.lfHeight = -12;
    lf.lfEscapement = escapement;
    std::strcpy(lf.lfFaceName, "Arial");
    return lf;
}

std::unique_ptr<CFont> MakeFont(int escapement)
{
    const LOGFONT lf = PlotFont(escapement);
    auto font = std::make_unique<CFont>();
    font->CreateFontIndirect(&lf);
    return font;
}
} // namespace

C2DView::C2DView() = default;

C2DView::~C2DView() = default;

std::string C2DView::FormatNumber(double value, int digits)
{
    return ::FormatNumber(value, digits);
}

CSize C2DView::MeasureText(CDC* pDC, const std::string& str)
{
    return pDC->GetTextExtent(str);
}

void C2DView::EraseRect(CDC* pDC, const CRect& rect)
{
    CBrush brush(GetSysColor(COLOR_WINDOW));
    pDC->FillRect(&rect, &brush);
}

void C2DView::OnInitialUpdate()
{
    CView::OnInitialUpdate();
    m_hFont = MakeFont(0);
    m_hFontUp = MakeFont(900);
    m_hFontDown = MakeFont(-900);
}

void C2DView::OnDraw(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    if (pDC->IsPrinting()) {
        const int horz = pDC->GetDeviceCaps(HORZRES);
        pDC->SetMapMode(MM_ANISOTROPIC);
        pDC->SetWindowExt(client.Width(), client.Height());
        pDC->SetViewportExt(horz, horz * 3 / 4);
    }

    CPen pen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT));
    CFont* pOldFont = m_hFont ? pDC->SelectObject(m_hFont.get()) : nullptr;
    CPen* pOldPen = pDC->SelectObject(&pen);

    const int h = MeasureText(pDC, "0123456789").cy;
    int widths[5];
    for (int i = 0; i < 5; ++i)
        widths[i] = MeasureText(pDC, kCaptionTexts[i]).cx;
    Layout(client, h, widths);

    const CRect& p = m_rcPlot;
    CBrush frame(GetSysColor(COLOR_WINDOWTEXT));
    const CRect frameRect(p.left - 1, p.top - 1, p.right + 1, p.bottom + 1);
    pDC->FrameRect(&frameRect, &frame);

    pDC->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextAlign(TA_LEFT | TA_TOP);
    pDC->TextOut(p.left, p.bottom, FormatNumber(m_dXMin, m_nDigitsX));
    pDC->SetTextAlign(TA_RIGHT | TA_TOP);
    pDC->TextOut(p.right, p.bottom, FormatNumber(m_dXMax, m_nDigitsX));
    if (m_hFontUp)
        pDC->SelectObject(m_hFontUp.get());
    pDC->SetTextAlign(TA_LEFT | TA_BOTTOM);
    pDC->TextOut(p.left, p.bottom, FormatNumber(m_dYMin, m_nDigitsY));
    pDC->SetTextAlign(TA_RIGHT | TA_BOTTOM);
    pDC->TextOut(p.left, p.top, FormatNumber(m_dYMax, m_nDigitsY));

    DrawZeroAxes(pDC);

    m_bCrossDrawn = 0;
    m_bLiveDrawn = 0;
    if (pOldFont)
        pDC->SelectObject(pOldFont);
    pDC->SelectObject(pOldPen);
}

void C2DView::DrawZeroAxes(CDC* pDC)
{
    if (m_dYMin * m_dYMax < 0) {
        const int y = WorldToPixelY(0.0);
        const int x = WorldToPixelX(m_dXMax);
        pDC->MoveTo(WorldToPixelX(m_dXMin), y);
        pDC->LineTo(x, y);
        pDC->LineTo(x - 8, y - 2);
    }
    if (m_dXMin * m_dXMax < 0) {
        const int x = WorldToPixelX(0.0);
        const int y = WorldToPixelY(m_dYMax);
        pDC->MoveTo(x, WorldToPixelY(m_dYMin));
        pDC->LineTo(x, y);
        pDC->LineTo(x - 2, y + 8);
    }
}

void C2DView::ShowReadout(CDC* pDC, int px, int py, BOOL bCrosshair)
{
    const double x = PixelToWorldX(px);
    const double y = PixelToWorldY(py);
    const CRect& p = m_rcPlot;
    const int h = m_nTextHeight;

    CFont* pOldFont = m_hFont ? pDC->SelectObject(m_hFont.get()) : nullptr;
    pDC->SetTextAlign(TA_CENTER | TA_TOP);
    pDC->SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    pDC->SetBkColor(GetSysColor(COLOR_WINDOW));
    pDC->SetBkMode(OPAQUE);

    const int midX = (p.left + p.right) / 2;
    std::string text = FormatNumber(x, m_nDigitsX);
    CRect& boxX = bCrosshair ? m_rcCrossValueX : m_rcMouseValueX;
    EraseRect(pDC, boxX);
    int w = MeasureText(pDC, text).cx;
    boxX.left = midX - w / 2 - 1;
    boxX.right = midX + 1 + w / 2;
    pDC->TextOut(midX, bCrosshair ? p.bottom + h : p.bottom + 2, text);

    const int midY = (p.top + p.bottom) / 2;
    text = FormatNumber(y, m_nDigitsY);
    if (m_hFontUp)
        pDC->SelectObject(m_hFontUp.get());
    CRect& boxY = bCrosshair ? m_rcCrossValueY : m_rcMouseValueY;
    EraseRect(pDC, boxY);
    w = MeasureText(pDC, text).cx;
    boxY.top = midY - w / 2 - 1;
    boxY.bottom = midY + w / 2 + 1;
    pDC->TextOut(bCrosshair ? p.left - 2 * h : p.left - h - 1, midY, text);

    if (pOldFont)
        pDC->SelectObject(pOldFont);
}

void C2DView::DrawCrosshair(CDC* pDC, int px, int py)
{
    CPen pen(PS_SOLID, 1, kWhite);
    CPen* pOldPen = pDC->SelectObject(&pen);
    const int oldRop = pDC->SetROP2(R2_XORPEN);
    auto cross = [pDC](CPoint c) {
        pDC->MoveTo(c.x - 8, c.y);
        pDC->LineTo(c.x + 8, c.y);
        pDC->MoveTo(c.x, c.y - 8);
        pDC->LineTo(c.x, c.y + 8);
    };
    if (m_bCrossDrawn) {
        cross(m_ptCross);
        m_bCrossDrawn = 0;
    }
    if (m_rcPlotHit.PtInRect({px, py})) {
        m_ptCross = {px, py};
        cross(m_ptCross);
        m_bCrossDrawn = 1;
    }
    pDC->SelectObject(pOldPen);
    pDC->SetROP2(oldRop);
    ShowReadout(pDC, px, py, TRUE);
}

void C2DView::DrawBand(CDC* pDC, CPoint corner)
{
    const CPoint a = m_ptBandAnchor;
    pDC->MoveTo(a);
    pDC->LineTo(corner.x, a.y);
    pDC->LineTo(corner);
    pDC->LineTo(a.x, corner.y);
    pDC->LineTo(a);
}

void C2DView::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_rcPlotHit.PtInRect(point)) {
        CClientDC dc(this);
        if (m_bBanding) {
            CPen pen(PS_SOLID, 1, kWhite);
            CPen* pOldPen = dc.SelectObject(&pen);
            const int oldRop = dc.SetROP2(R2_XORPEN);
            DrawBand(&dc, m_ptBandCorner);
            DrawBand(&dc, point);
            m_ptBandCorner = point;
            dc.SelectObject(pOldPen);
            dc.SetROP2(oldRop);
        }
        ShowReadout(&dc, point.x, point.y, FALSE);
    }
    CView::OnMouseMove(nFlags, point);
}

void C2DView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    CollapseReadoutBoxes();
}

void C2DView::DrawArrowHead(CDC* pDC, double xTip, double yTip, double xTail, double yTail,
                            int nLength, int nAngleDeg, COLORREF clr)
{
    const double dx = (xTail - xTip) / m_dScaleX;
    const double dy = (yTail - yTip) / m_dScaleY;
    const double len = std::sqrt(dx * dx + dy * dy);
    if (!(len > 0) || !std::isfinite(len))
        return; // no direction to open towards
    const double ux = dx / len, uy = dy / len;
    const double a = nAngleDeg * 3.14159265358979323846 / 360;
    const double c = std::cos(a), s = std::sin(a);
    const CPoint p0(WorldToPixelX(xTip), WorldToPixelY(yTip));
    const CPoint pts[3] = {
        p0,
        {p0.x + ClampToPixel((c * ux - s * uy) * nLength),
         p0.y - ClampToPixel((s * ux + c * uy) * nLength)},
        {p0.x + ClampToPixel((c * ux + s * uy) * nLength),
         p0.y - ClampToPixel((c * uy - s * ux) * nLength)},
    };
    CPen pen(PS_SOLID, 1, clr);
    CBrush brush(clr);
    CPen* pOldPen = pDC->SelectObject(&pen);
    CBrush* pOldBrush = pDC->SelectObject(&brush);
    pDC->Polygon(pts, 3);
    pDC->SelectObject(pOldBrush);
    pDC->SelectObject(pOldPen);
}

bool C2DView::ConsumeSkipNextDraw()
{
    CFrameWnd* pFrame = GetParentFrame();
    if (!pFrame || !pFrame->m_bSkipNextDraw)
        return false;
    pFrame->m_bSkipNextDraw = 0;
    return true;
}

BOOL C2DView::OnPreparePrinting(CPrintInfo* pInfo)
{
    return DoPreparePrinting(pInfo);
}
