#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/DocumentView.h"
#include "documents/Form1.h"
#include "documents/HtmlKeywords.h"
#include "documents/Syntax.h"
#include "fileops/SaveCommands.h"
#include "platform/RichTextBox.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"
#include "windows/ViewCommands.h"

#include <QMdiArea>
#include <QScopeGuard>
#include <QTest>
#include <Qsci/qscilexer.h>
#include <Qsci/qscilexerhtml.h>

namespace {
const QByteArray kPage =
    "<html>\r\n<head><title>Caf\xe9</title></head>\r\n<body bgcolor=\"#ffffff\">\r\n"
    "<script>var x = 1; // note</script>\r\n<?php echo $row['t']; ?>\r\n"
    "<% Response.Write(\"x\") %>\r\n<!-- comment -->\r\n<p>Text &amp; more</p>\r\n</body>\r\n</html>\r\n";

// Restores the colouring limit when the test ends.
struct LimitGuard {
    explicit LimitGuard(qint64 bytes) : previous(syntax::setColouringLimit(bytes)) {}
    ~LimitGuard() { syntax::setColouringLimit(previous); }
    qint64 previous;
};

// True when some text of the control carries a style other than the plain one.
bool anyStyled(RichTextBox& rtb) {
    const long n = rtb.byteLength();
    rtb.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
    for (long i = 0; i < n; ++i)
        if (rtb.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(i)) != 0) return true;
    return false;
}

// The style the HTML colouring gives the first character of every name of 'names', each written
// into 'shape' in place of %1, all in one page.
QList<int> htmlStyles(const QStringList& names, const char* shape) {
    RichTextBox rtb;
    QsciLexer* lexer = syntax::makeLexer(syntax::Kind::Html, rtb.font(), &rtb);
    rtb.setLexer(lexer);
    QByteArray page;
    QList<qint64> at;
    for (const QString& name : names) {
        const QByteArray piece = QString::fromLatin1(shape).arg(name).toLatin1();
        at << page.size() + QByteArray(shape).indexOf("%1");
        page += piece + "\r\n";
    }
    rtb.SetTextUtf8(page);
    rtb.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0, -1);
    QList<int> styles;
    for (qint64 pos : at) styles << int(rtb.SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, static_cast<unsigned long>(pos)));
    return styles;
}

QString styleFont(RichTextBox& rtb, int style) {
    char name[256] = {};
    rtb.SendScintilla(QsciScintillaBase::SCI_STYLEGETFONT, static_cast<unsigned long>(style), name);
    return QString::fromLatin1(name);
}

struct EditResult {
    QString text;
    qint64 selStart = -1;
    qint64 selLength = -1;
    int changedAfterOpen = 1;
    int changedAfterEdits = 1;
    int changedAfterSave = 1;
    QByteArray saved;
    bool coloured = false;
};

// Opens the page from 'name', edits it by keys and by the program, and saves it elsewhere.
EditResult openEditSave(const ScratchDir& dir, const QString& name) {
    EditResult r;
    writeBytes(dir.file(name), kPage);
    auto frame = makeFrame();
    Form1* form = documents::openDocument(*frame, dir.file(name));
    if (!form) return r;
    settle();   // painted: whatever colouring there is has been applied to what is on screen
    RichTextBox& rtb = *form->RTB1;
    r.changedAfterOpen = frame->table().DocumentStates[form->slot()].Changed;
    r.coloured = DocumentView::of(form)->colouring() && anyStyled(rtb);
    r.changedAfterOpen |= frame->table().DocumentStates[form->slot()].Changed;   // styling is no change

    rtb.setFocus();
    rtb.SetSelStart(8);
    QTest::keyClicks(&rtb, QStringLiteral("<b>x</b>"));
    QTest::keyClick(&rtb, Qt::Key_Return);
    QTest::keyClicks(&rtb, QStringLiteral("<?php $a = 1; ?>"));
    QTest::keyClick(&rtb, Qt::Key_Backspace);
    QTest::keyClick(&rtb, Qt::Key_Left);
    QTest::keyClick(&rtb, Qt::Key_Left, Qt::ShiftModifier);
    QTest::keyClick(&rtb, Qt::Key_Delete);
    QTest::keyClick(&rtb, Qt::Key_Z, Qt::ControlModifier);   // the control's own undo
    settle();
    rtb.SetSelStart(rtb.TextLength() - 9);
    rtb.SetSelLength(2);
    rtb.SetSelText(QStringLiteral("\xe9<!-- \u20ac -->"));
    QTest::keyClick(&rtb, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(&rtb, QStringLiteral("<%= 1 %>"));
    rtb.SetSelStart(20);
    rtb.SetSelLength(5);
    settle();
    r.text = rtb.Text();
    r.selStart = rtb.SelStart();
    r.selLength = rtb.SelLength();
    r.changedAfterEdits = frame->table().DocumentStates[form->slot()].Changed;
    frame->strCurrentFile = dir.file(QStringLiteral("saved-") + name);
    fileops::SaveFile(*frame, *form);
    r.changedAfterSave = frame->table().DocumentStates[form->slot()].Changed;
    r.saved = readBytes(dir.file(QStringLiteral("saved-") + name));
    form->closeWithoutAsking();
    settle();
    return r;
}
} // namespace

