#pragma once
// Page Setup and Print: the shared print dialog, then the edit control lays out and prints the
// selection, or the whole text when nothing is selected.
class MDIForm1;
class QPrinter;
class RichTextBox;

namespace fileops {

void mnuFilePageSetup(MDIForm1& frame);
void mnuFilePrint(MDIForm1& frame);

// Prints the control's selection, or its whole text when nothing is selected, in the control's
// font. False when nothing could be printed.
bool SelPrint(RichTextBox& rtb, QPrinter& printer);

} // namespace fileops
