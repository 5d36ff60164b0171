// One file, changed step by step behind the program's back: written to, renamed over (as programs
// that save atomically do), deleted and made again. Each step is told apart from the identity
// recorded before it, and the watcher reports each, also after the file it watched was replaced.
#include "io/DiskWatch.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

class DiskWatchTest : public QObject {
    Q_OBJECT
private slots:
    void followsEveryKindOfChange() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("page.html")), fresh = path + QStringLiteral(".new");
        const auto write = [](const QString& name, const char* bytes) {
            QFile f(name);
            return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) > 0;
        };
        const auto replace = [&](const char* bytes) { return write(fresh, bytes) && std::rename(qPrintable(fresh), qPrintable(path)) == 0; };
        QVERIFY(write(path, "one"));
        io::DiskWatcher watcher;
        watcher.watch(path);
        QSignalSpy spy(&watcher, &io::DiskWatcher::changed);
        using C = io::DiskChange;
        const struct { const char* what; std::function<bool()> act; C expected; } steps[] = {
            {"written to", [&] { return write(path, "two, longer"); }, C::Modified},
            {"written to, keeping the size", [&] { return write(path, "two, LONGER"); }, C::Modified},
            {"renamed over", [&] { return replace("three"); }, C::Replaced},
            {"written after the rename", [&] { return write(path, "four, longer"); }, C::Modified},
            {"renamed over again", [&] { return replace("five"); }, C::Replaced},
            {"deleted", [&] { return QFile::remove(path); }, C::Deleted},
            {"made again", [&] { return write(path, "six"); }, C::Replaced},
            {"written once more", [&] { return write(path, "seven, longer"); }, C::Modified},
        };
        for (const auto& step : steps) {
            const io::FileIdentity before = io::FileIdentity::of(path);
            spy.clear();
            QVERIFY2(step.act(), step.what);
            QVERIFY2(spy.wait(3000) && spy.first().first().toString() == path, step.what);
            QVERIFY2(io::diskChange(before, io::FileIdentity::of(path)) == step.expected, step.what);
        }
        // Once nobody follows the file, nothing more is reported.
        watcher.unwatch(path);
        spy.clear();
        QVERIFY(write(path, "eight, the longest"));
        QVERIFY(!spy.wait(300));
    }
};

QTEST_GUILESS_MAIN(DiskWatchTest)
#include "DiskWatch_test.moc"
