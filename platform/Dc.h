#pragma once
// CDC: the drawing class. It draws with QPainter on a window's backing image (CClientDC at any
// time, CPaintDC inside OnPaint), on a bitmap selected into a memory DC, or on a printer.
// Coordinates are the window's logical pixels; colours are COLORREF (0x00BBGGRR).
// Pens, brushes, fonts and bitmaps are selected as on the old platform: SelectObject returns
// what was selected before, and the caller selects it back before deleting its own object.
#include "platform/Types.h"

#include <QPen>
#include <QTransform>

#include <memory>
#include <string>
#include <vector>

class QPainter;
class QPaintDevice;
class QPrinter;
class QImage;
class QFont;
class CWnd;

// Pen styles.
constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_DASHDOT = 3;
constexpr int PS_NULL = 5;

// Text alignment (SetTextAlign): one horizontal and one vertical flag.
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_TOP = 0;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Raster operations of SetROP2.
constexpr int R2_NOT = 6;
constexpr int R2_XORPEN = 7;
constexpr int R2_NOTXORPEN = 10;
constexpr int R2_COPYPEN = 13;

// BitBlt operations.
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCINVERT = 0x00660046;

// Mapping modes.
constexpr int MM_TEXT = 1;
constexpr int MM_ANISOTROPIC = 8;

// GetDeviceCaps indices.
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

// Stock objects.
constexpr int WHITE_BRUSH = 0;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;

// System colours.
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_BTNFACE = 15;
COLORREF GetSysColor(int nIndex);

// Font weights.
constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;

struct LOGFONT
{
    int lfHeight = 0; // < 0: character height in pixels; > 0: cell height
    int lfWidth = 0;
    int lfEscapement = 0; // tenths of a degree, counter-clockwise: 900 reads upwards
    int lfOrientation = 0;
    int lfWeight = 0; // 0 or FW_NORMAL, FW_BOLD
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = 0;
    char lfFaceName[32] = {};
};

class CGdiObject
{
public:
    virtual ~CGdiObject() = default;
    BOOL DeleteObject();
    bool IsCreated() const { return m_bCreated; }

protected:
    bool m_bCreated = false;
};

class CPen : public CGdiObject
{
public:
    CPen() = default;
    CPen(int nStyle, int nWidth, COLORREF color) { CreatePen(nStyle, nWidth, color); }
    BOOL CreatePen(int nStyle, int nWidth, COLORREF color);
    int m_nStyle = PS_SOLID;
    int m_nWidth = 1;
    COLORREF m_color = 0;
};

class CBrush : public CGdiObject
{
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    BOOL CreateSolidBrush(COLORREF color);
    bool m_bNull = false;
    COLORREF m_color = 0xFFFFFF;
};

class CFont : public CGdiObject
{
public:
    CFont();
    ~CFont() override;
    BOOL CreateFontIndirect(const LOGFONT* pLogFont);
    // Height in tenths of a point, as the old platform's point-font helper.
    BOOL CreatePointFont(int nPointSize, const char* lpszFaceName);
    const LOGFONT& GetLogFont() const { return m_lf; }
    const QFont& GetQFont() const { return *m_pFont; }

private:
    LOGFONT m_lf;
    std::unique_ptr<QFont> m_pFont;
};

class CBitmap : public CGdiObject
{
public:
    CBitmap();
    ~CBitmap() override;
    // The program's picture of that resource id (see platform/Resources.h).
    BOOL LoadBitmap(UINT nIDResource);
    BOOL CreateCompatibleBitmap(class CDC* pDC, int nWidth, int nHeight);
    CSize GetSize() const;
    QImage& GetImage() { return *m_pImage; }
    const QImage& GetImage() const { return *m_pImage; }

private:
    std::unique_ptr<QImage> m_pImage;
};

class CDC
{
public:
    CDC();
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // A memory DC: draws on the bitmap selected into it.
    BOOL CreateCompatibleDC(CDC* pDC);
    // Draws on an open printer page (the layer's printing uses it).
    BOOL AttachPrinter(QPrinter* pPrinter, QPainter* pPainter);
    BOOL IsPrinting() const { return m_pPrinter != nullptr; }
    // The painter, for code that needs Qt directly (nullptr when nothing is attached).
    QPainter* GetPainter();

    CPen* SelectObject(CPen* pPen);
    CBrush* SelectObject(CBrush* pBrush);
    CFont* SelectObject(CFont* pFont);
    CBitmap* SelectObject(CBitmap* pBitmap);
    CGdiObject* SelectStockObject(int nIndex);

    COLORREF SetTextColor(COLORREF color);
    COLORREF GetTextColor() const { return m_textColor; }
    COLORREF SetBkColor(COLORREF color);
    COLORREF GetBkColor() const { return m_bkColor; }
    int SetBkMode(int nMode);
    UINT SetTextAlign(UINT nFlags);
    int SetROP2(int nDrawMode);

    int SetMapMode(int nMode);
    int GetMapMode() const { return m_mapMode; }
    CSize SetWindowExt(int cx, int cy);
    CSize SetViewportExt(int cx, int cy);
    CPoint SetWindowOrg(int x, int y);
    CPoint SetViewportOrg(int x, int y);
    int GetDeviceCaps(int nIndex) const;
    void GetClipBox(CRect* pRect) const;

