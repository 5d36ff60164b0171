#include "io/AtomicFile.h"
#include "support/TestFrame.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

class AtomicFileTest : public QObject {
    Q_OBJECT
private:
    static QStringList leftovers(const QString& dir) {
        return QDir(dir).entryList({QStringLiteral(".tspd-*")}, QDir::Files | QDir::Hidden);
    }

private slots:
    void cleanup() { fileops::setWriteFaultInjector(nullptr); }

    void replacesWholeAndKeepsPermissions() {
        ScratchDir dir;
        const QString path = dir.file(QStringLiteral("page.htm"));
        writeBytes(path, "old contents");
        ::chmod(QFile::encodeName(path).constData(), 0640);
        QVERIFY(fileops::writeAtomically(path, QByteArray("new"), true).ok);
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
        fileops::setWriteFaultInjector([&](qint64) { return ++calls == 2 ? ENOSPC : 0; });
        const fileops::Producer twoPieces = [](const fileops::Sink& sink, QString&) {
            return sink("first", 5) && sink("second", 6);
        };
        const fileops::WriteResult r = fileops::writeAtomically(path, twoPieces, true);
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
        QVERIFY(fileops::writeAtomically(link, QByteArray("new"), true).ok);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readBytes(real), QByteArray("new"));
    }

    void refusesFoldersPipesAndMissingFolders() {
        ScratchDir dir;
        QVERIFY(!fileops::writeAtomically(dir.path(), QByteArray("x"), true).ok);
        const QString fifo = dir.file(QStringLiteral("pipe"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const fileops::WriteResult r = fileops::writeAtomically(fifo, QByteArray("x"), true);
        QVERIFY(!r.ok);
        QVERIFY(r.reason.contains(QStringLiteral("regular")));
        QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
        QVERIFY(!fileops::writeAtomically(dir.file(QStringLiteral("no/such/folder.txt")), QByteArray("x"), true).ok);
        QVERIFY(!fileops::writeAtomically(QString(), QByteArray("x"), true).ok);
    }

    void longFileNamesStillGetAShortTemporaryName() {
        ScratchDir dir;
        const QString path = dir.file(QString(254, QLatin1Char('n')));
        QVERIFY(fileops::writeAtomically(path, QByteArray("x"), true).ok);
        QCOMPARE(readBytes(path), QByteArray("x"));
    }
};

QTEST_MAIN(AtomicFileTest)
#include "AtomicFile_test.moc"
