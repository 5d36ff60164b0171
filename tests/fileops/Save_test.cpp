#include "documents/DocumentCommands.h"
#include "documents/DocumentView.h"
#include "documents/Form1.h"
#include "io/AtomicFile.h"
#include "documents/FileTypes.h"
#include "fileops/SaveCommands.h"
#include "platform/RichTextBox.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QDir>
#include <QMdiSubWindow>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Opens a file into a new window of the frame.
Form1* open(MDIForm1& frame, const QString& path) { return documents::openDocument(frame, path); }
} // namespace

class SaveTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { io::setWriteFaultInjector(nullptr); }

    void untitledGoesThroughTheDialogAndIsRetitled() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        Form1* doc = frame->ActiveForm();
        doc->RTB1->SetText(QStringLiteral("abc"));
        const QString path = dir.file(QStringLiteral("page.htm"));
        modal.answerFile(path);
        frame->mnuFileSave_Click();
        QCOMPARE(modal.fileDialogs.size(), 1);
        const tp::FileDialogRequest& q = modal.fileDialogs.first();
        QCOMPARE(q.kind, tp::FileDialogKind::Save);
        QCOMPARE(q.fileName, QString());
        QCOMPARE(q.nameFilters.size(), 10);
        QCOMPARE(q.nameFilters.first(), QStringLiteral("HTML Documents (*.htm; *.html) (*.htm *.html)"));
        QCOMPARE(q.nameFilters.last(), QStringLiteral("All files (*.*) (*)"));
        QCOMPARE(frame->CommonDialog1.Filter, filetypes::saveFilter());
        QVERIFY(filetypes::saveFilter().startsWith(QStringLiteral("HTML Documents (*.htm; *.html) | *.htm;*.html|")));
        QVERIFY(filetypes::saveFilter().endsWith(QStringLiteral("|PHP Files (*.php)| *.php|All files (*.*) | *.*")));
        // The Open list (pinned in OpenNew_test) without its "All Documents" entry, blanks and all.
        QCOMPARE(filetypes::saveFilter(), filetypes::openFilter().section(QLatin1Char('|'), 2));
        QCOMPARE(readBytes(path), QByteArray("abc\r\n"));
        QCOMPARE(doc->Caption(), path);
        QCOMPARE(frame->table().DocumentStates[1].Changed, 0);
        QCOMPARE(frame->strCurrentFile, path);
        // From now on Save writes there without a dialog, even when nothing changed; a file that
        // another program changed meanwhile is written only when the user says so.
        writeBytes(path, "tampered");
        modal.answerMessage(tp::MsgResult::Yes);
        frame->mnuFileSave_Click();
        QCOMPARE(modal.fileDialogs.size(), 1);
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(readBytes(path), QByteArray("abc\r\n"));
    }

    void emptyDocumentSavesAsCrLfAndSelectionDoesNotMatter() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        const QString empty = dir.file(QStringLiteral("empty.txt"));
        modal.answerFile(empty);
        frame->mnuFileSaveAs_Click();
        QCOMPARE(readBytes(empty), QByteArray("\r\n"));
        Form1* doc = frame->ActiveForm();
        doc->RTB1->SetText(QStringLiteral("hello world"));
        doc->RTB1->SetSelStart(6);
        doc->RTB1->SetSelLength(5);
        frame->mnuFileSave_Click();
        QCOMPARE(readBytes(empty), QByteArray("hello world\r\n"));
    }

    // Save As onto another existing file asks first: Yes replaces it, No shows the dialog again,
    // Cancel gives up. A new file or the window's own file is written without a question.
    void saveAsAsksBeforeReplacingAnotherFile_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Yes") << int(tp::MsgResult::Yes) << "other.htm";
        QTest::newRow("No, then a new name") << int(tp::MsgResult::No) << "fresh.htm";
        QTest::newRow("Cancel") << int(tp::MsgResult::Cancel) << "own.htm";
    }
    void saveAsAsksBeforeReplacingAnotherFile() {
        QFETCH(int, answer);
        QFETCH(QString, caption);
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        writeBytes(dir.file("other.htm"), "keep");
        for (const char* name : {"own.htm", "own.htm", "other.htm", "fresh.htm"}) modal.answerFile(dir.file(name));
        modal.answerMessage(tp::MsgResult(answer));
        for (int i = 0; i < 3; ++i) frame->mnuFileSaveAs_Click();
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(modal.messages[0].text, dir.file("other.htm") + " already exists.\r\nDo you want to replace it?");
        QCOMPARE(modal.messages[0].defaultButton, tp::MsgResult::No);   // Enter keeps the other file
        QCOMPARE(readBytes(dir.file("other.htm")), caption == "other.htm" ? QByteArray("\r\n") : QByteArray("keep"));
        QCOMPARE(frame->ActiveForm()->Caption(), dir.file(caption));
    }

    void saveAsThenCancelChangesNothing() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        Form1* doc = frame->ActiveForm();
        doc->RTB1->SetText(QStringLiteral("x"));
        frame->CommonDialog1.CancelError = true;   // as Print leaves it: still a quiet cancel
        modal.answerFile(QString());
        frame->mnuFileSaveAs_Click();
        QCOMPARE(doc->Caption(), QStringLiteral("Document"));
        QCOMPARE(frame->table().DocumentStates[1].Changed, -1);
        QCOMPARE(frame->strCurrentFile, QString());
        QCOMPARE(modal.messages.size(), 0);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 0);
    }

    void captionRules() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        // A caption with "Document" beyond its first eight characters is a titled one.
        const QString path = dir.file(QStringLiteral("Document.htm"));
        writeBytes(path, "x");
        Form1* doc = open(*frame, path);
        doc->RTB1->SetText(QStringLiteral("y"));
        frame->mnuFileSave_Click();
        QCOMPARE(modal.fileDialogs.size(), 0);
        QCOMPARE(readBytes(path), QByteArray("y\r\n"));
        // "Document 2" is untitled.
        documents::NewDocument(*frame);
        modal.answerFile(QString());
        frame->mnuFileSave_Click();
        QCOMPARE(modal.fileDialogs.size(), 1);
    }

    void savesTheOpenedFileNotItsUpperCaseName() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        const QString path = dir.file(QStringLiteral("mixedCase.htm"));
        writeBytes(path, "old");
        Form1* doc = open(*frame, path);
        QCOMPARE(doc->Caption(), path.toUpper());
        doc->RTB1->SetSelStart(3);
        doc->RTB1->SetSelText(QStringLiteral("!"));
        frame->mnuFileSave_Click();
        QCOMPARE(readBytes(path), QByteArray("old!\r\n"));
        QVERIFY(!QFile::exists(path.toUpper()));
        // The close prompt's Yes writes the same file.
        doc->RTB1->SetSelText(QStringLiteral("?"));
        modal.answerMessage(tp::MsgResult::Yes);
        doc->subWindow()->close();
        settle();
        QCOMPARE(readBytes(path), QByteArray("old!?\r\n"));
    }

    void everyByteAndLineEndRoundTripsThroughOpenAndSave() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        QByteArray content;
        for (int b = 0; b < 256; ++b) content.append(char(b));
        content += QByteArray("a\r\nb\nc\rd\n\r\0e\r\n", 15);
        content += "\xef\xbb\xbf utf-8 bytes \xc3\xa9 \xf0\x9f\x98\x80";
        const QString path = dir.file(QStringLiteral("all.bin"));
        writeBytes(path, content);
        open(*frame, path);
        frame->mnuFileSave_Click();
        // Without a line end at its end it gets one, of its most frequent kind (3 LF, 2 CR LF, 2 CR).
        QCOMPARE(readBytes(path), content + "\n");
        QCOMPARE(modal.messages.size(), 0);
    }

    // Save adds a line end only where the text ends without one, in the document's own kind, and
    // none at all when the user turned that off. A file saved again unchanged keeps its bytes.
    void finalLineEnd_data() {
        QTest::addColumn<QByteArray>("file");   // empty: a new document
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("finalLineEnd");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("new, abc") << QByteArray() << "abc" << true << QByteArray("abc\r\n");
        QTest::newRow("new, empty") << QByteArray() << "" << true << QByteArray("\r\n");
        QTest::newRow("new, ends in a line end") << QByteArray() << "abc\r\n" << true << QByteArray("abc\r\n");
        QTest::newRow("new, turned off") << QByteArray() << "abc" << false << QByteArray("abc");
        QTest::newRow("new, empty, turned off") << QByteArray() << "" << false << QByteArray();
        QTest::newRow("LF file unchanged") << QByteArray("a\nb\n") << "" << true << QByteArray("a\nb\n");
        QTest::newRow("LF file, last line typed") << QByteArray("a\nb\n") << "c" << true << QByteArray("a\nb\nc\n");
        QTest::newRow("CR file") << QByteArray("a\rb") << "" << true << QByteArray("a\rb\r");
        QTest::newRow("CR LF file unchanged") << QByteArray("a\r\n") << "" << true << QByteArray("a\r\n");
        QTest::newRow("mixed, LF most") << QByteArray("a\r\nb\nc\nd") << "" << true << QByteArray("a\r\nb\nc\nd\n");
        QTest::newRow("LF file, turned off") << QByteArray("a\nb") << "" << false << QByteArray("a\nb");
    }
    void finalLineEnd() {
        QFETCH(QByteArray, file);
        QFETCH(QString, typed);
        QFETCH(bool, finalLineEnd);
        QFETCH(QByteArray, saved);
        ScratchDir dir;
        QStandardPaths::setTestModeEnabled(true);
        const prefs::Editor kept = DocumentView::preferences();
        prefs::Editor p = kept;
        p.finalLineEnd = finalLineEnd;
        DocumentView::setPreferences(p);
        auto frame = makeFrame();
        ScriptedModal modal;
        const QString path = dir.file(QStringLiteral("page.htm"));
        Form1* doc = frame->ActiveForm();
        if (!file.isEmpty()) {
            writeBytes(path, file);
            doc = open(*frame, path);
        } else {
            modal.answerFile(path);
        }
        const qint64 end = doc->RTB1->byteLength();
        doc->RTB1->selectBytes(end, end);
        doc->RTB1->SetSelText(typed);
        frame->mnuFileSave_Click();
        frame->mnuFileSave_Click();   // and again: the same bytes
        DocumentView::setPreferences(kept);
        QCOMPARE(readBytes(path), saved);
    }

    void unencodableCharacterStopsTheSaveBeforeWriting() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        const QString path = dir.file(QStringLiteral("page.htm"));
        writeBytes(path, "original");
        Form1* doc = open(*frame, path);
        doc->RTB1->SetText(QStringLiteral("line one\r\nab\u03a9c"));
        frame->mnuFileSave_Click();
        QCOMPARE(readBytes(path), QByteArray("original"));
        QCOMPARE(frame->table().DocumentStates[doc->slot()].Changed, -1);
        QCOMPARE(modal.messages.size(), 1);
        const QString text = modal.messages.first().text;
        QVERIFY2(text.startsWith(QStringLiteral("Can't save file: ") + path), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("U+03A9")) && text.contains(QStringLiteral("line 2, column 3")),
                 qPrintable(text));
    }

    void failedWriteIsReportedAndLeavesOldFileAndChangedFlag() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        const QString path = dir.file(QStringLiteral("page.htm"));
        writeBytes(path, "precious old text");
        Form1* doc = open(*frame, path);
        doc->RTB1->SetText(QStringLiteral("new text"));
        io::setWriteFaultInjector([](qint64) { return EIO; });
        frame->mnuFileSave_Click();
        QCOMPARE(readBytes(path), QByteArray("precious old text"));
        QCOMPARE(frame->table().DocumentStates[doc->slot()].Changed, -1);
        QCOMPARE(modal.messages.size(), 1);
        QVERIFY(modal.messages.first().text.contains(path));
        QVERIFY(modal.messages.first().text.contains(QString::fromLocal8Bit(strerror(EIO))));
        // A Yes in the close prompt whose save fails keeps the window open.
        modal.answerMessage(tp::MsgResult::Yes);
        doc->subWindow()->close();
        settle();
        QVERIFY(frame->documentWindows().contains(doc));
    }

    void invalidPathIsReported() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        frame->ActiveForm()->RTB1->SetText(QStringLiteral("x"));
        const QString path = dir.file(QStringLiteral("no/such/folder/page.htm"));
        modal.answerFile(path);
        frame->mnuFileSave_Click();
        QCOMPARE(modal.messages.size(), 1);
        QVERIFY(modal.messages.first().text.contains(path));
        QCOMPARE(frame->table().DocumentStates[1].Changed, -1);
        // The caption took the chosen name before the write, as a completed dialog does.
        QCOMPARE(frame->ActiveForm()->Caption(), path);
    }

    // A real full disk: a small tmpfs mounted in a private mount namespace.
    void fullDiskKeepsTheOldFile() {
        if (::geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("unshare")).isEmpty())
            QSKIP("needs root and unshare for a private tmpfs");
        QTemporaryDir mnt;
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TESSELPAD_FULLDISK_DIR"), mnt.path());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("unshare"),
                {QStringLiteral("-m"), QStringLiteral("--propagation"), QStringLiteral("private"), QStringLiteral("sh"),
                 QStringLiteral("-c"),
                 QStringLiteral("mount -t tmpfs -o size=256k none \"$TESSELPAD_FULLDISK_DIR\" && exec \"$0\""),
                 QCoreApplication::applicationFilePath()});
        QVERIFY(p.waitForFinished(60000));
        const QByteArray out = p.readAllStandardOutput() + p.readAllStandardError();
        if (out.contains("mount:")) QSKIP("tmpfs cannot be mounted here");
        QVERIFY2(p.exitCode() == 0, out.constData());
        QVERIFY2(out.contains("FULLDISK OK"), out.constData());
    }

    // Save As and Open start in the document's folder, Save As with its name filled in; an
    // untitled document's dialogs start where a file was last chosen.
    void dialogsStartWhereTheDocumentIs() {
        ScratchDir dir;
        QVERIFY(QDir().mkpath(dir.file(QStringLiteral("site/css"))));
        const QString page = dir.file(QStringLiteral("site/Page.htm"));
        writeBytes(page, "text");
        auto frame = makeFrame();
        ScriptedModal modal;
        QVERIFY(documents::openDocument(*frame, page));
        modal.answerFile(QString());
        frame->mnuFileSaveAs_Click();
        modal.answerFile(dir.file(QStringLiteral("site/css/gone.css")));
        frame->mnuFileOpen_Click();
        documents::NewDocument(*frame);
        modal.answerFile(QString());
        frame->mnuFileSaveAs_Click();
        QCOMPARE(modal.fileDialogs.size(), 3);
        const auto& q = modal.fileDialogs;
        QCOMPARE((QStringList{q[0].folder, q[0].fileName}), (QStringList{dir.file("site"), "Page.htm"}));
        QCOMPARE((QStringList{q[1].folder, q[1].fileName}), (QStringList{dir.file("site"), ""}));
        QCOMPARE((QStringList{q[2].folder, q[2].fileName}), (QStringList{dir.file("site/css"), ""}));
    }
};

