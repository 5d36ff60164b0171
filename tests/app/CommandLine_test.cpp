// The command line: options, file names made absolute in order, "--", and the options that print
// and exit before any window.
#include "app/CommandLine.h"

#include <QTest>

using cmdline::Request;
Q_DECLARE_METATYPE(Request::Action)

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    void parse_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<Request::Action>("action");
        QTest::addColumn<bool>("newInstance");
        QTest::addColumn<QStringList>("files");
        using A = Request::Action;
        const QStringList none;
        QTest::newRow("nothing") << none << A::Run << false << none;
        QTest::newRow("files in order, made absolute")
            << QStringList{"b.html", "/x/a.css", "../up/c.txt", "./d e.php"} << A::Run << false
            << QStringList{"/work/here/b.html", "/x/a.css", "/work/up/c.txt", "/work/here/d e.php"};
        QTest::newRow("new instance") << QStringList{"--new-instance", "a"} << A::Run << true << QStringList{"/work/here/a"};
        QTest::newRow("dash names after --") << QStringList{"--", "-v", "--new-instance"} << A::Run << false
                                             << QStringList{"/work/here/-v", "/work/here/--new-instance"};
        QTest::newRow("help") << QStringList{"a", "--help"} << A::Help << false << QStringList{"/work/here/a"};
        QTest::newRow("version") << QStringList{"-v"} << A::Version << false << none;
        QTest::newRow("first of help and version") << QStringList{"--version", "-h"} << A::Version << false << none;
        QTest::newRow("unknown option") << QStringList{"a", "--frobnicate"} << A::Error << false << QStringList{"/work/here/a"};
        QTest::newRow("lone dash") << QStringList{"-"} << A::Error << false << none;
        QTest::newRow("empty argument") << QStringList{""} << A::Run << false << none;
    }
    void parse() {
        QFETCH(QStringList, args);
        const Request r = cmdline::parse(args, QStringLiteral("/work/here"));
        QTEST(r.action, "action");
        QTEST(r.newInstance, "newInstance");
        QTEST(r.files, "files");
        QCOMPARE(r.error.isEmpty(), r.action != Request::Action::Error);
    }

    void earlyActionStopsAtDoubleDash() {
        const auto early = [](std::initializer_list<const char*> args) {
            std::vector<const char*> argv{"tesselpad"};
            argv.insert(argv.end(), args);
            return cmdline::earlyAction(int(argv.size()), argv.data());
        };
        QCOMPARE(early({"x.html", "--help"}), Request::Action::Help);
        QCOMPARE(early({"--version"}), Request::Action::Version);
        QCOMPARE(early({"--", "--help"}), Request::Action::Run);
        QCOMPARE(early({"--unknown"}), Request::Action::Run);
    }
};

QTEST_APPLESS_MAIN(CommandLineTest)
#include "CommandLine_test.moc"
