#pragma once
// Where the colouring of a page (HTML, PHP, XML) may start afresh: a line that starts outside any
// tag, comment, script, style sheet, processing instruction or CDATA section, so that the HTML
// colouring's state there is its default one. Found from the text before it alone, without
// colouring the page up to there; widget-free.
#include <QByteArrayView>

namespace documents {

// How far back the text is read.
constexpr qint64 kRestartLookBack = qint64(256) << 10;

// The last line start in 'text' (the page from 'textStart' on, ending where the line is wanted)
// that is outside all of them, as a page position; -1 for none. Text before a closing mark with no
// opening one in the text (a "</script>", a "-->") lay inside something: no line before it is taken.
qint64 restartPoint(QByteArrayView text, qint64 textStart);

} // namespace documents
