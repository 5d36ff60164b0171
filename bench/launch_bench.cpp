// Desktop figures. Launches of the real program on the offscreen platform: handing a file to the
// frame that already runs, and starting a frame of its own, against a launch that only prints its
// version (the cost of starting the process and loading its libraries). And what every open and
// save adds to follow the file on disk and keep the recent files, against opening 1 MB.
#include "bench/Bench.h"

#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "io/DiskWatch.h"
#include "io/RecentFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

namespace {

struct Launcher {
    QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/../tesselpad");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString socket;

    explicit Launcher(const QString& work) {
        const QString runtime = work + QStringLiteral("/runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), work + QStringLiteral("/config"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), work + QStringLiteral("/data"));
        socket = runtime + QStringLiteral("/tesselpad-offscreen-");
    }
    void start(QProcess& p, const QStringList& args) const {
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(program, args);
    }
    // Runs the program to its end.
    void run(const QStringList& args) const {
        QProcess p;
        start(p, args);
        p.waitForFinished(30000);
    }
};

void bookkeeping(const bench::Options& options) {
    MDIForm1 frame;
    frame.MDIForm_Load();
    const QString path = options.workDir + QStringLiteral("/one.htm");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bench::makeDocument(1 << 20));
    f.close();
    Form1* form = nullptr;
    const double open = bench::seconds([&] {
        if (form) form->closeWithoutAsking();
        QCoreApplication::processEvents();
        form = documents::openDocument(frame, path);
    }, 5);
    io::DiskWatcher watcher;
    int n = 0;
    const double ours = bench::seconds([&] {
        const QString name = options.workDir + QStringLiteral("/recent%1.htm").arg(n++ % 10);
        volatile bool exists = io::FileIdentity::of(path).exists;
        (void)exists;
        watcher.watch(path);
        watcher.unwatch(path);
        io::rememberFile(name);
    }, 20);
    bench::report(QStringLiteral("per open or save: identity, watch, recent list"), ours, QStringLiteral("open 1 MB through Open"), open);
}

const bench::Register reg("desktop", [](const bench::Options& options) {
    bookkeeping(options);
    const Launcher launcher(options.workDir);
    if (!QFileInfo(launcher.program).isExecutable()) {
        bench::note(QStringLiteral("launch"), QStringLiteral("skipped: %1 is not built").arg(launcher.program));
        return;
    }
    const double version = bench::seconds([&] { launcher.run({QStringLiteral("--version")}); }, 5);

    QProcess frame;
    const double start = bench::seconds([&] {
        launcher.start(frame, {});
        for (int i = 0; i < 30000 && !QFileInfo::exists(launcher.socket); ++i) QThread::msleep(1);
    });
    bench::report(QStringLiteral("start a frame (until it takes hand-overs)"), start, QStringLiteral("tesselpad --version"), version);

    const QString file = options.workDir + QStringLiteral("/page.html");
    QFile f(file);
    f.open(QIODevice::WriteOnly);
    f.write(bench::makeDocument(64 * 1024));
    f.close();
    const double handOver = bench::seconds([&] { launcher.run({file}); }, 5);
    bench::report(QStringLiteral("hand a file to the running frame"), handOver, QStringLiteral("tesselpad --version"), version);
    frame.kill();
    frame.waitForFinished(5000);
});

} // namespace
