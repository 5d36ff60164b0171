#pragma once
// What the Replace dialog's buttons do: Find Next, Replace (the current match, then the next) and
// Replace All in the selection, the document or every open document. Each stores what the
// dialog holds as the shared search state first (text, case, direction, whole word, regular
// expression), so that Find Next (F3) goes on the same way afterwards.
#include <QString>

class DocumentFrame;
class RichTextBox;

namespace search {
class Matcher;
class Replacement;
}

namespace replacecmd {

struct ReplaceQuery {
    QString find;
    QString replaceWith;
    bool matchCase = false;
    bool wholeWord = false;
    bool regex = false;
    bool down = true;
};

enum class Scope { Selection, Document, AllDocuments };

// Prepares the query, or reports why it cannot be searched for (an expression that is not
// valid, with its position; a replacement naming a group the expression does not have).
bool prepare(const ReplaceQuery& query, search::Matcher& matcher, search::Replacement& replacement);

// Find Next with the dialog's options.
bool findNext(DocumentFrame& frame, const ReplaceQuery& query);
// Replaces the selection when it is a match, then finds the next one.
bool replaceCurrent(DocumentFrame& frame, const ReplaceQuery& query);
// Replace All; ends with the count ("37 replacements in 3 documents") or "Cannot find".
// Returns the number of replacements.
qint64 replaceAll(DocumentFrame& frame, const ReplaceQuery& query, Scope scope);

// Replaces every match in the byte range [from, to) of a control as one undo step; the number
// replaced and the bytes the range grew by, or -1 when the expression needed too much work.
qint64 replaceAllIn(RichTextBox& rtb, const search::Matcher& matcher, const search::Replacement& replacement,
                    qint64 from, qint64 to, qint64* growth = nullptr);

// "37 replacements in 3 documents".
QString countMessage(qint64 replacements, int documents);

} // namespace replacecmd
