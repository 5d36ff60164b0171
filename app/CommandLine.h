#pragma once
// The command line: tesselpad [--new-instance] [--] [FILE...], --help, --version.
#include <QString>
#include <QStringList>

namespace cmdline {

struct Request {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    bool newInstance = false;   // --new-instance: a frame of its own, nothing handed over
    QStringList files;          // absolute paths, in the order given
    QString error;              // for Action::Error: what was wrong
};

// Reads the arguments after the program's name, once Qt has taken its own options out. File names
// are made absolute against 'folder' (the current folder), without following links; "--" makes
// every later argument a file name.
Request parse(const QStringList& args, const QString& folder);

// --help or --version anywhere before "--", found before the application object exists (it needs
// a display, and "tesselpad --help" must work without one). Action::Run when neither is there.
Request::Action earlyAction(int argc, const char* const* argv);

// What --help prints.
QString usage();

} // namespace cmdline
