#pragma once
// The program's own pictures and the twip layout of its fixed-size windows.
#include <QByteArray>
#include <QFont>
#include <QPixmap>
#include <QRect>

class QLabel;
class QWidget;

namespace artwork {

// One of the pictures built into the program: "logo", "splash-banner", "about-banner".
QPixmap picture(const QString& name);

// A data file built into the program (":/completion/elements.txt"), or nothing.
QByteArray builtInFile(const QString& path);

// Window layouts are drawn in twips, 15 to the pixel at 96 dots per inch.
constexpr int px(int twips) { return (twips + 7) / 15; }
inline QRect twips(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}

// The application font at a point size of the layouts, sized in pixels so that text keeps to the
// twip layout whatever the screen's resolution.
QFont font(qreal points, bool bold = false);

// A plain-text label of a fixed-size window, named and placed.
QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry, const QFont& font,
                  Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter);

} // namespace artwork
