#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "platform/RichTextBox.h"
#include "search/SearchCommands.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QTest>

using searchcmd::state;

namespace {

QString cannotFind(const QString& text) { return QStringLiteral("Cannot find \"%1\"").arg(text); }

// The one window's control, with text and selection as given.
RichTextBox& prepare(MDIForm1& frame, const QString& text, qint64 selStart, qint64 selLength = 0) {
    RichTextBox& rtb = *frame.ActiveForm()->RTB1;
    rtb.SetText(text);
    rtb.SetSelStart(selStart);
    rtb.SetSelLength(selLength);
    return rtb;
}

void setState(const QString& searchText, int matchCase, int direction, qint64 lastPos, bool newSearch) {
    auto& s = state();
    s.strSearchText = searchText;
    s.intMatchCase = std::int16_t(matchCase);
    s.intSearchDirection = std::int16_t(direction);
    s.intLastPos = lastPos;
    s.blnNewSearch = newSearch;
}

} // namespace

class FindInDocumentTest : public QObject {
    Q_OBJECT
private slots:
    void rules_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("selStart");
        QTest::addColumn<qint64>("selLength");
        QTest::addColumn<QString>("find");
        QTest::addColumn<int>("matchCase");
        QTest::addColumn<int>("direction");
        QTest::addColumn<qint64>("lastPos");
        QTest::addColumn<bool>("newSearch");
        // Afterwards: the selection, the message ("" for none) and the state.
        QTest::addColumn<qint64>("wantStart");
        QTest::addColumn<qint64>("wantLength");
        QTest::addColumn<QString>("wantMessage");
        QTest::addColumn<qint64>("wantLastPos");
        QTest::addColumn<bool>("wantNewSearch");

