// The command line, read before the application object: options, file names made absolute in
// order and kept as their bytes, Qt's own options passed over, "--".
#include "app/CommandLine.h"

#include <QTest>

using cmdline::Request;
using A = Request::Action;

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void parse() {
        const struct {
            std::vector<const char*> args;
            A action;
            bool newInstance;
            QList<QByteArray> files;   // relative to /w/here
            int optionsEnd;            // of the arguments after the program's name
        } cases[] = {
            {{}, A::Run, false, {}, 0},
            {{"b.html", "/x/a.css", "../up/c.txt", "./d e.php", "", "n\xff\xfe.htm"}, A::Run, false,
             {"b.html", "/x/a.css", "/w/up/c.txt", "d e.php", "n\xff\xfe.htm"}, 6},
            {{"--new-instance", "a"}, A::Run, true, {"a"}, 2},
            {{"--", "-v", "--new-instance"}, A::Run, false, {"-v", "--new-instance"}, 0},
            {{"a", "--help"}, A::Help, false, {"a"}, 2},
            {{"--version", "-h"}, A::Version, false, {}, 2},
            {{"--frobnicate", "--help"}, A::Help, false, {}, 2},
            {{"a", "--frobnicate"}, A::Error, false, {"a"}, 2},
            {{"-"}, A::Error, false, {}, 1},
            // Qt's own, with their values; after "--" they are files, kept from Qt.
            {{"-style", "fusion", "--platform", "xcb", "-reverse", "-stylesheet=s.qss", "a", "--", "-reverse"}, A::Run,
             false, {"a", "-reverse"}, 7},
        };
        for (const auto& c : cases) {
            std::vector<const char*> argv{"tesselpad"};
            argv.insert(argv.end(), c.args.begin(), c.args.end());
            const Request r = cmdline::parse(int(argv.size()), argv.data(), "/w/here");
            QList<QByteArray> files;
            for (const QByteArray& f : c.files) files << (f.startsWith('/') ? f : "/w/here/" + f);
            QVERIFY2(r.action == c.action && r.newInstance == c.newInstance && r.files == files &&
                         r.error.isEmpty() == (c.action != A::Error) && r.optionsEnd == c.optionsEnd + 1,
                     c.args.empty() ? "" : c.args.front());
        }
        QCOMPARE(cmdline::parse(2, std::vector<const char*>{"tesselpad", "-\xff"}.data(), "/").error,
                 QStringLiteral("unknown option '-\\xFF'"));
    }
};

QTEST_APPLESS_MAIN(CommandLineTest)
#include "CommandLine_test.moc"
