// The real program, launched several times on the offscreen platform: a launch with files hands
// them to the frame already running and exits; --new-instance and a launch without files start a
// frame of their own; the socket of a killed frame is taken over. What a frame opened shows in
// the list of recent files it keeps in the (scratch) configuration folder.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>
#include <vector>

class InstanceTest : public QObject {
    Q_OBJECT
    QTemporaryDir scratch_;
    QString program_;
    QProcessEnvironment env_;
    std::vector<std::unique_ptr<QProcess>> running_;

    QString path(const QString& name) const { return scratch_.filePath(name); }
    QString socket() const { return path(QStringLiteral("runtime/tesselpad-offscreen-")); }

    QProcess* launch(const QStringList& args, const QProcessEnvironment& env) {
        running_.push_back(std::make_unique<QProcess>());
        QProcess* p = running_.back().get();
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(path(QStringLiteral("work")));
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start(program_, args);
        return p;
    }
    QProcess* launch(const QStringList& args) { return launch(args, env_); }

    QStringList recent() const {
        QFile f(path(QStringLiteral("config/Tesselpad/recent-files")));
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    // True once the frames have opened 'file' (it heads the list of recent files).
    bool opened(const QString& file) {
        return QTest::qWaitFor([&] { return recent().value(0) == file; }, 15000);
    }
    QString makeFile(const QString& name) {
        QFile f(path(QStringLiteral("work/") + name));
        f.open(QIODevice::WriteOnly);
        f.write("<p>" + name.toUtf8() + "</p>");
        return f.fileName();
    }
    // A frame that serves the channel, started without files.
    QProcess* firstFrame() {
        QProcess* first = launch({});
        return QTest::qWaitFor([&] { return QFileInfo::exists(socket()); }, 15000) ? first : nullptr;
    }

private slots:
    void initTestCase() {
        program_ = QDir(qEnvironmentVariable("TESSELPAD_BINARY_DIR")).filePath(QStringLiteral("tesselpad"));
        QVERIFY2(QFileInfo(program_).isExecutable(), "the program is not built (run the test through CTest)");
        for (const char* dir : {"runtime", "config", "work"}) QVERIFY(QDir(scratch_.path()).mkdir(QLatin1String(dir)));
        QVERIFY(QFile::setPermissions(path(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(QStringLiteral("runtime")));
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
    }

    void cleanup() {
        for (auto& p : running_) {
            p->kill();
            p->waitForFinished(5000);
        }
        running_.clear();
        QFile::remove(socket());
    }

    void helpAndVersionNeedNoDisplay() {
        QProcessEnvironment bare = env_;
        bare.remove(QStringLiteral("QT_QPA_PLATFORM"));
        bare.remove(QStringLiteral("DISPLAY"));
        bare.remove(QStringLiteral("WAYLAND_DISPLAY"));
        for (const QString& option : {QStringLiteral("--help"), QStringLiteral("--version")}) {
            QProcess* p = launch({QStringLiteral("page.html"), option}, bare);
            QVERIFY(p->waitForFinished(15000));
            QCOMPARE(p->exitCode(), 0);
            const QString out = QString::fromLocal8Bit(p->readAll());
            QVERIFY2(out.startsWith(option == QLatin1String("--help") ? QLatin1String("Usage: tesselpad")
                                                                      : QLatin1String("Tesselpad ")),
                     qPrintable(out));
        }
        QProcess* wrong = launch({QStringLiteral("--frobnicate")});
        QVERIFY(wrong->waitForFinished(15000));
        QCOMPARE(wrong->exitCode(), 2);
        QVERIFY(!QFileInfo::exists(socket()));
    }

    void secondLaunchHandsItsFilesOver() {
        QProcess* first = firstFrame();
        QVERIFY(first);
        const QString one = makeFile(QStringLiteral("one page.html")), two = makeFile(QStringLiteral("two.css"));
        // A relative name is taken against the launch's own folder.
        QProcess* second = launch({QStringLiteral("one page.html"), two});
        QVERIFY(second->waitForFinished(15000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QVERIFY(opened(two));
        QCOMPARE(recent().mid(0, 2), QStringList({two, one}));   // opened in the order given
        QCOMPARE(first->state(), QProcess::Running);
        QCOMPARE(QFileInfo(socket()).permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
                 QFile::Permissions());

        // --new-instance opens its file in a frame of its own, which keeps running; so does a
        // launch without files.
        const QString three = makeFile(QStringLiteral("three.txt"));
        QProcess* own = launch({QStringLiteral("--new-instance"), three});
        QVERIFY(opened(three));
        QProcess* empty = launch({});
        QVERIFY(!own->waitForFinished(1000) && !empty->waitForFinished(10));
        QCOMPARE(own->state(), QProcess::Running);
        QCOMPARE(empty->state(), QProcess::Running);
    }

    void socketOfAKilledFrameIsTakenOver() {
        QProcess* first = firstFrame();
        QVERIFY(first);
        first->kill();
        QVERIFY(first->waitForFinished(5000));
        QVERIFY(QFileInfo::exists(socket()));   // left behind

        const QString four = makeFile(QStringLiteral("four.htm"));
        QProcess* next = launch({four});
        QVERIFY(opened(four));
        QCOMPARE(next->state(), QProcess::Running);
        // The new frame serves the channel now.
        const QString five = makeFile(QStringLiteral("five.php"));
        QProcess* later = launch({five});
        QVERIFY(later->waitForFinished(15000));
        QCOMPARE(later->exitCode(), 0);
        QVERIFY(opened(five));
    }
};

QTEST_GUILESS_MAIN(InstanceTest)
#include "Instance_test.moc"
