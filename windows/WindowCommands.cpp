#include "windows/WindowCommands.h"

#include "documents/DocumentFrame.h"
#include "documents/ExtraView.h"
#include "documents/Form1.h"
#include "platform/RichTextBox.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionTitleBar>

#include <algorithm>

namespace windowcmd {
namespace {

// Marks the entries that list the windows, so they can be rebuilt each time the menu opens.
const char* const kListEntry = "windowListEntry";

QMdiSubWindow* documentSubWindow(QMdiSubWindow* sub) {
    return sub && documents::documentWindowOf(sub->widget()) && !sub->isHidden() ? sub : nullptr;
}

// Distance from a window's top-left corner to its contents: its title bar and top border.
int titleStep(QMdiSubWindow* sub) {
    QStyleOptionTitleBar opt;
    opt.initFrom(sub);
    const int title = sub->style()->pixelMetric(QStyle::PM_TitleBarHeight, &opt, sub);
    const int frame = sub->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, sub);
    return std::max(title + frame, 8);
}

void activate(DocumentFrame& frame, QMdiSubWindow* sub) {
    if (sub->isMinimized()) sub->showNormal();
    frame.mdiArea()->setActiveSubWindow(sub);
    if (sub->widget()) sub->widget()->setFocus();   // a window's or a view's text
}

} // namespace

QList<QRect> tileHorizontalRects(const QRect& area, int count) {
    QList<QRect> rects;
    for (int i = 0; i < count; ++i) {
        const int top = area.top() + int(qint64(area.height()) * i / count);
        const int bottom = area.top() + int(qint64(area.height()) * (i + 1) / count);
        rects << QRect(area.left(), top, area.width(), bottom - top);
    }
    return rects;
}

QList<QRect> tileVerticalRects(const QRect& area, int count) {
    QList<QRect> rects;
    for (int i = 0; i < count; ++i) {
        const int left = area.left() + int(qint64(area.width()) * i / count);
        const int right = area.left() + int(qint64(area.width()) * (i + 1) / count);
        rects << QRect(left, area.top(), right - left, area.height());
    }
    return rects;
}

QList<QRect> cascadeRects(const QRect& area, int count, int step) {
    QList<QRect> rects;
    if (count <= 0) return rects;
    step = std::max(step, 1);
    // One run of the cascade keeps every window at least half the area wide and tall; more
    // windows start a new run at the top left.
    const int maxRun = std::max(1, std::min(area.width() / 2, area.height() / 2) / step + 1);
    const int run = std::min(count, maxRun);
    const QSize size(area.width() - (run - 1) * step, area.height() - (run - 1) * step);
    for (int i = 0; i < count; ++i) {
        const int k = i % run;
        rects << QRect(area.topLeft() + QPoint(k * step, k * step), size);
    }
    return rects;
}

QList<QRect> iconRects(const QRect& area, int count, const QSize& icon) {
    QList<QRect> rects;
    if (count <= 0 || icon.isEmpty()) return rects;
    const int perRow = std::max(1, area.width() / icon.width());
    for (int i = 0; i < count; ++i) {
        const int row = i / perRow, col = i % perRow;
        rects << QRect(QPoint(area.left() + col * icon.width(), area.bottom() + 1 - (row + 1) * icon.height()), icon);
    }
    return rects;
}

QRect areaAboveIcons(const QRect& area, int count, const QSize& icon) {
    if (count <= 0 || icon.isEmpty()) return area;
    const int perRow = std::max(1, area.width() / icon.width());
    const int rows = (count + perRow - 1) / perRow;
    QRect free = area;
    free.setHeight(std::max(area.height() - rows * icon.height(), std::min(area.height(), icon.height())));
    return free;
}

