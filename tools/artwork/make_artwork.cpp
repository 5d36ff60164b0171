// Draws Tesselpad's pictures: the logo, the splash banner and the About banner.
//
//   g++ -std=c++20 -fPIC tools/artwork/make_artwork.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/make_artwork
//   QT_QPA_PLATFORM=offscreen /tmp/make_artwork resources/images
//
// The pictures are committed under resources/images; run this again only to change them.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QtMath>
#include <cstdio>

namespace {

const QColor kNavy(0x1b, 0x3a, 0x5c);
const QColor kBlue(0x2f, 0x6f, 0xb0);
const QColor kTeal(0x1f, 0x9e, 0x9a);
const QColor kAmber(0xf0, 0xa2, 0x2e);
const QColor kCoral(0xe0, 0x5a, 0x47);

// A regular hexagon with flat top and bottom.
QPolygonF hexagon(QPointF centre, qreal radius) {
    QPolygonF p;
    for (int i = 0; i < 6; ++i) {
        const qreal a = qDegreesToRadians(60.0 * i);
        p << centre + QPointF(radius * std::cos(a), radius * std::sin(a));
    }
    return p;
}

// Seven hexagons: one in the middle and six around it, the middle one carrying a "T".
void drawTileFlower(QPainter& p, QPointF centre, qreal r) {
    const qreal gap = r * 0.12;
    const QColor ring[6] = {kTeal, kBlue, kAmber, kTeal, kBlue, kCoral};
    for (int i = 0; i < 6; ++i) {
        const qreal a = qDegreesToRadians(30.0 + 60.0 * i);
        const QPointF c = centre + QPointF(std::cos(a), std::sin(a)) * (r * std::sqrt(3.0));
        QLinearGradient g(c - QPointF(0, r), c + QPointF(0, r));
        g.setColorAt(0, ring[i].lighter(125));
        g.setColorAt(1, ring[i]);
        p.setBrush(g);
        p.setPen(Qt::NoPen);
        p.drawPolygon(hexagon(c, r - gap));
    }
    QLinearGradient g(centre - QPointF(0, r), centre + QPointF(0, r));
    g.setColorAt(0, kNavy.lighter(140));
    g.setColorAt(1, kNavy);
    p.setBrush(g);
    p.drawPolygon(hexagon(centre, r - gap));

    QFont f(QStringLiteral("DejaVu Sans"));
    f.setBold(true);
    f.setPixelSize(qRound(r * 1.15));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), Qt::AlignCenter, QStringLiteral("T"));
}

// A row of alternating triangles, the tessellation the product is named after.
void drawTriangleStrip(QPainter& p, QRectF band, qreal width) {
    const QColor colours[5] = {kTeal, kBlue, kAmber, kNavy, kCoral};
    int n = 0;
    for (qreal x = band.left() - width / 2; x < band.right(); x += width / 2, ++n) {
        QPolygonF t;
        if (n % 2 == 0)
            t << QPointF(x, band.bottom()) << QPointF(x + width / 2, band.top()) << QPointF(x + width, band.bottom());
        else
            t << QPointF(x, band.top()) << QPointF(x + width, band.top()) << QPointF(x + width / 2, band.bottom());
        QColor c = colours[(n * 3) % 5];
        c.setAlpha(220);
        p.setBrush(c);
        p.setPen(Qt::NoPen);
        p.drawPolygon(t);
    }
}

QImage logo() {
    QImage img(96, 96, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    drawTileFlower(p, QPointF(48, 48), 17.5);
    return img;
}

QImage splashBanner() {
    QImage img(456, 92, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient bg(0, 0, img.width(), 0);
    bg.setColorAt(0, kNavy);
    bg.setColorAt(0.65, kBlue);
    bg.setColorAt(1, kTeal);
    p.fillRect(img.rect(), bg);

    // Faint hexagon mesh on the right half.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 38), 1.2));
    const qreal r = 13;
    for (int col = 0; col < 16; ++col) {
        for (int row = -1; row < 5; ++row) {
            const qreal x = 250 + col * r * 1.5;
            const qreal y = row * r * std::sqrt(3.0) + (col % 2 ? r * std::sqrt(3.0) / 2 : 0);
            p.drawPolygon(hexagon(QPointF(x, y), r));
        }
    }
    drawTriangleStrip(p, QRectF(0, 84, img.width(), 8), 16);

    QFont word(QStringLiteral("DejaVu Sans"));
    word.setBold(true);
    word.setPixelSize(44);
    word.setLetterSpacing(QFont::AbsoluteSpacing, 0.5);
    p.setFont(word);
    p.setPen(QColor(0, 0, 0, 70));
    p.drawText(QPointF(22, 54), QStringLiteral("Tesselpad"));
    p.setPen(Qt::white);
    p.drawText(QPointF(20, 52), QStringLiteral("Tesselpad"));

    QFont sub(QStringLiteral("DejaVu Sans"));
    sub.setPixelSize(13);
    sub.setItalic(true);
    p.setFont(sub);
    p.setPen(QColor(0xdd, 0xee, 0xff));
    p.drawText(QPointF(23, 73), QStringLiteral("The text editor for web authors"));
    return img;
}

QImage aboutBanner() {
    QImage img(408, 118, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    // A soft wash behind the tiles, fading into the white page.
    QRadialGradient wash(QPointF(56, 56), 70);
    wash.setColorAt(0, QColor(0xe4, 0xef, 0xfa));
    wash.setColorAt(1, Qt::white);
    p.fillRect(QRectF(0, 0, 130, 108), wash);
    drawTileFlower(p, QPointF(58, 54), 16.5);

    // The credit line is laid over the top of the picture, right of the tiles; it stays clear.
    QFont word(QStringLiteral("DejaVu Sans"));
    word.setBold(true);
    word.setPixelSize(42);
    p.setFont(word);
    p.setPen(kNavy);
    p.drawText(QPointF(124, 76), QStringLiteral("Tesselpad"));

    QFont sub(QStringLiteral("DejaVu Sans"));
    sub.setPixelSize(12);
    sub.setItalic(true);
    p.setFont(sub);
    p.setPen(QColor(0x55, 0x66, 0x77));
    p.drawText(QPointF(128, 96), QStringLiteral("The text editor for web authors"));

    drawTriangleStrip(p, QRectF(0, 110, img.width(), 8), 16);
    return img;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_artwork OUTPUT_FOLDER\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    bool ok = logo().save(out.filePath(QStringLiteral("logo.png")));
    ok = splashBanner().save(out.filePath(QStringLiteral("splash-banner.png"))) && ok;
    ok = aboutBanner().save(out.filePath(QStringLiteral("about-banner.png"))) && ok;
    return ok ? 0 : 1;
}
