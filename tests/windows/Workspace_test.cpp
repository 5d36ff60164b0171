// Tabs, further views of a document, Save All and the keys beside the menu's own.
#include "app/MDIForm1.h"
#include "documents/DocumentCommands.h"
#include "documents/ExtraView.h"
#include "documents/Form1.h"
#include "platform/RichTextBox.h"
#include "search/FindInDocument.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"
#include "windows/Tabs.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>

namespace {
// Records which document was in front when each question came.
struct Watching : ScriptedModal {
    MDIForm1* frame = nullptr;
    QStringList inFront;
    tp::MsgResult message(const tp::MessageRequest& r) override {
        inFront << (frame->ActiveForm() ? frame->ActiveForm()->Caption() : QString());
        return ScriptedModal::message(r);
    }
};
ExtraView* activeView(MDIForm1& frame) { return qobject_cast<ExtraView*>(frame.mdiArea()->currentSubWindow()->widget()); }
} // namespace

class WorkspaceTest : public QObject {
    Q_OBJECT
private slots:
    void aSecondViewIsTheSameDocument() {
        ScratchDir dir;
        writeBytes(dir.file("Page.htm"), "one\r\n");
        auto frame = makeFrame();
        QVERIFY(frame->isActiveWindow() || (frame->activateWindow(), QTest::qWaitForWindowActive(frame.get())));
        ScriptedModal modal;
        Form1* form = documents::openFile(*frame, dir.file("Page.htm"));
        frame->mnuWindowNewWindow_Click();
        ExtraView* view = activeView(*frame);
        QVERIFY(view && view->form() == form);
        QCOMPARE(frame->mdiArea()->currentSubWindow()->windowTitle(), form->Caption() + ":2");
        QCOMPARE(form->subWindow()->windowTitle(), form->Caption() + ":1");
        QCOMPARE(view->control()->folding(), form->RTB1->folding());   // fold marks when the window has them
        QTest::keyClicks(view->control(), "x");
        QCOMPARE(form->RTB1->Text(), QStringLiteral("xone\r\n"));
        QVERIFY(form->isChanged());
        // Save from the view: the one document, written once.
        frame->item("mnuFileSave")->trigger();
        QCOMPARE(readBytes(dir.file("Page.htm")), QByteArray("xone\r\n"));
        QVERIFY(!form->isChanged());
        // A command acts where the view's caret is, and the view follows it.
        QTest::keyClick(view->control(), Qt::Key_End);
        frame->item("mnuEditHtmlBr")->trigger();
        QCOMPARE(form->RTB1->Text(), QStringLiteral("xone<BR>\r\n"));
        QCOMPARE(view->control()->SelStart(), 8);
        // Typing in the view has the window's aids: a start tag typed is closed.
        QTest::keyClicks(view->control(), "<b>");
        QCOMPARE(form->RTB1->Text(), QStringLiteral("xone<BR><b></b>\r\n"));
        // Closing the document's own window while the view stays asks nothing and keeps the text.
        form->subWindow()->close();
        settle();
        QCOMPARE(modal.messages.size(), 0);
        QCOMPARE(frame->documentWindows().size(), 2);   // "Document" and the page
        QCOMPARE(frame->documentWindows().last(), form);
        QCOMPARE(form->subWindow()->windowTitle(), form->Caption());
        QCOMPARE(frame->mdiArea()->subWindowList().size(), 2);
        // The last view asks as always.
        modal.answerMessage(tp::MsgResult::Cancel);
        documents::mnuFileClose(*frame);
        settle();
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(frame->documentWindows().size(), 2);
    }

    void closingAViewAsksNothingAndTheFrameAsksOnce() {
        ScratchDir dir;
        auto frame = makeFrame();
        Watching modal;
        modal.frame = frame.get();
        frame->ActiveForm()->RTB1->SetText("unsaved");
        frame->mnuWindowNewWindow_Click();
        frame->mnuWindowNewWindow_Click();
        QCOMPARE(frame->mdiArea()->currentSubWindow()->windowTitle(), QStringLiteral("Document:3"));
        documents::mnuFileClose(*frame);
        settle();
        QCOMPARE(modal.messages.size(), 0);
        documents::NewDocument(*frame)->RTB1->SetText("two");
        modal.answerMessage(tp::MsgResult::No);
        modal.answerMessage(tp::MsgResult::No);
        QVERIFY(frame->close());
        settle();
        // One question a document, each asked with its document in front.
        QCOMPARE(modal.inFront, (QStringList{"Document 2", "Document"}));
    }

