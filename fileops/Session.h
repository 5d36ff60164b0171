#pragma once
// Sessions: the files open at the end of a run come back, each where the user left it, through
// File > Reopen Last Session, or at every start when the user asks for it (File > Reopen Session
// at Start, a preference of editor.conf, off unless turned on). The list is written once the
// exit prompts have all been answered, so it holds what the user kept open; unsaved text is not
// its business (the recovery journal keeps it), so a changed file is listed like any other.
// The file and its form: io/SessionFile.h.
#include "io/SessionFile.h"

class DocumentFrame;

namespace fileops {

// The frame's windows that have a file, in the order they were opened, each once.
io::Session currentSession(DocumentFrame& frame);
// Writes currentSession() as the last session. A failure is not shown (the frame is going away;
// nothing of the user's is lost with the list) but written to the error output.
void rememberSession(DocumentFrame& frame);

// Opens the files of the last session as a command line opens them (documents::openFiles(): one
// message for those that cannot be opened, an open file only brought forward, the untouched
// start-up window replaced), each new window at its caret, its first line, its encoding, its
// colouring and its folds; then the session's active window comes to the front. A session file
// that is not one is named in a message with the reason. 'atStart': a missing session says nothing
// (else "There is no last session to reopen.").
void reopenLastSession(DocumentFrame& frame, bool atStart);

// Run as the File menu opens: the check of Reopen Session at Start.
void mnuFileSession(DocumentFrame& frame);
// Turns reopening at every start on or off.
void toggleReopenAtStart();
// Whether the user asked for the last session at every start.
bool reopensAtStart();

} // namespace fileops
