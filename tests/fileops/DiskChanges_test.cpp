// Another program changes a window's file: writes to it, renames another file over it, deletes
// it. Save asks before it writes (Cancel keeps both, No saves under another name, Yes writes); the
// active window offers to reload a changed file and says once that a file was deleted.
#include "documents/DocumentCommands.h"
#include "documents/EncodingCommands.h"
#include "documents/Form1.h"
#include "fileops/DiskChanges.h"
#include "fileops/SaveCommands.h"
#include "io/TextLoader.h"
#include "platform/RichTextBox.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace {
enum class Change { Write, WriteKeepTime, Rename, Delete, OnWholeSecondDisk };
void change(Change kind, const QString& path, const QByteArray& bytes) {
    if (kind == Change::Delete) return void(QFile::remove(path));
    struct stat before {};
    ::stat(qPrintable(path), &before);
    writeBytes(kind == Change::Rename ? path + QStringLiteral(".new") : path, bytes);
    if (kind == Change::Rename) std::rename(qPrintable(path + QStringLiteral(".new")), qPrintable(path));
    const timespec times[2] = {before.st_atim, before.st_mtim};
    if (kind == Change::WriteKeepTime) ::utimensat(AT_FDCWD, qPrintable(path), times, 0);
}
// Set in a run of this test on a disk whose file times are whole seconds.
const bool wholeSeconds = qEnvironmentVariableIsSet("TESSELPAD_WHOLE_SECONDS");
// A frame with the file "page.htm" open in a window.
struct Opened {
    ScratchDir dir;
    std::unique_ptr<MDIForm1> frame = makeFrame();
    ScriptedModal modal;
    QString path = dir.file(QStringLiteral("page.htm"));
    Form1* doc = nullptr;
    // 'pauseMs' after the file is written and before it is opened.
    explicit Opened(const QByteArray& bytes, int pauseMs = 0) {
        writeBytes(path, bytes);
        QTest::qWait(pauseMs);
        doc = documents::openDocument(*frame, path);
    }
};
} // namespace
Q_DECLARE_METATYPE(Change)

class DiskChangesTest : public QObject {
    Q_OBJECT
private slots:
    void saveAsksBeforeWriting_data() {
        QTest::addColumn<Change>("kind");
        for (auto [name, kind] : {std::pair{"written to", Change::Write}, {"renamed over", Change::Rename}, {"deleted", Change::Delete}})
            QTest::newRow(name) << kind;
    }
    void saveAsksBeforeWriting() {
        QFETCH(Change, kind);
        Opened o("mine");
        auto& [dir, frame, modal, path, doc] = o;
        doc->RTB1->SetText(QStringLiteral("edited"));
        change(kind, path, "theirs, longer");
        const QByteArray theirs = readBytes(path);

        modal.answerMessage(tp::MsgResult::Cancel);
        frame->mnuFileSave_Click();
        QCOMPARE(modal.messages.size(), 1);
        QVERIFY(modal.messages[0].text.startsWith(QStringLiteral("The file ") + path +
                                                  (kind == Change::Delete ? QStringLiteral(" has been deleted") : QStringLiteral(" has been changed"))));
        QCOMPARE(QFile::exists(path), kind != Change::Delete);
        QCOMPARE(readBytes(path), theirs);
        QCOMPARE(frame->table().DocumentStates[doc->slot()].Changed, -1);

        modal.answerMessage(tp::MsgResult::Yes);
        frame->mnuFileSave_Click();
        QCOMPARE(readBytes(path), QByteArray("edited\r\n"));
        frame->mnuFileSave_Click();   // our own write is not another program's
        QCOMPARE(modal.messages.size(), 2);

        // Changed again: No saves under another name.
        change(kind, path, "theirs again");
        const QString copy = dir.file(QStringLiteral("copy.htm"));
        modal.answerMessage(tp::MsgResult::No);
        modal.answerFile(copy);
        frame->mnuFileSave_Click();
        QCOMPARE(QFile::exists(path), kind != Change::Delete);
        QCOMPARE(readBytes(copy), QByteArray("edited\r\n"));
        QCOMPARE(doc->Caption(), copy);
    }

    void activeWindowOffersToReload() {
        Opened o("one");
        auto& [dir, frame, modal, path, doc] = o;
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        QTest::qWait(50);   // the checks that activation asked for are done: only the watcher is left

        // Noticed by the frame itself while the window is active: Yes reloads.
        modal.answerMessage(tp::MsgResult::Yes);
        change(Change::Rename, path, "two\nlines");
        QTRY_COMPARE(modal.messages.size(), 1);
        QVERIFY(modal.messages[0].text.contains(QStringLiteral("changed by another program")));
        QCOMPARE(doc->RTB1->Text(), QStringLiteral("two\nlines"));
        QCOMPARE(frame->table().DocumentStates[doc->slot()].Changed, 0);

        // No keeps the window's text; the same change is not asked about again, but Save asks.
        change(Change::Write, path, "three, longer");
        modal.answerMessage(tp::MsgResult::No);
        fileops::checkDiskChange(*frame, *doc);
        fileops::checkDiskChange(*frame, *doc);
        QCOMPARE(modal.messages.size(), 2);
        QCOMPARE(doc->RTB1->Text(), QStringLiteral("two\nlines"));
        frame->mnuFileSave_Click();
        QCOMPARE(modal.messages.size(), 3);
        QCOMPARE(readBytes(path), QByteArray("three, longer"));

        // Deleted: said once, and the text counts as unsaved.
        change(Change::Delete, path, {});
        fileops::checkDiskChange(*frame, *doc);
        fileops::checkDiskChange(*frame, *doc);
        QCOMPARE(modal.messages.size(), 4);
        QVERIFY(modal.messages[3].text.contains(QStringLiteral("deleted or moved")));
        QCOMPARE(frame->table().DocumentStates[doc->slot()].Changed, -1);
    }

