#pragma once
// The command line: tesselpad [--new-instance] [--] [FILE...], --help, --version, and the options
// of the Qt toolkit.
#include <QByteArray>
#include <QList>
#include <QString>

namespace cmdline {

struct Request {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    bool newInstance = false;   // --new-instance: a frame of its own, nothing handed over
    QList<QByteArray> files;    // absolute names as the system spells them (bytes), in the order given
    QString error;              // for Action::Error: what was wrong
    // The arguments before the "--" that ends the options (all of them when there is none): Qt
    // looks for its own options among these only, so a file named "-reverse" after it stays a file.
    int optionsEnd = 0;
};

// Reads the whole command line before the application object exists: that needs a display, and
// "tesselpad --help" or a wrong option must be answered without one. Qt's own options ("-style
// fusion", "--platform xcb") are passed over with their values, for the application object to
// take. File names are kept as the bytes given, made absolute against 'folder' (the current
// folder, as bytes; a name stays relative when it is empty) without following links. --help and
// --version win over a wrong option; the first of them wins.
Request parse(int argc, const char* const* argv, const QByteArray& folder);

// What --help prints.
QString usage();

} // namespace cmdline
