#include "app/MDIForm1.h"
#include "documents/DocumentView.h"
#include "documents/EmbeddedColouring.h"
#include "documents/Form1.h"
#include "edit/Abbreviation.h"
#include "edit/Markup.h"
#include "platform/Indicators.h"
#include "platform/RichTextBox.h"
#include "support/TestFrame.h"

#include <QFile>
#include <QTest>

using markup::Dialect;
Q_DECLARE_METATYPE(Dialect)

namespace {
// "a|b": the text and the caret's place.
std::pair<QByteArray, qint64> caretIn(QByteArray s) {
    const qint64 at = s.indexOf('|');
    s.remove(at, 1);
    return {s, at};
}
} // namespace

class TypingTest : public QObject {
    Q_OBJECT
private slots:
    // What typing '>' or '/' adds after the caret: text before and after it as "before|after".
    void closingTags_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<char>("typed");
        QTest::addColumn<Dialect>("dialect");
        QTest::addColumn<QByteArray>("added");
        const auto row = [](const char* name, const char* text, char typed, const char* added, Dialect d = Dialect::Html) {
            QTest::newRow(name) << QByteArray(text) << typed << d << QByteArray(added);
        };
        row("start tag", "<p|", '>', "</p>");
        row("attributes", "<a href=\"x\" class=a|", '>', "</a>");
        row("'>' in a quoted value", "<a title=\"1 > 0\" data-x='>'|", '>', "</a>");
        row("inside a quoted value", "<a title=\"1 |", '>', "");
        row("case kept", "<DIV|", '>', "</DIV>");
        row("void", "<br|", '>', "");
        row("void in capitals", "<IMG src=x|", '>', "");
        row("obsolete void", "<keygen|", '>', "");
        row("self-closed", "<x /|", '>', "");
        row("comment", "<!-- <p|", '>', "");
        row("after a comment", "<!-- x --><p|", '>', "</p>");
        row("doctype", "<!DOCTYPE html|", '>', "");
        row("processing instruction", "<?php $a-|", '>', "");
        row("in a script", "<script>if (a <b|", '>', "");
        row("in a style", "<style>a<b|", '>', "");
        row("after a script", "<script>x<y</script><b|", '>', "</b>");
        row("end tag", "<p></p|", '>', "");
        row("closed right after", "<p|</p>", '>', "");
        row("closed further on", "<div|<p>x</p></div>", '>', "");
        row("parent closes first", "<ul><li|</ul>", '>', "</li>");
        row("same element nested after", "<div|<div></div></body>", '>', "</div>");
        row("text, not a tag", "a < b|", '>', "");
        row("xml any name", "<svg:rect|", '>', "</svg:rect>", Dialect::Xml);
        row("xml no void list", "<br|", '>', "</br>", Dialect::Xml);
        row("xml case matters", "<Item|</item>", '>', "</Item>", Dialect::Xml);
        row("slash: innermost open", "<div><p>a<|", '/', "p>");
        row("slash: closed ones skipped", "<div><p>a</p><br><img/><|", '/', "div>");
        row("slash: li closes li", "<ul><li>a<li>b</li><|", '/', "ul>");
        row("slash: in a script", "<script>x = 1;<|", '/', "script>");
        row("slash: nothing open", "<p></p><|", '/', "");
        row("slash: in a comment", "<div><!-- <|", '/', "");
        row("slash: name follows", "<div><|p>", '/', "");
        row("slash: closed further on", "<div><p>x<| y</p></div>", '/', "");
        row("slash: typed over", "<div><p>x<|</P></div>", '/', "over 4");
        row("slash: typed over in xml", "<a><b><|</b>", '/', "over 4", Dialect::Xml);
        row("slash: not its end tag", "<div><p>x<|</div>", '/', "p>");
        row("slash: xml", "<a><B><|", '/', "B>", Dialect::Xml);
    }
    void closingTags() {
        QFETCH(QByteArray, text);
        QFETCH(char, typed);
        QFETCH(Dialect, dialect);
        QFETCH(QByteArray, added);
        const auto [s, at] = caretIn(text);
        const QByteArrayView before = QByteArrayView(s).first(at), after = QByteArrayView(s).sliced(at);
        if (typed == '>') {
            QCOMPARE(markup::closingTagAfterGt(before, after, dialect), added);
        } else {
            const markup::SlashTyped slash = markup::slashTyped(before, after, dialect);
            QCOMPARE(slash.over ? "over " + QByteArray::number(slash.over) : slash.insert, added);
        }
    }

    // Select Element from the caret outwards, each step's selection in turn.
    void selectElement_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArrayList>("steps");
        QTest::newRow("content, element, parent") << QByteArray("<div><p>a|b</p> </div>")
                                                  << QByteArrayList{"ab", "<p>ab</p>", "<p>ab</p> ", "<div><p>ab</p> </div>", ""};
        QTest::newRow("empty element") << QByteArray("<p>|</p>") << QByteArrayList{"<p></p>", ""};
        QTest::newRow("in a start tag") << QByteArray("<a href=\"|x\">y</a>") << QByteArrayList{"<a href=\"x\">y</a>"};
        QTest::newRow("void in a list") << QByteArray("<li><br|></li>") << QByteArrayList{"<br>", "<li><br></li>"};
        QTest::newRow("implied ends passed over") << QByteArray("<ul><li>a<li>b|</ul>") << QByteArrayList{"<li>a<li>b", "<ul><li>a<li>b</ul>"};
        QTest::newRow("comment holds no tags") << QByteArray("<b><!-- <i> -->|</b>") << QByteArrayList{"<!-- <i> -->"};
    }
    void selectElement() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArrayList, steps);
        const auto [s, at] = caretIn(text);
        markup::Range sel{at, at};
        for (const QByteArray& step : steps) {
            const markup::Range r = markup::enclosingElement(s, sel.from, sel.to, Dialect::Html);
            QCOMPARE(r.valid() ? s.mid(r.from, r.to - r.from) : QByteArray(), step);
            if (r.valid()) sel = r;
        }
    }

    void pairing_data() {
        QTest::addColumn<char>("typed");
        QTest::addColumn<QByteArray>("around");   // the characters before and after the caret
        QTest::addColumn<bool>("paired");
        QTest::addColumn<int>("result");
        using P = markup::Pairing;
        QTest::newRow("( at the end") << '(' << QByteArray("f\0", 2) << false << int(P::Pair);
        QTest::newRow("( before a word") << '(' << QByteArray(" x") << false << int(P::Type);
        QTest::newRow("\" after =") << '"' << QByteArray("= ") << false << int(P::Pair);
        QTest::newRow("' as an apostrophe") << '\'' << QByteArray("n ") << false << int(P::Type);
        QTest::newRow(") over its pair") << ')' << QByteArray("x)") << true << int(P::TypeOver);
        QTest::newRow(") over one typed by hand") << ')' << QByteArray("x)") << false << int(P::Type);
        QTest::newRow("\" over its pair") << '"' << QByteArray("a\"") << true << int(P::TypeOver);
    }
    void pairing() {
        QFETCH(char, typed);
        QFETCH(QByteArray, around);
        QFETCH(bool, paired);
        QFETCH(int, result);
        QCOMPARE(int(markup::pairingFor(typed, around[0], around[1], paired)), result);
    }

    // Expansions with a tab of indentation and LF line ends; '|' is where the caret goes.
    void abbreviations_data() {
        QTest::addColumn<QByteArray>("abbreviation");
        QTest::addColumn<QByteArray>("expected");   // empty: refused
        QTest::newRow("name") << QByteArray("p") << QByteArray("<p>|</p>");
        QTest::newRow("class and id") << QByteArray("div#main.a.b") << QByteArray("<div id=\"main\" class=\"a b\">|</div>");
        QTest::newRow("implicit div") << QByteArray(".x") << QByteArray("<div class=\"x\">|</div>");
        QTest::newRow("attributes") << QByteArray("a[title='x y' download]") << QByteArray("<a href=\"|\" title=\"x y\" download=\"\"></a>");
        QTest::newRow("void") << QByteArray("img+br") << QByteArray("<img src=\"|\" alt=\"\"><br>");
        QTest::newRow("child, numbers, implicit li") << QByteArray("ul>.i$$*2")
                                                     << QByteArray("<ul>\n\t<li class=\"i01\">|</li>\n\t<li class=\"i02\"></li>\n</ul>");
        QTest::newRow("text, inline child") << QByteArray("p>{Hi }+em{you}") << QByteArray("<p>Hi <em>you</em></p>|");
        QTest::newRow("climb up") << QByteArray("div>p^h1") << QByteArray("<div>\n\t<p>|</p>\n</div>\n<h1></h1>");
        QTest::newRow("group repeated") << QByteArray("(dt+dd)*2") << QByteArray("<dt>|</dt>\n<dd></dd>\n<dt></dt>\n<dd></dd>");
        QTest::newRow("table rows") << QByteArray("table>.r*1>{$}*2") << QByteArray("<table>\n\t<tr class=\"r\">12</tr>\n</table>|");
        QTest::newRow("page") << QByteArray("!") << QByteArray("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n\t<meta charset=\"UTF-8\">\n\t<meta name=\"viewport\" content=\"width=device-width, initial-scale=1.0\">\n\t<title>|</title>\n</head>\n<body>\n\t\n</body>\n</html>");
        QTest::newRow("unclosed group") << QByteArray("(p") << QByteArray();
        QTest::newRow("unclosed brace") << QByteArray("p{x") << QByteArray();
        QTest::newRow("repeat too large") << QByteArray("p*1001") << QByteArray();
        QTest::newRow("too many nodes") << QByteArray("(p*100)*101") << QByteArray();
        QTest::newRow("operator alone") << QByteArray("p>") << QByteArray();
        QTest::newRow("a word with a stop") << QByteArray("end.") << QByteArray();
    }
    void abbreviations() {
        QFETCH(QByteArray, abbreviation);
        QFETCH(QByteArray, expected);
        const abbreviation::Expansion x = abbreviation::expand(abbreviation, {});
        QCOMPARE(x.ok() ? x.text.left(x.caret) + '|' + x.text.mid(x.caret) : QByteArray(), expected);
    }

    void abbreviationStart_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("abbreviation");
        QTest::newRow("after blanks") << QByteArray("  x ul>li") << QByteArray("ul>li");
        QTest::newRow("after a tag") << QByteArray("<div>ul>li") << QByteArray("ul>li");
        QTest::newRow("braces with blanks") << QByteArray("a p{Hello world}") << QByteArray("p{Hello world}");
        QTest::newRow("after a quote") << QByteArray("<a href=\"x") << QByteArray("x");
        QTest::newRow("open bracket") << QByteArray("a]") << QByteArray();
    }
    void abbreviationStart() {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, abbreviation);
        QCOMPARE(line.mid(abbreviation::startIn(line)), abbreviation);
    }

    // The View menu's switches are kept in the user's preferences; a garbled value leaves one on.
    void switchesPersist() {
        ScratchDir dir;
        auto frame = makeFrame();
        frame->item("mnuViewCloseTags")->trigger();
        frame->item("mnuViewPairBrackets")->trigger();
        prefs::Editor kept = prefs::read();
        QVERIFY(!kept.closeTags && !kept.pairBrackets && kept.abbreviationsOnTab);
        frame->mnuView_Click();
        QVERIFY(!frame->item("mnuViewCloseTags")->isChecked() && frame->item("mnuViewAbbreviationsOnTab")->isChecked());
        DocumentView::setPreferences(prefs::Editor{});
        writeBytes(prefs::path(), "[editor]\ncloseTags=maybe\npairBrackets=0\n");
        kept = prefs::read();
        QVERIFY(kept.closeTags && !kept.pairBrackets && kept.abbreviationsOnTab);
        QVERIFY(QFile::remove(prefs::path()));
    }

    // A quote of a page's CSS string is no partner typed by the user: a quote typed before it is
    // put in, not typed over. (The text is read in as a file is: the CSS colours follow it.)
    void quoteBeforeEmbeddedString() {
        ScratchDir dir;
        auto frame = makeFrame();
        Form1* form = frame->ActiveForm();
        DocumentView::of(form)->setSyntaxKind(syntax::Kind::Html);
        RichTextBox& rtb = *form->RTB1;
        rtb.SetText(QStringLiteral("<style>a{b:\"x\"}</style>"));
        rtb.setFocus();
        rtb.SetSelStart(rtb.Text().indexOf(QLatin1String("\"}")));
        QTest::qWait(200);   // the CSS colours are laid once typing pauses
        QVERIFY(rtb.SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT,
                                  tp::indicator::kEmbeddedFirst + int(embedded::Kind::String), rtb.SelStart() - 1L));
        QTest::keyClicks(&rtb, QStringLiteral("\""));
        QCOMPARE(rtb.Text(), QStringLiteral("<style>a{b:\"x\"\"}</style>"));
    }

    // Keys typed in a window coloured as HTML, with the aids on and, for the last rows, off.
    void keys_data() {
        QTest::addColumn<QString>("keys");   // '\t' Tab, '\b' Backspace, '\r' Enter, '\n' Expand Abbreviation
        QTest::addColumn<bool>("on");
        QTest::addColumn<QString>("expected");   // '|' is the caret
        QTest::newRow("tag") << "<p>x" << true << "<p>x|</p>";
        QTest::newRow("end tag") << "<b><i>x</" << true << "<b><i>x</i>|</b>";
        QTest::newRow("quotes typed over") << "<a href=\"x\">" << true << "<a href=\"x\">|</a>";
        QTest::newRow("backspace takes the pair") << "f(\b" << true << "f|";
        QTest::newRow("abbreviation on Tab") << "  ul>li\t" << true << "  <ul>\r\n  \t<li>|</li>\r\n  </ul>";
        QTest::newRow("Tab after a word") << "hello\t" << true << "hello\t|";
        QTest::newRow("Tab in a tag") << "<img alt=\"\" title\t" << true << "<img alt=\"\" title\t|";
        QTest::newRow("Tab, numbered names") << "h$*2\t" << true << "<h1>|</h1>\r\n<h2></h2>";
        QTest::newRow("Expand Abbreviation, any name") << "x foo>bar\n" << false << "x <foo>\r\n\t<bar>|</bar>\r\n</foo>";
        QTest::newRow("enter between tags") << "  <div>\r" << true << "  <div>\r\n  \t|\r\n  </div>";
        QTest::newRow("off") << "<p>(\"\t" << false << "<p>(\"\t|";
    }
    void keys() {
        QFETCH(QString, keys);
        QFETCH(bool, on);
        QFETCH(QString, expected);
        ScratchDir dir;
        auto frame = makeFrame();
        Form1* form = frame->ActiveForm();
        DocumentView::of(form)->setSyntaxKind(syntax::Kind::Html);
        const prefs::Editor was = DocumentView::preferences();
        prefs::Editor p = was;
        p.closeTags = p.pairBrackets = p.abbreviationsOnTab = on;
        DocumentView::setPreferences(p);
        RichTextBox& rtb = *form->RTB1;
        rtb.setFocus();
        for (const QChar c : keys) {
            if (c == QLatin1Char('\t')) QTest::keyClick(&rtb, Qt::Key_Tab);
            else if (c == QLatin1Char('\b')) QTest::keyClick(&rtb, Qt::Key_Backspace);
            else if (c == QLatin1Char('\r')) QTest::keyClick(&rtb, Qt::Key_Return);
            else if (c == QLatin1Char('\n')) frame->item("mnuEditExpandAbbreviation")->trigger();
            else QTest::keyClicks(&rtb, QString(c));
        }
        DocumentView::setPreferences(was);
        QString shown = rtb.Text();
        shown.insert(rtb.SelStart(), QLatin1Char('|'));
        QCOMPARE(shown, expected);
        // What an aid added is undone on its own, before the key that added it.
        if (on && keys == QLatin1String("<p>x")) {
            QTest::keyClick(&rtb, Qt::Key_Z, Qt::ControlModifier);
            QTest::keyClick(&rtb, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(rtb.Text(), QStringLiteral("<p>"));
        }
    }
};

QTEST_MAIN(TypingTest)
#include "Typing_test.moc"
