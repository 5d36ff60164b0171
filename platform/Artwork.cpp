#include "platform/Artwork.h"

#include <QLabel>

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QtMath>

#include <algorithm>

// The resources live in the core library; naming their initializer keeps the linker from
// dropping them from the program.
static void initResources() { Q_INIT_RESOURCE(tesselpad); }

namespace artwork {
namespace {

constexpr double kLayoutPoints = 9.0;   // the application font the layouts are drawn for

// The application font against the layouts' font (at least 1).
double fontRatio() {
    const QFont app = QApplication::font();
    double points = app.pointSizeF();
    if (points <= 0) {   // a font sized in pixels
        const QScreen* screen = QGuiApplication::primaryScreen();
        points = app.pixelSize() * 72.0 / (screen ? screen->logicalDotsPerInchY() : 96.0);
    }
    return std::max(1.0, points / kLayoutPoints);
}

} // namespace

double layoutScale() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return std::max(1.0, dpi / 96.0) * fontRatio();
}

int px(int twips) {
    const double scale = layoutScale();
    // As drawn: the nearest pixel, a half rounded down.
    if (scale == 1.0) return (twips + 7) / 15;
    return qRound(twips * scale / 15.0);
}

QRect scaled(const QRect& drawn) {
    const double scale = layoutScale();
    if (scale == 1.0) return drawn;
    const auto s = [scale](int v) { return qRound(v * scale); };
    return QRect(QPoint(s(drawn.left()), s(drawn.top())), QPoint(s(drawn.left() + drawn.width()), s(drawn.top() + drawn.height())) - QPoint(1, 1));
}

QPixmap picture(const QString& name) {
    static const bool initialised = (initResources(), true);
    Q_UNUSED(initialised);
    const QPixmap drawn(QStringLiteral(":/images/%1.png").arg(name));
    const double scale = layoutScale();
    if (scale == 1.0 || drawn.isNull()) return drawn;
    return drawn.scaled(drawn.size() * scale, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QByteArray builtInFile(const QString& path) {
    static const bool initialised = (initResources(), true);
    Q_UNUSED(initialised);
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QFont font(qreal points, bool bold) {
    QFont f = QApplication::font();
    // The layouts were made for a narrow sans serif; the usual metric-compatible faces come first.
    f.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                   QStringLiteral("Helvetica"), f.family()});
    f.setPointSizeF(points * fontRatio());
    f.setBold(bold);
    return f;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry, const QFont& font,
                  Qt::Alignment align) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setGeometry(geometry);
    label->setFont(font);
    label->setAlignment(align);
    return label;
}

} // namespace artwork
