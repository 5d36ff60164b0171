#pragma once
// The program's one top-level window: a multiple-document frame with the menu bar through which
// every command is reached. Each menu procedure is a thin slot; the work lives with its subsystem,
// which sees the frame only as a DocumentFrame.
#include "documents/DocumentFrame.h"

#include <QHash>
#include <QMainWindow>
#include <QKeySequence>
#include <QString>
#include <functional>

class FindInFilesPanel;
namespace editcmd {
class ProblemsPanel;
}
class Form1;
class FrameStatusBar;
namespace fileops {
class DiskFollower;
}
namespace windowcmd {
class DocumentTabs;
class DocumentViews;
enum class Arrangement;
}
class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMimeData;

class MDIForm1 : public QMainWindow, public DocumentFrame {
    Q_OBJECT
public:
    MDIForm1();
    ~MDIForm1() override;

    // Creates the document table and the first window "Document" in slot 1.
    void MDIForm_Load();

    // DocumentFrame
    QWidget* frameWidget() override { return this; }
    QMdiArea* mdiArea() const override { return mdi_; }
    QAction* item(const char* name) const override;
    QMenu* menu(const char* name) const override;
    // Also wires the window to the frame: its right-click menu, its drops and its save.
    Form1* loadDocumentWindow(int slot) override;
    void showDocumentWindow(Form1* form) override;

public slots:
    void mnuFile_Click();
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileClose_Click();
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void mnuFilePageSetup_Click();
    void mnuFilePrint_Click();
    void mnuEditOptions_Click();
    void mnuFileExit_Click();
    void mnuFileSaveAll_Click();
    void mnuFileReopenSession_Click();
    void mnuFileReopenAtStart_Click();

    void mnuEdit_Click();
    void mnuEditUndo_Click();
    void mnuEditCut_Click();
    void mnuEditCopy_Click();
    void mnuEditPaste_Click();
    void mnuEditDelete_Click();
    void mnuEditSelectAll_Click();
    void mnuEditTimeDate_Click();
    void mnuEditHtmlInsert_Click();
    void mnuEditHtmlHead_Click();
    void mnuEditHtmlTitle_Click();
    void mnuEditHtmlBody_Click();
    void mnuEditHtmlBr_Click();
    void mnuEditHtmlHr_Click();
    void mnuEditHtmlCenter_Click();
    void mnuEditToggleComment_Click();
    void mnuEditExpandAbbreviation_Click();
    void mnuEditSelectElement_Click();
    void mnuEditRedo_Click();

    void mnuSearch_Click();
    void mnuSearchFind_Click();
    void mnuSearchFindNext_Click();
    void mnuSearchFindPrevious_Click();
    void mnuSearchReplace_Click();
    void mnuSearchFindInFiles_Click();
    void mnuSearchGoToLine_Click();

    void mnuView_Click();
    void mnuViewZoomIn_Click();
    void mnuViewZoomOut_Click();
    void mnuViewZoomReset_Click();
    void mnuViewWordWrap_Click();
    void mnuViewColouringPlain_Click();
    void mnuViewColouringHtml_Click();
    void mnuViewColouringXml_Click();
    void mnuViewColouringCss_Click();
    void mnuViewColouringJava_Click();
    void mnuViewColouringJavaScript_Click();
    void mnuViewColouringJson_Click();
    void mnuViewColouringPhp_Click();
    void mnuViewColouringMarkdown_Click();
    void mnuViewColouringScss_Click();
    void mnuViewColouringLess_Click();
    void mnuViewFoldMargin_Click();
    void mnuViewFoldAll_Click();
    void mnuViewUnfoldAll_Click();
    void mnuViewTabWidth2_Click();
    void mnuViewTabWidth4_Click();
    void mnuViewTabWidth8_Click();
    void mnuViewIndentSpaces_Click();
    void mnuViewBrowser_Click();
    void mnuViewCloseTags_Click();
    void mnuViewPairBrackets_Click();
    void mnuViewCompleteAsYouType_Click();
    void mnuViewAbbreviationsOnTab_Click();
    void mnuViewEncoding_Click();
    void mnuViewLineEnds_Click();
    void mnuViewTabbed_Click();
    void mnuViewCheckMarkup_Click();
    void mnuViewCheckAllReports_Click();
    void mnuViewCheckNow_Click();
    void mnuViewProblems_Click();
    void mnuViewSpelling_Click();
    void mnuViewSpellingLanguage_Click();
    void mnuViewSpellingLanguageSystem_Click();
    void mnuViewSpellCode_Click();

    void mnuWindow_Click();
    void mnuWindowTileHorizontal_Click();
    void mnuWindowTileVertical_Click();
    void mnuWindowCascade_Click();
    void mnuWindowArrangeIcons_Click();
    void mnuWindowNewWindow_Click();

    void mnuHelpReadme_Click();
    void mnuHelpComments_Click();
    void mnuHelpBugs_Click();
    void mnuHelpWeb_Click();
    void mnuHelpAbout_Click();

    // Files dropped on the frame's empty area.
    void DropFile(const QString& strFilename);

signals:
    // The frame unloaded with no document left: the program ends.
    void ended();

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildMenus();
    void arrange(windowcmd::Arrangement how);
    // A document's or a view's new subwindow: titles cut in the middle, minimizing followed.
    void prepareSubWindow(QMdiSubWindow& sub);
    void addKey(const QKeySequence& key, const std::function<void()>& run, QList<QKeySequence>& keys);
    bool overEmptyArea(const QPoint& viewportPos) const;
    void MDIForm_Unload();

    QMdiArea* mdi_ = nullptr;
    FrameStatusBar* status_ = nullptr;
    fileops::DiskFollower* diskFollower_ = nullptr;
    FindInFilesPanel* findInFiles_ = nullptr;   // made on first use; a child of the frame
    windowcmd::DocumentTabs* tabs_ = nullptr;
    windowcmd::DocumentViews* views_ = nullptr;
    editcmd::ProblemsPanel* problems_ = nullptr;   // likewise
    QHash<QString, QAction*> actions_;
    QHash<QString, QMenu*> menus_;
};
