#pragma once
// What the commands need of the frame that holds the document windows: the windows and the active
// one, the document table, the shared file and print dialog, the current file name, the menu items
// by name, and making a new document window. The frame (MDIForm1) implements it; the command
// folders see only this.
#include "documents/DocumentTable.h"
#include "platform/CommonDialog.h"

#include <QList>
#include <QString>
#include <initializer_list>

class Form1;
class QAction;
class QMdiArea;
class QMenu;
class QWidget;

namespace documents {
// The document window of the active subwindow of an MDI area (also when that is a further view of
// its document), or nullptr.
Form1* activeForm(const QMdiArea& mdi);
// The document windows of an MDI area, in the order they were created.
QList<Form1*> documentWindows(const QMdiArea& mdi);
} // namespace documents

class DocumentFrame {
public:
    virtual ~DocumentFrame();

    // The frame as a widget: the parent of the dialogs the commands show.
    virtual QWidget* frameWidget() = 0;
    virtual QMdiArea* mdiArea() const = 0;

    // The active document window, or nullptr. It stays the active one while a dialog is up.
    Form1* ActiveForm() const;
    QList<Form1*> documentWindows() const;

    DocumentTable& table() { return table_; }
    CommonDialog CommonDialog1;
    QString strCurrentFile;

    // A menu item or a menu by its control name ("mnuFileSave"), or nullptr.
    virtual QAction* item(const char* name) const = 0;
    virtual QMenu* menu(const char* name) const = 0;
    // Enables or disables the named menu items (names without an item are passed over).
    void setItemsEnabled(std::initializer_list<const char*> names, bool enabled) const;

    // Claims a slot; shows a message and returns 0 when no slot is left.
    int claimSlot();
    // A fresh window in the slot, with its Tag set and the maximize setting applied; not yet shown.
    virtual Form1* loadDocumentWindow(int slot) = 0;
    // Shows the window and makes it the active one.
    virtual void showDocumentWindow(Form1* form) = 0;

protected:
    DocumentFrame() = default;
    DocumentFrame(const DocumentFrame&) = delete;
    DocumentFrame& operator=(const DocumentFrame&) = delete;

    DocumentTable table_;
};