        // Down.
        QTest::newRow("down, new, hit at the caret") << "xxxxxabc" << qint64(5) << qint64(0) << "abc" << 0 << 1
                                                     << qint64(0) << true << qint64(5) << qint64(3) << "" << qint64(5)
                                                     << false;
        QTest::newRow("down, new, on the last hit: same hit") << "abcabc" << qint64(0) << qint64(3) << "abc" << 0 << 1
                                                              << qint64(0) << true << qint64(0) << qint64(3) << ""
                                                              << qint64(0) << false;
        QTest::newRow("down, repeat: next hit") << "abc abc" << qint64(0) << qint64(3) << "abc" << 0 << 1 << qint64(0)
                                                << false << qint64(4) << qint64(3) << "" << qint64(4) << false;
        QTest::newRow("down, repeat after the last: no wrap")
            << "abc abc" << qint64(4) << qint64(3) << "abc" << 0 << 1 << qint64(4) << false << qint64(4) << qint64(3)
            << cannotFind("abc") << qint64(4) << false;
        QTest::newRow("down, caret moved: from the caret") << "abcabc" << qint64(3) << qint64(0) << "abc" << 0 << 1
                                                           << qint64(0) << false << qint64(3) << qint64(3) << ""
                                                           << qint64(3) << false;
        QTest::newRow("down, miss: state updated") << "hello" << qint64(2) << qint64(0) << "Xyz" << 0 << 1
                                                   << qint64(9) << true << qint64(2) << qint64(0) << cannotFind("Xyz")
                                                   << qint64(2) << false;
        // Up.
        QTest::newRow("up, new: the character just before the caret") << "abc" << qint64(3) << qint64(0) << "c" << 0
                                                                       << 0 << qint64(0) << true << qint64(2)
                                                                       << qint64(1) << "" << qint64(2) << false;
        QTest::newRow("up, new: further back") << "abc" << qint64(3) << qint64(0) << "b" << 0 << 0 << qint64(0) << true
                                               << qint64(1) << qint64(1) << "" << qint64(1) << false;
        QTest::newRow("up, new: may reach past the caret") << "abcd" << qint64(2) << qint64(0) << "bcd" << 0 << 0
                                                           << qint64(0) << true << qint64(1) << qint64(3) << ""
                                                           << qint64(1) << false;
        QTest::newRow("up, repeat: before the selection") << "abcabc" << qint64(3) << qint64(3) << "abc" << 0 << 0
                                                          << qint64(3) << false << qint64(0) << qint64(3) << ""
                                                          << qint64(0) << false;
        QTest::newRow("up, repeat, overlapping") << "aaaa" << qint64(2) << qint64(2) << "aa" << 0 << 0 << qint64(2)
                                                 << false << qint64(1) << qint64(2) << "" << qint64(1) << false;
        QTest::newRow("up, any direction but 1") << "abcabc" << qint64(6) << qint64(0) << "abc" << 0 << 7 << qint64(0)
                                                 << true << qint64(3) << qint64(3) << "" << qint64(3) << false;
        QTest::newRow("up, new, caret at 0: state kept") << "abc" << qint64(0) << qint64(0) << "a" << 0 << 0
                                                         << qint64(7) << true << qint64(0) << qint64(0)
                                                         << cannotFind("a") << qint64(7) << true;
        QTest::newRow("up, caret moved to 0: state kept") << "abc" << qint64(0) << qint64(0) << "a" << 0 << 0
                                                          << qint64(2) << false << qint64(0) << qint64(0)
                                                          << cannotFind("a") << qint64(2) << false;
        QTest::newRow("up, repeat at 0: ordinary miss") << "abc" << qint64(0) << qint64(1) << "a" << 0 << 0
                                                        << qint64(0) << false << qint64(0) << qint64(1)
                                                        << cannotFind("a") << qint64(0) << false;
        // Case.
        QTest::newRow("no case: ABC finds abc") << "xx abc" << qint64(0) << qint64(0) << "ABC" << 0 << 1 << qint64(0)
                                                << true << qint64(3) << qint64(3) << "" << qint64(3) << false;
        QTest::newRow("case: ABC misses abc") << "xx abc" << qint64(0) << qint64(0) << "ABC" << 1 << 1 << qint64(0)
                                              << true << qint64(0) << qint64(0) << cannotFind("ABC") << qint64(0)
                                              << false;
        QTest::newRow("any case value but 0 matches case") << "xx abc ABC" << qint64(0) << qint64(0) << "ABC" << -1
                                                           << 1 << qint64(0) << true << qint64(7) << qint64(3) << ""
                                                           << qint64(7) << false;
        QTest::newRow("no case: dotless i") << "x\u0131x" << qint64(0) << qint64(0) << "I" << 0 << 1 << qint64(0)
                                            << true << qint64(1) << qint64(1) << "" << qint64(1) << false;
        // Positions count UTF-16 code units.
        QTest::newRow("after wide characters") << "\U0001F600\u00e9 abc" << qint64(0) << qint64(0) << "ABC" << 0 << 1
                                               << qint64(0) << true << qint64(4) << qint64(3) << "" << qint64(4)
                                               << false;
        QTest::newRow("repeat past a wide hit") << "\U0001F600\U0001F600" << qint64(0) << qint64(2) << "\U0001F600"
                                                << 1 << 1 << qint64(0) << false << qint64(2) << qint64(2) << ""
                                                << qint64(2) << false;
    }
    void rules() {
        QFETCH(QString, text);
        QFETCH(qint64, selStart);
        QFETCH(qint64, selLength);
        QFETCH(QString, find);
        QFETCH(int, matchCase);
        QFETCH(int, direction);
        QFETCH(qint64, lastPos);
        QFETCH(bool, newSearch);
        QFETCH(qint64, wantStart);
        QFETCH(qint64, wantLength);
        QFETCH(QString, wantMessage);
        QFETCH(qint64, wantLastPos);
        QFETCH(bool, wantNewSearch);

        ScratchDir dir;
        ScriptedModal modal;
        auto frame = makeFrame();
        RichTextBox& rtb = prepare(*frame, text, selStart, selLength);
        setState(find, matchCase, direction, lastPos, newSearch);

        searchcmd::FindInDocument(*frame);

        QCOMPARE(rtb.SelStart(), wantStart);
        QCOMPARE(rtb.SelLength(), wantLength);
        if (wantMessage.isEmpty()) {
            QCOMPARE(modal.messages.size(), 0);
        } else {
            QCOMPARE(modal.messages.size(), 1);
            QCOMPARE(modal.messages[0].text, wantMessage);
            QCOMPARE(modal.messages[0].title, QStringLiteral("Tesselpad"));
            QCOMPARE(modal.messages[0].buttons, tp::MsgButtons::OK);
            QCOMPARE(modal.messages[0].icon, tp::MsgIcon::None);
        }
        QCOMPARE(state().intLastPos, wantLastPos);
        QCOMPARE(state().blnNewSearch, wantNewSearch);
        QCOMPARE(state().strSearchText, find);
        QCOMPARE(state().intMatchCase, std::int16_t(matchCase));
        QCOMPARE(state().intSearchDirection, std::int16_t(direction));
    }

    // F3 after F3: overlapping hits one character apart, then the not-found message, no wrap.
    void repeatsStepOneCharacter_data() {
        QTest::addColumn<int>("direction");
        QTest::addColumn<qint64>("caret");
        QTest::addColumn<QList<qint64>>("hits");
        QTest::newRow("down") << 1 << qint64(0) << QList<qint64>{0, 1, 2};
        QTest::newRow("up") << 0 << qint64(4) << QList<qint64>{2, 1, 0};
    }
    void repeatsStepOneCharacter() {
        QFETCH(int, direction);
        QFETCH(qint64, caret);
        QFETCH(QList<qint64>, hits);
        ScratchDir dir;
        ScriptedModal modal;
        auto frame = makeFrame();
        RichTextBox& rtb = prepare(*frame, QStringLiteral("aaaa"), caret);
        setState(QStringLiteral("aa"), 0, direction, 0, true);
        for (qint64 hit : hits) {
            frame->mnuSearchFindNext_Click();
            QCOMPARE(rtb.SelStart(), hit);
            QCOMPARE(rtb.SelLength(), 2);
        }
        QCOMPARE(modal.messages.size(), 0);
        frame->mnuSearchFindNext_Click();
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(modal.messages[0].text, cannotFind("aa"));
        QCOMPARE(rtb.SelStart(), hits.last());
        QCOMPARE(rtb.SelLength(), 2);
    }

    // Positions are not limited to 16 bits.
    void searchesWholeLongDocuments_data() {
        QTest::addColumn<qint64>("at");
        QTest::newRow("past 32767") << qint64(40000);
        QTest::newRow("past 65535") << qint64(70000);
        QTest::newRow("past 1M") << qint64(1 << 20);
    }
    void searchesWholeLongDocuments() {
        QFETCH(qint64, at);
        ScratchDir dir;
        ScriptedModal modal;
        auto frame = makeFrame();
        QString text(at + 1000, QLatin1Char('x'));
        text.replace(at, 6, QStringLiteral("needle"));
        RichTextBox& rtb = prepare(*frame, text, 0);
        setState(QStringLiteral("NEEDLE"), 0, 1, 0, true);
        searchcmd::FindInDocument(*frame);
        QCOMPARE(rtb.SelStart(), at);
        QCOMPARE(rtb.SelLength(), 6);
        QCOMPARE(state().intLastPos, at);
        // Upwards from beyond it, a new search from a caret far out.
        rtb.SetSelStart(at + 900);
        state().intSearchDirection = 0;
        state().blnNewSearch = true;
        searchcmd::FindInDocument(*frame);
        QCOMPARE(rtb.SelStart(), at);
        // A repeat from there finds nothing more in either direction.
        searchcmd::FindInDocument(*frame);
        state().intSearchDirection = 1;
        searchcmd::FindInDocument(*frame);
        QCOMPARE(modal.messages.size(), 2);
        QCOMPARE(rtb.SelStart(), at);
        QCOMPARE(rtb.SelLength(), 6);
    }

    // A search text holding a line break matches only the same line-break characters.
    void lineBreaksMatchExactly_data() {
        QTest::addColumn<QString>("find");
        QTest::addColumn<qint64>("want");
        QTest::newRow("CR LF") << "b\r\nc" << qint64(6);
        QTest::newRow("LF") << "a\nb" << qint64(0);
        QTest::newRow("CR") << "c\rd" << qint64(9);
        QTest::newRow("LF is not CR LF") << "b\nc" << qint64(-1);
        QTest::newRow("CR LF is not LF") << "a\r\nb" << qint64(-1);
        QTest::newRow("CR is not CR LF") << "b\rc" << qint64(-1);
    }
    void lineBreaksMatchExactly() {
        QFETCH(QString, find);
        QFETCH(qint64, want);
        ScratchDir dir;
        ScriptedModal modal;
        auto frame = makeFrame();
        RichTextBox& rtb = prepare(*frame, QStringLiteral("a\nb a\nb\r\nc\rd"), 0);
        setState(find, 0, 1, 0, true);
        searchcmd::FindInDocument(*frame);
        if (want < 0) {
            QCOMPARE(modal.messages.size(), 1);
            QCOMPARE(rtb.SelLength(), 0);
        } else {
            QCOMPARE(modal.messages.size(), 0);
            QCOMPARE(rtb.SelStart(), want);
            QCOMPARE(rtb.SelText(), find);
        }
    }

    // One state for all windows: a repeat in another window steps from the shared last position.
    void stateIsSharedByAllWindows() {
        ScratchDir dir;
        ScriptedModal modal;
        auto frame = makeFrame();
        prepare(*frame, QStringLiteral("xxabc"), 0);
        setState(QStringLiteral("abc"), 0, 1, 0, true);
        frame->mnuSearchFindNext_Click();
        QCOMPARE(state().intLastPos, 2);

        Form1* second = documents::NewDocument(*frame);
        QVERIFY(second);
        QCOMPARE(frame->ActiveForm(), second);
        RichTextBox& rtb = prepare(*frame, QStringLiteral("xxabcabc"), 2);
        frame->mnuSearchFindNext_Click();   // caret at the shared last position: a repeat
        QCOMPARE(rtb.SelStart(), 5);
        QCOMPARE(modal.messages.size(), 0);
    }

    // Find Next with a stored text and no window: the not-found message, nothing else changes.
    void noWindow() {
        ScratchDir dir;
        ScriptedModal modal;
        auto frame = makeFrame();
        frame->ActiveForm()->closeWithoutAsking();
        settle();
        QVERIFY(!frame->ActiveForm());

        setState(QStringLiteral("abc"), 1, 0, 3, true);
        frame->mnuSearchFindNext_Click();
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(modal.messages[0].text, cannotFind("abc"));
        QCOMPARE(modal.messages[0].title, QStringLiteral("Tesselpad"));
        QCOMPARE(state().intLastPos, 3);
        QCOMPARE(state().blnNewSearch, true);
        QCOMPARE(modal.dialogs.size(), 0);

        // With nothing stored, Find Next does what Find does: nothing without a window.
        state().strSearchText.clear();
        frame->mnuSearchFindNext_Click();
        frame->mnuSearchFind_Click();
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(modal.dialogs.size(), 0);
    }
};

QTEST_MAIN(FindInDocumentTest)
#include "FindInDocument_test.moc"
