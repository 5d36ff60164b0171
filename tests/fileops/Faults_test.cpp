// Saving and opening under faults: as an ordinary user (root ignores file permissions, so those
// cases run in a child process under setpriv as "nobody"), with the settings writer failing
// halfway, and with the saving process killed at random moments.
#include "io/Settings.h"
#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "documents/frmInterruptedSave.h"
#include "io/AtomicFile.h"
#include "fileops/SaveCommands.h"
#include "platform/RichTextBox.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QDir>
#include <QMap>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <grp.h>
#include <pwd.h>
#include <sys/xattr.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QStringList leftovers(const QString& dir) {
    return QDir(dir).entryList({QStringLiteral(".tesselpad-save-*")}, QDir::Files | QDir::Hidden);
}

QByteArray local(const QString& path) { return QFile::encodeName(path); }

void chmodPath(const QString& path, mode_t mode) { ::chmod(local(path).constData(), mode); }

uid_t nobodyUid() {
    const passwd* pw = ::getpwnam("nobody");
    return pw ? pw->pw_uid : uid_t(-1);
}

gid_t nobodyGid() {
    const group* gr = ::getgrnam("nogroup");
    return gr ? gr->gr_gid : gid_t(-1);
}

void giveToNobody(const QString& path) {
    if (::chown(local(path).constData(), nobodyUid(), gid_t(-1)) != 0) qWarning("chown failed");
}

struct stat statOf(const QString& path) {
    struct stat st {};
    ::stat(local(path).constData(), &st);
    return st;
}

// ----- the child's side: cases run as "nobody" -------------------------------------------------

// Cases where "nobody" saves a file without a message, and the file's path in the scratch folder:
// in a read-only folder; of another owner, writable by the group; world-writable, of another
// owner, in a sticky folder.
const QMap<QString, QString>& savedCases() {
    static const QMap<QString, QString> cases{{QStringLiteral("readonlyFolder"), QStringLiteral("/ro/page.htm")},
                                              {QStringLiteral("othersGroupFile"), QStringLiteral("/rw/group.htm")},
                                              {QStringLiteral("stickyFolder"), QStringLiteral("/sticky/shared.htm")}};
    return cases;
}

int failures = 0;
void expect(bool ok, const char* what, const QString& detail = QString()) {
    if (ok) return;
    ++failures;
    std::printf("CHECK FAILED: %s %s\n", what, qPrintable(detail));
}

QString lastMessage(const ScriptedModal& modal) {
    return modal.messages.isEmpty() ? QString() : modal.messages.last().text;
}

