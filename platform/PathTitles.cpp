#include "platform/PathTitles.h"

#include <QAction>
#include <QFontMetrics>
#include <QHash>
#include <QIcon>
#include <QMenu>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProxyStyle>
#include <QStyleOptionTitleBar>

namespace tp {

QString elidePath(const QString& path, const QFontMetrics& metrics, int width) {
    if (metrics.horizontalAdvance(path) <= width) return path;
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    const QString name = path.mid(cut + 1);
    const int room = width - metrics.horizontalAdvance(name);
    const QString folders = path.left(cut + 1);
    if (cut < 0 || room < metrics.horizontalAdvance(QStringLiteral("\u2026/")))
        return metrics.elidedText(name, Qt::ElideRight, width);
    return metrics.elidedText(folders, Qt::ElideMiddle, room) + name;
}

namespace {

// The window frame's title bar gets its text from the window's whole title; everything else is the
// application's style.
class PathTitleStyle final : public QProxyStyle {
public:
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const override {
        const auto* bar = qstyleoption_cast<const QStyleOptionTitleBar*>(option);
        if (control != CC_TitleBar || !bar || !widget) {
            QProxyStyle::drawComplexControl(control, option, painter, widget);
            return;
        }
        QStyleOptionTitleBar titled = *bar;
        const QRect label = subControlRect(CC_TitleBar, &titled, SC_TitleBarLabel, widget);
        // Styles keep a little room at the label's ends and cut what is left at its end.
        titled.text = elidePath(widget->windowTitle(), titled.fontMetrics, label.width() - 16);
        QProxyStyle::drawComplexControl(control, &titled, painter, widget);
    }

    // Each window frame asks for its title-bar pictures; the style would load them anew for
    // every window (30 KB each). They are the same for all: loaded once and shared.
    QIcon standardIcon(StandardPixmap picture, const QStyleOption* option, const QWidget* widget) const override {
        if (option || picture < SP_TitleBarMenuButton || picture > SP_TitleBarContextHelpButton)
            return QProxyStyle::standardIcon(picture, option, widget);
        QIcon& icon = icons_[picture];
        if (icon.isNull()) icon = QProxyStyle::standardIcon(picture, option, widget);
        return icon;
    }

    // The window menu's pictures, made by the frame before it takes this style: shared likewise.
    void shareMenuIcons(QMdiSubWindow& window) {
        QMenu* menu = window.systemMenu();
        if (!menu) return;
        for (QAction* action : menu->actions()) {
            if (action->icon().isNull()) continue;
            auto it = menuIcons_.constFind(action->text());
            if (it == menuIcons_.cend()) menuIcons_.insert(action->text(), action->icon());
            else action->setIcon(*it);
        }
    }

private:
    mutable QHash<int, QIcon> icons_;
    QHash<QString, QIcon> menuIcons_;
};

} // namespace

void elidePathTitles(QMdiSubWindow& window) {
    QMdiArea* area = window.mdiArea();
    if (!area) return;
    // Owned by the area, which deletes its windows before it.
    auto* style = area->findChild<PathTitleStyle*>(QString(), Qt::FindDirectChildrenOnly);
    if (!style) {
        style = new PathTitleStyle;
        style->setParent(area);
    }
    window.setStyle(style);
    style->shareMenuIcons(window);
}

} // namespace tp
