#include "edit/EditCommands.h"

#include "documents/DocumentFrame.h"
#include "documents/Form1.h"
#include "documents/LineEnds.h"
#include "platform/RichTextBox.h"
#include "platform/System.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>

namespace editcmd {

RichTextBox* activeEditor(const DocumentFrame& frame) {
    Form1* form = frame.ActiveForm();
    return form ? form->RTB1 : nullptr;
}

void putText(RichTextBox& rtb, const QString& text) {
    rtb.SetSelText(lineends::converted(text, lineends::enterKind(rtb)));
}

namespace {
// Puts the text on the clipboard as plain text; true when reading it back gives the same text.
bool toClipboard(const QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    clipboard->setText(text);
    return clipboard->text() == text;
}
} // namespace

void Undo(DocumentFrame&) {
    QWidget* target = QApplication::focusWidget();
    if (!target) return;
    // Sent to the control itself, not through the shortcut machinery: the control's own Ctrl+Z
    // undoes, and no menu item can be triggered by it. Queued, so the command returns first.
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Z, Qt::ControlModifier,
                                                      QStringLiteral("\x1a")));
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Z, Qt::ControlModifier,
                                                      QStringLiteral("\x1a")));
}

void Copy(DocumentFrame& frame) {
    RichTextBox* rtb = activeEditor(frame);
    if (!rtb) return;
    if (!rtb->hasSelection()) {
        tp::sys().beep();
        return;
    }
    if (!toClipboard(rtb->SelText())) tp::sys().beep();
}

void Redo(DocumentFrame& frame) {
    QWidget* target = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(target)) {
        line->redo();
        return;
    }
    auto* rtb = qobject_cast<RichTextBox*>(target);
    if (!rtb) rtb = activeEditor(frame);
    if (rtb) rtb->redo();
}

void Cut(DocumentFrame& frame) {
    RichTextBox* rtb = activeEditor(frame);
    if (!rtb) return;
    if (!rtb->hasSelection()) {
        tp::sys().beep();
        return;
    }
    // The text leaves the document only once it is safely on the clipboard; when the clipboard
    // would not take it, the beep says that nothing happened.
    if (!toClipboard(rtb->SelText())) {
        tp::sys().beep();
        return;
    }
    rtb->SetSelText(QString());
}

void Paste(DocumentFrame& frame) {
    RichTextBox* rtb = activeEditor(frame);
    if (!rtb) return;
    const QClipboard* clipboard = QGuiApplication::clipboard();
    putText(*rtb, clipboard ? clipboard->text() : QString());
}

void Delete(DocumentFrame&) {
    QWidget* focused = QApplication::focusWidget();
    if (auto* rtb = qobject_cast<RichTextBox*>(focused)) {
        // With nothing selected, Del does what the control's own Del does: it removes the
        // character after the caret (a CR LF as one).
        if (rtb->hasSelection()) rtb->SetSelText(QString());
        else rtb->SendScintilla(QsciScintillaBase::SCI_CLEAR);
    } else if (auto* line = qobject_cast<QLineEdit*>(focused)) {
        if (!line->isReadOnly() && line->hasSelectedText()) line->del();
    }
}

void SelectAll(DocumentFrame& frame) {
    RichTextBox* rtb = activeEditor(frame);
    if (!rtb) return;
    // SelStart 0 and SelLength the length of Text, set in one step on the control's own buffer.
    rtb->selectBytes(0, rtb->byteLength());
}

} // namespace editcmd
