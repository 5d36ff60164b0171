#pragma once
class MDIForm1;
namespace fileops {
// Run as the File menu opens: Close, Save, Save As and Print follow whether a document is active.
void mnuFile(MDIForm1& frame);
} // namespace fileops
