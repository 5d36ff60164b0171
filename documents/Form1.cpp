#include "documents/Form1.h"

#include "documents/DocumentJournal.h"
#include "documents/DocumentTable.h"
#include "documents/DocumentView.h"
#include "io/Settings.h"
#include "platform/FileDrop.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"

#include <QCoreApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVBoxLayout>

Form1::Form1(DocumentTable& table) : table_(table) {
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
    connect(RTB1, &RichTextBox::menuKey, this, &Form1::rightClicked);
    RTB1->acceptsDrop = [](const QMimeData* data) { return tp::isFileList(data); };
    RTB1->dropHandler = [this](const QMimeData* data) {
        const QString path = tp::firstDroppedPath(data);
        const QString unopenable = tp::unopenableDroppedName(data);
        // Let the drag source finish before a message box or a long read.
        if (!path.isEmpty())
            QMetaObject::invokeMethod(this, [this, path] { emit fileDropped(path); }, Qt::QueuedConnection);
        else if (!unopenable.isEmpty())
            QMetaObject::invokeMethod(this, [unopenable] { tp::MsgBox(QCoreApplication::translate("Form1", "Can't open file: ") + unopenable); },
                                      Qt::QueuedConnection);
    };
    document_ = new documents::Document(table_, [this] { return slot(); }, *RTB1, this);
    connect(document_, &documents::Document::fileAssigned, this, &Form1::fileAssigned);
    connect(document_, &documents::Document::diskRecorded, this, &Form1::diskRecorded);
    connect(document_, &documents::Document::encodingChanged, this, &Form1::encodingChanged);
    document_->setCaption(Caption());
    // A screen reader names the text by the window's caption: the file, or "Document 2".
    RTB1->setAccessibleName(Caption());
    connect(this, &QWidget::windowTitleChanged, RTB1, &QWidget::setAccessibleName);
    // Syntax colouring (following fileAssigned), line numbers and the line-end count.
    view_ = new DocumentView(*this);
}

void Form1::setCaption(const QString& caption) {
    setWindowTitle(caption);
    document_->setCaption(caption);
}

QMdiSubWindow* Form1::subWindow() const { return qobject_cast<QMdiSubWindow*>(parentWidget()); }

void Form1::bringForward() {
    QMdiSubWindow* sub = subWindow();
    if (!sub || !sub->mdiArea()) return;
    if (sub->isMinimized()) sub->showNormal();
    sub->mdiArea()->setActiveSubWindow(sub);
    RTB1->setFocus();
}

void Form1::Form_Load() {
    if (settings::read().maximizeOn()) {
        if (QMdiSubWindow* sub = subWindow()) sub->setWindowState(sub->windowState() | Qt::WindowMaximized);
    }
}

void Form1::RTB1_Change() { document_->edited(); }

void Form1::RTB1_MouseDown(int button, int, int x, int y) {
    if (button != 2) return;
    emit rightClicked(RTB1->mapToGlobal(QPoint(x, y)));
}

bool Form1::Form_QueryUnload() {
    if (!isChanged()) return true;
    // The user sees what the question is about.
    bringForward();
    const QString caption = Caption();
    // Unedited, but its file is gone: the text is nowhere else.
    const bool gone = document_->onlyFileGone();
    const tp::MsgResult answer =
        tp::MsgBox(gone ? QCoreApplication::translate("Form1", "The file [") + caption + QCoreApplication::translate("Form1", "] no longer exists on disk.\r\n") +
                              QCoreApplication::translate("Form1", "Do you want to save it again?")
                        : QCoreApplication::translate("Form1", "The text in [") + caption + QCoreApplication::translate("Form1", "] has changed.\r\n") +
                              QCoreApplication::translate("Form1", "Do you want to save the changes?"),
                   tp::MsgButtons::YesNoCancel, tp::MsgIcon::Exclamation, caption);
    switch (answer) {
    case tp::MsgResult::Cancel:
        return false;
    case tp::MsgResult::Yes:
        // The user knows the file is gone: the save writes it anew without asking again, unless
        // another file took the name meanwhile.
        if (gone) document_->forgetDisk();
        // The window closes only when its text really reached the file.
        return saver_ && saver_(*this);
    default:
        return true;
    }
}

void Form1::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    // Closed (saved, answered No, or unchanged): nothing is left to recover.
    if (DocumentJournal* journal = document_->journal()) journal->discard();
    const int i = slot();
    if (table_.valid(i)) table_.DocumentStates[i].Free = -1;
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
