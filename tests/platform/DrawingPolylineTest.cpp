// A polyline, or several at once, sets the pixels of its segments drawn one by one with LineTo,
// whatever the pen, the mix mode, repeated or far-off points and a path that closes on itself.
#include "platform/Dc.h"
#include "platform/Wnd.h"

#include <QImage>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

constexpr int kW = 160, kH = 120;

// Zig-zags, steep and flat runs, repeats and points well outside the window.
std::vector<CPoint> Path(unsigned seed, int n, bool closed)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> x(-20, kW + 20), y(-20, kH + 20), step(-3, 3), pick(0, 9);
    std::vector<CPoint> pts{{x(rng), y(rng)}};
    for (int i = 1; i < n; ++i) {
        const CPoint last = pts.back();
        const int k = pick(rng);
        pts.push_back(k == 0   ? last                                           // repeated point
                      : k < 6  ? CPoint(last.x + step(rng), last.y + step(rng)) // crowded
                      : k == 6 ? (i % 2 ? CPoint(100000, -70000) : CPoint(-90000, 60000))
                               : CPoint(x(rng), y(rng)));
    }
    if (closed)
        pts.push_back(pts.front());
    return pts;
}

QImage Draw(CWnd& wnd, const std::function<void(CDC&)>& draw)
{
    CClientDC dc(&wnd);
    dc.FillSolidRect(0, 0, kW, kH, RGB(40, 90, 200));
    draw(dc);
    return wnd.GetBackingImage().copy();
}

} // namespace

TEST(DrawingPolyline, SetsThePixelsOfItsSegments)
{
    CWnd wnd;
    ASSERT_TRUE(wnd.Create(nullptr, "polyline", 0, CRect(0, 0, kW, kH), nullptr, 0));
    const struct
    {
        int style, width, rop;
    } looks[] = {
        {PS_SOLID, 1, R2_COPYPEN},   {PS_SOLID, 0, R2_COPYPEN}, {PS_SOLID, 1, R2_XORPEN},
        {PS_SOLID, 1, R2_NOTXORPEN}, {PS_DASH, 1, R2_COPYPEN},  {PS_DOT, 1, R2_COPYPEN},
        {PS_SOLID, 3, R2_COPYPEN},   {PS_SOLID, 2, R2_XORPEN},
    };
    for (const auto& look : looks)
        for (unsigned seed = 1; seed <= 24; ++seed) {
            const std::vector<CPoint> pts = Path(seed, seed * 25, seed % 3 == 0);
            auto with = [&](const std::function<void(CDC&)>& lines) {
                return Draw(wnd, [&](CDC& dc) {
                    CPen pen(look.style, look.width, RGB(250, 20, 60));
                    CPen* old = dc.SelectObject(&pen);
                    dc.SetROP2(look.rop);
                    lines(dc);
                    dc.SelectObject(old);
                });
            };
            const QImage one = with([&](CDC& dc) { dc.Polyline(pts.data(), int(pts.size())); });
            const QImage each = with([&](CDC& dc) {
                dc.MoveTo(pts[0]);
                for (std::size_t i = 1; i < pts.size(); ++i)
                    dc.LineTo(pts[i]);
            });
            // The same segments as polylines of up to seven points that share their ends.
            std::vector<CPoint> cut;
            std::vector<DWORD> counts;
            for (std::size_t i = 0; i + 1 < pts.size(); i += 6) {
                const std::size_t n = std::min<std::size_t>(7, pts.size() - i);
                cut.insert(cut.end(), pts.begin() + long(i), pts.begin() + long(i + n));
                counts.push_back(DWORD(n));
            }
            const QImage many = with(
                [&](CDC& dc) { dc.PolyPolyline(cut.data(), counts.data(), int(counts.size())); });
            EXPECT_TRUE(many == each) << "style " << look.style << " width " << look.width
                                      << " rop " << look.rop << " seed " << seed;
            EXPECT_TRUE(one == each) << "style " << look.style << " width " << look.width << " rop "
                                     << look.rop << " seed " << seed;
        }
}
