#include "app/Main.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tesselpad"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    Main();   // the command line is not read
    const int rc = QApplication::exec();
    return rc;
}
