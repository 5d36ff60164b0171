#pragma once
// The completion list of a document window (edit/Completion.h says what it offers): it opens by
// itself as markup and CSS are typed (after '<', '&', an attribute's first letter, inside an
// enumerated attribute's value, at a CSS property or value) unless the View menu's switch is off,
// and on Ctrl+Space anywhere, where a place with no list of its own offers the words of the text
// around the caret. Enter, Tab or a click takes the chosen entry as one undo step.
class DocumentFrame;
class Form1;
class RichTextBox;

namespace editcmd {

// Gives a new document window its completion list (after its typing aids, so that the list's
// keys reach the list first).
void attachCompletion(Form1& form);
// ... and a further view of the document its own, living as long as it.
void attachCompletion(Form1& form, RichTextBox& view);

// The View menu's switch: its check mark as the menu opens, and the switch turned over.
void mnuViewCompletion(DocumentFrame& frame);
void ToggleCompleteAsYouType();

} // namespace editcmd
