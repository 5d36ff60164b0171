#include "edit/Completion.h"

#include "edit/Markup.h"
#include "platform/Artwork.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace completion {
namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }
bool isAlnum(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }
bool isNameChar(char c) { return isAlnum(c) || c == '-' || c == '_' || c == ':' || c == '.'; }
bool isCssWordChar(char c) { return isAlnum(c) || c == '-' || c == '_'; }
bool isWordChar(char c) { return isAlnum(c) || c == '_' || c == '$' || static_cast<unsigned char>(c) >= 0x80; }

QByteArray lowered(QByteArrayView s) {
    QByteArray out(s.size(), Qt::Uninitialized);
    std::transform(s.begin(), s.end(), out.begin(), lower);
    return out;
}

bool startsWith(QByteArrayView s, QByteArrayView prefix, bool anyCase) {
    if (s.size() < prefix.size()) return false;
    for (qsizetype i = 0; i < prefix.size(); ++i)
        if (anyCase ? lower(s[i]) != lower(prefix[i]) : s[i] != prefix[i]) return false;
    return true;
}

// How many bytes at the end of s satisfy 'is'.
template <typename Is>
qint64 trailing(QByteArrayView s, Is is) {
    qint64 i = s.size();
    while (i > 0 && is(s[i - 1])) --i;
    return s.size() - i;
}

// The length of the name of a character reference being typed at the end of s ("&am": 2), or -1.
// Not after "&&", which is script.
qint64 referenceAt(QByteArrayView s) {
    const qint64 name = trailing(s, isAlnum);
    const qint64 amp = s.size() - name - 1;
    if (amp < 0 || s[amp] != '&' || (amp > 0 && s[amp - 1] == '&')) return -1;
    return name;
}

// The built-in lists, read once on the GUI thread's first completion and never changed after.
struct Lists {
    QList<QByteArray> elements, properties, entities;
    QHash<QByteArray, QList<QByteArray>> attributes;   // element (lower case) or "*" -> attributes
    QHash<QByteArray, QList<QByteArray>> keywords;     // CSS property -> keywords of its values
    struct Values {
        QList<QByteArray> attributes, elements, keywords;
    };
    QList<Values> values;
};

// The words of each line of a list file, without its comment lines ('#').
QList<QList<QByteArray>> linesOf(const QString& name) {
    QList<QList<QByteArray>> lines;
    for (const QByteArray& line : artwork::builtInFile(QStringLiteral(":/completion/") + name).split('\n')) {
        if (line.isEmpty() || line.startsWith('#')) continue;
        QList<QByteArray> words = line.simplified().split(' ');
        if (!words.first().isEmpty()) lines.append(std::move(words));
    }
    return lines;
}

const Lists& lists() {
    static const Lists l = [] {
        Lists l;
        for (const QList<QByteArray>& w : linesOf(QStringLiteral("elements.txt"))) l.elements.append(w.first());
        for (const QList<QByteArray>& w : linesOf(QStringLiteral("entities.txt"))) l.entities.append(w.first());
        for (const QList<QByteArray>& w : linesOf(QStringLiteral("attributes.txt")))
            l.attributes[lowered(w.first())] += w.mid(1);
        for (const QList<QByteArray>& w : linesOf(QStringLiteral("css-properties.txt"))) {
            l.properties.append(w.first());
            l.keywords.insert(w.first(), w.mid(1));
        }
        for (const QList<QByteArray>& w : linesOf(QStringLiteral("values.txt"))) {
            if (w.size() < 3) continue;
            l.values.append({w[0].split(','), w[1].split(','), w.mid(2)});
        }
        return l;
    }();
    return l;
}

Context none() { return {}; }

// Whether 'at' in s is inside a CSS block: the nearest brace before it opens one.
bool inBlock(QByteArrayView s, qint64 at) {
    for (qint64 i = at; i > 0; --i) {
        if (s[i - 1] == '{') return true;
        if (s[i - 1] == '}') return false;
    }
    return false;
}

