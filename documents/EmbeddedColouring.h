#pragma once
// CSS inside <style> and style="...", and JavaScript inside on...="..." attributes, coloured as in
// a .css or .js file. The HTML colouring leaves them plain; these spans are laid over its colours
// (as indicators that set the text's colour) for the part of the page on screen only, so that a
// page of any size costs the same to open and to type in. Widget-free: the view asks for the
// spans of what it shows and draws them.
#include <QByteArrayView>

#include <vector>

namespace embedded {

enum class Kind { Comment, Selector, Property, Value, AtRule, String, Number, Keyword, Count };

struct Span {
    qint64 from = 0, to = 0;   // byte offsets in the document
    Kind kind = Kind::Comment;
    bool operator==(const Span&) const = default;
};

// How far before what is shown a <style> element's start is looked for, and how much is coloured
// at most at a time.
constexpr qint64 kLookBack = qint64(256) << 10;
constexpr qint64 kMostShown = qint64(256) << 10;

// The spans of CSS text; 'declarations': the text is a list of declarations (style="...") rather
// than a style sheet. 'base' is the text's offset in the document. Only spans that reach into
// [from, to) of the document are added.
void cssSpans(QByteArrayView css, qint64 base, bool declarations, qint64 from, qint64 to, std::vector<Span>& out);
// The spans of a JavaScript snippet (keywords, strings, numbers, comments).
void jsSpans(QByteArrayView js, qint64 base, qint64 from, qint64 to, std::vector<Span>& out);

// The spans for [from, to) of a page; 'text' is the page from 'textStart' on, reaching at least
// kLookBack before 'from' (or to the page's start) and to 'to'.
std::vector<Span> pageSpans(QByteArrayView text, qint64 textStart, qint64 from, qint64 to);

} // namespace embedded
