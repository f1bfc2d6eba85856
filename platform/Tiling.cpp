#include "platform/Tiling.h"

#include <QMdiSubWindow>
#include <QStyle>

#include <algorithm>
#include <utility>
#include <vector>

namespace vx::frame {

namespace {

// The old platform's default size of a child window: most of the client area.
QSize ChildSize(const QMdiArea* pArea)
{
    const QSize area = pArea ? pArea->viewport()->size() : QSize(800, 600);
    return {std::max(320, area.width() * 3 / 4), std::max(240, area.height() * 3 / 4)};
}

// The n-th place of a cascade: one title bar lower and further right than the one before,
// starting again at the top left when the window would leave the client area.
QPoint CascadePosition(const QMdiArea* pArea, int n, QSize size)
{
    const QSize area = pArea ? pArea->viewport()->size() : size;
    const int step =
        std::max(16, pArea ? pArea->style()->pixelMetric(QStyle::PM_TitleBarHeight) + 4 : 24);
    const int room = std::min(area.width() - size.width(), area.height() - size.height());
    const int places = std::max(1, room / step + 1);
    const int k = n % places;
    return {k * step, k * step};
}

// The k-th of n parts of a length, as equal as whole pixels allow, meeting without a gap.
std::pair<int, int> Part(int length, int k, int n)
{
    return {length * k / n, length * (k + 1) / n};
}

// The places of n windows tiled over the area: in columns of windows one above the other (with
// bSideBySide, in rows of windows next to each other), as many to a column as there are
// columns, so that each window keeps a usable height and width; the last column takes what is
// left, its windows taller.
std::vector<QRect> TilePlaces(int n, const QRect& area, bool bSideBySide)
{
    int perLine = 1;
    while (perLine * perLine < n)
        ++perLine;
    const int lines = (n + perLine - 1) / perLine;
    const int across = bSideBySide ? area.height() : area.width();
    const int along = bSideBySide ? area.width() : area.height();
    std::vector<QRect> places;
    for (int line = 0; line < lines; ++line) {
        const int count = std::min(perLine, n - line * perLine);
        const auto [a0, a1] = Part(across, line, lines);
        for (int k = 0; k < count; ++k) {
            const auto [b0, b1] = Part(along, k, count);
            places.push_back(bSideBySide ? QRect(b0, a0, b1 - b0, a1 - a0)
                                         : QRect(a0, b0, a1 - a0, b1 - b0));
        }
    }
    for (QRect& r : places)
        r.translate(area.topLeft());
    return places;
}

// The area above the minimised windows in its lower half (the windows given top first).
QRect AboveIcons(QRect area, const QList<QMdiSubWindow*>& topFirst)
{
    for (QMdiSubWindow* s : topFirst)
        if (s->isVisible() && s->isMinimized() && s->y() > area.height() / 2)
            area.setBottom(std::min(area.bottom(), s->y() - 1));
    return area;
}

} // namespace

QList<QMdiSubWindow*> ShownWindows(const QMdiArea* pArea, QMdiArea::WindowOrder order)
{
    QList<QMdiSubWindow*> shown;
    if (pArea)
        for (QMdiSubWindow* s : pArea->subWindowList(order))
            if (s->isVisible() && !s->isMinimized())
                shown << s;
    return shown;
}

QRect NextChildGeometry(const QMdiArea* pArea)
{
    const QSize size = ChildSize(pArea);
    return {CascadePosition(pArea, int(ShownWindows(pArea).size()), size), size};
}

void Cascade(QMdiArea* pArea)
{
    QMdiSubWindow* active = pArea->activeSubWindow();
    const QList<QMdiSubWindow*> shown = ShownWindows(pArea, QMdiArea::StackingOrder);
    const QSize size = ChildSize(pArea);
    int n = 0;
    for (QMdiSubWindow* s : shown) {
        if (s->isMaximized())
            s->showNormal();
        s->setGeometry(QRect(CascadePosition(pArea, n++, size), size));
        s->raise();
    }
    if (active && shown.contains(active)) {
        active->raise();
        pArea->setActiveSubWindow(active);
    }
}

void Tile(QMdiArea* pArea, bool bSideBySide)
{
    // The top window first, as the stack lists them from the bottom.
    QList<QMdiSubWindow*> stack = pArea->subWindowList(QMdiArea::StackingOrder);
    std::reverse(stack.begin(), stack.end());
    QList<QMdiSubWindow*> shown = ShownWindows(pArea, QMdiArea::StackingOrder);
    std::reverse(shown.begin(), shown.end());
    const QRect area = AboveIcons(pArea->viewport()->rect(), stack);
    QMdiSubWindow* active = pArea->activeSubWindow();
    const std::vector<QRect> places = TilePlaces(int(shown.size()), area, bSideBySide);
    for (size_t i = 0; i < places.size(); ++i) {
        QMdiSubWindow* s = shown[qsizetype(i)];
        if (s->isMaximized())
            s->showNormal();
        s->setGeometry(places[i]);
    }
    if (active && shown.contains(active))
        pArea->setActiveSubWindow(active);
}

void ArrangeIcons(QMdiArea* pArea)
{
    for (QMdiSubWindow* s : pArea->subWindowList())
        if (s->isMinimized())
            s->showMinimized();
}

} // namespace vx::frame
