#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "edit/EditCommands.h"
#include "platform/RichTextBox.h"
#include "platform/System.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QVBoxLayout>

namespace {
struct CountingSystem : tp::SystemServices {
    CountingSystem() { tp::setSystemServices(this); }
    ~CountingSystem() override { tp::setSystemServices(nullptr); }
    void beep() override { ++beeps; }
    QDateTime now() override { return QDateTime(QDate(2026, 12, 6), QTime(14, 7, 33)); }
    int beeps = 0;
};

QClipboard& clipboard() { return *QGuiApplication::clipboard(); }

// The items whose state the Edit menu sets, in menu order, and the two it never touches.
const char* const kEditItems[] = {
    "mnuEditUndo", "mnuEditCut", "mnuEditCopy", "mnuEditPaste", "mnuEditDelete", "mnuEditSelectAll",
    "mnuEditTimeDate", "mnuEditHtml", "mnuEditHtmlInsert", "mnuEditHtmlHead", "mnuEditHtmlTitle",
    "mnuEditHtmlBody", "mnuEditHtmlBr", "mnuEditHtmlHr", "mnuEditHtmlCenter"};

// The enabled items as a sorted list of names, for readable failures.
QStringList enabledItems(const MDIForm1& frame) {
    QStringList out;
    for (const char* name : kEditItems) {
        QAction* a = frame.item(name);
        if (!a) qFatal("no item %s", name);
        if (a->isEnabled()) out << QString::fromLatin1(name);
    }
    out.sort();
    return out;
}

QStringList allBut(const QStringList& off) {
    QStringList out;
    for (const char* name : kEditItems)
        if (!off.contains(QLatin1String(name))) out << QString::fromLatin1(name);
    out.sort();
    return out;
}

void closeAllDocuments(MDIForm1& frame) {
    for (Form1* f : frame.documentWindows()) f->closeWithoutAsking();
    settle();
}

// Focus needs an active window, even offscreen.
bool activate(QWidget& window) {
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window, 2000);
}

// A document with "abcde", 'sel' characters selected from position 'start', unchanged.
RichTextBox& prepared(MDIForm1& frame, const QString& text, int start, int sel) {
    RichTextBox& rtb = *frame.ActiveForm()->RTB1;
    rtb.SetText(text);
    rtb.SetSelStart(start);
    rtb.SetSelLength(sel);
    frame.table().DocumentStates[frame.ActiveForm()->slot()].Changed = 0;
    return rtb;
}

int changed(MDIForm1& frame) { return frame.table().DocumentStates[frame.ActiveForm()->slot()].Changed; }
} // namespace

class EditCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { clipboard().clear(); }

    // ---- Cut, Copy, Paste, Delete, Select All

    void cutMiddleThreeOfFive() {
        ScratchDir dir;
        CountingSystem sys;
        auto frame = makeFrame();
        clipboard().setText(QStringLiteral("old"));
        RichTextBox& rtb = prepared(*frame, QStringLiteral("abcde"), 1, 3);
        frame->mnuEditCut_Click();
        QCOMPARE(clipboard().text(), QStringLiteral("bcd"));
        QCOMPARE(rtb.Text(), QStringLiteral("ae"));
        QCOMPARE(rtb.SelStart(), 1);
        QCOMPARE(rtb.SelLength(), 0);
        QCOMPARE(changed(*frame), -1);
        QCOMPARE(sys.beeps, 0);
    }

    void cutAndCopyWithNothingSelectedBeepOnce_data() {
        QTest::addColumn<bool>("cut");
        QTest::newRow("cut") << true;
        QTest::newRow("copy") << false;
    }
    void cutAndCopyWithNothingSelectedBeepOnce() {
        QFETCH(bool, cut);
        ScratchDir dir;
        CountingSystem sys;
        auto frame = makeFrame();
        clipboard().setText(QStringLiteral("keep"));
        RichTextBox& rtb = prepared(*frame, QStringLiteral("abcde"), 2, 0);
        if (cut) frame->mnuEditCut_Click();
        else frame->mnuEditCopy_Click();
        QCOMPARE(sys.beeps, 1);
        QCOMPARE(clipboard().text(), QStringLiteral("keep"));
        QCOMPARE(rtb.Text(), QStringLiteral("abcde"));
        QCOMPARE(rtb.SelStart(), 2);
        QCOMPARE(rtb.SelLength(), 0);
        QCOMPARE(changed(*frame), 0);
    }

    void copyLeavesTextSelectionAndChangedAlone() {
        ScratchDir dir;
        CountingSystem sys;
        auto frame = makeFrame();
        // Line ends and a non-ASCII character travel unchanged.
        RichTextBox& rtb = prepared(*frame, QStringLiteral("x\r\né😀\ny"), 1, 5);
        frame->mnuEditCopy_Click();
        QCOMPARE(clipboard().text(), QStringLiteral("\r\né😀"));
        QCOMPARE(clipboard().mimeData()->formats(), QStringList{QStringLiteral("text/plain")});
        QCOMPARE(rtb.Text(), QStringLiteral("x\r\né😀\ny"));
        QCOMPARE(rtb.SelStart(), 1);
        QCOMPARE(rtb.SelLength(), 5);
        QCOMPARE(changed(*frame), 0);
        QCOMPARE(sys.beeps, 0);
    }

    void paste_data() {
        QTest::addColumn<QString>("clip");   // "<image>", "<html>" or plain text; empty: no data
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("sel");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("changedFlag");
        QTest::newRow("over a selection") << "XY\r\nZ" << 1 << 3 << "aXY\r\nZe" << 6 << -1;
        QTest::newRow("at the caret") << "XY" << 5 << 0 << "abcdeXY" << 7 << -1;
        QTest::newRow("empty clipboard removes the selection") << "" << 1 << 3 << "ae" << 1 << -1;
        QTest::newRow("empty clipboard, nothing selected") << "" << 2 << 0 << "abcde" << 2 << 0;
        QTest::newRow("picture only removes the selection") << "<image>" << 0 << 2 << "cde" << 0 << -1;
        QTest::newRow("formatted text arrives plain") << "<html>" << 0 << 5 << "bold" << 4 << -1;
    }
    void paste() {
        QFETCH(QString, clip);
        QFETCH(int, start);
        QFETCH(int, sel);
        QFETCH(QString, text);
        QFETCH(int, caret);
        QFETCH(int, changedFlag);
        ScratchDir dir;
        auto frame = makeFrame();
        if (clip == QLatin1String("<image>")) {
            auto* data = new QMimeData;
            data->setImageData(QImage(4, 4, QImage::Format_RGB32));
            clipboard().setMimeData(data);
        } else if (clip == QLatin1String("<html>")) {
            auto* data = new QMimeData;
            data->setHtml(QStringLiteral("<b>bold</b>"));
            data->setText(QStringLiteral("bold"));
            clipboard().setMimeData(data);
        } else if (!clip.isEmpty()) {
            clipboard().setText(clip);
        }
        RichTextBox& rtb = prepared(*frame, QStringLiteral("abcde"), start, sel);
        frame->mnuEditPaste_Click();
        QCOMPARE(rtb.Text(), text);
        QCOMPARE(rtb.SelStart(), caret);
        QCOMPARE(rtb.SelLength(), 0);
        QCOMPARE(changed(*frame), changedFlag);
    }

    void selectAll_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("120 characters") << QString(120, u'x');
        QTest::newRow("lines and wide characters") << QStringLiteral("é\r\n😀\rz\n");
    }
    void selectAll() {
        QFETCH(QString, text);
        ScratchDir dir;
        auto frame = makeFrame();
        RichTextBox& rtb = prepared(*frame, text, qMin(1, int(text.size())), 0);
        frame->mnuEditSelectAll_Click();
        QCOMPARE(rtb.SelStart(), 0);
        QCOMPARE(rtb.SelLength(), text.size());
        QCOMPARE(rtb.SelText(), text);
        QCOMPARE(changed(*frame), 0);
    }

    void deleteActsOnTheFocusedEditor() {
        ScratchDir dir;
        CountingSystem sys;
        auto frame = makeFrame();
        QVERIFY(activate(*frame));
        RichTextBox& rtb = prepared(*frame, QStringLiteral("abcde"), 1, 2);
        QCOMPARE(QApplication::focusWidget(), &rtb);
        frame->mnuEditDelete_Click();
        QCOMPARE(rtb.Text(), QStringLiteral("ade"));
        QCOMPARE(rtb.SelStart(), 1);
        QCOMPARE(changed(*frame), -1);
        // Nothing selected: the character after the caret goes, as with the control's own Del; a
        // CR LF goes as one; at the end nothing happens. No beep.
        rtb.SetText(QStringLiteral("a\r\nde"));
        for (const auto& [at, left] : {std::pair{1, "ade"}, {1, "ae"}, {2, "ae"}}) {
            rtb.SetSelStart(at);
            frame->mnuEditDelete_Click();
            QCOMPARE(rtb.Text(), QString::fromLatin1(left));
        }
        QCOMPARE(sys.beeps, 0);
    }

    void deleteActsOnAFocusedLineEdit() {
        ScratchDir dir;
        auto frame = makeFrame();
        RichTextBox& rtb = prepared(*frame, QStringLiteral("abcde"), 1, 2);
        QWidget box;
        auto* line = new QLineEdit(QStringLiteral("find me"), &box);
        (new QVBoxLayout(&box))->addWidget(line);
        box.show();
        QVERIFY(activate(box));
        line->setFocus();
        QCOMPARE(QApplication::focusWidget(), line);
        line->setSelection(0, 5);
        frame->mnuEditDelete_Click();
        QCOMPARE(line->text(), QStringLiteral("me"));
        frame->mnuEditDelete_Click();   // nothing selected: nothing removed
        QCOMPARE(line->text(), QStringLiteral("me"));
        QCOMPARE(rtb.Text(), QStringLiteral("abcde"));   // the document is not the focused control
    }

    // ---- Undo

    void undoReversesTheLastEditOnceEventsRun() {
        ScratchDir dir;
        auto frame = makeFrame();
        QVERIFY(activate(*frame));
        RichTextBox& rtb = *frame->ActiveForm()->RTB1;
        QCOMPARE(QApplication::focusWidget(), &rtb);
        QTest::keyClicks(&rtb, QStringLiteral("hello"));
        frame->mnuEditHtmlBr_Click();
        QCOMPARE(rtb.Text(), QStringLiteral("hello<BR>"));
        frame->mnuEditUndo_Click();
        QCOMPARE(rtb.Text(), QStringLiteral("hello<BR>"));   // queued, not done yet
        settle();
        QCOMPARE(rtb.Text(), QStringLiteral("hello"));        // the inserted tag is one step
        frame->mnuEditUndo_Click();
        settle();
        QCOMPARE(rtb.Text(), QString());   // the typing before it
    }

    // ---- The Edit menu's state

    void everythingEnabledBeforeTheMenuFirstOpens() {
        ScratchDir dir;
        auto frame = makeFrame();
        QCOMPARE(enabledItems(*frame), allBut({}));
        closeAllDocuments(*frame);
        QCOMPARE(enabledItems(*frame), allBut({}));
    }

    void menuState_data() {
        QTest::addColumn<bool>("window");
        QTest::addColumn<bool>("selection");
        QTest::addColumn<QString>("clip");   // "<image>" for a picture only
        QTest::addColumn<QStringList>("disabled");
        const QStringList cutCopyDelete{"mnuEditCut", "mnuEditCopy", "mnuEditDelete"};
        const QStringList allThirteen{
            "mnuEditUndo", "mnuEditCut", "mnuEditCopy", "mnuEditPaste", "mnuEditDelete", "mnuEditSelectAll",
            "mnuEditTimeDate", "mnuEditHtmlHead", "mnuEditHtmlTitle", "mnuEditHtmlBody", "mnuEditHtmlBr",
            "mnuEditHtmlHr", "mnuEditHtmlCenter"};
        QTest::newRow("selection and clipboard text") << true << true << "t" << QStringList{};
        QTest::newRow("selection, empty clipboard") << true << true << "" << QStringList{"mnuEditPaste"};
        QTest::newRow("selection, picture on clipboard") << true << true << "<image>" << QStringList{"mnuEditPaste"};
        QTest::newRow("no selection, clipboard text") << true << false << "t" << cutCopyDelete;
        QTest::newRow("no selection, empty clipboard") << true << false << "" << cutCopyDelete + QStringList{"mnuEditPaste"};
        QTest::newRow("no window, clipboard text") << false << false << "t" << allThirteen;
        QTest::newRow("no window, empty clipboard") << false << false << "" << allThirteen;
    }
    void menuState() {
        QFETCH(bool, window);
        QFETCH(bool, selection);
        QFETCH(QString, clip);
        QFETCH(QStringList, disabled);
        ScratchDir dir;
        auto frame = makeFrame();
        if (clip == QLatin1String("<image>")) {
            auto* data = new QMimeData;
            data->setImageData(QImage(4, 4, QImage::Format_RGB32));
            clipboard().setMimeData(data);
        } else if (!clip.isEmpty()) {
            clipboard().setText(clip);
        }
        prepared(*frame, QStringLiteral("abcde"), 1, selection ? 2 : 0);
        if (!window) closeAllDocuments(*frame);
        QVERIFY(!window == !frame->ActiveForm());
        // The opposite state first, so that every item has to be set.
        for (const char* name : kEditItems) frame->item(name)->setEnabled(disabled.contains(QLatin1String(name)));
        frame->item("mnuEditHtml")->setEnabled(true);
        frame->item("mnuEditHtmlInsert")->setEnabled(true);
        emit frame->menu("mnuEdit")->aboutToShow();
        QCOMPARE(enabledItems(*frame), allBut(disabled));
    }

    void stateStaysUntilTheMenuOpensAgain() {
        ScratchDir dir;
        auto frame = makeFrame();
        clipboard().setText(QStringLiteral("t"));
        prepared(*frame, QStringLiteral("abcde"), 1, 2);
        frame->mnuEdit_Click();
        QCOMPARE(enabledItems(*frame), allBut({}));
        closeAllDocuments(*frame);
        clipboard().clear();
        QCOMPARE(enabledItems(*frame), allBut({}));   // stale until the next opening
        frame->mnuEdit_Click();
        QCOMPARE(enabledItems(*frame), QStringList({"mnuEditHtml", "mnuEditHtmlInsert"}));
    }

    void rightClickMenuSetsTheSameState() {
        ScratchDir dir;
        auto frame = makeFrame();
        prepared(*frame, QStringLiteral("abcde"), 1, 0);
        Form1* form = frame->ActiveForm();
        emit form->RTB1->MouseDown(2, 0, 5, 5);
        QMenu* edit = frame->menu("mnuEdit");
        QVERIFY(edit->isVisible());
        edit->hide();
        QCOMPARE(enabledItems(*frame), allBut({"mnuEditCut", "mnuEditCopy", "mnuEditDelete", "mnuEditPaste"}));
    }

    // ---- Keys typed in the editor reach the menu's commands

    void shortcutsTypedInTheEditorRunTheCommands() {
        ScratchDir dir;
        CountingSystem sys;
        auto frame = makeFrame();
        QVERIFY(activate(*frame));
        RichTextBox& rtb = prepared(*frame, QString(), 0, 0);
        QTest::keyClick(&rtb, Qt::Key_F5);
        QTest::keyClick(&rtb, Qt::Key_E, Qt::ControlModifier);
        QTest::keyClick(&rtb, Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(rtb.Text(), QStringLiteral(" 2:07 PM 12-06-2026<Head> </Head><Center> </Center>"));
        QTest::keyClick(&rtb, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(rtb.SelLength(), rtb.TextLength());
        QTest::keyClick(&rtb, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard().text(), rtb.Text());
        QTest::keyClick(&rtb, Qt::Key_Delete);
        QCOMPARE(rtb.Text(), QString());
        // Del belongs to the Delete item while it is enabled: with nothing selected it removes the
        // character after the caret, as the control's own Del does.
        rtb.SetText(QStringLiteral("wxyz"));
        rtb.SetSelStart(0);
        QVERIFY(frame->item("mnuEditDelete")->isEnabled());
        QTest::keyClick(&rtb, Qt::Key_Delete);
        QCOMPARE(rtb.Text(), QStringLiteral("xyz"));
        QTest::keyClick(&rtb, Qt::Key_Delete, Qt::KeypadModifier);   // the keypad's Del is the same key
        QCOMPARE(rtb.Text(), QStringLiteral("yz"));
        rtb.SetSelLength(1);
        QTest::keyClick(&rtb, Qt::Key_Delete, Qt::KeypadModifier);
        QCOMPARE(rtb.Text(), QStringLiteral("z"));
        // Once the menu has opened without a selection, the disabled item leaves Del to the editor.
        rtb.SetText(QStringLiteral("xy"));
        frame->mnuEdit_Click();
        QVERIFY(!frame->item("mnuEditDelete")->isEnabled());
        QTest::keyClick(&rtb, Qt::Key_Delete);
        QCOMPARE(rtb.Text(), QStringLiteral("y"));
        QCOMPARE(sys.beeps, 0);
    }

    // ---- Commands reached with no document window open

    void commandsWithoutADocumentDoNothing() {
        ScratchDir dir;
        ScriptedModal modal;
        CountingSystem sys;
        auto frame = makeFrame();
        closeAllDocuments(*frame);
        QVERIFY(!frame->ActiveForm());
        clipboard().setText(QStringLiteral("keep"));
        QVERIFY(frame->item("mnuEditCut")->isEnabled());   // stale: the menu has not opened since
        frame->mnuEditUndo_Click();
        frame->mnuEditCut_Click();
        frame->mnuEditCopy_Click();
        frame->mnuEditPaste_Click();
        frame->mnuEditDelete_Click();
        frame->mnuEditSelectAll_Click();
        frame->mnuEditTimeDate_Click();
        frame->mnuEditHtmlHead_Click();
        frame->mnuEditHtmlTitle_Click();
        frame->mnuEditHtmlBody_Click();
        frame->mnuEditHtmlBr_Click();
        frame->mnuEditHtmlHr_Click();
        frame->mnuEditHtmlCenter_Click();
        settle();
        QVERIFY(frame->documentWindows().isEmpty());
        QCOMPARE(clipboard().text(), QStringLiteral("keep"));
        QCOMPARE(sys.beeps, 0);
        QVERIFY(modal.messages.isEmpty());
    }

    // ---- HTML

    void htmlTags_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("text");
        using K = editcmd::HtmlTagKind;
        QTest::newRow("head") << int(K::Head) << "<Head> </Head>";
        QTest::newRow("title") << int(K::Title) << "<Title> </Title>";
        QTest::newRow("body") << int(K::Body) << "<Body>\r\n\r\n</Body>";
        QTest::newRow("br") << int(K::Br) << "<BR>";
        QTest::newRow("hr") << int(K::Hr) << "<HR>";
        QTest::newRow("center") << int(K::Center) << "<Center> </Center>";
    }
    void htmlTags() {
        QFETCH(int, kind);
        QFETCH(QString, text);
        ScratchDir dir;
        auto frame = makeFrame();
        const QHash<int, void (MDIForm1::*)()> commands{
            {int(editcmd::HtmlTagKind::Head), &MDIForm1::mnuEditHtmlHead_Click},
            {int(editcmd::HtmlTagKind::Title), &MDIForm1::mnuEditHtmlTitle_Click},
            {int(editcmd::HtmlTagKind::Body), &MDIForm1::mnuEditHtmlBody_Click},
            {int(editcmd::HtmlTagKind::Br), &MDIForm1::mnuEditHtmlBr_Click},
            {int(editcmd::HtmlTagKind::Hr), &MDIForm1::mnuEditHtmlHr_Click},
            {int(editcmd::HtmlTagKind::Center), &MDIForm1::mnuEditHtmlCenter_Click}};
        QCOMPARE(editcmd::htmlTagText(editcmd::HtmlTagKind(kind)), text);

        // In an empty document: the tag, the caret behind it.
        RichTextBox& rtb = prepared(*frame, QString(), 0, 0);
        (frame.get()->*commands.value(kind))();
        QCOMPARE(rtb.Text(), text);
        QCOMPARE(rtb.SelStart(), text.size());
        QCOMPARE(changed(*frame), -1);

        // Over a selected word: the word is replaced, not enclosed.
        prepared(*frame, QStringLiteral("one word two"), 4, 4);
        (frame.get()->*commands.value(kind))();
        QCOMPARE(rtb.Text(), QStringLiteral("one ") + text + QStringLiteral(" two"));
        QCOMPARE(rtb.SelStart(), 4 + text.size());
        QCOMPARE(rtb.SelLength(), 0);
    }

    void brThreeTimesInsertsThreeTagsInARow() {
        ScratchDir dir;
        auto frame = makeFrame();
        RichTextBox& rtb = prepared(*frame, QStringLiteral("left right\r\n"), 4, 0);
        for (int i = 0; i < 3; ++i) frame->mnuEditHtmlBr_Click();
        QCOMPARE(rtb.Text(), QStringLiteral("left<BR><BR><BR> right\r\n"));
        QCOMPARE(rtb.SelStart(), 16);
    }

    void skeletonIsExact() {
        const QString s = editcmd::htmlSkeleton();
        QCOMPARE(s.size(), 74);
        QCOMPARE(s, QStringLiteral("<html>\r\n\r\n<head>\r\n<title></title>\r\n</head>\r\n\r\n<body>\r\n</body>\r\n\r\n</html>\r\n"));
    }

    void insertFrameAtTheCaretOrOverTheSelection_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("sel");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("mid-line caret") << 3 << 0 << "abc" << "def\r\nghi";
        QTest::newRow("selection") << 2 << 3 << "ab" << "f\r\nghi";
    }
    void insertFrameAtTheCaretOrOverTheSelection() {
        QFETCH(int, start);
        QFETCH(int, sel);
        QFETCH(QString, before);
        QFETCH(QString, after);
        ScratchDir dir;
        auto frame = makeFrame();
        RichTextBox& rtb = prepared(*frame, QStringLiteral("abcdef\r\nghi"), start, sel);
        frame->mnuEditHtmlInsert_Click();
        QCOMPARE(rtb.Text(), before + editcmd::htmlSkeleton() + after);
        QCOMPARE(rtb.SelStart(), before.size() + 74);
        QCOMPARE(changed(*frame), -1);
        QCOMPARE(frame->documentWindows().size(), 1);
    }

    void insertFrameWithoutADocumentOpensOne() {
        ScratchDir dir;
        ScriptedModal modal;
        auto frame = makeFrame();
        emit frame->menu("mnuEdit")->aboutToShow();
        closeAllDocuments(*frame);
        emit frame->menu("mnuEdit")->aboutToShow();
        QVERIFY(frame->item("mnuEditHtmlInsert")->isEnabled());
        frame->mnuEditHtmlInsert_Click();
        settle();
        Form1* form = frame->ActiveForm();
        QVERIFY(form);
        QCOMPARE(frame->documentWindows().size(), 1);
        QCOMPARE(form->Caption(), QStringLiteral("Document ") + form->Tag());
        QCOMPARE(form->RTB1->Text(), editcmd::htmlSkeleton());
        QCOMPARE(frame->table().DocumentStates[form->slot()].Changed, -1);
        // Closing it asks about the changes.
        modal.answerMessage(tp::MsgResult::Cancel);
        QVERIFY(!form->Form_QueryUnload());
        QCOMPARE(modal.messages.size(), 1);
    }
};

QTEST_MAIN(EditCommandsTest)
#include "EditCommands_test.moc"
