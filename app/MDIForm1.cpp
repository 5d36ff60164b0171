#include "app/MDIForm1.h"

#include "app/MenuTree.h"
#include "app/StatusBar.h"
#include "app/frmOptions.h"
#include "documents/DocumentCommands.h"
#include "documents/ExtraView.h"
#include "documents/Form1.h"
#include "documents/Recovery.h"
#include "edit/EditCommands.h"
#include "edit/CompletionUi.h"
#include "edit/ProblemMarks.h"
#include "edit/ProblemsPanel.h"
#include "edit/SpellCheck.h"
#include "edit/ToggleComment.h"
#include "edit/TypingAids.h"
#include "fileops/DiskChanges.h"
#include "fileops/DragDrop.h"
#include "fileops/FileMenu.h"
#include "fileops/Printing.h"
#include "fileops/SaveAll.h"
#include "fileops/SaveCommands.h"
#include "fileops/Session.h"
#include "fileops/ViewInBrowser.h"
#include "platform/FileDrop.h"
#include "platform/MenuKeys.h"
#include "platform/Modal.h"
#include "platform/PathTitles.h"
#include "platform/RichTextBox.h"
#include "search/SearchCommands.h"
#include "windows/HelpCommands.h"
#include "windows/ViewCommands.h"
#include "windows/Tabs.h"
#include "windows/Views.h"
#include "windows/WindowCommands.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMetaObject>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

MDIForm1::MDIForm1() {
    setObjectName(QStringLiteral("MDIForm1"));
    setWindowTitle(tp::kAppTitle);
    mdi_ = new QMdiArea(this);
    mdi_->setObjectName(QStringLiteral("MDIClient"));
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    mdi_->viewport()->setAcceptDrops(true);
    mdi_->viewport()->installEventFilter(this);
    setAcceptDrops(false);
    tabs_ = new windowcmd::DocumentTabs(*this, this);
    views_ = new windowcmd::DocumentViews(*this, [this](QMdiSubWindow& sub) { prepareSubWindow(sub); }, this);
    connect(views_, &windowcmd::DocumentViews::renumbered, tabs_, &windowcmd::DocumentTabs::scheduleRefresh);
    buildMenus();
    status_ = new FrameStatusBar(*mdi_, *statusBar(), this);
    // Beside the File menu's own items: the recent files; and the windows' files followed
    // on disk.
    connect(menu("mnuFile"), &QMenu::aboutToShow, this, [this] { fileops::showRecentFiles(*this); });
    diskFollower_ = new fileops::DiskFollower(*this);
    // Start at a comfortable size in the middle of the screen.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        resize(avail.width() * 4 / 5, avail.height() * 4 / 5);
        move(avail.center() - rect().center());
    } else {
        resize(900, 680);
    }
}

MDIForm1::~MDIForm1() = default;

