#include "documents/DocumentCommands.h"
#include "documents/DocumentView.h"
#include "documents/Form1.h"
#include "documents/LineEnds.h"
#include "edit/EditCommands.h"
#include "platform/RichTextBox.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTest>

using lineends::Counts;

namespace {
// Counting by the definition, one byte at a time.
Counts slowCount(const QByteArray& s) {
    Counts c;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == '\r') {
            if (i + 1 < s.size() && s[i + 1] == '\n') ++c.crlf;
            else ++c.cr;
        } else if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r')) {
            ++c.lf;
        }
    }
    return c;
}

QByteArray randomText(QRandomGenerator& rng, int maxLength) {
    static const char alphabet[] = {'\r', '\n', 'a', '\r', '\n', 'b', ' '};
    QByteArray s;
    const int n = int(rng.bounded(maxLength + 1));
    for (int i = 0; i < n; ++i) s += alphabet[rng.bounded(int(sizeof alphabet))];
    return s;
}
} // namespace

class LineEndsTest : public QObject {
    Q_OBJECT
private slots:
    void kindOfText_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("crlf");
        QTest::addColumn<int>("lf");
        QTest::addColumn<int>("cr");
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << "CR LF" << 2 << 0 << 0;
        QTest::newRow("LF") << QByteArray("a\nb\n\n") << "LF" << 0 << 3 << 0;
        QTest::newRow("CR") << QByteArray("\ra\rb") << "CR" << 0 << 0 << 2;
        QTest::newRow("mixed CR LF and LF") << QByteArray("a\r\nb\n") << "mixed" << 1 << 1 << 0;
        QTest::newRow("mixed CR LF and CR") << QByteArray("a\r\nb\r") << "mixed" << 1 << 0 << 1;
        QTest::newRow("LF CR is two line ends") << QByteArray("a\n\rb") << "mixed" << 0 << 1 << 1;
        QTest::newRow("CR CR LF") << QByteArray("a\r\r\n") << "mixed" << 1 << 0 << 1;
        QTest::newRow("none: what Enter types") << QByteArray("abc") << "CR LF" << 0 << 0 << 0;
        QTest::newRow("empty") << QByteArray() << "CR LF" << 0 << 0 << 0;
        QTest::newRow("only CR LF") << QByteArray("\r\n") << "CR LF" << 1 << 0 << 0;
        QTest::newRow("NUL between") << QByteArray("a\r\0\nb", 5) << "mixed" << 0 << 1 << 1;
    }
    void kindOfText() {
        QFETCH(QByteArray, text);
        QFETCH(QString, name);
        QFETCH(int, crlf);
        QFETCH(int, lf);
        QFETCH(int, cr);
        const Counts c = lineends::count(text.constData(), text.size());
        QCOMPARE(c.crlf, crlf);
        QCOMPARE(c.lf, lf);
        QCOMPARE(c.cr, cr);
        QCOMPARE(lineends::name(lineends::kindOf(text.constData(), text.size())), name);
    }

    // Any cut into pieces, each counted with its neighbouring bytes, adds up to the whole.
    void piecesAddUpToTheWhole() {
        QRandomGenerator rng(7);
        for (int round = 0; round < 300; ++round) {
            const QByteArray s = randomText(rng, 40);
            const Counts whole = slowCount(s);
            QCOMPARE(lineends::count(s.constData(), s.size()), whole);
            for (qsizetype cut = 0; cut <= s.size(); ++cut) {
                const char mid = cut < s.size() ? s[cut] : 0;
                Counts sum = lineends::count(s.constData(), cut, 0, mid);
                sum += lineends::count(s.constData() + cut, s.size() - cut, cut > 0 ? s[cut - 1] : 0, 0);
                QCOMPARE(sum, whole);
            }
        }
    }

    // The window keeps its count up to date through every kind of change, undo included.
    void windowCountFollowsEveryChange() {
        ScratchDir dir;
        auto frame = makeFrame();
        Form1* form = frame->ActiveForm();
        RichTextBox& rtb = *form->RTB1;
        const DocumentView* view = DocumentView::of(form);
        QVERIFY(view);
        QRandomGenerator rng(11);
        const auto check = [&] { QCOMPARE(view->lineEndCounts(), slowCount(rtb.bytes(0, rtb.byteLength()))); };
        rtb.SetText(QStringLiteral("a\r\nb\nc\rd"));
        check();
        for (int step = 0; step < 400; ++step) {
            const qint64 n = rtb.byteLength();
            const qint64 from = rng.bounded(int(n + 1));
            const qint64 to = from + rng.bounded(int(n - from + 1));
            switch (rng.bounded(6)) {
            case 0:
            case 1:   // replace a range (splits and joins CR LF pairs)
                rtb.selectBytes(from, to);
                rtb.SetSelText(QString::fromLatin1(randomText(rng, 6)));
                break;
            case 2:   // delete a range
                rtb.selectBytes(from, to);
                rtb.SetSelText(QString());
                break;
            case 3:   // typed keys
                rtb.selectBytes(from, from);
                QTest::keyClick(&rtb, rng.bounded(2) ? Qt::Key_Return : Qt::Key_Backspace);
                break;
            case 4:
                rtb.SendScintilla(QsciScintillaBase::SCI_UNDO);
                break;
            case 5:
                if (rng.bounded(10) == 0) rtb.SetText(QString::fromLatin1(randomText(rng, 30)));
                else rtb.SendScintilla(QsciScintillaBase::SCI_REDO);
                break;
            }
            check();
            if (QTest::currentTestFailed()) return;
        }
    }

    // The same through the keyboard, where the control reports each change only before it.
    void windowCountFollowsTypedChanges() {
        ScratchDir dir;
        auto frame = makeFrame();
        Form1* form = frame->ActiveForm();
        RichTextBox& rtb = *form->RTB1;
        const DocumentView* view = DocumentView::of(form);
        QRandomGenerator rng(23);
        rtb.SetText(QStringLiteral("a\r\nb\nc\rd\r\n\r\n\n\r"));
        rtb.setFocus();
        for (int step = 0; step < 400; ++step) {
            const qint64 n = rtb.byteLength();
            const qint64 from = rng.bounded(int(n + 1));
            const qint64 to = rng.bounded(3) ? from : from + rng.bounded(int(n - from + 1));
            rtb.selectBytes(from, to);
            switch (rng.bounded(7)) {
            case 0: QTest::keyClick(&rtb, Qt::Key_Return); break;      // over a selection, too
            case 1: QTest::keyClick(&rtb, Qt::Key_Backspace); break;
            case 2: QTest::keyClick(&rtb, Qt::Key_Delete); break;
            case 3: QTest::keyClick(&rtb, Qt::Key_X); break;
            case 4: QTest::keyClick(&rtb, Qt::Key_Z, Qt::ControlModifier); break;
            case 5: QTest::keyClick(&rtb, Qt::Key_Y, Qt::ControlModifier); break;
            case 6: QTest::keyClick(&rtb, Qt::Key_Backspace, Qt::ControlModifier); break;
            }
            QCOMPARE(view->lineEndCounts(), slowCount(rtb.bytes(0, rtb.byteLength())));
        }
    }

    void openedFileIsCountedOnLoad() {
        ScratchDir dir;
        QByteArray text;
        for (int i = 0; i < 20000; ++i) text += (i % 1000 == 999) ? "line\n" : "line\r\n";
        writeBytes(dir.file(QStringLiteral("a.txt")), text);
        auto frame = makeFrame();
        Form1* form = documents::openDocument(*frame, dir.file(QStringLiteral("a.txt")));
        QVERIFY(form);
        const Counts c = DocumentView::of(form)->lineEndCounts();
        QCOMPARE(c.crlf, 19980);
        QCOMPARE(c.lf, 20);
        QCOMPARE(c.cr, 0);
        QCOMPARE(DocumentView::of(form)->lineEndKind(), lineends::Kind::Mixed);
    }

    // Enter (with the indentation it keeps), the HTML insertions and a paste type the document's
    // line end: the most frequent one of the file read in, CR LF in a new document.
    void typedLineEndsFollowTheDocument_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("lineEnd");
        QTest::newRow("LF") << QByteArray("a\nb\n") << QByteArray("\n");
        QTest::newRow("CR") << QByteArray("a\rb\r") << QByteArray("\r");
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QByteArray("\r\n");
        QTest::newRow("mixed, LF most") << QByteArray("a\r\nb\nc\n") << QByteArray("\n");
        QTest::newRow("mixed, a tie") << QByteArray("a\rb\n") << QByteArray("\n");
        QTest::newRow("none") << QByteArray("  abc") << QByteArray("\r\n");
        QTest::newRow("new document") << QByteArray() << QByteArray("\r\n");
    }
    void typedLineEndsFollowTheDocument() {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, lineEnd);
        ScratchDir dir;
        ScriptedModal modal;
        auto frame = makeFrame();
        const QString path = dir.file(QStringLiteral("a.txt"));
        writeBytes(path, file);
        Form1* form = file.isEmpty() ? frame->ActiveForm() : documents::openDocument(*frame, path);
        RichTextBox& rtb = *form->RTB1;
        rtb.setFocus();
        rtb.selectBytes(rtb.byteLength(), rtb.byteLength());
        QTest::keyClicks(&rtb, QStringLiteral("  x"));
        QTest::keyClick(&rtb, Qt::Key_Return);
        editcmd::HtmlTag(*frame, editcmd::HtmlTagKind::Body);
        QGuiApplication::clipboard()->setText(QStringLiteral("p\r\nq\rr\n"));
        editcmd::Paste(*frame);
        const QByteArray& e = lineEnd;
        QCOMPARE(rtb.bytes(0, rtb.byteLength()), file + "  x" + e + "  <Body>" + e + e + "</Body>p" + e + "q" + e + "r" + e);
    }

    // Converting the whole text is one undoable change, and Enter types the new line end.
    void conversionIsOneUndoStep() {
        ScratchDir dir;
        auto frame = makeFrame();
        RichTextBox& rtb = *frame->ActiveForm()->RTB1;
        DocumentView* view = DocumentView::of(frame->ActiveForm());
        rtb.SetText(QStringLiteral("a\r\nb\nc\rd"));
        rtb.selectBytes(6, 6);   // in "c"'s line
        view->convertLineEnds(lineends::Kind::Lf);
        QCOMPARE(rtb.bytes(0, rtb.byteLength()), QByteArray("a\nb\nc\nd"));
        QCOMPARE(rtb.lineOfByte(rtb.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS)), 2);
        QCOMPARE(lineends::enterKind(rtb), lineends::Kind::Lf);
        rtb.SendScintilla(QsciScintillaBase::SCI_UNDO);
        QCOMPARE(rtb.bytes(0, rtb.byteLength()), QByteArray("a\r\nb\nc\rd"));
        QCOMPARE(view->lineEndKind(), lineends::Kind::Mixed);
    }

    void lineNumberMarginFollowsTheLineCount() {
        ScratchDir dir;
        auto frame = makeFrame();
        Form1* form = frame->ActiveForm();
        RichTextBox& rtb = *form->RTB1;
        const DocumentView* view = DocumentView::of(form);
        QCOMPARE(rtb.marginType(0), QsciScintilla::NumberMargin);
        const int narrow = view->lineNumberMarginWidth();
        QVERIFY(narrow > 0);
        rtb.SetText(QString(998, QLatin1Char('\n')));   // 999 lines: still three digits
        QCOMPARE(view->lineNumberMarginWidth(), narrow);
        rtb.SetSelStart(0);
        rtb.SetSelText(QStringLiteral("\r\n"));   // 1000 lines
        const int wider = view->lineNumberMarginWidth();
        QVERIFY(wider > narrow);
        rtb.SendScintilla(QsciScintillaBase::SCI_UNDO);
        QCOMPARE(view->lineNumberMarginWidth(), narrow);
    }
};

QTEST_MAIN(LineEndsTest)
#include "LineEnds_test.moc"
