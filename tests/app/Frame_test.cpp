#include "app/MDIForm1.h"
#include "app/MenuTree.h"
#include "documents/DocumentCommands.h"
#include "documents/Form1.h"
#include "platform/RichTextBox.h"
#include "support/ScriptedModal.h"
#include "support/TestFrame.h"

#include <QAction>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

namespace {
struct Expected {
    const char* name;
    const char* caption;
    const char* shortcut;
};
// The menu bar as users know it.
const Expected kExpected[] = {
    {"mnuFile", "&File", ""}, {"mnuFileNew", "&New", "Ctrl+N"}, {"mnuFileOpen", "&Open", "Ctrl+O"},
    {"mnuFileClose", "&Close", ""}, {"bar0", "", ""}, {"mnuFileSave", "Save", "Ctrl+S"},
    {"mnuFileSaveAs", "Save &As", "Ctrl+K"}, {"bar1", "", ""}, {"mnuFilePageSetup", "Page Se&tup...", ""},
    {"mnuFilePrint", "&Print", "Ctrl+P"}, {"bar2", "", ""}, {"mnuEditOptions", "&Options", ""},
    {"mnuFileBar3", "", ""}, {"mnuFileExit", "E&xit", ""},
    {"mnuFileBar4", "", ""}, {"mnuFileSaveAll", "Save A&ll", "Ctrl+Alt+S"},
    {"mnuFileReopenSession", "Reopen Last Sess&ion", ""}, {"mnuFileReopenAtStart", "Reopen Session at Sta&rt", ""},
    {"mnuEdit", "&Edit", ""}, {"mnuEditUndo", "&Undo", ""}, {"mnuEditBar0", "", ""},
    {"mnuEditCut", "Cu&t", "Ctrl+X"}, {"mnuEditCopy", "&Copy", "Ctrl+C"}, {"mnuEditPaste", "&Paste", ""},
    {"mnuEditDelete", "De&lete", "Del"}, {"mnuEditBar1", "", ""}, {"mnuEditSelectAll", "Select &All", "Ctrl+A"},
    {"mnuEditTimeDate", "Time/&Date", "F5"}, {"mnuEditBar2", "", ""}, {"mnuEditHtml", "&HTML", ""},
    {"mnuEditHtmlInsert", "Insert HTML &Frame", ""}, {"mnuEditHtmlHead", "<H&ead>", "Ctrl+E"},
    {"mnuEditHtmlTitle", "<&Title>", "Ctrl+T"}, {"mnuEditHtmlBody", "<Bo&dy>", "Ctrl+D"},
    {"mnuEditHtmlBr", "<&Br>", "Ctrl+B"}, {"mnuEditHtmlHr", "<&Hr>", "Ctrl+H"},
    {"mnuEditHtmlCenter", "<Cente&r>", "Ctrl+R"}, {"mnuEditBar3", "", ""}, {"mnuEditRedo", "&Redo", "Ctrl+Y"},
    {"mnuEditToggleComment", "Toggle Co&mment", "Ctrl+/"},
    {"mnuEditExpandAbbreviation", "E&xpand Abbreviation", "Ctrl+J"},
    {"mnuEditSelectElement", "Select &Element", "Ctrl+Shift+A"},
    {"mnuSearch", "&Search", ""}, {"mnuSearchFind", "&Find", "Ctrl+F"}, {"mnuSearchFindNext", "Find &Next", "F3"},
    {"mnuSearchFindPrevious", "Find Pre&vious", "Shift+F3"},
    {"mnuSearchBar0", "", ""}, {"mnuSearchReplace", "&Replace...", "Ctrl+Shift+H"},
    {"mnuSearchFindInFiles", "Find in F&iles...", "Ctrl+Shift+F"}, {"mnuSearchGoToLine", "&Go to Line...", "Ctrl+G"},
    {"mnuView", "&View", ""}, {"mnuViewZoomIn", "Zoom &In", "Ctrl+="}, {"mnuViewZoomOut", "Zoom &Out", "Ctrl+-"},
    {"mnuViewZoomReset", "&Reset Zoom", "Ctrl+0"}, {"mnuViewBar0", "", ""}, {"mnuViewWordWrap", "&Word Wrap", ""},
    {"mnuViewColouring", "&Colouring", ""}, {"mnuViewColouringPlain", "&Plain Text", ""},
    {"mnuViewColouringHtml", "&HTML", ""}, {"mnuViewColouringXml", "&XML", ""}, {"mnuViewColouringCss", "&CSS", ""},
    {"mnuViewColouringJava", "&Java", ""}, {"mnuViewColouringJavaScript", "Java&Script", ""},
    {"mnuViewColouringJson", "JS&ON", ""}, {"mnuViewColouringPhp", "PHP", ""},
    {"mnuViewColouringMarkdown", "&Markdown", ""}, {"mnuViewColouringScss", "SCSS", ""},
    {"mnuViewColouringLess", "&LESS", ""}, {"mnuViewFoldMargin", "&Fold Margin", ""},
    {"mnuViewFoldAll", "Fold &All", "Ctrl+Alt+F"}, {"mnuViewUnfoldAll", "&Unfold All", "Ctrl+Alt+U"},
    {"mnuViewBar1", "", ""}, {"mnuViewTabWidth", "&Tab Width", ""},
    {"mnuViewTabWidth2", "&2 Columns", ""}, {"mnuViewTabWidth4", "&4 Columns", ""},
    {"mnuViewTabWidth8", "&8 Columns", ""}, {"mnuViewIndentSpaces", "Indent with &Spaces", ""},
    {"mnuViewBar2", "", ""}, {"mnuViewBrowser", "View in &Browser", "F12"}, {"mnuViewBar3", "", ""},
    {"mnuViewCloseTags", "Close Ta&gs", ""}, {"mnuViewPairBrackets", "&Pair Brackets and Quotes", ""},
    {"mnuViewAbbreviationsOnTab", "&Expand Abbreviations with Tab", ""},
    {"mnuViewCompleteAsYouType", "Complete as &You Type", ""}, {"mnuViewBar4", "", ""},
    {"mnuViewEncoding", "E&ncoding", ""}, {"mnuViewLineEnds", "&Line Ends", ""},
    {"mnuViewTabbed", "Tabbed &Documents", ""},
    {"mnuViewCheckMarkup", "Check &HTML and XML as You Type", ""},
    {"mnuViewCheckAllReports", "Show All HTML Tidy Reports", ""},
    {"mnuViewCheckNow", "Check Page Now", "Ctrl+Shift+K"}, {"mnuViewProblems", "Problems Panel", "Ctrl+Shift+M"},
    {"mnuViewSpelling", "Chec&k Spelling", ""}, {"mnuViewSpellingLanguage", "Spelling Language", ""},
    {"mnuViewSpellingLanguageSystem", "The &System's Language", ""},
    {"mnuViewSpellCode", "Spelling in Code Comments and Strings", ""},
    {"mnuWindow", "&Window", ""}, {"mnuWindowTileHorizontal", "Tile &Horizontal", ""},
    {"mnuWindowTileVertical", "Tile Vertical", ""}, {"mnuWindowCascade", "&Cascade", ""},
    {"mnuWindowArrangeIcons", "&Arrange Icons", ""},
    {"mnuWindowBar0", "", ""}, {"mnuWindowNewWindow", "&New Window", ""},
    {"mnuHelp", "&Help", ""}, {"mnuHelpTspdhelp", "TSPD &Help", ""}, {"mnuHelpReadme", "&Read Me", ""},
    {"mnuHelpComments", "Send &Comments", ""}, {"mnuHelpBugs", "Report &Bugs", ""},
    {"mnuHelpWeb", "TSPD on the &Web", ""}, {"mnuHelpBar0", "", ""}, {"mnuHelpAbout", "&About", ""},
};

void collect(QMenu* menu, QList<QAction*>& out) {
    for (QAction* a : menu->actions()) {
        out << a;
        if (a->menu()) collect(a->menu(), out);
    }
}
} // namespace

