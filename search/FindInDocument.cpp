#include "search/FindInDocument.h"

#include "documents/DocumentFrame.h"
#include "documents/Form1.h"
#include "platform/Modal.h"
#include "platform/RichTextBox.h"
#include "search/Matcher.h"

#include <QCoreApplication>

namespace searchcmd {

SearchState& state() {
    static SearchState s;
    return s;
}

SearchExtras& extras() {
    static SearchExtras e;
    return e;
}

void resetState() {
    state() = SearchState{};
    extras() = SearchExtras{};
}

void frameLoaded() { state().intSearchDirection = 1; }

namespace {

void cannotFind(const SearchState& s) {
    tp::MsgBox(QCoreApplication::translate("FindInDocument", "Cannot find \"") + s.strSearchText + QLatin1Char('"'));
}

} // namespace

QString tooMuchWork(const QString& pattern) {
    return QCoreApplication::translate("FindInDocument", "The search for \"%1\" was stopped: the regular expression needs too much work on "
                          "this text.")
        .arg(pattern);
}

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

    search::Matcher pattern;
    search::QueryError error;
    if (!pattern.prepare({s.strSearchText, s.intMatchCase != 0, extras().wholeWord, extras().regex}, &error)) {
        tp::MsgBox(error.text(s.strSearchText));
        return false;
    }
    const qint64 length = rtb.byteLength();
    const char* text = length > 0 ? rtb.rangePointer(0, length) : "";
    search::Match hit;
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

    if (pattern.gaveUp()) {
        tp::MsgBox(tooMuchWork(s.strSearchText));
        return false;
    }
    if (hit) rtb.selectBytes(hit.start, hit.end);
    else cannotFind(s);
    s.intLastPos = rtb.SelStart();
    s.blnNewSearch = false;
    return bool(hit);
}

} // namespace searchcmd
