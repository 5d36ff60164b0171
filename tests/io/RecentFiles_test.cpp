// The list of recent files: newest first, each once, eight at most; a damaged list file gives a
// shorter list, never a namesake.
#include "io/RecentFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class RecentFilesTest : public QObject {
    Q_OBJECT
    QTemporaryDir config_;
private slots:
    void newestFirstEachOnceEightAtMost() {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        for (int i = 1; i <= 10; ++i) io::rememberFile(QStringLiteral("/f/%1").arg(i));
        io::rememberFile(QStringLiteral("/f/5"));       // opened again: moves up
        io::rememberFile(QStringLiteral("relative"));   // never listed
        io::forgetFile(QStringLiteral("/f/9"));
        QCOMPARE(io::recentFiles(), QStringList({"/f/5", "/f/10", "/f/8", "/f/7", "/f/6", "/f/4", "/f/3"}));

        QFile f(io::recentFilesPath());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        // A name that is not text would list its namesake; "/y\xff" is left out.
        f.write("/a b/\xc3\xa9\n\nnot absolute\n/a b/\xc3\xa9\n\x01\xff/x\n/y\xff\n/c\r\n/d");
        f.close();
        QCOMPARE(io::recentFiles(), QStringList({QStringLiteral("/a b/\u00e9"), QStringLiteral("/d")}));

        // A name with a line break is kept, and only it: the names beside it stay whole.
        io::rememberFile(QStringLiteral("/two\nlines%0A.htm"));
        io::rememberFile(QStringLiteral("/e"));
        QCOMPARE(io::recentFiles(), QStringList({"/e", "/two\nlines%0A.htm", QStringLiteral("/a b/\u00e9"), "/d"}));
        // Pipes under the names of the list and of its temporary file are never waited on.
        QVERIFY(QFile::remove(io::recentFilesPath()));
        for (const QString& name : {io::recentFilesPath(), io::recentFilesPath() + QStringLiteral(".new")})
            QCOMPARE(::mkfifo(QFile::encodeName(name).constData(), 0600), 0);
        QVERIFY(io::recentFiles().isEmpty());
        io::rememberFile(QStringLiteral("/g"));
        QCOMPARE(io::recentFiles(), QStringList{QStringLiteral("/g")});
    }
};

QTEST_GUILESS_MAIN(RecentFilesTest)
#include "RecentFiles_test.moc"