class FrameTest : public QObject {
    Q_OBJECT
private slots:
    void menuBarMatchesTheDefinition() {
        ScratchDir dir;
        auto frame = makeFrame();
        QList<QAction*> all;
        for (QAction* top : frame->menuBar()->actions()) {
            all << top;
            collect(top->menu(), all);
        }
        QCOMPARE(all.size(), int(std::size(kExpected)));
        for (int i = 0; i < all.size(); ++i) {
            const Expected& e = kExpected[i];
            QCOMPARE(all[i]->objectName(), QString::fromLatin1(e.name));
            if (all[i]->isSeparator()) {
                QCOMPARE(QString::fromLatin1(e.caption), QString());
                continue;
            }
            QCOMPARE(all[i]->text(), QString::fromLatin1(e.caption));
            QCOMPARE(all[i]->shortcut().toString(), QString::fromLatin1(e.shortcut));
            if (all[i]->menu()) QCOMPARE(all[i]->menu()->objectName(), QString::fromLatin1(e.name));
        }
        QCOMPARE(frame->windowTitle(), QStringLiteral("Tesselpad"));
        // No key is ambiguous: a shortcut serves one item; an access key one menu of the bar, or one
        // item of the View menu (the File menu's Open and Options share theirs as they always have).
        QSet<QString> keys;
        for (QAction* a : all) {
            const bool top = frame->menuBar()->actions().contains(a);
            const QString access = QKeySequence::mnemonic(a->text()).toString();
            QString scope = top ? QStringLiteral("bar") : QString();
            for (QObject* o : a->associatedObjects())
                if (!top && o != a->menu() && o->objectName().startsWith(QLatin1String("mnuView"))) scope = o->objectName();
            for (const QString& k : {a->shortcut().toString(), access.isEmpty() || scope.isEmpty() ? QString() : scope + QLatin1Char(' ') + access}) {
                QVERIFY2(k.isEmpty() || !keys.contains(k), qPrintable(k));
                keys.insert(k);
            }
        }
    }

