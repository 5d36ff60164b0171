#include "edit/EditCommands.h"

#include "documents/DocumentFrame.h"
#include "platform/RichTextBox.h"

#include <QClipboard>
#include <QGuiApplication>

#include <exception>

namespace editcmd {

namespace {
// The rule goes on past a step that fails (the clipboard cannot be read, memory runs short): a
// failure leaves that step's items as they were.
template <class Step>
void tryStep(Step&& step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}
} // namespace

void mnuEdit(DocumentFrame& frame) {
    tryStep([&] {
        const QClipboard* clipboard = QGuiApplication::clipboard();
        const bool hasText = clipboard && !clipboard->text().isEmpty();
        frame.setItemsEnabled({"mnuEditPaste"}, hasText);
    });
    tryStep([&] {
        RichTextBox* rtb = activeEditor(frame);
        if (!rtb) return;   // nothing to read; the last step disables the three below
        frame.setItemsEnabled({"mnuEditCopy", "mnuEditCut", "mnuEditDelete"}, rtb->hasSelection());
    });
    const auto documentItems = {"mnuEditHtmlHead", "mnuEditHtmlTitle", "mnuEditHtmlBody", "mnuEditHtmlHr",
                                "mnuEditHtmlBr",   "mnuEditHtmlCenter", "mnuEditTimeDate", "mnuEditSelectAll",
                                "mnuEditUndo",     "mnuEditToggleComment", "mnuEditExpandAbbreviation",
                                "mnuEditSelectElement", "mnuEditRedo"};
    tryStep([&] { frame.setItemsEnabled(documentItems, true); });
    if (frame.ActiveForm()) return;
    tryStep([&] {
        frame.setItemsEnabled(documentItems, false);
        frame.setItemsEnabled({"mnuEditCut", "mnuEditCopy", "mnuEditPaste", "mnuEditDelete"}, false);
    });
}

} // namespace editcmd
