#pragma once
// The Window menu: tiling, cascading, arranging minimized windows, and the list of open document
// windows.
#include <QList>
#include <QRect>
#include <QSize>

class DocumentFrame;
class QMdiSubWindow;

namespace windowcmd {

enum class Arrangement { Cascade = 0, TileHorizontal = 1, TileVertical = 2, ArrangeIcons = 3 };

// Run as the Window menu opens: enables the four commands (disabled with no active window) and
// lists the open document windows below them, the active one checked.
void mnuWindow(DocumentFrame& frame);
// Arranges all document windows of the frame; the active window stays active.
void Arrange(DocumentFrame& frame, Arrangement how);
// Run when a document window has been minimized: when it was the active one, the window that was
// active before it (and is not minimized) becomes active and takes the keys.
void windowMinimized(DocumentFrame& frame, QMdiSubWindow* sub);

// The geometry of the arrangements, in the client area's coordinates.
// 'count' windows one above another, each as wide as the area, together exactly as tall.
QList<QRect> tileHorizontalRects(const QRect& area, int count);
// 'count' windows side by side, each as tall as the area, together exactly as wide.
QList<QRect> tileVerticalRects(const QRect& area, int count);
// 'count' overlapping windows, each 'step' down and to the right of the one before; they start
// again at the top left when the next one would not keep its title bar inside the area.
QList<QRect> cascadeRects(const QRect& area, int count, int step);
// 'count' minimized windows of size 'icon' in rows along the bottom of the area, left to right,
// further rows above the first.
QList<QRect> iconRects(const QRect& area, int count, const QSize& icon);
// The part of the area that the icon rows leave free for the other windows.
QRect areaAboveIcons(const QRect& area, int count, const QSize& icon);

} // namespace windowcmd