    void everyItemHasItsProcedure() {
        const auto& tree = menuTree();
        for (size_t i = 0; i < tree.size(); ++i) {
            const MenuEntry& e = tree[i];
            if (QByteArray(e.caption) == "-") continue;
            const QByteArray slot = QByteArray(e.name) + "_Click()";
            const bool isSubmenu = e.level > 0 && i + 1 < tree.size() && tree[i + 1].level > e.level;
            if (isSubmenu || QByteArray(e.name) == "mnuHelp") continue;
            QVERIFY2(MDIForm1::staticMetaObject.indexOfSlot(slot) >= 0, slot.constData());
        }
    }

    void startsWithOneEmptyUnchangedDocument() {
        ScratchDir dir;
        auto frame = makeFrame();
        QCOMPARE(frame->documentWindows().size(), 1);
        Form1* doc = frame->ActiveForm();
        QVERIFY(doc);
        QCOMPARE(doc->Caption(), QStringLiteral("Document"));
        QCOMPARE(doc->Tag(), QStringLiteral("1"));
        QCOMPARE(doc->RTB1->Text(), QString());
        QCOMPARE(frame->table().DocumentStates[1].Changed, 0);
        QVERIFY(!(doc->subWindow()->windowState() & Qt::WindowMaximized));
    }

    void maximizeSettingAppliesToEveryNewWindow() {
        ScratchDir dir;
        writeBytes(QStringLiteral("tspd.ini"), " 0 , 1 ");
        auto frame = makeFrame();
        QVERIFY(frame->ActiveForm()->subWindow()->windowState() & Qt::WindowMaximized);
        frame->ActiveForm()->subWindow()->showNormal();   // else the frame keeps new windows maximized
        writeBytes(QStringLiteral("tspd.ini"), "2,1");   // field 2 is not consulted
        Form1* next = documents::NewDocument(*frame);
        QVERIFY(!(next->subWindow()->windowState() & Qt::WindowMaximized));
    }

    void typingThenDeletingStillCountsAsChanged() {
        ScratchDir dir;
        auto frame = makeFrame();
        RichTextBox* rtb = frame->ActiveForm()->RTB1;
        rtb->setFocus();
        QTest::keyClicks(rtb, QStringLiteral("x"));
        QTest::keyClick(rtb, Qt::Key_Backspace);
        QCOMPARE(rtb->Text(), QString());
        QCOMPARE(frame->table().DocumentStates[1].Changed, -1);
    }

