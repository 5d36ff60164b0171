// The real program, launched several times on the offscreen platform (the packaging test runs its
// --help and --version without a display): a launch with files hands
// them to the frame already running and exits; --new-instance and a launch without files start a
// frame of their own; the socket of a killed frame is taken over; too much is refused. What a
// frame opened shows in the list of recent files it keeps in the (scratch) configuration folder.
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <sys/stat.h>
#include <vector>

class InstanceTest : public QObject {
    Q_OBJECT
    QTemporaryDir scratch_;
    QProcessEnvironment env_ = QProcessEnvironment::systemEnvironment();
    std::vector<std::unique_ptr<QProcess>> running_;

    QString path(const QString& name) const { return scratch_.filePath(name); }
    QString socket() const { return path(QStringLiteral("runtime/tesselpad-offscreen-")); }

    QProcess* launch(const QStringList& args) {
        QProcess* p = running_.emplace_back(std::make_unique<QProcess>()).get();
        p->setProcessEnvironment(env_);
        p->setWorkingDirectory(path(QStringLiteral("work")));
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start(QDir(qEnvironmentVariable("TESSELPAD_BINARY_DIR")).filePath(QStringLiteral("tesselpad")), args);
        return p;
    }
    // Runs to the end; the exit code, or -1.
    int finished(QProcess* p) { return p->waitForFinished(15000) && p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1; }
    // True once the frames have opened these files, the last one first (they head the list of
    // recent files).
    bool opened(const QStringList& files) {
        return QTest::qWaitFor([&] {
            QFile list(path(QStringLiteral("config/Tesselpad/recent-files")));
            return list.open(QIODevice::ReadOnly) && QString::fromUtf8(list.readAll()).split(QLatin1Char('\n')).mid(0, files.size()) == files;
        }, 15000);
    }
    QString makeFile(const QString& name) {
        QFile f(path(QStringLiteral("work/") + name));
        f.open(QIODevice::WriteOnly);
        f.write("<p>text</p>");
        return f.fileName();
    }
    // A frame that serves the channel, started without files.
    QProcess* firstFrame() {
        QProcess* first = launch({});
        return QTest::qWaitFor([&] { return QFile::exists(socket()); }, 15000) ? first : nullptr;
    }

private slots:
    void initTestCase() {
        for (const char* dir : {"runtime", "config", "work"}) QVERIFY(QDir(scratch_.path()).mkdir(QLatin1String(dir)));
        QVERIFY(QFile::setPermissions(path(QStringLiteral("runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(QStringLiteral("runtime")));
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
    }
    void cleanup() {
        for (auto& p : running_) p->kill(), p->waitForFinished(5000);
        running_.clear();
        QFile::remove(socket());
    }

    void secondLaunchHandsItsFilesOver() {
        QProcess* first = firstFrame();
        QVERIFY(first);
        QCOMPARE(QFile::permissions(socket()) & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther), QFile::Permissions());
        // In order; a relative name is taken against the launch's own folder.
        const QString one = makeFile(QStringLiteral("one page.html")), two = makeFile(QStringLiteral("two.css"));
        QCOMPARE(finished(launch({QStringLiteral("one page.html"), two})), 0);
        QVERIFY(opened({two, one}));
        QCOMPARE(first->state(), QProcess::Running);

        // --new-instance opens its file in a frame of its own; so does a launch without files.
        QProcess* own = launch({QStringLiteral("--new-instance"), makeFile(QStringLiteral("three.txt"))});
        QVERIFY(opened({path(QStringLiteral("work/three.txt"))}));
        QProcess* empty = launch({});
        QVERIFY(!own->waitForFinished(1000) && !empty->waitForFinished(10));
    }

    // Too many files for one launch are refused by the launch; a frame refuses too long a message
    // at once, taking nothing.
    void handOversStaySmall() {
        QVERIFY(firstFrame());
        QCOMPARE(finished(launch(QStringList(10001, QStringLiteral("f")))), 2);
        const QByteArray head("TESSELPAD 1\0", 12);
        for (const QByteArray& message :
             {head + QByteArray(2 << 20, 'x'), head + QByteArray("/f\0", 3).repeated(10001) + '\0'}) {
            QLocalSocket s;
            s.connectToServer(socket());
            QVERIFY(s.waitForConnected(5000));
            s.write(message);
            QVERIFY(s.waitForDisconnected(5000));   // not after the 30 s a silent launch is given
            QVERIFY(s.readAll().isEmpty());
        }
    }

    void socketOfAKilledFrameIsTakenOver() {
        QProcess* first = firstFrame();
        QVERIFY(first);
        first->kill();
        QVERIFY(first->waitForFinished(5000) && QFile::exists(socket()));   // left behind
        QProcess* next = launch({makeFile(QStringLiteral("four.htm"))});
        QVERIFY(opened({path(QStringLiteral("work/four.htm"))}));
        QCOMPARE(next->state(), QProcess::Running);
        // The new frame serves the channel now.
        QCOMPARE(finished(launch({makeFile(QStringLiteral("five.php"))})), 0);
        QVERIFY(opened({path(QStringLiteral("work/five.php"))}));
    }

    // Pipes under the names of the preferences, of the recent list's temporary file and of the
    // launch lock hold up neither the start nor the first open.
    void pipesAmongTheProgramsOwnFilesAreNotWaitedOn() {
        const QStringList pipes{path(QStringLiteral("config/Tesselpad/editor.conf")),
                                path(QStringLiteral("config/Tesselpad/recent-files.new")),
                                socket() + QStringLiteral(".lock")};
        QVERIFY(QDir().mkpath(path(QStringLiteral("config/Tesselpad"))));
        for (const QString& pipe : pipes) {
            QFile::remove(pipe);   // the lock the launches before left
            QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        }
        launch({makeFile(QStringLiteral("six.htm"))});
        QVERIFY(opened({path(QStringLiteral("work/six.htm"))}));
        QVERIFY(QFile::remove(pipes[0]));
    }
};

QTEST_GUILESS_MAIN(InstanceTest)
#include "Instance_test.moc"
