#include "documents/DocumentView.h"
#include "documents/Form1.h"
#include "edit/Completion.h"
#include "platform/RichTextBox.h"
#include "support/TestFrame.h"

#include <QTest>

using completion::Kind;
using completion::Language;
Q_DECLARE_METATYPE(Kind)
Q_DECLARE_METATYPE(Language)

class CompletionTest : public QObject {
    Q_OBJECT
private slots:
    // The context at the end of the text before the caret, and one entry the list must hold (or,
    // after '!', must not hold). 'about' is the element, the attribute or the property.
    void context_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<Language>("language");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QByteArray>("typed");
        QTest::addColumn<QByteArray>("about");
        QTest::addColumn<QByteArray>("entry");
        const auto row = [](const char* name, const char* before, Kind kind, const char* typed, const char* about,
                            const char* entry, Language l = Language::Html, bool asked = false) {
            QTest::newRow(name) << QByteArray(before) << l << asked << kind << QByteArray(typed) << QByteArray(about)
                                << QByteArray(entry);
        };
        row("after <", "<p>x <", Kind::Element, "", "", "blockquote");
        row("element begun", "<p><sec", Kind::Element, "sec", "", "section");
        row("svg element", "<svg><linearG", Kind::Element, "linearG", "", "linearGradient");
        row("no obsolete element", "<cent", Kind::Element, "cent", "", "!center");
        row("attribute begun", "<input ty", Kind::Attribute, "ty", "input", "type");
        row("global attribute", "<DIV clas", Kind::Attribute, "clas", "div", "class");
        row("event handler", "<p oncl", Kind::Attribute, "oncl", "p", "onclick");
        row("not another element's", "<p hre", Kind::Attribute, "hre", "p", "!href");
        row("after a quoted value", "<a href=\"x\" t", Kind::Attribute, "t", "a", "target");
        row("'>' inside a value", "<a title=\"1 > 0\" hr", Kind::Attribute, "hr", "a", "href");
        row("blank alone waits", "<a ", Kind::None, "", "", "");
        row("blank asked", "<a ", Kind::Attribute, "", "a", "href", Language::Html, true);
        row("input type", "<input type=\"", Kind::Value, "", "type", "checkbox");
        row("button type", "<button type='su", Kind::Value, "su", "type", "submit");
        row("type of another element", "<button type=\"", Kind::Value, "", "type", "!checkbox");
        row("rel, second word", "<a rel=\"noopener nor", Kind::Value, "nor", "rel", "noreferrer");
        row("target", "<form target=\"", Kind::Value, "", "target", "_blank");
        row("method", "<form method=\"", Kind::Value, "", "method", "post");
        row("global dir", "<span dir=\"", Kind::Value, "", "dir", "rtl");
        row("no list for href", "<a href=\"", Kind::None, "", "", "");
        row("after the value", "<a target=\"_blank\"", Kind::None, "", "", "");
        row("self-closing", "<br /", Kind::None, "", "", "");
        row("entity in text", "Tom &am", Kind::Entity, "am", "", "amp");
        row("entity case", "&Aa", Kind::Entity, "Aa", "", "Aacute");
        row("entity in a value", "<a title=\"&co", Kind::Entity, "co", "", "copy");
        row("script's &&", "<p onclick=\"a &", Kind::None, "", "", "");
        row("&& in text", "a &&", Kind::None, "", "", "");
        row("end tag", "<p>x</", Kind::None, "", "", "");
        row("comment", "<!-- <", Kind::None, "", "", "");
        row("script", "<script>if (a <", Kind::None, "", "", "");
        row("script asked: words", "<script>var total; tot", Kind::Word, "tot", "", "total", Language::Html, true);
        row("style property", "<style>\nbody { col", Kind::CssProperty, "col", "", "color");
        row("style value", "<style>\nbody { display: fl", Kind::CssValue, "fl", "display", "flex");
        row("style selector", "<style>\na:ho", Kind::None, "", "", "");
        row("style after a rule", "<style>\na { color: red } di", Kind::None, "", "", "");
        row("style attribute", "<p style=\"margin: 0; posi", Kind::CssProperty, "posi", "", "position");
        row("style attribute value", "<p style=\"position: ", Kind::CssValue, "", "position", "sticky");
        row("css file property", "a {\n  text-al", Kind::CssProperty, "text-al", "", "text-align", Language::Css);
        row("css second value", "a { border: 1px so", Kind::CssValue, "so", "border", "solid", Language::Css);
        row("css global keyword", "a { color: inh", Kind::CssValue, "inh", "color", "inherit", Language::Css);
        row("css number", "a { width: 12", Kind::None, "", "", "", Language::Css);
        row("css comment", "a { /* col", Kind::None, "", "", "", Language::Css);
        row("css nested block", "@media print { a { colo", Kind::CssProperty, "colo", "", "color", Language::Css);
        row("xml element", "<svg><ci", Kind::Element, "ci", "", "circle", Language::Xml);
        row("script file asked", "let counter = 0;\ncou", Kind::Word, "cou", "", "counter", Language::Other, true);
        row("script file unasked", "let counter = 0;\ncou", Kind::None, "", "", "", Language::Other);
    }
    void context() {
        QFETCH(QByteArray, before);
        QFETCH(Language, language);
        QFETCH(bool, asked);
        QFETCH(Kind, kind);
        QFETCH(QByteArray, typed);
        QFETCH(QByteArray, about);
        QFETCH(QByteArray, entry);
        const completion::Context c = completion::contextAt(before, language, asked);
        QCOMPARE(c.kind, kind);
        QCOMPARE(before.right(c.typed), typed);
        QCOMPARE(kind == Kind::Attribute ? c.element : c.attribute, about);
        if (entry.isEmpty()) return;
        const QList<QByteArray> list = completion::choices(c, typed, before);
        if (entry.startsWith('!')) QVERIFY2(!list.contains(entry.mid(1)), entry);
        else QVERIFY2(list.contains(entry), entry);
    }

    // What a choice puts in the text, the caret at '|'.
    void insertion() {
        const auto put = [](Kind kind, const char* choice) {
            const completion::Insertion in = completion::insertionFor({kind, 0, {}, {}}, choice);
            return in.text.left(in.caret) + '|' + in.text.mid(in.caret);
        };
        QCOMPARE(put(Kind::Attribute, "href"), QByteArray("href=\"|\""));
        QCOMPARE(put(Kind::Entity, "amp"), QByteArray("amp;|"));
        QCOMPARE(put(Kind::Element, "section"), QByteArray("section|"));
        QCOMPARE(put(Kind::CssProperty, "color"), QByteArray("color: |"));
    }

    // Keys typed in a window, the list's own keys among them ('\r' Enter, '\x1b' Escape, '\a'
    // Ctrl+Space), the program idle after each as after a real key; '|' is the caret.
    void keys_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("html");
        QTest::addColumn<bool>("asYouType");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("aids");   // the typing aids on too
        QTest::newRow("attribute") << "<input ty\r" << true << true << "<input type=\"|\"" << false;
        QTest::newRow("its values follow") << "<input ty\rch\r" << true << true << "<input type=\"checkbox|\"" << false;
        QTest::newRow("reference") << "x &nbs\r" << true << true << "x &nbsp;|" << false;
        QTest::newRow("css property") << "<p style=\"text-al\r\x1b" << true << true << "<p style=\"text-align: |" << false;
        QTest::newRow("finished word, Enter") << "<p style=\"color: red\r" << true << true << "<p style=\"color: red\r\n|" << false;
        QTest::newRow("switched off") << "<input ty\r" << true << false << "<input ty\r\n|" << false;
        QTest::newRow("Ctrl+Space when off") << "<input ty\a\r" << true << false << "<input type=\"|\"" << false;
        QTest::newRow("words of plain text") << "alpha beta al\a\r" << false << true << "alpha beta alpha|" << false;
        // The list after '<' goes when "</" completes the end tag: Enter then starts a new line.
        QTest::newRow("end tag added by the aids") << "<p>x</\r" << true << true << "<p>x</p>\r\n|" << true;
        QTest::newRow("attribute, quotes paired") << "<a tar\r_b\r" << true << true << "<a target=\"_blank|\"" << true;
    }
    void keys() {
        QFETCH(QString, keys);
        QFETCH(bool, html);
        QFETCH(bool, asYouType);
        QFETCH(QString, expected);
        QFETCH(bool, aids);
        ScratchDir dir;
        auto frame = makeFrame();
        Form1* form = frame->ActiveForm();
        if (html) DocumentView::of(form)->setSyntaxKind(syntax::Kind::Html);
        const prefs::Editor was = DocumentView::preferences();
        prefs::Editor p = was;
        p.closeTags = p.pairBrackets = p.abbreviationsOnTab = aids;
        p.completeAsYouType = asYouType;
        DocumentView::setPreferences(p);
        RichTextBox& rtb = *form->RTB1;
        rtb.setFocus();
        for (const QChar c : keys) {
            if (c == QLatin1Char('\r')) QTest::keyClick(&rtb, Qt::Key_Return);
            else if (c == QLatin1Char('\x1b')) QTest::keyClick(&rtb, Qt::Key_Escape);
            else if (c == QLatin1Char('\a')) QTest::keyClick(&rtb, Qt::Key_Space, Qt::ControlModifier);
            else QTest::keyClicks(&rtb, QString(c));
            QTest::qWait(20);   // the pause after which a list opens
            settle();
        }
        DocumentView::setPreferences(was);
        QString shown = rtb.Text();
        shown.insert(rtb.SelStart(), QLatin1Char('|'));
        QCOMPARE(shown, expected);
    }
};

QTEST_MAIN(CompletionTest)
#include "Completion_test.moc"
