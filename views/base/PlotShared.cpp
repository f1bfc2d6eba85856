#include "views/base/PlotShared.h"

#include "platform/FrameWnd.h"
#include "platform/Wnd.h"

#include <QWidget>
#include <algorithm>
#include <cstring>

CSize MeasureText(CDC* pDC, const std::string& str)
{
    return pDC->GetTextExtent(str);
}

void EraseRect(CDC* pDC, const CRect& rect)
{
    CBrush brush(GetSysColor(COLOR_WINDOW));
    pDC->FillRect(&rect, &brush);
}

std::unique_ptr<CFont> MakePlotFont(int escapement)
{
    LOGFONT lf{};
    lf.lfHeight = -12;
    lf.lfEscapement = escapement;
    std::strcpy(lf.lfFaceName, "Arial");
    auto font = std::make_unique<CFont>();
    font->CreateFontIndirect(&lf);
    return font;
}

bool ConsumeSkipNextDraw(CWnd* pView)
{
    CFrameWnd* pFrame = pView->GetParentFrame();
    if (!pFrame || !pFrame->m_bSkipNextDraw)
        return false;
    pFrame->m_bSkipNextDraw = 0;
    return true;
}

void MapPrintedPage(CDC* pDC, const CRect& client)
{
    int horz = pDC->GetDeviceCaps(HORZRES);
    const int vert = pDC->GetDeviceCaps(VERTRES);
    if (horz * 3 / 4 > vert)
        horz = vert * 4 / 3;
    pDC->SetMapMode(MM_ANISOTROPIC);
    pDC->SetWindowExt(client.Width(), client.Height());
    pDC->SetViewportExt(horz, horz * 3 / 4);
}

CRect PlotPageClient(const CWnd* pWnd, CDC* pDC)
{
    CRect client;
    pWnd->GetClientRect(&client);
    if (pDC->IsPrinting())
        MapPrintedPage(pDC, client);
    return client;
}

int MeasureCaptions(CDC* pDC, const char* const* texts, int n, int* widths)
{
    for (int i = 0; i < n; ++i)
        widths[i] = MeasureText(pDC, texts[i]).cx;
    return MeasureText(pDC, "0123456789").cy;
}

void FramePlot(CDC* pDC, const CRect& plot)
{
    CBrush frame(GetSysColor(COLOR_WINDOWTEXT));
    const CRect frameRect(plot.left - 1, plot.top - 1, plot.right + 1, plot.bottom + 1);
    pDC->FrameRect(&frameRect, &frame);
}

void MoveXorCross(CDC* pDC, BYTE& drawn, CPoint& at, CPoint to, const CRect& hit)
{
    CPen pen(PS_SOLID, 1, 0xFFFFFF);
    CPen* pOldPen = pDC->SelectObject(&pen);
    const int oldRop = pDC->SetROP2(R2_XORPEN);
    auto cross = [pDC](CPoint c) {
        pDC->MoveTo(c.x - 8, c.y);
        pDC->LineTo(c.x + 8, c.y);
        pDC->MoveTo(c.x, c.y - 8);
        pDC->LineTo(c.x, c.y + 8);
    };
    if (drawn) {
        cross(at);
        drawn = 0;
    }
    if (hit.PtInRect(to)) {
        at = to;
        cross(at);
        drawn = 1;
    }
    pDC->SelectObject(pOldPen);
    pDC->SetROP2(oldRop);
}

void InvalidateStrips(CWnd* pWnd, const CRect* const strips[4])
{
    for (int i = 0; i < 4; ++i)
        pWnd->InvalidateRect(strips[i], TRUE);
}

void PolylineBatch::Add(CPoint a, CPoint b)
{
    if (a == b)
        return; // a zero-length segment draws nothing
    if (m_pts.empty() || m_pts.back() != a) {
        if (m_pts.size() >= kMaxPoints)
            Flush();
        m_pts.push_back(a);
        m_counts.push_back(1);
    }
    m_pts.push_back(b);
    ++m_counts.back();
}

void PolylineBatch::Flush()
{
    if (!m_pts.empty()) {
        CPen* pOld = m_pPen ? m_pDC->SelectObject(m_pPen) : nullptr;
        m_pDC->PolyPolyline(m_pts.data(), m_counts.data(), static_cast<int>(m_counts.size()));
        if (m_pPen)
            m_pDC->SelectObject(pOld);
    }
    m_pts.clear();
    m_counts.clear();
}

CDC& CLiveCanvas::DC(CWnd* pWnd)
{
    if (!m_pDC)
        m_pDC = std::make_unique<CClientDC>(pWnd);
    return *m_pDC;
}

void CLiveCanvas::Touch(CPoint a, CPoint b, int width)
{
    Touch(CRect(std::min(a.x, b.x) - width, std::min(a.y, b.y) - width,
                std::max(a.x, b.x) + width + 1, std::max(a.y, b.y) + width + 1));
}

void CLiveCanvas::Touch(const CRect& r)
{
    m_rcBox.left = std::min(m_rcBox.left, r.left);
    m_rcBox.top = std::min(m_rcBox.top, r.top);
    m_rcBox.right = std::max(m_rcBox.right, r.right);
    m_rcBox.bottom = std::max(m_rcBox.bottom, r.bottom);
}

void CLiveCanvas::Show(CWnd* pWnd, bool force)
{
    const auto now = std::chrono::steady_clock::now();
    if (m_rcBox.left >= m_rcBox.right || (!force && now - m_tShown < kFrame))
        return;
    if (QWidget* w = pWnd->GetWidget())
        w->update(m_rcBox.left, m_rcBox.top, m_rcBox.Width(), m_rcBox.Height());
    m_rcBox = CRect(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    m_tShown = now;
}

CPen& CLiveCanvas::Pen(int style, int width, COLORREF color)
{
    for (KeptPen& k : m_pens)
        if (k.style == style && k.width == width && k.color == color)
            return *k.pen;
    constexpr std::size_t kKept = 16; // a view's curves and their marks, with room to change
    if (m_pens.size() >= kKept)
        m_pens.clear();
    m_pens.push_back({style, width, color, std::make_unique<CPen>(style, width, color)});
    return *m_pens.back().pen;
}

void CLiveCanvas::End()
{
    m_pDC.reset(); // the window shows all that was drawn
    m_rcBox = CRect(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
}

void MakePlotFonts(std::unique_ptr<CFont>& level, std::unique_ptr<CFont>& up,
                   std::unique_ptr<CFont>& down)
{
    level = MakePlotFont(0);
    up = MakePlotFont(900);
    down = MakePlotFont(-900);
}