void mnuWindow(DocumentFrame& frame) {
    frame.setItemsEnabled({"mnuWindowTileHorizontal", "mnuWindowTileVertical", "mnuWindowCascade",
                           "mnuWindowArrangeIcons", "mnuWindowNewWindow"},
                          frame.ActiveForm() != nullptr);

    QMenu* menu = frame.menu("mnuWindow");
    for (QAction* a : menu->actions()) {
        if (a->property(kListEntry).toBool()) {
            menu->removeAction(a);
            a->deleteLater();
        }
    }
    QList<QMdiSubWindow*> subs;
    for (QMdiSubWindow* sub : frame.mdiArea()->subWindowList(QMdiArea::CreationOrder))
        if (documentSubWindow(sub)) subs << sub;
    if (subs.isEmpty()) return;

    QAction* bar = menu->addSeparator();
    bar->setProperty(kListEntry, true);
    QMdiSubWindow* active = frame.mdiArea()->currentSubWindow();
    int n = 0;
    for (QMdiSubWindow* sub : subs) {
        ++n;
        // The window's title: the document's caption, and ":n" when it has further views.
        QString caption = sub->windowTitle();
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        // A document with unsaved changes is marked (its caption itself stays as it is).
        if (documents::documentWindowOf(sub->widget())->isChanged()) caption += kChangedMark;
        const QString text = n <= 9 ? QStringLiteral("&%1 %2").arg(n).arg(caption) : caption;
        QAction* entry = menu->addAction(text);
        entry->setProperty(kListEntry, true);
        entry->setCheckable(true);
        entry->setChecked(sub == active);
        QPointer<QMdiSubWindow> target(sub);
        DocumentFrame* f = &frame;
        QObject::connect(entry, &QAction::triggered, frame.frameWidget(), [f, target] {
            if (target) activate(*f, target);
        });
    }
}

void windowMinimized(DocumentFrame& frame, QMdiSubWindow* sub) {
    QMdiArea* mdi = frame.mdiArea();
    if (mdi->activeSubWindow() != sub) return;
    QList<QMdiSubWindow*> history = mdi->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = history.crbegin(); it != history.crend(); ++it) {
        if (*it != sub && documentSubWindow(*it) && !(*it)->isMinimized()) {
            activate(frame, *it);
            return;
        }
    }
}

void Arrange(DocumentFrame& frame, Arrangement how) {
    QMdiArea* mdi = frame.mdiArea();
    QMdiSubWindow* active = mdi->currentSubWindow();
    QList<QMdiSubWindow*> icons, windows;
    // Bottom of the stack first; the active window is the last.
    for (QMdiSubWindow* sub : mdi->subWindowList(QMdiArea::StackingOrder)) {
        if (!documentSubWindow(sub)) continue;
        (sub->isMinimized() ? icons : windows) << sub;
    }
    // Scroll bars go away once everything lies inside, so the whole inside of the area counts.
    const QRect area(QPoint(0, 0), mdi->contentsRect().size());

    QSize icon;
    for (QMdiSubWindow* sub : icons) icon = icon.expandedTo(sub->size());
    const QList<QRect> iconPlaces = iconRects(area, int(icons.size()), icon);
    for (int i = 0; i < icons.size(); ++i) icons[i]->move(iconPlaces[i].topLeft());
    if (how == Arrangement::ArrangeIcons || windows.isEmpty()) {
        if (active) mdi->setActiveSubWindow(active);
        return;
    }

    // The windows keep clear of the icon rows so every minimized window stays reachable.
    const QRect free = areaAboveIcons(area, int(icons.size()), icon);
    for (QMdiSubWindow* sub : windows)
        if (sub->isMaximized()) sub->showNormal();

    QList<QRect> places;
    if (how == Arrangement::Cascade) {
        places = cascadeRects(free, int(windows.size()), titleStep(windows.first()));
    } else {
        // Tiles follow the order in which the windows were opened.
        QList<QMdiSubWindow*> byCreation;
        for (QMdiSubWindow* sub : mdi->subWindowList(QMdiArea::CreationOrder))
            if (windows.contains(sub)) byCreation << sub;
        windows = byCreation;
        places = how == Arrangement::TileHorizontal ? tileHorizontalRects(free, int(windows.size()))
                                                    : tileVerticalRects(free, int(windows.size()));
    }
    for (int i = 0; i < windows.size(); ++i) {
        windows[i]->setGeometry(places[i]);
        if (how == Arrangement::Cascade) windows[i]->raise();
    }
    if (active) {
        active->raise();
        mdi->setActiveSubWindow(active);
    }
}

} // namespace windowcmd
