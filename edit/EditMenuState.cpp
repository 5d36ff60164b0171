#include "edit/EditCommands.h"

#include "app/MDIForm1.h"
#include "platform/RichTextBox.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

namespace editcmd {

namespace {
// The rule goes on past a step that fails: a failure leaves that step's items as they were.
template <class Step>
void tryStep(Step&& step) {
    try {
        step();
    } catch (...) {
    }
}

void setEnabled(const MDIForm1& frame, const char* name, bool enabled) {
    if (QAction* a = frame.item(name)) a->setEnabled(enabled);
}
} // namespace

void mnuEdit(MDIForm1& frame) {
    tryStep([&] {
        const QClipboard* clipboard = QGuiApplication::clipboard();
        const bool hasText = clipboard && !clipboard->text().isEmpty();
        setEnabled(frame, "mnuEditPaste", hasText);
    });
    tryStep([&] {
        RichTextBox* rtb = activeEditor(frame);
        if (!rtb) return;   // nothing to read; the last step disables the three below
        const bool selected = rtb->hasSelection();
        setEnabled(frame, "mnuEditCopy", selected);
        setEnabled(frame, "mnuEditCut", selected);
        setEnabled(frame, "mnuEditDelete", selected);
    });
    static const char* const kDocumentItems[] = {
        "mnuEditHtmlHead", "mnuEditHtmlTitle", "mnuEditHtmlBody", "mnuEditHtmlHr",  "mnuEditHtmlBr",
        "mnuEditHtmlCenter", "mnuEditTimeDate", "mnuEditSelectAll", "mnuEditUndo"};
    tryStep([&] {
        for (const char* name : kDocumentItems) setEnabled(frame, name, true);
    });
    if (frame.ActiveForm()) return;
    tryStep([&] {
        for (const char* name : kDocumentItems) setEnabled(frame, name, false);
        for (const char* name : {"mnuEditCut", "mnuEditCopy", "mnuEditPaste", "mnuEditDelete"})
            setEnabled(frame, name, false);
    });
}

} // namespace editcmd
