#include "app/MDIForm1.h"
#include "app/StatusBar.h"
#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "platform/RichTextBox.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"
#include "windows/WindowCommands.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTest>

#include <utility>

namespace {
FrameStatusBar& statusOf(MDIForm1& frame) {
    auto* s = frame.findChild<FrameStatusBar*>(QStringLiteral("FrameStatusBar"));
    if (!s) qFatal("no status bar");
    return *s;
}

// Types characters beyond ASCII, as a keyboard layout or an input method would.
void typeText(QWidget* w, const QString& text) {
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &release);
    }
}
} // namespace

class StatusBarTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheActiveDocumentAndFollowsWindowSwitches() {
        ScratchDir dir;
        ScriptedModal modal;
        const struct {
            const char* name;
            QByteArray text;
            const char* kind;
        } files[] = {
            {"crlf.htm", "<p>\r\n<b>\r\n", "CR LF"},
            {"lf.txt", "one\ntwo\n", "LF"},
            {"cr.txt", "one\rtwo\r", "CR"},
            {"mixed.txt", "one\r\ntwo\nthree\r", "mixed"},
        };
        auto frame = makeFrame();
        FrameStatusBar& status = statusOf(*frame);
        QVERIFY(frame->statusBar()->isVisible());
        // The start-up window.
        QCOMPARE(status.positionText(), QStringLiteral("Ln 1, Col 1"));
        QCOMPARE(status.lineEndText(), QStringLiteral("CR LF"));
        QCOMPARE(status.codePageText(), QStringLiteral("Windows-1252"));

