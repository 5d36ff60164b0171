#include "app/Palette.h"

#include <QApplication>
#include <QStyle>

namespace palettes {

QPalette dark() {
    QPalette p;
    const QColor window(0x32, 0x33, 0x36), base(0x24, 0x25, 0x28), text(0xe6, 0xe6, 0xe6);
    const QColor disabled(0x80, 0x80, 0x80);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::ToolTipBase, window);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, disabled);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, QColor(0xff, 0x6b, 0x6b));
    p.setColor(QPalette::Link, QColor(0x6c, 0xb0, 0xff));
    p.setColor(QPalette::Highlight, QColor(0x2f, 0x5f, 0xa8));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Light, window.lighter(150));
    p.setColor(QPalette::Midlight, window.lighter(120));
    p.setColor(QPalette::Mid, window.darker(120));
    p.setColor(QPalette::Dark, window.darker(160));
    p.setColor(QPalette::Shadow, Qt::black);
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, disabled);
    return p;
}

void applyFromEnvironment() {
    const QByteArray wanted = qgetenv("TESSELPAD_PALETTE").trimmed().toLower();
    if (wanted != "dark" && wanted != "light") return;
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setPalette(wanted == "dark" ? dark() : QApplication::style()->standardPalette());
}

} // namespace palettes
