// Another program changes a window's file: writes to it, renames another file over it, deletes
// it. Save asks before it writes (Cancel keeps both, No saves under another name, Yes writes); the
// active window offers to reload a changed file and says once that a file was deleted.
#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "fileops/DiskChanges.h"
#include "platform/RichTextBox.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QFile>
#include <QTest>

#include <cstdio>

namespace {
enum class Change { Write, Rename, Delete };
void change(Change kind, const QString& path, const QByteArray& bytes) {
    if (kind == Change::Delete) return void(QFile::remove(path));
    writeBytes(kind == Change::Rename ? path + QStringLiteral(".new") : path, bytes);
    if (kind == Change::Rename) std::rename(qPrintable(path + QStringLiteral(".new")), qPrintable(path));
}
// A frame with the file "page.htm" open in a window.
struct Opened {
    ScratchDir dir;
    std::unique_ptr<MDIForm1> frame = makeFrame();
    ScriptedModal modal;
    QString path = dir.file(QStringLiteral("page.htm"));
    Form1* doc = nullptr;
    explicit Opened(const QByteArray& bytes) {
        writeBytes(path, bytes);
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
};

QTEST_MAIN(DiskChangesTest)
#include "DiskChanges_test.moc"
