// What a document's journal holds: after typing through the real key path, program edits, undo,
// edits made while the text is being copied out piece by piece, a text replaced by a load, and a
// compaction at idle, the journal rebuilds the control's text byte for byte.
#include "documents/DocumentJournal.h"
#include "platform/RichTextBox.h"
#include "support/TestFrame.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>


namespace {

qint64 latin1ToUtf8(const char* in, qint64 n, char* out) {
    const QByteArray u = QString::fromLatin1(in, n).toUtf8();
    memcpy(out, u.constData(), u.size());
    return u.size();
}

// Key presses carrying each character of 'text', as a keyboard sends them.
void typeText(QWidget* w, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
        QApplication::sendEvent(w, &release);
    }
}

struct Fixture {
    QTemporaryDir dir;
    io::JournalStore store{dir.path()};
    io::JournalWriter writer{store};
    RichTextBox rtb;
    DocumentJournal journal{rtb, writer, 1, [] { return true; }};

    io::journal::ReadResult onDisk() { return io::journal::read(readBytes(dir.filePath(journal.journal().fileName()))); }
    // Lets the journal catch up: every edit written and its text in place.
    bool settle() {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 5000) {
            QCoreApplication::processEvents();
            journal.flush();
            writer.drain(5000);
            if (journal.state() == DocumentJournal::State::Live && journal.journal().installed()) return true;
        }
        return false;
    }
};

} // namespace

class DocumentJournalTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { DocumentJournal::setTiming({20, 50, 64}); }

    void editsReachTheJournal_data() {
        QTest::addColumn<bool>("fromFile");
        QTest::newRow("untitled: the text copied from the control") << false;
        QTest::newRow("opened: the text read from the file") << true;
    }
    void editsReachTheJournal() {
        QFETCH(bool, fromFile);
        Fixture f;
        const QByteArray fileBytes("caf\xe9\r\nline two\nthree\rNUL\0end", 29);
        const QString path = f.dir.filePath(QStringLiteral("page.htm"));
        writeBytes(path, fileBytes);
        f.rtb.SetTextUtf8(QString::fromLatin1(fileBytes).toUtf8());
        if (fromFile) {
            f.journal.setEncoding(QStringLiteral("latin-1"), latin1ToUtf8);
            f.journal.loadedFrom(path, io::stampOfPath(path));
        }
        f.rtb.setFocus();
        const auto keys = [&](const QString& text) { typeText(&f.rtb, text); };
        f.rtb.selectBytes(5, 5);
        keys(QStringLiteral("typed \u00e9 text"));
        QTest::keyClick(&f.rtb, Qt::Key_Return);
        QTest::keyClick(&f.rtb, Qt::Key_Backspace);   // the CR LF just typed
        QTest::keyClick(&f.rtb, Qt::Key_Backspace);
        QVERIFY2(f.rtb.Text().startsWith(QStringLiteral("caf\u00e9typed \u00e9 tex")), qPrintable(f.rtb.Text()));
        QVERIFY(f.settle());
        f.rtb.selectBytes(0, 3);
        keys(QStringLiteral("over"));   // typing over a selection
        f.rtb.selectBytes(10, 10);
        QTest::keyClick(&f.rtb, Qt::Key_Delete);
        QTest::keyClick(&f.rtb, Qt::Key_Delete);
        f.rtb.selectBytes(f.rtb.byteLength(), f.rtb.byteLength());
        f.rtb.SetSelText(QString::fromUtf8("<p>\0</p>", 8));   // a program edit
        QTest::keyClick(&f.rtb, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(&f.rtb, Qt::Key_Z, Qt::ControlModifier);
        keys(QStringLiteral("!"));
        QVERIFY(f.settle());
        const io::journal::ReadResult r = f.onDisk();
        QVERIFY2(r.ok(), qPrintable(r.reason()));
        QCOMPARE(r.text, f.rtb.bytes(0, f.rtb.byteLength()));
    }

    // Backspaces in a row after a pause (the journal written, the edits since it empty), with
    // the caret where typing ended or moved elsewhere first, and a pause among them.
    void backspacesAfterAPause_data() {
        QTest::addColumn<int>("caret");      // where the Backspaces start; -1: where typing ended
        QTest::addColumn<int>("pauseAfter"); // a pause after this many of them
        QTest::addColumn<bool>("fromFile");  // the journal's text read from the document's file
        QTest::newRow("where typing ended") << -1 << 0 << false;
        QTest::newRow("where typing ended, opened from a file") << -1 << 0 << true;
        QTest::newRow("elsewhere") << 6 << 0 << false;
        QTest::newRow("elsewhere, a pause among them") << 6 << 2 << true;
        QTest::newRow("at the end of the text") << 23 << 1 << false;
    }
    void backspacesAfterAPause() {
        QFETCH(int, caret);
        QFETCH(int, pauseAfter);
        QFETCH(bool, fromFile);
        Fixture f;
        f.rtb.SetTextUtf8("0123456789abcdefghij");
        const QString path = f.dir.filePath(QStringLiteral("page.htm"));
        writeBytes(path, "0123456789abcdefghij");
        f.journal.setEncoding(QStringLiteral("latin-1"), latin1ToUtf8);
        if (fromFile) f.journal.loadedFrom(path, io::stampOfPath(path));
        else QVERIFY(f.settle());
        f.rtb.setFocus();
        f.rtb.selectBytes(12, 12);
        typeText(&f.rtb, QStringLiteral("XYZ"));
        QTest::qWait(120);   // written, and idle
        if (caret >= 0) f.rtb.selectBytes(caret, caret);
        for (int i = 0; i < 5; ++i) {
            if (i == pauseAfter && i > 0) QTest::qWait(120);
            QTest::keyClick(&f.rtb, Qt::Key_Backspace);
        }
        QVERIFY(f.settle());
        QCOMPARE(f.onDisk().text, f.rtb.bytes(0, f.rtb.byteLength()));
    }

    // The text is copied a piece per turn of the event loop; edits before the copied part, after
    // it and across its end come in between.
    void editsWhileTheTextIsCopied() {
        Fixture f;
        QByteArray text;
        for (int i = 0; text.size() < (7 << 19); ++i) text += "line " + QByteArray::number(i) + "\r\n";
        f.rtb.SetTextUtf8(text);
        f.journal.flush();
        QCOMPARE(f.journal.state(), DocumentJournal::State::Pieces);
        f.rtb.setFocus();
        const qint64 middle = 3 << 19;
        for (int turn = 0; turn < 6; ++turn) {
            QCoreApplication::processEvents();   // one more piece
            f.rtb.selectBytes(turn * 7, turn * 7);
            QTest::keyClick(&f.rtb, Qt::Key_X);
            f.rtb.selectBytes(f.rtb.byteLength() - 5, f.rtb.byteLength() - 5);
            QTest::keyClick(&f.rtb, Qt::Key_Y);
            f.rtb.selectBytes(middle - 100, middle + 100);   // across the copied part's end, at times
            QTest::keyClick(&f.rtb, Qt::Key_Delete);
        }
        QVERIFY(f.settle());
        QCOMPARE(f.onDisk().text, f.rtb.bytes(0, f.rtb.byteLength()));
    }

    // A text replaced whole (without notices) under a journal, then many edits compacted at idle.
    void replacedTextAndCompaction() {
        Fixture f;
        f.rtb.SetTextUtf8("first text");
        QVERIFY(f.settle());
        f.rtb.SetTextUtf8("second text, replaced");
        QVERIFY(f.settle());
        QCOMPARE(f.onDisk().text, QByteArray("second text, replaced"));
        f.rtb.setFocus();
        for (int i = 0; i < 40; ++i) {
            f.rtb.selectBytes(i % 7, i % 7);
            QTest::keyClick(&f.rtb, Qt::Key_A);
            QTest::qWait(i % 10 == 0 ? 30 : 0);   // several writes
        }
        QVERIFY(f.settle());
        QVERIFY(f.onDisk().edits > 1);
        QTest::qWait(100);   // idle: compacted
        QVERIFY(f.writer.drain(5000));
        const io::journal::ReadResult r = f.onDisk();
        QCOMPARE(r.edits, qint64(0));
        QCOMPARE(r.text, f.rtb.bytes(0, f.rtb.byteLength()));
    }
};

QTEST_MAIN(DocumentJournalTest)
#include "DocumentJournal_test.moc"
