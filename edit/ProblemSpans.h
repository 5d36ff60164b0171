#pragma once
// Where a checker's report lands in the text: its line and column turned into a span of the edit
// control's bytes (UTF-8, though any bytes may be there). Every span lies inside the text whatever
// the report says (line 0, a column past the line's end, a line past the last): the reports come
// from libraries that count in their own way, so nothing they say is trusted as an offset.
#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <vector>

namespace problems {

enum class Severity { Error, Warning };

// A report as a checker gives it. 'line' and 'column' count from 1, as HTML Tidy counts: lines end
// at LF, CR LF or a lone CR; a column is one character of UTF-8, or a run of bytes that are not
// UTF-8 as Tidy's reader takes them (a tab is one column too: the check asks Tidy for that).
struct Report {
    int line = 0;
    int column = 0;
    Severity severity = Severity::Error;
    QString message;
};

// A report placed in the text: [from, to) is what the squiggle covers, from <= to <= text size.
struct Problem {
    qint64 from = 0, to = 0;
    int line = 1, column = 1;   // as shown to the user, from 1
    Severity severity = Severity::Error;
    QString message;
};

// The byte at which the report's line and column fall: the line's end when the column lies past
// it, the text's end when the line does. One pass over the text for all the reports, so that a page
// of 100,000 reports costs no more than one read of it.
std::vector<Problem> place(const char* text, qint64 size, std::vector<Report> reports);

// The bytes the squiggle of a problem at 'from' covers: a tag through its '>', else a word; never
// past the line's end, at most kMaxSpan bytes, at least one byte when the text has one (a problem
// at the very end marks the last character).
constexpr qint64 kMaxSpan = 256;
void spanAt(const char* text, qint64 size, qint64& from, qint64& to);

// The byte at which a count of UTF-16 code units from the start of the text falls (as Qt's XML
// reader counts): the text's end when the count reaches past it.
qint64 byteOfUtf16(const char* text, qint64 size, qint64 units);

} // namespace problems
