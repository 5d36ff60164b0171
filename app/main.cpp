#include "app/Main.h"
#include "platform/Product.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(product::kName);
    QApplication::setApplicationVersion(product::shownVersion());
    QApplication::setDesktopFileName(product::kDesktopName);
    QIcon icon;
    icon.addFile(QStringLiteral(":/images/icon-48.png"));
    icon.addFile(QStringLiteral(":/images/icon-256.png"));
    QApplication::setWindowIcon(icon);
    Main();   // the command line is not read
    const int rc = QApplication::exec();
    return rc;
}