void MDIForm1::buildMenus() {
    const auto& tree = menuTree();
    QList<QMenu*> parents;   // parents[level] is the menu that holds items of level + 1
    QList<QKeySequence> shortcuts;
    for (size_t i = 0; i < tree.size(); ++i) {
        const MenuEntry& e = tree[i];
        const QString name = QString::fromLatin1(e.name);
        const QString caption = QCoreApplication::translate("MenuTree", e.caption);
        const bool hasChildren = i + 1 < tree.size() && tree[i + 1].level > e.level;
        while (parents.size() > e.level) parents.removeLast();
        if (hasChildren) {
            QMenu* m = e.level == 0 ? menuBar()->addMenu(caption) : parents.last()->addMenu(caption);
            m->setObjectName(name);
            m->menuAction()->setObjectName(name);
            menus_.insert(name, m);
            actions_.insert(name, m->menuAction());
            const QByteArray slot = QByteArray(e.name) + "_Click";
            if (metaObject()->indexOfSlot(QMetaObject::normalizedSignature(slot + "()")) >= 0) {
                connect(m, &QMenu::aboutToShow, this,
                        [this, slot] { QMetaObject::invokeMethod(this, slot.constData()); });
            }
            parents.append(m);
            continue;
        }
        QAction* a = nullptr;
        if (caption == QLatin1String("-")) {
            a = parents.last()->addSeparator();
        } else {
            a = parents.last()->addAction(caption);
            if (e.shortcut) {
                a->setShortcut(QKeySequence(QString::fromLatin1(e.shortcut)));
                shortcuts << a->shortcut();
            }
            const QByteArray slot = QByteArray(e.name) + "_Click";
            // The status bar shows what the command left (a save clears the changed mark).
            connect(a, &QAction::triggered, this, [this, slot] {
                views_->beforeCommand();
                QMetaObject::invokeMethod(this, slot.constData());
                views_->afterCommand();
                if (status_) status_->scheduleRefresh();
                tabs_->scheduleRefresh();
            });
        }
        a->setObjectName(name);
        actions_.insert(name, a);
    }
    // Keys beside the ones the entries show; each runs its item only while the item is enabled.
    for (const ExtraKey& k : extraKeys()) {
        QAction* target = item(k.name);
        addKey(QKeySequence(QString::fromLatin1(k.key)), [target] { target->trigger(); }, shortcuts);
    }
    // The next and the previous document, as tabs or as windows.
    for (const char* key : {"Ctrl+Tab", "Ctrl+PgDown"})
        addKey(QKeySequence(QString::fromLatin1(key)), [this] { tabs_->activateNext(true); }, shortcuts);
    for (const char* key : {"Ctrl+Shift+Tab", "Ctrl+PgUp"})
        addKey(QKeySequence(QString::fromLatin1(key)), [this] { tabs_->activateNext(false); }, shortcuts);
    RichTextBox::setReservedShortcuts(shortcuts);
    tp::returnKeysOnEscape(*menuBar());
}

void MDIForm1::addKey(const QKeySequence& key, const std::function<void()>& run, QList<QKeySequence>& keys) {
    auto* a = new QAction(this);
    a->setShortcut(key);
    connect(a, &QAction::triggered, this, [this, run] {
        views_->beforeCommand();
        run();
        views_->afterCommand();
        if (status_) status_->scheduleRefresh();
        tabs_->scheduleRefresh();
    });
    addAction(a);
    keys << key;
}

QAction* MDIForm1::item(const char* name) const { return actions_.value(QString::fromLatin1(name)); }
QMenu* MDIForm1::menu(const char* name) const { return menus_.value(QString::fromLatin1(name)); }

void MDIForm1::MDIForm_Load() {
    table_.create();
    Form1* form = loadDocumentWindow(1);
    form->setChanged(false);
    showDocumentWindow(form);
    searchcmd::frameLoaded();
}

Form1* MDIForm1::loadDocumentWindow(int slot) {
    auto* form = new Form1(table_);
    // A right click shows the Edit menu (with suggestions over a misspelt word); a file dropped on the text goes into the active document,
    // which the window it was dropped on becomes first (so the text goes where the user saw it
    // land); a Yes in the close prompt saves as Save does.
    connect(form, &Form1::rightClicked, this, [this, form](const QPoint& at) {
        if (QMenu* edit = menu("mnuEdit")) {
            editcmd::addSpellingItems(*form, *edit, at);
            edit->popup(at);
        }
    });
    connect(form, &Form1::fileDropped, this, [this, form](const QString& path) {
        mdi_->setActiveSubWindow(form->subWindow());
        form->RTB1->setFocus();
        if (Form1* active = ActiveForm()) fileops::documentDropFile(*active->RTB1, path);
    });
    form->setSaver([this](Form1& window) { return fileops::SaveWindow(*this, window); });
    editcmd::attachTypingAids(*form);
    editcmd::attachCompletion(*form);
    editcmd::attachProblemMarks(*form);
    editcmd::attachSpelling(*form);
    diskFollower_->follow(*form);
    tabs_->follow(*form);
    form->setTag(QString::number(slot));
    table_.Documents[slot] = form;
    QMdiSubWindow* sub = mdi_->addSubWindow(form);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    prepareSubWindow(*sub);
    form->Form_Load();
    return form;
}

