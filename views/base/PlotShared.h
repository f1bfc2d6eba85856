#pragma once
// What the 2-D and 3-D plot bases and their views share besides the number text: text measured
// and boxes erased, the plot fonts, the skip of the drawing after a frame's restore, the printed
// page's mapping, polylines gathered from clipped segments, and the window DC that a run is drawn
// on live.
#include "platform/Dc.h"
#include "platform/Types.h"

#include <chrono>
#include <climits>
#include <memory>
#include <string>
#include <vector>

class CWnd;

// The extent of a text in the DC's font.
CSize MeasureText(CDC* pDC, const std::string& str);
// Fills a box with the window colour (a read-out or label about to be written again).
void EraseRect(CDC* pDC, const CRect& rect);

// Arial -12 reading across (0), upwards (900) or downwards (-900).
std::unique_ptr<CFont> MakePlotFont(int escapement);
// The plots' three fonts: level, turned up and turned down.
void MakePlotFonts(std::unique_ptr<CFont>& level, std::unique_ptr<CFont>& up,
                   std::unique_ptr<CFont>& down);

// The frame asks its plot view to skip the one drawing after a restore: true when this
// drawing is that one (the request is then used up).
bool ConsumeSkipNextDraw(CWnd* pView);

// A printout is the window's picture stretched to the page's width at 4:3 (or to its height
// where the page is wider than that).
void MapPrintedPage(CDC* pDC, const CRect& client);
// The page a plot is laid out on: the window's client area, the printed page mapped to it.
CRect PlotPageClient(const CWnd* pWnd, CDC* pDC);
// The height of a digit line and the widths of n captions, in the DC's font.
int MeasureCaptions(CDC* pDC, const char* const* texts, int n, int* widths);
// The frame one pixel round the plot, in the window text's colour.
void FramePlot(CDC* pDC, const CRect& plot);

// The XOR crosshair: the one drawn at `at` (when drawn) is removed, and a new one drawn at `to`
// when that lies in hit.
void MoveXorCross(CDC* pDC, BYTE& drawn, CPoint& at, CPoint to, const CRect& hit);

// Invalidates the four margin strips of a plot page.
void InvalidateStrips(CWnd* pWnd, const CRect* const strips[4]);

// Joins clipped segments of one curve into polylines: a segment that starts where the last one
// ended extends it. The polylines are drawn together, with the pen if one is given, by Flush
// or when many are gathered, so a long run costs a few draw calls however often it breaks.
class PolylineBatch
{
public:
    void Add(CPoint a, CPoint b);
    void Flush();
    CDC* m_pDC = nullptr;
    CPen* m_pPen = nullptr;

private:
    static constexpr std::size_t kMaxPoints = 1 << 16;
    std::vector<CPoint> m_pts;
    std::vector<DWORD> m_counts; // points of each polyline in m_pts
};

// The window DC of a run drawn live, kept from its first row to the end of live drawing. The
// box of what was drawn since the screen was last brought up to date is shown at most every
// kFrame, so a fast run does not repaint the screen for every row.
class CLiveCanvas
{
public:
    static constexpr std::chrono::milliseconds kFrame{16}; // about sixty times a second

    CDC& DC(CWnd* pWnd);
    // Adds a segment drawn with a pen of the given width to the box to show.
    void Touch(CPoint a, CPoint b, int width);
    void Touch(const CRect& r);
    // Shows the box when a frame's time has passed (or at once when forced).
    void Show(CWnd* pWnd, bool force = false);
    void End();
    bool Active() const { return m_pDC != nullptr; }
    // A pen of the run's rows, made once and kept while the view draws with that style.
    CPen& Pen(int style, int width, COLORREF color);

private:
    struct KeptPen
    {
        int style, width;
        COLORREF color;
        std::unique_ptr<CPen> pen;
    };
    std::vector<KeptPen> m_pens;
    std::unique_ptr<CClientDC> m_pDC;
    CRect m_rcBox{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    std::chrono::steady_clock::time_point m_tShown;
};
