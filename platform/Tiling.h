#pragma once
// Where the main window's child windows go: a new one cascaded below those shown, and the
// Window menu's Cascade, Tile and Arrange Icons. Internal to platform/.
#include <QList>
#include <QMdiArea>
#include <QRect>

class QMdiSubWindow;

namespace vx::frame {

// The child windows shown and not minimised, in that order.
QList<QMdiSubWindow*> ShownWindows(const QMdiArea* pArea,
                                   QMdiArea::WindowOrder order = QMdiArea::CreationOrder);
// The place and size of a new child window: cascaded below the windows shown, wholly inside the
// area (without an area, the place of the first window in an 800 by 600 one).
QRect NextChildGeometry(const QMdiArea* pArea);
// Overlapping windows, each at the size a new window gets, the active one on top.
void Cascade(QMdiArea* pArea);
// The windows shown, in columns of windows one above the other (with bSideBySide, in rows of
// windows next to each other), above the minimised ones.
void Tile(QMdiArea* pArea, bool bSideBySide);
// The minimised windows lined up again.
void ArrangeIcons(QMdiArea* pArea);

} // namespace vx::frame
