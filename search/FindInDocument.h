#pragma once
// The search state shared by all windows, and the search routine that Find and Find Next run.
#include <QString>
#include <cstdint>

class DocumentFrame;

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

// Beyond the two options of the Find dialog: whole word and regular expression, set by the
// Replace dialog along with the shared state above, and turned off by Find, whose dialog cannot
// show them. Find Next follows them. Also the last replacement text.
struct SearchExtras {
    bool wholeWord = false;
    bool regex = false;
    QString replaceText;
};
SearchExtras& extras();

// Back to the state before first use (tests).
void resetState();

// The frame has loaded: the direction starts as Down.
void frameLoaded();

// Searches the active document for strSearchText, once, in the stored direction, from the caret
// (one character further when the caret still stands where the last search left it), over the
// whole document and without wrapping round. A hit is selected and true returned (the Find
// dialog then closes); a miss says "Cannot find" and leaves the selection alone. Upwards, a hit
// begins before the caret (new search) or before the selection's start (repeat). With a whole
// word or a regular expression asked for (extras()), the text is searched for that way; an
// expression that is not valid, or that needs too much work, is reported and the state left.
bool FindInDocument(DocumentFrame& frame);
// The message for an expression that needed too much work.
QString tooMuchWork(const QString& pattern);

} // namespace searchcmd
