#pragma once
// What a drag from the desktop carries: only a list of local files is ever taken.
#include <QString>

class QDropEvent;
class QMimeData;

namespace tp {

// True when the dragged data is a list of local files (nothing else is ever accepted).
bool isFileList(const QMimeData* data);
// True when the drag offers a list of local files for copying (a source offering only a move may
// delete the files after the drop).
bool offersFileCopy(const QDropEvent& e);
// The first path of the list, or an empty string (also when its name cannot be kept exactly).
QString firstDroppedPath(const QMimeData* data);
// The first file's name written for a message when it is not text that gives back its bytes (see
// platform/FileNames.h), else an empty string.
QString unopenableDroppedName(const QMimeData* data);

} // namespace tp