    void slotsAreReusedLowestFirst() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        Form1* d2 = documents::NewDocument(*frame);
        Form1* d3 = documents::NewDocument(*frame);
        QCOMPARE(d2->Caption(), QStringLiteral("Document 2"));
        QCOMPARE(d3->Caption(), QStringLiteral("Document 3"));
        d2->subWindow()->close();
        settle();
        QCOMPARE(documents::NewDocument(*frame)->Caption(), QStringLiteral("Document 2"));
        QCOMPARE(frame->table().upperBound(), 3);
        // Closing the start-up window frees slot 1.
        frame->mdiArea()->subWindowList().first()->close();
        settle();
        QCOMPARE(documents::NewDocument(*frame)->Caption(), QStringLiteral("Document 1"));
        QCOMPARE(modal.messages.size(), 0);
    }

    void closePromptAsksOnlyForChangedDocuments() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        Form1* doc = frame->ActiveForm();
        doc->RTB1->SetText(QStringLiteral("abc"));
        modal.answerMessage(tp::MsgResult::Cancel);
        documents::mnuFileClose(*frame);
        settle();
        QCOMPARE(modal.messages.size(), 1);
        const tp::MessageRequest& q = modal.messages.first();
        QCOMPARE(q.text, QStringLiteral("The text in [Document] has changed.\r\nDo you want to save the changes?"));
        QCOMPARE(q.title, QStringLiteral("Document"));
        QCOMPARE(q.buttons, tp::MsgButtons::YesNoCancel);
        QCOMPARE(q.icon, tp::MsgIcon::Exclamation);
        QCOMPARE(frame->documentWindows().size(), 1);
        QCOMPARE(frame->table().DocumentStates[1].Changed, -1);

        modal.answerMessage(tp::MsgResult::No);
        documents::mnuFileClose(*frame);
        settle();
        QCOMPARE(frame->documentWindows().size(), 0);
        QCOMPARE(frame->table().DocumentStates[1].Free, -1);
        // With nothing open, Close does nothing and asks nothing.
        documents::mnuFileClose(*frame);
        QCOMPARE(modal.messages.size(), 2);
    }

    void yesWhoseSaveWasCancelledKeepsTheWindow() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        frame->ActiveForm()->RTB1->SetText(QStringLiteral("keep me"));
        modal.answerMessage(tp::MsgResult::Yes);
        modal.answerFile(QString());   // the Save dialog is cancelled
        documents::mnuFileClose(*frame);
        settle();
        QCOMPARE(modal.fileDialogs.size(), 1);
        QCOMPARE(frame->documentWindows().size(), 1);
        QCOMPARE(frame->ActiveForm()->RTB1->Text(), QStringLiteral("keep me"));
        QCOMPARE(frame->table().DocumentStates[1].Changed, -1);
    }

    void yesSavesTheWindowNamedInThePrompt() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        Form1* first = frame->ActiveForm();
        first->RTB1->SetText(QStringLiteral("first"));
        Form1* second = documents::NewDocument(*frame);
        second->RTB1->SetText(QStringLiteral("second"));
        const QString path = dir.file(QStringLiteral("first.txt"));
        // The frame closes: the active window (Document 2) is asked first.
        modal.answerMessage(tp::MsgResult::No);
        modal.answerMessage(tp::MsgResult::Yes);
        modal.answerFile(path);
        QSignalSpy ended(frame.get(), &MDIForm1::ended);
        QVERIFY(frame->close());
        settle();
        QCOMPARE(modal.messages.size(), 2);
        QVERIFY(modal.messages[0].text.contains(QStringLiteral("[Document 2]")));
        QVERIFY(modal.messages[1].text.contains(QStringLiteral("[Document]")));
        QCOMPARE(readBytes(path), QByteArray("first\r\n"));
        QCOMPARE(ended.count(), 1);
    }

    void cancelInAnyPromptStopsTheFrameClose() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        frame->ActiveForm()->RTB1->SetText(QStringLiteral("one"));
        Form1* second = documents::NewDocument(*frame);
        second->RTB1->SetText(QStringLiteral("two"));
        const QString path = dir.file(QStringLiteral("two.txt"));
        modal.answerMessage(tp::MsgResult::Yes);   // Document 2: saved
        modal.answerFile(path);
        modal.answerMessage(tp::MsgResult::Cancel);   // Document: stop
        QSignalSpy ended(frame.get(), &MDIForm1::ended);
        QVERIFY(!frame->close());
        settle();
        QCOMPARE(readBytes(path), QByteArray("two\r\n"));
        QCOMPARE(frame->documentWindows().size(), 2);
        QCOMPARE(ended.count(), 0);
    }

    void exitAsksLikeTheCloseBox() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        frame->ActiveForm()->RTB1->SetText(QStringLiteral("unsaved"));
        modal.answerMessage(tp::MsgResult::Cancel);
        frame->mnuFileExit_Click();
        settle();
        QCOMPARE(modal.messages.size(), 1);
        QVERIFY(frame->isVisible());
        QCOMPARE(frame->documentWindows().size(), 1);
    }

    void fullTableShowsAMessageAndCreatesNoWindow() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        // Fill the table up to its last slot without windows.
        while (frame->table().upperBound() < DocumentTable::kMaxSlot) frame->table().FindFreeSlot();
        QVERIFY(!documents::NewDocument(*frame));
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(frame->documentWindows().size(), 1);
    }

    // The files of a command line that cannot be opened are named in one message, twenty at most;
    // a name that is not text is among them, and its namesake stays closed.
    void filesThatCannotBeOpenedAreReportedTogether() {
        ScratchDir dir;
        auto frame = makeFrame();
        ScriptedModal modal;
        writeBytes(dir.file(QStringLiteral("n\uFFFD.htm")), "namesake");
        QList<QByteArray> names{QFile::encodeName(dir.path()) + "/n\xff.htm"};
        for (int i = 0; i < 25; ++i) names << QFile::encodeName(dir.file(QStringLiteral("gone%1.htm").arg(i)));
        documents::openFiles(*frame, names);
        QCOMPARE(modal.messages.size(), 1);
        const QStringList lines = modal.messages.first().text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.mid(0, 3), (QStringList{"Can't open 26 files:", "", dir.path() + "/n\\xFF.htm"}));
        QCOMPARE(lines.mid(21), (QStringList{dir.file("gone18.htm"), "... and 6 more."}));
        QCOMPARE(frame->documentWindows().size(), 1);
    }
};

QTEST_MAIN(FrameTest)
#include "Frame_test.moc"
