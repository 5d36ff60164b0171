#pragma once
// New, Open and Close.
#include <QString>

class DocumentFrame;
class Form1;

namespace documents {

// One more empty, unchanged window "Document n" in the lowest free slot, shown and active.
// nullptr when no slot is left.
Form1* NewDocument(DocumentFrame& frame);

// File > Open: the Open dialog, then the chosen file in a new window.
void mnuFileOpen(DocumentFrame& frame);

// Reads the file into a new window captioned with its path in upper case; used by Open and by a
// drop on the frame. Shows "Can't open file: " and returns nullptr when the file cannot be read.
Form1* openDocument(DocumentFrame& frame, const QString& path);

// File > Close: closes the active window through its close prompt.
void mnuFileClose(DocumentFrame& frame);

} // namespace documents