// The CSS context at the end of s; 'declarations' when s holds declarations only (style="").
Context cssContext(QByteArrayView s, bool declarations) {
    const qint64 typed = trailing(s, isCssWordChar);
    const qint64 w = s.size() - typed;
    if (s.lastIndexOf("/*") > s.lastIndexOf("*/")) return none();   // in a comment
    if (typed > 0 && s[w] >= '0' && s[w] <= '9') return none();     // a number: 12px
    if (w > 0 && (s[w - 1] == '#' || s[w - 1] == '.' || s[w - 1] == '@')) return none();
    qint64 k = w;
    while (k > 0 && !QByteArrayView(":;{}()\"'").contains(s[k - 1])) --k;
    const char c = k > 0 ? s[k - 1] : 0;
    if (c == ':') {
        // "property: value ...": the property's name before the ':' and a declaration's start before it.
        qint64 e = k - 1;
        while (e > 0 && isBlank(s[e - 1])) --e;
        qint64 p = e;
        while (p > 0 && isCssWordChar(s[p - 1])) --p;
        if (p == e) return none();
        qint64 q = p;
        while (q > 0 && isBlank(s[q - 1])) --q;
        const char d = q > 0 ? s[q - 1] : 0;
        const bool start = d == '{' || (d == ';' && (declarations || inBlock(s, q - 1))) || (d == 0 && declarations);
        if (!start) return none();   // a selector's pseudo-class: a:hover
        return {Kind::CssValue, typed, {}, lowered(s.sliced(p, e - p))};
    }
    for (qint64 i = k; i < w; ++i)
        if (!isBlank(s[i])) return none();   // a selector: "div p"
    const bool start = c == '{' || (c == ';' && (declarations || inBlock(s, k - 1))) || (c == 0 && declarations);
    if (!start) return none();
    return {Kind::CssProperty, typed, {}, {}};
}

// Where the content of the <style> element open at the end of s begins, or -1.
qint64 styleContentFrom(QByteArrayView s) {
    for (qint64 at = s.lastIndexOf('<'); at >= 0; at = at > 0 ? s.first(at).lastIndexOf('<') : -1) {
        if (!startsWith(s.sliced(at + 1), "style", true)) continue;
        const qint64 gt = s.indexOf('>', at);
        return gt < 0 ? -1 : gt + 1;
    }
    return -1;
}

// Whether the choices of a Value context would be empty: no list for that attribute there.
bool hasKeywords(const QByteArray& element, const QByteArray& attribute) {
    for (const Lists::Values& v : lists().values)
        if (v.attributes.contains(attribute) && (v.elements.contains("*") || v.elements.contains(element))) return true;
    return false;
}

// The context inside a start tag: 'tag' runs from its '<' to the caret, 'name' is the element's.
Context inTag(QByteArrayView tag, QByteArrayView name, markup::Dialect dialect) {
    const QByteArray element = dialect == markup::Dialect::Html ? lowered(name) : name.toByteArray();
    // Between: after a blank, where a name may begin; Stray: after a '/' or a stray quote.
    enum class State { Between, Name, AfterName, AfterEquals, Quoted, Unquoted, AfterQuote, Stray } state = State::Between;
    qint64 nameFrom = 0, nameEnd = 0, valueFrom = 0;
    char quote = 0;
    for (qint64 i = 1 + name.size(); i < tag.size(); ++i) {
        const char c = tag[i];
        switch (state) {
        case State::Quoted:
            if (c == quote) state = State::AfterQuote;
            continue;
        case State::Unquoted:
            if (isBlank(c)) state = State::Between;
            continue;
        case State::AfterEquals:
            if (isBlank(c)) continue;
            quote = c == '"' || c == '\'' ? c : 0;
            state = quote ? State::Quoted : State::Unquoted;
            valueFrom = quote ? i + 1 : i;
            continue;
        default:
            break;
        }
        if (isBlank(c)) {
            if (state == State::Name) nameEnd = i;
            state = state == State::Name || state == State::AfterName ? State::AfterName : State::Between;
        } else if (c == '=') {
            if (state == State::Name) nameEnd = i;
            state = state == State::Name || state == State::AfterName ? State::AfterEquals : State::Stray;
        } else if (!isNameChar(c) && static_cast<unsigned char>(c) < 0x80) {
            state = State::Stray;
        } else if (state != State::Name) {
            nameFrom = i;   // a name begins (after a blank, or right after a value's closing quote)
            state = State::Name;
        }
    }
    if (state == State::Name) return {Kind::Attribute, tag.size() - nameFrom, element, {}};
    if (state == State::Between || state == State::AfterName) return {Kind::Attribute, 0, element, {}};
    if (state != State::Quoted && state != State::Unquoted) return none();
    const QByteArray attribute = lowered(tag.sliced(nameFrom, nameEnd - nameFrom));
    const QByteArrayView value = tag.sliced(valueFrom);
    const qint64 ref = referenceAt(value);
    if (state == State::Quoted && ref >= 0 && !attribute.startsWith("on")) return {Kind::Entity, ref, {}, {}};
    if (attribute == "style") return cssContext(value, true);
    if (!hasKeywords(element, attribute)) return none();
    return {Kind::Value, trailing(value, [](char c) { return !isBlank(c); }), element, attribute};
}

