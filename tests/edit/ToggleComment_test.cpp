#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "edit/ToggleComment.h"
#include "platform/RichTextBox.h"
#include "support/TestFrame.h"

#include <QAction>
#include <QTest>

using editcmd::CommentForm;

class ToggleCommentTest : public QObject {
    Q_OBJECT
private slots:
    // What one toggle makes of some lines; the toggle of that gives the lines back.
    void toggle_data() {
        QTest::addColumn<int>("form");
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QByteArray>("toggled");
        const int line = int(CommentForm::Line), block = int(CommentForm::Block), markup = int(CommentForm::Markup);
        QTest::newRow("line, at the least indentation") << line << QByteArray("  a();\r\n\r\n    b();")
                                                          << QByteArray("  // a();\r\n\r\n  //   b();");
        QTest::newRow("line, a blank line left alone") << line << QByteArray("a\n   \nb") << QByteArray("// a\n   \n// b");
        QTest::newRow("line, one not commented comments all") << line << QByteArray("// a\nb")
                                                               << QByteArray("// // a\n// b");
        QTest::newRow("line, only blanks") << line << QByteArray(" \r\n\t") << QByteArray(" \r\n\t");
        QTest::newRow("css, one line") << block << QByteArray("  color: red;  ") << QByteArray("  /* color: red; */  ");
        QTest::newRow("css, a rule over lines") << block << QByteArray("a {\r\n  b: c;\r\n}")
                                                << QByteArray("/* a {\r\n  b: c;\r\n} */");
        QTest::newRow("css, two comments are not one") << block << QByteArray("/* a */ b /* c */")
                                                       << QByteArray("/* /* a */ b /* c */ */");
        QTest::newRow("markup, lines") << markup << QByteArray("\t<p>a</p>\n\t<p>b</p>")
                                       << QByteArray("\t<!-- <p>a</p>\n\t<p>b</p> -->");
        QTest::newRow("markup, CR only") << markup << QByteArray("<b>\r</b>") << QByteArray("<!-- <b>\r</b> -->");
        QTest::newRow("none") << int(CommentForm::None) << QByteArray("{\"a\": 1}") << QByteArray("{\"a\": 1}");
    }
    void toggle() {
        QFETCH(int, form);
        QFETCH(QByteArray, lines);
        QFETCH(QByteArray, toggled);
        const auto once = editcmd::applyEdits(lines, editcmd::toggleCommentEdits(lines, CommentForm(form)));
        QCOMPARE(once, toggled);
        if (!QByteArray(QTest::currentDataTag()).contains("not one"))   // that one nests, as it would by hand
            QCOMPARE(editcmd::applyEdits(once, editcmd::toggleCommentEdits(once, CommentForm(form))), lines);
    }

    // Comments already there, written without the space or around nothing, come back in.
    void uncommentsHandWrittenComments() {
        for (const auto& [form, text, plain] : {std::tuple{CommentForm::Markup, "<!--x-->", "x"},
                                                std::tuple{CommentForm::Markup, "<!-- -->", ""},
                                                std::tuple{CommentForm::Block, "  /*a*/", "  a"},
                                                std::tuple{CommentForm::Line, "\t//x\n  //  y", "\tx\n   y"}}) {
            const QByteArray t(text);
            QCOMPARE(editcmd::applyEdits(t, editcmd::toggleCommentEdits(t, form)), QByteArray(plain));
        }
    }

    // The language of a page where the lines start: script by its colouring, the inside of a
    // <style> element by the text before it.
    void formInPages_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("style");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<int>("form");
        const int html = int(syntax::Kind::Html);
        QTest::newRow("markup") << html << 0 << QByteArray("<p>") << int(CommentForm::Markup);
        QTest::newRow("javascript") << html << 41 << QByteArray("<script>") << int(CommentForm::Line);
        QTest::newRow("php") << int(syntax::Kind::Php) << 118 << QByteArray("<?php ") << int(CommentForm::Line);
        QTest::newRow("style") << html << 0 << QByteArray("<STYLE type=\"text/css\">\n") << int(CommentForm::Block);
        QTest::newRow("after style") << html << 0 << QByteArray("<style>a{}</style>\n") << int(CommentForm::Markup);
        QTest::newRow("not style") << html << 0 << QByteArray("<styles>\n") << int(CommentForm::Markup);
        QTest::newRow("script without colouring") << html << -1 << QByteArray("<script>\n") << int(CommentForm::Line);
        QTest::newRow("css file") << int(syntax::Kind::Css) << 0 << QByteArray() << int(CommentForm::Block);
        QTest::newRow("scss file") << int(syntax::Kind::Scss) << 0 << QByteArray() << int(CommentForm::Line);
        QTest::newRow("svg") << int(syntax::Kind::Xml) << 0 << QByteArray() << int(CommentForm::Markup);
        QTest::newRow("plain") << int(syntax::Kind::Plain) << -1 << QByteArray() << int(CommentForm::None);
    }
    void formInPages() {
        QFETCH(int, kind);
        QFETCH(int, style);
        QFETCH(QByteArray, before);
        QFETCH(int, form);
        QCOMPARE(int(editcmd::commentFormAt(syntax::Kind(kind), style, before)), form);
    }

    // The command on a page: CSS in <style>, script in <script>, one undo step each.
    void commandOnAPage() {
        ScratchDir dir;
        const QByteArray page = "<style>\r\np { color: red; }\r\n</style>\r\n<script>\r\nf();\r\n</script>\r\n<p>x</p>\r\n";
        writeBytes(dir.file(QStringLiteral("p.html")), page);
        auto frame = makeFrame();
        Form1* form = documents::openDocument(*frame, dir.file(QStringLiteral("p.html")));
        RichTextBox& rtb = *form->RTB1;
        const auto toggleAt = [&](const char* what) {
            const qint64 at = rtb.bytes(0, rtb.byteLength()).indexOf(what);
            rtb.selectBytes(at, at);
            frame->item("mnuEditToggleComment")->trigger();
            return rtb.bytes(0, rtb.byteLength());
        };
        QVERIFY(toggleAt("color").contains("\r\n/* p { color: red; } */\r\n"));
        QVERIFY(toggleAt("f()").contains("\r\n// f();\r\n"));
        QVERIFY(toggleAt("<p>x").endsWith("\r\n<!-- <p>x</p> -->\r\n"));
        for (int i = 0; i < 3; ++i) rtb.undo();
        QCOMPARE(rtb.bytes(0, rtb.byteLength()), page);
    }
};

QTEST_MAIN(ToggleCommentTest)
#include "ToggleComment_test.moc"
