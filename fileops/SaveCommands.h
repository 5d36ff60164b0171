#pragma once
// Save and Save As.
#include <QByteArray>
#include <QString>

class DocumentFrame;
class RichTextBox;
class Form1;

namespace fileops {

void mnuFileSave(DocumentFrame& frame);
// Saves a window as Save does: an untitled one ("Document..." caption) through the Save dialog,
// a titled one to its file at once. True when the text reached the file.
bool SaveWindow(DocumentFrame& frame, Form1& form);
void mnuFileSaveAs(DocumentFrame& frame);

// The line end a save adds after the text (UTF-8): none when the text ends in one (a file read in
// and saved again keeps its bytes) or the user turned it off, else the one Enter types (CR LF
// in a new document, so "abc" saves as abc CR LF and an empty document as CR LF).
QByteArray finalLineEnd(const RichTextBox& rtb);

// Writes the window's whole text plus the line end above to the frame's strCurrentFile, asking for a
// name in the Save dialog when it is empty. True when the text really reached the file; the changed flag is
// cleared only then. Failures are reported to the user and leave the document changed.
bool SaveFile(DocumentFrame& frame, Form1& form);

} // namespace fileops
