#pragma once
// What the completion list offers at the caret, and what a choice puts in the text. Widget-free:
// the caller passes the text just before the caret (at most kReach bytes, so that the list comes
// as fast in a 100 MB page as in a small one) and, for the words of the document, a window around
// the caret.
//
// The lists are data files built into the program (resources/completion/): the elements of HTML
// and SVG, the global attributes and those of each element, the keywords of enumerated attributes,
// the CSS properties with the keywords of their values, and the named character references.
#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace completion {

// How far before the caret the context is looked for: a tag, a <style> element or a CSS rule
// longer than this is not recognised from its end.
constexpr qint64 kReach = qint64(64) << 10;
// How far on each side of the caret the words of the document are gathered.
constexpr qint64 kWordReach = qint64(128) << 10;

// The document's colouring, as far as completion cares.
enum class Language { Html, Xml, Css, Other };

enum class Kind {
    None,
    Element,       // after '<'
    Attribute,     // in a start tag, where an attribute's name goes
    Value,         // inside an enumerated attribute's value
    CssProperty,   // in a CSS block (a .css file, <style>, style=""), where a property goes
    CssValue,      // after a CSS property's ':'
    Entity,        // after '&'
    Word,          // on request anywhere else: the words of the document
};

struct Context {
    Kind kind = Kind::None;
    qint64 typed = 0;       // bytes already typed before the caret, which the choice replaces
    QByteArray element;     // Attribute, Value: the element's name (lower case in HTML)
    QByteArray attribute;   // Value: the attribute (lower case); CssValue: the property
    bool operator==(const Context&) const = default;
};

// The context at the end of 'before'. With 'asked' (Ctrl+Space) a place with no list of its own
// gives Word; without it, only places where a list helps at once.
Context contextAt(QByteArrayView before, Language language, bool asked);

// The choices for a context that begin with the typed text (without case but for entities),
// sorted and without repeats. For Word, 'window' is the text around the caret (the word at the
// caret itself is left out); the other kinds ignore it. At most kMaxChoices.
constexpr int kMaxChoices = 1000;
QList<QByteArray> choices(const Context& context, QByteArrayView typed, QByteArrayView window = {});

// What choosing 'choice' puts in place of the typed text, and where the caret then stands in it:
// an attribute becomes name="" with the caret between the quotes, an entity's name gains its ';',
// a CSS property its ": ".
struct Insertion {
    QByteArray text;
    qint64 caret = 0;
};
Insertion insertionFor(const Context& context, QByteArrayView choice);

} // namespace completion
