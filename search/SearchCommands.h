#pragma once
// The search state shared by all windows, the search routine and the Search menu.
#include <QString>
#include <cstdint>

class MDIForm1;

namespace searchcmd {

struct SearchState {
    QString strSearchText;
    std::int16_t intMatchCase = 0;          // 0: ignore case
    std::int16_t intSearchDirection = 0;    // 1: Down, anything else: Up
    qint64 intLastPos = 0;                  // SelStart at the end of the last completed search
    bool blnNewSearch = false;
};

// The one process-wide search state.
SearchState& state();
// Back to the state before first use (tests).
void resetState();

// The frame has loaded: the direction starts as Down.
void frameLoaded();

// Searches the active document for strSearchText, once, in the stored direction, from the caret
// (one character further when the caret still stands where the last search left it), over the
// whole document and without wrapping round. A hit is selected and closes the Find dialog; a miss
// says "Cannot find" and leaves the selection alone. Upwards, a hit begins before the caret (new
// search) or before the selection's start (repeat).
void FindInDocument(MDIForm1& frame);

// The Search menu drops down: both items follow whether a document window is active.
void mnuSearch(MDIForm1& frame);
// Search > Find: the Find dialog, pre-filled from the selection or the last search text.
void Find(MDIForm1& frame);
// Search > Find Next: repeats the last search, or opens the Find dialog when there was none.
void FindNext(MDIForm1& frame);

} // namespace searchcmd
