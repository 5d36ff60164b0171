#pragma once
// New, Open and Close.
#include <QByteArray>
#include <QList>
#include <QString>

class DocumentFrame;
class Form1;

namespace documents {

// One more empty, unchanged window "Document n" in the lowest free slot, shown and active.
// nullptr when no slot is left.
Form1* NewDocument(DocumentFrame& frame);

// The folder of the window's file, where the Open and Save dialogs start; empty for none.
QString documentFolder(const Form1* form);

// File > Open: the Open dialog, starting in the active document's folder (documentFolder()),
// then the chosen file in a new window.
void mnuFileOpen(DocumentFrame& frame);

// Reads the file into a new window captioned with its path in upper case; used by Open and by a
// drop on the frame. Shows "Can't open file: " and returns nullptr when the file cannot be read.
// The file goes to the top of the recent files.
Form1* openDocument(DocumentFrame& frame, const QString& path);
// Opens the file as File > Open opens the file chosen in its dialog (the frame's current file
// becomes the path): for the recent files.
Form1* openFile(DocumentFrame& frame, const QString& path);
// Opens each file as openFile() does, in order: the files of a command line, of a launch's
// hand-over or of the last session, absolute names as the system spells them. Those that cannot
// be opened are reported together in one message, which names the first twenty; a name that
// cannot be kept exactly as text (tp::exactName()) or is not absolute is among them, shown
// escaped, and never opened. A file already open in a window is not opened again: the window
// comes forward (the last such one ends up in front). Once a file opened, the start-up window
// "Document", when still untouched (untouchedStartWindow()), is closed: the files take its place.
// Returns, for each name, its window (new or already open), or nullptr.
QList<Form1*> openFiles(DocumentFrame& frame, const QList<QByteArray>& names);

// The window that holds the file, or nullptr: the same file when it is there (device and inode,
// which a link or another spelling of the path share), else the same name.
Form1* findOpenWindow(DocumentFrame& frame, const QString& path);
// Makes the window the active one, restored if it was minimized, its text taking the keys.
void bringForward(DocumentFrame& frame, Form1& form);
// The window "Document" that start-up made, while it is empty, unchanged and never saved; else
// nullptr.
Form1* untouchedStartWindow(DocumentFrame& frame);

// Reads the window's file again in place of its text, which counts as unchanged afterwards. When
// the file cannot be read the window keeps its text, and "Can't open file: " says why.
bool reloadDocument(DocumentFrame& frame, Form1& form);

// File > Close: closes the active window through its close prompt.
void mnuFileClose(DocumentFrame& frame);

} // namespace documents
