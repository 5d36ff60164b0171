#pragma once
// The user's own editor preferences: tab width, tabs or spaces, zoom, the final line end of saves,
// the fold margin, the typing aids, the markup checks, spelling.
// They live in the user's configuration folder (QStandardPaths::AppConfigLocation), never in
// tspd.ini, in the INI form QSettings reads. A missing, garbled or unreadable file gives the
// defaults, and so does one that is not a regular file (a pipe is never waited on) or is over
// 64 KB; a value out of range gives its default.
#include <QString>

namespace prefs {

struct Editor {
    int tabWidth = 4;                // 2, 4 or 8 columns
    bool indentWithSpaces = false;   // Tab and automatic indentation type spaces instead of a tab
    int zoom = 0;                    // points added to every font size, kZoomMin to kZoomMax
    bool finalLineEnd = true;        // Save ends a text that does not end in a line end with one
    bool foldMargin = true;          // coloured documents show a margin that folds blocks away
    // Typing aids in markup and code (edit/TypingAids.h).
    bool closeTags = true;           // '>' of a start tag adds its end tag, "</" the open element's name
    bool pairBrackets = true;        // brackets and quotes typed in pairs, and typed over
    bool abbreviationsOnTab = true;  // Tab after an abbreviation in HTML expands it
    bool completeAsYouType = true;   // the completion list opens by itself in markup and CSS (edit/CompletionUi.h)
    bool tabbedDocuments = false;    // the frame shows its documents as tabs rather than windows
    // The markup checks as typing pauses (edit/ProblemMarks.h).
    bool checkMarkup = true;         // HTML and XML pages are checked and their problems marked
    bool checkAllReports = false;    // every report of HTML Tidy, not only the faults it is sure of
    // Spelling as you type (edit/SpellCheck.h).
    bool spelling = true;            // misspelt words are marked
    bool spellCode = false;          // ... also in comments and strings of CSS and JavaScript
    QString spellingLanguage;        // the dictionary chosen ("en_GB"); empty: the locale's
    bool reopenSession = false;      // every start reopens the files of the last session (fileops/Session.h)
    bool operator==(const Editor&) const = default;
};

constexpr int kZoomMin = -8;
constexpr int kZoomMax = 20;
bool validTabWidth(int width);

// Two entries of the same group that the user sets by hand: "browser=" a command View in Browser
// runs instead of the desktop's web browser (no shell: its words split as a shell splits them, the
// page's file added as one argument, or put where %s, %f or %u stands), and "desktopRecent=false",
// which keeps opened and saved files off the desktop's list of recent files.
struct Desktop {
    QString browser;          // empty: the desktop's default web browser
    bool recentList = true;   // files opened and saved are added to the desktop's recent list
};

// The preferences file.
QString path();
Desktop readDesktop();
Editor read();
// Replaces the file whole, keeping the entries it does not know. False when it could not be written
// (the preferences then last for this run only).
bool write(const Editor& editor);

} // namespace prefs
