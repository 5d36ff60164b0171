#include "documents/DocumentCommands.h"

#include "app/MDIForm1.h"
#include "io/DocumentFile.h"
#include "documents/Form1.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"

#include <QApplication>
#include <QMdiSubWindow>

namespace documents {

Form1* NewDocument(MDIForm1& frame) {
    const int i = frame.claimSlot();
    if (i == 0) return nullptr;
    Form1* form = frame.loadDocumentWindow(i);
    form->setCaption(QStringLiteral("Document ") + QString::number(i));
    frame.showDocumentWindow(form);
    frame.table().DocumentStates[i].Changed = 0;
    return form;
}

QString openFilter() {
    return QStringLiteral(
        "All Documents | *.htm;*.html;*.shtm;*.shtml;*.stm;*.xml;*.jav;*.java;*.css;*.asp;*.cfm;*.cfml;*.txt;*.php"
        "|HTML Documents (*.htm; *.html) | *.htm;*.html"
        "|Server-Side Includes (*.stm; *.shtm; *.shtml)| *.stm; *.shtm; *.shtml"
        "|XML Files (*.xml)| *.xml"
        "|Java Files (*.jav; *.java)| *.jav;*.java"
        "|Style Sheets (*.css)| *.css"
        "|Active Server Pages (*.asp)| *.asp"
        "|Cold Fusion Templates (*.cfm; *.cfml)| *.cfm; *.cfml"
        "|Text Files (*.txt)| *.txt"
        "|PHP Files (*.php)| *.php"
        "|All files (*.*) | *.*");
}

void mnuFileOpen(MDIForm1& frame) {
    CommonDialog& dlg = frame.CommonDialog1;
    dlg.FileName.clear();
    dlg.Filter = openFilter();
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

Form1* openDocument(MDIForm1& frame, const QString& path) {
    DocumentFile file;
    QString reason;
    if (!file.open(path, reason)) {
        // A file the editor cannot take (rather than one that cannot be opened) says why.
        tp::MsgBox(QStringLiteral("Can't open file: ") + path +
                   (file.refused() ? QStringLiteral("\r\n\r\n") + reason : QString()));
        return nullptr;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int i = frame.claimSlot();
    if (i == 0) {
        QApplication::restoreOverrideCursor();
        return nullptr;
    }
    Form1* form = frame.loadDocumentWindow(i);
    const QString caption = path.toUpper();
    form->setCaption(caption);
    form->setFile(path, caption);
    const bool read = file.readInto(*form->RTB1, reason);
    file.close();
    frame.table().DocumentStates[i].Changed = 0;
    if (!read) {
        // No window may stay titled with the file while holding only part of it: a later Save
        // would write that part over the file.
        form->closeWithoutAsking();
        QApplication::restoreOverrideCursor();
        tp::MsgBox(QStringLiteral("Can't open file: ") + path + QStringLiteral("\r\n\r\n") + reason);
        return nullptr;
    }
    frame.showDocumentWindow(form);
    QApplication::restoreOverrideCursor();
    return form;
}

void mnuFileClose(MDIForm1& frame) {
    Form1* form = frame.ActiveForm();
    if (!form) return;
    if (QMdiSubWindow* sub = form->subWindow()) sub->close();
}

} // namespace documents
