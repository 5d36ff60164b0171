#include "platform/PathTitles.h"

#include <QFontMetrics>
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
}

} // namespace tp
