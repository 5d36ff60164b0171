#pragma once
// The desktop's list of recent files, which GTK and KDE programs and their file dialogs share: the
// bookmark file $XDG_DATA_HOME/recently-used.xbel (GLib's format). A file opened or saved here is
// added to it, or moved up when it is listed, beside the program's own list (io/RecentFiles.h).
//
// The list belongs to the desktop, so it is handled with care: it is read without ever waiting (a
// pipe or a device in its place is left alone) and only when under 16 MB; a file that does not
// read as such a bookmark file is left exactly as it is; and the new list replaces the old one by
// a rename, whole, with every other program's entries as they were, byte for byte.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace io {

// Where the list is kept.
QString desktopRecentPath();

// The list's new text with 'file' added or moved up (this program's entry in it counted once
// more, 'now' its time), or an empty array when 'old' is not a bookmark file this can add to.
// An empty 'old' gives a new list.
QByteArray withDesktopRecent(const QByteArray& old, const QString& file, const QString& mimeType, const QDateTime& now);

// Adds the files to the desktop's list, in order (the last one newest), unless the preferences
// say not to (io/Preferences.h): the list is read once and written once. False when it was left
// as it was.
bool addToDesktopRecent(const QStringList& files);
bool addToDesktopRecent(const QString& file);
// The same once the event loop runs again, for every file asked for until then (of many, the
// newest 50): a launch with thousands of files reads and writes the list once, not once a file.
// GUI thread only (its queue is that thread's); elsewhere, or without an application, at once.
void addToDesktopRecentSoon(const QString& file);

} // namespace io