// The child of fullDiskKeepsTheOldFile: saves a document too large for the small disk.
static int fullDiskChild(const QString& dirPath) {
    QDir::setCurrent(dirPath);
    auto frame = makeFrame();
    ScriptedModal modal;
    const QString path = dirPath + QStringLiteral("/page.htm");
    const QByteArray old(100 * 1024, 'o');
    writeBytes(path, old);
    Form1* doc = documents::openDocument(*frame, path);
    doc->RTB1->SetText(QString(200 * 1024, QLatin1Char('n')));
    frame->mnuFileSave_Click();
    const bool oldIntact = readBytes(path) == old;
    const bool reported = modal.messages.size() == 1 && modal.messages.first().text.contains(path);
    const bool stillChanged = frame->table().DocumentStates[doc->slot()].Changed == -1;
    const bool noLeftovers = QDir(dirPath).entryList({QStringLiteral(".tesselpad-save-*")}, QDir::Hidden | QDir::Files).isEmpty();
    if (oldIntact && reported && stillChanged && noLeftovers) {
        std::printf("FULLDISK OK\n");
        return 0;
    }
    std::printf("FULLDISK FAILED intact=%d reported=%d changed=%d noLeftovers=%d\n", oldIntact, reported,
                stillChanged, noLeftovers);
    return 1;
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString child = qEnvironmentVariable("TESSELPAD_FULLDISK_DIR");
    if (!child.isEmpty()) return fullDiskChild(child);
    SaveTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "Save_test.moc"
