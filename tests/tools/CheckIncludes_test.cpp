// tools/check-includes.sh, on small trees made for each case and on the repository itself.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
QString script() { return qEnvironmentVariable("TESSELPAD_SOURCE_DIR") + QStringLiteral("/tools/check-includes.sh"); }

// Runs the check on 'root'; returns its exit code and puts its output in 'out'.
int check(const QString& root, QString& out) {
    QProcess p;
    p.start(QStringLiteral("bash"), {script(), root});
    p.waitForFinished(60000);
    out = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}
} // namespace

class CheckIncludesTest : public QObject {
    Q_OBJECT
private slots:
    void trees_data() {
        // Files as "path: included path, included path ..."; the fault the check must name.
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("fault");
        QTest::newRow("downward and sideways") << QStringList{"app/A.cpp: documents/B.h, platform/C.h",
                                                              "documents/B.h: io/D.h", "io/D.h:", "platform/C.h:",
                                                              "edit/E.cpp: search/F.h", "search/F.h:"}
                                               << QString();
        QTest::newRow("a cycle within a folder") << QStringList{"documents/A.cpp: documents/B.h", "documents/A.h:",
                                                                "documents/B.cpp: A.h", "documents/B.h:"}
                                                 << QString();
        QTest::newRow("one step up") << QStringList{"io/D.cpp: documents/B.h", "documents/B.h:"}
                                     << QStringLiteral("include points up: io/D.cpp includes documents/B.h");
        QTest::newRow("platform up to app") << QStringList{"platform/C.h: app/A.h", "app/A.h:"}
                                            << QStringLiteral("include points up: platform/C.h includes app/A.h");
        QTest::newRow("a cycle between siblings, header and source as one")
            << QStringList{"edit/E.cpp: search/F.h", "edit/E.h:", "search/F.cpp: edit/E.h", "search/F.h:"}
            << QStringLiteral("include cycle across folders: edit/E search/F");
    }
    void trees() {
        QFETCH(QStringList, files);
        QFETCH(QString, fault);
        QTemporaryDir root;
        for (const QString& entry : files) {
            const QString path = entry.section(QLatin1Char(':'), 0, 0);
            QDir(root.path()).mkpath(path.section(QLatin1Char('/'), 0, 0));
            QFile f(root.filePath(path));
            QVERIFY(f.open(QIODevice::WriteOnly));
            for (const QString& include : entry.section(QLatin1Char(':'), 1).split(QLatin1Char(','), Qt::SkipEmptyParts))
                f.write("#include \"" + include.trimmed().toUtf8() + "\"\n");
        }
        QString out;
        QCOMPARE(check(root.path(), out), fault.isEmpty() ? 0 : 1);
        QVERIFY2(out.contains(fault), qPrintable(out));
    }

    void theRepositoryPasses() {
        QString out;
        QCOMPARE(check(qEnvironmentVariable("TESSELPAD_SOURCE_DIR"), out), 0);
        QVERIFY2(out.contains(QLatin1String("none pointing up, no cycle across folders")), qPrintable(out));
    }
};

QTEST_GUILESS_MAIN(CheckIncludesTest)
#include "CheckIncludes_test.moc"