class SyntaxTest : public QObject {
    Q_OBJECT
private slots:
    void extensionTable_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("kind");
        const char* html[] = {"htm", "html", "shtm", "shtml", "stm", "asp", "cfm", "cfml"};
        for (const char* ext : html)
            QTest::newRow(ext) << QStringLiteral("/w/page.") + QLatin1String(ext) << QStringLiteral("html");
        // The files a web author opens besides those the file dialogs list.
        const char* others[][2] = {{"php", "php"},      {"phtml", "php"},     {"js", "javascript"},
                                   {"mjs", "javascript"}, {"cjs", "javascript"}, {"json", "json"},
                                   {"webmanifest", "json"}, {"svg", "xml"},    {"md", "markdown"},
                                   {"markdown", "markdown"}, {"scss", "scss"}, {"less", "less"}};
        for (const auto& [ext, kind] : others)
            QTest::newRow(ext) << QStringLiteral("/w/file.") + QLatin1String(ext) << QString::fromLatin1(kind);
        QTest::newRow("xml") << QStringLiteral("/w/data.xml") << QStringLiteral("xml");
        QTest::newRow("css") << QStringLiteral("/w/site.css") << QStringLiteral("css");
        QTest::newRow("jav") << QStringLiteral("/w/Main.jav") << QStringLiteral("java");
        QTest::newRow("java") << QStringLiteral("/w/Main.java") << QStringLiteral("java");
        QTest::newRow("txt") << QStringLiteral("/w/notes.txt") << QStringLiteral("plain");
        QTest::newRow("untitled") << QString() << QStringLiteral("plain");
        QTest::newRow("upper-case caption") << QStringLiteral("/W/INDEX.HTM") << QStringLiteral("html");
        QTest::newRow("mixed case") << QStringLiteral("Style.Css") << QStringLiteral("css");
        QTest::newRow("no extension") << QStringLiteral("/w/README") << QStringLiteral("plain");
        QTest::newRow("only the last extension") << QStringLiteral("/w/page.html.bak") << QStringLiteral("plain");
        QTest::newRow("last of two") << QStringLiteral("/w/page.txt.php") << QStringLiteral("php");
        QTest::newRow("folder with an extension") << QStringLiteral("/w/site.htm/readme") << QStringLiteral("plain");
        QTest::newRow("unknown") << QStringLiteral("/w/x.rs") << QStringLiteral("plain");
        QTest::newRow("similar") << QStringLiteral("/w/x.xhtml") << QStringLiteral("plain");
    }
    void extensionTable() {
        QFETCH(QString, path);
        QFETCH(QString, kind);
        QCOMPARE(syntax::kindName(syntax::kindForPath(path)), kind);
    }

    void lexersKeepTheDocumentFont_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("html") << int(syntax::Kind::Html);
        QTest::newRow("xml") << int(syntax::Kind::Xml);
        QTest::newRow("css") << int(syntax::Kind::Css);
        QTest::newRow("java") << int(syntax::Kind::Java);
        QTest::newRow("javascript") << int(syntax::Kind::JavaScript);
        QTest::newRow("json") << int(syntax::Kind::Json);
        QTest::newRow("php") << int(syntax::Kind::Php);
        QTest::newRow("markdown") << int(syntax::Kind::Markdown);
        QTest::newRow("scss") << int(syntax::Kind::Scss);
        QTest::newRow("less") << int(syntax::Kind::Less);
    }
    void lexersKeepTheDocumentFont() {
        QFETCH(int, kind);
        RichTextBox rtb;
        const QFont font = rtb.font();
        QsciLexer* lexer = syntax::makeLexer(syntax::Kind(kind), font, &rtb);
        QVERIFY(lexer);
        rtb.setLexer(lexer);
        int described = 0;
        for (int style = 0; style < 128; ++style) {
            if (lexer->description(style).isEmpty()) continue;
            ++described;
            QCOMPARE(lexer->font(style).family(), font.family());
            QCOMPARE(lexer->font(style).pointSizeF(), font.pointSizeF());
            QCOMPARE(styleFont(rtb, style), font.family());
        }
        QVERIFY(described > 5);
        QCOMPARE(styleFont(rtb, QsciScintillaBase::STYLE_DEFAULT), font.family());
        QVERIFY(!syntax::makeLexer(syntax::Kind::Plain, font, &rtb));
    }

    // The heart of it: colouring changes nothing but the looks.
    void colouringChangesNeitherTextNorPositionsNorSavedBytes() {
        ScratchDir dir;
        ScriptedModal modal;
        // The typing aids follow the file's type, not its colouring: they are left out here.
        const prefs::Editor was = DocumentView::preferences();
        prefs::Editor noAids = was;
        noAids.closeTags = noAids.pairBrackets = noAids.abbreviationsOnTab = false;
        DocumentView::setPreferences(noAids);
        const auto restore = qScopeGuard([&] { DocumentView::setPreferences(was); });
        const EditResult on = openEditSave(dir, QStringLiteral("page.htm"));
        EditResult off;
        {
            LimitGuard limit(0);   // colouring off for every document
            off = openEditSave(dir, QStringLiteral("page.htm"));
        }
        const EditResult plain = openEditSave(dir, QStringLiteral("page.txt"));
        QVERIFY(on.coloured);
        QVERIFY(!off.coloured);
        QVERIFY(!plain.coloured);
        const EditResult* others[] = {&off, &plain};
        for (const EditResult* r : others) {
            QCOMPARE(on.text, r->text);
            QCOMPARE(on.selStart, r->selStart);
            QCOMPARE(on.selLength, r->selLength);
            QCOMPARE(on.saved, r->saved);
        }
        QCOMPARE(on.changedAfterOpen, 0);
        QCOMPARE(on.changedAfterEdits, -1);
        QCOMPARE(on.changedAfterSave, 0);
        QCOMPARE(off.changedAfterOpen, 0);
        QVERIFY(on.text.contains(QStringLiteral("<b>x</b>")));
        QVERIFY(on.saved.endsWith("<%= 1 %>\r\n"));
        QVERIFY(on.saved.contains("\xe9<!-- \x80 -->"));
        QCOMPARE(modal.messages.size(), 0);
    }

    void colouringFollowsTheFile() {
        ScratchDir dir;
        ScriptedModal modal;
        writeBytes(dir.file(QStringLiteral("a.xml")), "<?xml version=\"1.0\"?>\r\n<a x=\"1\"/>\r\n");
        writeBytes(dir.file(QStringLiteral("b.css")), "body { color: red; }\r\n");
        auto frame = makeFrame();
        // The start-up window and new windows have no file: plain.
        Form1* first = frame->ActiveForm();
        QVERIFY(!DocumentView::of(first)->colouring());
        Form1* fresh = documents::NewDocument(*frame);
        QVERIFY(!DocumentView::of(fresh)->colouring());

        // Open.
        Form1* xml = documents::openDocument(*frame, dir.file(QStringLiteral("a.xml")));
        QCOMPARE(DocumentView::of(xml)->syntaxKind(), syntax::Kind::Xml);
        QVERIFY(DocumentView::of(xml)->colouring());
        QCOMPARE(QString::fromLatin1(DocumentView::of(xml)->lexer()->lexer()), QStringLiteral("xml"));

        // A drop on the frame.
        frame->DropFile(dir.file(QStringLiteral("b.css")));
        Form1* css = frame->ActiveForm();
        QVERIFY(css != xml);
        QCOMPARE(DocumentView::of(css)->syntaxKind(), syntax::Kind::Css);
        QVERIFY(DocumentView::of(css)->colouring());

        // Save As: to HTML, then to text.
        fresh->RTB1->SetText(QStringLiteral("<p>hello</p>\r\n"));
        frame->mdiArea()->setActiveSubWindow(fresh->subWindow());
        modal.answerFile(dir.file(QStringLiteral("c.html")));
        frame->mnuFileSaveAs_Click();
        QCOMPARE(fresh->Caption(), dir.file(QStringLiteral("c.html")));
        QCOMPARE(DocumentView::of(fresh)->syntaxKind(), syntax::Kind::Html);
        QVERIFY(DocumentView::of(fresh)->colouring());
        QVERIFY(anyStyled(*fresh->RTB1));
        const QString fontFamily = fresh->RTB1->font().family();
        modal.answerFile(dir.file(QStringLiteral("c.txt")));
        frame->mnuFileSaveAs_Click();
        QVERIFY(!DocumentView::of(fresh)->colouring());
        // Back to plain: one style, the document's own font.
        QVERIFY(!anyStyled(*fresh->RTB1));
        QCOMPARE(styleFont(*fresh->RTB1, 0), fontFamily);
        QCOMPARE(readBytes(dir.file(QStringLiteral("c.txt"))), QByteArray("<p>hello</p>\r\n"));   // ends in a line end
    }

    void largeDocumentsAreNotColoured() {
        ScratchDir dir;
        ScriptedModal modal;
        LimitGuard limit(4096);
        QByteArray big;
        while (big.size() <= 4096) big += "<p class=\"x\">text</p>\r\n";
        writeBytes(dir.file(QStringLiteral("big.htm")), big);
        writeBytes(dir.file(QStringLiteral("small.htm")), kPage);
        auto frame = makeFrame();

        Form1* large = documents::openDocument(*frame, dir.file(QStringLiteral("big.htm")));
        settle();
        QCOMPARE(DocumentView::of(large)->syntaxKind(), syntax::Kind::Html);
        QVERIFY(!DocumentView::of(large)->colouring());
        QVERIFY(!anyStyled(*large->RTB1));
        // Colouring chosen by hand is refused, and the user told why.
        viewcmd::Colouring(*frame, syntax::Kind::Css);
        QVERIFY(!DocumentView::of(large)->colouring());
        QCOMPARE(modal.messages.size(), 1);
        QVERIFY(modal.messages.first().text.contains(QStringLiteral("without colouring")));
        modal.messages.clear();

        // A small document grown past the limit by a paste loses its colouring, keeps its text.
        Form1* small = documents::openDocument(*frame, dir.file(QStringLiteral("small.htm")));
        settle();
        QVERIFY(DocumentView::of(small)->colouring());
        QVERIFY(anyStyled(*small->RTB1));
        frame->table().DocumentStates[small->slot()].Changed = 0;
        small->RTB1->SetSelStart(0);
        small->RTB1->SetSelText(QString::fromLatin1(big));
        settle();
        QVERIFY(!DocumentView::of(small)->colouring());
        QVERIFY(!anyStyled(*small->RTB1));
        QCOMPARE(styleFont(*small->RTB1, 0), small->RTB1->font().family());
        QCOMPARE(small->RTB1->Text(), QString::fromLatin1(big + kPage));
        QCOMPARE(frame->table().DocumentStates[small->slot()].Changed, -1);
        // Shrinking again does not bring it back (no re-colouring while editing near the limit)...
        small->RTB1->SetSelStart(0);
        small->RTB1->SetSelLength(big.size());
        small->RTB1->SetSelText(QString());
        settle();
        QVERIFY(!DocumentView::of(small)->colouring());
        // ... the next file assigned to the window does.
        frame->mdiArea()->setActiveSubWindow(small->subWindow());
        modal.answerFile(dir.file(QStringLiteral("again.htm")));
        frame->mnuFileSaveAs_Click();
        QVERIFY(DocumentView::of(small)->colouring());
        QCOMPARE(readBytes(dir.file(QStringLiteral("again.htm"))), kPage);   // ends in a line end
    }

    // Valid markup of today is never shown as an error: every name the colouring knows, the
    // attribute families, and the names a page of today uses, in the case pages write them.
    void todaysMarkupIsNotAnError() {
        QStringList elements = htmlkeywords::elements();
        elements << QStringLiteral("footer") << QStringLiteral("MAIN") << QStringLiteral("linearGradient")
                 << QStringLiteral("feGaussianBlur") << QStringLiteral("foreignObject") << QStringLiteral("template");
        const QList<int> tags = htmlStyles(elements, "<%1 id=\"x\">text</%1>");
        for (qsizetype i = 0; i < elements.size(); ++i)
            QVERIFY2(tags[i] == QsciLexerHTML::Tag, qPrintable(elements[i] + QStringLiteral(" styled %1").arg(tags[i])));

        QStringList attributes = htmlkeywords::attributes();
        attributes << QStringLiteral("min") << QStringLiteral("max") << QStringLiteral("data-user-id")
                   << QStringLiteral("aria-describedby") << QStringLiteral("onclick") << QStringLiteral("onpointerdown")
                   << QStringLiteral("viewBox") << QStringLiteral("xlink:href") << QStringLiteral("xml:lang")
                   << QStringLiteral("xmlns:svg") << QStringLiteral("stroke-linecap") << QStringLiteral("crossorigin");
        const QList<int> attrs = htmlStyles(attributes, "<div %1=\"v\">x</div>");
        for (qsizetype i = 0; i < attributes.size(); ++i)
            QVERIFY2(attrs[i] == QsciLexerHTML::Attribute, qPrintable(attributes[i] + QStringLiteral(" styled %1").arg(attrs[i])));

        // A typing mistake still shows.
        QCOMPARE(htmlStyles({QStringLiteral("dvi")}, "<%1>x</%1>").first(), int(QsciLexerHTML::UnknownTag));
        QCOMPARE(htmlStyles({QStringLiteral("hreff")}, "<a %1=\"x\">x</a>").first(), int(QsciLexerHTML::UnknownAttribute));
        // Script is coloured as JavaScript, with today's keywords.
        QCOMPARE(htmlStyles({QStringLiteral("const")}, "<script>%1 x = 1;</script>").first(),
                 int(QsciLexerHTML::JavaScriptKeyword));
    }
};

QTEST_MAIN(SyntaxTest)
#include "Syntax_test.moc"