    // A write that keeps the size is told at once and asked about, also one that puts the time
    // back, and one within the same second on a disk of whole seconds, where only the content tells.
    void sameSizeChangesAreSeen_data() {
        QTest::addColumn<Change>("kind");
        QTest::newRow("written") << Change::Write;
        QTest::newRow("written, time put back") << Change::WriteKeepTime;
        if (!wholeSeconds) QTest::newRow("on a disk of whole seconds") << Change::OnWholeSecondDisk;
    }
    void sameSizeChangesAreSeen() {
        QFETCH(Change, kind);
        if (kind == Change::OnWholeSecondDisk) return runOnWholeSecondDisk("sameSizeChangesAreSeen");
        if (wholeSeconds) QTest::qWait(1020 - int(QDateTime::currentMSecsSinceEpoch() % 1000));   // all in one second
        Opened o("one", wholeSeconds ? 0 : 200);   // on other disks, old enough for times to tell
        auto& [dir, frame, modal, path, doc] = o;
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        QTest::qWait(50);
        modal.answerMessage(tp::MsgResult::No);   // keeps the window's text
        change(kind, path, "two");
        QTRY_COMPARE(modal.messages.size(), 1);
        modal.answerMessage(tp::MsgResult::Yes);
        frame->mnuFileSave_Click();
        QCOMPARE(modal.messages.size(), 2);
        QCOMPARE(readBytes(path), QByteArray("one\r\n"));
        frame->mnuFileSave_Click();   // our own write is not another program's, within the second too
        settle();
        QCOMPARE(modal.messages.size(), 2);
    }

    // One file in two windows: a save in one is told, and asked about, in the other as this program's.
    void aSaveFromAnotherWindow() {
        Opened o("one");
        Form1* other = documents::openDocument(*o.frame, o.path);
        o.doc->RTB1->SetText(QStringLiteral("edited"));
        QVERIFY(fileops::SaveWindow(*o.frame, *o.doc));
        o.modal.answerMessage(tp::MsgResult::No);
        fileops::checkDiskChange(*o.frame, *other);
        o.modal.answerMessage(tp::MsgResult::Cancel);
        QVERIFY(!fileops::SaveWindow(*o.frame, *other));
        QCOMPARE(o.modal.messages.size(), 2);
        for (const tp::MessageRequest& m : o.modal.messages)
            QVERIFY2(m.text.contains(QStringLiteral("changed on disk by a save from another window of Tesselpad")), qPrintable(m.text));
    }

    // The file of an unedited window was deleted: closing offers to save it again; Yes does so at once.
    void closingAWindowWhoseFileIsGone() {
        Opened o("one");
        const QString question = QStringLiteral("The file [") + o.doc->Caption() +
                                 QStringLiteral("] no longer exists on disk.\r\nDo you want to save it again?");
        change(Change::Delete, o.path, {});
        fileops::checkDiskChange(*o.frame, *o.doc);
        for (tp::MsgResult answer : {tp::MsgResult::Cancel, tp::MsgResult::Yes}) {
            o.modal.answerMessage(answer);
            o.frame->mnuFileClose_Click();
            settle();
            QCOMPARE(o.modal.messages.last().text, question);
        }
        QCOMPARE(o.modal.messages.size(), 3);
        QCOMPARE(readBytes(o.path), QByteArray("one\r\n"));
        QCOMPARE(o.frame->documentWindows().size(), 1);
    }

    // After another program changed the file, the window that read it again (reopened in another
    // encoding) saves without asking; one whose reload failed keeps its text and still asks.
    void readingTheFileAgain() {
        Opened o("caf\xe9");
        change(Change::Write, o.path, "caf\xc3\xa9 au lait");
        QVERIFY(documents::reopenWithEncoding(*o.doc, io::Encoding::Utf8));
        o.frame->mnuFileSave_Click();
        QCOMPARE(o.modal.messages.size(), 0);
        change(Change::Write, o.path, QByteArray(1000, '\xe9'));
        io::setMemoryProbe([] { return qint64(3000); });   // room for the file, not for its text
        QVERIFY(!documents::reloadDocument(*o.frame, *o.doc));
        io::setMemoryProbe(nullptr);
        o.frame->mnuFileSave_Click();
        QCOMPARE(o.modal.messages.size(), 2);   // the failed reload, then the question
    }

private:
    // Runs a test function again on a small ext2 disk with 128-byte inodes, whose times are whole
    // seconds, mounted in a private mount namespace (as root).
    void runOnWholeSecondDisk(const char* function) {
        if (::geteuid() != 0) QSKIP("needs root to mount a disk");
        QTemporaryDir scratch;
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start("unshare", {"-m", "--propagation", "private", "sh", "-c",
                            "cd \"$0\" && mkdir disk && truncate -s 4M img && PATH=$PATH:/sbin mkfs.ext2 -q -F -I 128 img >/dev/null 2>&1 "
                            "&& mount -o loop img disk && export TMPDIR=$PWD/disk TESSELPAD_WHOLE_SECONDS=1 && exec \"$@\"",
                            scratch.path(), QCoreApplication::applicationFilePath(), function});
        QVERIFY(p.waitForFinished(60000));
        const QByteArray out = p.readAll();
        if (!out.contains("Start testing")) QSKIP(("no such disk can be mounted here: " + out.left(200)).constData());
        QVERIFY2(p.exitCode() == 0 && out.contains("Totals:"), out.constData());
    }
};

QTEST_MAIN(DiskChangesTest)
#include "DiskChanges_test.moc"
