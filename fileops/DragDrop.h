#pragma once
// Files dropped from the desktop: on the frame's empty area a file opens in a new window; on a
// document its text is added at the end of the active document.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class DocumentFrame;
class RichTextBox;

namespace fileops {

// Opens the file in a new document window, as File > Open does.
void frameDropFile(DocumentFrame& frame, const QString& strFilename);
// Adds the file's text at the end of the control, its lines joined with CR LF.
void documentDropFile(RichTextBox& txtDragDrop, const QString& strFilename);

// The text a document drop adds: lines end at CR LF or a lone CR (a lone LF stays inside its
// line); they are joined with CR LF, leading empty lines add nothing, no line break at the end.
QByteArray joinDroppedLines(QByteArrayView bytes);

} // namespace fileops
