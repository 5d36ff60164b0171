#include "platform/Artwork.h"

#include <QLabel>

#include <QApplication>
#include <QFile>
#include <QtMath>

// The resources live in the core library; naming their initializer keeps the linker from
// dropping them from the program.
static void initResources() { Q_INIT_RESOURCE(tesselpad); }

namespace artwork {

QPixmap picture(const QString& name) {
    static const bool initialised = (initResources(), true);
    Q_UNUSED(initialised);
    return QPixmap(QStringLiteral(":/images/%1.png").arg(name));
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
    f.setPixelSize(qRound(points * 96.0 / 72.0));
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
