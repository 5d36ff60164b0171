#include "app/CommandLine.h"
#include "app/InstanceChannel.h"
#include "app/Main.h"
#include "app/Palette.h"
#include "platform/Product.h"
#include "platform/Translations.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstdlib>

#include <unistd.h>

namespace {

// The current folder as the system spells it; empty when it cannot be told (it was removed).
QByteArray currentFolder() {
    char* cwd = ::getcwd(nullptr, 0);
    const QByteArray folder(cwd ? cwd : "");
    std::free(cwd);
    return folder;
}

} // namespace

int main(int argc, char** argv) {
    // The whole command line is read before the application object, which needs a display: help,
    // version and a wrong option are answered without one.
    const cmdline::Request request = cmdline::parse(argc, argv, currentFolder());
    switch (request.action) {
    case cmdline::Request::Action::Help:
        std::fputs(qPrintable(cmdline::usage() + QStringLiteral("\nReport bugs to <%1>.\n").arg(product::kContactEmail)),
                   stdout);
        return 0;
    case cmdline::Request::Action::Version:
        std::printf("%s %d.%d.%d\n", qPrintable(product::kName), product::kVersionMajor, product::kVersionMinor,
                    product::kVersionPatch);
        return 0;
    case cmdline::Request::Action::Error:
        std::fprintf(stderr, "tesselpad: %s\nTry 'tesselpad --help' for more information.\n", qPrintable(request.error));
        return 2;
    case cmdline::Request::Action::Run:
        break;
    }
    if (!InstanceChannel::fits(request.files)) {
        std::fprintf(stderr,
                     "tesselpad: too many files (%lld); one launch takes at most %lld, with %lld KB of names in all\n",
                     static_cast<long long>(request.files.size()), static_cast<long long>(InstanceChannel::kMaxNames),
                     static_cast<long long>(InstanceChannel::kMaxNameBytes / 1024));
        return 2;
    }
    // Before the application object, which takes it out of the environment.
    const QByteArray activationToken = InstanceChannel::launchToken();
    // Qt takes its own options out of the arguments before "--" only.
    int qtArgc = request.optionsEnd;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(product::kName);
    QApplication::setApplicationVersion(product::shownVersion());
    QApplication::setDesktopFileName(product::kDesktopName);
    tp::installTranslations();
    // One frame per user and display: files go to the frame already running, if there is one.
    InstanceChannel channel(request.newInstance ? QString() : InstanceChannel::defaultName());
    if (channel.start(request.files, activationToken) == InstanceChannel::Outcome::HandedOver) return 0;
    QObject::connect(&channel, &InstanceChannel::filesReceived,
                     [](const QList<QByteArray>& files, const QByteArray& token) { openFiles(files, true, token); });

    QIcon icon;
    icon.addFile(QStringLiteral(":/images/icon-48.png"));
    icon.addFile(QStringLiteral(":/images/icon-256.png"));
    QApplication::setWindowIcon(icon);
    palettes::applyFromEnvironment();
    Main();
    // A frame of its own (--new-instance) leaves the session to the frame that keeps it.
    if (!request.newInstance) reopenSessionAtStart();
    openFiles(request.files, false);
    const int rc = QApplication::exec();
    return rc;
}
