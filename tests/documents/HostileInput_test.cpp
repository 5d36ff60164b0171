// Hostile file names and sizes: names that look like markup, shell or format strings open, save
// and show literally; names at the file system's length limit save atomically or are reported;
// files too large for the editor or for the free memory are refused with a clear message, and a
// large one that fits opens.
#include "documents/DocumentCommands.h"
#include "io/TextLoader.h"
#include "documents/Form1.h"
#include "io/AtomicFile.h"
#include "io/MemoryLimit.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QDir>
#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

QByteArray local(const QString& path) { return QFile::encodeName(path); }

ino_t inodeOf(const QString& path) {
    struct stat st {};
    ::stat(local(path).constData(), &st);
    return st.st_ino;
}

bool makeSparse(const QString& path, qint64 size) {
    const int fd = ::open(local(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    const bool ok = ::ftruncate(fd, size) == 0;
    ::close(fd);
    return ok;
}

QStringList filesIn(const QString& dir) { return QDir(dir).entryList(QDir::Files | QDir::Hidden); }

// Lines of ordinary markup, 'bytes' long.
QByteArray markup(qint64 bytes) {
    const QByteArray line = "<p class=\"x\">Some ordinary text &amp; markup for the editor.</p>\r\n";
    QByteArray out;
    out.reserve(bytes);
    while (out.size() + line.size() <= bytes) out += line;
    out += QByteArray(bytes - out.size(), 'x');
    return out;
}

// Writes 'total' bytes of 'block' repeated, without holding them all in memory.
bool writeRepeated(const QString& path, const QByteArray& block, qint64 total) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    for (qint64 done = 0; done < total; done += block.size())
        if (f.write(block.constData(), std::min<qint64>(block.size(), total - done)) < 0) return false;
    return true;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif

// The child of memoryRunsOutWhileLoading: loads a file with the address space limited, so that
// the edit control's allocations fail.
int memoryChild(const QString& path, qint64 headroom) {
    auto frame = makeFrame();
    ScriptedModal modal;
    io::setMemoryProbe([] { return qint64(-1); });   // as where the free memory is unknown
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 3;
    qint64 vmKb = 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmSize:")) vmKb = line.mid(7).trimmed().split(' ').first().toLongLong();
    rlimit limit {};
    limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(vmKb * 1024 + headroom);
    if (::setrlimit(RLIMIT_AS, &limit) != 0) return 4;
    Form1* form = documents::openDocument(*frame, path);
    const QString text = modal.messages.isEmpty() ? QString() : modal.messages.first().text;
    if (form) {
        // It fit after all: then it must be the whole file.
        std::printf(form->RTB1->byteLength() == QFileInfo(path).size() / 100 * 198 ? "MEMORY FIT\n" : "MEMORY PARTIAL\n");
        return 0;
    }
    std::printf("MEMORY REFUSED %s\n", qPrintable(text.simplified()));
    return 0;
}

// The child of the tests that open one file in a fresh process: joins the control group, if
// given, then opens the file and says how it went.
int openChild(const QString& path, const QString& group) {
    if (!group.isEmpty()) writeBytes(group + QStringLiteral("/cgroup.procs"), "0");
    auto frame = makeFrame();
    ScriptedModal modal;
    Form1* form = documents::openDocument(*frame, path);
    std::printf("%s\n", form ? "OPENED" : qPrintable(QStringLiteral("REFUSED ") + modal.messages.value(0).text.simplified()));
    return 0;
}

// Runs openChild() in a new process; its output, or what went wrong.
QByteArray runOpenChild(const QString& path, const QString& group) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TESSELPAD_OPEN_CHILD"), path);
    env.insert(QStringLiteral("TESSELPAD_OPEN_GROUP"), group);
    p.setProcessEnvironment(env);
    p.start(QCoreApplication::applicationFilePath(), QStringList());
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return "the child hung";
    }
    return p.readAllStandardOutput() + p.readAllStandardError();
}

} // namespace

class HostileInputTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        io::setMemoryProbe(nullptr);
        io::setWriteFaultInjector(nullptr);
        tp::setModal(nullptr);
    }

    void namesOpenSaveAndShowLiterally_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("spaces") << QStringLiteral("  my page .htm");
        QTest::newRow("quotes") << QStringLiteral("it's \"quoted\" `here`.htm");
        QTest::newRow("shell") << QStringLiteral("$(touch pwned); rm -rf x | y && z.htm");
        QTest::newRow("markup") << QStringLiteral("<b>bold<b> <script>x<script> <br> &amp;.htm");
        QTest::newRow("formats") << QStringLiteral("%1 %2 %s %n %%.htm");
        QTest::newRow("ampersand") << QStringLiteral("Tom & Jerry.htm");
        QTest::newRow("non-ascii") << QStringLiteral("Gr\u00fc\u00dfe \u00c4\u00d6 \u65e5\u672c\u8a9e \u20ac \U0001F600.htm");
        QTest::newRow("control") << QStringLiteral("tab\there\nnew line\\back.htm");
        QTest::newRow("leading dash") << QStringLiteral("-rf --help.htm");
    }
    void namesOpenSaveAndShowLiterally() {
        QFETCH(QString, name);
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        const QString path = dir.file(name);
        writeBytes(path, "old\r\n");

        modal.answerFile(path);
        frame->mnuFileOpen_Click();
        Form1* doc = frame->ActiveForm();
        QVERIFY2(modal.messages.isEmpty(), qPrintable(modal.messages.value(0).text));
        QCOMPARE(doc->Caption(), path.toUpper());
        QCOMPARE(doc->subWindow()->windowTitle(), path.toUpper());
        QCOMPARE(doc->RTB1->Text(), QStringLiteral("old\r\n"));

        // Save writes the file that was opened, under its real name.
        doc->RTB1->SetText(QStringLiteral("new"));
        frame->mnuFileSave_Click();
        QVERIFY2(modal.messages.isEmpty(), qPrintable(modal.messages.value(0).text));
        QCOMPARE(readBytes(path), QByteArray("new\r\n"));
        QCOMPARE(filesIn(dir.path()), QStringList{name});

        // Save As to another odd name: the caption is that name exactly.
        const QString copy = dir.file(QStringLiteral("copy of ") + name);
        modal.answerFile(copy);
        frame->mnuFileSaveAs_Click();
        QCOMPARE(doc->Caption(), copy);
        QCOMPARE(readBytes(copy), QByteArray("new\r\n"));

        // The close prompt and a failed save name it literally.
        doc->RTB1->SetText(QStringLiteral("changed"));
        io::setWriteFaultInjector([](qint64) { return EIO; });
        frame->mnuFileSave_Click();
        io::setWriteFaultInjector(nullptr);
        QCOMPARE(modal.messages.size(), 1);
        QVERIFY(modal.messages.first().text.startsWith(QStringLiteral("Can't save file: ") + copy + QStringLiteral("\r\n")));
        modal.answerMessage(tp::MsgResult::Cancel);
        doc->subWindow()->close();
        QCOMPARE(modal.messages.size(), 2);
        QCOMPARE(modal.messages.last().text,
                 QStringLiteral("The text in [") + copy + QStringLiteral("] has changed.\r\nDo you want to save the changes?"));
        QCOMPARE(modal.messages.last().title, copy);

        // A missing file of that name.
        const QString missing = dir.file(QStringLiteral("missing ") + name);
        modal.answerFile(missing);
        frame->mnuFileOpen_Click();
        QCOMPARE(modal.messages.last().text, QStringLiteral("Can't open file: ") + missing);
    }

    // A name that is not valid UTF-8 (written by another program) cannot be spelled as text: it
    // is reported like any file that cannot be opened, and nothing else is written.
    void undecodableName() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        const QByteArray raw = local(dir.path()) + "/bad\xff\xfe name.htm";
        // Qt cannot remove a name it cannot decode, so the folder would stay behind.
        const struct Unlink { QByteArray name; ~Unlink() { ::unlink(name.constData()); } } removed{raw};
        const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, "old", 3), ssize_t(3));
        ::close(fd);
        const QString path = QFile::decodeName(raw);
        Form1* doc = documents::openDocument(*frame, path);
        if (doc) {
            // Where the name survives the round trip, the file must really be the one saved.
            doc->RTB1->SetText(QStringLiteral("new"));
            frame->mnuFileSave_Click();
            QCOMPARE(readBytes(path), QByteArray("new\r\n"));
        } else {
            QCOMPARE(modal.messages.size(), 1);
            QCOMPARE(modal.messages.first().text, QStringLiteral("Can't open file: ") + path);
        }
        // Counted by the system: Qt's folder listing leaves such names out.
        int entries = 0;
        if (DIR* d = ::opendir(local(dir.path()).constData())) {
            while (const dirent* e = ::readdir(d))
                if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) ++entries;
            ::closedir(d);
        }
        QCOMPARE(entries, 1);
        qInfo(doc ? "opened and saved" : "reported");
    }

    // The real message box shows its text as plain text, never as markup.
    void messageBoxesArePlainText() {
        QString shownText;
        Qt::TextFormat format = Qt::AutoText;
        QTimer closer;
        int polls = 0;
        connect(&closer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shownText = box->text();
                format = box->textFormat();
                box->accept();
            }
            if (++polls > 500) closer.stop();   // never wait on it for long
        });
        closer.start(10);
        const QString text = QStringLiteral("Can't open file: /tmp/<b>bold</b> & <i>x</i>.htm");
        tp::setModal(nullptr);
        tp::MsgBox(text);
        closer.stop();
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(shownText, text);
    }

    void namesAtTheLengthLimit() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        // 254 characters: saved atomically (the temporary name is short), replacing the file.
        const QString longName = dir.file(QString(250, QLatin1Char('n')) + QStringLiteral(".htm"));
        writeBytes(longName, "old");
        const ino_t before = inodeOf(longName);
        Form1* doc = documents::openDocument(*frame, longName);
        QVERIFY(doc);
        doc->RTB1->SetText(QStringLiteral("new"));
        frame->mnuFileSave_Click();
        QVERIFY2(modal.messages.isEmpty(), qPrintable(modal.messages.value(0).text));
        QCOMPARE(readBytes(longName), QByteArray("new\r\n"));
        QVERIFY(inodeOf(longName) != before);   // replaced by a rename, not rewritten in place
        QCOMPARE(filesIn(dir.path()).size(), 1);

        // 254 characters that take more than 255 bytes: reported, nothing lost.
        doc->RTB1->SetText(QStringLiteral("newer"));
        const QString tooLong = dir.file(QString(250, QChar(0x00e9)) + QStringLiteral(".htm"));
        modal.answerFile(tooLong);
        frame->mnuFileSaveAs_Click();
        QCOMPARE(modal.messages.size(), 1);
        const QString text = modal.messages.first().text;
        QVERIFY2(text.startsWith(QStringLiteral("Can't save file: ") + tooLong), qPrintable(text));
        QVERIFY2(text.contains(QString::fromLocal8Bit(std::strerror(ENAMETOOLONG))), qPrintable(text));
        QCOMPARE(frame->table().DocumentStates[doc->slot()].Changed, -1);
        QCOMPARE(readBytes(longName), QByteArray("new\r\n"));
        QCOMPARE(filesIn(dir.path()).size(), 1);
        modal.answerFile(tooLong);
        frame->mnuFileOpen_Click();
        QCOMPARE(modal.messages.last().text, QStringLiteral("Can't open file: ") + tooLong);
    }

    // Files the editor cannot take are refused before the memory runs out, with the reason.
    void refusedLargeFiles_data() {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("reason");
        QTest::newRow("1 GB of NULs, one line") << qint64(1000000000) << QStringLiteral("line of more than 64 million");
        QTest::newRow("beyond the memory") << (qint64(1) << 41) << QStringLiteral("not enough free memory to open it");
    }
    void refusedLargeFiles() {
        QFETCH(qint64, size);
        QFETCH(QString, reason);
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        const QString path = dir.file(QStringLiteral("huge.bin"));
        if (!makeSparse(path, size)) QSKIP("no sparse file here");
        io::setMemoryProbe([] { return qint64(1) << 40; });   // the memory is not what is measured
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!documents::openDocument(*frame, path));
        QCOMPARE(modal.messages.size(), 1);
        const QString text = modal.messages.first().text;
        QVERIFY2(text.startsWith(QStringLiteral("Can't open file: ") + path + QStringLiteral("\r\n\r\n")), qPrintable(text));
        QVERIFY2(text.contains(reason), qPrintable(text));
        QCOMPARE(frame->documentWindows().size(), 1);
        settle();
        qInfo("refused in %lld ms", timer.elapsed());
        // What decides it is read, not more: room for the whole file took seconds.
