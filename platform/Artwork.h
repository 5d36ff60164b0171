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

// How much the fixed-size windows grow on this desktop: the screen's logical resolution against 96
// dots per inch (a desktop's font scaling, QT_FONT_DPI), times the application font against the
// 9 points the layouts are drawn for. Never below 1: a smaller font leaves the layout as drawn.
// Everything placed by the helpers below, and the pictures, grow by it together with their
// fonts, so that a larger desktop font cuts off no caption.
double layoutScale();

// Window layouts are drawn in twips, 15 to the pixel at 96 dots per inch and the layouts' font.
int px(int twips);
inline QRect twips(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}
// A rectangle drawn in pixels at 96 dots per inch and the layouts' font, grown as the layouts grow.
QRect scaled(const QRect& drawn);

// The application font at a point size of the layouts, grown as the layouts grow (its point size
// times the application font's ratio; the screen's resolution scales points by itself).
QFont font(qreal points, bool bold = false);

// A plain-text label of a fixed-size window, named and placed.
QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry, const QFont& font,
                  Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter);

} // namespace artwork
