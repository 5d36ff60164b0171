#include "app/CommandLine.h"
#include "app/InstanceChannel.h"
#include "app/Main.h"
#include "platform/Product.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <cstdio>

int main(int argc, char** argv) {
    // Before the application object, which needs a display: help and version print and exit.
    switch (cmdline::earlyAction(argc, argv)) {
    case cmdline::Request::Action::Help:
        std::fputs(qPrintable(cmdline::usage() + QStringLiteral("\nReport bugs to <%1>.\n").arg(product::kContactEmail)),
                   stdout);
        return 0;
    case cmdline::Request::Action::Version:
        std::printf("%s %d.%d.%d\n", qPrintable(product::kName), product::kVersionMajor, product::kVersionMinor,
                    product::kVersionPatch);
        return 0;
    default:
        break;
    }
    QApplication app(argc, argv);   // takes Qt's own options out of the arguments
    QApplication::setApplicationName(product::kName);
    QApplication::setApplicationVersion(product::shownVersion());
    QApplication::setDesktopFileName(product::kDesktopName);
    const cmdline::Request request = cmdline::parse(QApplication::arguments().mid(1), QDir::currentPath());
    if (request.action == cmdline::Request::Action::Error) {
        std::fprintf(stderr, "tesselpad: %s\nTry 'tesselpad --help' for more information.\n", qPrintable(request.error));
        return 2;
    }
    // One frame per user and display: files go to the frame already running, if there is one.
    InstanceChannel channel(request.newInstance ? QString() : InstanceChannel::defaultName());
    if (channel.start(request.files) == InstanceChannel::Outcome::HandedOver) return 0;
    QObject::connect(&channel, &InstanceChannel::filesReceived, [](const QStringList& files) { openFiles(files, true); });

    QIcon icon;
    icon.addFile(QStringLiteral(":/images/icon-48.png"));
    icon.addFile(QStringLiteral(":/images/icon-256.png"));
    QApplication::setWindowIcon(icon);
    Main();
    openFiles(request.files, false);
    const int rc = QApplication::exec();
    return rc;
}