void MDIForm1::prepareSubWindow(QMdiSubWindow& sub) {
    tp::elidePathTitles(sub);
    // A further view of a document types as the document's own window does.
    if (auto* view = qobject_cast<ExtraView*>(sub.widget()); view && view->form()) {
        editcmd::attachTypingAids(*view->form(), *view->control());
        editcmd::attachCompletion(*view->form(), *view->control());
    }
    connect(&sub, &QMdiSubWindow::windowStateChanged, this, [this, s = &sub](Qt::WindowStates was, Qt::WindowStates is) {
        if (!(was & Qt::WindowMinimized) && (is & Qt::WindowMinimized)) windowcmd::windowMinimized(*this, s);
    });
}

void MDIForm1::showDocumentWindow(Form1* form) {
    QMdiSubWindow* sub = form->subWindow();
    if ((sub->windowState() & Qt::WindowMaximized) || tabs_->tabbed()) {
        sub->showMaximized();
    } else {
        // A new window takes most of the client area, each one a step down and to the right of
        // the one before, so that every title bar shows.
        // Before the frame is first shown its client area has no size yet: estimate it.
        const QSize area = isVisible() ? mdi_->viewport()->size()
                                       : size() - QSize(8, menuBar()->sizeHint().height() + 8);
        const int step = 24;
        const int n = static_cast<int>(mdi_->subWindowList().size() - 1) % 8;
        sub->resize(std::max(320, area.width() * 3 / 4), std::max(200, area.height() * 3 / 4));
        sub->move(n * step, n * step);
        sub->show();
    }
    mdi_->setActiveSubWindow(sub);
    form->RTB1->setFocus();
}

// ---- File
void MDIForm1::mnuFile_Click() {
    fileops::mnuFile(*this);
    fileops::mnuFileSession(*this);
}
void MDIForm1::mnuFileNew_Click() { documents::NewDocument(*this); }
void MDIForm1::mnuFileOpen_Click() { documents::mnuFileOpen(*this); }
void MDIForm1::mnuFileClose_Click() { documents::mnuFileClose(*this); }
void MDIForm1::mnuFileSave_Click() { fileops::mnuFileSave(*this); }
void MDIForm1::mnuFileSaveAs_Click() { fileops::mnuFileSaveAs(*this); }
void MDIForm1::mnuFilePageSetup_Click() { fileops::mnuFilePageSetup(*this); }
void MDIForm1::mnuFilePrint_Click() { fileops::mnuFilePrint(*this); }
void MDIForm1::mnuEditOptions_Click() { frmOptions::showModal(this); }
// Exit closes the frame as its close box does, so no unsaved document is lost without asking.
void MDIForm1::mnuFileExit_Click() { close(); }
void MDIForm1::mnuFileSaveAll_Click() { fileops::SaveAll(*this); }
void MDIForm1::mnuFileReopenSession_Click() { fileops::reopenLastSession(*this, /*atStart=*/false); }
void MDIForm1::mnuFileReopenAtStart_Click() { fileops::toggleReopenAtStart(); }

