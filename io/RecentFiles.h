#pragma once
// The files last opened or saved, newest first, kept in the user's configuration folder (never in
// tspd.ini) so that every frame and every later start sees the same list.
#include <QString>
#include <QStringList>

namespace io {

// How many files the list keeps.
constexpr int kRecentFiles = 8;

// Where the list is kept: "recent-files" in the program's configuration folder, one absolute path
// a line, as the system spells it; a name with a line break is written as a file URL
// ("file:///a%0Ab.htm"), which a reader that knows only paths passes over.
QString recentFilesPath();
// The list as kept now. Lines that are not absolute paths, names that are not text (see
// platform/FileNames.h), repeats and lines past the eighth are left out, so a damaged file gives
// a shorter list, never an error and never a namesake.
QStringList recentFiles();
// Puts the file first (moving it up when it is already listed) and keeps the newest eight; adds it
// to the desktop's list of recent files as well (io/DesktopRecent.h).
void rememberFile(const QString& path);
// Takes the file off the list.
void forgetFile(const QString& path);

} // namespace io
