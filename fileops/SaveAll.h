#pragma once
// File > Save All.
class DocumentFrame;

namespace fileops {

// Saves every document with unsaved changes through Save's own road (the one writer, its questions
// and messages): first those that have a file, then the untitled ones, each asked for a name in
// the Save dialog, in the order the documents were opened. Each is brought forward before it is
// saved, so any question shows over its document. The first save that does not happen (a failure,
// a cancelled dialog or question) stops the rest: that document stays in front, changed, and so
// do the ones after it. True when every changed document was saved; the window that was active
// is active again then.
bool SaveAll(DocumentFrame& frame);

} // namespace fileops
