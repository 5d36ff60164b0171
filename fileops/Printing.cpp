#include "fileops/Printing.h"

#include "documents/DocumentFrame.h"
#include "documents/Form1.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"
#include "platform/System.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <Qsci/qsciprinter.h>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <memory>
#include <unistd.h>

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

// Why a print did not happen, as far as can be told: the reason a file could not be written, or
// the printer's name.
QString printFailure(const QPrinter& printer) {
    const QString file = printer.outputFileName();
    if (file.isEmpty())
        return QCoreApplication::translate("Printing", "The printer \"%1\" did not take the document.").arg(printer.printerName());
    const QFileInfo info(file);
    const QByteArray target = QFile::encodeName(info.exists() ? info.absoluteFilePath() : info.absolutePath());
    const QString why = ::access(target.constData(), W_OK) != 0 ? tp::errnoText(errno)
                                                                   : QCoreApplication::translate("Printing", "It could not be written.");
    return QDir::toNativeSeparators(info.absoluteFilePath()) + QStringLiteral(": ") + why;
}

} // namespace

QMarginsF printableMargins(const QPageLayout& layout) {
    QPageLayout mm = layout;
    mm.setUnits(QPageLayout::Millimeter);
    const QMarginsF now = mm.margins(), least = mm.minimumMargins();
    auto edge = [](qreal a, qreal b) { return std::max({a, b, kLeastMarginMm}); };
    return QMarginsF(edge(now.left(), least.left()), edge(now.top(), least.top()),
                     edge(now.right(), least.right()), edge(now.bottom(), least.bottom()));
}

bool SelPrint(RichTextBox& rtb, QPrinter& device) {
    auto* printer = dynamic_cast<QsciPrinter*>(&device);
    if (!printer) return false;
    // What is printed follows the document's selection; of it, the pages chosen in the dialog
    // (all of them unless a page range was chosen there), as many times as copies were asked for
    // (the control repeats the pages when the printer cannot).
    if (device.printRange() != QPrinter::PageRange) printer->setFromTo(0, 0);
    printer->setPageMargins(printableMargins(printer->pageLayout()), QPageLayout::Millimeter);
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
    dlg.DialogTitle = QCoreApplication::translate("Printing", "Page Setup");
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
    dlg.DialogTitle = QCoreApplication::translate("Printing", "Print");
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
    bool printed = false;
    QString why;
    try {
        printed = SelPrint(*form->RTB1, dlg.hDC()) && dlg.hDC().printerState() != QPrinter::Error;
    } catch (const std::exception&) {
        // Memory ran short for the printer or for the copy of a selection: nothing more is
        // printed, and the document is as it was.
        why = QCoreApplication::translate("Printing", "There is not enough memory.");
    }
    if (!printed)
        tp::MsgBox(QCoreApplication::translate("Printing", "Can't print ") + form->Caption() + QStringLiteral("\r\n\r\n") +
                   (why.isEmpty() ? printFailure(dlg.hDC()) : why));
}

} // namespace fileops
