// The drawing class on a window's backing image and on a bitmap.
#include "platform/Dc.h"
#include "platform/Wnd.h"

#include <QImage>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

class Drawing : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_wnd.Create(nullptr, "draw", 0, CRect(0, 0, 120, 80), nullptr, 0));
        CClientDC dc(&m_wnd);
        dc.FillSolidRect(0, 0, 120, 80, kWhite);
    }
    COLORREF At(int x, int y)
    {
        CClientDC dc(&m_wnd);
        return dc.GetPixel(x, y);
    }
    // The bounding box of all non-white pixels, in the window's (logical) pixels.
    QRect Ink()
    {
        const QImage& img = m_wnd.GetBackingImage();
        const int dpr = int(img.devicePixelRatio() + 0.5);
        QRect box;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if ((img.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                    box |= QRect(x / dpr, y / dpr, 1, 1);
        return box;
    }
    CWnd m_wnd;
};

TEST_F(Drawing, FillAndPixelsUseColorRefOrder)
{
    CClientDC dc(&m_wnd);
    dc.FillSolidRect(10, 10, 5, 5, RGB(0, 128, 128));
    EXPECT_EQ(dc.GetPixel(10, 10), 0x808000u);
    EXPECT_EQ(dc.GetPixel(14, 14), 0x808000u);
    EXPECT_EQ(dc.GetPixel(15, 15), kWhite);
    EXPECT_EQ(dc.GetBkColor(), 0x808000u); // as on the old platform
    dc.SetPixel(50, 50, RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(50, 50), RGB(255, 0, 0));
}

TEST_F(Drawing, LineToLeavesOutItsEndPoint)
{
    {
        CClientDC dc(&m_wnd);
        dc.MoveTo(10, 10);
        dc.LineTo(20, 10);
        EXPECT_EQ(dc.GetCurrentPosition(), CPoint(20, 10));
    }
    EXPECT_EQ(At(10, 10), kBlack);
    EXPECT_EQ(At(19, 10), kBlack);
    EXPECT_EQ(At(20, 10), kWhite);
    {
        CClientDC dc(&m_wnd); // from a point to itself: nothing
        dc.MoveTo(40, 30);
        dc.LineTo(40, 30);
    }
    EXPECT_EQ(At(40, 30), kWhite);
}

// Lines of curves taking turns, with other drawing between them on the same DC (a filled
// rectangle, a XOR line, a pixel), each come out in their own pen and mode.
TEST_F(Drawing, LinesKeepTheirPensBetweenOtherDrawing)
{
    struct Step
    {
        COLORREF color;
        int width;
        int y;       // the line runs from x 10 to 100 at this y
        int between; // 0 nothing, 1 a filled rectangle, 2 a XOR line, 3 a pixel
    };
    const Step steps[] = {{RGB(255, 0, 0), 1, 10, 0}, {RGB(0, 0, 255), 1, 14, 1},
                          {RGB(255, 0, 0), 1, 18, 2}, {RGB(0, 128, 0), 3, 24, 0},
                          {RGB(0, 0, 255), 1, 30, 3}, {RGB(255, 0, 0), 1, 34, 1}};
    CClientDC dc(&m_wnd);
    CPen pens[std::size(steps)];
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        const Step& s = steps[i];
        pens[i].CreatePen(PS_SOLID, s.width, s.color);
        CPen* old = dc.SelectObject(&pens[i]);
        dc.MoveTo(10, s.y);
        dc.LineTo(100, s.y);
        dc.SelectObject(old);
        CBrush brush(RGB(200, 200, 0));
        CPen xorPen(PS_SOLID, 1, kWhite);
        switch (s.between) {
        case 1: {
            CBrush* oldBrush = dc.SelectObject(&brush);
            dc.Rectangle(105, 60, 115, 70);
            dc.SelectObject(oldBrush);
            break;
        }
        case 2: {
            CPen* oldPen = dc.SelectObject(&xorPen);
            const int rop = dc.SetROP2(R2_XORPEN);
            dc.MoveTo(5, 75);
            dc.LineTo(60, 75);
            dc.SetROP2(rop);
            dc.SelectObject(oldPen);
            break;
        }
        case 3:
            dc.SetPixel(110, 5, RGB(1, 2, 3));
            break;
        default:
            break;
        }
    }
    for (const Step& s : steps) {
        EXPECT_EQ(dc.GetPixel(50, s.y), s.color) << s.y;
        EXPECT_EQ(dc.GetPixel(50, s.y + s.width / 2 + 2), kWhite) << s.y;
    }
    EXPECT_EQ(dc.GetPixel(110, 65), RGB(200, 200, 0));
}

