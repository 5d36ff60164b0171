#pragma once
// Changing a document's encoding: reading its file again in another encoding, and choosing the
// encoding its next save writes.
#include "io/Encoding.h"

class Form1;

namespace documents {

// Whether the window's file can be read again: it has one and no unsaved changes.
bool canReopen(const Form1& form);
// Reads the window's file again in the encoding ('encoding' names the family: UTF-8, UTF-16 LE or
// BE take the mark as the file has it). When the file cannot be read so, says why and keeps the
// text as it was. False when nothing changed.
bool reopenWithEncoding(Form1& form, io::Encoding encoding);
// The encoding the next save writes; a different one counts as a change of the document.
void setSaveEncoding(Form1& form, io::Encoding encoding);

} // namespace documents
