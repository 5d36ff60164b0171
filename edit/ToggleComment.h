#pragma once
// Toggle Comment: the lines of the selection (or the caret's line) commented out, or back in, in
// the language at the start of their text: <!-- --> around markup, /* */ around CSS, // before
// each line of script. A second toggle gives back the bytes of the first's input: blank lines,
// indentation and line ends are never touched. Text that holds the closing mark itself ("-->" in
// markup, "*/" in CSS) is wrapped all the same and its comment ends early, as it would by hand.
#include "documents/Syntax.h"

#include <QByteArray>
#include <QByteArrayView>
#include <vector>

class DocumentFrame;

namespace editcmd {

enum class CommentForm {
    None,     // a language without comments (plain text, JSON): nothing changes
    Markup,   // <!-- -->
    Block,    // /* */
    Line,     // //
};

// The comment form at a place of a document of the given colouring. 'style' is the colouring's
// style there (-1 without colouring); 'before' is the text before the place (its last few
// kilobytes are enough). In HTML and PHP pages: script and PHP take //, the inside of a <style>
// element /* */, the rest <!-- -->.
CommentForm commentFormAt(syntax::Kind kind, int style, QByteArrayView before);

// One replacement in a text: 'removed' bytes at 'at' give way to 'inserted'.
struct TextEdit {
    qint64 at = 0;
    qint64 removed = 0;
    QByteArray inserted;
    bool operator==(const TextEdit&) const = default;
};

// The edits that toggle the comment of 'lines' (whole lines, the last one's line end left out),
// in ascending order and not overlapping; none when every line is blank or the form is None.
// The lines are commented back in when they are commented as a whole: for //, every line with
// text starts with it (after its indentation); for the others, the text from the first line's
// indentation to the last line's end is one comment.
std::vector<TextEdit> toggleCommentEdits(QByteArrayView lines, CommentForm form);

// 'text' with the edits of toggleCommentEdits() made.
QByteArray applyEdits(QByteArrayView text, const std::vector<TextEdit>& edits);

// The command on the active document: the lines the selection touches (without a last one it
// only reaches the start of), or the caret's line; one undo step.
void ToggleComment(DocumentFrame& frame);

} // namespace editcmd
