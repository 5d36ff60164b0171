#include "documents/DocumentFrame.h"

#include "documents/ExtraView.h"
#include "documents/Form1.h"
#include "platform/Modal.h"

#include <QCoreApplication>
#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace documents {

Form1* activeForm(const QMdiArea& mdi) {
    QMdiSubWindow* sub = mdi.currentSubWindow();
    // A further view of a document stands for its document.
    return sub ? documentWindowOf(sub->widget()) : nullptr;
}

QList<Form1*> documentWindows(const QMdiArea& mdi) {
    QList<Form1*> result;
    for (QMdiSubWindow* sub : mdi.subWindowList(QMdiArea::CreationOrder))
        if (auto* f = qobject_cast<Form1*>(sub->widget())) result << f;
    return result;
}

} // namespace documents

DocumentFrame::~DocumentFrame() = default;

Form1* DocumentFrame::ActiveForm() const { return documents::activeForm(*mdiArea()); }

QList<Form1*> DocumentFrame::documentWindows() const { return documents::documentWindows(*mdiArea()); }

void DocumentFrame::setItemsEnabled(std::initializer_list<const char*> names, bool enabled) const {
    for (const char* name : names)
        if (QAction* a = item(name)) a->setEnabled(enabled);
}

int DocumentFrame::claimSlot() {
    const int slot = table_.FindFreeSlot();
    if (slot == 0) {
        tp::MsgBox(QCoreApplication::translate("DocumentFrame", "No more document windows can be opened.\r\n"
                                  "Close a document window and try again."));
    }
    return slot;
}
