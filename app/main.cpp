#include "app/Main.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tesselpad"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QApplication::setDesktopFileName(QStringLiteral("tesselpad"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/images/icon-48.png"));
    icon.addFile(QStringLiteral(":/images/icon-256.png"));
    QApplication::setWindowIcon(icon);
    Main();   // the command line is not read
    const int rc = QApplication::exec();
    return rc;
}
