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

// Searches the active document from the caret and selects the hit, or says "Cannot find".
void FindInDocument(MDIForm1& frame);

void mnuSearch(MDIForm1& frame);
void Find(MDIForm1& frame);
void FindNext(MDIForm1& frame);

} // namespace searchcmd
