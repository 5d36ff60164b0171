#pragma once
// Indentation rules, on the bytes of one line: what Enter carries to the new line, and what Tab
// and Shift+Tab add to and take from the start of each line of a block. Indentation is copied and
// added as it is, never converted between tabs and spaces.
#include <QByteArray>

namespace indentation {

// The number of blanks (spaces and tabs) that begin the line.
qint64 leadingBlanks(const char* line, qint64 length);
// One step of indentation: a tab, or 'width' spaces.
QByteArray step(bool spaces, int width);
// How many bytes one step of unindenting takes from the start of the line: a leading tab, or the
// leading spaces up to 'width' of them, with the tab that may follow fewer than 'width' spaces.
qint64 unindentStep(const char* line, qint64 length, int width);

} // namespace indentation
