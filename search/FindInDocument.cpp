#include "search/FindInDocument.h"

#include "documents/DocumentFrame.h"
#include "documents/Form1.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"
#include "search/TextSearch.h"

namespace searchcmd {

SearchState& state() {
    static SearchState s;
    return s;
}

void resetState() { state() = SearchState{}; }

void frameLoaded() { state().intSearchDirection = 1; }

namespace {

void cannotFind(const SearchState& s) {
    tp::MsgBox(QStringLiteral("Cannot find \"") + s.strSearchText + QLatin1Char('"'));
}

} // namespace

bool FindInDocument(DocumentFrame& frame) {
    SearchState& s = state();
    Form1* form = frame.ActiveForm();
    if (!form) {
        // Nothing to search in: say so and leave the state as it was.
        cannotFind(s);
        return false;
    }
    if (s.strSearchText.isEmpty()) return false;
    RichTextBox& rtb = *form->RTB1;

    // A search that repeats the last one (caret still where that one left it) steps past its hit.
    const qint64 caret = rtb.SelStart();
    const qint64 offset = (!s.blnNewSearch && caret == s.intLastPos) ? 1 : 0;
    const qint64 start = caret + offset;
    const bool down = s.intSearchDirection == 1;
    if (!down && start == 0) {
        // Upwards from the very beginning there is nothing to look at: the state stays as it was.
        cannotFind(s);
        return false;
    }

    const textsearch::Pattern pattern(s.strSearchText.toUtf8(), s.intMatchCase != 0);
    const qint64 length = rtb.byteLength();
    const char* text = length > 0 ? rtb.rangePointer(0, length) : "";
    textsearch::Match hit;
    if (down) {
        qint64 from = rtb.byteFromIndex(start);
        if (rtb.indexFromByte(from) != start) {
            // A repeat one code unit past a hit that begins with a character taking two code units:
            // the search begins with the character after that one.
            from = textsearch::boundaryAtOrAfter(text, length, rtb.byteFromIndex(start - 1) + 1);
        }
        hit = pattern.findForward(text, length, from);
    } else {
        // Upwards the hit begins before the caret (new search) or before the last hit (repeat).
        hit = pattern.findBackward(text, length, rtb.byteFromIndex(caret));
    }

    if (hit) rtb.selectBytes(hit.start, hit.end);
    else cannotFind(s);
    s.intLastPos = rtb.SelStart();
    s.blnNewSearch = false;
    return bool(hit);
}

} // namespace searchcmd
