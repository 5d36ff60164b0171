#pragma once
// The Search menu: its enabled states, Find and Find Next.
#include "search/FindInDocument.h"

class DocumentFrame;
class FindInFilesPanel;

namespace searchcmd {

// The Search menu drops down: Find and Find Next (and Replace and Go to Line) follow whether a
// document window is active.
void mnuSearch(DocumentFrame& frame);
// Search > Find: the Find dialog, pre-filled from the selection or the last search text.
void Find(DocumentFrame& frame);
// Search > Find Next: repeats the last search, or opens the Find dialog when there was none.
void FindNext(DocumentFrame& frame);
// Search > Find Previous: the last search once more, upwards, whatever direction it was made in
// (which stays the one Find Next follows); the Find dialog when there was none.
void FindPrevious(DocumentFrame& frame);

// Search > Replace: the Replace dialog (see frmReplace).
void Replace(DocumentFrame& frame);
// Search > Find in Files: the Find in Files panel of the frame (see FindInFilesPanel), which the
// frame holds in 'panel'.
void FindInFiles(DocumentFrame& frame, FindInFilesPanel*& panel);
// Search > Go to Line: asks for a line (and column) of the active document and puts the caret
// there; numbers beyond the last line go to the last line, beyond a line's end to its end.
void GoToLine(DocumentFrame& frame);

} // namespace searchcmd
