#include "documents/DocumentCommands.h"

#include "documents/DocumentFrame.h"
#include "documents/FileTypes.h"
#include "documents/Form1.h"
#include "io/DocumentFile.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"
#include "platform/WaitCursor.h"

#include <QMdiSubWindow>

namespace documents {

Form1* NewDocument(DocumentFrame& frame) {
    const int i = frame.claimSlot();
    if (i == 0) return nullptr;
    Form1* form = frame.loadDocumentWindow(i);
    form->setCaption(QStringLiteral("Document ") + QString::number(i));
    frame.showDocumentWindow(form);
    frame.table().DocumentStates[i].Changed = 0;
    return form;
}

void mnuFileOpen(DocumentFrame& frame) {
    CommonDialog& dlg = frame.CommonDialog1;
    dlg.FileName.clear();
    dlg.Filter = filetypes::openFilter();
    dlg.FilterIndex = 1;
    try {
        dlg.ShowOpen();
    } catch (const CommonDialogError&) {
        // Cancelling is never an error, whatever Print left set on the shared dialog.
        dlg.FileName.clear();
    }
    if (dlg.FileName.isEmpty()) return;
    frame.strCurrentFile = dlg.FileName;
    openDocument(frame, dlg.FileName);
}

Form1* openDocument(DocumentFrame& frame, const QString& path) {
    DocumentFile file;
    QString reason;
    if (!file.open(path, reason)) {
        // A file the editor cannot take (rather than one that cannot be opened) says why.
        tp::MsgBox(QStringLiteral("Can't open file: ") + path +
                   (file.refused() ? QStringLiteral("\r\n\r\n") + reason : QString()));
        return nullptr;
    }
    WaitCursor wait;
    const int i = frame.claimSlot();
    if (i == 0) return nullptr;
    Form1* form = frame.loadDocumentWindow(i);
    const QString caption = path.toUpper();
    form->setCaption(caption);
    form->setFile(path, caption);
    const bool read = file.readInto(*form->RTB1, reason);
    file.close();
    form->setEncoding(file.encoding());
    frame.table().DocumentStates[i].Changed = 0;
    if (!read) {
        // No window may stay titled with the file while holding only part of it: a later Save
        // would write that part over the file.
        form->closeWithoutAsking();
        wait.done();
        tp::MsgBox(QStringLiteral("Can't open file: ") + path + QStringLiteral("\r\n\r\n") + reason);
        return nullptr;
    }
    frame.showDocumentWindow(form);
    return form;
}

void mnuFileClose(DocumentFrame& frame) {
    Form1* form = frame.ActiveForm();
    if (!form) return;
    if (QMdiSubWindow* sub = form->subWindow()) sub->close();
}

} // namespace documents
