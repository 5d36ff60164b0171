#include "documents/Form1.h"

#include "app/MDIForm1.h"
#include "app/Settings.h"
#include "documents/DocumentView.h"
#include "fileops/DragDrop.h"
#include "fileops/SaveCommands.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"

#include <QCloseEvent>
#include <QCursor>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QVBoxLayout>

Form1::Form1(MDIForm1& frame) : frame_(frame) {
    setWindowTitle(QStringLiteral("Document"));
    RTB1 = new RichTextBox(this);
    RTB1->setObjectName(QStringLiteral("RTB1"));
    // The control fills the client area whatever the window's size.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(RTB1);
    setFocusProxy(RTB1);
    connect(RTB1, &RichTextBox::Change, this, &Form1::RTB1_Change);
    connect(RTB1, &RichTextBox::MouseDown, this, &Form1::RTB1_MouseDown);
    RTB1->acceptsDrop = [](const QMimeData* data) { return fileops::isFileList(data); };
    RTB1->dropHandler = [this](const QMimeData* data) {
        const QString path = fileops::firstDroppedPath(data);
        if (path.isEmpty()) return;
        // The window the file was dropped on becomes the active one, so the text goes where the
        // user saw it land, into the active document. Let the drag source finish before a message
        // box or a long read.
        QMetaObject::invokeMethod(
            this,
            [this, path] {
                if (QMdiSubWindow* sub = subWindow()) {
                    frame_.mdiArea()->setActiveSubWindow(sub);
                    RTB1->setFocus();
                }
                if (Form1* active = frame_.ActiveForm()) DropFile(*active->RTB1, path);
            },
            Qt::QueuedConnection);
    };
    // Syntax colouring (following fileAssigned), line numbers and the line-end count.
    new DocumentView(*this);
}

void Form1::setCaption(const QString& caption) { setWindowTitle(caption); }

void Form1::setFile(const QString& path, const QString& caption) {
    const bool changed = path != filePath_;
    filePath_ = path;
    fileCaption_ = caption;
    if (changed) emit fileAssigned(path);
}

QString Form1::fileFor(const QString& name) const {
    if (!filePath_.isEmpty() && name == fileCaption_) return filePath_;
    return name;
}

QMdiSubWindow* Form1::subWindow() const { return qobject_cast<QMdiSubWindow*>(parentWidget()); }

void Form1::Form_Load() {
    if (settings::read().maximizeOn()) {
        if (QMdiSubWindow* sub = subWindow()) sub->setWindowState(sub->windowState() | Qt::WindowMaximized);
    }
}

void Form1::RTB1_Change() {
    DocumentTable& table = frame_.table();
    const int i = slot();
    if (table.valid(i)) table.DocumentStates[i].Changed = -1;
}

void Form1::RTB1_MouseDown(int button, int, int x, int y) {
    if (button != 2) return;
    if (QMenu* edit = frame_.menu("mnuEdit")) edit->popup(RTB1->mapToGlobal(QPoint(x, y)));
}

bool Form1::Form_QueryUnload() {
    DocumentTable& table = frame_.table();
    const int i = slot();
    if (!table.valid(i) || table.DocumentStates[i].Changed == 0) return true;
    const QString caption = Caption();
    const tp::MsgResult answer =
        tp::MsgBox(QStringLiteral("The text in [") + caption + QStringLiteral("] has changed.\r\n") +
                       QStringLiteral("Do you want to save the changes?"),
                   tp::MsgButtons::YesNoCancel, tp::MsgIcon::Exclamation, caption);
    switch (answer) {
    case tp::MsgResult::Cancel:
        return false;
    case tp::MsgResult::Yes:
        // The window closes only when its text really reached the file.
        return fileops::SaveWindow(frame_, *this);
    default:
        return true;
    }
}

void Form1::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    DocumentTable& table = frame_.table();
    const int i = slot();
    if (table.valid(i)) table.DocumentStates[i].Free = -1;
}

void Form1::closeWithoutAsking() {
    closeWithoutAsking_ = true;
    if (QMdiSubWindow* sub = subWindow()) sub->close();
    else close();
}

void Form1::closeEvent(QCloseEvent* e) {
    if (!closeWithoutAsking_ && !Form_QueryUnload()) {
        e->ignore();
        return;
    }
    Form_Unload();
    e->accept();
}

void Form1::DropFile(RichTextBox& txtDragDrop, const QString& strFilename) {
    fileops::documentDropFile(txtDragDrop, strFilename);
}
