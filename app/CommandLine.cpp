#include "app/CommandLine.h"

#include <QDir>

namespace cmdline {
namespace {

Request::Action optionAction(const QString& arg) {
    if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) return Request::Action::Help;
    if (arg == QLatin1String("--version") || arg == QLatin1String("-v")) return Request::Action::Version;
    return Request::Action::Run;
}

} // namespace

Request parse(const QStringList& args, const QString& folder) {
    Request r;
    bool options = true;
    for (const QString& arg : args) {
        if (options && arg == QLatin1String("--")) {
            options = false;
        } else if (options && arg.startsWith(QLatin1Char('-'))) {
            if (arg == QLatin1String("--new-instance")) {
                r.newInstance = true;
                continue;
            }
            const Request::Action action = optionAction(arg);
            if (action == Request::Action::Run) {
                r.action = Request::Action::Error;
                r.error = QStringLiteral("unknown option '%1'").arg(arg);
                return r;
            }
            // The first of --help and --version wins, as in earlyAction().
            if (r.action == Request::Action::Run) r.action = action;
        } else if (!arg.isEmpty()) {
            r.files << QDir::cleanPath(QDir(folder).absoluteFilePath(arg));
        }
    }
    return r;
}

Request::Action earlyAction(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--")) break;
        const Request::Action action = optionAction(arg);
        if (action != Request::Action::Run) return action;
    }
    return Request::Action::Run;
}

QString usage() {
    return QStringLiteral(
        "Usage: tesselpad [--new-instance] [FILE...]\n"
        "A multiple-document text editor for web authors.\n"
        "\n"
        "Each FILE opens in a window of its own, as File > Open opens it. When a Tesselpad\n"
        "frame of the same user already runs on the same display, the files are handed to it.\n"
        "\n"
        "      --new-instance  open the files in a new frame of their own\n"
        "  -h, --help          print this help and exit\n"
        "  -v, --version       print the version and exit\n"
        "      --              take every later argument as a file name\n"
        "\n"
        "Settings are kept in tspd.ini in the current folder.\n");
}

} // namespace cmdline
