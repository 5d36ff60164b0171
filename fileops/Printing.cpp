#include "fileops/Printing.h"

#include "documents/DocumentFrame.h"
#include "documents/Form1.h"
#include "platform/RichTextBox.h"

#include <QPainter>
#include <Qsci/qsciprinter.h>

#include <exception>
#include <memory>

namespace fileops {
namespace {

// Lays out the whole text of an edit control on the printer: the text alone, without the
// margins the screen shows (line numbers).
bool printWhole(QsciScintillaBase& editor, QsciPrinter& printer) {
    editor.SendScintilla(QsciScintillaBase::SCI_SETPRINTCOLOURMODE, QsciScintillaBase::SC_PRINT_BLACKONWHITE);
    if (editor.SendScintilla(QsciScintillaBase::SCI_GETLENGTH) == 0) {
        // An empty document still gives its one blank page.
        QPainter painter;
        return painter.begin(&printer) && painter.end();
    }
    constexpr int kMargins = 5;
    long widths[kMargins];
    for (int m = 0; m < kMargins; ++m) {
        widths[m] = editor.SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, m);
        editor.SendScintilla(QsciScintillaBase::SCI_SETMARGINWIDTHN, m, 0L);
    }
    const bool printed = printer.printRange(&editor) != 0;
    for (int m = 0; m < kMargins; ++m)
        editor.SendScintilla(QsciScintillaBase::SCI_SETMARGINWIDTHN, m, widths[m]);
    return printed;
}

} // namespace

bool SelPrint(RichTextBox& rtb, QPrinter& device) {
    auto* printer = dynamic_cast<QsciPrinter*>(&device);
    if (!printer) return false;
    // What is printed follows the document's selection alone: the range and the page numbers
    // the dialog may still carry from an earlier Page Setup are not looked at.
    printer->setPrintRange(QPrinter::AllPages);
    printer->setFromTo(0, 0);
    printer->setWrapMode(QsciScintilla::WrapWord);

    const long selStart = rtb.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
    const long selEnd = rtb.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND);
    if (selEnd <= selStart) return printWhole(rtb, *printer);

    // The control prints whole lines; a selection may start or end inside one. A hidden control
    // of the same kind (same font, same tab width) holding exactly the selected text prints it.
    auto copy = std::make_unique<RichTextBox>();
    copy->SendScintilla(QsciScintillaBase::SCI_SETTABWIDTH, rtb.SendScintilla(QsciScintillaBase::SCI_GETTABWIDTH));
    const QByteArray selected = rtb.bytes(selStart, selEnd - selStart);
    copy->SetTextUtf8(selected);
    return printWhole(*copy, *printer);
}

void mnuFilePageSetup(DocumentFrame& frame) {
    CommonDialog& dlg = frame.CommonDialog1;
    dlg.DialogTitle = QStringLiteral("Page Setup");
    dlg.CancelError = true;
    try {
        dlg.ShowPrinter();
    } catch (const CommonDialogError&) {
        // Confirmed or cancelled, nothing more happens; the printer keeps what was chosen.
    } catch (const std::exception&) {
        // Nor when the dialog could not be shown (memory running short).
    }
}

void mnuFilePrint(DocumentFrame& frame) {
    Form1* form = frame.ActiveForm();
    if (!form) return;
    CommonDialog& dlg = frame.CommonDialog1;
    dlg.DialogTitle = QStringLiteral("Print");
    dlg.CancelError = true;
    dlg.Flags = CommonDialog::cdlPDReturnDC | CommonDialog::cdlPDNoPageNums;
    if (form->RTB1->SelLength() != 0) dlg.Flags += CommonDialog::cdlPDSelection;
    try {
        dlg.ShowPrinter();
    } catch (const CommonDialogError& e) {
        if (e.code() == CommonDialog::cdlCancel) return;
    } catch (const std::exception&) {
        // Any other failure of the dialog (memory running short) still lets the printing be tried.
    }
    try {
        SelPrint(*form->RTB1, dlg.hDC());
    } catch (const std::exception&) {
        // Memory ran short for the printer or for the copy of a selection: nothing more is
        // printed, and the document is as it was.
    }
}

} // namespace fileops
