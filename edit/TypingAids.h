#pragma once
// Help while typing markup and code, each switched in the View menu and kept in the user's
// preferences (io/Preferences.h), all on at first:
// - Closing tags, in documents coloured as HTML (PHP pages too) or XML (SVG too): the '>' of a
//   start tag adds its end tag after the caret, "</" adds the name of the innermost element still
//   open and its '>' (or steps over its end tag when that follows), and Enter between a start tag
//   and its end tag puts the end tag on a line of its own.
// - Brackets and quotes in pairs, in every document but plain text (prose, where apostrophes and
//   parentheses around whole sentences are the rule): ( [ { " ' add their partner after the caret,
//   the partner is typed over, and Backspace between the two takes both.
// - Tab after an abbreviation made of HTML element names, in an HTML or PHP page, expands it
//   (edit/Abbreviation.h); Tab everywhere else indents as before.
// The key types as it always does; what an aid adds is an undo step of its own, so the first Undo
// takes it back. The aids read at most a few hundred KB around the caret, so typing in a 100 MB
// document never waits on them.
class DocumentFrame;
class Form1;
class RichTextBox;

namespace editcmd {

// Gives a new document window the aids (before the window's own key handling).
void attachTypingAids(Form1& form);
// ... and a further view of the document (Window > New Window) its own, living as long as it.
void attachTypingAids(Form1& form, RichTextBox& view);

// Edit > Expand Abbreviation: the abbreviation before the caret (or the selected one), in any
// document; a beep when there is none.
void ExpandAbbreviation(DocumentFrame& frame);
// Edit > Select Element: the content of the element around the selection, then the whole
// element, then its parent's content...; a beep when there is no larger one.
void SelectElement(DocumentFrame& frame);

// As the Edit menu opens: its two commands need a document window.
void mnuEditTypingAids(DocumentFrame& frame);

// The View menu's switches: their check marks as the menu opens, and each one turned over.
void mnuViewTypingAids(DocumentFrame& frame);
void ToggleCloseTags();
void TogglePairBrackets();
void ToggleAbbreviationsOnTab();

} // namespace editcmd
