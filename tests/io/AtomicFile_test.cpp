#include "io/AtomicFile.h"
#include "io/ContentHash.h"
#include "io/SavedCopy.h"
#include "support/TestFrame.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <QRegularExpression>
#include <QTemporaryDir>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {
QByteArray local(const QString& path) { return QFile::encodeName(path); }

struct stat statOf(const QString& path) {
    struct stat st {};
    ::stat(local(path).constData(), &st);
    return st;
}

// The steps of one save, one letter each.
QString traced(io::WriteStep step) { return QString(QLatin1Char("WSFRAMCTU"[int(step)])); }
} // namespace

class AtomicFileTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir state_;   // the user's state folder, where the copies kept while rewriting go

    static QStringList leftovers(const QString& dir) {
        return QDir(dir).entryList({QStringLiteral(".tesselpad-save-*")}, QDir::Files | QDir::Hidden);
    }
    QStringList copies() const { return QDir(state_.path() + QStringLiteral("/tesselpad/saves")).entryList(QDir::Files); }

    // A file with old content, and for the rewrite in place a second hard link to it.
    QString prepare(const ScratchDir& dir, bool inPlace) {
        const QString path = dir.file(QStringLiteral("page.htm"));
        QFile::remove(path);
        QFile::remove(dir.file(QStringLiteral("link.htm")));
        writeBytes(path, "old content");
        if (inPlace) ::link(local(path).constData(), local(dir.file(QStringLiteral("link.htm"))).constData());
        return path;
    }

