#pragma once
// The Edit menu: its enabled states, the clipboard commands, the time/date stamp and the HTML
// snippets.
#include <QDateTime>
#include <QString>

class MDIForm1;

namespace editcmd {

// Run as the Edit menu (or the right-click menu) opens.
void mnuEdit(MDIForm1& frame);

void Undo(MDIForm1& frame);
void Cut(MDIForm1& frame);
void Copy(MDIForm1& frame);
void Paste(MDIForm1& frame);
void Delete(MDIForm1& frame);
void SelectAll(MDIForm1& frame);

// " 2:07 PM 12-06-2026": the stamp for a local time, whatever the locale.
QString timeDateStamp(const QDateTime& when);
void TimeDate(MDIForm1& frame);

enum class HtmlTagKind { Head, Title, Body, Br, Hr, Center };
QString htmlTagText(HtmlTagKind kind);
// The empty page skeleton (74 characters).
QString htmlSkeleton();
void HtmlTag(MDIForm1& frame, HtmlTagKind kind);
void HtmlInsertFrame(MDIForm1& frame);

} // namespace editcmd
