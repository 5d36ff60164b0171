#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "platform/RichTextBox.h"
#include "search/FindInDocument.h"
#include "search/ReplaceCommands.h"
#include "search/frmReplace.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QCheckBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using replacecmd::ReplaceQuery;
using replacecmd::Scope;

namespace {

RichTextBox& prepare(MDIForm1& frame, const QString& text, qint64 selStart = 0, qint64 selLength = 0) {
    RichTextBox& rtb = *frame.ActiveForm()->RTB1;
    rtb.SetText(text);
    rtb.SetSelStart(selStart);
    rtb.SetSelLength(selLength);
    return rtb;
}

QString lastMessage(const ScriptedModal& modal) { return modal.messages.isEmpty() ? QString() : modal.messages.last().text; }

} // namespace

class ReplaceTest : public QObject {
    Q_OBJECT
private slots:
    void init() { searchcmd::resetState(); }

    void replaceAll_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("selStart");
        QTest::addColumn<qint64>("selLength");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("with");
        QTest::addColumn<QString>("options");   // c case, w whole word, r expression, s in the selection
        QTest::addColumn<QString>("want");
        QTest::addColumn<QString>("message");
        QTest::addColumn<qint64>("wantSelLength");   // afterwards, in the selection
        QTest::newRow("groups") << "John Smith\r\nJane Doe" << qint64(0) << qint64(0) << "(\\w+) (\\w+)" << "$2, $1"
                                << "r" << "Smith, John\r\nDoe, Jane" << "2 replacements in 1 document" << qint64(0);
        QTest::newRow("whole words at both ends") << "cat cats cat" << qint64(0) << qint64(0) << "CAT" << "dog" << "w"
                                                  << "dog cats dog" << "2 replacements in 1 document" << qint64(0);
        QTest::newRow("whole word, a letter before") << "\u00e9clat clat" << qint64(0) << qint64(0) << "clat" << "X" << "w"
                                                     << "\u00e9clat X" << "1 replacement in 1 document" << qint64(0);
        // Over 1 MB: the new text goes in as several stretches, still one undo step.
        QTest::newRow("over a megabyte") << QStringLiteral("cat dog\r\n").repeated(150000) << qint64(0) << qint64(0) << "cat"
                                         << "tiger" << "" << QStringLiteral("tiger dog\r\n").repeated(150000)
                                         << "150000 replacements in 1 document" << qint64(0);
        QTest::newRow("in the selection") << "cat cat cat cat" << qint64(4) << qint64(7) << "cat" << "tiger" << "s"
                                          << "cat tiger tiger cat" << "2 replacements in 1 document" << qint64(11);
        QTest::newRow("selection shrinks") << "é é é" << qint64(0) << qint64(3) << "é" << "" << "s" << "  é"
                                           << "2 replacements in 1 document" << qint64(1);
        QTest::newRow("none") << "abc" << qint64(0) << qint64(0) << "x" << "y" << "" << "abc" << "Cannot find \"x\"" << qint64(0);
        QTest::newRow("invalid expression") << "abc" << qint64(0) << qint64(0) << "a(b" << "y" << "r" << "abc"
                                            << "Invalid regular expression \"a(b\": missing closing parenthesis at position 4."
                                            << qint64(0);
    }
    void replaceAll() {
        QFETCH(QString, text);
        QFETCH(qint64, selStart);
        QFETCH(qint64, selLength);
        QFETCH(QString, find);
        QFETCH(QString, with);
        QFETCH(QString, options);
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        RichTextBox& rtb = prepare(*frame, text, selStart, selLength);
        frame->table().DocumentStates[1].Changed = 0;
        const ReplaceQuery q{find, with, options.contains('c'), options.contains('w'), options.contains('r'), true};
        replacecmd::replaceAll(*frame, q, options.contains('s') ? Scope::Selection : Scope::Document);
        QTEST(rtb.Text(), "want");
        QTEST(lastMessage(modal), "message");
        const bool changed = rtb.Text() != text;
        QCOMPARE(frame->table().DocumentStates[1].Changed != 0, changed);
        if (options.contains('s')) {
            QCOMPARE(rtb.SelStart(), selStart);
            QTEST(rtb.SelLength(), "wantSelLength");
        }
        // One undo step takes it all back.
        rtb.undo();
        QCOMPARE(rtb.Text(), text);
        QVERIFY(!rtb.isUndoAvailable());
    }

    void replaceAllInEveryDocumentNeverSaves() {
        ScratchDir dir;
        writeBytes(dir.file(QStringLiteral("page.htm")), "<b>old</b> old");
        auto frame = makeFrame();
        ScriptedModal modal;
        prepare(*frame, QStringLiteral("old"));
        Form1* page = documents::openDocument(*frame, dir.file(QStringLiteral("page.htm")));
        QVERIFY(page);
        documents::NewDocument(*frame);   // nothing to replace in it
        replacecmd::replaceAll(*frame, {QStringLiteral("old"), QStringLiteral("new"), false, false, false, true},
                               Scope::AllDocuments);
        QCOMPARE(lastMessage(modal), QStringLiteral("3 replacements in 2 documents"));
        QCOMPARE(page->RTB1->Text(), QStringLiteral("<b>new</b> new"));
        QVERIFY(frame->table().DocumentStates[page->slot()].Changed != 0);
        QCOMPARE(readBytes(dir.file(QStringLiteral("page.htm"))), QByteArray("<b>old</b> old"));
    }

    // Replace: the selection when it is a match, then the next match; empty matches step on.
    void replaceThenFindNext() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        RichTextBox& rtb = prepare(*frame, QStringLiteral("a\r\nb"));
        const ReplaceQuery q{QStringLiteral("^"), QStringLiteral("> "), false, false, true, true};
        QVERIFY(replacecmd::findNext(*frame, q));   // the empty match at the start
        QVERIFY(replacecmd::replaceCurrent(*frame, q));
        QCOMPARE(rtb.Text(), QStringLiteral("> a\r\nb"));
        QCOMPARE(rtb.SelStart(), 5);
        QVERIFY(!replacecmd::replaceCurrent(*frame, q));
        QCOMPARE(rtb.Text(), QStringLiteral("> a\r\n> b"));
        QCOMPARE(lastMessage(modal), QStringLiteral("Cannot find \"^\""));

        prepare(*frame, QStringLiteral("x a-b a-b"), 2, 3);   // the selection is a match
        const ReplaceQuery dash{QStringLiteral("a-b"), QStringLiteral("[$0]"), false, false, false, true};
        QVERIFY(replacecmd::replaceCurrent(*frame, dash));
        QCOMPARE(rtb.Text(), QStringLiteral("x [$0] a-b"));
        QCOMPARE(rtb.SelText(), QStringLiteral("a-b"));

        const ReplaceQuery nothing{QStringLiteral("a-b"), QString(), false, false, false, true};   // by nothing
        replacecmd::replaceCurrent(*frame, nothing);   // and finds no more
        QCOMPARE(rtb.Text(), QStringLiteral("x [$0] "));
    }

    // Find Next follows whole word and regular expression set by Replace; Find turns them off.
    void findNextFollowsTheReplaceOptions() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        RichTextBox& rtb = prepare(*frame, QStringLiteral("catalog cat cats cat"));
        QVERIFY(replacecmd::findNext(*frame, {QStringLiteral("cat"), QString(), false, true, false, true}));
        QCOMPARE(rtb.SelStart(), 8);
        frame->mnuSearchFindNext_Click();   // F3
        QCOMPARE(rtb.SelStart(), 17);
        modal.answerDialog([](QDialog&) { return int(QDialog::Rejected); });
        frame->mnuSearchFind_Click();       // the Find dialog, cancelled
        rtb.SetSelStart(0);
        frame->mnuSearchFindNext_Click();
        QCOMPARE(rtb.SelStart(), 0);        // "cat" in "catalog": a plain search again
        prepare(*frame, QStringLiteral("\u00e9clat clat"));
        QVERIFY(replacecmd::findNext(*frame, {QStringLiteral("clat"), QString(), false, true, false, true}));
        QCOMPARE(rtb.SelStart(), 6);        // not inside "éclat"
    }

    void dialogRunsTheCommands() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        RichTextBox& rtb = prepare(*frame, QStringLiteral("one two\r\ntwo one"), 0, 9);   // two lines selected
        frame->mnuSearchReplace_Click();
        frmReplace* dialog = frmReplace::loaded();
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(dialog->optSelection->isChecked());
        QVERIFY(!dialog->cmdReplaceAll->isEnabled());
        dialog->txtFind->setText(QStringLiteral("t(w)o"));
        dialog->txtReplace->setText(QStringLiteral("T$1O"));
        dialog->chkRegex->setChecked(true);
        dialog->cmdReplaceAll->click();
        QCOMPARE(rtb.Text(), QStringLiteral("one TwO\r\ntwo one"));
        QCOMPARE(lastMessage(modal), QStringLiteral("1 replacement in 1 document"));
        dialog->close();
        settle();
        QVERIFY(!frmReplace::loaded());
        QCOMPARE(searchcmd::extras().replaceText, QStringLiteral("T$1O"));
    }

    void goToLine_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<qint64>("caret");
        QTest::addColumn<QString>("message");
        // "ab\r\ncdé\r\nlast": lines start at 0, 4 and 9.
        QTest::newRow("line") << "2" << qint64(4) << "";
        QTest::newRow("line and column") << "2:3" << qint64(6) << "";
        QTest::newRow("column past the end") << "2:40" << qint64(7) << "";
        QTest::newRow("past the last line") << "1000000" << qint64(9) << "";
        QTest::newRow("not a number") << "two" << qint64(1) << "\"two\" is not a line number. Type a line number, or a line and a column as in 12:5.";
    }
    void goToLine() {
        QFETCH(QString, typed);
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        RichTextBox& rtb = prepare(*frame, QStringLiteral("ab\r\ncdé\r\nlast"), 1);
        modal.answerDialog([&](QDialog& d) {
            auto& input = dynamic_cast<QInputDialog&>(d);
            if (input.labelText() != QStringLiteral("Line number (1 - 3), or line:column:") || input.textValue() != "1")
                return int(QDialog::Rejected);
            input.setTextValue(typed);
            return int(QDialog::Accepted);
        });
        frame->mnuSearchGoToLine_Click();
        QTEST(rtb.SelStart(), "caret");
        QTEST(lastMessage(modal), "message");
    }

    // OK with a bad entry says what was wrong and keeps the dialog open for the mended entry.
    void goToLineKeepsTheDialogAfterABadEntry() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        RichTextBox& rtb = prepare(*frame, QStringLiteral("ab\r\ncd\r\nlast"), 1);
        bool keptOpen = false;
        modal.answerDialog([&](QDialog& d) {
            auto& input = dynamic_cast<QInputDialog&>(d);
            input.setTextValue(QStringLiteral("3x"));
            input.accept();
            keptOpen = input.result() != QDialog::Accepted && modal.messages.size() == 1;
            input.setTextValue(QStringLiteral("3"));
            input.accept();
            return input.result();
        });
        frame->mnuSearchGoToLine_Click();
        QVERIFY(keptOpen);
        QCOMPARE(lastMessage(modal), QStringLiteral("\"3x\" is not a line number. Type a line number, or a line and a column as in 12:5."));
        QCOMPARE(rtb.SelStart(), 8);
    }
};

QTEST_MAIN(ReplaceTest)
#include "Replace_test.moc"
