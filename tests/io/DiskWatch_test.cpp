// Files changed behind a window's back: written to, renamed over (as programs that save
// atomically do), deleted and made again. Each is told apart from the recorded identity, and the
// watcher reports each, also after the file it watched was replaced.
#include "io/DiskWatch.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}
void replaceFile(const QString& path, const QByteArray& bytes) {
    writeFile(path + QStringLiteral(".tmp"), bytes);
    QVERIFY(::rename(QFile::encodeName(path + QStringLiteral(".tmp")).constData(), QFile::encodeName(path).constData()) == 0);
}
} // namespace

Q_DECLARE_METATYPE(io::DiskChange)

class DiskWatchTest : public QObject {
    Q_OBJECT
private slots:
    // One file, changed step after step; each step is classified against the identity recorded
    // before it and reported by the watcher.
    void followsEveryKindOfChange() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("page.html"));
        writeFile(path, "one");
        io::DiskWatcher watcher;
        watcher.watch(path);
        QSignalSpy spy(&watcher, &io::DiskWatcher::changed);

        struct Step {
            const char* what;
            std::function<void()> act;
            io::DiskChange expected;
        };
        const std::vector<Step> steps = {
            {"written to", [&] { writeFile(path, "two, longer"); }, io::DiskChange::Modified},
            {"renamed over", [&] { replaceFile(path, "three"); }, io::DiskChange::Replaced},
            {"written after the rename", [&] { writeFile(path, "four, longer"); }, io::DiskChange::Modified},
            {"renamed over again", [&] { replaceFile(path, "five"); }, io::DiskChange::Replaced},
            {"deleted", [&] { QVERIFY(QFile::remove(path)); }, io::DiskChange::Deleted},
            {"made again", [&] { writeFile(path, "six"); }, io::DiskChange::Replaced},
            {"written once more", [&] { writeFile(path, "seven, longer"); }, io::DiskChange::Modified},
        };
        for (const Step& step : steps) {
            const io::FileIdentity before = io::FileIdentity::of(path);
            QCOMPARE(io::diskChange(before, before), io::DiskChange::None);
            spy.clear();
            step.act();
            QVERIFY2(spy.wait(3000) || !spy.isEmpty(), step.what);
            QCOMPARE(spy.first().first().toString(), path);
            QVERIFY2(io::diskChange(before, io::FileIdentity::of(path)) == step.expected, step.what);
        }

        // Once nobody follows the file, nothing more is reported.
        watcher.unwatch(path);
        spy.clear();
        writeFile(path, "eight, the longest");
        QVERIFY(!spy.wait(300));
    }
};

QTEST_GUILESS_MAIN(DiskWatchTest)
#include "DiskWatch_test.moc"
