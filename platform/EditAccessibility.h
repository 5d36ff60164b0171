#pragma once
// Accessibility of the edit control without a cost per keystroke that grows with the document.

namespace tp {

// Installs, once, the accessibility description of RichTextBox. Call after a QScintilla widget
// has been constructed (QScintilla installs its own description then, and the later wins).
void installEditAccessibility();

// True while an assistive technology (a screen reader) is listening: the control then reports
// every change to it as QScintilla does, whatever that costs.
bool assistiveTechnologyActive();

} // namespace tp