// Draws twice in white XOR: the second pass restores the picture; first() checks the first.
void XorTwice(CWnd& wnd, const std::function<void(CDC&)>& draw,
              const std::function<void(CDC&)>& first)
{
    const QImage before = wnd.GetBackingImage().copy();
    for (int pass = 0; pass < 2; ++pass) {
        CClientDC dc(&wnd);
        CPen white(PS_SOLID, 1, kWhite);
        CPen* old = dc.SelectObject(&white);
        const int oldRop = dc.SetROP2(R2_XORPEN);
        draw(dc);
        if (pass == 0)
            first(dc);
        dc.SetROP2(oldRop);
        dc.SelectObject(old);
    }
    EXPECT_EQ(wnd.GetBackingImage(), before);
}

TEST_F(Drawing, XorTwiceRestoresThePicture)
{
    {
        CClientDC dc(&m_wnd);
        dc.FillSolidRect(0, 0, 60, 80, RGB(0, 0, 255));
    }
    XorTwice(
        m_wnd,
        [](CDC& dc) {
            dc.MoveTo(30, 40);
            dc.LineTo(90, 40);
            dc.MoveTo(50, 20);
            dc.LineTo(50, 60);
        },
        [](CDC& dc) { EXPECT_EQ(dc.GetPixel(40, 40), RGB(255, 255, 0)); }); // blue XOR white
    // A polyline draws its shared corners once: they are inverted, not inverted twice.
    const CPoint path[] = {{70, 10}, {100, 10}, {100, 40}, {115, 40}}; // on white
    XorTwice(
        m_wnd, [&](CDC& dc) { dc.Polyline(path, 4); },
        [](CDC& dc) {
            EXPECT_EQ(dc.GetPixel(100, 10), kBlack);
            EXPECT_EQ(dc.GetPixel(85, 10), kBlack);
        });
}

// Rectangle frames with the pen inside its bounds and fills with the brush; FrameRect draws one
// pixel inside its rectangle.
TEST_F(Drawing, RectanglesStayInsideTheirBounds)
{
    {
        CClientDC dc(&m_wnd);
        CBrush green(RGB(0, 255, 0)), black(kBlack);
        CBrush* old = dc.SelectObject(&green);
        dc.Rectangle(10, 10, 20, 16);
        dc.SelectObject(old);
        CRect rc(30, 5, 40, 12);
        dc.FrameRect(&rc, &black);
    }
    EXPECT_EQ(Ink(), QRect(QPoint(10, 5), QPoint(39, 15)));
    EXPECT_EQ(At(10, 10), kBlack);
    EXPECT_EQ(At(19, 15), kBlack);
    EXPECT_EQ(At(20, 10), kWhite);
    EXPECT_EQ(At(15, 12), RGB(0, 255, 0));
    EXPECT_EQ(At(39, 11), kBlack);
    EXPECT_EQ(At(35, 8), kWhite);
}

struct AlignCase
{
    const char* name;
    UINT align;
    bool inkLeftOfX; // else right of x
    bool inkAboveY;  // else below y
};

class TextAlign : public Drawing, public ::testing::WithParamInterface<AlignCase>
{
};

TEST_P(TextAlign, TextStandsOnTheRightSideOfItsPoint)
{
    const AlignCase c = GetParam();
    {
        CClientDC dc(&m_wnd);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextAlign(c.align);
        dc.TextOut(60, 40, "0123");
    }
    const QRect ink = Ink();
    ASSERT_FALSE(ink.isNull());
    if (c.inkLeftOfX)
        EXPECT_LE(ink.right(), 60);
    else
        EXPECT_GE(ink.left(), 60);
    if (c.inkAboveY)
        EXPECT_LE(ink.bottom(), 40);
    else
        EXPECT_GE(ink.top(), 40);
}

