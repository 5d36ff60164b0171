#include "platform/RichTextBox.h"

#include <QImage>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

namespace {
// Positions against Scintilla's own count of UTF-16 code units, at every step of 'stride' bytes
// that starts a character by the control's reckoning (its next character position).
void expectPositionsAsScintillaCounts(RichTextBox& rtb, qint64 stride) {
    const qint64 n = rtb.byteLength();
    for (qint64 b = 0; b <= n; b += stride) {
        const qint64 at = b == 0 ? 0 : rtb.SendScintilla(QsciScintillaBase::SCI_POSITIONAFTER, static_cast<unsigned long>(b - 1));
        const qint64 units = rtb.SendScintilla(QsciScintillaBase::SCI_COUNTCODEUNITS, 0UL, static_cast<long>(at));
        QCOMPARE(rtb.indexFromByte(at), units);
        QCOMPARE(rtb.byteFromIndex(units), at);
    }
    QCOMPARE(rtb.TextLength(), rtb.SendScintilla(QsciScintillaBase::SCI_COUNTCODEUNITS, 0UL, static_cast<long>(n)));
}
} // namespace

class RichTextBoxTest : public QObject {
    Q_OBJECT
private slots:
    // Change notices carry 32 bits of a position: past 2 GB they are taken back to the full one.
    void widenedNoticePositions_data() {
        QTest::addColumn<qint64>("position");
        QTest::addColumn<qint64>("near");
        QTest::addColumn<qint64>("length");
        const qint64 g = qint64(1) << 30;
        QTest::newRow("small") << qint64(1234) << qint64(0) << qint64(5000);
        QTest::newRow("past 2 GB") << 3 * g + 7 << qint64(0) << 3 * g + 10;
        QTest::newRow("past 4 GB, near the caret") << 5 * g << 5 * g + 100 << 6 * g;
        QTest::newRow("below 4 GB in a larger text, near the caret") << g << g << 6 * g;
    }
    void widenedNoticePositions() {
        QFETCH(qint64, position);
        QFETCH(qint64, near);
        QFETCH(qint64, length);
        QCOMPARE(RichTextBox::widenNotified(int(quint32(position)), near, length), position);
    }

