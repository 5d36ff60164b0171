// Installs the built program into a scratch root the way a package does (DESTDIR, prefix /usr)
// and checks what lands where, the desktop entry, the icons and the launcher.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {
QString env(const char* name) { return QString::fromLocal8Bit(qgetenv(name)); }

QStringList filesUnder(const QString& root) {
    QStringList out;
    QDirIterator it(root, QDir::Files | QDir::System | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) out << QDir(root).relativeFilePath(it.next());
    out.sort();
    return out;
}

QMap<QString, QString> desktopEntry(const QString& path) {
    QMap<QString, QString> keys;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return keys;
    bool inEntry = false;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('['))) inEntry = line == QLatin1String("[Desktop Entry]");
        else if (inEntry && line.contains(QLatin1Char('='))) keys.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1));
    }
    return keys;
}

// Runs a program; returns its exit code (-1 if it did not run), with its output in 'output'.
int run(const QString& program, const QStringList& args, const QProcessEnvironment& environment, QString& output,
        const QString& workDir = QString()) {
    QProcess p;
    p.setProcessEnvironment(environment);
    p.setProcessChannelMode(QProcess::MergedChannels);
    if (!workDir.isEmpty()) p.setWorkingDirectory(workDir);
    p.start(program, args);
    if (!p.waitForFinished(60000)) return -1;
    output = QString::fromLocal8Bit(p.readAll());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}
} // namespace

class InstallTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir scratch_;
    QString root_;   // the scratch root; the package's files are under root_/usr

