#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "fileops/DragDrop.h"
#include "platform/FileDrop.h"
#include "platform/RichTextBox.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <memory>

namespace {

std::unique_ptr<QMimeData> filesMime(const QStringList& paths) {
    auto mime = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& p : paths) urls << QUrl::fromLocalFile(p);
    mime->setUrls(urls);
    return mime;
}

struct DragResult {
    bool enterAccepted = false;
    Qt::DropAction action = Qt::IgnoreAction;
};

// Drags the data over a widget and drops it there, as the platform would deliver it.
DragResult dragAndDrop(QWidget* target, const QPoint& pos, const QMimeData* mime,
                       Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction) {
    DragResult r;
    QDragEnterEvent enter(pos, offered, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    r.enterAccepted = enter.isAccepted();
    r.action = enter.dropAction();
    if (r.enterAccepted) {
        QDropEvent drop(QPointF(pos), offered, mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
    } else {
        QDragLeaveEvent leave;
        QApplication::sendEvent(target, &leave);
    }
    settle();
    return r;
}

// A point of the client area that no document window covers.
QPoint emptyPoint(MDIForm1& frame) {
    QWidget* vp = frame.mdiArea()->viewport();
    const QPoint p(vp->width() - 5, vp->height() - 5);
    return vp->childAt(p) ? QPoint() : p;
}

} // namespace

class DragDropTest : public QObject {
    Q_OBJECT
private slots:
    void joinDroppedLines_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("added");
        QTest::newRow("crlf lines") << QByteArray("a\r\nb\r\nc\r\n") << QByteArray("a\r\nb\r\nc");
        QTest::newRow("no break at the end") << QByteArray("a\r\nb\r\nc") << QByteArray("a\r\nb\r\nc");
        QTest::newRow("leading empty lines") << QByteArray("\r\n\r\nx\r\ny\r\n") << QByteArray("x\r\ny");
        QTest::newRow("empty line after text") << QByteArray("a\r\n\r\nb") << QByteArray("a\r\n\r\nb");
        QTest::newRow("empty last line") << QByteArray("a\r\n\r\n") << QByteArray("a\r\n");
        QTest::newRow("lone lf stays inside") << QByteArray("a\nb\nc\n") << QByteArray("a\nb\nc\n");
        QTest::newRow("lone cr ends a line") << QByteArray("a\rb\rc\r") << QByteArray("a\r\nb\r\nc");
        QTest::newRow("cr then crlf") << QByteArray("a\r\r\nb") << QByteArray("a\r\n\r\nb");
        QTest::newRow("lf then cr") << QByteArray("a\n\rb") << QByteArray("a\n\r\nb");
        QTest::newRow("line of one lf first") << QByteArray("\n\r\nx") << QByteArray("\n\r\nx");
        QTest::newRow("only line ends") << QByteArray("\r\n\r\r\n\r") << QByteArray();
        QTest::newRow("empty file") << QByteArray() << QByteArray();
        QTest::newRow("code page bytes and nul")
            << QByteArray("\x80\0\xff\r\n\x81", 6) << QByteArray("\x80\0\xff\r\n\x81", 6);
    }
    void joinDroppedLines() {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, added);
        QCOMPARE(fileops::joinDroppedLines(file), added);
    }

    void fileListsOnlyAreTakenAsFiles() {
        ScratchDir dir;
        auto files = filesMime({dir.file("a.txt"), dir.file("b.txt")});
        QVERIFY(tp::isFileList(files.get()));
        QCOMPARE(tp::firstDroppedPath(files.get()), dir.file("a.txt"));
        // A list as file managers write it: the names' bytes, percent-encoded. A name that is not
        // UTF-8 is never taken for its namesake spelled with U+FFFD.
        QMimeData encoded;
        encoded.setData(QStringLiteral("text/uri-list"), "file:///a%20b/%C3%A9%25.htm\r\n");
        QCOMPARE(tp::firstDroppedPath(&encoded), QStringLiteral("/a b/\u00e9%.htm"));
        QCOMPARE(tp::unopenableDroppedName(&encoded), QString());
        encoded.setData(QStringLiteral("text/uri-list"), "file:///a/bad%FF.htm\r\n");
        QCOMPARE(tp::firstDroppedPath(&encoded), QString());
        QCOMPARE(tp::unopenableDroppedName(&encoded), QStringLiteral("/a/bad\\xFF.htm"));

        QMimeData text;
        text.setText(QStringLiteral("/tmp/a.txt"));
        QMimeData picture;
        picture.setImageData(QImage(4, 4, QImage::Format_RGB32));
        QMimeData remote;
        remote.setUrls({QUrl(QStringLiteral("https://example.com/a.txt"))});
        QMimeData mixed;
        mixed.setUrls({QUrl::fromLocalFile(dir.file("a.txt")), QUrl(QStringLiteral("https://example.com/b"))});
        const QList<const QMimeData*> refused{&text, &picture, &remote, &mixed, nullptr};
        for (const QMimeData* m : refused) {
            QVERIFY(!tp::isFileList(m));
            QCOMPARE(tp::firstDroppedPath(m), QString());
        }
    }

    // A file holding a, b and c dropped on a document holding xyz.
    void documentDropAppendsJoinedLinesAtTheEnd() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        writeBytes(dir.file("abc.txt"), "a\r\nb\r\nc\r\n");
        Form1* doc = frame->ActiveForm();
        doc->RTB1->SetText(QStringLiteral("xyz"));
        frame->table().DocumentStates[1].Changed = 0;
        doc->RTB1->SetSelStart(1);
        doc->RTB1->SetSelLength(1);   // a selection is not replaced
        frame->strCurrentFile = QStringLiteral("keep");

        fileops::documentDropFile(*doc->RTB1, dir.file("abc.txt"));
        QCOMPARE(doc->RTB1->Text(), QStringLiteral("xyza\r\nb\r\nc"));
        QCOMPARE(doc->RTB1->SelStart(), doc->RTB1->TextLength());
        QCOMPARE(doc->RTB1->SelLength(), 0);
        QCOMPARE(frame->table().DocumentStates[1].Changed, -1);
        QCOMPARE(doc->Caption(), QStringLiteral("Document"));
        QCOMPARE(doc->Tag(), QStringLiteral("1"));
        QCOMPARE(frame->strCurrentFile, QStringLiteral("keep"));
        QCOMPARE(frame->documentWindows().size(), 1);
        QCOMPARE(modal.messages.size(), 0);

        // The bytes are code-page text; an undo takes the whole drop back.
        writeBytes(dir.file("cp.txt"), "\r\n\x80\xe9\n\x81");
        fileops::documentDropFile(*doc->RTB1, dir.file("cp.txt"));
        QCOMPARE(doc->RTB1->Text(), QStringLiteral("xyza\r\nb\r\nc€é\n\u0081"));
        doc->RTB1->undo();
        QCOMPARE(doc->RTB1->Text(), QStringLiteral("xyza\r\nb\r\nc"));
        // UTF-8 cut inside its last character goes in as its bytes, the cut one too.
        writeBytes(dir.file("cut.txt"), "caf\xc3\xa9 \xe2\x82");
        fileops::documentDropFile(*doc->RTB1, dir.file("cut.txt"));
        const qint64 n = doc->RTB1->byteLength();
        QCOMPARE(QByteArray(doc->RTB1->rangePointer(0, n), n), QByteArray("xyza\r\nb\r\nccaf\xc3\xa9 \xe2\x82"));
    }

    void documentDropOfAnUnreadableFileChangesNothing_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << QStringLiteral("missing.txt");
        QTest::newRow("folder") << QStringLiteral("sub");
    }
    void documentDropOfAnUnreadableFileChangesNothing() {
        QFETCH(QString, name);
        ScratchDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("sub"));
        auto frame = makeFrame();
        ScriptedModal modal;
        Form1* doc = frame->ActiveForm();
        doc->RTB1->SetText(QStringLiteral("xyz"));
        frame->table().DocumentStates[1].Changed = 0;
        fileops::documentDropFile(*doc->RTB1, dir.file(name));
        QCOMPARE(doc->RTB1->Text(), QStringLiteral("xyz"));
        QCOMPARE(frame->table().DocumentStates[1].Changed, 0);
        QCOMPARE(modal.messages.size(), 1);
        QVERIFY(modal.messages[0].text.startsWith(QStringLiteral("Can't open file: ") + dir.file(name) + "\r\n\r\n"));
        QVERIFY(modal.messages[0].text.size() > (QStringLiteral("Can't open file: ") + dir.file(name) + "\r\n\r\n").size());
        QCOMPARE(modal.messages[0].title, QStringLiteral("Tesselpad"));
    }

    // Dropped on a window that is not the active one, that window becomes the active one and
    // takes the text.
    void dropOnADocumentGoesWhereItFalls() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        writeBytes(dir.file("one.txt"), "\r\n\r\nfirst\nstill first\rsecond\r\n");
        Form1* first = frame->ActiveForm();
        Form1* second = documents::NewDocument(*frame);
        second->RTB1->SetText(QStringLiteral("xyz"));
        QCOMPARE(frame->ActiveForm(), second);

        auto files = filesMime({dir.file("one.txt"), dir.file("other.txt")});
        const DragResult r = dragAndDrop(first->RTB1->viewport(), QPoint(10, 10), files.get());
        QVERIFY(r.enterAccepted);
        QCOMPARE(r.action, Qt::CopyAction);
        QCOMPARE(first->RTB1->Text(), QStringLiteral("first\nstill first\r\nsecond"));
        QCOMPARE(second->RTB1->Text(), QStringLiteral("xyz"));
        QCOMPARE(frame->ActiveForm(), first);
        QCOMPARE(frame->documentWindows().size(), 2);
        QCOMPARE(modal.messages.size(), 0);
    }

    // Text, pictures, addresses and the control's own dragged text are refused in both places.
    void otherDataIsRefusedEverywhere_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("text") << 0;
        QTest::newRow("picture") << 1;
        QTest::newRow("web address") << 2;
        QTest::newRow("own selection") << 3;
        QTest::newRow("files offered for moving only") << 4;
    }
    void otherDataIsRefusedEverywhere() {
        QFETCH(int, kind);
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        Form1* doc = frame->ActiveForm();
        doc->subWindow()->resize(300, 200);
        doc->RTB1->SetText(QStringLiteral("hello world"));
        QMimeData mime;
        switch (kind) {
        case 0: mime.setText(dir.file("a.txt")); break;
        case 1: mime.setImageData(QImage(8, 8, QImage::Format_RGB32)); break;
        case 2: mime.setUrls({QUrl(QStringLiteral("https://example.com/"))}); break;
        case 3:
            // What the control offers when its selected text is dragged.
            doc->RTB1->SetSelStart(0);
            doc->RTB1->SetSelLength(5);
            mime.setText(doc->RTB1->SelText());
            break;
        case 4: writeBytes(dir.file("a.txt"), "moved"); mime.setUrls({QUrl::fromLocalFile(dir.file("a.txt"))}); break;
        }
        // A source told "move" may delete its file after the drop.
        const Qt::DropActions offered = kind == 4 ? Qt::MoveAction : Qt::CopyAction | Qt::MoveAction;
        const DragResult onDoc = dragAndDrop(doc->RTB1->viewport(), QPoint(60, 5), &mime, offered);
        QVERIFY(!onDoc.enterAccepted);
        const QPoint empty = emptyPoint(*frame);
        QVERIFY(!empty.isNull());
        const DragResult onFrame = dragAndDrop(frame->mdiArea()->viewport(), empty, &mime, offered);
        QVERIFY(!onFrame.enterAccepted);
        QCOMPARE(doc->RTB1->Text(), QStringLiteral("hello world"));
        QCOMPARE(frame->documentWindows().size(), 1);
        QCOMPARE(modal.messages.size(), 0);
    }

    void frameDropOpensTheFirstFileInANewWindow() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        frame->ActiveForm()->subWindow()->resize(300, 200);
        writeBytes(dir.file("page.htm"), "<p>\r\nx\n");
        writeBytes(dir.file("two.htm"), "two");
        auto files = filesMime({dir.file("page.htm"), dir.file("two.htm"), dir.file("three.htm")});
        const QPoint empty = emptyPoint(*frame);
        QVERIFY(!empty.isNull());

        const DragResult r = dragAndDrop(frame->mdiArea()->viewport(), empty, files.get());
        QVERIFY(r.enterAccepted);
        QCOMPARE(r.action, Qt::CopyAction);
        // The empty untitled window is not reused; only the first file opens.
        QCOMPARE(frame->documentWindows().size(), 2);
        Form1* opened = frame->ActiveForm();
        QCOMPARE(opened->Caption(), dir.file("page.htm").toUpper());
        QCOMPARE(opened->Tag(), QStringLiteral("2"));
        QCOMPARE(opened->RTB1->Text(), QStringLiteral("<p>\r\nx\n"));   // read as Open reads
        QCOMPARE(frame->table().DocumentStates[2].Changed, 0);
        QCOMPARE(frame->documentWindows().first()->Caption(), QStringLiteral("Document"));
        QCOMPARE(frame->strCurrentFile, QString());

        // The same file again opens a second window.
        dragAndDrop(frame->mdiArea()->viewport(), emptyPoint(*frame), files.get());
        QCOMPARE(frame->documentWindows().size(), 3);
        QCOMPARE(frame->ActiveForm()->Caption(), dir.file("page.htm").toUpper());
        QCOMPARE(modal.messages.size(), 0);
    }

    void frameDropOfAFolderOrAMissingFileSaysSo_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("folder") << QStringLiteral("sub");
        QTest::newRow("missing") << QStringLiteral("gone.txt");
    }
    void frameDropOfAFolderOrAMissingFileSaysSo() {
        QFETCH(QString, name);
        ScratchDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("sub"));
        auto frame = makeFrame();
        ScriptedModal modal;
        frame->ActiveForm()->subWindow()->resize(300, 200);
        auto files = filesMime({dir.file(name)});
        dragAndDrop(frame->mdiArea()->viewport(), emptyPoint(*frame), files.get());
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(modal.messages[0].text, QStringLiteral("Can't open file: ") + dir.file(name));
        QCOMPARE(modal.messages[0].buttons, tp::MsgButtons::OK);
        QCOMPARE(modal.messages[0].icon, tp::MsgIcon::None);
        QCOMPARE(frame->documentWindows().size(), 1);
        QCOMPARE(frame->table().upperBound(), 1);   // no slot was claimed
    }

    void emptyFileDroppedOnTheFrameIsAnUnchangedWindow() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        frame->ActiveForm()->subWindow()->resize(300, 200);
        writeBytes(dir.file("empty.txt"), "");
        auto files = filesMime({dir.file("empty.txt")});
        dragAndDrop(frame->mdiArea()->viewport(), emptyPoint(*frame), files.get());
        QCOMPARE(frame->documentWindows().size(), 2);
        QCOMPARE(frame->ActiveForm()->Caption(), dir.file("empty.txt").toUpper());
        QCOMPARE(frame->ActiveForm()->RTB1->Text(), QString());
        QCOMPARE(frame->table().DocumentStates[2].Changed, 0);
    }

    // Only the background of the client area takes files: not a document window's title bar.
    void frameRefusesFilesOverADocumentWindowsTitleBar() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        writeBytes(dir.file("a.txt"), "a");
        QMdiSubWindow* sub = frame->ActiveForm()->subWindow();
        sub->setGeometry(10, 10, 300, 200);
        auto files = filesMime({dir.file("a.txt")});
        const DragResult r = dragAndDrop(sub, QPoint(100, 5), files.get());
        QVERIFY(!r.enterAccepted);
        QCOMPARE(frame->documentWindows().size(), 1);
        QCOMPARE(frame->ActiveForm()->RTB1->Text(), QString());
    }
};

QTEST_MAIN(DragDropTest)
#include "DragDrop_test.moc"
