#pragma once
// The program's one top-level window: a multiple-document frame with the menu bar through which
// every command is reached. Each menu procedure is a thin slot; the work lives with its subsystem.
#include "documents/DocumentTable.h"
#include "platform/CommonDialog.h"

#include <QHash>
#include <QMainWindow>
#include <QString>

class Form1;
class QAction;
class QMdiArea;
class QMenu;
class QMimeData;

class MDIForm1 : public QMainWindow {
    Q_OBJECT
public:
    MDIForm1();
    ~MDIForm1() override;

    // Creates the document table and the first window "Document" in slot 1.
    void MDIForm_Load();

    // The active document window, or nullptr. It stays the active one while a dialog is up.
    Form1* ActiveForm() const;
    QMdiArea* mdiArea() const { return mdi_; }
    QList<Form1*> documentWindows() const;

    DocumentTable& table() { return table_; }
    CommonDialog CommonDialog1;
    QString strCurrentFile;

    QAction* item(const char* name) const;
    QMenu* menu(const char* name) const;

    // Claims a slot; shows a message and returns 0 when no slot is left.
    int claimSlot();
    // A fresh window in the slot, with its Tag set and the maximize setting applied; not yet shown.
    Form1* loadDocumentWindow(int slot);
    // Shows the window and makes it the active one.
    void showDocumentWindow(Form1* form);

    // Writes the active document (see the Save command).
    void SaveFile();

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

    void mnuSearch_Click();
    void mnuSearchFind_Click();
    void mnuSearchFindNext_Click();

    void mnuWindow_Click();
    void mnuWindowTileHorizontal_Click();
    void mnuWindowTileVertical_Click();
    void mnuWindowCascade_Click();
    void mnuWindowArrangeIcons_Click();

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
    bool overEmptyArea(const QPoint& viewportPos) const;
    void MDIForm_Unload();

    QMdiArea* mdi_ = nullptr;
    DocumentTable table_;
    QHash<QString, QAction*> actions_;
    QHash<QString, QMenu*> menus_;
};