        QList<Form1*> forms;
        for (const auto& f : files) {
            writeBytes(dir.file(QLatin1String(f.name)), f.text);
            forms << documents::openDocument(*frame, dir.file(QLatin1String(f.name)));
            QVERIFY(forms.last());
            settle();
            QCOMPARE(status.lineEndText(), QLatin1String(f.kind));
        }
        // Switching windows, in both directions.
        for (int round = 0; round < 2; ++round) {
            for (int i = 3; i >= 0; --i) {
                frame->mdiArea()->setActiveSubWindow(forms[i]->subWindow());
                settle();
                QCOMPARE(status.lineEndText(), QLatin1String(files[i].kind));
            }
        }
        // Enter types the LF document's own line end; a line end of another kind makes it mixed;
        // undoing it, LF again.
        Form1* lf = forms[1];
        frame->mdiArea()->setActiveSubWindow(lf->subWindow());
        lf->RTB1->setFocus();
        lf->RTB1->SetSelStart(3);
        QTest::keyClick(lf->RTB1, Qt::Key_Return);
        settle();
        QCOMPARE(status.lineEndText(), QStringLiteral("LF"));
        QCOMPARE(status.positionText(), QStringLiteral("Ln 2, Col 1"));
        lf->RTB1->SetSelText(QStringLiteral("\r\n"));
        settle();
        QCOMPARE(status.lineEndText(), QStringLiteral("mixed"));
        QTest::keyClick(lf->RTB1, Qt::Key_Z, Qt::ControlModifier);
        settle();
        QCOMPARE(status.lineEndText(), QStringLiteral("LF"));
        QCOMPARE(lf->RTB1->Text(), QStringLiteral("one\n\ntwo\n"));
        // Its menu converts the document; Enter then types the new line end.
        status.fillLineEndMenu();
        status.lineEndMenu()->actions().at(0)->trigger();   // Convert to CR LF
        settle();
        QCOMPARE(status.lineEndText(), QStringLiteral("CR LF"));
        QCOMPARE(lf->RTB1->Text(), QStringLiteral("one\r\n\r\ntwo\r\n"));
    }

    void followsTypingAndClicking() {
        ScratchDir dir;
        auto frame = makeFrame();
        FrameStatusBar& status = statusOf(*frame);
        RichTextBox& rtb = *frame->ActiveForm()->RTB1;
        rtb.setFocus();
        QTest::keyClicks(&rtb, QStringLiteral("abc"));
        QTest::keyClick(&rtb, Qt::Key_Return);
        typeText(&rtb, QStringLiteral("\u00e9\u20ac"));
        settle();
        QCOMPARE(status.positionText(), QStringLiteral("Ln 2, Col 3"));
        QTest::keyClick(&rtb, Qt::Key_Up);
        settle();
        QCOMPARE(status.positionText(), QStringLiteral("Ln 1, Col 3"));
        // A click into the first line, after its second character.
        const long pos = 2;
        const int x = int(rtb.SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, pos));
        const int y = int(rtb.SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, pos));
        QTest::mouseClick(rtb.viewport(), Qt::LeftButton, {}, QPoint(x + 1, y + 4));
        settle();
        QCOMPARE(rtb.SelStart(), 2);
        QCOMPARE(status.positionText(), QStringLiteral("Ln 1, Col 3"));
        const int x1 = int(rtb.SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, 1L));
        QTest::mouseClick(rtb.viewport(), Qt::LeftButton, {}, QPoint(x1 + 1, y + 4));
        settle();
        QCOMPARE(status.positionText(), QStringLiteral("Ln 1, Col 2"));
        // The program moving the caret.
        rtb.SetSelStart(rtb.TextLength());
        settle();
        QCOMPARE(status.positionText(), QStringLiteral("Ln 2, Col 3"));
    }

    void emptyWhenNoDocumentWindowIsOpen() {
        ScratchDir dir;
        ScriptedModal modal;
        auto frame = makeFrame();
        FrameStatusBar& status = statusOf(*frame);
        Form1* second = documents::NewDocument(*frame);
        settle();
        QVERIFY(!status.positionText().isEmpty());
        frame->mnuFileClose_Click();
        settle();
        QVERIFY(frame->ActiveForm() != second);
        QCOMPARE(status.codePageText(), QStringLiteral("Windows-1252"));
        frame->mnuFileClose_Click();
        settle();
        QVERIFY(!frame->ActiveForm());
        QCOMPARE(status.positionText(), QString());
        QCOMPARE(status.lineEndText(), QString());
        QCOMPARE(status.codePageText(), QString());
        documents::NewDocument(*frame);
        settle();
        QCOMPARE(status.positionText(), QStringLiteral("Ln 1, Col 1"));
        QCOMPARE(modal.messages.size(), 0);
    }

    // Unsaved changes show in the status bar and in the Window menu; the captions stay as they are.
    void changedMarker() {
        ScratchDir dir;
        ScriptedModal modal;
        writeBytes(dir.file(QStringLiteral("page.htm")), "<p>");
        auto frame = makeFrame();
        FrameStatusBar& status = statusOf(*frame);
        Form1* page = documents::openDocument(*frame, dir.file(QStringLiteral("page.htm")));
        settle();
        QCOMPARE(status.changedText(), QString());
        QTest::keyClicks(page->RTB1, QStringLiteral("x"));
        settle();
        QCOMPARE(status.changedText(), QStringLiteral("Changed"));
        const auto entries = [&] {
            emit frame->menu("mnuWindow")->aboutToShow();
            QStringList texts;
            for (QAction* a : frame->menu("mnuWindow")->actions())
                if (!a->isSeparator() && a->isCheckable()) texts << a->text();
            return texts;
        };
        const QString pageEntry = QStringLiteral("&2 ") + page->Caption();
        QCOMPARE(entries(), (QStringList{QStringLiteral("&1 Document"), pageEntry + windowcmd::kChangedMark}));
        QCOMPARE(page->Caption(), dir.file(QStringLiteral("page.htm")).toUpper());
        frame->item("mnuFileSave")->trigger();   // Ctrl+S
        settle();
        QCOMPARE(status.changedText(), QString());
        QCOMPARE(entries(), (QStringList{QStringLiteral("&1 Document"), pageEntry}));
        QCOMPARE(readBytes(dir.file(QStringLiteral("page.htm"))), QByteArray("x<p>\r\n"));
    }

    // A line shown plain in a coloured document says so while the caret is on it.
    void saysWhenTheCaretsLineIsNotColoured() {
        ScratchDir dir;
        auto frame = makeFrame();
        FrameStatusBar& status = statusOf(*frame);
        writeBytes(dir.file(QStringLiteral("min.css")), "a{}\n" + QByteArray(RichTextBox::kUncolouredLineBytes + 1, 'b'));
        Form1* form = documents::openDocument(*frame, dir.file(QStringLiteral("min.css")));
        QVERIFY(form);
        for (const auto& [line, text] : {std::pair{1, "Long line not coloured"}, std::pair{0, ""}}) {
            form->RTB1->selectBytes(form->RTB1->lineStartByte(line), form->RTB1->lineStartByte(line));
            settle();
            QCOMPARE(status.colourText(), QLatin1String(text));
        }
    }
};

QTEST_MAIN(StatusBarTest)
#include "StatusBar_test.moc"