private slots:
    void initTestCase() {
        const QString binaryDir = env("TESSELPAD_BINARY_DIR");
        QVERIFY2(!binaryDir.isEmpty(), "TESSELPAD_BINARY_DIR is not set (run the test through CTest)");
        const QString cmake = QStandardPaths::findExecutable(QStringLiteral("cmake"));
        QVERIFY2(!cmake.isEmpty(), "cmake not found");
        root_ = scratch_.filePath(QStringLiteral("root"));
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert(QStringLiteral("DESTDIR"), root_);
        QString output;
        const int rc = run(cmake, {QStringLiteral("--install"), binaryDir, QStringLiteral("--prefix"), QStringLiteral("/usr")}, e,
                           output);
        QVERIFY2(rc == 0, qPrintable(output));
    }

    void installsTheFilesInTheirPlaces() {
        QStringList expected = {
            QStringLiteral("usr/bin/tesselpad"),
            QStringLiteral("usr/bin/tesselpad-launch"),
            QStringLiteral("usr/share/applications/tesselpad.desktop"),
            QStringLiteral("usr/share/icons/hicolor/256x256/apps/tesselpad.png"),
            QStringLiteral("usr/share/icons/hicolor/48x48/apps/tesselpad.png"),
            QStringLiteral("usr/share/icons/hicolor/scalable/apps/tesselpad.svg"),
            QStringLiteral("usr/share/man/man1/tesselpad-launch.1"),
            QStringLiteral("usr/share/man/man1/tesselpad.1"),
            QStringLiteral("usr/share/metainfo/example.tesselpad.tesselpad.metainfo.xml"),
            QStringLiteral("usr/share/tesselpad/screenshots/checks.png"),
            QStringLiteral("usr/share/tesselpad/screenshots/tabs.png"),
        };
        // The help folder goes along as it is in the sources.
        const QString help = QDir(env("TESSELPAD_SOURCE_DIR")).filePath(QStringLiteral("help"));
        if (QFileInfo(help).isDir()) {
            for (const QString& f : filesUnder(help)) expected << QStringLiteral("usr/share/tesselpad/help/") + f;
            QVERIFY(expected.contains(QStringLiteral("usr/share/tesselpad/help/readme.htm")));
        }
        expected.sort();
        QCOMPARE(filesUnder(root_), expected);
        for (const char* program : {"usr/bin/tesselpad", "usr/bin/tesselpad-launch"})
            QVERIFY(QFileInfo(QDir(root_).filePath(QLatin1String(program))).isExecutable());
    }

    void desktopEntryDescribesTheLauncher() {
        const QString path = QDir(root_).filePath(QStringLiteral("usr/share/applications/tesselpad.desktop"));
        const QMap<QString, QString> entry = desktopEntry(path);
        QCOMPARE(entry.value(QStringLiteral("Type")), QStringLiteral("Application"));
        QCOMPARE(entry.value(QStringLiteral("Name")), QStringLiteral("Tesselpad"));
        QCOMPARE(entry.value(QStringLiteral("Exec")), QStringLiteral("tesselpad-launch %F"));
        QCOMPARE(entry.value(QStringLiteral("Icon")), QStringLiteral("tesselpad"));
        QCOMPARE(entry.value(QStringLiteral("Terminal")), QStringLiteral("false"));
        QVERIFY(entry.value(QStringLiteral("Categories")).split(QLatin1Char(';')).contains(QStringLiteral("TextEditor")));
        const QStringList types = entry.value(QStringLiteral("MimeType")).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (const char* type : {"text/html", "application/xhtml+xml", "text/xml", "application/xml", "text/css",
                                 "text/x-java", "text/plain", "application/x-php", "application/x-asp", "application/javascript",
                                 "text/javascript", "application/json", "text/markdown", "text/x-scss"})
            QVERIFY2(types.contains(QLatin1String(type)), type);

        const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (validator.isEmpty()) QSKIP("desktop-file-validate is not installed (desktop-file-utils)");
        QString output;
        QCOMPARE(run(validator, {path}, QProcessEnvironment::systemEnvironment(), output), 0);
        QVERIFY2(!output.contains(QLatin1String("error")) && !output.contains(QLatin1String("warning")), qPrintable(output));
    }

    void appStreamMetadataIsValid() {
        const QString validator = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
        if (validator.isEmpty()) QSKIP("appstreamcli is not installed (appstream)");
        QString output;
        const int rc = run(validator, {QStringLiteral("validate"), QStringLiteral("--no-net"),
                                       QDir(root_).filePath(QStringLiteral("usr/share/metainfo/example.tesselpad.tesselpad.metainfo.xml"))},
                           QProcessEnvironment::systemEnvironment(), output);
        QVERIFY2(rc == 0 && !output.contains(QLatin1String("W: ")), qPrintable(output));
    }

    void iconsHaveTheirSizes() {
        const QDir icons(QDir(root_).filePath(QStringLiteral("usr/share/icons/hicolor")));
        for (int size : {48, 256}) {
            const QImage image(icons.filePath(QStringLiteral("%1x%1/apps/tesselpad.png").arg(size)));
            QCOMPARE(image.size(), QSize(size, size));
            QVERIFY(image.hasAlphaChannel());
        }
        QFile svg(icons.filePath(QStringLiteral("scalable/apps/tesselpad.svg")));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        const QByteArray text = svg.readAll();
        QVERIFY(text.contains("<svg") && text.contains("viewBox=\"0 0 256 256\""));
    }

    // The launcher makes the user's folder, links the installed help into it and starts the
    // program there. The program itself is replaced by a script that tells where it was started.
    void launcherStartsTheProgramInTheUsersFolder() {
        const QDir usr(QDir(root_).filePath(QStringLiteral("usr")));
        const QString program = usr.filePath(QStringLiteral("bin/tesselpad"));
        const QString report = scratch_.filePath(QStringLiteral("started.txt"));
        QVERIFY(QFile::remove(program));
        {
            QFile fake(program);
            QVERIFY(fake.open(QIODevice::WriteOnly));
            fake.write("#!/bin/sh\n{ pwd -P; printf '%s\\n' \"$@\"; } > \"$TESSELPAD_TEST_REPORT\"\n");
        }
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QString installedHelp = usr.filePath(QStringLiteral("share/tesselpad/help"));
        QVERIFY(QDir().mkpath(installedHelp));
        const QString launcher = usr.filePath(QStringLiteral("bin/tesselpad-launch"));

        const auto start = [&](const QString& xdgDataHome, const QString& home, const QStringList& args = {}) {
            QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
            e.insert(QStringLiteral("TESSELPAD_TEST_REPORT"), report);
            e.insert(QStringLiteral("HOME"), home);
            if (xdgDataHome.isNull()) e.remove(QStringLiteral("XDG_DATA_HOME"));
            else e.insert(QStringLiteral("XDG_DATA_HOME"), xdgDataHome);
            QFile::remove(report);
            QString output;
            const int rc = run(launcher, args, e, output, scratch_.path());
            QFile f(report);
            if (rc != 0 || !f.open(QIODevice::ReadOnly)) return QStringLiteral("failed: ") + output;
            return QString::fromLocal8Bit(f.readAll()).trimmed();
        };
        const QString canonicalHelp = QFileInfo(installedHelp).canonicalFilePath();

        // First start: the folder is made, with the link.
        const QString data = scratch_.filePath(QStringLiteral("data"));
        const QString folder = data + QStringLiteral("/tesselpad");
        const QString started = start(data, scratch_.filePath(QStringLiteral("home")));
        QCOMPARE(started, QFileInfo(folder).canonicalFilePath());
        QVERIFY(QFileInfo(folder + QStringLiteral("/help")).isSymLink());
        QCOMPARE(QFileInfo(folder + QStringLiteral("/help")).canonicalFilePath(), canonicalHelp);
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System), QStringList{QStringLiteral("help")});

        // Again, with a settings file written meanwhile and a stale link: both are fine.
        writeFile(folder + QStringLiteral("/tspd.ini"), " 1 , 0 ");
        QVERIFY(QFile::remove(folder + QStringLiteral("/help")));
        QVERIFY(QFile::link(scratch_.filePath(QStringLiteral("gone")), folder + QStringLiteral("/help")));
        QCOMPARE(start(data, scratch_.filePath(QStringLiteral("home"))), QFileInfo(folder).canonicalFilePath());
        QCOMPARE(QFileInfo(folder + QStringLiteral("/help")).canonicalFilePath(), canonicalHelp);
        QCOMPARE(readFile(folder + QStringLiteral("/tspd.ini")), QByteArray(" 1 , 0 "));

        // A help folder of the user's own is left alone.
        const QString own = scratch_.filePath(QStringLiteral("data2/tesselpad/help"));
        QVERIFY(QDir().mkpath(own));
        writeFile(own + QStringLiteral("/readme.htm"), "mine");
        QCOMPARE(start(scratch_.filePath(QStringLiteral("data2")), scratch_.filePath(QStringLiteral("home"))),
                 QFileInfo(scratch_.filePath(QStringLiteral("data2/tesselpad"))).canonicalFilePath());
        QVERIFY(!QFileInfo(own).isSymLink());
        QCOMPARE(readFile(own + QStringLiteral("/readme.htm")), QByteArray("mine"));

        // Without XDG_DATA_HOME (or with a relative one) the folder is under ~/.local/share.
        const QString home = scratch_.filePath(QStringLiteral("home3"));
        QVERIFY(QDir().mkpath(home));
        const QString expected = QFileInfo(home).canonicalFilePath() + QStringLiteral("/.local/share/tesselpad");
        QCOMPARE(start(QString(), home), expected);
        QCOMPARE(start(QStringLiteral("relative/dir"), home), expected);

        // Options go on as they are; file names are made absolute against the launcher's folder,
        // also one that begins with a dash after "--".
        const QString here = scratch_.path();
        QCOMPARE(start(QString(), home, {QStringLiteral("--new-instance"), QStringLiteral("a b.html"), QStringLiteral("/abs/c.css"),
                                         QStringLiteral("--"), QStringLiteral("-d.txt")}),
                 QStringList({expected, QStringLiteral("--new-instance"), here + QStringLiteral("/a b.html"),
                              QStringLiteral("/abs/c.css"), QStringLiteral("--"), here + QStringLiteral("/-d.txt")})
                     .join(QLatin1Char('\n')));
    }

private:
    static void writeFile(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
    }
    static QByteArray readFile(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

QTEST_MAIN(InstallTest)
#include "Install_test.moc"