Context markupContext(QByteArrayView before, markup::Dialect dialect) {
    const markup::At at = markup::placeAt(before, dialect);
    switch (at.place) {
    case markup::Place::Text: {
        if (before.endsWith('<')) return {Kind::Element, 0, {}, {}};
        const qint64 ref = referenceAt(before);
        if (ref >= 0) return {Kind::Entity, ref, {}, {}};
        return none();
    }
    case markup::Place::StartTag: {
        const QByteArrayView tag = before.sliced(at.tagFrom);
        if (tag.size() == 1 + at.element.size()) return {Kind::Element, at.element.size(), {}, {}};
        return inTag(tag, at.element, dialect);
    }
    case markup::Place::RawText: {
        if (!startsWith(at.element, "style", true) || at.element.size() != 5) return none();
        const qint64 from = styleContentFrom(before);
        return from < 0 ? none() : cssContext(before.sliced(from), false);
    }
    default:
        return none();
    }
}

// Sorted without case, without repeats, at most kMaxChoices.
QList<QByteArray> finish(QList<QByteArray> list) {
    std::sort(list.begin(), list.end(), [](const QByteArray& a, const QByteArray& b) {
        const int c = qstricmp(a.constData(), b.constData());
        return c != 0 ? c < 0 : a < b;
    });
    list.erase(std::unique(list.begin(), list.end()), list.end());
    if (list.size() > kMaxChoices) list.resize(kMaxChoices);
    return list;
}

void addMatching(QList<QByteArray>& out, const QList<QByteArray>& from, QByteArrayView typed, bool anyCase = true) {
    for (const QByteArray& s : from)
        if (startsWith(s, typed, anyCase)) out.append(s);
}

QList<QByteArray> wordsIn(QByteArrayView window, QByteArrayView typed) {
    QSet<QByteArrayView> seen;
    QList<QByteArray> out;
    const qint64 n = window.size();
    for (qint64 i = 0; i < n;) {
        if (!isWordChar(window[i])) {
            ++i;
            continue;
        }
        qint64 j = i + 1;
        while (j < n && isWordChar(window[j])) ++j;
        const QByteArrayView word = window.sliced(i, j - i);
        // Words of two letters or fewer are quicker typed than chosen; numbers are no words.
        if (word.size() > 2 && word.size() > typed.size() && !(word[0] >= '0' && word[0] <= '9') &&
            startsWith(word, typed, false) && !seen.contains(word)) {
            seen.insert(word);
            out.append(word.toByteArray());
            if (out.size() >= kMaxChoices) break;
        }
        i = j;
    }
    return out;
}

} // namespace

Context contextAt(QByteArrayView before, Language language, bool asked) {
    if (before.size() > kReach) before = before.last(kReach);
    Context c;
    if (language == Language::Css) c = cssContext(before, false);
    else if (language == Language::Html) c = markupContext(before, markup::Dialect::Html);
    else if (language == Language::Xml) c = markupContext(before, markup::Dialect::Xml);
    // Unasked, an attribute or a property waits for its first letter: a blank alone is no request.
    if (!asked && (c.kind == Kind::Attribute || c.kind == Kind::CssProperty) && c.typed == 0) return none();
    if (asked && c.kind == Kind::None) return {Kind::Word, trailing(before, isWordChar), {}, {}};
    return c;
}

QList<QByteArray> choices(const Context& context, QByteArrayView typed, QByteArrayView window) {
    const Lists& l = lists();
    QList<QByteArray> out;
    switch (context.kind) {
    case Kind::None:
        break;
    case Kind::Element:
        addMatching(out, l.elements, typed);
        break;
    case Kind::Attribute:
        addMatching(out, l.attributes.value(context.element), typed);
        addMatching(out, l.attributes.value("*"), typed);
        break;
    case Kind::Value:
        for (const Lists::Values& v : l.values)
            if (v.attributes.contains(context.attribute) && (v.elements.contains("*") || v.elements.contains(context.element)))
                addMatching(out, v.keywords, typed);
        break;
    case Kind::CssProperty:
        addMatching(out, l.properties, typed);
        break;
    case Kind::CssValue: {
        static const QList<QByteArray> everywhere = {"inherit", "initial", "unset", "revert", "revert-layer"};
        addMatching(out, l.keywords.value(context.attribute), typed);
        addMatching(out, everywhere, typed);
        break;
    }
    case Kind::Entity:
        addMatching(out, l.entities, typed, false);
        break;
    case Kind::Word:
        out = wordsIn(window, typed);
        break;
    }
    return finish(std::move(out));
}

Insertion insertionFor(const Context& context, QByteArrayView choice) {
    const QByteArray c = choice.toByteArray();
    switch (context.kind) {
    case Kind::Attribute: return {c + "=\"\"", c.size() + 2};
    case Kind::Entity: return {c + ';', c.size() + 1};
    case Kind::CssProperty: return {c + ": ", c.size() + 2};
    default: return {c, c.size()};
    }
}

} // namespace completion
