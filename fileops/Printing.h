#pragma once
// Page Setup and Print: the shared print dialog, then the edit control lays out and prints the
// selection, or the whole text when nothing is selected.
class DocumentFrame;
class QPrinter;
class RichTextBox;

namespace fileops {

void mnuFilePageSetup(DocumentFrame& frame);
void mnuFilePrint(DocumentFrame& frame);

// Prints the control's selection, or its whole text when nothing is selected, in the control's
// font. False when nothing could be printed.
bool SelPrint(RichTextBox& rtb, QPrinter& printer);

} // namespace fileops