    void saveAllStopsAtTheFirstFailure() {
        ScratchDir dir;
        writeBytes(dir.file("a.htm"), "a");
        writeBytes(dir.file("b.htm"), "b");
        auto frame = makeFrame();
        ScriptedModal modal;
        Form1* a = documents::openFile(*frame, dir.file("a.htm"));
        Form1* b = documents::openFile(*frame, dir.file("b.htm"));
        a->RTB1->SetText("A");
        b->RTB1->SetText("B");
        frame->ActiveForm()->RTB1->SetText("");   // b is active
        frame->documentWindows().first()->RTB1->SetText("untitled");
        QFile::remove(dir.file("a.htm"));
        QVERIFY(QDir().mkdir(dir.file("a.htm")));   // a folder where a's file was: its save fails
        modal.answerMessage(tp::MsgResult::Yes);    // the file is gone: write it anyway
        frame->mnuFileSaveAll_Click();
        QVERIFY(modal.messages.last().text.startsWith("Can't save file: "));
        QCOMPARE(modal.fileDialogs.size(), 0);
        QVERIFY(a->isChanged() && b->isChanged());
        QCOMPARE(frame->ActiveForm(), a);
        QCOMPARE(readBytes(dir.file("b.htm")), QByteArray("b"));
    }

    void tabsNameTheFileAndItsChanges() {
        ScratchDir dir;
        writeBytes(dir.file("Index.HTML"), "x");
        auto frame = makeFrame();
        ScriptedModal modal;
        Form1* form = documents::openFile(*frame, dir.file("Index.HTML"));
        QCOMPARE(windowcmd::tabText(*form), QStringLiteral("Index.HTML"));
        form->RTB1->SetText("y");
        QCOMPARE(windowcmd::tabText(*form), QStringLiteral("*Index.HTML"));
        QCOMPARE(windowcmd::tabTip(*form), dir.file("Index.HTML"));
        frame->mnuViewTabbed_Click();
        QCOMPARE(frame->mdiArea()->viewMode(), QMdiArea::TabbedView);
        // Switching leaves every tab's window filling the area (restoring the one going behind
        // repaints every window the area holds).
        Form1* other = documents::NewDocument(*frame);
        frame->mdiArea()->activatePreviousSubWindow();
        QCOMPARE(frame->ActiveForm(), form);
        QVERIFY(form->subWindow()->isMaximized() && other->subWindow()->isMaximized());
        frame->mnuWindowTileVertical_Click();
        QCOMPARE(frame->mdiArea()->viewMode(), QMdiArea::SubWindowView);
        // The next start shows tabs, with its document in front to type in and save.
        frame->mnuViewTabbed_Click();
        frame.reset();
        auto next = makeFrame();
        QCOMPARE(next->mdiArea()->viewMode(), QMdiArea::TabbedView);
        QVERIFY(next->ActiveForm() && next->ActiveForm()->subWindow()->isMaximized());
        next->mnuViewTabbed_Click();
    }

    // Keys beside the shown ones, and the switching keys, in a document's text.
    void keysHandsKnow() {
        ScratchDir dir;
        auto frame = makeFrame();
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        ScriptedModal modal;
        Form1* first = frame->ActiveForm();
        Form1* second = documents::NewDocument(*frame);
        RichTextBox* rtb = second->RTB1;
        QTest::keyClicks(rtb, "ab ab");
        QTest::keyClick(rtb, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rtb->Text(), QString());
        QTest::keyClick(rtb, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(rtb->Text(), QStringLiteral("ab ab"));
        searchcmd::state().strSearchText = "ab";
        QTest::keyClick(rtb, Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(rtb->SelStart(), 3);
        QTest::keyClick(rtb, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(modal.fileDialogs.size(), 1);   // Save As
        QTest::keyClick(rtb, Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(frame->ActiveForm(), first);
        QTest::keyClick(first->RTB1, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(frame->ActiveForm(), second);
        QTest::keyClick(rtb, Qt::Key_W, Qt::ControlModifier);
        settle();
        QCOMPARE(modal.messages.size(), 1);   // Close asks about the changed document
    }
};

QTEST_MAIN(WorkspaceTest)
#include "Workspace_test.moc"
