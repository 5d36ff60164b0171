#pragma once
#include <QString>

class DocumentFrame;
namespace fileops {
// Run as the File menu opens: Close, Save, Save As and Print follow whether a document is active.
void mnuFile(DocumentFrame& frame);

// Run as the File menu opens, too: the recent files, numbered "&1 " to "&8 ", newest first,
// after a separator of their own between Options and the separator above Exit. Nothing is shown
// when the list is empty.
void showRecentFiles(DocumentFrame& frame);
// Opens a recent file as File > Open does; a file that is no longer there says so and leaves the
// list; a file open in a window already brings that window forward.
void openRecentFile(DocumentFrame& frame, const QString& path);
} // namespace fileops
