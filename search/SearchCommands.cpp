#include "search/SearchCommands.h"

#include "documents/DocumentFrame.h"
#include "documents/Form1.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"
#include "search/FindInFilesPanel.h"
#include "search/GoToLine.h"
#include "search/frmFind.h"
#include "search/frmReplace.h"

#include <QCoreApplication>
#include <QCheckBox>
#include <QInputDialog>
#include <QLineEdit>

namespace searchcmd {

void mnuSearch(DocumentFrame& frame) {
    frame.setItemsEnabled({"mnuSearchFind", "mnuSearchFindNext", "mnuSearchFindPrevious"}, frame.ActiveForm() != nullptr);
    frame.setItemsEnabled({"mnuSearchReplace", "mnuSearchGoToLine"}, frame.ActiveForm() != nullptr);
}

void Find(DocumentFrame& frame) {
    Form1* form = frame.ActiveForm();
    if (!form) return;
    SearchState& s = state();
    const QString selected = form->RTB1->SelText();
    // The Find dialog shows neither whole word nor regular expression: its search is plain.
    extras().wholeWord = extras().regex = false;

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

void FindPrevious(DocumentFrame& frame) {
    SearchState& s = state();
    if (s.strSearchText.isEmpty()) {
        Find(frame);
        return;
    }
    const std::int16_t direction = s.intSearchDirection;
    s.intSearchDirection = 0;
    FindInDocument(frame);
    s.intSearchDirection = direction;
}

} // namespace searchcmd

namespace searchcmd {

void Replace(DocumentFrame& frame) {
    if (frame.ActiveForm()) frmReplace::open(frame);
}

void FindInFiles(DocumentFrame& frame, FindInFilesPanel*& panel) { FindInFilesPanel::open(frame, panel); }

namespace {

// OK with text that is not a line number says what was wrong and leaves the dialog open, the
// text selected, for the user to mend.
class GoToLineDialog : public QInputDialog {
public:
    using QInputDialog::QInputDialog;
    void done(int result) override {
        if (result == QDialog::Accepted && !gotoline::parse(textValue())) {
            tp::MsgBox(gotoline::notANumberMessage(textValue()));
            if (auto* edit = findChild<QLineEdit*>()) {
                edit->selectAll();
                edit->setFocus();
            }
            return;
        }
        QInputDialog::done(result);
    }
};

} // namespace

void GoToLine(DocumentFrame& frame) {
    Form1* form = frame.ActiveForm();
    if (!form) return;
    RichTextBox& rtb = *form->RTB1;
    const qint64 lines = rtb.lineCount();
    GoToLineDialog dialog(frame.frameWidget());
    dialog.setObjectName(QStringLiteral("frmGoToLine"));
    dialog.setWindowTitle(QCoreApplication::translate("SearchCommands", "Go to Line"));
    dialog.setLabelText(QCoreApplication::translate("SearchCommands", "Line number (1 - %1), or line:column:").arg(lines));
    dialog.setTextValue(QString::number(rtb.lineOfByte(rtb.byteFromIndex(rtb.SelStart())) + 1));
    if (tp::modal().exec(dialog) != QDialog::Accepted) return;
    const std::optional<gotoline::Target> typed = gotoline::parse(dialog.textValue());
    if (!typed) {
        tp::MsgBox(gotoline::notANumberMessage(dialog.textValue()));
        return;
    }
    const auto lineStart = [&](qint64 line) { return rtb.indexFromByte(rtb.lineStartByte(line - 1)); };
    const gotoline::Target t = gotoline::clamp(*typed, lines, [&](qint64 line) {
        return rtb.indexFromByte(rtb.lineEndByte(line - 1)) - lineStart(line);
    });
    rtb.SetSelStart(lineStart(t.line) + t.column - 1);
    rtb.showCaret();
}

} // namespace searchcmd
