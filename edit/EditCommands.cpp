#include "edit/EditCommands.h"

#include "app/MDIForm1.h"

namespace editcmd {

void mnuEdit(MDIForm1&) {}
void Undo(MDIForm1&) {}
void Cut(MDIForm1&) {}
void Copy(MDIForm1&) {}
void Paste(MDIForm1&) {}
void Delete(MDIForm1&) {}
void SelectAll(MDIForm1&) {}
QString timeDateStamp(const QDateTime&) { return QString(); }
void TimeDate(MDIForm1&) {}
QString htmlTagText(HtmlTagKind) { return QString(); }
QString htmlSkeleton() { return QString(); }
void HtmlTag(MDIForm1&, HtmlTagKind) {}
void HtmlInsertFrame(MDIForm1&) {}

} // namespace editcmd
