#pragma once
// Save and Save As.
#include <QString>

class DocumentFrame;
class Form1;

namespace fileops {

void mnuFileSave(DocumentFrame& frame);
// Saves a window as Save does: an untitled one ("Document..." caption) through the Save dialog,
// a titled one to its file at once. True when the text reached the file.
bool SaveWindow(DocumentFrame& frame, Form1& form);
void mnuFileSaveAs(DocumentFrame& frame);

// Writes the window's whole text plus CR LF to the frame's strCurrentFile, asking for a name in the
// Save dialog when it is empty. True when the text really reached the file; the changed flag is
// cleared only then. Failures are reported to the user and leave the document changed.
bool SaveFile(DocumentFrame& frame, Form1& form);

} // namespace fileops