#ifdef __SANITIZE_ADDRESS__
        constexpr qint64 kSlowerBuild = 4;
#else
        constexpr qint64 kSlowerBuild = 1;
#endif
        QVERIFY2(timer.elapsed() < 2500 * kSlowerBuild, qPrintable(QString::number(timer.elapsed())));
    }

    void notEnoughFreeMemory() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        // Refused before reading: even its plainest text would not fit.
        io::setMemoryProbe([] { return qint64(10) << 20; });
        const QString plain = dir.file(QStringLiteral("plain.htm"));
        writeBytes(plain, markup(8 << 20));
        QVERIFY(!documents::openDocument(*frame, plain));
        QVERIFY2(modal.messages.last().text.startsWith(QStringLiteral("Can't open file: ") + plain + QStringLiteral("\r\n\r\n")),
                 qPrintable(modal.messages.last().text));
        QVERIFY(modal.messages.last().text.contains(QStringLiteral("not enough free memory to open it")));
        // A file of a gibibyte is refused for the memory it lacks, not for its size.
        const QString gib = dir.file(QStringLiteral("gib.htm"));
        QVERIFY(makeSparse(gib, qint64(1) << 30));
        QVERIFY(!documents::openDocument(*frame, gib));
        QVERIFY2(modal.messages.last().text.contains(QStringLiteral("not enough free memory to open it")),
                 qPrintable(modal.messages.last().text));
        // Refused while reading: the file's high bytes make a text twice its size.
        io::setMemoryProbe([] { return qint64(20) << 20; });
        const QString accents = dir.file(QStringLiteral("accents.txt"));
        writeBytes(accents, QByteArray(98, char(0xe9)).append("\r\n").repeated(60000));
        QVERIFY(!documents::openDocument(*frame, accents));
        QVERIFY(modal.messages.last().text.contains(QStringLiteral("not enough free memory to hold its text")));
        QCOMPARE(frame->documentWindows().size(), 1);
        QCOMPARE(modal.messages.size(), 3);
        // With room it opens.
        io::setMemoryProbe([] { return qint64(64) << 20; });
        QVERIFY(documents::openDocument(*frame, plain));
    }

    // The edit control's allocations failing (a limited address space) end in a message, never in
    // a crash or a window holding part of the file.
    void memoryRunsOutWhileLoading_data() {
        QTest::addColumn<qint64>("headroomMb");
        QTest::newRow("no room for the buffer") << qint64(40);
        QTest::newRow("no room to grow") << qint64(100);
    }
    void memoryRunsOutWhileLoading() {
        QFETCH(qint64, headroomMb);
        if (kAddressSanitizer) QSKIP("AddressSanitizer needs an unlimited address space");
        ScratchDir dir;
        const QString path = dir.file(QStringLiteral("accents.txt"));
        QVERIFY(writeRepeated(path, QByteArray(98, char(0xe9)).append("\r\n").repeated(10000), qint64(64) << 20));
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TESSELPAD_MEMORY_CHILD"), path);
        env.insert(QStringLiteral("TESSELPAD_MEMORY_HEADROOM"), QString::number(headroomMb << 20));
        p.setProcessEnvironment(env);
        p.start(QCoreApplication::applicationFilePath(), QStringList());
        QVERIFY(p.waitForFinished(60000));
        const QByteArray out = p.readAllStandardOutput() + p.readAllStandardError();
        QVERIFY2(p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0, out.constData());
        QVERIFY2(out.contains("MEMORY REFUSED Can't open file: " + local(path)) || out.contains("MEMORY FIT"),
                 out.constData());
        QVERIFY2(out.contains("memory") || out.contains("MEMORY FIT"), out.constData());
        const qsizetype at = out.indexOf("MEMORY");
        qInfo("%s", out.mid(at, out.indexOf('\n', at) - at).constData());
    }

    // A file of lines ended by CR alone (old Mac pages) opens as fast as one with LF.
    void crOnlyLinesOpenAsFastAsLf() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        double seconds[2];
        for (const char end : {'\n', '\r'}) {
            const QString path = dir.file(QStringLiteral("lines%1.htm").arg(int(end)));
            writeBytes(path, (QByteArray("<p>line</p>") + end).repeated(4 << 18));   // 3 MB
            QElapsedTimer timer;
            timer.start();
            Form1* doc = documents::openDocument(*frame, path);
            seconds[end == '\r'] = timer.nsecsElapsed() / 1e9;
            QVERIFY(doc && doc->RTB1->byteLength() == QFileInfo(path).size());
        }
        qInfo("3 MB opened: LF lines %.3f s, CR lines %.3f s", seconds[0], seconds[1]);
        QVERIFY(seconds[1] < 3 * seconds[0] + 0.5);
    }

    // The memory limits of control groups, v1 and v2, of the process's group and its parents, read
    // from a copy of /proc and the control groups' folders.
    void controlGroupLimits_data() {
        QTest::addColumn<QByteArray>("mounts");    // /proc/self/mountinfo
        QTest::addColumn<QByteArray>("groups");    // /proc/self/cgroup
        QTest::addColumn<QStringList>("files");    // file=value
        QTest::addColumn<qint64>("left");
        const QByteArray v1 = "35 31 0:32 / /memory rw - cgroup cgroup rw,memory\n";
        const QByteArray v2 = "41 31 0:38 / /unified rw - cgroup2 cgroup2 rw\n";
        QTest::newRow("v1, not on the first line") << v1 + v2 << QByteArray("5:devices:/\n4:memory:/job\n0::/\n")
            << QStringList{"memory/job/memory.limit_in_bytes=262144000", "memory/job/memory.usage_in_bytes=52428800",
                           "memory/memory.limit_in_bytes=9223372036854771712", "memory/memory.usage_in_bytes=900000000"}
            << qint64(209715200);
        QTest::newRow("v2, the parent's is less") << v2 << QByteArray("0::/a/b\n")
            << QStringList{"unified/a/b/memory.max=max", "unified/a/b/memory.current=10", "unified/a/memory.max=1000",
                           "unified/a/memory.current=400"}
            << qint64(600);
        QTest::newRow("v2 as Debian 12 mounts it, the user's slice limited")
            << QByteArray("29 23 0:26 / /sys/fs/cgroup rw,relatime shared:4 - cgroup2 cgroup2 rw,nsdelegate\n")
            << QByteArray("0::/user.slice/session-2.scope\n")
            << QStringList{"sys/fs/cgroup/user.slice/session-2.scope/memory.max=max", "proc/meminfo=MemAvailable: 8000000 kB",
                           "sys/fs/cgroup/user.slice/memory.max=262144000", "sys/fs/cgroup/user.slice/memory.current=52428800"}
            << qint64(209715200);
        QTest::newRow("v1 mounted from below its root") << QByteArray("35 31 0:32 /job /memory rw - cgroup cgroup rw,memory\n")
            << QByteArray("4:memory:/job/sub\n")
            << QStringList{"memory/sub/memory.limit_in_bytes=1000", "memory/sub/memory.usage_in_bytes=100"} << qint64(900);
        QTest::newRow("no limit") << v1 + v2 << QByteArray("4:memory:/\n0::/\n")
            << QStringList{"unified/memory.max=max", "memory/memory.limit_in_bytes=x"} << qint64(-1);
    }
    void controlGroupLimits() {
        QFETCH(QByteArray, mounts);
        QFETCH(QByteArray, groups);
        QFETCH(QStringList, files);
        QFETCH(qint64, left);
        ScratchDir dir;
        for (const QString& f : files + QStringList{"proc/self/mountinfo=" + mounts, "proc/self/cgroup=" + groups}) {
            const QString path = dir.file(f.section(QLatin1Char('='), 0, 0));
            QDir().mkpath(QFileInfo(path).path());
            writeBytes(path, f.section(QLatin1Char('='), 1).toLatin1() + "\n");
        }
        QCOMPARE(io::memoryLeft(local(dir.path())), left);
    }

    // Run as root where cgroup v1 is mounted: a process in a group limited to 250 MB is refused a
    // 301 MB file up front, as for any shortage of memory (it was killed by the OOM killer).
    void controlGroupV1LimitIsHeeded() {
        const QString groups = QStringLiteral("/sys/fs/cgroup/memory");
        if (::geteuid() != 0 || !QFileInfo(groups + QStringLiteral("/memory.limit_in_bytes")).exists())
            QSKIP("needs root and the memory controller of cgroup v1");
        ScratchDir dir;
        const QString group = groups + QStringLiteral("/tesselpad-test-%1").arg(::getpid());
        if (!QDir().mkdir(group)) QSKIP("cannot make a control group here");
        writeBytes(group + QStringLiteral("/memory.limit_in_bytes"), "262144000");
        const QString path = dir.file(QStringLiteral("big.htm"));
        QVERIFY(makeSparse(path, 301 << 20));
        const QByteArray out = runOpenChild(path, group);
        QDir().rmdir(group);
        QVERIFY2(out.contains("REFUSED Can't open file: " + local(path)) && out.contains("not enough free memory to open it"),
                 out.constData());
    }

    // A file that passes for a regular one but whose reads wait (/proc/kmsg, read by root) opens
    // with what it has, without hanging.
    void fileThatWouldBlockOpens() {
        if (::access("/proc/kmsg", R_OK) != 0) QSKIP("/proc/kmsg cannot be read here");
        const QByteArray out = runOpenChild(QStringLiteral("/proc/kmsg"), QString());
        QVERIFY2(out.contains("OPENED"), out.constData());
    }

    // A 1 GB file of ordinary lines opens whole when the memory allows (about 1.1 bytes of memory
    // per byte of such a file, and 2.5 s here).
    void oneGigabyteOfTextOpens() {
        const qint64 size = 1000000000;
        if (io::availableMemory() >= 0 && io::availableMemory() < 4 * size)
            QSKIP("less than 4 GB of free memory");
        struct statvfs vfs {};
        if (::statvfs(QDir::tempPath().toLocal8Bit().constData(), &vfs) != 0 ||
            qint64(vfs.f_bavail) * qint64(vfs.f_frsize) < 3 * size)
            QSKIP("less than 3 GB of free disk");
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        const QString path = dir.file(QStringLiteral("big.htm"));
        QVERIFY(writeRepeated(path, markup(1 << 20), size));
        QElapsedTimer timer;
        timer.start();
        Form1* doc = documents::openDocument(*frame, path);
        const qint64 ms = timer.elapsed();
        QVERIFY2(doc, qPrintable(modal.messages.value(0).text));
        QCOMPARE(doc->RTB1->byteLength(), size);
        QCOMPARE(frame->table().DocumentStates[doc->slot()].Changed, 0);
        QVERIFY(std::memcmp(doc->RTB1->rangePointer(size - 100, 100), markup(1 << 20).constData() + (size % (1 << 20)) - 100,
                            100) == 0);
        doc->closeWithoutAsking();
        settle();
        QFile::remove(path);
        qInfo("1 GB opened in %lld ms", ms);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString memory = qEnvironmentVariable("TESSELPAD_MEMORY_CHILD");
    if (!memory.isEmpty()) return memoryChild(memory, qEnvironmentVariable("TESSELPAD_MEMORY_HEADROOM").toLongLong());
    const QString open = qEnvironmentVariable("TESSELPAD_OPEN_CHILD");
    if (!open.isEmpty()) return openChild(open, qEnvironmentVariable("TESSELPAD_OPEN_GROUP"));
    HostileInputTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "HostileInput_test.moc"