// ---- Edit
void MDIForm1::mnuEdit_Click() {
    editcmd::mnuEdit(*this);
    editcmd::mnuEditTypingAids(*this);
}
void MDIForm1::mnuEditUndo_Click() { editcmd::Undo(*this); }
void MDIForm1::mnuEditCut_Click() { editcmd::Cut(*this); }
void MDIForm1::mnuEditCopy_Click() { editcmd::Copy(*this); }
void MDIForm1::mnuEditPaste_Click() { editcmd::Paste(*this); }
void MDIForm1::mnuEditDelete_Click() { editcmd::Delete(*this); }
void MDIForm1::mnuEditSelectAll_Click() { editcmd::SelectAll(*this); }
void MDIForm1::mnuEditTimeDate_Click() { editcmd::TimeDate(*this); }
void MDIForm1::mnuEditHtmlInsert_Click() { editcmd::HtmlInsertFrame(*this); }
void MDIForm1::mnuEditHtmlHead_Click() { editcmd::HtmlTag(*this, editcmd::HtmlTagKind::Head); }
void MDIForm1::mnuEditHtmlTitle_Click() { editcmd::HtmlTag(*this, editcmd::HtmlTagKind::Title); }
void MDIForm1::mnuEditHtmlBody_Click() { editcmd::HtmlTag(*this, editcmd::HtmlTagKind::Body); }
void MDIForm1::mnuEditHtmlBr_Click() { editcmd::HtmlTag(*this, editcmd::HtmlTagKind::Br); }
void MDIForm1::mnuEditHtmlHr_Click() { editcmd::HtmlTag(*this, editcmd::HtmlTagKind::Hr); }
void MDIForm1::mnuEditHtmlCenter_Click() { editcmd::HtmlTag(*this, editcmd::HtmlTagKind::Center); }
void MDIForm1::mnuEditToggleComment_Click() { editcmd::ToggleComment(*this); }
void MDIForm1::mnuEditExpandAbbreviation_Click() { editcmd::ExpandAbbreviation(*this); }
void MDIForm1::mnuEditSelectElement_Click() { editcmd::SelectElement(*this); }
void MDIForm1::mnuEditRedo_Click() { editcmd::Redo(*this); }

// ---- Search
void MDIForm1::mnuSearch_Click() { searchcmd::mnuSearch(*this); }
void MDIForm1::mnuSearchFind_Click() { searchcmd::Find(*this); }
void MDIForm1::mnuSearchFindNext_Click() { searchcmd::FindNext(*this); }
void MDIForm1::mnuSearchFindPrevious_Click() { searchcmd::FindPrevious(*this); }
void MDIForm1::mnuSearchReplace_Click() { searchcmd::Replace(*this); }
void MDIForm1::mnuSearchFindInFiles_Click() { searchcmd::FindInFiles(*this, findInFiles_); }
void MDIForm1::mnuSearchGoToLine_Click() { searchcmd::GoToLine(*this); }

