#include "platform/CommonDialog.h"

#include "platform/Modal.h"

#include <QFileInfo>
#include <Qsci/qsciprinter.h>

CommonDialog::CommonDialog() = default;
CommonDialog::~CommonDialog() = default;

QStringList CommonDialog::nameFilters(const QString& filter) {
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts.at(i + 1).split(QLatin1Char(';'))) {
            const QString t = p.trimmed();
            // "*.*" means every file; here a name need not have a dot (README, Makefile).
            if (t == QLatin1String("*.*")) patterns << QStringLiteral("*");
            else if (!t.isEmpty()) patterns << t;
        }
        // The description is shown as given; the patterns in the last parentheses are what Qt
        // matches against (the dialog hides them).
        result << parts.at(i).trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                      QLatin1Char(')');
    }
    return result;
}

void CommonDialog::showFile(bool save) {
    tp::FileDialogRequest request;
    request.kind = save ? tp::FileDialogKind::Save : tp::FileDialogKind::Open;
    request.nameFilters = nameFilters(Filter);
    request.selectedFilter = FilterIndex > 0 ? FilterIndex - 1 : -1;
    request.fileName = FileName;
    request.folder = InitDir.isEmpty() ? lastFolder_ : InitDir;
    const QString chosen = tp::modal().fileDialog(request);
    FileName = chosen;
    if (!chosen.isEmpty()) lastFolder_ = QFileInfo(chosen).absolutePath();
    if (chosen.isEmpty() && CancelError) throw CommonDialogError(cdlCancel);
}

void CommonDialog::ShowOpen() { showFile(false); }
void CommonDialog::ShowSave() { showFile(true); }

QPrinter& CommonDialog::hDC() {
    // A printer on which the edit control can lay out its text.
    if (!printer_) printer_ = std::make_unique<QsciPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void CommonDialog::ShowPrinter() {
    tp::PrintDialogRequest request;
    request.title = DialogTitle;
    request.noPageNumbers = (Flags & cdlPDNoPageNums) != 0;
    request.selection = (Flags & cdlPDSelection) != 0;
    QPrinter& printer = hDC();
    printer.setPrintRange(request.selection ? QPrinter::Selection : QPrinter::AllPages);
    const bool ok = tp::modal().printDialog(request, printer);
    if (!ok && CancelError) throw CommonDialogError(cdlCancel);
}
