#pragma once
// Files dropped from the desktop: on the frame's empty area a file opens in a new window; on a
// document its text is added at the end of the active document.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class MDIForm1;
class QDropEvent;
class QMimeData;
class RichTextBox;

namespace fileops {

// True when the dragged data is a list of local files (nothing else is ever accepted).
bool isFileList(const QMimeData* data);
// True when the drag offers a list of local files for copying (a source offering only a move may
// delete the files after the drop).
bool offersFileCopy(const QDropEvent& e);
// The first path of the list, or an empty string.
QString firstDroppedPath(const QMimeData* data);

// Opens the file in a new document window, as File > Open does.
void frameDropFile(MDIForm1& frame, const QString& strFilename);
// Adds the file's text at the end of the control, its lines joined with CR LF.
void documentDropFile(RichTextBox& txtDragDrop, const QString& strFilename);

// The text a document drop adds: lines end at CR LF or a lone CR (a lone LF stays inside its
// line); they are joined with CR LF, leading empty lines add nothing, no line break at the end.
QByteArray joinDroppedLines(QByteArrayView bytes);

} // namespace fileops
