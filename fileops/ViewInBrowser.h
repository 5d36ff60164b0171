#pragma once
// View in Browser: the active document's file, as saved, opened in a web browser: the one the user
// names in the preferences, else the desktop's default web browser (fileops/BrowserChoice.h), never
// the program the desktop opens .html files with, which may be this editor.
#include <QString>

class DocumentFrame;

namespace fileops {

// The question asked before a changed or untitled document is shown (in English; asked through
// QCoreApplication::translate("ViewInBrowser", ...)).
inline const QString kSaveBeforeBrowsing = QString::fromUtf8(
    QT_TRANSLATE_NOOP("ViewInBrowser", "The browser shows the file as it is saved. Save the document first?"));

// A document with changes not saved, or without a file, is saved first when the user says Yes
// (as Save does: an untitled one through the Save dialog); No, or a save that did not happen,
// shows nothing; when no browser is found, a message says what is missing. Returns whether a
// browser was started.
bool ViewInBrowser(DocumentFrame& frame);

} // namespace fileops
