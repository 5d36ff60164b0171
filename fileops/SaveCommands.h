#pragma once
// Save and Save As.
#include <QString>

class Form1;
class MDIForm1;

namespace fileops {

void mnuFileSave(MDIForm1& frame);
// Saves a window as Save does: an untitled one ("Document..." caption) through the Save dialog,
// a titled one to its file at once. True when the text reached the file.
bool SaveWindow(MDIForm1& frame, Form1& form);
void mnuFileSaveAs(MDIForm1& frame);

// Writes the window's whole text plus CR LF to the frame's strCurrentFile, asking for a name in the
// Save dialog when it is empty. True when the text really reached the file; the changed flag is
// cleared only then. Failures are reported to the user and leave the document changed.
bool SaveFile(MDIForm1& frame, Form1& form);

// The Save dialog's file-type list.
QString saveFilter();

} // namespace fileops
