#include "app/MDIForm1.h"
#include "app/Palette.h"
#include "documents/DocumentCommands.h"
#include "documents/DocumentView.h"
#include "documents/Form1.h"
#include "documents/Indentation.h"
#include "documents/Matching.h"
#include "documents/Theme.h"
#include "io/Preferences.h"
#include "platform/RichTextBox.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QAction>
#include <QApplication>
#include <QFontDatabase>
#include <QStyle>
#include <QTest>
#include <QWheelEvent>
#include <Qsci/qscilexer.h>

#include <sys/stat.h>

namespace {
using Sci = QsciScintillaBase;

long sci(RichTextBox& rtb, unsigned msg, unsigned long w = 0, long l = 0) { return rtb.SendScintilla(msg, w, l); }

QColor styleColour(RichTextBox& rtb, unsigned msg, int style) {
    const long c = sci(rtb, msg, static_cast<unsigned long>(style));
    return QColor(c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff);
}

matching::Span spanOf(const QByteArray& text) { return {text.constData(), text.size(), 0}; }
} // namespace

class ViewTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir config_;

private slots:
    void initTestCase() {
        // The preferences go to a folder of this test's own, never the user's.
        qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
    }

    void unindentStep_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("cut");
        QTest::newRow("tab") << QByteArray("\t\tx") << 4 << 1;
        QTest::newRow("four spaces") << QByteArray("      x") << 4 << 4;
        QTest::newRow("fewer spaces") << QByteArray("  x") << 4 << 2;
        QTest::newRow("spaces then tab") << QByteArray("  \tx") << 4 << 3;
        QTest::newRow("width 2") << QByteArray("    x") << 2 << 2;
        QTest::newRow("none") << QByteArray("x  ") << 4 << 0;
        QTest::newRow("empty") << QByteArray() << 8 << 0;
    }
    void unindentStep() {
        QFETCH(QByteArray, line);
        QFETCH(int, width);
        QFETCH(int, cut);
        QCOMPARE(indentation::unindentStep(line.constData(), line.size(), width), qint64(cut));
    }

    void pairs_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("partner");
        QTest::newRow("after open brace") << QByteArray("f(a[1]) {}") << 2 << 1 << 6;
        QTest::newRow("at close bracket") << QByteArray("f(a[1]) {}") << 5 << 5 << 3;
        QTest::newRow("nested") << QByteArray("{{}{}}") << 1 << 0 << 5;
        QTest::newRow("unmatched") << QByteArray("((x)") << 1 << 0 << -1;
        QTest::newRow("quote opens") << QByteArray("a=\"x\" b='y'") << 3 << 2 << 4;
        QTest::newRow("quote closes") << QByteArray("a=\"x\" b='y'") << 11 << 10 << 8;
        QTest::newRow("escaped quote") << QByteArray("\"a\\\"b\"") << 1 << 0 << 5;
        QTest::newRow("apostrophe alone") << QByteArray("don't") << 4 << -1 << -1;
        QTest::newRow("nothing") << QByteArray("abc") << 1 << -1 << -1;
    }
    void pairs() {
        QFETCH(QByteArray, text);
        QFETCH(int, caret);
        QFETCH(int, at);
        QFETCH(int, partner);
        const matching::Pair p = matching::braceAt(spanOf(text), caret, 0, text.size());
        QCOMPARE(p.at, qint64(at));
        QCOMPARE(p.partner, qint64(partner));
    }

    void tags_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("name");
        QTest::addColumn<int>("partner");
        const QByteArray page = "<div class=\"a>b\"><DIV><br><img/><!-- </div> --></div>x</Div>";
        QTest::newRow("in the open tag") << page << 3 << 1 << 56;
        QTest::newRow("nested, upper case") << page << 18 << 18 << 49;
        QTest::newRow("close tag back") << page << 50 << 49 << 18;
        QTest::newRow("just after the tag") << page << 53 << 49 << 18;
        QTest::newRow("outer close") << page << 55 << 56 << 1;
        QTest::newRow("void element") << page << 24 << -1 << -1;
        QTest::newRow("self-closed") << page << 28 << -1 << -1;
        QTest::newRow("in text") << QByteArray("<p>some text</p>") << 6 << -1 << -1;
        QTest::newRow("no partner") << QByteArray("<p>text") << 1 << -1 << -1;
    }
    void tags() {
        QFETCH(QByteArray, text);
        QFETCH(int, caret);
        QFETCH(int, name);
        QFETCH(int, partner);
        const matching::TagPair t = matching::tagAt(spanOf(text), caret);
        QCOMPARE(t.name, qint64(name));
        QCOMPARE(t.partner, qint64(partner));
    }

    // Every style of every colouring stays readable on its paper, with a light and a dark palette,
    // and the colours follow a palette change while the window is open.
    void coloursFollowThePalette() {
        ScratchDir dir;
        auto frame = makeFrame();
        Form1* form = frame->ActiveForm();
        RichTextBox& rtb = *form->RTB1;
        DocumentView* view = DocumentView::of(form);
        const QPalette original = QApplication::palette();
        for (const bool dark : {false, true}) {
            QApplication::setPalette(dark ? palettes::dark() : QApplication::style()->standardPalette());
            settle();
            const QColor paper = QApplication::palette().color(QPalette::Base);
            for (const syntax::Kind kind :
                 {syntax::Kind::Plain, syntax::Kind::Html, syntax::Kind::Xml, syntax::Kind::Css, syntax::Kind::Java,
                  syntax::Kind::JavaScript, syntax::Kind::Json, syntax::Kind::Php, syntax::Kind::Markdown,
                  syntax::Kind::Scss, syntax::Kind::Less}) {
                view->setSyntaxKind(kind);
                QCOMPARE(styleColour(rtb, Sci::SCI_STYLEGETBACK, Sci::STYLE_DEFAULT), paper);
                for (int style = 0; style < 128; ++style) {
                    if (view->lexer() && view->lexer()->description(style).isEmpty()) continue;
                    if (!view->lexer() && style > 1) break;
                    const QColor fore = styleColour(rtb, Sci::SCI_STYLEGETFORE, style);
                    const QColor back = styleColour(rtb, Sci::SCI_STYLEGETBACK, style);
                    QVERIFY2(theme::contrast(fore, back) >= theme::kMinContrast,
                             qPrintable(QStringLiteral("%1 style %2: %3 on %4").arg(syntax::kindName(kind)).arg(style)
                                            .arg(fore.name(), back.name())));
                    if (dark) QVERIFY2(back.lightnessF() < 0.35, qPrintable(back.name()));
                }
            }
        }
        QApplication::setPalette(original);
    }

    void preferencesPersistAndApplyToEveryWindow() {
        ScratchDir dir;
        auto frame = makeFrame();
        Form1* second = documents::NewDocument(*frame);
        // The default size is the desktop's fixed-width font's.
        QCOMPARE(sci(*second->RTB1, Sci::SCI_STYLEGETSIZE, 0), long(QFontDatabase::systemFont(QFontDatabase::FixedFont).pointSize()));
        frame->item("mnuViewZoomIn")->trigger();
        frame->item("mnuViewZoomIn")->trigger();
        frame->item("mnuViewTabWidth2")->trigger();
        frame->item("mnuViewIndentSpaces")->trigger();
        QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::ControlModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(second->RTB1->viewport(), &wheel);
        for (Form1* f : frame->documentWindows()) {
            QCOMPARE(sci(*f->RTB1, Sci::SCI_GETZOOM), 1L);
            QCOMPARE(f->RTB1->tabWidth(), 2);
            QVERIFY(!f->RTB1->indentationsUseTabs());
        }
        const prefs::Editor kept = prefs::read();
        QCOMPARE(kept.zoom, 1);
        QCOMPARE(kept.tabWidth, 2);
        QVERIFY(kept.indentWithSpaces);
        frame->item("mnuViewZoomReset")->trigger();
        QCOMPARE(prefs::read().zoom, 0);
        DocumentView::setPreferences(prefs::Editor{});

        // A garbled file gives the defaults.
        writeBytes(prefs::path(), "[editor]\ntabWidth=3\nzoom=banana\nindentWithSpaces=maybe\n\x01\xff=\n"
                                  "spelling=maybe\nspellCode=2\nspellingLanguage=../../etc/passwd\n");
        QCOMPARE(prefs::read(), prefs::Editor{});
        // So does one far too large (200 MB were read for seconds at start-up), and a pipe, which is
        // not written through either.
        writeBytes(prefs::path(), "[editor]\nzoom=3\n");
        QVERIFY(QFile::resize(prefs::path(), 200 << 20));
        QCOMPARE(prefs::read(), prefs::Editor{});
        QVERIFY(QFile::remove(prefs::path()) && ::mkfifo(QFile::encodeName(prefs::path()).constData(), 0600) == 0);
        QVERIFY(prefs::read() == prefs::Editor{} && !prefs::write(prefs::Editor{}));
        QVERIFY(QFile::remove(prefs::path()));
    }

    // Folding hides lines, never changes them: blocks of markup, CSS and script fold; Fold All
    // keeps the caret in sight; a caret sent into folded lines unfolds them; the preference takes
    // the margin away and shows every line.
    void foldingHidesLinesOnly() {
        ScratchDir dir;
        const QByteArray page = "<html>\r\n<body>\r\n<div>\r\n<p>a</p>\r\n</div>\r\n<script>\r\nif (x) {\r\n"
                                "  y();\r\n}\r\n</script>\r\n</body>\r\n</html>\r\n";
        const QByteArray block = "a {\r\n  b: c;\r\n}\r\n";
        writeBytes(dir.file(QStringLiteral("f.html")), page);
        writeBytes(dir.file(QStringLiteral("f.css")), block);
        writeBytes(dir.file(QStringLiteral("f.js")), block);
        auto frame = makeFrame();
        for (const char* name : {"f.css", "f.js"}) {
            Form1* form = documents::openDocument(*frame, dir.file(QLatin1String(name)));
            sci(*form->RTB1, Sci::SCI_COLOURISE, 0, -1);
            QVERIFY2(sci(*form->RTB1, Sci::SCI_GETFOLDLEVEL, 0) & Sci::SC_FOLDLEVELHEADERFLAG, name);
        }
        Form1* form = documents::openDocument(*frame, dir.file(QStringLiteral("f.html")));
        RichTextBox& rtb = *form->RTB1;
        DocumentView* view = DocumentView::of(form);
        const auto visibleLines = [&] {
            int n = 0;
            for (long line = 0; line < rtb.lineCount(); ++line) n += sci(rtb, Sci::SCI_GETLINEVISIBLE, line) ? 1 : 0;
            return n;
        };
        const int all = visibleLines();
        QVERIFY(view->folding() && rtb.marginWidth(2) > 0);
        const qint64 inner = page.indexOf("y()");
        rtb.selectBytes(inner, inner);
        frame->item("mnuViewFoldAll")->trigger();
        QVERIFY(visibleLines() < 4);
        QVERIFY(sci(rtb, Sci::SCI_GETLINEVISIBLE, rtb.lineOfByte(rtb.SelStart())));
        QCOMPARE(rtb.bytes(0, rtb.byteLength()), page);
        rtb.selectBytes(inner, inner);   // as Find or Go to Line do
        settle();
        QVERIFY(sci(rtb, Sci::SCI_GETLINEVISIBLE, rtb.lineOfByte(inner)));
        frame->item("mnuViewUnfoldAll")->trigger();
        QCOMPARE(visibleLines(), all);

        frame->item("mnuViewFoldAll")->trigger();
        frame->item("mnuViewFoldMargin")->trigger();
        QVERIFY(!prefs::read().foldMargin && !view->folding());
        QCOMPARE(rtb.marginWidth(2), 0);
        QCOMPARE(visibleLines(), all);
        QCOMPARE(rtb.bytes(0, rtb.byteLength()), page);
        DocumentView::setPreferences(prefs::Editor{});
        QVERIFY(view->folding());
        // A folded block whose first line loses its brace to a key shows its lines again.
        const long ifLine = rtb.lineOfByte(page.indexOf("if (x)"));
        sci(rtb, Sci::SCI_FOLDLINE, ifLine, Sci::SC_FOLDACTION_CONTRACT);
        QVERIFY(visibleLines() < all);
        rtb.selectBytes(page.indexOf("{"), page.indexOf("{"));
        rtb.setFocus();
        QTest::keyClick(&rtb, Qt::Key_Delete);
        settle();
        QCOMPARE(visibleLines(), all);
    }

    // Enter keeps the indentation as it is; Tab and Shift+Tab shift the selected lines by one step
    // and leave the rest of each line, tabs and spaces, as it was.
    void indentationByKeys() {
        ScratchDir dir;
        auto frame = makeFrame();
        RichTextBox& rtb = *frame->ActiveForm()->RTB1;
        rtb.setFocus();
        rtb.SetText(QStringLiteral("\t  <ul>"));
        QTest::keyClick(&rtb, Qt::Key_End);
        QTest::keyClick(&rtb, Qt::Key_Return);
        QTest::keyClicks(&rtb, QStringLiteral("<li>"));
        QCOMPARE(rtb.Text(), QStringLiteral("\t  <ul>\r\n\t  <li>"));
        QTest::keyClick(&rtb, Qt::Key_Z, Qt::ControlModifier);

        rtb.SetText(QStringLiteral("a\r\n  b\r\n\r\n\tc\r\n"));
        rtb.selectBytes(0, 12);   // the first four lines, ending at the start of the fifth
        QTest::keyClick(&rtb, Qt::Key_Tab);
        QCOMPARE(rtb.Text(), QStringLiteral("\ta\r\n\t  b\r\n\r\n\t\tc\r\n"));
        QTest::keyClick(&rtb, Qt::Key_Backtab, Qt::ShiftModifier);
        QTest::keyClick(&rtb, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(rtb.Text(), QStringLiteral("a\r\nb\r\n\r\nc\r\n"));
        QTest::keyClick(&rtb, Qt::Key_Z, Qt::ControlModifier);   // one step back: one Shift+Tab
        QCOMPARE(rtb.Text(), QStringLiteral("a\r\n  b\r\n\r\n\tc\r\n"));
    }

    void wordWrapRefusesGiantLines() {
        ScratchDir dir;
        ScriptedModal modal;
        auto frame = makeFrame();
        Form1* form = frame->ActiveForm();
        frame->item("mnuViewWordWrap")->trigger();
        QVERIFY(DocumentView::of(form)->wordWrap());
        frame->item("mnuViewWordWrap")->trigger();
        form->RTB1->SetTextUtf8(QByteArray(DocumentView::kMaxWrapLineBytes + 1, 'x'));
        frame->item("mnuViewWordWrap")->trigger();
        QVERIFY(!DocumentView::of(form)->wordWrap());
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(form->RTB1->wrapMode(), QsciScintilla::WrapNone);
    }

    // Long lines are laid out in pieces of alternating look-alike styles; the text stays as it
    // was, the pieces follow typing, and colouring by hand takes over the styles.
    void longLinesInPieces() {
        ScratchDir dir;
        auto frame = makeFrame();
        Form1* form = frame->ActiveForm();
        RichTextBox& rtb = *form->RTB1;
        QByteArray line;
        while (line.size() < 3 * RichTextBox::kLongLineBytes) line += "caf\xc3\xa9 <b>x</b> ";
        rtb.SetTextUtf8("short\r\n" + line + "\r\nend");
        settle();
        const long start = sci(rtb, Sci::SCI_POSITIONFROMLINE, 1);
        int runs = 0;
        for (long p = start; p + 1 < start + line.size(); p = sci(rtb, Sci::SCI_POSITIONAFTER, static_cast<unsigned long>(p)))
            if (sci(rtb, Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(p)) ==
                sci(rtb, Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(sci(rtb, Sci::SCI_POSITIONAFTER, static_cast<unsigned long>(p)))))
                ++runs;
        QCOMPARE(runs, 0);
        QCOMPARE(sci(rtb, Sci::SCI_GETSTYLEAT, 0), 0L);
        QCOMPARE(styleColour(rtb, Sci::SCI_STYLEGETFORE, 1), styleColour(rtb, Sci::SCI_STYLEGETFORE, 0));
        QCOMPARE(rtb.bytes(0, rtb.byteLength()), "short\r\n" + line + "\r\nend");
        // Colouring by hand: the lexer's styles ("caf" is text, "b" a tag's name).
        DocumentView::of(form)->setSyntaxKind(syntax::Kind::Html);
        rtb.SendScintilla(Sci::SCI_COLOURISE, 0, -1);
        QCOMPARE(sci(rtb, Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(start + 1)), 0L);
        QCOMPARE(sci(rtb, Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(start + 7)), 1L);
    }
};

QTEST_MAIN(ViewTest)
#include "View_test.moc"
