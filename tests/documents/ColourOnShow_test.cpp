#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "documents/PageRestart.h"
#include "documents/Syntax.h"
#include "platform/RichTextBox.h"
#include "support/TestFrame.h"

#include <QTest>

namespace {
using Sci = QsciScintillaBase;

// A page whose scripts, style sheets, comments, tags and PHP run over several lines.
QByteArray page(qint64 bytes) {
    static const char* const blocks[] = {
        "<p class=\"a\">Text &amp; more</p>\r\n",
        "<script>\r\nif (a < b) {\r\n  x = '<p>';\r\n}\r\n</script>\r\n",
        "<style>\r\nbody {\r\n  color: red;\r\n}\r\n</style>\r\n",
        "<!-- a comment\r\n<p>not a tag</p>\r\n-->\r\n",
        "<a href=\"x.htm\"\r\n   title=\"two\r\nlines\">link</a>\r\n",
        "<?php\r\necho '<b>';\r\n?>\r\n",
    };
    QByteArray out;
    for (quint32 seed = 7; out.size() < bytes;) {
        seed = seed * 1103515245u + 12345u;
        out += blocks[(seed >> 16) % std::size(blocks)];
    }
    return out;
}

// Whether the lines on screen carry the styles of the whole page coloured from its start.
bool shownAsWhole(RichTextBox& rtb, RichTextBox& whole) {
    const long first = rtb.SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE);
    const long from = rtb.SendScintilla(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(first));
    const long to = rtb.SendScintilla(Sci::SCI_GETLINEENDPOSITION,
                                      static_cast<unsigned long>(first + rtb.SendScintilla(Sci::SCI_LINESONSCREEN) - 1));
    for (long p = from; p < to; ++p)
        if (rtb.SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(p)) !=
            whole.SendScintilla(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(p)))
            return false;
    return true;
}
} // namespace

class ColourOnShowTest : public QObject {
    Q_OBJECT
private slots:
    void restartPoints_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("after a closed script") << QByteArray("x\n<script>\na<b\n</script>\n<p>\n") << qint64(29);
        QTest::newRow("inside a script") << QByteArray("x\n<script>\na<b\nc\n") << qint64(2);
        QTest::newRow("inside a comment") << QByteArray("x\n<!-- a\nb\n") << qint64(2);
        QTest::newRow("inside a tag") << QByteArray("x\n<a href=\"y\"\ntitle=\"z\n") << qint64(2);
        QTest::newRow("began inside a style sheet") << QByteArray("a {\n}\n</style>") << qint64(-1);
        QTest::newRow("after its end") << QByteArray("a {\n}\n</style>\n") << qint64(15);
        QTest::newRow("began inside a comment") << QByteArray("x\n--> y\n") << qint64(8);
        QTest::newRow("CR LF") << QByteArray("x\r\n<p>\r\n") << qint64(8);
    }
    void restartPoints() {
        QFETCH(QByteArray, text);
        QFETCH(qint64, expected);
        QCOMPARE(documents::restartPoint(text, 0), expected);
    }

    // The end of a large page is coloured at once from near it; whatever is scrolled to later
    // shows the colours the page has when coloured whole.
    void largePageShowsTheColoursOfTheWhole() {
        ScratchDir dir;
        auto frame = makeFrame();
        const QByteArray text = page(qint64(3) << 20);
        const QString path = dir.file(QStringLiteral("big.html"));
        writeBytes(path, text);
        Form1* form = documents::openDocument(*frame, path);
        QVERIFY(form);
        RichTextBox& rtb = *form->RTB1;
        settle();
        RichTextBox whole;
        whole.setLexer(syntax::makeLexer(syntax::Kind::Html, whole.font(), &whole));
        whole.SendScintilla(Sci::SCI_SETPROPERTY, "asp.default.language", "2");
        whole.SetTextUtf8(text);
        whole.SendScintilla(Sci::SCI_COLOURISE, 0, -1);

        rtb.SendScintilla(Sci::SCI_DOCUMENTEND);
        rtb.repaint();
        QVERIFY(rtb.SendScintilla(Sci::SCI_GETENDSTYLED) > rtb.byteLength() - 4096);
        QVERIFY(shownAsWhole(rtb, whole));
        const long lines = rtb.SendScintilla(Sci::SCI_GETLINECOUNT);
        // Up a little (into the text skipped), far up, just before the end, and back.
        for (const long line : {lines - 60, lines / 2, lines / 3 + 7, lines / 2 - 30, lines - 200, 5L}) {
            rtb.SendScintilla(Sci::SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(line));
            rtb.repaint();
            QVERIFY2(shownAsWhole(rtb, whole), qPrintable(QString::number(line)));
        }
        form->closeWithoutAsking();
        settle();
    }
};

QTEST_MAIN(ColourOnShowTest)
#include "ColourOnShow_test.moc"
