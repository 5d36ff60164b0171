#pragma once
// The Search menu: its enabled states, Find and Find Next.
#include "search/FindInDocument.h"

class DocumentFrame;

namespace searchcmd {

// The Search menu drops down: both items follow whether a document window is active.
void mnuSearch(DocumentFrame& frame);
// Search > Find: the Find dialog, pre-filled from the selection or the last search text.
void Find(DocumentFrame& frame);
// Search > Find Next: repeats the last search, or opens the Find dialog when there was none.
void FindNext(DocumentFrame& frame);

} // namespace searchcmd