    void textRoundTripKeepsLineEndsAndNul_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("crlf") << QStringLiteral("a\r\nb\r\n");
        QTest::newRow("lf") << QStringLiteral("a\nb\n");
        QTest::newRow("cr") << QStringLiteral("a\rb\r");
        QTest::newRow("mixed") << QStringLiteral("a\r\nb\nc\rd\n\r");
        QTest::newRow("nul") << QString::fromUtf16(u"a\0b\0\r\n\0", 7);
        QTest::newRow("non-ascii") << QStringLiteral("é€ÿ\u0081\u009d😀x");
        QTest::newRow("U+FEFF first") << QStringLiteral("\uFEFFx");
    }
    void textRoundTripKeepsLineEndsAndNul() {
        QFETCH(QString, text);
        RichTextBox rtb;
        rtb.SetText(text);
        QCOMPARE(rtb.Text(), text);
        QCOMPARE(rtb.TextLength(), text.size());
    }

    void positionsCountUtf16UnitsOfText() {
        RichTextBox rtb;
        const QString text = QStringLiteral("é€\r\n😀abc\rxyz\nq");
        rtb.SetText(text);
        for (qint64 i = 0; i <= text.size(); ++i) {
            if (i > 0 && i < text.size() && text.at(i).isLowSurrogate()) continue;
            rtb.SetSelStart(i);
            QCOMPARE(rtb.SelStart(), i);
            QCOMPARE(rtb.SelLength(), 0);
        }
        rtb.SetSelStart(6);   // the a after the emoji
        rtb.SetSelLength(3);
        QCOMPARE(rtb.SelText(), QStringLiteral("abc"));
        QCOMPARE(rtb.SelLength(), 3);
        // A position between CR and LF is kept: a search may select from the LF.
        rtb.SetSelStart(3);
        rtb.SetSelLength(1);
        QCOMPARE(rtb.SelStart(), 3);
        QCOMPARE(rtb.SelText(), QStringLiteral("\n"));
    }

    // Positions equal bytes while the text is plain ASCII; a non-ASCII character typed into it
    // ends that at once.
    void typingANonAsciiCharacterIntoAsciiText() {
        RichTextBox rtb;
        rtb.SetText(QStringLiteral("abc"));
        QCOMPARE(rtb.TextLength(), 3);
        rtb.SetSelStart(3);
        for (const QString typed : {QStringLiteral("\u00e9"), QStringLiteral("\u20ac")}) {
            QTest::sendKeyEvent(QTest::Press, &rtb, Qt::Key_unknown, typed, Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, &rtb, Qt::Key_unknown, typed, Qt::NoModifier);
        }
        QCOMPARE(rtb.Text(), QStringLiteral("abc\u00e9\u20ac"));
        QCOMPARE(rtb.TextLength(), 5);
        QCOMPARE(rtb.SelStart(), 5);
    }

    void positionInsideASurrogatePairIsThatOfItsCharacter() {
        RichTextBox rtb;
        rtb.SetText(QStringLiteral("a\r\nb😀c"));   // the emoji takes indexes 4 and 5
        QCOMPARE(rtb.byteFromIndex(5), rtb.byteFromIndex(4));
        QCOMPARE(rtb.byteFromIndex(6), rtb.byteFromIndex(4) + 4);
        QCOMPARE(rtb.byteFromIndex(7), rtb.byteLength());
    }

    void selStartBeyondEndIsTheEndAndNegativeFails() {
        RichTextBox rtb;
        rtb.SetText(QStringLiteral("abc"));
        rtb.SetSelStart(99);
        QCOMPARE(rtb.SelStart(), 3);
        rtb.SetSelStart(1);
        rtb.SetSelLength(99);
        QCOMPARE(rtb.SelLength(), 2);
        QVERIFY_THROWS_EXCEPTION(RtbError, rtb.SetSelStart(-1));
        QVERIFY_THROWS_EXCEPTION(RtbError, rtb.SetSelLength(-1));
    }

    void selTextReplacesSelectionAndLeavesCaretBehind() {
        RichTextBox rtb;
        rtb.SetText(QStringLiteral("hello world"));
        rtb.SetSelStart(6);
        rtb.SetSelLength(5);
        rtb.SetSelText(QString::fromUtf16(u"W\0rld\r\n", 7));
        QCOMPARE(rtb.Text(), QString::fromUtf16(u"hello W\0rld\r\n", 13));
        QCOMPARE(rtb.SelStart(), 13);
        QCOMPARE(rtb.SelLength(), 0);
    }

    void changeIsRaisedSynchronouslyForEveryChange() {
        RichTextBox rtb;
        QSignalSpy spy(&rtb, &RichTextBox::Change);
        rtb.SetText(QStringLiteral("abc"));
        QCOMPARE(spy.count(), 1);
        rtb.SetText(QString());   // emptying counts as well
        QCOMPARE(spy.count(), 2);
        rtb.SetSelText(QStringLiteral("x"));
        QCOMPARE(spy.count(), 3);
        rtb.setFocus();
        QTest::keyClicks(&rtb, QStringLiteral("yz"));
        QCOMPARE(rtb.Text(), QStringLiteral("xyz"));
        QCOMPARE(spy.count(), 5);
    }

    void settingTextLeavesNothingToUndoButEditsCanBeUndone() {
        RichTextBox rtb;
        rtb.SetText(QStringLiteral("loaded"));
        QVERIFY(!rtb.isUndoAvailable());
        rtb.SetSelStart(6);
        rtb.SetSelText(QStringLiteral("!"));
        QVERIFY(rtb.isUndoAvailable());
        QTest::keyClick(&rtb, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rtb.Text(), QStringLiteral("loaded"));
    }

    void enterTypesCrLf() {
        RichTextBox rtb;
        rtb.setFocus();
        QTest::keyClicks(&rtb, QStringLiteral("a"));
        QTest::keyClick(&rtb, Qt::Key_Return);
        QCOMPARE(rtb.Text(), QStringLiteral("a\r\n"));
    }

    void loadingInPiecesGivesOneChangeAndExactText() {
        RichTextBox rtb;
        QSignalSpy spy(&rtb, &RichTextBox::Change);
        rtb.BeginLoad(10);
        rtb.AppendUtf8("ab\r", 3);
        rtb.AppendUtf8("\ncd", 3);
        rtb.EndLoad();
        QCOMPARE(spy.count(), 1);
        QCOMPARE(rtb.Text(), QStringLiteral("ab\r\ncd"));
        QCOMPARE(rtb.SelStart(), 0);
    }

    // Positions are counted from marks made as far as asked and dropped from where the text
    // changes; text that is not all UTF-8 counts each stray byte as one, as Scintilla does.
    void positionsAcrossMarksEditsAndStrayBytes_data() {
        QTest::addColumn<bool>("stray");
        QTest::newRow("UTF-8") << false;
        QTest::newRow("stray bytes") << true;
    }
    void positionsAcrossMarksEditsAndStrayBytes() {
        QFETCH(bool, stray);
        static const char* const pieces[] = {"abc ", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\r\n",
                                             "\xE9", "\x80\x80", "\xED\xA0\x80", "\xF0\x9F"};
        QRandomGenerator random(7);
        QByteArray text;
        while (text.size() < 300000) text += pieces[random.bounded(stray ? 9 : 5)];
        RichTextBox rtb;
        rtb.SetTextUtf8(text);
        expectPositionsAsScintillaCounts(rtb, 9973);
        // Edits drop the marks beyond them; undo too.
        rtb.SetSelStart(100000);
        rtb.SetSelText(QStringLiteral("\U0001F600\u00e9"));
        rtb.SetSelStart(50000);
        rtb.SetSelLength(100);
        rtb.SetSelText(QString());
        expectPositionsAsScintillaCounts(rtb, 7919);
        rtb.undo();
        expectPositionsAsScintillaCounts(rtb, 7919);
    }

    // Words that are drawn as a whole (right-to-left words in their order, letters with their
    // marks, emoji sequences, CJK) look the same at the start of a long line, which is laid out in
    // pieces, as on a short line: the pixels of the two lines' text are compared.
    void longLinesDrawWordsAsShortLinesDo_data() {
        QTest::addColumn<QString>("words");
        QTest::newRow("Hebrew") << QStringLiteral("Order by \u05E2\u05D1\u05E8\u05D9\u05EA \u00D8resund");
        QTest::newRow("Hebrew words") << QStringLiteral("a \u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD, 2024 b");
        QTest::newRow("Arabic") << QStringLiteral("x \u0645\u0631\u062D\u0628\u0627 y");
        QTest::newRow("marks") << QStringLiteral("cafe\u0301 Vie\u0323\u0302t xa\u0300");
        QTest::newRow("emoji") << QStringLiteral("ok \U0001F44D\U0001F3FD \U0001F469\u200D\U0001F4BB \U0001F1E9\U0001F1EA!");
        QTest::newRow("CJK") << QStringLiteral("\u4E2D\u6587 and \u65E5\u672C\u8A9E.");
    }
    void longLinesDrawWordsAsShortLinesDo() {
        QFETCH(QString, words);
        RichTextBox rtb;
        rtb.resize(900, 120);
        QString padding;
        while (padding.size() <= 2 * RichTextBox::kLongLineBytes) padding += QStringLiteral(" pad");
        rtb.SetText(words + QStringLiteral("\r\n") + words + padding + QStringLiteral("\r\n"));
        rtb.selectBytes(rtb.byteLength(), rtb.byteLength());
        rtb.show();
        QVERIFY(QTest::qWaitForWindowExposed(&rtb));
        const QImage shot = rtb.viewport()->grab().toImage();
        using Sci = QsciScintillaBase;
        const long wordsEnd = rtb.SendScintilla(Sci::SCI_GETLINEENDPOSITION, 0UL);
        const int width = int(rtb.SendScintilla(Sci::SCI_POINTXFROMPOSITION, 0UL, wordsEnd));
        const int height = int(rtb.SendScintilla(Sci::SCI_TEXTHEIGHT, 0UL));
        const int y1 = int(rtb.SendScintilla(Sci::SCI_POINTYFROMPOSITION, 0UL, rtb.SendScintilla(Sci::SCI_POSITIONFROMLINE, 1UL)));
        QVERIFY(width > 0 && width < shot.width());
        QCOMPARE(shot.copy(0, y1, width, height), shot.copy(0, 0, width, height));
    }
};

QTEST_MAIN(RichTextBoxTest)
#include "RichTextBox_test.moc"
