#pragma once
// The names the HTML colouring knows, so that today's valid markup is never shown as an error:
// the elements and attributes of HTML as browsers read it now (with the presentational ones older
// pages still use), SVG and MathML inside HTML, and the JavaScript keywords of <script>.
#include <QStringList>

namespace htmlkeywords {

// Lower case, as the HTML lexer compares them.
const QStringList& elements();
const QStringList& attributes();
// Attribute families given by their start: data-*, aria-*, the event handlers on*, and the
// namespaced names of SVG (xlink:*, xml:*, xmlns, xmlns:*).
const QStringList& attributePrefixes();

// The HTML lexer's first keyword set: every element, attribute and prefix ("^data-"), space
// separated.
const char* htmlSet();
// The JavaScript keywords of today's browsers.
const char* javaScriptSet();

} // namespace htmlkeywords