int runUserCase(const QString& name, const QString& dir) {
    QDir::setCurrent(dir);
    auto frame = makeFrame();
    ScriptedModal modal;
    if (name == QLatin1String("unreadable")) {
        const QString path = dir + QStringLiteral("/secret.htm");
        expect(!documents::openDocument(*frame, path), "no window for an unreadable file");
        expect(modal.messages.size() == 1 && lastMessage(modal) == QStringLiteral("Can't open file: ") + path,
               "the open message", lastMessage(modal));
        expect(frame->documentWindows().size() == 1 && frame->table().upperBound() == 1, "no slot claimed");
    } else if (savedCases().contains(name)) {
        const QString path = dir + savedCases().value(name);
        Form1* doc = documents::openDocument(*frame, path);
        expect(doc, "the file opens");
        if (!doc) return 1;
        doc->RTB1->SetText(QStringLiteral("new text"));
        frame->mnuFileSave_Click();
        expect(modal.messages.isEmpty(), "saved without a message", lastMessage(modal));
        expect(frame->table().DocumentStates[doc->slot()].Changed == 0, "the document is unchanged after the save");
    } else if (name == QLatin1String("readonlyFile") || name == QLatin1String("othersFile")) {
        const QString path = dir + QStringLiteral("/rw/") + name + QStringLiteral(".htm");
        Form1* doc = documents::openDocument(*frame, path);
        expect(doc, "the file opens");
        if (!doc) return 1;
        doc->RTB1->SetText(QStringLiteral("new text"));
        frame->mnuFileSave_Click();
        const QString text = lastMessage(modal);
        expect(modal.messages.size() == 1, "one message");
        expect(text.startsWith(QStringLiteral("Can't save file: ") + path), "the message names the file", text);
        expect(text.contains(QStringLiteral("read-only")), "the message gives the reason", text);
        expect(frame->table().DocumentStates[doc->slot()].Changed == -1, "the document stays changed");
        expect(frame->documentWindows().contains(doc), "the window stays open");
    } else if (name.startsWith(QLatin1String("fullDisk"))) {
        // A small, nearly full disk; in a read-only folder the file must be rewritten in place.
        const QString path = dir + QStringLiteral("/disk/%1/page.htm").arg(name.section(QLatin1Char(':'), 2));
        const QByteArray old = readBytes(path);
        expect(old == QByteArray(100 * 1024, 'o'), "the old file is there", QString::number(old.size()));
        Form1* doc = documents::openDocument(*frame, path);
        expect(doc, "the file opens");
        if (!doc) return 1;
        doc->RTB1->SetText(QString(200 * 1024, QLatin1Char('n')));
        frame->mnuFileSave_Click();
        const QString text = lastMessage(modal);
        expect(text.startsWith(QStringLiteral("Can't save file: ") + path), "the message names the file", text);
        expect(text.contains(QString::fromLocal8Bit(std::strerror(ENOSPC))), "the message gives the reason", text);
        expect(readBytes(path) == old, "the old file is whole", QString::number(readBytes(path).size()));
        expect(QDir(dir + QStringLiteral("/state/tesselpad/saves")).isEmpty(), "no copy is left");
        expect(frame->table().DocumentStates[doc->slot()].Changed == -1, "the document stays changed");
        // A smaller text fits and replaces it.
        doc->RTB1->SetText(QStringLiteral("short"));
        frame->mnuFileSave_Click();
        expect(readBytes(path) == "short\r\n", "a text that fits is written", QString::fromLatin1(readBytes(path).left(20)));
    } else if (name == QLatin1String("saveAsIntoReadonlyFolder")) {
        const QString path = dir + QStringLiteral("/ro/new.htm");
        frame->ActiveForm()->RTB1->SetText(QStringLiteral("text"));
        modal.answerFile(path);
        frame->mnuFileSaveAs_Click();
        const QString text = lastMessage(modal);
        expect(text.startsWith(QStringLiteral("Can't save file: ") + path), "the message names the file", text);
        expect(text.contains(QString::fromLocal8Bit(std::strerror(EACCES))), "the message gives the reason", text);
        expect(frame->table().DocumentStates[1].Changed == -1, "the document stays changed");
    } else if (name == QLatin1String("settingsReadonlyFolder")) {
        // The folder takes no new file, but the file itself may be written: it is, in place.
        QDir::setCurrent(dir + QStringLiteral("/cfg"));
        expect(settings::write(0, 1), "the settings file is written");
        expect(settings::read().splash == 0 && settings::read().maximize == 1, "the new settings read");
        QDir::setCurrent(dir + QStringLiteral("/cfg-empty"));
        expect(!settings::write(1, 1), "no settings file is created");
        expect(modal.messages.isEmpty(), "nothing is said", lastMessage(modal));
    } else {
        std::printf("unknown case %s\n", qPrintable(name));
        return 2;
    }
    std::printf(failures ? "CASE FAILED\n" : "CASE OK\n");
    return failures ? 1 : 0;
}

// ----- the child's side of the kill test ---------------------------------------------------------

// The finished copy kept for 'path' in the folder 'saves', if any.
QByteArray keptCopy(const QString& saves, const QString& path) {
    for (const QString& record : QDir(saves).entryList({QStringLiteral("*.path")}, QDir::Files)) {
        const QString copy = saves + QLatin1Char('/') + record.chopped(5) + QStringLiteral(".old");
        if (readBytes(saves + QLatin1Char('/') + record).startsWith(local(path) + "\n") && QFile::exists(copy))
            return readBytes(copy);
    }
    return QByteArray();
}

