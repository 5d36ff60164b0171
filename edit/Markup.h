#pragma once
// Markup as the typing aids read it: the tag being typed before the caret, the elements still open
// there, the element around a range, and when a bracket or quote is paired or typed over.
// Widget-free and bounded: each function reads only the stretch of text it is given (the caller
// passes a window of at most a few hundred KB around the caret, so that typing never waits on a
// large document); an element that begins before the stretch is unknown to it.
//
// HTML names compare without case; void elements (<br>) and self-closed tags (<x/>) open nothing;
// comments, declarations (<!DOCTYPE>), CDATA, processing instructions (<?php ?>) and server script
// (<% %>) hold no tags; the contents of <script>, <style>, <textarea> and <title> are text up to
// their own end tag. XML (and SVG) names compare exactly, and every element may hold others.
#include <QByteArray>
#include <QByteArrayView>

namespace markup {

enum class Dialect { Html, Xml };

// area, base, br, col, embed, hr, img, input, link, meta, source, track, wbr, param, keygen.
bool isVoidElement(QByteArrayView name);

// Typing '>' at the end of 'before' with 'after' following the caret: the closing tag to put
// after the caret ("</p>"), or nothing (not the end of a start tag, a void or self-closed tag, or
// the element is already closed further on, before its parent closes).
QByteArray closingTagAfterGt(QByteArrayView before, QByteArrayView after, Dialect dialect);
// Typing '/' right after a '<' that ends 'before', in text: 'insert' is the name of the innermost
// element still open and its '>' ("p>"); or, when that element's end tag follows the caret right
// away, 'over' is the length of that end tag, which the "</" being typed becomes. Neither when no
// element is open, the '<' is inside a comment or a tag, 'after' goes on with a name or '>', or
// the element is closed further on.
struct SlashTyped {
    QByteArray insert;
    qint64 over = 0;
};
SlashTyped slashTyped(QByteArrayView before, QByteArrayView after, Dialect dialect);

// Whether the end of 'before' is in text: not inside a tag, a comment, a declaration, a processing
// instruction or the content of <script>, <style>, <textarea> or <title>.
bool inText(QByteArrayView before, Dialect dialect);

// Where the end of 'before' stands: in text, in the content of <script>, <style>, <textarea> or
// <title> (element: its name), inside a start or end tag (element: the name typed so far; tagFrom:
// where its '<' is in 'before'), or elsewhere (a comment, a declaration, a processing instruction).
enum class Place { Text, RawText, StartTag, EndTag, Other };
struct At {
    Place place = Place::Text;
    QByteArrayView element;
    qint64 tagFrom = -1;
};
At placeAt(QByteArrayView before, Dialect dialect);

// Whether the caret stands between a start tag and its own end tag, "<div>|</div>" (Enter then
// puts the end tag on a line of its own).
bool betweenTags(QByteArrayView before, QByteArrayView after, Dialect dialect);

struct Range {
    qint64 from = -1, to = -1;
    bool valid() const { return from >= 0; }
    bool operator==(const Range&) const = default;
};
// The smallest element content or whole element (start tag to end tag, or a void or self-closed
// tag alone) of 'text' that holds [from, to) and is larger: repeated, it goes outwards (the
// content, then the element, then its parent's content...). Invalid when none is found.
Range enclosingElement(QByteArrayView text, qint64 from, qint64 to, Dialect dialect);

// What typing a bracket or quote does, given the characters around the caret (0: none) and
// whether the character after the caret was put there as the partner of one typed before.
enum class Pairing { Type, Pair, TypeOver };
Pairing pairingFor(char typed, char before, char after, bool afterWasPaired);
// The partner of ( [ { " ', or 0.
char partnerOf(char opening);

} // namespace markup
