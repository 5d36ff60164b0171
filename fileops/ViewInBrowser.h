#pragma once
// View in Browser: the active document's file, as saved, handed to the desktop's launcher, which
// opens it in the program the desktop gives its kind of file (the web browser for a page).
#include <QString>

class DocumentFrame;

namespace fileops {

// The question asked before a changed or untitled document is shown.
inline const QString kSaveBeforeBrowsing =
    QStringLiteral("The browser shows the file as it is saved. Save the document first?");

// A document with changes not saved, or without a file, is saved first when the user says Yes
// (as Save does: an untitled one through the Save dialog); No, or a save that did not happen,
// shows nothing. Returns whether the file was handed to the launcher.
bool ViewInBrowser(DocumentFrame& frame);

} // namespace fileops
