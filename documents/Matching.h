#pragma once
// What the caret stands at and its partner: a brace and the brace that closes or opens it, a
// quote and the other quote of its pair on the line, an HTML tag's name and the name in its
// closing or opening tag. Found in a stretch of the text around the caret; a partner beyond it
// counts as none.
#include <QtGlobal>

namespace matching {

// The bytes [offset, offset + length) of the text; positions below are positions of the text.
struct Span {
    const char* data = nullptr;
    qint64 length = 0;
    qint64 offset = 0;
    bool contains(qint64 pos) const { return pos >= offset && pos < offset + length; }
    char at(qint64 pos) const { return data[pos - offset]; }
};

struct Pair {
    qint64 at = -1;        // the brace or quote at the caret; -1: none there
    qint64 partner = -1;   // its partner; -1: none found
};

// The brace ( ) [ ] { } or quote " ' just before the caret, else the one at it. A quote pairs with
// the next (or previous) quote of its kind on the line [lineStart, lineEnd), by whether an even or
// odd number of them comes before it; a quote after a backslash does not count.
Pair braceAt(const Span& text, qint64 caret, qint64 lineStart, qint64 lineEnd);

struct TagPair {
    qint64 name = -1, nameLength = 0;         // the name in the tag at the caret
    qint64 partner = -1, partnerLength = 0;   // the same name in the tag that closes or opens it
};

// The tag the caret is in (from its '<' to just after its '>') and its partner, counting nested
// tags of the same name and passing over comments. Nothing for void elements (<br>), self-closed
// tags (<x/>), comments, declarations and processing instructions. Names compare without case.
TagPair tagAt(const Span& text, qint64 caret);

} // namespace matching