void PrintTo(const AlignCase& c, std::ostream* os)
{
    *os << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Align, TextAlign,
    ::testing::Values(AlignCase{"LeftTop", TA_LEFT | TA_TOP, false, false},
                      AlignCase{"RightTop", TA_RIGHT | TA_TOP, true, false},
                      AlignCase{"LeftBottom", TA_LEFT | TA_BOTTOM, false, true},
                      AlignCase{"RightBaseline", TA_RIGHT | TA_BASELINE, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Drawing, CentredTextAndExtent)
{
    CClientDC dc(&m_wnd);
    const CSize ext = dc.GetTextExtent("0123456789");
    EXPECT_GT(ext.cx, ext.cy);
    EXPECT_GT(ext.cy, 5);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextAlign(TA_CENTER | TA_TOP);
    dc.TextOut(60, 10, "0123");
    const QRect ink = Ink();
    EXPECT_LT(ink.left(), 60);
    EXPECT_GT(ink.right(), 60);
}

TEST_F(Drawing, EscapementTurnsTheText)
{
    {
        CClientDC dc(&m_wnd);
        CFont font;
        LOGFONT lf;
        lf.lfHeight = -12;
        lf.lfEscapement = 900;
        std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "Arial");
        font.CreateFontIndirect(&lf);
        CFont* old = dc.SelectObject(&font);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextAlign(TA_LEFT | TA_BOTTOM);
        dc.TextOut(40, 70, "0123456789");
        dc.SelectObject(old);
    }
    const QRect ink = Ink();
    EXPECT_GT(ink.height(), 3 * ink.width()); // reads upwards
    EXPECT_LE(ink.bottom(), 70);
    EXPECT_LE(ink.right(), 40); // bottom-aligned: the text lies left of its point
}

TEST_F(Drawing, ShapesFillWithTheBrushAndFrameWithThePen)
{
    CClientDC dc(&m_wnd);
    CBrush brush(RGB(0, 0, 255));
    CBrush* oldBrush = dc.SelectObject(&brush);
    dc.Ellipse(10, 10, 31, 31);
    const CPoint triangle[] = {{60, 10}, {90, 10}, {60, 40}};
    dc.Polygon(triangle, 3);
    dc.SelectObject(oldBrush);
    EXPECT_EQ(dc.GetPixel(20, 20), RGB(0, 0, 255)); // inside the ellipse
    EXPECT_EQ(dc.GetPixel(11, 11), kWhite);         // the bounding box's corner stays
    EXPECT_EQ(dc.GetPixel(65, 15), RGB(0, 0, 255)); // inside the triangle
    EXPECT_EQ(dc.GetPixel(85, 35), kWhite);         // beyond its long side
    EXPECT_EQ(dc.GetPixel(60, 25), kBlack);         // its left edge is drawn with the pen
}

TEST_F(Drawing, DashedPenLeavesGapsAndArcKeepsToItsQuarter)
{
    CClientDC dc(&m_wnd);
    CPen dash(PS_DASH, 1, kBlack);
    CPen* old = dc.SelectObject(&dash);
    dc.MoveTo(0, 5);
    dc.LineTo(100, 5);
    dc.SelectObject(old);
    int inked = 0;
    for (int x = 0; x < 100; ++x)
        inked += dc.GetPixel(x, 5) == kBlack ? 1 : 0;
    EXPECT_GT(inked, 30);
    EXPECT_LT(inked, 90);

    // From the top of the circle counter-clockwise to its left: the upper-left quarter only.
    dc.Arc(40, 20, 80, 60, 60, 20, 40, 40);
    bool upperLeft = false, elsewhere = false;
    for (int y = 15; y < 65; ++y)
        for (int x = 35; x < 85; ++x)
            if (dc.GetPixel(x, y) == kBlack)
                (x <= 60 && y <= 40 ? upperLeft : elsewhere) = true;
    EXPECT_TRUE(upperLeft);
    EXPECT_FALSE(elsewhere);
}

TEST(DrawingMemory, AnisotropicMappingAndBitBlt)
{
    CBitmap bmp;
    ASSERT_TRUE(bmp.CreateCompatibleBitmap(nullptr, 200, 150));
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    mem.SelectObject(&bmp);
    mem.FillSolidRect(0, 0, 200, 150, kWhite);
    mem.SetMapMode(MM_ANISOTROPIC);
    mem.SetWindowExt(100, 100);
    mem.SetViewportExt(200, 150);
    mem.FillSolidRect(10, 20, 10, 20, kBlack); // device 20..39 by 30..59
    EXPECT_EQ(mem.GetDeviceCaps(HORZRES), 200);
    EXPECT_EQ(bmp.GetImage().pixel(20, 30) & 0xFFFFFF, 0u);
    EXPECT_EQ(bmp.GetImage().pixel(39, 59) & 0xFFFFFF, 0u);
    EXPECT_EQ(bmp.GetImage().pixel(40, 60) & 0xFFFFFF, 0xFFFFFFu);
    CRect clip;
    mem.GetClipBox(&clip);
    EXPECT_EQ(clip, CRect(0, 0, 100, 100));

    CWnd wnd;
    ASSERT_TRUE(wnd.Create(nullptr, "blt", 0, CRect(0, 0, 60, 60), nullptr, 0));
    CClientDC dc(&wnd);
    EXPECT_TRUE(dc.BitBlt(0, 0, 20, 20, &mem, 20, 30));
    EXPECT_EQ(dc.GetPixel(0, 0), kBlack);
    EXPECT_EQ(dc.GetPixel(19, 19), kBlack);
    EXPECT_EQ(dc.GetPixel(20, 20), kWhite);
}

} // namespace
