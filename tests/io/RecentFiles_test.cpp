// The list of recent files: newest first, each once, eight at most, kept in the configuration
// folder; a damaged list file gives a shorter list.
#include "io/RecentFiles.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class RecentFilesTest : public QObject {
    Q_OBJECT
    QTemporaryDir config_;
private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        QCoreApplication::setApplicationName(QStringLiteral("Tesselpad"));
        QVERIFY(io::recentFilesPath().startsWith(config_.path()));
    }

    void newestFirstEachOnceEightAtMost() {
        for (int i = 1; i <= 10; ++i) io::rememberFile(QStringLiteral("/f/%1.html").arg(i));
        io::rememberFile(QStringLiteral("/f/5.html"));   // opened again: moves up
        io::rememberFile(QStringLiteral("relative.html"));   // never listed
        QCOMPARE(io::recentFiles(), QStringList({"/f/5.html", "/f/10.html", "/f/9.html", "/f/8.html", "/f/7.html",
                                                      "/f/6.html", "/f/4.html", "/f/3.html"}));
        io::forgetFile(QStringLiteral("/f/10.html"));
        QCOMPARE(io::recentFiles().mid(0, 2), QStringList({"/f/5.html", "/f/9.html"}));
        QCOMPARE(io::recentFiles().size(), 7);
    }

    void damagedListGivesWhatItCan() {
        QFile f(io::recentFilesPath());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("/a b/\xc3\xa9.txt\n\nnot absolute\n/a b/\xc3\xa9.txt\n\x01\xff/x\n/c\r\n/d");
        f.close();
        QCOMPARE(io::recentFiles(), QStringList({QStringLiteral("/a b/\u00e9.txt"), QStringLiteral("/d")}));
    }
};

QTEST_GUILESS_MAIN(RecentFilesTest)
#include "RecentFiles_test.moc"
