#pragma once
// The checks of a page's markup, on a copy of the edit control's UTF-8 text, on any thread: HTML
// with HTML Tidy (libtidy), XML with Qt's XML reader (well-formedness, first fault only: the reader
// stops there). Neither changes the text: Tidy parses it and writes nothing.
//
// What an author sees by default is what Tidy is sure of and what matters: errors, tags left open,
// closed in the wrong order or where they cannot be, an <img> without alt, repeated attributes and
// ids, unknown entities. Tidy's notes about what it would add on output (an implicit <body>, a
// missing <!DOCTYPE> or <title> in a fragment, empty elements it would trim) are left out unless
// the user asks for every report. HTML5 (<main>, inline SVG, data-*, aria-*, event attributes,
// custom elements) gives no report.
#include "edit/ProblemSpans.h"

#include <QByteArray>
#include <vector>

namespace htmlcheck {

enum class Language { Html, Xml };

// Pages above this size are checked only when the user asks (Tidy cannot be interrupted).
constexpr qint64 kAutoLimit = qint64(5) << 20;
// Nor even then above this size: Tidy's tree of a page takes many times the page's size in memory.
constexpr qint64 kAskedLimit = qint64(32) << 20;
// No more problems than this are listed; the rest are counted.
constexpr int kMaxProblems = 2000;

// Tidy's time grows with the square of the elements left open (100,000 unclosed <div>s take it a
// minute, <span>s longer): a page with more than this many open at once is checked only when asked.
constexpr qint64 kAutoOpenLimit = 2000;

struct Result {
    std::vector<problems::Problem> problems;
    qint64 more = 0;        // problems found beyond kMaxProblems
    qint64 elapsedMs = 0;   // how long the check took
    qint64 leftOpen = 0;    // not checked: this many elements were open at once (over kAutoOpenLimit)
};

// The most elements open at once in the page, as far as a quick look tells (end tags a browser may
// leave out, void elements, comments and the text of <script> and <style> aside).
qint64 mostOpen(const QByteArray& text);

// Whether Tidy's report of this kind ("MISSING_ENDTAG_FOR", Tidy's key) and level (TidyReportLevel)
// is shown; 'all': every report about the page.
bool shown(const char* key, int level, bool all);

// 'asked': the user asked for the check (Check Page Now); otherwise a page with too many elements
// left open is not checked.
Result checkHtml(const QByteArray& text, bool all, bool asked = true);
Result checkXml(const QByteArray& text);
inline Result check(Language language, const QByteArray& text, bool all, bool asked) {
    return language == Language::Html ? checkHtml(text, all, asked) : checkXml(text);
}

} // namespace htmlcheck