// ---- View
void MDIForm1::mnuView_Click() {
    viewcmd::mnuView(*this);
    editcmd::mnuViewTypingAids(*this);
    editcmd::mnuViewCompletion(*this);
    setItemsEnabled({"mnuViewEncoding", "mnuViewLineEnds"}, ActiveForm() != nullptr);
    if (QAction* a = item("mnuViewTabbed")) {
        a->setCheckable(true);
        a->setChecked(tabs_->tabbed());
    }
    editcmd::mnuViewChecks(*this);
    editcmd::mnuViewSpelling(*this);
}
void MDIForm1::mnuViewZoomIn_Click() { viewcmd::ZoomIn(); }
void MDIForm1::mnuViewZoomOut_Click() { viewcmd::ZoomOut(); }
void MDIForm1::mnuViewZoomReset_Click() { viewcmd::ZoomReset(); }
void MDIForm1::mnuViewWordWrap_Click() { viewcmd::WordWrap(*this); }
void MDIForm1::mnuViewColouringPlain_Click() { viewcmd::Colouring(*this, syntax::Kind::Plain); }
void MDIForm1::mnuViewColouringHtml_Click() { viewcmd::Colouring(*this, syntax::Kind::Html); }
void MDIForm1::mnuViewColouringXml_Click() { viewcmd::Colouring(*this, syntax::Kind::Xml); }
void MDIForm1::mnuViewColouringCss_Click() { viewcmd::Colouring(*this, syntax::Kind::Css); }
void MDIForm1::mnuViewColouringJava_Click() { viewcmd::Colouring(*this, syntax::Kind::Java); }
void MDIForm1::mnuViewColouringJavaScript_Click() { viewcmd::Colouring(*this, syntax::Kind::JavaScript); }
void MDIForm1::mnuViewColouringJson_Click() { viewcmd::Colouring(*this, syntax::Kind::Json); }
void MDIForm1::mnuViewColouringPhp_Click() { viewcmd::Colouring(*this, syntax::Kind::Php); }
void MDIForm1::mnuViewColouringMarkdown_Click() { viewcmd::Colouring(*this, syntax::Kind::Markdown); }
void MDIForm1::mnuViewColouringScss_Click() { viewcmd::Colouring(*this, syntax::Kind::Scss); }
void MDIForm1::mnuViewColouringLess_Click() { viewcmd::Colouring(*this, syntax::Kind::Less); }
void MDIForm1::mnuViewFoldMargin_Click() { viewcmd::FoldMargin(); }
void MDIForm1::mnuViewFoldAll_Click() { viewcmd::FoldAll(*this); }
void MDIForm1::mnuViewUnfoldAll_Click() { viewcmd::UnfoldAll(*this); }
void MDIForm1::mnuViewTabWidth2_Click() { viewcmd::TabWidth(2); }
void MDIForm1::mnuViewTabWidth4_Click() { viewcmd::TabWidth(4); }
void MDIForm1::mnuViewTabWidth8_Click() { viewcmd::TabWidth(8); }
void MDIForm1::mnuViewIndentSpaces_Click() { viewcmd::IndentWithSpaces(); }
void MDIForm1::mnuViewBrowser_Click() { fileops::ViewInBrowser(*this); }
void MDIForm1::mnuViewCloseTags_Click() { editcmd::ToggleCloseTags(); }
void MDIForm1::mnuViewPairBrackets_Click() { editcmd::TogglePairBrackets(); }
void MDIForm1::mnuViewCompleteAsYouType_Click() { editcmd::ToggleCompleteAsYouType(); }
void MDIForm1::mnuViewAbbreviationsOnTab_Click() { editcmd::ToggleAbbreviationsOnTab(); }
void MDIForm1::mnuViewEncoding_Click() { if (status_) status_->showEncodingMenu(); }
void MDIForm1::mnuViewLineEnds_Click() { if (status_) status_->showLineEndMenu(); }
void MDIForm1::mnuViewTabbed_Click() { tabs_->setTabbed(!tabs_->tabbed()); }
void MDIForm1::mnuViewCheckMarkup_Click() { editcmd::ToggleCheckMarkup(); }
void MDIForm1::mnuViewCheckAllReports_Click() { editcmd::ToggleCheckAllReports(); }
void MDIForm1::mnuViewCheckNow_Click() { editcmd::CheckPageNow(*this); }
void MDIForm1::mnuViewProblems_Click() { editcmd::ProblemsPanel::open(*this, problems_); }
void MDIForm1::mnuViewSpelling_Click() { editcmd::ToggleSpelling(); }
void MDIForm1::mnuViewSpellingLanguage_Click() { editcmd::fillSpellingLanguages(*this); }
void MDIForm1::mnuViewSpellingLanguageSystem_Click() { editcmd::ChooseSpellingLanguage(QString()); }
void MDIForm1::mnuViewSpellCode_Click() { editcmd::ToggleSpellCode(); }

