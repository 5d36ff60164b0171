// The command line: options, file names made absolute in order, "--", and the options that print
// and exit before any window.
#include "app/CommandLine.h"

#include <QTest>

using cmdline::Request;
using A = Request::Action;

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void parse() {
        const struct {
            QStringList args;
            A action;
            bool newInstance;
            QStringList files;   // relative to /w/here
        } cases[] = {
            {{}, A::Run, false, {}},
            {{"b.html", "/x/a.css", "../up/c.txt", "./d e.php", ""}, A::Run, false, {"b.html", "/x/a.css", "/w/up/c.txt", "d e.php"}},
            {{"--new-instance", "a"}, A::Run, true, {"a"}},
            {{"--", "-v", "--new-instance"}, A::Run, false, {"-v", "--new-instance"}},
            {{"a", "--help"}, A::Help, false, {"a"}},
            {{"--version", "-h"}, A::Version, false, {}},
            {{"a", "--frobnicate"}, A::Error, false, {"a"}},
            {{"-"}, A::Error, false, {}},
        };
        for (const auto& c : cases) {
            const Request r = cmdline::parse(c.args, QStringLiteral("/w/here"));
            QStringList files;
            for (const QString& f : c.files) files << (f.startsWith('/') ? f : QStringLiteral("/w/here/") + f);
            QVERIFY2(r.action == c.action && r.newInstance == c.newInstance && r.files == files &&
                         r.error.isEmpty() == (c.action != A::Error),
                     qPrintable(c.args.join(' ')));
        }
        // Before the application object: --help and --version count up to "--" only.
        const auto early = [](std::vector<const char*> argv) { return cmdline::earlyAction(int(argv.size()), argv.data()); };
        QCOMPARE(early({"tesselpad", "x.html", "--help"}), A::Help);
        QCOMPARE(early({"tesselpad", "--version"}), A::Version);
        QCOMPARE(early({"tesselpad", "--", "--help"}), A::Run);
        QCOMPARE(early({"tesselpad", "--unknown"}), A::Run);
    }
};

QTEST_APPLESS_MAIN(CommandLineTest)
#include "CommandLine_test.moc"
