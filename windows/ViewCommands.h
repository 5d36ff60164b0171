#pragma once
// The View menu: zoom (the user's, the same in every document), word wrap and colouring of the
// active document, the fold margin (the user's) and folding of the active document, tab width and
// tabs or spaces (the user's). View in Browser is with the file
// commands (fileops/ViewInBrowser.h).
#include "documents/Syntax.h"

class DocumentFrame;

namespace viewcmd {

// Run as the View menu opens: the document items are enabled only with an active window, and
// each check mark shows the state in force.
void mnuView(DocumentFrame& frame);

void ZoomIn();
void ZoomOut();
void ZoomReset();

// Word wrap of the active document; a document with a line too long to wrap says so.
void WordWrap(DocumentFrame& frame);
// Colours the active document as the given kind of file until it is given another file.
void Colouring(DocumentFrame& frame, syntax::Kind kind);

// The fold margin on or off in every document; every block of the active document folded or
// unfolded.
void FoldMargin();
void FoldAll(DocumentFrame& frame);
void UnfoldAll(DocumentFrame& frame);

// The user's tab width (2, 4 or 8 columns) and whether indentation types spaces.
void TabWidth(int columns);
void IndentWithSpaces();

} // namespace viewcmd