// 'bytes' of numbered lines starting with 'word': a 1 MB block of distinct lines, repeated (so
// that any mix of two versions shows, and the text is made at memory speed).
QByteArray lines(const char* word, qint64 bytes) {
    QByteArray block;
    for (int i = 0; block.size() < (1 << 20); ++i) {
        block += word;
        block += QByteArray::number(i).rightJustified(8, '0');
        block += " <p>caf\xc3\xa9 &amp; text</p>\r\n";
    }
    return block.repeated(std::max<qint64>(1, bytes / block.size()));   // whole lines only
}

// The file bytes of the new document as saved: UTF-8, the old file's encoding; its text ends in a
// line end, so the save adds none.
QByteArray newFileBytes() { return lines("NEW ", 52 << 20); }

int runKillChild(const QString& path) {
    QDir::setCurrent(QFileInfo(path).absolutePath());
    auto frame = makeFrame();
    ScriptedModal modal;
    Form1* doc = documents::openDocument(*frame, path);
    if (!doc) return 3;
    doc->RTB1->SetTextUtf8(lines("NEW ", 52 << 20));
    std::printf("READY\n");
    std::fflush(stdout);
    frame->mnuFileSave_Click();
    std::printf(modal.messages.isEmpty() ? "SAVED\n" : "FAILED\n");
    std::fflush(stdout);
    std::_Exit(0);
}

} // namespace

class FaultsTest : public QObject {
    Q_OBJECT
private:
    QString binary_;   // a copy of this program that "nobody" may run

    // Runs one case of runUserCase() as "nobody"; empty when it passed, else its output. With a
    // setup script, the case runs in a private mount namespace after the script (run by root in
    // that namespace, with $DIR the scratch folder) has prepared it.
    QByteArray runAsNobody(const QString& name, const QString& dir, const QString& setup = QString()) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TESSELPAD_AS_USER"), name);
        env.insert(QStringLiteral("TESSELPAD_AS_USER_DIR"), dir);
        env.insert(QStringLiteral("HOME"), dir);
        env.insert(QStringLiteral("DIR"), dir);
        env.insert(QStringLiteral("XDG_STATE_HOME"), dir + QStringLiteral("/state"));
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::MergedChannels);
        const QStringList asNobody = {QStringLiteral("setpriv"), QStringLiteral("--reuid=nobody"),
                                      QStringLiteral("--regid=nogroup"), QStringLiteral("--clear-groups"), binary_};
        if (setup.isEmpty()) {
            p.start(asNobody.first(), asNobody.mid(1));
        } else {
            p.start(QStringLiteral("unshare"), QStringList{QStringLiteral("-m"), QStringLiteral("--propagation"),
                                                           QStringLiteral("private"), QStringLiteral("sh"),
                                                           QStringLiteral("-c"), setup + QStringLiteral(" && exec \"$@\""),
                                                           QStringLiteral("sh")} + asNobody);
        }
        if (!p.waitForFinished(60000)) return "the child did not finish";
        const QByteArray out = p.readAll();
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0 || !out.contains("CASE OK"))
            return out.isEmpty() ? QByteArray("the child failed without a word") : out;
        return QByteArray();
    }

