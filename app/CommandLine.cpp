#include "app/CommandLine.h"

#include "platform/FileNames.h"

#include <QByteArrayView>
#include <QDir>

namespace cmdline {
namespace {

// The options QApplication takes out of the arguments (Qt 6), written with one dash or two: 0 when
// 'arg' is none of them, else how many arguments it takes, its value included.
int qtOption(QByteArrayView arg) {
    static constexpr const char* kWithValue[] = {
        "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
        "qwindowtitle", "session", "style", "stylesheet", "qmljsdebugger",
        // the X11 platform's
        "display", "geometry", "icon", "name", "title", "visual"};
    static constexpr const char* kSwitches[] = {"reverse", "testability", "widgetcount", "qdebug", "qdevel",
                                                "dograb", "nograb"};
    static constexpr const char* kWithEquals[] = {"style=", "stylesheet=", "qmljsdebugger="};
    const QByteArrayView name = arg.sliced(arg.startsWith("--") ? 2 : 1);
    for (const char* o : kWithValue)
        if (name == o) return 2;
    for (const char* o : kSwitches)
        if (name == o) return 1;
    for (const char* o : kWithEquals)
        if (name.startsWith(o)) return 1;
    return 0;
}

// Made absolute and cleaned of "." and ".." byte for byte: Latin-1 text holds any byte, and
// cleaning only looks at '/' and '.'.
QByteArray absoluteName(const QByteArray& name, const QByteArray& folder) {
    if (!name.startsWith('/') && folder.isEmpty()) return name;
    const QByteArray joined = name.startsWith('/') ? name : folder + '/' + name;
    return QDir::cleanPath(QString::fromLatin1(joined)).toLatin1();
}

} // namespace

Request parse(int argc, const char* const* argv, const QByteArray& folder) {
    Request r;
    r.optionsEnd = argc;
    QString unknown;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        const bool option = i < r.optionsEnd && arg.startsWith('-');
        if (option && arg == "--") {
            r.optionsEnd = i;
        } else if (option && arg == "--new-instance") {
            r.newInstance = true;
        } else if (option && (arg == "--help" || arg == "-h")) {
            if (r.action == Request::Action::Run) r.action = Request::Action::Help;
        } else if (option && (arg == "--version" || arg == "-v")) {
            if (r.action == Request::Action::Run) r.action = Request::Action::Version;
        } else if (option) {
            const int taken = qtOption(arg);
            if (taken > 0) i += taken - 1;
            else if (unknown.isNull()) unknown = tp::shownName(arg);
        } else if (!arg.isEmpty()) {
            r.files << absoluteName(arg, folder);
        }
    }
    if (r.action == Request::Action::Run && !unknown.isNull()) {
        r.action = Request::Action::Error;
        r.error = QStringLiteral("unknown option '%1'").arg(unknown);
    }
    return r;
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
