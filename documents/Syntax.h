#pragma once
// Syntax colouring of a document, chosen from its file's extension. Colouring only changes how
// the text looks: the text, the positions and the saved bytes are the same with or without it.
#include <QString>

class QFont;
class QObject;
class QsciLexer;

namespace syntax {

// Php is HTML with PHP inside (as the HTML colouring reads it); Scss and Less are CSS with their
// nesting, variables and line comments.
enum class Kind { Plain, Html, Xml, Css, Java, JavaScript, Json, Php, Markdown, Scss, Less };

// The colouring for a file path (or a bare file name), from its extension, case-insensitively: the
// file-type table's (documents/FileTypes.h) first, then the other files a web author opens
// (.js, .mjs, .cjs, .json, .webmanifest, .svg, .md, .scss, .less and the like).
// Untitled documents (an empty path) and unknown extensions are plain.
Kind kindForPath(const QString& path);
// "plain", "html", "xml", "css", "java", "javascript", "json", "php", "markdown", "scss", "less".
QString kindName(Kind kind);

// Whether the colouring works out which lines start a block that can be folded (elements, rules,
// braces). Plain text and Markdown have none.
bool folds(Kind kind);

// Above this many bytes of text, colouring is off so that opening and typing stay fast.
qint64 colouringLimit();
// Changes the limit (the tests use a small one); returns the previous limit.
qint64 setColouringLimit(qint64 bytes);
constexpr qint64 kDefaultColouringLimit = qint64(20) << 20;

// A lexer for the kind whose every style uses 'font' (keeping the style's bold and italic),
// or nullptr for plain text.
QsciLexer* makeLexer(Kind kind, const QFont& font, QObject* parent);

} // namespace syntax