    CPoint MoveTo(int x, int y);
    CPoint MoveTo(CPoint p) { return MoveTo(p.x, p.y); }
    BOOL LineTo(int x, int y);
    BOOL LineTo(CPoint p) { return LineTo(p.x, p.y); }
    CPoint GetCurrentPosition() const { return m_pos; }
    COLORREF SetPixel(int x, int y, COLORREF color);
    COLORREF GetPixel(int x, int y) const;
    BOOL Polyline(const CPoint* pts, int nCount);
    // nCount polylines of counts[i] points each, one after the other in pts.
    BOOL PolyPolyline(const CPoint* pts, const DWORD* counts, int nCount);
    BOOL Polygon(const CPoint* pts, int nCount);
    BOOL Rectangle(int x1, int y1, int x2, int y2);
    BOOL Rectangle(const CRect* pRect)
    {
        return Rectangle(pRect->left, pRect->top, pRect->right, pRect->bottom);
    }
    BOOL Ellipse(int x1, int y1, int x2, int y2);
    BOOL Ellipse(const CRect* pRect)
    {
        return Ellipse(pRect->left, pRect->top, pRect->right, pRect->bottom);
    }
    BOOL Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void FillSolidRect(const CRect* pRect, COLORREF color);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    void FillRect(const CRect* pRect, CBrush* pBrush);
    void FrameRect(const CRect* pRect, CBrush* pBrush);

    BOOL TextOut(int x, int y, const std::string& text);
    CSize GetTextExtent(const std::string& text) const;

    BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                DWORD dwRop = SRCCOPY);
    BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                    int nSrcWidth, int nSrcHeight, DWORD dwRop = SRCCOPY);

protected:
    // Window DCs (CClientDC, CPaintDC) attach to the window's drawing surface.
    void AttachWindow(CWnd* pWnd, bool bPaint);
    void Detach();

private:
    QPainter* Prepare(); // the painter with this DC's clip and mapping applied
    // Sets the pen for lines (no brush); returns the shift that puts a one-pixel line on the
    // pixels it covers at ratio 1.
    qreal UsePen(QPainter* p);
    // UsePen for LineTo: skipped while the painter still holds what the last line set up, so
    // a live plot's line per row costs no pen set-up.
    qreal UseLinePen(QPainter* p);
    void DrawSegment(QPainter* p, qreal shift, CPoint a, CPoint b);
    const QImage* SourceImage() const;

    // Where the drawing goes.
    CWnd* m_pWnd = nullptr;
    QPainter* m_pPainter = nullptr;          // borrowed (window or printer)
    std::unique_ptr<QPainter> m_pOwnPainter; // memory DC on its bitmap
    QPrinter* m_pPrinter = nullptr;
    bool m_bOnImage = false;                      // draws on m_pWnd's backing image
    std::unique_ptr<class QRegion> m_pClipRegion; // paint DCs: the invalid area
    const void* m_pOwnerLocal = nullptr;
    const void** m_ppOwner = &m_pOwnerLocal; // which DC last set the shared painter up
    bool m_bMappingDirty = true;
    QTransform m_transform; // the mapping mode's, set by Prepare
    // The pens UseLinePen set up lately (a live plot's curves take turns), each with the
    // painter and device it was made for.
    struct LinePen
    {
        const void* painter = nullptr;
        const void* device = nullptr;
        int style = -1, width = 0;
        COLORREF color = 0;
        bool printer = false;
        QPen pen;
        qreal shift = 0;
        bool Same(const LinePen& o) const
        {
            return painter == o.painter && device == o.device && style == o.style &&
                   width == o.width && color == o.color && printer == o.printer;
        }
    };
    LinePen m_aLinePen[4];
    int m_nNextLinePen = 0;

    // Selected objects: the DC's own defaults until the caller selects others.
    CPen m_defPen{PS_SOLID, 1, 0};
    CBrush m_defBrush{0xFFFFFF};
    CFont m_defFont;
    CBitmap m_defBitmap;
    CPen m_nullPen{PS_NULL, 1, 0};
    CBrush m_nullBrush;
    CPen m_whitePen{PS_SOLID, 1, 0xFFFFFF};
    CBrush m_blackBrush{0};
    CPen* m_pPen = &m_defPen;
    CBrush* m_pBrush = &m_defBrush;
    CFont* m_pFont = &m_defFont;
    CBitmap* m_pBitmap = &m_defBitmap;

    COLORREF m_textColor = 0;
    COLORREF m_bkColor = 0xFFFFFF;
    int m_bkMode = OPAQUE;
    UINT m_textAlign = TA_LEFT | TA_TOP;
    int m_rop = R2_COPYPEN;
    int m_mapMode = MM_TEXT;
    CSize m_winExt{1, 1};
    CSize m_viewExt{1, 1};
    CPoint m_winOrg;
    CPoint m_viewOrg;
    CPoint m_pos;
};

// Draws on a window's surface at any time on the user-interface thread; what is drawn shows
// at the next screen update, which this DC schedules.
class CClientDC : public CDC
{
public:
    explicit CClientDC(CWnd* pWnd) { AttachWindow(pWnd, false); }
    ~CClientDC() override { Detach(); }
};

// Draws inside OnPaint, clipped to the invalid area; erases first when the invalidation asked.
class CPaintDC : public CDC
{
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override { Detach(); }
};
