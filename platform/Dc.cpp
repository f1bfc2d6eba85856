#include "platform/Dc.h"

#include "platform/Resources.h"
#include "platform/Wnd.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QRegion>
#include <QWidget>

#include <cmath>
#include <cstring>
#include <numbers>

namespace {

QColor ToQColor(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

COLORREF FromQRgb(QRgb c)
{
    return RGB(qRed(c), qGreen(c), qBlue(c));
}

QPainter::CompositionMode Composition(int rop)
{
    switch (rop) {
    case R2_XORPEN:
        return QPainter::RasterOp_SourceXorDestination;
    case R2_NOTXORPEN:
        return QPainter::RasterOp_NotSourceXorDestination;
    case R2_NOT:
        return QPainter::RasterOp_NotDestination;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

QRect ToQRect(int x1, int y1, int x2, int y2)
{
    return QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)).normalized();
}

} // namespace

COLORREF GetSysColor(int nIndex)
{
    switch (nIndex) {
    case COLOR_WINDOW:
        return RGB(255, 255, 255);
    case COLOR_BTNFACE:
        return RGB(240, 240, 240);
    default:
        return RGB(0, 0, 0);
    }
}

BOOL CGdiObject::DeleteObject()
{
    BOOL was = m_bCreated;
    m_bCreated = false;
    return was;
}

BOOL CPen::CreatePen(int nStyle, int nWidth, COLORREF color)
{
    m_nStyle = nStyle;
    m_nWidth = nWidth;
    m_color = color;
    m_bCreated = true;
    return TRUE;
}

BOOL CBrush::CreateSolidBrush(COLORREF color)
{
    m_color = color;
    m_bNull = false;
    m_bCreated = true;
    return TRUE;
}

CFont::CFont() : m_pFont(std::make_unique<QFont>())
{
}
CFont::~CFont() = default;

BOOL CFont::CreateFontIndirect(const LOGFONT* pLogFont)
{
    m_lf = *pLogFont;
    QFont f;
    if (m_lf.lfFaceName[0])
        f.setFamily(QString::fromLatin1(m_lf.lfFaceName));
    if (m_lf.lfHeight < 0) {
        f.setPixelSize(-m_lf.lfHeight);
    } else if (m_lf.lfHeight > 0) {
        // A cell height: scale the character size so ascent + descent fits it.
        f.setPixelSize(m_lf.lfHeight);
        const int cell = QFontMetrics(f).height();
        if (cell > 0)
            f.setPixelSize(std::max(1, m_lf.lfHeight * m_lf.lfHeight / cell));
    }
    f.setWeight(m_lf.lfWeight >= FW_BOLD ? QFont::Bold : QFont::Normal);
    f.setItalic(m_lf.lfItalic != 0);
    f.setUnderline(m_lf.lfUnderline != 0);
    f.setStrikeOut(m_lf.lfStrikeOut != 0);
    *m_pFont = f;
    m_bCreated = true;
    return TRUE;
}

BOOL CFont::CreatePointFont(int nPointSize, const char* lpszFaceName)
{
    LOGFONT lf;
    lf.lfHeight = -std::max(1, nPointSize * 96 / 720);
    std::strncpy(lf.lfFaceName, lpszFaceName ? lpszFaceName : "", sizeof lf.lfFaceName - 1);
    return CreateFontIndirect(&lf);
}

CBitmap::CBitmap() : m_pImage(std::make_unique<QImage>())
{
}
CBitmap::~CBitmap() = default;

BOOL CBitmap::LoadBitmap(UINT nIDResource)
{
    QImage img = vx::res::LoadBitmap(nIDResource);
    if (img.isNull())
        return FALSE;
    *m_pImage = img.convertToFormat(QImage::Format_RGB32);
    m_bCreated = true;
    return TRUE;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC*, int nWidth, int nHeight)
{
    if (nWidth <= 0 || nHeight <= 0)
        return FALSE;
    *m_pImage = QImage(nWidth, nHeight, QImage::Format_RGB32);
    if (m_pImage->isNull())
        return FALSE;
    m_pImage->fill(Qt::black);
    m_bCreated = true;
    return TRUE;
}

CSize CBitmap::GetSize() const
{
    return CSize(m_pImage->width(), m_pImage->height());
}

// ---------------------------------------------------------------------------------------------

CDC::CDC()
{
    m_nullBrush.m_bNull = true;
}

CDC::~CDC()
{
    Detach();
}

void CDC::AttachWindow(CWnd* pWnd, bool bPaint)
{
    if (!pWnd || !pWnd->m_pWidget)
        return;
    m_pWnd = pWnd;
    m_ppOwner = &pWnd->m_pPainterOwner;
    if (bPaint && pWnd->m_bInPaint)
        m_pClipRegion = std::make_unique<QRegion>(*pWnd->m_pInvalid);
    if (pWnd->m_pDirectPainter) {
        m_pPainter = pWnd->m_pDirectPainter;
        return;
    }
    pWnd->EnsureBacking();
    if (!pWnd->m_pImage)
        return;
    // The window's painter is begun at the first drawing call and may be ended between calls
    // (a paint, a look at the picture); Prepare begins it again.
    ++pWnd->m_nPainterUsers;
    m_bOnImage = true;
}

void CDC::Detach()
{
    if (m_pWnd && *m_ppOwner == this)
        *m_ppOwner = nullptr;
    if (m_pWnd && m_bOnImage && --m_pWnd->m_nPainterUsers == 0) {
        m_pWnd->EndImagePainter();
        if (!m_pWnd->m_bInPaint && m_pWnd->m_pWidget)
            m_pWnd->m_pWidget->update();
    }
    m_bOnImage = false;
    m_pWnd = nullptr;
    m_pPainter = nullptr;
    m_ppOwner = &m_pOwnerLocal;
}

BOOL CDC::CreateCompatibleDC(CDC*)
{
    Detach();
    return TRUE;
}

BOOL CDC::AttachPrinter(QPrinter* pPrinter, QPainter* pPainter)
{
    Detach();
    m_pPrinter = pPrinter;
    m_pPainter = pPainter;
    m_bMappingDirty = true;
    return pPainter != nullptr;
}

QPainter* CDC::GetPainter()
{
    return Prepare();
}

QPainter* CDC::Prepare()
{
    QPainter* p = m_pOwnPainter ? m_pOwnPainter.get()
                  : m_bOnImage  ? m_pWnd->ImagePainter()
                                : m_pPainter;
    // A picture whose memory could not be had gives a painter that is not active: nothing is
    // drawn, as on a window not shown.
    if (!p || !p->isActive())
        return nullptr;
    if (*m_ppOwner != this) {
        *m_ppOwner = this;
        p->resetTransform();
        if (m_pClipRegion)
            p->setClipRegion(*m_pClipRegion);
        else
            p->setClipping(false);
        m_bMappingDirty = true;
    }
    if (m_bMappingDirty) {
        m_bMappingDirty = false;
        double sx = 1, sy = 1;
        if (m_mapMode == MM_ANISOTROPIC && m_winExt.cx && m_winExt.cy) {
            sx = double(m_viewExt.cx) / m_winExt.cx;
            sy = double(m_viewExt.cy) / m_winExt.cy;
        }
        m_transform =
            QTransform(sx, 0, 0, sy, m_viewOrg.x - m_winOrg.x * sx, m_viewOrg.y - m_winOrg.y * sy);
    }
    if (p->worldTransform() != m_transform) // a shifted line may have moved it
        p->setWorldTransform(m_transform);
    // A page scaled down on the screen (print preview) keeps its thinnest lines as grey ones
    // rather than dropping them; a printer's own output does not change.
    if (m_pPrinter)
        p->setRenderHint(QPainter::Antialiasing, true);
    return p;
}

qreal CDC::UsePen(QPainter* p)
{
    p->setCompositionMode(Composition(m_rop));
    p->setRenderHint(QPainter::Antialiasing, m_pPrinter != nullptr);
    p->setBrush(Qt::NoBrush);
    const CPen& pen = *m_pPen;
    if (pen.m_nStyle == PS_NULL) {
        p->setPen(Qt::NoPen);
        return 0;
    }
    const bool thin = pen.m_nWidth <= 1;
    QPen q(ToQColor(pen.m_color), thin ? 1 : pen.m_nWidth);
    // Dashes and dots exist only for one-pixel pens.
    if (thin && pen.m_nStyle == PS_DASH)
        q.setStyle(Qt::DashLine);
    else if (thin && pen.m_nStyle == PS_DOT)
        q.setStyle(Qt::DotLine);
    else if (thin && pen.m_nStyle == PS_DASHDOT)
        q.setStyle(Qt::DashDotLine);
    q.setCapStyle(thin ? Qt::FlatCap : Qt::RoundCap);
    q.setJoinStyle(thin ? Qt::MiterJoin : Qt::RoundJoin);
    p->setPen(q);
    // At an even pixel ratio a one-pixel line is an even number of device pixels wide, which
    // Qt centres on the coordinate: moved half a pixel across, it covers the same pixels as at
    // ratio 1. The caller moves it (along an axis-parallel line only across it).
    const qreal dpr = p->device() ? p->device()->devicePixelRatioF() : 1.0;
    const qreal whole = std::round(dpr);
    return thin && m_pWnd && whole >= 2 && std::abs(dpr - whole) < 1e-6 && int(whole) % 2 == 0
               ? 0.5
               : 0.0;
}

qreal CDC::UseLinePen(QPainter* p)
{
    const CPen& pen = *m_pPen;
    LinePen want;
    want.painter = p;
    want.device = p->device();
    want.style = pen.m_nStyle;
    want.width = pen.m_nWidth;
    want.color = pen.m_color;
    want.printer = m_pPrinter != nullptr;
    // The painter's own state is compared, so whatever changed it since is seen.
    const bool ready = p->brush().style() == Qt::NoBrush &&
                       p->compositionMode() == Composition(m_rop) &&
                       p->testRenderHint(QPainter::Antialiasing) == want.printer;
    for (const LinePen& known : m_aLinePen) {
        if (ready && known.Same(want)) {
            if (!(p->pen() == known.pen))
                p->setPen(known.pen);
            return known.shift;
        }
    }
    want.shift = UsePen(p);
    want.pen = p->pen();
    m_aLinePen[m_nNextLinePen] = want;
    m_nNextLinePen = (m_nNextLinePen + 1) % 4;
    return want.shift;
}

// Unshifted, the line is drawn in the mapping that Prepare set.
void CDC::DrawSegment(QPainter* p, qreal shift, CPoint a, CPoint b)
{
    // A one-pixel line leaves out its end point, so from a point to itself it sets nothing
    // (Qt would set the point; a run drawn live would show dots its repaint has not).
    if (a == b && m_pPen->m_nWidth <= 1)
        return;
    if (shift != 0) {
        p->setWorldTransform(m_transform);
        p->translate(a.y == b.y ? 0 : shift, a.x == b.x ? 0 : shift);
    }
    p->drawLine(QPoint(a.x, a.y), QPoint(b.x, b.y));
}

namespace {
// Selects obj (or the DC's own default for nullptr) and returns what was selected.
template <class T> T* Select(T*& slot, T* obj, T* def)
{
    return std::exchange(slot, obj ? obj : def);
}

std::vector<QPoint> ToQPoints(const CPoint* pts, int nCount)
{
    std::vector<QPoint> q;
    q.reserve(size_t(std::max(nCount, 0)));
    for (int i = 0; i < nCount; ++i)
        q.emplace_back(pts[i].x, pts[i].y);
    return q;
}
} // namespace

CPen* CDC::SelectObject(CPen* pPen)
{
    return Select(m_pPen, pPen, &m_defPen);
}

CBrush* CDC::SelectObject(CBrush* pBrush)
{
    return Select(m_pBrush, pBrush, &m_defBrush);
}

CFont* CDC::SelectObject(CFont* pFont)
{
    return Select(m_pFont, pFont, &m_defFont);
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap)
{
    m_pOwnPainter.reset();
    CBitmap* old = Select(m_pBitmap, pBitmap, &m_defBitmap);
    if (!m_pBitmap->GetImage().isNull())
        m_pOwnPainter = std::make_unique<QPainter>(&m_pBitmap->GetImage());
    m_bMappingDirty = true;
    return old;
}

CGdiObject* CDC::SelectStockObject(int nIndex)
{
    switch (nIndex) {
    case NULL_BRUSH:
        return SelectObject(&m_nullBrush);
    case WHITE_BRUSH:
        return SelectObject(&m_defBrush);
    case BLACK_BRUSH:
        return SelectObject(&m_blackBrush);
    case NULL_PEN:
        return SelectObject(&m_nullPen);
    case WHITE_PEN:
        return SelectObject(&m_whitePen);
    case BLACK_PEN:
        return SelectObject(&m_defPen);
    default:
        return nullptr;
    }
}

COLORREF CDC::SetTextColor(COLORREF color)
{
    return std::exchange(m_textColor, color);
}

COLORREF CDC::SetBkColor(COLORREF color)
{
    return std::exchange(m_bkColor, color);
}

int CDC::SetBkMode(int nMode)
{
    return std::exchange(m_bkMode, nMode);
}

UINT CDC::SetTextAlign(UINT nFlags)
{
    return std::exchange(m_textAlign, nFlags);
}

int CDC::SetROP2(int nDrawMode)
{
    return std::exchange(m_rop, nDrawMode);
}

int CDC::SetMapMode(int nMode)
{
    m_bMappingDirty = true;
    return std::exchange(m_mapMode, nMode);
}

CSize CDC::SetWindowExt(int cx, int cy)
{
    m_bMappingDirty = true;
    return std::exchange(m_winExt, CSize(cx, cy));
}

CSize CDC::SetViewportExt(int cx, int cy)
{
    m_bMappingDirty = true;
    return std::exchange(m_viewExt, CSize(cx, cy));
}

CPoint CDC::SetWindowOrg(int x, int y)
{
    m_bMappingDirty = true;
    return std::exchange(m_winOrg, CPoint(x, y));
}

CPoint CDC::SetViewportOrg(int x, int y)
{
    m_bMappingDirty = true;
    return std::exchange(m_viewOrg, CPoint(x, y));
}

int CDC::GetDeviceCaps(int nIndex) const
{
    QSize size;
    int dpiX = 96, dpiY = 96;
    if (m_pPrinter) {
        size = m_pPrinter->pageLayout().paintRectPixels(m_pPrinter->resolution()).size();
        dpiX = dpiY = m_pPrinter->resolution();
    } else if (m_pWnd && m_pWnd->GetWidget()) {
        size = m_pWnd->GetWidget()->size();
        dpiX = m_pWnd->GetWidget()->logicalDpiX();
        dpiY = m_pWnd->GetWidget()->logicalDpiY();
    } else {
        size = m_pBitmap->GetImage().size();
    }
    switch (nIndex) {
    case HORZRES:
        return size.width();
    case VERTRES:
        return size.height();
    case LOGPIXELSX:
        return dpiX;
    case LOGPIXELSY:
        return dpiY;
    case BITSPIXEL:
        return 32;
    default:
        return 0;
    }
}

void CDC::GetClipBox(CRect* pRect) const
{
    QRect r;
    if (m_pClipRegion)
        r = m_pClipRegion->boundingRect();
    else
        r = QRect(QPoint(0, 0), QSize(GetDeviceCaps(HORZRES), GetDeviceCaps(VERTRES)));
    if (m_mapMode == MM_ANISOTROPIC && m_viewExt.cx && m_viewExt.cy) {
        const double sx = double(m_winExt.cx) / m_viewExt.cx;
        const double sy = double(m_winExt.cy) / m_viewExt.cy;
        auto mx = [&](int x) { return int((x - m_viewOrg.x) * sx) + m_winOrg.x; };
        auto my = [&](int y) { return int((y - m_viewOrg.y) * sy) + m_winOrg.y; };
        *pRect = CRect(mx(r.left()), my(r.top()), mx(r.right() + 1), my(r.bottom() + 1));
        pRect->NormalizeRect();
        return;
    }
    *pRect = CRect(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
}

CPoint CDC::MoveTo(int x, int y)
{
    return std::exchange(m_pos, CPoint(x, y));
}

BOOL CDC::LineTo(int x, int y)
{
    if (QPainter* p = Prepare())
        DrawSegment(p, UseLinePen(p), m_pos, CPoint(x, y));
    m_pos = CPoint(x, y);
    return TRUE;
}

COLORREF CDC::SetPixel(int x, int y, COLORREF color)
{
    if (QPainter* p = Prepare()) {
        p->setCompositionMode(QPainter::CompositionMode_Source);
        p->fillRect(QRect(x, y, 1, 1), ToQColor(color));
    }
    return color;
}

const QImage* CDC::SourceImage() const
{
    if (!m_pBitmap->GetImage().isNull())
        return &m_pBitmap->GetImage();
    if (m_pWnd && m_pWnd->m_pImage)
        return m_pWnd->m_pImage.get();
    return nullptr;
}

COLORREF CDC::GetPixel(int x, int y) const
{
    const QImage* img = SourceImage();
    if (!img)
        return 0xFFFFFFFF;
    const qreal dpr = img->devicePixelRatio();
    const QPoint d(int(x * dpr), int(y * dpr));
    return img->valid(d) ? FromQRgb(img->pixel(d)) : 0xFFFFFFFF;
}

BOOL CDC::Polyline(const CPoint* pts, int nCount)
{
    if (nCount < 2)
        return FALSE;
    const DWORD count = DWORD(nCount);
    return PolyPolyline(pts, &count, 1);
}

namespace {
// The segments of the polylines, each run down or right (see PolyPolyline).
std::vector<QLine> DownOrRight(const CPoint* pts, const DWORD* counts, int nCount)
{
    std::vector<QLine> lines;
    for (int k = 0; k < nCount; pts += counts[k++])
        for (DWORD i = 1; i < counts[k]; ++i) {
            const CPoint a = pts[i - 1], b = pts[i];
            if (a == b)
                continue; // sets nothing, as in DrawSegment
            const bool steep = std::abs(b.x - a.x) < std::abs(b.y - a.y);
            const bool back = steep ? b.y < a.y : b.x < a.x;
            lines.push_back(back ? QLine(b.x, b.y, a.x, a.y) : QLine(a.x, a.y, b.x, b.y));
        }
    return lines;
}
} // namespace

BOOL CDC::PolyPolyline(const CPoint* pts, const DWORD* counts, int nCount)
{
    QPainter* p = Prepare();
    if (!p || nCount < 1)
        return FALSE;
    const qreal shift = UsePen(p);
    // Each segment without its end point, so a shared corner is drawn once. A thin solid pen
    // on the screen hands them all to one Qt call, a long curve one call rather than one a
    // segment. Qt sets a line's pixels whichever way it runs, but within one call a line that
    // turns back along the same axis also sets the corner; run every line down or right and
    // none turns back, so the pixels are those of the lines drawn alone. (A Qt polyline would
    // set other pixels at the corners; a dash pattern runs from the start.)
    if (shift == 0 && !m_pPrinter && m_pPen->m_nWidth <= 1 && m_pPen->m_nStyle == PS_SOLID) {
        const std::vector<QLine> lines = DownOrRight(pts, counts, nCount);
        p->drawLines(lines.data(), int(lines.size()));
        return TRUE;
    }
    for (int k = 0; k < nCount; pts += counts[k++])
        for (DWORD i = 1; i < counts[k]; ++i)
            DrawSegment(p, shift, pts[i - 1], pts[i]);
    return TRUE;
}

BOOL CDC::Polygon(const CPoint* pts, int nCount)
{
    QPainter* p = Prepare();
    if (!p || nCount < 2)
        return FALSE;
    const std::vector<QPoint> q = ToQPoints(pts, nCount);
    const qreal shift = UsePen(p);
    const QPen pen = p->pen();
    if (!m_pBrush->m_bNull) {
        p->setPen(Qt::NoPen);
        p->setBrush(ToQColor(m_pBrush->m_color));
        p->drawPolygon(q.data(), nCount, Qt::OddEvenFill);
        p->setBrush(Qt::NoBrush);
    }
    p->setPen(pen);
    p->translate(shift, shift);
    p->drawPolygon(q.data(), nCount, Qt::OddEvenFill);
    return TRUE;
}

BOOL CDC::Rectangle(int x1, int y1, int x2, int y2)
{
    QPainter* p = Prepare();
    if (!p)
        return FALSE;
    const QRect r = ToQRect(x1, y1, x2, y2);
    const qreal shift = UsePen(p);
    if (!m_pBrush->m_bNull)
        p->fillRect(r, ToQColor(m_pBrush->m_color));
    p->translate(shift, shift);
    if (m_pPen->m_nStyle != PS_NULL)
        p->drawRect(r.adjusted(0, 0, -1, -1));
    return TRUE;
}

BOOL CDC::Ellipse(int x1, int y1, int x2, int y2)
{
    QPainter* p = Prepare();
    if (!p)
        return FALSE;
    const qreal shift = UsePen(p);
    if (!m_pBrush->m_bNull)
        p->setBrush(ToQColor(m_pBrush->m_color));
    p->translate(shift, shift);
    p->drawEllipse(ToQRect(x1, y1, x2, y2).adjusted(0, 0, -1, -1));
    return TRUE;
}

BOOL CDC::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    QPainter* p = Prepare();
    if (!p)
        return FALSE;
    const QRect r = ToQRect(x1, y1, x2, y2).adjusted(0, 0, -1, -1);
    const QPointF c = QRectF(r).center();
    auto angle = [&](int x, int y) {
        return std::atan2(-(y - c.y()), x - c.x()) * 180.0 / std::numbers::pi;
    };
    const double start = angle(x3, y3);
    double span = angle(x4, y4) - start; // counter-clockwise from start to end
    while (span <= 0)
        span += 360;
    const qreal shift = UsePen(p);
    p->translate(shift, shift);
    p->drawArc(r, int(std::lround(start * 16)), int(std::lround(span * 16)));
    return TRUE;
}

void CDC::FillSolidRect(const CRect* pRect, COLORREF color)
{
    FillSolidRect(pRect->left, pRect->top, pRect->Width(), pRect->Height(), color);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color)
{
    // As on the old platform, this leaves the colour as the background colour.
    m_bkColor = color;
    if (QPainter* p = Prepare()) {
        p->setCompositionMode(QPainter::CompositionMode_Source);
        p->fillRect(QRect(x, y, cx, cy), ToQColor(color));
    }
}

void CDC::FillRect(const CRect* pRect, CBrush* pBrush)
{
    QPainter* p = Prepare();
    if (!p || !pBrush || pBrush->m_bNull)
        return;
    p->setCompositionMode(QPainter::CompositionMode_Source);
    p->fillRect(QRect(pRect->left, pRect->top, pRect->Width(), pRect->Height()),
                ToQColor(pBrush->m_color));
}

void CDC::FrameRect(const CRect* pRect, CBrush* pBrush)
{
    CRect r = *pRect;
    r.NormalizeRect();
    if (r.IsRectEmpty())
        return;
    const CRect edges[] = {{r.left, r.top, r.right, r.top + 1},
                           {r.left, r.bottom - 1, r.right, r.bottom},
                           {r.left, r.top, r.left + 1, r.bottom},
                           {r.right - 1, r.top, r.right, r.bottom}};
    for (const CRect& e : edges)
        FillRect(&e, pBrush);
}

BOOL CDC::TextOut(int x, int y, const std::string& text)
{
    QPainter* p = Prepare();
    if (!p)
        return FALSE;
    const QString s = QString::fromLatin1(text.data(), qsizetype(text.size()));
    const QFont& font = m_pFont->GetQFont();
    p->setFont(font);
    const QFontMetrics fm(font, p->device());
    const int w = fm.horizontalAdvance(s);
    int dx = 0;
    if ((m_textAlign & TA_CENTER) == TA_CENTER)
        dx = -w / 2;
    else if (m_textAlign & TA_RIGHT)
        dx = -w;
    int baseline = fm.ascent(); // TA_TOP
    if ((m_textAlign & TA_BASELINE) == TA_BASELINE)
        baseline = 0;
    else if (m_textAlign & TA_BOTTOM)
        baseline = -fm.descent();
    p->save();
    p->translate(x, y);
    if (int esc = m_pFont->GetLogFont().lfEscapement)
        p->rotate(-esc / 10.0);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (m_bkMode == OPAQUE)
        p->fillRect(QRect(dx, baseline - fm.ascent(), w, fm.height()), ToQColor(m_bkColor));
    p->setPen(ToQColor(m_textColor));
    p->drawText(QPoint(dx, baseline), s);
    p->restore();
    return TRUE;
}

CSize CDC::GetTextExtent(const std::string& text) const
{
    const QString s = QString::fromLatin1(text.data(), qsizetype(text.size()));
    QPaintDevice* device = m_pOwnPainter ? m_pOwnPainter->device()
                           : m_bOnImage  ? static_cast<QPaintDevice*>(m_pWnd->m_pImage.get())
                           : m_pPainter  ? m_pPainter->device()
                                         : nullptr;
    const QFontMetrics fm =
        device ? QFontMetrics(m_pFont->GetQFont(), device) : QFontMetrics(m_pFont->GetQFont());
    return CSize(fm.horizontalAdvance(s), fm.height());
}

BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                 DWORD dwRop)
{
    return StretchBlt(x, y, nWidth, nHeight, pSrcDC, xSrc, ySrc, nWidth, nHeight, dwRop);
}

BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                     int nSrcWidth, int nSrcHeight, DWORD dwRop)
{
    QPainter* p = Prepare();
    const QImage* src = pSrcDC ? pSrcDC->SourceImage() : nullptr;
    if (!p || !src)
        return FALSE;
    const qreal dpr = src->devicePixelRatio();
    const QRectF from(xSrc * dpr, ySrc * dpr, nSrcWidth * dpr, nSrcHeight * dpr);
    p->setCompositionMode(dwRop == SRCINVERT ? QPainter::RasterOp_SourceXorDestination
                                             : QPainter::CompositionMode_Source);
    p->drawImage(QRectF(x, y, nWidth, nHeight), *src, from);
    return TRUE;
}

CPaintDC::CPaintDC(CWnd* pWnd)
{
    AttachWindow(pWnd, true);
    if (pWnd && pWnd->m_bInPaint && pWnd->m_bEraseNeeded) {
        pWnd->m_bEraseNeeded = false;
        pWnd->OnEraseBkgnd(this);
    }
}