private slots:
    void cleanup() { io::setWriteFaultInjector(nullptr); }

    // Permissions as an ordinary user. The scratch folder lies in /tmp, open to everyone; the
    // program is copied there, since the build folder may be closed to "nobody".
    void asOrdinaryUser_data() {
        QTest::addColumn<QString>("name");
        for (const char* name : {"unreadable", "readonlyFolder", "readonlyFile", "othersFile", "othersGroupFile",
                                 "stickyFolder", "fullDisk:tmpfs:ro", "fullDisk:ext2:ro", "fullDisk:ext4:ro",
                                 "fullDisk:ext2:rw", "saveAsIntoReadonlyFolder", "settingsReadonlyFolder"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void asOrdinaryUser() {
        QFETCH(QString, name);
        if (::geteuid() != 0) QSKIP("needs root to become another user");
        if (QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty()) QSKIP("setpriv is missing");
        if (nobodyUid() == uid_t(-1)) QSKIP("there is no user nobody");

        QTemporaryDir scratch(QStringLiteral("/tmp/tspd-user-XXXXXX"));
        QVERIFY(scratch.isValid());
        const QString dir = scratch.path();
        chmodPath(dir, 0777);
        binary_ = dir + QStringLiteral("/tesselpad-test");
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), binary_));
        chmodPath(binary_, 0755);

        const QDir d(dir);
        // Unreadable: someone else's file that only its owner may read.
        writeBytes(dir + QStringLiteral("/secret.htm"), "secret");
        chmodPath(dir + QStringLiteral("/secret.htm"), 0600);
        // A folder nobody may write to, holding a file that nobody may write.
        d.mkdir(QStringLiteral("ro"));
        const QString inRo = dir + QStringLiteral("/ro/page.htm");
        writeBytes(inRo, "old text");
        giveToNobody(inRo);
        chmodPath(inRo, 0640);
        chmodPath(dir + QStringLiteral("/ro"), 0555);
        // A writable folder with a read-only file of one's own and someone else's writable-by-owner file.
        d.mkdir(QStringLiteral("rw"));
        chmodPath(dir + QStringLiteral("/rw"), 0777);
        const QString own = dir + QStringLiteral("/rw/readonlyFile.htm");
        const QString others = dir + QStringLiteral("/rw/othersFile.htm");
        writeBytes(own, "keep me");
        giveToNobody(own);
        chmodPath(own, 0444);
        writeBytes(others, "keep me");
        chmodPath(others, 0644);
        // Settings: a read-only folder with a (writable) settings file, and an empty read-only folder.
        d.mkdir(QStringLiteral("cfg"));
        writeBytes(dir + QStringLiteral("/cfg/tspd.ini"), " 1 , 0 ");
        chmodPath(dir + QStringLiteral("/cfg/tspd.ini"), 0666);
        chmodPath(dir + QStringLiteral("/cfg"), 0555);
        d.mkdir(QStringLiteral("cfg-empty"));
        chmodPath(dir + QStringLiteral("/cfg-empty"), 0555);

        // Another owner's file that the group "nobody" is in may write, with an extended attribute
        // and an access control list; another owner's world-writable file in a sticky folder.
        const QString group = dir + savedCases().value(QStringLiteral("othersGroupFile"));
        writeBytes(group, "old text");
        if (::chown(local(group).constData(), 0, nobodyGid()) != 0) QFAIL("chown failed");
        chmodPath(group, 0664);
        const QByteArray acl = aclWithUser(12345);
        const bool attributes =
            ::setxattr(local(group).constData(), "user.origin", "site", 4, 0) == 0 &&
            ::setxattr(local(group).constData(), "system.posix_acl_access", acl.constData(), size_t(acl.size()), 0) == 0;
        d.mkdir(QStringLiteral("sticky"));
        chmodPath(dir + QStringLiteral("/sticky"), 01777);
        const QString shared = dir + savedCases().value(QStringLiteral("stickyFolder"));
        writeBytes(shared, "old text");
        chmodPath(shared, 0666);
        const ino_t groupInode = statOf(group).st_ino, sharedInode = statOf(shared).st_ino;

        QString setup;
        if (name.startsWith(QLatin1String("fullDisk"))) {
            // A small disk: the old file, then full but for 16 KiB.
            if (QStandardPaths::findExecutable(QStringLiteral("unshare")).isEmpty()) QSKIP("unshare is missing");
            const QString fs = name.section(QLatin1Char(':'), 1, 1), sub = name.section(QLatin1Char(':'), 2);
            if (fs != QLatin1String("tmpfs") && QStandardPaths::findExecutable(QStringLiteral("mkfs.") + fs).isEmpty() &&
                !QFile::exists(QStringLiteral("/usr/sbin/mkfs.") + fs) && !QFile::exists(QStringLiteral("/sbin/mkfs.") + fs))
                QSKIP("mkfs is missing");
            d.mkdir(QStringLiteral("disk"));
            setup = (fs == QLatin1String("tmpfs")
                         ? QStringLiteral("mount -t tmpfs -o size=256k,mode=0755 none \"$DIR/disk\"")
                         : QStringLiteral("truncate -s 1M \"$DIR/disk.img\" && PATH=$PATH:/sbin:/usr/sbin mkfs.%1 -q -F -m 0 "
                                          "\"$DIR/disk.img\" 2>/dev/null && mount -o loop \"$DIR/disk.img\" \"$DIR/disk\"")
                               .arg(fs)) +
                    QStringLiteral(" && mkdir \"$DIR/disk/%1\" && head -c 102400 /dev/zero | tr '\\0' o > \"$DIR/disk/%1/page.htm\" && "
                                   "head -c 16384 /dev/zero > \"$DIR/disk/gap\" && "
                                   "{ cat /dev/zero > \"$DIR/disk/filler\" 2>/dev/null; rm \"$DIR/disk/gap\"; } && "
                                   "chown nobody \"$DIR/disk/%1/page.htm\" && chmod %2 \"$DIR/disk/%1\"")
                        .arg(sub, sub == QLatin1String("ro") ? QStringLiteral("0555") : QStringLiteral("0777"));
        }
        const QByteArray failure = runAsNobody(name, dir, setup);
        if (failure.contains("mount:") || failure.contains("unshare:") || failure.contains("mkfs"))
            QSKIP(qPrintable("no small disk of this kind can be mounted here: " + failure.left(200)));
        if (failure.contains("cannot") && failure.contains("setpriv")) QSKIP("setpriv cannot switch users here");
        QVERIFY2(failure.isEmpty(), failure.constData());

        // What is on disk afterwards, seen by root.
        if (name == QLatin1String("readonlyFolder")) {
            QCOMPARE(readBytes(inRo), QByteArray("new text\r\n"));
            QCOMPARE(int(statOf(inRo).st_mode & 07777), 0640);
            QCOMPARE(statOf(inRo).st_uid, nobodyUid());
            QVERIFY(leftovers(dir + QStringLiteral("/ro")).isEmpty());
        } else if (name == QLatin1String("othersGroupFile") || name == QLatin1String("stickyFolder")) {
            // Rewritten in place: the same file, with its owner, group, mode and attributes.
            const bool inGroup = name == QLatin1String("othersGroupFile");
            const QString path = inGroup ? group : shared;
            QCOMPARE(readBytes(path), QByteArray("new text\r\n"));
            QCOMPARE(statOf(path).st_ino, inGroup ? groupInode : sharedInode);
            QCOMPARE(statOf(path).st_uid, uid_t(0));
            QCOMPARE(int(statOf(path).st_mode & 07777), inGroup ? 0664 : 0666);
            if (inGroup) QCOMPARE(statOf(path).st_gid, nobodyGid());
            char value[256];
            if (inGroup && attributes) {
                QCOMPARE(::getxattr(local(path).constData(), "user.origin", value, sizeof value), ssize_t(4));
                QCOMPARE(::getxattr(local(path).constData(), "system.posix_acl_access", value, sizeof value),
                         ssize_t(acl.size()));
            }
            QVERIFY(QDir(dir + QStringLiteral("/state/tesselpad/saves")).isEmpty());
        } else if (name == QLatin1String("readonlyFile") || name == QLatin1String("othersFile")) {
            const QString path = name == QLatin1String("othersFile") ? others : own;
            QCOMPARE(readBytes(path), QByteArray("keep me"));
            QCOMPARE(int(statOf(path).st_mode & 07777), name == QLatin1String("othersFile") ? 0644 : 0444);
            QVERIFY(leftovers(dir + QStringLiteral("/rw")).isEmpty());
        } else if (name == QLatin1String("saveAsIntoReadonlyFolder")) {
            QVERIFY(!QFile::exists(dir + QStringLiteral("/ro/new.htm")));
        } else if (name == QLatin1String("settingsReadonlyFolder")) {
            QCOMPARE(readBytes(dir + QStringLiteral("/cfg/tspd.ini")), QByteArray(" 0 , 1 "));
            QCOMPARE(QDir(dir + QStringLiteral("/cfg")).entryList(QDir::Files | QDir::Hidden).size(), 1);
            QCOMPARE(QDir(dir + QStringLiteral("/cfg-empty")).entryList(QDir::Files | QDir::Hidden).size(), 0);
        }
        // Let the scratch folder go.
        for (const char* sub : {"/ro", "/cfg", "/cfg-empty", "/sticky"}) chmodPath(dir + QLatin1String(sub), 0755);
    }

    // The settings file is replaced whole or not at all: a write failing halfway leaves the old one.
    void settingsWriteFailingHalfwayLeavesTheOldFile_data() {
        QTest::addColumn<int>("failingWrite");
        QTest::addColumn<int>("error");
        QTest::newRow("disk full") << 1 << ENOSPC;
        QTest::newRow("I/O error") << 1 << EIO;
    }
    void settingsWriteFailingHalfwayLeavesTheOldFile() {
        QFETCH(int, failingWrite);
        QFETCH(int, error);
        ScratchDir dir;
        QVERIFY(settings::write(1, 0));
        int calls = 0;
        io::setWriteFaultInjector([&](qint64) { return ++calls == failingWrite ? error : 0; });
        QVERIFY(!settings::write(0, 1));
        QCOMPARE(readBytes(settings::kFileName), QByteArray(" 1 , 0 "));
        QVERIFY(leftovers(dir.path()).isEmpty());
        io::setWriteFaultInjector(nullptr);
        // A settings file that is read-only is not replaced either.
        chmodPath(dir.file(settings::kFileName), 0444);
        if (::geteuid() != 0) QVERIFY(!settings::write(0, 1));
    }

    // A large save killed at random moments leaves the old file or the new one, whole; a file
    // rewritten in place (it has a second hard link) may hold neither, but then its old content
    // is whole in the copy kept for it, and the next start makes it whole again: the copy is
    // removed unasked when the file is whole, else Restore puts the old content back. Temporary
    // files and unfinished copies of killed saves are removed by the next save (the copies also by
    // the next start).
    void killedSaveLeavesOldOrNewFile_data() {
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("rename") << false;
        QTest::newRow("in place") << true;
    }
    void killedSaveLeavesOldOrNewFile() {
        QFETCH(bool, inPlace);
        ScratchDir dir;
        const QString path = dir.file(QStringLiteral("big.htm"));
        const QString saves = dir.file(QStringLiteral("state/tesselpad/saves"));
        const QByteArray oldBytes = lines("old ", 40 << 20);
        const QByteArray newBytes = newFileBytes();
        writeBytes(path, QByteArray());
        if (inPlace) QCOMPARE(::link(local(path).constData(), local(dir.file(QStringLiteral("other.htm"))).constData()), 0);

        const auto start = [&](QProcess& p) {
            writeBytes(path, oldBytes);   // the same file: the hard link stays
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("TESSELPAD_KILL_CHILD"), path);
            env.insert(QStringLiteral("XDG_STATE_HOME"), dir.file(QStringLiteral("state")));
            p.setProcessEnvironment(env);
            p.start(QCoreApplication::applicationFilePath(), QStringList());
            QVERIFY(p.waitForStarted(10000));
            while (!p.canReadLine() && p.state() == QProcess::Running) p.waitForReadyRead(100);
            QCOMPARE(p.readLine().trimmed(), QByteArray("READY"));
        };

        // One save to its end gives the time it takes.
        QElapsedTimer timer;
        qint64 saveMs = 0;
        {
            QProcess p;
            start(p);
            if (QTest::currentTestFailed()) return;
            timer.start();
            QVERIFY(p.waitForFinished(120000));
            saveMs = std::max<qint64>(timer.elapsed(), 10);
            QCOMPARE(p.readAll().trimmed(), QByteArray("SAVED"));
            QVERIFY(readBytes(path) == newBytes);
        }

        std::mt19937 random(20240607);
        std::uniform_int_distribution<qint64> delayMs(0, saveMs + saveMs / 5);
        constexpr int kTries = 24;
        int olds = 0, news = 0, inCopy = 0, mostTemps = 0, mostUnfinished = 0, restored = 0, unasked = 0;
        const QByteArray state = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", local(dir.file(QStringLiteral("state"))));   // the next start's
        const struct Restore { QByteArray value; ~Restore() { qputenv("XDG_STATE_HOME", value); } } restore{state};
        for (int i = 0; i < kTries; ++i) {
            QProcess p;
            start(p);
            if (QTest::currentTestFailed()) return;
            const qint64 delay = delayMs(random);
            QThread::msleep(static_cast<unsigned long>(delay));
            ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
            QVERIFY(p.waitForFinished(30000));
            const QByteArray now = readBytes(path);
            if (now == oldBytes) {
                ++olds;
            } else if (now == newBytes) {
                ++news;
            } else if (inPlace && keptCopy(saves, path) == oldBytes) {
                ++inCopy;
            } else {
                QFAIL(qPrintable(QStringLiteral("try %1 (killed after %2 ms): the file holds %3 bytes, neither the "
                                                "old %4 nor the new %5")
                                     .arg(i).arg(delay).arg(now.size()).arg(oldBytes.size()).arg(newBytes.size())));
            }
            // What a killed save may leave, the next one removes: at most the last one's is there.
            mostTemps = std::max<int>(mostTemps, leftovers(dir.path()).size());
            QVERIFY(mostTemps <= 1);
            const QStringList unfinished = QDir(saves).entryList({QStringLiteral("*.partial")}, QDir::Files);
            mostUnfinished = std::max<int>(mostUnfinished, unfinished.size());
            QVERIFY(mostUnfinished <= 1);
            // The next start, answering Restore.
            const bool mixed = now != oldBytes && now != newBytes;
            const bool copied = !QDir(saves).entryList({QStringLiteral("*.old")}, QDir::Files).isEmpty();
            ScriptedModal modal;
            modal.answerDialog([](QDialog&) { return int(frmInterruptedSave::Restore); });
            documents::offerInterruptedSaves();
            QCOMPARE(modal.dialogs.size(), mixed ? 1 : 0);
            QVERIFY(modal.messages.isEmpty());
            const QByteArray after = readBytes(path);
            QVERIFY2(mixed ? after == oldBytes : after == now, qPrintable(QStringLiteral("try %1").arg(i)));
            if (inPlace) QCOMPARE(readBytes(dir.file(QStringLiteral("other.htm"))), after);
            QVERIFY(QDir(saves).entryList({QStringLiteral("*.old"), QStringLiteral("*.path"), QStringLiteral("*.partial")},
                                          QDir::Files).isEmpty());
            restored += mixed;
            unasked += copied && !mixed;
        }
        qInfo("kill test (%s): %d tries over a %lld ms save: old file %d, new file %d, old content in the kept "
              "copy %d, never a mix; temporary files or unfinished copies present after a kill: at most %d; the next "
              "start: restored %d, a copy of a whole file removed unasked %d",
              inPlace ? "in place" : "rename", kTries, saveMs, olds, news, inCopy, std::max(mostTemps, mostUnfinished),
              restored, unasked);
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString userCase = qEnvironmentVariable("TESSELPAD_AS_USER");
    if (!userCase.isEmpty()) return runUserCase(userCase, qEnvironmentVariable("TESSELPAD_AS_USER_DIR"));
    const QString killChild = qEnvironmentVariable("TESSELPAD_KILL_CHILD");
    if (!killChild.isEmpty()) return runKillChild(killChild);
    FaultsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "Faults_test.moc"
