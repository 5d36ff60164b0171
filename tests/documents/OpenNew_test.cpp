#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "platform/RichTextBox.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QAction>
#include <QDir>
#include <QMdiSubWindow>
#include <QTest>

#include <sys/stat.h>

class OpenNewTest : public QObject {
    Q_OBJECT
private slots:
    void newTakesTheLowestFreeSlotAndIsUnchanged() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        Form1* d2 = documents::NewDocument(*frame);
        d2->RTB1->SetText(QStringLiteral("unsaved"));
        modal.answerMessage(tp::MsgResult::No);
        d2->subWindow()->close();
        settle();
        Form1* again = documents::NewDocument(*frame);
        QCOMPARE(again->Caption(), QStringLiteral("Document 2"));
        QCOMPARE(frame->table().DocumentStates[2].Changed, 0);
        QCOMPARE(frame->ActiveForm(), again);
        // The start-up window kept its changed state.
        frame->documentWindows().first()->RTB1->SetText(QStringLiteral("x"));
        QCOMPARE(frame->table().DocumentStates[1].Changed, -1);
        documents::NewDocument(*frame);
        QCOMPARE(frame->table().DocumentStates[1].Changed, -1);
    }

    void openUsesTheFileTypeListAndSkipsTheFileSlotForNew() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        const QString path = dir.file(QStringLiteral("Index.htm"));
        writeBytes(path, "<html>\r\n");
        modal.answerFile(path);
        frame->mnuFileOpen_Click();
        QCOMPARE(modal.fileDialogs.size(), 1);
        const tp::FileDialogRequest& q = modal.fileDialogs.first();
        QCOMPARE(q.kind, tp::FileDialogKind::Open);
        QCOMPARE(q.selectedFilter, 0);
        QCOMPARE(q.fileName, QString());
        QCOMPARE(q.nameFilters.size(), 11);
        QCOMPARE(q.nameFilters.first(),
                 QStringLiteral("All Documents (*.htm *.html *.shtm *.shtml *.stm *.xml *.jav *.java *.css *.asp "
                                "*.cfm *.cfml *.txt *.php)"));
        QCOMPARE(q.nameFilters[2], QStringLiteral("Server-Side Includes (*.stm; *.shtm; *.shtml) (*.stm *.shtm *.shtml)"));
        // The caption as written; the pattern shows every file, also README or Makefile.
        QCOMPARE(q.nameFilters.last(), QStringLiteral("All files (*.*) (*)"));
        QCOMPARE(frame->CommonDialog1.Filter,
                 QStringLiteral("All Documents | *.htm;*.html;*.shtm;*.shtml;*.stm;*.xml;*.jav;*.java;*.css;*.asp;"
                                "*.cfm;*.cfml;*.txt;*.php|HTML Documents (*.htm; *.html) | *.htm;*.html"
                                "|Server-Side Includes (*.stm; *.shtm; *.shtml)| *.stm; *.shtm; *.shtml"
                                "|XML Files (*.xml)| *.xml|Java Files (*.jav; *.java)| *.jav;*.java"
                                "|Style Sheets (*.css)| *.css|Active Server Pages (*.asp)| *.asp"
                                "|Cold Fusion Templates (*.cfm; *.cfml)| *.cfm; *.cfml|Text Files (*.txt)| *.txt"
                                "|PHP Files (*.php)| *.php|All files (*.*) | *.*"));

        Form1* doc = frame->ActiveForm();
        QCOMPARE(doc->Caption(), path.toUpper());
        QCOMPARE(doc->Tag(), QStringLiteral("2"));
        QCOMPARE(doc->RTB1->Text(), QStringLiteral("<html>\r\n"));
        QCOMPARE(frame->table().DocumentStates[2].Changed, 0);
        QCOMPARE(frame->strCurrentFile, path);
        QCOMPARE(frame->documentWindows().size(), 2);   // the empty window was not reused
        QCOMPARE(documents::NewDocument(*frame)->Caption(), QStringLiteral("Document 3"));
    }

    void unopenableFilesClaimNoSlot_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << QStringLiteral("missing.htm");
        QTest::newRow("folder") << QStringLiteral("folder");
        QTest::newRow("fifo") << QStringLiteral("pipe");
        QTest::newRow("odd name") << QStringLiteral("it's $(rm -rf x); <b>n\u00e4me</b>.htm");
    }
    void unopenableFilesClaimNoSlot() {
        QFETCH(QString, name);
        ScratchDir dir;
        QDir(dir.path()).mkdir(QStringLiteral("folder"));
        ::mkfifo(QFile::encodeName(dir.file(QStringLiteral("pipe"))).constData(), 0600);
        auto frame = makeFrame();
        ScriptedModal modal;
        const QString path = dir.file(name);
        modal.answerFile(path);
        frame->mnuFileOpen_Click();   // a FIFO must not block
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(modal.messages.first().text, QStringLiteral("Can't open file: ") + path);
        QCOMPARE(modal.messages.first().title, QStringLiteral("Tesselpad"));
        QCOMPARE(modal.messages.first().buttons, tp::MsgButtons::OK);
        QCOMPARE(modal.messages.first().icon, tp::MsgIcon::None);
        QCOMPARE(frame->documentWindows().size(), 1);
        QCOMPARE(frame->table().upperBound(), 1);
        QCOMPARE(frame->strCurrentFile, path);
    }

    void cancelledOpenDoesNothingEvenWithCancelErrorSet() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        frame->CommonDialog1.CancelError = true;   // as Print leaves it
        modal.answerFile(QString());
        frame->mnuFileOpen_Click();
        QCOMPARE(modal.messages.size(), 0);
        QCOMPARE(frame->documentWindows().size(), 1);
    }

    void emptyFileOpensUnchangedAndSameFileTwiceGivesTwoWindows() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        const QString path = dir.file(QStringLiteral("empty.txt"));
        writeBytes(path, QByteArray());
        Form1* a = documents::openDocument(*frame, path);
        Form1* b = documents::openDocument(*frame, path);
        QVERIFY(a && b && a != b);
        QCOMPARE(a->Caption(), b->Caption());
        QCOMPARE(a->RTB1->Text(), QString());
        QCOMPARE(frame->table().DocumentStates[a->slot()].Changed, 0);
        // Closing a freshly opened window asks nothing.
        a->subWindow()->close();
        settle();
        QCOMPARE(modal.messages.size(), 0);
    }

    void fileMenuFollowsTheActiveWindowAndShortcutsFollowTheMenu() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        const char* items[] = {"mnuFileClose", "mnuFileSave", "mnuFileSaveAs", "mnuFilePrint"};
        frame->mnuFile_Click();
        for (const char* n : items) QVERIFY(frame->item(n)->isEnabled());
        frame->ActiveForm()->subWindow()->close();
        settle();
        // Stale state: still enabled until the menu opens again.
        QVERIFY(frame->item("mnuFileSave")->isEnabled());
        frame->mnuFileSave_Click();   // finds no window and does nothing
        QCOMPARE(modal.fileDialogs.size(), 0);
        frame->mnuFile_Click();
        for (const char* n : items) QVERIFY(!frame->item(n)->isEnabled());
        for (const char* n : {"mnuFileNew", "mnuFileOpen", "mnuFilePageSetup", "mnuEditOptions", "mnuFileExit"})
            QVERIFY(frame->item(n)->isEnabled());
        documents::NewDocument(*frame);
        QVERIFY(!frame->item("mnuFileSave")->isEnabled());   // until the menu opens again
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        QTest::keyClick(frame->ActiveForm()->RTB1, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(modal.fileDialogs.size(), 0);
        frame->mnuFile_Click();
        modal.answerFile(QString());
        QTest::keyClick(frame->ActiveForm()->RTB1, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(modal.fileDialogs.size(), 1);
    }
};

QTEST_MAIN(OpenNewTest)
#include "OpenNew_test.moc"