private slots:
    void initTestCase() { qputenv("XDG_STATE_HOME", QFile::encodeName(state_.path())); }
    void cleanup() { io::setFaultInjector(nullptr); }

    // Every step of a save failing, once or from then on (a dying disk), leaves the old content
    // or the new, whole; a file rewritten in place whose old bytes cannot be put back has them
    // in the kept copy the message names. Nothing else is left behind.
    void everyStepFailing_data() {
        QTest::addColumn<bool>("inPlace");
        QTest::addColumn<bool>("named");      // the file system has no unnamed files
        QTest::addColumn<QString>("steps");   // the steps of a save, in order
        QTest::newRow("rename") << false << false << QStringLiteral("^UMW+SRF$");
        QTest::newRow("rename, named temporary file") << false << true << QStringLiteral("^UMW+SRF$");
        // A file with another hard link is rewritten in place (a rename would split the links).
        QTest::newRow("in place") << true << false << QStringLiteral("^C+SW+SRFAW+TS$");
    }
    void everyStepFailing() {
        QFETCH(bool, inPlace);
        QFETCH(bool, named);
        QFETCH(QString, steps);
        const auto noneUnnamed = [named](const io::WriteFault& f) {
            return named && f.step == io::WriteStep::Unnamed ? EOPNOTSUPP : 0;
        };
        ScratchDir dir;
        const QByteArray newBytes = QByteArray("new and longer content ").repeated(3);
        QString trace;
        QVERIFY(io::writeAtomically(prepare(dir, inPlace), QByteArray("x"), true).ok);   // makes the folders
        io::setFaultInjector([&](io::WriteFault& f) { return trace += traced(f.step), noneUnnamed(f); });
        const QString path = prepare(dir, inPlace);
        const ino_t inode = statOf(path).st_ino;
        QVERIFY(io::writeAtomically(path, newBytes, true).ok);
        QVERIFY2(QRegularExpression(steps).match(trace).hasMatch(), qPrintable(trace));
        QCOMPARE(statOf(path).st_ino == inode, inPlace);
        for (bool lasting : {false, true}) {
            for (int failing = 0; failing < trace.size(); ++failing) {
                const QString at = QStringLiteral("step %1 of %2%3").arg(failing).arg(trace, lasting ? " on" : "");
                prepare(dir, inPlace);
                int calls = 0;
                io::setFaultInjector([&](io::WriteFault& f) {
                    return calls++ == failing || (lasting && calls > failing) ? EIO : noneUnnamed(f);
                });
                const io::WriteResult r = io::writeAtomically(path, newBytes, true);
                io::setFaultInjector(nullptr);
                const QByteArray now = readBytes(path);
                const bool kept = r.reason.contains(QStringLiteral("content is kept in"));
                QVERIFY2(r.ok ? now == newBytes : (now == "old content" || kept), qPrintable(at + r.reason));
                QVERIFY2(leftovers(dir.path()).isEmpty(), qPrintable(at));
                if (inPlace) QCOMPARE(readBytes(dir.file(QStringLiteral("link.htm"))), now);
                // A copy stays only where the message names it, and then it holds the old content.
                QVERIFY2(copies().size() == (kept ? 2 : 0), qPrintable(at + r.reason + copies().join(' ')));
                if (kept) {
                    const QString copy = r.reason.section(QStringLiteral("kept in "), 1).chopped(1);
                    QCOMPARE(readBytes(copy), QByteArray("old content"));
                    // Beside it, what the file was to hold, recorded before it was touched.
                    io::Record record;
                    const QString stem = copy.chopped(4);
                    QVERIFY(io::parseRecord(local(stem), readBytes(stem + QStringLiteral(".path")), record));
                    io::ContentHash hash;
                    hash.add(newBytes.constData(), newBytes.size());
                    QVERIFY(record.original == local(path) && record.hasNew && record.pid == ::getpid());
                    QVERIFY(record.next.size == newBytes.size() && record.next.hash == hash.value());
                    for (const QString& c : copies()) QFile::remove(state_.path() + QStringLiteral("/tesselpad/saves/") + c);
                }
            }
        }
    }

    // The checksum recorded beside a copy is XXH64, however the bytes come in.
    void contentHashIsXxh64() {
        const QByteArray bytes = QByteArray("0123456789abcdef").repeated(5);   // two stripes and a tail
        for (int split : {0, 1, 33, 79}) {
            io::ContentHash hash;
            hash.add(bytes.constData(), split);
            hash.add(bytes.constData() + split, bytes.size() - split);
            QCOMPARE(hash.value(), 0x0d4cc7d5057880dfULL);
        }
        QCOMPARE(io::ContentHash().value(), 0xef46db3751d8e999ULL);
    }

    // A disk that takes fewer bytes per write than asked: the rest follows, on both ways.
    void shortWritesAreContinued() {
        ScratchDir dir;
        const QByteArray newBytes = QByteArray("0123456789").repeated(50);
        for (bool inPlace : {false, true}) {
            const QString path = prepare(dir, inPlace);
            io::setFaultInjector([](io::WriteFault& f) { return f.length = std::min<qint64>(f.length, 7), 0; });
            QVERIFY(io::writeAtomically(path, newBytes, true).ok);
            QCOMPARE(readBytes(path), newBytes);
        }
    }

    // A claim of room that fails after the file system grew the file: the file keeps its length.
    void failedClaimLeavesTheFileAsItWas() {
        ScratchDir dir;
        const QString path = prepare(dir, true);
        io::setFaultInjector([](io::WriteFault& f) {
            if (f.step != io::WriteStep::Allocate) return 0;
            return ::ftruncate(f.fd, 3 << 20), ENOSPC;
        });
        const io::WriteResult r = io::writeAtomically(path, QByteArray(4 << 20, 'n'), true);
        QVERIFY(!r.ok);
        QCOMPARE(readBytes(path), QByteArray("old content"));
        QVERIFY(copies().isEmpty());
    }

    // The rename refused (a sticky folder, a file mounted on its name), a folder of a path too
    // long for the temporary file's full name, a copy that cannot be kept, a failed chmod.
    void savesThatNeedAnotherWay_data() {
        QTest::addColumn<int>("renameError");
        QTest::addColumn<int>("chmodError");
        QTest::addColumn<bool>("longPath");
        QTest::addColumn<bool>("noStateFolder");
        QTest::addColumn<QString>("failure");   // empty: saved
        QTest::newRow("rename EPERM") << EPERM << 0 << false << false << QString();
        QTest::newRow("rename EBUSY") << EBUSY << 0 << false << false << QString();
        QTest::newRow("rename EXDEV") << EXDEV << 0 << false << false << QString();
        QTest::newRow("4093-byte path") << 0 << 0 << true << false << QString();
        QTest::newRow("no copy") << EBUSY << 0 << false << true << QStringLiteral("No copy of its old content could be kept in");
        QTest::newRow("chmod fails") << 0 << EPERM << false << false << QStringLiteral("could not be given the permissions");
    }
    void savesThatNeedAnotherWay() {
        QFETCH(int, renameError);
        QFETCH(int, chmodError);
        QFETCH(bool, longPath);
        QFETCH(bool, noStateFolder);
        QFETCH(QString, failure);
        ScratchDir dir;
        QString path = dir.file(QStringLiteral("page.htm"));
        if (longPath) {
            QString folder = dir.path();
            while (folder.size() < 4093 - 300) folder += QLatin1Char('/') + QString(200, QLatin1Char('d'));
            QVERIFY(QDir().mkpath(folder));
            path = folder + QLatin1Char('/') + QString(4092 - folder.size(), QLatin1Char('f'));
            QCOMPARE(local(path).size(), 4093);
        }
        writeBytes(path, "old content");
        ::chmod(local(path).constData(), 0640);
        const ino_t inode = statOf(path).st_ino;
        if (noStateFolder) qputenv("XDG_STATE_HOME", local(path));   // a file, not a folder
        bool renamed = false;
        io::setFaultInjector([&](io::WriteFault& f) {
            if (f.step == io::WriteStep::Chmod) return chmodError;
            return f.step == io::WriteStep::Rename && !renamed ? renamed = true, renameError : 0;
        });
        const io::WriteResult r = io::writeAtomically(path, QByteArray("new"), true);
        qputenv("XDG_STATE_HOME", QFile::encodeName(state_.path()));
        QVERIFY2(r.ok == failure.isEmpty() && r.reason.contains(failure), qPrintable(r.reason));
        QCOMPARE(readBytes(path), QByteArray(r.ok ? "new" : "old content"));
        QCOMPARE(int(statOf(path).st_mode & 07777), 0640);
        QCOMPARE(statOf(path).st_ino == inode, renameError != 0 || !r.ok);   // refused renames: rewritten in place
        QVERIFY(leftovers(QFileInfo(path).path()).isEmpty());
        QVERIFY(copies().isEmpty());
    }

    // What a file is besides its bytes: a read-only mode (also for root), hard links, its
    // extended attributes and access control list.
    void keepsWhatTheFileIs() {
        ScratchDir dir;
        const QString path = prepare(dir, true);
        ::chmod(local(path).constData(), 0444);
        const io::WriteResult readOnly = io::writeAtomically(path, QByteArray("new"), true);
        QVERIFY(!readOnly.ok && readOnly.reason.contains(QStringLiteral("read-only")));
        ::chmod(local(path).constData(), 0664);
        QVERIFY(io::writeAtomically(path, QByteArray("new"), true).ok);
        QCOMPARE(readBytes(dir.file(QStringLiteral("link.htm"))), QByteArray("new"));
        QCOMPARE(int(statOf(path).st_nlink), 2);

        QFile::remove(dir.file(QStringLiteral("link.htm")));
        const QByteArray acl = aclWithUser(12345);
        if (::setxattr(local(path).constData(), "user.origin", "site", 4, 0) != 0 ||
            ::setxattr(local(path).constData(), "system.posix_acl_access", acl.constData(), size_t(acl.size()), 0) != 0)
            QSKIP("no extended attributes or access control lists here");
        const ino_t inode = statOf(path).st_ino;
        QVERIFY(io::writeAtomically(path, QByteArray("newer"), true).ok);
        QVERIFY(statOf(path).st_ino != inode);   // replaced by a rename
        char value[256];
        QCOMPARE(::getxattr(local(path).constData(), "user.origin", value, sizeof value), ssize_t(4));
        const ssize_t n = ::getxattr(local(path).constData(), "system.posix_acl_access", value, sizeof value);
        QCOMPARE(QByteArray(value, int(std::max<ssize_t>(n, 0))), acl);
        QCOMPARE(int(statOf(path).st_mode & 07777), 0664);
    }

    // Temporary files of saves that were killed are removed by the next save in the folder; those
    // of saves still running, newer ones, ones without our mark and the user's own files are not.
    void staleTemporaryFilesAreRemoved() {
        ScratchDir dir;
        const QString path = prepare(dir, false);
        const QStringList names{".tesselpad-save-Stale1.tmp", ".tesselpad-save-Alive1.tmp", ".tesselpad-save-Newer1.tmp",
                                ".tesselpad-save-NoMrk1.tmp", ".tspd-notes1", ".tspd-other"};
        const timespec past[2] = {{1000000000, 0}, {1000000000, 0}};
        const timespec future[2] = {past[0], {std::time(nullptr) + 3600, 0}};
        for (const QString& name : names) {
            writeBytes(dir.file(name), "left");
            if (name.startsWith(QLatin1String(".tesselpad")) && !name.contains(QLatin1String("NoMrk")) &&
                ::setxattr(local(dir.file(name)).constData(), "user.tesselpad.temp", "1", 1, 0) != 0)
                QSKIP("no extended attributes here");
            const bool newer = name.contains(QLatin1String("Newer"));
            ::utimensat(AT_FDCWD, local(dir.file(name)).constData(), newer ? future : past, 0);
        }
        const int alive = ::open(local(dir.file(names[1])).constData(), O_RDONLY);
        ::flock(alive, LOCK_EX);
        QVERIFY(io::writeAtomically(path, QByteArray("new"), true).ok);
        ::close(alive);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), names.mid(1) << QStringLiteral("page.htm"));
        // The saved file keeps no mark.
        QCOMPARE(::getxattr(local(path).constData(), "user.tesselpad.temp", nullptr, 0), ssize_t(-1));
    }

    void replacesWholeAndKeepsPermissions() {
        ScratchDir dir;
        const QString path = dir.file(QStringLiteral("page.htm"));
        writeBytes(path, "old contents");
        ::chmod(QFile::encodeName(path).constData(), 0640);
        QVERIFY(io::writeAtomically(path, QByteArray("new"), true).ok);
        QCOMPARE(readBytes(path), QByteArray("new"));
        struct stat st {};
        ::stat(QFile::encodeName(path).constData(), &st);
        QCOMPARE(int(st.st_mode & 0777), 0640);
        QVERIFY(leftovers(dir.path()).isEmpty());
    }

    void failedWriteLeavesTheOldFileWhole() {
        ScratchDir dir;
        const QString path = dir.file(QStringLiteral("page.htm"));
        writeBytes(path, "precious");
        int calls = 0;
        io::setWriteFaultInjector([&](qint64) { return ++calls == 2 ? ENOSPC : 0; });
        // (Every other step fails in everyStepFailing.)
        const io::Producer twoPieces = [](const io::Sink& sink, QString&) {
            return sink("first", 5) && sink("second", 6);
        };
        const io::WriteResult r = io::writeAtomically(path, twoPieces, true);
        QVERIFY(!r.ok);
        QVERIFY(r.reason.contains(QStringLiteral("space"), Qt::CaseInsensitive));
        QCOMPARE(readBytes(path), QByteArray("precious"));
        QVERIFY(leftovers(dir.path()).isEmpty());
    }

    void followsASymbolicLink() {
        ScratchDir dir;
        const QString real = dir.file(QStringLiteral("real.txt"));
        const QString link = dir.file(QStringLiteral("link.txt"));
        writeBytes(real, "old");
        QVERIFY(QFile::link(real, link));
        QVERIFY(io::writeAtomically(link, QByteArray("new"), true).ok);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readBytes(real), QByteArray("new"));
    }

    void refusesFoldersPipesAndMissingFolders() {
        ScratchDir dir;
        QVERIFY(!io::writeAtomically(dir.path(), QByteArray("x"), true).ok);
        const QString fifo = dir.file(QStringLiteral("pipe"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const io::WriteResult r = io::writeAtomically(fifo, QByteArray("x"), true);
        QVERIFY(!r.ok);
        QVERIFY(r.reason.contains(QStringLiteral("regular")));
        QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
        QVERIFY(!io::writeAtomically(dir.file(QStringLiteral("no/such/folder.txt")), QByteArray("x"), true).ok);
        QVERIFY(!io::writeAtomically(QString(), QByteArray("x"), true).ok);
    }

    void longFileNamesStillGetAShortTemporaryName() {
        ScratchDir dir;
        const QString path = dir.file(QString(254, QLatin1Char('n')));
        QVERIFY(io::writeAtomically(path, QByteArray("x"), true).ok);
        QCOMPARE(readBytes(path), QByteArray("x"));
    }
};

QTEST_GUILESS_MAIN(AtomicFileTest)
#include "AtomicFile_test.moc"
