#pragma once
// Spelling as you type (edit/Spelling.h says which words are checked): a misspelt word shown on
// screen gets a squiggle of its own colour. Only what the window shows (and a few lines around it)
// is checked, on the GUI thread, once the keys pause or at once after a scroll; the word being
// typed waits until the caret leaves it. Dictionaries load lazily in a worker, so opening and
// typing never wait for one; none installed gives one note in the status bar and nothing else.
// The text is never changed but by the user's choice of a suggestion (one undoable edit).
//
// A right click on a misspelt word adds to the Edit menu shown there up to seven suggestions,
// Ignore (for this session) and Add to Dictionary: the user's own word list, words.txt in the
// configuration folder (one word a line, UTF-8; lines that are no word are passed over).
#include <QString>

class DocumentFrame;
class Form1;
class QMenu;
class QPoint;

namespace editcmd {

// Gives a new document window its spelling check.
void attachSpelling(Form1& form);

// The right click at 'globalPos' over the form's text: when it is on a misspelt word, the menu gets
// its suggestions, Ignore and Add to Dictionary after its own items, until it closes.
void addSpellingItems(Form1& form, QMenu& menu, const QPoint& globalPos);

// The View menu's switches (check marks as the menu opens) and the language submenu, filled with
// the installed dictionaries as it opens.
void mnuViewSpelling(DocumentFrame& frame);
void fillSpellingLanguages(DocumentFrame& frame);
void ToggleSpelling();
void ToggleSpellCode();
// The user's choice of dictionary; empty: the locale's. A page's lang="..." goes first.
void ChooseSpellingLanguage(const QString& name);

// For tests and the benchmark: checks what the window shows now (a dictionary still loading is
// waited for, up to 'waitMs'), and the number of words marked.
int checkSpellingNow(Form1& form, int waitMs = 0);

// The user's own word list.
QString personalWordsPath();

} // namespace editcmd