// ---- Window
void MDIForm1::mnuWindow_Click() { windowcmd::mnuWindow(*this); }
// An arrangement is of windows: tabs give way to them.
void MDIForm1::mnuWindowTileHorizontal_Click() { arrange(windowcmd::Arrangement::TileHorizontal); }
void MDIForm1::mnuWindowTileVertical_Click() { arrange(windowcmd::Arrangement::TileVertical); }
void MDIForm1::mnuWindowCascade_Click() { arrange(windowcmd::Arrangement::Cascade); }
void MDIForm1::mnuWindowArrangeIcons_Click() { arrange(windowcmd::Arrangement::ArrangeIcons); }
void MDIForm1::arrange(windowcmd::Arrangement how) {
    tabs_->setTabbed(false);
    windowcmd::Arrange(*this, how);
}
void MDIForm1::mnuWindowNewWindow_Click() { views_->openView(); }

// ---- Help
void MDIForm1::mnuHelpReadme_Click() { helpcmd::Readme(); }
void MDIForm1::mnuHelpComments_Click() { helpcmd::Comments(); }
void MDIForm1::mnuHelpBugs_Click() { helpcmd::Bugs(); }
void MDIForm1::mnuHelpWeb_Click() { helpcmd::Web(); }
void MDIForm1::mnuHelpAbout_Click() { helpcmd::About(this); }

void MDIForm1::DropFile(const QString& strFilename) { fileops::frameDropFile(*this, strFilename); }

// ---- Closing
void MDIForm1::closeEvent(QCloseEvent* e) {
    // Every changed document is asked first, the active one first; a Cancel, or a Yes whose save
    // did not happen, stops the whole close.
    QList<QMdiSubWindow*> order = mdi_->subWindowList(QMdiArea::StackingOrder);
    std::reverse(order.begin(), order.end());
    for (QMdiSubWindow* sub : order) {
        auto* form = qobject_cast<Form1*>(sub->widget());
        if (!form) continue;
        if (!form->Form_QueryUnload()) {
            e->ignore();
            return;
        }
    }
    // What the user kept open, now that every question was answered.
    fileops::rememberSession(*this);
    // Views of a document close with it, asking nothing more.
    views_->closeAll();
    for (QMdiSubWindow* sub : order)
        if (auto* form = qobject_cast<Form1*>(sub->widget())) form->closeWithoutAsking();
    e->accept();
    MDIForm_Unload();
}

void MDIForm1::MDIForm_Unload() {
    if (table_.AnyDocumentOpen()) return;
    // A clean end: every document was saved or let go, so no recovery journal is kept.
    recovery::endSession();
    emit ended();
}

// A drag that a document window's title bar or border does not take comes up to the client
// area; only its background takes files.
bool MDIForm1::overEmptyArea(const QPoint& viewportPos) const {
    return mdi_->viewport()->childAt(viewportPos) == nullptr;
}

bool MDIForm1::eventFilter(QObject* watched, QEvent* e) {
    if (watched == mdi_->viewport()) {
        switch (e->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* de = static_cast<QDropEvent*>(e);
            if (tp::offersFileCopy(*de) && overEmptyArea(de->position().toPoint())) {
                de->setDropAction(Qt::CopyAction);
                de->accept();
            } else {
                de->ignore();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* de = static_cast<QDropEvent*>(e);
            if (!tp::offersFileCopy(*de) || !overEmptyArea(de->position().toPoint())) {
                de->ignore();
                return true;
            }
            de->setDropAction(Qt::CopyAction);
            de->accept();
            const QString path = tp::firstDroppedPath(de->mimeData());
            const QString unopenable = tp::unopenableDroppedName(de->mimeData());
            // Let the drag source finish before a message box or a long read.
            if (path != QLatin1String(" ") && !path.isEmpty())
                QMetaObject::invokeMethod(this, [this, path] { DropFile(path); }, Qt::QueuedConnection);
            else if (!unopenable.isEmpty())
                QMetaObject::invokeMethod(
                    this, [unopenable] { tp::MsgBox(QCoreApplication::translate("MDIForm1", "Can't open file: ") + unopenable); },
                    Qt::QueuedConnection);
            return true;
        }
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}
