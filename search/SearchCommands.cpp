#include "search/SearchCommands.h"

#include "documents/DocumentFrame.h"
#include "documents/Form1.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"
#include "search/frmFind.h"

#include <QCheckBox>
#include <QLineEdit>

namespace searchcmd {

void mnuSearch(DocumentFrame& frame) {
    frame.setItemsEnabled({"mnuSearchFind", "mnuSearchFindNext"}, frame.ActiveForm() != nullptr);
}

void Find(DocumentFrame& frame) {
    Form1* form = frame.ActiveForm();
    if (!form) return;
    SearchState& s = state();
    const QString selected = form->RTB1->SelText();

    frmFind dialog(frame);
    dialog.Text1->setText(selected.isEmpty() ? s.strSearchText : selected);
    s.blnNewSearch = true;
    if (s.intMatchCase != 0) dialog.chkCase->setChecked(true);
    tp::modal().exec(dialog);
}

void FindNext(DocumentFrame& frame) {
    if (!state().strSearchText.isEmpty()) FindInDocument(frame);
    else Find(frame);
}

} // namespace searchcmd
