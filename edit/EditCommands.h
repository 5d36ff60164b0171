#pragma once
// The Edit menu: its enabled states, the clipboard commands, the time/date stamp and the HTML
// snippets.
//
// The menu's enabled states are refreshed only when the menu opens, so a shortcut key can still
// reach a command after the last document window has closed: every command then does nothing.
#include <QDateTime>
#include <QString>

class DocumentFrame;
class RichTextBox;

namespace editcmd {

// Run as the Edit menu (or the right-click menu) opens.
void mnuEdit(DocumentFrame& frame);

// Queues one Ctrl+Z for the control that has the keyboard focus; that control undoes.
void Undo(DocumentFrame& frame);
// Redoes what the last Undo undid, in the control that has the keyboard focus (a document's edit
// control or a one-line box), else in the active document.
void Redo(DocumentFrame& frame);
// Cut and Copy beep when nothing is selected. Cut removes the selection only once its text is on
// the clipboard.
void Cut(DocumentFrame& frame);
void Copy(DocumentFrame& frame);
// The clipboard's plain text replaces the selection, its line ends made the document's; no text on
// the clipboard removes it.
void Paste(DocumentFrame& frame);
// Removes the selection of the focused control (a document's edit control or a one-line box); in a
// document's control with nothing selected, the character after the caret.
void Delete(DocumentFrame& frame);
void SelectAll(DocumentFrame& frame);

// " 2:07 PM 12-06-2026": the stamp for a local time, whatever the locale.
QString timeDateStamp(const QDateTime& when);
void TimeDate(DocumentFrame& frame);

enum class HtmlTagKind { Head, Title, Body, Br, Hr, Center };
QString htmlTagText(HtmlTagKind kind);
// The empty page skeleton (74 characters).
QString htmlSkeleton();
void HtmlTag(DocumentFrame& frame, HtmlTagKind kind);
// The skeleton at the caret of the active document, or in a new document when none is open.
void HtmlInsertFrame(DocumentFrame& frame);

// The edit control of the active document window, or nullptr when none is open.
RichTextBox* activeEditor(const DocumentFrame& frame);
// Replaces the selection with the text, its line ends made the one Enter types in the document
// (an LF file gets LF from a paste or an HTML insertion, not CR LF).
void putText(RichTextBox& rtb, const QString& text);

} // namespace editcmd
