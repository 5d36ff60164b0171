#pragma once
// Which program View in Browser starts, and with which arguments: the browser the user names in
// the preferences, else the desktop's default web browser (the handler of https addresses, never
// the handler of .html files, which may well be this editor), else Debian's sensible-browser or
// x-www-browser. No shell is involved: the page's file is always one argument of its own.
#include <QString>
#include <QStringList>

namespace fileops {

struct BrowserLaunch {
    QString program;       // as written or found; empty when no browser was found
    QStringList arguments;
    QString missing;       // when no browser was found: what was looked for, for the message
};

// The command of a desktop entry's Exec line for one file: quoting and escapes undone, %f and %F
// replaced by the file's path, %u and %U by its file URL, %% by a percent sign, other field codes
// dropped; the file is added at the end when the line has no place for it. Empty program when the
// line is empty or its quoting is broken.
BrowserLaunch commandFromExec(const QString& exec, const QString& file);
// The Exec line of a desktop entry's text (its [Desktop Entry] group); empty when it has none or is
// hidden.
QString execOfDesktopEntry(const QByteArray& text);
// A command the user typed (the "browser=" preference): words split as a shell splits them, the
// file put in place of %s, %f or %u, or added as the last argument.
BrowserLaunch commandFromPreference(const QString& command, const QString& file);
// Whether a desktop entry (its file name and Exec program) is this editor's own.
bool isOwnEntry(const QString& desktopId, const QString& program);

// What the desktop has to say, gathered by browserFor(); a table in the tests.
struct BrowserSources {
    QString preference;        // the "browser=" preference
    QString handlerId;         // the desktop entry of https (or http) addresses, e.g. firefox-esr.desktop
    QByteArray handlerEntry;   // that entry's text; empty when it was not found
    QStringList onPath;        // of sensible-browser and x-www-browser, those found on PATH
};
BrowserLaunch chooseBrowser(const BrowserSources& sources, const QString& file);

// The browser for the file on this desktop: the preferences, the mimeapps.list files of the
// XDG configuration and data folders, the desktop entries of the data folders, PATH.
BrowserLaunch browserFor(const QString& file);

} // namespace fileops
