#pragma once
// Go to Line: what the user typed ("42", "42:7", "42,7") and where it leads in a document.
#include <QString>
#include <QtGlobal>

#include <algorithm>

#include <optional>

namespace gotoline {

struct Target {
    qint64 line = 1;     // 1-based
    qint64 column = 1;   // 1-based, in characters; 1 when none was given
};

// The line (and column) typed, surrounding blanks allowed; nullopt when it is not a number.
// Numbers below 1 stand for the first line or column; huge numbers are kept as the largest.
std::optional<Target> parse(const QString& typed);

// The target moved into the document: lines beyond the last go to the last line, columns beyond
// a line's end to its end. 'lineCount' is at least 1; 'lineLength(line)' gives the characters of
// a 1-based line, its line end not counted.
template <class LineLength>
Target clamp(Target t, qint64 lineCount, LineLength&& lineLength) {
    t.line = std::clamp<qint64>(t.line, 1, std::max<qint64>(1, lineCount));
    t.column = std::clamp<qint64>(t.column, 1, qint64(lineLength(t.line)) + 1);
    return t;
}

// The message for text that is not a line number.
QString notANumberMessage(const QString& typed);

} // namespace gotoline
