#pragma once
// Page Setup and Print: the shared print dialog, then the edit control lays out and prints the
// selection, or the whole text when nothing is selected.
#include <QMarginsF>
#include <QPageLayout>

class DocumentFrame;
class QPrinter;
class RichTextBox;

namespace fileops {

void mnuFilePageSetup(DocumentFrame& frame);
void mnuFilePrint(DocumentFrame& frame);

// Prints the control's selection, or its whole text when nothing is selected, in the control's
// font, with margins a printer can print. False when nothing could be printed.
bool SelPrint(RichTextBox& rtb, QPrinter& printer);

// The least margin on every side, in millimetres (also when the printer could print closer to
// the edge); a printer that needs more gets its own minimum.
inline constexpr double kLeastMarginMm = 10.0;
// The printer's margins raised to at least its minimum and kLeastMarginMm, in millimetres.
QMarginsF printableMargins(const QPageLayout& layout);

} // namespace fileops
